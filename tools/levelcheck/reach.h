// Where the player can get to by walking, falling and climbing: a search
// over the cells of a level with the player's movement rules.
//
// What it models: the player rests on any cell with a floor or a ladder.
// From there it walks to the left or right neighbour in the same row; a
// neighbour with neither floor nor ladder is walked into and fallen through,
// straight down, to the first floor below (ladders do not catch a fall; with
// no floor below the player is lost). It climbs up from a ladder cell into
// the cell above when that has a floor or a ladder, and down into the cell
// below when that has a ladder. Dominoes never stand in the player's way.
//
// What it leaves out, on purpose: stopping half-way up a ladder and walking
// off sideways, and walking past the grid's edge. Both only add ways to fall,
// never a way to reach a cell that the model misses.
#ifndef LEVELCHECK_REACH_H
#define LEVELCHECK_REACH_H

#include <vector>

class Level;

struct Floors {
    int wid = 0, hei = 0;
    std::vector<int> floor;  // floor code per cell, row by row from the bottom
    std::vector<bool> ladder;
    std::vector<bool> hole;  // a floor that may be blown away: also fallen through

    int at(int x, int y) const { return y * wid + x; }
    bool inside(int x, int y) const { return x >= 0 && x < wid && y >= 0 && y < hei; }
};

// The floors and ladders of the level as they are now.
Floors floorsOf(Level& level);

// The same, with every change the level's dominoes could make to the floors
// granted at once. Dominoes can be carried, so with a Bridge in the level
// every one-cell gap between two floors counts as spanned, and with a Boomer
// every floor may also be fallen through. An upper bound: it tells a level
// whose exit opens up only during the chain from one whose exit can never be
// reached; the solution replay proves the rest.
Floors floorsAfterChain(Level& level);

// Whether a player put in (x, y) comes to rest inside the grid: on the
// floor or ladder there, or by falling onto the first floor below.
bool landsInside(const Floors& f, int x, int y);

// For every cell, whether the player can get there from (x, y).
std::vector<bool> reachableFrom(const Floors& f, int x, int y);

#endif
