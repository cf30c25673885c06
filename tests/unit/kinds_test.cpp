// The kinds' own rules, where they go beyond what the replays of the kinds'
// fixture levels (tests/replay/fixtures) already prove: the blocker refuses,
// the vanish leaves a slot it does not hold, the bridge joins the floors, the
// boomer's hole parts a run, the delay falls once and the flyer rises. Then what every kind tells the
// designer's tools about itself: its letter, its state and its reach.
#include "world.h"

#include "blocker.h"
#include "delay.h"
#include "flyer.h"
#include "level.h"
#include "splitter.h"

#include <gtest/gtest.h>

#include <tuple>
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
// joins the floors (codes: 1 a slab, 2 joined on the left, 4 on the right) and, unless its own floor already
// reached toward the gap, becomes floor itself; without floor beyond, it falls into the gap.
TEST(Bridge, JoinsTheFloorsOnlyWithFloorTwoCellsOn)
{
    const struct {
        Ints directions;   // each bridge's, from the left
        const char* ends;  // each bridge's: floor, lying, or in a gap
        Ints floors;
        const char* level;
    } cases[] = {
        {{1, 1}, "fg", {5, 7, 3, 1, 1, 0, 0}, R"(|B   B
                                                 |. ...  )"},
        {{-1, 1}, "fg", {5, 7, 3, 0, 0, 0, 1}, R"(|  B   B
                                                  |. .   .)"},
        {{1, 1}, "lf", {5, 7, 3, 5, 7, 3, 0}, R"(|B  B
                                                 |( .... )"},
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
        Ints floors;
        for (int x = 0; x < level->wid; x++)
            floors.push_back(w.cell(x, 0)->getFloor());
        EXPECT_EQ(floors, c.floors) << c.level;
        EXPECT_EQ(borderCell.getFloor(), 0);
        for (size_t i = 0; i < bridges.size(); i++) {
            Domino* b = bridges[i];
            const char ends = b->cell->getY() < 0 ? 'g' : b->cell->getDomino(0) == b ? 'l' : 'f';
            EXPECT_EQ(ends, c.ends[i]) << c.level << " bridge " << i;
        }
    }
}

// Landing, the boomer takes away the floor it stood on; its neighbours keep
// their slabs and lose only their joins toward the hole, so the run reads as
// two runs, and the cells beyond them are as they were.
TEST(Boomer, LandingItTakesItsFloorAwayAndItsNeighboursTheirJoinsTowardTheHole)
{
    World w(R"(|   X
               |_______)");
    strike(w, 3, 0, 1);
    w.tick(30);
    Ints floors;
    for (int x = 0; x < level->wid; x++)
        floors.push_back(w.cell(x, 0)->getFloor());
    // A run that meets the grid's edge is joined across it.
    EXPECT_EQ(floors,
              (Ints{Cell::joinedBoth, Cell::joinedBoth, Cell::rightEnd, Cell::noFloor, Cell::leftEnd,
                    Cell::joinedBoth, Cell::joinedBoth}));
}

// Dominoes are updated in load order: a striker on the left is updated before
// the delay, a striker on the right after it. Either way the striker, still
// resting against the delay, strikes again after the countdown has run out;
// those strikes must start no second countdown, or its end would turn the
// fallen delay a step further (lying flat, to 7, with a complaint printed).
TEST(Delay, StruckInAChainItTurnsInItsNinthUpdateHoldingTheStrikerBackThenFallsOnceSilently)
{
    const struct {
        int direction, delay, updatesInStrikeTick;
        Ints angles;
        const char* level;
    } cases[] = {
        {1, 2, 1, {5, 5, 5, 5, 6, 0}, R"(|NNDNN
                                         |______)"},
        {-1, 1, 0, {0, -6, -5, -5}, R"(4 1 3 0 0 0
                                       | DNN
                                       |____)"},
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

}  // namespace

// ---------------------------------------------------------------- what the tools ask

// Every kind the loader makes answers to the letter it was made from, and
// the empty slot to the grid's blank.
TEST(KindLetter, EachKindAnswersToItsLetterInTheFile)
{
    for (const char letter : dominoCharacters()) {
        if (letter == ' ')
            continue;
        World w(std::string("1 1 0 0 0 0\n|") + letter + "\n|.");
        EXPECT_EQ(w.at(0, 0)->letter(), letter);
    }
    EXPECT_EQ(blank.letter(), ' ');
}

// Only the flyer's fall takes it up a row (its rise), so only its scope
// tells the solver to look above it: a zone missing the row above would
// miss the flyer's work, one taking it for every kind would weigh the search.
TEST(KindFallScope, OnlyTheFlyerSaysItsFallMayTakeItUpward)
{
    for (const char letter : dominoCharacters()) {
        if (letter == ' ')
            continue;
        World w(std::string("1 1 0 0 0 0\n|") + letter + "\n|.");
        EXPECT_EQ(w.at(0, 0)->fallScope().upward, letter == Flyer::fileLetter) << letter;
    }
}

// What the solver is told of the player's push on each kind is what the push
// does: the standard way fells it and spends the level's push, a free one
// sets it going later with the push still to spend, a refused one leaves it
// standing with the push unspent. And a kind pushed alone opens the exit
// only if its landing arms the exit check.
TEST(KindPush, ThePlayersPushDoesWhatTheKindSaysAndOnlyTheTriggersLandingOpensTheExit)
{
    for (const char letter : dominoCharacters()) {
        if (letter == ' ')
            continue;
        SCOPED_TRACE(letter);
        World w(std::string("3 2 0 0 2 0\n|   \n|   \n|") + letter + "  \n|___");
        Domino* d = w.at(0, 0);
        const PlayersPush said = d->playersPush();
        player.push(1);
        w.frame();
        standAt(16, 0);
        w.tick(40);
        EXPECT_EQ(level->canPush(), said != PlayersPush::spendsThePush);
        EXPECT_EQ(Ints({d->angle, d->fly, d->top, d->inPlay()}) == Ints({0, 0, 0, true}),
                  said == PlayersPush::refused);
        EXPECT_EQ(level->wayOut.angle > 0, d->armsExitCheck());
    }
}

// A kind's whole state, saved part way through its chain, is what restoring
// it puts back; one saved before the chain set it moving is not the state it
// has now, for every kind (the blocker struck by the player does not move).
TEST(KindState, SavedPartWayAndRestoredItIsTheStateItHadAndNotTheOneBefore)
{
    for (const char letter : dominoCharacters()) {
        if (letter == ' ')
            continue;
        SCOPED_TRACE(letter);
        World w(std::string("3 2 0 0 2 0\n|  \n|   \n| ") + letter + " \n|(_)");
        Domino* d = w.at(1, 0);
        DominoState before, partWay, restored;
        d->save(before);
        strike(w, 1, 0, 1);
        w.tick(3);
        d->save(partWay);
        EXPECT_EQ(partWay != before, letter != Blocker::fileLetter);
        w.tick(5);
        DominoState::Reader in(partWay);
        d->restore(in);
        d->save(restored);
        EXPECT_EQ(restored, partWay);
    }
}

// A splitter saves both halves: the second half's lean is part of its state.
TEST(KindState, TheSplittersSecondHalfIsPartOfItsState)
{
    World w(R"(|S
               |___)");
    auto* s = static_cast<Splitter*>(w.at(0, 0));
    DominoState whole, split;
    s->save(whole);
    s->angle2 = -2;
    s->save(split);
    EXPECT_NE(whole, split);
}

// The cells the next update may touch: one each way, two from the strike on,
// the row below without a floor or while dropping, the row above while
// rising; a flyer may meet its ceiling anywhere, and a splitter reaches as
// far as its further-leaning half.
TEST(KindReach, TheNextUpdateReachesTheNeighboursTheNextButOneFromTheStrikeAndTheRowsItMovesTo)
{
    World w(R"(|
               |
               |NNNSFN
               |(____)
               |
               |______)");
    struct Row {
        const char* what;
        int x, y, angle, angle2, fly;
        int columns;
        bool below, above;
    } rows[] = {
        {"standing", 0, 1, 0, 0, 0, 1, false, false},
        {"short of the strike", 1, 1, 3, 0, 0, 1, false, false},
        {"at the strike", 2, 1, -4, 0, 0, 2, false, false},
        {"over no floor", 2, 2, 0, 0, 0, 1, true, false},
        {"dropping", 0, 1, 0, 0, -1, 1, true, false},
        {"rising", 0, 1, 0, 0, 1, 1, false, true},
        {"a splitter's second half at the strike", 3, 1, 0, 4, 0, 2, false, false},
        {"a flyer standing", 4, 1, 0, 0, 0, 1, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Domino* d = w.at(r.x, 1);
        d->angle = r.angle;
        d->fly = r.fly;
        if (auto* s = d->letter() == Splitter::fileLetter ? static_cast<Splitter*>(d) : nullptr)
            s->angle2 = r.angle2;
        if (r.y != 1)
            d->cell = w.cell(r.x, r.y);
        const UpdateReach reach = d->updateReach();
        EXPECT_EQ(std::tuple(reach.columns, reach.below, reach.above),
                  std::tuple(r.columns, r.below, r.above));
        d->cell = w.cell(r.x, 1);
        d->angle = d->fly = 0;
    }
}
