// Counts a level's ticks from the virtual clock exactly as the main loop
// runs them, with the main loop's own time arithmetic of a pass.
#ifndef PLAY_TICK_COUNTER_H
#define PLAY_TICK_COUNTER_H

#include "main.h"

class TickCounter {
public:
    // Counting starts afresh at the clock's time, in ms.
    void start(Uint32 clock)
    {
        time = PassTime(clock);
        ticks = 0;
    }
    // The ticks run up to this pass of the loop, at the clock's time.
    int update(Uint32 clock)
    {
        time.advance(clock);
        while (time.tickDue())
            ticks++;
        return ticks;
    }

private:
    PassTime time{0};
    int ticks = 0;
};

#endif
