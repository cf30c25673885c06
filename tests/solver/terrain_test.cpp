// The player's ways over the floors, as the solver plans them: every way it
// plans must play in the game, a carried domino never takes a fall, and a
// fall with no floor below is no way at all.
#include "program.h"
#include "support.h"
#include "terrain.h"
#include "verifier.h"

#include "level.h"
#include "main.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Row 0 is joined to row 1 by the ladder at column 0, and to row 2 through
// the ladder cell without a floor at (6,1); the gap at (5,1) and the end of
// row 2 at column 3 are drops. The trigger at the entrance falls left, so
// the exit is open while the player walks.
const char* const floors = R"(7 3 1 0 %d %d
   (__)
(___) |
[_____]


 T)";

std::string withExitAt(int column, int row)
{
    char text[256];
    snprintf(text, sizeof text, floors, column, row);
    return levelFile(text);
}

struct Loaded {
    explicit Loaded(const std::string& text) : file("terrain", text) { level.load(file.name().c_str()); }
    ScratchFile file;
    Level level;
};

TEST(TerrainRoutes, EveryCellTheEntranceReachesIsWalkedToInTheGame)
{
    Loaded l(withExitAt(0, 0));
    Terrain t(l.level);
    const int entrance = t.cellAt(1, 0);
    const std::vector<bool> reach = t.reach(entrance, false);
    int tried = 0;
    for (int cell = 0; cell < t.size(); cell++) {
        const int x = t.column(cell), y = t.row(cell);
        // With ladders above and below, both keys that lead into an exit
        // climb instead: no exit can stand there.
        if (!reach[cell] || (l.level.getCell(x, y)->getLadder() && l.level.getCell(x, y - 1)->getLadder()))
            continue;
        const ScratchFile level("walked", withExitAt(x, y));
        std::vector<Action> script = {makeAction(Action::Push, -1), makeAction(Action::WaitStill)};
        ASSERT_TRUE(t.route(entrance, cell, false, script));
        script.push_back(makeAction(Action::Exit));
        const Verifier::Result played = Verifier::play(level.name(), script);
        EXPECT_TRUE(played.solved) << "to (" << x << "," << y << "): " << played.why << "\n"
                                   << scriptText(script);
        tried++;
    }
    EXPECT_EQ(16, tried) << "every floor cell";
}

TEST(TerrainReach, ACarriedDominoNeverTakesAFall)
{
    Loaded l(withExitAt(0, 0));
    Terrain t(l.level);
    const int topRight = t.cellAt(6, 2);
    EXPECT_TRUE(t.reach(topRight, false)[t.cellAt(2, 1)]) << "dropped off the end of row 2";
    EXPECT_TRUE(t.reach(topRight, true)[t.cellAt(2, 1)]) << "down the ladders and up the one at column 0";
    const int rowOne = t.cellAt(2, 1);
    EXPECT_TRUE(t.reach(rowOne, false)[t.cellAt(5, 0)]);
    std::vector<Action> carried;
    ASSERT_TRUE(t.route(rowOne, t.cellAt(5, 0), true, carried));
    for (const Action& a : carried)
        EXPECT_NE(Action::Drop, a.kind) << scriptText(carried);
}

TEST(TerrainReach, AFallWithNoFloorBelowIsNoWay)
{
    Loaded l(levelFile(R"(5 2 0 1 4 1
(_) .
.....)"));
    Terrain t(l.level);
    const std::vector<bool>& reach = t.reach(t.cellAt(0, 1), false);
    EXPECT_TRUE(reach[t.cellAt(3, 0)]) << "off the end of the ledge onto the floor below";
    EXPECT_FALSE(reach[t.cellAt(4, 1)]) << "nothing joins the ledge to the cell beyond the gap";
    Loaded bottomless(levelFile(R"(4 1 0 0 3 0
() .)"));
    Terrain b(bottomless.level);
    EXPECT_FALSE(b.reach(b.cellAt(0, 0), false)[b.cellAt(2, 0)]) << "the gap at column 2 has no floor below";
}

// The checker's upper bound: with what bridges and boomers may do granted,
// a one-cell gap between floors is spanned and any floor may be fallen
// through; a wider gap stays a gap.
TEST(TerrainReach, WithTheFloorChangesGrantedGapsAreSpannedAndFloorsFallenThrough)
{
    Loaded l(levelFile(R"(10 2 0 1 9 1
(_) (_)  .
 .)"));
    const Terrain::Changes bridged{true, false}, holed{false, true};
    Terrain now(l.level), spanned(l.level, bridged), blown(l.level, holed);
    const int entrance = now.cellAt(0, 1);
    EXPECT_FALSE(now.reach(entrance, false)[now.cellAt(4, 1)]);
    EXPECT_TRUE(spanned.reach(entrance, false)[spanned.cellAt(5, 1)]) << "across the one-cell gap";
    EXPECT_FALSE(spanned.reach(entrance, false)[spanned.cellAt(9, 1)]) << "not across two cells";
    EXPECT_FALSE(now.reach(entrance, false)[now.cellAt(1, 0)]);
    EXPECT_TRUE(blown.reach(entrance, false)[blown.cellAt(1, 0)]) << "down through the floor above it";
    EXPECT_FALSE(blown.reach(entrance, false)[blown.cellAt(4, 1)]);
}

}  // namespace
