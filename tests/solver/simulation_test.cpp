// Plays of one candidate on the game's objects: a play depends on the cells
// of its zone and on nothing else, and every play starts from the level as
// it was loaded.
#include "program.h"
#include "simulation.h"
#include "support.h"

#include <gtest/gtest.h>

namespace {

// The chain is pushed from column 1; the blocker stands far off.
const char* const chainAndBlocker = R"(12 1 0 0 11 0
(__________)
 NNT     W)";

struct Played {
    explicit Played(const char* picture) : file("simulated", levelFile(picture)), sim(file.name()) {}
    ScratchFile file;
    Simulation sim;

    // The level with the domino in cell from moved to cell to.
    std::vector<int> movedFrom(int from, int to) const
    {
        std::vector<int> where = sim.start().where;
        for (int& cell : where)
            if (cell == from)
                cell = to;
        return where;
    }
};

Program pushAt(int cell, int direction)
{
    Program p;
    p.push = cell;
    p.direction = direction;
    return p;
}

TEST(SimulationZone, ADominoOutsideTheZoneChangesNothingOneInsideIt)
{
    Played p(chainAndBlocker);
    const Program push = pushAt(1, 1);
    const Outcome there = p.sim.play(p.sim.start().where, push);
    ASSERT_TRUE(there.solved) << there.why;
    EXPECT_TRUE(there.zone[4]) << "where the trigger lies down";
    EXPECT_FALSE(there.zone[9]) << "the blocker's cell";

    const Outcome elsewhere = p.sim.play(p.movedFrom(9, 10), push);
    EXPECT_FALSE(elsewhere.zone[10]);
    EXPECT_TRUE(elsewhere.solved);
    EXPECT_EQ(there.ticks, elsewhere.ticks);
    EXPECT_EQ(there.zone, elsewhere.zone);

    const Outcome inTheWay = p.sim.play(p.movedFrom(9, 4), push);
    EXPECT_FALSE(inTheWay.solved) << "the trigger has nowhere to lie down";
}

TEST(SimulationZone, FollowsADominoOffALedgeToTheRowBelow)
{
    Played p(R"(6 2 0 1 5 0
(__)
(____)
 NNN
     T)");
    const Outcome o = p.sim.play(p.sim.start().where, pushAt(6 + 1, 1));
    ASSERT_TRUE(o.solved) << o.why;
    EXPECT_TRUE(o.zone[6 + 4]) << "the gap it tipped into";
    EXPECT_TRUE(o.zone[4]) << "the cell below, where it landed";
    EXPECT_TRUE(o.zone[5]) << "the trigger it felled there";
    EXPECT_FALSE(o.zone[0]);
}

// The level is put back from a snapshot between plays: a play after others
// is the play of a level just read.
TEST(SimulationPlays, EveryPlayStartsFromTheLevelAsRead)
{
    Played used(chainAndBlocker);
    used.sim.play(used.movedFrom(9, 4), pushAt(1, 1));
    used.sim.play(used.sim.start().where, pushAt(2, -1));
    const Outcome again = used.sim.play(used.sim.start().where, pushAt(1, 1));
    Played fresh(chainAndBlocker);
    const Outcome first = fresh.sim.play(fresh.sim.start().where, pushAt(1, 1));
    EXPECT_EQ(first.solved, again.solved);
    EXPECT_EQ(first.ticks, again.ticks);
    EXPECT_EQ(first.zone, again.zone);
    EXPECT_EQ(scriptText(first.played), scriptText(again.played));
}

}  // namespace
