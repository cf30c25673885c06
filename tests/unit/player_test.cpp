// The player's rules: walking on the grid of eighths, falling and landing,
// ladders, its weight in the camera's aim, setting a domino down by walking
// aside to a free neighbour, and the level's one push.
#include "world.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Trace = std::vector<int>;

// The value of one of the player's fields after each of the next n ticks.
Trace over(World& w, int n, const int& field)
{
    Trace seen;
    for (int i = 0; i < n; i++) {
        w.tick();
        seen.push_back(field);
    }
    return seen;
}

Trace operator+(Trace a, const Trace& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const char* const longFloor = R"(|
                                 |(____))";

// A walk starts with a step of 1, goes on with steps of 2 and winds down with
// 2 and 1 after the release; a tap is a single step.
TEST(PlayerWalking, ATapIsOneStepAHeldArrowOneThenTwosAndTheReleaseTwoThenOne)
{
    const struct {
        const char* name;
        int from, direction, held;
        Trace xs;
    } cases[] = {
        {"tap", 0, 1, 0, {1, 1, 1}},
        {"held right", 0, 1, 5, {1, 3, 5, 7, 9, 11, 12, 12}},
        {"held left", 24, -1, 3, {23, 21, 19, 17, 16, 16}},
    };
    for (const auto& c : cases) {
        World w(longFloor);
        standAt(c.from, 0);
        player.move(c.direction);
        const Trace held = over(w, c.held, player.x);
        player.stop();
        EXPECT_EQ(held + over(w, 3, player.x), c.xs) << c.name;
        EXPECT_FALSE(player.stopping) << c.name;
    }
}

// Upper floor in columns 0 and 1, nothing above column 2, floor below.
TEST(PlayerFalling, OffAnEdgeItDropsOneThenTwoWithoutDriftingAndLandsExactlyOnTheFloor)
{
    World w(R"(4 2 0 1 3 0
               |
               |()
               |
               |(__))");
    standAt(14, 8);
    player.move(1);
    EXPECT_EQ(over(w, 7, player.y), (Trace{8, 8, 7, 5, 3, 1, 0}));
    EXPECT_EQ(player.x, 17);
    EXPECT_FALSE(player.falling);
    EXPECT_EQ(player.vspeed, 0);
    EXPECT_EQ(over(w, 2, player.x), (Trace{19, 21}));
}

// Column 1's ladder goes on down through row 0's floor; column 3's ends on it.
TEST(PlayerLadders, ClimbingStopsOnFloorsWhereTheLadderEndsAndOnReleaseAnywhere)
{
    const struct {
        const char* name;
        int x, y, direction, releasedAfter;
        Trace ys;
    } cases[] = {
        {"down through a floor the ladder goes on below", 8, 16, -1, 10, {15, 13, 11, 9, 7, 5, 3, 1, 0, 0}},
        {"down onto the floor where it ends", 24, 16, -1, 6, {15, 13, 11, 9, 8, 8}},
        {"down with no ladder below", 0, 16, -1, 2, {16, 16}},
        {"up over the top onto the floor above", 8, 8, 1, 7, {9, 11, 13, 15, 17, 16, 16}},
        {"up, released half-way", 8, 0, 1, 2, {1, 3, 5, 6, 6}},
    };
    for (const auto& c : cases) {
        World w(R"(5 3 0 2 4 0
                   |
                   |(_ _)
                   |
                   |(! !)
                   |
                   |(! _))");
        standAt(c.x, c.y);
        player.climb(c.direction);
        const Trace climbed = over(w, c.releasedAfter, player.y);
        player.stop();
        EXPECT_EQ(climbed + over(w, int(c.ys.size()) - c.releasedAfter, player.y), c.ys) << c.name;
        EXPECT_FALSE(player.falling) << c.name;
        EXPECT_EQ(player.vspeed, 0) << c.name;
    }
}

// The wind-down after a release still counts as moving.
TEST(PlayerImportance, RisesByFiveWhileMovingHoldsFiftyTicksAfterThenDecaysToOne)
{
    World w(longFloor);
    standAt(0, 0);
    EXPECT_EQ(player.importance, 1);
    player.move(1);
    EXPECT_EQ(over(w, 5, player.importance), (Trace{6, 11, 16, 21, 21}));
    player.stop();
    w.tick(2);
    ASSERT_EQ(player.speed, 0);
    w.tick(50);
    EXPECT_EQ(player.importance, 21);
    EXPECT_EQ(over(w, 21, player.importance),
              (Trace{20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 1}));
}

// A neighbour qualifies with both slots free and its floor joined on its left,
// which for the left neighbour is its join to the cell beyond it. The walk
// goes an eighth a tick, sets down in the first free cell and winds down.
// Rows: both neighbours free, so the right one; only the left one free; the
// right one not joined to its left; the left one not joined to its left.
TEST(PlayerSettingDown, InATakenSlotItWalksToAQualifyingNeighbourTheRightOneFirst)
{
    const struct {
        int from, at, direction;
        Trace xs;
        const char* level;
    } cases[] = {
        {3, 2, 1, {17, 18, 19, 20, 21, 22, 23, 24, 26, 27, 27}, R"(|  NN
                                                                   |(____))"},
        {5, 2, -1, {15, 13, 12, 12}, R"(|  NN N
                                        |(___).)"},
        {0, 2, 0, {16, 16}, R"(|NNN
                               |(__.)"},
        {3, 1, 0, {8, 8}, R"(| NNN
                             |.__))"},
    };
    for (const auto& c : cases) {
        World w(c.level);
        Domino* d = w.at(c.from, 0);
        standAt(Player::stepsPerCell * c.from, 0);
        ASSERT_TRUE(player.grab());
        player.x = Player::stepsPerCell * c.at;
        EXPECT_FALSE(player.grab()) << c.level;
        EXPECT_EQ(player.releasing, c.direction != 0) << c.level;
        EXPECT_EQ(over(w, c.xs.size(), player.x), c.xs) << c.level;
        EXPECT_EQ(player.held, c.direction ? nullptr : d) << c.level;
        EXPECT_TRUE(!c.direction || w.at(c.at + c.direction, 0) == d) << c.level;
    }
}

}  // namespace
