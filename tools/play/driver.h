// Plays one level's solution script by watching the game after every drawn
// frame and queuing real key events, closed loop: each decision is taken
// from where the player is and what the dominoes do, never from counting
// frames. Key events queued in one frame reach the player at the start of
// the next pass, before its tick, so every tick can be answered.
#ifndef PLAY_DRIVER_H
#define PLAY_DRIVER_H

#include "script.h"

#include <SDL.h>

#include <string>
#include <vector>

struct Domino;

class Driver {
public:
    // forWindow plays so that tools/window-play can repeat the keys in the
    // real window, whose clock it cannot see: while nothing races (before the
    // push, or once every domino rests) the player goes by single-step taps,
    // whose length does not hang on when the key comes up, and every walk
    // ends mid-cell, 3 steps right of the centre, so that a held walk let go
    // a tick early or late still stops in its cell. It prints every key.
    Driver(std::vector<Action> script, bool verbose, bool forWindow = false);

    // One look at the game after a drawn frame; tick counts the level's
    // ticks so far.
    void poll(int tick);
    bool failed() const { return !error.empty(); }
    // Every action is done (the level may still be running).
    bool finished() const { return next == script.size(); }
    // The failed action and why, on one line.
    const std::string& failure() const { return error; }
    // The action under way, for reports of a level that ended early.
    std::string current() const;
    // Lets go of an arrow key still held.
    void releaseKey();
    // The action under way (or the next one), by its place in the script,
    // and whether it has begun: an action begins in the look that sends its
    // first keys, the same look in which the one before it ended.
    std::size_t position() const { return next; }
    bool begun() const { return started; }

private:
    enum class Status { Running, Done };

    std::vector<Action> script;
    bool verbose;
    bool forWindow;
    std::size_t next = 0;
    bool started = false;
    int startTick = 0;
    int tick = 0;
    std::string error;

    SDLKey heldKey = SDLK_UNKNOWN;
    int heldDirection = 0;

    // The state of the action under way.
    Domino* heldBefore = nullptr;
    Domino* pushed = nullptr;
    int pushedState[3] = {};
    bool keySent = false;
    int stillSince = -1;

    bool begin(const Action& a);
    Status step(const Action& a);
    int budget(const Action& a) const;

    Status walk(int column);
    Status climb(int row);
    Status grab();
    Status push();
    Status walkOut();
    bool pathIsWalkable(int column, bool mayFall);
    bool beginPush(int direction);
    bool beginExit();
    bool stillForTwoTicks();

    bool stillApproaching(int d, int speed, bool letGo);
    void setOff(int d, SDLKey forward, SDLKey back);
    bool racing() const;
    void press(SDLKey key, int direction);
    void tap(SDLKey key);
    void release(SDLKey key);
    void printKey(SDLKey key, const char* how) const;
    Status fail(const std::string& why);
    bool refuse(const std::string& why);
};

#endif
