#include "blocker.h"
#include "tools.h"

namespace {

void drawRedBody()
{
    glColor3f(1, 0, 0);
    boxWhole(dominoBox);
}

}  // namespace

// Nothing ever sets a blocker's accel, so there is none to apply.
// Nothing ever gives it a push to apply; only a drop moves it.
void Blocker::animate(float t)
{
    followIfMoving(t);
}

void Blocker::render(float t)
{
    renderPlaced(t, drawRedBody);
}

bool Blocker::push0(int)
{
    return false;
}
