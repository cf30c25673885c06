// Tests of the link-time doubles themselves, only where a fault would make
// every other test meaningless without failing it: the recording GL's world
// placement of vertices and normals, and the scripted SDL's clock, timers and
// stall.
#include "fake_gl.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

const float eps = 1e-4f;

void expectPoint(const float* p, float x, float y, float z) {
    EXPECT_NEAR(p[0], x, eps);
    EXPECT_NEAR(p[1], y, eps);
    EXPECT_NEAR(p[2], z, eps);
}

const fakegl::Vertex& drawPoint(float x, float y, float z) {
    glBegin(GL_POINTS);
    glVertex3f(x, y, z);
    glEnd();
    return fakegl::primitives().back().v.back();
}

class FakeGl : public ::testing::Test {
protected:
    void SetUp() override { fakegl::reset(); }
};

// A domino 1 wide and 5 tall tipping 37.5 degrees toward +x about its
// bottom right edge, the way the game turns one about its pivot.
TEST_F(FakeGl, RotationAboutAPivotEdgePlacesCornersAndNormals) {
    glTranslatef(0.5f, 0, 0);
    glRotatef(37.5f, 0, 0, -1);
    glTranslatef(-0.5f, 0, 0);
    glNormal3f(1, 0, 0);
    expectPoint(drawPoint(-0.5f, 5, 0).world, 2.750454f, 4.575528f, 0);
    const fakegl::Vertex& bottom = drawPoint(-0.5f, 0, 0);
    expectPoint(bottom.world, -0.293353f, 0.608761f, 0);
    expectPoint(bottom.normal, 0.793353f, -0.608761f, 0);
    EXPECT_TRUE(fakegl::errors().empty());
}

// Normals go through the inverse transpose and come out unit length, so a
// stretched face is lit from the right side and a mirrored one faces out.
TEST_F(FakeGl, NormalsUnderUnevenScalingAndMirroring) {
    glScalef(2, 1, 1);
    glNormal3f(1, 1, 0);
    const float n = 1 / std::sqrt(1.25f);
    expectPoint(drawPoint(0, 0, 0).normal, 0.5f * n, n, 0);
    glLoadIdentity();
    glScalef(-1, 1, 1);
    glNormal3f(1, 0, 0);
    expectPoint(drawPoint(0, 0, 0).normal, -1, 0, 0);
}

// The modelview at the light's placement is the camera, and world positions
// come out without it; a pop back to it must restore it exactly.
TEST_F(FakeGl, WorldPositionsUndoTheCameraAndPopRestoresIt) {
    glRotatef(20, -1, 0, 0);
    glRotatef(-35, 0, 1, 0);
    glTranslatef(-50, -23, -80);
    const float light[4] = {0.1f, 1, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glPushMatrix();
    glTranslatef(3, 4, 5);
    glRotatef(90, 0, 1, 0);
    expectPoint(drawPoint(1, 0, 0).world, 3, 4, 4);
    glPopMatrix();
    EXPECT_EQ(fakegl::modelview(), fakegl::view());
}

std::vector<Uint32> ticksSeen;

Uint32 pushTick(Uint32 interval, void*) {
    ticksSeen.push_back(SDL_GetTicks());
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
    return interval;
}

Uint8 waitType() {
    SDL_Event e{};
    EXPECT_EQ(SDL_WaitEvent(&e), 1);
    return e.type;
}

class FakeSdl : public ::testing::Test {
protected:
    void SetUp() override {
        scriptedsdl::reset();
        ticksSeen.clear();
    }
    void startTimer(Uint32 interval) {
        ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
        ASSERT_NE(SDL_AddTimer(interval, pushTick, nullptr), nullptr);
    }
};

// Ticks fall at multiples of the interval from when the timer was added;
// scheduled events come in time order, and before a tick due with them.
TEST_F(FakeSdl, TimerTicksFromItsStartAndEventsArriveInTimeOrder) {
    SDL_Delay(7);
    startTimer(20);
    scriptedsdl::keyUp(SDLK_LEFT, 47);
    scriptedsdl::keyDown(SDLK_LEFT, 37);
    const std::pair<Uint8, Uint32> expected[] = {
        {SDL_USEREVENT, 27}, {SDL_KEYDOWN, 37}, {SDL_KEYUP, 47}, {SDL_USEREVENT, 47}};
    for (const auto& want : expected) {
        EXPECT_EQ(waitType(), want.first) << "at " << want.second;
        EXPECT_EQ(scriptedsdl::now(), want.second);
    }
}

// When the script has run out the game is told to quit, without time
// passing that it could have seen.
TEST_F(FakeSdl, WaitThatCouldNeverEndQuitsWithoutMovingTheClock) {
    SDL_Delay(5);
    EXPECT_EQ(waitType(), SDL_QUIT);
    EXPECT_EQ(scriptedsdl::now(), 5u);
}

TEST_F(FakeSdl, StalledFrameFindsTheTicksPiledUp) {
    startTimer(20);
    scriptedsdl::stall(100);
    EXPECT_EQ(SDL_WaitEvent(nullptr), 1);
    EXPECT_EQ(scriptedsdl::now(), 100u);
    SDL_Event e;
    int piled = 0;
    while (SDL_PollEvent(&e))
        ++piled;
    EXPECT_EQ(piled, 5);
    EXPECT_EQ(waitType(), SDL_USEREVENT);
    EXPECT_EQ(scriptedsdl::now(), 120u);
}

// A timer runs only with the timer subsystem up, as with the real library,
// and until its callback answers 0 or SDL_Quit; each answer is the next
// interval. A game that forgot the subsystem or its timer is caught so.
TEST_F(FakeSdl, TimerLivesFromTheSubsystemUntilItsCallbackSaysZeroOrQuit) {
    const SDL_NewTimerCallback slowing = [](Uint32 interval, void*) -> Uint32 {
        ticksSeen.push_back(SDL_GetTicks());
        return interval >= 40 ? 0 : interval * 2;
    };
    EXPECT_EQ(SDL_AddTimer(10, slowing, nullptr), nullptr);
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
    SDL_AddTimer(10, slowing, nullptr);
    SDL_Delay(1000);
    EXPECT_EQ(ticksSeen, (std::vector<Uint32>{10, 30, 70}));
    EXPECT_EQ(scriptedsdl::runningTimers(), 0);

    startTimer(20);
    SDL_Quit();
    EXPECT_EQ(scriptedsdl::runningTimers(), 0);
    EXPECT_EQ(waitType(), SDL_QUIT);
}

}  // namespace
