// One square of a level's grid, 5 units wide and 10 high: its floor code, its
// ladder, the door standing in it and its two domino slots (0 for a domino on
// the floor, 1 for a flyer in flight). Collisions are decided in enter().
#ifndef CELL_H
#define CELL_H

#include "base.h"

class Cell {
public:
    // The floor code is read as bits; any nonzero code is a floor.
    static constexpr int slab = 1;
    static constexpr int joinedLeft = 2;   // the slab meets the left neighbour's
    static constexpr int joinedRight = 4;  // the slab reaches the right neighbour's
    // The codes that occur: no floor, a slab alone, and the ends and the
    // middle of a run of joined slabs.
    static constexpr int noFloor = 0;
    static constexpr int rightEnd = slab | joinedLeft;
    static constexpr int leftEnd = slab | joinedRight;
    static constexpr int joinedBoth = slab | joinedLeft | joinedRight;

    // The join bit on the side of direction (+1 right, -1 left).
    static int joinToward(int direction) { return direction > 0 ? joinedRight : joinedLeft; }

    Domino* d[2];  // the slots by a domino's top; null when empty; not owned
    Door* door;    // the door standing here, or null; the level owns it
    int x;         // column, 0 at the left
    int y;         // row, 0 at the bottom
    int hasFloor;  // the floor code
    bool hasLadder;
    // The mark of the cell's block of the still drawing (Stills), moved by
    // every change to what the cell draws while it is still: its slots, its
    // floor, a domino in it woken or let go, its door starting or ending a
    // swing. Until the loader points it at its level's, the cell's own.
    unsigned* changes;
    unsigned ownChanges;

    // Nothing is set until init but where changes are marked: the shared
    // border cell is emptied by every level's destructor, init or not.
    Cell() : changes(&ownChanges), ownChanges(0) {}
    ~Cell() {}

    // Sets position, floor code and ladder; both slots empty, no door, its
    // changes marked in the cell itself.
    void init(int x, int y, int hasFloor, bool hasLadder);
    // From now on its changes move the mark *block.
    void markInto(unsigned* block) { changes = block; }
    // Something it draws while still has changed.
    void changed() { ++*changes; }
    // Puts d in slot top (0 or 1) and returns true if it is empty. If it is
    // taken, the occupant booms and keeps the slot, d is stored nowhere, and
    // the result is false: the first domino in a slot keeps it.
    bool enter(Domino* d, int top);
    // Empties slot top, whatever it held.
    void leave(int top);
    // The domino in slot top, or &blank when it is empty: never null.
    Domino* getDomino(int top);
    int getX() { return x; }
    int getY() { return y; }
    // The floor code; any nonzero code is a floor. Only a bridge and a boomer
    // change it after loading.
    int getFloor() { return hasFloor; }
    void setFloor(int floor)
    {
        hasFloor = floor;
        changed();
    }
    // A left end or middle of a run, the codes from leftEnd up, draws its
    // slab stretched to the start of the right neighbour's.
    bool reachesRight() const { return hasFloor >= leftEnd; }
    bool getLadder() { return hasLadder; }
    // Called by a door on itself when it is placed here.
    void putDoor(Door* door) { this->door = door; }
    Door* getDoor() { return door; }
    // Draws what of the cell is still, besides its floor, with the origin at
    // the cell's (the middle of its floor line): the dominoes in its slots
    // that are not woken, its door unless it swings, its ladder. Nothing of
    // it depends on the tick fraction. The rest, the woken dominoes and a
    // swinging door, the level draws on its own.
    void renderStill();
    // The slabs of the floors from first to last, span cells to the right of
    // it in a row, joined into one run, as one box in the frame of first:
    // a joined run reads as one slab and draws no faces between its cells.
    static void renderFloorRun(const Cell& first, const Cell& last, int span);

private:
    void renderLadder();
};

#endif
