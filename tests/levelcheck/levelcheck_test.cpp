// The level checker's own parts, beside its run over the shipped levels:
// where the format scan places a fault, and which dominoes leave the level as
// it starts.
#include "lost.h"
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
        {"3 1 0 0 2 0\n.x.\n  T\n", 2, 2, "cell character"},
        {"3 1 0 0 2 0\n..\n  T\n", 2, 3, "too short"},
        {"3 1 0 0 2 0\n...\n  t\n", 3, 3, "domino character"},
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
