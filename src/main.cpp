#include "main.h"

int main(int argc, char** argv)
{
    if (!init(argc, argv))
        return levelFailureStatus;
    const int status = mainLoop();
    SDL_Quit();
    return status;
}
