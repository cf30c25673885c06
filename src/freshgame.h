// A thread's game made fresh for a play of its own, and put back as it was
// found when the play is over. Fresh is the game as it is before start-up:
// no level, the player as constructed, level 1, no level done, the border
// cell around the grid, the camera at its start and, where the game runs on
// a platform that registers a reset (the scripted SDL of the tools and the
// tests), that platform as it starts. The game's start-up, the tests, the
// tools' plays and the benchmarks all start a game through it, so a new
// piece of a thread's game state is added here alone.
//
// Whatever level is current when the guard goes is freed: the guard's owner
// played it. The level that was current when it came is not: its owner
// gets it back.
#ifndef FRESHGAME_H
#define FRESHGAME_H

#include "cell.h"
#include "player.h"

class Level;

class FreshGame {
public:
    FreshGame();
    ~FreshGame();
    FreshGame(const FreshGame&) = delete;
    FreshGame& operator=(const FreshGame&) = delete;

    // The platform's reset, called by every fresh start from then on. Set
    // once, as the program starts; defined here, so that a platform library
    // linked after the game's sets it without calling into the game.
    static void setPlatformReset(void (*reset)()) { platformReset = reset; }

private:
    // Every camera array, in the order of cameraArrays() in freshgame.cpp.
    static constexpr int cameraArrayCount = 8;

    Player player;
    Level* level;
    Cell borderCell;
    int levelnum;
    bool levelDone;
    float camera[cameraArrayCount][3];
    int totweight;

    static inline void (*platformReset)() = nullptr;
};

#endif
