// Every way to solve one level with the fewest carries, and among them the
// fewest pushes, up to a limit of carries.
//
// A candidate is an arrangement (the dominoes after some carries, each a
// pick-up and a set-down on a free floor cell, made while nothing moves) and
// a program (the pushes from then on, see Program). A family is a program's
// pushes: which delays are pushed which way, and which domino the counting
// push fells which way. Within a family the programs differ by whether the
// counting push waits until nothing moves, by a delay carried on while it
// counts down, and by the pick-up after the push, its wait and its set-down.
//
// The search goes by rounds of carries: round k looks for every candidate
// that takes k carries in all. A play of a candidate reports its zone, the
// cells whose contents could have mattered (see Simulation), so:
// - an arrangement that holds the same dominoes in the zone of an earlier play
//   of the same program has its outcome, without a play;
// - only a carry into or out of the zone can change the play; so from an
//   arrangement the search only makes carries that touch the zone of one of
//   the family's programs played there, depth first, and any arrangement that
//   solves is reached that way: while it differs from the one played within
//   the zone, some carry it needs is one of those;
// - a carry out of the zone takes the domino in hand: it is set down, at no
//   further cost, once a later play's zone, or a domino next to it, gives it
//   a place, and meanwhile stands where nothing reaches it; a blocker may
//   stay there;
// - a pushed domino's cell is in every zone, so its first carry goes to any
//   free cell, and to any cell a domino still stands in, that one taken in
//   hand: a cell no play looks at while its domino stands there may be just
//   where the pushed one belongs;
// - a pick-up is tried only of a domino in the zone of the pushes alone (or
//   the one domino not done when the trigger landed), and set down again only
//   within the zone of the play that keeps it; a later grab only after a
//   moment the chain looked at that domino's cell;
// - a ChainBound cuts short the arrangements that cannot be joined into as
//   many chains as there are pushes within the carries left.
// Arrangements are kept per family with the carries they were explored for,
// so one reached again (the same carries in another order) is not explored
// twice.
//
// The families of a round are explored side by side on the team's threads,
// each by one thread; what they find is then accepted in one order, the same
// on any number of threads. A thorough search instead plays every candidate
// from the level's start through the game's main loop (Verifier), inferring
// nothing: every carry of every domino to every free cell, every program. It
// is slow, and the yardstick for the fast search.
#ifndef SOLVER_SEARCH_H
#define SOLVER_SEARCH_H

#include "chainbound.h"
#include "playteam.h"
#include "program.h"
#include "simulation.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct Carry {
    int domino;  // index in load order
    int from;    // cells, as in Terrain
    int to;
};

struct Solution {
    std::vector<Carry> carries;  // in the order the player makes them
    Program program;
    Outcome outcome;
    int ticks = 0;    // of the whole play, once the replay driver played it
    std::string key;  // the same for two ways that differ only by where a blocker is put out of the way
};

class Search {
public:
    // thorough: play every candidate from the level's start through the
    // game's main loop, inferring nothing. The team plays the level at
    // levelPath.
    Search(PlayTeam& team, const std::string& levelPath, bool thorough);
    ~Search();

    // Runs the rounds up to limit carries. Each solution found is handed to
    // accept, which plays it through the replay driver and may note the ticks
    // of its play; only accepted ones count. With fewPushes the search stops
    // at the first accepted one that makes at most that many pushes; -1 finds
    // every one. Returns the fewest carries of an accepted solution, or -1.
    int run(int limit, int fewPushes, const std::function<bool(Solution&)>& accept);

    // Accepted solutions with the fewest carries, one per distinct solution,
    // those with the fewest pushes first.
    const std::vector<Solution>& solutions() const { return found; }
    // The fewest pushes among them; -1 without one.
    int fewestPushes() const;
    // Distinct solutions found by the search but not accepted.
    int rejected() const { return refused; }
    // Plays of the simulation the search needed.
    int plays() const;
    // What each round took, one line a round, for designers who watch.
    const std::vector<std::string>& figures() const { return rounds; }

    // The whole script of a solution, from the level's start.
    std::vector<Action> script(const Solution& s);

private:
    struct Family;
    struct Node;
    class Variants;
    // The programs judged at an arrangement: each one's play, and its carries.
    using Judgements = std::vector<std::pair<const Outcome*, int>>;

    PlayTeam& team;
    std::string path;
    bool thorough;
    const LevelStart& start;
    Terrain terrain;
    ChainBound bound;
    const int keyBytes;  // bytes a cell takes in the keys of arrangements
    // By cell: whether it has floor, and the terrain's dropCells from it.
    std::vector<bool> floors;
    std::vector<std::vector<int>> drops;
    std::vector<std::unique_ptr<Family>> families;
    std::vector<Solution> found;
    int refused = 0;
    std::vector<std::string> rounds;

    void makeFamilies();
    void addFamilies(Program p, const std::vector<int>& delays, std::vector<int>& used);
    Node root() const;
    // Explores one family in round `round`.
    void explore(Family& f, int round, Simulation& sim);
    void visit(Family& f, const Node& n, int round, Simulation& sim);
    void layers(Family& f, int round, Simulation& sim);
    // The family's programs an arrangement affords with carries left, each
    // judged, with what each costs; the solutions that take exactly that
    // many go to the family.
    void judgeVariants(Family& f, const Node& n, int left, Simulation& sim, Judgements& judged);
    int judge(Family& f, const Node& n, const Program& p, Simulation& sim);
    int play(Family& f, const Node& n, const Program& p, Simulation& sim);
    // The carries from n: those that cost one touch zone, those from the hand
    // touch setDownZone.
    void children(const Family& f, const Node& n, const std::vector<bool>& seen,
                  const std::vector<bool>& zone, const std::vector<bool>& setDownZone,
                  std::vector<Node>& out) const;
    // A pushed domino's first carry into a cell another domino stands in.
    void displace(const Node& n, std::size_t pushedDomino, int to, const std::vector<bool>& reachable,
                  const std::function<bool(int)>& pushed, std::vector<Node>& out) const;
    void rebind(const Family& f, const Node& n, const std::vector<bool>& seen, std::vector<Node>& out) const;
    void boundsView(const Node& n, const std::vector<bool>& seen, ChainBound::Standing& s, int& inHand) const;
    bool hopeless(const Family& f, const Node& n, const std::vector<bool>& seen, int left) const;
    Program instance(const Family& f, const Node& n) const;
    int cellOf(const Node& n, int domino) const;
    void freeFloors(const Node& n, std::vector<bool>& free) const;
    bool putAway(Node& n, const Program& p, const Outcome& o) const;
    std::string keyOf(const Node& n, const Program& p, const Outcome& o) const;
    bool order(const Node& n, const Program& p, std::vector<Carry>& carries);
    std::vector<Action> carriesScript(const std::vector<Carry>& carries, int to);
    Outcome replayed(const Node& n, const Program& p);
    std::string roundFigures(int round) const;
    void acceptRound(int round, int fewPushes, const std::function<bool(Solution&)>& accept, bool& stop);
};

#endif
