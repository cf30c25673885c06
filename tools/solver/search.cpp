#include "search.h"
#include "verifier.h"

#include "blocker.h"
#include "delay.h"

#include <algorithm>

namespace {

// Two delays pushed before the counting push are the most any level needs so
// far; every order and direction of them is tried.
const int maxDelayPushes = 2;

bool touches(const std::vector<bool>& zone, const Carry& c)
{
    return zone[c.from] || zone[c.to];
}

}  // namespace

Search::Search(PlayTeam& team, const std::string& levelPath, bool thorough)
    : team(team), path(levelPath), thorough(thorough), start(team.start()), terrain(team.terrain())
{
    State first{start.where, {}, start.entrance, 0};
    first.arrangement = arrangementId(first.where);
    layers.push_back({first});
}

int Search::arrangementId(const std::vector<int>& where)
{
    return arrangements.emplace(where, static_cast<int>(arrangements.size())).first->second;
}

int Search::programId(const Program& p)
{
    return programs.emplace(p.key(), static_cast<int>(programs.size())).first->second;
}

int Search::dominoAt(const std::vector<int>& where, int cell) const
{
    for (std::size_t i = 0; i < where.size(); i++)
        if (where[i] == cell)
            return static_cast<int>(i);
    return -1;
}

// Every carry from every state of the last layer: a domino that has not been
// carried yet (carrying one twice is one carry from its first cell to its
// last) from a cell the player gets to, to a free floor cell the player gets
// to with it. States with the same dominoes where the player gets to the same
// cells are one state.
void Search::buildLayer(int depth)
{
    std::map<std::pair<int, int>, bool> seen;
    std::vector<State> next;
    for (const State& s : layers[depth - 1]) {
        const std::vector<bool>& reach = terrain.reach(s.at, false);
        for (std::size_t i = 0; i < s.where.size(); i++) {
            const int from = s.where[i];
            const bool carriedBefore = from != start.where[i];
            if (from < 0 || !start.movable[i] || carriedBefore || !reach[from])
                continue;
            const std::vector<bool>& carryReach = terrain.reach(from, true);
            for (int to = 0; to < terrain.size(); to++) {
                if (to == from || !carryReach[to] || !terrain.hasFloor(to) || dominoAt(s.where, to) >= 0)
                    continue;
                State t = s;
                t.where[i] = to;
                t.carries.push_back({static_cast<int>(i), from, to});
                t.at = to;
                t.arrangement = arrangementId(t.where);
                if (seen.emplace(std::make_pair(t.arrangement, terrain.reachId(to)), true).second)
                    next.push_back(std::move(t));
            }
        }
    }
    layers.push_back(std::move(next));
}

std::vector<Program> Search::programsFor(const State& s, int cost)
{
    std::vector<Program> out;
    addPrograms(s, cost, Program{}, s.at, out);
    return out;
}

// Delays first, in every order and both ways, each left to fall where it
// stands or carried on while it counts down; then a counting push of any
// other domino that falls (or none, after a delay); then a pick-up.
void Search::addPrograms(const State& s, int cost, Program p, int at, std::vector<Program>& out)
{
    const std::vector<bool>& reach = terrain.reach(at, false);
    auto used = [&](int cell) {
        const std::vector<int> cells = p.cells();
        return std::find(cells.begin(), cells.end(), cell) != cells.end();
    };
    for (std::size_t i = 0; i < s.where.size(); i++) {
        const int cell = s.where[i];
        if (cell < 0 || !start.movable[i] || !reach[cell] || used(cell))
            continue;
        const char kind = start.kinds[i];
        for (int direction : {-1, 1}) {
            if (kind == Delay::fileLetter && static_cast<int>(p.delays.size()) < maxDelayPushes
                && p.push < 0) {
                Program withDelay = p;
                withDelay.delays.push_back({cell, direction});
                addPrograms(s, cost, withDelay, cell, out);
                if (withDelay.cost() < cost) {
                    const std::vector<bool>& carryReach = terrain.reach(cell, true);
                    for (int to = 0; to < terrain.size(); to++) {
                        if (to == cell || !carryReach[to] || !terrain.hasFloor(to)
                            || dominoAt(s.where, to) >= 0 || used(to))
                            continue;
                        Program carried = p;
                        carried.delays.push_back({cell, direction, to});
                        addPrograms(s, cost, carried, to, out);
                    }
                }
            } else if (kind != Delay::fileLetter && kind != Blocker::fileLetter && p.push < 0) {
                Program pushed = p;
                pushed.push = cell;
                pushed.direction = direction;
                addPickUps(s, cost, pushed, cell, out);
            }
        }
    }
    if (!p.delays.empty() && p.push < 0)
        addPickUps(s, cost, p, at, out);
}

void Search::addPickUps(const State& s, int cost, const Program& p, int at, std::vector<Program>& out)
{
    if (p.cost() == cost)
        out.push_back(p);
    if (p.cost() + 1 != cost)
        return;
    const std::vector<bool>& reach = terrain.reach(at, false);
    const std::vector<int> cells = p.cells();
    auto used = [&](int cell) { return std::find(cells.begin(), cells.end(), cell) != cells.end(); };
    for (std::size_t i = 0; i < s.where.size(); i++) {
        const int cell = s.where[i];
        if (cell < 0 || !start.movable[i] || !reach[cell] || used(cell))
            continue;
        Program picking = p;
        picking.pickUp = cell;
        out.push_back(picking);
        const std::vector<bool>& carryReach = terrain.reach(cell, true);
        for (int to = 0; to < terrain.size(); to++) {
            if (to == cell || !carryReach[to] || !terrain.hasFloor(to) || dominoAt(s.where, to) >= 0
                || used(to))
                continue;
            Program moving = picking;
            moving.setDown = to;
            out.push_back(moving);
        }
    }
}

int Search::run(int limit, bool firstOnly, const std::function<bool(Solution&)>& accept)
{
    for (int round = 0; round <= limit; round++) {
        for (int depth = 0; depth <= round; depth++) {
            if (depth == static_cast<int>(layers.size()))
                buildLayer(depth);
            // Verdicts on the last layer are never looked up again.
            const bool remember = depth < limit;
            std::vector<Candidate> candidates;
            for (const State& s : layers[depth])
                for (const Program& p : programsFor(s, round - depth))
                    candidates.push_back(candidate(s, p, remember));
            judgeAll(candidates);
            for (const Candidate& c : candidates)
                if (conclude(c, firstOnly, accept))
                    return round;
        }
        if (!found.empty())
            return round;
    }
    return -1;
}

int Search::plays() const
{
    int n = 0;
    for (const auto& [key, f] : families)
        n += f.played;
    return n;
}

// A family is the counting push and the delays: the program without its
// pick-up and set-down.
Search::Candidate Search::candidate(const State& s, const Program& p, bool remember)
{
    Program pushesOnly = p;
    pushesOnly.pickUp = pushesOnly.setDown = -1;
    Program keeping = p;
    keeping.setDown = -1;
    Candidate c{&s, p, programId(p), -1, -1, &families[pushesOnly.key()], remember};
    if (p.setDown >= 0)
        c.keepingPid = programId(keeping);
    if (p.pickUp >= 0)
        c.pushesOnlyPid = programId(pushesOnly);
    return c;
}

void Search::judgeAll(std::vector<Candidate>& round)
{
    std::map<Family*, std::vector<Candidate*>> byFamily;
    for (Candidate& c : round)
        byFamily[c.family].push_back(&c);
    std::vector<std::vector<Candidate*>*> lists;
    for (auto& [family, list] : byFamily)
        lists.push_back(&list);
    // The largest families first, so that no thread is left with a long one
    // at the end.
    std::stable_sort(lists.begin(), lists.end(), [](auto* a, auto* b) { return a->size() > b->size(); });
    team.forEach(static_cast<int>(lists.size()), [&](int i, Simulation& sim) {
        for (Candidate* c : *lists[i])
            c->verdict = evaluate(*c, sim);
    });
}

bool Search::conclude(const Candidate& c, bool firstOnly, const std::function<bool(Solution&)>& accept)
{
    const State& s = *c.state;
    const Outcome& outcome = c.family->records[c.verdict.record].outcome;
    if (!c.verdict.minimal || !outcome.solved || keepingSolves(c))
        return false;
    // Alike dominoes swapped make the same solution: one that played is
    // enough, one that did not may play the other way.
    const std::string key = solutionKey(s, c.program);
    if (distinct[key])
        return false;
    Solution solution{s.carries, c.program, outcome};
    distinct[key] = accept(solution);
    if (!distinct[key])
        return false;
    found.push_back(solution);
    return firstOnly;
}

Search::Verdict Search::evaluate(Candidate& c, Simulation& sim)
{
    Family& f = *c.family;
    const long long key = static_cast<long long>(c.state->arrangement) * (1LL << 32) + c.pid;
    const auto known = f.memo.find(key);
    if (known != f.memo.end())
        return {known->second, !f.notMinimal.count(key)};
    const Verdict v = judge(c, sim);
    if (c.remember) {
        f.memo[key] = v.record;
        if (!v.minimal)
            f.notMinimal.insert(key);
    }
    return v;
}

Search::Verdict Search::judge(Candidate& c, Simulation& sim)
{
    Family& f = *c.family;
    const State& s = *c.state;
    if (thorough) {
        f.played++;
        return {addRecord(f, s.where, replayed(c)), true};
    }
    int r = inherited(c);
    if (r >= 0)
        return {r, false};
    r = matching(c);
    if (r >= 0)
        return {r, true};
    if (c.program.setDown >= 0 && setDownIsAside(c))
        return setDownAside(c);
    if (c.program.pickUp >= 0 && c.program.setDown < 0 && pickUpIsUseless(c))
        return {uselessPickUp(c), true};
    f.played++;
    r = addRecord(f, s.where, sim.play(s.where, c.program));
    index(f, c.pid, r);
    return {r, true};
}

// The same candidate as Simulation::play judges it, both ways home, but
// walked from the level's start through the main loop.
Outcome Search::replayed(const Candidate& c)
{
    Outcome o;
    o.zone.assign(terrain.size(), true);
    std::vector<Action> script = carriesScript(c.state->carries, c.program.firstCell());
    const std::size_t before = script.size();
    if (!c.program.actions(terrain, script)) {
        o.why = "no way to walk between the pushes";
        return o;
    }
    Verifier::Result r = Verifier::play(path, script, Homeward::Policy::WaitThenWalk, start.exit);
    if (r.failedOnTheWay)
        r = Verifier::play(path, script, Homeward::Policy::HeadForExit, start.exit);
    o.solved = r.solved;
    o.why = r.why;
    o.ticks = r.ticks;
    o.played.assign(r.played.begin() + before, r.played.end());
    return o;
}

// Only a solution's script is ever read again.
int Search::addRecord(Family& f, const std::vector<int>& where, Outcome outcome)
{
    if (!outcome.solved) {
        outcome.played = {};
        outcome.why = {};
    }
    f.records.push_back({where, std::move(outcome)});
    return static_cast<int>(f.records.size()) - 1;
}

int Search::rejected() const
{
    int n = 0;
    for (const auto& [key, accepted] : distinct)
        n += !accepted;
    return n;
}

int Search::recordOf(const Family& f, int arrangement, int pid) const
{
    const auto m = f.memo.find(static_cast<long long>(arrangement) * (1LL << 32) + pid);
    return m == f.memo.end() ? -1 : m->second;
}

// A carry outside the zone of the same program played without it plays as
// that: no solution, or one with fewer carries. Any carry may be taken back
// whose cells no later carry used.
int Search::inherited(const Candidate& c)
{
    const State& s = *c.state;
    for (std::size_t k = 0; k < s.carries.size(); k++) {
        const Carry& carry = s.carries[k];
        bool usedLater = false;
        for (std::size_t l = k + 1; l < s.carries.size(); l++)
            usedLater = usedLater || s.carries[l].from == carry.to || s.carries[l].to == carry.from;
        if (usedLater)
            continue;
        std::vector<int> without = s.where;
        without[carry.domino] = carry.from;
        const auto a = arrangements.find(without);
        if (a == arrangements.end())
            continue;
        const int r = recordOf(*c.family, a->second, c.pid);
        if (r >= 0 && !touches(c.family->records[r].outcome.zone, carry))
            return r;
    }
    return -1;
}

// An earlier play of the program whose arrangement holds the same dominoes in
// every cell of its zone.
int Search::matching(const Candidate& c)
{
    Family& f = *c.family;
    const auto zones = f.byProgram.find(c.pid);
    if (zones == f.byProgram.end())
        return -1;
    for (const ZoneIndex& z : zones->second) {
        const auto r = z.records.find(inZone(c.state->where, z.zone));
        if (r != z.records.end())
            return r->second;
    }
    return -1;
}

void Search::index(Family& f, int pid, int record)
{
    const Record& rec = f.records[record];
    const std::vector<bool>& zone = rec.outcome.zone;
    std::vector<ZoneIndex>& zones = f.byProgram[pid];
    auto z = std::find_if(zones.begin(), zones.end(), [&](const ZoneIndex& i) { return i.zone == zone; });
    if (z == zones.end())
        z = zones.insert(zones.end(), ZoneIndex{zone, {}});
    z->records.emplace(inZone(rec.where, zone), record);
}

// Which domino stands in which cell of the zone, and no more: two
// arrangements with the same text play alike.
std::string Search::inZone(const std::vector<int>& where, const std::vector<bool>& zone) const
{
    std::string key;
    for (int cell : where) {
        const int kept = cell >= 0 && zone[cell] ? cell : -1;
        key += char(kept & 0xff);
        key += char(kept >> 8);
    }
    return key;
}

// The pick-up of a domino that the program without it never touched, when at
// no landing of a trigger it was the only domino not done.
bool Search::pickUpIsUseless(const Candidate& c)
{
    const int without = recordOf(*c.family, c.state->arrangement, c.pushesOnlyPid);
    if (without < 0 || c.family->records[without].outcome.zone[c.program.pickUp])
        return false;
    const int picked = dominoAt(c.state->where, c.program.pickUp);
    for (const std::vector<int>& undone : c.family->records[without].outcome.landings)
        if (undone.empty() || (undone.size() == 1 && undone[0] == picked))
            return false;
    return true;
}

// Such a pick-up's failed record, whose zone adds the pick-up's cell.
int Search::uselessPickUp(const Candidate& c)
{
    Family& f = *c.family;
    Outcome o;
    o.zone = f.records[recordOf(f, c.state->arrangement, c.pushesOnlyPid)].outcome.zone;
    o.zone[c.program.pickUp] = true;
    o.why = "the picked-up domino was never in the chain's way";
    return addRecord(f, {}, o);
}

// Setting a picked-up domino down again is another solution only where
// keeping it is none.
bool Search::keepingSolves(const Candidate& c)
{
    if (c.program.setDown < 0)
        return false;
    const int kept = recordOf(*c.family, c.state->arrangement, c.keepingPid);
    return kept >= 0 && c.family->records[kept].outcome.solved;
}

// A picked-up domino set down again outside the zone of the same program
// that keeps it: nothing that moves comes near it, so it stands there as it
// was set down.
bool Search::setDownIsAside(const Candidate& c)
{
    const int kept = recordOf(*c.family, c.state->arrangement, c.keepingPid);
    return kept >= 0 && !c.family->records[kept].outcome.zone[c.program.setDown];
}

// A blocker set down aside plays as one kept: no other solution; any other
// kind is never done: no solution.
Search::Verdict Search::setDownAside(const Candidate& c)
{
    Family& f = *c.family;
    const int kept = recordOf(f, c.state->arrangement, c.keepingPid);
    if (start.kinds[dominoAt(c.state->where, c.program.pickUp)] == Blocker::fileLetter)
        return {kept, false};
    Outcome o;
    o.zone = f.records[kept].outcome.zone;
    o.zone[c.program.setDown] = true;
    o.why = "the domino set down again stands where nothing comes near it";
    return {addRecord(f, {}, o), true};
}

std::string Search::solutionKey(const State& s, const Program& p) const
{
    std::string key(terrain.size(), ' ');
    for (std::size_t i = 0; i < s.where.size(); i++)
        if (s.where[i] >= 0)
            key[s.where[i]] = start.kinds[i];
    return key + p.key();
}

// From the level's start: the carries, and the walk to where the first push
// is made.
std::vector<Action> Search::carriesScript(const std::vector<Carry>& carries, int to)
{
    std::vector<Action> out;
    if (start.waitAtStart)
        out.push_back(makeAction(Action::WaitStill));
    int at = start.entrance;
    for (const Carry& c : carries) {
        terrain.route(at, c.from, false, out);
        out.push_back(makeAction(Action::Grab));
        terrain.route(c.from, c.to, true, out);
        out.push_back(makeAction(Action::Grab));
        at = c.to;
    }
    terrain.route(at, to, false, out);
    return out;
}

std::vector<Action> Search::script(const Solution& s)
{
    std::vector<Action> out = carriesScript(s.carries, s.program.firstCell());
    out.insert(out.end(), s.outcome.played.begin(), s.outcome.played.end());
    return out;
}
