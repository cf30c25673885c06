// The level at run time: the grid and the border cell around it, the cell's
// two slots with their collision rule, the empty-slot placeholder, the
// doors, the one push, and the exit check a trigger's landing arms.
#include "world.h"

#include "trigger.h"

#include <gtest/gtest.h>

namespace {

void strike(World& w, Domino* d, int direction)
{
    ASSERT_TRUE(d->push(direction, 0));
    w.frame();
}

bool exitOpening()
{
    return level->wayOut.speed == 1 || level->wayOut.angle > 0;
}

TEST(LevelGetCell, EveryPositionOutsideTheGridIsTheBorderCell)
{
    World w("3 2 0 0 2 0\n___\n___\n   \n   \n");
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {1000, -1000}, {-2, -2}})
        EXPECT_EQ(level->getCell(x, y), &borderCell) << "(" << x << ", " << y << ")";
}

TEST(LevelGetCell, InsideTheGridCellsAreRowByRowFromTheBottom)
{
    World w("3 2 0 0 2 0\n___\n___\n   \n   \n");
    EXPECT_EQ(level->getCell(0, 0), &level->cells[0]);
    EXPECT_EQ(level->getCell(2, 0), &level->cells[2]);
    EXPECT_EQ(level->getCell(0, 1), &level->cells[3]);
    EXPECT_EQ(level->getCell(2, 1), &level->cells[5]);
}

TEST(LevelBorderCell, HasNoFloorNoLadderAndEmptySlots)
{
    World w("3 1 0 0 2 0\n___\n   \n");
    EXPECT_EQ(borderCell.getX(), -2);
    EXPECT_EQ(borderCell.getY(), -2);
    EXPECT_EQ(borderCell.getFloor(), 0);
    EXPECT_FALSE(borderCell.getLadder());
    EXPECT_EQ(borderCell.getDomino(0), &blank);
    EXPECT_EQ(borderCell.getDomino(1), &blank);
}

// A domino that tips off the grid drops through the border cell for ever;
// the border cell outlives the level, so it must not keep pointing at it.
TEST(LevelBorderCell, DominoThatLeftTheGridIsForgottenWithItsLevel)
{
    Domino* lost;
    {
        World w("2 1 0 0 1 0\n__\n N\n");
        lost = w.at(1, 0);
        strike(w, lost, 1);
        w.tick(20);
        EXPECT_EQ(lost->cell, &borderCell);
        EXPECT_EQ(borderCell.getDomino(0), lost);
        EXPECT_FALSE(lost->isDone());
    }
    EXPECT_EQ(borderCell.getDomino(0), &blank);
    EXPECT_EQ(borderCell.getDomino(1), &blank);
}

TEST(CellSlots, EmptySlotReadsAsTheBlankBeforeAndAfterLeave)
{
    World w("2 1 0 0 1 0\n__\nN \n");
    Cell* c = w.cell(0, 0);
    Domino* d = c->getDomino(0);
    EXPECT_FALSE(d->isBlank());
    EXPECT_EQ(c->getDomino(1), &blank);
    EXPECT_TRUE(w.at(1, 0)->isBlank());
    c->leave(0);
    EXPECT_EQ(c->getDomino(0), &blank);
}

TEST(CellSlots, EnteringAnEmptySlotStoresTheDomino)
{
    World w("2 1 0 0 1 0\n__\nN \n");
    Domino* d = w.at(0, 0);
    w.cell(0, 0)->leave(0);
    EXPECT_TRUE(w.cell(1, 0)->enter(d, 0));
    EXPECT_EQ(w.at(1, 0), d);
}

TEST(CellSlots, EnteringATakenSlotBreaksTheOccupantWhichKeepsIt)
{
    World w("2 1 0 0 1 0\n__\nNN\n");
    Domino* occupant = w.at(0, 0);
    Domino* arriving = w.at(1, 0);
    EXPECT_FALSE(w.cell(0, 0)->enter(arriving, 0));
    EXPECT_EQ(w.at(0, 0), occupant);
    EXPECT_TRUE(occupant->broken);
    EXPECT_FALSE(arriving->broken);
}

TEST(CellSlots, TheTwoSlotsAreIndependent)
{
    World w("2 1 0 0 1 0\n__\nNN\n");
    Domino* standing = w.at(0, 0);
    Domino* flying = w.at(1, 0);
    EXPECT_TRUE(w.cell(0, 0)->enter(flying, 1));
    EXPECT_EQ(w.at(0, 0, 1), flying);
    EXPECT_EQ(w.at(0, 0, 0), standing);
    EXPECT_FALSE(standing->broken);
}

TEST(BlankSlot, StopsNothingHoldsNothingAndNeverChanges)
{
    EXPECT_TRUE(blank.isBlank());
    EXPECT_TRUE(blank.push(1, 6));
    EXPECT_TRUE(blank.push(-1, 0));
    EXPECT_EQ(blank.grab(), nullptr);
    {
        World w("4 1 0 0 3 0\n____\nN   \n");
        strike(w, w.at(0, 0), 1);
        w.tick(10);
        EXPECT_EQ(w.at(0, 0)->angle, 6);
    }
    EXPECT_EQ(blank.angle, 0);
    EXPECT_EQ(blank.speed, 0);
    EXPECT_EQ(blank.accel, 0);
    EXPECT_FALSE(blank.broken);
}

TEST(LevelPush, OnePushPerLevelAndAFreshOneAfterReloading)
{
    const std::string text = "2 1 0 0 1 0\n__\n  \n";
    {
        World w(text);
        EXPECT_TRUE(level->canPush());
        level->hasPushed();
        EXPECT_FALSE(level->canPush());
        w.tick(5);
        EXPECT_FALSE(level->canPush());
    }
    World again(text);
    EXPECT_TRUE(level->canPush());
}

// The doors, on their own cell.
class DoorOpening : public testing::Test {
protected:
    Cell cell;
    Door door;
    void SetUp() override { cell.init(0, 0, 1, false); }
};

TEST_F(DoorOpening, InitRegistersTheDoorWithItsCell)
{
    door.init(&cell, true);
    EXPECT_EQ(cell.getDoor(), &door);
    EXPECT_EQ(door.getCell(), &cell);
}

TEST_F(DoorOpening, OpensInSixTicksAndStops)
{
    door.init(&cell, true);
    door.update();
    EXPECT_EQ(door.angle, 0);
    door.open();
    for (int tick = 1; tick <= 6; tick++) {
        door.update();
        EXPECT_EQ(door.angle, tick);
    }
    EXPECT_EQ(door.speed, 0);
    door.update();
    EXPECT_EQ(door.angle, 6);
}

TEST_F(DoorOpening, OpeningAgainChangesNothing)
{
    door.init(&cell, true);
    door.open();
    door.update();
    door.open();
    EXPECT_EQ(door.angle, 1);
    EXPECT_EQ(door.speed, 1);
    for (int i = 0; i < 5; i++)
        door.update();
    door.open();
    EXPECT_EQ(door.angle, 6);
    EXPECT_EQ(door.speed, 0);
}

TEST_F(DoorOpening, ExitCountsAsOpenedFromItsFirstStep)
{
    door.init(&cell, true);
    EXPECT_FALSE(door.isOpenedExit());
    door.open();
    EXPECT_FALSE(door.isOpenedExit());
    door.update();
    EXPECT_TRUE(door.isOpenedExit());
}

TEST_F(DoorOpening, EntranceNeverCountsAsAnOpenedExit)
{
    door.init(&cell, false);
    door.open();
    for (int i = 0; i < 6; i++) {
        door.update();
        EXPECT_FALSE(door.isOpenedExit());
    }
}

TEST(LevelEntrance, OpenedOnEntryAndUpdatedEveryTick)
{
    World w("2 1 0 0 1 0\n__\n  \n");
    EXPECT_EQ(level->getWayIn()->speed, 1);
    w.tick(3);
    EXPECT_EQ(level->getWayIn()->angle, 3);
    w.tick(5);
    EXPECT_EQ(level->getWayIn()->angle, 6);
    EXPECT_EQ(level->wayOut.angle, 0);
}

TEST(ExitCheck, TriggerLandingLastOpensTheExitInThatTick)
{
    World w("4 1 0 0 3 0\n____\nNT  \n");
    Domino* trigger = w.at(1, 0);
    strike(w, w.at(0, 0), 1);
    w.tick(9);
    EXPECT_EQ(trigger->angle, 5);
    EXPECT_FALSE(exitOpening());
    w.tick();
    EXPECT_EQ(trigger->angle, 6);
    EXPECT_EQ(level->wayOut.speed, 1);
    EXPECT_EQ(level->wayOut.angle, 0);
    EXPECT_FALSE(level->triggering);
    w.tick();
    EXPECT_TRUE(level->wayOut.isOpenedExit());
}

TEST(ExitCheck, TriggerPushedDirectlyLandsOnTheSixthTick)
{
    World w("3 1 0 0 2 0\n___\nT  \n");
    strike(w, w.at(0, 0), 1);
    w.tick(5);
    EXPECT_FALSE(exitOpening());
    w.tick();
    EXPECT_EQ(level->wayOut.speed, 1);
}

TEST(ExitCheck, UprightDominoElsewhereKeepsItShutForGood)
{
    World w("5 1 0 0 4 0\n_____\nNT  N\n");
    strike(w, w.at(0, 0), 1);
    w.tick(40);
    EXPECT_EQ(w.at(1, 0)->angle, 6);
    EXPECT_FALSE(exitOpening());
    EXPECT_FALSE(level->triggering);
}

// Two lone dominoes: a second one pushed 5 ticks after the first lands one
// tick after the trigger and spoils the only check; pushed with it, it has
// landed long before and the exit opens.
TEST(ExitCheck, DominoStillFallingWhenTheTriggerLandsKeepsItShut)
{
    World w("7 1 0 0 6 0\n_______\nNT   N \n");
    strike(w, w.at(0, 0), 1);
    w.tick(5);
    strike(w, w.at(5, 0), 1);
    w.tick(5);
    EXPECT_EQ(w.at(1, 0)->angle, 6);
    EXPECT_EQ(w.at(5, 0)->angle, 5);
    w.tick(20);
    EXPECT_EQ(w.at(5, 0)->angle, 6);
    EXPECT_FALSE(exitOpening());
}

TEST(ExitCheck, DominoThatLandedBeforeTheTriggerLetsItOpen)
{
    World w("7 1 0 0 6 0\n_______\nNT   N \n");
    strike(w, w.at(0, 0), 1);
    strike(w, w.at(5, 0), 1);
    w.tick(10);
    EXPECT_EQ(level->wayOut.speed, 1);
}

TEST(ExitCheck, TriggerRestingOnTheNextDominoNeverLands)
{
    World w("4 1 0 0 3 0\n____\nTN  \n");
    Domino* trigger = w.at(0, 0);
    strike(w, trigger, 1);
    w.tick(30);
    EXPECT_EQ(trigger->angle, 5);
    EXPECT_EQ(w.at(1, 0)->angle, 6);
    EXPECT_FALSE(exitOpening());
}

TEST(ExitCheck, LevelWithoutOtherDominoesOpensOnTheCheck)
{
    World w("2 1 0 0 1 0\n__\n  \n");
    level->openWayOut();
    w.tick();
    EXPECT_EQ(level->wayOut.speed, 1);
    EXPECT_FALSE(level->triggering);
}

}  // namespace
