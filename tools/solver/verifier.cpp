#include "verifier.h"

#include "driver.h"
#include "scripted_sdl.h"
#include "tick_counter.h"

#include "level.h"
#include "main.h"

#include <memory>

namespace {

const Uint32 timeLimit = 3600 * 1000;  // virtual ms; the driver's budgets end a play long before

}  // namespace

Verifier::Result Verifier::play(const std::string& levelPath, const std::vector<Action>& script,
                                const Watch& watch)
{
    return play(levelPath, script, nullptr, watch);
}

Verifier::Result Verifier::play(const std::string& levelPath, const std::vector<Action>& script,
                                Homeward::Policy policy, int exitCell)
{
    Homeward home(policy, exitCell);
    return play(levelPath, script, &home, nullptr);
}

Verifier::Result Verifier::play(const std::string& levelPath, const std::vector<Action>& script,
                                Homeward* home, const Watch& watch)
{
    Result r;
    // The thread's own level (a worker's simulation) waits while the game
    // plays the script on a level of its own.
    Level* const callers = level;
    const int number = levelnum;
    scriptedsdl::reset();
    scriptedsdl::setTimeLimit(timeLimit);
    SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO);
    level = nullptr;
    levelDone = false;
    borderCell.init(-2, -2, 0, false);
    if (!enterLevel(levelPath.c_str())) {
        r.why = "the level does not load";
        SDL_Quit();
        level = callers;
        return r;
    }
    SDL_AddTimer(refreshInterval, triggerRefresh, nullptr);

    auto driver = std::make_unique<Driver>(script, false);
    r.played = script;
    TickCounter counter;
    counter.start(scriptedsdl::now());
    bool over = false, fellOut = false, sawExitOpen = false;
    auto end = [&](const std::string& why) {
        r.why = why;
        over = true;
        driver->releaseKey();
        scriptedsdl::quitNow();
    };
    scriptedsdl::setFrameHook([&] {
        if (over)
            return;
        r.ticks = counter.update(scriptedsdl::now());
        if (levelDone) {
            r.solved = player.z <= -Player::doorDepth;
            fellOut = !r.solved;
            end(r.solved ? "" : driver->current() + ": the player fell out of the level");
            return;
        }
        sawExitOpen = sawExitOpen || level->wayOut.angle || level->wayOut.speed;
        driver->poll(r.ticks);
        if (watch)
            watch(*driver);
        if (driver->failed()) {
            end(driver->failure());
            return;
        }
        if (!driver->finished())
            return;
        std::vector<Action> part;
        std::string why = "the script ended before the level did";
        if (!home || !home->next(part, why)) {
            end(why);
            return;
        }
        r.played.insert(r.played.end(), part.begin(), part.end());
        driver = std::make_unique<Driver>(std::move(part), false);
    });
    mainLoop();
    if (!over)
        r.why = "the game ended during the level";
    r.failedOnTheWay = !r.solved && home && home->failedOnTheWay(fellOut, sawExitOpen);
    scriptedsdl::setFrameHook(nullptr);
    SDL_Quit();
    delete level;
    level = callers;
    levelDone = false;
    levelnum = number;
    return r;
}
