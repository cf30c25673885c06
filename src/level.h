// One loaded level while it is played: the grid of cells, the dominoes in
// load order (top row first), the two doors, the pending exit check and the
// level's one push.
#ifndef LEVEL_H
#define LEVEL_H

#include "base.h"
#include "door.h"

#include <string>

class Level {
public:
    int wid;
    int hei;
    int dcount;
    Cell* cells;     // wid x hei, row by row from the bottom
    Domino** doms;   // the first dcount are owned, in file order
    bool triggering;
    Door wayIn;
    Door wayOut;
    bool pushed;

    // Why the last load failed, for the player's message. Besides it the
    // loader prints its own one-line messages about the file's content.
    struct Failure {
        bool missing = false;  // no file by that name: not an error after the last level
        std::string reason;    // in words; empty after a load that worked
    };
    Failure failure;

    Level();
    ~Level();

    bool load(const char* f);
    Cell* getCell(int x, int y);
    void render(float t);
    void update();
    Door* getWayIn() { return &wayIn; }
    void openWayOut() { triggering = true; }
    bool canPush() { return !pushed; }
    void hasPushed() { pushed = true; }

private:
    FILE* openRegular(const char* f, long long& size);
    bool readHeader(FILE* s, int& ix, int& iy, int& ox, int& oy);
    bool fitsFile(FILE* s, long long size);
    bool allocate();
    bool readGrid(FILE* s, bool (Level::*readByte)(int ch, int x, int y));
    bool readCell(int ch, int x, int y);
    bool readDomino(int ch, int x, int y);
    bool allDone();
};

#endif
