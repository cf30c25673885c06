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

}  // namespace

Stills::~Stills()
{
    if (lists)
        glDeleteLists(lists, parts * blocks.size());
}

void Stills::prepare(const Level& level)
{
    const int count = blockCount(level.wid, level.hei);
    blocks.assign(count, Block{0, false, 0, {}, {}, 0});
    lists = glGenLists(parts * count);
}

// Every still face is opaque, with one colour and one normal at all its
// corners, so flat shading and no blending show it as smooth shading and
// blending do, and spare Mesa interpolating its colour over every pixel and
// reading back the one beneath.
void Stills::draw(Level& level, const CellRange& seen)
{
    if (seen.left > seen.right || seen.bottom > seen.top)
        return;
    if (blocks.empty())
        prepare(level);
    const CellRange inBlocks = {seen.left / blockColumns, seen.right / blockColumns, seen.bottom / blockRows,
                                seen.top / blockRows};
    glShadeModel(GL_FLAT);
    glDisable(GL_BLEND);
    if (lists)
        drawKept(level, inBlocks);
    else
        drawAfresh(level, inBlocks);
    glEnable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
}

// The one-sided parts of all the blocks first, culled, then the two-sided.
void Stills::drawKept(Level& level, const CellRange& inBlocks)
{
    for (int by = inBlocks.bottom; by <= inBlocks.top; by++)
        for (int bx = inBlocks.left; bx <= inBlocks.right; bx++)
            refresh(level, bx, by);
    const bool cull = camera[2] > frontmost;
    const int across = blocksAcross(level.wid);
    if (cull)
        glEnable(GL_CULL_FACE);
    callLists(0, Pen::Sketch::twoSided, cull, across, inBlocks);
    if (cull)
        glDisable(GL_CULL_FACE);
    callLists(Pen::Sketch::twoSided, parts, false, across, inBlocks);
}

// The parts from up to to of the blocks in range, each that has faces and,
// where faces are culled, may have one turned to the eye.
void Stills::callLists(int from, int to, bool cull, int across, const CellRange& inBlocks) const
{
    for (int by = inBlocks.bottom; by <= inBlocks.top; by++)
        for (int bx = inBlocks.left; bx <= inBlocks.right; bx++) {
            const int index = by * across + bx;
            const Block& block = blocks[index];
            for (int part = from; part < to; part++)
                if ((block.holds >> part & 1) && (!cull || mayFaceEye(block, part)))
                    glCallList(lists + parts * index + part);
        }
}

// A face looking along +a is seen only from beyond its plane along a. Its
// tilt off the axis, at most Pen::tilt, lets an eye at distance r see it
// from up to about tilt x r short of the plane; twice that is kept.
bool Stills::mayFaceEye(const Block& block, int part) const
{
    if (part >= Pen::Sketch::alongAxes || View::everything)
        return true;
    float distance = 0;
    for (int i = 0; i < 3; i++)
        distance += (camera[i] - block.centre[i]) * (camera[i] - block.centre[i]);
    distance = std::sqrt(distance) + block.radius;
    const float along = part % 2 ? -camera[part / 2] : camera[part / 2];
    return along > block.nearest[part] - 2 * Pen::tilt * distance;
}

void Stills::drawAfresh(Level& level, const CellRange& inBlocks)
{
    for (int by = inBlocks.bottom; by <= inBlocks.top; by++)
        for (int bx = inBlocks.left; bx <= inBlocks.right; bx++) {
            Pen::Sketch drawn;
            sketch(level, bx, by);
            for (int part = 0; part < parts; part++)
                drawn.emit(part);
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
    block.holds = 0;
    for (int part = 0; part < parts; part++) {
        glNewList(lists + parts * index + part, GL_COMPILE);
        drawn.emit(part);
        glEndList();
        block.holds |= unsigned{drawn.holds(part)} << part;
    }
    for (int part = 0; part < Pen::Sketch::alongAxes; part++)
        block.nearest[part] = drawn.nearest(part);
    drawn.bounds(block.centre, block.radius);
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
