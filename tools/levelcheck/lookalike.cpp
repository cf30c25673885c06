#include "lookalike.h"

#include "cell.h"
#include "domino.h"
#include "level.h"
#include "main.h"

std::vector<LookAlike> lookAlikesSideBySide()
{
    std::vector<LookAlike> found;
    for (int i = 0; i < level->dcount; i++) {
        Domino* d = level->doms[i];
        Domino* next = d->neighbour(1, d->top);
        if (next->isBlank() || next->letter() == d->letter() || next->face() != d->face())
            continue;
        const int x = d->cell->getX(), y = d->cell->getY();
        found.push_back({{x, y}, {x + 1, y}, d->letter(), next->letter()});
    }
    return found;
}
