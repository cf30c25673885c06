#include "homeward.h"
#include "program.h"
#include "terrain.h"

#include "cell.h"
#include "level.h"
#include "main.h"

Homeward::Played Homeward::play(const std::string& levelPath, const std::vector<Action>& script,
                                Policy policy, int exitCell)
{
    Homeward home(policy, exitCell);
    Played p;
    static_cast<Verifier::Result&>(p) =
        Verifier::play(levelPath, script, nullptr,
                       [&home](std::vector<Action>& part, std::string& why) { return home.next(part, why); });
    p.failedOnTheWay = !p.solved && home.failedOnTheWay(p.fellOut, p.sawExitOpen);
    return p;
}

bool Homeward::next(std::vector<Action>& part, std::string& why)
{
    part.clear();
    if (stage == Stage::Pushing && policy == Policy::WaitThenWalk) {
        stage = Stage::Waiting;
        part.push_back(makeAction(Action::WaitStill));
        return true;
    }
    if (stage == Stage::Leaving) {
        why = "the player did not walk out";
        return false;
    }
    const bool opened = level->wayOut.isOpening();
    if (stage == Stage::Waiting && !opened) {
        why = "the dominoes came to rest and the exit stayed closed";
        return false;
    }
    Cell* c = player.getCell(0);
    if (c == &borderCell) {
        why = "the player is outside the level";
        return false;
    }
    Terrain terrain(*level);
    const int here = terrain.cellAt(c->getX(), c->getY());
    // A carried domino stays in hand on a way without falls. On any other the
    // game sets it down where the player falls, which no longer matters once
    // the exit has opened.
    const bool kept = player.held && terrain.route(here, exitCell, true, part);
    const bool mayDrop = !player.held || stage == Stage::Waiting;
    if (!kept && !(mayDrop && terrain.route(here, exitCell, false, part))) {
        why = "no way to the exit";
        return false;
    }
    part.push_back(makeAction(Action::Exit));
    stage = Stage::Leaving;
    return true;
}
