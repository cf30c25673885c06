// The nine kinds that specialise the standard domino, each by its own rules:
// the blocker refuses, the vanish disappears, the bridge and the boomer change
// the floors, the splitter parts, the delay waits, the flyer rises and the
// looping domino tumbles on. What a replay of a fixture level already proves
// (tests/replay/fixtures) is not repeated here.
#include "world.h"

#include "delay.h"
#include "splitter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Ints = std::vector<int>;

// Strikes the domino at (x, y) squarely, as a push does; the frame drawn next
// applies it, as in the game.
void strike(World& w, int x, int y, int direction)
{
    w.at(x, y)->push(direction, Domino::contactSquare);
    w.frame();
}

// The floor codes of row y, from column 0: 1 a slab, 2 joined on the left, 4
// joined on the right.
Ints floors(World& w, int y)
{
    Ints codes;
    for (int x = 0; x < level->wid; x++)
        codes.push_back(w.cell(x, y)->getFloor());
    return codes;
}

// The level's one push is spent only on a domino that takes it; a blocker is
// done upright or broken, where a standard domino is neither.
TEST(Blocker, RefusesThePlayersPushAndIsDoneUprightOrBroken)
{
    World w(R"(|WN
               |___)");
    EXPECT_EQ(Ints({w.at(0, 0)->isDone(), w.at(1, 0)->isDone()}), Ints({true, false}));
    player.push(1);
    w.tick(5);
    EXPECT_EQ(w.at(0, 0)->angle, 0);
    EXPECT_TRUE(level->canPush());
    standAt(8, 0);
    player.push(1);
    w.tick(5);
    EXPECT_EQ(w.at(1, 0)->angle, 4) << "applied by the frame after the first tick";
    EXPECT_FALSE(level->canPush());
    w.at(0, 0)->boom();
    w.at(1, 0)->boom();
    EXPECT_EQ(Ints({w.at(0, 0)->isDone(), w.at(1, 0)->isDone()}), Ints({true, false}));
}

// The striker swings back when the cell behind is free, and rests at 4 steps
// when the domino there already rests on it.
TEST(Blocker, StopsAFallTheStrikerSwingsBackOrRestsAtFourSteps)
{
    World w(R"(| NW NNW
               |________)");
    strike(w, 1, 0, 1);
    strike(w, 4, 0, 1);
    w.tick(30);
    EXPECT_EQ(Ints({w.at(1, 0)->angle, w.at(5, 0)->angle, w.at(2, 0)->angle, w.at(6, 0)->angle}),
              Ints({-6, 4, 0, 0}));
    EXPECT_EQ(Ints({w.at(1, 0)->speed, w.at(5, 0)->speed}), Ints({0, 0}));
}

// It goes by its lean alone, whether its strike was taken or not, leaving its
// cell free for another domino.
TEST(Vanish, StrikesAtFourStepsAndIsGoneInThatTickEvenWhenTheStrikeIsRefused)
{
    World w(R"(|V NVN VW
               |________)");
    Domino* v = w.at(0, 0);
    strike(w, 0, 0, -1);
    strike(w, 2, 0, 1);
    strike(w, 6, 0, 1);
    w.tick(3);
    EXPECT_EQ(Ints({w.at(0, 0) == v, v->angle, w.at(6, 0)->angle}), Ints({true, -3, 3}));
    w.tick(1);
    EXPECT_EQ(Ints({w.at(0, 0)->isBlank(), w.at(6, 0)->isBlank(), v->isDone()}), Ints({true, true, true}));
    w.tick(3);
    EXPECT_EQ(Ints({w.at(3, 0)->angle, w.at(4, 0)->speed}), Ints({3, 0}));
    w.tick(1);
    EXPECT_EQ(Ints({w.at(3, 0)->isBlank(), w.at(4, 0)->speed}), Ints({true, 1})) << "struck before it went";
    standAt(56, 0);
    ASSERT_TRUE(player.grab());
    standAt(48, 0);
    EXPECT_TRUE(player.grab());
}

// No level brings a tipping vanish into an occupied cell today: it would have
// to drop while already leaning. Set up by hand, it must leave the domino it
// collided with in that domino's slot.
TEST(Vanish, LeftOutOfPlayByACollisionItDoesNotEvictTheDominoThatHoldsTheSlot)
{
    World w(R"(2 2 1 0 1 0
               | V
               |
               | N
               | _)");
    Domino* v = w.at(1, 1);
    Domino* below = w.at(1, 0);
    v->fly = -1;
    v->elev = -5;
    v->angle = 3;
    v->speed = 1;
    w.tick(1);
    ASSERT_EQ(v->cell, w.cell(1, 0));
    EXPECT_TRUE(below->broken);
    EXPECT_EQ(w.at(1, 0), below) << "the debris stays in its slot";
}

// Landing across a one-cell gap with floor two cells on, within the grid, it
// joins the floors and, unless its own floor already reached toward the gap,
// becomes floor itself; without floor beyond, it falls into the gap.
TEST(Bridge, JoinsTheFloorsOnlyWithFloorTwoCellsOn)
{
    const struct {
        const char* level;
        Ints directions;  // each bridge's, from the left
        Ints floors;
        const char* ends;  // each bridge's: floor, lying, or in a gap
    } cases[] = {
        {R"(|B   B
            |. ...  )",
         {1, 1},
         {5, 7, 3, 1, 1, 0, 0},
         "fg"},
        {R"(|  B   B
            |. .   .)",
         {-1, 1},
         {5, 7, 3, 0, 0, 0, 1},
         "fg"},
        {R"(|B  B
            |( .... )",
         {1, 1},
         {5, 7, 3, 5, 7, 3, 0},
         "lf"},
    };
    for (const auto& c : cases) {
        World w(c.level);
        std::vector<Domino*> bridges;
        for (int x = 0; x < level->wid; x++)
            if (!w.at(x, 0)->isBlank())
                bridges.push_back(w.at(x, 0));
        for (size_t i = 0; i < bridges.size(); i++)
            strike(w, bridges[i]->cell->getX(), 0, c.directions[i]);
        w.tick(30);
        EXPECT_EQ(floors(w, 0), c.floors) << c.level;
        EXPECT_EQ(borderCell.getFloor(), 0);
        for (size_t i = 0; i < bridges.size(); i++) {
            Domino* b = bridges[i];
            const char ends = b->cell->getY() < 0 ? 'g' : b->cell->getDomino(0) == b ? 'l' : 'f';
            EXPECT_EQ(ends, c.ends[i]) << c.level << " bridge " << i;
        }
    }
}

// Lying flat it explodes, leaves the level and blows away its own floor,
// cutting the neighbours' joins toward the hole; at the grid's edge only one
// neighbour is there; resting on a domino it never explodes.
TEST(Boomer, ExplodesOnlyLyingFlatAndCutsTheNeighboursJoinsEitherWay)
{
    const struct {
        const char* level;
        std::vector<std::pair<int, int>> pushes;  // column and direction
        Ints floors;
    } cases[] = {
        {R"(| X   X
            |___......)",
         {{1, 1}, {5, -1}},
         {3, 0, 5, 1, 1, 0, 1, 1, 1}},
        {R"(|X   XN
            |(_)______)",
         {{0, 1}, {4, 1}},
         {0, 5, 3, 7, 7, 7, 7, 7, 7}},
    };
    for (const auto& c : cases) {
        World w(c.level);
        for (const auto& [x, direction] : c.pushes)
            strike(w, x, 0, direction);
        w.tick(30);
        EXPECT_EQ(floors(w, 0), c.floors) << c.level;
        EXPECT_EQ(borderCell.getFloor(), 0);
    }
}

// It lets the striker lean in like an upright domino, then parts at 60
// degrees: the far half falls on, the near half tips back onto the striker.
TEST(Splitter, StruckByANeighbourTheFarHalfFallsOnTheNearHalfRestsOnTheStriker)
{
    World w(R"(|NS  SN
               |______)");
    strike(w, 0, 0, 1);
    strike(w, 5, 0, -1);
    w.tick(30);
    for (const int direction : {1, -1}) {
        const int x = direction > 0 ? 1 : 4;
        Splitter* s = static_cast<Splitter*>(w.at(x, 0));
        Domino* striker = w.at(x - direction, 0);
        EXPECT_EQ(Ints({striker->angle, striker->speed}), Ints({5 * direction, 0})) << "75 degrees";
        EXPECT_EQ(Ints({s->angle, s->speed, s->angle2, s->speed2}), Ints({6 * direction, 0, -direction, 0}));
    }
}

// Dropped on, it splits and breaks nothing; the dropped domino is out of
// play. Dropping itself, its shared vertical motion runs once per half: a row
// every three ticks, twice a standard domino's speed.
TEST(Splitter, ADominoDroppedOnItSplitsItAndItDropsARowEveryThreeTicks)
{
    World w(R"(|    S
               |
               | N
               |
               | S
               |_____)");
    Domino* dropped = w.at(1, 1);
    Splitter* s = static_cast<Splitter*>(w.at(1, 0));
    Domino* falling = w.at(4, 2);
    w.tick(4);
    EXPECT_EQ(falling->cell, w.cell(4, 1));
    w.tick(3);
    EXPECT_EQ(Ints({falling->cell == w.cell(4, 0), falling->fly}), Ints({true, 0}));
    w.tick(10);
    EXPECT_EQ(w.at(1, 0), s);
    EXPECT_NE(dropped->cell->getDomino(dropped->top), dropped);
    EXPECT_FALSE(dropped->broken || s->broken);
    EXPECT_EQ(Ints({s->angle, s->angle2}), Ints({6, -6}));
}

// Dominoes are updated in load order: a striker on the left is updated before
// the delay, a striker on the right after it. Either way the striker, still
// resting against the delay, strikes again after the countdown has run out;
// those strikes must start no second countdown, or its end would turn the
// fallen delay a step further (lying flat, to 7, with a complaint printed).
TEST(Delay, StruckInAChainItTurnsInItsNinthUpdateHoldingTheStrikerBackThenFallsOnceSilently)
{
    const struct {
        const char* level;
        int direction, delay, updatesInStrikeTick;
        Ints angles;
    } cases[] = {
        {R"(|NNDNN
            |______)",
         1,
         2,
         1,
         {5, 5, 5, 5, 6, 0}},
        {R"(4 1 3 0 0 0
            | DNN
            |____)",
         -1,
         1,
         0,
         {0, -6, -5, -5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        World w(c.level);
        Delay* d = static_cast<Delay*>(w.at(c.delay, 0));
        strike(w, c.delay - 2 * c.direction, 0, c.direction);
        testing::internal::CaptureStdout();
        w.tick(8);
        EXPECT_NE(d->timer, 0) << "struck";
        int updates = c.updatesInStrikeTick;
        for (; d->angle == 0 && updates < 100; updates++)
            w.tick();
        EXPECT_EQ(updates, 9);
        EXPECT_EQ(w.at(c.delay - c.direction, 0)->angle, 4 * c.direction) << "held back at 60 degrees";
        bool recounted = false;
        for (int i = 0; i < 200; i++) {
            w.tick();
            recounted = recounted || d->timer != 0;
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_FALSE(recounted);
        Ints angles;
        for (int x = 0; x < level->wid; x++)
            angles.push_back(w.at(x, 0)->angle);
        EXPECT_EQ(angles, c.angles);
    }
}

// A push the other way during the countdown only changes the direction it
// will fall in; carried, it keeps counting and turns once set down.
TEST(Delay, ASecondPushTurnsItWithoutRestartingAndCarriedItKeepsCounting)
{
    World w(R"(3 1 1 0 2 0
               | DD
               |___)");
    Delay* pushedTwice = static_cast<Delay*>(w.at(1, 0));
    Delay* carried = static_cast<Delay*>(w.at(2, 0));
    strike(w, 1, 0, 1);
    strike(w, 2, 0, 1);
    standAt(16, 0);
    ASSERT_TRUE(player.grab());
    w.tick(3);
    strike(w, 1, 0, -1);
    w.tick(5);
    EXPECT_EQ(Ints({pushedTwice->angle, carried->timer}), Ints({0, 0}));
    w.tick(1);
    EXPECT_EQ(pushedTwice->angle, -1);
    ASSERT_TRUE(player.grab());
    w.tick(1);
    EXPECT_EQ(Ints({w.at(2, 0) == carried, carried->angle}), Ints({true, 1}));
}

// Its elev is in sixths of a row; at 2 its top meets the ceiling. Pushed, it
// takes off into the upper slot, rises, tips hanging from its top edge and
// lies flat against the ceiling; tipping, it strikes both slots of the next
// cell, launching a flyer standing there.
TEST(Flyer, PushedItRisesTwoTicksThenTipsHangingFromTheCeilingAndLiesFlatAgainstIt)
{
    World w(R"(|
               |___
               |FF
               |___)");
    Domino* f = w.at(0, 0);
    Domino* next = w.at(1, 0);
    player.push(1);
    w.frame();
    EXPECT_FALSE(level->canPush());
    EXPECT_EQ(w.at(0, 0, 1), f);
    EXPECT_EQ(w.at(0, 0, 0), &blank);
    w.tick(2);
    EXPECT_EQ(Ints({f->elev, f->angle}), Ints({2, 0}));
    w.tick(4);
    EXPECT_EQ(Ints({f->angle, w.at(1, 0, 1) == next, next->speed}), Ints({4, true, 1}));
    w.tick(20);
    EXPECT_EQ(Ints({f->elev, f->angle}), Ints({2, 5}));
    EXPECT_EQ(f->cell, w.cell(0, 0));
    EXPECT_TRUE(f->isDone());
}

TEST(Flyer, LyingFlatAtACeilingEdgeItSwingsUpOneRowAndOneColumnLeaningTheOtherWay)
{
    World w(R"(|
               | __
               |
               |(
               |F
               |___)");
    Domino* f = w.at(0, 0);
    strike(w, 0, 0, 1);
    w.tick(8);
    EXPECT_EQ(f->cell, w.cell(1, 1));
    EXPECT_EQ(Ints({f->angle, f->elev, f->speed, f->fly}), Ints({-6, -4, 1, 1}));
    w.tick(6);
    EXPECT_EQ(Ints({f->angle, f->elev}), Ints({0, 2})) << "swung back upright as it rose";
}

// Resting upright at the ceiling it is not done, and a square strike on it is
// taken and ignored.
TEST(Flyer, PlacedWithoutFloorItRisesByItselfAndAStrikeAtTheCeilingChangesNothing)
{
    World w(R"(|
               | .
               |NF
               |_ _)");
    Domino* f = w.at(1, 0);
    w.tick(3);
    ASSERT_EQ(f->elev, 2);
    EXPECT_EQ(w.at(1, 0, 0), f);
    EXPECT_FALSE(f->isDone());
    strike(w, 0, 0, 1);
    w.tick(30);
    EXPECT_EQ(Ints({f->angle, f->speed, f->elev}), Ints({0, 0, 2}));
    EXPECT_EQ(f->cell, w.cell(1, 0));
    EXPECT_EQ(w.at(0, 0)->angle, 5) << "the striker rests against it";
}

// Leaning at rest at the ceiling, held by the domino it leans toward, with
// no floor above any more (blown away): it rises on into the row above,
// turning back upright as it goes.
TEST(Flyer, LeaningAtRestUnderNoCeilingItRisesTurningBackUpright)
{
    for (const int angle : {1, -1}) {
        World w(R"(|
                   |
                   |NFN
                   |___)");
        Domino* f = w.at(1, 0);
        w.cell(1, 0)->leave(0);
        f->top = 1;
        f->enter(w.cell(1, 0));
        f->elev = 2;
        f->angle = angle;
        w.at(0, 0)->angle = 5;
        w.at(2, 0)->angle = -5;
        w.tick(1);
        EXPECT_EQ(Ints({f->cell->getY(), f->speed, f->fly}), Ints({1, -angle, 1})) << angle;
    }
}

// Six ticks to fall, six to stand up again in the next cell, and so on.
TEST(Looping, TumblesOnTwelveTicksACell)
{
    World w(R"(|L
               |_____)");
    Domino* l = w.at(0, 0);
    strike(w, 0, 0, 1);
    for (int tick = 1; tick <= 18; tick++) {
        w.tick();
        EXPECT_EQ(l->cell->getX(), tick < 6 ? 0 : tick < 18 ? 1 : 2) << "tick " << tick;
    }
    EXPECT_EQ(l->angle, -6) << "handed over lying on the same spot";
}

// The domino it has felled still holds the next cell, so it never lands; off a
// blocker it turns back and tumbles the other way.
TEST(Looping, AgainstAStandardDominoItRestsAtFiveStepsOffABlockerItTurnsBack)
{
    World w(R"(|LN    LW
               |________)");
    Domino* stopped = w.at(0, 0);
    Domino* back = w.at(6, 0);
    strike(w, 0, 0, 1);
    strike(w, 6, 0, 1);
    w.tick(14);
    EXPECT_EQ(back->cell, w.cell(5, 0));
    w.tick(12);
    EXPECT_EQ(back->cell, w.cell(4, 0));
    EXPECT_EQ(back->speed, -1);
    EXPECT_EQ(Ints({w.at(1, 0)->angle, stopped->angle, stopped->speed}), Ints({6, 5, 0}));
    EXPECT_EQ(stopped->cell, w.cell(0, 0));
    EXPECT_TRUE(stopped->isDone());
}

// Over the end of a floor it drops a row, upright, and tumbles on; past the
// last column it falls for ever in the border cell and is never done.
TEST(Looping, OverAFloorEndItDropsUprightAndTumblesOnAndOffTheGridItIsLost)
{
    World w(R"(4 2 0 1 3 0
               |L
               |__
               |
               |  __)");
    Domino* l = w.at(0, 1);
    strike(w, 0, 1, 1);
    w.tick(24);
    EXPECT_EQ(l->cell, w.cell(2, 0)) << "arrived a row lower";
    EXPECT_EQ(Ints({l->angle, l->fly}), Ints({0, 0}));
    w.tick(6);
    EXPECT_EQ(l->cell, w.cell(3, 0)) << "tumbled on in the same direction";
    w.tick(200);
    EXPECT_EQ(l->cell, &borderCell);
    EXPECT_EQ(l->fly, -1);
    EXPECT_FALSE(l->isDone());
}

}  // namespace
