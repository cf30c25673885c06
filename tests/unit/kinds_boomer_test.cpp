// The boomer: landing flat it explodes, leaves the level and blows away the
// floor it stood on, cutting its neighbours' joins toward the hole.
#include "kinds_support.h"

namespace {

TEST(BoomerExplodes, FallingRightAJoinedRunBecomesThreeHoleFive)
{
    World w("3 1 1 0 1 0\n___\n X \n");
    Domino* x = w.at(1, 0);
    pushAndSettle(w, 1);
    expectFloors(w, 0, {3, 0, 5});
    EXPECT_EQ(w.at(1, 0), &blank);
    EXPECT_TRUE(x->isDone());
}

TEST(BoomerExplodes, FallingLeftTheSame)
{
    World w("3 1 1 0 1 0\n___\n X \n");
    pushAndSettle(w, -1);
    expectFloors(w, 0, {3, 0, 5});
}

TEST(BoomerExplodes, LoneFloorsKeepTheirSlabs)
{
    World w("3 1 1 0 1 0\n...\n X \n");
    pushAndSettle(w, 1);
    expectFloors(w, 0, {1, 0, 1});
}

TEST(BoomerExplodes, InTheFirstColumnNothingHappensOutsideTheGrid)
{
    World w("3 1 0 0 2 0\n(_)\nX  \n");
    pushAndSettle(w, 1);
    expectFloors(w, 0, {0, 5, 3});
    EXPECT_EQ(borderCell.getFloor(), 0);
}

TEST(BoomerExplodes, TheSlabEndsFacingTheHoleAreDrawnAgain)
{
    World w("3 1 1 0 1 0\n___\n X \n");
    pushAndSettle(w, 1);
    fakegl::reset();
    w.frame();
    const auto floorFaces = only(splitFaces(fakegl::primitives()),
                                 [](const Polygon& f) { return f.hasColor(0, 0.5f, 1); });
    const auto facing = [&](float normalX, float x) {
        return only(floorFaces, [=](const Polygon& f) {
            return std::abs(f.normal(0) - normalX) < 1e-3f && std::abs(f.centre(0) - x) < 1e-3f;
        });
    };
    EXPECT_EQ(facing(1, 1).size(), 1u) << "the right end of the left slab";
    EXPECT_EQ(facing(-1, 9).size(), 1u) << "the left end of the right slab";
}

TEST(BoomerExplodes, ALyingDominoPointingIntoTheHoleTipsIntoIt)
{
    World w("3 2 0 1 0 0\n___\n___\nNX \n   \n");
    Domino* n = w.at(0, 1);
    pushAndSettle(w, 1);
    EXPECT_EQ(w.cell(1, 1)->getFloor(), 0);
    EXPECT_EQ(n->cell->getY(), 0);
}

TEST(BoomerExplodes, ThePlayerInTheBlownCellFallsToTheRowBelow)
{
    World w("3 2 1 1 1 0\n___\n___\n X \n   \n");
    w.tick(10);
    pushAndSettle(w, 1);
    EXPECT_EQ(player.y, 0);
    EXPECT_FALSE(player.falling);
}

TEST(BoomerLeaning, EndingOnADominoInTheNextCellItNeverExplodes)
{
    World w("3 1 0 0 2 0\n___\nXN \n");
    Domino* x = w.at(0, 0);
    pushAndSettle(w, 1);
    EXPECT_EQ(x->angle, 5);
    EXPECT_EQ(w.at(0, 0), x);
    expectFloors(w, 0, {7, 7, 7});
}

TEST(BoomerDrawing, RedFrontAndBackYellowRearHalfRedFrontHalf)
{
    World w("1 1 0 0 0 0\n.\nX\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 10u);

    const auto ends = only(faces, [](const Polygon& f) { return std::abs(f.normal(2)) > 0.5f; });
    ASSERT_EQ(ends.size(), 2u);
    for (const Polygon& f : ends)
        EXPECT_TRUE(f.isRed());

    const auto around = only(faces, [](const Polygon& f) { return std::abs(f.normal(2)) < 0.5f; });
    const auto rear = only(around, [](const Polygon& f) { return f.isYellow(); });
    const auto front = only(around, [](const Polygon& f) { return f.isRed(); });
    ASSERT_EQ(rear.size(), 4u);
    ASSERT_EQ(front.size(), 4u);
    EXPECT_NEAR(span(rear, 2).lo, -2, 1e-5f);
    EXPECT_NEAR(span(rear, 2).hi, 0, 1e-5f);
    EXPECT_NEAR(span(front, 2).lo, 0, 1e-5f);
    EXPECT_NEAR(span(front, 2).hi, 2, 1e-5f);
}

}  // namespace
