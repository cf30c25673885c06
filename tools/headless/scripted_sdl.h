// Scripted SDL for running the game headless: a deterministic stand-in,
// linked in place of the real library, for every SDL function the game calls,
// and for the three of libxcb with which start-up asks the X server for a
// connection. The replay tool, the level checker and the tests play the game
// on it.
//
// Time is virtual, in milliseconds from 0, and moves only inside
// SDL_WaitEvent and SDL_Delay: a wait jumps straight to the next thing that
// can happen (a timer tick or a scheduled event), so minutes of play run in
// an instant and a script always gives the same run. A wait that could never
// end, or that would pass the time limit, queues SDL_QUIT instead, so a test
// cannot hang.
//
// Like SDL 1.2, timers and the video information need SDL_Init with
// SDL_INIT_TIMER and SDL_INIT_VIDEO first, and SDL_Quit stops every timer.
// The event queue holds 128 events, as SDL's does; an event that comes when
// it is full is dropped, whether pushed, scheduled or due from the script.
#ifndef SCRIPTED_SDL_H
#define SCRIPTED_SDL_H

#include <SDL.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace scriptedsdl {

// What the game asked of SDL since the last reset().
struct Record {
    Uint32 initFlags = 0;                                  // latest SDL_Init
    std::vector<std::pair<SDL_GLattr, int>> glAttributes;  // in call order
    int videoModeCalls = 0;
    int width = 0;  // latest SDL_SetVideoMode request
    int height = 0;
    int bpp = 0;
    Uint32 videoFlags = 0;
    Uint32 timerInterval = 0;  // ms, of the latest SDL_AddTimer
    int swaps = 0;             // SDL_GL_SwapBuffers calls
    int passes = 0;            // SDL_WaitEvent calls
    int quits = 0;             // SDL_Quit calls
    int connections = 0;       // xcb_connect calls
    std::string caption;       // latest SDL_WM_SetCaption title with a window open
};

// Back to the start: clock 0, nothing queued or scheduled, no timer, no
// injected failure, an empty record, no hooks, default time limit.
void reset();

Uint32 now();
const Record& record();
int runningTimers();

// Injected failures; err is what SDL_GetError reports afterwards.
void failInit(const char* err);
void failVideoInfo(const char* err);
void failSetVideoMode(const char* err);
void setVideoInfo(bool hwAvailable, bool blitHw);
// The name SDL_VideoDriverName reports once video is up; "x11" unless set.
void setVideoDriver(const char* name);
// An X server that refuses every connection until virtual time until (for
// ever, unless given): xcb_connect fails, and SDL's video, finding no
// display, fails with the x11 driver named in SDL_VIDEODRIVER and falls back
// to the offscreen driver otherwise.
void refuseDisplay(Uint32 until = UINT32_MAX);

// Virtual time at which SDL_QUIT is queued whatever the game does;
// 10 minutes unless set.
void setTimeLimit(Uint32 ms);

// Events at absolute virtual times. Events due at the same moment as a
// timer tick are queued before the tick's event.
void keyDown(SDLKey key, Uint32 at);
void keyUp(SDLKey key, Uint32 at);
void quitAt(Uint32 at);

// Events straight into the queue, for drivers that react to what they see.
void pressNow(SDLKey key);
void releaseNow(SDLKey key);
void quitNow();

// A slow frame: the next SDL_WaitEvent first lets ms more pass, queueing
// every tick and scheduled event due meanwhile, as a busy game would find
// them piled up.
void stall(Uint32 ms);

// Called inside SDL_GL_SwapBuffers after the swap is counted.
void setFrameHook(std::function<void()> hook);
// Called at the start of each SDL_WaitEvent.
void setPassHook(std::function<void()> hook);

}  // namespace scriptedsdl

#endif
