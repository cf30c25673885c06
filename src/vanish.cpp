#include "vanish.h"
#include "cell.h"
#include "tools.h"

namespace {

const int vanishBeyond = 3;  // steps of lean past which it is gone

// Its ends are open: from above or below its inside shows.
void drawStripedBody()
{
    const Pen::TwoSided open;
    stripedSides(5, 0.2f);
}

}  // namespace

void Vanish::render(float t)
{
    renderPlaced(t, drawStripedBody);
}

// It vanishes after the base update, so the strike it makes at 4 steps still
// reaches the neighbour in the same tick. Only a vanish that holds its slot
// may empty it: one left out by a collision must not evict the occupant.
void Vanish::update()
{
    Domino::update();
    if (std::abs(angle) > vanishBeyond && inPlay()) {
        cell->leave(top);
        angle = speed = fly = 0;
    }
}
