#include "view.h"
#include "main.h"
#include "tools.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Beyond View's reach and the rounding of GL's single-precision
// transforms: a cell that might touch the view is drawn.
const double slack = 0.5;

// The rotation that applyCam's turns undo: eye space to world directions.
struct Turn {
    double m[3][3];

    Turn(double pitchDegrees, double yawDegrees)
    {
        const double pi = 3.141592653589793;
        const double p = pitchDegrees * pi / 180, y = yawDegrees * pi / 180;
        // The turn by yaw back about y after the turn by pitch about x.
        const double cp = std::cos(p), sp = std::sin(p), cy = std::cos(y), sy = std::sin(y);
        const double turn[3][3] = {{cy, -sy * sp, -sy * cp}, {0, cp, -sp}, {sy, cy * sp, cy * cp}};
        std::copy(&turn[0][0], &turn[0][0] + 9, &m[0][0]);
    }

    void apply(const double in[3], const double from[3], double out[3]) const
    {
        for (int i = 0; i < 3; i++)
            out[i] = from[i] + m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2];
    }
};

}  // namespace

bool View::everything = false;

// The view volume is a frustum; its part within the slab is a convex body
// whose corners are the frustum's corners inside the slab and the points
// where the frustum's edges cross the slab's two faces. Their box bounds it.
View::View() : seesSlab(false), minX(0), maxX(0), minY(0), maxY(0)
{
    const double halfHeight = frustumHalfHeight(viewAngle, nearPlane) / nearPlane;
    const double halfWidth = halfHeight * viewAspect;
    const Turn turn(cameraPitch(), cameraYaw());
    const double eye[3] = {camera[0], camera[1], camera[2]};

    // Corners 0..3 on the near plane, 4..7 on the far one, going round.
    double corner[8][3];
    for (int i = 0; i < 8; i++) {
        const double depth = i < 4 ? nearPlane : farPlane;
        const double sx = (i & 1) ^ ((i >> 1) & 1) ? 1 : -1;
        const double sy = (i & 2) ? 1 : -1;
        const double inEye[3] = {sx * halfWidth * depth, sy * halfHeight * depth, -depth};
        turn.apply(inEye, eye, corner[i]);
    }
    const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    const double back = -reachBack - slack, front = reachFront + slack;

    for (const auto& c : corner)
        if (c[2] >= back && c[2] <= front)
            take(c);
    for (const auto& e : edges) {
        const double* a = corner[e[0]];
        const double* b = corner[e[1]];
        for (double z : {back, front}) {
            if ((a[2] - z) * (b[2] - z) > 0 || a[2] == b[2])
                continue;
            const double f = (z - a[2]) / (b[2] - a[2]);
            const double p[3] = {a[0] + f * (b[0] - a[0]), a[1] + f * (b[1] - a[1]), z};
            take(p);
        }
    }
}

void View::take(const double p[3])
{
    if (!seesSlab) {
        minX = maxX = p[0];
        minY = maxY = p[1];
        seesSlab = true;
        return;
    }
    minX = std::min(minX, p[0]);
    maxX = std::max(maxX, p[0]);
    minY = std::min(minY, p[1]);
    maxY = std::max(maxY, p[1]);
}

CellRange View::cells(int wid, int hei) const
{
    if (everything)
        return {0, wid - 1, 0, hei - 1};
    if (!seesSlab)
        return {0, -1, 0, -1};
    // A camera gone to infinity or NaN leaves nothing to go by.
    if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) || !std::isfinite(maxY))
        return {0, wid - 1, 0, hei - 1};
    // Clamped before converting, so that a view reaching far beyond the
    // grid cannot overflow an int.
    auto first = [](double from, int count) {
        return static_cast<int>(std::ceil(std::clamp(from, -1.0, static_cast<double>(count))));
    };
    auto last = [](double to, int count) {
        return static_cast<int>(std::floor(std::clamp(to, -1.0, static_cast<double>(count))));
    };
    const CellRange seen = {
        std::max(0, first((minX - reachSide - slack) / cellWidth, wid)),
        std::min(wid - 1, last((maxX + reachSide + slack) / cellWidth, wid)),
        std::max(0, first((minY - reachUp - slack) / rowHeight, hei)),
        std::min(hei - 1, last((maxY + reachDown + slack) / rowHeight, hei)),
    };
    return seen;
}
