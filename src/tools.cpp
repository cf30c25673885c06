#include "tools.h"

void glPerspective(double fovY, double aspect, double zNear, double zFar)
{
    double fH = frustumHalfHeight(fovY, zNear);
    double fW = fH * aspect;
    glFrustum(-fW, fW, -fH, fH, zNear, zFar);
}

// The tangent of the whole angle, halved: the view is a little wider than
// fovY suggests, and the fade overlay on the near plane relies on that.
double frustumHalfHeight(double fovY, double zNear)
{
    const double pi = 3.141592653589793;
    return tan(fovY / 180 * pi) * zNear / 2;
}

void boxFace(const Box& b, Face face)
{
    switch (face) {
    case FRONT:
        Pen::normal(0, 0, 1);
        Pen::vertex(b.x0, b.y0, b.z1);
        Pen::vertex(b.x1, b.y0, b.z1);
        Pen::vertex(b.x1, b.y1, b.z1);
        Pen::vertex(b.x0, b.y1, b.z1);
        break;
    case RIGHT:
        Pen::normal(1, 0, 0);
        Pen::vertex(b.x1, b.y0, b.z1);
        Pen::vertex(b.x1, b.y0, b.z0);
        Pen::vertex(b.x1, b.y1, b.z0);
        Pen::vertex(b.x1, b.y1, b.z1);
        break;
    case BACK:
        Pen::normal(0, 0, -1);
        Pen::vertex(b.x1, b.y0, b.z0);
        Pen::vertex(b.x0, b.y0, b.z0);
        Pen::vertex(b.x0, b.y1, b.z0);
        Pen::vertex(b.x1, b.y1, b.z0);
        break;
    case LEFT:
        Pen::normal(-1, 0, 0);
        Pen::vertex(b.x0, b.y0, b.z0);
        Pen::vertex(b.x0, b.y0, b.z1);
        Pen::vertex(b.x0, b.y1, b.z1);
        Pen::vertex(b.x0, b.y1, b.z0);
        break;
    case TOP:
        Pen::normal(0, 1, 0);
        Pen::vertex(b.x0, b.y1, b.z1);
        Pen::vertex(b.x1, b.y1, b.z1);
        Pen::vertex(b.x1, b.y1, b.z0);
        Pen::vertex(b.x0, b.y1, b.z0);
        break;
    case BOTTOM:
        Pen::normal(0, -1, 0);
        Pen::vertex(b.x0, b.y0, b.z0);
        Pen::vertex(b.x1, b.y0, b.z0);
        Pen::vertex(b.x1, b.y0, b.z1);
        Pen::vertex(b.x0, b.y0, b.z1);
        break;
    }
}

void boxFaces(const Box& box, const Face* faces, int count)
{
    Pen::begin(GL_QUADS);
    for (int i = 0; i < count; i++)
        boxFace(box, faces[i]);
    Pen::end();
}

void boxSides(const Box& box)
{
    static const Face sides[] = {FRONT, RIGHT, BACK, LEFT};
    boxFaces(box, sides, 4);
}

void boxWhole(const Box& box)
{
    static const Face faces[] = {FRONT, RIGHT, BACK, LEFT, TOP, BOTTOM};
    boxFaces(box, faces, 6);
}

void facingQuad(float x0, float y0, float x1, float y1, float z)
{
    Pen::begin(GL_QUADS);
    Pen::normal(0, 0, 1);
    Pen::vertex(x0, y0, z);
    Pen::vertex(x1, y0, z);
    Pen::vertex(x1, y1, z);
    Pen::vertex(x0, y1, z);
    Pen::end();
}

void stripedSides(int bands, float bandScale, bool redFirst)
{
    const float height = dominoBox.y1 - dominoBox.y0;
    Pen::scale(1, bandScale, 1);
    for (int i = 0; i < bands; i++) {
        const bool yellow = (i % 2 == 0) != redFirst;
        Pen::color(1, yellow ? 1 : 0, 0);
        boxSides(dominoBox);
        Pen::translate(0, height, 0);
    }
}

void yellowEnds()
{
    static const Face ends[] = {TOP, BOTTOM};
    Pen::color(1, 1, 0);
    boxFaces(dominoBox, ends, 2);
}
