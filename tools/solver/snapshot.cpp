#include "snapshot.h"

#include "level.h"
#include "main.h"

#include <algorithm>

void Snapshot::take(Level& level)
{
    dominoes.assign(level.dcount, DominoState());
    woken.clear();
    for (int i = 0; i < level.dcount; i++) {
        level.doms[i]->save(dominoes[i]);
        if (level.doms[i]->woken)
            woken.push_back(i);
    }
    cells.assign(level.cells, level.cells + level.wid * level.hei);
    border = borderCell;
    wayIn = level.wayIn;
    wayOut = level.wayOut;
    triggering = level.triggering;
    pushed = level.pushed;
}

void Snapshot::restore(Level& level) const
{
    level.forgetWoken();
    for (int i = 0; i < level.dcount; i++) {
        DominoState::Reader in(dominoes[i]);
        level.doms[i]->restore(in);
        level.doms[i]->woken = false;
    }
    for (int i : woken)
        level.wake(level.doms[i]);
    std::copy(cells.begin(), cells.end(), level.cells);
    level.wayIn = wayIn;
    level.wayOut = wayOut;
    level.triggering = triggering;
    level.pushed = pushed;
    borderCell = border;
}
