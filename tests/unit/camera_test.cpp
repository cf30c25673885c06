// The self-steering camera: targets pull the eye along and across the line
// of view and turn the view toward them; groups are averaged and weighted;
// each frame integrates the pulls; the view becomes the model-view matrix;
// and the projection is the one start-up sets.
#include "main.h"
#include "tools.h"

#include "fake_gl.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float eps = 1e-6f;

float* const state[] = {camera, speed, camaccel, camjerk, sight, sightspeed, sightaccel, sightjerk};

void set3(float* v, float x, float y, float z)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

// The values the main loop starts the camera with.
void startCamera()
{
    for (float* v : state)
        set3(v, 0, 0, 0);
    set3(camera, 50, 23, 80);
    set3(sight, 0, 0, -1);
    totweight = 0;
}

bool allFinite()
{
    for (float* v : state)
        for (int i = 0; i < 3; i++)
            if (!std::isfinite(v[i]))
                return false;
    return true;
}

float length(const float* v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

struct Pull {
    float cam[3];
    float view[3];
};

// What one lookAt adds to the current group, from the given eye.
Pull pullOf(float x, float y, int visible)
{
    set3(camjerk, 0, 0, 0);
    set3(sightjerk, 0, 0, 0);
    lookAt(x, y, visible);
    return {{camjerk[0], camjerk[1], camjerk[2]}, {sightjerk[0], sightjerk[1], sightjerk[2]}};
}

class Camera : public testing::Test {
protected:
    void SetUp() override
    {
        startCamera();
        fakegl::reset();
    }
};

using CameraLookAt = Camera;

TEST_F(CameraLookAt, TargetStraightAheadPullsTheEyeForward)
{
    lookAt(50, 23, 1);
    EXPECT_EQ(totweight, 1);
    // norm 80, rad 0: (80 - 20) / 30000 along the view, toward -z.
    EXPECT_NEAR(camjerk[2], -0.002f, eps);
    EXPECT_NEAR(camjerk[0], 0, eps);
    EXPECT_NEAR(camjerk[1], 10 / 1e6f, 1e-9f);
    EXPECT_NEAR(sightjerk[0], 0, eps);
    EXPECT_NEAR(sightjerk[1], 0, eps);
    EXPECT_NEAR(sightjerk[2], -1 / 5000.0f, 1e-9f);
}

TEST_F(CameraLookAt, FarTargetSeenWithVisibleThreeGetsAThirdOfThePull)
{
    const Pull plain = pullOf(60, 23, 1);
    const Pull damped = pullOf(60, 23, 3);
    ASSERT_LT(plain.cam[2], 0);  // far: forward along the view
    EXPECT_NEAR(damped.cam[2], plain.cam[2] / 3, 1e-8f);
    EXPECT_NEAR(damped.cam[0], plain.cam[0], 1e-9f);
    EXPECT_NEAR(damped.cam[1], plain.cam[1], 1e-9f);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(damped.view[i], plain.view[i] / 3, 1e-9f) << i;
}

TEST_F(CameraLookAt, NearTargetIsPulledTheSameForAnyVisible)
{
    camera[2] = 10;
    const Pull plain = pullOf(55, 23, 1);
    const Pull damped = pullOf(55, 23, 3);
    ASSERT_GT(plain.cam[2], 0);  // near: back along the view
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(damped.cam[i], plain.cam[i]) << i;
        EXPECT_FLOAT_EQ(damped.view[i], plain.view[i]) << i;
    }
}

TEST_F(CameraLookAt, TargetAtTheEyeLeavesTheCameraFinite)
{
    set3(camera, 50, 23, 0);
    lookAt(50, 23, 1);
    normCam(1);
    updateCam(20);
    EXPECT_TRUE(allFinite());
    EXPECT_NEAR(length(sight), 1, eps);
}

using CameraGroup = Camera;

TEST_F(CameraGroup, PullsAreAveragedOverTheGroupAndCountedByItsWeight)
{
    lookAt(0, 0, 1);
    lookAt(100, 50, 1);
    const Pull sum = {{camjerk[0], camjerk[1], camjerk[2]}, {sightjerk[0], sightjerk[1], sightjerk[2]}};
    normCam(4);
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(camaccel[i], sum.cam[i] * 4 / 2) << i;
        EXPECT_FLOAT_EQ(sightaccel[i], sum.view[i] * 4 / 2) << i;
        EXPECT_EQ(camjerk[i], 0);
        EXPECT_EQ(sightjerk[i], 0);
    }
    EXPECT_EQ(totweight, 0);
}

TEST_F(CameraGroup, EmptyGroupChangesNothing)
{
    lookAt(10, 10, 1);
    normCam(4);
    const float accel[3] = {camaccel[0], camaccel[1], camaccel[2]};
    normCam(30);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(camaccel[i], accel[i]) << i;
}

using CameraUpdate = Camera;

TEST_F(CameraUpdate, FrameOfNoTimeKeepsPositionAndSpeeds)
{
    set3(speed, 1, 2, 3);
    set3(sightspeed, 0.01f, 0, 0);
    set3(camaccel, 5, 5, 5);
    updateCam(0);
    EXPECT_EQ(camera[0], 50);
    EXPECT_EQ(camera[1], 23);
    EXPECT_EQ(camera[2], 80);
    EXPECT_EQ(speed[0], 1);
    EXPECT_EQ(speed[1], 2);
    EXPECT_EQ(speed[2], 3);
    EXPECT_EQ(sightspeed[0], 0.01f);
    EXPECT_EQ(camaccel[0], 0);
}

TEST_F(CameraUpdate, TwentyMillisecondFrameMovesByAccelTimes400Over3AndStops)
{
    set3(camaccel, 0.003f, -0.006f, 0.0015f);
    updateCam(20);
    EXPECT_NEAR(camera[0], 50 + 0.003f * 400 / 3, 1e-4f);
    EXPECT_NEAR(camera[1], 23 - 0.006f * 400 / 3, 1e-4f);
    EXPECT_NEAR(camera[2], 80 + 0.0015f * 400 / 3, 1e-4f);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(speed[i], 0) << i;
        EXPECT_EQ(sightspeed[i], 0) << i;
        EXPECT_EQ(camaccel[i], 0) << i;
        EXPECT_EQ(sightaccel[i], 0) << i;
    }
    EXPECT_EQ(totweight, 0);
}

TEST_F(CameraUpdate, ViewStaysUnitLengthAsItTurns)
{
    set3(sightaccel, 0.02f, -0.01f, 0.005f);
    updateCam(20);
    EXPECT_NEAR(length(sight), 1, eps);
    EXPECT_GT(sight[0], 0);
    EXPECT_LT(sight[1], 0);
    set3(sightaccel, -0.3f, 0.2f, 0);
    updateCam(7);
    EXPECT_NEAR(length(sight), 1, eps);
}

TEST_F(CameraUpdate, ViewTurnedToNothingKeepsItsDirection)
{
    set3(sightspeed, 0, 0, 1);  // exactly cancels the view
    updateCam(0);
    EXPECT_TRUE(allFinite());
    EXPECT_NEAR(length(sight), 1, eps);
    EXPECT_EQ(sight[2], -1);
}

// Where the current model-view matrix takes a point.
std::array<float, 3> eyeOf(float x, float y, float z)
{
    const fakegl::Matrix& m = fakegl::modelview();
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

using CameraView = Camera;

TEST_F(CameraView, StartValuesLookDownMinusZFromEightyUnits)
{
    applyCam();
    const auto target = eyeOf(50, 23, 0);
    EXPECT_NEAR(target[0], 0, 1e-4f);
    EXPECT_NEAR(target[1], 0, 1e-4f);
    EXPECT_NEAR(target[2], -80, 1e-4f);
    const auto above = eyeOf(50, 33, 0);
    EXPECT_NEAR(above[1], 10, 1e-4f);
}

TEST_F(CameraView, PointAheadAlongTheViewIsStraightAhead)
{
    const float views[][3] = {{0, 0.6f, -0.8f}, {0.6f, 0, -0.8f}, {-0.48f, -0.6f, -0.64f}};
    for (const auto& v : views) {
        fakegl::reset();
        set3(sight, v[0], v[1], v[2]);
        applyCam();
        const float ahead = 30;
        const auto p = eyeOf(camera[0] + v[0] * ahead, camera[1] + v[1] * ahead, camera[2] + v[2] * ahead);
        EXPECT_NEAR(p[0], 0, 1e-3f) << v[0] << " " << v[1];
        EXPECT_NEAR(p[1], 0, 1e-3f) << v[0] << " " << v[1];
        EXPECT_NEAR(p[2], -ahead, 1e-3f) << v[0] << " " << v[1];
    }
}

TEST(CameraProjection, FrustumUsesTheTangentOfTheWholeAngleHalved)
{
    fakegl::reset();
    glPerspective(45.0, 4.0f / 3.0f, 1.0, 10000.0);
    const auto& calls = fakegl::calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, "glFrustum");
    const double fW = 0.5 * 1.3333333730697632;
    const double want[] = {-fW, fW, -0.5, 0.5, 1, 10000};
    for (int i = 0; i < 6; i++)
        EXPECT_DOUBLE_EQ(calls[0].args[i], want[i]) << i;
}

}  // namespace
