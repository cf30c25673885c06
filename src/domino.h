// The standard domino, and the base every other kind specialises by
// overriding single operations. Its whole state is a handful of integers: it
// topples one 15-degree step per tick, asks the dominoes in its way whether it
// may go on (knocking an upright one over), rests, bounces, lies down, tips
// over floor edges and drops through cells without floor.
#ifndef DOMINO_H
#define DOMINO_H

#include "base.h"

struct Domino {
    // Leans, in steps of 15 degrees.
    static constexpr int lying = 6;   // flat on the floor
    static constexpr int strike = 4;  // its top strikes the domino in the next cell
    // Heights, in elev units: a row is this many sixths high.
    static constexpr int elevPerRow = 6;

    // The contacts a moving domino makes, as push(direction, contact *
    // direction): each is the lean, in the pushed domino's own steps along
    // the push, that the pusher's body would take up. The pushed domino gives
    // way while its own lean stays beyond it.
    static constexpr int contactFar = -5;       // leaning back, or across a cell between
    static constexpr int contactNear = -4;      // upright, or leaning forward short of strike
    static constexpr int contactSquare = 0;     // at strike: an upright domino is knocked over
    static constexpr int contactLying = lying;  // it would lie in the pushed domino's cell

    int angle;    // lean in steps of 15 degrees, -6..6; positive leans toward +x
    int speed;    // change of angle per tick: -1, 0 or 1
    int accel;    // a push waiting for the next render to become speed
    int elev;     // height above the cell's floor in sixths of a row
    int top;      // the cell slot in use: 1 only for a flyer in flight
    int fly;      // vertical speed in elev units per tick
    Cell* cell;   // the cell last entered, even when out of play
    bool broken;

    Domino() {}
    virtual void init(Cell* c);
    virtual ~Domino() {}
    virtual void render(float t);
    virtual bool touch(int direction);
    virtual Domino* grab();
    virtual bool push(int direction, int from);
    virtual bool push0(int direction);
    virtual void boom();
    virtual void update();
    virtual void land();
    virtual bool isDone();
    virtual bool isBlank() { return false; }

    void enter(Cell* c);
    Domino* neighbour(int dx, int top);
    void migrate(int dx, int dy);

    void rot(float t);
    bool renderBroken(float t);
    void lookAtMe(float t);

protected:
    bool inPlay();
    void applyAccel();
    void lean();
    void moveVertically();
    // Pushes the matrix, places the domino for t and, unless it is broken
    // (debris drawn instead), draws body in the domino's own frame.
    void renderPlaced(float t, void (*body)());

private:
    void refused();
    void resume();
    void startDropping();
    bool mayTipOverEdge();
    void tipOverEdge();
    void changeRow();
};

void tetra();

#endif
