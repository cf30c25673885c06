// Test support: a level written inline as its file text, loaded into the
// game's globals exactly as the game enters a level, and run tick by tick
// the way the main loop runs it (player, level, then a drawn frame).
#ifndef WORLD_H
#define WORLD_H

#include "main.h"
#include "domino.h"

#include <string>

// Writes text to a fresh file in a private temporary directory; returns the
// path. The directory is removed at exit.
std::string writeTempFile(const std::string& text);

// Puts the player at (x, y) in eighths of a cell and of a row, out of the
// door and at rest.
void standAt(int x, int y);

struct World {
    explicit World(const std::string& fileText);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    bool loaded;

    // One simulation tick followed by a drawn frame, as the main loop does.
    void tick(int n = 1);
    // A drawn frame alone: applies pushes recorded during the last tick.
    void frame(float t = 0);
    Cell* cell(int x, int y) { return level->getCell(x, y); }
    Domino* at(int x, int y, int slot = 0) { return cell(x, y)->getDomino(slot); }
};

#endif
