#include "blank.h"

void Blank::render(float)
{
}

// An empty slot never holds back a moving domino.
bool Blank::push(int, int)
{
    return true;
}
