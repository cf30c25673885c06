// The blocker: refuses every square strike, so it never topples, stops or
// turns back what falls against it, and never holds up a finished level.
#include "kinds_support.h"

namespace {

// The level's one push is spent only on a domino that takes it.
TEST(BlockerPushedByPlayer, NothingMovesAndThePushIsStillThereUnlikeAStandardDomino)
{
    for (const char* kind : {"W", "N"}) {
        SCOPED_TRACE(kind);
        World w(std::string("2 1 0 0 1 0\n__\n") + kind + " \n");
        push(w, 1);
        w.tick(5);
        EXPECT_EQ(w.at(0, 0)->angle == 0, *kind == 'W');
        EXPECT_EQ(level->canPush(), *kind == 'W');
    }
}

TEST(BlockerStopsAFall, TheStrikerSwingsBackWhenBehindIsFreeAndRestsAtFourStepsWhenNot)
{
    const struct { const char* level; int strikerAngle; } cases[] = {
        {"3 1 1 0 0 0\n___\n NW\n", -6},
        {"3 1 0 0 2 0\n___\nNNW\n", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        World w(c.level);
        pushAndSettle(w, 1);
        EXPECT_EQ(w.at(1, 0)->angle, c.strikerAngle);
        EXPECT_EQ(w.at(1, 0)->speed, 0);
        EXPECT_EQ(w.at(2, 0)->angle, 0);
        EXPECT_EQ(w.at(2, 0)->speed, 0);
    }
}

TEST(BlockerIsDone, UprightBlockersDoNotKeepTheExitShutWhereAStandardDominoDoes)
{
    for (const char* kind : {"W", "N"}) {
        SCOPED_TRACE(kind);
        World w(std::string("3 1 0 0 2 0\n___\nT ") + kind + "\n");
        pushAndSettle(w, 1);
        EXPECT_EQ(level->wayOut.isOpenedExit(), *kind == 'W');
    }
}

// The domino dropped into each slot breaks what stands there.
TEST(BlockerIsDone, EvenBrokenAndDrawnAsDebrisWhereABrokenStandardDominoIsNotDone)
{
    World w("2 2 0 0 0 0\n  \n..\nNN\nWN\n");
    Domino* b = w.at(0, 0);
    w.tick(7);
    ASSERT_TRUE(b->broken && w.at(1, 0)->broken);
    EXPECT_TRUE(b->isDone());
    EXPECT_FALSE(w.at(1, 0)->isDone());
    const auto faces = drawAlone(b);
    EXPECT_FALSE(faces.empty());
    EXPECT_TRUE(only(faces, [](const Polygon& f) { return f.v.size() == 4; }).empty()) << "no box";
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
}

TEST(BlockerDrawing, ASolidRedBox)
{
    World w("1 1 0 0 0 0\n.\nW\n");
    const auto faces = drawAlone(w.at(0, 0));
    EXPECT_EQ(faces.size(), 6u);
    EXPECT_EQ(only(faces, isRed).size(), faces.size());
    expectSpan(faces, 1, 0, 5);
}

}  // namespace
