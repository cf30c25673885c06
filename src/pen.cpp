#include "pen.h"

#include <algorithm>

namespace {

// An affine transform, column by column: m[3 * c + r] for column c < 4 and row r < 3, the last column the
// translation.
struct Affine {
    float m[12];
};

const Affine identity = {{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}};

// The drawing's nesting of pushes stays far below this.
const int maxDepth = 16;

// The pen's state while a sketch is open on this thread.
struct Sketching {
    Pen::Sketch* sketch = nullptr;
    Affine stack[maxDepth];
    int depth = 0;
    GLenum mode = GL_QUADS;
    int twoSided = 0;  // open TwoSided guards
    float color[3] = {1, 1, 1};
    float normal[3] = {0, 0, 1};
};

thread_local Sketching s;

Affine& top()
{
    return s.stack[s.depth];
}

// top = top x b
void multiply(const float b[12])
{
    const Affine a = top();
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 3; r++) {
            float v = c == 3 ? a.m[9 + r] : 0;
            for (int k = 0; k < 3; k++)
                v += a.m[3 * k + r] * b[3 * c + k];
            top().m[3 * c + r] = v;
        }
}

void cross(const float* a, const float* b, float* out)
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

void Pen::begin(GLenum mode)
{
    if (!s.sketch)
        glBegin(mode);
    s.mode = mode;
}

void Pen::end()
{
    if (!s.sketch)
        glEnd();
}

void Pen::color(float r, float g, float b)
{
    if (!s.sketch) {
        glColor3f(r, g, b);
        return;
    }
    s.color[0] = r, s.color[1] = g, s.color[2] = b;
}

// Normals go through the inverse transpose of the linear part: its
// columns' cross products, whose common factor, the determinant, is
// positive for the turns and stretches the drawing makes and goes in the
// normalising.
void Pen::normal(float x, float y, float z)
{
    if (!s.sketch) {
        glNormal3f(x, y, z);
        return;
    }
    const float* m = top().m;
    float c[3][3];
    cross(m + 3, m + 6, c[0]);
    cross(m + 6, m, c[1]);
    cross(m, m + 3, c[2]);
    float n[3], length = 0;
    for (int i = 0; i < 3; i++) {
        n[i] = x * c[0][i] + y * c[1][i] + z * c[2][i];
        length += n[i] * n[i];
    }
    length = std::sqrt(length);
    for (int i = 0; i < 3; i++)
        s.normal[i] = length > 0 ? n[i] / length : n[i];
}

void Pen::vertex(float x, float y, float z)
{
    if (!s.sketch) {
        glVertex3f(x, y, z);
        return;
    }
    const float* m = top().m;
    Corner corner;
    for (int r = 0; r < 3; r++) {
        corner.at[r] = m[r] * x + m[3 + r] * y + m[6 + r] * z + m[9 + r];
        corner.normal[r] = s.normal[r];
        corner.color[r] = s.color[r];
    }
    const int side = s.twoSided > 0;
    (s.mode == GL_TRIANGLES ? s.sketch->triangles : s.sketch->quads)[side].push_back(corner);
}

void Pen::translate(float x, float y, float z)
{
    if (!s.sketch) {
        glTranslatef(x, y, z);
        return;
    }
    const float t[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, x, y, z};
    multiply(t);
}

// GL's rotation, degrees counter-clockwise about the normalised axis.
void Pen::rotate(float degrees, float x, float y, float z)
{
    if (!s.sketch) {
        glRotatef(degrees, x, y, z);
        return;
    }
    const double length = std::sqrt(double{x} * x + double{y} * y + double{z} * z);
    if (length == 0)
        return;
    const double ux = x / length, uy = y / length, uz = z / length;
    const double a = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(a), sn = std::sin(a), t = 1 - c;
    const double r[12] = {ux * ux * t + c,
                          uy * ux * t + uz * sn,
                          uz * ux * t - uy * sn,
                          ux * uy * t - uz * sn,
                          uy * uy * t + c,
                          uz * uy * t + ux * sn,
                          ux * uz * t + uy * sn,
                          uy * uz * t - ux * sn,
                          uz * uz * t + c,
                          0,
                          0,
                          0};
    float f[12];
    for (int i = 0; i < 12; i++)
        f[i] = static_cast<float>(r[i]);
    multiply(f);
}

void Pen::scale(float x, float y, float z)
{
    if (!s.sketch) {
        glScalef(x, y, z);
        return;
    }
    const float k[12] = {x, 0, 0, 0, y, 0, 0, 0, z, 0, 0, 0};
    multiply(k);
}

void Pen::push()
{
    if (!s.sketch) {
        glPushMatrix();
        return;
    }
    s.stack[s.depth + 1] = top();
    s.depth++;
}

void Pen::pop()
{
    if (!s.sketch) {
        glPopMatrix();
        return;
    }
    s.depth--;
}

// One sketch at a time on a thread: the pen draws into the latest.
Pen::Sketch::Sketch()
{
    s = Sketching();
    s.sketch = this;
    s.stack[0] = identity;
}

Pen::Sketch::~Sketch()
{
    s.sketch = nullptr;
}

namespace {

void emitBatch(GLenum mode, const std::vector<Pen::Corner>& corners)
{
    if (corners.empty())
        return;
    glBegin(mode);
    const Pen::Corner* last = nullptr;
    for (const Pen::Corner& c : corners) {
        if (!last || !std::equal(c.color, c.color + 3, last->color))
            glColor3f(c.color[0], c.color[1], c.color[2]);
        if (!last || !std::equal(c.normal, c.normal + 3, last->normal))
            glNormal3f(c.normal[0], c.normal[1], c.normal[2]);
        glVertex3f(c.at[0], c.at[1], c.at[2]);
        last = &c;
    }
    glEnd();
}

}  // namespace

void Pen::Sketch::emit(bool twoSided) const
{
    emitBatch(GL_QUADS, quads[twoSided]);
    emitBatch(GL_TRIANGLES, triangles[twoSided]);
}

std::size_t Pen::Sketch::corners() const
{
    return quads[0].size() + quads[1].size() + triangles[0].size() + triangles[1].size();
}

Pen::TwoSided::TwoSided()
{
    s.twoSided++;
}

Pen::TwoSided::~TwoSided()
{
    s.twoSided--;
}
