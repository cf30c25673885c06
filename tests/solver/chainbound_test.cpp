// The chain bound's count of the carries a level still needs: a row of lone
// dominoes, each a group of its own, needs a carry for every two groups
// beyond the push, however many dominoes there are and whatever level the
// thread's bound looked at before.
#include "chainbound.h"
#include "simulation.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// `lone` plain dominoes on one floor, a cell apart, and the trigger a cell
// past the last: lone + 1 groups, and a carry into a gap joins two.
std::string loneDominoes(int lone)
{
    const int width = 2 * lone + 4;
    std::string dominoes;
    for (int i = 0; i < lone; i++)
        dominoes += " N";
    dominoes += " T";
    return std::to_string(width) + " 1 0 0 " + std::to_string(width - 1) + " 0\n("
        + std::string(width - 2, '_') + ")\n" + dominoes;
}

struct Bounded {
    explicit Bounded(int lone)
        : file("bounded", levelFile(loneDominoes(lone))), sim(file.name()), bound(sim.terrain(), sim.start())
    {
        for (int c = 0; c < sim.terrain().size(); c++)
            free.push_back(sim.terrain().hasFloor(c));
        for (int cell : sim.start().where)
            free[cell] = false;
        standing.where = sim.start().where;
    }
    ScratchFile file;
    Simulation sim;
    ChainBound bound;
    std::vector<bool> free;
    ChainBound::Standing standing;

    bool outOfReach(int carries) const { return bound.outOfReach(standing, free, 1, carries); }
};

TEST(SolverChainBound, ACarryJoinsTwoLoneDominoesSoNineNeedFive)
{
    Bounded nine(9);
    EXPECT_EQ(10, nine.bound.groups(nine.standing));
    EXPECT_EQ(2, nine.bound.mostJoined());
    EXPECT_TRUE(nine.outOfReach(4));
    EXPECT_FALSE(nine.outOfReach(5));
}

TEST(SolverChainBound, MoreThanSixtyFourDominoesCountAlike)
{
    Bounded many(69);
    EXPECT_EQ(70, many.bound.groups(many.standing));
    EXPECT_TRUE(many.outOfReach(34));
    EXPECT_FALSE(many.outOfReach(35));
}

TEST(SolverChainBound, AnotherLevelsBoundOnTheSameThreadLeavesNoTrace)
{
    Bounded nine(9);
    {
        Bounded many(69);
        EXPECT_TRUE(many.outOfReach(34));
    }
    EXPECT_EQ(10, nine.bound.groups(nine.standing));
    EXPECT_TRUE(nine.outOfReach(4));
    EXPECT_FALSE(nine.outOfReach(5));
}

}  // namespace
