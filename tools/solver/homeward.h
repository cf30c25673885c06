// What the player does once the pushes (and the pick-up) are made, in one of
// two ways: wait until nothing moves and then walk to the opened exit, or head
// for the exit at once and wait in it. The walk is planned from the game as it
// is at that moment, on the floors the chain has left.
#ifndef SOLVER_HOMEWARD_H
#define SOLVER_HOMEWARD_H

#include "script.h"

#include <string>
#include <vector>

class Homeward {
public:
    enum class Policy { WaitThenWalk, HeadForExit };

    Homeward(Policy policy, int exitCell) : policy(policy), exitCell(exitCell) {}

    // The next part of the script, called each time the driver has played
    // the part before; false when there is none, with why.
    bool next(std::vector<Action>& part, std::string& why);

private:
    enum class Stage { Pushing, Waiting, Leaving };

    Policy policy;
    int exitCell;
    Stage stage = Stage::Pushing;
};

#endif
