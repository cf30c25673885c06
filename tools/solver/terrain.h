// The floors and ladders of a level at one moment, and the player's ways over
// them at the grain of cells, as the replay driver's actions go: walking along
// a row (a cell with a ladder but no floor holds the player as well as a
// floor does), walking off into a cell with neither and falling straight down
// to the first floor below (one way; with no floor below the player is lost,
// so that is no way at all), and climbing a ladder up into the cell above or
// down into a ladder below. Dominoes never stand in the way. The one model of
// where the player can go, for the solver and the level checker alike.
//
// What it leaves out, on purpose: stopping half-way up a ladder and walking
// off sideways, and walking past the grid's edge. Both only add ways to fall,
// never a way to a cell that the model misses.
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
    // What the dominoes may yet do to the floors, granted at once: every
    // one-cell gap between two floors spanned (a bridge may be carried to
    // any), every floor fallen through (a boomer's hole). Where the player
    // can go then is an upper bound for where it can go at all.
    struct Changes {
        bool bridged = false;
        bool holed = false;
    };

    explicit Terrain(Level& level);
    Terrain(Level& level, Changes granted);

    int width() const { return wid; }
    int height() const { return hei; }
    int size() const { return wid * hei; }
    int cellAt(int x, int y) const { return y * wid + x; }
    int column(int cell) const { return cell % wid; }
    int row(int cell) const { return cell / wid; }
    bool hasFloor(int cell) const { return floor[cell] != 0; }
    bool inside(int x, int y) const { return x >= 0 && x < wid && y >= 0 && y < hei; }
    // A floor or a ladder: the player rests there.
    bool standable(int x, int y) const;

    // Where a player put in (x, y) comes to rest: there, or on the first
    // floor below; -1 when it falls out of the grid.
    int landing(int x, int y) const;

    // Every cell the player can get to from `from` and stand in. Worked out
    // on first asking and kept: threads that share a terrain have it work
    // out every reach first (reachEverywhere), and then only read.
    const std::vector<bool>& reach(int from, bool carrying) const;
    void reachEverywhere() const;

    // The driver's actions that take the player from one cell to another
    // (none when it is already there); false when there is no way.
    bool route(int from, int to, bool carrying, std::vector<Action>& actions) const;

    // The cells without floor a player carrying a domino from `from` can set
    // it down in: a ladder's cell (the player sets it down there and stays),
    // or a cell with neither beside a cell it walks to, walked off into (the
    // game sets the domino down as the player starts to fall, and the player
    // lands on the first floor below). Not one whose fall leaves the grid.
    std::vector<int> dropCells(int from) const;
    // The actions that carry a domino from `from` to the drop cell `into`
    // and set it down there, the player waiting `wait` ticks before the last
    // step; at becomes where the player then stands. False when there is no
    // way.
    bool dropRoute(int from, int into, int wait, std::vector<Action>& actions, int& at) const;

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
    bool holed;
    mutable std::vector<std::vector<bool>> reachEmpty;
    mutable std::vector<std::vector<bool>> reachCarrying;

    std::vector<Move> moves(int from, bool carrying) const;
    int landingBelow(int x, int y) const;
};

#endif
