#include "door.h"
#include "cell.h"
#include "tools.h"

void Door::init(Cell* c, bool exit)
{
    this->c = c;
    this->exit = exit;
    angle = 0;
    speed = 0;
    c->putDoor(this);
}

void Door::open()
{
    if (angle != 0 || speed)
        return;
    speed = 1;
    c->changed();
}

void Door::update()
{
    const int fullyOpen = 6;
    angle += speed;
    if (speed && angle == fullyOpen) {
        speed = 0;
        c->changed();
    }
}

// Frame and leaf stand at the back edge of the floor slab, facing the viewer;
// the leaf turns about its hinge so that its free edge swings away.
void Door::render(float t)
{
    const float w = 2.5f;  // half a cell
    const float z = -3;
    Pen::color(0.3f, 0.6f, 0.9f);
    Pen::begin(GL_QUADS);
    Pen::normal(0, 0, 1);
    const float frame[3][4] = {
        {-w, 0, 0.2f - w, 6.8f},
        {-w, 6.8f, w, 7},
        {w - 0.2f, 0, w, 6.8f},
    };
    for (const auto& q : frame) {
        Pen::vertex(q[0], q[1], z);
        Pen::vertex(q[2], q[1], z);
        Pen::vertex(q[2], q[3], z);
        Pen::vertex(q[0], q[3], z);
    }
    Pen::end();

    // Turned, the leaf shows either face to the viewer.
    const Pen::TwoSided leaf;
    Pen::push();
    Pen::translate(0.3f - w, 0, z);
    Pen::rotate((angle + speed * t) * 15, 0, 1, 0);
    facingQuad(0, 0, 2 * w - 0.6f, 6.7f, 0);
    Pen::pop();
}
