// Dominoes that leave the grid on their own as a level starts. One standing
// in mid-air drops at the first tick (a flyer rises instead), long before the
// player could catch it, and goes on through every row without floor. Past
// the grid's edge it moves for ever and is never done, so the exit can never
// open: the level cannot be won.
#ifndef LEVELCHECK_LOST_H
#define LEVELCHECK_LOST_H

#include <vector>

struct Spot {
    int x, y;  // column and row
};

// Where the lost dominoes of the game's current level stood. It plays that
// level untouched until nothing drops or rises any more, so the level must be
// entered afresh before anything else is checked on it.
std::vector<Spot> dominoesLostAtStart();

#endif
