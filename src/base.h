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

#endif
