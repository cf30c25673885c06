// The whole state of a loaded level (its cells, dominoes, doors and flags),
// copied so that it can be put back as it was between plays instead of
// reading the level file again. The dominoes keep their addresses and the
// cells their places, so every pointer between them stays good.
#ifndef SOLVER_SNAPSHOT_H
#define SOLVER_SNAPSHOT_H

#include "door.h"

#include <memory>
#include <vector>

class Cell;
class Level;
struct Domino;

class Snapshot {
public:
    struct Copy;  // one domino's, of its own kind

    // False when a domino is of a kind it cannot copy; nothing is kept then.
    bool take(Level& level);
    // Puts a level back as it was taken (the same Level object).
    void restore(Level& level) const;

private:
    std::vector<Cell> cells;
    std::vector<Cell> border;  // the shared cell outside the grid
    std::vector<std::shared_ptr<const Copy>> dominoes;
    Door wayIn, wayOut;
    bool triggering = false;
    bool pushed = false;
};

#endif
