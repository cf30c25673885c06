// The standard domino, except that its landing arms the level's exit check:
// the exit opens if every domino is done at the end of that tick. No level
// can do without it, so it is not special to the designer's kind check.
#ifndef TRIGGER_H
#define TRIGGER_H

#include "domino.h"

struct Trigger : Domino {
    static constexpr char fileLetter = 'T';

    void render(float t) override;
    void land() override;
    char letter() const override { return fileLetter; }
    bool isSpecial() const override { return false; }
    bool armsExitCheck() const override { return true; }
    Face face() const override { return Face::stripes; }
};

#endif
