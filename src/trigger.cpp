#include "trigger.h"
#include "level.h"
#include "main.h"
#include "tools.h"

namespace {

void drawBody()
{
    yellowEnds();
    stripedSides(7, 1.0f / 7);
}

}  // namespace

void Trigger::render(float t)
{
    renderPlaced(t, drawBody);
}

// The check it arms runs at the end of this tick, after every other domino
// has moved.
void Trigger::land()
{
    Domino::land();
    level->openWayOut();
}
