// The recording GL of the tests, which keeps every primitive of a frame with
// its vertices placed in the world: the heaviest GL the game meets.
#include "graphics.h"

#include "fake_gl.h"

const char* graphicsName()
{
    return "recording GL";
}

void resetGraphics()
{
    fakegl::reset();
}
