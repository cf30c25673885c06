#include "search.h"
#include "fingerprinttable.h"
#include "verifier.h"

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

// Two delays pushed before the counting push are the most any level needs so
// far; every order and direction of them is tried.
const int maxDelayPushes = 2;

// Later grabs tried after the first, each after another look at the cell.
const int laterGrabs = 3;

// Cells and dominoes as the bytes of a key, one or two a value (-1 for
// none included): one while the terrain has fewer than 255 cells.
void appendKey(std::string& key, int value, int bytes)
{
    key += static_cast<char>(value & 0xff);
    if (bytes > 1)
        key += static_cast<char>((value >> 8) & 0xff);
}

// Approximate bytes on the heap, for the round's figures: a block costs its
// size and the allocator's 16 bytes; a hash table its buckets and one block
// per entry (key, value, link and kept hash).
long long heapBytes(const std::string& s)
{
    return s.capacity() > 15 ? static_cast<long long>(s.capacity()) + 17 : 0;
}

template <class T>
long long heapBytes(const std::vector<T>& v)
{
    return v.capacity() ? static_cast<long long>(v.capacity() * sizeof(T)) + 16 : 0;
}

long long heapBytes(const std::vector<bool>& v)
{
    return v.capacity() ? static_cast<long long>(v.capacity() / 8) + 16 : 0;
}

long long heapBytes(const Outcome& o)
{
    long long b = heapBytes(o.why) + heapBytes(o.zone) + heapBytes(o.landings) + heapBytes(o.played)
        + heapBytes(o.looks);
    for (const std::vector<int>& undone : o.landings)
        b += heapBytes(undone);
    for (const Action& a : o.played)
        b += heapBytes(a.text);
    return b;
}

template <class V>
long long heapBytes(const std::unordered_map<std::string, V>& m)
{
    long long b = static_cast<long long>(m.bucket_count() * sizeof(void*));
    for (const auto& [key, value] : m)
        b += static_cast<long long>(sizeof(key) + sizeof(value) + 2 * sizeof(void*)) + 16 + heapBytes(key);
    return b;
}

// An outcome that does not solve is kept only with what the search reads of
// it again (a solution's is kept whole), so that many plays leave the same
// one: the zone and the moments of its pick-up and set-down; of the pushes
// without a pick-up, the looks and the landings with at most one domino not
// done (all a pick-up's choice reads); of a set-down, the first later looks
// at its cell (the waits it leaves); of all but a set-down, the moment of
// rest (a late grab's or drop's wait).
void keepWhatIsReadAgain(Outcome& o, const Program& p)
{
    if (o.solved)
        return;
    o.played = {};
    o.why = {};
    o.ticks = 0;
    o.failedOnTheWay = false;
    if (p.pickUp >= 0)
        o.landings = {};
    if (p.setDown >= 0)
        o.rested = -1;
    auto crowded = [](const std::vector<int>& undone) { return undone.size() > 1; };
    o.landings.erase(std::remove_if(o.landings.begin(), o.landings.end(), crowded), o.landings.end());
    o.landings.shrink_to_fit();
    if (p.setDown >= 0) {
        auto elsewhere = [&](const std::pair<int, int>& look) {
            return look.first != p.setDown || look.second < o.setDown || o.setDown < 0;
        };
        o.looks.erase(std::remove_if(o.looks.begin(), o.looks.end(), elsewhere), o.looks.end());
        if (o.looks.size() > static_cast<std::size_t>(laterGrabs))
            o.looks.resize(laterGrabs);
    } else if (p.pickUp >= 0) {
        o.looks.clear();
    }
    o.looks.shrink_to_fit();
}

// Two kept outcomes that do not solve and say the same.
bool sameUnsolved(const Outcome& a, const Outcome& b)
{
    return !a.solved && !b.solved && a.zone == b.zone && a.grabbed == b.grabbed && a.setDown == b.setDown
        && a.rested == b.rested && a.landings == b.landings && a.looks == b.looks;
}

std::size_t contentHash(const Outcome& o)
{
    std::size_t h = std::hash<std::vector<bool>>()(o.zone);
    auto mix = [&h](long long v) {
        h ^= std::hash<long long>()(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    };
    mix(o.grabbed);
    mix(o.setDown);
    mix(o.rested);
    for (const std::vector<int>& undone : o.landings) {
        mix(-2);
        for (int i : undone)
            mix(i);
    }
    for (const auto& [cell, tick] : o.looks)
        mix((static_cast<long long>(cell) << 32) ^ tick);
    return h;
}

}  // namespace

// An arrangement as the search builds it: where each domino stands, and for
// each whether it has been carried. One carried out of the way is in hand:
// it is in no cell, as if it stood where nothing reaches it, until the search
// sets it down (one that never has to fall may stay there: see acceptRound).
// One carried from a cell no play on the way here looked at stands in for
// any such domino of its kind: which one was taken is decided only once a
// play looks at one of their cells.
struct Search::Node {
    enum Carried : char { no, placed, inHand, standIn };
    std::vector<int> where;
    std::vector<Carried> carried;
    std::vector<bool> seen;  // cells a play on the way here looked at
    int cost = 0;            // carries made

    // A copy to make a carry in, all but seen, which the search gives it.
    Node carriedOn() const
    {
        Node next;
        next.where = where;
        next.carried = carried;
        next.cost = cost;
        return next;
    }

    std::string key(int bytes) const
    {
        std::string k;
        for (std::size_t i = 0; i < where.size(); i++) {
            appendKey(k, where[i], bytes);
            k += carried[i];
        }
        for (std::size_t c = 0; c < seen.size(); c += 8) {
            char bits = 0;
            for (std::size_t b = 0; b < 8 && c + b < seen.size(); b++)
                bits = static_cast<char>(bits | (seen[c + b] << b));
            k += bits;
        }
        return k;
    }
    // Where the dominoes stand, all a play depends on.
    std::string arrangement(int bytes) const
    {
        std::string k;
        for (int cell : where)
            appendKey(k, cell, bytes);
        return k;
    }
};

// What is known of one family: its pushes, the plays of its programs and
// their zones, the arrangements explored, the solutions of the round. Used
// by one thread at a time.
struct Search::Family {
    std::vector<int> delayDominoes;  // pushed in this order
    std::vector<int> delayDirections;
    // The order in which dominoes from unseen cells are taken: the farthest
    // from the first push first, the least likely to be looked at later.
    std::vector<int> takingOrder;
    int pushDomino = -1;
    int pushDirection = 0;

    // The records of one program whose plays had the same zone, by what their
    // arrangements held in it.
    struct ZoneIndex {
        std::vector<bool> zone;
        FingerprintTable<int> records;
    };
    std::deque<Outcome> records;
    // The records that do not solve, by contentHash: a play that says the
    // same as an earlier one shares its record.
    std::unordered_multimap<std::size_t, int> unsolvedRecords;
    // Arrangement and program's number -> record, in a thorough search.
    FingerprintTable<int> memo;
    // Programs numbered as first judged, and the zone tables of each.
    std::unordered_map<std::string, int> programs;
    std::vector<std::vector<ZoneIndex>> byProgram;
    // Arrangements explored: the round (counted from 1) and the carries left
    // they were last explored with.
    struct Explored {
        int round = 0, left = 0;
    };
    FingerprintTable<Explored> explored;
    // The solutions of this round: the arrangement, the program and its record.
    struct Solved {
        Node node;
        Program program;
        int record;
    };
    std::vector<Solved> solved;
    int played = 0;

    int pushes() const { return static_cast<int>(delayDominoes.size()) + (pushDomino >= 0 ? 1 : 0); }

    // The program's number, given it as it is first judged.
    int programNumber(const std::string& programKey)
    {
        const auto [it, added] = programs.emplace(programKey, static_cast<int>(byProgram.size()));
        if (added)
            byProgram.emplace_back();
        return it->second;
    }

    // The memo's key of an arrangement played with a program.
    std::string memoKey(const std::string& arrangement, const std::string& programKey)
    {
        std::string k = arrangement;
        const int number = programNumber(programKey);
        for (int b = 0; b < 4; b++)
            k += static_cast<char>((number >> (8 * b)) & 0xff);
        return k;
    }

    // The index of o among the records, kept anew or shared.
    int keep(Outcome&& o)
    {
        const std::size_t h = o.solved ? 0 : contentHash(o);
        if (!o.solved) {
            const auto [from, to] = unsolvedRecords.equal_range(h);
            for (auto r = from; r != to; ++r)
                if (sameUnsolved(records[r->second], o))
                    return r->second;
        }
        records.push_back(std::move(o));
        const int r = static_cast<int>(records.size()) - 1;
        if (!records[r].solved)
            unsolvedRecords.emplace(h, r);
        return r;
    }

    // What the family holds, for the round's figures.
    struct Footprint {
        long long outcomes = 0, memo = 0, zoneTables = 0, explored = 0;
    };
    void addFootprint(Footprint& fp) const
    {
        fp.outcomes += static_cast<long long>(records.size() * sizeof(Outcome));
        for (const Outcome& o : records)
            fp.outcomes += heapBytes(o);
        fp.outcomes += static_cast<long long>(unsolvedRecords.bucket_count() * sizeof(void*)
                                              + unsolvedRecords.size() * (sizeof(std::size_t) + 24 + 16));
        fp.memo += memo.heapBytes();
        fp.explored += explored.heapBytes();
        fp.zoneTables += heapBytes(programs) + heapBytes(byProgram);
        for (const std::vector<ZoneIndex>& zones : byProgram)
            for (const ZoneIndex& z : zones)
                fp.zoneTables += heapBytes(z.zone) + z.records.heapBytes();
    }
};

Search::Search(PlayTeam& team, const std::string& levelPath, bool thorough)
    : team(team), path(levelPath), thorough(thorough), start(team.start()), terrain(team.terrain()),
      bound(terrain, start), keyBytes(terrain.size() < 255 ? 1 : 2)
{
    // Every way over the terrain, worked out now: the threads only read them.
    terrain.reachEverywhere();
    for (int c = 0; c < terrain.size(); c++) {
        floors.push_back(terrain.hasFloor(c));
        drops.push_back(terrain.dropCells(c));
    }
    makeFamilies();
}

Search::~Search() = default;

// Delays first (the dominoes a push sets going without spending the level's
// push), in every order and both ways; then, at once or once nothing moves,
// a counting push of any domino that may be picked up and takes the push (as
// it stands or wherever it is carried), either way, or none after a delay.
void Search::makeFamilies()
{
    std::vector<int> delays, used;
    for (std::size_t i = 0; i < start.where.size(); i++)
        if (start.movable[i] && start.pushes[i] == PlayersPush::free)
            delays.push_back(static_cast<int>(i));
    addFamilies(Program{}, delays, used);
}

void Search::addFamilies(Program p, const std::vector<int>& delays, std::vector<int>& used)
{
    auto isUsed = [&](int i) { return std::find(used.begin(), used.end(), i) != used.end(); };
    auto add = [&](int pushDomino, int direction) {
        auto f = std::make_unique<Family>();
        for (int d : used)
            f->delayDominoes.push_back(d);
        for (const DelayPush& d : p.delays)
            f->delayDirections.push_back(d.direction);
        f->pushDomino = pushDomino;
        f->pushDirection = direction;
        const int first = pushDomino >= 0 ? start.where[pushDomino] : start.where[used.front()];
        auto distance = [&](int i) {
            return std::abs(terrain.column(start.where[i]) - terrain.column(first))
                + std::abs(terrain.row(start.where[i]) - terrain.row(first));
        };
        for (std::size_t i = 0; i < start.where.size(); i++)
            if (start.where[i] >= 0)
                f->takingOrder.push_back(static_cast<int>(i));
        std::stable_sort(f->takingOrder.begin(), f->takingOrder.end(),
                         [&](int a, int b) { return distance(a) > distance(b); });
        families.push_back(std::move(f));
    };
    for (std::size_t i = 0; i < start.where.size(); i++) {
        if (!start.movable[i] || start.pushes[i] != PlayersPush::spendsThePush)
            continue;
        for (int direction : {-1, 1})
            add(static_cast<int>(i), direction);
    }
    if (!used.empty())
        add(-1, 0);
    if (static_cast<int>(used.size()) == maxDelayPushes)
        return;
    for (int d : delays) {
        if (isUsed(d))
            continue;
        for (int direction : {-1, 1}) {
            Program next = p;
            next.delays.push_back({-1, direction});
            used.push_back(d);
            addFamilies(next, delays, used);
            used.pop_back();
        }
    }
}

Search::Node Search::root() const
{
    Node n;
    n.where = start.where;
    n.carried.assign(start.where.size(), Node::no);
    n.seen.assign(terrain.size(), false);
    return n;
}

int Search::cellOf(const Node& n, int domino) const
{
    return n.where[domino];
}

// The floor cells no domino of n stands in, found in one pass over the
// dominoes.
void Search::freeFloors(const Node& n, std::vector<bool>& free) const
{
    free = floors;
    for (int cell : n.where)
        if (cell >= 0)
            free[cell] = false;
}

// The family's pushes at the cells where its dominoes stand.
Program Search::instance(const Family& f, const Node& n) const
{
    Program p;
    for (std::size_t d = 0; d < f.delayDominoes.size(); d++)
        p.delays.push_back({cellOf(n, f.delayDominoes[d]), f.delayDirections[d]});
    if (f.pushDomino >= 0) {
        p.push = cellOf(n, f.pushDomino);
        p.direction = f.pushDirection;
    }
    return p;
}

int Search::run(int limit, int fewPushes, const std::function<bool(Solution&)>& accept)
{
    for (int round = 0; round <= limit; round++) {
        team.forEach(static_cast<int>(families.size()),
                     [&](int i, Simulation& sim) { explore(*families[i], round, sim); });
        bool stop = false;
        rounds.push_back(roundFigures(round));
        acceptRound(round, fewPushes, accept, stop);
        if (!found.empty())
            return round;
    }
    return -1;
}

void Search::explore(Family& f, int round, Simulation& sim)
{
    f.solved.clear();
    visit(f, root(), round, sim);
}

void Search::visit(Family& f, const Node& n, int round, Simulation& sim)
{
    const int left = round - n.cost;
    Family::Explored& explored = f.explored[n.key(keyBytes)];
    if (explored.round == round + 1 && explored.left >= left)
        return;
    explored = {round + 1, left};

    // The zones of the programs a carry more still affords, and of those a
    // domino set down from the hand, at no cost, affords.
    Judgements judged;
    judgeVariants(f, n, left, sim, judged);
    std::vector<bool> carryZone(terrain.size(), thorough), setDownZone(terrain.size(), thorough);
    for (const auto& [o, cost] : judged)
        for (int c = 0; c < terrain.size(); c++) {
            carryZone[c] = carryZone[c] || (o->zone[c] && cost < left);
            setDownZone[c] = setDownZone[c] || o->zone[c];
        }
    std::vector<bool> seen = n.seen;
    for (int c = 0; c < terrain.size(); c++)
        seen[c] = seen[c] || setDownZone[c];
    std::vector<Node> next;
    if (!thorough)
        rebind(f, n, seen, next);
    children(f, n, seen, carryZone, setDownZone, next);
    for (Node& child : next) {
        if (child.cost > round)
            continue;
        for (std::size_t i = 0; i < child.where.size(); i++)
            if (child.carried[i] == Node::standIn && seen[start.where[i]])
                child.carried[i] = Node::placed;
        if (!thorough && hopeless(f, child, seen, round - child.cost))
            continue;
        child.seen = seen;
        visit(f, child, round, sim);
    }
}

// The family's programs at one arrangement with the carries left, each
// judged as it comes: the pushes alone (after delays, at once or once nothing
// moves), each delay carried on while it counts down, and a pick-up after
// the push, at once or later, kept or set down again. What a play of the
// pushes tells (its zone, its landings, its looks) chooses which of the
// others are worth a play. Lives for one visit of one arrangement.
class Search::Variants {
public:
    Variants(Search& search, Family& f, const Node& n, int left, Simulation& sim, Judgements& judged)
        : search(search), f(f), n(n), left(left), sim(sim), judged(judged)
    {
        search.boundsView(n, n.seen, standing, inHand);
        search.freeFloors(n, free);
    }

    void judgeAll()
    {
        const Program pushes = search.instance(f, n);
        if (consider(pushes) < 0)
            return;
        // After delays, the counting push may also wait until nothing moves.
        if (!pushes.delays.empty() && pushes.push >= 0) {
            Program waiting = pushes;
            waiting.waitStill = true;
            consider(waiting);
        }
        if (pushes.cost() < left)
            delaysCarriedOn();
        if (pushes.cost() < left)
            drops(pushes, f.records[todo.front().record]);
        pickUps();
    }

private:
    struct Judged {
        Program program;
        int record;
    };

    Search& search;
    Family& f;
    const Node& n;
    const int left;
    Simulation& sim;
    Judgements& judged;
    std::vector<Judged> todo;  // in the order judged
    int inHand = 0;
    ChainBound::Standing standing;
    std::vector<bool> free;  // free floor cells of the arrangement

    static int indexOf(const std::vector<int>& where, int cell)
    {
        return static_cast<int>(std::find(where.begin(), where.end(), cell) - where.begin());
    }

    static bool isProgramCell(const Program& p, int cell)
    {
        const std::vector<int> cells = p.cells();
        return std::find(cells.begin(), cells.end(), cell) != cells.end();
    }

    bool outOfReach(const ChainBound::Standing& s, int chains, int carries) const
    {
        return search.bound.outOfReach(s, free, chains, carries);
    }

    // Worth a play only if, as it leaves the dominoes, the carries left after
    // it could still join them into as many chains as it pushes: else it
    // solves nothing here, and its zone shows no carry worth making.
    bool worthPlaying(const Program& p) const
    {
        if (search.thorough)
            return true;
        ChainBound::Standing s = standing;
        for (const DelayPush& d : p.delays)
            if (d.carryTo >= 0)
                s.where[indexOf(s.where, d.cell)] = d.carryTo;
        const int after = left - p.cost() + inHand;
        // A drop may start a chain of its own: one more than the pushes.
        const int chains = f.pushes() + (p.dropFrom >= 0 ? 1 : 0);
        if (p.dropFrom >= 0)
            s.where[indexOf(s.where, p.dropFrom)] = p.dropInto;
        if (p.pickUp >= 0) {
            const int picked = indexOf(s.where, p.pickUp);
            if (p.setDown >= 0) {
                s.where[picked] = p.setDown;
            } else {
                // Kept, or set down again where its zone says: one more
                // domino from the hand.
                ChainBound::Standing setDown = s;
                setDown.where[picked] = -1;
                if (!outOfReach(setDown, chains, after + search.start.required[picked]))
                    return true;
                s.taken = picked;
            }
        }
        return !outOfReach(s, chains, after);
    }

    // The record of p's play, -1 when it is not worth one; a solution that
    // takes exactly the carries left goes to the family.
    int consider(const Program& p)
    {
        if (p.cost() > left || !worthPlaying(p))
            return -1;
        const int r = search.judge(f, n, p, sim);
        const Outcome& o = f.records[r];
        if (o.solved && p.cost() == left && !inHand)
            f.solved.push_back({n, p, r});
        judged.emplace_back(&o, p.cost());
        todo.push_back({p, r});
        return r;
    }

    // Delays carried on, from each program judged so far.
    void delaysCarriedOn()
    {
        const std::size_t bases = todo.size();
        for (std::size_t b = 0; b < bases; b++) {
            const Program base = todo[b].program;
            for (std::size_t d = 0; d < base.delays.size(); d++)
                delayCarriedOn(base, f.records[todo[b].record], d);
        }
    }

    // Delay d of base carried on: anywhere the zone of the pushes alone
    // reaches, or next to a domino, and to one cell apart from all, with
    // floor beside it, where it falls alone; thoroughly, anywhere.
    void delayCarriedOn(const Program& base, const Outcome& alone, std::size_t d)
    {
        const Terrain& terrain = search.terrain;
        const std::vector<bool>& carryReach = terrain.reach(base.delays[d].cell, true);
        bool apart = false;
        for (int to = 0; to < terrain.size(); to++) {
            if (!carryReach[to] || !free[to] || isProgramCell(base, to))
                continue;
            const bool linked = alone.zone[to] || search.bound.linksADomino(to, n.where);
            const int x = terrain.column(to), y = terrain.row(to);
            const bool floorBeside = terrain.inside(x - 1, y) && terrain.inside(x + 1, y)
                && terrain.hasFloor(to - 1) && terrain.hasFloor(to + 1);
            if (!search.thorough && !linked && (apart || !floorBeside))
                continue;
            apart = apart || !linked;
            Program carried = base;
            carried.delays[d].carryTo = to;
            consider(carried);
        }
    }

    // The pushes after a drop: a domino carried to a cell without floor
    // and set down there, to fall onto what is below. Of the dominoes
    // outside the zone of the pushes alone, whose going changes nothing, one
    // of each kind; and only drops whose fall meets that zone or a domino
    // (one that falls onto a free floor the zone does not reach stands
    // there as if carried); thoroughly, every domino to every such cell.
    void drops(const Program& pushes, const Outcome& alone)
    {
        std::set<char> kindsFromOutside;
        for (const int i : f.takingOrder) {
            const int cell = n.where[i];
            if (cell < 0 || !search.start.movable[i] || n.carried[i] == Node::inHand
                || isProgramCell(pushes, cell))
                continue;
            const bool outside = !alone.zone[cell];
            if (!search.thorough && outside && !kindsFromOutside.insert(search.start.kinds[i]).second)
                continue;
            for (const int into : search.drops[cell]) {
                const Fall fall = fallFrom(into);
                if (landsAsCarried(cell, fall) || (!search.thorough && !mayHelp(fall, alone)))
                    continue;
                Program dropping = pushes;
                dropping.dropFrom = cell;
                dropping.dropInto = into;
                consider(dropping);
            }
        }
    }

    // The way down of a domino dropped into a cell without floor, as the
    // dominoes stand before anything moves: the cells it falls through, down
    // to the floor it lands on or the cell of the domino it meets first.
    struct Fall {
        std::vector<int> cells;
        int met = -1;  // the domino met, -1 for none
    };

    Fall fallFrom(int into) const
    {
        const Terrain& terrain = search.terrain;
        Fall fall;
        const int x = terrain.column(into);
        for (int y = terrain.row(into); y >= 0; y--) {
            const int c = terrain.cellAt(x, y);
            fall.cells.push_back(c);
            const auto standing = std::find(n.where.begin(), n.where.end(), c);
            if (standing != n.where.end()) {
                fall.met = static_cast<int>(standing - n.where.begin());
                break;
            }
            if (terrain.hasFloor(c))
                break;
        }
        return fall;
    }

    // One that meets no domino and lands on a free floor it could have been
    // carried to stands there just as if it had been: that carry is tried.
    bool landsAsCarried(int from, const Fall& fall) const
    {
        return fall.met < 0 && search.terrain.reach(from, true)[fall.cells.back()];
    }

    // A drop onto a domino that it breaks for good never solves (it is
    // never done again); one onto nothing matters only where its fall
    // meets the zone.
    bool mayHelp(const Fall& fall, const Outcome& alone) const
    {
        if (fall.met >= 0)
            return !search.start.spoiledByADrop[fall.met];
        return meetsZone(fall, alone);
    }

    static bool meetsZone(const Fall& fall, const Outcome& o)
    {
        return std::any_of(fall.cells.begin(), fall.cells.end(), [&](int c) { return o.zone[c]; });
    }

    // Pick-ups after the pushes, of the plain and the carried-on programs.
    void pickUps()
    {
        const std::size_t withoutPickUp = todo.size();
        for (std::size_t j = 0; j < withoutPickUp; j++) {
            const Program base = todo[j].program;
            if (base.cost() + 1 > left)
                continue;
            const Outcome& o = f.records[todo[j].record];
            for (std::size_t i = 0; i < n.where.size(); i++)
                if (mayPickUp(base, o, static_cast<int>(i)))
                    pickUp(base, o, n.where[i]);
        }
    }

    // A domino in the zone of the pushes alone, or the one not done when the
    // trigger landed (or any, thoroughly), not one the program handles.
    bool mayPickUp(const Program& base, const Outcome& o, int i) const
    {
        const int cell = n.where[i];
        if (cell < 0 || !search.start.movable[i] || n.carried[i] == Node::inHand || isProgramCell(base, cell))
            return false;
        bool lastUndone = false;
        for (const std::vector<int>& undone : o.landings)
            lastUndone = lastUndone || undone.empty() || (undone.size() == 1 && undone[0] == i);
        return search.thorough || o.zone[cell] || lastUndone;
    }

    // The pick-up at cell as soon as the player gets there, after each of
    // the first later looks of the chain at that cell, and once everything
    // has come to rest (a chain leaning on the domino goes on only then);
    // each kept, and if that does not solve, set down again.
    void pickUp(const Program& base, const Outcome& o, int cell)
    {
        Program picking = base;
        picking.pickUp = cell;
        const int asap = consider(picking);
        std::vector<int> waits;
        if (asap >= 0 && f.records[asap].grabbed >= 0) {
            const int grabbed = f.records[asap].grabbed;
            for (const auto& [looked, tick] : o.looks)
                if (looked == cell && tick >= grabbed && static_cast<int>(waits.size()) < laterGrabs)
                    waits.push_back(tick + 1 - grabbed);
            waitForRest(waits, grabbed, o.rested);
        }
        std::vector<int> kept{asap};
        for (int wait : waits) {
            Program later = picking;
            later.pickUpWait = wait;
            kept.push_back(consider(later));
        }
        for (std::size_t k = 0; k < kept.size(); k++) {
            if (kept[k] < 0 || f.records[kept[k]].solved)
                continue;
            Program setting = picking;
            setting.pickUpWait = k == 0 ? 0 : waits[k - 1];
            setDowns(setting, f.records[kept[k]]);
        }
    }

    // The picked-up domino set down again on a free floor within the zone of
    // the play that kept it, or dropped into a cell without floor whose fall
    // meets that zone or a domino (anywhere, thoroughly): as soon as the
    // player gets there, and after each of the first later looks of the
    // chain at that cell.
    void setDowns(const Program& setting, const Outcome& keptPlay)
    {
        const Terrain& terrain = search.terrain;
        const std::vector<bool>& carryReach = terrain.reach(setting.pickUp, true);
        for (int to = 0; to < terrain.size(); to++) {
            if (!carryReach[to] || !free[to] || isProgramCell(setting, to))
                continue;
            if (search.thorough || keptPlay.zone[to])
                setDown(setting, to);
        }
        for (const int into : search.drops[setting.pickUp])
            if (!isProgramCell(setting, into)) {
                // The chain moves dominoes meanwhile: any one met may matter.
                const Fall fall = fallFrom(into);
                if (search.thorough || fall.met >= 0 || meetsZone(fall, keptPlay))
                    setDown(setting, into, keptPlay.rested);
            }
    }

    // A drop falls by itself, so it may start a chain anew once everything
    // has come to rest (rested >= 0); a domino set down on a floor then only
    // stands, never done.
    void setDown(const Program& setting, int to, int rested = -1)
    {
        Program settingDown = setting;
        settingDown.setDown = to;
        const int asap = consider(settingDown);
        std::vector<int> waits = laterWaits(asap, to, &Outcome::setDown);
        if (asap >= 0 && !f.records[asap].solved)
            waitForRest(waits, f.records[asap].setDown, rested);
        for (const int wait : waits) {
            Program later = settingDown;
            later.setDownWait = wait;
            consider(later);
        }
    }

    // Adds to waits the wait that puts an action made at the tick `when`
    // (-1: never) just after `rested`, the rest of a play without it, when
    // it comes after them.
    static void waitForRest(std::vector<int>& waits, int when, int rested)
    {
        const int wait = rested + 1 - when;
        if (when >= 0 && rested >= 0 && wait > 0 && (waits.empty() || wait > waits.back()))
            waits.push_back(wait);
    }

    // The waits after the moment `when` of the play `record` that put the
    // grab in `cell` just after each of the first later looks at it.
    std::vector<int> laterWaits(int record, int cell, int Outcome::*when) const
    {
        std::vector<int> waits;
        if (record < 0 || f.records[record].solved || f.records[record].*when < 0)
            return waits;
        const Outcome& o = f.records[record];
        for (const auto& [looked, tick] : o.looks)
            if (looked == cell && tick >= o.*when && static_cast<int>(waits.size()) < laterGrabs)
                waits.push_back(tick + 1 - o.*when);
        return waits;
    }
};

void Search::judgeVariants(Family& f, const Node& n, int left, Simulation& sim, Judgements& judged)
{
    Variants(*this, f, n, left, sim, judged).judgeAll();
}

// The record of the arrangement played with p: inferred from an earlier play
// of p whose zone held the same dominoes, or played now. A thorough search
// infers nothing; it remembers each arrangement it played instead.
int Search::judge(Family& f, const Node& n, const Program& p, Simulation& sim)
{
    const std::string programKey = p.key();
    if (thorough) {
        const std::string key = f.memoKey(n.arrangement(keyBytes), programKey);
        if (const int* known = f.memo.find(key))
            return *known;
        const int r = play(f, n, p, sim);
        f.memo[key] = r;
        return r;
    }
    auto inZone = [&](const std::vector<bool>& zone) {
        std::string k;
        for (int cell : n.where)
            appendKey(k, cell >= 0 && zone[cell] ? cell : -1, keyBytes);
        return k;
    };
    std::vector<Family::ZoneIndex>& zones = f.byProgram[f.programNumber(programKey)];
    for (const Family::ZoneIndex& z : zones)
        if (const int* r = z.records.find(inZone(z.zone)))
            return *r;
    const int r = play(f, n, p, sim);
    const std::vector<bool>& zone = f.records[r].zone;
    auto z =
        std::find_if(zones.begin(), zones.end(), [&](const Family::ZoneIndex& i) { return i.zone == zone; });
    if (z == zones.end())
        z = zones.insert(zones.end(), Family::ZoneIndex{zone, {}});
    z->records[inZone(zone)] = r;
    return r;
}

// The record of a play of p on the arrangement, kept anew or shared.
int Search::play(Family& f, const Node& n, const Program& p, Simulation& sim)
{
    f.played++;
    Outcome o = sim.play(n.where, p);
    if (thorough) {
        // The simulation only says where to look next; the outcome is the
        // main loop's, played from the level's start.
        const Outcome r = replayed(n, p);
        o.solved = r.solved;
        o.why = r.why;
        o.ticks = r.ticks;
        o.played = r.played;
    }
    keepWhatIsReadAgain(o, p);
    return f.keep(std::move(o));
}

// n with the other choices a play that first looks at a cell leaves open:
// a domino that stood in for any of its kind, whose cell is looked at now, is
// put back for the next unseen one of its kind; a domino of that kind that
// stayed in a cell looked at now is carried instead of one that stood in.
void Search::rebind(const Family& f, const Node& n, const std::vector<bool>& seen,
                    std::vector<Node>& out) const
{
    auto newlySeen = [&](int i) { return seen[start.where[i]] && !n.seen[start.where[i]]; };
    auto canCarry = [&](int i, int to) {
        return start.movable[i] && terrain.reach(start.entrance, false)[start.where[i]]
            && terrain.reach(start.where[i], true)[to];
    };
    // The stand-in's source was looked at: each other domino of its kind the
    // play looked at for the first time is carried from its own cell now, and
    // the first still unseen stands in for the rest.
    for (std::size_t j = 0; j < n.where.size(); j++) {
        if (n.carried[j] != Node::standIn || !newlySeen(static_cast<int>(j)))
            continue;
        bool stoodIn = false;
        for (int m : f.takingOrder) {
            if (n.carried[m] != Node::no || start.kinds[m] != start.kinds[j] || !canCarry(m, n.where[j]))
                continue;
            const bool unseen = !seen[start.where[m]];
            if ((unseen && stoodIn) || (!unseen && !newlySeen(m)))
                continue;
            Node other = n.carriedOn();
            other.where[m] = n.where[j];
            other.carried[m] = unseen ? Node::standIn : Node::placed;
            other.where[j] = start.where[j];
            other.carried[j] = Node::no;
            out.push_back(std::move(other));
            stoodIn = stoodIn || unseen;
        }
    }
    for (std::size_t i = 0; i < n.where.size(); i++) {
        if (n.carried[i] != Node::no || !newlySeen(static_cast<int>(i)))
            continue;
        for (std::size_t j = 0; j < n.where.size(); j++) {
            if (n.carried[j] != Node::standIn || start.kinds[j] != start.kinds[i] || seen[start.where[j]]
                || !canCarry(static_cast<int>(i), n.where[j]))
                continue;
            Node other = n.carriedOn();
            other.where[i] = n.where[j];
            other.carried[i] = Node::placed;
            other.where[j] = start.where[j];
            other.carried[j] = Node::no;
            out.push_back(std::move(other));
        }
    }
}

// The carries that touch the zone: a domino in it taken out (into the hand),
// a domino from outside it or from the hand set down in it. Of the dominoes
// of a kind in cells no play looked at, only the first in the family's order
// is carried, standing in for all of them (see rebind). A domino the family
// pushes is in the zone wherever it stands, and its pushes go with it: it is
// carried straight to every free cell. Thoroughly, every carry of every
// domino to every free cell.
void Search::children(const Family& f, const Node& n, const std::vector<bool>& seen,
                      const std::vector<bool>& zone, const std::vector<bool>& setDownZone,
                      std::vector<Node>& out) const
{
    // For each free cell and kind, whether an unseen domino has been taken
    // there already.
    std::set<std::pair<int, char>> stoodIn;
    auto pushed = [&](int i) {
        return i == f.pushDomino
            || std::find(f.delayDominoes.begin(), f.delayDominoes.end(), i) != f.delayDominoes.end();
    };
    const std::vector<bool>& reachable = terrain.reach(start.entrance, false);
    std::vector<bool> free;
    freeFloors(n, free);
    for (const int taken : f.takingOrder) {
        const std::size_t i = static_cast<std::size_t>(taken);
        const int from = start.where[i];
        if (from < 0 || !start.movable[i] || !reachable[from])
            continue;
        const std::vector<bool>& carryReach = terrain.reach(from, true);
        auto setDown = [&](int to, int cost, Node::Carried how) {
            Node child = n.carriedOn();
            child.where[i] = to;
            child.carried[i] = how;
            child.cost += cost;
            out.push_back(std::move(child));
        };
        if (n.carried[i] == Node::no && !thorough && zone[from] && !pushed(i)) {
            Node child = n.carriedOn();
            child.where[i] = -1;
            child.carried[i] = Node::inHand;
            child.cost++;
            out.push_back(std::move(child));
        }
        if (n.carried[i] == Node::placed || n.carried[i] == Node::standIn)
            continue;
        const int cost = n.carried[i] == Node::no ? 1 : 0;
        const bool fresh = n.carried[i] == Node::no;
        const bool pushedFirst = fresh && zone[from] && pushed(i);
        for (int to = 0; to < terrain.size(); to++) {
            if (to == from || !carryReach[to])
                continue;
            if (!free[to]) {
                if (!thorough && pushedFirst)
                    displace(n, i, to, reachable, pushed, out);
                continue;
            }
            // A pushed domino's carry can come first (or first after the
            // domino in the way has gone): its cell is always looked at.
            const bool firstCarry =
                n.cost == 0 || start.where.end() != std::find(start.where.begin(), start.where.end(), to);
            if (thorough || (pushedFirst && firstCarry)) {
                setDown(to, cost, Node::placed);
            } else if (!fresh) {
                if (setDownZone[to])
                    setDown(to, cost, Node::placed);
            } else if (zone[to] && !zone[from]) {
                if (seen[from])
                    setDown(to, cost, Node::placed);
                else if (stoodIn.insert({to, start.kinds[i]}).second)
                    setDown(to, cost, Node::standIn);
            }
        }
    }
}

// A pushed domino may belong where another still stands, one no play looks
// at while it is there (the pushed domino's own cell is in every zone, the
// one it is to take is not). That one is taken into hand, and the pushed
// domino set down in its place: two carries.
void Search::displace(const Node& n, std::size_t pushedDomino, int to, const std::vector<bool>& reachable,
                      const std::function<bool(int)>& pushed, std::vector<Node>& out) const
{
    const auto standing = std::find(n.where.begin(), n.where.end(), to);
    const std::size_t j = static_cast<std::size_t>(standing - n.where.begin());
    if (standing == n.where.end() || n.carried[j] != Node::no || !start.movable[j] || !reachable[to]
        || pushed(static_cast<int>(j)))
        return;
    Node child = n.carriedOn();
    child.where[j] = -1;
    child.carried[j] = Node::inHand;
    child.where[pushedDomino] = to;
    child.carried[pushedDomino] = Node::placed;
    child.cost += 2;
    out.push_back(std::move(child));
}

// The arrangement as the bound is to see it: the dominoes in hand in no cell
// (inHand counts those that have yet to fall, each set down at no cost), and
// for every kind some of which stand in for any unseen one, each unseen one
// of that kind, and each cell one was taken from, a link that may be there.
// seen stands for n.seen, which a child gets only once it is worth a visit.
void Search::boundsView(const Node& n, const std::vector<bool>& seen, ChainBound::Standing& s,
                        int& inHand) const
{
    s.where = n.where;
    s.taken = -1;
    s.optional.clear();
    s.phantoms.clear();
    s.openTakes = 0;
    inHand = 0;
    bool open[256] = {};  // by kind
    for (std::size_t i = 0; i < n.where.size(); i++) {
        if (n.carried[i] == Node::inHand)
            inHand += start.required[i];
        if (n.carried[i] == Node::standIn) {
            open[static_cast<unsigned char>(start.kinds[i])] = true;
            s.openTakes++;
        }
    }
    if (!s.openTakes)
        return;
    s.optional.assign(n.where.size(), false);
    for (std::size_t i = 0; i < n.where.size(); i++) {
        const bool unseen =
            start.where[i] >= 0 && !seen[start.where[i]] && open[static_cast<unsigned char>(start.kinds[i])];
        if (n.carried[i] == Node::no && unseen)
            s.optional[i] = true;
        const bool vacated = std::find(n.where.begin(), n.where.end(), start.where[i]) == n.where.end();
        if (n.carried[i] == Node::standIn && vacated)
            s.phantoms.emplace_back(start.where[i], static_cast<int>(i));
    }
}

// Cut short when even the best carries left cannot join its dominoes into as
// many chains as there are pushes: dominoes in hand are set down at no cost.
bool Search::hopeless(const Family& f, const Node& n, const std::vector<bool>& seen, int left) const
{
    int inHand = 0;
    thread_local ChainBound::Standing s;
    boundsView(n, seen, s, inHand);
    thread_local std::vector<bool> free;
    freeFloors(n, free);
    return bound.outOfReach(s, free, f.pushes(), left + inHand);
}

int Search::plays() const
{
    int n = 0;
    for (const auto& f : families)
        n += f->played;
    return n;
}

// Counted when the round is over, from what each family kept.
std::string Search::roundFigures(int round) const
{
    long long nodes = 0;
    int played = 0;
    Family::Footprint fp;
    for (const auto& f : families) {
        nodes += static_cast<long long>(f->explored.size());
        played += f->played;
        f->addFootprint(fp);
    }
    auto mb = [](long long bytes) { return std::to_string((bytes + (1 << 19)) >> 20); };
    return "round " + std::to_string(round) + ": " + std::to_string(families.size()) + " families of pushes, "
        + std::to_string(nodes) + " arrangements, " + std::to_string(played)
        + " plays in all; MB held: outcomes " + mb(fp.outcomes) + ", memo " + mb(fp.memo) + ", zone tables "
        + mb(fp.zoneTables) + ", explored " + mb(fp.explored);
}

int Search::fewestPushes() const
{
    return found.empty() ? -1 : found.front().program.pushes();
}

// A domino still in hand when the level is solved never has to fall (a
// blocker): it is set down for good in the first free cell the play never
// looked at. False when there is none.
bool Search::putAway(Node& n, const Program& p, const Outcome& o) const
{
    const std::vector<int> programCells = p.cells();
    std::vector<bool> free;
    freeFloors(n, free);
    for (std::size_t i = 0; i < n.where.size(); i++) {
        if (n.carried[i] != Node::inHand)
            continue;
        const std::vector<bool>& carryReach = terrain.reach(start.where[i], true);
        for (int to = 0; to < terrain.size() && n.carried[i] == Node::inHand; to++)
            if (carryReach[to] && free[to] && !o.zone[to]
                && std::find(programCells.begin(), programCells.end(), to) == programCells.end()) {
                n.where[i] = to;
                n.carried[i] = Node::placed;
                free[to] = false;
            }
        if (n.carried[i] == Node::inHand)
            return false;
    }
    return true;
}

// Two solutions are one when they differ only by where a domino that never
// has to fall (a blocker) stands out of the chain's way, its cell left out
// of the key when the play never looked at it, or by a wait.
std::string Search::keyOf(const Node& n, const Program& p, const Outcome& o) const
{
    std::string cells(terrain.size(), ' ');
    std::string parked;
    for (std::size_t i = 0; i < n.where.size(); i++) {
        const int cell = n.where[i];
        if (cell < 0)
            continue;
        const bool carried = n.carried[i] != Node::no;
        if (carried && !start.required[i] && !o.zone[cell])
            parked += start.kinds[i];
        else
            cells[cell] = start.kinds[i];
    }
    std::sort(parked.begin(), parked.end());
    // A wait that solves as well as none is the same way.
    Program unwaited = p;
    unwaited.waitStill = false;
    unwaited.pickUpWait = unwaited.setDownWait = 0;
    return cells + "|" + parked + "|" + unwaited.key();
}

// An order in which the player can make the carries: each domino is fetched
// from where it stood and set down on a free cell, walking as the terrain
// lets the player walk, and the first push is reached after the last.
bool Search::order(const Node& n, const Program& p, std::vector<Carry>& carries)
{
    std::vector<Carry> todo;
    for (std::size_t i = 0; i < n.where.size(); i++)
        if (n.carried[i] != Node::no)
            todo.push_back({static_cast<int>(i), start.where[i], n.where[i]});
    std::vector<int> standing = start.where;
    std::vector<bool> done(todo.size(), false);
    std::function<bool(int)> next = [&](int at) {
        if (carries.size() == todo.size())
            return terrain.reach(at, false)[p.firstCell()];
        for (std::size_t k = 0; k < todo.size(); k++) {
            const Carry& c = todo[k];
            const bool free = std::find(standing.begin(), standing.end(), c.to) == standing.end();
            if (done[k] || !free || !terrain.reach(at, false)[c.from] || !terrain.reach(c.from, true)[c.to])
                continue;
            done[k] = true;
            standing[c.domino] = c.to;
            carries.push_back(c);
            if (next(c.to))
                return true;
            carries.pop_back();
            standing[c.domino] = c.from;
            done[k] = false;
        }
        return false;
    };
    return next(start.entrance);
}

// The solutions of the round, in one order whatever the threads did: the
// fewest pushes first, then by key. Those the player can make are accepted.
void Search::acceptRound(int round, int fewPushes, const std::function<bool(Solution&)>& accept, bool& stop)
{
    std::map<std::pair<int, std::string>, Solution> candidates;
    for (const auto& f : families)
        for (const auto& [solved, p, record] : f->solved) {
            Solution s;
            s.program = p;
            s.outcome = f->records[record];
            Node n = solved;
            if (!putAway(n, p, s.outcome))
                continue;
            s.key = keyOf(n, p, s.outcome);
            if (candidates.count({p.pushes(), s.key}) || !order(n, p, s.carries))
                continue;
            candidates.emplace(std::make_pair(p.pushes(), s.key), s);
        }
    (void)round;
    std::set<std::string> accepted;
    for (auto& [rank, s] : candidates) {
        if (accepted.count(s.key))
            continue;
        if (!accept(s)) {
            refused++;
            continue;
        }
        accepted.insert(s.key);
        found.push_back(s);
        if (fewPushes >= 0 && s.program.pushes() <= fewPushes) {
            stop = true;
            return;
        }
    }
}

// The same candidate as Simulation::play judges it, both ways home, but
// walked from the level's start through the main loop.
Outcome Search::replayed(const Node& n, const Program& p)
{
    Outcome o;
    o.zone.assign(terrain.size(), true);
    std::vector<Carry> carries;
    if (!order(n, p, carries)) {
        o.why = "no order in which the player can make the carries";
        return o;
    }
    std::vector<Action> script = carriesScript(carries, p.firstCell());
    const std::size_t before = script.size();
    if (!p.actions(terrain, script)) {
        o.why = "no way to walk between the pushes";
        return o;
    }
    Homeward::Played r = Homeward::play(path, script, Homeward::Policy::WaitThenWalk, start.exit);
    if (r.failedOnTheWay)
        r = Homeward::play(path, script, Homeward::Policy::HeadForExit, start.exit);
    o.solved = r.solved;
    o.why = r.why;
    o.ticks = r.ticks;
    o.played.assign(r.played.begin() + before, r.played.end());
    return o;
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
