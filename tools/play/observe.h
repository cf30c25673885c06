// Read-only views of the game's state for the driver: whether the
// dominoes still move, and plain-text descriptions for failure reports.
#ifndef PLAY_OBSERVE_H
#define PLAY_OBSERVE_H

#include <string>

struct Domino;

// True when no domino of the current level moves: none in play has work for
// its frames (a turn, a flight, a push to apply, a countdown). A domino out
// of play (carried, vanished, left out of its cell) never moves.
bool allStill();

// "T at (7,1) angle 3 speed 1 broken".
std::string describe(Domino* d);

// Where the player is and what it does, on one line.
std::string describePlayer();

// One line per domino of the level that is not done, each starting with
// indent; empty when all are done.
std::string describeUnfinished(const std::string& indent);

#endif
