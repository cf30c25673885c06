// How the player's stick figure is drawn where a fault would show: the legs
// standing and walking, the carried domino, and the figure in a door. The
// recording GL gives every vertex in world units.
#include "world.h"

#include "fake_gl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const float tolerance = 1e-3f;
const float hipHeight = std::sqrt(3.0f);  // legs of 2 tilted 30 degrees

struct Point {
    float x, y, z;
};

// The mean of every other vertex of a prism's quad strip from first: the
// bottom (0) or top (1) end of its centre line.
Point stripEnd(const fakegl::Primitive& prism, int first)
{
    const int corners = 4;
    Point p{0, 0, 0};
    for (int i = 0; i < corners; i++) {
        const fakegl::Vertex& v = prism.v[first + 2 * i];
        p.x += v.world[0] / corners;
        p.y += v.world[1] / corners;
        p.z += v.world[2] / corners;
    }
    return p;
}

Point foot(const fakegl::Primitive& leg)
{
    return stripEnd(leg, 0);
}

Point hip(const fakegl::Primitive& leg)
{
    return stripEnd(leg, 1);
}

// The figure's grey prisms as drawn at t: two legs, the body, twelve head
// sides.
std::vector<fakegl::Primitive> figure(float t)
{
    fakegl::reset();
    player.render(t);
    return fakegl::withColor(fakegl::primitives(), 0.9f, 0.9f, 0.9f);
}

fakegl::Bounds head(const std::vector<fakegl::Primitive>& prisms)
{
    return fakegl::bounds(std::vector<fakegl::Primitive>(prisms.begin() + 3, prisms.end()));
}

const char* longFloor = "6 1 0 0 5 0\n(____)\n  N   \n";

TEST(PlayerFigure, StandingPlayersFeetAreStraightBelowTheHipAtEveryT)
{
    World w(longFloor);
    standAt(16, 0);
    const float rx = (16 - 2) * 5 / 8.0f;
    for (float t : {0.0f, 0.5f, 1.0f}) {
        const auto prisms = figure(t);
        ASSERT_EQ(prisms.size(), 15u);
        for (int leg = 0; leg < 2; leg++) {
            EXPECT_NEAR(foot(prisms[leg]).x, rx, tolerance) << "t " << t;
            EXPECT_NEAR(hip(prisms[leg]).x, rx, tolerance) << "t " << t;
            EXPECT_NEAR(foot(prisms[leg]).y, 0, tolerance);
            EXPECT_NEAR(hip(prisms[leg]).y, hipHeight, tolerance);
            EXPECT_NEAR(hip(prisms[leg]).z, 3, tolerance);
        }
        EXPECT_NEAR(foot(prisms[0]).z, 2, tolerance);  // one foot behind the centre,
        EXPECT_NEAR(foot(prisms[1]).z, 4, tolerance);  // one in front
    }
}

TEST(PlayerFigure, HeadRingFacesTheViewer)
{
    World w(longFloor);
    standAt(16, 0);
    const fakegl::Bounds b = head(figure(0));
    EXPECT_LT(b.max[2] - b.min[2], 0.25f);
    EXPECT_GT(b.max[0] - b.min[0], 1.8f);
}

TEST(PlayerFigure, WalkingPlayersPlantedFootKeepsItsWorldXThroughATick)
{
    World w(longFloor);
    standAt(16, 0);
    player.move(1);
    w.tick(2);
    ASSERT_EQ(player.speed, 2);
    for (int tick = 0; tick < 2; tick++) {
        const auto start = figure(0), middle = figure(0.5f), end = figure(1);
        int planted = 0;
        for (int leg = 0; leg < 2; leg++) {
            const float x0 = foot(start[leg]).x, x1 = foot(end[leg]).x;
            if (std::fabs(x1 - x0) < tolerance) {
                planted++;
                EXPECT_NEAR(foot(middle[leg]).x, x0, tolerance);
            } else {
                EXPECT_NEAR(x1 - x0, 2.5f, tolerance);  // twice the body's 1.25
            }
        }
        EXPECT_EQ(planted, 1) << "tick " << tick;

        // Each foot goes on from where it was at the end of the tick.
        w.tick();
        const auto next = figure(0);
        for (int leg = 0; leg < 2; leg++)
            EXPECT_NEAR(foot(next[leg]).x, foot(end[leg]).x, tolerance);
    }
}

TEST(PlayerFigure, CarriedDominoStandsUprightBroadSideToTheViewerTwoUnitsInFront)
{
    World w(longFloor);
    standAt(16, 0);
    ASSERT_TRUE(player.grab());
    player.move(1);
    w.tick(2);
    const float t = 0.5f;
    const float rx = (player.x + player.speed * t - 2) * 5 / 8;

    fakegl::reset();
    player.render(t);
    const fakegl::Bounds b = fakegl::bounds(fakegl::withColor(fakegl::primitives(), 1, 1, 0));
    EXPECT_NEAR(b.min[0], rx - 2, tolerance);  // 4 wide, centred on the figure
    EXPECT_NEAR(b.max[0], rx + 2, tolerance);
    EXPECT_NEAR(b.min[1], 0, tolerance);  // 5 high, on the floor
    EXPECT_NEAR(b.max[1], 5, tolerance);
    EXPECT_NEAR(b.min[2], 3 + 1.5f, tolerance);  // 1 thick, 2 in front
    EXPECT_NEAR(b.max[2], 3 + 2.5f, tolerance);
}

TEST(PlayerFigure, InTheEntranceTheFigureTurnsAndItsDepthRunsFromMinusSixToThree)
{
    World w(longFloor);
    const float rx = -2 * 5 / 8.0f;
    const std::vector<float> depths = {-6, -5, -4, -3, -2, -1, 0, 1, 2, 3};
    for (int tick = 0; tick <= 9; tick++) {
        const auto prisms = figure(0);
        EXPECT_NEAR(hip(prisms[0]).z, depths[tick], tolerance) << "tick " << tick;
        const fakegl::Bounds b = head(prisms);
        EXPECT_LT(b.max[2] - b.min[2], 0.25f) << "tick " << tick;
        if (tick == 9)
            break;
        // Turned: the feet stand one unit left and right and swing in
        // depth, one planted while the figure walks out of the door.
        const auto end = figure(1);
        int planted = 0;
        for (int leg = 0; leg < 2; leg++) {
            EXPECT_NEAR(std::fabs(foot(prisms[leg]).x - rx), 1, tolerance);
            const float dz = foot(end[leg]).z - foot(prisms[leg]).z;
            if (std::fabs(dz) < tolerance)
                planted++;
            else
                EXPECT_NEAR(dz, 2, tolerance) << "tick " << tick;
        }
        EXPECT_EQ(planted, 1) << "tick " << tick;
        w.tick();
    }
}

TEST(PlayerFigure, FallingPlayerMovesDownSmoothlyButNotSideways)
{
    World w("3 2 0 1 2 0\n(  \n(__\n   \n   \n");
    standAt(10, 4);
    player.falling = true;
    player.speed = 2;
    player.vspeed = -2;
    const Point start = hip(figure(0)[0]);
    const Point middle = hip(figure(0.5f)[0]);
    EXPECT_NEAR(middle.x, start.x, tolerance);
    EXPECT_NEAR(start.y - middle.y, 1.25f, tolerance);  // one step of 10/8 in half a tick
}

}  // namespace
