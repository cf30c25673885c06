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
}

// The first domino in a slot keeps it; a later arrival makes the occupant
// boom and is itself left out of every slot.
bool Cell::enter(Domino* arriving, int top)
{
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
}

Domino* Cell::getDomino(int top)
{
    return d[top] ? d[top] : &blank;
}

void Cell::render(float t)
{
    getDomino(0)->render(t);
    getDomino(1)->render(t);
    if (door)
        door->render(t);
    if (hasFloor)
        renderFloor();
    if (hasLadder)
        renderLadder();
}

// A floor joined on the right reaches the start of the neighbour's slab, so
// a run of joined floors reads as one slab; joined ends draw no end face.
void Cell::renderFloor()
{
    const Box box = {-1.0f, reachesRight() ? 4.0f : 1.0f, -1.8f, -0.1f, -3.0f, 3.0f};

    glColor3f(0, 0.5f, 1);
    glBegin(GL_QUADS);
    boxFace(box, TOP);
    boxFace(box, FRONT);
    boxFace(box, BOTTOM);
    if (!reachesRight())
        boxFace(box, RIGHT);
    if (!(hasFloor & joinedLeft))
        boxFace(box, LEFT);
    glEnd();
}

void Cell::renderLadder()
{
    const int rungs = 9;
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    const float rails[2][2] = {{-1.0f, -0.9f}, {0.9f, 1.0f}};
    for (const auto& rail : rails) {
        glVertex3f(rail[0], 0, 3);
        glVertex3f(rail[1], 0, 3);
        glVertex3f(rail[1], 10, 3);
        glVertex3f(rail[0], 10, 3);
    }
    for (int k = 1; k <= rungs; k++) {
        glVertex3f(-1.1f, k, 2.9f);
        glVertex3f(1.1f, k, 2.9f);
        glVertex3f(1.1f, k + 0.1f, 2.9f);
        glVertex3f(-1.1f, k + 0.1f, 2.9f);
    }
    glEnd();
}
