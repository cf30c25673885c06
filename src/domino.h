// The standard domino, and the base every other kind specialises by
// overriding single operations. Its whole state is a handful of integers: it
// topples one 15-degree step per tick, asks the dominoes in its way whether it
// may go on (knocking an upright one over), rests, bounces, lies down, tips
// over floor edges and drops through cells without floor.
#ifndef DOMINO_H
#define DOMINO_H

#include "base.h"

// A domino's whole state as plain values, for the designer's tools: they
// save it to put a domino back as it was, compare two moments of a play and
// fingerprint one. The standard domino writes its part first (the first
// standardValues values and the cell), then its kind adds its own.
struct DominoState {
    static constexpr int standardValues = 7;
    static constexpr int most = 12;

    int values[most];
    int count = 0;
    Cell* cell = nullptr;  // the cell last entered

    void put(int value) { values[count++] = value; }
    bool operator==(const DominoState& other) const;
    bool operator!=(const DominoState& other) const { return !(*this == other); }

    // Reads the values back in the order they were put.
    class Reader {
    public:
        explicit Reader(const DominoState& state) : state(state) {}
        int next() { return state.values[at++]; }
        Cell* cell() const { return state.cell; }

    private:
        const DominoState& state;
        int at = 0;
    };
};

// The cells a domino's next update may look at or change, around its own:
// columns each way in its row, the row below and the row above.
struct UpdateReach {
    int columns;
    bool below;
    bool above;
};

// Where a domino's fall may take it beyond what every domino's may: a fall
// tips into the next cell of the row, and through a cell without floor drops
// to the floor below and topples on. Some kinds go further: along their
// whole row, or up into the rows above; some open a hole in their own floor,
// or close a gap with floor where they lie.
struct FallScope {
    bool alongRow = false;
    bool upward = false;
    bool opensFloor = false;
    bool closesGap = false;
};

// What the player's push does to a domino standing upright and still, for
// the solver's programs: the standard domino is felled and the level's one
// push is spent; a kind may be set going without spending it, or refuse.
enum class PlayersPush { spendsThePush, free, refused };

struct Domino {
    // Its letter in the level file's domino grid.
    static constexpr char fileLetter = 'N';

    // Leans, in steps of 15 degrees.
    static constexpr int lying = 6;   // flat on the floor
    static constexpr int strike = 4;  // its top strikes the domino in the next cell
    // Heights, in elev units: a row is this many sixths high.
    static constexpr int elevPerRow = 6;

    // The contacts a moving domino makes, as push(direction, contact *
    // direction): each is the lean, in the pushed domino's own steps along
    // the push, that the pusher's body would take up. The pushed domino gives
    // way while its own lean stays beyond it.
    static constexpr int contactFar = -5;       // leaning back, or across a cell between
    static constexpr int contactNear = -4;      // upright, or leaning forward short of strike
    static constexpr int contactSquare = 0;     // at strike: an upright domino is knocked over
    static constexpr int contactLying = lying;  // it would lie in the pushed domino's cell

    int angle;   // lean in steps of 15 degrees, -6..6; positive leans toward +x
    int speed;   // change of angle per tick: -1, 0 or 1
    int accel;   // a push waiting for the next render to become speed
    int elev;    // height above the cell's floor in sixths of a row
    int top;     // the cell slot in use: 1 only for a flyer in flight
    int fly;     // vertical speed in elev units per tick
    Cell* cell;  // the cell last entered, even when out of play
    bool broken;
    bool woken;  // listed among its level's dominoes to animate; see Level::wake

    // Nothing is set until init.
    Domino() {}
    // Upright, still, whole, in slot 0, then enters c. Called once by the
    // loader; a kind with fields of its own sets them and calls this.
    virtual void init(Cell* c);
    // Virtual because the level deletes its dominoes through Domino*.
    virtual ~Domino() {}
    // The work a frame does for the game besides drawing, for the tick
    // fraction t, 0..1: takePush, then pullCamera. Called once per frame,
    // before render, for every domino in a slot of the grid, seen or not,
    // and for the carried one.
    void animate(float t);
    // The part of a frame's work the rules read: a pending accel becomes
    // speed. An override may take no push while it waits.
    virtual void takePush();
    // The part only the camera reads: a domino that turns or flies pulls the
    // camera (lookAtMe) for the tick fraction t. An override may pull it
    // while it waits.
    virtual void pullCamera(float t);
    // False while animate has nothing to do: no pending push, no motion. An
    // override adds what else its animate acts on.
    virtual bool needsAnimating() { return accel || speed || fly; }
    // Draws the domino for the tick fraction t, as animate left it: the
    // standard body through renderPlaced. An override draws its own body.
    virtual void render(float t);
    // Turning toward direction (+1 or -1), asks the dominoes in its way, by
    // its lean, whether it may go on; true if it may. Its calls to push are
    // the only way a moving domino affects others. An override may ask again
    // for another posture (a splitter's other half).
    virtual bool touch(int direction);
    // The player's pick-up: an upright, still, whole domino on its floor in
    // slot 0 leaves its cell and returns itself; otherwise null, unchanged.
    virtual Domino* grab();
    // A body moving toward direction reaches this domino with the contact
    // direction * from; true lets it pass. Struck squarely while upright, the
    // domino decides in push0. An override may answer for both halves of a
    // splitter, or let everything pass (the empty slot).
    virtual bool push(int direction, int from);
    // Struck squarely while upright: accel = direction, applied at the next
    // render, and true. An override may refuse (false holds the striker
    // back) or move some other way.
    virtual bool push0(int direction);
    // Another domino has entered this one's slot: it breaks, upright and
    // still. An override may react otherwise (a splitter splits).
    virtual void boom();
    // One 50 ms tick, only while in play: turn by speed, ask the neighbours
    // (stop, bounce or land), then move vertically (drop, tip over a floor
    // edge, change rows). An override adds to the tick or replaces it.
    virtual void update();
    // Called by update in the tick the domino comes to lie flat still
    // turning: it stops. An override puts its effect here.
    virtual void land();
    // Finished, for the exit check: not broken, and lying flat, resting
    // against a neighbour or out of play. An override may always be done.
    virtual bool isDone();
    // False; only the empty slot's placeholder answers true.
    virtual bool isBlank() { return false; }

    // What the designer's tools ask of any domino, each kind answering for
    // itself.

    // The letter the level file gives the kind.
    virtual char letter() const { return fileLetter; }
    // What the player sees of it straight from the front, where the camera
    // looks: kinds that share a face differ only on their broad sides. The
    // standard domino's face is plain yellow, and so is any kind that keeps
    // this answer.
    enum class Face { yellow, red, stripes, threeStripes, halves, band };
    virtual Face face() const { return Face::yellow; }
    // Writes the domino's whole state. An override calls this first, then
    // puts its own fields.
    virtual void save(DominoState& out) const;
    // Puts back a state that save wrote, read in the same order.
    virtual void restore(DominoState::Reader& in);
    // The cells its next update may look at or change, from where it is now:
    // the next cell each way in its row, and the one after it from the
    // strike on (the strike there, the look two cells on while lying); the
    // row below while it drops or has no floor, the row above while it
    // rises. An override widens it for what its own update reaches.
    virtual UpdateReach updateReach();
    // Where its fall may take it, for the solver's bound on what a chain can
    // reach: the standard domino only tips and drops.
    virtual FallScope fallScope() const { return {}; }
    // What the player's push does to it upright and still: the standard
    // domino falls and the push is spent.
    virtual PlayersPush playersPush() const { return PlayersPush::spendsThePush; }
    // A kind with a rule of its own that a level may do without, for the
    // designer's check that tries the level with a standard domino in its
    // place: every kind but the standard domino itself and the trigger.
    virtual bool isSpecial() const { return letter() != fileLetter; }
    // Its landing arms the level's exit check: only the trigger's does.
    virtual bool armsExitCheck() const { return false; }

    // In its cell's slot: not carried, vanished or left out by a collision.
    bool inPlay();

    // Enters slot top of c; in a taken slot the occupant booms and this
    // domino is left out of play.
    void enter(Cell* c);
    // The domino in slot top of the cell dx columns away in this row.
    Domino* neighbour(int dx, int top);
    // Moves to the cell dx columns and dy rows away, keeping its slot.
    void migrate(int dx, int dy);

    // Multiplies the matrix by the domino's placement for t: raised by elev,
    // a sixth of a row per step, and turned about its bottom edge on the side
    // it leans or starts to fall to.
    void rot(float t);
    // Draws the debris of a broken domino and returns false, else returns
    // true to have the body drawn.
    bool renderBroken(float t);
    // Hands the domino's position to the camera.
    void lookAtMe(float t);

protected:
    // A lean and the turn under way, as drawing and reach read them: the
    // domino's own, or one it keeps beside them (a splitter's other half).
    struct Posture {
        int angle;
        int speed;
    };
    Posture posture() const { return {angle, speed}; }

    void applyAccel();
    // The camera follows a domino that turns or flies, in posture p.
    void followIfMoving(float t, Posture p);
    void lookAtMe(float t, Posture p);
    // updateReach for the domino in posture p.
    UpdateReach reachIn(Posture p);
    void lean();
    void moveVertically();
    // Pushes the matrix, places the domino for t and, unless it is broken
    // (debris drawn instead), draws body in the domino's own frame.
    void renderPlaced(float t, void (*body)());
    // The same for the domino in posture p.
    void renderPlaced(float t, void (*body)(), Posture p);
    // rot with height and vertical in place of elev and fly: a body drawn
    // upside down, whose frame's y points down, passes them negated.
    void rotAt(float t, int height, int vertical);

private:
    void rotIn(float t, int height, int vertical, Posture p);
    void refused();
    void resume();
    void startDropping();
    bool mayTipOverEdge();
    void tipOverEdge();
    void changeRow();
};

void tetra();

#endif
