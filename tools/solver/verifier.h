// Plays a whole solution script, from the level's start, through the game's
// own main loop on the scripted SDL with the replay driver, exactly as the
// replay tool plays it: the proof that a solution the search found plays.
// Given a way home, it plays a script that ends with the pushes and goes on
// as Homeward says, which makes it a slow solver of its own that shares
// nothing with the fast search but the driver and the planned walks.
#ifndef SOLVER_VERIFIER_H
#define SOLVER_VERIFIER_H

#include "homeward.h"
#include "script.h"

#include <functional>
#include <string>
#include <vector>

class Driver;

class Verifier {
public:
    // Called after each look the driver takes at the game, with the game's
    // state as the driver saw it.
    using Watch = std::function<void(const Driver&)>;

    struct Result {
        bool solved = false;
        bool failedOnTheWay = false;  // see Homeward
        int ticks = 0;
        std::string why;             // why not
        std::vector<Action> played;  // the script with the way home
    };

    static Result play(const std::string& levelPath, const std::vector<Action>& script,
                       const Watch& watch = nullptr);
    // exitCell: y * width + x of the exit.
    static Result play(const std::string& levelPath, const std::vector<Action>& script, Homeward::Policy home,
                       int exitCell);

private:
    static Result play(const std::string& levelPath, const std::vector<Action>& script, Homeward* home,
                       const Watch& watch);
};

#endif
