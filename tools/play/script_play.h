// One level played from a script, looked at after every drawn frame: the
// loop that the replay tool, the verifier and the solver's simulation share.
// The driver plays the script; once it has played it all, the level goes on
// with the part that more hands out (the solver's way home), and without
// more, or once more has nothing left, the play has failed: a script that
// solves its level ends with the level.
#ifndef PLAY_SCRIPT_PLAY_H
#define PLAY_SCRIPT_PLAY_H

#include "driver.h"
#include "script.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ScriptPlay {
public:
    // The next part of the script, asked for each time the driver has played
    // the part before; false when there is none, with why.
    using More = std::function<bool(std::vector<Action>& part, std::string& why)>;
    // Called after each look the driver takes at the game, with the game's
    // state as the driver saw it.
    using Watch = std::function<void(const Driver&)>;

    enum class State { Playing, WalkedOut, FellOut, Failed };

    ScriptPlay(std::vector<Action> script, bool verbose, bool forWindow, More more = nullptr,
               Watch watch = nullptr);

    // One look at the game after a pass of the loop; tick counts the level's
    // ticks so far. Once it says the play is over, it is not asked again.
    State look(int tick);
    // Why a play that fell out or failed did, on one line.
    const std::string& why() const { return reason; }
    // Every action played or under way, the parts more gave included.
    const std::vector<Action>& played() const { return actions; }
    // Lets go of an arrow key still held.
    void releaseKey() { driver->releaseKey(); }

private:
    bool verbose;
    bool forWindow;
    More more;
    Watch watch;
    std::unique_ptr<Driver> driver;
    std::vector<Action> actions;
    std::string reason;

    State goOn();
};

#endif
