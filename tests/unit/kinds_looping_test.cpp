// The looping domino: each time it lies flat it hands itself to the next
// cell and stands up on its other end, tumbling on until something stops it.
#include "kinds_support.h"

namespace {

TEST(LoopingTumbles, ItTakesTwelveTicksPerCell)
{
    World w("5 1 0 0 4 0\n_____\nL    \n");
    Domino* l = w.at(0, 0);
    player.push(1);
    w.frame();
    w.tick(5);
    EXPECT_EQ(l->cell, w.cell(0, 0));
    w.tick(1);
    EXPECT_EQ(l->cell, w.cell(1, 0)) << "handed over as it lies flat";
    EXPECT_EQ(l->angle, -6);
    EXPECT_EQ(l->speed, 1);
    w.tick(6);
    EXPECT_EQ(l->angle, 0) << "standing on its other end";
    w.tick(5);
    EXPECT_EQ(l->cell, w.cell(1, 0));
    w.tick(1);
    EXPECT_EQ(l->cell, w.cell(2, 0));
}

TEST(LoopingStops, AgainstAStandardDominoItStrikesItAndRestsAtSeventyFiveDegrees)
{
    World w("4 1 0 0 3 0\n____\nLN  \n");
    Domino* l = w.at(0, 0);
    Domino* n = w.at(1, 0);
    player.push(1);
    w.frame();
    w.tick(30);
    EXPECT_EQ(n->angle, 6);
    EXPECT_EQ(l->angle, 5);
    EXPECT_EQ(l->speed, 0);
    EXPECT_EQ(l->cell, w.cell(0, 0));
    EXPECT_TRUE(l->isDone());
}

TEST(LoopingStops, OffABlockerItTurnsBackAndTumblesTheOtherWay)
{
    World w("5 1 3 0 0 0\n_____\n   LW\n");
    Domino* l = w.at(3, 0);
    player.push(1);
    w.frame();
    w.tick(4);
    EXPECT_EQ(l->speed, -1);
    w.tick(10);
    EXPECT_EQ(l->cell, w.cell(2, 0));
    w.tick(12);
    EXPECT_EQ(l->cell, w.cell(1, 0));
    EXPECT_EQ(l->speed, -1);
}

TEST(LoopingStops, OffABlockerWithTheWayBackBlockedItRestsAtSixtyDegrees)
{
    World w("3 1 0 0 2 0\n___\nNLW\n");
    Domino* l = w.at(1, 0);
    player.push(1);
    w.frame();
    w.tick(30);
    EXPECT_EQ(l->angle, 4);
    EXPECT_EQ(l->speed, 0);
}

TEST(LoopingOverAFloorEnd, ItDropsUprightAndTumblesOnBelow)
{
    World w("4 2 0 1 3 0\n__  \n  __\nL   \n    \n");
    Domino* l = w.at(0, 1);
    player.push(1);
    w.frame();
    w.tick(18);
    EXPECT_EQ(l->cell, w.cell(2, 1));
    EXPECT_EQ(l->fly, -1);
    w.tick(6);
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
    player.push(1);
    w.frame();
    w.tick(200);
    EXPECT_EQ(l->cell, &borderCell);
    EXPECT_EQ(l->fly, -1);
    EXPECT_FALSE(l->isDone());
    EXPECT_EQ(borderCell.getFloor(), 0);
}

// Lying at +6 in one cell and at -6 in the next are the same spot on screen.
TEST(LoopingDrawing, OffsetSoThatTheHandOverDoesNotJump)
{
    World w("2 1 0 0 1 0\n__\nL \n");
    Domino* l = w.at(0, 0);
    l->angle = 6;
    const Span before = span(drawAlone(l), 0);
    l->angle = -6;
    const Span after = span(drawAlone(l), 0);
    const float cellWidth = 5;
    EXPECT_NEAR(before.lo, 0, 1e-4f);
    EXPECT_NEAR(before.hi, 5, 1e-4f);
    EXPECT_NEAR(after.lo + cellWidth, before.lo, 1e-4f);
    EXPECT_NEAR(after.hi + cellWidth, before.hi, 1e-4f);
}

TEST(LoopingDrawing, YellowEndsAndThreeStripesYellowRedYellow)
{
    World w("1 1 0 0 0 0\n.\nL\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 14u);
    const auto red = only(faces, [](const Polygon& f) { return f.isRed(); });
    ASSERT_EQ(red.size(), 4u);
    EXPECT_NEAR(span(red, 1).lo, 5 * 0.3333f, 1e-4f);
    EXPECT_NEAR(span(red, 1).hi, 10 * 0.3333f, 1e-4f);
    const auto ends = only(faces, [](const Polygon& f) { return std::abs(f.normal(1)) > 0.5f; });
    ASSERT_EQ(ends.size(), 2u);
    for (const Polygon& f : ends)
        EXPECT_TRUE(f.isYellow());
}

}  // namespace
