// What reaches the screen, read back from the recording GL in world units:
// dominoes turning about the bottom edge they lean to, debris, the trigger's
// stripes, floor slabs and ladders, doors swinging open, and the grid placed
// at 5 units a column and 10 a row.
#include "world.h"

#include "fake_gl.h"
#include "trigger.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using fakegl::Primitive;
using fakegl::Vertex;

const float eps = 1e-4f;
const double degree = 3.141592653589793 / 180;
const float elevStep = 10 / 6.0f;  // one elev unit in world units
const float slabColour[] = {0, 0.5f, 1};

bool near(const float* v, const std::array<float, 3>& want)
{
    for (int i = 0; i < 3; i++)
        if (std::fabs(v[i] - want[i]) > eps)
            return false;
    return true;
}

int verticesWithNormal(const std::vector<Primitive>& ps, float x, float y, float z)
{
    int n = 0;
    for (const Primitive& p : ps)
        for (const Vertex& v : p.v)
            n += near(v.normal, {x, y, z});
    return n;
}

void expectSpan(const fakegl::Bounds& b, int axis, float lo, float hi)
{
    EXPECT_NEAR(b.min[axis], lo, eps) << "axis " << axis;
    EXPECT_NEAR(b.max[axis], hi, eps) << "axis " << axis;
}

// The standard box as drawn: lifted, then turned by degrees about the axis
// (0, 0, -1) through the bottom edge at x = pivot.
struct Placement {
    float pivot;
    float degrees;
    float lift;

    std::array<float, 3> operator()(float x, float y, float z) const
    {
        const double a = degrees * degree;
        const double dx = x - pivot;
        return {float(pivot + dx * std::cos(a) + y * std::sin(a)),
                float(lift - dx * std::sin(a) + y * std::cos(a)), z};
    }
};

// The box is one yellow batch of six quads: each of its eight corners,
// placed as given, is drawn once for each of the three faces meeting there,
// and every face is lit from outside.
void expectBoxPlaced(const Placement& place)
{
    const auto& ps = fakegl::primitives();
    ASSERT_EQ(ps.size(), 1u);
    ASSERT_EQ(fakegl::withColor(ps, 1, 1, 0).size(), 1u);
    const Primitive& box = ps[0];
    EXPECT_EQ(box.mode, GLenum(GL_QUADS));
    EXPECT_EQ(box.v.size(), 24u);
    for (float x : {-0.5f, 0.5f})
        for (float y : {0.0f, 5.0f})
            for (float z : {-2.0f, 2.0f}) {
                int drawn = 0;
                for (const Vertex& v : box.v)
                    drawn += near(v.world, place(x, y, z));
                EXPECT_EQ(drawn, 3) << "corner (" << x << ", " << y << ", " << z << ")";
            }
    const auto centre = place(0, 2.5f, 0);
    for (const Vertex& v : box.v) {
        float outward = 0;
        for (int i = 0; i < 3; i++)
            outward += v.normal[i] * (v.world[i] - centre[i]);
        EXPECT_GT(outward, 0);
    }
}

// A domino of its own in cell (0, 0), drawn on an identity matrix, so that
// its world units are its cell's.
template <class Kind>
struct Alone {
    Cell cell;
    Kind d;
    Alone()
    {
        cell.init(0, 0, 1, false);
        d.init(&cell);
        fakegl::reset();
    }
};

// A pending push becomes the speed before the domino is placed, so the frame
// after the push already shows it tipping. Only a domino that turns or
// flies pulls the camera.
TEST(DominoDrawing, BoxTurnsAboutTheBottomEdgeItLeansToAndOnlyMotionPullsTheCamera)
{
    Alone<Domino> alone;
    Domino& d = alone.d;
    const struct {
        const char* what;
        int angle, speed, accel, fly, elev;
        float t;
        Placement placed;
        int pulls;
    } cases[] = {
        {"upright and still, at its height", 0, 0, 0, 0, 2, 0.5f, {0, 0, 2 * elevStep}, 0},
        {"falling right", 2, 1, 0, 0, 0, 0.5f, {0.5f, 37.5f, 0}, 1},
        {"starting to fall left", 0, -1, 0, 0, 0, 0.2f, {-0.5f, -3, 0}, 1},
        {"lying left", -6, 0, 0, 0, 0, 0.7f, {-0.5f, -90, 0}, 0},
        {"dropping and turning, drawn upright", 0, 1, 0, -1, -3, 0.5f, {0, 0, -3.5f * elevStep}, 1},
        {"dropping upright", 0, 0, 0, -1, -2, 0.5f, {0, 0, -2.5f * elevStep}, 1},
        {"pushed this tick", 0, 0, 1, 0, 0, 0.5f, {0.5f, 7.5f, 0}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fakegl::reset();
        totweight = 0;
        d.angle = c.angle;
        d.speed = c.speed;
        d.accel = c.accel;
        d.fly = c.fly;
        d.elev = c.elev;
        d.animate(c.t);
        d.render(c.t);
        expectBoxPlaced(c.placed);
        EXPECT_EQ(totweight, c.pulls);
        EXPECT_EQ(d.accel, 0);
    }
    EXPECT_TRUE(fakegl::errors().empty());
}

// renderBroken tells every kind whether to draw its own shape.
TEST(DominoDrawing, OnlyABrokenDominoIsTenShardsAndNoBox)
{
    Alone<Domino> alone;
    Domino& d = alone.d;
    EXPECT_TRUE(d.renderBroken(0.5f));
    EXPECT_TRUE(fakegl::primitives().empty());
    d.boom();
    EXPECT_FALSE(d.renderBroken(0.5f));
    fakegl::reset();
    d.render(0.5f);
    const auto& shards = fakegl::primitives();
    ASSERT_EQ(shards.size(), 10u);
    // Every shard is (1, green, 0): orange, red or yellow.
    const float green[] = {0.5f, 0, 1, 0.5f, 1, 1, 1, 1, 1, 0.5f};
    for (int i = 0; i < 10; i++) {
        EXPECT_EQ(shards[i].mode, GLenum(GL_TRIANGLES)) << "shard " << i + 1;
        EXPECT_EQ(shards[i].v.size(), 9u) << "shard " << i + 1;
        EXPECT_EQ(fakegl::withColor({shards[i]}, 1, green[i], 0).size(), 1u) << "shard " << i + 1;
    }
}

TEST(TriggerDrawing, SevenBandsFromYellowAtTheBottomBetweenYellowEnds)
{
    Alone<Trigger>().d.render(0);
    const auto& ps = fakegl::primitives();
    ASSERT_EQ(ps.size(), 8u);
    EXPECT_EQ(fakegl::withColor({ps[0]}, 1, 1, 0).size(), 1u);
    EXPECT_EQ(verticesWithNormal({ps[0]}, 0, 1, 0), 4);
    EXPECT_EQ(verticesWithNormal({ps[0]}, 0, -1, 0), 4);
    expectSpan(fakegl::bounds(ps[0]), 1, 0, 5);
    for (int band = 0; band < 7; band++) {
        SCOPED_TRACE(testing::Message() << "band " << band);
        const Primitive& p = ps[1 + band];
        const float green = band % 2 == 0 ? 1 : 0;
        EXPECT_EQ(fakegl::withColor({p}, 1, green, 0).size(), 1u);
        EXPECT_EQ(p.v.size(), 16u);
        const fakegl::Bounds b = fakegl::bounds(p);
        expectSpan(b, 0, -0.5f, 0.5f);
        expectSpan(b, 1, band * 5 / 7.0f, (band + 1) * 5 / 7.0f);
        expectSpan(b, 2, -2, 2);
    }
}

// One cell at the origin, drawn on an identity matrix.
std::vector<Primitive> drawCell(int floor, bool ladder)
{
    Cell cell;
    cell.init(0, 0, floor, ladder);
    fakegl::reset();
    cell.render(0);
    return fakegl::primitives();
}

// A run of joined floors must read as one slab: a joined side reaches the
// neighbour's slab and shows no end face.
TEST(CellDrawing, FloorCodeShapesTheSlabAndItsEnds)
{
    const struct {
        int code;
        float right;
        bool rightEnd, leftEnd;
    } slabs[] = {{1, 1, true, true}, {3, 1, true, false}, {5, 4, false, true}, {7, 4, false, false}};
    for (const auto& s : slabs) {
        SCOPED_TRACE(testing::Message() << "floor " << s.code);
        const auto drawn = drawCell(s.code, false);
        ASSERT_EQ(drawn.size(), 1u);
        const auto slab = fakegl::withColor(drawn, slabColour[0], slabColour[1], slabColour[2]);
        ASSERT_EQ(slab.size(), 1u);
        const fakegl::Bounds b = fakegl::bounds(slab);
        expectSpan(b, 0, -1, s.right);
        expectSpan(b, 1, -1.8f, -0.1f);
        expectSpan(b, 2, -3, 3);
        // Top, front and bottom always; never the back, which no one sees.
        EXPECT_EQ(verticesWithNormal(slab, 0, 1, 0), 4);
        EXPECT_EQ(verticesWithNormal(slab, 0, 0, 1), 4);
        EXPECT_EQ(verticesWithNormal(slab, 0, -1, 0), 4);
        EXPECT_EQ(verticesWithNormal(slab, 0, 0, -1), 0);
        EXPECT_EQ(verticesWithNormal(slab, 1, 0, 0), s.rightEnd ? 4 : 0);
        EXPECT_EQ(verticesWithNormal(slab, -1, 0, 0), s.leftEnd ? 4 : 0);
    }
    EXPECT_TRUE(drawCell(0, false).empty());
}

TEST(CellDrawing, LadderWithoutFloorIsTwoRailsAndNineRungsAlone)
{
    const auto ps = drawCell(0, true);
    ASSERT_EQ(fakegl::withColor(ps, 1, 1, 1).size(), ps.size());
    std::vector<fakegl::Bounds> quads;
    for (const Primitive& p : ps)
        for (size_t i = 0; i + 4 <= p.v.size(); i += 4) {
            EXPECT_NEAR(p.v[i].normal[2], 1, eps);
            quads.push_back(fakegl::bounds(Primitive{GL_QUADS, {p.v.begin() + i, p.v.begin() + i + 4}}));
        }
    // x from, x to, y from, y to, z
    std::vector<std::array<float, 5>> expected = {{-1, -0.9f, 0, 10, 3}, {0.9f, 1, 0, 10, 3}};
    for (float k = 1; k <= 9; k++)
        expected.push_back({-1.1f, 1.1f, k, k + 0.1f, 2.9f});
    EXPECT_EQ(quads.size(), expected.size());
    for (const auto& want : expected) {
        int found = 0;
        for (const fakegl::Bounds& q : quads)
            found += near(q.min, {want[0], want[2], want[4]}) && near(q.max, {want[1], want[3], want[4]});
        EXPECT_EQ(found, 1) << "quad from (" << want[0] << ", " << want[2] << ")";
    }
}

// The exit door of a cell at the origin, in the plane of the slab's back
// edge. Angle 3 and half a tick of opening is (3 + 0.5) x 15 degrees, with
// the free edge swung away from the viewer.
TEST(DoorDrawing, LeafTurnsAboutItsHingeInsideTheFrame)
{
    const float hingeX = -2.2f, backZ = -3, leafWidth = 4.4f;
    const struct {
        int angle, speed;
        float degrees;
    } cases[] = {{0, 0, 0}, {3, 1, 52.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle << " speed " << c.speed);
        Cell cell;
        cell.init(0, 0, 1, false);
        Door door;
        door.init(&cell, true);
        door.angle = c.angle;
        door.speed = c.speed;
        fakegl::reset();
        door.render(0.5f);
        const auto ps = fakegl::withColor(fakegl::primitives(), 0.3f, 0.6f, 0.9f);
        ASSERT_EQ(ps.size(), 2u);
        EXPECT_EQ(ps[0].v.size(), 12u);
        const fakegl::Bounds frame = fakegl::bounds(ps[0]);
        expectSpan(frame, 0, -2.5f, 2.5f);
        expectSpan(frame, 1, 0, 7);
        expectSpan(frame, 2, backZ, backZ);
        const Primitive& leaf = ps[1];
        ASSERT_EQ(leaf.v.size(), 4u);
        expectSpan(fakegl::bounds(leaf), 1, 0, 6.7f);
        const double a = c.degrees * degree;
        int atHinge = 0, atFreeEdge = 0;
        for (const Vertex& v : leaf.v) {
            atHinge += near(v.world, {hingeX, v.world[1], backZ});
            atFreeEdge += near(v.world, {float(hingeX + leafWidth * std::cos(a)), v.world[1],
                                         float(backZ - leafWidth * std::sin(a))});
        }
        EXPECT_EQ(atHinge, 2);
        EXPECT_EQ(atFreeEdge, 2);
    }
}

TEST(LevelDrawing, EachCellIsDrawnAtFiveUnitsAColumnAndTenARow)
{
    World w("3 2 0 0 2 0\n  .\n   \n N \n   \n");
    fakegl::reset();
    w.frame();
    // The floor of cell (2, 1) and the domino of cell (1, 1).
    const fakegl::Bounds floor = fakegl::bounds(
        fakegl::withColor(fakegl::primitives(), slabColour[0], slabColour[1], slabColour[2]));
    expectSpan(floor, 0, 2 * 5 - 1, 2 * 5 + 1);
    expectSpan(floor, 1, 10 - 1.8f, 10 - 0.1f);
    const fakegl::Bounds domino = fakegl::bounds(fakegl::withColor(fakegl::primitives(), 1, 1, 0));
    expectSpan(domino, 0, 5 - 0.5f, 5 + 0.5f);
    expectSpan(domino, 1, 10, 10 + 5);
    EXPECT_TRUE(fakegl::errors().empty());
}

}  // namespace
