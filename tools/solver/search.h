// Every way to solve one level with the fewest carries, up to a limit.
//
// A candidate is an arrangement (the dominoes after some carries, each a
// pick-up and a set-down on a free floor cell, made while nothing moves,
// walking as the player walks) and a program (the pushes from then on, see
// Program). The search goes by rounds of carries: round k tries every
// arrangement of j carries with every program that takes the other k - j
// (a Delay carried on, a pick-up), and stops after the first round in which
// anything solves the level.
//
// Plays are shared between candidates through zones (see Simulation): two
// arrangements that hold the same dominoes in the cells of a play's zone play
// alike. From that, without playing:
// - a candidate whose arrangement matches an earlier play of the same
//   program on that play's zone has the earlier outcome;
// - a candidate whose carry (from and to) lies outside the zone of the same
//   program played without that carry cannot be a solution with the fewest
//   carries: it plays as the arrangement without the carry, which the player
//   could have left as it was (the player's reach only shrinks with every
//   carry, as a carry never falls), and so it is no solution or one with a
//   carry fewer, found a round earlier;
// - a pick-up of a domino outside the zone of the program without it cannot
//   help unless, at some moment a trigger came to lie flat, that domino was
//   the only one not done: it stood untouched through the play, and taking it
//   away changes nothing but that;
// - a picked-up domino set down again outside the zone of the program that
//   keeps it stands there untouched: a blocker so set down is the same
//   solution as one kept, any other domino is never done.
// Everything else is played.
//
// Every inference above looks only at plays of programs with the same delay
// pushes and counting push (with or without the pick-up and its set-down):
// one family of programs. So the families of a round are judged side by side
// on the team's threads, each family in order by one thread, and the
// solutions are then taken in the order of the candidates, as one thread
// would take them: what the search finds, and how many plays it needs, is
// the same on any number of threads.
#ifndef SOLVER_SEARCH_H
#define SOLVER_SEARCH_H

#include "playteam.h"
#include "program.h"
#include "simulation.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
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
    int ticks = 0;  // of the whole play, once the replay driver played it
};

class Search {
public:
    // thorough: play every candidate from the level's start through the
    // game's main loop (Verifier), inferring nothing; slow, and the yardstick
    // for the fast search. The team plays the level at levelPath.
    Search(PlayTeam& team, const std::string& levelPath, bool thorough);

    // Runs the rounds up to limit carries. Each solution found is handed to
    // accept, which plays it through the replay driver and may note the ticks
    // of its play; only accepted ones count. With firstOnly the search stops
    // at the first accepted one. Returns the fewest carries of an accepted
    // solution, or -1.
    int run(int limit, bool firstOnly, const std::function<bool(Solution&)>& accept);

    // Accepted solutions with the fewest carries, one per distinct solution.
    const std::vector<Solution>& solutions() const { return found; }
    // Distinct solutions found by the search but not accepted.
    int rejected() const;
    // Plays of the simulation the search needed.
    int plays() const;

    // The whole script of a solution, from the level's start.
    std::vector<Action> script(const Solution& s);

private:
    struct State {
        std::vector<int> where;  // each domino's cell
        std::vector<Carry> carries;
        int at;           // where the player stands after the carries
        int arrangement;  // id of where
    };
    struct Record {
        std::vector<int> where;  // the arrangement played; empty for one inferred
        Outcome outcome;
    };
    struct Verdict {
        int record;    // in the candidate's family
        bool minimal;  // false when inferred to be no solution with the fewest carries
    };
    // The records of one program whose plays had the same zone, by what their
    // arrangements held in it.
    struct ZoneIndex {
        std::vector<bool> zone;
        std::unordered_map<std::string, int> records;
    };
    // What is known of one family of programs, used by one thread at a time.
    struct Family {
        std::unordered_map<long long, int> memo;  // arrangement and program id -> record
        std::unordered_set<long long> notMinimal;
        std::map<int, std::vector<ZoneIndex>> byProgram;  // program id -> its plays' zones
        std::deque<Record> records;
        int played = 0;
    };
    // One arrangement with one program, and the programs of its family that
    // its verdict may be inferred from.
    struct Candidate {
        const State* state;
        Program program;
        int pid;
        int keepingPid;     // the same program keeping the domino it picks up; -1 without a set-down
        int pushesOnlyPid;  // the same program without its pick-up; -1 without one
        Family* family;
        bool remember;  // its verdict is kept for later candidates
        Verdict verdict = {-1, true};
    };

    PlayTeam& team;
    std::string path;
    bool thorough;
    const LevelStart& start;
    Terrain terrain;
    std::vector<std::vector<State>> layers;
    std::map<std::vector<int>, int> arrangements;
    std::map<std::string, int> programs;
    std::map<std::string, Family> families;  // by the key of their counting push and delays
    std::vector<Solution> found;
    std::map<std::string, bool> distinct;  // solution keys seen, and whether one was accepted

    int arrangementId(const std::vector<int>& where);
    int programId(const Program& p);
    void buildLayer(int depth);
    std::vector<Program> programsFor(const State& s, int cost);
    void addPrograms(const State& s, int cost, Program p, int at, std::vector<Program>& out);
    void addPickUps(const State& s, int cost, const Program& p, int at, std::vector<Program>& out);
    int dominoAt(const std::vector<int>& where, int cell) const;
    Candidate candidate(const State& s, const Program& p, bool remember);
    // Judges the candidates of every family on the team, each family in
    // order on one thread.
    void judgeAll(std::vector<Candidate>& round);
    // Hands a new solution among the judged candidates to accept; true when
    // the search is to stop there (firstOnly).
    bool conclude(const Candidate& c, bool firstOnly, const std::function<bool(Solution&)>& accept);
    // The record of a candidate, played or inferred; remembered for later
    // candidates unless c.remember is false.
    Verdict evaluate(Candidate& c, Simulation& sim);
    Verdict judge(Candidate& c, Simulation& sim);
    Outcome replayed(const Candidate& c);
    int addRecord(Family& f, const std::vector<int>& where, Outcome outcome);
    // The record of the arrangement with the program, or -1 when there is
    // none (yet).
    int recordOf(const Family& f, int arrangement, int pid) const;
    int inherited(const Candidate& c);
    int matching(const Candidate& c);
    void index(Family& f, int pid, int record);
    std::string inZone(const std::vector<int>& where, const std::vector<bool>& zone) const;
    bool pickUpIsUseless(const Candidate& c);
    int uselessPickUp(const Candidate& c);
    bool setDownIsAside(const Candidate& c);
    Verdict setDownAside(const Candidate& c);
    bool keepingSolves(const Candidate& c);
    std::vector<Action> carriesScript(const std::vector<Carry>& carries, int to);
    std::string solutionKey(const State& s, const Program& p) const;
};

#endif
