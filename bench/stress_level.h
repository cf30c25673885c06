// Generated stress levels for the benchmarks: rows of floor packed with
// chains of dominoes of every kind, each chain started by one push, so that
// nearly every domino of the level ends up falling.
#ifndef STRESS_LEVEL_H
#define STRESS_LEVEL_H

#include <string>
#include <vector>

struct ChainStart {
    int x;
    int y;
};

struct StressLevel {
    std::string text;                // the level file, ready for the loader
    std::vector<ChainStart> starts;  // the first domino of every chain
    int dominoes;
};

// A level width cells wide with chainRows rows of chains and an empty floor
// above them as their ceiling. Chains fall to the right.
StressLevel makeStressLevel(int width, int chainRows);

// The chains of makeStressLevel started by the level itself, for the real
// window, where the player has one push: each chain is led by a splitter on
// which a domino drops at once from a gap in the floor above, so every chain
// falls within the first second. The chains stand a fixed period apart, and
// each row's are shifted from the row below's so that the gap above every
// splitter falls between two chains of the row above. Without starts.
StressLevel makeSelfStartingLevel(int width, int chainRows);

// A level width by height cells where nearly every domino falls at once:
// the bottom row is a floor with the doors, every row above it is open air,
// and every other one of those is full of standard dominoes, which drop a
// row every six ticks until they reach the floor, in step, for minutes.
// Without starts: nothing needs a push.
StressLevel makeFallingLevel(int width, int height);

#endif
