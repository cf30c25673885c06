#include "search.h"
#include "verifier.h"

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

Search::Search(Simulation& simulation, bool thorough)
    : sim(simulation), thorough(thorough), start(simulation.start()), terrain(simulation.terrain())
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
            if (kind == 'D' && static_cast<int>(p.delays.size()) < maxDelayPushes && p.push < 0) {
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
            } else if (kind != 'D' && kind != 'W' && p.push < 0) {
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
            for (const State& s : layers[depth])
                for (const Program& p : programsFor(s, round - depth)) {
                    const Verdict v = evaluate(s, p, programId(p), remember);
                    if (!v.minimal || !records[v.record].outcome.solved || keepingSolves(s, p))
                        continue;
                    // Alike dominoes swapped make the same solution: one that
                    // played is enough, one that did not may play the other way.
                    const std::string key = solutionKey(s, p);
                    if (distinct[key])
                        continue;
                    Solution solution{s.carries, p, records[v.record].outcome};
                    distinct[key] = accept(solution);
                    if (!distinct[key])
                        continue;
                    found.push_back(solution);
                    if (firstOnly)
                        return round;
                }
        }
        if (!found.empty())
            return round;
    }
    return -1;
}

Search::Verdict Search::evaluate(const State& s, const Program& p, int pid, bool remember)
{
    const long long key = static_cast<long long>(s.arrangement) * (1LL << 32) + pid;
    const auto known = memo.find(key);
    if (known != memo.end())
        return {known->second, !notMinimal.count(key)};
    const Verdict v = judge(s, p, pid);
    if (remember) {
        memo[key] = v.record;
        if (!v.minimal)
            notMinimal.insert(key);
    }
    return v;
}

Search::Verdict Search::judge(const State& s, const Program& p, int pid)
{
    if (thorough) {
        played++;
        return {addRecord(s.where, replayed(s, p)), true};
    }
    int r = inherited(s, pid);
    if (r >= 0)
        return {r, false};
    r = matching(s, pid);
    if (r >= 0)
        return {r, true};
    if (p.setDown >= 0) {
        const Verdict kept = setDownAside(s, p);
        if (kept.record >= 0)
            return kept;
    }
    if (p.pickUp >= 0 && p.setDown < 0) {
        r = uselessPickUp(s, p);
        if (r >= 0)
            return {r, true};
    }
    played++;
    r = addRecord(s.where, sim.play(s.where, p));
    index(pid, r);
    return {r, true};
}

// Only a solution's script is ever read again.
int Search::addRecord(const std::vector<int>& where, Outcome outcome)
{
    if (!outcome.solved) {
        outcome.played = {};
        outcome.why = {};
    }
    records.push_back({where, std::move(outcome)});
    return static_cast<int>(records.size()) - 1;
}

int Search::rejected() const
{
    int n = 0;
    for (const auto& [key, accepted] : distinct)
        n += !accepted;
    return n;
}

// A carry outside the zone of the same program played without it plays as
// that: no solution, or one with fewer carries. Any carry may be taken back
// whose cells no later carry used.
int Search::inherited(const State& s, int pid)
{
    for (std::size_t k = 0; k < s.carries.size(); k++) {
        const Carry& c = s.carries[k];
        bool usedLater = false;
        for (std::size_t l = k + 1; l < s.carries.size(); l++)
            usedLater = usedLater || s.carries[l].from == c.to || s.carries[l].to == c.from;
        if (usedLater)
            continue;
        std::vector<int> without = s.where;
        without[c.domino] = c.from;
        const auto a = arrangements.find(without);
        if (a == arrangements.end())
            continue;
        const auto m = memo.find(static_cast<long long>(a->second) * (1LL << 32) + pid);
        if (m != memo.end() && !touches(records[m->second].outcome.zone, c))
            return m->second;
    }
    return -1;
}

// An earlier play of the program whose arrangement holds the same dominoes in
// every cell of its zone.
int Search::matching(const State& s, int pid)
{
    for (const ZoneIndex& z : byProgram[pid]) {
        const auto r = z.records.find(inZone(s.where, z.zone));
        if (r != z.records.end())
            return r->second;
    }
    return -1;
}

void Search::index(int pid, int record)
{
    const Record& rec = records[record];
    const std::vector<bool>& zone = rec.outcome.zone;
    std::vector<ZoneIndex>& zones = byProgram[pid];
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
// no landing of a trigger it was the only domino not done: a failed record
// whose zone adds the pick-up's cell, or -1 when that cannot be told.
int Search::uselessPickUp(const State& s, const Program& p)
{
    Program pushesOnly = p;
    pushesOnly.pickUp = -1;
    const auto m = memo.find(static_cast<long long>(s.arrangement) * (1LL << 32) + programId(pushesOnly));
    if (m == memo.end())
        return -1;
    const Outcome& without = records[m->second].outcome;
    const int picked = dominoAt(s.where, p.pickUp);
    if (without.zone[p.pickUp])
        return -1;
    for (const std::vector<int>& undone : without.landings)
        if (undone.empty() || (undone.size() == 1 && undone[0] == picked))
            return -1;
    Outcome o;
    o.zone = without.zone;
    o.zone[p.pickUp] = true;
    o.why = "the picked-up domino was never in the chain's way";
    return addRecord({}, o);
}

// Setting a picked-up domino down again is another solution only where
// keeping it is none.
bool Search::keepingSolves(const State& s, const Program& p)
{
    if (p.setDown < 0)
        return false;
    Program keeping = p;
    keeping.setDown = -1;
    const auto m = memo.find(static_cast<long long>(s.arrangement) * (1LL << 32) + programId(keeping));
    return m != memo.end() && records[m->second].outcome.solved;
}

// A picked-up domino set down again outside the zone of the same program
// that keeps it: nothing that moves comes near it, so it stands there as
// it was set down. A blocker so set down plays as one kept: no other
// solution; any other kind is never done: no solution. -1 as the record when
// that cannot be told.
Search::Verdict Search::setDownAside(const State& s, const Program& p)
{
    Program keeping = p;
    keeping.setDown = -1;
    const auto m = memo.find(static_cast<long long>(s.arrangement) * (1LL << 32) + programId(keeping));
    if (m == memo.end() || records[m->second].outcome.zone[p.setDown])
        return {-1, true};
    if (start.kinds[dominoAt(s.where, p.pickUp)] == 'W')
        return {m->second, false};
    Outcome o;
    o.zone = records[m->second].outcome.zone;
    o.zone[p.setDown] = true;
    o.why = "the domino set down again stands where nothing comes near it";
    return {addRecord({}, o), true};
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

// The same candidate as Simulation::play judges it, both ways home, but
// walked from the level's start through the main loop.
Outcome Search::replayed(const State& s, const Program& p)
{
    Outcome o;
    o.zone.assign(terrain.size(), true);
    std::vector<Action> script = carriesScript(s.carries, p.firstCell());
    const std::size_t before = script.size();
    if (!p.actions(terrain, script)) {
        o.why = "no way to walk between the pushes";
        return o;
    }
    const std::string& path = sim.levelPath();
    Verifier::Result r = Verifier::play(path, script, Homeward::Policy::WaitThenWalk, start.exit);
    if (r.failedOnTheWay)
        r = Verifier::play(path, script, Homeward::Policy::HeadForExit, start.exit);
    o.solved = r.solved;
    o.why = r.why;
    o.ticks = r.ticks;
    o.played.assign(r.played.begin() + before, r.played.end());
    return o;
}
