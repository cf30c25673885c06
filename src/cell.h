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

    Domino* d[2];
    Door* door;
    int x;
    int y;
    int hasFloor;
    bool hasLadder;

    Cell() {}
    ~Cell() {}

    void init(int x, int y, int hasFloor, bool hasLadder);
    bool enter(Domino* d, int top);
    void leave(int top);
    Domino* getDomino(int top);
    int getX() { return x; }
    int getY() { return y; }
    int getFloor() { return hasFloor; }
    void setFloor(int floor) { hasFloor = floor; }
    // A left end or middle of a run, the codes from leftEnd up, draws its
    // slab stretched to the start of the right neighbour's.
    bool reachesRight() { return hasFloor >= leftEnd; }
    bool getLadder() { return hasLadder; }
    void putDoor(Door* door) { this->door = door; }
    Door* getDoor() { return door; }
    void render(float t);

private:
    void renderFloor();
    void renderLadder();
};

#endif
