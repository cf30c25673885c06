#include "boomer.h"
#include "cell.h"
#include "level.h"
#include "main.h"
#include "tools.h"

namespace {

void drawBody()
{
    static const Face ends[] = {FRONT, BACK};
    static const Face around[] = {TOP, RIGHT, BOTTOM, LEFT};
    const Box rearHalf = {-0.5f, 0.5f, 0, 5, -2, 0};
    Pen::color(1, 0, 0);
    boxFaces(dominoBox, ends, 2);
    for (int g = 1; g >= 0; g--) {
        Pen::color(1, g, 0);
        boxFaces(rearHalf, around, 4);
        Pen::translate(0, 0, 2);
    }
}

}  // namespace

void Boomer::render(float t)
{
    renderPlaced(t, drawBody);
}

// It explodes where it stood: that floor is gone, and its neighbours lose
// their joins toward the hole. No domino is harmed.
void Boomer::land()
{
    const int x = cell->getX(), y = cell->getY();
    cell->leave(top);
    cell->setFloor(Cell::noFloor);
    Cell* left = level->getCell(x - 1, y);
    Cell* right = level->getCell(x + 1, y);
    left->setFloor(left->getFloor() & (Cell::slab | Cell::joinedLeft));
    right->setFloor(right->getFloor() & (Cell::slab | Cell::joinedRight));
    Domino::land();
    fly = 0;
}
