#include "lost.h"

#include "cell.h"
#include "domino.h"
#include "level.h"
#include "main.h"

namespace {

// A drop or a rise takes six ticks a row.
const int ticksPerRow = 6;

bool anyInFlight()
{
    for (int i = 0; i < level->dcount; i++)
        if (level->doms[i]->fly)
            return true;
    return false;
}

}  // namespace

std::vector<Spot> dominoesLostAtStart()
{
    std::vector<Spot> start;
    for (int i = 0; i < level->dcount; i++)
        start.push_back({level->doms[i]->cell->getX(), level->doms[i]->cell->getY()});
    // Enough ticks to cross every row and leave the grid from any of them;
    // each is followed by a frame's work, as in the game.
    const int ticks = ticksPerRow * (level->hei + 1);
    for (int t = 0; t < ticks; t++) {
        tick();
        animateFrame(0);
        if (!anyInFlight())
            break;
    }
    std::vector<Spot> lost;
    for (int i = 0; i < level->dcount; i++)
        if (level->doms[i]->cell == &borderCell)
            lost.push_back(start[i]);
    return lost;
}
