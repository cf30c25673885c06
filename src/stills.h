// The still part of a level's drawing, kept by GL: the floors, the ladders,
// the doors at rest and the dominoes that are not woken, by blocks of
// blockRows x blockColumns cells, each compiled into display lists with its
// vertices placed in the world and a joined run of floor as one slab.
//
// The step marks what it changes: every cell points at its block's counter
// of changes (Level::blockChanges), which it moves when its slots or floor
// change, when a domino in it is woken or let go, when its door starts or
// ends a swing. A block is compiled again when it is to be drawn and its
// counter has moved since it was compiled, and only then. The cache is the
// drawing's own: it reads the level and never changes it.
#ifndef STILLS_H
#define STILLS_H

#include "base.h"

#include <vector>

class Stills {
public:
    static constexpr int blockColumns = 16;
    static constexpr int blockRows = 2;

    static int blocksAcross(int wid) { return (wid + blockColumns - 1) / blockColumns; }
    static int blockCount(int wid, int hei)
    {
        return blocksAcross(wid) * ((hei + blockRows - 1) / blockRows);
    }
    // The block of cell (x, y) of a grid wid cells wide.
    static int blockOf(int x, int y, int wid) { return y / blockRows * blocksAcross(wid) + x / blockColumns; }

    Stills() {}
    // Gives its lists back to GL.
    ~Stills();
    Stills(const Stills&) = delete;
    Stills& operator=(const Stills&) = delete;

    // Draws the still part of the blocks that hold cells of seen, compiling
    // first those that changed. Faces turned away from the eye are culled
    // where that hides nothing. Without lists from GL, the
    // blocks are drawn afresh.
    void draw(Level& level, const CellRange& seen);

private:
    struct Block {
        unsigned changes;  // the level's counter when it was compiled
        bool compiled;
    };
    GLuint lists = 0;  // from here two a block: its one-sided part, its two-sided part
    std::vector<Block> blocks;

    void prepare(const Level& level);
    void refresh(Level& level, int bx, int by);
    static void sketch(Level& level, int bx, int by);
    static void sketchFloors(Level& level, int y, int from, int to);
};

#endif
