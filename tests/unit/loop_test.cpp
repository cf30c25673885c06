// The application shell, run for real on the scripted SDL and recording GL:
// start-up order, window and fixed GL state and its failures; the main loop's
// game time with its 25 ms brake, the fixed 50 ms ticks and the interpolation
// fraction; the key table; quitting; and the change of level after a fade.
#include "world.h"

#include "fake_gl.h"
#include "fake_sdl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;

const std::string plainLevel = "3 1 0 0 2 0\n___\n N \n";

// A working directory of its own holding levels/, with the game globals as
// they are before main.
class Shell : public testing::Test {
protected:
    fs::path home;
    fs::path dir;

    void SetUp() override
    {
        fakesdl::reset();
        fakegl::reset();
        home = fs::current_path();
        char pattern[] = "/tmp/toppleton-shell-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir = pattern;
        fs::create_directory(dir / "levels");
        fs::current_path(dir);
        levelnum = 1;
        levelDone = false;
        level = nullptr;
    }

    void TearDown() override
    {
        delete level;
        level = nullptr;
        fs::current_path(home);
        fs::remove_all(dir);
    }

    void writeLevel(int n, const std::string& text)
    {
        std::ofstream(dir / "levels" / std::to_string(n), std::ios::binary) << text;
    }

    void start(const std::string& firstLevel = plainLevel)
    {
        writeLevel(1, firstLevel);
        ASSERT_TRUE(init(0, nullptr));
    }
};

using StartUp = Shell;

TEST_F(StartUp, MissingFirstLevelNeverStartsSdl)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(init(0, nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Can't start: level file \"levels/1\" could not be loaded\n");
    EXPECT_EQ(fakesdl::record().initFlags, 0u);
    EXPECT_EQ(fakesdl::record().videoModeCalls, 0);
    EXPECT_EQ(fakesdl::runningTimers(), 0);
    EXPECT_TRUE(fakegl::stateCalls().empty());
}

TEST_F(StartUp, BrokenFirstLevelPrintsTheLoaderMessageAndStartsNothing)
{
    writeLevel(1, "3 1 0 0 2 0\n___\nn  \n");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(init(0, nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Can't start: level file \"levels/1\" could not be loaded\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Illegal domino character 'n'\n");
    EXPECT_EQ(fakesdl::record().initFlags, 0u);
}

TEST_F(StartUp, LevelNumberBeyondThePathBufferIsRefused)
{
    writeLevel(100, plainLevel);
    levelnum = 1000;
    EXPECT_FALSE(init(0, nullptr));
    EXPECT_EQ(level, nullptr);
    EXPECT_EQ(fakesdl::record().initFlags, 0u);
}

TEST_F(StartUp, FirstLevelIsEnteredAndTheEntranceOpening)
{
    start("3 2 1 1 2 0\n___\n___\n   \n   \n");
    EXPECT_EQ(level->wid, 3);
    EXPECT_EQ(level->getWayIn()->speed, 1);
    EXPECT_EQ(player.x, 8 * 1);
    EXPECT_EQ(player.y, 8 * 1);
    EXPECT_EQ(borderCell.getX(), -2);
    EXPECT_EQ(borderCell.getY(), -2);
    EXPECT_EQ(borderCell.getFloor(), 0);
    EXPECT_EQ(fakesdl::record().initFlags, Uint32(SDL_INIT_TIMER | SDL_INIT_VIDEO));
}

TEST_F(StartUp, WindowIs960By720InTrueColourWithDepthAndDoubleBuffer)
{
    start();
    const fakesdl::Record& r = fakesdl::record();
    EXPECT_EQ(r.videoModeCalls, 1);
    EXPECT_EQ(r.width, 960);
    EXPECT_EQ(r.height, 720);
    EXPECT_EQ(r.bpp, 24);
    EXPECT_NE(mainWindow, nullptr);
    const std::vector<std::pair<SDL_GLattr, int>> attributes = {
        {SDL_GL_DOUBLEBUFFER, 1},     {SDL_GL_DEPTH_SIZE, 24},        {SDL_GL_STENCIL_SIZE, 0},
        {SDL_GL_ACCUM_RED_SIZE, 0},   {SDL_GL_ACCUM_GREEN_SIZE, 0},   {SDL_GL_ACCUM_BLUE_SIZE, 0},
        {SDL_GL_ACCUM_ALPHA_SIZE, 0},
    };
    EXPECT_EQ(r.glAttributes, attributes);
}

TEST_F(StartUp, SoftwareVideoAsksForOpenGlWithAHardwarePalette)
{
    fakesdl::setVideoInfo(false, false);
    start();
    EXPECT_EQ(fakesdl::record().videoFlags, Uint32(SDL_OPENGL | SDL_HWPALETTE));
    EXPECT_EQ(Uint32(VideoFlags), fakesdl::record().videoFlags);
}

TEST_F(StartUp, HardwareVideoAddsHardwareSurfaceAndAcceleration)
{
    fakesdl::setVideoInfo(true, true);
    start();
    EXPECT_EQ(fakesdl::record().videoFlags,
              Uint32(SDL_OPENGL | SDL_HWPALETTE | SDL_HWSURFACE | SDL_HWACCEL));
}

TEST_F(StartUp, RefreshTimerWakesTheLoopEveryTwentyMilliseconds)
{
    start();
    EXPECT_EQ(fakesdl::record().timerInterval, 20u);
    EXPECT_EQ(fakesdl::runningTimers(), 1);
    EXPECT_EQ(triggerRefresh(20, nullptr), 20u);
    SDL_Event e;
    ASSERT_EQ(SDL_PollEvent(&e), 1);
    EXPECT_EQ(e.type, SDL_USEREVENT);
    EXPECT_EQ(e.user.code, 2);
}

TEST_F(StartUp, FixedGlStateEndsWithTheProjectionAndAnIdentityModelView)
{
    start();
    const double fW = 0.5 * 1.3333333730697632;
    const std::vector<fakegl::Call> expected = {
        {"glPolygonMode", {GL_FRONT_AND_BACK, GL_FILL}},
        {"glShadeModel", {GL_SMOOTH}},
        {"glEnable", {GL_NORMALIZE}},
        {"glEnable", {GL_LIGHTING}},
        {"glColorMaterial", {GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE}},
        {"glEnable", {GL_COLOR_MATERIAL}},
        {"glEnable", {GL_LIGHT0}},
        {"glEnable", {GL_BLEND}},
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glClearDepth", {1.0}},
        {"glEnable", {GL_DEPTH_TEST}},
        {"glMatrixMode", {GL_PROJECTION}},
        {"glLoadIdentity", {}},
        {"glFrustum", {-fW, fW, -0.5, 0.5, 1, 10000}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glLoadIdentity", {}},
    };
    const auto& calls = fakegl::stateCalls();
    ASSERT_EQ(calls.size(), expected.size());
    for (size_t i = 0; i < calls.size(); i++) {
        EXPECT_EQ(calls[i].name, expected[i].name) << "call " << i;
        ASSERT_EQ(calls[i].args.size(), expected[i].args.size()) << calls[i].name;
        for (size_t a = 0; a < calls[i].args.size(); a++)
            EXPECT_DOUBLE_EQ(calls[i].args[a], expected[i].args[a]) << calls[i].name << " argument " << a;
    }
    EXPECT_TRUE(fakegl::errors().empty());
}

using StartUpDeathTest = Shell;

// The scripted SDL has no video once SDL_Init failed, so start-up goes on
// to the next check and stops there.
TEST_F(StartUpDeathTest, SdlInitFailureIsReportedAndStartUpGoesOn)
{
    writeLevel(1, plainLevel);
    fakesdl::failInit("no driver");
    EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(1),
                "^Failed initializing SDL Video : no driver\nFailed getting Video Info : ");
}

TEST_F(StartUpDeathTest, MissingVideoInfoEndsWithStatusOne)
{
    writeLevel(1, plainLevel);
    fakesdl::failVideoInfo("no info");
    EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(1), "^Failed getting Video Info : no info\n$");
}

TEST_F(StartUpDeathTest, WindowThatCannotBeCreatedEndsWithStatusTwo)
{
    writeLevel(1, plainLevel);
    fakesdl::failSetVideoMode("no window");
    EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(2), "^Failed to Create Window : no window\n$");
}

// How far the yellow domino of the frame just drawn is turned toward +x, in
// degrees, read off the normal of its right face.
float drawnLean()
{
    const auto box = fakegl::withColor(fakegl::primitives(), 1, 1, 0);
    if (box.size() != 1)
        return NAN;
    const fakegl::Vertex* right = &box[0].v[0];
    for (const fakegl::Vertex& v : box[0].v)
        if (v.normal[0] > right->normal[0])
            right = &v;
    return std::atan2(-right->normal[1], right->normal[0]) * 180 / 3.141592653589793;
}

// Runs the loop, calling snap after every frame with the SDL clock.
template <class Snap>
void runLoop(Snap snap)
{
    fakesdl::setFrameHook([snap] { snap(fakesdl::now()); });
    mainLoop();
    fakesdl::setFrameHook(nullptr);
}

using MainLoopTime = Shell;

TEST_F(MainLoopTime, TickRunsOnlyPastFiftyPendingMillisecondsAndTIsOneAtFifty)
{
    start();
    level->getCell(1, 0)->getDomino(0)->speed = 1;
    fakesdl::keyDown(SDLK_a, 51);  // any event starts a pass
    fakesdl::quitAt(120);
    std::map<Uint32, float> lean;
    runLoop([&](Uint32 now) { lean[now] = drawnLean(); });
    // Passes at 20, 40, 51, 60, 80, 100, 120 ms; ticks at 51 and 120.
    const std::map<Uint32, float> expected = {{20, 6},  {40, 12},  {51, 15.3f}, {60, 18},
                                              {80, 24}, {100, 30}, {120, 36}};
    ASSERT_EQ(lean.size(), expected.size());
    for (const auto& [now, degrees] : expected)
        EXPECT_NEAR(lean[now], degrees, 1e-3) << "pass at " << now << " ms";
}

TEST_F(MainLoopTime, PassAfterAStallAdvancesTwentyFiveMillisecondsAndOneTickAtMost)
{
    start();
    level->getCell(1, 0)->getDomino(0)->speed = 1;
    fakesdl::stall(200);
    fakesdl::quitAt(280);
    std::map<Uint32, float> lean;
    runLoop([&](Uint32 now) { lean[now] = drawnLean(); });
    // Game time 25, 50, 75, 100, 125 ms at real 200, 220, 240, 260, 280.
    const std::map<Uint32, float> expected = {{200, 7.5f}, {220, 15}, {240, 22.5f}, {260, 30}, {280, 37.5f}};
    ASSERT_EQ(lean.size(), expected.size());
    for (const auto& [now, degrees] : expected)
        EXPECT_NEAR(lean[now], degrees, 1e-3) << "pass at " << now << " ms";
    EXPECT_TRUE(fakegl::errors().empty());
}

TEST_F(MainLoopTime, ClosingTheWindowFinishesThePassThenReturns)
{
    start();
    fakesdl::quitAt(60);
    mainLoop();
    EXPECT_EQ(fakesdl::record().passes, 3);
    EXPECT_EQ(fakesdl::record().swaps, 3);
    EXPECT_EQ(player.z, -8);  // the tick due at 60 ms ran
}

struct PlayerSnap {
    int speed, vspeed;
    bool stopping;
    Domino* held;
    bool canPush;
};

using MainLoopKeys = Shell;

// The player is still coming out of the entrance for these 240 ms, when a
// tick changes none of what the keys set.
TEST_F(MainLoopKeys, EachKeyReachesThePlayerInThePassThatTakesIt)
{
    start("2 2 0 1 1 1\n[)\n| \nN \n  \n");
    Domino* domino = level->getCell(0, 1)->getDomino(0);
    const struct {
        Uint32 at;
        SDLKey key;
        bool down;
    } script[] = {
        {10, SDLK_RIGHT, true},   {30, SDLK_SPACE, false}, {50, SDLK_COMMA, false},
        {70, SDLK_PERIOD, false}, {90, SDLK_RIGHT, false}, {110, SDLK_UP, true},
        {130, SDLK_LEFT, false},  {150, SDLK_DOWN, true},  {170, SDLK_LEFT, true},
        {190, SDLK_SPACE, true},  {210, SDLK_SPACE, true}, {230, SDLK_PERIOD, true},
    };
    for (const auto& s : script)
        s.down ? fakesdl::keyDown(s.key, s.at) : fakesdl::keyUp(s.key, s.at);
    fakesdl::quitAt(240);
    std::map<Uint32, PlayerSnap> seen;
    runLoop([&](Uint32 now) {
        seen[now] = {player.speed, player.vspeed, player.stopping, player.held, level->canPush()};
    });

    EXPECT_EQ(seen[10].speed, 1);
    EXPECT_FALSE(seen[10].stopping);
    for (Uint32 releaseOfANonArrow : {30, 50, 70})
        EXPECT_FALSE(seen[releaseOfANonArrow].stopping) << releaseOfANonArrow << " ms";
    EXPECT_TRUE(seen[90].stopping);
    EXPECT_EQ(seen[110].vspeed, 1);
    EXPECT_EQ(seen[110].speed, 0);
    EXPECT_FALSE(seen[110].stopping);
    EXPECT_TRUE(seen[130].stopping);  // releasing another arrow still stops
    EXPECT_EQ(seen[150].vspeed, -1);
    EXPECT_EQ(seen[170].speed, -1);
    EXPECT_EQ(seen[190].held, domino);
    EXPECT_EQ(seen[210].held, nullptr);
    EXPECT_TRUE(seen[210].canPush);
    EXPECT_FALSE(seen[230].canPush);
    EXPECT_EQ(domino->speed, 1);
}

// The black quad the fade lays over a frame, or null when there is none.
const fakegl::Primitive* fadeOverlay()
{
    const auto& ps = fakegl::primitives();
    if (ps.empty())
        return nullptr;
    const fakegl::Primitive& last = ps.back();
    const float* c = last.v.empty() ? nullptr : last.v[0].color;
    if (!c || c[0] != 0 || c[1] != 0 || c[2] != 0 || c[3] == 1)
        return nullptr;
    return &last;
}

struct LevelSnap {
    int levelnum;
    int wid;
    bool done;
    float fade;  // overlay alpha, 0 when none
    int entranceAngle;
};

LevelSnap levelSnap()
{
    const fakegl::Primitive* fade = fadeOverlay();
    return {levelnum, level->wid, levelDone, fade ? fade->v[0].color[3] : 0, level->getWayIn()->angle};
}

using LevelChange = Shell;

TEST_F(LevelChange, SolvedLevelFadesFor1500MillisecondsThenTheNextIsEntered)
{
    writeLevel(2, "4 1 3 0 0 0\n____\n    \n");
    start();
    std::map<Uint32, LevelSnap> seen;
    std::map<Uint32, std::array<float, 6>> cameraBefore;
    fakesdl::setPassHook([&] {
        cameraBefore[fakesdl::now()] = {camera[0], camera[1], camera[2], camaccel[0], camaccel[1], camaccel[2]};
    });
    fakesdl::quitAt(1620);
    runLoop([&](Uint32 now) {
        seen[now] = levelSnap();
        if (now == 100)
            levelDone = true;  // as the player walking into the exit does
    });
    fakesdl::setPassHook(nullptr);

    EXPECT_FLOAT_EQ(seen[120].fade, 20 / 1500.0f);
    EXPECT_FLOAT_EQ(seen[860].fade, 760 / 1500.0f);
    EXPECT_EQ(seen[1580].wid, 3);
    EXPECT_TRUE(seen[1580].done);
    EXPECT_EQ(seen[1600].wid, 4);
    EXPECT_EQ(seen[1600].levelnum, 2);
    EXPECT_FALSE(seen[1600].done);
    EXPECT_EQ(seen[1600].fade, 0);
    EXPECT_EQ(player.x, 8 * 3);

    // The pass hook sees the camera between passes. The pass at 1600 moved
    // it on from where level 1 left it; a reset would have put it back at
    // (50, 23, 80) first.
    const auto& before = cameraBefore[1580];
    const auto& after = cameraBefore[1600];
    const float startAt[] = {50, 23, 80};
    float away = 0;
    for (int i = 0; i < 3; i++)
        away += std::fabs(before[i] - startAt[i]);
    EXPECT_GT(away, 1);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(after[i], before[i] + before[3 + i] * 400 / 3, 1e-3) << i;
}

TEST_F(LevelChange, WorldStandsStillDuringTheFade)
{
    start();
    std::map<Uint32, int> playerZ;
    fakesdl::quitAt(700);
    runLoop([&](Uint32 now) {
        playerZ[now] = player.z;
        if (now == 100)
            levelDone = true;
    });
    EXPECT_EQ(playerZ[120], playerZ[700]);
    EXPECT_LT(playerZ[120], 0);
}

TEST_F(LevelChange, PlayerFallingOutOfTheLevelReloadsTheSameNumber)
{
    writeLevel(2, "3 1 0 0 2 0\n___\n   \n");
    start("2 1 0 0 1 0\n  \n  \n");
    std::vector<std::pair<Uint32, LevelSnap>> seen;
    fakesdl::quitAt(3000);
    runLoop([&](Uint32 now) { seen.push_back({now, levelSnap()}); });

    size_t fell = 0;
    while (fell < seen.size() && !seen[fell].second.done)
        fell++;
    ASSERT_LT(fell, seen.size()) << "the player never fell out";
    EXPECT_EQ(seen[fell].second.levelnum, 0);
    size_t reloaded = fell;
    while (reloaded < seen.size() && seen[reloaded].second.done)
        reloaded++;
    ASSERT_LT(reloaded, seen.size()) << "no level after the fade";
    EXPECT_EQ(seen[reloaded].first - seen[fell].first, 1500u);
    EXPECT_EQ(seen[reloaded].second.levelnum, 1);
    EXPECT_LE(seen[reloaded].second.entranceAngle, 1);  // opening again; the pass may tick
    for (const auto& [now, snap] : seen)
        EXPECT_EQ(snap.wid, 2) << now << " ms";
}

TEST_F(LevelChange, MissingNextLevelEndsTheGameWithItsNumber)
{
    start();
    testing::internal::CaptureStdout();
    runLoop([](Uint32 now) {
        if (now == 100)
            levelDone = true;
    });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Can't open level 2 (Did you just finish the game?? :)\n");
    EXPECT_EQ(fakesdl::now(), 1600u);
    EXPECT_EQ(fakesdl::record().swaps, fakesdl::record().passes - 1);
}

TEST_F(LevelChange, LevelNumberBeyondThePathBufferEndsTheGame)
{
    writeLevel(999, plainLevel);
    levelnum = 999;
    ASSERT_TRUE(init(0, nullptr));
    testing::internal::CaptureStdout();
    runLoop([](Uint32 now) {
        if (now == 100)
            levelDone = true;
    });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "internal inconsistency\n");
    EXPECT_EQ(fakesdl::now(), 1600u);
}

}  // namespace
