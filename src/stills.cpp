#include "stills.h"
#include "cell.h"
#include "level.h"
#include "main.h"
#include "pen.h"
#include "view.h"

#include <algorithm>

namespace {

// The one-sided parts hold closed bodies and surfaces that face the viewer
// from no further forward than this plane: the floor slabs, whose back faces
// are never drawn, and the ladders. With the eye in front of it, every face
// culling drops is hidden behind a face of its own body.
const float frontmost = 3;

const float cellWidth = 5;
const float rowHeight = 10;

}  // namespace

Stills::~Stills()
{
    if (lists)
        glDeleteLists(lists, 2 * blocks.size());
}

void Stills::prepare(const Level& level)
{
    const int count = blockCount(level.wid, level.hei);
    blocks.assign(count, Block{0, false});
    lists = glGenLists(2 * count);
}

// The one-sided parts of all the blocks first, culled, then the two-sided.
void Stills::draw(Level& level, const CellRange& seen)
{
    if (seen.left > seen.right || seen.bottom > seen.top)
        return;
    if (blocks.empty())
        prepare(level);
    const int across = blocksAcross(level.wid);
    const int left = seen.left / blockColumns, right = seen.right / blockColumns;
    const int bottom = seen.bottom / blockRows, top = seen.top / blockRows;
    if (!lists) {
        for (int by = bottom; by <= top; by++)
            for (int bx = left; bx <= right; bx++) {
                Pen::Sketch drawn;
                sketch(level, bx, by);
                drawn.emit(false);
                drawn.emit(true);
            }
        return;
    }
    for (int by = bottom; by <= top; by++)
        for (int bx = left; bx <= right; bx++)
            refresh(level, bx, by);
    const bool cull = camera[2] > frontmost;
    for (int side = 0; side < 2; side++) {
        if (cull && side == 0)
            glEnable(GL_CULL_FACE);
        for (int by = bottom; by <= top; by++)
            for (int bx = left; bx <= right; bx++)
                glCallList(lists + 2 * (by * across + bx) + side);
        if (cull && side == 0)
            glDisable(GL_CULL_FACE);
    }
}

void Stills::refresh(Level& level, int bx, int by)
{
    const int index = by * blocksAcross(level.wid) + bx;
    Block& block = blocks[index];
    const unsigned changes = level.blockChanges[index];
    if (block.compiled && block.changes == changes)
        return;
    Pen::Sketch drawn;
    sketch(level, bx, by);
    for (int side = 0; side < 2; side++) {
        glNewList(lists + 2 * index + side, GL_COMPILE);
        drawn.emit(side);
        glEndList();
    }
    block.changes = changes;
    block.compiled = true;
}

void Stills::sketch(Level& level, int bx, int by)
{
    const int from = bx * blockColumns, to = std::min(level.wid, from + blockColumns) - 1;
    for (int y = by * blockRows; y < std::min(level.hei, (by + 1) * blockRows); y++) {
        for (int x = from; x <= to; x++) {
            Pen::push();
            Pen::translate(x * cellWidth, y * rowHeight, 0);
            level.getCell(x, y)->renderStill();
            Pen::pop();
        }
        sketchFloors(level, y, from, to);
    }
}

// A run ends at the block's edge, where its slab meets the next block's
// without an end face, or at a cell that does not reach the next one's.
void Stills::sketchFloors(Level& level, int y, int from, int to)
{
    for (int x = from; x <= to;) {
        Cell* first = level.getCell(x, y);
        if (!first->getFloor()) {
            x++;
            continue;
        }
        int last = x;
        while (last < to && level.getCell(last, y)->reachesRight()
               && (level.getCell(last + 1, y)->getFloor() & Cell::joinedLeft))
            last++;
        Pen::push();
        Pen::translate(x * cellWidth, y * rowHeight, 0);
        Cell::renderFloorRun(*first, *level.getCell(last, y), last - x);
        Pen::pop();
        x = last + 1;
    }
}
