#include "solver.h"
#include "playteam.h"
#include "search.h"
#include "verifier.h"

#include "domino.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A private directory for the level variants, removed with it.
class Scratch {
public:
    bool made() const { return !dir.empty(); }
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "solver-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            dir = pattern;
    }
    ~Scratch()
    {
        if (!dir.empty())
            fs::remove_all(dir);
    }
    std::string write(const std::string& name, const std::string& text) const
    {
        const std::string path = (fs::path(dir) / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

private:
    std::string dir;
};

// The level text with its index-th domino (in load order: top row first,
// left to right) turned into a standard one; "" when there is no such domino.
// The loader has accepted the text, so its grids are whole lines.
std::string withStandardDomino(const std::string& text, int index, KindCheck& check)
{
    int wid, hei, ix, iy, ox, oy, headerEnd = 0;
    if (sscanf(text.c_str(), "%d %d %d %d %d %d%n", &wid, &hei, &ix, &iy, &ox, &oy, &headerEnd) != 6)
        return "";
    const std::size_t line = wid + 1;
    const std::size_t dominoGrid = headerEnd + 1 + hei * line;
    int seen = 0;
    for (int r = 0; r < hei; r++)
        for (int x = 0; x < wid; x++) {
            const std::size_t at = dominoGrid + r * line + x;
            if (at >= text.size() || text[at] == ' ')
                continue;
            if (seen++ != index)
                continue;
            check.kind = text[at];
            check.column = x;
            check.row = hei - 1 - r;
            std::string variant = text;
            variant[at] = Domino::fileLetter;
            return variant;
        }
    return "";
}

std::string cellName(const Terrain& t, int cell)
{
    return "(" + std::to_string(t.column(cell)) + "," + std::to_string(t.row(cell)) + ")";
}

std::string describe(const Solution& s, const LevelStart& start, const Terrain& t)
{
    std::vector<int> where = start.where;
    std::string text;
    auto add = [&](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
    auto kindAt = [&](int cell) {
        for (std::size_t i = 0; i < where.size(); i++)
            if (where[i] == cell)
                return std::string(1, start.kinds[i]);
        return std::string("?");
    };
    auto way = [](int direction) { return direction < 0 ? " left" : " right"; };
    for (const Carry& c : s.carries) {
        add("carry " + std::string(1, start.kinds[c.domino]) + " " + cellName(t, c.from) + " to "
            + cellName(t, c.to));
        where[c.domino] = c.to;
    }
    if (s.program.dropFrom >= 0)
        add("carry " + kindAt(s.program.dropFrom) + " " + cellName(t, s.program.dropFrom) + " and drop it at "
            + cellName(t, s.program.dropInto));
    for (const DelayPush& d : s.program.delays) {
        add("push " + kindAt(d.cell) + " " + cellName(t, d.cell) + way(d.direction));
        if (d.carryTo >= 0)
            add("carry it to " + cellName(t, d.carryTo) + " while it counts down");
    }
    if (s.program.push >= 0 && s.program.waitStill)
        add("wait until nothing moves");
    if (s.program.push >= 0)
        add("push " + kindAt(s.program.push) + " " + cellName(t, s.program.push) + way(s.program.direction));
    if (s.program.pickUp >= 0)
        add("pick up " + kindAt(s.program.pickUp) + " " + cellName(t, s.program.pickUp)
            + (s.program.pickUpWait
                   ? " after waiting " + std::to_string(s.program.pickUpWait) + " ticks there"
                   : ""));
    if (s.program.setDown >= 0)
        add((t.hasFloor(s.program.setDown) ? "set it down at " : "drop it at ")
            + cellName(t, s.program.setDown)
            + (s.program.setDownWait ? " after waiting " + std::to_string(s.program.setDownWait) + " ticks"
                                     : ""));
    return text;
}

// Plays a found solution through the replay driver, noting the play's length.
bool plays(const std::string& path, Search& search, Solution& s)
{
    const Verifier::Result r = Verifier::play(path, search.script(s));
    s.ticks = r.ticks;
    return r.solved;
}

// special: whether each of the level's dominoes, in load order, is of a kind
// a level may do without; depth: the carries a variant may take and still
// show its domino replaceable, if with as many carries it makes no more
// pushes.
// pushes: the fewest pushes with depth carries, -1 when the level needs more
// carries than depth.
void checkKinds(const std::string& path, const std::vector<bool>& special, int depth, int pushes,
                const SolveLimits& limits, LevelResult& result)
{
    const std::string text = readFile(path);
    const Scratch scratch;
    if (!scratch.made()) {
        result.error = "no scratch directory for the kind check";
        return;
    }
    for (std::size_t i = 0; i < special.size(); i++) {
        if (!special[i])
            continue;
        KindCheck check;
        const std::string variant = withStandardDomino(text, static_cast<int>(i), check);
        if (variant.empty())
            continue;
        const std::string variantPath = scratch.write("variant", variant);
        PlayTeam pool(variantPath, limits.jobs);
        if (!pool.loaded()) {
            result.error =
                "the game's loader refused the level with its " + std::string(1, check.kind) + " replaced";
            return;
        }
        Search search(pool, variantPath, limits.thorough);
        check.carries = search.run(depth, pushes, [&](Solution& s) { return plays(variantPath, search, s); });
        check.replaceable =
            check.carries >= 0 && (check.carries < depth || pushes < 0 || search.fewestPushes() <= pushes);
        if (check.replaceable)
            check.script = scriptText(search.script(search.solutions().front()));
        result.plays += search.plays();
        result.kinds.push_back(check);
    }
}

LevelResult solve(const std::string& path, const SolveLimits& limits)
{
    const auto began = std::chrono::steady_clock::now();
    LevelResult result;
    result.path = path;
    result.limit = limits.carries;
    std::vector<bool> special;
    {
        PlayTeam pool(path, limits.jobs);
        if (!pool.loaded()) {
            result.error = "the game's loader refused the file";
            return result;
        }
        special = pool.start().special;
        Search search(pool, path, limits.thorough);
        result.minimum = search.run(limits.carries, -1, [&](Solution& s) { return plays(path, search, s); });
        result.pushes = search.fewestPushes();
        result.unverified = search.rejected();
        result.plays = search.plays();
        result.rounds = search.figures();
        const Solution* quickest = nullptr;
        for (const Solution& s : search.solutions()) {
            if (s.program.pushes() != result.pushes)
                continue;
            result.every.push_back(describe(s, pool.start(), pool.terrain()));
            result.solutions++;
            if (!quickest || s.ticks < quickest->ticks)
                quickest = &s;
        }
        if (quickest) {
            result.script = scriptText(search.script(*quickest));
            result.summary = describe(*quickest, pool.start(), pool.terrain());
            result.ticks = quickest->ticks;
        }
    }
    // A level that needs more carries than the limit still has its kinds
    // checked within the limit: a variant solved there is easier than the
    // level, so that domino is replaceable all the more.
    if (limits.kinds)
        checkKinds(path, special, result.minimum >= 0 ? result.minimum : limits.carries, result.pushes,
                   limits, result);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return result;
}

}  // namespace

namespace {

// Memory ran out: no allocation could be made, or no thread started for
// want of memory for its stack.
bool outOfMemory(const std::system_error& e)
{
    return e.code() == std::errc::resource_unavailable_try_again || e.code() == std::errc::not_enough_memory;
}

LevelResult ranOutOfMemory(const std::string& path, const SolveLimits& limits)
{
    LevelResult result;
    result.path = path;
    result.limit = limits.carries;
    result.error = "the solver ran out of memory";
    result.outOfMemory = true;
    return result;
}

}  // namespace

// On a thread of its own, whose game state is its own, so that the caller's
// is left as it was. A search that runs out of memory fails the level alone,
// once everything it held is given back.
LevelResult solveLevel(const std::string& path, const SolveLimits& limits)
{
    LevelResult result;
    auto run = [&] {
        try {
            result = solve(path, limits);
        } catch (const std::bad_alloc&) {
            result = ranOutOfMemory(path, limits);
        } catch (const std::system_error& e) {
            if (!outOfMemory(e))
                throw;
            result = ranOutOfMemory(path, limits);
        }
    };
    try {
        std::thread(run).join();
    } catch (const std::system_error& e) {
        if (!outOfMemory(e))
            throw;
        result = ranOutOfMemory(path, limits);
    }
    return result;
}
