// The player's rules: walking on the grid of eighths, coming out of the
// entrance, falling and landing, ladders, walking into the exit, its weight
// in the camera's aim; picking up, setting down (also by walking aside to a
// free neighbour, or by falling into a gap) and the level's one push.
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

TEST(PlayerEntrance, TheWalkOutTakesNineTicksAndArrowsWaitForIt)
{
    World w(longFloor);
    player.move(1);
    EXPECT_EQ(over(w, 9, player.z), (Trace{-8, -7, -6, -5, -4, -3, -2, -1, 0}));
    EXPECT_EQ(player.deltaZ, 0);
    EXPECT_EQ(player.x, 1) << "the ninth tick also walks";
    EXPECT_FALSE(levelDone);
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

// Columns truncate toward zero, so column 0 reaches 7 steps past the left
// edge; the level is lost only below 30 eighths under row 0.
TEST(PlayerOutside, SevenStepsPastTheLeftEdgeStandOnColumnZeroNineFallAndThirtyOneBelowAreLost)
{
    for (const int x : {-5, -9}) {
        World w(longFloor);
        standAt(x, 0);
        EXPECT_EQ(player.getCell(0), x == -5 ? w.cell(0, 0) : &borderCell) << x;
        w.tick();
        EXPECT_EQ(player.falling, x == -9) << x;
    }
    World w(longFloor);
    for (const int y : {-30, -31}) {
        standAt(-16, y);
        player.falling = true;
        EXPECT_EQ(player.update(), y == -30) << y;
    }
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

TEST(PlayerExit, TheUpArrowWalksOnlyIntoAnOpenedExitAndEndsTheLevelOnTheNinthTick)
{
    World w(longFloor);
    standAt(40, 0);
    player.climb(1);
    EXPECT_EQ(player.deltaZ, 0) << "closed exit";
    level->wayOut.open();
    w.tick();
    standAt(32, 0);
    player.climb(1);
    EXPECT_EQ(player.deltaZ, 0) << "beside the opened exit";
    standAt(40, 0);
    player.climb(-1);
    EXPECT_EQ(player.deltaZ, -1);
    EXPECT_EQ(over(w, 8, player.z), (Trace{-1, -2, -3, -4, -5, -6, -7, -8}));
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

// It then drops by its own rules.
TEST(PlayerSettingDown, AFreeSlotTakesItAtOnceEvenWithoutFloorAndSoDoesFallingIntoOne)
{
    for (const bool falling : {false, true}) {
        World w(R"(3 2 0 1 2 0
                   |N
                   |(
                   |
                   |(__)");
        Domino* d = w.at(0, 1);
        standAt(0, 8);
        ASSERT_TRUE(player.grab());
        if (falling) {
            player.x = 7;
            player.move(1);
            player.stop();
            w.tick();
            EXPECT_TRUE(player.falling);
        } else {
            player.x = 8;
            EXPECT_TRUE(player.grab());
        }
        EXPECT_EQ(player.held, nullptr) << falling;
        EXPECT_EQ(w.at(1, 1), d) << falling;
    }
}

// A neighbour qualifies with both slots free and its floor joined on its left,
// which for the left neighbour is its join to the cell beyond it. The walk
// goes an eighth a tick, sets down in the first free cell and winds down.
TEST(PlayerSettingDown, InATakenSlotItWalksToAQualifyingNeighbourTheRightOneFirst)
{
    const struct {
        const char* name;
        const char* level;
        int from, at, direction;
        Trace xs;
    } cases[] = {
        {"both free",
         R"(|  NN
                         |(____))",
         3,
         2,
         1,
         {17, 18, 19, 20, 21, 22, 23, 24, 26, 27, 27}},
        {"only the left one free",
         R"(|  NN N
                                      |(___).)",
         5,
         2,
         -1,
         {15, 13, 12, 12}},
        {"the right one not joined to its left",
         R"(|NNN
                                                    |(__.)",
         0,
         2,
         0,
         {16, 16}},
        {"the left one not joined to its left",
         R"(| NNN
                                                   |.__))",
         3,
         1,
         0,
         {8, 8}},
    };
    for (const auto& c : cases) {
        World w(c.level);
        Domino* d = w.at(c.from, 0);
        standAt(Player::stepsPerCell * c.from, 0);
        ASSERT_TRUE(player.grab());
        player.x = Player::stepsPerCell * c.at;
        EXPECT_FALSE(player.grab()) << c.name;
        EXPECT_EQ(player.releasing, c.direction != 0) << c.name;
        EXPECT_EQ(over(w, c.xs.size(), player.x), c.xs) << c.name;
        EXPECT_EQ(player.held, c.direction ? nullptr : d) << c.name;
        EXPECT_TRUE(!c.direction || w.at(c.at + c.direction, 0) == d) << c.name;
    }
}

// Walking or releasing an arrow gives up the set-down walk, even past a free
// slot; climbing does not.
TEST(PlayerSettingDown, ArrowsLeftRightOrAReleaseCancelTheWalkUpAndDownDoNot)
{
    const struct {
        const char* name;
        void (*key)();
        bool cancels;
    } cases[] = {
        {"up and down arrows", [] { player.climb(1), player.climb(-1); }, false},
        {"left arrow", [] { player.move(-1); }, true},
        {"right arrow", [] { player.move(1); }, true},
        {"arrow released", [] { player.stop(); }, true},
    };
    for (const auto& c : cases) {
        World w(R"(|  NN
                   |(____))");
        standAt(24, 0);
        ASSERT_TRUE(player.grab());
        player.x = 16;
        player.grab();
        w.tick(2);
        c.key();
        w.tick(6);
        EXPECT_FALSE(player.releasing) << c.name;
        EXPECT_EQ(player.held != nullptr, c.cancels) << c.name;
    }
}

// Only a push that a real domino took uses up the level's one push.
TEST(PlayerPushing, OnlyAPushADominoTookUsesUpTheLevelsPush)
{
    const struct {
        const char* name;
        int angle;
        bool counts;
    } cases[] = {
        {"upright", 0, true},
        {"already leaning the push's way", 2, true},
        {"leaning toward the player", -2, false},
    };
    for (const auto& c : cases) {
        World w(R"(| N
                   |(_))");
        w.at(1, 0)->angle = c.angle;
        standAt(8, 0);
        player.push(1);
        EXPECT_EQ(level->canPush(), !c.counts) << c.name;
        w.frame();
        EXPECT_EQ(w.at(1, 0)->speed, c.angle ? 0 : 1) << c.name;
    }
    World w(R"(|
               |(_))");
    standAt(8, 0);
    EXPECT_FALSE(player.grab() || player.held) << "nothing to pick up";
    player.push(1);
    EXPECT_TRUE(level->canPush()) << "nothing to push";
}

TEST(PlayerPushing, ASecondPushOrOneWhileCarryingDoesNothing)
{
    for (const bool carrying : {false, true}) {
        World w(R"(| N N
                   |(___))");
        standAt(8, 0);
        if (carrying)
            player.grab();
        else
            player.push(1);
        player.x = 24;
        player.push(-1);
        w.frame();
        EXPECT_EQ(level->canPush(), carrying) << carrying;
        EXPECT_TRUE(w.at(3, 0)->speed == 0 && w.at(3, 0)->accel == 0) << carrying;
    }
}

}  // namespace
