// The standard domino, except that it is two halves in one slot: struck
// squarely, or dropped on, it splits and the halves fall opposite ways. The
// base rules run once per half, the other half waiting in angle2..accel2.
#ifndef SPLITTER_H
#define SPLITTER_H

#include "domino.h"

struct Splitter : Domino {
    static constexpr char fileLetter = 'S';

    int angle2;
    int speed2;
    int accel2;

    void init(Cell* c) override;
    void takePush() override;
    void pullCamera(float t) override;
    bool needsAnimating() override { return Domino::needsAnimating() || accel2 || speed2; }
    void render(float t) override;
    bool touch(int direction) override;
    bool push(int direction, int from) override;
    void boom() override;
    void update() override;
    char letter() const override { return fileLetter; }
    Face face() const override { return Face::halves; }
    void save(DominoState& out) const override;
    void restore(DominoState::Reader& in) override;
    UpdateReach updateReach() override;

    bool swap();

private:
    // The second half's lean and turn.
    Posture second() const { return {angle2, speed2}; }
    // Both halves in the same posture with the same push pending: one box
    // shows both, and one half's answers are the other's.
    bool alike() const { return angle == angle2 && speed == speed2 && accel == accel2; }
};

#endif
