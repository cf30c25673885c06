// The pictures of a replay on the recording GL: every primitive of the frame
// that can reach the view volume, with its vertices, normals and colours,
// bit for bit. Frames that differ only in what lies wholly outside the view
// (beyond one of its six planes) give the same digest.
#include "digest.h"

#include "fake_gl.h"

#include <array>

namespace {

std::array<float, 4> clip(const fakegl::Vertex& v)
{
    const fakegl::Matrix& p = fakegl::projection();
    std::array<float, 4> c;
    for (int r = 0; r < 4; r++)
        c[r] = p[r] * v.eye[0] + p[4 + r] * v.eye[1] + p[8 + r] * v.eye[2] + p[12 + r];
    return c;
}

bool mayBeSeen(const fakegl::Primitive& p)
{
    for (int axis = 0; axis < 3; axis++)
        for (float side : {-1.0f, 1.0f}) {
            bool allBeyond = true;
            for (const fakegl::Vertex& v : p.v) {
                const std::array<float, 4> c = clip(v);
                allBeyond = allBeyond && side * c[axis] > c[3];
            }
            if (allBeyond)
                return false;
        }
    return true;
}

}  // namespace

bool addPicture(Digest& digest)
{
    for (const fakegl::Primitive& p : fakegl::primitives())
        if (mayBeSeen(p)) {
            digest.add(static_cast<int>(p.mode));
            for (const fakegl::Vertex& v : p.v)
                digest.add(&v, sizeof v);
        }
    return true;
}
