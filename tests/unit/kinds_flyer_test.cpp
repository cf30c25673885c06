// The flyer: a standard domino turned upside down. Pushed, it takes off into
// its cell's upper slot, rises to the ceiling, topples hanging from it and
// swings up round ceiling edges into the rows above.
#include "kinds_support.h"

namespace {

const float sixth = 10.0f / 6;  // one elev step in world units

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
    EXPECT_EQ(f->fly, 0);
    w.tick(1);
    EXPECT_EQ(f->angle, 1);
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
    EXPECT_EQ(f->fly, 1);
    w.tick(6);
    EXPECT_EQ(f->elev, 2);
    EXPECT_EQ(f->fly, 0) << "resting against the floor of the row above that";
}

TEST(FlyerRising, PlacedOnACellWithoutFloorItRisesByItselfInTheLowerSlot)
{
    World w("2 2 1 0 1 0\n. \n .\n  \nF \n");
    Domino* f = w.at(0, 0);
    w.tick(3);
    EXPECT_EQ(f->elev, 2);
    EXPECT_EQ(f->fly, 0);
    EXPECT_EQ(f->top, 0);
    EXPECT_EQ(w.at(0, 0, 0), f);
    EXPECT_FALSE(f->isDone()) << "upright at the ceiling is not done";
}

TEST(FlyerAtACeilingEdge, LyingFlatItSwingsUpOneRowAndOneColumnLeaningTheOtherWay)
{
    World w("3 3 0 0 2 0\n __\n(  \n___\n   \n   \nF  \n");
    Domino* f = w.at(0, 0);
    player.push(1);
    w.tick(7);
    ASSERT_EQ(f->angle, 5);
    w.tick(1);
    EXPECT_EQ(f->cell, w.cell(1, 1));
    EXPECT_EQ(f->angle, -6);
    EXPECT_EQ(f->elev, -4);
    EXPECT_EQ(f->speed, 1);
    EXPECT_EQ(f->fly, 1);

    w.tick(6);
    EXPECT_EQ(f->angle, 0) << "swung back upright as it rose";
    EXPECT_EQ(f->elev, 2);
    w.tick(10);
    EXPECT_EQ(f->cell, w.cell(1, 1));
    EXPECT_EQ(f->angle, 6);
    EXPECT_TRUE(f->isDone());
}

TEST(FlyerStruck, UprightAtTheCeilingAStrikeChangesNothing)
{
    World w("3 2 0 0 2 0\n . \n_ _\n   \nNF \n");
    Domino* n = w.at(0, 0);
    Domino* f = w.at(1, 0);
    w.tick(3);
    ASSERT_EQ(f->elev, 2);
    player.push(1);
    w.frame();
    w.tick(20);
    EXPECT_EQ(f->angle, 0);
    EXPECT_EQ(f->speed, 0);
    EXPECT_EQ(f->elev, 2);
    EXPECT_EQ(f->cell, w.cell(1, 0));
    EXPECT_EQ(n->angle, 5) << "the striker rests against it";
}

TEST(FlyerStruck, OnItsFloorItTakesOffAndFreesTheLowerSlotForTheStriker)
{
    World w("3 2 0 0 2 0\n___\n___\n   \nNF \n");
    Domino* n = w.at(0, 0);
    Domino* f = w.at(1, 0);
    player.push(1);
    w.frame();
    w.tick(30);
    EXPECT_EQ(w.at(1, 0, 1), f);
    EXPECT_EQ(w.at(1, 0, 0), &blank);
    EXPECT_EQ(n->angle, 6) << "lies flat across the flyer's cell";
    EXPECT_EQ(f->angle, 6);
}

TEST(FlyerStrikes, AtSixtyDegreesItKnocksOverADominoOnTheFloorBelowIt)
{
    World w("3 2 0 0 2 0\n___\n___\n   \nFN \n");
    Domino* n = w.at(1, 0);
    player.push(1);
    w.tick(6);
    EXPECT_EQ(n->speed, 1);
    w.tick(20);
    EXPECT_EQ(n->angle, 6);
    EXPECT_EQ(w.at(0, 0, 1)->angle, 6);
}

TEST(FlyerStrikes, AtSixtyDegreesItLaunchesAFlyerStandingThere)
{
    World w("3 2 0 0 2 0\n___\n___\n   \nFF \n");
    Domino* second = w.at(1, 0);
    player.push(1);
    w.tick(6);
    EXPECT_EQ(w.at(1, 0, 1), second);
    EXPECT_EQ(second->fly, 1);
    EXPECT_EQ(second->speed, 1);
}

TEST(FlyerDrawing, UpsideDownWithYellowRedYellowAcrossItsDepth)
{
    World w("1 1 0 0 0 0\n.\nF\n");
    const auto faces = drawAlone(w.at(0, 0));
    ASSERT_EQ(faces.size(), 14u);
    EXPECT_NEAR(span(faces, 2).lo, -7 / 3.0f, 1e-5f);
    EXPECT_NEAR(span(faces, 2).hi, 5 / 3.0f, 1e-5f);
    EXPECT_NEAR(span(faces, 1).lo, 0, 1e-5f);
    EXPECT_NEAR(span(faces, 1).hi, 5, 1e-5f);

    const auto ends = only(faces, [](const Polygon& f) { return std::abs(f.normal(2)) > 0.5f; });
    ASSERT_EQ(ends.size(), 2u);
    for (const Polygon& f : ends)
        EXPECT_TRUE(f.isYellow());

    const auto red = only(faces, [](const Polygon& f) { return f.isRed(); });
    ASSERT_EQ(red.size(), 4u);
    EXPECT_NEAR(span(red, 2).lo, -1, 1e-5f);
    EXPECT_NEAR(span(red, 2).hi, 1 / 3.0f, 1e-5f);
}

// A standard domino's top swings toward the fall; a flyer's lower end does,
// while it hangs from its top edge at the ceiling.
TEST(FlyerDrawing, TippingItSwingsItsLowerEndAboutItsTopEdge)
{
    World w("3 2 0 0 2 0\n___\n___\n   \nF  \n");
    player.push(1);
    w.tick(4);
    Domino* f = w.at(0, 0, 1);
    ASSERT_EQ(f->angle, 2);
    const auto faces = drawAlone(f);

    const float ceiling = 5 + 2 * sixth;
    EXPECT_NEAR(span(faces, 1).hi, ceiling, 1e-4f);
    const auto lowerEnd = only(faces, [](const Polygon& face) { return face.normal(1) < -0.8f; });
    ASSERT_EQ(lowerEnd.size(), 3u) << "one face per band";
    EXPECT_GT(span(lowerEnd, 0).lo, 1.5f) << "swung toward the push";
}

}  // namespace
