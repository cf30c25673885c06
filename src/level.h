// One loaded level while it is played: the grid of cells, the dominoes in
// load order (top row first), the two doors, the pending exit check and the
// level's one push.
#ifndef LEVEL_H
#define LEVEL_H

#include "base.h"
#include "door.h"
#include "stills.h"

#include <string>
#include <vector>

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
    int wid;          // width in cells
    int hei;          // height in cells
    int dcount;       // dominoes in doms
    Cell* cells;      // wid x hei, row by row from the bottom
    Domino** doms;    // the first dcount are owned, in file order
    bool triggering;  // a trigger has landed: the exit check runs at the end of this tick
    Door wayIn;       // the entrance, opened as the level is entered
    Door wayOut;      // the exit, opened only by the exit check
    bool pushed;      // the player's one push has been used
    // A counter of changes for each block of the still drawing (Stills),
    // which the cells move; allocated and zeroed with the cells.
    unsigned* blockChanges;

    // Why the last load failed, for the player's message. Besides it the
    // loader prints its own one-line messages about the file's content.
    struct Failure {
        bool missing = false;  // no file by that name: not an error after the last level
        std::string reason;    // in words; empty after a load that worked
    };
    Failure failure;

    // An empty level, no grid and no dominoes, until load.
    Level();
    // Deletes every domino and both arrays, also after a load that failed
    // half-way, and empties the border cell's slots.
    ~Level();
    // A level owns its arrays and dominoes: a copy would free them twice.
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Reads the level file at path f; false when it is missing or broken (failure
    // says why; a broken one is also described on standard output). Clears
    // triggering and pushed. Everything play needs is allocated here: a
    // machine short of memory refuses the level (and the loader frees what
    // it had made at once), never a level under way.
    bool load(const char* f);
    // The cell at column x, row y, or &borderCell anywhere outside the grid.
    Cell* getCell(int x, int y);
    // The level's work of a frame besides drawing, for the tick fraction t,
    // 0..1: the corners pull the camera as one group, then every domino in
    // a slot of the grid that has anything to do animates, in the order the
    // cells are drawn (bottom row first, left to right, slot 0 before 1),
    // and their pulls make the next group. Only the woken dominoes are
    // visited; any other has nothing to do.
    void animate(float t);
    // The part of animate the rules read, for runs that watch no camera:
    // every woken domino in a slot of the grid takes its pending push.
    void takePushes();
    // From now on d, one of this level's dominoes, may have work for animate
    // (a push to apply, motion, a countdown): animate visits it until it has
    // none or is out of the grid's slots. Every change that can give a
    // domino work wakes it: its own update, a square strike, being set down.
    void wake(Domino* d);
    // Empties the lists of woken dominoes, for a solver that puts every
    // domino's state back from outside the level, its woken flag cleared,
    // and then wakes those it had saved as woken.
    void forgetWoken();
    // Draws the cells the camera can see, as animate left them: their still
    // part from the kept blocks, then the woken dominoes and a swinging
    // door, bottom row first. The same picture as drawing every cell.
    void render(float t);
    // One 50 ms tick: every domino in file order, then the entrance and the
    // exit, then the exit check if a trigger landed in this tick.
    void update();
    Door* getWayIn() { return &wayIn; }
    // Arms the exit check for the end of this tick: the exit opens if every
    // domino is done then; a check that fails is not repeated.
    void openWayOut() { triggering = true; }
    // The level allows one push by the player, counted by hasPushed.
    bool canPush() { return !pushed; }
    void hasPushed() { pushed = true; }

private:
    // A domino animate visits, with the place in drawing order of the slot it
    // held when it was last put in order: its cell's index, times two, plus
    // the slot.
    struct Waking {
        int place;
        Domino* d;
    };
    // The dominoes animate visits, in drawing order, and those woken or moved
    // since the last frame, not yet in order. A domino is in one or the
    // other at most once (Domino::woken), so each has room for dcount.
    Waking* woken;
    int wokenCount;
    Waking* arrivals;
    int arrivalCount;
    Stills stills;  // the drawing's cache of the still blocks

    FILE* openRegular(const char* f, long long& size);
    bool readHeader(FILE* s, int& ix, int& iy, int& ox, int& oy);
    bool fitsFile(FILE* s, long long size);
    bool allocate();
    bool readGrid(FILE* s, bool (Level::*readByte)(int ch, int x, int y));
    bool readCell(int ch, int x, int y);
    bool readDomino(int ch, int x, int y);
    bool allocateWoken();
    bool outOfMemory(const char* forWhat);
    void release();
    bool allDone();
    bool stillAwake(Domino* d);
    int placeOf(const Domino* d) const;
    void keepWokenThatNeedAnimating();
    void placeArrivals();
    void renderMoving(float t, const CellRange& seen);
    // Pushes the matrix and moves the origin to c's.
    static void placeAt(const Cell* c);
};

#endif
