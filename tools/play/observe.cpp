#include "observe.h"

#include "domino.h"
#include "main.h"

namespace {

std::string activity()
{
    if (player.deltaZ)
        return "in a door";
    if (player.falling)
        return "falling";
    if (player.vspeed)
        return "climbing";
    if (player.speed)
        return "walking";
    return "standing";
}

}  // namespace

bool allStill()
{
    for (int i = 0; i < level->dcount; i++)
        if (level->doms[i]->inPlay() && level->doms[i]->needsAnimating())
            return false;
    return true;
}

std::string describe(Domino* d)
{
    std::string text = std::string(1, d->letter()) + " at (" + std::to_string(d->cell->getX()) + ","
        + std::to_string(d->cell->getY()) + ") angle " + std::to_string(d->angle) + " speed "
        + std::to_string(d->speed);
    if (d->elev || d->fly)
        text += " elev " + std::to_string(d->elev) + " fly " + std::to_string(d->fly);
    if (d->broken)
        text += " broken";
    if (d == player.held)
        text += " carried";
    else if (!d->inPlay())
        text += " out of play";
    return text;
}

std::string describePlayer()
{
    std::string text = "player column " + std::to_string(Player::columnOf(player.x)) + " row "
        + std::to_string(Player::rowOf(player.y)) + " (x " + std::to_string(player.x) + ", y "
        + std::to_string(player.y) + "), " + activity();
    if (player.held)
        text += ", carrying " + describe(player.held);
    return text;
}

std::string describeUnfinished(const std::string& indent)
{
    std::string text;
    for (int i = 0; i < level->dcount; i++)
        if (!level->doms[i]->isDone())
            text += indent + "not done: " + describe(level->doms[i]) + "\n";
    return text;
}
