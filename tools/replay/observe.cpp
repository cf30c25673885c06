#include "observe.h"

#include "blocker.h"
#include "boomer.h"
#include "bridge.h"
#include "delay.h"
#include "flyer.h"
#include "looping.h"
#include "main.h"
#include "splitter.h"
#include "trigger.h"
#include "vanish.h"

#include <typeinfo>

namespace {

bool inPlay(Domino* d)
{
    return d->cell->getDomino(d->top) == d;
}

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

char kindLetter(Domino* d)
{
    const std::type_info& kind = typeid(*d);
    if (kind == typeid(Blocker))
        return 'W';
    if (kind == typeid(Vanish))
        return 'V';
    if (kind == typeid(Bridge))
        return 'B';
    if (kind == typeid(Splitter))
        return 'S';
    if (kind == typeid(Delay))
        return 'D';
    if (kind == typeid(Boomer))
        return 'X';
    if (kind == typeid(Flyer))
        return 'F';
    if (kind == typeid(Looping))
        return 'L';
    if (kind == typeid(Trigger))
        return 'T';
    return 'N';
}

bool moving(Domino* d)
{
    if (!inPlay(d))
        return false;
    if (d->speed || d->fly || d->accel)
        return true;
    if (auto* s = dynamic_cast<Splitter*>(d))
        return s->speed2 || s->accel2;
    if (auto* delay = dynamic_cast<Delay*>(d))
        return delay->timer != 0;
    return false;
}

bool allStill()
{
    for (int i = 0; i < level->dcount; i++)
        if (moving(level->doms[i]))
            return false;
    return true;
}

std::string describe(Domino* d)
{
    std::string text = std::string(1, kindLetter(d)) + " at (" + std::to_string(d->cell->getX()) + ","
        + std::to_string(d->cell->getY()) + ") angle " + std::to_string(d->angle) + " speed "
        + std::to_string(d->speed);
    if (d->elev || d->fly)
        text += " elev " + std::to_string(d->elev) + " fly " + std::to_string(d->fly);
    if (d->broken)
        text += " broken";
    if (d == player.held)
        text += " carried";
    else if (!inPlay(d))
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
