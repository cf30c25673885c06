// Plays one candidate solution on the game's own objects, headless, in the
// game state of the thread that made it: the level it loads is that thread's
// level for as long as the Simulation lives (the thread's game as it was
// comes back when it goes), so a thread holds one at most and plays nothing
// else meanwhile. For each play the level is put back as it was read, the
// carries made before the first push are put in place at once (nothing moves
// before it, so walking them would only cost time), the player is placed
// where the first push is made, and from there on the play core's driver
// steers the player with real key events, through the play core's
// ScriptPlay as the replay tool does, in passes with the main loop's time
// arithmetic on the scripted SDL: keys the driver queues are handled at once
// without game time passing, otherwise every 20 ms pass runs a tick when
// more than 50 ms are pending, and every tick or key is followed by the
// frame's work that the rules read (takePushes), which is where a recorded
// push takes effect.
//
// After the pushes (and the pick-up) the player either waits until nothing
// moves and then walks to the opened exit, or heads for the exit at once and
// waits there; the second is tried only when the first failed on the way
// home for the player's own sake (see Homeward).
//
// Besides whether it solved the level, a play reports its zone: every cell
// whose contents before the push could have mattered. That is, after every
// tick, the cells each domino that has moved may look at or change in its
// next update (its strikes, checks, tips, drops, rises, bridges and blasts),
// the cells the player acts in, and the first cell of every domino that
// moved. A domino outside the zone stood still through the whole play and
// was looked at by nothing that moved, so any arrangement that holds the
// same dominoes in the zone's cells plays the same way to the tick.
#ifndef SOLVER_SIMULATION_H
#define SOLVER_SIMULATION_H

#include "homeward.h"
#include "program.h"
#include "snapshot.h"
#include "terrain.h"

#include "domino.h"
#include "freshgame.h"

#include <memory>
#include <string>
#include <vector>

struct Domino;

// The level as the player finds it once everything has come to rest.
struct LevelStart {
    std::vector<char> kinds;          // the level file letter of each domino, in load order
    std::vector<FallScope> scopes;    // where each one's fall may take it
    std::vector<PlayersPush> pushes;  // what the player's push does to each
    std::vector<bool> special;        // a kind with a rule a level may do without
    std::vector<int> where;           // each domino's cell, -1 when it is in no cell
    std::vector<bool> movable;        // upright and still on a floor: may be picked up
    std::vector<bool> required;       // not done yet: it has to fall, or be carried to the end
    std::vector<bool> knockable;      // in a cell and not refusing every strike: a link in a chain
    // Dropped onto as it stands, it breaks and is never done again: a drop
    // onto it never solves (a splitter splits instead, a blocker is done
    // broken).
    std::vector<bool> spoiledByADrop;
    int entrance = 0;
    int exit = 0;
    int settleTicks = 0;       // ticks until the player is out of the entrance and nothing moves
    bool waitAtStart = false;  // something still moved when the player came out
};

struct Outcome {
    bool solved = false;
    bool failedOnTheWay = false;  // on the way home, for the player's own sake (Homeward)
    std::string why;              // why not, for reports
    std::vector<bool> zone;
    std::vector<std::vector<int>> landings;  // at each tick a trigger came to lie flat: the dominoes not done
    std::vector<Action> played;              // from the first push on, the exit walk included
    int ticks = 0;                           // from the first push to the end
    // For each cell where an upright, still domino stood when the play
    // began, and for the cell the program sets its domino down in, the
    // first ticks after which the chain looked at that cell (looksPerCell
    // at most), as cell, tick pairs: a grab there changes the play only by
    // coming before or after such a look.
    std::vector<std::pair<int, int>> looks;
    int grabbed = -1;  // the tick after which the program's pick-up was made; -1 without one
    int setDown = -1;  // the tick after which it was set down again; -1 without one
    // The first tick after which no domino moved again, when the play ended
    // with everything at rest (-1 otherwise): from then on the level stays
    // as it is, so a grab at any later moment makes the same play.
    int rested = -1;
};

// Looks kept per cell in Outcome::looks.
const int looksPerCell = 4;

class Simulation {
public:
    explicit Simulation(std::string levelPath);
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // False when the game's loader refused the level; nothing else may be used then.
    bool loaded() const { return floors != nullptr; }
    const LevelStart& start() const { return begin; }
    // The terrain before the first push.
    Terrain& terrain() { return *floors; }

    const std::string& levelPath() const { return path; }

    // where: each domino's cell after the carries (as LevelStart::where; -1
    // for one in no cell, as if it stood where nothing reaches it).
    Outcome play(const std::vector<int>& where, const Program& program);

private:
    FreshGame game;  // the thread's game, with the level loaded, while the Simulation lives
    std::string path;
    LevelStart begin;
    std::unique_ptr<Terrain> floors;
    Snapshot settled;

    void prepare();
    void settle(int ticks);
    void placeCarried(const std::vector<int>& where);
    Outcome playWith(const std::vector<int>& where, const Program& program, Homeward::Policy policy);
};

#endif
