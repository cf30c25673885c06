// The whole state of a loaded level (its cells, dominoes, doors and flags),
// kept so that it can be put back as it was between plays instead of reading
// the level file again. Each domino saves and restores itself; the dominoes
// keep their addresses and the cells their places, so every pointer between
// them stays good.
#ifndef SOLVER_SNAPSHOT_H
#define SOLVER_SNAPSHOT_H

#include "cell.h"
#include "domino.h"
#include "door.h"

#include <vector>

class Level;

class Snapshot {
public:
    void take(Level& level);
    // Puts a level back as it was taken (the same Level object).
    void restore(Level& level) const;

private:
    std::vector<Cell> cells;
    Cell border;  // the shared cell outside the grid, which holds the dominoes that left it
    std::vector<DominoState> dominoes;
    std::vector<int> woken;  // the dominoes the frames visit, by index
    Door wayIn, wayOut;
    bool triggering = false;
    bool pushed = false;
};

#endif
