// The recording OpenGL: the matrix maths, one global state that the gl*
// functions (with the exact prototypes of <GL/gl.h>) change, and the queries
// tests read it through.
#include "fake_gl.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

using fakegl::Matrix;
using Vec3 = std::array<float, 3>;

// The least depth GL promises for the modelview stack; the game has no
// business nesting deeper.
const std::size_t maxStackDepth = 32;

Matrix identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[4 * c + r] += a[4 * k + r] * b[4 * c + k];
    return m;
}

Vec3 place(const Matrix& m, float x, float y, float z)
{
    Vec3 p;
    for (int r = 0; r < 3; ++r)
        p[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
    return p;
}

// The inverse of a rotation followed by a translation.
Matrix inverseOfRigid(const Matrix& m)
{
    Matrix inv = identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            inv[4 * c + r] = m[4 * r + c];
    const Vec3 back = place(inv, -m[12], -m[13], -m[14]);
    for (int r = 0; r < 3; ++r)
        inv[12 + r] = back[r];
    return inv;
}

// Degrees counter-clockwise about the axis, which GL normalises.
Matrix rotation(float degrees, float x, float y, float z)
{
    const double len = std::sqrt(double{x} * x + double{y} * y + double{z} * z);
    if (len == 0)
        return identity();
    const double ux = x / len, uy = y / len, uz = z / len;
    const double a = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(a), s = std::sin(a), t = 1 - c;
    auto f = [](double v) { return static_cast<float>(v); };
    return {f(ux * ux * t + c),
            f(uy * ux * t + uz * s),
            f(uz * ux * t - uy * s),
            0,
            f(ux * uy * t - uz * s),
            f(uy * uy * t + c),
            f(uz * uy * t + ux * s),
            0,
            f(ux * uz * t + uy * s),
            f(uy * uz * t - ux * s),
            f(uz * uz * t + c),
            0,
            0,
            0,
            0,
            1};
}

Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Normals go through the inverse transpose of the linear part, whose columns
// are the cross products of the part's columns over its determinant; only
// the determinant's sign survives normalising.
Vec3 transformNormal(const Matrix& m, const float n[3])
{
    const Vec3 a0 = {m[0], m[1], m[2]}, a1 = {m[4], m[5], m[6]}, a2 = {m[8], m[9], m[10]};
    const Vec3 c0 = cross(a1, a2), c1 = cross(a2, a0), c2 = cross(a0, a1);
    Vec3 out;
    for (int i = 0; i < 3; ++i)
        out[i] = n[0] * c0[i] + n[1] * c1[i] + n[2] * c2[i];
    const float det = a0[0] * c0[0] + a0[1] * c0[1] + a0[2] * c0[2];
    const float len = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]) * (det < 0 ? -1 : 1);
    if (len == 0)
        return out;
    return {out[0] / len, out[1] / len, out[2] / len};
}

struct State {
    std::vector<Matrix> modelviewStack{identity()};
    std::vector<Matrix> projectionStack{identity()};
    bool projecting = false;  // GL_PROJECTION is the matrix mode
    Matrix viewInverse = identity();
    Matrix toWorld = identity();  // object to world, fixed by glBegin
    Matrix toEye = identity();    // object to eye, fixed by glBegin
    bool drawing = false;         // between glBegin and glEnd
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    std::vector<fakegl::Primitive> primitives;
    std::string stateLog;
    std::vector<GLenum> errors;
    std::map<GLuint, std::vector<std::function<void()>>> lists;
    GLuint compiling = 0;  // the list being compiled, or 0
    GLuint nextList = 1;
    std::vector<GLuint> compiled;
};

State g;

// While a list is compiled, keeps the call for it instead of making it.
bool listed(std::function<void()> call)
{
    if (!g.compiling)
        return false;
    g.lists[g.compiling].push_back(std::move(call));
    return true;
}

// True outside glBegin..glEnd; inside, records the misuse GL would report.
bool notDrawing()
{
    if (g.drawing)
        g.errors.push_back(GL_INVALID_OPERATION);
    return !g.drawing;
}

std::vector<Matrix>& currentStack()
{
    return g.projecting ? g.projectionStack : g.modelviewStack;
}

void multiplyTop(const Matrix& m)
{
    if (notDrawing())
        currentStack().back() = multiply(currentStack().back(), m);
}

// Writes a state call to the log; true when it may change state.
bool logState(const char* name, std::initializer_list<double> args, bool enums = false)
{
    std::string line = name;
    for (double a : args) {
        char text[32];
        if (enums)
            snprintf(text, sizeof text, " %#x", static_cast<unsigned>(a));
        else
            snprintf(text, sizeof text, " %g", a);
        line += text;
    }
    g.stateLog += line + "\n";
    return notDrawing();
}

// Three decimals, with no "-0" for a value that rounds to zero.
std::string number(float v)
{
    char text[32];
    snprintf(text, sizeof text, "%g", std::round(v * 1000) / 1000 + 0.0);
    return text;
}

std::string numbers(const char* label, const float* v, int n)
{
    std::string line = label;
    for (int i = 0; i < n; ++i)
        line += " " + number(v[i]);
    return line + "\n";
}

using Clipped = std::vector<std::array<float, 4>>;

// The part of the polygon on the inside of the clip plane side * x[axis] <= w.
Clipped clipAgainst(const Clipped& in, int axis, float side)
{
    Clipped out;
    for (std::size_t i = 0; i < in.size(); i++) {
        const auto& a = in[i];
        const auto& b = in[(i + 1) % in.size()];
        const float da = a[3] - side * a[axis], db = b[3] - side * b[axis];
        if (da >= 0)
            out.push_back(a);
        if ((da >= 0) != (db >= 0)) {
            const float f = da / (da - db);
            std::array<float, 4> c;
            for (int k = 0; k < 4; k++)
                c[k] = a[k] + f * (b[k] - a[k]);
            out.push_back(c);
        }
    }
    return out;
}

// Whether anything of the convex face of n corners is left inside the view
// volume once clipped by its six planes.
bool faceMayBeSeen(const Matrix& m, const fakegl::Vertex* v, std::size_t n)
{
    Clipped polygon;
    for (std::size_t i = 0; i < n; i++) {
        std::array<float, 4> c;
        for (int row = 0; row < 4; row++)
            c[row] = m[row] * v[i].eye[0] + m[4 + row] * v[i].eye[1] + m[8 + row] * v[i].eye[2] + m[12 + row];
        polygon.push_back(c);
    }
    for (int axis = 0; axis < 3 && !polygon.empty(); axis++)
        for (float side : {-1.0f, 1.0f})
            polygon = clipAgainst(polygon, axis, side);
    return !polygon.empty();
}

}  // namespace

namespace fakegl {

void reset()
{
    g = State{};
}

const std::vector<Primitive>& primitives()
{
    return g.primitives;
}

const Matrix& projection()
{
    return g.projectionStack.back();
}

bool mayBeSeen(const Primitive& p)
{
    const std::size_t corners = p.mode == GL_QUADS ? 4 : p.mode == GL_TRIANGLES ? 3 : p.v.size();
    for (std::size_t i = 0; i + corners <= p.v.size(); i += corners)
        if (faceMayBeSeen(projection(), p.v.data() + i, corners))
            return true;
    return false;
}

const std::string& stateLog()
{
    return g.stateLog;
}

const std::vector<GLenum>& errors()
{
    return g.errors;
}

const std::vector<GLuint>& compiledLists()
{
    return g.compiled;
}

std::string picture(std::size_t first)
{
    static const char* const modes[] = {"points",     "lines",          "line loop",    "line strip",
                                        "triangles",  "triangle strip", "triangle fan", "quads",
                                        "quad strip", "polygon"};
    std::string text, colour, normal;
    for (const Primitive& p : std::vector<Primitive>(g.primitives.begin() + first, g.primitives.end())) {
        text += std::string(modes[p.mode]) + "\n";
        for (const Vertex& v : p.v) {
            const std::string c = numbers("  colour", v.color, v.color[3] == 1 ? 3 : 4);
            const std::string n = numbers("  normal", v.normal, 3);
            if (c != colour)
                text += colour = c;
            if (n != normal)
                text += normal = n;
            text += numbers("   ", v.world, 3);
        }
    }
    return text;
}

}  // namespace fakegl

extern "C" {

void glPolygonMode(GLenum face, GLenum mode)
{
    logState("glPolygonMode", {double(face), double(mode)}, true);
}

void glShadeModel(GLenum mode)
{
    logState("glShadeModel", {double(mode)}, true);
}

void glEnable(GLenum cap)
{
    if (listed([=] { glEnable(cap); }))
        return;
    logState("glEnable", {double(cap)}, true);
}

void glDisable(GLenum cap)
{
    if (listed([=] { glDisable(cap); }))
        return;
    logState("glDisable", {double(cap)}, true);
}

void glColorMaterial(GLenum face, GLenum mode)
{
    logState("glColorMaterial", {double(face), double(mode)}, true);
}

void glBlendFunc(GLenum sfactor, GLenum dfactor)
{
    logState("glBlendFunc", {double(sfactor), double(dfactor)}, true);
}

void glClearDepth(GLclampd depth)
{
    logState("glClearDepth", {depth});
}

void glClear(GLbitfield mask)
{
    if (logState("glClear", {double(mask)}, true))
        g.primitives.clear();
}

void glMatrixMode(GLenum mode)
{
    if (logState("glMatrixMode", {double(mode)}, true))
        g.projecting = mode == GL_PROJECTION;
}

void glLoadIdentity(void)
{
    if (!logState("glLoadIdentity", {}))
        return;
    currentStack().back() = identity();
    if (!g.projecting)
        g.viewInverse = identity();
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    if (!logState("glFrustum", {left, right, bottom, top, zNear, zFar}))
        return;
    const double w = right - left, h = top - bottom, d = zFar - zNear;
    multiplyTop({float(2 * zNear / w), 0, 0, 0, 0, float(2 * zNear / h), 0, 0, float((right + left) / w),
                 float((top + bottom) / h), float(-(zFar + zNear) / d), -1, 0, 0,
                 float(-2 * zFar * zNear / d), 0});
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (listed([=] { glRotatef(angle, x, y, z); }))
        return;
    multiplyTop(rotation(angle, x, y, z));
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (listed([=] { glTranslatef(x, y, z); }))
        return;
    multiplyTop({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}

void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    if (listed([=] { glScalef(x, y, z); }))
        return;
    multiplyTop({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}

void glPushMatrix(void)
{
    if (listed([=] { glPushMatrix(); }))
        return;
    if (!notDrawing())
        return;
    const std::size_t maxProjectionDepth = 2;  // the least GL allows
    if (currentStack().size() >= (g.projecting ? maxProjectionDepth : maxStackDepth))
        g.errors.push_back(GL_STACK_OVERFLOW);
    else
        currentStack().push_back(currentStack().back());
}

void glPopMatrix(void)
{
    if (listed([=] { glPopMatrix(); }))
        return;
    if (!notDrawing())
        return;
    if (currentStack().size() == 1)
        g.errors.push_back(GL_STACK_UNDERFLOW);
    else
        currentStack().pop_back();
}

// The light is placed right after the camera, so this is where the view is
// read off.
void glLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    if (!logState("glLightfv", {double(light), double(pname)}, true) || light != GL_LIGHT0
        || pname != GL_POSITION)
        return;
    g.stateLog += numbers("  position", params, 4) + numbers("  view", g.modelviewStack.back().data(), 16);
    g.viewInverse = inverseOfRigid(g.modelviewStack.back());
}

void glBegin(GLenum mode)
{
    if (listed([=] { glBegin(mode); }))
        return;
    if (!notDrawing())
        return;
    g.drawing = true;
    g.toWorld = multiply(g.viewInverse, g.modelviewStack.back());
    g.toEye = g.modelviewStack.back();
    g.primitives.push_back({mode, {}});
}

void glEnd(void)
{
    if (listed([=] { glEnd(); }))
        return;
    if (!g.drawing)
        g.errors.push_back(GL_INVALID_OPERATION);
    g.drawing = false;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (listed([=] { glVertex3f(x, y, z); }))
        return;
    if (!g.drawing) {
        g.errors.push_back(GL_INVALID_OPERATION);
        return;
    }
    fakegl::Vertex v;
    const Vec3 world = place(g.toWorld, x, y, z), normal = transformNormal(g.toWorld, g.normal);
    const Vec3 eye = place(g.toEye, x, y, z);
    std::copy(world.begin(), world.end(), v.world);
    std::copy(eye.begin(), eye.end(), v.eye);
    std::copy(normal.begin(), normal.end(), v.normal);
    std::copy(g.color, g.color + 4, v.color);
    g.primitives.back().v.push_back(v);
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz)
{
    if (listed([=] { glNormal3f(nx, ny, nz); }))
        return;
    g.normal[0] = nx;
    g.normal[1] = ny;
    g.normal[2] = nz;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    if (listed([=] { glColor4f(red, green, blue, alpha); }))
        return;
    g.color[0] = red;
    g.color[1] = green;
    g.color[2] = blue;
    g.color[3] = alpha;
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    glColor4f(red, green, blue, 1);
}

GLuint glGenLists(GLsizei range)
{
    if (!notDrawing() || range <= 0)
        return 0;
    const GLuint first = g.nextList;
    g.nextList += range;
    return first;
}

void glDeleteLists(GLuint list, GLsizei range)
{
    if (notDrawing())
        for (GLsizei i = 0; i < range; i++)
            g.lists.erase(list + i);
}

void glNewList(GLuint list, GLenum mode)
{
    if (!notDrawing())
        return;
    if (list == 0 || mode != GL_COMPILE || g.compiling) {
        g.errors.push_back(list == 0 || mode != GL_COMPILE ? GL_INVALID_VALUE : GL_INVALID_OPERATION);
        return;
    }
    g.compiling = list;
    g.lists[list].clear();
    g.compiled.push_back(list);
}

void glEndList(void)
{
    if (!g.compiling || !notDrawing())
        g.errors.push_back(GL_INVALID_OPERATION);
    g.compiling = 0;
}

void glCallList(GLuint list)
{
    if (listed([=] { glCallList(list); }))
        return;
    const auto calls = g.lists.find(list);
    if (calls != g.lists.end())
        for (const auto& call : calls->second)
            call();
}

}  // extern "C"
