// The timing slack's rulebook: how late a player may come to the timed
// actions of a solution script, measured on tiny levels drawn inline, and the
// limits a level is held to.
#include "timing.h"

#include "support.h"
#include "verifier.h"

#include <gtest/gtest.h>

namespace {

// A stray belongs in the gap, carried before the push: nothing the player
// does races the chain.
const char* const strayInTheGap = R"(9 1 0 0 7 0
(_______)
N NT  N)";

const char* const carryThenPush =
    "walk 6\ngrab\nwalk 1\ngrab\nwalk 0\npush right\nwait-still\nwalk 7\nexit\n";

// The delay holds the chain back while the player runs to the stray in the
// trigger's way and picks it up; the trigger then lies down where it stood.
const char* const strayBeforeTheTrigger = R"(8 1 0 0 6 0
(______)
NNDTN)";

// Two delays hold the same chain back twice as long.
const char* const twoDelays = R"(9 1 0 0 7 0
(_______)
NNDDTN)";

// Pushes the chain, runs to the stray at column (after dawdling for the
// ticks given) and keeps it, then walks into the exit.
std::string runToTheStray(int column, int exit, int dawdle = 0)
{
    return "push right\n" + (dawdle ? "wait " + std::to_string(dawdle) + "\n" : "") + "walk "
        + std::to_string(column) + "\ngrab\nwait-still\nwalk " + std::to_string(exit) + "\nexit\n";
}

LevelSlack measured(const std::string& picture, const std::string& script,
                    SlackDepth depth = SlackDepth::ToTheCap)
{
    const ScratchFile level("level", levelFile(picture));
    const ScratchFile solution("script.txt", script);
    return measureSlack(level.name(), solution.name(), depth);
}

// The script played with the player k ticks late at its line line.
bool solvesLate(const std::string& picture, const std::string& script, int line, int k)
{
    const ScratchFile level("level", levelFile(picture));
    const ScratchFile solution("script.txt", script);
    std::vector<Action> actions;
    ScriptMarks marks;
    std::string error;
    EXPECT_TRUE(readScript(solution.name(), actions, marks, error)) << error;
    for (std::size_t i = 0; i < actions.size(); i++)
        if (actions[i].line == line) {
            actions.insert(actions.begin() + static_cast<std::ptrdiff_t>(i),
                           Action{Action::Wait, k, line, "wait " + std::to_string(k)});
            break;
        }
    return Verifier::play(level.name(), actions).solved;
}

TEST(TimedActions, ACarryBeforeThePushIsNotTimed)
{
    const LevelSlack s = measured(strayInTheGap, carryThenPush);
    EXPECT_EQ("", s.error);
    EXPECT_TRUE(s.timed.empty());
    EXPECT_EQ("-", slackFigure(s));
    EXPECT_FALSE(s.belowLimit());
    EXPECT_EQ("", slackFault(s));
}

TEST(TimedActions, TheRunAndTheGrabDuringTheChainAreTimedThePushAndWaitsAreNot)
{
    const LevelSlack s = measured(twoDelays, runToTheStray(5, 7));
    ASSERT_EQ(2u, s.timed.size());
    EXPECT_EQ("walk 5", s.timed[0].action.text);
    EXPECT_EQ("grab", s.timed[1].action.text);
}

TEST(TimedActions, AScriptThatDoesNotSolveItsLevelHasNoSlack)
{
    // Without the grab the trigger comes to rest on the stray.
    const LevelSlack s = measured(strayBeforeTheTrigger, "push right\nwait-still\nwalk 6\nexit\n");
    EXPECT_NE(std::string::npos, s.error.find("does not solve")) << s.error;
    EXPECT_EQ("", slackFigure(s));
    EXPECT_EQ(s.error, slackFault(s));
}

TEST(SlackFigure, OneDelayGivesTheGrabFiveTicks)
{
    const std::string script = runToTheStray(4, 6);
    const LevelSlack s = measured(strayBeforeTheTrigger, script);
    ASSERT_NE(nullptr, s.tightest());
    EXPECT_EQ(5, s.tightest()->slack);
    EXPECT_FALSE(s.tightest()->atLeast);
    EXPECT_EQ("5", slackFigure(s));
    // Of equal slack the later action is named: it is the deadline.
    EXPECT_EQ("grab", s.tightest()->action.text);
    EXPECT_TRUE(solvesLate(strayBeforeTheTrigger, script, 3, 5));
    EXPECT_FALSE(solvesLate(strayBeforeTheTrigger, script, 3, 6));
}

TEST(SlackFigure, TwoDelaysGiveMoreThanOne)
{
    const LevelSlack s = measured(twoDelays, runToTheStray(5, 7));
    EXPECT_EQ("12", slackFigure(s));
}

TEST(SlackFigure, ADawdlingScriptLeavesLessSlack)
{
    const LevelSlack s = measured(strayBeforeTheTrigger, runToTheStray(4, 6, 2));
    EXPECT_EQ("3", slackFigure(s));
}

TEST(SlackFigure, MeasuredToTheLimitItIsOnlyKnownToBeEnough)
{
    const LevelSlack s = measured(twoDelays, runToTheStray(5, 7), SlackDepth::ToTheLimit);
    EXPECT_EQ("6+", slackFigure(s));
    EXPECT_FALSE(s.belowLimit());
}

TEST(SlackLimit, FiveTicksAreTooFewForALevelWhoseIdeaIsNotTiming)
{
    const LevelSlack s = measured(strayBeforeTheTrigger, runToTheStray(4, 6));
    EXPECT_EQ(6, s.limit());
    EXPECT_TRUE(s.belowLimit());
    EXPECT_NE(std::string::npos, slackFault(s).find("the timing slack is 5 ticks (line 3 'grab'"))
        << slackFault(s);
}

TEST(SlackLimit, FiveTicksAreEnoughWhereTimingIsTheIdea)
{
    const LevelSlack s = measured(strayBeforeTheTrigger, "timing\n" + runToTheStray(4, 6));
    EXPECT_TRUE(s.timingIsTheIdea);
    EXPECT_EQ(4, s.limit());
    EXPECT_FALSE(s.belowLimit());
    EXPECT_EQ("", slackFault(s));
}

TEST(SlackLimit, ThreeTicksAreTooFewEvenWhereTimingIsTheIdea)
{
    const LevelSlack s = measured(strayBeforeTheTrigger, "timing\n" + runToTheStray(4, 6, 2));
    EXPECT_EQ("3", slackFigure(s));
    EXPECT_TRUE(s.belowLimit());
    EXPECT_NE(std::string::npos, slackFault(s).find("even a level whose idea is timing")) << slackFault(s);
}

}  // namespace
