#include "delay.h"
#include "tools.h"

namespace {

const int countdown = 8;  // of the delay's own updates

// Two interlocking halves: yellow at the front, red at the back, the sides
// split along the diagonal from the bottom back edge to the top front edge.
// Every face winds counter-clockwise seen from outside, as culling expects.
void drawBody()
{
    const Box& b = dominoBox;
    Pen::begin(GL_QUADS);
    Pen::color(1, 1, 0);
    boxFace(b, FRONT);
    boxFace({b.x0, 0, b.y0, b.y1, b.z0, b.z1}, TOP);
    boxFace({0, b.x1, b.y0, b.y1, b.z0, b.z1}, BOTTOM);
    Pen::color(1, 0, 0);
    boxFace(b, BACK);
    boxFace({0, b.x1, b.y0, b.y1, b.z0, b.z1}, TOP);
    boxFace({b.x0, 0, b.y0, b.y1, b.z0, b.z1}, BOTTOM);
    Pen::end();

    Pen::begin(GL_TRIANGLES);
    Pen::color(1, 1, 0);
    Pen::normal(1, 0, 0);
    Pen::vertex(b.x1, b.y0, b.z1);
    Pen::vertex(b.x1, b.y0, b.z0);
    Pen::vertex(b.x1, b.y1, b.z1);
    Pen::normal(-1, 0, 0);
    Pen::vertex(b.x0, b.y0, b.z0);
    Pen::vertex(b.x0, b.y1, b.z1);
    Pen::vertex(b.x0, b.y1, b.z0);
    Pen::color(1, 0, 0);
    Pen::normal(1, 0, 0);
    Pen::vertex(b.x1, b.y0, b.z0);
    Pen::vertex(b.x1, b.y1, b.z0);
    Pen::vertex(b.x1, b.y1, b.z1);
    Pen::normal(-1, 0, 0);
    Pen::vertex(b.x0, b.y1, b.z1);
    Pen::vertex(b.x0, b.y0, b.z0);
    Pen::vertex(b.x0, b.y0, b.z1);
    Pen::end();
}

}  // namespace

void Delay::init(Cell* c)
{
    Domino::init(c);
    timer = 0;
    released = false;
}

// While it counts down, the waiting direction stays in accel instead of
// being applied.
void Delay::takePush()
{
    if (!timer)
        Domino::takePush();
}

// While it counts down, the camera watches it as if it moved.
void Delay::pullCamera(float t)
{
    if (timer)
        lookAtMe(0);
    Domino::pullCamera(t);
}

void Delay::render(float t)
{
    renderPlaced(t, drawBody);
}

// A square strike is always refused, so the striker is held back. The first
// starts the countdown; strikes during it may change the direction; strikes
// after it do nothing, so the delay falls once.
bool Delay::push0(int direction)
{
    if (released)
        return false;
    accel = direction;
    if (timer == 0)
        timer = countdown;
    return false;
}

void Delay::update()
{
    Domino::update();
    if (timer && --timer == 0) {
        speed = accel;
        accel = 0;
        released = true;
    }
}

void Delay::save(DominoState& out) const
{
    Domino::save(out);
    out.put(timer);
    out.put(released);
}

void Delay::restore(DominoState::Reader& in)
{
    Domino::restore(in);
    timer = in.next();
    released = in.next();
}
