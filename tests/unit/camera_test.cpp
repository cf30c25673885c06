// The self-steering camera: targets pull the eye along and across the line of
// view and turn the view toward them; groups are averaged and weighted; each
// frame integrates the pulls; the view becomes the model-view matrix; and the
// projection is the one start-up sets.
#include "main.h"
#include "tools.h"

#include "fake_gl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using Triple = std::array<float, 3>;

void set3(float* v, float x, float y, float z)
{
    v[0] = x, v[1] = y, v[2] = z;
}

Triple of(const float* v)
{
    return {v[0], v[1], v[2]};
}

void expectNear(const Triple& got, const Triple& want, float eps, const char* what)
{
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(got[i], want[i], eps) << what << " " << i;
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

// norm 80, rad 0: accel (80 - 20) / 30000 along the view, toward -z; the
// drift aims 10 above the target; the view turns by 1/5000 toward it.
TEST_F(Camera, ATargetStraightAheadPullsTheEyeForward)
{
    const Pull p = pullOf(50, 23, 1);
    EXPECT_EQ(totweight, 1);
    expectNear(p.cam, {0, 10 / 1e6f, -0.002f}, 1e-9f, "eye");
    expectNear(p.view, {0, 0, -1 / 5000.0f}, 1e-9f, "view");
}

// visible damps only the approach to a far target, never the drift across
// the view nor the retreat from a near one.
TEST_F(Camera, VisibleThreeGivesAFarTargetAThirdOfThePullAndANearOneTheSame)
{
    const Pull far1 = pullOf(60, 33, 1), far3 = pullOf(60, 33, 3);
    ASSERT_LT(far1.cam[2], 0);  // far: forward along the view
    expectNear(far3.cam, {far1.cam[0], far1.cam[1], far1.cam[2] / 3}, 1e-9f, "eye");
    expectNear(far3.view, {far1.view[0] / 3, far1.view[1] / 3, far1.view[2] / 3}, 1e-9f, "view");

    camera[2] = 10;
    const Pull near1 = pullOf(55, 28, 1), near3 = pullOf(55, 28, 3);
    ASSERT_GT(near1.cam[2], 0);  // near: back along the view
    EXPECT_EQ(near3.cam, near1.cam);
    EXPECT_EQ(near3.view, near1.view);
}

// A group counts weight times its mean pull, however many targets it has; a
// second normCam with no lookAt between finds an empty group.
TEST_F(Camera, AGroupIsAveragedAndWeightedOnceAndThenEmpty)
{
    lookAt(0, 0, 1);
    lookAt(100, 50, 1);
    const Triple cam = of(camjerk), view = of(sightjerk), none = {0, 0, 0};
    normCam(4);
    expectNear(of(camaccel), {cam[0] * 2, cam[1] * 2, cam[2] * 2}, 1e-9f, "eye");
    expectNear(of(sightaccel), {view[0] * 2, view[1] * 2, view[2] * 2}, 1e-9f, "view");
    EXPECT_EQ(of(camjerk), none);
    EXPECT_EQ(of(sightjerk), none);
    EXPECT_EQ(totweight, 0);
    normCam(30);
    expectNear(of(camaccel), {cam[0] * 2, cam[1] * 2, cam[2] * 2}, 1e-9f, "eye");
}

// Only a frame of no time lets speeds carry over; any other frame ends at
// rest, having moved by accel x dt^2 / 3. Either way the view comes out of
// unit length, turned as it was pulled.
TEST_F(Camera, AFrameOfNoTimeKeepsTheSpeedsAndOneOfTwentyMillisecondsMovesAndStops)
{
    set3(speed, 1, 2, 3);
    set3(sightspeed, 0.01f, 0, 0);
    set3(camaccel, 5, 5, 5);
    totweight = 3;
    updateCam(0);
    EXPECT_EQ(of(camera), (Triple{50, 23, 80}));
    EXPECT_EQ(of(speed), (Triple{1, 2, 3}));
    EXPECT_EQ(of(sightspeed), (Triple{0.01f, 0, 0}));
    EXPECT_EQ(of(camaccel), (Triple{0, 0, 0}));
    EXPECT_EQ(totweight, 0);
    expectNear(of(sight), {0.01f / std::hypot(0.01f, 1), 0, -1 / std::hypot(0.01f, 1)}, 1e-6f, "view");

    set3(speed, 0, 0, 0);
    set3(sightspeed, 0, 0, 0);
    set3(sight, 0, 0, -1);
    set3(camaccel, 0.003f, -0.006f, 0.0015f);
    set3(sightaccel, 0.02f, -0.01f, 0.005f);
    updateCam(20);
    expectNear(of(camera), {50 + 0.003f * 400 / 3, 23 - 0.006f * 400 / 3, 80 + 0.0015f * 400 / 3}, 1e-4f,
               "eye");
    for (float* cleared : {speed, sightspeed, camaccel, sightaccel})
        EXPECT_EQ(of(cleared), (Triple{0, 0, 0}));
    const float a = 0.02f * 20 / 3, b = -0.01f * 20 / 3, c = -1 + 0.005f * 20 / 3,
                n = std::sqrt(a * a + b * b + c * c);
    expectNear(of(sight), {a / n, b / n, c / n}, 1e-6f, "view");
}

// A target at the eye has no direction to turn to, and a turn that exactly
// cancels the view leaves nothing to renormalise: the camera must stay
// finite, keeping the view it had.
TEST_F(Camera, ATargetAtTheEyeOrAViewTurnedToNothingKeepsTheViewFinite)
{
    set3(camera, 50, 23, 0);
    lookAt(50, 23, 1);
    normCam(1);
    updateCam(20);
    for (const float* v : {camera, speed, camaccel, sight, sightspeed, sightaccel})
        EXPECT_TRUE(std::isfinite(v[0] + v[1] + v[2]));
    EXPECT_EQ(of(sight), (Triple{0, 0, -1}));

    set3(sightspeed, 0, 0, 1);
    updateCam(0);
    EXPECT_EQ(of(sight), (Triple{0, 0, -1}));
}

// A point on the line of view lies straight ahead of the eye at its
// distance; with the start values the view looks down -z at the level's plane
// 80 away.
TEST_F(Camera, TheViewLooksAlongTheSightFromTheEye)
{
    const float views[][4] = {{0, 0, -1, 80}, {0, 0.6f, -0.8f, 30}, {-0.48f, -0.6f, -0.64f, 30}};
    for (const auto& v : views) {
        fakegl::reset();
        set3(sight, v[0], v[1], v[2]);
        applyCam();
        const fakegl::Matrix& m = fakegl::modelview();
        const float x = camera[0] + v[0] * v[3], y = camera[1] + v[1] * v[3], z = camera[2] + v[2] * v[3];
        expectNear({m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                    m[2] * x + m[6] * y + m[10] * z + m[14]},
                   {0, 0, -v[3]}, 1e-3f, "ahead");
    }
}

// The tangent of the whole angle, halved: a near plane of 1 spans +-0.5
// vertically, as the fade overlay relies on.
TEST(CameraProjection, TheStartUpFrustumIsHalfAUnitHighAtTheNearPlane)
{
    fakegl::reset();
    glPerspective(45.0, 1.3333333730697632, 1.0, 10000.0);
    EXPECT_EQ(fakegl::stateLog(), "glFrustum -0.666667 0.666667 -0.5 0.5 1 10000\n");
}

}  // namespace
