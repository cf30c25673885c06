// The standard domino, except that when it lands it explodes: it leaves the
// level and blows away the floor of the cell it stood in.
#ifndef BOOMER_H
#define BOOMER_H

#include "domino.h"

struct Boomer : Domino {
    static constexpr char fileLetter = 'X';

    void render(float t) override;
    void land() override;
    char letter() const override { return fileLetter; }
    Face face() const override { return Face::red; }
    // Its floor goes when it lands.
    FallScope fallScope() const override
    {
        FallScope scope = Domino::fallScope();
        scope.opensFloor = true;
        return scope;
    }
};

#endif
