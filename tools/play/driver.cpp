#include "driver.h"

#include "scripted_sdl.h"
#include "observe.h"
#include "main.h"

#include <cstdlib>

namespace {

const int moveBudget = 600;   // ticks for a walk, climb, grab or push
const int restBudget = 2000;  // ticks for the dominoes to come to rest
const int holdFrom = 4;       // steps from which the arrow is held, not tapped
const int midCell = 3;        // steps right of a column's centre where a walk for the window ends

// How far the player goes on after its arrow is released: 2 and then 1 more
// from a full walk, 1 from the first step of a walk.
int windDown(int speed)
{
    const int fullSpeed = 2;
    return std::abs(speed) == fullSpeed ? fullSpeed + 1 : std::abs(speed);
}

bool playerMoves()
{
    return player.speed || player.vspeed || player.falling;
}

std::string cellName(int column, int row)
{
    return "column " + std::to_string(column) + " row " + std::to_string(row);
}

std::string playerCellName()
{
    return cellName(Player::columnOf(player.x), Player::rowOf(player.y));
}

}  // namespace

Driver::Driver(std::vector<Action> script, bool verbose, bool forWindow)
    : script(std::move(script)), verbose(verbose), forWindow(forWindow)
{
}

void Driver::poll(int now)
{
    tick = now;
    while (!failed() && !finished()) {
        const Action& a = script[next];
        if (!started) {
            if (player.deltaZ > 0)
                return;  // still coming out of the entrance
            started = true;
            startTick = tick;
            stillSince = -1;
            keySent = false;
            if (verbose)
                printf("  tick %d: %s\n", tick, a.text.c_str());
            begin(a);
            return;  // keys sent now reach the player in the next pass
        }
        if (tick - startTick > budget(a)) {
            fail("no result within " + std::to_string(budget(a)) + " ticks");
            return;
        }
        if (step(a) == Status::Running)
            return;
        if (verbose)
            printf("  tick %d: done\n", tick);
        next++;
        started = false;
    }
}

std::string Driver::current() const
{
    if (finished())
        return "after the last action";
    return "line " + std::to_string(script[next].line) + " '" + script[next].text + "'";
}

void Driver::releaseKey()
{
    if (heldKey != SDLK_UNKNOWN)
        release(heldKey);
    heldKey = SDLK_UNKNOWN;
}

int Driver::budget(const Action& a) const
{
    switch (a.kind) {
    case Action::Wait: return a.arg;
    case Action::WaitStill:
    case Action::Exit: return restBudget;
    default: return moveBudget;
    }
}

bool Driver::begin(const Action& a)
{
    switch (a.kind) {
    case Action::Walk: return pathIsWalkable(a.arg, false);
    case Action::Drop: return pathIsWalkable(a.arg, true);
    case Action::Climb:
        return a.arg < level->hei || refuse("row " + std::to_string(a.arg) + " is outside the level");
    case Action::Grab:
        heldBefore = player.held;
        tap(SDLK_SPACE);
        return true;
    case Action::Push: return beginPush(a.arg);
    case Action::Exit: return beginExit();
    default: return true;
    }
}

Driver::Status Driver::step(const Action& a)
{
    switch (a.kind) {
    case Action::Walk:
        if (player.falling)
            return fail("the player fell at " + playerCellName());
        return walk(a.arg);
    case Action::Drop: return walk(a.arg);
    case Action::Climb: return climb(a.arg);
    case Action::Grab: return grab();
    case Action::Push: return push();
    case Action::Wait: return tick - startTick >= a.arg ? Status::Done : Status::Running;
    case Action::WaitStill: return stillForTwoTicks() ? Status::Done : Status::Running;
    case Action::Exit: return walkOut();
    }
    return Status::Done;
}

// Checked before the first step: a walk never falls through a gap that only
// a bridge would close.
bool Driver::pathIsWalkable(int column, bool mayFall)
{
    if (column >= level->wid)
        return refuse("column " + std::to_string(column) + " is outside the level");
    if (mayFall)
        return true;
    if (player.falling || Player::aboveFloor(player.y))
        return refuse("the player is not standing on a floor");
    const int row = Player::rowOf(player.y);
    const int from = Player::columnOf(player.x);
    const int direction = column < from ? -1 : 1;
    for (int c = from; c != column + direction; c += direction) {
        Cell* cell = level->getCell(c, row);
        if (!cell->getFloor() && !cell->getLadder())
            return refuse("no floor at " + cellName(c, row) + " on the way (use drop to fall there)");
    }
    return true;
}

// Walking and climbing both hold the arrow while far off and let go when
// the wind-down lands on the target; single-step taps make up any
// difference. True while a held arrow or the player's own motion is still
// under way, d steps from the target at speed; letGo releases the arrow at
// once.
bool Driver::stillApproaching(int d, int speed, bool letGo)
{
    if (heldKey != SDLK_UNKNOWN) {
        if (letGo || d * heldDirection <= windDown(speed))
            releaseKey();
        return true;
    }
    return playerMoves();
}

// Sets off toward a target d steps away with forward or back.
void Driver::setOff(int d, SDLKey forward, SDLKey back)
{
    const int direction = d > 0 ? 1 : -1;
    const SDLKey key = direction > 0 ? forward : back;
    if (std::abs(d) >= holdFrom && (!forWindow || racing()))
        press(key, direction);
    else
        tap(key);
}

Driver::Status Driver::walk(int column)
{
    const int d = Player::stepsPerCell * column + (forWindow ? midCell : 0) - player.x;
    if (stillApproaching(d, player.speed, false))
        return Status::Running;
    if (d == 0)
        return Status::Done;
    setOff(d, SDLK_RIGHT, SDLK_LEFT);
    return Status::Running;
}

// Climbing over the top of a ladder ends in a short fall onto the floor
// above, which lands exactly by itself.
Driver::Status Driver::climb(int row)
{
    const int d = Player::stepsPerCell * row - player.y;
    if (stillApproaching(d, player.vspeed, player.falling))
        return Status::Running;
    if (d == 0)
        return Status::Done;
    if (!player.getCell(d > 0 ? 1 : -1)->getLadder())
        return fail(std::string("no ladder to climb ") + (d > 0 ? "up" : "down") + " at " + playerCellName());
    setOff(d, SDLK_UP, SDLK_DOWN);
    return Status::Running;
}

// Done once a domino was picked up, or set down and the player has wound
// down after any walk aside.
Driver::Status Driver::grab()
{
    if (player.releasing)
        return Status::Running;
    if (player.held == heldBefore) {
        if (heldBefore)
            return fail("nowhere to set the carried domino down, here or beside");
        Domino* here = player.getCell(0)->getDomino(0);
        return fail(here->isBlank() ? "nothing to pick up here" : "may not pick up " + describe(here));
    }
    return playerMoves() ? Status::Running : Status::Done;
}

bool Driver::beginPush(int direction)
{
    if (player.held)
        return refuse("the player carries a domino");
    if (!level->canPush())
        return refuse("the level's push was used already");
    pushed = player.getCell(0)->getDomino(0);
    if (pushed->isBlank())
        return refuse("nothing to push here");
    pushedState[0] = pushed->angle;
    pushedState[1] = pushed->speed;
    pushedState[2] = pushed->accel;
    tap(direction < 0 ? SDLK_COMMA : SDLK_PERIOD);
    return true;
}

// A push that did not count may still have been taken: a delay starts its
// countdown and reports failure.
Driver::Status Driver::push()
{
    const bool taken =
        pushed->angle != pushedState[0] || pushed->speed != pushedState[1] || pushed->accel != pushedState[2];
    if (!level->canPush() || taken)
        return Status::Done;
    return fail("the push was refused by " + describe(pushed));
}

bool Driver::beginExit()
{
    Door* way = &level->wayOut;
    if (player.getCell(0)->getDoor() != way)
        return refuse("not in the exit's cell, " + cellName(way->getCell()->getX(), way->getCell()->getY()));
    return true;
}

// Waits for the exit to open and walks in; the level's end is seen by the
// caller. The exit opens one tick after the trigger lands, so it is checked
// before the dominoes' rest.
Driver::Status Driver::walkOut()
{
    if (keySent)
        return player.deltaZ < 0 ? Status::Running : fail("the player did not walk into the exit");
    if (!level->wayOut.isOpenedExit())
        return stillForTwoTicks() ? fail("the dominoes came to rest and the exit stayed closed")
                                  : Status::Running;
    if (playerMoves())
        return Status::Running;
    // Up or down walks in, unless a ladder that way takes the key.
    if (!player.getCell(1)->getLadder())
        tap(SDLK_UP);
    else if (!player.getCell(-1)->getLadder())
        tap(SDLK_DOWN);
    else
        return fail("ladders above and below take both keys that lead into the exit");
    keySent = true;
    return Status::Running;
}

// True once no domino has moved through a whole tick.
bool Driver::stillForTwoTicks()
{
    if (!allStill()) {
        stillSince = -1;
        return false;
    }
    if (stillSince < 0)
        stillSince = tick;
    return tick > stillSince;
}

// The push is used and a domino still moves (a delay counting down
// included): a key late here may come too late for the chain.
bool Driver::racing() const
{
    return !level->canPush() && !allStill();
}

void Driver::press(SDLKey key, int direction)
{
    printKey(key, "down");
    scriptedsdl::pressNow(key);
    heldKey = key;
    heldDirection = direction;
}

void Driver::tap(SDLKey key)
{
    printKey(key, "tap");
    scriptedsdl::pressNow(key);
    scriptedsdl::releaseNow(key);
}

void Driver::release(SDLKey key)
{
    printKey(key, "up");
    scriptedsdl::releaseNow(key);
}

// "    tick 22 key period tap calm": the tick after which the key goes to the
// game, and whether the chain races then.
void Driver::printKey(SDLKey key, const char* how) const
{
    if (!forWindow)
        return;
    const struct {
        SDLKey sym;
        const char* name;
    } names[] = {{SDLK_LEFT, "left"},   {SDLK_RIGHT, "right"}, {SDLK_UP, "up"},        {SDLK_DOWN, "down"},
                 {SDLK_SPACE, "space"}, {SDLK_COMMA, "comma"}, {SDLK_PERIOD, "period"}};
    for (const auto& n : names)
        if (n.sym == key)
            printf("    tick %d key %s %s %s\n", tick, n.name, how, racing() ? "racing" : "calm");
}

Driver::Status Driver::fail(const std::string& why)
{
    refuse(why);
    return Status::Running;
}

bool Driver::refuse(const std::string& why)
{
    error = current() + ": " + why;
    releaseKey();
    return false;
}
