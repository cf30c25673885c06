// Recording OpenGL for tests: a stand-in, linked in place of the real
// library, for every fixed-function call the game makes. It keeps the matrix
// stacks and records each glBegin..glEnd primitive with its vertices, normals
// and colours placed in the world, so that a test can compare a drawing with
// a stored picture or ask where something was drawn.
//
// World space: the game places GL_LIGHT0 right after its camera transform,
// so the modelview matrix at that moment is taken as the camera ("view"),
// and a vertex lands at inverse(view) x modelview x vertex. The camera only
// turns and moves, so its inverse is its transpose, moved back. A
// glLoadIdentity in GL_MODELVIEW forgets it.
//
// Display lists keep the calls made between glNewList and glEndList (in
// GL_COMPILE mode, without making them) and glCallList makes them again, so
// a list's vertices land where the matrices stand when it is called.
//
// Misuse that real GL reports (stack overflow and underflow, a call that is
// not allowed between glBegin and glEnd, a vertex outside them) lands in
// errors(), and the call is ignored.
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
    float eye[3];     // before the projection: the modelview matrix applied
    float normal[3];  // in world space, unit length
    float color[4];
};

struct Primitive {
    GLenum mode;
    std::vector<Vertex> v;
};

// Identity matrices, colour white, normal +z, nothing recorded.
void reset();

// What was drawn since the latest glClear, or since reset().
const std::vector<Primitive>& primitives();
// The top of the projection stack, which eye coordinates go through.
const Matrix& projection();
// Whether any of p can reach the view volume of that projection: whether
// anything of one of its faces (each quad of a batch of quads, each triangle
// of a batch of triangles, or the whole of another mode) is left inside the
// volume once clipped by its six planes.
bool mayBeSeen(const Primitive& p);
// Every call since reset() that sets state, one a line: its name, then its
// arguments, enums in hex ("glEnable 0xb50"); placing the light also writes
// the camera's matrix.
const std::string& stateLog();
const std::vector<GLenum>& errors();
// The names of the lists compiled since reset(), in the order of their
// glNewList.
const std::vector<GLuint>& compiledLists();

// primitives() from the first'th on as text: the mode of each, then one line
// a vertex with its world position, preceded by its colour and normal
// wherever they change.
std::string picture(std::size_t first = 0);

}  // namespace fakegl

#endif
