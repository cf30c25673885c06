#include "simulation.h"
#include "homeward.h"

#include "observe.h"
#include "script_play.h"
#include "scripted_sdl.h"

#include "cell.h"
#include "domino.h"
#include "level.h"
#include "main.h"

namespace {

const int settleLimit = 2000;  // ticks a level may take to come to rest at its start
const int playLimit = 6000;    // ticks from the first push; the driver's budgets end a play sooner
const int stillTicks = 2;      // ticks without motion that make a level still, as the driver's wait-still

// Everything about a domino that changes when it is struck, moves, is carried
// or breaks.
struct Pose {
    DominoState state;
    bool inPlay;

    explicit Pose(Domino* d) : inPlay(d->inPlay()) { d->save(state); }
    bool operator!=(const Pose& o) const { return inPlay != o.inPlay || state != o.state; }
};

int cellIndex(Cell* c)
{
    return c->getY() * level->wid + c->getX();
}

bool inGrid(Cell* c)
{
    return c != &borderCell;
}

// A domino dropping upright out of the grid drops for ever: nothing can turn
// it there (a domino leaving upward may still come to lie flat).
bool droppingForever(Domino* d)
{
    const bool inBorder = d->cell == &borderCell && borderCell.getDomino(d->top) == d;
    return inBorder && d->angle == 0 && d->fly < 0;
}

// True once a domino can never be done again, so a closed exit can never
// open: a broken one, or one dropping for ever.
bool hopeless()
{
    for (int i = 0; i < level->dcount; i++) {
        Domino* d = level->doms[i];
        if ((d->broken && !d->isDone()) || droppingForever(d))
            return true;
    }
    return false;
}

// True while some domino will never come to rest, so waiting for the
// dominoes to come to rest never ends.
bool restless()
{
    for (int i = 0; i < level->dcount; i++)
        if (droppingForever(level->doms[i]))
            return true;
    return false;
}

// The zone of a play and the looks the chain takes at the cells it watches
// (see Outcome), kept in the outcome as the play goes.
class Zone {
public:
    Zone(const Terrain& floors, Outcome& out)
        : floors(floors), out(out), watched(floors.size(), -1), lastLook(floors.size(), -1)
    {
        out.zone.assign(floors.size(), false);
    }

    // The cells of row y within columns of column x are in the zone, and
    // looked at in the outcome's tick.
    void mark(int x, int y, int columns)
    {
        if (y < 0 || y >= floors.height())
            return;
        for (int xx = std::max(0, x - columns); xx <= std::min(floors.width() - 1, x + columns); xx++)
            look(floors.cellAt(xx, y));
    }

    // The cells a domino that moves may look at or change in its next
    // update, from where it is now, as the domino tells them.
    void markReach(Domino* d)
    {
        const int x = d->cell->getX(), y = d->cell->getY();
        const UpdateReach reach = d->updateReach();
        mark(x, y, reach.columns);
        if (reach.below)
            mark(x, y - 1, 1);
        if (reach.above)
            mark(x, y + 1, 1);
    }

    // The cells an upright, still domino stands in as the play begins are
    // watched.
    void watchStillDominoes()
    {
        for (int i = 0; i < level->dcount; i++) {
            Domino* d = level->doms[i];
            if (d->inPlay() && inGrid(d->cell) && d->top == 0 && !d->angle && !d->speed && !d->fly)
                watch(cellIndex(d->cell));
        }
    }

    // The chain's looks at cell c are kept from now on.
    void watch(int c) { watched[c] = 0; }

private:
    const Terrain& floors;
    Outcome& out;
    // Per watched cell, how many looks at it have been kept (-1 for a cell
    // not watched), and the tick of the last.
    std::vector<int> watched, lastLook;

    void look(int c)
    {
        out.zone[c] = true;
        if (watched[c] >= 0 && watched[c] < looksPerCell && lastLook[c] != out.ticks) {
            out.looks.emplace_back(c, out.ticks);
            watched[c]++;
            lastLook[c] = out.ticks;
        }
    }
};

// What the dominoes do during a play, noted after every tick and every key:
// the zone of those that moved, the ticks the program's pick-up and set-down
// were made, the dominoes not done at each tick a trigger came to lie flat,
// and when everything last came to rest.
class Motion {
public:
    Motion(Zone& zone, Outcome& out, Domino* toPickUp, bool setsDown)
        : zone(zone), out(out), toPickUp(toPickUp), setsDown(setsDown), moved(level->dcount, false),
          wasLying(level->dcount, false)
    {
        for (int i = 0; i < level->dcount; i++)
            before.emplace_back(level->doms[i]);
    }

    void track(bool ticked)
    {
        for (int i = 0; i < level->dcount; i++)
            trackMove(i);
        if (out.grabbed < 0 && toPickUp && player.held == toPickUp)
            out.grabbed = out.ticks;
        if (out.grabbed >= 0 && out.setDown < 0 && setsDown && !player.held)
            out.setDown = out.ticks;
        if (!ticked)
            return;
        for (int i = 0; i < level->dcount; i++)
            trackLanding(i);
        if (!allStill())
            out.rested = -1;
        else if (out.rested < 0)
            out.rested = out.ticks;
    }

private:
    Zone& zone;
    Outcome& out;
    Domino* const toPickUp;
    const bool setsDown;  // the program sets its picked-up domino down again
    std::vector<Pose> before;
    std::vector<bool> moved, wasLying;

    void trackMove(int i)
    {
        Domino* d = level->doms[i];
        // A domino's state changes only while it has work for its frames, or
        // as it leaves its slot or breaks: any other one is as it was,
        // without comparing.
        const bool mayHaveChanged = d->needsAnimating() || !d->inPlay() || d->broken;
        if (!moved[i] && mayHaveChanged && Pose(d) != before[i]) {
            moved[i] = true;
            zone.mark(before[i].state.cell->getX(), before[i].state.cell->getY(), 0);
        }
        if (moved[i] && d != player.held && inGrid(d->cell))
            zone.markReach(d);
    }

    void trackLanding(int i)
    {
        Domino* d = level->doms[i];
        const bool flat = d->armsExitCheck() && std::abs(d->angle) == Domino::lying;
        if (flat && !wasLying[i]) {
            std::vector<int> undone;
            for (int j = 0; j < level->dcount; j++)
                if (!level->doms[j]->isDone())
                    undone.push_back(j);
            out.landings.push_back(undone);
        }
        wasLying[i] = flat;
    }
};

// Why a tick leaves the play with no hope of solving the level, or empty.
std::string hopelessAfterTick(const Homeward& homeward)
{
    if (!level->wayOut.isOpening() && hopeless())
        return "a domino broke or left the grid";
    if (level->wayOut.isOpening() && homeward.waiting() && restless())
        return "a domino drops out of the grid for ever: waiting for the dominoes to rest would never end";
    return "";
}

// The passes of a play from the first push, as the main loop runs them on the
// scripted SDL (see simulation.h), until the level ends, the script fails or
// hope is gone.
void playOut(Outcome& out, const std::vector<Action>& timed, Homeward& homeward, Motion& motion)
{
    scriptedsdl::reset();
    ScriptPlay script(timed, false, false, [&homeward](std::vector<Action>& part, std::string& why) {
        return homeward.next(part, why);
    });
    PassTime time(0);
    bool fellOut = false, sawExitOpen = false;
    out.why = "still going after " + std::to_string(playLimit) + " ticks";
    while (out.ticks <= playLimit) {
        const bool keys = drainEvents().any;
        if (!keys)
            time.advance(time.clock() + refreshInterval);
        const bool ticked = time.tickDue();
        if (ticked) {
            out.ticks++;
            fellOut = !tick();
            if (fellOut) {
                out.why = "the player fell out of the level";
                break;
            }
        }
        if (levelDone) {
            out.solved = true;
            out.why.clear();
            break;
        }
        if (ticked || keys) {
            takePushes();
            motion.track(ticked);
        }
        sawExitOpen = sawExitOpen || level->wayOut.isOpening();
        const std::string hopeGone = ticked ? hopelessAfterTick(homeward) : "";
        if (!hopeGone.empty()) {
            out.why = hopeGone;
            break;
        }
        if (script.look(out.ticks) != ScriptPlay::State::Playing) {
            out.why = script.why();
            break;
        }
    }
    out.played = script.played();
    if (!out.solved)
        out.failedOnTheWay = homeward.failedOnTheWay(fellOut, sawExitOpen);
}

// Whether a domino arriving in d's slot, as Cell::enter makes it boom, leaves
// it broken and never done; d's own state is put back as it was.
bool spoiledByADrop(Domino* d)
{
    DominoState was;
    d->save(was);
    d->boom();
    const bool spoiled = d->broken && !d->isDone();
    DominoState::Reader in(was);
    d->restore(in);
    return spoiled;
}

// The player standing still in c, out of the doors, as after a walk.
void standIn(Cell* c)
{
    player.init(c);
    player.z = 0;
    player.deltaZ = 0;
}

}  // namespace

Simulation::Simulation(std::string levelPath) : path(std::move(levelPath))
{
    if (!enterLevel(path.c_str()))
        return;
    for (int i = 0; i < level->dcount; i++) {
        begin.kinds.push_back(level->doms[i]->letter());
        begin.scopes.push_back(level->doms[i]->fallScope());
        begin.pushes.push_back(level->doms[i]->playersPush());
        begin.special.push_back(level->doms[i]->isSpecial());
    }
    // The player comes out of the entrance first; whatever moves by itself
    // meanwhile (a domino over a gap drops) is seen by the player only after.
    int ticks = 0, quiet = 0;
    while ((player.deltaZ || quiet < stillTicks) && ticks < settleLimit) {
        settle(1);
        ticks++;
        quiet = allStill() ? quiet + 1 : 0;
        begin.waitAtStart = begin.waitAtStart || (!player.deltaZ && !quiet);
    }
    begin.settleTicks = ticks;
    floors = std::make_unique<Terrain>(*level);
    for (int i = 0; i < level->dcount; i++) {
        Domino* d = level->doms[i];
        const bool inPlay = d->inPlay() && inGrid(d->cell);
        begin.where.push_back(inPlay ? cellIndex(d->cell) : -1);
        const bool upright = !d->broken && !d->angle && !d->speed && !d->fly && !d->elev;
        begin.movable.push_back(inPlay && d->top == 0 && upright && d->cell->getFloor());
        begin.required.push_back(!d->isDone());
        // Upright and done already: it refuses every strike, as a blocker does.
        begin.knockable.push_back(inPlay && !(upright && d->isDone()));
    }
    begin.entrance = cellIndex(level->getWayIn()->getCell());
    begin.exit = cellIndex(level->wayOut.getCell());
    settled.take(*level);
    // Dropped on, as each stands now; what that wakes goes with the rest.
    for (int i = 0; i < level->dcount; i++)
        begin.spoiledByADrop.push_back(begin.where[i] >= 0 && spoiledByADrop(level->doms[i]));
    settled.restore(*level);
}

// The level as the player finds it once everything has come to rest.
void Simulation::prepare()
{
    settled.restore(*level);
    levelDone = false;
    resetCamera();
}

// Ticks of the level as it starts, each followed by a frame's work; the
// player comes out of the entrance meanwhile.
void Simulation::settle(int ticks)
{
    for (int i = 0; i < ticks; i++) {
        tick();
        takePushes();
    }
}

// The carried dominoes are all taken up first and then set down, so that a
// domino may go where another one stood; one with no cell stays out of the
// grid, as if it stood where nothing reaches it.
void Simulation::placeCarried(const std::vector<int>& where)
{
    std::vector<int> carried;
    for (int i = 0; i < level->dcount; i++)
        if (where[i] != begin.where[i]) {
            level->doms[i]->grab();
            carried.push_back(i);
        }
    for (int i : carried)
        if (where[i] >= 0)
            level->doms[i]->enter(level->getCell(floors->column(where[i]), floors->row(where[i])));
}

Outcome Simulation::play(const std::vector<int>& where, const Program& program)
{
    Outcome waited = playWith(where, program, Homeward::Policy::WaitThenWalk);
    if (waited.solved || !waited.failedOnTheWay)
        return waited;
    Outcome hurried = playWith(where, program, Homeward::Policy::HeadForExit);
    for (std::size_t c = 0; c < hurried.zone.size(); c++)
        hurried.zone[c] = hurried.zone[c] || waited.zone[c];
    if (!hurried.solved)
        hurried.why = waited.why;
    return hurried;
}

Outcome Simulation::playWith(const std::vector<int>& where, const Program& program, Homeward::Policy policy)
{
    Outcome out;
    Zone zone(*floors, out);
    // The player acts in the program's cells; setting a domino down where one
    // stands already looks at both neighbours for a free cell.
    for (int c : program.cells())
        zone.mark(floors->column(c), floors->row(c), 1);
    std::vector<Action> timed;
    if (!program.actions(*floors, timed)) {
        out.why = "no way to walk between the pushes";
        return out;
    }
    prepare();
    placeCarried(where);
    const int first = program.firstCell();
    standIn(level->getCell(floors->column(first), floors->row(first)));
    zone.watchStillDominoes();
    if (program.setDown >= 0)
        zone.watch(program.setDown);
    Domino* const toPickUp = program.pickUp >= 0
        ? level->getCell(floors->column(program.pickUp), floors->row(program.pickUp))->getDomino(0)
        : nullptr;
    Motion motion(zone, out, toPickUp, program.setDown >= 0);
    Homeward homeward(policy, begin.exit);
    playOut(out, timed, homeward, motion);
    return out;
}
