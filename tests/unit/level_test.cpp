// The level at run time: the grid and the border cell around it, a cell's
// two slots and the empty slot's placeholder, the order of a tick, the doors,
// the one push, and the exit check that a trigger's landing arms.
#include "world.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

void strike(World& w, int x, int y)
{
    ASSERT_TRUE(w.at(x, y)->push(1, Domino::contactSquare));
    w.frame();
}

// A domino that tips off the grid drops through the border cell for ever;
// the border cell outlives the level, so it must not keep pointing at it.
TEST(LevelGrid, TheBorderCellsSlotsAreEmptiedWithTheLevel)
{
    {
        World w(R"(|NN
                   |__)");
        Domino* lost = w.at(1, 0);
        strike(w, 1, 0);
        w.tick(20);
        EXPECT_EQ(borderCell.getDomino(0), lost);
        borderCell.enter(w.at(0, 0), 1);  // as a flyer leaving the grid would
    }
    EXPECT_EQ(borderCell.getDomino(0), &blank);
    EXPECT_EQ(borderCell.getDomino(1), &blank);
}

// Stands in for a loaded domino and notes each update it gets: its column,
// its row, and how far the entrance (opening since entry) had swung by then.
using UpdateLog = std::vector<std::array<int, 3>>;
struct Recorder : Domino {
    explicit Recorder(UpdateLog* log) : log(log) {}
    UpdateLog* log;
    void update() override { log->push_back({cell->getX(), cell->getY(), level->getWayIn()->angle}); }
};

TEST(LevelTick, EveryDominoInFileOrderTopRowFirstThenTheDoors)
{
    World w(R"(| T
               |___
               |N N
               |___)");
    UpdateLog log;
    for (int i = 0; i < level->dcount; i++) {
        Cell* c = level->doms[i]->cell;
        c->leave(0);
        delete level->doms[i];
        level->doms[i] = new Recorder(&log);
        level->doms[i]->init(c);
    }
    w.tick(2);
    EXPECT_EQ(log, (UpdateLog{{1, 1, 0}, {0, 0, 0}, {2, 0, 0}, {1, 1, 1}, {0, 0, 1}, {2, 0, 1}}));
}

TEST(LevelDoors, TheEntranceOpensInSixTicksFromEntryAndIsNeverAnOpenedExit)
{
    World w(R"(|
               |__)");
    Door* in = level->getWayIn();
    EXPECT_EQ(in->speed, 1);
    w.tick(3);
    EXPECT_EQ(in->angle, 3);
    in->open();  // opening again changes nothing
    w.tick(3);
    EXPECT_EQ(std::vector({in->angle, in->speed}), std::vector({6, 0}));
    in->open();
    w.tick();
    EXPECT_EQ(in->angle, 6);
    EXPECT_FALSE(in->isOpenedExit());
    EXPECT_EQ(level->wayOut.angle, 0);
    EXPECT_FALSE(level->wayOut.isOpenedExit());
}

// The check runs once, at the end of the tick the trigger lands in: the exit
// opens then only if every domino is done (lying, resting or out of play; an
// upright blocker counts as done), and it is never asked again.
TEST(ExitCheck, OpensOnlyWhenTheTriggerLandsLast)
{
    const struct {
        const char* what;
        const char* dominoes;
        int lateStrike;  // ticks before the domino in column 5 is struck; -1 none
        bool opens;
    } cases[] = {
        {"trigger felled by the last domino", "NT     ", -1, true},
        {"trigger struck directly", "T      ", -1, true},
        {"upright blocker elsewhere", "NT  W  ", -1, true},
        {"domino that landed before the trigger", "NT   N ", 0, true},
        {"upright domino elsewhere", "NT   N ", -1, false},
        {"domino still falling as the trigger lands", "NT   N ", 5, false},
        {"trigger resting on the next domino", "TN     ", -1, false},
    };
    for (const auto& c : cases) {
        World w(std::string("7 1 0 0 6 0\n|") + c.dominoes + "\n|_______");
        strike(w, 0, 0);
        if (c.lateStrike >= 0) {
            w.tick(c.lateStrike);
            strike(w, 5, 0);
        }
        w.tick(40);
        EXPECT_EQ(level->wayOut.speed == 1 || level->wayOut.angle > 0, c.opens) << c.what;
    }
}

}  // namespace
