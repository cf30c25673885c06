// Where the drawing of cells, doors and dominoes goes. Drawn as usual, each
// call goes straight to GL. While a Pen::Sketch is open on the thread, the
// pen keeps the transform on the CPU instead and gathers the primitives with
// their vertices and normals already placed in the world, so that a display
// list can keep a whole block of still cells without a matrix per cell.
#ifndef PEN_H
#define PEN_H

#include "base.h"

#include <vector>

class Pen {
public:
    static void begin(GLenum mode);
    static void end();
    static void color(float r, float g, float b);
    static void normal(float x, float y, float z);
    static void vertex(float x, float y, float z);
    static void translate(float x, float y, float z);
    static void rotate(float degrees, float x, float y, float z);
    static void scale(float x, float y, float z);
    static void push();
    static void pop();

    // A vertex as a sketch keeps it: world position, unit normal, colour.
    struct Corner {
        float at[3], normal[3], color[3];
    };

    // What the pen drew while it was open, from the world's origin, as
    // independent quads and triangles (the only modes it takes), split by
    // whether back-face culling may drop their back faces.
    class Sketch {
    public:
        Sketch();
        ~Sketch();
        Sketch(const Sketch&) = delete;
        Sketch& operator=(const Sketch&) = delete;

        // Sends the one-sided or the two-sided part to GL, one batch per
        // mode, colour and normal only where they change.
        void emit(bool twoSided) const;
        std::size_t corners() const;

    private:
        friend class Pen;
        std::vector<Corner> quads[2], triangles[2];  // by two-sidedness
    };

    // While one lives, what the pen gathers is marked two-sided: a surface
    // that is seen from both sides, or the inside of a body left open,
    // which back-face culling would wrongly drop.
    class TwoSided {
    public:
        TwoSided();
        ~TwoSided();
        TwoSided(const TwoSided&) = delete;
        TwoSided& operator=(const TwoSided&) = delete;
    };
};

#endif
