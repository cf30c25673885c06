// The level checker's proof: the solver's result on tiny levels held against
// what a solution script claims, and what the checker reads in a script.
#include "proof.h"
#include "support.h"

#include "script.h"
#include "solver.h"

#include <gtest/gtest.h>

namespace {

// A stray domino belongs in the gap: one carry.
const char* oneCarry = R"(8 1 0 0 6 0
(______)
N NT  N)";

// Pushed either way, the chain falls to the trigger; pushed right, the
// domino beside the blocker swings back off it first.
const char* blockerShown = R"(7 1 6 0 0 0
(_____)
 TNNW)";

// The same with a vanish in the chain: two special kinds.
const char* twoKindsShown = R"(8 1 7 0 0 0
(______)
 TNVW)";

// Fill the gap and take the blocker out of the trigger's way: two carries.
// With a standard domino in the blocker's place one carry does: that domino
// fills the gap.
const char* blockerInTheWay = R"(8 1 0 0 6 0
(______)
NN NTW)";

// The delay holds the chain back and falls on: one push. The stray beside the
// entrance must be kept in hand; pushed first, the delay starts the chain a
// second time for nothing.
const char* delayInTheChain = R"(6 1 0 0 5 0
(____)
NDNT)";

LevelResult solve(const char* picture, int carries)
{
    const ScratchFile level("proof", levelFile(picture));
    SolveLimits limits;
    limits.carries = carries;
    limits.kinds = true;
    return solveLevel(level.name(), limits);
}

ScriptFacts script(int carries, int pushes = 1, bool showcase = false)
{
    ScriptFacts s;
    s.carries = carries;
    s.pushes = pushes;
    s.showcase = showcase;
    return s;
}

// Whether one of the verdict's failures says so.
bool says(const ProofVerdict& v, const std::string& words)
{
    for (const std::string& f : v.failures)
        if (f.find(words) != std::string::npos)
            return true;
    return false;
}

TEST(ProofCarries, AScriptWithTheFewestCarriesPasses)
{
    const ProofVerdict v = judgeProof(solve(oneCarry, 1), script(1), true);
    EXPECT_TRUE(v.failures.empty()) << v.failures.front();
    EXPECT_EQ("1 carry, 1 push, 1 solution", v.summary);
}

TEST(ProofCarries, AShorterWayThanTheScriptsFails)
{
    const ProofVerdict v = judgeProof(solve(oneCarry, 2), script(2), true);
    EXPECT_TRUE(says(v, "finds a way with 1 carry where the script takes 2"))
        << ::testing::PrintToString(v.failures);
}

TEST(ProofCarries, AScriptTheSolverCannotMatchProvesNothing)
{
    // A script that claims no carry where the solver needs one does
    // something the solver never tries (or does not solve the level).
    const ProofVerdict fewer = judgeProof(solve(oneCarry, 1), script(0), false);
    EXPECT_TRUE(says(fewer, "finds no way within 0 carries")) << ::testing::PrintToString(fewer.failures);
    // Within the limit the solver must find the script's way at all.
    const ProofVerdict missed = judgeProof(solve(blockerInTheWay, 1), script(1), true);
    EXPECT_TRUE(says(missed, "finds no way within 1 carry")) << ::testing::PrintToString(missed.failures);
}

// With as many carries, fewer pushes are a shorter way too; and a script
// with fewer pushes than the solver finds proves nothing.
TEST(ProofPushes, AsManyCarriesAndFewerPushesIsAShorterWayFewerThanTheSolverIsBlind)
{
    const LevelResult solved = solve(delayInTheChain, 1);
    ASSERT_EQ(std::pair(1, 1), std::pair(solved.minimum, solved.pushes));
    const ProofVerdict more = judgeProof(solved, script(1, 2), true);
    EXPECT_TRUE(says(more, "finds a way with 1 carry and 1 push where the script makes 2"))
        << ::testing::PrintToString(more.failures);
    const ProofVerdict same = judgeProof(solved, script(1, 1), true);
    EXPECT_FALSE(says(same, "way")) << ::testing::PrintToString(same.failures);
    const ProofVerdict fewer = judgeProof(solved, script(1, 0), true);
    EXPECT_TRUE(says(fewer, "the script makes 0 pushes but the solver needs 1"))
        << ::testing::PrintToString(fewer.failures);
}

TEST(ProofCarries, TheQuickFormPassesALevelThatNeedsMoreThanItsLimit)
{
    // Two carries, searched up to one: nothing shorter than the script, which
    // is all the quick form can tell.
    const LevelResult quick = solve(blockerInTheWay, 1);
    EXPECT_EQ(-1, quick.minimum);
    const ProofVerdict v = judgeProof(quick, script(2), true);
    EXPECT_FALSE(says(v, "way")) << ::testing::PrintToString(v.failures);
    EXPECT_EQ("more than 1 carry, its script 2", v.summary);
}

TEST(ProofKinds, AReplaceableSpecialDominoFailsAPuzzle)
{
    const ProofVerdict v = judgeProof(solve(blockerInTheWay, 2), script(2), true);
    EXPECT_TRUE(
        says(v, "W at (5,0) is not needed: with a standard domino there the level is solved with 1 carry"))
        << ::testing::PrintToString(v.failures);
}

TEST(ProofKinds, TheQuickFormFindsAReplaceableKindWithinItsLimit)
{
    // The level needs more than one carry, its variant with an N only one.
    const ProofVerdict v = judgeProof(solve(blockerInTheWay, 1), script(2), true);
    EXPECT_TRUE(says(v, "W at (5,0) is not needed")) << ::testing::PrintToString(v.failures);
}

TEST(ProofShowcase, AShowcaseMayHaveAReplaceableKind)
{
    const ProofVerdict v = judgeProof(solve(blockerShown, 1), script(0, 1, true), true);
    EXPECT_TRUE(v.failures.empty()) << ::testing::PrintToString(v.failures);
    EXPECT_EQ("showcase, 0 carries, 1 push, 2 solutions", v.summary);
}

TEST(ProofShowcase, WithoutTheMarkALevelSolvedByOnePushFailsFromTheFirstPuzzleOn)
{
    const ProofVerdict puzzle = judgeProof(solve(blockerShown, 1), script(0), true);
    EXPECT_TRUE(says(puzzle, "solved with no carry")) << ::testing::PrintToString(puzzle.failures);
    EXPECT_TRUE(says(puzzle, "W at (4,0) is not needed")) << ::testing::PrintToString(puzzle.failures);
    const ProofVerdict firstLevels = judgeProof(solve(blockerShown, 1), script(0), false);
    EXPECT_FALSE(says(firstLevels, "solved with no carry")) << ::testing::PrintToString(firstLevels.failures);
}

TEST(ProofShowcase, AShowcaseIsOnePushWithNoCarry)
{
    const ProofVerdict carried = judgeProof(solve(oneCarry, 1), script(1, 1, true), true);
    EXPECT_TRUE(says(carried, "one push and no carry, but its script makes 1 carry and 1 push"))
        << ::testing::PrintToString(carried.failures);
    const ProofVerdict twoPushes = judgeProof(solve(blockerShown, 1), script(0, 2, true), true);
    EXPECT_TRUE(says(twoPushes, "0 carries and 2 pushes")) << ::testing::PrintToString(twoPushes.failures);
}

TEST(ProofShowcase, AShowcaseShowsOneSpecialKindAlone)
{
    const ProofVerdict two = judgeProof(solve(twoKindsShown, 1), script(0, 1, true), true);
    EXPECT_TRUE(says(two, "one kind alone, but this level has W, V"))
        << ::testing::PrintToString(two.failures);
    const ProofVerdict none = judgeProof(solve(oneCarry, 1), script(1, 1, true), true);
    EXPECT_TRUE(says(none, "there is no special domino")) << ::testing::PrintToString(none.failures);
}

TEST(ProofKinds, KindsAreListedOnceInTheGuidesOrder)
{
    EXPECT_EQ("W, V", specialKinds(solve(twoKindsShown, 0)));
    EXPECT_EQ("", specialKinds(solve(oneCarry, 0)));
}

TEST(ProofScript, CarriesAreGrabsInPairsAndAKeptPickUp)
{
    const ScratchFile file("facts.txt", R"(# a carry, a delay pushed, the push, and a domino kept
walk 3
grab
walk 1
grab   # set down
push left
walk 2
push right
grab
exit
)");
    const ScriptFacts facts = readScriptFacts(file.name());
    EXPECT_EQ("", facts.error);
    EXPECT_EQ(2, facts.carries);
    EXPECT_EQ(2, facts.pushes);
    EXPECT_FALSE(facts.showcase);
}

TEST(ProofScript, TheShowcaseMarkIsReadAndTheReplayPassesOverIt)
{
    const ScratchFile file("shown.txt", "showcase   # the blocker at work\nwalk 3\npush right\nexit\n");
    EXPECT_TRUE(readScriptFacts(file.name()).showcase);
    std::vector<Action> actions;
    std::string error;
    ASSERT_TRUE(readScript(file.name(), actions, error)) << error;
    EXPECT_EQ(3u, actions.size());
}

TEST(ProofScript, AnUnreadableScriptFailsTheLevel)
{
    const ScratchFile file("typo.txt", "walk 3\nshowcases\n");
    const ScriptFacts facts = readScriptFacts(file.name());
    EXPECT_NE(std::string::npos, facts.error.find(":2: unknown action 'showcases'")) << facts.error;
    const ProofVerdict v = judgeProof(solve(oneCarry, 1), facts, true);
    ASSERT_EQ(1u, v.failures.size());
    EXPECT_EQ(facts.error, v.failures.front());
    EXPECT_NE(std::string::npos, readScriptFacts("/nonexistent/7.txt").error.find("no solution script"));
}

}  // namespace
