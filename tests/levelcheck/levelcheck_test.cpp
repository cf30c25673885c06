// The level checker's own parts: where the format scan places a fault, what
// the reachability search lets the player get to, and which dominoes leave
// the level as it starts.
#include "lost.h"
#include "reach.h"
#include "scan.h"

#include "level.h"
#include "main.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

// Floors from rows written top row first, in the level file's cell
// characters.
Floors floors(const std::vector<std::string>& rows)
{
    Floors f;
    f.hei = rows.size();
    f.wid = rows[0].size();
    for (int y = 0; y < f.hei; y++)
        for (char c : rows[f.hei - 1 - y]) {
            const CellKind* kind = findCellKind(c);
            f.floor.push_back(kind->floor);
            f.ladder.push_back(kind->ladder);
            f.hole.push_back(false);
        }
    return f;
}

TEST(LevelScan, AcceptsAWellFormedLevel)
{
    const ScanResult r = scanLevel("3 2 0 0 2 1\n  .\n.[.\n  T\nN  \n");
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(3, r.wid);
    EXPECT_EQ(1, r.oy);
}

TEST(LevelScan, PlacesEachFaultAtItsLineAndColumn)
{
    struct Case {
        const char* text;
        int line, column;
        const char* says;
    } cases[] = {
        {"3 1 0 0 2 0\r\n...\n  T\n", 1, 12, "carriage return"},
        {"3 1 0 0 2\n...\n  T\n", 2, 1, "exit row"},
        {"3 1 0 0 2 0\n.x.\n  T\n", 2, 2, "cell character"},
        {"3 1 0 0 2 0\n..\n  T\n", 2, 3, "too short"},
        {"3 1 0 0 2 0\n...\n  t\n", 3, 3, "domino character"},
        {"3 1 0 0 2 0\n....\n  T\n", 2, 4, "line feed"},
        {"3 1 0 0 2 0\n...\n  T", 3, 4, "end of the file"},
        {"0 1 0 0 0 0\n\n\n", 1, 12, "at least 1"},
    };
    for (const Case& c : cases) {
        const ScanResult r = scanLevel(c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(c.line, r.line) << c.text;
        EXPECT_EQ(c.column, r.column) << c.text;
        EXPECT_NE(std::string::npos, r.message.find(c.says)) << r.message;
    }
}

TEST(LevelScan, ReadsHeaderNumbersAcrossLinesAsTheLoaderDoes)
{
    EXPECT_TRUE(scanLevel("3\n1 0 0\n2 0\n...\n  T\n").ok);
}

TEST(Reach, ClimbsOnlyWhereThereIsALadder)
{
    const Floors f = floors({
        " .",
        "..",
    });
    EXPECT_FALSE(reachableFrom(f, 0, 0)[f.at(1, 1)]);
}

TEST(Reach, ClimbsALadderOntoTheFloorAboveAndFallsFromItsEdge)
{
    const Floors f = floors({
        "  .. ",
        "..[  ",
        ".....",
    });
    const std::vector<bool> r = reachableFrom(f, 0, 1);
    EXPECT_TRUE(r[f.at(3, 2)]) << "climbed the ladder at column 2";
    EXPECT_TRUE(r[f.at(4, 0)]) << "walked off row 1 and fell to row 0";
    EXPECT_FALSE(r[f.at(0, 2)]);
}

TEST(Reach, AFallWithNoFloorBelowIsLost)
{
    const Floors f = floors({". ."});
    const std::vector<bool> r = reachableFrom(f, 0, 0);
    EXPECT_FALSE(r[f.at(2, 0)]);
}

TEST(Reach, AFloorThatMayBeBlownAwayIsAlsoAWayDown)
{
    Floors f = floors({
        "...",
        " . ",
    });
    EXPECT_FALSE(reachableFrom(f, 0, 1)[f.at(1, 0)]);
    f.hole[f.at(1, 1)] = true;
    EXPECT_TRUE(reachableFrom(f, 0, 1)[f.at(1, 0)]);
}

TEST(Reach, APlayerComingOutInMidAirLandsOnTheFloorBelowOrIsLost)
{
    const Floors f = floors({
        "  ",
        "  ",
        ". ",
    });
    EXPECT_TRUE(landsInside(f, 0, 0));
    EXPECT_TRUE(landsInside(f, 0, 1)) << "one row above the floor";
    EXPECT_TRUE(landsInside(f, 0, 2)) << "two rows above it";
    EXPECT_FALSE(landsInside(f, 1, 2)) << "nothing below";
}

// The level's file text, entered into the game's globals as the checker
// enters a level.
void enterText(const std::string& text)
{
    char path[] = "/tmp/levelcheck-test-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path, std::ios::binary) << text;
    borderCell.init(-2, -2, 0, false);
    delete level;
    level = nullptr;
    ASSERT_TRUE(enterLevel(path));
    unlink(path);
}

std::vector<std::pair<int, int>> positions(const std::vector<Spot>& spots)
{
    std::vector<std::pair<int, int>> p;
    for (const Spot& s : spots)
        p.emplace_back(s.x, s.y);
    return p;
}

// Column 0 has no floor in any row; column 1 has one at the bottom.
TEST(Lost, ADominoInMidAirLeavesTheLevelOnlyWithNoFloorToCatchIt)
{
    enterText(R"(3 3 2 0 2 0
  .
  .
 ()
NN 
   
  T
)");
    EXPECT_EQ(positions(dominoesLostAtStart()), (std::vector<std::pair<int, int>>{{0, 2}}));
    delete level;
    level = nullptr;
}

// Upside down, a flyer off its floor rises to the floor above it.
TEST(Lost, AFlyerInMidAirRisesOutOfTheLevelUnlessAFloorIsAbove)
{
    enterText(R"(2 2 1 1 1 1
 .
  
  
FF
)");
    EXPECT_EQ(positions(dominoesLostAtStart()), (std::vector<std::pair<int, int>>{{0, 0}}));
    delete level;
    level = nullptr;
}

}  // namespace
