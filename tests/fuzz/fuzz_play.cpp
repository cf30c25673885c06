// Fuzz target for play itself: any level the loader accepts, played for a
// few hundred ticks under a stream of player actions, with a frame drawn on
// the recording OpenGL after every tick as the main loop draws one. Whatever
// the level and the actions, nothing may crash, hang, touch memory out of
// bounds or misuse OpenGL: dominoes leaving the grid, flyers rising past the
// top row, the player walking and falling out of the level.
//
// Input: the level file's bytes, a NUL byte, then the actions. The low three
// bits of an action byte pick what a key would do; the other five give the
// ticks to play before the next action.
#include "fake_gl.h"
#include "level_file.h"
#include "main.h"

namespace {

const int playTicks = 400;
const long long maxPlayCells = 256;  // bigger grids are the loader fuzzer's
const int actionBits = 3;
const int actionMask = (1 << actionBits) - 1;
const float tickLength = 50;         // ms of game time per tick
const int framePhases = 4;           // distinct t values drawn, 0 to 3/4

void act(int action)
{
    switch (action) {
    case 0: player.move(-1); break;
    case 1: player.move(1); break;
    case 2: player.climb(1); break;
    case 3: player.climb(-1); break;
    case 4: player.stop(); break;
    case 5: player.grab(); break;
    case 6: player.push(-1); break;
    case 7: player.push(1); break;
    }
}

void drawFrame(float t)
{
    const float lightPos[4] = {0.1f, 1.0f, 1.0f, 0.0f};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    updateCam(tickLength);
    applyCam();
    glLightfv(GL_LIGHT0, GL_POSITION, lightPos);
    animateFrame(t);
    player.render(t);
    level->render(t);
    if (!fakegl::errors().empty()) {
        fprintf(stderr, "OpenGL misuse: error 0x%x\n", fakegl::errors().front());
        abort();
    }
}

void leaveLevel()
{
    delete level;
    level = nullptr;
}

// A fresh level from the file, as the game enters one; false if refused.
bool enter(const char* path)
{
    levelDone = false;
    if (enterLevel(path))
        return true;
    leaveLevel();
    return false;
}

void play(const char* path, const uint8_t* actions, size_t count)
{
    size_t next = 0;
    int due = 0;  // tick of the next action
    for (int tick = 0; tick < playTicks; tick++) {
        while (next < count && due == tick) {
            act(actions[next] & actionMask);
            due += actions[next] >> actionBits;
            next++;
        }
        const bool inside = player.update();
        level->update();
        drawFrame(float(tick % framePhases) / framePhases);
        if (levelDone)
            return;  // walked out through the exit
        if (!inside) {
            leaveLevel();  // fell out: the level starts again
            if (!enter(path))
                abort();   // the same file loaded a moment ago
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t levelSize = 0;
    while (levelSize < size && data[levelSize] != 0)
        levelSize++;
    const char* path = writeLevelFile(data, levelSize);

    borderCell.init(-2, -2, 0, false);
    fakegl::reset();
    resetCamera();
    if (!enter(path))
        return 0;
    if (static_cast<long long>(level->wid) * level->hei <= maxPlayCells) {
        const size_t actionsAt = levelSize < size ? levelSize + 1 : size;
        play(path, data + actionsAt, size - actionsAt);
    }
    leaveLevel();
    return 0;
}
