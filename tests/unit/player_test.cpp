// The player's movement rules: walking on the grid of eighths, coming out of
// the entrance, falling and landing, ladders, walking into the exit, and the
// player's weight in the camera's aim.
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

const char* longFloor = "6 1 0 0 5 0\n(____)\n      \n";
const char* shortFloor = "3 1 0 0 2 0\n(_)\n   \n";

// A walk starts with a step of 1, goes on with steps of 2 and winds down with
// 2 and 1 after the release; a tap is a single step.
TEST(PlayerWalking, ATapIsOneStepAHeldArrowOneThenTwosAndTheReleaseTwoThenOne)
{
    const struct { const char* name; int from, direction, held; Trace xs; } cases[] = {
        {"tap", 0, 1, 0, {1, 1, 1}},
        {"held right", 0, 1, 5, {1, 3, 5, 7, 9, 11, 12, 12}},
        {"held left", 24, -1, 3, {23, 21, 19, 17, 16, 16}},
    };
    for (const auto& c : cases) {
        World w(longFloor);
        standAt(c.from, 0);
        player.move(c.direction);
        Trace xs = over(w, c.held, player.x);
        player.stop();
        for (int x : over(w, 3, player.x))
            xs.push_back(x);
        EXPECT_EQ(xs, c.xs) << c.name;
        EXPECT_FALSE(player.stopping) << c.name;
    }
}

TEST(PlayerEntrance, TheWalkOutTakesNineTicksAndArrowsWaitForIt)
{
    World w(longFloor);
    player.move(1);
    w.tick();
    EXPECT_EQ(player.z, -8);
    w.tick(7);
    EXPECT_EQ(player.x, 0);
    w.tick();
    EXPECT_EQ(player.z, 0);
    EXPECT_EQ(player.deltaZ, 0);
    EXPECT_EQ(player.x, 1) << "the ninth tick also walks";
    EXPECT_FALSE(levelDone);
}

// Upper floor in columns 0 and 1, nothing above column 2, floor below.
TEST(PlayerFalling, OffAnEdgeItDropsOneThenTwoWithoutDriftingAndLandsExactlyOnTheFloor)
{
    World w("4 2 0 1 3 0\n()  \n(__)\n    \n    \n");
    standAt(14, 8);
    player.move(1);
    EXPECT_EQ(over(w, 7, player.y), (Trace{8, 8, 7, 5, 3, 1, 0}));
    EXPECT_EQ(player.x, 17);
    EXPECT_FALSE(player.falling);
    EXPECT_EQ(player.vspeed, 0);
    EXPECT_EQ(over(w, 2, player.x), (Trace{19, 21}));
}

// Columns truncate toward zero, so column 0 reaches 7 steps past the left edge.
TEST(PlayerOutside, SevenStepsPastTheLeftEdgeStandOnColumnZeroNineFall)
{
    for (const int x : {-5, -9}) {
        World w(shortFloor);
        standAt(x, 0);
        EXPECT_EQ(player.getCell(0), x == -5 ? w.cell(0, 0) : &borderCell) << x;
        w.tick();
        EXPECT_EQ(player.falling, x == -9) << x;
    }
}

TEST(PlayerOutside, LostOnlyBelowThirtyEighthsUnderRowZero)
{
    World w(shortFloor);
    for (const int y : {-30, -31}) {
        standAt(-16, y);
        player.falling = true;
        EXPECT_EQ(player.update(), y == -30) << y;
    }
}

// Column 1 has ladders through row 1 and, in the first level, on through row
// 0; in the second the ladder ends on row 0's floor.
const char* ladderGoesOn = "3 3 0 2 2 0\n(_)\n(!)\n(!)\n   \n   \n   \n";
const char* ladderEnds = "3 3 0 2 2 0\n(_)\n(!)\n(_)\n   \n   \n   \n";

TEST(PlayerLadders, ClimbingStopsOnFloorsWhereTheLadderEndsAndOnReleaseAnywhere)
{
    const struct { const char* name; const char* level; int x, y, direction, releasedAfter; Trace ys; } cases[] = {
        {"down through a floor the ladder goes on below", ladderGoesOn, 8, 16, -1, 10,
         {15, 13, 11, 9, 7, 5, 3, 1, 0, 0}},
        {"down onto the floor where it ends", ladderEnds, 8, 16, -1, 6, {15, 13, 11, 9, 8, 8}},
        {"down with no ladder below", ladderEnds, 0, 16, -1, 2, {16, 16}},
        {"up over the top onto the floor above", "3 2 0 0 2 1\n(_)\n(!)\n   \n   \n", 8, 0, 1, 7,
         {1, 3, 5, 7, 9, 8, 8}},
        {"up, released half-way", ladderGoesOn, 8, 0, 1, 2, {1, 3, 5, 6, 6}},
    };
    for (const auto& c : cases) {
        World w(c.level);
        standAt(c.x, c.y);
        player.climb(c.direction);
        Trace ys = over(w, c.releasedAfter, player.y);
        player.stop();
        for (int y : over(w, int(c.ys.size()) - c.releasedAfter, player.y))
            ys.push_back(y);
        EXPECT_EQ(ys, c.ys) << c.name;
        EXPECT_FALSE(player.falling) << c.name;
        EXPECT_EQ(player.vspeed, 0) << c.name;
    }
}

TEST(PlayerExit, UpArrowWalksOnlyIntoAnOpenedExitAndEndsTheLevelOnTheNinthTick)
{
    World w(shortFloor);
    standAt(16, 0);
    player.climb(1);
    EXPECT_EQ(player.deltaZ, 0) << "closed exit";
    level->wayOut.open();
    w.tick();
    standAt(8, 0);
    player.climb(1);
    EXPECT_EQ(player.deltaZ, 0) << "beside the opened exit";
    standAt(16, 0);
    player.climb(1);
    EXPECT_EQ(player.deltaZ, -1);
    w.tick(8);
    EXPECT_EQ(player.z, -8);
    EXPECT_FALSE(levelDone);
    w.tick();
    EXPECT_TRUE(levelDone);
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

}  // namespace
