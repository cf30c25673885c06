// The solver's rulebook: tiny levels, drawn as the level file draws them,
// each with the fewest carries a player needs, and what the solver must say
// about them.
#include "solver.h"
#include "script.h"
#include "verifier.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// A level file from a picture: the header, then the cell rows and the domino
// rows, each padded with blanks to the level's width so that the pictures
// need no trailing blanks.
std::string levelFile(const std::string& picture)
{
    std::istringstream lines(picture);
    std::string header, line, text;
    std::getline(lines, header);
    int wid = 0;
    sscanf(header.c_str(), "%d", &wid);
    text = header + "\n";
    while (std::getline(lines, line))
        text += line + std::string(wid - line.size(), ' ') + "\n";
    return text;
}

fs::path scratchFile(const std::string& name, const std::string& text)
{
    const fs::path path = fs::temp_directory_path() / ("solver_test_" + std::to_string(getpid()) + "_" + name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

LevelResult solve(const std::string& picture, SolveLimits limits = {})
{
    const fs::path path = scratchFile("level", levelFile(picture));
    LevelResult r = solveLevel(path.string(), limits);
    fs::remove(path);
    return r;
}

SolveLimits withKinds()
{
    SolveLimits limits;
    limits.kinds = true;
    return limits;
}

const KindCheck& kindAt(const LevelResult& r, int column, int row)
{
    for (const KindCheck& k : r.kinds)
        if (k.column == column && k.row == row)
            return k;
    static const KindCheck none;
    ADD_FAILURE() << "no kind check at (" << column << "," << row << ")";
    return none;
}

// Row 0 is the floor; the trigger lies down in the free cell after it.
const char* const chainIsSet = R"(5 1 0 0 4 0
(___)
 NNT)";

const char* const oneStray = R"(8 1 0 0 7 0
(______)
 N NNT N)";

const char* const twoStrays = R"(10 1 0 0 9 0
(________)
 N N NT NN)";

const char* const threeStrays = R"(13 1 0 0 12 0
(___________)
 N N N NT NNN)";

TEST(SolverMinimum, AChainThatIsSetTakesNoCarryAndOnePushOneWay)
{
    const LevelResult r = solve(chainIsSet);
    EXPECT_EQ(0, r.minimum);
    EXPECT_EQ(1, r.solutions) << "pushed the other way, the chain leaves the trigger standing";
    EXPECT_EQ("push N (1,0) right", r.summary);
}

TEST(SolverMinimum, EachStrayDominoInAGapIsOneCarry)
{
    const LevelResult one = solve(oneStray);
    EXPECT_EQ(1, one.minimum);
    EXPECT_EQ("carry N (7,0) to (2,0); push N (1,0) right", one.summary);

    const LevelResult two = solve(twoStrays);
    EXPECT_EQ(2, two.minimum);
    EXPECT_EQ(1, two.solutions) << "the two strays are alike: which goes where is one solution";
}

TEST(SolverMinimum, ThreeGapsAreMoreThanTheLimitOfTwo)
{
    const LevelResult r = solve(threeStrays);
    EXPECT_EQ(-1, r.minimum);
    EXPECT_EQ(2, r.limit);
    EXPECT_EQ(0, r.solutions);
    EXPECT_TRUE(r.script.empty());
}

// A designer who meant the vanish to be carried to where the trigger lies
// down (two carries) misses that it may start the chain where it stands.
const char* const vanishShortcut = R"(8 1 0 0 7 0
(______)
V NNTN)";

TEST(SolverShortcuts, TheVanishStartsTheChainWhereItStands)
{
    const LevelResult r = solve(vanishShortcut);
    EXPECT_EQ(1, r.minimum);
    EXPECT_EQ("carry N (5,0) to (1,0); push V (0,0) right", r.summary);
}

// The delay's push does not use up the level's push: it fells the short
// chain on the left while the player walks to the long one. With a standard
// domino in its place the two chains must be joined by two carries.
TEST(SolverTiming, ADelayPushedFirstFellsASecondChain)
{
    const LevelResult delay = solve(R"(11 1 0 0 10 0
(_________)
 DN  NNNNT)");
    EXPECT_EQ(0, delay.minimum);
    EXPECT_EQ("push D (1,0) right; push N (5,0) right", delay.summary);

    const LevelResult standard = solve(R"(11 1 0 0 10 0
(_________)
 NN  NNNNT)");
    EXPECT_EQ(2, standard.minimum);
}

// Every free floor cell is where the trigger must lie down or out of the
// chain's way, so the stray upstairs cannot be parked before the push: the
// player pushes and climbs up to take it before the trigger lands.
TEST(SolverTiming, APickUpAfterThePushTakesTheStrayAwayBeforeTheTriggerLands)
{
    const LevelResult r = solve(R"(9 2 8 0 7 1
       ()
(_______]
        N
 TNNNNNNN)");
    EXPECT_EQ(1, r.minimum);
    EXPECT_EQ(1, r.solutions);
    EXPECT_EQ("push N (8,0) left; pick up N (8,1)", r.summary);
}

// The vanish only starts the chain; the bridge is the way to the exit.
TEST(SolverKinds, AVanishThatOnlyStartsTheChainIsReplaceableABridgeToTheExitIsNot)
{
    const LevelResult r = solve(R"(8 1 0 0 7 0
(___) ()
 VNTB)", withKinds());
    EXPECT_EQ(0, r.minimum);
    ASSERT_EQ(2u, r.kinds.size()) << "one check per special domino; the trigger is not replaced";
    EXPECT_TRUE(kindAt(r, 1, 0).replaceable);
    EXPECT_EQ('V', kindAt(r, 1, 0).kind);
    EXPECT_EQ(0, kindAt(r, 1, 0).carries);
    EXPECT_FALSE(kindAt(r, 4, 0).replaceable);
}

TEST(SolverScripts, ThePrintedScriptSolvesTheLevelInTheReplay)
{
    const std::string level = levelFile(oneStray);
    const fs::path levelPath = scratchFile("replayed", level);
    const LevelResult r = solveLevel(levelPath.string(), {});
    const fs::path scriptPath = scratchFile("replayed.txt", r.script);
    std::vector<Action> script;
    std::string error;
    ASSERT_TRUE(readScript(scriptPath.string(), script, error)) << error;
    const Verifier::Result played = Verifier::play(levelPath.string(), script);
    EXPECT_TRUE(played.solved) << played.why;
    EXPECT_EQ(r.ticks, played.ticks);
    fs::remove(levelPath);
    fs::remove(scriptPath);
}

// The fast search shares plays and infers; replaying every candidate from
// the level's start through the main loop must find the same solutions.
TEST(SolverHonesty, FindsWhatReplayingEveryCandidateFinds)
{
    SolveLimits thorough;
    thorough.thorough = true;
    for (const char* picture : {oneStray, vanishShortcut}) {
        const LevelResult fast = solve(picture);
        const LevelResult slow = solve(picture, thorough);
        EXPECT_EQ(slow.minimum, fast.minimum) << picture;
        EXPECT_EQ(slow.every, fast.every) << picture;
        EXPECT_LT(fast.plays, slow.plays) << picture;
    }
}

}  // namespace
