// The standard domino, except that its landing arms the level's exit check:
// the exit opens if every domino is done at the end of that tick.
#ifndef TRIGGER_H
#define TRIGGER_H

#include "domino.h"

struct Trigger : Domino {
    static constexpr char fileLetter = 'T';

    void render(float t) override;
    void land() override;
    char letter() const override { return fileLetter; }
    Face face() const override { return Face::stripes; }
};

#endif
