#include "script_play.h"

#include "main.h"

ScriptPlay::ScriptPlay(std::vector<Action> script, bool verbose, bool forWindow, More more, Watch watch)
    : verbose(verbose), forWindow(forWindow), more(std::move(more)), watch(std::move(watch)),
      driver(std::make_unique<Driver>(script, verbose, forWindow)), actions(std::move(script))
{
}

ScriptPlay::State ScriptPlay::look(int tick)
{
    if (levelDone) {
        // The game ends a level when the player walks into the exit, and
        // when the player falls out of it.
        if (player.z <= -Player::doorDepth)
            return State::WalkedOut;
        reason = driver->current() + ": the player fell out of the level";
        return State::FellOut;
    }
    driver->poll(tick);
    if (watch)
        watch(*driver);
    if (driver->failed()) {
        reason = driver->failure();
        return State::Failed;
    }
    return driver->finished() ? goOn() : State::Playing;
}

// The driver has played its part: the next one, if more has one.
ScriptPlay::State ScriptPlay::goOn()
{
    std::vector<Action> part;
    reason = "the script ended before the level did";
    if (!more || !more(part, reason))
        return State::Failed;
    actions.insert(actions.end(), part.begin(), part.end());
    driver = std::make_unique<Driver>(std::move(part), verbose, forWindow);
    return State::Playing;
}
