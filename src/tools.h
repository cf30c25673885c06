// Drawing helpers shared by every kind of domino and the world: the
// projection, and the faces of axis-aligned boxes with outward normals.
#ifndef TOOLS_H
#define TOOLS_H

#include "base.h"
#include "pen.h"

// The projection start-up sets with glPerspective: the angle (degrees), the
// window's aspect and the near and far planes (world units from the eye).
const double viewAngle = 45.0;
const float viewAspect = 4.0f / 3.0f;
const double nearPlane = 1.0;
const double farPlane = 10000.0;

void glPerspective(double fovY, double aspect, double zNear, double zFar);
// Half the height of glPerspective's frustum at the near plane zNear.
double frustumHalfHeight(double fovY, double zNear);

// An axis-aligned box in the current frame, in world units.
struct Box {
    float x0, x1, y0, y1, z0, z1;
};

// The standard domino: 1 wide, 5 tall, 4 deep, standing on its cell's origin.
const Box dominoBox = {-0.5f, 0.5f, 0.0f, 5.0f, -2.0f, 2.0f};

enum Face { FRONT, RIGHT, BACK, LEFT, TOP, BOTTOM };

// Emits one face of the box as a flat quadrilateral with its outward normal;
// call between glBegin(GL_QUADS) and glEnd().
void boxFace(const Box& box, Face face);

// One batch of quads: the given faces of the box, in the given order.
void boxFaces(const Box& box, const Face* faces, int count);

// The four side faces (front, right, back, left) as one batch.
void boxSides(const Box& box);

// All six faces, the sides and then the top and bottom, as one batch.
void boxWhole(const Box& box);

// The four sides of the domino box in horizontal bands of equal height,
// alternating between yellow and red, starting yellow unless redFirst.
// bandScale is each band's share of the height.
void stripedSides(int bands, float bandScale, bool redFirst = false);

// The top and bottom faces of the domino box in yellow.
void yellowEnds();

// One batch holding a flat quadrilateral facing the viewer (normal +z).
void facingQuad(float x0, float y0, float x1, float y1, float z);

#endif
