#include "terrain.h"
#include "program.h"

#include "cell.h"
#include "level.h"

#include <deque>

Terrain::Terrain(Level& level) : Terrain(level, Changes())
{
}

Terrain::Terrain(Level& level, Changes granted) : wid(level.wid), hei(level.hei), holed(granted.holed)
{
    for (int y = 0; y < hei; y++)
        for (int x = 0; x < wid; x++) {
            Cell* c = level.getCell(x, y);
            floor.push_back(c->getFloor());
            ladder.push_back(c->getLadder());
        }
    for (int c = 0; c < size() && granted.bridged; c++) {
        const int x = column(c);
        const bool gap = !floor[c] && x > 0 && x + 1 < wid && floor[c - 1] && floor[c + 1];
        if (gap)
            floor[c] = Cell::joinedBoth;
    }
    reachEmpty.resize(size());
    reachCarrying.resize(size());
}

bool Terrain::standable(int x, int y) const
{
    const int c = cellAt(x, y);
    return floor[c] || ladder[c];
}

int Terrain::landing(int x, int y) const
{
    if (!inside(x, y))
        return -1;
    return standable(x, y) ? cellAt(x, y) : landingBelow(x, y);
}

// The first floor strictly below (x, y): ladders do not catch a fall. -1 when
// the fall leaves the grid.
int Terrain::landingBelow(int x, int y) const
{
    for (y--; y >= 0; y--)
        if (floor[cellAt(x, y)])
            return cellAt(x, y);
    return -1;
}

std::vector<Terrain::Move> Terrain::moves(int from, bool carrying) const
{
    std::vector<Move> out;
    const int x = column(from), y = row(from);
    for (int dx : {-1, 1}) {
        const int nx = x + dx;
        if (nx < 0 || nx >= wid)
            continue;
        if (standable(nx, y))
            out.push_back({cellAt(nx, y), Step::Walk});
        else if (!carrying && landingBelow(nx, y) >= 0)
            out.push_back({landingBelow(nx, y), Step::Drop});
    }
    if (ladder[from] && y + 1 < hei && standable(x, y + 1))
        out.push_back({cellAt(x, y + 1), Step::Climb});
    if (y > 0 && ladder[cellAt(x, y - 1)])
        out.push_back({cellAt(x, y - 1), Step::Climb});
    if (holed && !carrying && floor[from] && landingBelow(x, y) >= 0)
        out.push_back({landingBelow(x, y), Step::Drop});
    return out;
}

const std::vector<bool>& Terrain::reach(int from, bool carrying) const
{
    std::vector<bool>& seen = (carrying ? reachCarrying : reachEmpty)[from];
    if (!seen.empty())
        return seen;
    seen.assign(size(), false);
    std::deque<int> open{from};
    seen[from] = true;
    while (!open.empty()) {
        const int c = open.front();
        open.pop_front();
        for (const Move& m : moves(c, carrying))
            if (!seen[m.to]) {
                seen[m.to] = true;
                open.push_back(m.to);
            }
    }
    return seen;
}

void Terrain::reachEverywhere() const
{
    for (int c = 0; c < size(); c++) {
        reach(c, false);
        reach(c, true);
    }
}

// A breadth-first way, then each run of steps of one kind becomes one action:
// a walk along a row, a walk that ends in a fall ("drop" to the gap's column,
// where the player lands), a climb to the last row of a ladder.
bool Terrain::route(int from, int to, bool carrying, std::vector<Action>& actions) const
{
    std::vector<int> previous(size(), -1);
    std::vector<Step> stepInto(size(), Step::Walk);
    std::deque<int> open{from};
    previous[from] = from;
    while (!open.empty() && previous[to] < 0) {
        const int c = open.front();
        open.pop_front();
        for (const Move& m : moves(c, carrying))
            if (previous[m.to] < 0) {
                previous[m.to] = c;
                stepInto[m.to] = m.step;
                open.push_back(m.to);
            }
    }
    if (previous[to] < 0)
        return false;
    std::vector<int> path;
    for (int c = to; c != from; c = previous[c])
        path.insert(path.begin(), c);
    for (std::size_t i = 0; i < path.size(); i++) {
        const Step step = stepInto[path[i]];
        const bool runGoesOn = i + 1 < path.size() && stepInto[path[i + 1]] == step && step != Step::Drop;
        const bool walkEndsInFall =
            step == Step::Walk && i + 1 < path.size() && stepInto[path[i + 1]] == Step::Drop;
        if (runGoesOn || walkEndsInFall)
            continue;
        if (step == Step::Climb)
            actions.push_back(makeAction(Action::Climb, row(path[i])));
        else
            actions.push_back(makeAction(step == Step::Drop ? Action::Drop : Action::Walk, column(path[i])));
    }
    return true;
}

std::vector<int> Terrain::dropCells(int from) const
{
    std::vector<int> out;
    const std::vector<bool>& carried = reach(from, true);
    for (int c = 0; c < size(); c++) {
        const int x = column(c), y = row(c);
        if (floor[c] || landingBelow(x, y) < 0)
            continue;
        bool besideReached = false;
        for (int dx : {-1, 1})
            besideReached = besideReached || (inside(x + dx, y) && carried[cellAt(x + dx, y)]);
        if (ladder[c] ? carried[c] : besideReached)
            out.push_back(c);
    }
    return out;
}

bool Terrain::dropRoute(int from, int into, int wait, std::vector<Action>& actions, int& at) const
{
    const int x = column(into), y = row(into);
    auto waitThen = [&](Action last) {
        if (wait > 0)
            actions.push_back(makeAction(Action::Wait, wait));
        actions.push_back(last);
    };
    if (ladder[into]) {
        if (!route(from, into, true, actions))
            return false;
        waitThen(makeAction(Action::Grab));
        at = into;
        return true;
    }
    const std::vector<bool>& carried = reach(from, true);
    for (int dx : {-1, 1})
        if (inside(x + dx, y) && carried[cellAt(x + dx, y)] && landingBelow(x, y) >= 0) {
            route(from, cellAt(x + dx, y), true, actions);
            waitThen(makeAction(Action::Drop, x));
            at = landingBelow(x, y);
            return true;
        }
    return false;
}
