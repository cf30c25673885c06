#include "blocker.h"
#include "tools.h"

namespace {

void drawRedBody()
{
    static const Face faces[] = {FRONT, RIGHT, BACK, LEFT, TOP, BOTTOM};
    glColor3f(1, 0, 0);
    boxFaces(dominoBox, faces, 6);
}

}  // namespace

// Nothing ever sets a blocker's accel, so there is none to apply.
void Blocker::render(float t)
{
    renderPlaced(t, drawRedBody);
}

bool Blocker::push0(int)
{
    return false;
}
