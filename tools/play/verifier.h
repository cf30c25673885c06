// Plays a whole solution script, from the level's start, through the game's
// own main loop on the scripted SDL with the driver, exactly as the replay
// tool plays it: the proof that a script plays. Given more, it plays a script
// that ends early and goes on as more says (the solver's way home), which
// makes it, with the solver's planned walks, a slow solver of its own that
// shares nothing with the fast search.
#ifndef PLAY_VERIFIER_H
#define PLAY_VERIFIER_H

#include "script.h"
#include "script_play.h"

#include <string>
#include <vector>

class Verifier {
public:
    struct Result {
        bool solved = false;
        bool fellOut = false;      // the player fell out of the level
        bool sawExitOpen = false;  // the exit began to open at some time
        int ticks = 0;
        std::string why;             // why not
        std::vector<Action> played;  // the script with the parts more gave
    };

    // The calling thread's game is as it was afterwards.
    static Result play(const std::string& levelPath, const std::vector<Action>& script,
                       const ScriptPlay::Watch& watch = nullptr, const ScriptPlay::More& more = nullptr);
};

#endif
