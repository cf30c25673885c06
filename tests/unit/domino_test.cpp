// The standard domino's rules, tick by tick: toppling one 15-degree step per
// tick and knocking the next one over at 4 steps, resting, bouncing back,
// lying down, tipping over floor edges, dropping through missing floors and
// breaking what it drops onto; and when it counts as done or may be picked up.
#include "world.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Trace = std::vector<int>;

struct LandCounter : Domino {
    int lands = 0;
    void land() override
    {
        lands++;
        Domino::land();
    }
};

// Puts a T in place of the domino standing at (x, y), in the same place in
// the update order; the level owns it from then on.
template <class T>
T* replace(int x, int y)
{
    Cell* c = level->getCell(x, y);
    int i = 0;
    while (level->doms[i] != c->getDomino(0))
        i++;
    c->leave(0);
    delete level->doms[i];
    T* d = new T;
    level->doms[i] = d;
    d->init(c);
    return d;
}

// Strikes d squarely to the right, as the player's push does, and draws the
// frame that sets it turning.
void strike(World& w, Domino* d)
{
    ASSERT_TRUE(d->push(1, Domino::contactSquare));
    w.frame();
}

// The angle of each domino after each of the next n ticks.
std::vector<Trace> angles(World& w, const std::vector<Domino*>& ds, int n)
{
    std::vector<Trace> trace(ds.size());
    for (int i = 0; i < n; i++) {
        w.tick();
        for (size_t k = 0; k < ds.size(); k++)
            trace[k].push_back(ds[k]->angle);
    }
    return trace;
}

// Column, row, angle and elev.
using Where = std::array<int, 4>;

Where where(Domino* d)
{
    return {d->cell->getX(), d->cell->getY(), d->angle, d->elev};
}

TEST(DominoChain, EachKnocksTheNextOverAtFourRestsAtFiveAndTheLastLandsOnce)
{
    World w(R"(|NNN
               |_____)");
    Domino* a = w.at(0, 0);
    Domino* b = w.at(1, 0);
    LandCounter* c = replace<LandCounter>(2, 0);
    ASSERT_TRUE(a->push(1, Domino::contactSquare));
    EXPECT_EQ(a->speed, 0) << "a push takes effect when the domino is next drawn";
    w.frame();
    EXPECT_EQ(angles(w, {a, b, c}, 14),
              (std::vector<Trace>{
                  {1, 2, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5},
                  {0, 0, 0, 0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 5},
                  {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6},
              }));
    w.tick(20);
    EXPECT_EQ(c->lands, 1);
    for (Domino* d : {a, b, static_cast<Domino*>(c)})
        EXPECT_TRUE(d->speed == 0 && d->isDone()) << "column " << d->cell->getX();
}

// A struck domino waits while the one it meets leans back toward it, resting
// or turning back up past 60 degrees; one resting at either lean goes on as
// soon as its way is free.
TEST(DominoChain, ItWaitsForTheOneLeaningBackAndGoesOnOnceItsWayIsFree)
{
    const struct {
        int backAngle, backSpeed;
        Trace struck;
    } cases[] = {
        {-5, 0, {1, 1, 1, 1, 1}},
        {-5, 1, {1, 1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        World w(R"(| NN  N
                   |_______)");
        w.at(2, 0)->angle = c.backAngle;
        w.at(2, 0)->speed = c.backSpeed;
        strike(w, w.at(1, 0));
        EXPECT_EQ(angles(w, {w.at(1, 0)}, 5)[0], c.struck) << c.backSpeed;
    }
    World w(R"(| N N
               |_____)");
    w.at(1, 0)->angle = 1;
    w.at(3, 0)->angle = -1;
    EXPECT_EQ(angles(w, {w.at(1, 0), w.at(3, 0)}, 2), (std::vector<Trace>{{1, 2}, {-1, -2}}));
}

// Lying with its top over a gap it belongs to the gap's cell, lying back the
// way it came, and drops a row in six ticks; it lands upright and topples on.
// Off the grid there is no floor anywhere, so it drops for ever.
TEST(DominoEdge, TipsOverAFloorEdgeDropsARowInSixTicksTopplesOnAndOffTheGridIsNeverDone)
{
    World w(R"(5 2 0 0 4 0
               | N
               |_)
               |
               |___)");
    Domino* d = w.at(1, 1);
    strike(w, d);
    w.tick(6);
    EXPECT_EQ(where(d), (Where{2, 1, -6, 0}));
    EXPECT_EQ(w.at(2, 1), d);
    EXPECT_TRUE(w.at(1, 1)->isBlank());
    w.tick(6);
    EXPECT_EQ(where(d), (Where{2, 1, 0, -5}));
    w.tick();
    EXPECT_EQ(where(d), (Where{2, 0, 0, 0}));
    EXPECT_EQ(d->fly, 0);
    EXPECT_EQ(angles(w, {d}, 6)[0], (Trace{1, 2, 3, 4, 5, -6}));
    EXPECT_EQ(d->cell, w.cell(3, 0));
    w.tick(20);
    EXPECT_EQ(d->cell, &borderCell);
    EXPECT_FALSE(d->isDone());
}

// Landing on a domino breaks it and leaves the arrival in no slot; a broken
// domino is never done, so the level can no longer be solved.
TEST(DominoDrop, UprightDropsStraightDownOntoTheFirstFloorOrBreaksTheDominoThere)
{
    World w(R"(3 2 0 0 1 0
               |N N
               |
               |  N
               |___)");
    Domino* ontoFloor = w.at(0, 1);
    Domino* ontoDomino = w.at(2, 1);
    Domino* standing = w.at(2, 0);
    w.tick(6);
    EXPECT_EQ(where(ontoFloor), (Where{0, 1, 0, -5}));
    EXPECT_FALSE(ontoFloor->isDone());
    w.tick(6);
    EXPECT_EQ(where(ontoFloor), (Where{0, 0, 0, 0}));
    EXPECT_EQ(w.at(0, 0), ontoFloor);
    EXPECT_TRUE(w.at(0, 1)->isBlank());
    EXPECT_EQ(where(ontoDomino), (Where{2, 0, 0, 0}));
    EXPECT_EQ(w.at(2, 0), standing);
    EXPECT_TRUE(standing->broken);
    EXPECT_FALSE(standing->isDone());
    w.tick(12);
    EXPECT_EQ(where(standing), (Where{2, 0, 0, 0})) << "the debris stays where it broke";
}

// One domino in the middle of a floor, set into each state by hand. Done
// means lying, resting while leaning, or out of play, and never broken; only
// an upright, still domino at rest in slot 0 may be picked up.
TEST(DominoState, WhenItIsDoneAndWhetherItMayBePickedUp)
{
    const struct {
        const char* name;
        int angle, speed, fly, elev, top;
        bool broken, done;
    } states[] = {
        {"upright in its slot", 0, 0, 0, 0, 0, false, false},
        {"resting while leaning", 2, 0, 0, 0, 0, false, true},
        {"turning", 2, 1, 0, 0, 0, false, false},
        {"dropping while leaning", 2, 0, -1, 0, 0, false, false},
        {"lying", 6, 0, 0, 0, 0, false, true},
        {"lying the other way", -6, 0, 0, 0, 0, false, true},
        {"starting to fall", 0, 1, 0, 0, 0, false, false},
        {"dropping", 0, 0, -1, 0, 0, false, false},
        {"raised", 0, 0, 0, 1, 0, false, false},
        {"broken", 0, 0, 0, 0, 0, true, false},
        {"broken lying", 6, 0, 0, 0, 0, true, false},
        {"in the upper slot, as a flyer in flight", 0, 0, 0, 0, 1, false, false},
    };
    for (const auto& s : states) {
        World w(R"(| N
                   |___)");
        Domino* d = w.at(1, 0);
        d->angle = s.angle, d->speed = s.speed, d->fly = s.fly, d->elev = s.elev, d->broken = s.broken;
        if (s.top) {
            w.cell(1, 0)->leave(0);
            d->top = 1;
            d->enter(w.cell(1, 0));
        }
        EXPECT_EQ(d->isDone(), s.done) << s.name;
        const bool mayBePickedUp = s.name == states[0].name;
        EXPECT_EQ(d->grab(), mayBePickedUp ? d : nullptr) << s.name;
        EXPECT_EQ(w.at(1, 0, s.top)->isBlank(), mayBePickedUp) << s.name;
        EXPECT_EQ(d->isDone(), s.done || mayBePickedUp) << "carried";
    }
}

}  // namespace
