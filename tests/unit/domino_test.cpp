// The standard domino's rules, tick by tick: toppling one 15-degree step per
// tick, knocking the next one over at 4 steps, resting at 5, bouncing back,
// lying down, tipping over floor edges, dropping through missing floors,
// breaking what it drops onto; and when it counts as done or may be picked up.
#include "world.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A standard domino that counts its landings.
struct LandCounter : Domino {
    int lands = 0;
    void land() override
    {
        lands++;
        Domino::land();
    }
};

// A domino that will not fall when struck, as some kinds refuse.
struct Unfellable : Domino {
    bool push0(int) override { return false; }
};

// Puts a T in place of the listed domino i, in the same cell and the same
// place in the update order; the level owns it from then on.
template <class T>
T* replace(int i)
{
    Domino* old = level->doms[i];
    Cell* c = old->cell;
    c->leave(old->top);
    delete old;
    T* d = new T;
    level->doms[i] = d;
    d->init(c);
    return d;
}

// Strikes d squarely, as the player's push does, and draws the frame that
// follows, which sets it turning.
void strike(World& w, Domino* d, int direction)
{
    ASSERT_TRUE(d->push(direction, 0));
    w.frame();
}

// The angle of each domino after each of the next n ticks.
std::vector<std::vector<int>> angles(World& w, const std::vector<Domino*>& ds, int n)
{
    std::vector<std::vector<int>> trace(ds.size());
    for (int i = 0; i < n; i++) {
        w.tick();
        for (size_t k = 0; k < ds.size(); k++)
            trace[k].push_back(ds[k]->angle);
    }
    return trace;
}

struct Where {
    int x, y, angle, elev;
    bool operator==(const Where& o) const
    {
        return x == o.x && y == o.y && angle == o.angle && elev == o.elev;
    }
};

std::ostream& operator<<(std::ostream& os, const Where& w)
{
    return os << "cell (" << w.x << ", " << w.y << ") angle " << w.angle << " elev " << w.elev;
}

Where where(Domino* d)
{
    return {d->cell->getX(), d->cell->getY(), d->angle, d->elev};
}

bool inSlot(Domino* d)
{
    return d->cell->getDomino(d->top) == d;
}

TEST(DominoChain, EachKnocksTheNextOverAtFourAndRestsAtFive)
{
    World w("5 1 0 0 4 0\n_____\nNNN  \n");
    Domino* a = w.at(0, 0);
    Domino* b = w.at(1, 0);
    Domino* c = w.at(2, 0);
    strike(w, a, 1);
    const auto trace = angles(w, {a, b, c}, 14);
    EXPECT_EQ(trace[0], (std::vector<int>{1, 2, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(trace[1], (std::vector<int>{0, 0, 0, 0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(trace[2], (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6}));
}

TEST(DominoChain, LastOneLandsOnceAndEveryOneEndsDone)
{
    World w("5 1 0 0 4 0\n_____\nNNN  \n");
    LandCounter* last = replace<LandCounter>(2);
    strike(w, w.at(0, 0), 1);
    w.tick(13);
    EXPECT_EQ(last->lands, 0);
    w.tick();
    EXPECT_EQ(last->lands, 1);
    w.tick(20);
    EXPECT_EQ(last->lands, 1);
    for (int x = 0; x < 3; x++) {
        EXPECT_EQ(w.at(x, 0)->speed, 0) << "column " << x;
        EXPECT_TRUE(w.at(x, 0)->isDone()) << "column " << x;
    }
    EXPECT_EQ(last->angle, 6);
    EXPECT_EQ(w.at(0, 0)->angle, 5);
}

TEST(DominoChain, ArrivingFlatWhileRefusedStopsWithoutLanding)
{
    World w("5 1 0 0 4 0\n_____\nN  N \n");
    LandCounter* d = replace<LandCounter>(0);
    strike(w, d, 1);
    w.tick(5);
    // A domino set down in its path after its top passed over the next cell.
    Domino* other = w.at(3, 0)->grab();
    ASSERT_TRUE(other);
    other->enter(w.cell(1, 0));
    w.tick();
    EXPECT_EQ(d->angle, 6);
    EXPECT_EQ(d->speed, 0);
    EXPECT_EQ(d->lands, 0);
    EXPECT_TRUE(d->isDone());
}

TEST(DominoChain, ArrivingFlatWithTheWayClearLands)
{
    World w("5 1 0 0 4 0\n_____\nN  N \n");
    LandCounter* d = replace<LandCounter>(0);
    strike(w, d, 1);
    w.tick(6);
    EXPECT_EQ(d->angle, 6);
    EXPECT_EQ(d->speed, 0);
    EXPECT_EQ(d->lands, 1);
}

TEST(DominoBounce, ComesBackOffOneThatWillNotFallAndFellsTheOneBehind)
{
    World w("5 1 0 0 4 0\n_____\n NNN \n");
    Domino* behind = w.at(1, 0);
    Domino* d = w.at(2, 0);
    replace<Unfellable>(2);
    strike(w, d, 1);
    const auto trace = angles(w, {behind, d}, 18);
    EXPECT_EQ(trace[1], (std::vector<int>{1, 2, 3, 4, 3, 2, 1, 0, -1, -2, -3, -4, -5, -5, -5, -5, -5, -5}));
    EXPECT_EQ(trace[0], (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, -2, -3, -4, -5, -6}));
    EXPECT_EQ(w.at(3, 0)->angle, 0);
}

TEST(DominoBounce, RestsAtFourWhenTheWayBackIsBlockedToo)
{
    World w("5 1 0 0 4 0\n_____\n NNN \n");
    Domino* left = w.at(1, 0);
    Domino* d = w.at(2, 0);
    replace<Unfellable>(2);
    left->angle = 5;  // resting on d
    strike(w, d, 1);
    const auto trace = angles(w, {d}, 10);
    EXPECT_EQ(trace[0], (std::vector<int>{1, 2, 3, 4, 4, 4, 4, 4, 4, 4}));
    EXPECT_EQ(d->speed, 0);
    EXPECT_TRUE(d->isDone());
    EXPECT_EQ(left->angle, 5);
}

TEST(DominoBounce, OneLeaningBackOntoItHoldsItAtTheFirstStep)
{
    World w("4 1 0 0 3 0\n____\n NN \n");
    Domino* d = w.at(1, 0);
    Domino* leaning = w.at(2, 0);
    leaning->angle = -5;  // resting on d
    strike(w, d, 1);
    const auto trace = angles(w, {d, leaning}, 5);
    EXPECT_EQ(trace[0], std::vector<int>(5, 1));
    EXPECT_EQ(trace[1], std::vector<int>(5, -5));
    EXPECT_EQ(d->speed, 0);
}

TEST(DominoEdge, TipsOverAFloorEdgeDropsARowAndToppleOn)
{
    World w("5 2 0 0 4 0\n_)   \n_____\n N   \n     \n");
    Domino* d = w.at(1, 1);
    strike(w, d, 1);
    w.tick(6);
    EXPECT_EQ(where(d), (Where{2, 1, -6, 0}));
    EXPECT_EQ(d->speed, 1);
    EXPECT_TRUE(w.at(1, 1)->isBlank());
    EXPECT_TRUE(inSlot(d));

    w.tick();
    EXPECT_EQ(where(d), (Where{2, 1, -5, 0}));
    EXPECT_EQ(d->fly, -1);
    w.tick(5);
    EXPECT_EQ(where(d), (Where{2, 1, 0, -5}));
    w.tick();
    EXPECT_EQ(where(d), (Where{2, 0, 0, 0}));
    EXPECT_EQ(d->fly, 0);
    EXPECT_EQ(d->speed, 1);
    EXPECT_TRUE(w.at(2, 1)->isBlank());

    const auto onward = angles(w, {d}, 6);
    EXPECT_EQ(onward[0], (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(where(d), (Where{2, 0, 6, 0}));
    EXPECT_TRUE(d->isDone());
}

TEST(DominoEdge, LyingWithFloorAheadStaysPut)
{
    World w("5 2 0 0 4 0\n___  \n_____\n N   \n     \n");
    Domino* d = w.at(1, 1);
    strike(w, d, 1);
    w.tick(10);
    EXPECT_EQ(where(d), (Where{1, 1, 6, 0}));
    EXPECT_EQ(d->fly, 0);
}

TEST(DominoDrop, UprightDominoDropsStraightDownWhenItsFloorGoes)
{
    World w("2 2 0 0 1 0\n. \n__\nN \n  \n");
    Domino* d = w.at(0, 1);
    w.cell(0, 1)->setFloor(0);
    w.tick(6);
    EXPECT_EQ(where(d), (Where{0, 1, 0, -5}));
    EXPECT_EQ(d->fly, -1);
    EXPECT_FALSE(d->isDone());
    w.tick();
    EXPECT_EQ(where(d), (Where{0, 0, 0, 0}));
    EXPECT_EQ(d->fly, 0);
    EXPECT_EQ(d->speed, 0);
    EXPECT_TRUE(inSlot(d));
    EXPECT_TRUE(w.at(0, 1)->isBlank());
    w.tick(5);
    EXPECT_EQ(where(d), (Where{0, 0, 0, 0}));
}

TEST(DominoDrop, DroppingOntoADominoBreaksItAndLeavesTheArrivalOutOfPlay)
{
    World w("2 2 0 0 1 0\n. \n__\nN \nN \n");
    Domino* upper = w.at(0, 1);
    Domino* lower = w.at(0, 0);
    w.cell(0, 1)->setFloor(0);
    w.tick(7);
    EXPECT_TRUE(lower->broken);
    EXPECT_EQ(w.at(0, 0), lower);
    EXPECT_FALSE(lower->isDone());

    EXPECT_FALSE(upper->broken);
    EXPECT_EQ(upper->cell, w.cell(0, 0));
    EXPECT_FALSE(inSlot(upper));
    EXPECT_TRUE(w.at(0, 1)->isBlank());
    EXPECT_TRUE(upper->isDone());
    w.tick(10);
    EXPECT_EQ(where(upper), (Where{0, 0, 0, 0}));
    EXPECT_EQ(w.at(0, 0), lower);
}

// One domino in the middle of a floor, set into each state by hand.
class DominoState : public testing::Test {
protected:
    World w{"3 1 0 0 2 0\n___\n N \n"};
    Domino* d = w.at(1, 0);

    void set(int angle, int speed, int fly = 0, int elev = 0)
    {
        d->angle = angle;
        d->speed = speed;
        d->fly = fly;
        d->elev = elev;
    }
};

using DominoDone = DominoState;

TEST_F(DominoDone, UprightInItsSlotIsNotDone)
{
    EXPECT_FALSE(d->isDone());
}

TEST_F(DominoDone, CarriedIsDone)
{
    ASSERT_EQ(d->grab(), d);
    EXPECT_TRUE(d->isDone());
}

TEST_F(DominoDone, RestingWhileLeaningIsDoneButMovingIsNot)
{
    set(3, 0);
    EXPECT_TRUE(d->isDone());
    set(3, 1);
    EXPECT_FALSE(d->isDone());
    set(3, 0, -1);
    EXPECT_FALSE(d->isDone());
}

TEST_F(DominoDone, LyingEitherWayIsDone)
{
    set(6, 0);
    EXPECT_TRUE(d->isDone());
    set(-6, 0);
    EXPECT_TRUE(d->isDone());
}

TEST_F(DominoDone, BrokenIsNeverDone)
{
    set(6, 0);
    d->broken = true;
    EXPECT_FALSE(d->isDone());
}

using DominoGrab = DominoState;

TEST_F(DominoGrab, UprightStillDominoLeavesItsSlot)
{
    EXPECT_EQ(d->grab(), d);
    EXPECT_TRUE(w.at(1, 0)->isBlank());
    EXPECT_EQ(d->cell, w.cell(1, 0));
}

TEST_F(DominoGrab, PendingPushDoesNotPreventIt)
{
    d->accel = 1;
    EXPECT_EQ(d->grab(), d);
}

TEST_F(DominoGrab, LeaningMovingFlyingRaisedBrokenOrSlotOneIsRefused)
{
    const struct {
        const char* state;
        int angle, speed, fly, elev, top;
        bool broken;
    } refused[] = {
        {"leaning", 2, 0, 0, 0, 0, false},  {"lying", 6, 0, 0, 0, 0, false},
        {"starting to fall", 0, 1, 0, 0, 0, false}, {"dropping", 0, 0, -1, 0, 0, false},
        {"raised", 0, 0, 0, 1, 0, false},   {"broken", 0, 0, 0, 0, 0, true},
        {"in slot 1", 0, 0, 0, 0, 1, false},
    };
    for (const auto& r : refused) {
        set(r.angle, r.speed, r.fly, r.elev);
        d->top = r.top;
        d->broken = r.broken;
        EXPECT_EQ(d->grab(), nullptr) << r.state;
        EXPECT_EQ(w.at(1, 0), d) << r.state;
    }
}

using DominoPush = DominoState;

TEST_F(DominoPush, UprightDominoStruckSquarelyRecordsThePush)
{
    EXPECT_TRUE(d->push(-1, 0));
    EXPECT_EQ(d->accel, -1);
    EXPECT_EQ(d->speed, 0);
    EXPECT_EQ(d->angle, 0);
    w.frame();
    EXPECT_EQ(d->speed, -1);
    EXPECT_EQ(d->accel, 0);
}

TEST_F(DominoPush, LeaningAwayLetsThePusherOnUnchanged)
{
    set(2, 0);
    EXPECT_TRUE(d->push(1, 0));
    EXPECT_EQ(d->angle, 2);
    EXPECT_EQ(d->speed, 0);
    EXPECT_EQ(d->accel, 0);
}

TEST_F(DominoPush, LeaningTowardThePusherRefusesIt)
{
    set(-2, 0);
    EXPECT_FALSE(d->push(1, 0));
    EXPECT_EQ(d->accel, 0);
}

TEST_F(DominoPush, LyingIntoItsCellIsAlwaysRefused)
{
    EXPECT_FALSE(d->push(1, 6));
    EXPECT_FALSE(d->push(-1, -6));
    EXPECT_EQ(d->accel, 0);
}

TEST_F(DominoPush, UnknownContactIsRefusedWithAMessage)
{
    testing::internal::CaptureStdout();
    EXPECT_FALSE(d->push(1, 3));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bad push direction\n");
    EXPECT_EQ(d->accel, 0);
}

}  // namespace
