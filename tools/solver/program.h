// The timed part of a way to solve a level, from the first push on (or from
// a drop just before it: a domino carried from where it stands and set down
// where it has no floor, on a ladder or as the player walks off a ledge with
// it, to fall by its own rules onto whatever is below): Delays
// pushed first (each may be picked up while it counts down and carried to
// another cell), then, at once or once nothing moves any more, the level's
// one counting push, then at most one domino picked up while the chain runs,
// as soon as the player gets to it or a few ticks later, kept or set down
// again elsewhere, as soon as the player gets there or a few ticks later, on
// a floor or dropped where there is none. Cells are numbered as in Terrain.
//
// A pushed Delay does not use up the level's push, so the delays come first;
// a program may also have no counting push at all when a Delay starts the
// chain by itself.
#ifndef SOLVER_PROGRAM_H
#define SOLVER_PROGRAM_H

#include "script.h"

#include <string>
#include <vector>

class Terrain;

struct DelayPush {
    int cell;
    int direction;     // -1 left, 1 right
    int carryTo = -1;  // where it is set down while it counts down; -1 stays
};

struct Program {
    int dropFrom = -1;  // cell of the domino carried to the drop; -1 for none
    int dropInto = -1;  // the cell without floor it is set down in
    std::vector<DelayPush> delays;
    bool waitStill = false;  // after the delays, the counting push waits until nothing moves
    int push = -1;           // cell of the counting push; -1 for none
    int direction = 0;
    int pickUp = -1;      // cell of the domino taken out of the chain's way
    int pickUpWait = 0;   // ticks the player waits in that cell before the grab
    int setDown = -1;     // where it is set down again (without floor: dropped there); -1 keeps it
    int setDownWait = 0;  // ticks the player waits there before setting it down

    // Carries it takes: the drop, a delay carried on, and the pick-up (set
    // down again or not).
    int cost() const;
    // Pushes it makes: every delay's and the counting one.
    int pushes() const;
    // Where the player stands for the first action: the drop's domino, or
    // the first push.
    int firstCell() const;
    // Cells whose dominoes the player pushes, carries or picks up.
    std::vector<int> cells() const;
    // One string per program, for tables.
    std::string key() const;
    // The program without its pick-up: the pushes alone.
    Program pushesOnly() const;

    // The actions from the drop or the first push up to the pick-up, walking
    // between the cells on the terrain as it is before the first push; false
    // when a walk has no way.
    bool actions(const Terrain& terrain, std::vector<Action>& out) const;
};

// An action as a solution script writes it ("walk 8", "push left").
Action makeAction(Action::Kind kind, int arg = 0);

// The script text, one action a line.
std::string scriptText(const std::vector<Action>& actions);

#endif
