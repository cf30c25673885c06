// Carrying and pushing: what the space bar picks up and sets down, the walk
// aside to a free neighbour, dropping a carried domino into a gap, and the
// level's one push.
#include "world.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

std::vector<int> xsOver(World& w, int n)
{
    std::vector<int> xs;
    for (int i = 0; i < n; i++) {
        w.tick();
        xs.push_back(player.x);
    }
    return xs;
}

TEST(PlayerPickingUp, EmptySlotGivesNothing)
{
    World w("3 1 0 0 2 0\n(_)\n   \n");
    standAt(8, 0);
    EXPECT_FALSE(player.grab());
    EXPECT_EQ(player.held, nullptr);
}

TEST(PlayerPickingUp, UprightStillDominoIsTakenOutOfItsCell)
{
    World w("3 1 0 0 2 0\n(_)\n N \n");
    Domino* d = w.at(1, 0);
    standAt(8, 0);
    EXPECT_TRUE(player.grab());
    EXPECT_EQ(player.held, d);
    EXPECT_TRUE(w.at(1, 0)->isBlank());
}

TEST(PlayerPickingUp, LeaningTurningBrokenDroppingOrRaisedDominoStaysPut)
{
    const std::vector<std::pair<const char*, std::function<void(Domino*)>>> states = {
        {"leaning", [](Domino* d) { d->angle = 2; }},
        {"turning", [](Domino* d) { d->speed = 1; }},
        {"broken", [](Domino* d) { d->broken = true; }},
        {"dropping", [](Domino* d) { d->fly = -1; }},
        {"raised", [](Domino* d) { d->elev = 2; }},
    };
    for (const auto& [name, make] : states) {
        World w("3 1 0 0 2 0\n(_)\n N \n");
        Domino* d = w.at(1, 0);
        make(d);
        standAt(8, 0);
        EXPECT_FALSE(player.grab()) << name;
        EXPECT_EQ(player.held, nullptr) << name;
        EXPECT_EQ(w.at(1, 0), d) << name;
    }
}

TEST(PlayerSettingDown, FreeSlotTakesTheDominoAtOnceEvenWithoutFloor)
{
    World w("3 2 0 1 2 0\n( )\n(_)\nN  \n   \n");
    Domino* d = w.at(0, 1);
    standAt(0, 8);
    ASSERT_TRUE(player.grab());
    player.x = 8;  // over the gap, as if hanging there
    EXPECT_TRUE(player.grab());
    EXPECT_EQ(player.held, nullptr);
    EXPECT_EQ(w.at(1, 1), d);
    w.tick();
    EXPECT_EQ(d->fly, -1);  // and it drops by its own rules
}

TEST(PlayerSettingDown, OccupiedSlotWalksRightOneStepATickAndSetsDownThere)
{
    World w("5 1 0 0 4 0\n(___)\n NN  \n");
    Domino* d = w.at(2, 0);
    standAt(16, 0);
    ASSERT_TRUE(player.grab());
    player.x = 8;
    EXPECT_FALSE(player.grab());
    EXPECT_TRUE(player.releasing);
    EXPECT_EQ(xsOver(w, 7), (std::vector<int>{9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(player.held, d);
    w.tick();
    EXPECT_EQ(player.x, 16);
    EXPECT_EQ(player.held, nullptr);
    EXPECT_EQ(w.at(2, 0), d);
    EXPECT_EQ(xsOver(w, 3), (std::vector<int>{18, 19, 19}));  // winding down
}

TEST(PlayerSettingDown, OnlyTheLeftNeighbourFreeWalksLeft)
{
    World w("6 1 0 0 5 0\n(___).\n  NN N\n");
    Domino* d = w.at(5, 0);
    standAt(40, 0);
    ASSERT_TRUE(player.grab());
    player.x = 16;
    EXPECT_FALSE(player.grab());
    EXPECT_EQ(player.speed, -1);
    w.tick();
    EXPECT_EQ(player.x, 15);
    EXPECT_EQ(player.held, nullptr);
    EXPECT_EQ(w.at(1, 0), d);
}

TEST(PlayerSettingDown, NeitherNeighbourFreeWithAFloorJoinedOnItsLeftDoesNothing)
{
    // Column 0's floor joins column 1 but not a cell to its own left, so it
    // does not qualify; column 2 is taken.
    World w("4 1 0 0 3 0\n(_).\n NNN\n");
    standAt(24, 0);
    ASSERT_TRUE(player.grab());
    player.x = 8;
    EXPECT_FALSE(player.grab());
    EXPECT_FALSE(player.releasing);
    EXPECT_EQ(player.speed, 0);
    EXPECT_NE(player.held, nullptr);
}

class PlayerSetDownWalk : public ::testing::Test {
protected:
    World w{"5 1 0 0 4 0\n(___)\n NN  \n"};

    void SetUp() override
    {
        standAt(16, 0);
        ASSERT_TRUE(player.grab());
        player.x = 8;
        player.grab();
        w.tick(2);
        ASSERT_TRUE(player.releasing);
    }
};

TEST_F(PlayerSetDownWalk, ArrowPressCancelsItAndTheDominoStaysCarried)
{
    player.move(-1);
    w.tick(3);
    EXPECT_FALSE(player.releasing);
    EXPECT_NE(player.held, nullptr);
    EXPECT_LT(player.x, 10);
}

TEST_F(PlayerSetDownWalk, ArrowReleaseCancelsItAndTheDominoStaysCarried)
{
    player.stop();
    w.tick(10);
    EXPECT_FALSE(player.releasing);
    EXPECT_NE(player.held, nullptr);
    EXPECT_EQ(player.x, 11);
}

TEST_F(PlayerSetDownWalk, UpOrDownArrowDoesNotCancelIt)
{
    player.climb(1);
    player.climb(-1);
    EXPECT_TRUE(player.releasing);
    w.tick(6);
    EXPECT_EQ(player.held, nullptr);
}

TEST(PlayerDropping, FallingIntoAFloorlessCellSetsTheCarriedDominoDownThere)
{
    World w("3 2 0 1 2 0\n(  \n(__\nN  \n   \n");
    Domino* d = w.at(0, 1);
    standAt(0, 8);
    ASSERT_TRUE(player.grab());
    player.x = 7;
    player.move(1);
    player.stop();
    w.tick();
    EXPECT_TRUE(player.falling);
    EXPECT_EQ(player.held, nullptr);
    EXPECT_EQ(w.at(1, 1), d);
}

// Standing dominoes in columns 1 and 3, a delay in column 5.
const char* pushable = "7 1 0 0 6 0\n(_____)\n N N D \n";

TEST(PlayerPushing, EmptySlotDoesNotUseUpThePush)
{
    World w(pushable);
    standAt(16, 0);
    player.push(1);
    EXPECT_TRUE(level->canPush());
}

TEST(PlayerPushing, RefusedPushDoesNotCount)
{
    World w(pushable);
    standAt(40, 0);
    player.push(1);
    EXPECT_EQ(w.at(5, 0)->accel, 1);  // the delay took it and counts down
    EXPECT_TRUE(level->canPush());
}

TEST(PlayerPushing, FirstRealPushCountsAndASecondDoesNothing)
{
    World w(pushable);
    standAt(8, 0);
    player.push(1);
    EXPECT_FALSE(level->canPush());
    w.frame();
    EXPECT_EQ(w.at(1, 0)->speed, 1);

    standAt(24, 0);
    player.push(-1);
    w.frame();
    EXPECT_EQ(w.at(3, 0)->speed, 0);
    EXPECT_EQ(w.at(3, 0)->accel, 0);
}

TEST(PlayerPushing, PushWhileCarryingDoesNothing)
{
    World w(pushable);
    standAt(8, 0);
    ASSERT_TRUE(player.grab());
    standAt(24, 0);
    player.push(1);
    w.frame();
    EXPECT_TRUE(level->canPush());
    EXPECT_EQ(w.at(3, 0)->speed, 0);
}

}  // namespace
