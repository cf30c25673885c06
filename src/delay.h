// The standard domino, except that a square strike does not fell it at once:
// it holds the striker back, remembers the direction and starts to fall eight
// of its own updates later. It falls once; later strikes change nothing.
// Struck by the player it refuses too, so the level's push is not spent.
#ifndef DELAY_H
#define DELAY_H

#include "domino.h"

struct Delay : Domino {
    static constexpr char fileLetter = 'D';

    int timer;      // ticks left before it starts to turn; 0 when none runs
    bool released;  // the countdown has run out: it has had its one fall

    void init(Cell* c) override;
    void takePush() override;
    void pullCamera(float t) override;
    bool needsAnimating() override { return timer || Domino::needsAnimating(); }
    void render(float t) override;
    bool push0(int direction) override;
    void update() override;
    char letter() const override { return fileLetter; }
    PlayersPush playersPush() const override { return PlayersPush::free; }
    void save(DominoState& out) const override;
    void restore(DominoState::Reader& in) override;
};

#endif
