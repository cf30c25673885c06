// The solver as a library, for the command line tool and the level checker:
// for one level file, the fewest carries that solve it (up to a limit) and
// with them the fewest pushes, how many distinct solutions have both, one of
// them as a replay script, and whether each special domino could be a
// standard one instead.
//
// Every solution it counts has been played from the level's start through
// the game's own main loop by the replay driver. It runs the game's code on
// threads of its own, whose game state is their own: the caller's level,
// player and level number are untouched.
#ifndef SOLVER_SOLVER_H
#define SOLVER_SOLVER_H

#include <string>
#include <vector>

struct SolveLimits {
    int carries = 2;        // the search stops after this many
    bool kinds = false;     // also try each special domino replaced by a standard one
    bool thorough = false;  // play every candidate through the main loop, inferring nothing (slow)
    int jobs = 1;           // candidates played at once, each on a thread of its own
};

// One special domino replaced by a standard one (N).
struct KindCheck {
    char kind = 'N';  // its level file letter
    int column = 0;
    int row = 0;
    // The level is still solved within as many carries as it needs, with no
    // more pushes, or within the limit when it needs more than that.
    bool replaceable = false;
    int carries = -1;    // then: the fewest
    std::string script;  // then: a script that shows it
};

struct LevelResult {
    std::string path;
    std::string error;               // the level could not be read; nothing else is set
    bool outOfMemory = false;        // the error: the solver ran out of memory
    int limit = 0;                   // the carries searched up to
    int minimum = -1;                // the fewest carries; -1 when more than limit
    int pushes = -1;                 // the fewest pushes with that many carries
    int solutions = 0;               // distinct solutions with both, all played
    int unverified = 0;              // found by the search but not played through by the driver
    std::string script;              // the quickest of them, as a replay script
    std::string summary;             // the same in one line
    int ticks = 0;                   // the quickest one's play
    std::vector<std::string> every;  // every one of them in one line
    std::vector<KindCheck> kinds;
    int plays = 0;                    // candidate plays the search needed
    std::vector<std::string> rounds;  // what each round of carries took
    double seconds = 0;
};

LevelResult solveLevel(const std::string& path, const SolveLimits& limits);

#endif
