#include "chainbound.h"

#include <algorithm>
#include <numeric>

namespace {

// Union-find over the dominoes.
int root(std::vector<int>& parent, int i)
{
    while (parent[i] != i)
        i = parent[i] = parent[parent[i]];
    return i;
}

void sortUnique(std::vector<int>& cells)
{
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
}

}  // namespace

ChainBound::ChainBound(const Terrain& terrain, const LevelStart& start) : terrain(terrain), start(start)
{
    bool present[scopes] = {}, movable[scopes] = {};
    for (std::size_t i = 0; i < start.scopes.size(); i++) {
        present[scopeOf(start.scopes[i])] = true;
        movable[scopeOf(start.scopes[i])] = movable[scopeOf(start.scopes[i])] || start.movable[i];
        boomers = boomers || start.scopes[i].opensFloor;
        bridges = bridges || start.scopes[i].closesGap;
    }
    for (int s = 0; s < scopes; s++) {
        reach[s].resize(terrain.size());
        for (int c = 0; c < terrain.size() && present[s]; c++)
            reach[s][c] = fallFrom(c, static_cast<Scope>(s));
    }
    throughHole.resize(terrain.size());
    for (int c = 0; c < terrain.size() && boomers; c++) {
        std::vector<int> landings;
        dropThrough(terrain.column(c), terrain.row(c), throughHole[c], landings);
        for (int landing : landings) {
            const std::vector<int> on = fallFrom(landing, standard);
            throughHole[c].insert(throughHole[c].end(), on.begin(), on.end());
        }
        sortUnique(throughHole[c]);
    }
    closeHolesBelow();
    // A domino set down at c, of any kind that can be carried, is linked to
    // what it reaches, to whatever reaches c, and, where its fall reaches a
    // boomer's cell, to what the hole there lets it reach; a boomer set down
    // at c opens c.
    linked.resize(terrain.size());
    for (int s = 0; s < scopes; s++)
        for (int c = 0; c < terrain.size() && present[s]; c++)
            for (int b : reach[s][c]) {
                std::vector<int> reached{b};
                if (boomers)
                    reached.insert(reached.end(), throughHole[b].begin(), throughHole[b].end());
                for (int d : reached) {
                    if (movable[s])
                        linked[c].push_back(d);
                    linked[d].push_back(c);
                }
            }
    for (int c = 0; c < terrain.size() && boomers; c++) {
        const int x = terrain.column(c), y = terrain.row(c);
        for (int side : {-1, 1})
            if (terrain.inside(x + side, y)) {
                const std::vector<int>& hole = throughHole[terrain.cellAt(x + side, y)];
                linked[c].insert(linked[c].end(), hole.begin(), hole.end());
                linked[c].insert(linked[c].end(), throughHole[c].begin(), throughHole[c].end());
                linked[c].push_back(terrain.cellAt(x + side, y));
            }
    }
    for (int c = 0; c < terrain.size(); c++) {
        std::vector<int>& l = linked[c];
        sortUnique(l);
        l.erase(std::remove(l.begin(), l.end(), c), l.end());
        if (!terrain.hasFloor(c))
            continue;
        const int count =
            static_cast<int>(std::count_if(l.begin(), l.end(), [&](int d) { return terrain.hasFloor(d); }));
        most = std::max(most, count);
    }
}

// A domino that drops through one hole falls on from where it lands, and
// may strike a boomer there whose hole it drops through in turn, floor after
// floor: so a hole lets its neighbours reach whatever the holes of the cells
// below it, within that reach, let them reach. The rows are closed from the
// bottom up, since a drop only ever leads lower.
void ChainBound::closeHolesBelow()
{
    std::vector<int> cells(terrain.size());
    std::iota(cells.begin(), cells.end(), 0);
    std::stable_sort(cells.begin(), cells.end(),
                     [&](int a, int b) { return terrain.row(a) < terrain.row(b); });
    for (int c : cells) {
        std::vector<int> below;
        for (int d : throughHole[c])
            if (terrain.row(d) < terrain.row(c))
                below.insert(below.end(), throughHole[d].begin(), throughHole[d].end());
        throughHole[c].insert(throughHole[c].end(), below.begin(), below.end());
        sortUnique(throughHole[c]);
    }
}

ChainBound::Scope ChainBound::scopeOf(const FallScope& s)
{
    return s.alongRow ? alongRow : s.upward ? upward : standard;
}

// A domino tipping into the cell (x, y), which has no floor: it drops down
// that column, past every cell beside it, to the first floor below, its
// landing.
void ChainBound::dropThrough(int x, int y, std::vector<int>& cells, std::vector<int>& landings) const
{
    int floor = y - 1;
    while (floor >= 0 && !terrain.hasFloor(terrain.cellAt(x, floor)))
        floor--;
    for (int row = std::max(floor, 0); row <= y; row++)
        for (int e : {-1, 0, 1})
            if (terrain.inside(x + e, row))
                cells.push_back(terrain.cellAt(x + e, row));
    if (floor >= 0)
        landings.push_back(terrain.cellAt(x, floor));
}

// The cells a domino of the scope falling from cell could reach, from every
// place its fall may take it: there, the next cell each way in its row. Any
// fall tips into a cell without floor next to it and drops to the floor
// below; a looping goes on along its row, over a gap a bridge may close too,
// and where a boomer may have opened the floor it drops through; a flyer
// rises through cells with no floor above, straight up or swinging round a
// ceiling's edge.
std::vector<int> ChainBound::fallFrom(int cell, Scope scope) const
{
    std::vector<int> cells, places{cell};
    std::vector<bool> visited(terrain.size(), false);
    visited[cell] = true;
    auto go = [&](int place) {
        if (!visited[place]) {
            visited[place] = true;
            places.push_back(place);
        }
    };
    auto open = [&](int x, int y) { return terrain.inside(x, y) && !terrain.hasFloor(terrain.cellAt(x, y)); };
    while (!places.empty()) {
        const int at = places.back();
        places.pop_back();
        const int x = terrain.column(at), y = terrain.row(at);
        cells.push_back(at);
        for (int d : {-1, 1}) {
            if (!terrain.inside(x + d, y))
                continue;
            cells.push_back(terrain.cellAt(x + d, y));
            const bool gap = open(x + d, y);
            if (gap || (scope == alongRow && boomers)) {
                std::vector<int> landings;
                dropThrough(x + d, y, cells, landings);
                for (int landing : landings)
                    go(landing);
            }
            const bool closable = gap && bridges && terrain.inside(x + 2 * d, y) && !open(x + 2 * d, y);
            if (scope == alongRow && (!gap || closable))
                go(terrain.cellAt(x + d, y));
            if (scope == upward && open(x + d, y + 1))
                go(terrain.cellAt(x + d, y + 1));
        }
        if (scope == upward && open(x, y + 1))
            go(terrain.cellAt(x, y + 1));
    }
    sortUnique(cells);
    return cells;
}

int ChainBound::groups(const Standing& s) const
{
    std::vector<int> groupAt;
    return label(s, groupAt);
}

int ChainBound::label(const Standing& s, std::vector<int>& groupAt) const
{
    // The links: dominoes and phantoms, each with the cell it stands in,
    // the domino whose kind it has, and whether it has yet to fall.
    struct Link {
        int cell, kind;
        bool required;
    };
    std::vector<Link> links;
    for (std::size_t i = 0; i < s.where.size(); i++)
        if (s.where[i] >= 0 && start.knockable[i]) {
            const bool optional = !s.optional.empty() && s.optional[i];
            links.push_back({s.where[i], static_cast<int>(i),
                             start.required[i] && !optional && static_cast<int>(i) != s.taken});
        }
    for (const auto& [cell, kind] : s.phantoms)
        links.push_back({cell, kind, false});
    const int count = static_cast<int>(links.size());
    std::vector<int> parent(count), at(terrain.size(), -1);
    std::iota(parent.begin(), parent.end(), 0);
    auto join = [&](int l, int cell) {
        if (at[cell] >= 0)
            parent[root(parent, at[cell])] = root(parent, l);
    };
    for (int l = 0; l < count; l++)
        at[links[l].cell] = l;
    for (int l = 0; l < count; l++)
        for (int c : reach[scopeOf(start.scopes[links[l].kind])][links[l].cell])
            join(l, c);
    // A domino whose fall reaches a boomer's cell may drop through the hole
    // it leaves.
    for (int b = 0; b < count && boomers; b++) {
        if (!start.scopes[links[b].kind].opensFloor)
            continue;
        const int hole = links[b].cell;
        for (int l = 0; l < count; l++) {
            const std::vector<int>& r = reach[scopeOf(start.scopes[links[l].kind])][links[l].cell];
            if (l != b && std::binary_search(r.begin(), r.end(), hole))
                for (int c : throughHole[hole])
                    join(l, c);
        }
    }
    std::vector<char> needs(count, 0);  // by root: 1 has to fall, 2 only optional links
    for (int l = 0; l < count; l++) {
        char& n = needs[root(parent, l)];
        n = links[l].required ? 1 : n == 1 ? 1 : 2;
    }
    int groups = 0, optionalOnly = 0;
    for (int l = 0; l < count; l++)
        if (root(parent, l) == l)
            (needs[l] == 1 ? groups : optionalOnly)++;
    for (std::size_t i = 0; i < s.where.size(); i++)
        groups += s.where[i] < 0 && start.required[i] && static_cast<int>(i) != s.taken;
    groupAt.assign(terrain.size(), -1);
    for (int l = 0; l < count; l++)
        groupAt[links[l].cell] = root(parent, l);
    return groups + std::max(0, optionalOnly - s.openTakes);
}

bool ChainBound::outOfReach(const Standing& s, const std::vector<bool>& free, int pushes, int carries) const
{
    std::vector<int> groupAt;
    const int groups = label(s, groupAt);
    if (groups - pushes <= 0)
        return false;
    if (carries == 0)
        return true;
    // Within reach as soon as one free cell joins enough groups: the first
    // carry there, and `most` a carry after it.
    const int enough = groups - pushes - most * (carries - 1);
    if (enough <= 0)
        return false;
    std::vector<int> joined;
    for (int c = 0; c < terrain.size(); c++) {
        if (!free[c])
            continue;
        joined.clear();
        for (int d : linked[c])
            if (groupAt[d] >= 0 && std::find(joined.begin(), joined.end(), groupAt[d]) == joined.end())
                joined.push_back(groupAt[d]);
        if (static_cast<int>(joined.size()) >= enough)
            return false;
    }
    return true;
}

bool ChainBound::linksADomino(int cell, const std::vector<int>& where) const
{
    for (int d : where)
        if (d >= 0 && std::binary_search(linked[cell].begin(), linked[cell].end(), d))
            return true;
    return false;
}
