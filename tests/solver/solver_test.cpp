// The solver's rulebook: tiny levels, drawn as the level file draws them,
// each with the fewest carries a player needs, and what the solver must say
// about them.
#include "parallel.h"
#include "solver.h"
#include "script.h"
#include "support.h"
#include "verifier.h"

#include "level.h"
#include "main.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

LevelResult solve(const std::string& picture, SolveLimits limits = {})
{
    const ScratchFile level("level", levelFile(picture));
    return solveLevel(level.name(), limits);
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

// Three strays on a shelf up a ladder, each alone between blockers and gaps,
// and three gaps in the chain below: three carries, found within a limit of
// five; a limit of two says more.
const char* const shelfOfThree = R"(11 2 0 0 9 0
(_____)
[_________)
WN N NW
N N N T)";

TEST(SolverMinimum, ThreeStraysUpAShelfAreThreeCarriesDeepSearchingFindsThemAll)
{
    SolveLimits deep;
    deep.carries = 5;
    const LevelResult r = solve(shelfOfThree, deep);
    EXPECT_EQ(std::pair(3, 1), std::pair(r.minimum, r.solutions));
    EXPECT_EQ(-1, solve(shelfOfThree).minimum);
}

TEST(SolverMinimum, ThreeGapsAreMoreThanTheLimitOfTwo)
{
    const LevelResult r = solve(threeStrays);
    EXPECT_EQ(-1, r.minimum);
    EXPECT_EQ(2, r.limit);
    EXPECT_EQ(0, r.solutions);
    EXPECT_TRUE(r.script.empty());
}

// The domino over the gap drops two rows by itself while the player comes
// out of the entrance and lands in the gap of the chain; the script waits
// for it before walking.
TEST(SolverStart, ADominoStillDroppingWhenThePlayerComesOutIsWaitedFor)
{
    const LevelResult r = solve(R"(5 3 0 0 4 0


(___)
  N

 N T)");
    EXPECT_EQ(0, r.minimum);
    EXPECT_EQ("wait-still\nwalk 1\npush right\nwait-still\nwalk 4\nexit\n", r.script);
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

// The delay in the chain holds it back and falls on: one push does, the
// stray beside the entrance kept in hand. Pushing the delay first as well is
// a way with two pushes, and so no solution.
TEST(SolverPushes, FewerPushesRankFirstWithAsManyCarries)
{
    const LevelResult r = solve(R"(6 1 0 0 5 0
(____)
NDNT)");
    EXPECT_EQ(std::pair(1, 1), std::pair(r.minimum, r.pushes));
    for (const std::string& way : r.every)
        EXPECT_EQ(1, std::count(way.begin(), way.end(), ';')) << way << ": one push and one pick-up";
}

// The trigger stands alone: pushed at once it lands before the delays have
// fallen and the exit stays shut. Waiting until nothing moves, it lands last.
TEST(SolverTiming, TheCountingPushWaitsUntilTheDelaysHaveFallen)
{
    const LevelResult r = solve(R"(7 1 0 0 5 0
(_____)
 DDD  T)");
    EXPECT_EQ(std::pair(0, 2), std::pair(r.minimum, r.pushes));
    EXPECT_NE(std::string::npos, r.summary.find("wait until nothing moves; push T (6,0)")) << r.summary;
}

// Every free floor cell is where the trigger must lie down or out of the
// chain's way, so the stray upstairs cannot be parked before the push: the
// player pushes and climbs up to take it before the trigger lands.
const char* const strayUpstairs = R"(6 2 5 0 4 1
    ()
(____]
     N
 TNNNN)";

TEST(SolverTiming, APickUpAfterThePushTakesTheStrayAwayBeforeTheTriggerLands)
{
    const LevelResult r = solve(strayUpstairs);
    EXPECT_EQ(1, r.minimum);
    EXPECT_EQ(1, r.solutions);
    EXPECT_EQ("push N (5,0) left; pick up N (5,1)", r.summary);
}

// The chain on the ledge drops onto the trigger's cell, and a player who
// has gone down cannot climb back to push: the trigger is taken from under
// the drop after the push and set down past the plain domino the drop
// fells, a race the player wins by a tick.
const char* const triggerSetDownAhead = R"(8 2 0 1 7 0
(__)
(______)
  NN
    TN)";

TEST(SolverTiming, TheTriggerIsSetDownAheadOfTheRunningChain)
{
    const LevelResult r = solve(triggerSetDownAhead);
    EXPECT_EQ("push N (2,1) right; pick up T (4,0); set it down at (6,0)", r.summary);
    EXPECT_EQ(std::pair(1, 1), std::pair(r.minimum, r.solutions));
    EXPECT_NE(std::string::npos, r.script.find("push right\ndrop 4\ngrab\nwalk 6\ngrab\n"))
        << "down off the ledge after the push, the trigger in hand at once, and ahead of the chain: "
        << r.script;
}

// The drop off the ledge splits the splitter: the trigger falls against the
// blocker at once, the left half runs on. Taking the blocker away lets the
// trigger land, and the exit opens only if everything else is done by then:
// the player waits in the blocker's cell until the left half has fallen.
// Without the left half he may take it as soon as he gets there.
const char* const triggerHeldByTheBlocker = R"(9 2 0 1 8 0
(__)
(_______)
   N
 NNNSTW)";

TEST(SolverTiming, ABlockerHoldingTheTriggerIsTakenAwayOnceEverythingElseHasFallen)
{
    const LevelResult held = solve(triggerHeldByTheBlocker);
    EXPECT_EQ(std::pair(1, 1), std::pair(held.minimum, held.solutions));
    EXPECT_NE(std::string::npos, held.summary.find("pick up W (6,0) after waiting")) << held.summary;

    const LevelResult alone = solve(R"(9 2 0 1 8 0
(__)
(_______)
   N
    STW)");
    EXPECT_EQ("push N (3,1) right; pick up W (6,0)", alone.summary);
}

// The boomer blows the floor between the push and the exit; the dominoes
// beside it tip into the hole and fell the trigger downstairs. A player who
// waits for the chain is cut off from the exit; one who walks on at once
// crosses before the blast.
TEST(SolverWayHome, HeadsForTheExitBeforeABoomerCutsTheWay)
{
    const LevelResult r = solve(R"(8 2 0 1 7 1
(______)
  (_)
NNX
   T)");
    EXPECT_EQ(0, r.minimum);
    EXPECT_EQ("push right\nwalk 7\nexit\n", r.script);
}

// The vanish only starts the chain; the bridge is the way to the exit.
TEST(SolverKinds, AVanishThatOnlyStartsTheChainIsReplaceableABridgeToTheExitIsNot)
{
    const LevelResult r = solve(R"(8 1 0 0 7 0
(___) ()
 VNTB)",
                                withKinds());
    EXPECT_EQ(0, r.minimum);
    EXPECT_NE(std::string::npos, r.script.find("wait-still"))
        << "the player waits for the bridge to cross it";
    ASSERT_EQ(2u, r.kinds.size()) << "one check per special domino; the trigger is not replaced";
    EXPECT_TRUE(kindAt(r, 1, 0).replaceable);
    EXPECT_EQ('V', kindAt(r, 1, 0).kind);
    EXPECT_EQ(0, kindAt(r, 1, 0).carries);
    EXPECT_FALSE(kindAt(r, 4, 0).replaceable);
}

TEST(SolverScripts, ThePrintedScriptSolvesTheLevelInTheReplay)
{
    const ScratchFile level("replayed", levelFile(oneStray));
    const LevelResult r = solveLevel(level.name(), {});
    const ScratchFile scriptFile("replayed.txt", r.script);
    std::vector<Action> script;
    std::string error;
    ASSERT_TRUE(readScript(scriptFile.name(), script, error)) << error;
    const Verifier::Result played = Verifier::play(level.name(), script);
    EXPECT_TRUE(played.solved) << played.why;
    EXPECT_EQ(r.ticks, played.ticks);
}

// The fast search shares plays and infers; replaying every candidate from
// the level's start through the main loop must find the same solutions.
// The stray on the shelf is the one to carry into the gap, but the farthest
// domino of its kind, which the search takes first, stands in the chain;
// taking the looping out of the way lets the chain reach the cell where the
// trigger must be set down.
const char* const strayBehindTheChain = R"(9 2 0 0 8 0
(__)
[_______)
 N
N NNNT)";

const char* const loopingAside = R"(6 1 0 0 4 0
(____)
N  TNL)";

// The chain drops through three boomers' holes, one floor at a time: the
// domino that fell through the first strikes the second boomer, and so on.
const char* const holesThreeFloorsDown = R"(13 4 1 3 11 0
 (_____)
 [______)
 [_______)
        (___)
     NX
       X
        X
         T)";

// The chain's stray on the floor above stands over the flyer's flight: a play
// with another domino carried into the gap, standing in for its kind, looks
// at the stray's cell and at its own source at once, and the stray is then
// the one to carry.
const char* const strayOverTheFlyer = R"(13 3 0 1 11 1
   (___)
[__!_) (____)
[__________])
      N
       NNTV
   N F)";

// The stray on the shelf can be carried down the ladder; dropped off the
// shelf's end instead, it lands on the splitter, which splits and lays both
// halves down: one carry, and the push is left for the trigger's chain. With
// the shelf going on over the splitter there is no drop, and it takes two:
// the splitter carried beside the chain and the stray beside the splitter.
const char* const dropOntoTheSplitter = R"(12 2 0 1 10 0
(__)
[__________)
  N
    S  NNT)";

TEST(SolverDrops, AStrayDroppedOffALedgeOntoASplitterSavesACarry)
{
    const LevelResult r = solve(dropOntoTheSplitter);
    EXPECT_EQ(std::pair(1, 1), std::pair(r.minimum, r.solutions));
    EXPECT_EQ("carry N (2,1) and drop it at (4,1); push N (7,0) right", r.summary);
    EXPECT_NE(r.script.find("drop 4\n"), std::string::npos) << r.script;
    const LevelResult noLedge = solve(R"(12 2 0 1 10 0
(__________)
[__________)
  N
    S  NNT)");
    EXPECT_EQ(2, noLedge.minimum);
}

TEST(SolverHonesty, FindsWhatReplayingEveryCandidateFinds)
{
    SolveLimits thorough;
    thorough.thorough = true;
    thorough.jobs = 2;
    for (const char* picture :
         {oneStray, vanishShortcut, strayUpstairs, triggerSetDownAhead, triggerHeldByTheBlocker,
          strayBehindTheChain, loopingAside, holesThreeFloorsDown, strayOverTheFlyer, dropOntoTheSplitter}) {
        const LevelResult fast = solve(picture);
        const LevelResult slow = solve(picture, thorough);
        EXPECT_EQ(slow.minimum, fast.minimum) << picture;
        EXPECT_EQ(slow.every, fast.every) << picture;
        EXPECT_LE(fast.plays, slow.plays) << picture;
    }
}

// The flyer that starts the chain belongs where a plain domino stands, one
// the chain needs elsewhere: no play looks at that cell while the plain one
// is in it, so the flyer's carry there must take it out of the way first.
// Replaying every candidate finds the same two carries, in minutes.
const char* const flyerWhereAStrayStands = R"(8 4 7 2 3 2
    (__)
(_____!)
 (__) |
(_____]
       F

 NNNN
N T N W)";

TEST(SolverHonesty, APushedDominoIsCarriedWhereAnotherStandsOnceThatOneIsTakenAway)
{
    const LevelResult r = solve(flyerWhereAStrayStands);
    EXPECT_EQ(std::pair(2, 1), std::pair(r.minimum, r.solutions));
    EXPECT_EQ("carry N (0,0) to (3,0); carry F (7,3) to (0,0); push F (0,0) right", r.summary);
}

// A proof that reaches the memory it is given ends by saying so, with a
// status of its own, not killed by the system half-way through. Level 84
// at five carries needs far more than 100 MB.
TEST(SolverMemory, ALimitReachedIsReportedWithAStatusOfItsOwn)
{
    const std::string command =
        std::string(SOLVER_PATH) + " --carries 5 --jobs 1 --memory 100 --level 84 " + LEVELS_DIR + " 2>&1";
    FILE* out = popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string printed;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, out))
        printed += buffer;
    const int status = pclose(out);
    ASSERT_TRUE(WIFEXITED(status)) << printed;
    EXPECT_EQ(3, WEXITSTATUS(status)) << printed;
    EXPECT_EQ(0u, printed.find("level 84: the solver ran out of memory\n")) << printed;
}

// The level checker has levels of its own loaded in the game's globals;
// the solver plays on threads whose game state is their own.
TEST(SolverLibrary, LeavesTheCallersLevelAndPlayerAsTheyWere)
{
    const ScratchFile callers("callers", levelFile(chainIsSet));
    ASSERT_TRUE(enterLevel(callers.name().c_str()));
    Level* before = level;
    const int x = player.x;
    const LevelResult r = solve(oneStray);
    EXPECT_EQ(1, r.minimum);
    EXPECT_EQ(before, level);
    EXPECT_EQ(x, player.x);
    EXPECT_EQ(5, level->wid) << "still the caller's level, whole";
    delete level;
    level = nullptr;
}

// Levels solved side by side, each on threads of its own, come back in the
// order of the levels and say what solving each alone on one thread says;
// so does one level whose candidates two threads play, to the same count of
// plays.
TEST(SolverOnThreads, WhatSideBySideFindsIsWhatOneThreadFinds)
{
    const ScratchFile dir("levels", "");
    std::filesystem::remove(dir.path());
    std::filesystem::create_directory(dir.path());
    std::vector<std::string> paths;
    for (const char* picture : {oneStray, chainIsSet, vanishShortcut, twoStrays}) {
        paths.push_back((dir.path() / std::to_string(paths.size() + 1)).string());
        std::ofstream(paths.back()) << levelFile(picture);
    }
    std::vector<LevelResult> results;
    solveInParallel(paths, withKinds(), 2, [&](const LevelResult& r) { results.push_back(r); });
    SolveLimits twoJobs = withKinds();
    twoJobs.jobs = 2;
    results.push_back(solveLevel(paths.back(), twoJobs));
    paths.push_back(paths.back());
    ASSERT_EQ(paths.size(), results.size());
    for (std::size_t i = 0; i < paths.size(); i++) {
        const LevelResult here = solveLevel(paths[i], withKinds());
        EXPECT_EQ(paths[i], results[i].path);
        EXPECT_EQ(here.minimum, results[i].minimum);
        EXPECT_EQ(here.solutions, results[i].solutions);
        EXPECT_EQ(here.plays, results[i].plays);
        EXPECT_EQ(here.script, results[i].script);
        EXPECT_EQ(here.every, results[i].every);
        ASSERT_EQ(here.kinds.size(), results[i].kinds.size());
        for (std::size_t k = 0; k < here.kinds.size(); k++) {
            EXPECT_EQ(here.kinds[k].kind, results[i].kinds[k].kind);
            EXPECT_EQ(here.kinds[k].replaceable, results[i].kinds[k].replaceable);
            EXPECT_EQ(here.kinds[k].script, results[i].kinds[k].script);
        }
    }
}

}  // namespace
