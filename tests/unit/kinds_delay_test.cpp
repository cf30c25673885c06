// The delay: a square strike holds the striker back and starts a countdown
// of eight of the delay's own updates; then it falls once, like a standard
// domino, whatever strikes it afterwards.
#include "delay.h"
#include "kinds_support.h"

namespace {

Delay* delayAt(World& w, int x, int y)
{
    return static_cast<Delay*>(w.at(x, y));
}

// Ticks until the delay has been struck; returns how many ticks that took.
int ticksUntilStruck(World& w, Delay* d)
{
    int ticks = 0;
    while (d->timer == 0 && ticks < 100) {
        w.tick();
        ticks++;
    }
    return ticks;
}

// Counts the delay's updates from the tick of the strike (inclusive) up to
// the one in which its angle first changes.
int updatesUntilItTurns(World& w, Delay* d, bool updatedInTheStrikeTick)
{
    int updates = updatedInTheStrikeTick ? 1 : 0;
    while (d->angle == 0 && updates < 100) {
        w.tick();
        updates++;
    }
    return updates;
}

// A striker on the left is updated before the delay: the delay's first
// update after the strike comes later in the same tick.
TEST(DelayCountdown, StrikerUpdatedBeforeItAngleFirstChangesInItsNinthUpdate)
{
    World w("4 1 0 0 3 0\n____\nNND \n");
    Delay* d = delayAt(w, 2, 0);
    player.push(1);
    w.frame();
    EXPECT_EQ(ticksUntilStruck(w, d), 8);
    EXPECT_EQ(updatesUntilItTurns(w, d, true), 9);
    EXPECT_EQ(d->angle, 1);
}

TEST(DelayCountdown, StrikerUpdatedAfterItAngleFirstChangesInItsNinthUpdate)
{
    World w("4 1 3 0 0 0\n____\n DNN\n");
    Delay* d = delayAt(w, 1, 0);
    player.push(-1);
    w.frame();
    EXPECT_EQ(ticksUntilStruck(w, d), 8);
    EXPECT_EQ(updatesUntilItTurns(w, d, false), 9);
    EXPECT_EQ(d->angle, -1);
}

TEST(DelayCountdown, TheStrikerIsHeldBackAtSixtyDegreesWhileItCounts)
{
    World w("4 1 0 0 3 0\n____\nNND \n");
    Domino* striker = w.at(1, 0);
    Delay* d = delayAt(w, 2, 0);
    player.push(1);
    w.frame();
    ticksUntilStruck(w, d);
    w.tick(7);
    EXPECT_EQ(striker->angle, 4);
    EXPECT_EQ(d->angle, 0);
}

TEST(DelayPushedByPlayer, StartsTheCountdownWithoutUsingUpThePush)
{
    World w("2 1 0 0 1 0\n__\nD \n");
    Delay* d = delayAt(w, 0, 0);
    player.push(1);
    EXPECT_TRUE(level->canPush());
    EXPECT_EQ(d->timer, 8);

    w.frame();
    EXPECT_EQ(d->speed, 0) << "the waiting push is not applied by drawing";
    w.tick(8);
    EXPECT_EQ(d->angle, 0);
    w.tick(1);
    EXPECT_EQ(d->angle, 1);
}

TEST(DelayPushedByPlayer, APushTheOtherWayDuringTheCountdownTurnsItWithoutRestarting)
{
    World w("3 1 1 0 2 0\n___\n D \n");
    Delay* d = delayAt(w, 1, 0);
    player.push(1);
    w.tick(3);
    player.push(-1);
    EXPECT_EQ(d->timer, 5);
    w.tick(5);
    EXPECT_EQ(d->angle, 0);
    w.tick(1);
    EXPECT_EQ(d->angle, -1);
}

TEST(DelayCarried, KeepsCountingWhileCarriedAndTurnsOnceSetDown)
{
    World w("2 1 0 0 1 0\n__\nD \n");
    Delay* d = delayAt(w, 0, 0);
    player.push(1);
    ASSERT_TRUE(player.grab());
    w.tick(12);
    EXPECT_EQ(d->timer, 0);
    EXPECT_EQ(d->angle, 0);

    ASSERT_TRUE(player.grab());
    ASSERT_EQ(w.at(0, 0), d);
    w.tick(1);
    EXPECT_EQ(d->angle, 1);
}

// Strikes that arrive after the countdown has run out, while the delay is
// still upright, start no second countdown: the delay falls once.
TEST(DelayFallsOnce, AChainRunsThroughItAndEveryDominoComesToRestSilently)
{
    World w("6 1 0 0 5 0\n______\nNNDNN \n");
    player.push(1);
    w.frame();
    EXPECT_EQ(printedDuring(w, 200), "");

    const int expected[] = {5, 5, 5, 5, 6};
    for (int x = 0; x < 5; x++) {
        EXPECT_EQ(w.at(x, 0)->angle, expected[x]) << "column " << x;
        EXPECT_EQ(w.at(x, 0)->speed, 0) << "column " << x;
    }
    EXPECT_EQ(delayAt(w, 2, 0)->timer, 0);
}

TEST(DelayFallsOnce, LastInTheChainItLiesFlatAndStaysThere)
{
    World w("4 1 0 0 3 0\n____\nNND \n");
    Delay* d = delayAt(w, 2, 0);
    player.push(1);
    w.frame();
    EXPECT_EQ(printedDuring(w, 200), "");
    EXPECT_EQ(d->angle, 6);
    EXPECT_EQ(d->speed, 0);
    EXPECT_TRUE(d->isDone());
}

TEST(DelayDrawing, TwoInterlockingHalvesYellowInFrontRedBehind)
{
    World w("1 1 0 0 0 0\n.\nD\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 10u);

    struct Part {
        float x, y, z;
        bool yellow;
    };
    const Part parts[] = {
        {0, 2.5f, 2, true},             // front
        {0, 2.5f, -2, false},           // back
        {-0.25f, 5, 0, true},           // top, left half
        {0.25f, 5, 0, false},           // top, right half
        {0.25f, 0, 0, true},            // bottom, right half
        {-0.25f, 0, 0, false},          // bottom, left half
        {0.5f, 5 / 3.0f, 2 / 3.0f, true},     // right side, lower front
        {0.5f, 10 / 3.0f, -2 / 3.0f, false},  // right side, upper back
        {-0.5f, 10 / 3.0f, -2 / 3.0f, true},  // left side, upper back
        {-0.5f, 5 / 3.0f, 2 / 3.0f, false},   // left side, lower front
    };
    for (const Part& part : parts) {
        const auto here = only(faces, [&](const Polygon& f) {
            return std::abs(f.centre(0) - part.x) < 1e-3f && std::abs(f.centre(1) - part.y) < 1e-3f
                && std::abs(f.centre(2) - part.z) < 1e-3f;
        });
        ASSERT_EQ(here.size(), 1u) << "face centred at " << part.x << ", " << part.y << ", " << part.z;
        EXPECT_EQ(here[0].isYellow(), part.yellow) << part.x << ", " << part.y << ", " << part.z;
        EXPECT_EQ(here[0].isRed(), !part.yellow) << part.x << ", " << part.y << ", " << part.z;
    }
}

}  // namespace
