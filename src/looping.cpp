#include "looping.h"
#include "tools.h"

namespace {

void drawBody()
{
    yellowEnds();
    stripedSides(3, 0.3333f);
}

}  // namespace

// Lying at +6 in one cell and at -6 in the next are drawn on the same spot,
// so the tumbling looks continuous across the hand-over.
void Looping::render(float t)
{
    Pen::push();
    Pen::translate(angle * (-0.5f) / lying, 0, 0);
    renderPlaced(t, drawBody);
    Pen::pop();
}

// Hands itself to the next cell, lying on the same spot but pivoting about
// its other end there; speed goes on, so it stands up and falls again.
void Looping::land()
{
    migrate(speed, 0);
    angle = -angle;
}
