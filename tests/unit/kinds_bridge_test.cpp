// The bridge: landing across a one-cell gap with floor beyond, it joins the
// three floors into one span and, unless its own floor already reached
// toward the gap, becomes part of that floor.
#include "kinds_support.h"

namespace {

enum Ends { BecomesFloor, StaysLying, FallsIntoTheGap };

// Floor codes: 1 a slab, 2 joined on the left, 4 joined on the right.
TEST(BridgeOverAGap, JoinsTheFloorsOnlyWithFloorTwoCellsOnWithinTheGrid)
{
    const struct { const char* level; int column, row, direction; std::vector<int> floors; Ends ends; } cases[] = {
        {"3 1 0 0 2 0\n. .\nB  \n", 0, 0, 1, {5, 7, 3}, BecomesFloor},
        {"3 1 2 0 0 0\n. .\n  B\n", 2, 0, -1, {5, 7, 3}, BecomesFloor},
        {"3 1 0 0 2 0\n...\nB  \n", 0, 0, 1, {5, 7, 3}, BecomesFloor},
        {"3 1 0 0 2 0\n( .\nB  \n", 0, 0, 1, {5, 7, 3}, StaysLying},
        {"3 2 0 1 0 0\n.  \n___\nB  \n   \n", 0, 1, 1, {1, 0, 0}, FallsIntoTheGap},
        {"2 1 0 0 0 0\n. \nB \n", 0, 0, 1, {1, 0}, FallsIntoTheGap},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        World w(c.level);
        Domino* b = w.at(c.column, c.row);
        pushAndSettle(w, c.direction);
        expectFloors(w, c.row, c.floors);
        EXPECT_EQ(borderCell.getFloor(), 0);
        if (c.ends == BecomesFloor) {
            EXPECT_EQ(w.at(c.column, c.row), &blank);
            EXPECT_TRUE(b->isDone());
        } else if (c.ends == StaysLying) {
            EXPECT_EQ(w.at(c.column, c.row), b);
            EXPECT_EQ(b->angle, 6 * c.direction);
        } else {
            EXPECT_NE(b->cell->getY(), c.row) << "dropped out of its row";
        }
    }
}

TEST(BridgeDrawing, YellowWithAThinRedBandAroundItsMiddle)
{
    World w("1 1 0 0 0 0\n.\nB\n");
    const auto faces = drawAlone(w.at(0, 0));
    const auto red = only(faces, isRed);
    EXPECT_EQ(red.size(), 4u);
    EXPECT_EQ(only(faces, isYellow).size(), faces.size() - red.size());
    expectSpan(red, 1, 2.25f, 2.75f);
    expectSpan(red, 0, -0.5f, 0.5f);
    const auto ends = only(faces, facing(1));
    EXPECT_EQ(only(ends, isYellow).size(), 2u);
    expectSpan(ends, 1, 0, 5);
}

}  // namespace
