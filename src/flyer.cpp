#include "flyer.h"
#include "cell.h"
#include "level.h"
#include "main.h"
#include "tools.h"

namespace {

const int ceiling = 2;  // elev at which its top meets the floor of the row above

// Upside down, the body is 4 deep from z -7/3 to 5/3 in three bands across
// its depth, yellow, red and yellow.
void drawBody()
{
    static const Face around[] = {TOP, RIGHT, BOTTOM, LEFT};
    static const Face ends[] = {BACK, FRONT};
    const Box whole = {-1, 1, 0, 1, -2, 10};
    const Box band = {-1, 1, 0, 1, -2, 2};
    Pen::scale(0.5f, 5, 1.0f / 3);
    Pen::color(1, 1, 0);
    boxFaces(whole, ends, 2);
    for (int i = 0; i < 3; i++) {
        Pen::color(1, i == 1 ? 0 : 1, 0);
        boxFaces(band, around, 4);
        Pen::translate(0, 0, 4);
    }
}

}  // namespace

// Turned upside down, with the pivot edges of rot at its top; its height,
// counted down the turned frame, still lifts it.
void Flyer::render(float t)
{
    Pen::push();
    Pen::translate(0, 2, 0.5f);
    Pen::rotate(180, 1, 0, 0);
    Pen::translate(0, -3, -0.5f);
    rotAt(t, -elev, -fly);
    if (renderBroken(t))
        drawBody();
    Pen::pop();
}

// Pushed on its floor it takes off at once into the upper slot of its cell;
// off its floor a push is accepted and ignored.
bool Flyer::push0(int direction)
{
    if (elev != 0)
        return true;
    fly = 1;
    speed = direction;
    cell->leave(top);
    top = 1;
    cell->enter(this, top);
    return true;
}

void Flyer::update()
{
    if (!inPlay())
        return;
    lean();
    elev += fly;
    if (elev == 0 && !cell->getFloor())
        fly = 1;
    else if (elev == ceiling)
        rise();
}

// At the ceiling: rise on through a row above without floor, swing up round
// a ceiling edge at the far end of a lying flyer, or rest against it.
void Flyer::rise()
{
    const int x = cell->getX(), y = cell->getY();
    if (!level->getCell(x, y + 1)->getFloor()) {
        fly = 1;
        if (speed == 0 && angle < 0)
            speed = 1;
        else if (speed == 0 && angle > 0)
            speed = -1;
        migrate(0, 1);
        elev -= elevPerRow;
    } else if (std::abs(angle) == lying && angle * speed >= 0
               && !level->getCell(x + angle / lying, y + 1)->getFloor()) {
        fly = 1;
        speed = angle / lying;
        migrate(speed, 1);
        angle = -angle;
        elev -= elevPerRow;
    } else {
        fly = 0;
    }
}

// Wherever it is, its update may meet the ceiling: the floor of the row above.
UpdateReach Flyer::updateReach()
{
    UpdateReach reach = Domino::updateReach();
    reach.above = true;
    return reach;
}
