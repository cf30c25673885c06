#include "cell.h"
#include "door.h"
#include "domino.h"
#include "main.h"
#include "tools.h"

void Cell::init(int x, int y, int hasFloor, bool hasLadder)
{
    this->x = x;
    this->y = y;
    this->hasFloor = hasFloor;
    this->hasLadder = hasLadder;
    d[0] = d[1] = nullptr;
    door = nullptr;
    ownChanges = 0;
    changes = &ownChanges;
}

// The first domino in a slot keeps it; a later arrival makes the occupant
// boom and is itself left out of every slot.
bool Cell::enter(Domino* arriving, int top)
{
    changed();
    if (d[top]) {
        d[top]->boom();
        return false;
    }
    d[top] = arriving;
    return true;
}

void Cell::leave(int top)
{
    d[top] = nullptr;
    changed();
}

Domino* Cell::getDomino(int top)
{
    return d[top] ? d[top] : &blank;
}

// A woken domino may move between frames and is drawn with the frame's
// tick fraction; any other is as still as its last update left it.
void Cell::renderStill()
{
    for (Domino* slot : d)
        if (slot && !slot->woken)
            slot->render(0);
    if (door && !door->swinging())
        door->render(0);
    if (hasLadder)
        renderLadder();
}

// A floor joined on the right reaches the start of the neighbour's slab;
// joined ends draw no end face.
void Cell::renderFloorRun(const Cell& first, const Cell& last, int span)
{
    const float right = span * cellWidth + (last.reachesRight() ? 4.0f : 1.0f);
    const Box box = {-1.0f, right, -1.8f, -0.1f, -3.0f, 3.0f};

    Pen::color(0, 0.5f, 1);
    Pen::begin(GL_QUADS);
    boxFace(box, TOP);
    boxFace(box, FRONT);
    boxFace(box, BOTTOM);
    if (!last.reachesRight())
        boxFace(box, RIGHT);
    if (!(first.hasFloor & joinedLeft))
        boxFace(box, LEFT);
    Pen::end();
}

void Cell::renderLadder()
{
    const int rungs = 9;
    Pen::color(1, 1, 1);
    Pen::begin(GL_QUADS);
    Pen::normal(0, 0, 1);
    const float rails[2][2] = {{-1.0f, -0.9f}, {0.9f, 1.0f}};
    for (const auto& rail : rails) {
        Pen::vertex(rail[0], 0, 3);
        Pen::vertex(rail[1], 0, 3);
        Pen::vertex(rail[1], 10, 3);
        Pen::vertex(rail[0], 10, 3);
    }
    for (int k = 1; k <= rungs; k++) {
        Pen::vertex(-1.1f, k, 2.9f);
        Pen::vertex(1.1f, k, 2.9f);
        Pen::vertex(1.1f, k + 0.1f, 2.9f);
        Pen::vertex(-1.1f, k + 0.1f, 2.9f);
    }
    Pen::end();
}
