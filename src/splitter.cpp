#include "splitter.h"
#include "tools.h"

#include <algorithm>
#include <utility>

namespace {

void drawBody()
{
    static const Face top[] = {TOP};
    static const Face bottom[] = {BOTTOM};
    Pen::color(1, 1, 0);
    boxFaces(dominoBox, top, 1);
    Pen::color(1, 0, 0);
    boxFaces(dominoBox, bottom, 1);
    stripedSides(2, 0.5f, true);
}

}  // namespace

void Splitter::init(Cell* c)
{
    angle2 = speed2 = accel2 = 0;
    Domino::init(c);
}

bool Splitter::swap()
{
    if (alike())
        return false;
    std::swap(angle, angle2);
    std::swap(speed, speed2);
    std::swap(accel, accel2);
    return true;
}

// A half may go on when the contact computed from the other half's lean is
// accepted; the pushes of a refused attempt are not undone.
bool Splitter::touch(int direction)
{
    if (Domino::touch(direction))
        return true;
    swap();
    const bool other = Domino::touch(direction);
    swap();
    return other;
}

// Both halves are always asked. Standing whole, the second half is asked
// mirrored, so a square strike splits it: one half each way.
bool Splitter::push(int direction, int from)
{
    const bool whole = angle == 0 && angle2 == 0 && speed == 0 && speed2 == 0;
    const bool first = Domino::push(direction, from);
    swap();
    const bool second = whole ? Domino::push(-direction, -from) : Domino::push(direction, from);
    swap();
    return first && second;
}

// Dropped on, it splits instead of breaking.
void Splitter::boom()
{
    push(1, contactSquare);
}

// The base rules once per half; the shared vertical motion thus runs twice,
// and a splitter drops twice as fast as a standard domino.
void Splitter::update()
{
    Domino::update();
    swap();
    Domino::update();
    swap();
}

// Each half applies its own push; the second is skipped while the halves
// are alike, the whole splitter standing.
void Splitter::takePush()
{
    Domino::takePush();
    if (swap()) {
        Domino::takePush();
        swap();
    }
}

// Each half pulls the camera while it moves.
void Splitter::pullCamera(float t)
{
    Domino::pullCamera(t);
    if (!alike())
        followIfMoving(t, second());
}

// Alike halves are drawn as one box.
void Splitter::render(float t)
{
    renderPlaced(t, drawBody);
    if (!alike())
        renderPlaced(t, drawBody, second());
}

void Splitter::save(DominoState& out) const
{
    Domino::save(out);
    for (int value : {angle2, speed2, accel2})
        out.put(value);
}

void Splitter::restore(DominoState::Reader& in)
{
    Domino::restore(in);
    for (int* value : {&angle2, &speed2, &accel2})
        *value = in.next();
}

// Its update runs the standard one for each half, so it reaches as far as
// either half's lean does.
UpdateReach Splitter::updateReach()
{
    UpdateReach reach = Domino::updateReach();
    if (!alike())
        reach.columns = std::max(reach.columns, reachIn(second()).columns);
    return reach;
}
