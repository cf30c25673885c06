// Long play: the real start-up and main loop on the scripted SDL, through a
// thousand changes of level, solved and failed by turns. Every change deletes
// a level and loads the next, so anything a level leaves behind would pile up;
// the heap in use must be the same after the last change as after the tenth.
#include "scripted_sdl.h"
#include "main.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace {

const int changes = 1000;
const int warmUpChanges = 10;
const int levelFiles = changes / 2 + 1;  // each solved level moves on by one
const Uint32 soakTimeLimit = 4 * 60 * 60 * 1000;
const size_t heapSlack = 16 * 1024;

// The trigger stands in the entrance, which is also the exit: pushed right
// it lands at once and opens the exit. Walking left falls out of the level.
const char* const tinyLevel = "2 1 0 0 0 0\n..\nT \n";

const Uint32 pushAfter = 100;    // ms after the level starts
const Uint32 leaveAfter = 1500;  // the trigger has landed, the exit is open
const Uint32 walkOffAfter = 600; // the player is out of the entrance

size_t heapInUse()
{
    if (__sanitizer_get_current_allocated_bytes)
        return __sanitizer_get_current_allocated_bytes();
    return mallinfo2().uordblks;
}

long residentKiB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void solve(Uint32 now)
{
    scriptedsdl::keyDown(SDLK_PERIOD, now + pushAfter);
    scriptedsdl::keyUp(SDLK_PERIOD, now + pushAfter + 50);
    scriptedsdl::keyDown(SDLK_UP, now + leaveAfter);
    scriptedsdl::keyUp(SDLK_UP, now + leaveAfter + 50);
}

void walkOff(Uint32 now)
{
    scriptedsdl::keyDown(SDLK_LEFT, now + walkOffAfter);
}

// A private working directory holding levels/1.. for the game to read.
struct LevelDirectory {
    std::filesystem::path dir;
    std::filesystem::path previous = std::filesystem::current_path();

    LevelDirectory()
    {
        char pattern[] = "/tmp/toppleton-soak-XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::create_directory(dir / "levels");
        for (int n = 1; n <= levelFiles; n++)
            std::ofstream(dir / "levels" / std::to_string(n), std::ios::binary) << tinyLevel;
        std::filesystem::current_path(dir);
    }
    ~LevelDirectory()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
};

// Watches the game between passes: each time a new level has been entered
// it scripts the next ending, and it measures the heap along the way.
struct Soak {
    int entered = 0;  // levels entered after the first
    int solved = 0;
    bool wasDone = false;
    int levelAtChange = 1;
    size_t heapAfterWarmUp = 0;
    long residentAfterWarmUp = 0;
    size_t heapAtEnd = 0;
    long residentAtEnd = 0;

    void pass()
    {
        const bool changed = wasDone && !levelDone;
        wasDone = levelDone;
        if (scriptedsdl::record().passes == 1 || changed)
            onNewLevel(changed);
    }

    void onNewLevel(bool changed)
    {
        if (changed) {
            entered++;
            if (levelnum > levelAtChange)
                solved++;
            levelAtChange = levelnum;
        }
        if (entered == warmUpChanges) {
            heapAfterWarmUp = heapInUse();
            residentAfterWarmUp = residentKiB();
        }
        if (entered == changes) {
            heapAtEnd = heapInUse();
            residentAtEnd = residentKiB();
            scriptedsdl::quitNow();
            return;
        }
        if (entered % 2 == 0)
            solve(scriptedsdl::now());
        else
            walkOff(scriptedsdl::now());
    }
};

TEST(Soak, AThousandChangesOfLevelKeepMemoryFlat)
{
    LevelDirectory files;
    scriptedsdl::reset();
    scriptedsdl::setTimeLimit(soakTimeLimit);
    levelnum = 1;
    levelDone = false;
    Soak soak;
    scriptedsdl::setPassHook([&soak] { soak.pass(); });

    ASSERT_TRUE(init(0, nullptr));
    mainLoop();
    delete level;
    level = nullptr;
    SDL_Quit();
    scriptedsdl::setPassHook(nullptr);

    EXPECT_EQ(soak.entered, changes);
    EXPECT_EQ(soak.solved, changes / 2);
    EXPECT_EQ(levelnum, levelFiles);
    printf("heap in use: %zu bytes after %d changes, %zu after %d\n", soak.heapAfterWarmUp,
           warmUpChanges, soak.heapAtEnd, changes);
    printf("resident: %ld KiB after %d changes, %ld KiB after %d\n", soak.residentAfterWarmUp,
           warmUpChanges, soak.residentAtEnd, changes);
    EXPECT_LE(soak.heapAtEnd, soak.heapAfterWarmUp + heapSlack);
}

}  // namespace
