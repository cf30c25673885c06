// Counts a level's ticks from the virtual clock exactly as the main loop
// runs them: one pass adds at most maxPassTime ms of game time, and a tick
// is due every tickLength ms of it.
#ifndef PLAY_TICK_COUNTER_H
#define PLAY_TICK_COUNTER_H

#include "main.h"

class TickCounter {
public:
    // Counting starts afresh at the clock's time, in ms.
    void start(Uint32 clock)
    {
        last = now = clock;
        ticks = 0;
    }
    // The ticks run up to this pass of the loop, at the clock's time.
    int update(Uint32 clock)
    {
        const Uint32 prev = now;
        now = clock - prev > maxPassTime ? prev + maxPassTime : clock;
        while (now - last > tickLength) {
            ticks++;
            last += tickLength;
        }
        return ticks;
    }

private:
    Uint32 last = 0;
    Uint32 now = 0;
    int ticks = 0;
};

#endif
