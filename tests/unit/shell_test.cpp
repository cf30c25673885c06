// The application shell, run for real on the scripted SDL and the recording
// GL: start-up (the first level before the window, then the window, the
// timer and the fixed GL state), the main loop's game time with its 25 ms
// brake, the fixed 50 ms ticks and the interpolation fraction, the key table,
// and the change of level after a fade, whether the level was solved or the
// player fell out of it.
#include "world.h"

#include "fake_gl.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <tuple>

namespace {

const char* const plainLevel = R"(| N
                                  |___)";

using StartUp = GameTest;

// What start-up asked of SDL and of GL, with the game's state as the window
// opened: the level is entered first, its entrance opening.
TEST_F(StartUp, EntersTheFirstLevelThenOpensTheWindowStartsTheTimerAndSetsTheFixedState)
{
    for (const bool hardware : {false, true}) {
        fresh();
        scriptedsdl::setVideoInfo(hardware, hardware);
        writeLevel(1, levelFile(R"(3 2 1 1 2 0
                                   |
                                   |___
                                   |
                                   |___)"));
        ASSERT_TRUE(init(0, nullptr));
        EXPECT_EQ(std::tuple(player.x, player.y, player.deltaZ, level->getWayIn()->speed),
                  std::tuple(8, 8, 1, 1));
        EXPECT_EQ(std::tuple(borderCell.getX(), borderCell.getY(), borderCell.getFloor()),
                  std::tuple(-2, -2, 0));
        const scriptedsdl::Record& r = scriptedsdl::record();
        char window[160];
        snprintf(window, sizeof window,
                 "SDL_Init %#x\nwindow %d x %d x %d flags %#x, called %s\ntimer %u ms\n", r.initFlags,
                 r.width, r.height, r.bpp, r.videoFlags, r.caption.c_str(), r.timerInterval);
        std::string attributes;
        for (const auto& [attribute, value] : r.glAttributes)
            attributes += "GL attribute " + std::to_string(attribute) + " = " + std::to_string(value) + "\n";
        expectPicture(hardware ? "startup-hardware" : "startup", window + attributes + fakegl::stateLog());
        EXPECT_EQ(VideoFlags, int(r.videoFlags));
        EXPECT_NE(mainWindow, nullptr);
        EXPECT_EQ(scriptedsdl::runningTimers(), 1);
    }
    EXPECT_EQ(triggerRefresh(20, nullptr), 20u);
    SDL_Event e;
    ASSERT_EQ(SDL_PollEvent(&e), 1);
    EXPECT_EQ(std::tuple(e.type, e.user.code), std::tuple(SDL_USEREVENT, 2));
}

using StartUpDeathTest = GameTest;

// A failed SDL_Init is only reported; the scripted SDL then has no video, so
// start-up stops at the next check.
TEST_F(StartUpDeathTest, VideoFailuresEndWithTheirStatusAndMessage)
{
    const struct {
        void (*fail)(const char*);
        int status;
        const char* message;
    } cases[] = {
        {scriptedsdl::failInit, 1, "^Failed initializing SDL Video : failed\nFailed getting Video Info : "},
        {scriptedsdl::failVideoInfo, 1, "^Failed getting Video Info : failed\n$"},
        {scriptedsdl::failSetVideoMode, 2, "^Failed to Create Window : failed\n$"},
    };
    for (const auto& c : cases) {
        fresh();
        writeLevel(1, levelFile(plainLevel));
        c.fail("failed");
        EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(c.status), c.message);
    }
}

// What one frame showed: the game state as the buffers were swapped, the
// drawn lean of the one yellow domino and the alpha of the fade overlay.
struct Snap {
    int levelnum, wid;
    bool done, canPush;
    Player who;
    std::array<float, 3> eye, pull;  // camera and camaccel
    std::string caption;
    float lean = NAN;  // degrees toward +x, read off the normal of the right face
    float fade = 0;    // 0 when there is no overlay
};

Snap snap()
{
    Snap s{levelnum,
           level->wid,
           levelDone,
           level->canPush(),
           player,
           {camera[0], camera[1], camera[2]},
           {camaccel[0], camaccel[1], camaccel[2]},
           scriptedsdl::record().caption};
    // The domino's body is one batch of faces, its right face the second;
    // a yellow quad alone (a slab of floor, kept in a block) is no body.
    for (const fakegl::Primitive& p : fakegl::primitives())
        if (p.mode == GL_QUADS && p.v.size() > 4 && p.v[0].color[1] == 1 && p.v[0].color[2] == 0)
            s.lean = std::atan2(-p.v[4].normal[1], p.v[4].normal[0]) * 180 / 3.141592653589793;
    // The overlay is the last quad, black and translucent.
    const float* c = fakegl::primitives().back().v[0].color;
    if (c[0] == 0 && c[1] == 0 && c[2] == 0 && c[3] != 1)
        s.fade = c[3];
    return s;
}

// Runs the loop to its end; every frame is seen, by the SDL clock, after act.
std::map<Uint32, Snap> runLoop(std::function<void(Uint32)> act = nullptr)
{
    std::map<Uint32, Snap> seen;
    scriptedsdl::setFrameHook([&] {
        if (act)
            act(scriptedsdl::now());
        seen[scriptedsdl::now()] = snap();
    });
    mainLoop();
    scriptedsdl::setFrameHook(nullptr);
    return seen;
}

using MainLoop = GameTest;

// The player coming out of the entrance moves one step a tick, and only in
// ticks, so its depth counts the ticks; the falling domino's drawn lean shows
// game time. Each run ends with a quit whose pass still ticks and draws, and
// no pass comes after it.
TEST_F(MainLoop, TicksOnlyPastFiftyPendingMillisecondsAndAtMostTwentyFiveMillisecondsAPass)
{
    // A key at 51 ms adds a pass; at 100 ms exactly 50 ms are pending, so no
    // tick runs and t is 1. After a stall of 200 ms, game time is 25, 50, 75,
    // 100 and 125 ms at real 200, 220, 240, 260 and 280.
    const struct {
        Uint32 stall, at;
        float lean;
        int z;
    } frames[] = {
        {0, 20, 6, -9},     {0, 40, 12, -9},       {0, 51, 15.3f, -8}, {0, 60, 18, -8},
        {0, 80, 24, -8},    {0, 100, 30, -8},      {0, 120, 36, -7},   {200, 200, 7.5f, -9},
        {200, 220, 15, -9}, {200, 240, 22.5f, -8}, {200, 260, 30, -8}, {200, 280, 37.5f, -7},
    };
    for (const Uint32 stall : {0, 200}) {
        fresh();
        writeLevel(1, levelFile(plainLevel));
        ASSERT_TRUE(init(0, nullptr));
        Domino* falling = level->getCell(1, 0)->getDomino(0);
        falling->speed = 1;
        level->wake(falling);
        scriptedsdl::stall(stall);
        if (!stall)
            scriptedsdl::keyDown(SDLK_a, 51);  // any event starts a pass
        scriptedsdl::quitAt(stall ? 280 : 120);
        auto seen = runLoop();
        size_t passes = 0;
        for (const auto& f : frames)
            if (f.stall == stall) {
                passes++;
                EXPECT_NEAR(seen[f.at].lean, f.lean, 1e-3) << "pass at " << f.at << " ms";
                EXPECT_EQ(seen[f.at].who.z, f.z) << "pass at " << f.at << " ms";
            }
        EXPECT_EQ(seen.size(), passes) << "stall " << stall;
    }
}

// The player is still coming out of the entrance for these 240 ms, when a
// tick changes none of what the keys set. Releasing a key that is no arrow
// does nothing; releasing any arrow stops.
TEST_F(MainLoop, EachKeyReachesThePlayerInThePassThatTakesIt)
{
    writeLevel(1, levelFile(R"(2 2 0 1 1 1
                               |N
                               |[)
                               |
                               || )"));
    ASSERT_TRUE(init(0, nullptr));
    Domino* domino = level->getCell(0, 1)->getDomino(0);
    const struct {
        Uint32 at;
        SDLKey key;
        bool down;
    } script[] = {
        {10, SDLK_RIGHT, true},  {30, SDLK_SPACE, false}, {50, SDLK_COMMA, false}, {70, SDLK_PERIOD, false},
        {90, SDLK_RIGHT, false}, {110, SDLK_UP, true},    {130, SDLK_LEFT, false}, {150, SDLK_DOWN, true},
        {170, SDLK_LEFT, true},  {190, SDLK_SPACE, true}, {210, SDLK_SPACE, true}, {230, SDLK_PERIOD, true},
    };
    for (const auto& s : script)
        s.down ? scriptedsdl::keyDown(s.key, s.at) : scriptedsdl::keyUp(s.key, s.at);
    scriptedsdl::quitAt(240);
    auto seen = runLoop();

    using Motion = std::tuple<int, int, bool>;  // speed, vspeed, stopping
    auto motion = [&](Uint32 at) {
        return Motion(seen[at].who.speed, seen[at].who.vspeed, seen[at].who.stopping);
    };
    for (Uint32 releaseOfANonArrow : {10, 30, 50, 70})
        EXPECT_EQ(motion(releaseOfANonArrow), Motion(1, 0, false)) << releaseOfANonArrow << " ms";
    EXPECT_TRUE(seen[90].who.stopping);
    EXPECT_EQ(motion(110), Motion(0, 1, false));
    EXPECT_TRUE(seen[130].who.stopping);
    EXPECT_EQ(seen[150].who.vspeed, -1);
    EXPECT_EQ(motion(170), Motion(-1, 0, false)) << "walking stops the climb";
    EXPECT_EQ(seen[190].who.held, domino);
    EXPECT_EQ(seen[210].who.held, nullptr);
    EXPECT_TRUE(seen[210].canPush);
    EXPECT_FALSE(seen[230].canPush);
    EXPECT_EQ(domino->speed, 1);
}

// Each frame places the camera (the view matrix, logged where the light is
// placed) after the pulls of the last: the player walking out of the door and
// on, the level's corners, and a domino while it falls. The last frame, in
// the fade after the level ended, is darkened by a quad over the whole view.
TEST_F(MainLoop, TheCameraFlightFollowsThePlayerTheCornersAndAFallingDomino)
{
    writeLevel(1, levelFile(R"(| N
                               |______)"));
    ASSERT_TRUE(init(0, nullptr));
    const std::string startUp = fakegl::stateLog();
    scriptedsdl::keyDown(SDLK_RIGHT, 500);
    scriptedsdl::keyDown(SDLK_PERIOD, 600);
    scriptedsdl::setFrameHook([] { levelDone = levelDone || scriptedsdl::now() == 1200; });
    scriptedsdl::quitAt(1500);
    mainLoop();
    expectPicture("camera-flight",
                  fakegl::stateLog().substr(startUp.size())
                      + fakegl::picture(fakegl::primitives().size() - 1));
}

// A target at the eye has no direction to turn to, and a turn that exactly
// cancels the view leaves nothing to renormalise: the camera must stay finite,
// keeping the view it had.
TEST(Camera, ATargetAtTheEyeOrAViewTurnedToNothingKeepsTheViewFinite)
{
    resetCamera();
    camera[2] = 0;
    lookAt(50, 23, 1);
    normCam(1);
    updateCam(20);
    for (const float* v : {camera, speed, camaccel, sight, sightspeed, sightaccel})
        EXPECT_TRUE(std::isfinite(v[0] + v[1] + v[2]));
    EXPECT_EQ(std::tuple(sight[0], sight[1], sight[2]), std::tuple(0, 0, -1));
    sightspeed[2] = 1;
    updateCam(0);
    EXPECT_EQ(std::tuple(sight[0], sight[1], sight[2]), std::tuple(0, 0, -1));
}

using LevelChange = GameTest;

// Nothing moves during the fade; the camera is not reset, but moves on from
// where level 1 left it by the pull gathered in its last frame, over the
// 20 ms of the pass (a reset would have put it back at (50, 23, 80) first).
TEST_F(LevelChange, ASolvedLevelFadesFor1500MillisecondsFrozenThenTheNextIsEntered)
{
    writeLevel(1, levelFile(plainLevel));
    writeLevel(2, levelFile(R"(4 1 3 0 0 0
                               |
                               |____)"));
    ASSERT_TRUE(init(0, nullptr));
    scriptedsdl::quitAt(1620);
    auto seen = runLoop([](Uint32 now) { levelDone = levelDone || now == 100; });  // as walking out does

    EXPECT_FLOAT_EQ(seen[120].fade, 20 / 1500.0f);
    EXPECT_FLOAT_EQ(seen[860].fade, 760 / 1500.0f);
    EXPECT_LT(seen[120].who.z, 0);
    const Snap& last = seen[1580];
    const Snap& next = seen[1600];
    EXPECT_EQ(std::tuple(last.who.z, last.wid, last.done, last.caption),
              std::tuple(seen[120].who.z, 3, true, "Toppleton - level 1"));
    EXPECT_EQ(std::tuple(next.levelnum, next.wid, next.done, next.fade, next.who.x, next.caption),
              std::tuple(2, 4, false, 0.0f, 24, "Toppleton - level 2"));
    const float startAt[] = {50, 23, 80};
    for (int i = 0; i < 3; i++) {
        EXPECT_GT(std::fabs(last.eye[i] - startAt[i]), 0.1) << i;
        EXPECT_NEAR(next.eye[i], last.eye[i] + last.pull[i] * 400 / 3, 1e-3) << i;
    }
}

}  // namespace
