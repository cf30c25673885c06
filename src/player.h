// The one character the user steers. It moves on a grid of eighths of a cell
// (x) and of a row (y): walking, climbing ladders, falling, coming out of the
// entrance and going into the opened exit; it carries dominoes and makes the
// level's one push.
#ifndef PLAYER_H
#define PLAYER_H

#include "base.h"

class Player {
public:
    int x;           // eighths of a cell; column x / 8, truncated
    int y;           // eighths of a row; standing on row r's floor at 8 r
    bool stopping;
    bool falling;
    bool releasing;  // walking aside to set the carried domino down
    int foot;        // phase of the walking legs, +1 or -1
    int speed;       // eighths of a cell per tick, -2..2
    int vspeed;      // eighths of a row per tick, -2..2, up positive
    int z;           // depth in world units; negative inside a door
    int deltaZ;
    Domino* held;
    int importance;  // the player's weight in the camera's aim, 1..24
    int implatency;

    Player() {}
    ~Player() {}

    void init(Cell* cell);
    bool update();
    void move(int direction);
    void climb(int direction);
    void stop();
    Cell* getCell(int dy);
    bool grab();
    void push(int direction);
    void render(float t);

private:
    void weighForCamera();
    bool moveThroughDoor();
    void rampSpeeds();
    void groundAndLadders();
    bool setDown();
    void walkAsideToSetDown();
};

#endif
