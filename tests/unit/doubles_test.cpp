// Tests of the link-time doubles themselves, where a fault would mislead
// every other test: the recording GL's matrix maths and world placement, and
// the scripted SDL's clock, timer and event order.
#include "fake_gl.h"
#include "fake_sdl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

const float eps = 1e-4f;

void expectPoint(const float* p, float x, float y, float z) {
    EXPECT_NEAR(p[0], x, eps);
    EXPECT_NEAR(p[1], y, eps);
    EXPECT_NEAR(p[2], z, eps);
}

void drawPoint(float x, float y, float z) {
    glBegin(GL_POINTS);
    glVertex3f(x, y, z);
    glEnd();
}

const fakegl::Vertex& lastVertex() {
    return fakegl::primitives().back().v.back();
}

// A camera that is neither identity nor a pure translation.
void placeCamera() {
    glLoadIdentity();
    glRotatef(20, -1, 0, 0);
    glRotatef(-35, 0, 1, 0);
    glTranslatef(-50, -23, -80);
    const float light[4] = {0.1f, 1, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
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
    glBegin(GL_QUADS);
    glVertex3f(-0.5f, 5, 0);
    glVertex3f(-0.5f, 0, 0);
    glEnd();

    const auto& v = fakegl::primitives().at(0).v;
    expectPoint(v[0].world, 2.750454f, 4.575528f, 0);
    expectPoint(v[1].world, -0.293353f, 0.608761f, 0);
    expectPoint(v[0].normal, 0.793353f, -0.608761f, 0);
    EXPECT_TRUE(fakegl::errors().empty());
}

TEST_F(FakeGl, NormalsFollowTheInverseTransposeUnderUnevenScaling) {
    glScalef(2, 1, 1);
    glNormal3f(1, 1, 0);
    drawPoint(0, 0, 0);
    const float n = 1 / std::sqrt(1.25f);
    expectPoint(lastVertex().normal, 0.5f * n, n, 0);
}

TEST_F(FakeGl, MirroringKeepsNormalsPointingOutward) {
    glScalef(-1, 1, 1);
    glNormal3f(1, 0, 0);
    drawPoint(0, 0, 0);
    expectPoint(lastVertex().normal, -1, 0, 0);
}

TEST_F(FakeGl, WorldPositionsUndoTheCameraCapturedAtTheLight) {
    placeCamera();
    glPushMatrix();
    glTranslatef(3, 4, 5);
    drawPoint(1, 0, 0);
    glPopMatrix();

    const fakegl::Vertex& v = lastVertex();
    expectPoint(v.world, 4, 4, 5);
    const fakegl::Matrix& view = fakegl::view();
    const float x = 4, y = 4, z = 5;
    for (int r = 0; r < 3; ++r)
        EXPECT_NEAR(v.eye[r], view[r] * x + view[4 + r] * y + view[8 + r] * z + view[12 + r], 1e-3f);
}

TEST_F(FakeGl, LoadIdentityForgetsTheCameraSoEyeAndWorldAgree) {
    placeCamera();
    glLoadIdentity();
    drawPoint(1, 2, -3);
    expectPoint(lastVertex().world, 1, 2, -3);
    expectPoint(lastVertex().eye, 1, 2, -3);
}

TEST_F(FakeGl, DeviceCoordinatesGoThroughTheFrustumAndTheView) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-2, 2, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0, 0, -5);
    const float light[4] = {0, 0, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);

    expectPoint(fakegl::deviceCoords(2, 1, 4).data(), 1, 1, -1);
    expectPoint(fakegl::deviceCoords(0, 0, -5).data(), 0, 0, 1);
    EXPECT_EQ(fakegl::projection()[11], -1);
    EXPECT_FLOAT_EQ(fakegl::projection()[14], -20.0f / 9);
}

TEST_F(FakeGl, PushAndPopRestoreTheMatrix) {
    glTranslatef(1, 2, 3);
    const fakegl::Matrix before = fakegl::modelview();
    glPushMatrix();
    glRotatef(90, 0, 1, 0);
    glScalef(3, 3, 3);
    glPopMatrix();
    EXPECT_EQ(fakegl::modelview(), before);
}

TEST_F(FakeGl, ClearStartsANewFrameButKeepsTheStateLog) {
    glEnable(GL_LIGHTING);
    drawPoint(0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    drawPoint(1, 1, 1);

    ASSERT_EQ(fakegl::primitives().size(), 1u);
    expectPoint(fakegl::primitives()[0].v[0].world, 1, 1, 1);
    ASSERT_FALSE(fakegl::calls().empty());
    EXPECT_EQ(fakegl::calls().front().name, "glClear");
    ASSERT_EQ(fakegl::stateCalls().size(), 2u);
    EXPECT_EQ(fakegl::stateCalls()[0].name, "glEnable");
    EXPECT_EQ(fakegl::stateCalls()[0].args.at(0), GL_LIGHTING);
    EXPECT_TRUE(fakegl::isEnabled(GL_LIGHTING));
}

TEST_F(FakeGl, ColoursCarryAlphaAndFilterWithTolerance) {
    glColor4f(0.2f, 0.4f, 0.6f, 0.5f);
    drawPoint(0, 0, 0);
    EXPECT_FLOAT_EQ(lastVertex().color[3], 0.5f);
    glColor3f(1, 0, 0);
    drawPoint(2, -1, 7);
    EXPECT_FLOAT_EQ(lastVertex().color[3], 1);

    auto reds = fakegl::withColor(fakegl::primitives(), 0.99f, 0.01f, 0);
    ASSERT_EQ(reds.size(), 1u);
    fakegl::Bounds b = fakegl::bounds(reds);
    expectPoint(b.min, 2, -1, 7);
    EXPECT_TRUE(fakegl::withColor(fakegl::primitives(), 0.2f, 0.4f, 0.7f).empty());
}

TEST_F(FakeGl, BoundsOfNothingIsEmpty) {
    fakegl::Bounds b = fakegl::bounds(fakegl::primitives());
    EXPECT_GT(b.min[0], b.max[0]);
}

TEST_F(FakeGl, StackMisuseIsReportedAndIgnored) {
    glPopMatrix();
    EXPECT_EQ(fakegl::errors(), std::vector<GLenum>{GL_STACK_UNDERFLOW});

    fakegl::reset();
    for (int i = 1; i < 32; ++i)
        glPushMatrix();
    EXPECT_TRUE(fakegl::errors().empty());
    glPushMatrix();
    EXPECT_EQ(fakegl::errors(), std::vector<GLenum>{GL_STACK_OVERFLOW});
}

TEST_F(FakeGl, CallsOutsideTheirPlaceAroundBeginAndEndAreReportedAndIgnored) {
    glBegin(GL_QUADS);
    glTranslatef(9, 9, 9);
    glBegin(GL_TRIANGLES);
    glEnd();
    glEnd();
    glVertex3f(0, 0, 0);

    EXPECT_EQ(fakegl::errors(), std::vector<GLenum>(4, GL_INVALID_OPERATION));
    EXPECT_EQ(fakegl::modelview(), fakegl::view());
    ASSERT_EQ(fakegl::primitives().size(), 1u);
    EXPECT_EQ(fakegl::primitives()[0].mode, GLenum{GL_QUADS});
    EXPECT_TRUE(fakegl::primitives()[0].v.empty());
}

// The scripted SDL: clock, timers, the event queue and the records.

std::vector<Uint32> ticksSeen;

Uint32 pushTick(Uint32 interval, void*) {
    ticksSeen.push_back(SDL_GetTicks());
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
    return interval;
}

Uint8 waitType() {
    SDL_Event e;
    EXPECT_EQ(SDL_WaitEvent(&e), 1);
    return e.type;
}

int drain() {
    int n = 0;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        ++n;
    return n;
}

class FakeSdl : public ::testing::Test {
protected:
    void SetUp() override {
        fakesdl::reset();
        ticksSeen.clear();
    }
    void startTimer(Uint32 interval) {
        ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
        ASSERT_NE(SDL_AddTimer(interval, pushTick, nullptr), nullptr);
    }
};

TEST_F(FakeSdl, TimerTicksAtMultiplesOfItsIntervalFromWhenItWasAdded) {
    SDL_Delay(7);
    startTimer(20);
    EXPECT_EQ(waitType(), SDL_USEREVENT);
    EXPECT_EQ(waitType(), SDL_USEREVENT);
    EXPECT_EQ(ticksSeen, (std::vector<Uint32>{27, 47}));
    EXPECT_EQ(fakesdl::now(), 47u);
    EXPECT_EQ(fakesdl::record().timerInterval, 20u);
}

TEST_F(FakeSdl, ScheduledEventsArriveInTimeOrderBeforeATickDueWithThem) {
    startTimer(20);
    fakesdl::keyUp(SDLK_LEFT, 40);
    fakesdl::keyDown(SDLK_LEFT, 30);
    fakesdl::keyDown(SDLK_SPACE, 40);

    EXPECT_EQ(waitType(), SDL_USEREVENT);
    SDL_Event e;
    SDL_WaitEvent(&e);
    EXPECT_EQ(e.type, SDL_KEYDOWN);
    EXPECT_EQ(e.key.state, SDL_PRESSED);
    EXPECT_EQ(e.key.keysym.sym, SDLK_LEFT);
    EXPECT_EQ(fakesdl::now(), 30u);
    SDL_WaitEvent(&e);
    EXPECT_EQ(e.type, SDL_KEYUP);
    SDL_WaitEvent(&e);
    EXPECT_EQ(e.key.keysym.sym, SDLK_SPACE);
    EXPECT_EQ(waitType(), SDL_USEREVENT);
    EXPECT_EQ(fakesdl::now(), 40u);
}

TEST_F(FakeSdl, WaitWithoutAnEventLeavesTheQueueAlone) {
    fakesdl::pressNow(SDLK_a);
    fakesdl::releaseNow(SDLK_a);
    EXPECT_EQ(SDL_WaitEvent(nullptr), 1);
    EXPECT_EQ(SDL_WaitEvent(nullptr), 1);
    SDL_Event e;
    ASSERT_EQ(SDL_PollEvent(&e), 1);
    EXPECT_EQ(e.type, SDL_KEYDOWN);
    ASSERT_EQ(SDL_PollEvent(&e), 1);
    EXPECT_EQ(e.type, SDL_KEYUP);
    EXPECT_EQ(SDL_PollEvent(&e), 0);
    EXPECT_EQ(fakesdl::record().passes, 2);
}

TEST_F(FakeSdl, AWaitThatCouldNeverEndQuitsWithoutMovingTheClock) {
    SDL_Delay(5);
    EXPECT_EQ(waitType(), SDL_QUIT);
    EXPECT_EQ(fakesdl::now(), 5u);
}

TEST_F(FakeSdl, TheTimeLimitQuitsAtTheLimit) {
    fakesdl::setTimeLimit(100);
    startTimer(30);
    fakesdl::keyDown(SDLK_a, 500);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(waitType(), SDL_USEREVENT);
    EXPECT_EQ(waitType(), SDL_QUIT);
    EXPECT_EQ(fakesdl::now(), 100u);
}

TEST_F(FakeSdl, AStalledFrameFindsTheTicksPiledUp) {
    startTimer(20);
    fakesdl::stall(100);
    EXPECT_EQ(SDL_WaitEvent(nullptr), 1);
    EXPECT_EQ(fakesdl::now(), 100u);
    EXPECT_EQ(drain(), 5);
    EXPECT_EQ(waitType(), SDL_USEREVENT);
    EXPECT_EQ(fakesdl::now(), 120u);
}

Uint32 slowingTick(Uint32 interval, void*) {
    ticksSeen.push_back(SDL_GetTicks());
    return interval >= 40 ? 0 : interval * 2;
}

TEST_F(FakeSdl, TheCallbackSetsTheNextIntervalAndZeroStopsTheTimer) {
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
    SDL_AddTimer(10, slowingTick, nullptr);
    SDL_Delay(1000);
    EXPECT_EQ(ticksSeen, (std::vector<Uint32>{10, 30, 70}));
    EXPECT_EQ(fakesdl::runningTimers(), 0);
}

TEST_F(FakeSdl, TimersNeedTheTimerSubsystemAndStopAtQuit) {
    EXPECT_EQ(SDL_AddTimer(20, pushTick, nullptr), nullptr);
    EXPECT_STRNE(SDL_GetError(), "");

    startTimer(20);
    SDL_Quit();
    EXPECT_EQ(fakesdl::runningTimers(), 0);
    EXPECT_EQ(waitType(), SDL_QUIT);
    EXPECT_EQ(fakesdl::record().quits, 1);
}

TEST_F(FakeSdl, HooksRunInsideTheWaitAndTheSwap) {
    int passesSeen = -1;
    fakesdl::setPassHook([&] {
        passesSeen = fakesdl::record().passes;
        fakesdl::pressNow(SDLK_UP);
    });
    EXPECT_EQ(waitType(), SDL_KEYDOWN);
    EXPECT_EQ(passesSeen, 1);

    // A hook that resets everything, and with it itself, then still reads
    // what it captured.
    std::string seen;
    const std::string captured(64, 'x');
    fakesdl::setFrameHook([captured, &seen] {
        fakesdl::reset();
        seen = captured;
    });
    SDL_GL_SwapBuffers();
    EXPECT_EQ(seen, captured);
    EXPECT_EQ(fakesdl::record().swaps, 0);
}

TEST_F(FakeSdl, InjectedFailuresReportTheirError) {
    fakesdl::failInit("no display");
    EXPECT_EQ(SDL_Init(SDL_INIT_VIDEO), -1);
    EXPECT_STREQ(SDL_GetError(), "no display");
    EXPECT_EQ(SDL_GetVideoInfo(), nullptr);
    EXPECT_STREQ(SDL_GetError(), "no display");

    fakesdl::reset();
    fakesdl::failVideoInfo("no info");
    SDL_Init(SDL_INIT_VIDEO);
    EXPECT_EQ(SDL_GetVideoInfo(), nullptr);
    EXPECT_STREQ(SDL_GetError(), "no info");

    fakesdl::failSetVideoMode("no mode");
    EXPECT_EQ(SDL_SetVideoMode(640, 480, 16, SDL_OPENGL), nullptr);
    EXPECT_STREQ(SDL_GetError(), "no mode");
    EXPECT_EQ(fakesdl::record().videoModeCalls, 1);
    EXPECT_EQ(fakesdl::record().width, 640);
}

TEST_F(FakeSdl, VideoRequestsAreRecordedAndAnswered) {
    fakesdl::setVideoInfo(true, false);
    SDL_Init(SDL_INIT_VIDEO);
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->hw_available);
    EXPECT_FALSE(info->blit_hw);

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Surface* window = SDL_SetVideoMode(960, 720, 24, SDL_OPENGL);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->w, 960);
    EXPECT_EQ(window->h, 720);
    const auto& attrs = fakesdl::record().glAttributes;
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[1], std::make_pair(SDL_GL_DEPTH_SIZE, 24));
    EXPECT_EQ(fakesdl::record().videoFlags, Uint32{SDL_OPENGL});
}

}  // namespace
