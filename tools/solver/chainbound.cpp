#include "chainbound.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

// Union-find over the dominoes.
int root(std::vector<int>& parent, int i)
{
    while (parent[i] != i)
        i = parent[i] = parent[parent[i]];
    return i;
}

// The lowest set bit's place in a word that has one.
int lowestBit(std::uint64_t m)
{
    return __builtin_ctzll(m);
}

void sortUnique(std::vector<int>& cells)
{
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
}

}  // namespace

ChainBound::ChainBound(const Terrain& terrain, const LevelStart& start)
    : terrain(terrain), start(start), words((terrain.size() + 63) / 64)
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
        reachBits[s].assign(static_cast<std::size_t>(terrain.size()) * words, 0);
        for (int c = 0; c < terrain.size(); c++)
            for (int d : reach[s][c])
                reachBits[s][c * words + d / 64] |= std::uint64_t(1) << (d % 64);
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
    joining.resize(terrain.size());
    for (int c = 0; c < terrain.size(); c++) {
        std::vector<int>& l = linked[c];
        sortUnique(l);
        l.erase(std::remove(l.begin(), l.end(), c), l.end());
        if (!terrain.hasFloor(c))
            continue;
        for (int d : l)
            joining[d].push_back(c);
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

namespace {

// A domino or a phantom as the labelling sees it: the cell it stands in, the
// domino whose kind it has, and whether it has yet to fall.
struct Link {
    int cell, kind;
    bool required;
};

// One thread's working space for the labelling, kept between calls: the
// search asks the bound for every arrangement and program it looks at, and
// fresh vectors each time cost more than the labelling itself. Between calls
// the cell-indexed arrays hold -1 everywhere but at the cells of links, the
// last call's links.
struct Labels {
    std::vector<Link> links;
    std::vector<int> parent;              // by link
    std::vector<char> needs;              // by root: 1 has to fall, 2 only optional links
    std::vector<int> at;                  // by cell: the last link standing there
    std::vector<int> groupAt;             // by cell: its link's group, by a representative
    std::vector<std::uint64_t> occupied;  // a bit for each cell a link stands in
    std::vector<int> countedAt;           // by group: the last free cell that counted it
    // By cell, with at most 64 links: the groups joined there, one bit per
    // representative, and how many.
    std::vector<std::uint64_t> joinedAt;
    std::vector<int> joinedCount;

    // Back to -1 everywhere, for a terrain of `cells` cells.
    void reset(int cells)
    {
        for (const Link& l : links)
            at[l.cell] = groupAt[l.cell] = -1;
        links.clear();
        if (at.size() < static_cast<std::size_t>(cells)) {
            at.resize(cells, -1);
            groupAt.resize(cells, -1);
        }
    }
};

Labels& labels()
{
    thread_local Labels scratch;
    return scratch;
}

}  // namespace

int ChainBound::groups(const Standing& s) const
{
    return label(s);
}

int ChainBound::label(const Standing& s) const
{
    Labels& w = labels();
    w.reset(terrain.size());
    std::vector<Link>& links = w.links;
    for (std::size_t i = 0; i < s.where.size(); i++)
        if (s.where[i] >= 0 && start.knockable[i]) {
            const bool optional = !s.optional.empty() && s.optional[i];
            links.push_back({s.where[i], static_cast<int>(i),
                             start.required[i] && !optional && static_cast<int>(i) != s.taken});
        }
    for (const auto& [cell, kind] : s.phantoms)
        links.push_back({cell, kind, false});
    const int count = static_cast<int>(links.size());
    std::vector<int>& parent = w.parent;
    std::vector<int>& at = w.at;
    parent.resize(count);
    std::iota(parent.begin(), parent.end(), 0);
    auto join = [&](int l, int cell) {
        if (at[cell] >= 0)
            parent[root(parent, at[cell])] = root(parent, l);
    };
    std::vector<std::uint64_t>& occupied = w.occupied;
    occupied.assign(words, 0);
    for (int l = 0; l < count; l++) {
        at[links[l].cell] = l;
        occupied[links[l].cell / 64] |= std::uint64_t(1) << (links[l].cell % 64);
    }
    // Only the reached cells a link stands in join anything: those are
    // found a word of cells at a time, in the order of the cells.
    for (int l = 0; l < count; l++) {
        const std::uint64_t* r = &reachBits[scopeOf(start.scopes[links[l].kind])][links[l].cell * words];
        for (int word = 0; word < words; word++)
            for (std::uint64_t m = r[word] & occupied[word]; m; m &= m - 1)
                join(l, word * 64 + lowestBit(m));
    }
    // A domino whose fall reaches a boomer's cell may drop through the hole
    // it leaves.
    for (int b = 0; b < count && boomers; b++) {
        if (!start.scopes[links[b].kind].opensFloor)
            continue;
        const int hole = links[b].cell;
        for (int l = 0; l < count; l++) {
            const std::uint64_t* r = &reachBits[scopeOf(start.scopes[links[l].kind])][links[l].cell * words];
            if (l != b && (r[hole / 64] >> (hole % 64) & 1))
                for (int c : throughHole[hole])
                    join(l, c);
        }
    }
    std::vector<char>& needs = w.needs;
    needs.assign(count, 0);
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
    for (int l = 0; l < count; l++)
        w.groupAt[links[l].cell] = root(parent, l);
    return groups + std::max(0, optionalOnly - s.openTakes);
}

bool ChainBound::outOfReach(const Standing& s, const std::vector<bool>& free, int pushes, int carries) const
{
    const int groups = label(s);
    if (groups - pushes <= 0)
        return false;
    if (carries == 0)
        return true;
    // Within reach as soon as one free cell joins enough groups: the first
    // carry there, and `most` a carry after it.
    const int enough = groups - pushes - most * (carries - 1);
    if (enough <= 0)
        return false;
    Labels& w = labels();
    if (w.links.size() <= 64)
        return !joinsEnough(free, enough);
    w.countedAt.assign(w.links.size(), -1);
    for (int c = 0; c < terrain.size(); c++) {
        if (!free[c])
            continue;
        int joined = 0;
        for (int d : linked[c]) {
            const int g = w.groupAt[d];
            if (g >= 0 && w.countedAt[g] != c) {
                w.countedAt[g] = c;
                if (++joined >= enough)
                    return false;
            }
        }
    }
    return true;
}

// Whether some free cell joins `enough` of the groups just labelled, at most
// 64 of them: gone through from the dominoes, each to the floor cells a
// domino set down there would be linked to, rather than from every free
// cell to all it is linked to.
bool ChainBound::joinsEnough(const std::vector<bool>& free, int enough) const
{
    Labels& w = labels();
    w.joinedAt.assign(terrain.size(), 0);
    w.joinedCount.assign(terrain.size(), 0);
    for (const Link& l : w.links) {
        const std::uint64_t group = std::uint64_t(1) << w.groupAt[l.cell];
        for (int c : joining[l.cell])
            if (free[c] && !(w.joinedAt[c] & group)) {
                w.joinedAt[c] |= group;
                if (++w.joinedCount[c] >= enough)
                    return true;
            }
    }
    return false;
}

bool ChainBound::linksADomino(int cell, const std::vector<int>& where) const
{
    for (int d : where)
        if (d >= 0 && std::binary_search(linked[cell].begin(), linked[cell].end(), d))
            return true;
    return false;
}
