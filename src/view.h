// What the camera can see of a level, so that a frame draws no more of it:
// the view volume of the projection set at start-up, placed as applyCam
// places the camera and cut down to the slab of space in front of and
// behind the level's plane that cells draw into, gives the columns and rows
// whose drawing can reach the view.
#ifndef VIEW_H
#define VIEW_H

// Columns left to right and rows bottom to top, each inclusive; no cell at
// all when left > right or bottom > top.
struct CellRange {
    int left, right, bottom, top;

    bool contains(int x, int y) const { return x >= left && x <= right && y >= bottom && y <= top; }
};

class View {
public:
    // The view of the camera as it stands now.
    View();
    // The cells of a grid wid by hei whose drawing can reach the view, or
    // the whole grid while everything is set.
    CellRange cells(int wid, int hei) const;

    // Draw every cell, seen or not, and every face of it, whichever way it
    // looks, only to compare the pictures; start-up sets it from the
    // environment.
    static bool everything;

    // How far the drawing of a cell can reach from the cell's origin, in
    // world units, whatever is in it and in whatever state. Sideways and up
    // and down: a domino turning about a bottom edge sweeps 5.1 units about
    // it, and is raised or lowered by up to 10 (five sixths of a row and a
    // tick's flight); a flyer's upturned body hangs from 5 units up. In
    // depth: the slabs and ladders reach 3 units in front of the level's
    // plane, upturned debris 4.2, and an opened door's leaf swings back to
    // 7.4 behind it.
    static constexpr double reachSide = 6;
    static constexpr double reachDown = 15;
    static constexpr double reachUp = 20;
    static constexpr double reachBack = 7.5;
    static constexpr double reachFront = 4.5;

private:
    bool seesSlab;  // some of the view lies within the slab
    // World units: the box that holds the part of the view within the slab.
    double minX, maxX, minY, maxY;

    void take(const double p[3]);
};

#endif
