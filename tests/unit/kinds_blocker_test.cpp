// The blocker: refuses every square strike, so it never topples, stops or
// turns back what falls against it, and never holds up a finished level.
#include "kinds_support.h"

namespace {

TEST(BlockerPushedByPlayer, NothingMovesAndThePushIsStillThere)
{
    World w("2 1 0 0 1 0\n__\nW \n");
    Domino* b = w.at(0, 0);
    player.push(1);
    w.frame();
    w.tick(5);
    EXPECT_EQ(b->angle, 0);
    EXPECT_EQ(b->speed, 0);
    EXPECT_TRUE(level->canPush());
}

TEST(BlockerPushedByPlayer, AStandardDominoInItsPlaceUsesThePushUp)
{
    World w("2 1 0 0 1 0\n__\nN \n");
    player.push(1);
    EXPECT_FALSE(level->canPush());
}

TEST(BlockerStopsAFall, WithTheWayBackFreeTheStrikerTurnsBackAndFallsTheOtherWay)
{
    World w("3 1 1 0 0 0\n___\n NW\n");
    Domino* n = w.at(1, 0);
    Domino* b = w.at(2, 0);
    player.push(1);
    w.frame();
    w.tick(4);
    EXPECT_EQ(n->angle, 4);
    EXPECT_EQ(n->speed, -1);
    w.tick(20);
    EXPECT_EQ(n->angle, -6);
    EXPECT_EQ(b->angle, 0);
}

TEST(BlockerStopsAFall, WithTheWayBackBlockedTheStrikerRestsAtSixtyDegrees)
{
    World w("3 1 0 0 2 0\n___\nNNW\n");
    Domino* striker = w.at(1, 0);
    Domino* b = w.at(2, 0);
    player.push(1);
    w.frame();
    w.tick(40);
    EXPECT_EQ(w.at(0, 0)->angle, 5);
    EXPECT_EQ(striker->angle, 4);
    EXPECT_EQ(striker->speed, 0);
    EXPECT_EQ(b->angle, 0);
    EXPECT_EQ(b->speed, 0);
    EXPECT_EQ(b->accel, 0);
}

TEST(BlockerIsDone, UprightBlockersDoNotKeepTheExitShut)
{
    World w("3 1 0 0 2 0\n___\nT W\n");
    player.push(1);
    w.frame();
    w.tick(12);
    EXPECT_TRUE(level->wayOut.isOpenedExit());
}

TEST(BlockerIsDone, AnUprightStandardDominoDoes)
{
    World w("3 1 0 0 2 0\n___\nT N\n");
    player.push(1);
    w.frame();
    w.tick(12);
    EXPECT_FALSE(level->wayOut.isOpenedExit());
}

// A domino dropped into its slot breaks it.
TEST(BlockerIsDone, EvenBrokenWhereABrokenStandardDominoIsNot)
{
    World w("2 2 0 0 0 0\n  \n..\nNN\nWN\n");
    Domino* b = w.at(0, 0);
    Domino* n = w.at(1, 0);
    w.tick(7);
    ASSERT_TRUE(b->broken);
    ASSERT_TRUE(n->broken);
    EXPECT_TRUE(b->isDone());
    EXPECT_FALSE(n->isDone());
}

TEST(BlockerDropping, FallsStraightDownWithoutLeaningAndStandsOnTheFloorBelow)
{
    World w("1 3 0 0 0 0\n \n \n.\nW\n \n \n");
    Domino* b = w.at(0, 2);
    for (int i = 0; i < 15; i++) {
        w.tick();
        EXPECT_EQ(b->angle, 0);
        EXPECT_EQ(b->speed, 0);
    }
    EXPECT_EQ(w.at(0, 0), b);
    EXPECT_EQ(b->fly, 0);
    EXPECT_EQ(b->elev, 0);
}

TEST(BlockerDrawing, ASolidRedBox)
{
    World w("1 1 0 0 0 0\n.\nW\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 6u);
    for (const Polygon& f : faces)
        EXPECT_TRUE(f.isRed());
    EXPECT_FLOAT_EQ(span(faces, 0).lo, -0.5f);
    EXPECT_FLOAT_EQ(span(faces, 0).hi, 0.5f);
    EXPECT_FLOAT_EQ(span(faces, 1).hi, 5);
    EXPECT_FLOAT_EQ(span(faces, 2).lo, -2);
}

TEST(BlockerDrawing, BrokenItIsDrawnAsDebrisOnly)
{
    World w("1 2 0 0 0 0\n \n.\nN\nW\n");
    Domino* b = w.at(0, 0);
    w.tick(7);
    ASSERT_TRUE(b->broken);
    const auto faces = drawAlone(b);
    EXPECT_EQ(faces.size(), 30u) << "ten shards of three triangles";
    EXPECT_TRUE(only(faces, [](const Polygon& f) { return f.v.size() == 4; }).empty());
}

}  // namespace
