// The recording OpenGL: the matrix maths, one global state that the gl*
// functions (defined with the exact prototypes of <GL/gl.h>) change, and the
// queries that tests read it through.
#include "fake_gl.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace {

using fakegl::Matrix;
using Vec3 = std::array<float, 3>;

// The least depth GL promises for the modelview stack; the game has no
// business nesting deeper on either stack.
const std::size_t maxStackDepth = 32;
const double pi = 3.14159265358979323846;

Matrix identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[4 * c + r] += a[4 * k + r] * b[4 * c + k];
    return m;
}

std::array<float, 4> apply(const Matrix& m, float x, float y, float z) {
    std::array<float, 4> out;
    for (int r = 0; r < 4; ++r)
        out[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
    return out;
}

Vec3 place(const Matrix& m, float x, float y, float z) {
    std::array<float, 4> p = apply(m, x, y, z);
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
}

Matrix notANumber() {
    Matrix m;
    m.fill(std::numeric_limits<float>::quiet_NaN());
    return m;
}

// Gauss-Jordan elimination with partial pivoting, in double. A singular
// matrix gives all NaN, so whatever is placed through it fails every check.
Matrix inverse(const Matrix& m) {
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[4 * c + r];
            a[r][4 + c] = r == c;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (a[pivot][col] == 0)
            return notANumber();
        std::swap(a[col], a[pivot]);
        double p = a[col][col];
        for (double& v : a[col])
            v /= p;
        for (int r = 0; r < 4; ++r) {
            double f = r == col ? 0 : a[r][col];
            for (int c = 0; c < 8; ++c)
                a[r][c] -= f * a[col][c];
        }
    }
    Matrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[4 * c + r] = static_cast<float>(a[r][4 + c]);
    return out;
}

// Angle in degrees, counter-clockwise about the axis, which GL normalises.
Matrix rotation(float degrees, float x, float y, float z) {
    double len = std::sqrt(double{x} * x + double{y} * y + double{z} * z);
    if (len == 0)
        return identity();
    double ux = x / len, uy = y / len, uz = z / len;
    double c = std::cos(degrees * pi / 180), s = std::sin(degrees * pi / 180), t = 1 - c;
    auto f = [](double v) { return static_cast<float>(v); };
    return {f(ux * ux * t + c),      f(uy * ux * t + uz * s), f(uz * ux * t - uy * s), 0,
            f(ux * uy * t - uz * s), f(uy * uy * t + c),      f(uz * uy * t + ux * s), 0,
            f(ux * uz * t + uy * s), f(uy * uz * t - ux * s), f(uz * uz * t + c),      0,
            0,                       0,                       0,                       1};
}

Matrix translation(float x, float y, float z) {
    Matrix m = identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix scaling(float x, float y, float z) {
    Matrix m = identity();
    m[0] = x;
    m[5] = y;
    m[10] = z;
    return m;
}

Matrix frustum(double l, double r, double b, double t, double n, double f) {
    Matrix m{};
    m[0] = static_cast<float>(2 * n / (r - l));
    m[5] = static_cast<float>(2 * n / (t - b));
    m[8] = static_cast<float>((r + l) / (r - l));
    m[9] = static_cast<float>((t + b) / (t - b));
    m[10] = static_cast<float>(-(f + n) / (f - n));
    m[11] = -1;
    m[14] = static_cast<float>(-2 * f * n / (f - n));
    return m;
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 column(const Matrix& m, int c) {
    return {m[4 * c], m[4 * c + 1], m[4 * c + 2]};
}

// Normals go through the inverse transpose of the linear part, whose
// columns are the cross products of the part's columns over its
// determinant; only the determinant's sign survives normalising.
Vec3 transformNormal(const Matrix& m, const float n[3]) {
    Vec3 a0 = column(m, 0), a1 = column(m, 1), a2 = column(m, 2);
    Vec3 c0 = cross(a1, a2), c1 = cross(a2, a0), c2 = cross(a0, a1);
    Vec3 out;
    for (int i = 0; i < 3; ++i)
        out[i] = n[0] * c0[i] + n[1] * c1[i] + n[2] * c2[i];
    float len = std::sqrt(dot(out, out)) * (dot(a0, c0) < 0 ? -1.0f : 1.0f);
    if (len == 0)
        return out;
    return {out[0] / len, out[1] / len, out[2] / len};
}

int lightParamCount(GLenum pname) {
    switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_POSITION:
        return 4;
    case GL_SPOT_DIRECTION:
        return 3;
    default:
        return 1;
    }
}

struct State {
    std::vector<Matrix> modelviewStack{identity()};
    std::vector<Matrix> projectionStack{identity()};
    GLenum matrixMode = GL_MODELVIEW;
    Matrix view = identity();
    Matrix viewInverse = identity();
    Matrix toWorld = identity();  // object to world, fixed by glBegin
    bool drawing = false;         // between glBegin and glEnd
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    std::set<GLenum> enabled;
    std::vector<fakegl::Primitive> primitives;
    std::vector<fakegl::Call> calls;
    std::vector<fakegl::Call> stateCalls;
    std::vector<GLenum> errors;
};

State g;

std::vector<Matrix>& stack() {
    return g.matrixMode == GL_PROJECTION ? g.projectionStack : g.modelviewStack;
}

Matrix& top() {
    return stack().back();
}

void multiplyTop(const Matrix& m) {
    top() = multiply(top(), m);
}

void record(const char* name, std::vector<double> args) {
    g.calls.push_back({name, std::move(args)});
}

void recordState(const char* name, std::vector<double> args) {
    g.stateCalls.push_back({name, args});
    record(name, std::move(args));
}

void error(GLenum code) {
    g.errors.push_back(code);
}

// True outside glBegin..glEnd; inside, records the misuse GL would report.
bool notDrawing() {
    if (g.drawing)
        error(GL_INVALID_OPERATION);
    return !g.drawing;
}

void store(float* to, const Vec3& from) {
    std::copy(from.begin(), from.end(), to);
}

void includePoint(fakegl::Bounds& b, const float p[3]) {
    for (int i = 0; i < 3; ++i) {
        b.min[i] = std::min(b.min[i], p[i]);
        b.max[i] = std::max(b.max[i], p[i]);
    }
}

fakegl::Bounds emptyBounds() {
    const float inf = std::numeric_limits<float>::infinity();
    return {{inf, inf, inf}, {-inf, -inf, -inf}};
}

bool hasColor(const fakegl::Primitive& p, float red, float green, float blue, float tolerance) {
    auto close = [tolerance](float a, float want) { return std::fabs(a - want) <= tolerance; };
    return !p.v.empty() && std::all_of(p.v.begin(), p.v.end(), [&](const fakegl::Vertex& v) {
        return close(v.color[0], red) && close(v.color[1], green) && close(v.color[2], blue);
    });
}

}  // namespace

namespace fakegl {

void reset() {
    g = State{};
}

const std::vector<Primitive>& primitives() {
    return g.primitives;
}

const std::vector<Call>& calls() {
    return g.calls;
}

const std::vector<Call>& stateCalls() {
    return g.stateCalls;
}

const std::vector<GLenum>& errors() {
    return g.errors;
}

const Matrix& projection() {
    return g.projectionStack.back();
}

const Matrix& modelview() {
    return g.modelviewStack.back();
}

const Matrix& view() {
    return g.view;
}

bool isEnabled(GLenum cap) {
    return g.enabled.count(cap) > 0;
}

std::array<float, 3> deviceCoords(float x, float y, float z) {
    return place(multiply(projection(), g.view), x, y, z);
}

Bounds bounds(const Primitive& p) {
    Bounds b = emptyBounds();
    for (const Vertex& v : p.v)
        includePoint(b, v.world);
    return b;
}

Bounds bounds(const std::vector<Primitive>& ps) {
    Bounds b = emptyBounds();
    for (const Primitive& p : ps)
        for (const Vertex& v : p.v)
            includePoint(b, v.world);
    return b;
}

std::vector<Primitive> withColor(const std::vector<Primitive>& ps, float red, float green,
                                 float blue, float tolerance) {
    std::vector<Primitive> out;
    for (const Primitive& p : ps)
        if (hasColor(p, red, green, blue, tolerance))
            out.push_back(p);
    return out;
}

}  // namespace fakegl

extern "C" {

void glPolygonMode(GLenum face, GLenum mode) {
    recordState("glPolygonMode", {double(face), double(mode)});
    notDrawing();
}

void glShadeModel(GLenum mode) {
    recordState("glShadeModel", {double(mode)});
    notDrawing();
}

void glEnable(GLenum cap) {
    recordState("glEnable", {double(cap)});
    if (notDrawing())
        g.enabled.insert(cap);
}

void glDisable(GLenum cap) {
    recordState("glDisable", {double(cap)});
    if (notDrawing())
        g.enabled.erase(cap);
}

void glColorMaterial(GLenum face, GLenum mode) {
    recordState("glColorMaterial", {double(face), double(mode)});
    notDrawing();
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    recordState("glBlendFunc", {double(sfactor), double(dfactor)});
    notDrawing();
}

void glClearDepth(GLclampd depth) {
    recordState("glClearDepth", {depth});
    notDrawing();
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    recordState("glClearColor", {red, green, blue, alpha});
    notDrawing();
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    recordState("glViewport", {double(x), double(y), double(width), double(height)});
    if (notDrawing() && (width < 0 || height < 0))
        error(GL_INVALID_VALUE);
}

void glClear(GLbitfield mask) {
    if (notDrawing()) {
        g.primitives.clear();
        g.calls.clear();
    }
    recordState("glClear", {double(mask)});
}

void glMatrixMode(GLenum mode) {
    recordState("glMatrixMode", {double(mode)});
    if (!notDrawing())
        return;
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION)
        g.matrixMode = mode;
    else
        error(GL_INVALID_ENUM);
}

void glLoadIdentity(void) {
    recordState("glLoadIdentity", {});
    if (!notDrawing())
        return;
    top() = identity();
    if (g.matrixMode == GL_MODELVIEW)
        g.view = g.viewInverse = identity();
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar) {
    recordState("glFrustum", {left, right, bottom, top, zNear, zFar});
    if (!notDrawing())
        return;
    if (zNear <= 0 || zFar <= 0 || left == right || bottom == top || zNear == zFar)
        error(GL_INVALID_VALUE);
    else
        multiplyTop(frustum(left, right, bottom, top, zNear, zFar));
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", {angle, x, y, z});
    if (notDrawing())
        multiplyTop(rotation(angle, x, y, z));
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    record("glTranslatef", {x, y, z});
    if (notDrawing())
        multiplyTop(translation(x, y, z));
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    record("glScalef", {x, y, z});
    if (notDrawing())
        multiplyTop(scaling(x, y, z));
}

void glPushMatrix(void) {
    record("glPushMatrix", {});
    if (!notDrawing())
        return;
    if (stack().size() >= maxStackDepth) {
        error(GL_STACK_OVERFLOW);
        return;
    }
    Matrix current = top();
    stack().push_back(current);
}

void glPopMatrix(void) {
    record("glPopMatrix", {});
    if (!notDrawing())
        return;
    if (stack().size() == 1)
        error(GL_STACK_UNDERFLOW);
    else
        stack().pop_back();
}

// The light is placed right after the camera, so this is where the view
// matrix is read off.
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    std::vector<double> args{double(light), double(pname)};
    args.insert(args.end(), params, params + lightParamCount(pname));
    recordState("glLightfv", std::move(args));
    if (!notDrawing() || light != GL_LIGHT0 || pname != GL_POSITION)
        return;
    g.view = g.modelviewStack.back();
    g.viewInverse = inverse(g.view);
}

void glBegin(GLenum mode) {
    record("glBegin", {double(mode)});
    if (!notDrawing())
        return;
    if (mode > GL_POLYGON) {
        error(GL_INVALID_ENUM);
        return;
    }
    g.drawing = true;
    g.toWorld = multiply(g.viewInverse, g.modelviewStack.back());
    g.primitives.push_back({mode, {}});
}

void glEnd(void) {
    record("glEnd", {});
    if (!g.drawing)
        error(GL_INVALID_OPERATION);
    g.drawing = false;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!g.drawing) {
        error(GL_INVALID_OPERATION);
        return;
    }
    fakegl::Vertex v;
    store(v.world, place(g.toWorld, x, y, z));
    store(v.eye, place(g.modelviewStack.back(), x, y, z));
    store(v.normal, transformNormal(g.toWorld, g.normal));
    std::copy(g.color, g.color + 4, v.color);
    g.primitives.back().v.push_back(v);
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    g.normal[0] = nx;
    g.normal[1] = ny;
    g.normal[2] = nz;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    g.color[0] = red;
    g.color[1] = green;
    g.color[2] = blue;
    g.color[3] = alpha;
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    glColor4f(red, green, blue, 1);
}

// Nothing is rendered, so there is nothing to read back.
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid*) {
    recordState("glReadPixels",
             {double(x), double(y), double(width), double(height), double(format), double(type)});
    notDrawing();
}

}  // extern "C"
