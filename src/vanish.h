// The standard domino, except that it disappears once it has tipped past 45
// degrees, after striking its neighbour, so it never lies in the way.
#ifndef VANISH_H
#define VANISH_H

#include "domino.h"

struct Vanish : Domino {
    static constexpr char fileLetter = 'V';

    void render(float t) override;
    void update() override;
    char letter() const override { return fileLetter; }
    Face face() const override { return Face::stripes; }
};

#endif
