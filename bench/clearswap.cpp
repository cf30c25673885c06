// The floor of the game's graphics stack: the game's window (960x720, 24-bit
// colour, double buffer, 24-bit depth) and its 20 ms refresh timer, each
// refresh only clearing the window and swapping the buffers. Runs until the
// window is closed or the process is told to end. It names the renderer on
// the standard error stream.
#include <SDL.h>
#include <GL/gl.h>

#include <cstdio>

namespace {

const int windowWidth = 960;
const int windowHeight = 720;
const int colourDepth = 24;
const Uint32 refreshInterval = 20;  // ms, as in the game

Uint32 refresh(Uint32 interval, void*)
{
    SDL_Event event;
    event.type = SDL_USEREVENT;
    SDL_PushEvent(&event);
    return interval;
}

bool openWindow()
{
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "clearswap: SDL_Init: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    if (!SDL_SetVideoMode(windowWidth, windowHeight, colourDepth, SDL_OPENGL)) {
        fprintf(stderr, "clearswap: SDL_SetVideoMode: %s\n", SDL_GetError());
        return false;
    }
    glEnable(GL_DEPTH_TEST);
    fprintf(stderr, "clearswap: %s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    SDL_AddTimer(refreshInterval, refresh, nullptr);
    return true;
}

}  // namespace

int main(int, char**)
{
    if (!openWindow())
        return 1;
    bool done = false;
    while (!done) {
        SDL_WaitEvent(nullptr);
        SDL_Event event;
        while (SDL_PollEvent(&event))
            done = done || event.type == SDL_QUIT;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapBuffers();
    }
    SDL_Quit();
    return 0;
}
