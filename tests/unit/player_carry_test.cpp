// Carrying and pushing: what the space bar picks up and sets down, the walk
// aside to a free neighbour, dropping a carried domino into a gap, and the
// level's one push.
#include "world.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Trace = std::vector<int>;

// Picks up the domino in column `from` and stands in column `at` with it.
void carry(int from, int at)
{
    standAt(Player::stepsPerCell * from, 0);
    ASSERT_TRUE(player.grab());
    player.x = Player::stepsPerCell * at;
}

TEST(PlayerPickingUp, OnlyAnUprightStillDominoIsTaken)
{
    const struct { const char* name; const char* dominoes; void (*make)(Domino*); bool taken; } cases[] = {
        {"empty slot", "   ", nullptr, false},
        {"leaning", " N ", [](Domino* d) { d->angle = 2; }, false},
        {"turning", " N ", [](Domino* d) { d->speed = 1; }, false},
        {"broken", " N ", [](Domino* d) { d->broken = true; }, false},
        {"dropping", " N ", [](Domino* d) { d->fly = -1; }, false},
        {"raised", " N ", [](Domino* d) { d->elev = 2; }, false},
        {"upright", " N ", nullptr, true},
    };
    for (const auto& c : cases) {
        World w(std::string("3 1 0 0 2 0\n(_)\n") + c.dominoes + "\n");
        Domino* d = w.at(1, 0);
        if (c.make)
            c.make(d);
        standAt(8, 0);
        EXPECT_EQ(player.grab(), c.taken) << c.name;
        EXPECT_EQ(player.held, c.taken ? d : nullptr) << c.name;
        EXPECT_TRUE(c.taken ? w.at(1, 0)->isBlank() : w.at(1, 0) == d) << c.name;
    }
}

// It then drops by its own rules.
TEST(PlayerSettingDown, AFreeSlotTakesItAtOnceEvenWithoutFloorAndSoDoesFallingIntoOne)
{
    for (const bool falling : {false, true}) {
        SCOPED_TRACE(falling ? "walking off into the gap" : "space over the gap");
        World w("3 2 0 1 2 0\n(  \n(__\nN  \n   \n");
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
        EXPECT_EQ(player.held, nullptr);
        EXPECT_EQ(w.at(1, 1), d);
    }
}

// A neighbour qualifies with both slots free and its floor joined on its left,
// which for the left neighbour is its join to the cell beyond it. The walk
// goes an eighth a tick, sets down in the first free cell and winds down.
TEST(PlayerSettingDown, InATakenSlotItWalksToAQualifyingNeighbourTheRightOneFirst)
{
    const struct { const char* name; const char* level; int from, at, direction; Trace xs; } cases[] = {
        {"both free", "6 1 0 0 5 0\n(____)\n  NN  \n", 3, 2, 1, {17, 18, 19, 20, 21, 22, 23, 24, 26, 27, 27}},
        {"only the left one free", "6 1 0 0 5 0\n(___).\n  NN N\n", 5, 2, -1, {15, 13, 12, 12}},
        {"right one without a join to its left", "4 1 0 0 3 0\n(__.\nNNN \n", 0, 2, 0, {16, 16}},
        {"left one without a join to its left", "4 1 0 0 3 0\n(_).\n NNN\n", 3, 1, 0, {8, 8}},
    };
    for (const auto& c : cases) {
        World w(c.level);
        Domino* d = w.at(c.from, 0);
        carry(c.from, c.at);
        EXPECT_FALSE(player.grab()) << c.name;
        EXPECT_EQ(player.releasing, c.direction != 0) << c.name;
        Trace xs;
        for (size_t i = 0; i < c.xs.size(); i++) {
            w.tick();
            xs.push_back(player.x);
        }
        EXPECT_EQ(xs, c.xs) << c.name;
        EXPECT_EQ(player.held, c.direction ? nullptr : d) << c.name;
        EXPECT_TRUE(!c.direction || w.at(c.at + c.direction, 0) == d) << c.name;
    }
}

// Walking or releasing an arrow gives up the set-down walk, even past a free
// slot; climbing does not.
TEST(PlayerSettingDown, ArrowsLeftRightOrAReleaseCancelTheWalkUpAndDownDoNot)
{
    const struct { const char* name; void (*key)(); bool cancels; } cases[] = {
        {"left arrow", [] { player.move(-1); }, true},
        {"right arrow", [] { player.move(1); }, true},
        {"arrow released", [] { player.stop(); }, true},
        {"up and down arrows", [] { player.climb(1); player.climb(-1); }, false},
    };
    for (const auto& c : cases) {
        World w("6 1 0 0 5 0\n(____)\n  NN  \n");
        carry(3, 2);
        player.grab();
        w.tick(2);
        c.key();
        w.tick(6);
        EXPECT_EQ(player.releasing, false) << c.name;
        EXPECT_EQ(player.held != nullptr, c.cancels) << c.name;
    }
}

// Only a push that a real domino took uses up the level's one push.
TEST(PlayerPushing, OnlyAPushADominoTookUsesUpTheLevelsPush)
{
    const struct { const char* name; char domino; int angle; bool counts; } cases[] = {
        {"upright", 'N', 0, true},
        {"already leaning the push's way", 'N', 2, true},
        {"leaning toward the player", 'N', -2, false},
        {"empty slot", ' ', 0, false},
        {"a delay, which refuses and starts counting", 'D', 0, false},
    };
    for (const auto& c : cases) {
        World w(std::string("3 1 0 0 2 0\n(_)\n ") + c.domino + " \n");
        if (c.angle)
            w.at(1, 0)->angle = c.angle;
        standAt(8, 0);
        player.push(1);
        EXPECT_EQ(level->canPush(), !c.counts) << c.name;
        w.frame();
        if (c.domino == 'N') {
            EXPECT_EQ(w.at(1, 0)->speed, c.angle ? 0 : 1) << c.name;
        }
    }
}

TEST(PlayerPushing, ASecondPushOrOneWhileCarryingDoesNothing)
{
    for (const bool carrying : {true, false}) {
        SCOPED_TRACE(carrying ? "while carrying" : "second push");
        World w("5 1 0 0 4 0\n(___)\n N N \n");
        standAt(8, 0);
        if (carrying)
            player.grab();
        else
            player.push(1);
        player.x = 24;
        player.push(-1);
        w.frame();
        EXPECT_EQ(level->canPush(), carrying);
        EXPECT_TRUE(w.at(3, 0)->speed == 0 && w.at(3, 0)->accel == 0);
    }
}

}  // namespace
