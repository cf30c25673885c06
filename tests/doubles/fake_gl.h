// Recording OpenGL for tests: a stand-in, linked in place of the real
// library, for every fixed-function call the game makes. It keeps the real
// matrix stacks and records each glBegin..glEnd primitive with its vertices
// already placed in the world, so a test can ask where things were drawn.
//
// World space: the game sets GL_LIGHT0's position right after its camera
// transform, so the modelview matrix at that moment is taken as the camera
// ("view"); glLoadIdentity in GL_MODELVIEW forgets it. A vertex's world
// position is inverse(view) x modelview x vertex: a whole frame drawn by the
// main loop and a render() called on an identity matrix both come out in
// world units.
//
// Misuse that real GL reports or leaves undefined (stack overflow and
// underflow, calls not allowed between glBegin and glEnd, a vertex outside
// them, bad enums or frustum values) lands in errors(); the call is ignored.
#ifndef FAKE_GL_H
#define FAKE_GL_H

#include <GL/gl.h>

#include <array>
#include <string>
#include <vector>

namespace fakegl {

// Column-major like GL: row r, column c at [4 * c + r].
using Matrix = std::array<float, 16>;

struct Vertex {
    float world[3];
    float eye[3];     // modelview x vertex
    float normal[3];  // the current normal in world space, unit length
    float color[4];   // the current colour, RGBA
};

struct Primitive {
    GLenum mode;
    std::vector<Vertex> v;
};

// One call as made: its name and numeric arguments (enums, floats, the
// values behind glLightfv's pointer).
struct Call {
    std::string name;
    std::vector<double> args;
};

// Axis-aligned world-space box; with no vertices min is +inf and max -inf.
struct Bounds {
    float min[3];
    float max[3];
};

// Back to the start: identity matrices, GL_MODELVIEW, colour white, normal
// +z, nothing enabled, nothing recorded.
void reset();

// One frame: what was drawn and called since the latest glClear (that call
// included), or since reset() when nothing was cleared. glVertex, glNormal
// and glColor are left out of calls(); their values are in the primitives.
const std::vector<Primitive>& primitives();
const std::vector<Call>& calls();

// Every call since reset() that sets state, in order: all of calls() but
// glBegin/glEnd and the placing of objects (push, pop, rotate, translate,
// scale), so it stays small over a long run.
const std::vector<Call>& stateCalls();

const std::vector<GLenum>& errors();

const Matrix& projection();
const Matrix& modelview();
const Matrix& view();
bool isEnabled(GLenum cap);

// Where a world point lands in normalised device coordinates (-1..1 is on
// screen) through the current view and projection.
std::array<float, 3> deviceCoords(float x, float y, float z);

Bounds bounds(const Primitive& p);
Bounds bounds(const std::vector<Primitive>& ps);

// The primitives all of whose vertices have this RGB, give or take tolerance.
std::vector<Primitive> withColor(const std::vector<Primitive>& ps, float r, float g, float b,
                                 float tolerance = 0.02f);

}  // namespace fakegl

#endif
