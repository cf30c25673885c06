#include "bridge.h"
#include "cell.h"
#include "level.h"
#include "main.h"
#include "tools.h"

namespace {

void drawBandedBody()
{
    const float heights[] = {0.45f, 0.55f - 0.45f, 0.45f};
    const Box band = {-1, 1, 0, 0, -2, 2};
    yellowEnds();
    Pen::scale(0.5f, 5, 1);
    for (int i = 0; i < 3; i++) {
        Box b = band;
        b.y1 = heights[i];
        Pen::color(1, i == 1 ? 0 : 1, 0);
        boxSides(b);
        Pen::translate(0, heights[i], 0);
    }
}

}  // namespace

void Bridge::render(float t)
{
    renderPlaced(t, drawBandedBody);
}

// Lying across a one-cell gap with floor beyond, it joins the three floors
// into one span and, unless its own floor was joined that way already,
// becomes part of the floor itself.
void Bridge::land()
{
    const int d = speed;
    const int x = cell->getX(), y = cell->getY();
    const int f = cell->getFloor();
    Cell* far = level->getCell(x + 2 * d, y);
    const int h = far->getFloor();
    if (speed && h) {
        level->getCell(x + d, y)->setFloor(Cell::joinedBoth);
        if (!(f & Cell::joinToward(d)))
            cell->leave(top);
        cell->setFloor(f | Cell::slab | Cell::joinToward(d));
        far->setFloor(h | Cell::slab | Cell::joinToward(-d));
    }
    Domino::land();
    fly = 0;
}
