// Falling out of a level, played through the real start-up and main loop:
// after the 1500 ms fade the same level starts again, with the player back
// in its entrance and the level's push available again.
#include "main.h"

#include "fake_gl.h"
#include "fake_sdl.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const Uint32 fadeLength = 1500;

// A private working directory holding levels/1, entered for the test.
class LevelDir {
public:
    explicit LevelDir(const char* text) : home(fs::current_path())
    {
        char pattern[] = "/tmp/toppleton-restart-XXXXXX";
        dir = mkdtemp(pattern);
        fs::create_directory(dir / "levels");
        std::ofstream(dir / "levels" / "1", std::ios::binary) << text;
        fs::current_path(dir);
    }
    ~LevelDir()
    {
        fs::current_path(home);
        fs::remove_all(dir);
    }

private:
    fs::path home;
    fs::path dir;
};

TEST(PlayerFallingOut, SameLevelStartsAgainAfterTheFadeWithThePlayerAtTheEntrance)
{
    // The entrance floor ends at column 1; nothing is below column 2.
    LevelDir levels("3 2 0 1 2 0\n() \n(_ \nN  \n   \n");
    fakesdl::reset();
    fakegl::reset();
    levelnum = 1;
    levelDone = false;
    ASSERT_TRUE(init(0, nullptr));

    fakesdl::keyDown(SDLK_PERIOD, 600);  // the push, out of the door
    fakesdl::keyDown(SDLK_RIGHT, 700);
    Uint32 fellAt = 0, restartedAt = 0;
    bool pushedBeforeFall = false;
    fakesdl::setFrameHook([&] {
        if (levelDone && !fellAt) {
            fellAt = fakesdl::now();
            pushedBeforeFall = !level->canPush();
        } else if (fellAt && !levelDone && !restartedAt) {
            restartedAt = fakesdl::now();
            fakesdl::quitNow();
        }
    });
    mainLoop();
    fakesdl::setFrameHook(nullptr);

    ASSERT_NE(fellAt, 0u);
    ASSERT_NE(restartedAt, 0u);
    EXPECT_TRUE(pushedBeforeFall);
    EXPECT_GE(restartedAt - fellAt, fadeLength);
    EXPECT_LT(restartedAt - fellAt, fadeLength + 25);
    EXPECT_EQ(levelnum, 1);
    EXPECT_EQ(player.x, 0);
    EXPECT_EQ(player.y, 8);
    EXPECT_EQ(player.deltaZ, 1);  // walking out of the entrance again
    EXPECT_TRUE(level->canPush());
    EXPECT_EQ(level->getCell(0, 1)->getDomino(0)->angle, 0);

    delete level;
    level = nullptr;
    SDL_Quit();
}

}  // namespace
