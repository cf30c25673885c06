// A GL that draws nothing: every fixed-function entry point the game calls,
// with the prototypes of <GL/gl.h>, returning at once. The headless tools
// link it so that a frame costs only the game's own drawing code, which also
// applies pushes and steers the camera.
#include <GL/gl.h>

extern "C" {

void glBegin(GLenum)
{
}
void glEnd(void)
{
}
void glVertex3f(GLfloat, GLfloat, GLfloat)
{
}
void glNormal3f(GLfloat, GLfloat, GLfloat)
{
}
void glColor3f(GLfloat, GLfloat, GLfloat)
{
}
void glColor4f(GLfloat, GLfloat, GLfloat, GLfloat)
{
}
void glPushMatrix(void)
{
}
void glPopMatrix(void)
{
}
void glTranslatef(GLfloat, GLfloat, GLfloat)
{
}
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat)
{
}
void glScalef(GLfloat, GLfloat, GLfloat)
{
}
void glLoadIdentity(void)
{
}
void glMatrixMode(GLenum)
{
}
void glFrustum(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble)
{
}
void glLightfv(GLenum, GLenum, const GLfloat*)
{
}
void glClear(GLbitfield)
{
}
void glClearDepth(GLclampd)
{
}
void glEnable(GLenum)
{
}
void glDisable(GLenum)
{
}
// Any name will do for lists that are never drawn.
GLuint glGenLists(GLsizei)
{
    return 1;
}
void glDeleteLists(GLuint, GLsizei)
{
}
void glNewList(GLuint, GLenum)
{
}
void glEndList(void)
{
}
void glCallList(GLuint)
{
}
void glBlendFunc(GLenum, GLenum)
{
}
void glColorMaterial(GLenum, GLenum)
{
}
void glShadeModel(GLenum)
{
}
void glPolygonMode(GLenum, GLenum)
{
}

}  // extern "C"
