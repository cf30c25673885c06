// The bridge: landing across a one-cell gap with floor beyond, it joins the
// three floors into one span and, unless its own floor already reached
// toward the gap, becomes part of that floor.
#include "kinds_support.h"

namespace {

TEST(BridgeOverAGap, FromTheLeftFloorsOneGapOneBecomeFiveSevenThree)
{
    World w("3 1 0 0 2 0\n. .\nB  \n");
    Domino* b = w.at(0, 0);
    pushAndSettle(w, 1);
    expectFloors(w, 0, {5, 7, 3});
    EXPECT_EQ(w.at(0, 0), &blank) << "it has become floor";
    EXPECT_TRUE(b->isDone());
}

TEST(BridgeOverAGap, FromTheRightTheSameSpanIsBuilt)
{
    World w("3 1 2 0 0 0\n. .\n  B\n");
    pushAndSettle(w, -1);
    expectFloors(w, 0, {5, 7, 3});
    EXPECT_EQ(w.at(2, 0), &blank);
}

TEST(BridgeOverAGap, ThePlayerWalksAcrossTheNewFloor)
{
    World w("3 1 0 0 2 0\n. .\nB  \n");
    pushAndSettle(w, 1);
    player.move(1);
    w.tick(8);
    player.stop();
    w.tick(3);
    EXPECT_EQ(player.x / 8, 2);
    EXPECT_FALSE(player.falling);
}

TEST(BridgeOverAGap, AGapTwoCellsWideIsNotBridgedAndTheBridgeFallsIntoIt)
{
    World w("3 2 0 1 0 0\n.  \n___\nB  \n   \n");
    Domino* b = w.at(0, 1);
    pushAndSettle(w, 1);
    expectFloors(w, 1, {1, 0, 0});
    EXPECT_EQ(b->cell->getY(), 0);
}

TEST(BridgeOverAGap, AGapCellThatHasAFloorIsJoinedAllTheSame)
{
    World w("3 1 0 0 2 0\n...\nB  \n");
    pushAndSettle(w, 1);
    expectFloors(w, 0, {5, 7, 3});
    EXPECT_EQ(w.at(0, 0), &blank);
}

TEST(BridgeOverAGap, OnAFloorAlreadyJoinedTowardTheGapItStaysLying)
{
    World w("3 1 0 0 2 0\n( .\nB  \n");
    Domino* b = w.at(0, 0);
    pushAndSettle(w, 1);
    expectFloors(w, 0, {5, 7, 3});
    EXPECT_EQ(w.at(0, 0), b);
    EXPECT_EQ(b->angle, 6);
}

TEST(BridgeAtTheEdge, WithTheFarCellOutsideTheGridNothingIsBuilt)
{
    World w("2 1 0 0 0 0\n. \nB \n");
    Domino* b = w.at(0, 0);
    pushAndSettle(w, 1);
    expectFloors(w, 0, {1, 0});
    EXPECT_EQ(borderCell.getFloor(), 0);
    EXPECT_EQ(b->cell, &borderCell) << "tipped into the gap and fell out of the grid";
}

TEST(BridgeDrawing, YellowWithAThinRedBandAroundItsMiddle)
{
    World w("1 1 0 0 0 0\n.\nB\n");
    const auto faces = drawAlone(w.at(0, 0));
    const auto red = only(faces, [](const Polygon& f) { return f.isRed(); });
    const auto yellow = only(faces, [](const Polygon& f) { return f.isYellow(); });
    ASSERT_EQ(red.size(), 4u);
    ASSERT_EQ(yellow.size() + red.size(), faces.size());
    EXPECT_NEAR(span(red, 1).lo, 2.25f, 1e-5f);
    EXPECT_NEAR(span(red, 1).hi, 2.75f, 1e-5f);
    EXPECT_NEAR(span(red, 0).lo, -0.5f, 1e-5f);
    EXPECT_NEAR(span(red, 0).hi, 0.5f, 1e-5f);

    const auto ends = only(yellow, [](const Polygon& f) { return std::abs(f.normal(1)) > 0.5f; });
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_NEAR(span(ends, 1).lo, 0, 1e-5f);
    EXPECT_NEAR(span(ends, 1).hi, 5, 1e-5f);
}

}  // namespace
