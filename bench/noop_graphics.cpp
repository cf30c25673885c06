// The benchmark's label for the GL that draws nothing (tools/headless), which
// leaves the cost of the game's own drawing code.
#include "graphics.h"

const char* graphicsName()
{
    return "no-op GL";
}

void resetGraphics()
{
}
