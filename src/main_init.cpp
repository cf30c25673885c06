#include "main.h"
#include "tools.h"

Player player;
Blank blank;
Cell borderCell;
Level* level = nullptr;
int levelnum = 1;
bool levelDone = false;
int VideoFlags = 0;
SDL_Surface* mainWindow = nullptr;

namespace {

const int windowWidth = 960;
const int windowHeight = 720;
const int colourDepth = 24;
const Uint32 refreshInterval = 20;  // ms between frames

void failVideo(const char* what, int status)
{
    fprintf(stderr, "%s%s\n", what, SDL_GetError());
    fflush(stderr);
    if (status)
        exit(status);
}

void setUpVideo()
{
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0)
        failVideo("Failed initializing SDL Video : ", 0);
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
    SDL_AddTimer(refreshInterval, triggerRefresh, nullptr);
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
    const float aspect = 4.0f / 3.0f;
    glPerspective(45.0, aspect, 1.0, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

bool levelPath(char* pathname)
{
    return snprintf(pathname, pathSize, "levels/%d", levelnum) <= pathSize - 1;
}

bool enterLevel(const char* pathname)
{
    level = new Level;
    if (!level->load(pathname)) {
        delete level;
        level = nullptr;
        return false;
    }
    Door* wayIn = level->getWayIn();
    wayIn->open();
    player.init(wayIn->getCell());
    return true;
}

// The first level is read and entered before any window exists, so a
// missing or broken one ends the game without opening one.
bool init(int, char**)
{
    borderCell.init(-2, -2, 0, false);
    char pathname[pathSize];
    if (!levelPath(pathname))
        return false;
    if (!enterLevel(pathname)) {
        fprintf(stderr, "Can't start: level file \"%s\" could not be loaded\n", pathname);
        return false;
    }
    setUpVideo();
    setUpOpenGL();
    return true;
}

// Runs on SDL's timer thread: it only wakes the main loop.
Uint32 triggerRefresh(Uint32 interval, void*)
{
    static SDL_Event ev;
    ev.type = SDL_USEREVENT;
    ev.user.code = 2;
    ev.user.data1 = nullptr;
    ev.user.data2 = nullptr;
    SDL_PushEvent(&ev);
    return interval;
}
