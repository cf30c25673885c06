// A lower bound on the carries a level still needs, from how its dominoes
// could ever knock each other over.
//
// A domino falls only when another strikes it from a neighbouring cell of its
// row, or drops onto it, or when a domino's fall takes it there: tipping
// into a cell without floor, it drops to the floor below and topples on.
// Two dominoes are linked when one's fall could reach the other's cell that
// way, in any play. In a solved level every domino that is not done at the
// start has fallen (or was carried to the end), each knocked over by a chain
// from one of the pushes, so the linked groups that hold such a domino are
// no more than the pushes. Every carry joins at most as many groups as a
// domino set down in one cell can be linked to, and a pick-up removes one
// domino: so a level whose dominoes lie in k groups, with p pushes, needs at
// least (k - p) / most carries, most being the largest number of cells any
// one cell is linked to.
//
// The links are drawn generously, so the bound is never too high: a drop is
// linked to every cell beside its column down to the floor it lands on. For
// kinds whose fall goes further (along a row, upward, or through a floor they
// blow away) the bound is not worked out and says nothing.
#ifndef SOLVER_CHAINBOUND_H
#define SOLVER_CHAINBOUND_H

#include "simulation.h"
#include "terrain.h"

#include <vector>

class ChainBound {
public:
    ChainBound(const Terrain& terrain, const LevelStart& start);

    // False when the level has a kind the bound does not model: then it
    // prunes nothing.
    bool works() const { return modelled; }
    // The linked groups holding a domino not done at the start, for the
    // dominoes where they stand (-1 for none: carried in hand, each then a
    // group of its own when it is one of those).
    // taken: a domino the player picks up and keeps, which need not fall.
    int groups(const std::vector<int>& where, int taken = -1) const;
    // The most groups one domino set down anywhere can join.
    int mostJoined() const { return most; }
    // Whether carries more cannot bring groups down to pushes.
    bool outOfReach(const std::vector<int>& where, int pushes, int carries) const;
    // Whether a domino in cell would be linked to one of those standing
    // where says (-1 for none), as far as the standard fall goes.
    bool linksADomino(int cell, const std::vector<int>& where) const;

private:
    const Terrain& terrain;
    const LevelStart& start;
    bool modelled = true;
    int most = 1;
    // For every cell, the cells a falling domino there could reach, and
    // the cells linked to it either way.
    std::vector<std::vector<int>> reach;
    std::vector<std::vector<int>> linked;

    std::vector<int> fallFrom(int cell) const;
};

#endif
