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
};

#endif
