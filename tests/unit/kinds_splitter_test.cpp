// The splitter: two halves in one slot that part when struck squarely or
// dropped on, one half falling each way; the base rules run once per half.
#include "kinds_support.h"
#include "splitter.h"

namespace {

Splitter* splitterAt(World& w, int x, int y)
{
    return static_cast<Splitter*>(w.at(x, y));
}

// A standard domino falls into it from the side away from the far half.
void expectStruckFrom(int direction, const char* levelText, int strikerColumn, int splitterColumn)
{
    World w(levelText);
    Domino* striker = w.at(strikerColumn, 0);
    Splitter* s = splitterAt(w, splitterColumn, 0);
    player.push(direction);
    w.frame();
    w.tick(30);

    EXPECT_EQ(striker->angle, 5 * direction) << "the striker rests at 75 degrees";
    EXPECT_EQ(striker->speed, 0);
    EXPECT_EQ(s->angle, 6 * direction) << "the far half falls on and lies flat";
    EXPECT_EQ(s->angle2, -direction) << "the near half tips back toward the striker";
    EXPECT_EQ(s->speed2, 0);
    EXPECT_EQ(w.at(splitterColumn, 0), s);
    EXPECT_FALSE(s->broken);
}

TEST(SplitterStruckByNeighbour, FarHalfFallsOnNearHalfRestsOnTheStriker)
{
    expectStruckFrom(1, "3 1 0 0 2 0\n___\nNS \n", 0, 1);
}

TEST(SplitterStruckByNeighbour, MirroredWhenStruckFromTheRight)
{
    expectStruckFrom(-1, "3 1 2 0 0 0\n___\n SN\n", 2, 1);
}

TEST(SplitterStruckByNeighbour, WholeSplitterLetsTheStrikerLeanInLikeAnUprightDomino)
{
    World w("3 1 0 0 2 0\n___\nNS \n");
    Domino* striker = w.at(0, 0);
    player.push(1);
    w.frame();
    w.tick(3);
    ASSERT_EQ(striker->angle, 3);
    w.tick(1);
    EXPECT_EQ(striker->speed, 1) << "the strike at 60 degrees is taken, not bounced";
}

TEST(SplitterPushedByPlayer, BothHalvesTurnAfterTheNextFrameAndThePushIsUsedUp)
{
    World w("3 1 1 0 2 0\n___\n S \n");
    Splitter* s = splitterAt(w, 1, 0);
    player.push(1);

    EXPECT_FALSE(level->canPush());
    EXPECT_EQ(s->speed, 0);
    EXPECT_EQ(s->speed2, 0);
    w.frame();
    EXPECT_EQ(s->speed, 1);
    EXPECT_EQ(s->speed2, -1);
    w.tick(1);
    EXPECT_EQ(s->angle, 1);
    EXPECT_EQ(s->angle2, -1);
}

TEST(SplitterDroppedOn, ADroppedDominoSplitsItAndBreaksNothing)
{
    World w("3 2 1 0 1 0\n   \n___\n N \n S \n");
    Domino* dropped = w.at(1, 1);
    Splitter* s = splitterAt(w, 1, 0);
    w.tick(7);

    EXPECT_EQ(w.at(1, 0), s) << "the splitter keeps its slot";
    EXPECT_NE(dropped->cell->getDomino(dropped->top), dropped) << "the dropped domino is out of play";
    EXPECT_FALSE(dropped->broken);
    EXPECT_FALSE(s->broken);
    EXPECT_EQ(s->speed, 1);
    EXPECT_EQ(s->speed2, -1);
    w.tick(10);
    EXPECT_EQ(s->angle, 6);
    EXPECT_EQ(s->angle2, -6);
}

TEST(SplitterDroppedOn, TheSameDropBreaksAStandardDomino)
{
    World w("3 2 1 0 1 0\n   \n___\n N \n N \n");
    Domino* below = w.at(1, 0);
    w.tick(7);
    EXPECT_TRUE(below->broken);
}

// The shared vertical motion runs once per half.
TEST(SplitterDropping, DropsARowEveryThreeTicksWhereAStandardDominoTakesSix)
{
    World w("2 3 0 0 0 0\n  \n  \n..\nSN\n  \n  \n");
    Domino* s = w.at(0, 2);
    Domino* n = w.at(1, 2);
    w.tick(4);
    EXPECT_EQ(s->cell, w.cell(0, 1));
    w.tick(3);
    EXPECT_EQ(s->cell, w.cell(0, 0));
    EXPECT_EQ(s->fly, 0);
    EXPECT_EQ(n->cell, w.cell(1, 1));
    w.tick(6);
    EXPECT_EQ(n->cell, w.cell(1, 0));
}

TEST(SplitterSwap, IdenticalHalvesRefuseToSwapDifferentOnesSwapBackAndForth)
{
    World w("1 1 0 0 0 0\n.\nS\n");
    Splitter* s = splitterAt(w, 0, 0);
    EXPECT_FALSE(s->swap());

    s->angle = 2;
    s->speed = 1;
    s->accel2 = -1;
    EXPECT_TRUE(s->swap());
    EXPECT_EQ(s->angle2, 2);
    EXPECT_EQ(s->speed2, 1);
    EXPECT_EQ(s->accel, -1);
    EXPECT_EQ(s->angle, 0);
    EXPECT_TRUE(s->swap());
    EXPECT_EQ(s->angle, 2);
    EXPECT_EQ(s->speed, 1);
    EXPECT_EQ(s->accel2, -1);
}

TEST(SplitterDrawing, WholeItIsOneBoxRedBelowAndYellowAbove)
{
    World w("1 1 0 0 0 0\n.\nS\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 10u) << "top, bottom and two bands of four sides";

    const auto isSide = [](const Polygon& f) { return std::abs(f.normal(1)) < 0.5f; };
    const auto sides = only(faces, isSide);
    const auto redSides = only(sides, [](const Polygon& f) { return f.isRed(); });
    const auto yellowSides = only(sides, [](const Polygon& f) { return f.isYellow(); });
    ASSERT_EQ(redSides.size(), 4u);
    ASSERT_EQ(yellowSides.size(), 4u);
    EXPECT_FLOAT_EQ(span(redSides, 1).lo, 0);
    EXPECT_FLOAT_EQ(span(redSides, 1).hi, 2.5f);
    EXPECT_FLOAT_EQ(span(yellowSides, 1).lo, 2.5f);
    EXPECT_FLOAT_EQ(span(yellowSides, 1).hi, 5);

    const auto top = only(faces, [](const Polygon& f) { return f.normal(1) > 0.5f; });
    const auto bottom = only(faces, [](const Polygon& f) { return f.normal(1) < -0.5f; });
    ASSERT_EQ(top.size(), 1u);
    ASSERT_EQ(bottom.size(), 1u);
    EXPECT_TRUE(top[0].isYellow());
    EXPECT_TRUE(bottom[0].isRed());
}

TEST(SplitterDrawing, SplitItIsTwoBoxesTurningOppositeWays)
{
    World w("3 1 1 0 2 0\n___\n S \n");
    player.push(1);
    w.frame();
    w.tick(2);
    const auto faces = drawAlone(w.at(1, 0));
    ASSERT_EQ(faces.size(), 20u);

    const auto tops = only(faces, [](const Polygon& f) { return f.isYellow() && f.normal(1) > 0.5f; });
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_GT(std::max(tops[0].centre(0), tops[1].centre(0)), 0.5f);
    EXPECT_LT(std::min(tops[0].centre(0), tops[1].centre(0)), -0.5f);
}

}  // namespace
