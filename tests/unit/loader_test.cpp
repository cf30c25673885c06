// The level file: a header of six numbers, a grid of cell characters and a
// grid of domino letters, read byte for byte. Every fault is refused with a
// false result and, for a bad byte or a bad header, one line on stdout.
#include "world.h"

#include "blocker.h"
#include "boomer.h"
#include "bridge.h"
#include "delay.h"
#include "flyer.h"
#include "looping.h"
#include "splitter.h"
#include "trigger.h"
#include "vanish.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

namespace {

// A level file loaded as the game enters a level, with what the loader
// printed. The level stays loaded (or half-loaded) until this goes.
struct Loaded {
    explicit Loaded(const std::string& text)
    {
        testing::internal::CaptureStdout();
        world = std::make_unique<World>(text);
        printed = testing::internal::GetCapturedStdout();
    }
    bool ok() const { return world->loaded; }

    std::unique_ptr<World> world;
    std::string printed;
};

using Outcome = std::pair<bool, std::string>;

// Whether text loaded and what the loader printed; the level is gone after,
// so that two outcomes may be compared in one test.
Outcome outcome(const std::string& text)
{
    Loaded l(text);
    return {l.ok(), l.printed};
}

const Outcome refusedSilently = {false, ""};

Outcome refused(const std::string& message)
{
    return {false, message};
}

// The same grids behind any header.
const std::string grids3x1 = "___\nN T\n";

TEST(LevelHeader, SixNumbersEndedByALineFeedLoad)
{
    Loaded l("3 1 0 0 2 0\n" + grids3x1);
    EXPECT_TRUE(l.ok());
    EXPECT_EQ(l.printed, "");
    EXPECT_EQ(level->wid, 3);
    EXPECT_EQ(level->hei, 1);
    EXPECT_EQ(level->getWayIn()->getCell(), level->getCell(0, 0));
    EXPECT_EQ(level->wayOut.getCell(), level->getCell(2, 0));
}

TEST(LevelHeader, NumbersMaySpreadOverSeveralLines)
{
    Loaded l("3\n1   0\n\n0 2\n0\n" + grids3x1);
    EXPECT_TRUE(l.ok());
    EXPECT_EQ(l.printed, "");
    EXPECT_EQ(level->wid, 3);
}

TEST(LevelHeader, CarriageReturnLineEndsAreRefusedAfterTheHeader)
{
    Loaded crlf("3 1 0 0 2 0\r\n___\r\nN T\r\n");
    EXPECT_FALSE(crlf.ok());
    EXPECT_EQ(crlf.printed, "Newline expected\n");
}

TEST(LevelHeader, BlankAfterTheSixthNumberIsRefused)
{
    Loaded blank("3 1 0 0 2 0 \n" + grids3x1);
    EXPECT_FALSE(blank.ok());
    EXPECT_EQ(blank.printed, "Newline expected\n");
}

TEST(LevelHeader, FewerThanSixNumbersFailSilently)
{
    EXPECT_EQ(outcome("3 1 0 0 2\n"), refusedSilently);
    EXPECT_EQ(outcome("3 1 0 zero 2 0\n" + grids3x1), refusedSilently);
}

TEST(LevelHeader, MissingFileFailsSilentlyAndStillClearsTheRuleFlags)
{
    Level l;
    l.triggering = true;
    l.pushed = true;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(l.load("/nonexistent/levels/1"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(l.triggering);
    EXPECT_TRUE(l.canPush());
}

TEST(LevelSize, WidthOrHeightBelowOneIsRefused)
{
    Loaded noWidth("0 1 0 0 0 0\n\n\n");
    EXPECT_FALSE(noWidth.ok());
    EXPECT_EQ(noWidth.printed, "Illegal level size 0 x 1\n");
}

TEST(LevelSize, NegativeSizeIsRefused)
{
    Loaded negative("3 -1 0 0 2 0\n" + grids3x1);
    EXPECT_FALSE(negative.ok());
    EXPECT_EQ(negative.printed, "Illegal level size 3 x -1\n");
}

TEST(LevelSize, OneByOneIsTheSmallestLevel)
{
    Loaded smallest("1 1 0 0 0 0\n.\nN\n");
    EXPECT_TRUE(smallest.ok());
    EXPECT_EQ(smallest.printed, "");
}

TEST(LevelSize, LevelTooLargeToAllocateIsRefused)
{
    EXPECT_EQ(outcome("100000 100000 0 0 1 0\n"), refused("Level too large 100000 x 100000\n"));
    // Whose product overflows an int.
    EXPECT_EQ(outcome("2147483647 2 0 0 1 0\n"), refused("Level too large 2147483647 x 2\n"));
}

TEST(LevelSize, WideLevelLoads)
{
    const int wide = 500;
    Loaded l("500 1 0 0 499 0\n" + std::string(wide, '_') + "\n" + std::string(wide, 'N') + "\n");
    EXPECT_TRUE(l.ok());
    EXPECT_EQ(level->dcount, wide);
}

TEST(LevelDoors, DoorOutsideTheGridIsRefused)
{
    EXPECT_EQ(outcome("3 1 0 0 3 0\n" + grids3x1), refused("Door outside the level\n"));
    EXPECT_EQ(outcome("3 1 0 -1 2 0\n" + grids3x1), refused("Door outside the level\n"));
}

TEST(LevelDoors, DoorsInTheFarCornersAttachToThoseCells)
{
    Loaded l("3 2 2 1 0 0\n___\n___\n   \n   \n");
    ASSERT_TRUE(l.ok());
    EXPECT_EQ(level->getCell(2, 1)->getDoor(), level->getWayIn());
    EXPECT_EQ(level->getCell(0, 0)->getDoor(), &level->wayOut);
    EXPECT_EQ(borderCell.getDoor(), nullptr);
}

TEST(LevelGrid, LowerCaseLetterIsRefusedByName)
{
    Loaded lower("3 1 0 0 2 0\n___\nn  \n");
    EXPECT_FALSE(lower.ok());
    EXPECT_EQ(lower.printed, "Illegal domino character 'n'\n");
}

TEST(LevelGrid, UpperCaseLetterLoads)
{
    Loaded upper("3 1 0 0 2 0\n___\nN  \n");
    EXPECT_TRUE(upper.ok());
    EXPECT_EQ(upper.printed, "");
}

TEST(LevelGrid, ShortCellLineReadsItsLineFeedAsACell)
{
    Loaded shortLine("3 1 0 0 2 0\n__\nN  \n");
    EXPECT_FALSE(shortLine.ok());
    EXPECT_EQ(shortLine.printed, "Illegal cell character '\n'\n");
}

TEST(LevelGrid, LongLineWantsItsLineFeed)
{
    Loaded longLine("3 1 0 0 2 0\n____\nN  \n");
    EXPECT_FALSE(longLine.ok());
    EXPECT_EQ(longLine.printed, "Newline expected\n");
}

TEST(LevelGrid, BytesOutsideTheTablesAreRefused)
{
    EXPECT_EQ(outcome("3 1 0 0 2 0\n_\t_\nN  \n"), refused("Illegal cell character '\t'\n"));
    EXPECT_EQ(outcome("3 1 0 0 2 0\n___\nN\xe9 \n"), refused("Illegal domino character '\xe9'\n"));
}

TEST(LevelGrid, MissingFinalLineFeedFailsSilently)
{
    Loaded unended("3 1 0 0 2 0\n___\nN T");
    EXPECT_FALSE(unended.ok());
    EXPECT_EQ(unended.printed, "");
}

TEST(LevelGrid, AnythingAfterTheFinalLineFeedIsNotRead)
{
    Loaded trailed("3 1 0 0 2 0\n___\nN T\nthis is not read\r\n");
    EXPECT_TRUE(trailed.ok());
    EXPECT_EQ(trailed.printed, "");
}

TEST(LevelCells, EveryCellCharacterGivesItsFloorAndLadder)
{
    const struct {
        char ch;
        int floor;
        bool ladder;
    } expected[] = {
        {' ', 0, false}, {'|', 0, true}, {'.', 1, false}, {':', 1, false}, {')', 3, false},
        {']', 3, true},  {'(', 5, false}, {'[', 5, true}, {'_', 7, false}, {'!', 7, true},
    };
    std::string cells;
    for (const auto& e : expected)
        cells += e.ch;
    Loaded l("10 1 0 0 9 0\n" + cells + "\n          \n");
    ASSERT_TRUE(l.ok());
    for (int x = 0; x < 10; x++) {
        const auto& e = expected[x];
        Cell* c = level->getCell(x, 0);
        EXPECT_EQ(c->getFloor(), e.floor) << "'" << e.ch << "'";
        EXPECT_EQ(c->getLadder(), e.ladder) << "'" << e.ch << "'";
        EXPECT_EQ(c->getX(), x);
        EXPECT_EQ(c->getY(), 0);
    }
}

TEST(LevelCells, FirstLineOfEachGridIsTheTopRow)
{
    Loaded l("2 2 0 0 1 0\n. \n _\nN \n T\n");
    ASSERT_TRUE(l.ok());
    EXPECT_EQ(level->getCell(0, 1)->getFloor(), 1);
    EXPECT_EQ(level->getCell(0, 0)->getFloor(), 0);
    EXPECT_EQ(level->getCell(1, 0)->getFloor(), 7);
    EXPECT_EQ(level->getCell(0, 1)->getY(), 1);

    Domino* top = level->getCell(0, 1)->getDomino(0);
    EXPECT_STREQ(typeid(*top).name(), typeid(Domino).name());
    EXPECT_EQ(top->cell, level->getCell(0, 1));
    EXPECT_TRUE(dynamic_cast<Trigger*>(level->getCell(1, 0)->getDomino(0)));
    EXPECT_TRUE(level->getCell(0, 0)->getDomino(0)->isBlank());
}

TEST(LevelDominoes, EveryLetterMakesItsKind)
{
    Loaded l("10 1 0 0 9 0\n__________\nNWVBSDXFLT\n");
    ASSERT_TRUE(l.ok());
    const std::type_info* kinds[] = {
        &typeid(Domino), &typeid(Blocker), &typeid(Vanish), &typeid(Bridge), &typeid(Splitter),
        &typeid(Delay),  &typeid(Boomer),  &typeid(Flyer),  &typeid(Looping), &typeid(Trigger),
    };
    ASSERT_EQ(level->dcount, 10);
    for (int x = 0; x < 10; x++) {
        Domino* d = level->getCell(x, 0)->getDomino(0);
        EXPECT_STREQ(typeid(*d).name(), kinds[x]->name()) << "column " << x;
        EXPECT_EQ(level->doms[x], d);
        EXPECT_EQ(d->angle, 0);
        EXPECT_EQ(d->speed, 0);
        EXPECT_FALSE(d->broken);
    }
}

// Level::update runs through doms in this order, so it is the update order.
TEST(LevelDominoes, ListedTopRowFirstThenLeftToRight)
{
    Loaded l("3 2 0 0 2 0\n___\n___\n T \nN N\n");
    ASSERT_TRUE(l.ok());
    ASSERT_EQ(level->dcount, 3);
    EXPECT_EQ(level->doms[0], level->getCell(1, 1)->getDomino(0));
    EXPECT_EQ(level->doms[1], level->getCell(0, 0)->getDomino(0));
    EXPECT_EQ(level->doms[2], level->getCell(2, 0)->getDomino(0));
}

TEST(LevelDominoes, SameDominoesInAnotherRowComeInAnotherOrder)
{
    Loaded l("3 2 0 0 2 0\n___\n___\nN N\n T \n");
    ASSERT_TRUE(l.ok());
    ASSERT_EQ(level->dcount, 3);
    EXPECT_EQ(level->doms[0], level->getCell(0, 1)->getDomino(0));
    EXPECT_EQ(level->doms[1], level->getCell(2, 1)->getDomino(0));
    EXPECT_EQ(level->doms[2], level->getCell(1, 0)->getDomino(0));
}

// The sanitizer build checks that deleting it frees the two dominoes made.
TEST(LevelDominoes, HalfLoadedLevelKeepsWhatItBuiltAndAttachesNoDoor)
{
    Level half;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(half.load(writeTempFile("3 1 0 0 2 0\n___\nNTx\n").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Illegal domino character 'x'\n");
    EXPECT_EQ(half.dcount, 2);
    EXPECT_EQ(half.getCell(0, 0)->getDoor(), nullptr);
    EXPECT_EQ(half.getCell(2, 0)->getDoor(), nullptr);
}

TEST(LevelDominoes, LevelThatFailsAsTheGameEntersItIsFreedAtOnce)
{
    Loaded bad("3 1 0 0 2 0\n___\nNTx\n");
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(level, nullptr);
}

}  // namespace
