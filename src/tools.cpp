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
        glNormal3f(0, 0, 1);
        glVertex3f(b.x0, b.y0, b.z1);
        glVertex3f(b.x1, b.y0, b.z1);
        glVertex3f(b.x1, b.y1, b.z1);
        glVertex3f(b.x0, b.y1, b.z1);
        break;
    case RIGHT:
        glNormal3f(1, 0, 0);
        glVertex3f(b.x1, b.y0, b.z1);
        glVertex3f(b.x1, b.y0, b.z0);
        glVertex3f(b.x1, b.y1, b.z0);
        glVertex3f(b.x1, b.y1, b.z1);
        break;
    case BACK:
        glNormal3f(0, 0, -1);
        glVertex3f(b.x1, b.y0, b.z0);
        glVertex3f(b.x0, b.y0, b.z0);
        glVertex3f(b.x0, b.y1, b.z0);
        glVertex3f(b.x1, b.y1, b.z0);
        break;
    case LEFT:
        glNormal3f(-1, 0, 0);
        glVertex3f(b.x0, b.y0, b.z0);
        glVertex3f(b.x0, b.y0, b.z1);
        glVertex3f(b.x0, b.y1, b.z1);
        glVertex3f(b.x0, b.y1, b.z0);
        break;
    case TOP:
        glNormal3f(0, 1, 0);
        glVertex3f(b.x0, b.y1, b.z1);
        glVertex3f(b.x1, b.y1, b.z1);
        glVertex3f(b.x1, b.y1, b.z0);
        glVertex3f(b.x0, b.y1, b.z0);
        break;
    case BOTTOM:
        glNormal3f(0, -1, 0);
        glVertex3f(b.x0, b.y0, b.z0);
        glVertex3f(b.x1, b.y0, b.z0);
        glVertex3f(b.x1, b.y0, b.z1);
        glVertex3f(b.x0, b.y0, b.z1);
        break;
    }
}

void boxFaces(const Box& box, const Face* faces, int count)
{
    glBegin(GL_QUADS);
    for (int i = 0; i < count; i++)
        boxFace(box, faces[i]);
    glEnd();
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
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x0, y1, z);
    glEnd();
}

void stripedSides(int bands, float bandScale, bool redFirst)
{
    const float height = dominoBox.y1 - dominoBox.y0;
    glScalef(1, bandScale, 1);
    for (int i = 0; i < bands; i++) {
        const bool yellow = (i % 2 == 0) != redFirst;
        glColor3f(1, yellow ? 1 : 0, 0);
        boxSides(dominoBox);
        glTranslatef(0, height, 0);
    }
}

void yellowEnds()
{
    static const Face ends[] = {TOP, BOTTOM};
    glColor3f(1, 1, 0);
    boxFaces(dominoBox, ends, 2);
}
