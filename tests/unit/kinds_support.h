// Support for the domino kinds' tests: one domino drawn on its own, with its
// batches split into single faces so a test can pick them by colour and by
// the way they face, and a run of ticks whose standard output is captured.
#ifndef KINDS_SUPPORT_H
#define KINDS_SUPPORT_H

#include "fake_gl.h"
#include "world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

// One quadrilateral or triangle as drawn, in world units.
struct Polygon {
    std::vector<fakegl::Vertex> v;

    bool hasColor(float r, float g, float b) const
    {
        for (const fakegl::Vertex& x : v)
            if (std::abs(x.color[0] - r) + std::abs(x.color[1] - g) + std::abs(x.color[2] - b) > 0.02f)
                return false;
        return true;
    }
    // The mean of the corners along axis 0 (x), 1 (y) or 2 (z).
    float centre(int axis) const
    {
        float sum = 0;
        for (const fakegl::Vertex& x : v)
            sum += x.world[axis];
        return sum / v.size();
    }
    float normal(int axis) const { return v.front().normal[axis]; }
};

inline bool isRed(const Polygon& f) { return f.hasColor(1, 0, 0); }
inline bool isYellow(const Polygon& f) { return f.hasColor(1, 1, 0); }

// Faces whose normal lies along the axis.
inline auto facing(int axis)
{
    return [axis](const Polygon& f) { return std::abs(f.normal(axis)) > 0.5f; };
}

inline std::vector<Polygon> splitFaces(const std::vector<fakegl::Primitive>& primitives)
{
    std::vector<Polygon> faces;
    for (const fakegl::Primitive& p : primitives) {
        const size_t corners = p.mode == GL_QUADS ? 4 : p.mode == GL_TRIANGLES ? 3 : 0;
        for (size_t i = 0; corners && i + corners <= p.v.size(); i += corners)
            faces.push_back({{p.v.begin() + i, p.v.begin() + i + corners}});
    }
    return faces;
}

// Draws d alone at tick fraction t in its own cell's frame (the origin at
// its cell's origin). Like a frame of the game, this applies a pending push.
inline std::vector<Polygon> drawAlone(Domino* d, float t = 0)
{
    fakegl::reset();
    d->animate(t);
    d->render(t);
    EXPECT_TRUE(fakegl::errors().empty());
    return splitFaces(fakegl::primitives());
}

template <class Keep>
std::vector<Polygon> only(const std::vector<Polygon>& faces, Keep keep)
{
    std::vector<Polygon> kept;
    for (const Polygon& f : faces)
        if (keep(f))
            kept.push_back(f);
    return kept;
}

// The extent of the faces along one axis.
struct Span {
    float lo, hi;
};

inline Span span(const std::vector<Polygon>& faces, int axis)
{
    Span s = {1e9f, -1e9f};
    for (const Polygon& f : faces)
        for (const fakegl::Vertex& x : f.v)
            s = {std::min(s.lo, x.world[axis]), std::max(s.hi, x.world[axis])};
    return s;
}

inline void expectSpan(const std::vector<Polygon>& faces, int axis, float lo, float hi)
{
    EXPECT_NEAR(span(faces, axis).lo, lo, 1e-4f) << "lower end along axis " << axis;
    EXPECT_NEAR(span(faces, axis).hi, hi, 1e-4f) << "upper end along axis " << axis;
}

// Runs n ticks and returns what the game printed meanwhile.
inline std::string printedDuring(World& w, int n)
{
    testing::internal::CaptureStdout();
    w.tick(n);
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// Pushes the domino in the player's cell; the frame drawn next applies it,
// as in the game.
inline void push(World& w, int direction)
{
    player.push(direction);
    w.frame();
}

// Pushes and lets the level come to rest.
inline void pushAndSettle(World& w, int direction)
{
    push(w, direction);
    w.tick(30);
}

// The floor codes of row y, from column 0.
inline void expectFloors(World& w, int y, const std::vector<int>& floors)
{
    for (size_t x = 0; x < floors.size(); x++)
        EXPECT_EQ(w.cell(x, y)->getFloor(), floors[x]) << "column " << x;
}

#endif
