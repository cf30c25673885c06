#include "main.h"
#include "tools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <atomic>
#include <csignal>
#include <cstring>

thread_local Player player;
Blank blank;
thread_local Cell borderCell;
thread_local Level* level = nullptr;
thread_local int levelnum = 1;
thread_local bool levelDone = false;
int VideoFlags = 0;
SDL_Surface* mainWindow = nullptr;

namespace {

const int windowWidth = 960;
const int windowHeight = 720;
const int colourDepth = 24;
// "Toppleton - level " and any int, with its terminating zero.
const int captionSize = 32;
const char levelDirectory[] = "levels";  // of levelPath, in the working directory
// How long start-up waits for an X server that refuses connections (ms), and
// how long between tries.
const Uint32 displayPatience = 2000;
const Uint32 displayRetryPause = 20;

// Raised by SIGTERM or SIGINT, on whichever thread the signal lands: one flag
// for the whole process, lock-free, so that the handler may set it.
std::atomic<bool> quitSignal{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onQuitSignal(int)
{
    quitSignal = true;
}

void failVideo(const char* what, int status)
{
    fprintf(stderr, "%s%s\n", what, SDL_GetError());
    fflush(stderr);
    if (status)
        exit(status);
}

// Names the game and the level being played in the window's title bar.
void showLevelInCaption()
{
    char caption[captionSize];
    snprintf(caption, sizeof caption, "Toppleton - level %d", levelnum);
    SDL_WM_SetCaption(caption, caption);
}

// The video drivers that show nothing. SDL falls back to one of them when it
// reaches no display, and the game would then run unseen for ever.
bool showsNothing(const char* driver)
{
    for (const char* name : {"offscreen", "dummy", "evdev"})
        if (!strcmp(driver, name))
            return true;
    return false;
}

// SDL's video is up on a driver that shows the window. A driver named in
// SDL_VIDEODRIVER is the user's choice, shown or not.
bool videoShows(bool userChose)
{
    char driver[32];
    return userChose || !SDL_VideoDriverName(driver, sizeof driver) || !showsNothing(driver);
}

// Asks the X server at DISPLAY for a connection as SDL's own driver will.
// libxcb writes a refusal ("Maximum number of clients reached") to standard
// error itself; asked every few milliseconds, it would fill the terminal, so
// standard error is /dev/null meanwhile. Nothing else runs yet to write to it.
bool xServerAccepts()
{
    const int saved = dup(STDERR_FILENO);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const bool silenced = saved >= 0 && quiet >= 0 && dup2(quiet, STDERR_FILENO) >= 0;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool accepted = !xcb_connection_has_error(c);
    xcb_disconnect(c);
    if (silenced)
        dup2(saved, STDERR_FILENO);
    for (const int fd : {saved, quiet})
        if (fd >= 0)
            close(fd);
    return accepted;
}

[[noreturn]] void noDisplay(const char* display, bool xAccepts)
{
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    if (!display || !*display)
        fprintf(stderr, "No display to open the window on: DISPLAY is not set\n");
    else if (!xAccepts)
        fprintf(stderr,
                "No display to open the window on: no X server accepted a connection at DISPLAY=%s in %u s\n",
                display, displayPatience / 1000);
    else
        fprintf(stderr,
                "No display to open the window on: the X server at DISPLAY=%s accepts connections, but SDL "
                "chose its %s video driver, which shows nothing\n",
                display, driver);
    exit(1);
}

// Brings up SDL's timer and its video on a display. An X server may refuse
// new clients for a moment, while it still counts some that have just gone
// ("Maximum number of clients reached"); SDL then fails, or falls back to a
// driver that shows nothing. So the connection is tried again for up to
// displayPatience ms, and only then does a failure end the game. False when
// a quit signal came meanwhile.
bool startVideo()
{
    const char* chosen = getenv("SDL_VIDEODRIVER");
    const bool userChose = chosen && *chosen;
    const char* display = getenv("DISPLAY");
    const bool hasDisplay = display && *display;
    const bool onX = hasDisplay && (!userChose || !strcmp(chosen, "x11"));
    const Uint32 start = SDL_GetTicks();
    for (;;) {
        const bool patient = SDL_GetTicks() - start < displayPatience;
        const bool xAccepts = !onX || xServerAccepts();
        if (xAccepts || !patient) {
            const bool initialised = SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) >= 0;
            if (initialised && videoShows(userChose))
                return true;
            if (!patient || (!userChose && !hasDisplay)) {
                if (initialised)
                    noDisplay(display, xAccepts);
                failVideo("Failed initializing SDL Video : ", 0);
                return true;
            }
            SDL_Quit();
        }
        if (quitSignalled())
            return false;
        SDL_Delay(displayRetryPause);
    }
}

// False when a quit signal came before the window opened.
bool setUpVideo()
{
    if (!startVideo())
        return false;
    VideoFlags = SDL_OPENGL | SDL_HWPALETTE;
    const SDL_VideoInfo* VideoInfo = SDL_GetVideoInfo();
    if (!VideoInfo)
        failVideo("Failed getting Video Info : ", 1);
    VideoFlags |= VideoInfo->hw_available ? SDL_HWSURFACE : SDL_SWSURFACE;
    if (VideoInfo->blit_hw)
        VideoFlags |= SDL_HWACCEL;

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);

    mainWindow = SDL_SetVideoMode(windowWidth, windowHeight, colourDepth, VideoFlags);
    if (!mainWindow)
        failVideo("Failed to Create Window : ", 2);
    // SDL 1.2 itself, unlike sdl12-compat, ignores a caption set before its
    // video is up, as the first level's is.
    showLevelInCaption();
    SDL_AddTimer(refreshInterval, triggerRefresh, nullptr);
    return true;
}

void setUpOpenGL()
{
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHT0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glPerspective(viewAngle, viewAspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool isDirectory(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

// SA_RESTART: a system call the signal interrupts goes on, as it would
// without the handler; the flag is looked at often enough.
void catchQuitSignals()
{
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool quitSignalled()
{
    return quitSignal;
}

bool levelPath(char* pathname)
{
    return snprintf(pathname, pathSize, "levels/%d", levelnum) <= pathSize - 1;
}

bool enterLevel(const char* pathname, Level::Failure* failure)
{
    level = new Level;
    if (!level->load(pathname)) {
        if (failure) {
            *failure = level->failure;
            if (!isDirectory(levelDirectory))
                *failure = {false,
                            "there is no levels/ directory here: "
                            "run the game from the directory that holds levels/"};
        }
        delete level;
        level = nullptr;
        return false;
    }
    Door* wayIn = level->getWayIn();
    wayIn->open();
    player.init(wayIn->getCell());
    showLevelInCaption();
    return true;
}

// The first level is read and entered before any window exists, so a
// missing or broken one ends the game without opening one.
bool init(int, char**)
{
    char pathname[pathSize];
    if (!levelPath(pathname))
        return false;
    Level::Failure failure;
    if (!enterLevel(pathname, &failure)) {
        if (quitSignalled())
            return false;
        fflush(stdout);  // the loader's message about the file comes first
        fprintf(stderr, "Can't start: level file \"%s\" could not be loaded: %s\n", pathname,
                failure.reason.c_str());
        return false;
    }
    if (!setUpVideo())
        return false;
    setUpOpenGL();
    return true;
}

// Runs on SDL's timer thread: it only wakes the main loop. One refresh
// waiting wakes it as well as many; piling them up while a frame is slow
// would fill SDL's queue of 128 events, which then drops whatever comes
// next, the user's quit included.
Uint32 triggerRefresh(Uint32 interval, void*)
{
    SDL_Event waiting;
    if (SDL_PeepEvents(&waiting, 1, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_USEREVENT)) > 0)
        return interval;
    SDL_Event ev;
    ev.type = SDL_USEREVENT;
    ev.user.code = 2;
    ev.user.data1 = nullptr;
    ev.user.data2 = nullptr;
    SDL_PushEvent(&ev);
    return interval;
}
