// The empty slot: the one domino every empty cell slot answers with, so that
// no caller ever meets a null domino. It stops nothing and draws nothing.
#ifndef BLANK_H
#define BLANK_H

#include "domino.h"

struct Blank : Domino {
    Blank() : Domino() {}
    void render(float t) override;
    Domino* grab() override { return nullptr; }
    bool push(int direction, int from) override;
    void update() override {}
    bool isBlank() override { return true; }
    // The domino grid's character for no domino.
    char letter() const override { return ' '; }
};

#endif
