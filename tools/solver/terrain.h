// The floors and ladders of a level at one moment, and the player's ways over
// them at the grain of cells, as the replay driver's actions go: walking along
// a row (a cell with a ladder but no floor holds the player as well as a
// floor does), walking off into a cell with neither and falling straight down
// to the first floor below (one way; with no floor below the player is lost,
// so that is no way at all), and climbing a ladder up into the cell above or
// down into a ladder below. Dominoes never stand in the way.
//
// A player who carries a domino never falls on purpose: the game would set
// the domino down in the cell it falls through.
//
// Cells are numbered y * width + x, row 0 at the bottom, as in the level.
#ifndef SOLVER_TERRAIN_H
#define SOLVER_TERRAIN_H

#include "script.h"

#include <map>
#include <vector>

class Level;

class Terrain {
public:
    explicit Terrain(Level& level);

    int width() const { return wid; }
    int height() const { return hei; }
    int size() const { return wid * hei; }
    int cellAt(int x, int y) const { return y * wid + x; }
    int column(int cell) const { return cell % wid; }
    int row(int cell) const { return cell / wid; }
    bool hasFloor(int cell) const { return floor[cell] != 0; }

    // Every cell the player can get to from `from` and stand in.
    const std::vector<bool>& reach(int from, bool carrying);
    // The same number for two cells with the same empty-handed reach.
    int reachId(int from);

    // The driver's actions that take the player from one cell to another
    // (none when it is already there); false when there is no way.
    bool route(int from, int to, bool carrying, std::vector<Action>& actions) const;

private:
    enum class Step { Walk, Drop, Climb };
    struct Move {
        int to;
        Step step;
    };

    int wid;
    int hei;
    std::vector<int> floor;
    std::vector<bool> ladder;
    std::vector<std::vector<bool>> reachEmpty;
    std::vector<std::vector<bool>> reachCarrying;
    std::vector<int> reachIds;
    std::map<std::vector<bool>, int> knownReaches;

    bool standable(int x, int y) const;
    std::vector<Move> moves(int from, bool carrying) const;
    int landingBelow(int x, int y) const;
};

#endif
