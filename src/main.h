// The game's globals, shared by the shell, the world and the player, and the
// shell's free functions: start-up, the main loop and the self-steering camera.
#ifndef MAIN_H
#define MAIN_H

#include "base.h"
#include "blank.h"
#include "cell.h"
#include "freshgame.h"
#include "level.h"
#include "player.h"

// The state one play changes, once per thread: the game runs on the main
// thread, and the designer's tools play several levels or candidates side by
// side, each on a thread of its own with its own level, player and camera.
extern thread_local Player player;
extern thread_local Level* level;
extern thread_local Cell borderCell;
extern thread_local int levelnum;
extern thread_local bool levelDone;

// Shared by every thread: the empty slot never changes, and only the main
// thread opens a window.
extern Blank blank;
extern int VideoFlags;
extern SDL_Surface* mainWindow;

// Camera state, in world units and milliseconds; see main_mainLoop.cpp.
extern thread_local float camera[3], speed[3], camaccel[3], camjerk[3];
extern thread_local float sight[3], sightspeed[3], sightaccel[3], sightjerk[3];
extern thread_local int totweight;

// Game time: the refresh timer asks for a frame every refreshInterval ms,
// and the simulation advances one tick every tickLength ms. One pass of the
// main loop adds at most maxPassTime ms, however late it comes.
const Uint32 refreshInterval = 20;
const Uint32 tickLength = 50;
const Uint32 maxPassTime = 25;

// The time arithmetic of one pass of the main loop, in ms of game time: a
// pass starts at the clock's time, but at most maxPassTime after the pass
// before, however late it comes; the ticks due by then are run one by one,
// every tickLength ms after the last.
class PassTime {
public:
    explicit PassTime(Uint32 clock) : last(clock), prev(clock), now(clock) {}
    // The next pass, at the clock's time.
    void advance(Uint32 clock)
    {
        prev = now;
        now = clock - prev > maxPassTime ? prev + maxPassTime : clock;
    }
    // Whether a tick is due by this pass; true counts it as run.
    bool tickDue()
    {
        if (now - last <= tickLength)
            return false;
        last += tickLength;
        return true;
    }
    // The game time the pass added.
    Uint32 passed() const { return now - prev; }
    // The pass's time since the last tick, in ticks, for the frame's drawing.
    float sinceTick() const { return (now - last) / static_cast<float>(tickLength); }
    Uint32 clock() const { return now; }

private:
    Uint32 last;  // of the last tick run
    Uint32 prev;  // of the pass before
    Uint32 now;
};

// What a pass found in SDL's queue.
struct Drained {
    bool any = false;   // there was an event
    bool quit = false;  // the window was closed
};
// Hands every queued event to the player, as a pass of the main loop starts.
Drained drainEvents();

// Exit status of a game stopped by a level file that exists (or should) but
// cannot be loaded, at start-up or at a change of level.
const int levelFailureStatus = 3;

// "levels/%d" for level numbers up to 999, with its terminating zero.
const int pathSize = 11;

// Formats the path of level levelnum; false when the number does not fit.
bool levelPath(char* pathname);
// Loads a new level, opens its entrance and puts the player there. A level
// that fails to load is freed at once and level is left null; failure, if
// given, then says why, and a missing levels/ directory is told as such,
// not taken for a missing level.
bool enterLevel(const char* pathname, Level::Failure* failure = nullptr);

// SIGTERM and SIGINT end the game as a closed window does: status 0 and
// nothing printed. catchQuitSignals, which the game calls before main (see
// main.cpp), makes them only raise a flag, which start-up, the loader and
// the main loop watch: start-up then gives up, a level being read is
// dropped, and the main loop ends after the pass under way. The flag is the
// whole process's, whatever thread the signal lands on.
void catchQuitSignals();
bool quitSignalled();

// Starts the game: level 1, then the window. False when level 1 cannot be
// loaded (the reason is printed) or a quit signal came (nothing printed).
bool init(int argc, char** argv);
Uint32 triggerRefresh(Uint32 interval, void* param);
// Plays until the window is closed or the game ends; returns the process's
// exit status.
int mainLoop();

// One 50 ms tick of the game, the only way play advances: the player's
// update, then the level's, in this order. A player who falls out of the
// level ends it as failed: levelnum steps back, so that the change of level
// enters the same one again, levelDone is set, and the result is false.
// While a level is done, nothing is updated.
bool tick();

// What a key pressed or released does to the player: the game's only
// controls. Releasing an arrow stops the walk or the climb.
void keyDown(SDLKey key);
void keyUp(SDLKey key);

// The game's work of a frame besides drawing it, for the tick fraction t:
// pushes recorded during the last tick become motion, and the player, the
// level's corners and the moving dominoes pull the camera for the next
// frame. Play relies on it between every two ticks, so a run that draws
// nothing calls it all the same.
void animateFrame(float t);
// The part of it the rules read, for a run that watches no camera: the
// carried domino and the level's take the pushes they were given.
void takePushes();

void resetCamera();
float sq(float z);
void lookAt(float x, float y, int visible);
void normCam(int weight);
void updateCam(float dt);
void applyCam();
// The turns applyCam makes, in degrees: the view's pitch up, then its yaw to
// the right.
float cameraPitch();
float cameraYaw();

#endif
