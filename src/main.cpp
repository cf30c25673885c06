#include "main.h"

namespace {

// Before main, sdl12-compat loads SDL 2 and the forty-odd libraries it needs,
// tens of milliseconds in which a quit signal would still kill the game. The
// functions an executable lists in .preinit_array run before any library's
// own start-up, so from there on SIGTERM and SIGINT only raise the flag.
void catchQuitSignalsFirst(int, char**, char**)
{
    catchQuitSignals();
}

using StartFunction = void (*)(int, char**, char**);
[[gnu::section(".preinit_array"), gnu::used]] const StartFunction catchFirst = catchQuitSignalsFirst;

}  // namespace

int main(int argc, char** argv)
{
    const FreshGame game;
    if (!init(argc, argv))
        return quitSignalled() ? 0 : levelFailureStatus;
    const int status = mainLoop();
    SDL_Quit();
    return status;
}
