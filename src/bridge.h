// The standard domino, except that when it lands across a one-cell gap with
// floor beyond, it turns into floor and joins the three floors into one span.
#ifndef BRIDGE_H
#define BRIDGE_H

#include "domino.h"

struct Bridge : Domino {
    static constexpr char fileLetter = 'B';

    void render(float t) override;
    void land() override;
    char letter() const override { return fileLetter; }
    Face face() const override { return Face::band; }
    // Lying across a gap it makes floor there.
    FallScope fallScope() const override
    {
        FallScope scope = Domino::fallScope();
        scope.closesGap = true;
        return scope;
    }
};

#endif
