// The flyer: a standard domino turned upside down. Pushed, it takes off into
// its cell's upper slot, rises to the ceiling, topples hanging from it and
// swings up round ceiling edges into the rows above.
#include "kinds_support.h"

namespace {

// Its elev is in sixths of a row; at 2 its top meets the ceiling. Hanging
// from its top edge there, its lower end swings toward the push, where a
// standard domino's top would.
TEST(FlyerPushed, RisesTwoTicksThenTipsHangingFromTheCeilingAndLiesFlatAgainstIt)
{
    World w("3 2 0 0 2 0\n___\n___\n   \nF  \n");
    Domino* f = w.at(0, 0);
    player.push(1);
    EXPECT_FALSE(level->canPush());
    EXPECT_EQ(w.at(0, 0, 1), f) << "takes off into the upper slot";
    EXPECT_EQ(w.at(0, 0, 0), &blank);
    w.tick(2);
    EXPECT_EQ(f->elev, 2);
    EXPECT_EQ(f->angle, 0);
    w.tick(2);
    ASSERT_EQ(f->angle, 2);
    const auto faces = drawAlone(f);
    EXPECT_NEAR(span(faces, 1).hi, 5 + 2 * 10 / 6.0f, 1e-4f) << "the top edge stays at the ceiling";
    const auto lowerEnd = only(faces, [](const Polygon& face) { return face.normal(1) < -0.8f; });
    ASSERT_EQ(lowerEnd.size(), 3u) << "one face per band";
    EXPECT_GT(span(lowerEnd, 0).lo, 1.5f) << "swung toward the push";
    w.tick(20);
    EXPECT_EQ(f->angle, 6);
    EXPECT_EQ(f->elev, 2);
    EXPECT_EQ(f->cell, w.cell(0, 0));
    EXPECT_TRUE(f->isDone());
}

TEST(FlyerRising, WithoutAFloorAboveItRisesOnIntoTheRowAbove)
{
    World w("1 3 0 0 0 0\n.\n \n.\n \n \nF\n");
    Domino* f = w.at(0, 0);
    player.push(1);
    w.tick(2);
    EXPECT_EQ(f->cell, w.cell(0, 1));
    EXPECT_EQ(f->elev, -4);
    w.tick(6);
    EXPECT_EQ(f->elev, 2);
    EXPECT_EQ(f->fly, 0) << "resting against the floor of the row above that";
}

TEST(FlyerAtACeilingEdge, LyingFlatItSwingsUpOneRowAndOneColumnLeaningTheOtherWay)
{
    World w("3 3 0 0 2 0\n __\n(  \n___\n   \n   \nF  \n");
    Domino* f = w.at(0, 0);
    player.push(1);
    w.tick(8);
    EXPECT_EQ(f->cell, w.cell(1, 1));
    EXPECT_EQ(f->angle, -6);
    EXPECT_EQ(f->elev, -4);
    EXPECT_EQ(f->speed, 1);
    EXPECT_EQ(f->fly, 1);
    w.tick(6);
    EXPECT_EQ(f->angle, 0) << "swung back upright as it rose";
    EXPECT_EQ(f->elev, 2);
}

// Resting upright at the ceiling it is not done, and a square strike on it
// is taken and ignored.
TEST(FlyerPlacedWithoutFloor, RisesByItselfInTheLowerSlotAndAStrikeAtTheCeilingChangesNothing)
{
    World w("3 2 0 0 2 0\n . \n_ _\n   \nNF \n");
    Domino* f = w.at(1, 0);
    w.tick(3);
    ASSERT_EQ(f->elev, 2);
    EXPECT_EQ(w.at(1, 0, 0), f);
    EXPECT_FALSE(f->isDone());
    pushAndSettle(w, 1);
    EXPECT_EQ(f->angle, 0);
    EXPECT_EQ(f->speed, 0);
    EXPECT_EQ(f->elev, 2);
    EXPECT_EQ(f->cell, w.cell(1, 0));
    EXPECT_EQ(w.at(0, 0)->angle, 5) << "the striker rests against it";
}

// Tipping at the ceiling, it strikes both slots of the next cell.
TEST(FlyerStrikes, AtSixtyDegreesItFellsADominoOnTheFloorAndLaunchesAFlyer)
{
    const struct { const char* level; int slot; } cases[] = {
        {"3 2 0 0 2 0\n___\n___\n   \nFN \n", 0},
        {"3 2 0 0 2 0\n___\n___\n   \nFF \n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        World w(c.level);
        Domino* struck = w.at(1, 0);
        player.push(1);
        w.tick(6);
        EXPECT_EQ(w.at(1, 0, c.slot), struck);
        EXPECT_EQ(struck->speed, 1);
    }
}

TEST(FlyerDrawing, UpsideDownWithYellowRedYellowAcrossItsDepth)
{
    World w("1 1 0 0 0 0\n.\nF\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 14u);
    expectSpan(faces, 2, -7 / 3.0f, 5 / 3.0f);
    expectSpan(faces, 1, 0, 5);
    EXPECT_EQ(only(only(faces, facing(2)), isYellow).size(), 2u) << "yellow ends";
    const auto red = only(faces, isRed);
    EXPECT_EQ(red.size(), 4u);
    expectSpan(red, 2, -1, 1 / 3.0f);
}

}  // namespace
