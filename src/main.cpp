#include "main.h"

int main(int argc, char** argv)
{
    if (!init(argc, argv))
        return startupFailureStatus;
    mainLoop();
    SDL_Quit();
    return 0;
}
