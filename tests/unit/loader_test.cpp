// The level file: a header of six numbers, a grid of cell characters and a
// grid of domino letters, read byte for byte. Every fault is refused with a
// false result and, for a bad byte or a bad header, one line on stdout; each
// kind of fault is listed beside a file that loads.
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
// printed. The level stays loaded until this goes.
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

struct Case {
    const char* what;
    std::string text;
    bool loads;
    std::string printed;  // exactly what the loader wrote on stdout
};

// One level at a time, each gone before the next is loaded.
void expectOutcomes(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded l(c.text);
        EXPECT_EQ(l.ok(), c.loads);
        EXPECT_EQ(l.printed, c.printed);
    }
}

const std::string grids3x1 = "___\nN T\n";
const std::string header3x1 = "3 1 0 0 2 0\n";

TEST(LevelHeader, SixNumbersAndThenExactlyOneLineFeed)
{
    expectOutcomes({
        {"six numbers on a line", header3x1 + grids3x1, true, ""},
        {"spread over several lines", "3\n1   0\n\n0 2\n0\n" + grids3x1, true, ""},
        {"carriage returns", "3 1 0 0 2 0\r\n___\r\nN T\r\n", false, "Newline expected\n"},
        {"blank after the sixth", "3 1 0 0 2 0 \n" + grids3x1, false, "Newline expected\n"},
        {"five numbers", "3 1 0 0 2\n", false, ""},
        {"a word for a number", "3 1 0 zero 2 0\n" + grids3x1, false, ""},
    });
}

TEST(LevelHeader, SizeFromOneByOneUpToWhatFitsInMemory)
{
    expectOutcomes({
        {"one by one", "1 1 0 0 0 0\n.\nN\n", true, ""},
        {"500 wide", "500 1 0 0 499 0\n" + std::string(500, '_') + "\n" + std::string(500, 'N') + "\n",
         true, ""},
        {"no width", "0 1 0 0 0 0\n\n\n", false, "Illegal level size 0 x 1\n"},
        {"negative height", "3 -1 0 0 2 0\n" + grids3x1, false, "Illegal level size 3 x -1\n"},
        {"too large", "100000 100000 0 0 1 0\n", false, "Level too large 100000 x 100000\n"},
    });
}

TEST(LevelHeader, DoorsInsideTheGridOnly)
{
    expectOutcomes({
        {"far corners", "3 2 2 1 0 0\n___\n___\n   \n   \n", true, ""},
        {"exit right of the grid", "3 1 0 0 3 0\n" + grids3x1, false, "Door outside the level\n"},
        {"entrance below the grid", "3 1 0 -1 2 0\n" + grids3x1, false, "Door outside the level\n"},
    });
    Loaded l("3 2 2 1 0 0\n___\n___\n   \n   \n");
    EXPECT_EQ(level->getCell(2, 1)->getDoor(), level->getWayIn());
    EXPECT_EQ(level->getCell(0, 0)->getDoor(), &level->wayOut);
    EXPECT_EQ(borderCell.getDoor(), nullptr);
}

TEST(LevelGrid, LinesOfExactlyTheWidthEndingInALineFeed)
{
    expectOutcomes({
        {"ends right after the last line feed", header3x1 + grids3x1, true, ""},
        {"anything after it is not read", header3x1 + grids3x1 + "this is not read\r\n", true, ""},
        {"no final line feed", header3x1 + "___\nN T", false, ""},
        {"short line, in a file long enough: its line feed is read as a cell", header3x1 + "__\nN  \n\n", false,
         "Illegal cell character '\n'\n"},
        {"long line", header3x1 + "____\nN  \n", false, "Newline expected\n"},
    });
}

TEST(LevelGrid, OnlyTheCharactersOfTheTables)
{
    expectOutcomes({
        {"upper-case letter", header3x1 + "___\nN  \n", true, ""},
        {"lower-case letter", header3x1 + "___\nn  \n", false, "Illegal domino character 'n'\n"},
        {"domino letter among the cells", header3x1 + "_N_\nN  \n", false, "Illegal cell character 'N'\n"},
    });
}

TEST(LevelGrid, EveryCellCharacterGivesItsFloorAndLadder)
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
        Cell* c = level->getCell(x, 0);
        EXPECT_EQ(c->getFloor(), expected[x].floor) << "'" << expected[x].ch << "'";
        EXPECT_EQ(c->getLadder(), expected[x].ladder) << "'" << expected[x].ch << "'";
        EXPECT_EQ(c->getX(), x);
    }
}

TEST(LevelGrid, EveryLetterMakesItsKindUprightAndWhole)
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
        EXPECT_EQ(d->cell, level->getCell(x, 0));
        EXPECT_EQ(d->angle, 0);
        EXPECT_FALSE(d->broken);
    }
}

TEST(LevelGrid, FirstLineOfEachGridIsTheTopRow)
{
    Loaded l("2 2 0 0 1 0\n. \n _\nN \n T\n");
    ASSERT_TRUE(l.ok());
    EXPECT_EQ(level->getCell(0, 1)->getFloor(), 1);
    EXPECT_EQ(level->getCell(0, 1)->getY(), 1);
    EXPECT_EQ(level->getCell(1, 0)->getFloor(), 7);
    const Domino* standard = level->getCell(0, 1)->getDomino(0);
    EXPECT_STREQ(typeid(*standard).name(), typeid(Domino).name());
    EXPECT_TRUE(dynamic_cast<Trigger*>(level->getCell(1, 0)->getDomino(0)));
    EXPECT_TRUE(level->getCell(0, 0)->getDomino(0)->isBlank());
}

// Every domino made is counted, so deleting the level frees it; the
// sanitizer build checks that nothing is left over.
TEST(LevelHalfLoaded, KeepsWhatItBuiltForItsDestructorAndAttachesNoDoor)
{
    Level half;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(half.load(writeTempFile("3 1 0 0 2 0\n___\nNTx\n").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Illegal domino character 'x'\n");
    EXPECT_EQ(half.dcount, 2);
    EXPECT_EQ(half.getCell(0, 0)->getDoor(), nullptr);
    EXPECT_EQ(half.getCell(2, 0)->getDoor(), nullptr);
}

TEST(LevelHalfLoaded, LevelThatFailsAsTheGameEntersItIsFreedAtOnce)
{
    Loaded bad("3 1 0 0 2 0\n___\nNTx\n");
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(level, nullptr);
}

}  // namespace
