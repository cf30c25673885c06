// The standard domino, except that it cannot be toppled: it refuses every
// square strike, stands for good, and never holds up the solving of a level.
#ifndef BLOCKER_H
#define BLOCKER_H

#include "domino.h"

struct Blocker : Domino {
    static constexpr char fileLetter = 'W';

    void render(float t) override;
    bool push0(int direction) override;
    bool isDone() override { return true; }
    char letter() const override { return fileLetter; }
    PlayersPush playersPush() const override { return PlayersPush::refused; }
    Face face() const override { return Face::red; }
};

#endif
