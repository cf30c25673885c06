// Common header of every source file: the two libraries the game stands on,
// the C library pieces it uses, and the names of the game's classes.
#ifndef BASE_H
#define BASE_H

#include <SDL.h>
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

struct Blank;
class Cell;
struct CellRange;
struct Domino;
class Door;
class Level;
class Player;

// The grid in world units: a cell is 5 wide, a row 10 high, the cell (x, y)
// drawn from (5x, 10y).
constexpr float cellWidth = 5;
constexpr float rowHeight = 10;

#endif
