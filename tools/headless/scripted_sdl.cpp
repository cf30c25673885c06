// The scripted SDL: one global state that the scriptedsdl:: controls script and
// the SDL_* functions, defined with the exact prototypes of <SDL.h>, play.
#include "scripted_sdl.h"

#include "freshgame.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>

namespace {

const Uint32 defaultTimeLimit = 10 * 60 * 1000;
const size_t queueCapacity = 128;  // SDL 1.2's, and sdl12-compat's
const int desktopWidth = 1024;
const int desktopHeight = 768;
const Uint8 desktopBpp = 32;

struct Timer {
    std::uintptr_t id;
    Uint32 interval;     // ms between ticks
    std::uint64_t next;  // virtual ms of the next tick
    SDL_NewTimerCallback callback;
    void* param;
};

struct State {
    Uint32 clock = 0;
    Uint32 timeLimit = defaultTimeLimit;
    std::uint64_t stall = 0;
    std::deque<SDL_Event> queue;
    std::multimap<Uint32, SDL_Event> scheduled;  // equal times keep their order
    std::vector<Timer> timers;
    std::uintptr_t lastTimerId = 0;
    Uint32 initialised = 0;  // SDL_INIT_* subsystems up
    std::optional<std::string> initFailure;
    std::optional<std::string> videoInfoFailure;
    std::optional<std::string> videoModeFailure;
    bool hwAvailable = false;
    bool blitHw = false;
    std::string videoDriver = "x11";
    std::string activeDriver;  // of the video up now
    Uint32 displayRefusedUntil = 0;
    std::string error;
    scriptedsdl::Record record;
    std::function<void()> frameHook;
    std::function<void()> passHook;
    SDL_PixelFormat desktopFormat{};
    SDL_PixelFormat windowFormat{};
    SDL_VideoInfo videoInfo{};
    SDL_Surface window{};
};

// One scripted SDL per thread, like the game state it serves.
thread_local State s;

// A fresh game starts on a fresh SDL.
const bool resetWithTheGame = (FreshGame::setPlatformReset(scriptedsdl::reset), true);

SDL_Event keyEvent(Uint8 type, SDLKey key)
{
    SDL_Event e{};
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    return e;
}

SDL_Event quitEvent()
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    return e;
}

// Like SDL's queue: full, it drops the event.
bool enqueue(const SDL_Event& e)
{
    if (s.queue.size() >= queueCapacity)
        return false;
    s.queue.push_back(e);
    return true;
}

void schedule(Uint32 at, const SDL_Event& e)
{
    s.scheduled.emplace(at, e);
}

// A hook may replace itself or reset everything: run a copy.
void callHook(const std::function<void()>& hook)
{
    if (auto copy = hook)
        copy();
}

bool nextDue(std::uint64_t& at)
{
    bool any = !s.scheduled.empty();
    if (any)
        at = s.scheduled.begin()->first;
    for (const Timer& t : s.timers) {
        at = any ? std::min(at, t.next) : t.next;
        any = true;
    }
    return any;
}

void queueScheduledDue()
{
    while (!s.scheduled.empty() && s.scheduled.begin()->first <= s.clock) {
        enqueue(s.scheduled.begin()->second);
        s.scheduled.erase(s.scheduled.begin());
    }
}

Timer* findTimer(std::uintptr_t id)
{
    for (Timer& t : s.timers)
        if (t.id == id)
            return &t;
    return nullptr;
}

// SDL's contract: the callback returns the next interval, 0 to stop.
// The callback may add or remove timers, so look the timer up again after.
void fire(std::uintptr_t id)
{
    Timer fired = *findTimer(id);
    Uint32 next = fired.callback(fired.interval, fired.param);
    Timer* t = findTimer(id);
    if (!t)
        return;
    if (next == 0) {
        s.timers.erase(s.timers.begin() + (t - s.timers.data()));
        return;
    }
    t->interval = next;
    t->next += next;
}

void fireTimersDue()
{
    std::vector<std::uintptr_t> due;
    for (const Timer& t : s.timers)
        if (t.next <= s.clock)
            due.push_back(t.id);
    for (std::uintptr_t id : due)
        if (findTimer(id))
            fire(id);
}

// Lets virtual time pass up to target (or the time limit, if sooner), each
// tick and scheduled event happening at its own moment. Returns false when
// the limit cut it short.
bool runUntil(std::uint64_t target)
{
    std::uint64_t end = std::min<std::uint64_t>(target, s.timeLimit);
    std::uint64_t at;
    while (nextDue(at) && at <= end) {
        s.clock = static_cast<Uint32>(std::max<std::uint64_t>(s.clock, at));
        queueScheduledDue();
        fireTimersDue();
    }
    s.clock = static_cast<Uint32>(std::max<std::uint64_t>(s.clock, end));
    return target <= s.timeLimit;
}

// Blocks, in virtual time, until the queue holds an event. When nothing
// could ever come the clock stays put; when the next thing is beyond the
// limit the clock stops at the limit. Either way the game is told to quit.
void waitForEvent()
{
    while (s.queue.empty()) {
        std::uint64_t at;
        if (!nextDue(at)) {
            s.queue.push_back(quitEvent());
        } else if (at > s.timeLimit) {
            runUntil(s.timeLimit);
            s.queue.push_back(quitEvent());
        } else {
            runUntil(at);
        }
    }
}

void takeFront(SDL_Event* event)
{
    if (!event)
        return;
    *event = s.queue.front();
    s.queue.pop_front();
}

bool timerSubsystemUp()
{
    return s.initialised & SDL_INIT_TIMER;
}

bool displayRefused()
{
    return s.clock < s.displayRefusedUntil;
}

// Tokens for the two kinds of connection xcb_connect hands out; the type is
// opaque, and nothing is ever read through them.
char acceptedConnection, refusedConnection;

}  // namespace

namespace scriptedsdl {

void reset()
{
    s = State{};
}

Uint32 now()
{
    return s.clock;
}

const Record& record()
{
    return s.record;
}

int runningTimers()
{
    return static_cast<int>(s.timers.size());
}

void failInit(const char* err)
{
    s.initFailure = err;
}

void failVideoInfo(const char* err)
{
    s.videoInfoFailure = err;
}

void failSetVideoMode(const char* err)
{
    s.videoModeFailure = err;
}

void setVideoInfo(bool hwAvailable, bool blitHw)
{
    s.hwAvailable = hwAvailable;
    s.blitHw = blitHw;
}

void setVideoDriver(const char* name)
{
    s.videoDriver = name;
}

void refuseDisplay(Uint32 until)
{
    s.displayRefusedUntil = until;
}

void setTimeLimit(Uint32 ms)
{
    s.timeLimit = ms;
}

void keyDown(SDLKey key, Uint32 at)
{
    schedule(at, keyEvent(SDL_KEYDOWN, key));
}

void keyUp(SDLKey key, Uint32 at)
{
    schedule(at, keyEvent(SDL_KEYUP, key));
}

void quitAt(Uint32 at)
{
    schedule(at, quitEvent());
}

void pressNow(SDLKey key)
{
    enqueue(keyEvent(SDL_KEYDOWN, key));
}

void releaseNow(SDLKey key)
{
    enqueue(keyEvent(SDL_KEYUP, key));
}

void quitNow()
{
    enqueue(quitEvent());
}

void stall(Uint32 ms)
{
    s.stall += ms;
}

void setFrameHook(std::function<void()> hook)
{
    s.frameHook = std::move(hook);
}

void setPassHook(std::function<void()> hook)
{
    s.passHook = std::move(hook);
}

}  // namespace scriptedsdl

extern "C" {

int SDL_Init(Uint32 flags)
{
    s.record.initFlags = flags;
    if (s.initFailure) {
        s.error = *s.initFailure;
        return -1;
    }
    s.activeDriver = s.videoDriver;
    if ((flags & SDL_INIT_VIDEO) && displayRefused()) {
        const char* chosen = getenv("SDL_VIDEODRIVER");
        if (chosen && !strcmp(chosen, "x11")) {
            s.error = "x11 not available";
            return -1;
        }
        s.activeDriver = "offscreen";
    }
    s.initialised |= flags;
    return 0;
}

void SDL_Quit(void)
{
    ++s.record.quits;
    s.initialised = 0;
    s.timers.clear();
}

// NULL until video is up, as in SDL.
char* SDL_VideoDriverName(char* namebuf, int maxlen)
{
    if (!(s.initialised & SDL_INIT_VIDEO) || !namebuf || maxlen <= 0)
        return nullptr;
    const size_t n = std::min(s.activeDriver.size(), static_cast<size_t>(maxlen - 1));
    s.activeDriver.copy(namebuf, n);
    namebuf[n] = 0;
    return namebuf;
}

char* SDL_GetError(void)
{
    return s.error.data();
}

const SDL_VideoInfo* SDL_GetVideoInfo(void)
{
    if (s.videoInfoFailure) {
        s.error = *s.videoInfoFailure;
        return nullptr;
    }
    // Like SDL 1.2: no video subsystem, no information, and no new error.
    if (!(s.initialised & SDL_INIT_VIDEO))
        return nullptr;
    s.desktopFormat = SDL_PixelFormat{};
    s.desktopFormat.BitsPerPixel = desktopBpp;
    s.desktopFormat.BytesPerPixel = desktopBpp / 8;
    s.videoInfo = SDL_VideoInfo{};
    s.videoInfo.hw_available = s.hwAvailable;
    s.videoInfo.blit_hw = s.blitHw;
    s.videoInfo.vfmt = &s.desktopFormat;
    s.videoInfo.current_w = desktopWidth;
    s.videoInfo.current_h = desktopHeight;
    return &s.videoInfo;
}

int SDL_GL_SetAttribute(SDL_GLattr attr, int value)
{
    s.record.glAttributes.emplace_back(attr, value);
    return 0;
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    ++s.record.videoModeCalls;
    s.record.width = width;
    s.record.height = height;
    s.record.bpp = bpp;
    s.record.videoFlags = flags;
    if (s.videoModeFailure) {
        s.error = *s.videoModeFailure;
        return nullptr;
    }
    Uint8 bits = bpp > 0 ? static_cast<Uint8>(bpp) : desktopBpp;
    s.windowFormat = SDL_PixelFormat{};
    s.windowFormat.BitsPerPixel = bits;
    s.windowFormat.BytesPerPixel = static_cast<Uint8>((bits + 7) / 8);
    s.window = SDL_Surface{};
    s.window.flags = flags;
    s.window.format = &s.windowFormat;
    s.window.w = width;
    s.window.h = height;
    s.window.pitch = static_cast<Uint16>(width * s.windowFormat.BytesPerPixel);
    return &s.window;
}

// SDL 1.2 shows only a caption set while its window is open.
void SDL_WM_SetCaption(const char* title, const char*)
{
    if (s.window.format)
        s.record.caption = title ? title : "";
}

SDL_TimerID SDL_AddTimer(Uint32 interval, SDL_NewTimerCallback callback, void* param)
{
    if (!timerSubsystemUp()) {
        s.error = "Timer subsystem not initialized";
        return nullptr;
    }
    if (interval == 0 || !callback) {
        s.error = "A timer needs a callback and a positive interval";
        return nullptr;
    }
    s.record.timerInterval = interval;
    std::uintptr_t id = ++s.lastTimerId;
    s.timers.push_back({id, interval, std::uint64_t{s.clock} + interval, callback, param});
    return reinterpret_cast<SDL_TimerID>(id);
}

SDL_bool SDL_RemoveTimer(SDL_TimerID t)
{
    Timer* timer = findTimer(reinterpret_cast<std::uintptr_t>(t));
    if (!timer)
        return SDL_FALSE;
    s.timers.erase(s.timers.begin() + (timer - s.timers.data()));
    return SDL_TRUE;
}

Uint32 SDL_GetTicks(void)
{
    return s.clock;
}

void SDL_Delay(Uint32 ms)
{
    bool inTime = runUntil(std::uint64_t{s.clock} + ms);
    if (!inTime && s.queue.empty())
        s.queue.push_back(quitEvent());
}

int SDL_PushEvent(SDL_Event* event)
{
    if (!event) {
        s.error = "SDL_PushEvent given no event";
        return -1;
    }
    return enqueue(*event) ? 0 : -1;
}

// Adds, or looks at or takes the events whose type is in mask, front first.
// Without events it only looks whether there is one, as SDL does.
int SDL_PeepEvents(SDL_Event* events, int numevents, SDL_eventaction action, Uint32 mask)
{
    if (action == SDL_ADDEVENT) {
        int added = 0;
        while (added < numevents && enqueue(events[added]))
            ++added;
        return added;
    }
    SDL_Event seen;
    if (!events) {
        events = &seen;
        numevents = 1;
        action = SDL_PEEKEVENT;
    }
    int chosen = 0;
    for (auto e = s.queue.begin(); e != s.queue.end() && chosen < numevents;) {
        if (!(mask & SDL_EVENTMASK(e->type))) {
            ++e;
            continue;
        }
        events[chosen++] = *e;
        e = action == SDL_GETEVENT ? s.queue.erase(e) : e + 1;
    }
    return chosen;
}

void SDL_PumpEvents(void)
{
    runUntil(s.clock);
}

int SDL_PollEvent(SDL_Event* event)
{
    runUntil(s.clock);
    if (s.queue.empty())
        return 0;
    takeFront(event);
    return 1;
}

int SDL_WaitEvent(SDL_Event* event)
{
    ++s.record.passes;
    callHook(s.passHook);
    std::uint64_t slowFrame = s.stall;
    s.stall = 0;
    runUntil(s.clock + slowFrame);
    waitForEvent();
    takeFront(event);
    return 1;
}

void SDL_GL_SwapBuffers(void)
{
    ++s.record.swaps;
    callHook(s.frameHook);
}

xcb_connection_t* xcb_connect(const char*, int*)
{
    ++s.record.connections;
    return reinterpret_cast<xcb_connection_t*>(displayRefused() ? &refusedConnection : &acceptedConnection);
}

int xcb_connection_has_error(xcb_connection_t* c)
{
    return reinterpret_cast<char*>(c) == &refusedConnection ? XCB_CONN_ERROR : 0;
}

void xcb_disconnect(xcb_connection_t*)
{
}

}  // extern "C"
