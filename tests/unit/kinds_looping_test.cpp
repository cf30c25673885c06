// The looping domino: each time it lies flat it hands itself to the next
// cell and stands up on its other end, tumbling on until something stops it.
#include "kinds_support.h"

namespace {

// Six ticks to fall, six to stand up again in the next cell, and so on.
TEST(LoopingTumbles, ItTakesTwelveTicksPerCell)
{
    World w("5 1 0 0 4 0\n_____\nL    \n");
    Domino* l = w.at(0, 0);
    push(w, 1);
    for (int tick = 1; tick <= 18; tick++) {
        w.tick();
        EXPECT_EQ(l->cell->getX(), tick < 6 ? 0 : tick < 18 ? 1 : 2) << "tick " << tick;
    }
    EXPECT_EQ(l->angle, -6) << "handed over lying on the same spot";
}

// The domino it has felled still holds the next cell, so it never lands.
TEST(LoopingStops, AgainstAStandardDominoItStrikesItAndRestsAtSeventyFiveDegrees)
{
    World w("4 1 0 0 3 0\n____\nLN  \n");
    Domino* l = w.at(0, 0);
    pushAndSettle(w, 1);
    EXPECT_EQ(w.at(1, 0)->angle, 6);
    EXPECT_EQ(l->angle, 5);
    EXPECT_EQ(l->speed, 0);
    EXPECT_EQ(l->cell, w.cell(0, 0));
    EXPECT_TRUE(l->isDone());
}

TEST(LoopingStops, OffABlockerItTurnsBackAndTumblesTheOtherWay)
{
    World w("5 1 3 0 0 0\n_____\n   LW\n");
    Domino* l = w.at(3, 0);
    push(w, 1);
    w.tick(14);
    EXPECT_EQ(l->cell, w.cell(2, 0));
    w.tick(12);
    EXPECT_EQ(l->cell, w.cell(1, 0));
    EXPECT_EQ(l->speed, -1);
}

TEST(LoopingOverAFloorEnd, ItDropsUprightAndTumblesOnBelow)
{
    World w("4 2 0 1 3 0\n__  \n  __\nL   \n    \n");
    Domino* l = w.at(0, 1);
    push(w, 1);
    w.tick(24);
    EXPECT_EQ(l->cell, w.cell(2, 0)) << "arrived a row lower";
    EXPECT_EQ(l->angle, 0);
    EXPECT_EQ(l->fly, 0);
    w.tick(6);
    EXPECT_EQ(l->cell, w.cell(3, 0)) << "tumbled on in the same direction";
}

TEST(LoopingOffTheGrid, ItLeavesIntoTheBorderCellFallsThereAndIsNeverDone)
{
    World w("2 1 1 0 0 0\n__\n L\n");
    Domino* l = w.at(1, 0);
    push(w, 1);
    w.tick(200);
    EXPECT_EQ(l->cell, &borderCell);
    EXPECT_EQ(l->fly, -1);
    EXPECT_FALSE(l->isDone());
}

// Lying at +6 in one cell and at -6 in the next (5 units on) are the same
// spot on screen.
TEST(LoopingDrawing, OffsetSoThatTheHandOverDoesNotJump)
{
    World w("2 1 0 0 1 0\n__\nL \n");
    Domino* l = w.at(0, 0);
    l->angle = 6;
    expectSpan(drawAlone(l), 0, 0, 5);
    l->angle = -6;
    expectSpan(drawAlone(l), 0, -5, 0);
}

TEST(LoopingDrawing, YellowEndsAndThreeStripesYellowRedYellow)
{
    World w("1 1 0 0 0 0\n.\nL\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 14u);
    expectSpan(only(faces, isRed), 1, 5 * 0.3333f, 10 * 0.3333f);
    EXPECT_EQ(only(faces, isRed).size(), 4u);
    EXPECT_EQ(only(only(faces, facing(1)), isYellow).size(), 2u) << "yellow ends";
}

}  // namespace
