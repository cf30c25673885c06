#include "blocker.h"
#include "tools.h"

namespace {

void drawRedBody()
{
    Pen::color(1, 0, 0);
    boxWhole(dominoBox);
}

}  // namespace

void Blocker::render(float t)
{
    renderPlaced(t, drawRedBody);
}

bool Blocker::push0(int)
{
    return false;
}
