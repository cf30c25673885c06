// One loaded level while it is played: the grid of cells, the dominoes in
// load order (top row first), the two doors, the pending exit check and the
// level's one push.
#ifndef LEVEL_H
#define LEVEL_H

#include "base.h"
#include "door.h"

#include <string>

// The level file's two alphabets, one table each: the loader builds levels
// from them and the level checker checks files against them.
struct CellKind {
    char ch;
    int floor;  // the floor code: Cell::slab and its joins
    bool ladder;
};

struct DominoKind {
    char ch;
    Domino* (*make)();  // a new domino of the kind; null for ' ', the empty slot
};

// The entry for a byte of the cell grid or of the domino grid, or null for a
// byte the format does not allow there.
const CellKind* findCellKind(int ch);
const DominoKind* findDominoKind(int ch);

// Every character a grid allows, in table order.
std::string cellCharacters();
std::string dominoCharacters();

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
    bool readHeader(FILE* s, int& ix, int& iy, int& ox, int& oy);
    bool allocate();
    bool readGrid(FILE* s, bool (Level::*readByte)(int ch, int x, int y));
    bool readCell(int ch, int x, int y);
    bool readDomino(int ch, int x, int y);
    bool allDone();
};

#endif
