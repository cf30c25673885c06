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

    // Nothing is set until init.
    Cell() {}
    ~Cell() {}

    // Sets position, floor code and ladder; both slots empty, no door.
    void init(int x, int y, int hasFloor, bool hasLadder);
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
    void setFloor(int floor) { hasFloor = floor; }
    // A left end or middle of a run, the codes from leftEnd up, draws its
    // slab stretched to the start of the right neighbour's.
    bool reachesRight() { return hasFloor >= leftEnd; }
    bool getLadder() { return hasLadder; }
    // Called by a door on itself when it is placed here.
    void putDoor(Door* door) { this->door = door; }
    Door* getDoor() { return door; }
    // Draws both slots, the door, the floor slab and the ladder, with the
    // origin at the cell's (the middle of its floor line); t is the tick
    // fraction, 0..1, for the dominoes and the door.
    void render(float t);

private:
    void renderFloor();
    void renderLadder();
};

#endif
