// What the player does once the pushes (and the pick-up) are made, in one of
// two ways: wait until nothing moves and then walk to the opened exit, or head
// for the exit at once and wait in it. The walk is planned from the game as it
// is at that moment, on the floors the chain has left.
//
// Once the pushes are made the player touches no domino: a player who carries
// the domino it picked up heads only for an exit it reaches without a fall
// (a fall would set the domino down), and one who waits walks only after the
// exit has opened. So the chain plays alike both ways, and the second way is
// worth trying only when the first failed for the player's own sake: it fell
// out of the level, or found no way to the opened exit.
#ifndef SOLVER_HOMEWARD_H
#define SOLVER_HOMEWARD_H

#include "script.h"
#include "verifier.h"

#include <string>
#include <vector>

class Homeward {
public:
    enum class Policy { WaitThenWalk, HeadForExit };

    // A verifier's play of a script that ends with the pushes (and the
    // pick-up), gone on home as the policy says.
    struct Played : Verifier::Result {
        bool failedOnTheWay = false;  // see failedOnTheWay() below
    };
    // exitCell: y * width + x of the exit.
    static Played play(const std::string& levelPath, const std::vector<Action>& script, Policy policy,
                       int exitCell);

    Homeward(Policy policy, int exitCell) : policy(policy), exitCell(exitCell) {}

    // The next part of the script, called each time the driver has played
    // the part before; false when there is none, with why.
    bool next(std::vector<Action>& part, std::string& why);

    // The player waits for the dominoes to come to rest.
    bool waiting() const { return stage == Stage::Waiting; }

    // Whether a play that ended unsolved failed on the way home for the
    // player's own sake (see above), so the other way may do better.
    bool failedOnTheWay(bool playerFellOut, bool exitOpened) const
    {
        return stage != Stage::Pushing && (playerFellOut || exitOpened);
    }

private:
    enum class Stage { Pushing, Waiting, Leaving };

    Policy policy;
    int exitCell;
    Stage stage = Stage::Pushing;
};

#endif
