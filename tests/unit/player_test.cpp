// The player's movement rules: walking on the grid of eighths, coming out of
// the entrance, falling and landing, ladders, walking into the exit, and the
// player's weight in the camera's aim.
#include "world.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The player's y after each of n ticks.
std::vector<int> heights(World& w, int n)
{
    std::vector<int> ys;
    for (int i = 0; i < n; i++) {
        w.tick();
        ys.push_back(player.y);
    }
    return ys;
}

std::vector<int> columnsOfEighths(World& w, int n)
{
    std::vector<int> xs;
    for (int i = 0; i < n; i++) {
        w.tick();
        xs.push_back(player.x);
    }
    return xs;
}

const char* longFloor = "6 1 0 0 5 0\n(____)\n      \n";

TEST(PlayerWalking, PressAndReleaseBeforeATickMovesExactlyOneStep)
{
    World w(longFloor);
    standAt(0, 0);
    player.move(1);
    player.stop();
    EXPECT_EQ(columnsOfEighths(w, 3), (std::vector<int>{1, 1, 1}));
}

TEST(PlayerWalking, HoldingGoesOneThenTwoStepsAndReleasingAddsTwoThenOne)
{
    World w(longFloor);
    standAt(0, 0);
    player.move(1);
    EXPECT_EQ(columnsOfEighths(w, 5), (std::vector<int>{1, 3, 5, 7, 9}));
    player.stop();
    EXPECT_EQ(columnsOfEighths(w, 3), (std::vector<int>{11, 12, 12}));
    EXPECT_FALSE(player.stopping);
}

TEST(PlayerWalking, LeftArrowWalksTheMirrorImage)
{
    World w(longFloor);
    standAt(24, 0);
    player.move(-1);
    EXPECT_EQ(columnsOfEighths(w, 3), (std::vector<int>{23, 21, 19}));
    player.stop();
    EXPECT_EQ(columnsOfEighths(w, 3), (std::vector<int>{17, 16, 16}));
}

TEST(PlayerEntrance, WalkOutTakesNineTicksAndDoesNotEndTheLevel)
{
    World w(longFloor);
    w.tick();
    EXPECT_EQ(player.z, -8);
    EXPECT_FALSE(levelDone);
    w.tick(7);
    EXPECT_EQ(player.z, -1);
    EXPECT_EQ(player.deltaZ, 1);
    w.tick();
    EXPECT_EQ(player.z, 0);
    EXPECT_EQ(player.deltaZ, 0);
    EXPECT_FALSE(levelDone);
}

TEST(PlayerEntrance, ArrowHeldInTheDoorMovesNothingUntilTheNinthTick)
{
    World w(longFloor);
    player.move(1);
    w.tick(8);
    EXPECT_EQ(player.x, 0);
    w.tick();
    EXPECT_EQ(player.x, 1);  // the ninth tick also walks
}

// Upper floor in columns 0 and 1, nothing above column 2, floor below.
const char* ledge = "4 2 0 1 3 0\n()  \n(__)\n    \n    \n";

TEST(PlayerFalling, WalkingOffAnEdgeFallsOneThenTwoAndLandsExactlyOnTheFloor)
{
    World w(ledge);
    standAt(15, 8);
    player.move(1);
    player.stop();
    EXPECT_EQ(heights(w, 7), (std::vector<int>{8, 7, 5, 3, 1, 0, 0}));
    EXPECT_EQ(player.x, 16);
    EXPECT_FALSE(player.falling);
    EXPECT_EQ(player.vspeed, 0);
}

TEST(PlayerFalling, HorizontalMotionFreezesWhileFallingAndGoesOnAfterLanding)
{
    World w(ledge);
    standAt(14, 8);
    player.move(1);
    EXPECT_EQ(columnsOfEighths(w, 2), (std::vector<int>{15, 17}));
    EXPECT_EQ(columnsOfEighths(w, 5), (std::vector<int>{17, 17, 17, 17, 17}));
    EXPECT_EQ(player.y, 0);
    EXPECT_EQ(columnsOfEighths(w, 2), (std::vector<int>{19, 21}));
}

const char* shortFloor = "3 1 0 0 2 0\n(_)\n   \n";

TEST(PlayerColumns, SevenStepsPastTheLeftEdgeStillStandOnColumnZero)
{
    World w(shortFloor);
    standAt(-5, 0);
    EXPECT_EQ(player.getCell(0), w.cell(0, 0));
    w.tick();
    EXPECT_FALSE(player.falling);
}

TEST(PlayerColumns, NineStepsPastTheLeftEdgeAreOutsideAndFall)
{
    World w(shortFloor);
    standAt(-9, 0);
    EXPECT_EQ(player.getCell(0), &borderCell);
    w.tick();
    EXPECT_TRUE(player.falling);
}

TEST(PlayerColumns, UpdateReportsTheFallOutOnlyBelowThirtyEighthsUnderRowZero)
{
    World w(shortFloor);
    standAt(-16, -30);
    player.falling = true;
    EXPECT_TRUE(player.update());
    standAt(-16, -31);
    player.falling = true;
    EXPECT_FALSE(player.update());
}

// Column 1: no ladder on top, ladders through row 1 and, in the first level,
// on down through row 0.
const char* ladderGoesOn = "3 3 0 2 2 0\n(_)\n(!)\n(!)\n   \n   \n   \n";
const char* ladderEnds = "3 3 0 2 2 0\n(_)\n(!)\n(_)\n   \n   \n   \n";

TEST(PlayerLadders, ClimbingDownPassesAFloorWhereTheLadderGoesOn)
{
    World w(ladderGoesOn);
    standAt(8, 16);
    player.climb(-1);
    EXPECT_EQ(heights(w, 10), (std::vector<int>{15, 13, 11, 9, 7, 5, 3, 1, 0, 0}));
}

TEST(PlayerLadders, ClimbingDownStopsOnTheFloorWhereTheLadderEnds)
{
    World w(ladderEnds);
    standAt(8, 16);
    player.climb(-1);
    EXPECT_EQ(heights(w, 6), (std::vector<int>{15, 13, 11, 9, 8, 8}));
    EXPECT_FALSE(player.falling);
}

TEST(PlayerLadders, DownArrowWithoutALadderBelowDoesNothing)
{
    World w(ladderEnds);
    standAt(0, 16);
    player.climb(-1);
    EXPECT_EQ(player.vspeed, 0);
}

TEST(PlayerLadders, ClimbingOverTheTopLandsOnTheFloorAbove)
{
    World w("3 2 0 0 2 1\n(_)\n(!)\n   \n   \n");
    standAt(8, 0);
    player.climb(1);
    EXPECT_EQ(heights(w, 7), (std::vector<int>{1, 3, 5, 7, 9, 8, 8}));
    EXPECT_FALSE(player.falling);
    EXPECT_EQ(player.vspeed, 0);
}

TEST(PlayerLadders, ReleasingStopsOnTheLadderAtAnyHeight)
{
    World w(ladderGoesOn);
    standAt(8, 0);
    player.climb(1);
    w.tick(2);
    player.stop();
    EXPECT_EQ(heights(w, 3), (std::vector<int>{5, 6, 6}));
    EXPECT_FALSE(player.falling);
}

TEST(PlayerExit, UpArrowInAnOpenedExitWalksInAndEndsTheLevelOnTheNinthTick)
{
    World w(shortFloor);
    standAt(16, 0);
    level->wayOut.open();
    w.tick();
    player.climb(1);
    EXPECT_EQ(player.deltaZ, -1);
    w.tick(8);
    EXPECT_EQ(player.z, -8);
    EXPECT_FALSE(levelDone);
    w.tick();
    EXPECT_TRUE(levelDone);
}

TEST(PlayerExit, UpArrowInAClosedExitOrBesideAnOpenedOneDoesNothing)
{
    World w(shortFloor);
    standAt(16, 0);
    player.climb(1);
    EXPECT_EQ(player.deltaZ, 0);

    level->wayOut.open();
    w.tick();
    standAt(8, 0);
    player.climb(1);
    EXPECT_EQ(player.deltaZ, 0);
}

TEST(PlayerImportance, MovingRaisesItByFiveUpToTwentyOne)
{
    World w(longFloor);
    standAt(0, 0);
    std::vector<int> seen;
    player.move(1);
    for (int i = 0; i < 6; i++) {
        w.tick();
        seen.push_back(player.importance);
    }
    EXPECT_EQ(seen, (std::vector<int>{6, 11, 16, 21, 21, 21}));
}

TEST(PlayerImportance, AfterStoppingItHoldsFiftyTicksThenDecaysOneATickToOne)
{
    World w(longFloor);
    standAt(0, 0);
    player.move(1);
    w.tick(4);
    player.stop();
    w.tick(2);  // the wind-down still counts as moving
    ASSERT_EQ(player.speed, 0);
    w.tick(50);
    EXPECT_EQ(player.importance, 21);
    w.tick();
    EXPECT_EQ(player.importance, 20);
    w.tick(19);
    EXPECT_EQ(player.importance, 1);
    w.tick(5);
    EXPECT_EQ(player.importance, 1);
}

}  // namespace
