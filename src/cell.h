// One square of a level's grid, 5 units wide and 10 high: its floor code, its
// ladder, the door standing in it and its two domino slots (0 for a domino on
// the floor, 1 for a flyer in flight). Collisions are decided in enter().
#ifndef CELL_H
#define CELL_H

#include "base.h"

class Cell {
public:
    Domino* d[2];
    Door* door;
    int x;
    int y;
    // Bits: 1 a floor, 2 joined to the left neighbour's, 4 joined to the right.
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
    bool getLadder() { return hasLadder; }
    void putDoor(Door* door) { this->door = door; }
    Door* getDoor() { return door; }
    void render(float t);

private:
    void renderFloor();
    void renderLadder();
};

#endif
