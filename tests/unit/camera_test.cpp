// The self-steering camera: targets pull the eye along and across the line
// of view and turn the view toward them; groups are averaged and weighted;
// each frame integrates the pulls; the view becomes the model-view matrix;
// and the projection is the one start-up sets.
#include "main.h"
#include "tools.h"

#include "fake_gl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

const float eps = 1e-6f;

float* const state[] = {camera, speed, camaccel, camjerk, sight, sightspeed, sightaccel, sightjerk};

using Triple = std::array<float, 3>;

void set3(float* v, float x, float y, float z) { v[0] = x; v[1] = y; v[2] = z; }
Triple of(const float* v) { return {v[0], v[1], v[2]}; }
float length(const float* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

bool allFinite()
{
    for (float* v : state)
        if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2]))
            return false;
    return true;
}

struct Pull {
    Triple cam, view;
};

// What one lookAt adds to the current group, from the current eye.
Pull pullOf(float x, float y, int visible)
{
    set3(camjerk, 0, 0, 0);
    set3(sightjerk, 0, 0, 0);
    lookAt(x, y, visible);
    return {of(camjerk), of(sightjerk)};
}

// Every test starts from the values the main loop starts the camera with:
// the eye at (50, 23, 80) looking down -z, everything else at rest.
class Camera : public testing::Test {
protected:
    void SetUp() override
    {
        resetCamera();
        fakegl::reset();
    }
};

using CameraLookAt = Camera;

// norm 80, rad 0: accel (80 - 20) / 30000 along the view, toward -z; the
// drift aims 10 above the target; the view turns by 1/5000 toward it.
TEST_F(CameraLookAt, TargetStraightAheadPullsTheEyeForward)
{
    const Pull p = pullOf(50, 23, 1), want = {{0, 10 / 1e6f, -0.002f}, {0, 0, -1 / 5000.0f}};
    EXPECT_EQ(totweight, 1);
    for (int i = 0; i < 3; i++) {
        EXPECT_NEAR(p.cam[i], want.cam[i], 1e-9f) << i;
        EXPECT_NEAR(p.view[i], want.view[i], 1e-9f) << i;
    }
}

// visible damps only the approach to a far target, never the drift across
// the view nor the retreat from a near one.
TEST_F(CameraLookAt, VisibleThreeGivesAFarTargetAThirdOfThePullAndANearOneTheSame)
{
    const Pull far1 = pullOf(60, 23, 1), far3 = pullOf(60, 23, 3);
    ASSERT_LT(far1.cam[2], 0);  // far: forward along the view
    EXPECT_NEAR(far3.cam[2], far1.cam[2] / 3, 1e-8f);
    EXPECT_NEAR(far3.cam[0], far1.cam[0], 1e-9f);
    EXPECT_NEAR(far3.cam[1], far1.cam[1], 1e-9f);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(far3.view[i], far1.view[i] / 3, 1e-9f) << i;

    camera[2] = 10;
    const Pull near1 = pullOf(55, 23, 1), near3 = pullOf(55, 23, 3);
    ASSERT_GT(near1.cam[2], 0);  // near: back along the view
    EXPECT_EQ(near3.cam, near1.cam);
    EXPECT_EQ(near3.view, near1.view);
}

// A group counts weight times its mean pull, however many targets it has;
// a second normCam with no lookAt between finds an empty group.
TEST_F(Camera, GroupIsAveragedAndWeightedOnceAndThenEmpty)
{
    lookAt(0, 0, 1);
    lookAt(100, 50, 1);
    const Triple cam = of(camjerk), view = of(sightjerk), none = {0, 0, 0};
    normCam(4);
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(camaccel[i], cam[i] * 4 / 2) << i;
        EXPECT_FLOAT_EQ(sightaccel[i], view[i] * 4 / 2) << i;
    }
    EXPECT_EQ(of(camjerk), none);
    EXPECT_EQ(of(sightjerk), none);
    EXPECT_EQ(totweight, 0);
    const Triple accel = of(camaccel);
    normCam(30);
    EXPECT_EQ(of(camaccel), accel);
}

using CameraUpdate = Camera;

// Only a frame of no time lets speeds carry over; any other frame ends at
// rest, having moved by accel x dt^2 / 3. Either way the view comes out of
// unit length, turned as it was pulled.
TEST_F(CameraUpdate, FrameOfNoTimeKeepsSpeedsAndTwentyMillisecondsMoveAndStop)
{
    set3(speed, 1, 2, 3);
    set3(sightspeed, 0.01f, 0, 0);
    set3(camaccel, 5, 5, 5);
    updateCam(0);
    EXPECT_EQ(of(camera), (Triple{50, 23, 80}));
    EXPECT_EQ(of(speed), (Triple{1, 2, 3}));
    EXPECT_EQ(sightspeed[0], 0.01f);
    EXPECT_EQ(camaccel[0], 0);
    EXPECT_NEAR(length(sight), 1, eps);

    set3(speed, 0, 0, 0);
    set3(sight, 0, 0, -1);
    set3(camaccel, 0.003f, -0.006f, 0.0015f);
    set3(sightaccel, 0.02f, -0.01f, 0.005f);
    updateCam(20);
    EXPECT_NEAR(camera[0], 50 + 0.003f * 400 / 3, 1e-4f);
    EXPECT_NEAR(camera[1], 23 - 0.006f * 400 / 3, 1e-4f);
    EXPECT_NEAR(camera[2], 80 + 0.0015f * 400 / 3, 1e-4f);
    for (float* cleared : {speed, sightspeed, camaccel, sightaccel})
        EXPECT_EQ(of(cleared), (Triple{0, 0, 0}));
    EXPECT_NEAR(length(sight), 1, eps);
    EXPECT_GT(sight[0], 0);
    EXPECT_LT(sight[1], 0);
}

// A target at the eye has no direction to turn to, and a turn that exactly
// cancels the view leaves nothing to renormalise: the camera must stay
// finite, keeping the view it had.
TEST_F(CameraUpdate, TargetAtTheEyeOrViewTurnedToNothingKeepsTheViewFinite)
{
    set3(camera, 50, 23, 0);
    lookAt(50, 23, 1);
    normCam(1);
    updateCam(20);
    EXPECT_TRUE(allFinite());
    EXPECT_EQ(of(sight), (Triple{0, 0, -1}));

    set3(sightspeed, 0, 0, 1);
    updateCam(0);
    EXPECT_TRUE(allFinite());
    EXPECT_EQ(of(sight), (Triple{0, 0, -1}));
}

// Where the current model-view matrix takes a point.
Triple eyeOf(float x, float y, float z)
{
    const fakegl::Matrix& m = fakegl::modelview();
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

// A point on the line of view lies straight ahead of the eye at its distance;
// with the start values the view looks down -z at the level's plane 80 away.
TEST_F(Camera, ViewLooksAlongTheSightFromTheEye)
{
    // sight, then the distance ahead
    const float views[][4] = {
        {0, 0, -1, 80}, {0, 0.6f, -0.8f, 30}, {0.6f, 0, -0.8f, 30}, {-0.48f, -0.6f, -0.64f, 30}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << "sight " << v[0] << " " << v[1] << " " << v[2]);
        fakegl::reset();
        set3(sight, v[0], v[1], v[2]);
        applyCam();
        const Triple p = eyeOf(camera[0] + v[0] * v[3], camera[1] + v[1] * v[3], camera[2] + v[2] * v[3]);
        EXPECT_NEAR(p[0], 0, 1e-3f);
        EXPECT_NEAR(p[1], 0, 1e-3f);
        EXPECT_NEAR(p[2], -v[3], 1e-3f);
    }
}

// The tangent of the whole angle, halved: a near plane of 1 spans +-0.5
// vertically, as the fade overlay relies on.
TEST(CameraProjection, StartUpFrustumIsHalfAUnitHighAtTheNearPlane)
{
    fakegl::reset();
    glPerspective(45.0, 1.3333333730697632, 1.0, 10000.0);
    const auto& calls = fakegl::calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, "glFrustum");
    const double fW = 0.5 * 1.3333333730697632;
    const std::vector<double> want = {-fW, fW, -0.5, 0.5, 1, 10000};
    ASSERT_EQ(calls[0].args.size(), want.size());
    for (size_t i = 0; i < want.size(); i++)
        EXPECT_DOUBLE_EQ(calls[0].args[i], want[i]) << i;
}

}  // namespace
