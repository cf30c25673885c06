// Dominoes a player may take for one another: two of different kinds that
// stand side by side in a row as the level starts and show the camera the
// same face (a blocker beside a boomer, a trigger beside a vanish, a flyer
// or a delay beside a plain one). The checker only notes them: a level whose
// idea is that confusion keeps them.
#ifndef LEVELCHECK_LOOKALIKE_H
#define LEVELCHECK_LOOKALIKE_H

#include "lost.h"

#include <vector>

struct LookAlike {
    Spot left, right;          // the two cells, left one first
    char leftKind, rightKind;  // their letters in the level file
};

// The look-alike pairs of the game's current level, as it was loaded, left
// to right within a row and the top row first.
std::vector<LookAlike> lookAlikesSideBySide();

#endif
