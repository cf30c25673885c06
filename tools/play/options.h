// The options every tool that plays levels from their solution scripts
// takes alike: where the levels and the scripts are, the one level to play,
// and whether to tell each action as it goes.
#ifndef PLAY_OPTIONS_H
#define PLAY_OPTIONS_H

#include <filesystem>

struct PlayOptions {
    std::filesystem::path levels;
    std::filesystem::path solutions;
    int only = 0;  // the one level to play, from 1; 0 plays every level
    bool verbose = false;

    // Takes argv[i], with its value, when it is one of these options, moving
    // i past what it took. False for any other argument, or a level that is
    // not a number from 1.
    bool take(int argc, char** argv, int& i);
    // Both directories were given.
    bool complete() const { return !levels.empty() && !solutions.empty(); }
};

#endif
