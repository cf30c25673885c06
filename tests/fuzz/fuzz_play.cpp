// Fuzz target for play itself: any level the loader accepts, played through
// the game's own start-up and main loop on the scripted SDL and the recording
// OpenGL, for twenty seconds of game time under a stream of key presses.
// Whatever the level and the keys, nothing may crash, hang, touch memory out
// of bounds or misuse OpenGL: dominoes leaving the grid, flyers rising past
// the top row, the player walking and falling out of the level, which then
// starts again after its fade.
//
// Input: the level file's bytes, a NUL byte, then the actions. The low three
// bits of an action byte pick a key, the other five give the ticks to wait
// before the next action.
#include "fake_gl.h"
#include "level_file.h"
#include "main.h"
#include "scripted_sdl.h"

namespace {

const Uint32 playTime = 20000;       // ms of game time
const long long maxPlayCells = 256;  // bigger grids are the loader fuzzer's
const int actionBits = 3;

// Pressed, but for the fifth: an arrow released, which stops the player.
const SDLKey keys[] = {SDLK_LEFT,  SDLK_RIGHT, SDLK_UP,    SDLK_DOWN,
                       SDLK_RIGHT, SDLK_SPACE, SDLK_COMMA, SDLK_PERIOD};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t levelSize = 0;
    while (levelSize < size && data[levelSize] != 0)
        levelSize++;
    Level probe;
    if (!probe.load(writeLevelFile(data, levelSize))
        || static_cast<long long>(probe.wid) * probe.hei > maxPlayCells)
        return 0;

    scriptedsdl::reset();
    fakegl::reset();
    levelnum = 1;
    levelDone = false;
    Uint32 at = 0;
    for (size_t i = levelSize + 1; i < size; i++) {
        const int action = data[i] & ((1 << actionBits) - 1);
        (action == 4 ? scriptedsdl::keyUp : scriptedsdl::keyDown)(keys[action], at);
        at += (data[i] >> actionBits) * tickLength;
    }
    scriptedsdl::quitAt(playTime);
    if (init(0, nullptr))
        mainLoop();
    delete level;
    level = nullptr;
    SDL_Quit();
    if (!fakegl::errors().empty()) {
        fprintf(stderr, "OpenGL misuse: error 0x%x\n", fakegl::errors().front());
        abort();
    }
    return 0;
}
