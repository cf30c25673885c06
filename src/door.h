// The way into and the way out of a level. A door swings open over six ticks
// and never closes again.
#ifndef DOOR_H
#define DOOR_H

#include "base.h"

class Door {
public:
    Cell* c;
    bool exit;
    int angle;  // steps of 15 degrees: 0 closed, 6 fully open
    int speed;  // 1 while opening

    Door() {}
    ~Door() {}

    void init(Cell* c, bool exit);
    // Starts the swing; its cell is marked changed when the swing starts and
    // when it ends, so that the still drawing leaves the door out meanwhile.
    void open();
    void update();
    // Between open and the end of its swing: drawn with the tick fraction.
    bool swinging() const { return speed != 0; }
    bool isOpenedExit() { return exit && angle >= 1; }
    // Opening, or open already: for the exit, the level's chain has done
    // what it had to.
    bool isOpening() const { return angle || speed; }
    Cell* getCell() { return c; }
    void render(float t);
};

#endif
