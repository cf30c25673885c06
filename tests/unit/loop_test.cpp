// The application shell, run for real on the scripted SDL and recording GL:
// start-up order, window and fixed GL state and its failures; the main loop's
// game time with its 25 ms brake, the fixed 50 ms ticks and the interpolation
// fraction; the key table; quitting; and the change of level after a fade,
// whether the level was solved or the player fell out of it, with the window
// title naming the level being played.
#include "world.h"

#include "fake_gl.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <tuple>

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
        home = fs::current_path();
        char pattern[] = "/tmp/toppleton-shell-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir = pattern;
        fs::create_directory(dir / "levels");
        fs::current_path(dir);
        fresh();
    }

    // Back to the moment before main, for the next case of a table.
    void fresh()
    {
        scriptedsdl::reset();
        fakegl::reset();
        delete level;
        level = nullptr;
        levelnum = 1;
        levelDone = false;
    }

    void TearDown() override
    {
        fresh();
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

// The first level is loaded before SDL exists, so a start-up that fails on
// it leaves nothing to shut down.
TEST_F(StartUp, FirstLevelThatCannotBeEnteredStartsNoSdl)
{
    const std::string cantStart = "Can't start: level file \"levels/1\" could not be loaded: ";
    const struct {
        const char* what;
        int levelnum;
        int fileNumber;  // the level file written; 0 for none
        const char* file;
        std::string printed, complaint;  // on stdout and on stderr
    } cases[] = {
        {"missing file", 1, 0, "", "", cantStart + "No such file or directory\n"},
        {"broken file", 1, 1, "3 1 0 0 2 0\n___\nn  \n", "Illegal domino character 'n'\n",
         cantStart + "format error\n"},
        // A path cut to fit would name levels/100.
        {"number beyond the path buffer", 1000, 100, plainLevel.c_str(), "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        if (c.fileNumber)
            writeLevel(c.fileNumber, c.file);
        levelnum = c.levelnum;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(init(0, nullptr));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.complaint);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(level, nullptr);
        EXPECT_EQ(scriptedsdl::record().initFlags, 0u);
        EXPECT_EQ(scriptedsdl::record().videoModeCalls, 0);
        EXPECT_TRUE(fakegl::stateCalls().empty());
    }
}

TEST_F(StartUp, EntersTheFirstLevelThenOpensA960By720WindowWithA20msTimer)
{
    scriptedsdl::setVideoInfo(false, false);
    start("3 2 1 1 2 0\n___\n___\n   \n   \n");
    EXPECT_EQ(level->wid, 3);
    EXPECT_EQ(level->getWayIn()->speed, 1);
    EXPECT_EQ(std::tuple(player.x, player.y),
              std::tuple(Player::stepsPerCell * 1, Player::stepsPerCell * 1));
    EXPECT_EQ(std::tuple(borderCell.getX(), borderCell.getY(), borderCell.getFloor(), borderCell.getLadder()),
              std::tuple(-2, -2, 0, false));

    const scriptedsdl::Record& r = scriptedsdl::record();
    EXPECT_EQ(r.initFlags, Uint32(SDL_INIT_TIMER | SDL_INIT_VIDEO));
    EXPECT_EQ(std::tuple(r.videoModeCalls, r.width, r.height, r.bpp), std::tuple(1, 960, 720, 24));
    EXPECT_NE(mainWindow, nullptr);
    EXPECT_EQ(r.caption, "Toppleton - level 1");
    EXPECT_EQ(r.videoFlags, Uint32(SDL_OPENGL | SDL_HWPALETTE));
    const std::vector<std::pair<SDL_GLattr, int>> attributes = {
        {SDL_GL_DOUBLEBUFFER, 1},   {SDL_GL_DEPTH_SIZE, 24},      {SDL_GL_STENCIL_SIZE, 0},
        {SDL_GL_ACCUM_RED_SIZE, 0}, {SDL_GL_ACCUM_GREEN_SIZE, 0}, {SDL_GL_ACCUM_BLUE_SIZE, 0},
        {SDL_GL_ACCUM_ALPHA_SIZE, 0},
    };
    EXPECT_EQ(r.glAttributes, attributes);

    EXPECT_EQ(r.timerInterval, 20u);
    EXPECT_EQ(scriptedsdl::runningTimers(), 1);
    EXPECT_EQ(triggerRefresh(20, nullptr), 20u);
    SDL_Event e;
    ASSERT_EQ(SDL_PollEvent(&e), 1);
    EXPECT_EQ(e.type, SDL_USEREVENT);
    EXPECT_EQ(e.user.code, 2);
}

TEST_F(StartUp, HardwareVideoAddsHardwareSurfaceAndAcceleration)
{
    scriptedsdl::setVideoInfo(true, true);
    start();
    EXPECT_EQ(scriptedsdl::record().videoFlags, Uint32(SDL_OPENGL | SDL_HWPALETTE | SDL_HWSURFACE | SDL_HWACCEL));
    EXPECT_EQ(Uint32(VideoFlags), scriptedsdl::record().videoFlags);
}

TEST_F(StartUp, FixedGlStateEndsWithTheProjectionAndAnIdentityModelView)
{
    start();
    const double fW = 0.5 * 1.3333333730697632;  // 4/3 in single precision
    const std::vector<fakegl::Call> expected = {
        {"glPolygonMode", {GL_FRONT_AND_BACK, GL_FILL}}, {"glShadeModel", {GL_SMOOTH}},
        {"glEnable", {GL_NORMALIZE}},
        {"glEnable", {GL_LIGHTING}}, {"glColorMaterial", {GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE}},
        {"glEnable", {GL_COLOR_MATERIAL}}, {"glEnable", {GL_LIGHT0}},
        {"glEnable", {GL_BLEND}}, {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glClearDepth", {1.0}}, {"glEnable", {GL_DEPTH_TEST}},
        {"glMatrixMode", {GL_PROJECTION}}, {"glLoadIdentity", {}}, {"glFrustum", {-fW, fW, -0.5, 0.5, 1, 10000}},
        {"glMatrixMode", {GL_MODELVIEW}}, {"glLoadIdentity", {}},
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

// A failed SDL_Init is only reported; the scripted SDL then has no video, so
// start-up stops at the next check.
TEST_F(StartUpDeathTest, VideoFailuresEndWithTheirStatusAndMessage)
{
    writeLevel(1, plainLevel);
    scriptedsdl::failInit("no driver");
    EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(1),
                "^Failed initializing SDL Video : no driver\nFailed getting Video Info : ");
    fresh();
    scriptedsdl::failVideoInfo("no info");
    EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(1), "^Failed getting Video Info : no info\n$");
    fresh();
    scriptedsdl::failSetVideoMode("no window");
    EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(2), "^Failed to Create Window : no window\n$");
}

// What one frame showed: the game state as the buffers were swapped, the
// drawn lean of the one yellow domino, the alpha of the fade overlay and the
// window title.
struct Snap {
    int levelnum, wid;
    bool done;
    int entranceAngle;
    bool canPush;
    int x, y, z, deltaZ, speed, vspeed;  // the player's
    bool stopping;
    Domino* held;
    float lean;  // degrees toward +x, read off the normal of the right face
    float fade;  // 0 when there is no overlay
    std::array<float, 3> eye, pull;  // camera and camaccel
    std::string caption;
};

Snap snap()
{
    Snap s = {levelnum, level->wid, levelDone, level->getWayIn()->angle, level->canPush(),
              player.x, player.y, player.z, player.deltaZ, player.speed, player.vspeed,
              player.stopping, player.held, NAN, 0,
              {camera[0], camera[1], camera[2]}, {camaccel[0], camaccel[1], camaccel[2]},
              scriptedsdl::record().caption};
    const auto& ps = fakegl::primitives();
    const auto box = fakegl::withColor(ps, 1, 1, 0);
    if (box.size() == 1) {
        const fakegl::Vertex* right = &box[0].v[0];
        for (const fakegl::Vertex& v : box[0].v)
            if (v.normal[0] > right->normal[0])
                right = &v;
        s.lean = std::atan2(-right->normal[1], right->normal[0]) * 180 / 3.141592653589793;
    }
    // The overlay is the last quad, black and translucent.
    const float* c = ps.empty() || ps.back().v.empty() ? nullptr : ps.back().v[0].color;
    if (c && c[0] == 0 && c[1] == 0 && c[2] == 0 && c[3] != 1)
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

using MainLoopTime = Shell;

// The player coming out of the entrance moves one step a tick, and only in
// ticks, so its depth counts the ticks; the falling domino's drawn lean
// shows game time. Each run ends with a quit whose pass still ticks and
// draws, and no pass comes after it.
TEST_F(MainLoopTime, TicksOnlyPastFiftyPendingMillisecondsAndAtMostTwentyFiveMillisecondsAPass)
{
    struct Frame {
        Uint32 at;
        float lean;
        int z;
    };
    const struct {
        const char* what;
        Uint32 stall, keyAt, quitAt;
        std::vector<Frame> frames;
    } cases[] = {
        // A key at 51 ms adds a pass; at 100 ms exactly 50 ms are pending, so
        // no tick runs and t is 1.
        {"steady passes", 0, 51, 120,
         {{20, 6, -9}, {40, 12, -9}, {51, 15.3f, -8}, {60, 18, -8}, {80, 24, -8}, {100, 30, -8}, {120, 36, -7}}},
        // Game time 25, 50, 75, 100, 125 ms at real 200, 220, 240, 260, 280.
        {"after a stall", 200, 0, 280,
         {{200, 7.5f, -9}, {220, 15, -9}, {240, 22.5f, -8}, {260, 30, -8}, {280, 37.5f, -7}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        start();
        level->getCell(1, 0)->getDomino(0)->speed = 1;
        scriptedsdl::stall(c.stall);
        if (c.keyAt)
            scriptedsdl::keyDown(SDLK_a, c.keyAt);  // any event starts a pass
        scriptedsdl::quitAt(c.quitAt);
        auto seen = runLoop();
        ASSERT_EQ(seen.size(), c.frames.size());
        for (const Frame& f : c.frames) {
            EXPECT_NEAR(seen[f.at].lean, f.lean, 1e-3) << "pass at " << f.at << " ms";
            EXPECT_EQ(seen[f.at].z, f.z) << "pass at " << f.at << " ms";
        }
        EXPECT_TRUE(fakegl::errors().empty());
    }
}

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
        s.down ? scriptedsdl::keyDown(s.key, s.at) : scriptedsdl::keyUp(s.key, s.at);
    scriptedsdl::quitAt(240);
    auto seen = runLoop();

    using Motion = std::tuple<int, int, bool>;  // speed, vspeed, stopping
    auto motion = [&](Uint32 at) { return Motion(seen[at].speed, seen[at].vspeed, seen[at].stopping); };
    for (Uint32 releaseOfANonArrow : {10, 30, 50, 70})
        EXPECT_EQ(motion(releaseOfANonArrow), Motion(1, 0, false)) << releaseOfANonArrow << " ms";
    EXPECT_TRUE(seen[90].stopping);
    EXPECT_EQ(motion(110), Motion(0, 1, false));
    EXPECT_TRUE(seen[130].stopping);  // releasing another arrow still stops
    EXPECT_EQ(seen[150].vspeed, -1);
    EXPECT_EQ(seen[170].speed, -1);
    EXPECT_EQ(seen[190].held, domino);
    EXPECT_EQ(seen[210].held, nullptr);
    EXPECT_TRUE(seen[210].canPush);
    EXPECT_FALSE(seen[230].canPush);
    EXPECT_EQ(domino->speed, 1);
}

using LevelChange = Shell;

// Ends the level at 100 ms, as the player walking into the exit does.
void solveAt100(Uint32 now)
{
    if (now == 100)
        levelDone = true;
}

TEST_F(LevelChange, SolvedLevelFadesFor1500MillisecondsFrozenThenTheNextIsEntered)
{
    writeLevel(2, "4 1 3 0 0 0\n____\n    \n");
    start();
    scriptedsdl::quitAt(1620);
    auto seen = runLoop(solveAt100);

    EXPECT_FLOAT_EQ(seen[120].fade, 20 / 1500.0f);
    EXPECT_FLOAT_EQ(seen[860].fade, 760 / 1500.0f);
    EXPECT_LT(seen[120].z, 0);
    EXPECT_EQ(seen[1580].z, seen[120].z);  // still half out of the entrance
    EXPECT_EQ(seen[1580].wid, 3);
    EXPECT_TRUE(seen[1580].done);
    EXPECT_EQ(seen[1580].caption, "Toppleton - level 1");
    EXPECT_EQ(seen[1600].wid, 4);
    EXPECT_EQ(seen[1600].levelnum, 2);
    EXPECT_EQ(seen[1600].caption, "Toppleton - level 2");
    EXPECT_FALSE(seen[1600].done);
    EXPECT_EQ(seen[1600].fade, 0);
    EXPECT_EQ(seen[1600].x, Player::stepsPerCell * 3);

    // Moved on from where level 1 left it by the pull gathered in its last
    // frame, over the 20 ms of the pass; a reset would have put it back at
    // (50, 23, 80) first.
    const float startAt[] = {50, 23, 80};
    for (int i = 0; i < 3; i++) {
        EXPECT_GT(std::fabs(seen[1580].eye[i] - startAt[i]), 0.1) << i;
        EXPECT_NEAR(seen[1600].eye[i], seen[1580].eye[i] + seen[1580].pull[i] * 400 / 3, 1e-3) << i;
    }
}

// The player pushes the domino and walks off the end of the floor, right of
// which nothing is below.
TEST_F(LevelChange, PlayerFallingOutStartsTheSameLevelAgainAfterTheFade)
{
    start("3 2 0 1 2 0\n() \n(_ \nN  \n   \n");
    scriptedsdl::keyDown(SDLK_PERIOD, 600);
    scriptedsdl::keyDown(SDLK_RIGHT, 700);
    scriptedsdl::quitAt(4000);
    const auto seen = runLoop();

    auto fell = seen.begin();
    while (fell != seen.end() && !fell->second.done)
        ++fell;
    ASSERT_NE(fell, seen.end()) << "the player never fell out";
    EXPECT_EQ(fell->second.levelnum, 0);  // stepped back, to step on again
    EXPECT_FALSE(fell->second.canPush);
    EXPECT_EQ(fell->second.caption, "Toppleton - level 1");
    auto again = fell;
    while (again != seen.end() && again->second.done)
        ++again;
    ASSERT_NE(again, seen.end()) << "no level after the fade";
    EXPECT_EQ(again->first - fell->first, 1500u);
    EXPECT_EQ(again->second.levelnum, 1);
    EXPECT_EQ(again->second.caption, "Toppleton - level 1");
    EXPECT_LE(again->second.entranceAngle, 1);  // opening again; the pass may tick
    EXPECT_EQ(again->second.x, 0);
    EXPECT_EQ(again->second.y, 8);
    EXPECT_EQ(again->second.deltaZ, 1);  // walking out of the entrance
    EXPECT_TRUE(again->second.canPush);
}

// The old level is gone by then; the game ends with the pass, undrawn.
TEST_F(LevelChange, GameEndsWhenTheNextLevelCannotBeOpened)
{
    const struct {
        int levelnum;  // of the solved level
        const char* printed;
    } cases[] = {
        {1, "Can't open level 2 (Did you just finish the game?? :)\n"},
        {999, "internal inconsistency\n"},
    };
    for (const auto& c : cases) {
        fresh();
        writeLevel(c.levelnum, plainLevel);
        levelnum = c.levelnum;
        ASSERT_TRUE(init(0, nullptr));
        testing::internal::CaptureStdout();
        runLoop(solveAt100);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(scriptedsdl::now(), 1600u);
        EXPECT_EQ(scriptedsdl::record().swaps, scriptedsdl::record().passes - 1);
    }
}

}  // namespace
