// A lower bound on the carries a level still needs, from how its dominoes
// could ever knock each other over.
//
// A domino falls only when another strikes it from a neighbouring cell of its
// row, or drops onto it, or when a domino's fall takes it there: tipping
// into a cell without floor, it drops to the floor below and topples on; some
// kinds go further (see FallScope): a looping tumbles along its row, a flyer
// rises up through the rows above, and a boomer opens a hole in its own
// floor that the dominoes beside it may drop through. Two dominoes are linked
// when one's fall could reach the other's cell in any play. In a solved level
// every domino that is not done at the start has fallen (or was carried to
// the end), each knocked over by a chain from one of the pushes, so the
// linked groups that hold such a domino are no more than the pushes.
//
// A carry sets one domino down: it joins no more groups than are linked to
// the free cell it goes to (as they are when it is made), and no more than
// `most` whatever was carried before; a pick-up removes one domino. So a
// level whose dominoes lie in k groups, with p pushes, needs carries c with
// k - p <= best + most * (c - 1), best being the most groups linked to any
// free cell now.
//
// The links are drawn generously, so the bound is never too high: a drop is
// linked to every cell beside its column down to the floor it lands on, a
// looping to its whole row, a flyer to every row above.
#ifndef SOLVER_CHAINBOUND_H
#define SOLVER_CHAINBOUND_H

#include "simulation.h"
#include "terrain.h"

#include <cstdint>
#include <vector>

class ChainBound {
public:
    // The dominoes as the bound is to see them.
    struct Standing {
        // Each domino's cell; -1 for none: carried in hand, each then a group
        // of its own when it has yet to fall.
        std::vector<int> where;
        int taken = -1;  // picked up and kept: it need not fall
        // Of a kind some of which were carried from cells no play looked at,
        // which ones is still open: those that may still stand link but
        // need not fall (optional), each cell one may have been taken from
        // holds such a link too (phantom cells, with a domino of the kind),
        // and of the groups made of them alone all but openTakes have to.
        std::vector<bool> optional;
        std::vector<std::pair<int, int>> phantoms;
        int openTakes = 0;
    };

    ChainBound(const Terrain& terrain, const LevelStart& start);

    // The linked groups holding a domino not done at the start.
    int groups(const Standing& s) const;
    // The most groups one domino set down anywhere can join.
    int mostJoined() const { return most; }
    // Whether carries more cannot bring groups down to pushes; free says
    // which cells a domino may be set down in.
    bool outOfReach(const Standing& s, const std::vector<bool>& free, int pushes, int carries) const;
    // Whether a domino in cell would be linked to one of those standing
    // where says (-1 for none).
    bool linksADomino(int cell, const std::vector<int>& where) const;

private:
    enum Scope { standard, alongRow, upward, scopes };

    const Terrain& terrain;
    const LevelStart& start;
    bool boomers = false;  // a floor may open where one stands
    bool bridges = false;  // a gap may close where one lies
    int most = 1;
    // For each scope and cell, the cells a domino of that scope falling
    // there could reach; for each cell, the cells a hole there would let the
    // dominoes beside it reach; and for each cell, the cells linked to a
    // domino set down there, either way.
    std::vector<std::vector<int>> reach[scopes];
    // reach again, as bits: `words` words a cell, a bit for each cell reached.
    const int words;
    std::vector<std::uint64_t> reachBits[scopes];
    std::vector<std::vector<int>> throughHole;
    std::vector<std::vector<int>> linked;
    // For each cell, the floor cells whose linked holds it.
    std::vector<std::vector<int>> joining;

    static Scope scopeOf(const FallScope& s);
    std::vector<int> fallFrom(int cell, Scope scope) const;
    void dropThrough(int x, int y, std::vector<int>& cells, std::vector<int>& landings) const;
    void closeHolesBelow();
    // How many groups count; the group of each cell with a domino or a
    // phantom, by a representative, is left in the thread's working space
    // until its next call.
    int label(const Standing& s) const;
    bool joinsEnough(const std::vector<bool>& free, int enough) const;
};

#endif
