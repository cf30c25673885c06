// How the player's stick figure is drawn where a fault would show: the legs
// standing and walking, the head ring, the carried domino, the figure in a
// door and falling, read back from the recording GL in world units.
#include "world.h"

#include "fake_gl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using Prisms = std::vector<fakegl::Primitive>;

const float tolerance = 1e-3f;
const float figureDepth = 3;          // in front of the dominoes' plane
const float unitsPerStep = 5.0f / Player::stepsPerCell;  // a cell is 5 units wide
const char* longFloor = "6 1 0 0 5 0\n(____)\n  N   \n";

// World x of the figure's centre line at player x, in eighths of a cell.
float figureX(float x) { return (x - 2) * unitsPerStep; }

// The bottom (first 0) or top (1) end of a prism's centre line: the mean of
// every other vertex of its quad strip.
std::array<float, 3> stripEnd(const fakegl::Primitive& prism, int first)
{
    std::array<float, 3> p{0, 0, 0};
    for (int i = 0; i < 4; i++)
        for (int axis = 0; axis < 3; axis++)
            p[axis] += prism.v.at(first + 2 * i).world[axis] / 4;
    return p;
}
std::array<float, 3> foot(const fakegl::Primitive& leg) { return stripEnd(leg, 0); }
std::array<float, 3> hip(const fakegl::Primitive& leg) { return stripEnd(leg, 1); }

// The figure's grey prisms as drawn at t: two legs, the body, twelve head
// sides; the head ring must lie in the plane of the screen, wide and thin.
Prisms figure(float t)
{
    fakegl::reset();
    player.render(t);
    Prisms prisms = fakegl::withColor(fakegl::primitives(), 0.9f, 0.9f, 0.9f);
    EXPECT_EQ(prisms.size(), 15u);
    prisms.resize(15);
    const fakegl::Bounds head = fakegl::bounds(Prisms(prisms.begin() + 3, prisms.end()));
    EXPECT_LT(head.max[2] - head.min[2], 0.25f);
    EXPECT_GT(head.max[0] - head.min[0], 1.8f);
    return prisms;
}

TEST(PlayerFigure, StandingPlayersFeetAreStraightBelowTheHipAtEveryT)
{
    World w(longFloor);
    standAt(16, 0);
    for (float t : {0.0f, 0.5f, 1.0f}) {
        const Prisms legs = figure(t);
        for (int leg = 0; leg < 2; leg++) {
            EXPECT_NEAR(foot(legs[leg])[0], figureX(16), tolerance) << "t " << t;
            EXPECT_NEAR(hip(legs[leg])[0], figureX(16), tolerance) << "t " << t;
            EXPECT_NEAR(foot(legs[leg])[1], 0, tolerance);
            EXPECT_NEAR(foot(legs[leg])[2], figureDepth + (leg ? 1 : -1), tolerance);  // behind, in front
        }
    }
}

// At speed 2 the body moves 1.25 a tick, so one foot must swing back exactly
// as fast while the other steps 2.5; and each tick starts where the last
// ended, or the feet would jump. The carried domino stands upright 2 in
// front, its broad side (4 wide, 5 high, 1 thick) to the viewer, and moves
// along with the figure.
TEST(PlayerFigure, WalkingPlayersPlantedFootKeepsItsWorldXAndTheCarriedDominoMovesAlong)
{
    World w(longFloor);
    standAt(16, 0);
    ASSERT_TRUE(player.grab());
    player.move(1);
    w.tick(2);
    ASSERT_EQ(player.speed, 2);
    for (int tick = 0; tick < 2; tick++) {
        const Prisms start = figure(0), middle = figure(0.5f), end = figure(1);
        int planted = 0;
        for (int leg = 0; leg < 2; leg++) {
            const float x0 = foot(start[leg])[0], x1 = foot(end[leg])[0];
            if (std::fabs(x1 - x0) < tolerance) {
                planted++;
                EXPECT_NEAR(foot(middle[leg])[0], x0, tolerance) << "tick " << tick;
            } else {
                EXPECT_NEAR(x1 - x0, 2 * 2 * unitsPerStep, tolerance) << "tick " << tick;
            }
        }
        EXPECT_EQ(planted, 1) << "tick " << tick;

        const float t = 0.5f, rx = figureX(player.x + player.speed * t);
        fakegl::reset();
        player.render(t);
        const fakegl::Bounds b = fakegl::bounds(fakegl::withColor(fakegl::primitives(), 1, 1, 0));
        const float lo[] = {rx - 2, 0, figureDepth + 1.5f}, hi[] = {rx + 2, 5, figureDepth + 2.5f};
        for (int axis = 0; axis < 3; axis++) {
            EXPECT_NEAR(b.min[axis], lo[axis], tolerance) << "tick " << tick << " axis " << axis;
            EXPECT_NEAR(b.max[axis], hi[axis], tolerance) << "tick " << tick << " axis " << axis;
        }

        w.tick();
        const Prisms next = figure(0);
        for (int leg = 0; leg < 2; leg++)
            EXPECT_NEAR(foot(next[leg])[0], foot(end[leg])[0], tolerance) << "tick " << tick;
    }
}

// Coming out of the entrance the figure is turned a quarter, its feet 1 left
// and right of the centre, while the head ring still faces the viewer.
TEST(PlayerFigure, InTheEntranceTheFigureTurnsAndItsDepthRunsFromMinusSixToThree)
{
    World w(longFloor);
    for (int tick = 0; tick <= 9; tick++) {
        const Prisms legs = figure(0);
        EXPECT_NEAR(hip(legs[0])[2], tick - 6, tolerance) << "tick " << tick;
        for (int leg = 0; leg < 2 && tick < 9; leg++)
            EXPECT_NEAR(std::fabs(foot(legs[leg])[0] - figureX(0)), 1, tolerance) << "tick " << tick;
        w.tick();
    }
}

// x does not change while falling, so speed must not carry the figure on.
TEST(PlayerFigure, FallingPlayerMovesDownSmoothlyButNotSideways)
{
    World w("3 2 0 1 2 0\n(  \n(__\n   \n   \n");
    standAt(10, 4);
    player.falling = true;
    player.speed = 2;
    player.vspeed = -2;
    const auto start = hip(figure(0)[0]), middle = hip(figure(0.5f)[0]);
    EXPECT_NEAR(middle[0], start[0], tolerance);
    EXPECT_NEAR(start[1] - middle[1], 10 / 8.0f, tolerance);  // half a tick at 2 eighths of a row
}

}  // namespace
