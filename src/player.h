// The one character the user steers. It moves on a grid of eighths of a cell
// (x) and of a row (y): walking, climbing ladders, falling, coming out of the
// entrance and going into the opened exit; it carries dominoes and makes the
// level's one push.
#ifndef PLAYER_H
#define PLAYER_H

#include "base.h"

class Player {
public:
    // The player's grid: a cell is this many steps wide and a row as many
    // steps high.
    static constexpr int stepsPerCell = 8;
    // A player whose y has fallen below this is out of the level.
    static constexpr int lostBelow = -30;
    // World units from the plane of the level to the inside of a door: a
    // level starts with z at -doorDepth, and the walk into the exit ends there.
    static constexpr int doorDepth = 9;

    // The height of y above the floor line at or below it, 0 to stepsPerCell - 1.
    static int aboveFloor(int y) { return ((y % stepsPerCell) + stepsPerCell) % stepsPerCell; }
    // The row y is in, rounded down.
    static int rowOf(int y) { return (y - aboveFloor(y)) / stepsPerCell; }
    // The column x is in, truncated toward zero: column 0 reaches
    // stepsPerCell - 1 steps past the left edge of the grid.
    static int columnOf(int x) { return x / stepsPerCell; }

    int x;  // steps across; the column is columnOf(x)
    int y;  // steps up; standing on row r's floor at stepsPerCell * r
    bool stopping;
    bool falling;
    bool releasing;  // walking aside to set the carried domino down
    int foot;        // phase of the walking legs, +1 or -1
    int speed;       // steps per tick, -2..2
    int vspeed;      // steps per tick, -2..2, up positive
    int z;           // depth in world units; negative inside a door
    int deltaZ;
    Domino* held;
    int importance;  // the player's weight in the camera's aim, 1..24
    int implatency;

    void init(Cell* cell);
    bool update();
    void move(int direction);
    void climb(int direction);
    void stop();
    Cell* getCell(int dy);
    bool grab();
    void push(int direction);
    // The player's work of a frame besides drawing, for the tick fraction t:
    // it pulls the camera as a group of its own, weighted by importance,
    // then the carried domino does its own work.
    void animate(float t);
    // Draws the figure and the carried domino in front of it.
    void render(float t);

private:
    // Where the figure stands, interpolated for t, in world units.
    float shownX(float t);
    float shownY(float t);
    void weighForCamera();
    bool moveThroughDoor();
    void rampSpeeds();
    void groundAndLadders();
    bool setDown();
    void walkAsideToSetDown();
};

#endif
