// Long play: the real start-up and main loop on the scripted SDL, through a
// thousand changes of level, solved and failed by turns. Every change deletes
// a level and loads the next, so anything a level leaves behind would pile up;
// the heap in use must be the same after the last change as after the tenth.
#include "main.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <filesystem>
#include <fstream>

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace {

const int changes = 1000;
const int warmUpChanges = 10;
const int levelFiles = changes / 2 + 1;  // each solved level moves on by one

size_t heapInUse()
{
    if (__sanitizer_get_current_allocated_bytes)
        return __sanitizer_get_current_allocated_bytes();
    return mallinfo2().uordblks;
}

TEST(Soak, AThousandChangesOfLevelKeepTheHeapFlat)
{
    namespace fs = std::filesystem;
    const fs::path home = fs::current_path();
    char pattern[] = "/tmp/toppleton-soak-XXXXXX";
    const fs::path dir = mkdtemp(pattern);
    fs::create_directory(dir / "levels");
    // The trigger stands in the entrance, which is also the exit: pushed right
    // it lands at once and opens the exit. Walking left falls out of the level.
    for (int n = 1; n <= levelFiles; n++)
        std::ofstream(dir / "levels" / std::to_string(n)) << "2 1 0 0 0 0\n..\nT \n";
    fs::current_path(dir);

    scriptedsdl::reset();
    scriptedsdl::setTimeLimit(4 * 60 * 60 * 1000);
    int entered = 0, solved = 0, levelAtChange = 1;
    bool wasDone = false;
    size_t heapAfterWarmUp = 0, heapAtEnd = 0;
    // Each time a new level has been entered: script its ending, by turns
    // the push that solves it and the walk off its left end.
    scriptedsdl::setPassHook([&] {
        const bool changed = wasDone && !levelDone;
        wasDone = levelDone;
        if (scriptedsdl::record().passes != 1 && !changed)
            return;
        if (changed) {
            entered++;
            solved += levelnum > levelAtChange;
            levelAtChange = levelnum;
        }
        if (entered == warmUpChanges)
            heapAfterWarmUp = heapInUse();
        const Uint32 now = scriptedsdl::now();
        if (entered == changes) {
            heapAtEnd = heapInUse();
            scriptedsdl::quitNow();
        } else if (entered % 2 == 0) {
            scriptedsdl::keyDown(SDLK_PERIOD, now + 100);
            scriptedsdl::keyDown(SDLK_UP, now + 1500);
        } else {
            scriptedsdl::keyDown(SDLK_LEFT, now + 600);
        }
    });
    ASSERT_TRUE(init(0, nullptr));
    mainLoop();
    delete level;
    level = nullptr;
    SDL_Quit();
    scriptedsdl::setPassHook(nullptr);
    fs::current_path(home);
    fs::remove_all(dir);

    EXPECT_EQ(entered, changes);
    EXPECT_EQ(solved, changes / 2);
    EXPECT_EQ(levelnum, levelFiles);
    printf("heap in use: %zu bytes after %d changes, %zu after %d\n", heapAfterWarmUp, warmUpChanges,
           heapAtEnd, changes);
    EXPECT_LE(heapAtEnd, heapAfterWarmUp + 16 * 1024);
}

}  // namespace
