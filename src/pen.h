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
    // independent quads and triangles (the only modes it takes), in parts:
    // the one-sided faces, which back-face culling may drop, by the way
    // their winding looks (along +x, -x, +y, -y, +z or -z, or aslant), and
    // the two-sided faces. A face looking along an axis is seen only from
    // the side it looks to, so a part none of whose faces can turn to the
    // eye need not be drawn at all.
    class Sketch {
    public:
        static constexpr int alongAxes = 6;  // the parts 2a and 2a + 1 look along +a and -a
        static constexpr int aslant = 6;
        static constexpr int twoSided = 7;
        static constexpr int parts = 8;

        Sketch();
        ~Sketch();
        Sketch(const Sketch&) = delete;
        Sketch& operator=(const Sketch&) = delete;

        // Sends one part to GL, one batch per mode, colour and normal only
        // where they change.
        void emit(int part) const;
        bool holds(int part) const;
        // For a part along an axis: the least distance from the world's
        // origin along its direction (the dot product with it) of a corner
        // of its faces, in world units. Its faces all look away from an eye
        // that is not further along than that, up to their slight tilts.
        float nearest(int part) const { return least[part]; }
        // A sphere that holds every corner, and whether there is any.
        bool bounds(float centre[3], float& radius) const;

    private:
        friend class Pen;
        struct Part {
            std::vector<Corner> quads, triangles;
        };
        Part part[parts];
        float least[alongAxes];

        void add(const Corner* face, int count);
    };

    // How far the winding of a face may tilt off an axis (its unit normal's
    // other components) and still count as looking along it.
    static constexpr float tilt = 1e-4f;

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
