// The level checker's own parts: where the format scan places a fault, what
// the reachability search lets the player get to, and which dominoes leave
// the level as it starts.
#include "lost.h"
#include "reach.h"
#include "scan.h"

#include "world.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(LevelScan, PlacesEachFaultAtItsLineAndColumn)
{
    const struct {
        const char* text;
        int line, column;
        const char* says;  // null for a file that reads
    } cases[] = {
        {"3\n1 0 0\n2 0\n...\n  T\n", 0, 0, nullptr},
        {"3 1 0 0 2 0\r\n...\n  T\n", 1, 12, "carriage return"},
        {"3 1 0 0 2\n...\n  T\n", 2, 1, "exit row"},
        {"3 1 0 0 2 0\n.x.\n  T\n", 2, 2, "cell character"},
        {"3 1 0 0 2 0\n..\n  T\n", 2, 3, "too short"},
        {"3 1 0 0 2 0\n...\n  t\n", 3, 3, "domino character"},
        {"3 1 0 0 2 0\n....\n  T\n", 2, 4, "line feed"},
        {"3 1 0 0 2 0\n...\n  T", 3, 4, "end of the file"},
        {"0 1 0 0 0 0\n\n\n", 1, 12, "at least 1"},
    };
    for (const auto& c : cases) {
        const ScanResult r = scanLevel(c.text);
        EXPECT_EQ(r.ok, !c.says) << c.text;
        EXPECT_EQ(std::pair(r.line, r.column), std::pair(c.line, c.column)) << c.text;
        EXPECT_NE(r.message.find(c.says ? c.says : ""), std::string::npos) << r.message;
    }
}

// Floors from rows of cell characters, top row first.
Floors floors(const std::vector<std::string>& rows)
{
    Floors f;
    f.hei = rows.size();
    f.wid = rows[0].size();
    for (int y = f.hei - 1; y >= 0; y--)
        for (char c : rows[y]) {
            f.floor.push_back(findCellKind(c)->floor);
            f.ladder.push_back(findCellKind(c)->ladder);
            f.hole.push_back(false);
        }
    return f;
}

TEST(Reach, ByWalkingClimbingLaddersAndFallingOntoAFloor)
{
    const Floors f = floors({
        "  .. ",
        "..[  ",
        ".....",
    });
    const std::vector<bool> r = reachableFrom(f, 0, 1);
    EXPECT_TRUE(r[f.at(3, 2)]) << "climbed the ladder in column 2";
    EXPECT_TRUE(r[f.at(4, 0)]) << "walked off row 1 and fell to row 0";
    EXPECT_FALSE(r[f.at(0, 2)]) << "no ladder up";
    EXPECT_TRUE(landsInside(f, 4, 2)) << "falls two rows onto the floor";
    const Floors gap = floors({". ."});
    EXPECT_FALSE(reachableFrom(gap, 0, 0)[gap.at(2, 0)]) << "a fall with no floor below is lost";
    EXPECT_FALSE(landsInside(gap, 1, 0));
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

std::vector<std::pair<int, int>> lostAtStart()
{
    std::vector<std::pair<int, int>> lost;
    for (const Spot& s : dominoesLostAtStart())
        lost.emplace_back(s.x, s.y);
    return lost;
}

// Column 0 has no floor in any row; column 1 has one at the bottom. Upside
// down, a flyer in mid-air rises out of the level unless a floor is above it.
TEST(Lost, ADominoInMidAirLeavesTheLevelOnlyWithNothingToCatchIt)
{
    {
        World w(R"(3 3 2 0 2 0
                   |NN
                   |  .
                   |
                   |  .
                   |  T
                   | ())");
        EXPECT_EQ(lostAtStart(), (std::vector<std::pair<int, int>>{{0, 2}}));
    }
    World w(R"(2 2 1 1 1 1
               |
               | .
               |FF
               |)");
    EXPECT_EQ(lostAtStart(), (std::vector<std::pair<int, int>>{{0, 0}}));
}

}  // namespace
