// The guard of a thread's game: a play of its own starts from the game as it
// is before start-up, and whatever the thread had is there again afterwards,
// to the last camera array.
#include "world.h"

#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// Every camera value of the thread, in a fixed order.
std::vector<float> cameraValues()
{
    std::vector<float> values;
    for (const float* a : {camera, speed, camaccel, camjerk, sight, sightspeed, sightaccel, sightjerk})
        values.insert(values.end(), a, a + 3);
    values.push_back(static_cast<float>(totweight));
    return values;
}

// A thread in the middle of a game: every value the guard keeps is one no
// fresh game has.
void muddle()
{
    float value = 1;
    for (float* a : {camera, speed, camaccel, camjerk, sight, sightspeed, sightaccel, sightjerk})
        for (int i = 0; i < 3; i++)
            a[i] = value++;
    totweight = 11;
    levelnum = 7;
    levelDone = true;
    borderCell.x = 40;
    borderCell.hasFloor = Cell::slab;
    player.x = 17;
    player.importance = 5;
    SDL_Init(SDL_INIT_TIMER);
}

TEST(FreshGame, StartsFromTheGameBeforeStartUpAndPutsBackEverythingItFound)
{
    World w(R"(| N
               |___)");
    Level* const found = level;
    muddle();
    const std::vector<float> foundCamera = cameraValues();
    {
        const FreshGame game;
        EXPECT_EQ(level, nullptr);
        EXPECT_EQ(levelnum, 1);
        EXPECT_FALSE(levelDone);
        EXPECT_EQ(std::tuple(borderCell.getX(), borderCell.getY(), borderCell.getFloor()),
                  std::tuple(-2, -2, Cell::noFloor));
        EXPECT_EQ(player.x, 0);
        EXPECT_EQ(player.held, nullptr);
        const std::vector<float> fresh = cameraValues();
        EXPECT_EQ(std::vector<float>(fresh.begin() + 12, fresh.begin() + 15), std::vector<float>({0, 0, -1}))
            << "the camera looks straight at the level";
        EXPECT_EQ(scriptedsdl::record().initFlags, 0u) << "the scripted SDL starts afresh";
        // A level the play enters is the play's: the guard frees it.
        ASSERT_TRUE(enterLevel(writeTempFile(levelFile(R"(| N
                                                           |___)"))
                                   .c_str()));
        levelnum = 3;
    }
    EXPECT_EQ(level, found);
    EXPECT_EQ(levelnum, 7);
    EXPECT_TRUE(levelDone);
    EXPECT_EQ(std::tuple(borderCell.getX(), borderCell.getFloor()), std::tuple(40, Cell::slab));
    EXPECT_EQ(std::tuple(player.x, player.importance), std::tuple(17, 5));
    EXPECT_EQ(cameraValues(), foundCamera);
}

}  // namespace
