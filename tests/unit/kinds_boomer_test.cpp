// The boomer: landing flat it explodes, leaves the level and blows away the
// floor it stood on, cutting its neighbours' joins toward the hole.
#include "kinds_support.h"

namespace {

// Floor codes: 1 a slab, 2 joined on the left, 4 joined on the right.
TEST(BoomerExplodes, OnlyLyingFlatAndCutsTheNeighboursJoinsEitherWay)
{
    const struct { const char* level; int column, direction; std::vector<int> floors; bool explodes; } cases[] = {
        {"3 1 1 0 1 0\n___\n X \n", 1, 1, {3, 0, 5}, true},
        {"3 1 1 0 1 0\n___\n X \n", 1, -1, {3, 0, 5}, true},
        {"3 1 1 0 1 0\n...\n X \n", 1, 1, {1, 0, 1}, true},
        {"3 1 0 0 2 0\n(_)\nX  \n", 0, 1, {0, 5, 3}, true},
        {"3 1 0 0 2 0\n___\nXN \n", 0, 1, {7, 7, 7}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.level << "pushed " << c.direction);
        World w(c.level);
        Domino* x = w.at(c.column, 0);
        pushAndSettle(w, c.direction);
        expectFloors(w, 0, c.floors);
        EXPECT_EQ(borderCell.getFloor(), 0);
        EXPECT_EQ(w.at(c.column, 0) == &blank, c.explodes);
        EXPECT_TRUE(x->isDone());
    }
}

TEST(BoomerExplodes, TheSlabEndsFacingTheHoleAreDrawnAgain)
{
    World w("3 1 1 0 1 0\n___\n X \n");
    pushAndSettle(w, 1);
    fakegl::reset();
    w.frame();
    const auto floorFaces = only(splitFaces(fakegl::primitives()),
                                 [](const Polygon& f) { return f.hasColor(0, 0.5f, 1); });
    const auto endAt = [&](float normalX, float x) {
        return only(floorFaces, [=](const Polygon& f) {
            return std::abs(f.normal(0) - normalX) < 1e-3f && std::abs(f.centre(0) - x) < 1e-3f;
        });
    };
    EXPECT_EQ(endAt(1, 1).size(), 1u) << "the right end of the left slab";
    EXPECT_EQ(endAt(-1, 9).size(), 1u) << "the left end of the right slab";
}

TEST(BoomerHole, ALyingDominoPointingIntoItTipsIn)
{
    World w("3 2 0 1 0 0\n___\n___\nNX \n   \n");
    Domino* n = w.at(0, 1);
    pushAndSettle(w, 1);
    EXPECT_EQ(w.cell(1, 1)->getFloor(), 0);
    EXPECT_EQ(n->cell->getY(), 0);
}

TEST(BoomerHole, ThePlayerStandingInItFallsToTheRowBelow)
{
    World w("3 2 1 1 1 0\n___\n___\n X \n   \n");
    w.tick(10);
    pushAndSettle(w, 1);
    EXPECT_EQ(player.y, 0);
    EXPECT_FALSE(player.falling);
}

TEST(BoomerDrawing, RedFrontAndBackYellowRearHalfRedFrontHalf)
{
    World w("1 1 0 0 0 0\n.\nX\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 10u);
    for (const Polygon& f : faces)
        EXPECT_TRUE(facing(2)(f) || f.centre(2) > 0 ? isRed(f) : isYellow(f)) << "face centred at z " << f.centre(2);
    expectSpan(only(faces, isYellow), 2, -2, 0);
}

}  // namespace
