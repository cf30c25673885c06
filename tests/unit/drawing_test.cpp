// What reaches the screen, read back from the recording GL in world units:
// floor slabs and ladders, doors swinging open, dominoes turning about the
// bottom edge they lean to, debris, the trigger's stripes, and the grid
// placed at 5 units a column and 10 a row.
#include "world.h"

#include "fake_gl.h"
#include "trigger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using fakegl::Primitive;
using fakegl::Vertex;

const float eps = 1e-4f;
const double degree = 3.141592653589793 / 180;

// The standard box as drawn: lifted, then turned by degrees about the axis
// (0, 0, -1) through the bottom edge at x = pivot.
struct Placement {
    float pivot;
    float degrees;
    float lift;
};

std::array<float, 3> place(const Placement& p, float x, float y, float z)
{
    const double a = p.degrees * degree;
    const double dx = x - p.pivot;
    return {float(p.pivot + dx * std::cos(a) + y * std::sin(a)),
            float(p.lift - dx * std::sin(a) + y * std::cos(a)), z};
}

bool near(const float* v, const std::array<float, 3>& want)
{
    for (int i = 0; i < 3; i++)
        if (std::fabs(v[i] - want[i]) > eps)
            return false;
    return true;
}

// Every vertex of the box is one of its eight corners placed as given, and
// every such corner is drawn.
void expectBoxPlaced(const Primitive& box, const Placement& p)
{
    std::vector<std::array<float, 3>> corners;
    for (float x : {-0.5f, 0.5f})
        for (float y : {0.0f, 5.0f})
            for (float z : {-2.0f, 2.0f})
                corners.push_back(place(p, x, y, z));
    std::vector<bool> drawn(corners.size());
    for (const Vertex& v : box.v) {
        bool known = false;
        for (size_t c = 0; c < corners.size(); c++)
            if (near(v.world, corners[c]))
                known = drawn[c] = true;
        EXPECT_TRUE(known) << "vertex at (" << v.world[0] << ", " << v.world[1] << ", " << v.world[2] << ")";
    }
    for (size_t c = 0; c < corners.size(); c++)
        EXPECT_TRUE(drawn[c]) << "corner " << c << " missing";
}

int verticesWithNormal(const std::vector<Primitive>& ps, float x, float y, float z)
{
    int n = 0;
    for (const Primitive& p : ps)
        for (const Vertex& v : p.v)
            if (near(v.normal, {x, y, z}))
                n++;
    return n;
}

std::vector<Primitive> yellow()
{
    return fakegl::withColor(fakegl::primitives(), 1, 1, 0);
}

// A domino of its own in cell (0, 0), drawn on an identity matrix, so that
// its world units are its cell's.
class DominoDrawing : public testing::Test {
protected:
    Cell cell;
    Domino d;

    void SetUp() override
    {
        cell.init(0, 0, 1, false);
        d.init(&cell);
        fakegl::reset();
        totweight = 0;
    }

    void set(int angle, int speed, int fly = 0, int elev = 0)
    {
        d.angle = angle;
        d.speed = speed;
        d.fly = fly;
        d.elev = elev;
    }

    const Primitive& drawnBox(float t)
    {
        d.render(t);
        const auto& ps = fakegl::primitives();
        EXPECT_EQ(ps.size(), 1u);
        EXPECT_EQ(ps.at(0).mode, GLenum(GL_QUADS));
        EXPECT_EQ(yellow().size(), 1u);
        return ps.at(0);
    }
};

TEST_F(DominoDrawing, UprightStillDominoIsTheBoxAtItsHeightWithOutwardFaces)
{
    set(0, 0, 0, 2);
    const Primitive& box = drawnBox(0.5f);
    expectBoxPlaced(box, {0, 0, 2 * 10 / 6.0f});
    ASSERT_EQ(box.v.size(), 24u);
    const float centre[3] = {0, 2.5f + 2 * 10 / 6.0f, 0};
    for (const Vertex& v : box.v) {
        float outward = 0;
        for (int i = 0; i < 3; i++)
            outward += v.normal[i] * (v.world[i] - centre[i]);
        EXPECT_GT(outward, 0);
    }
    EXPECT_TRUE(fakegl::errors().empty());
}

TEST_F(DominoDrawing, FallingRightTurnsAboutTheRightBottomEdge)
{
    set(2, 1);
    expectBoxPlaced(drawnBox(0.5f), {0.5f, 37.5f, 0});
}

TEST_F(DominoDrawing, StartingToFallLeftTurnsAboutTheLeftBottomEdge)
{
    set(0, -1);
    expectBoxPlaced(drawnBox(0.2f), {-0.5f, -3, 0});
}

TEST_F(DominoDrawing, LyingLeftIsTurnedAQuarterAboutTheLeftEdge)
{
    set(-6, 0);
    expectBoxPlaced(drawnBox(0.7f), {-0.5f, -90, 0});
}

TEST_F(DominoDrawing, DroppingUprightIsDrawnUprightAndLowered)
{
    set(0, 1, -1, -3);
    expectBoxPlaced(drawnBox(0.5f), {0, 0, -3.5f * 10 / 6});
}

TEST_F(DominoDrawing, PendingPushTakesEffectBeforeItIsPlaced)
{
    d.accel = 1;
    expectBoxPlaced(drawnBox(0.5f), {0.5f, 7.5f, 0});
    EXPECT_EQ(d.speed, 1);
    EXPECT_EQ(d.accel, 0);
}

TEST_F(DominoDrawing, OnlyAMovingDominoPullsTheCamera)
{
    d.render(0.5f);
    EXPECT_EQ(totweight, 0);
    set(3, 0);
    d.render(0.5f);
    EXPECT_EQ(totweight, 0);
    set(3, 1);
    d.render(0.5f);
    EXPECT_EQ(totweight, 1);
    set(0, 0, -1, -2);
    d.render(0.5f);
    EXPECT_EQ(totweight, 2);
}

// Rigid motions for the debris: a rotation and a translation, in double.
struct Motion {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double t[3] = {0, 0, 0};

    Motion then(const Motion& b) const
    {
        Motion r;
        for (int i = 0; i < 3; i++) {
            r.t[i] = t[i];
            for (int j = 0; j < 3; j++) {
                r.m[i][j] = 0;
                for (int k = 0; k < 3; k++)
                    r.m[i][j] += m[i][k] * b.m[k][j];
                r.t[i] += m[i][j] * b.t[j];
            }
        }
        return r;
    }
    std::array<float, 3> apply(const float v[3]) const
    {
        std::array<float, 3> out;
        for (int i = 0; i < 3; i++)
            out[i] = float(m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2] + t[i]);
        return out;
    }
};

Motion step()
{
    Motion s;
    s.t[0] = 1;
    s.t[2] = 0.3;
    return s;
}

// Counter-clockwise about the axis, as glRotatef turns.
Motion turn(double degrees, double x, double y, double z)
{
    const double len = std::sqrt(x * x + y * y + z * z);
    const double u[3] = {x / len, y / len, z / len};
    const double c = std::cos(degrees * degree), s = std::sin(degrees * degree);
    const double cross[3][3] = {{0, -u[2], u[1]}, {u[2], 0, -u[0]}, {-u[1], u[0], 0}};
    Motion r;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            r.m[i][j] = (i == j ? c : 0) + s * cross[i][j] + (1 - c) * u[i] * u[j];
    return r;
}

TEST_F(DominoDrawing, BrokenDominoIsTenShardsAndNoBox)
{
    d.boom();
    EXPECT_FALSE(d.renderBroken(0.5f));
    const auto& shards = fakegl::primitives();
    ASSERT_EQ(shards.size(), 10u);

    const Motion r40 = turn(40, -1, 0, 2);
    std::vector<Motion> placed;
    Motion at;
    placed.push_back(at);
    at = at.then(step());
    placed.push_back(at.then(r40));
    at = at.then(step());
    placed.push_back(at.then(turn(50, 1, 0, 2)));
    for (int i = 0; i < 3; i++)
        placed.push_back(at = at.then(step()).then(r40));
    for (int i = 0; i < 3; i++)
        placed.push_back(at = at.then(step()).then(r40).then(step()));
    placed.push_back(at.then(step()).then(r40));

    const float orange[] = {1, 0.5f, 0}, red[] = {1, 0, 0}, yel[] = {1, 1, 0};
    const float* colours[] = {orange, red, yel, orange, yel, yel, yel, yel, yel, orange};
    const float P[] = {-1, 0, -1};
    for (int i = 0; i < 10; i++) {
        const Primitive& shard = shards[i];
        EXPECT_EQ(shard.mode, GLenum(GL_TRIANGLES)) << "shard " << i + 1;
        ASSERT_EQ(shard.v.size(), 9u) << "shard " << i + 1;
        for (int c = 0; c < 3; c++)
            EXPECT_NEAR(shard.v[0].color[c], colours[i][c], eps) << "shard " << i + 1;
        EXPECT_TRUE(near(shard.v[0].world, placed[i].apply(P))) << "shard " << i + 1;
    }
}

TEST_F(DominoDrawing, IntactDominoLeavesTheDrawingToItsKind)
{
    EXPECT_TRUE(d.renderBroken(0.5f));
    EXPECT_TRUE(fakegl::primitives().empty());
}

TEST_F(DominoDrawing, RenderOfABrokenDominoDrawsDebrisOnly)
{
    d.boom();
    d.render(0.5f);
    for (const Primitive& p : fakegl::primitives())
        EXPECT_EQ(p.mode, GLenum(GL_TRIANGLES));
    EXPECT_EQ(fakegl::primitives().size(), 10u);
}

TEST(TriggerDrawing, SevenBandsFromYellowAtTheBottomBetweenYellowEnds)
{
    Cell cell;
    cell.init(0, 0, 1, false);
    Trigger d;
    d.init(&cell);
    fakegl::reset();
    d.render(0);
    const auto& ps = fakegl::primitives();
    ASSERT_EQ(ps.size(), 8u);
    const fakegl::Bounds ends = fakegl::bounds(ps[0]);
    EXPECT_EQ(fakegl::withColor({ps[0]}, 1, 1, 0).size(), 1u);
    EXPECT_EQ(verticesWithNormal({ps[0]}, 0, 1, 0), 4);
    EXPECT_EQ(verticesWithNormal({ps[0]}, 0, -1, 0), 4);
    EXPECT_NEAR(ends.min[1], 0, eps);
    EXPECT_NEAR(ends.max[1], 5, eps);
    for (int band = 0; band < 7; band++) {
        const Primitive& p = ps[1 + band];
        const float green = band % 2 == 0 ? 1 : 0;
        EXPECT_EQ(fakegl::withColor({p}, 1, green, 0).size(), 1u) << "band " << band;
        const fakegl::Bounds b = fakegl::bounds(p);
        EXPECT_NEAR(b.min[1], band * 5 / 7.0f, eps) << "band " << band;
        EXPECT_NEAR(b.max[1], (band + 1) * 5 / 7.0f, eps) << "band " << band;
        EXPECT_NEAR(b.min[0], -0.5f, eps);
        EXPECT_NEAR(b.max[2], 2, eps);
        EXPECT_EQ(p.v.size(), 16u) << "band " << band;
    }
}

// One cell at the origin, drawn on an identity matrix.
class CellDrawing : public testing::Test {
protected:
    Cell cell;

    std::vector<Primitive> draw(int floor, bool ladder)
    {
        cell.init(0, 0, floor, ladder);
        fakegl::reset();
        cell.render(0);
        return fakegl::primitives();
    }
};

TEST_F(CellDrawing, FloorCodeShapesTheSlabAndItsEnds)
{
    const struct {
        int code;
        float right;
        bool rightEnd, leftEnd;
    } slabs[] = {
        {1, 1, true, true},
        {3, 1, true, false},
        {5, 4, false, true},
        {7, 4, false, false},
    };
    for (const auto& s : slabs) {
        const auto slab = fakegl::withColor(draw(s.code, false), 0, 0.5f, 1);
        ASSERT_EQ(slab.size(), 1u) << "floor " << s.code;
        const fakegl::Bounds b = fakegl::bounds(slab);
        EXPECT_NEAR(b.min[0], -1, eps) << "floor " << s.code;
        EXPECT_NEAR(b.max[0], s.right, eps) << "floor " << s.code;
        EXPECT_NEAR(b.min[1], -1.8f, eps);
        EXPECT_NEAR(b.max[1], -0.1f, eps);
        EXPECT_NEAR(b.min[2], -3, eps);
        EXPECT_NEAR(b.max[2], 3, eps);
        EXPECT_EQ(verticesWithNormal(slab, 0, 1, 0), 4) << "floor " << s.code;
        EXPECT_EQ(verticesWithNormal(slab, 0, 0, 1), 4) << "floor " << s.code;
        EXPECT_EQ(verticesWithNormal(slab, 0, -1, 0), 4) << "floor " << s.code;
        EXPECT_EQ(verticesWithNormal(slab, 0, 0, -1), 0) << "floor " << s.code;
        EXPECT_EQ(verticesWithNormal(slab, 1, 0, 0), s.rightEnd ? 4 : 0) << "floor " << s.code;
        EXPECT_EQ(verticesWithNormal(slab, -1, 0, 0), s.leftEnd ? 4 : 0) << "floor " << s.code;
    }
}

TEST_F(CellDrawing, NoFloorDrawsNothing)
{
    EXPECT_TRUE(draw(0, false).empty());
}

TEST_F(CellDrawing, LadderWithoutFloorIsTwoRailsAndNineRungsAlone)
{
    const auto ps = draw(0, true);
    const auto white = fakegl::withColor(ps, 1, 1, 1);
    ASSERT_EQ(white.size(), ps.size());
    int rails = 0;
    std::vector<float> rungBottoms;
    for (const Primitive& p : white)
        for (size_t i = 0; i < p.v.size(); i += 4) {
            const fakegl::Bounds q = fakegl::bounds(Primitive{GL_QUADS, {p.v.begin() + i, p.v.begin() + i + 4}});
            EXPECT_NEAR(p.v[i].normal[2], 1, eps);
            if (std::fabs(q.min[2] - 3) < eps) {
                rails++;
                EXPECT_NEAR(q.max[0] - q.min[0], 0.1f, eps);
                EXPECT_NEAR(q.min[1], 0, eps);
                EXPECT_NEAR(q.max[1], 10, eps);
            } else {
                EXPECT_NEAR(q.min[2], 2.9f, eps);
                EXPECT_NEAR(q.min[0], -1.1f, eps);
                EXPECT_NEAR(q.max[0], 1.1f, eps);
                EXPECT_NEAR(q.max[1] - q.min[1], 0.1f, eps);
                rungBottoms.push_back(q.min[1]);
            }
        }
    EXPECT_EQ(rails, 2);
    ASSERT_EQ(rungBottoms.size(), 9u);
    for (int k = 1; k <= 9; k++)
        EXPECT_NEAR(rungBottoms[k - 1], k, eps);
    const fakegl::Bounds all = fakegl::bounds(white);
    EXPECT_NEAR(all.min[0], -1.1f, eps);
    EXPECT_NEAR(all.max[0], 1.1f, eps);
}

class DoorDrawing : public testing::Test {
protected:
    Cell cell;
    Door door;

    void SetUp() override
    {
        cell.init(0, 0, 1, false);
        door.init(&cell, true);
        fakegl::reset();
    }
};

TEST_F(DoorDrawing, FrameStandsAtTheBackOfTheSlab)
{
    door.render(0);
    const auto ps = fakegl::withColor(fakegl::primitives(), 0.3f, 0.6f, 0.9f);
    ASSERT_EQ(ps.size(), 2u);
    const fakegl::Bounds frame = fakegl::bounds(ps[0]);
    EXPECT_EQ(ps[0].v.size(), 12u);
    EXPECT_NEAR(frame.min[0], -2.5f, eps);
    EXPECT_NEAR(frame.max[0], 2.5f, eps);
    EXPECT_NEAR(frame.min[1], 0, eps);
    EXPECT_NEAR(frame.max[1], 7, eps);
    EXPECT_NEAR(frame.min[2], -3, eps);
    EXPECT_NEAR(frame.max[2], -3, eps);
}

TEST_F(DoorDrawing, LeafTurnsAboutItsHingeAwayFromTheViewer)
{
    door.angle = 3;
    door.speed = 1;
    door.render(0.5f);
    const auto& ps = fakegl::primitives();
    ASSERT_EQ(ps.size(), 2u);
    const Primitive& leaf = ps[1];
    ASSERT_EQ(leaf.v.size(), 4u);
    const double a = 52.5 * degree;
    const float hinge[] = {-2.2f, 0, -3};
    const float width = 4.4f;
    int atHinge = 0, atFreeEdge = 0;
    for (const Vertex& v : leaf.v) {
        if (near(v.world, {hinge[0], v.world[1], hinge[2]}))
            atHinge++;
        if (near(v.world, {float(hinge[0] + width * std::cos(a)), v.world[1],
                           float(hinge[2] - width * std::sin(a))}))
            atFreeEdge++;
    }
    EXPECT_EQ(atHinge, 2);
    EXPECT_EQ(atFreeEdge, 2);
    EXPECT_NEAR(fakegl::bounds(leaf).max[1], 6.7f, eps);
}

TEST_F(DoorDrawing, ClosedLeafLiesInTheFrame)
{
    door.render(0.5f);
    const fakegl::Bounds leaf = fakegl::bounds(fakegl::primitives().at(1));
    EXPECT_NEAR(leaf.min[0], -2.2f, eps);
    EXPECT_NEAR(leaf.max[0], 2.2f, eps);
    EXPECT_NEAR(leaf.max[2], -3, eps);
    EXPECT_NEAR(leaf.min[2], -3, eps);
}

TEST(LevelDrawing, EachCellIsDrawnAtFiveUnitsAColumnAndTenARow)
{
    World w("3 2 0 0 2 0\n  .\n   \n N \n   \n");
    fakegl::reset();
    w.frame();
    const fakegl::Bounds floor = fakegl::bounds(fakegl::withColor(fakegl::primitives(), 0, 0.5f, 1));
    EXPECT_NEAR(floor.min[0], 9, eps);
    EXPECT_NEAR(floor.max[0], 11, eps);
    EXPECT_NEAR(floor.min[1], 8.2f, eps);
    EXPECT_NEAR(floor.max[1], 9.9f, eps);
    const fakegl::Bounds domino = fakegl::bounds(yellow());
    EXPECT_NEAR(domino.min[0], 4.5f, eps);
    EXPECT_NEAR(domino.max[0], 5.5f, eps);
    EXPECT_NEAR(domino.min[1], 10, eps);
    EXPECT_NEAR(domino.max[1], 15, eps);
    EXPECT_TRUE(fakegl::errors().empty());
}

}  // namespace
