// The standard domino turned upside down: pushed, it rises to the ceiling and
// topples hanging from it, and swings up round ceiling edges into the rows
// above. In flight it uses the upper slot of its cell.
#ifndef FLYER_H
#define FLYER_H

#include "domino.h"

struct Flyer : Domino {
    static constexpr char fileLetter = 'F';

    void render(float t) override;
    bool push0(int direction) override;
    void update() override;
    char letter() const override { return fileLetter; }
    // It rises to ceilings and swings up round their edges.
    FallScope fallScope() const override
    {
        FallScope scope = Domino::fallScope();
        scope.upward = true;
        return scope;
    }
    UpdateReach updateReach() override;

private:
    void rise();
};

#endif
