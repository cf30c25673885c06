// Fuzz target for play itself: any level the loader accepts, played through
// the game's own start-up and main loop on the scripted SDL and the recording
// OpenGL under a stream of key presses, until ten seconds of game time after
// the last key (for the chain to come down, the exit to open and the next
// level to be tried), for at most a minute.
// Whatever the level and the keys, nothing may crash, hang, touch memory out
// of bounds or misuse OpenGL: dominoes leaving the grid, flyers rising past
// the top row, the player walking and falling out of the level, which then
// starts again after its fade.
//
// Input: the level file's bytes, a NUL byte, then the actions. The low three
// bits of an action byte pick a key, the other five give the ticks to wait
// before the next action. Inputs may be up to 4 KB long from the start
// (-max_len, -len_control=0 unless given): a level of 256 cells takes a few
// hundred bytes, and playing it through takes a few dozen actions or more,
// which libFuzzer's slow growth of lengths would not reach in hours.
#include "fake_gl.h"
#include "level_file.h"
#include "main.h"
#include "scripted_sdl.h"

#include <algorithm>

namespace {

const Uint32 afterLastKey = 10000;  // ms of game time
const Uint32 maxPlayTime = 60000;
const long long maxPlayCells = 256;  // bigger grids are the loader fuzzer's
const int actionBits = 3;

// Pressed, but for the fifth: an arrow released, which stops the player.
const SDLKey keys[] = {SDLK_LEFT,  SDLK_RIGHT, SDLK_UP,    SDLK_DOWN,
                       SDLK_RIGHT, SDLK_SPACE, SDLK_COMMA, SDLK_PERIOD};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    prepareArguments(argc, argv, {"-max_len=4096", "-len_control=0"});
    return 0;
}

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
    for (size_t i = levelSize + 1; i < size && at < maxPlayTime; i++) {
        const int action = data[i] & ((1 << actionBits) - 1);
        (action == 4 ? scriptedsdl::keyUp : scriptedsdl::keyDown)(keys[action], at);
        at += (data[i] >> actionBits) * tickLength;
    }
    scriptedsdl::quitAt(std::min(at + afterLastKey, maxPlayTime));
    {
        PlayDirectory playing;
        if (init(0, nullptr))
            mainLoop();
    }
    delete level;
    level = nullptr;
    SDL_Quit();
    if (!fakegl::errors().empty()) {
        fprintf(stderr, "OpenGL misuse: error 0x%x\n", fakegl::errors().front());
        abort();
    }
    return 0;
}
