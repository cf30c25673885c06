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

// Dominoes are updated in load order: a striker on the left is updated
// before the delay, so the delay's first update after the strike comes later
// in the same tick; a striker on the right strikes after the delay's update.
// Either way the striker, still resting against the delay, strikes again
// after the countdown has run out. Those strikes must start no second
// countdown, or its end would turn the fallen delay a step further (lying
// flat, to 7, with a complaint printed).
TEST(DelayStruckInAChain, TurnsInItsNinthUpdateHoldingTheStrikerBackThenFallsOnceSilently)
{
    const struct { const char* level; int direction, delay, updatesInStrikeTick; std::vector<int> angles; } cases[] = {
        {"4 1 0 0 3 0\n____\nNND \n", 1, 2, 1, {5, 5, 6, 0}},
        {"6 1 0 0 5 0\n______\nNNDNN \n", 1, 2, 1, {5, 5, 5, 5, 6, 0}},
        {"4 1 3 0 0 0\n____\n DNN\n", -1, 1, 0, {0, -6, -5, -5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        World w(c.level);
        Delay* d = delayAt(w, c.delay, 0);
        push(w, c.direction);
        std::string printed = printedDuring(w, 7);
        ASSERT_EQ(d->timer, 0);
        printed += printedDuring(w, 1);
        ASSERT_NE(d->timer, 0) << "struck";
        int updates = c.updatesInStrikeTick;
        for (; d->angle == 0 && updates < 100; updates++)
            printed += printedDuring(w, 1);
        EXPECT_EQ(updates, 9);
        EXPECT_EQ(w.at(c.delay - c.direction, 0)->angle, 4 * c.direction) << "held back at 60 degrees";
        bool recounted = false;
        for (int i = 0; i < 200; i++) {
            printed += printedDuring(w, 1);
            recounted = recounted || d->timer != 0;
        }
        EXPECT_EQ(printed, "");
        EXPECT_FALSE(recounted);
        for (size_t x = 0; x < c.angles.size(); x++) {
            EXPECT_EQ(w.at(x, 0)->angle, c.angles[x]) << "column " << x;
            EXPECT_EQ(w.at(x, 0)->speed, 0) << "column " << x;
        }
    }
}

// The refused strike leaves the level's one push: the player may push again,
// and a push the other way only changes the recorded direction.
TEST(DelayPushedByPlayer, KeepsThePushAndASecondPushTheOtherWayTurnsItWithoutRestarting)
{
    World w("3 1 1 0 2 0\n___\n D \n");
    Delay* d = delayAt(w, 1, 0);
    push(w, 1);
    EXPECT_TRUE(level->canPush());
    w.tick(3);
    push(w, -1);
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
    ASSERT_TRUE(player.grab());
    ASSERT_EQ(w.at(0, 0), d);
    w.tick(1);
    EXPECT_EQ(d->angle, 1);
}

// Yellow in front, red behind, interlocking: each of the top, the bottom
// and the sides is halved, the sides along the diagonal from the bottom back
// edge to the top front edge. The red halves are those on the same side of
// the middle in x and in height.
TEST(DelayDrawing, TwoInterlockingHalvesYellowInFrontRedBehind)
{
    World w("1 1 0 0 0 0\n.\nD\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 10u);
    for (const Polygon& f : faces) {
        const float x = f.centre(0), y = f.centre(1) - 2.5f, z = f.centre(2);
        EXPECT_TRUE(z < -1.9f || x * y > 0 ? isRed(f) : isYellow(f))
            << "face centred at " << x << ", " << y + 2.5f << ", " << z;
    }
    const auto sideHalves = only(faces, [](const Polygon& f) { return f.v.size() == 3; });
    EXPECT_EQ(sideHalves.size(), 4u);
    for (const Polygon& f : sideHalves)
        EXPECT_LT((f.centre(1) - 2.5f) * f.centre(2), 0) << "a side halved along the wrong diagonal";
}

}  // namespace
