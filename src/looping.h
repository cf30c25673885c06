// The standard domino, except that it never stops by landing: each time it
// lies flat it hands itself to the next cell and stands up on its other end.
#ifndef LOOPING_H
#define LOOPING_H

#include "domino.h"

struct Looping : Domino {
    static constexpr char fileLetter = 'L';

    void render(float t) override;
    void land() override;
    char letter() const override { return fileLetter; }
    Face face() const override { return Face::threeStripes; }
    // It tumbles on along its row, and down through holes.
    FallScope fallScope() const override
    {
        FallScope scope = Domino::fallScope();
        scope.alongRow = true;
        return scope;
    }
};

#endif
