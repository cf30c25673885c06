#include "reach.h"
#include "bridge.h"
#include "boomer.h"
#include "cell.h"
#include "domino.h"
#include "level.h"

#include <deque>

namespace {

// The first floor strictly below (x, y), skipping ladders: a fall.
int fallBelow(const Floors& f, int x, int y)
{
    for (y--; y >= 0; y--)
        if (f.floor[f.at(x, y)])
            return f.at(x, y);
    return -1;
}

// Where a player walking into (x, y) comes to rest, or -1 when it falls out
// of the grid.
int settle(const Floors& f, int x, int y)
{
    const int i = f.at(x, y);
    return f.floor[i] || f.ladder[i] ? i : fallBelow(f, x, y);
}

}  // namespace

Floors floorsOf(Level& level)
{
    Floors f;
    f.wid = level.wid;
    f.hei = level.hei;
    for (int y = 0; y < f.hei; y++)
        for (int x = 0; x < f.wid; x++) {
            Cell* c = level.getCell(x, y);
            f.floor.push_back(c->getFloor());
            f.ladder.push_back(c->getLadder());
            f.hole.push_back(false);
        }
    return f;
}

Floors floorsAfterChain(Level& level)
{
    Floors f = floorsOf(level);
    bool bridge = false, boomer = false;
    for (int i = 0; i < level.dcount; i++) {
        bridge = bridge || dynamic_cast<Bridge*>(level.doms[i]);
        boomer = boomer || dynamic_cast<Boomer*>(level.doms[i]);
    }
    for (int y = 0; y < f.hei; y++)
        for (int x = 0; x < f.wid; x++) {
            const int i = f.at(x, y);
            const bool gap =
                !f.floor[i] && f.inside(x - 1, y) && f.inside(x + 1, y) && f.floor[i - 1] && f.floor[i + 1];
            if (bridge && gap)
                f.floor[i] = Cell::joinedBoth;
            if (boomer && f.floor[i])
                f.hole[i] = true;
        }
    return f;
}

bool landsInside(const Floors& f, int x, int y)
{
    return f.inside(x, y) && settle(f, x, y) >= 0;
}

std::vector<bool> reachableFrom(const Floors& f, int x, int y)
{
    std::vector<bool> seen(f.floor.size(), false);
    std::deque<int> todo;
    auto visit = [&](int i) {
        if (i >= 0 && !seen[i]) {
            seen[i] = true;
            todo.push_back(i);
        }
    };
    if (f.inside(x, y))
        visit(settle(f, x, y));
    while (!todo.empty()) {
        const int i = todo.front();
        todo.pop_front();
        const int cx = i % f.wid, cy = i / f.wid;
        for (int dx : {-1, 1})
            if (f.inside(cx + dx, cy))
                visit(settle(f, cx + dx, cy));
        if (f.hole[i])
            visit(fallBelow(f, cx, cy));
        if (f.ladder[i] && cy + 1 < f.hei) {
            const int up = f.at(cx, cy + 1);
            if (f.floor[up] || f.ladder[up])
                visit(up);
        }
        if (cy > 0 && f.ladder[f.at(cx, cy - 1)])
            visit(f.at(cx, cy - 1));
    }
    return seen;
}
