// Failures that must never pass for success, nor hang or be lost: no display
// to show the window on (or one busy for a moment), a level file that cannot
// be loaded (and why, at start-up and later), a file too short for its
// header, a quit that comes while a frame takes seconds, and a quit signal at
// any moment. Each failing case stands beside its passing partner.
#include "world.h"

#include "fake_gl.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>

namespace {

namespace fs = std::filesystem;

const std::string plainLevel = levelFile(R"(| N
                                            |___)");

// Makes what a case needs in levels/.
using Setting = std::function<void(const fs::path& levels)>;

void write(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// Sets or, given null, unsets an environment variable until it goes.
struct Environment {
    const char* name;
    std::optional<std::string> saved;
    Environment(const char* name, const char* value) : name(name)
    {
        if (const char* was = getenv(name))
            saved = was;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Environment() { saved ? setenv(name, saved->c_str(), 1) : unsetenv(name); }
};

using DisplayDeathTest = GameTest;

const Uint32 forever = UINT32_MAX;

// Without a display SDL falls back to a driver that shows nothing, and the
// game would run unseen for ever; naming a driver is the user's choice. An X
// server may refuse connections for a moment, while it still counts clients
// that have just gone: that is waited out for two seconds, the game asking
// the server itself, silently, before SDL does.
TEST_F(DisplayDeathTest, ABusyServerIsWaitedForTwoSecondsAndAFailureSaysWhatFailed)
{
    const struct {
        const char* what;
        const char* driver;     // the one SDL picks when it reaches the display
        const char* chosen;     // SDL_VIDEODRIVER, or null
        const char* display;    // DISPLAY, or null
        Uint32 refusedUntil;    // virtual ms
        const char* complaint;  // null when the window opens
        Uint32 opensAt;         // virtual ms
    } cases[] = {
        {"the server answers", "x11", nullptr, ":77", 0, nullptr, 0},
        {"refused for 500 ms", "x11", nullptr, ":77", 500, nullptr, 500},
        {"refused for 1980 ms", "x11", nullptr, ":77", 1980, nullptr, 1980},
        {"refused for good", "x11", nullptr, ":77", forever,
         "^No display to open the window on: no X server accepted a connection at DISPLAY=:77 in 2 s\n$", 0},
        {"x11 chosen, refused for 500 ms", "x11", "x11", ":77", 500, nullptr, 500},
        {"x11 chosen, refused for good", "x11", "x11", ":77", forever,
         "^Failed initializing SDL Video : x11 not available\nFailed getting Video Info : ", 0},
        {"offscreen chosen", "offscreen", "offscreen", nullptr, forever, nullptr, 0},
        {"no DISPLAY", "offscreen", nullptr, nullptr, 0,
         "^No display to open the window on: DISPLAY is not set\n$", 0},
        {"empty DISPLAY", "dummy", nullptr, "", 0, "DISPLAY is not set", 0},
        {"the server answers, but SDL shows nothing", "evdev", nullptr, ":77", 0,
         "^No display to open the window on: the X server at DISPLAY=:77 accepts connections, but SDL chose "
         "its evdev video driver, which shows nothing\n$",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        writeLevel(1, plainLevel);
        scriptedsdl::setVideoDriver(c.driver);
        scriptedsdl::refuseDisplay(c.refusedUntil);
        Environment chosen("SDL_VIDEODRIVER", c.chosen), display("DISPLAY", c.display);
        if (c.complaint) {
            EXPECT_EXIT(init(0, nullptr), testing::ExitedWithCode(1), c.complaint);
        } else {
            testing::internal::CaptureStderr();
            EXPECT_TRUE(init(0, nullptr));
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
            EXPECT_EQ(scriptedsdl::record().videoModeCalls, 1);
            EXPECT_EQ(scriptedsdl::now(), c.opensAt);
        }
    }
}

using StartUpReason = GameTest;

// The loader's own line on stdout, if any, stays as it was; the reason
// follows the start-up failure on stderr, and neither SDL nor GL was touched.
// A FIFO or a device is refused without being read: a blocking open would
// hang here.
TEST_F(StartUpReason, EveryLevel1ThatCannotBeLoadedSaysWhyBeforeAnyWindow)
{
    const struct {
        const char* what;
        Setting set;
        std::string printed, reason;  // reason empty: the game starts
    } cases[] = {
        {"well-formed", [](const fs::path& l) { write(l / "1", plainLevel); }, "", ""},
        {"no file", [](const fs::path&) {}, "", "No such file or directory"},
        {"no levels/ directory", [](const fs::path& l) { fs::remove(l); }, "",
         "there is no levels/ directory here: run the game from the directory that holds levels/"},
        {"directory", [](const fs::path& l) { fs::create_directory(l / "1"); }, "", "not a regular file"},
        {"FIFO", [](const fs::path& l) { ASSERT_EQ(mkfifo((l / "1").c_str(), 0644), 0); }, "",
         "not a regular file"},
        {"device", [](const fs::path& l) { fs::create_symlink("/dev/zero", l / "1"); }, "",
         "not a regular file"},
        {"empty", [](const fs::path& l) { write(l / "1", ""); }, "", "the file is empty"},
        {"a word in the first line", [](const fs::path& l) { write(l / "1", "3 1 0 zero 2 0\n___\n N \n"); },
         "", "the first line is not six whole numbers"},
        {"a bad byte", [](const fs::path& l) { write(l / "1", "3 1 0 0 2 0\n___\n n \n"); },
         "Illegal domino character 'n'\n", "format error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        c.set(levels());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(init(0, nullptr), c.reason.empty());
        const std::string complaint = testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        if (!c.reason.empty()) {
            EXPECT_EQ(complaint,
                      "Can't start: level file \"levels/1\" could not be loaded: " + c.reason + "\n");
            EXPECT_EQ(level, nullptr);
            EXPECT_EQ(scriptedsdl::record().initFlags, 0u);
            EXPECT_TRUE(fakegl::stateLog().empty());
        }
    }
}

// A level number whose path does not fit would be cut to another level's.
TEST_F(StartUpReason, ALevelNumberBeyondThePathIsNotCutToAnotherLevel)
{
    for (const int number : {999, 1000}) {
        fresh();
        writeLevel(number / 10, plainLevel);
        writeLevel(999, plainLevel);
        levelnum = number;
        testing::internal::CaptureStderr();
        EXPECT_EQ(init(0, nullptr), number == 999) << number;
        testing::internal::GetCapturedStderr();
    }
}

// A header may name millions of cells; the few bytes after it must not cost
// their memory. A file too short for its grids prints nothing, as one that
// ends early always did, and is refused before anything is allocated.
TEST(TooShortFile, IsRefusedBeforeItsGridsAreAllocated)
{
    const struct {
        const char* what;
        std::string text;
        bool loads;
    } cases[] = {
        {"exactly long enough", "3 1 0 0 2 0\n___\n N \n", true},
        {"one byte short: no final line feed", "3 1 0 0 2 0\n___\n N ", false},
        {"2048 x 2048 cells named, three lines given", "2048 2048 0 0 0 0\n.\nT\n", false},
        {"four million cells named", "4194304 1 0 0 0 0\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Level lv;
        testing::internal::CaptureStdout();
        EXPECT_EQ(lv.load(writeTempFile(c.text).c_str()), c.loads);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(lv.cells != nullptr, c.loads);
        EXPECT_EQ(lv.doms != nullptr, c.loads);
        EXPECT_EQ(lv.failure.reason.find("the file is too short for the "), c.loads ? std::string::npos : 0u);
    }
}

using NextLevel = GameTest;

// The solved level is left at 100 ms; after the 1500 ms fade the next is due.
// Only a next level that does not exist is the end of the game; a level
// number that cannot be named at all is none either. The old level is gone by
// then and the game ends with the pass, undrawn.
TEST_F(NextLevel, OnlyAMissingFileEndsTheGameAsIfWon)
{
    const std::string cantGoOn = "Can't go on: level file \"levels/2\" could not be loaded: ";
    const struct {
        const char* what;
        int solved;
        Setting set;  // after the solved level was entered
        std::string printed, complaint;
        int status;
    } cases[] = {
        {"missing", 1, [](const fs::path&) {}, "Can't open level 2 (Did you just finish the game?? :)\n", "",
         0},
        {"malformed", 1, [](const fs::path& l) { write(l / "2", "3 1 0 0 2 0\n___\n n \n"); },
         "Illegal domino character 'n'\n", cantGoOn + "format error\n", 3},
        {"directory", 1, [](const fs::path& l) { fs::create_directory(l / "2"); }, "",
         cantGoOn + "not a regular file\n", 3},
        {"levels/ gone", 1, [](const fs::path& l) { fs::remove_all(l); }, "",
         cantGoOn
             + "there is no levels/ directory here: run the game from the directory that holds levels/\n",
         3},
        {"level 1000", 999, [](const fs::path&) {}, "internal inconsistency\n", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        writeLevel(c.solved, plainLevel);
        levelnum = c.solved;
        ASSERT_TRUE(init(0, nullptr));
        c.set(levels());
        scriptedsdl::setFrameHook([] {
            if (scriptedsdl::now() == 100)
                levelDone = true;
        });
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(mainLoop(), c.status);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.complaint);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(scriptedsdl::now(), 1600u);
        EXPECT_EQ(scriptedsdl::record().swaps, scriptedsdl::record().passes - 1);
    }
}

using SlowFrame = GameTest;

// The refresh timer goes on while a frame is drawn. Were every refresh
// queued, a frame of over 2.56 s would fill SDL's 128 places, and the quit
// that comes then (the window closed, or SIGTERM) would be dropped.
TEST_F(SlowFrame, AQuitDuringAFrameOfSecondsEndsTheGameAfterIt)
{
    for (const auto& [frame, quitAt] : {std::pair<Uint32, Uint32>{1000, 500}, {5000, 3000}}) {
        fresh();
        writeLevel(1, plainLevel);
        ASSERT_TRUE(init(0, nullptr));
        scriptedsdl::setTimeLimit(60000);
        scriptedsdl::stall(frame);
        scriptedsdl::quitAt(quitAt);
        EXPECT_EQ(mainLoop(), 0);
        EXPECT_EQ(scriptedsdl::now(), frame);
        EXPECT_EQ(scriptedsdl::record().passes, 1);
    }
}

// A window closed while a pass is under way ends the game after that pass:
// the pass that would take the quit from the queue, on a level of millions
// of dominoes, could take a second of its own.
TEST_F(SlowFrame, AWindowClosedDuringAPassEndsTheGameAfterThatPass)
{
    writeLevel(1, plainLevel);
    ASSERT_TRUE(init(0, nullptr));
    int passes = 0;
    scriptedsdl::setFrameHook([&passes] {
        if (scriptedsdl::now() == 500 && !passes) {
            scriptedsdl::quitNow();
            passes = scriptedsdl::record().passes;
        }
    });
    EXPECT_EQ(mainLoop(), 0);
    EXPECT_EQ(scriptedsdl::record().passes, passes);
}

using QuitSignalDeathTest = GameTest;

// Runs a case in a child of its own, as the flag a quit signal raises lasts
// for the process: the child exits with status 0, having printed nothing on
// either stream, or says on standard error what went wrong.
void expectSilentQuit(const std::function<void()>& game)
{
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            catchQuitSignals();
            game();
            exit(0);
        },
        testing::ExitedWithCode(0), "^$");
}

// SIGTERM and SIGINT end the game as a closed window does, with status 0 and
// nothing printed, wherever they come.
TEST_F(QuitSignalDeathTest, ASignalWhileLevel1IsReadEndsStartUpBeforeAnyWindow)
{
    writeLevel(1, plainLevel);
    expectSilentQuit([] {
        raise(SIGINT);
        if (init(0, nullptr) || level || scriptedsdl::record().initFlags)
            fprintf(stderr, "the game started\n");
    });
}

TEST_F(QuitSignalDeathTest, ASignalDuringAPassEndsTheGameAfterThatPass)
{
    writeLevel(1, plainLevel);
    ASSERT_TRUE(init(0, nullptr));
    expectSilentQuit([] {
        int passes = 0;
        scriptedsdl::setFrameHook([&passes] {
            if (scriptedsdl::now() == 500) {
                raise(SIGTERM);
                passes = scriptedsdl::record().passes;
            }
        });
        if (mainLoop() != 0 || scriptedsdl::record().passes != passes)
            fprintf(stderr, "%d passes after the one that took the signal\n",
                    scriptedsdl::record().passes - passes);
    });
}

// The level solved at 100 ms is followed by level 2 at 1600 ms, in the pass
// whose wait starts at 1580: there the signal comes, and level 2, which
// loads, is dropped unread.
TEST_F(QuitSignalDeathTest, ASignalWhileTheNextLevelIsReadEndsTheGameWithoutAWord)
{
    writeLevel(1, plainLevel);
    writeLevel(2, plainLevel);
    ASSERT_TRUE(init(0, nullptr));
    expectSilentQuit([] {
        scriptedsdl::setFrameHook([] {
            if (scriptedsdl::now() == 100)
                levelDone = true;
        });
        scriptedsdl::setPassHook([] {
            if (scriptedsdl::now() == 1580)
                raise(SIGTERM);
        });
        if (mainLoop() != 0 || level || scriptedsdl::now() != 1600)
            fprintf(stderr, "the game went on\n");
    });
}

}  // namespace
