#include "verifier.h"

#include "scripted_sdl.h"
#include "tick_counter.h"

#include "level.h"
#include "main.h"

namespace {

const Uint32 timeLimit = 3600 * 1000;  // virtual ms; the driver's budgets end a play long before

}  // namespace

Verifier::Result Verifier::play(const std::string& levelPath, const std::vector<Action>& script,
                                const ScriptPlay::Watch& watch, const ScriptPlay::More& more)
{
    Result r;
    // The thread's own game (a worker's simulation) waits while the game
    // plays the script on a level of its own.
    const FreshGame game;
    scriptedsdl::setTimeLimit(timeLimit);
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO);
    if (!enterLevel(levelPath.c_str())) {
        r.why = "the level does not load";
        SDL_Quit();
        return r;
    }
    SDL_AddTimer(refreshInterval, triggerRefresh, nullptr);

    ScriptPlay play(script, false, false, more, watch);
    TickCounter counter;
    counter.start(scriptedsdl::now());
    bool over = false;
    scriptedsdl::setFrameHook([&] {
        if (over)
            return;
        r.ticks = counter.update(scriptedsdl::now());
        r.sawExitOpen = r.sawExitOpen || (!levelDone && level->wayOut.isOpening());
        const ScriptPlay::State state = play.look(r.ticks);
        if (state == ScriptPlay::State::Playing)
            return;
        r.solved = state == ScriptPlay::State::WalkedOut;
        r.fellOut = state == ScriptPlay::State::FellOut;
        r.why = r.solved ? "" : play.why();
        over = true;
        play.releaseKey();
        scriptedsdl::quitNow();
    });
    mainLoop();
    if (!over)
        r.why = "the game ended during the level";
    r.played = play.played();
    scriptedsdl::setFrameHook(nullptr);
    SDL_Quit();
    return r;
}
