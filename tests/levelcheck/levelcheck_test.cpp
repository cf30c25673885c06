// The level checker's own parts, beside its run over the shipped levels:
// where the format scan places a fault, and which dominoes leave the level as
// it starts, and which neighbours look alike from the front.
#include "lookalike.h"
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

std::vector<std::string> lookAlikes()
{
    std::vector<std::string> pairs;
    for (const LookAlike& a : lookAlikesSideBySide())
        pairs.push_back(std::string{a.leftKind, a.rightKind} + "@" + std::to_string(a.left.x) + ","
                        + std::to_string(a.left.y));
    return pairs;
}

// Red beside red and stripes beside stripes are noted, and a flyer or a delay
// beside a plain one, whose faces are plain too; kinds with faces of their
// own, one cell apart or alike, are not.
TEST(LookAlike, OnlyDifferentKindsWithOneFaceSideBySideAreNoted)
{
    World w(R"(9 2 0 0 8 0
               |WX N W XT
               |(_______)
               |TV NFDNSL
               |(_______))");
    EXPECT_EQ(lookAlikes(), (std::vector<std::string>{"WX@0,1", "TV@0,0", "NF@3,0", "FD@4,0", "DN@5,0"}));
}

}  // namespace
