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

}  // namespace

ChainBound::ChainBound(const Terrain& terrain, const LevelStart& start) : terrain(terrain), start(start)
{
    for (const FallScope& s : start.scopes)
        modelled = modelled && !s.alongRow && !s.upward && !s.opensFloor;
    reach.resize(terrain.size());
    for (int c = 0; c < terrain.size(); c++)
        reach[c] = fallFrom(c);
    // Linked either way: what a domino set down at c reaches, and what
    // reaches c, counting only cells a domino can stand in.
    linked.resize(terrain.size());
    for (int c = 0; c < terrain.size(); c++)
        for (int d : reach[c]) {
            linked[c].push_back(d);
            linked[d].push_back(c);
        }
    for (int c = 0; c < terrain.size(); c++) {
        std::vector<int>& l = linked[c];
        std::sort(l.begin(), l.end());
        l.erase(std::unique(l.begin(), l.end()), l.end());
        l.erase(std::remove(l.begin(), l.end(), c), l.end());
        if (!terrain.hasFloor(c))
            continue;
        const int count =
            static_cast<int>(std::count_if(l.begin(), l.end(), [&](int d) { return terrain.hasFloor(d); }));
        most = std::max(most, count);
    }
}

// The cells a domino falling from cell could reach: the next cell each way
// in its row and, through each of them without floor, the drop down that
// column to the first floor, every cell beside it on the way, and from the
// landing on, the same again.
std::vector<int> ChainBound::fallFrom(int cell) const
{
    std::vector<int> cells, todo{cell};
    std::vector<bool> visited(terrain.size(), false);
    visited[cell] = true;
    auto add = [&](int x, int y) {
        if (terrain.inside(x, y))
            cells.push_back(terrain.cellAt(x, y));
    };
    while (!todo.empty()) {
        const int at = todo.back();
        todo.pop_back();
        const int x = terrain.column(at), y = terrain.row(at);
        add(x, y);
        for (int d : {-1, 1}) {
            add(x + d, y);
            if (!terrain.inside(x + d, y) || terrain.hasFloor(terrain.cellAt(x + d, y)))
                continue;
            int floor = y - 1;
            while (floor >= 0 && !terrain.hasFloor(terrain.cellAt(x + d, floor)))
                floor--;
            for (int row = std::max(floor, 0); row <= y; row++)
                for (int e : {-1, 0, 1})
                    add(x + d + e, row);
            if (floor >= 0 && !visited[terrain.cellAt(x + d, floor)]) {
                visited[terrain.cellAt(x + d, floor)] = true;
                todo.push_back(terrain.cellAt(x + d, floor));
            }
        }
    }
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
}

int ChainBound::groups(const std::vector<int>& where, int taken) const
{
    const int count = static_cast<int>(where.size());
    std::vector<int> parent(count), at(terrain.size(), -1);
    std::iota(parent.begin(), parent.end(), 0);
    for (int i = 0; i < count; i++)
        if (where[i] >= 0 && start.knockable[i])
            at[where[i]] = i;
    for (int i = 0; i < count; i++) {
        if (where[i] < 0 || !start.knockable[i])
            continue;
        for (int c : reach[where[i]])
            if (at[c] >= 0)
                parent[root(parent, at[c])] = root(parent, i);
    }
    std::vector<bool> counted(count, false);
    int groups = 0;
    for (int i = 0; i < count; i++) {
        if (!start.required[i] || i == taken)
            continue;
        if (where[i] < 0) {
            groups++;
            continue;
        }
        const int r = root(parent, i);
        if (!counted[r]) {
            counted[r] = true;
            groups++;
        }
    }
    return groups;
}

bool ChainBound::outOfReach(const std::vector<int>& where, int pushes, int carries) const
{
    return modelled && groups(where) - pushes > most * carries;
}

bool ChainBound::linksADomino(int cell, const std::vector<int>& where) const
{
    for (int d : where)
        if (d >= 0 && std::binary_search(linked[cell].begin(), linked[cell].end(), d))
            return true;
    return false;
}
