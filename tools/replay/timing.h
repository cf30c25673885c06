// Timing slack: how late a player may come to each timed action of a
// solution script and still solve the level. The game is played in real
// time on a keyboard, so a solution that needs a key within a tick or two of
// one moment is unfair, unless timing is what the level is about.
//
// An action is timed when it begins after the script's first push while some
// domino still moves: a walk, drop or climb that races the chain, a grab or a
// push while it runs. Waits are no move of the player's, and the exit waits
// for its door by itself, so neither is timed. An action's slack is the
// largest K such that the script with "wait K" inserted before that action
// solves the level for every delay from 0 to K. Solving need not stay solved
// as the delay grows (a grab that misses one still moment may catch the
// next), so every delay is played, from the level's start, with the Verifier.
// A level's slack is the least over its timed actions.
#ifndef REPLAY_TIMING_H
#define REPLAY_TIMING_H

#include "script.h"

#include <string>
#include <vector>

// In ticks, 20 to the second.
const int slackCap = 60;        // 3 s: no delay beyond it is tried
const int fairSlack = 6;        // 0.3 s: the least any level may ask for ...
const int timingIdeaSlack = 4;  // 0.2 s: ... unless timing is its idea

struct TimedAction {
    Action action;
    int slack = 0;         // ticks
    bool atLeast = false;  // every delay tried solved: the slack may be more
};

// One level's timed actions and their slack, or why there are none.
struct LevelSlack {
    std::string error;               // the script cannot be read or does not solve the level
    bool timingIsTheIdea = false;    // the script's "timing" mark
    std::vector<TimedAction> timed;  // in the script's order

    // The timed action with the least slack; of equal ones the last, since a
    // delay of an earlier action delays every later one as well, so the
    // later is the deadline both meet. Null without a timed action.
    const TimedAction* tightest() const;
    // The least slack this level may ask for.
    int limit() const { return timingIsTheIdea ? timingIdeaSlack : fairSlack; }
    // Measured, and with less slack than its limit.
    bool belowLimit() const;
};

// How far each timed action's delays are played: up to the level's limit,
// which is enough to judge it, or up to slackCap for the figure.
enum class SlackDepth { ToTheLimit, ToTheCap };

LevelSlack measureSlack(const std::string& levelPath, const std::string& scriptPath, SlackDepth depth);

// "1 tick", "6 ticks".
std::string ticks(int n);

// The level's slack in ticks, "60+" when every delay tried solved, "-"
// without a timed action; empty on an error.
std::string slackFigure(const LevelSlack& s);

// What is wrong with the level's timing, on one line: its error, or its
// slack below the limit and the action that sets it; empty when fair.
std::string slackFault(const LevelSlack& s);

#endif
