// The splitter: two halves in one slot that part when struck squarely or
// dropped on, one half falling each way; the base rules run once per half.
#include "kinds_support.h"
#include "splitter.h"

namespace {

Splitter* splitterAt(World& w, int x, int y)
{
    return static_cast<Splitter*>(w.at(x, y));
}

// It lets the striker lean in like an upright domino, then parts at 60
// degrees: the far half falls on, the near half tips back onto the striker.
TEST(SplitterStruckByNeighbour, FarHalfFallsOnNearHalfRestsOnTheStrikerFromEitherSide)
{
    const struct { const char* level; int direction, striker; } cases[] = {
        {"3 1 0 0 2 0\n___\nNS \n", 1, 0},
        {"3 1 2 0 0 0\n___\n SN\n", -1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        World w(c.level);
        Domino* striker = w.at(c.striker, 0);
        Splitter* s = splitterAt(w, 1, 0);
        pushAndSettle(w, c.direction);
        EXPECT_EQ(striker->angle, 5 * c.direction) << "the striker rests at 75 degrees";
        EXPECT_EQ(striker->speed, 0);
        EXPECT_EQ(s->angle, 6 * c.direction);
        EXPECT_EQ(s->angle2, -c.direction);
        EXPECT_EQ(s->speed2, 0);
        EXPECT_EQ(w.at(1, 0), s);
    }
}

TEST(SplitterDroppedOn, ADroppedDominoSplitsItAndBreaksNothing)
{
    World w("3 2 1 0 1 0\n   \n___\n N \n S \n");
    Domino* dropped = w.at(1, 1);
    Splitter* s = splitterAt(w, 1, 0);
    w.tick(17);
    EXPECT_EQ(w.at(1, 0), s) << "the splitter keeps its slot";
    EXPECT_NE(dropped->cell->getDomino(dropped->top), dropped) << "the dropped domino is out of play";
    EXPECT_FALSE(dropped->broken);
    EXPECT_FALSE(s->broken);
    EXPECT_EQ(s->angle, 6);
    EXPECT_EQ(s->angle2, -6);
}

// The shared vertical motion runs once per half: twice a standard domino's speed.
TEST(SplitterDropping, DropsARowEveryThreeTicks)
{
    World w("1 3 0 0 0 0\n \n \n.\nS\n \n \n");
    Domino* s = w.at(0, 2);
    w.tick(4);
    EXPECT_EQ(s->cell, w.cell(0, 1));
    w.tick(3);
    EXPECT_EQ(s->cell, w.cell(0, 0));
    EXPECT_EQ(s->fly, 0);
}

TEST(SplitterPushedByPlayer, OneBoxWholeThenTwoTurningOppositeWaysAndThePushIsUsedUp)
{
    World w("3 1 1 0 2 0\n___\n S \n");
    Splitter* s = splitterAt(w, 1, 0);
    const auto whole = drawAlone(s);
    ASSERT_EQ(whole.size(), 10u) << "top, bottom and two bands of four sides";
    for (const Polygon& f : whole)
        EXPECT_TRUE(f.centre(1) < 2.5f ? isRed(f) : isYellow(f)) << "face centred at y " << f.centre(1);
    expectSpan(only(whole, isRed), 1, 0, 2.5f);

    push(w, 1);
    EXPECT_FALSE(level->canPush());
    w.tick(1);
    EXPECT_EQ(s->angle, 1);
    EXPECT_EQ(s->angle2, -1);
    const auto split = drawAlone(s);
    ASSERT_EQ(split.size(), 20u);
    const auto tops = only(split, [](const Polygon& f) { return isYellow(f) && f.normal(1) > 0.5f; });
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_GT(std::max(tops[0].centre(0), tops[1].centre(0)), 0.5f);
    EXPECT_LT(std::min(tops[0].centre(0), tops[1].centre(0)), -0.5f);
}

}  // namespace
