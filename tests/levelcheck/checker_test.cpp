// The level checker run as a designer runs it: a directory of levels and one
// of scripts in, one line per level, a summary and an exit status out.
#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

// A stray belongs in the gap; the exit has floor on both sides.
const char* strayLevel = R"(9 1 0 0 7 0
(_______)
N NT  N)";

const char* strayScript = "walk 6\ngrab\nwalk 1\ngrab\nwalk 0\npush right\nwait-still\nwalk 7\nexit\n";

// The same with the exit on the last floor cell: one step past it, the
// player falls out of the level.
const char* exitAtTheEdge = R"(8 1 0 0 7 0
(______)
N NT  N)";

// The delay holds the chain back while the player runs to the stray in the
// trigger's way: the grab may come 5 ticks late.
const char* strayBeforeTheTrigger = R"(8 1 0 0 6 0
(______)
NNDTN)";

const char* runToTheStray = "push right\nwalk 4\ngrab\nwait-still\nwalk 6\nexit\n";

// A level directory and a script directory side by side, removed again.
class Levels {
public:
    Levels() : root(fs::temp_directory_path() / ("levelcheck_test_" + std::to_string(getpid())))
    {
        fs::create_directories(root / "levels");
        fs::create_directories(root / "scripts");
    }
    ~Levels() { fs::remove_all(root); }
    void add(int number, const std::string& picture, const std::string& script = "")
    {
        std::ofstream(root / "levels" / std::to_string(number), std::ios::binary) << levelFile(picture);
        if (!script.empty())
            std::ofstream(root / "scripts" / (std::to_string(number) + ".txt"), std::ios::binary) << script;
    }

    struct Run {
        int status;
        std::string out;  // standard output
        std::string err;  // standard error
    };
    Run check(const std::string& options = "") const
    {
        const fs::path err = root / "stderr";
        const std::string command = std::string(LEVELCHECK_PATH) + " " + options + " --solutions "
            + (root / "scripts").string() + " " + (root / "levels").string() + " 2>" + err.string();
        Run r{};
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            r.out.append(buffer, n);
        r.status = WEXITSTATUS(pclose(pipe));
        std::ifstream in(err);
        r.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return r;
    }

private:
    fs::path root;
};

bool has(const std::string& text, const std::string& words)
{
    return text.find(words) != std::string::npos;
}

TEST(LevelChecker, APuzzleWithItsScriptPasses)
{
    Levels dir;
    dir.add(1, strayLevel, strayScript);
    const Levels::Run r = dir.check();
    EXPECT_EQ(0, r.status) << r.out;
    EXPECT_TRUE(has(r.out, "/1: ok (1 carry, 1 push, 1 solution)")) << r.out;
    EXPECT_TRUE(has(r.out, "levelcheck: 1 levels checked, 1 ok, 0 failed")) << r.out;
}

TEST(LevelChecker, AnExitWithoutFloorBeyondItFails)
{
    Levels dir;
    dir.add(1, exitAtTheEdge, strayScript);
    const Levels::Run r = dir.check();
    EXPECT_EQ(1, r.status) << r.out;
    EXPECT_TRUE(has(r.out, "the exit at column 7 row 0 has no floor on its right")) << r.out;
    EXPECT_FALSE(has(r.out, "on its left")) << r.out;
}

TEST(LevelChecker, ALevelWithoutAScriptFails)
{
    Levels dir;
    dir.add(1, strayLevel, strayScript);
    dir.add(2, strayLevel);
    const Levels::Run r = dir.check();
    EXPECT_EQ(1, r.status) << r.out;
    EXPECT_TRUE(has(r.out, "/1: ok")) << r.out;
    EXPECT_TRUE(has(r.out, "/2: FAILED")) << r.out;
    EXPECT_TRUE(has(r.out, "no solution script")) << r.out;
}

TEST(LevelChecker, TheTableGoesAloneToStandardOutput)
{
    Levels dir;
    dir.add(1, strayLevel, strayScript);
    dir.add(2, strayBeforeTheTrigger, std::string("timing\n") + runToTheStray);
    dir.add(3, strayBeforeTheTrigger, runToTheStray);
    const Levels::Run r = dir.check("--carries 2 --table");
    EXPECT_EQ(1, r.status) << r.err;
    EXPECT_EQ("| level | fewest carries | fewest pushes | distinct solutions | kinds | every special domino "
              "needed | timing slack |\n"
              "| --- | --- | --- | --- | --- | --- | --- |\n"
              "| 1 | 1 | 1 | 1 | - | - | - |\n"
              "| 2 | 1 | 1 | 1 | D | yes | 5 (timing) |\n"
              "| 3 | 1 | 1 | 1 | D | yes | 5 (below 6) |\n",
              r.out);
    EXPECT_TRUE(has(r.err, "/1: ok (1 carry, 1 push, 1 solution)")) << r.err;
    EXPECT_TRUE(has(r.err, "the solver up to 2 carries")) << r.err;
}

TEST(LevelChecker, ALevelThatAsksForLessSlackThanItsLimitFailsEvenInTheQuickForm)
{
    Levels dir;
    dir.add(1, strayBeforeTheTrigger, runToTheStray);
    dir.add(2, strayBeforeTheTrigger, std::string("timing\n") + runToTheStray);
    const Levels::Run r = dir.check();
    EXPECT_EQ(1, r.status) << r.out;
    EXPECT_TRUE(has(r.out,
                    "/1: FAILED (1 carry, 1 push, 1 solution, every special domino needed)\n"
                    "    the timing slack is 5 ticks (line 3 'grab' may come 5 ticks late, not 6)"))
        << r.out;
    EXPECT_TRUE(has(r.out, "/2: ok")) << r.out;
}

TEST(LevelChecker, AScriptThatDoesNotSolveItsLevelFails)
{
    Levels dir;
    // The player runs past the stray, and the trigger comes to rest on it.
    dir.add(1, strayBeforeTheTrigger, "push right\nwalk 6\nexit\n");
    const Levels::Run r = dir.check();
    EXPECT_EQ(1, r.status) << r.out;
    EXPECT_TRUE(has(r.out, "its script does not solve the level: line 3 'exit'")) << r.out;
}

}  // namespace
