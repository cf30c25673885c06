// levelcheck: the designer's check of the game's level files.
//
//   levelcheck [--level N] [--carries C] [--jobs J] [--solutions DIR] [--table] [LEVELDIR]
//
// For every level file LEVELDIR/1, LEVELDIR/2, ... (default "levels") it
// checks that the file reads (and says where and why it does not), that the
// exit stands on a floor with a floor on either side and the player coming
// out of the entrance lands on one, that no domino stands in mid-air above
// nothing, that there is a trigger, and that the player can get from the
// entrance to the exit. Then the solver plays the level up to C carries
// (default 1, the quick form; 2 is the proof) and the level's solution
// script DIR/N.txt (default tests/replay/solutions) is held against it: see
// proof.h. The script is also played late at each of its timed actions, and
// a level that gives the player less slack than its limit fails: see
// timing.h. It also checks that the files are numbered from 1 without gaps.
// One line per level, a summary, and a non-zero exit status when anything
// failed. With --table it writes the proof as a table of the designer's
// guide on standard output instead, and the rest on standard error.
//
// It runs the game's own code headless: the loader, the dominoes and the
// player, linked with the recording OpenGL and the scripted SDL. The solver
// plays on J threads (default: every core), each with a game state of its own.
#include "lookalike.h"
#include "lost.h"
#include "proof.h"
#include "scan.h"

#include "parallel.h"
#include "solver.h"
#include "terrain.h"
#include "timing.h"

#include "boomer.h"
#include "bridge.h"
#include "cell.h"
#include "level.h"
#include "main.h"
#include "trigger.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Levels before this one teach moving and pushing and may be solved without
// a carry; from here on only a showcase may.
const int firstPuzzleLevel = 4;

struct Report {
    std::vector<std::string> failures;
    std::vector<std::string> notes;
    bool loads = false;  // the game's loader takes it, so the solver can play it
    std::string proven;  // the solver's summary, once it has played the level
    std::string row;     // the level's row of the proof's table
};

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The level files of dir by number; names that are not plain numbers are
// reported, since the game would never read them.
std::map<int, fs::path> listLevels(const fs::path& dir, std::vector<std::string>& problems)
{
    std::map<int, fs::path> levels;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        const bool digits = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || name[0] == '0' || name.size() > 3) {
            problems.push_back(name + ": not a level the game would read (names are 1 to 999)");
            continue;
        }
        levels[std::stoi(name)] = entry.path();
    }
    int expected = 1;
    for (const auto& [n, path] : levels) {
        if (n != expected)
            problems.push_back("level " + std::to_string(expected) + " is missing: the game ends before "
                               + std::to_string(n));
        expected = n + 1;
    }
    return levels;
}

// A fresh copy of the level in the game's globals, entered as the game
// enters it. False when the game's loader refuses it.
bool enter(const fs::path& p)
{
    delete level;
    level = nullptr;
    return enterLevel(p.c_str());
}

int countKind(char letter)
{
    int n = 0;
    for (int i = 0; i < level->dcount; i++)
        n += level->doms[i]->letter() == letter;
    return n;
}

std::string at(int x, int y)
{
    return "at column " + std::to_string(x) + " row " + std::to_string(y);
}

// The player may come out of the entrance in mid-air and drop to a floor
// below. The exit must have its own floor to be walked into, and a floor (or
// a ladder, which holds the player as well) on either side: a player who
// walks one step past the opened exit must not fall, least of all out of the
// level past the grid's edge, which would throw the solved level away.
void checkDoors(const ScanResult& s, Report& r)
{
    const Terrain t(*level);
    if (t.landing(s.ix, s.iy) < 0)
        r.failures.push_back("the entrance " + at(s.ix, s.iy)
                             + " has no floor under it: the player falls out of the level");
    if (!level->getCell(s.ox, s.oy)->getFloor())
        r.failures.push_back("the exit " + at(s.ox, s.oy) + " has no floor under it");
    for (int side : {-1, 1}) {
        const int x = s.ox + side;
        if (!t.inside(x, s.oy) || !t.standable(x, s.oy))
            r.failures.push_back("the exit " + at(s.ox, s.oy) + " has no floor on its "
                                 + (side < 0 ? "left" : "right")
                                 + ": a player who walks one step past the opened exit falls");
    }
}

// Plays the level on its own, so it enters a fresh copy again afterwards.
void checkNothingFallsOut(const fs::path& path, Report& r)
{
    for (const Spot& d : dominoesLostAtStart())
        r.failures.push_back("the domino " + at(d.x, d.y) + " stands in mid-air and leaves the level: "
                             + "it never comes to rest, so the exit can never open");
    enter(path);
}

// Where the player gets to, walking, climbing and falling from where it
// comes out of the entrance: nowhere when it falls out of the level.
bool reachesExit(Terrain& t, const ScanResult& s)
{
    const int start = t.landing(s.ix, s.iy);
    return start >= 0 && t.reach(start, false)[t.cellAt(s.ox, s.oy)];
}

// The floors may change during the chain: with a bridge in the level any
// one-cell gap may be spanned, with a boomer any floor may be fallen through.
void checkReach(const ScanResult& s, Report& r)
{
    Terrain now(*level);
    if (reachesExit(now, s))
        return;
    Terrain::Changes granted;
    granted.bridged = countKind(Bridge::fileLetter) > 0;
    granted.holed = countKind(Boomer::fileLetter) > 0;
    Terrain later(*level, granted);
    if (reachesExit(later, s))
        r.notes.push_back("the exit is reached only after bridges or boomers change the floors");
    else
        r.failures.push_back("the exit cannot be reached from the entrance");
}

// Look-alike kinds side by side are only noted: the confusion may be the
// level's idea, and its picture shows whether the player can tell them apart.
void noteLookAlikes(Report& r)
{
    for (const LookAlike& a : lookAlikesSideBySide())
        r.notes.push_back(std::string(1, a.leftKind) + " " + at(a.left.x, a.left.y) + " and "
                          + std::string(1, a.rightKind) + " " + at(a.right.x, a.right.y)
                          + " stand side by side and look alike from the front");
}

// Everything but the solver's proof, which every level the game can load goes
// on to, so that a designer sees all that is wrong at once.
Report checkFile(const fs::path& path)
{
    Report r;
    const ScanResult s = scanLevel(readFile(path));
    if (!s.ok) {
        r.failures.push_back("line " + std::to_string(s.line) + ", column " + std::to_string(s.column) + ": "
                             + s.message);
        return r;
    }
    if (!enter(path)) {
        r.failures.push_back("the game's loader refused the file");
        return r;
    }
    r.loads = true;
    checkDoors(s, r);
    checkNothingFallsOut(path, r);
    if (countKind(Trigger::fileLetter) == 0)
        r.failures.push_back("there is no trigger (T), so the exit can never open");
    checkReach(s, r);
    noteLookAlikes(r);
    return r;
}

struct Options {
    fs::path dir = "levels";
    fs::path solutions = "tests/replay/solutions";
    int only = 0;
    int carries = 1;  // the quick form
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    bool table = false;
};

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; i++) {
        const bool hasValue = i + 1 < argc;
        if (!strcmp(argv[i], "--level") && hasValue)
            o.only = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--carries") && hasValue)
            o.carries = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--jobs") && hasValue)
            o.jobs = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--solutions") && hasValue)
            o.solutions = argv[++i];
        else if (!strcmp(argv[i], "--table"))
            o.table = true;
        else if (argv[i][0] != '-')
            o.dir = argv[i];
        else
            return false;
    }
    return o.only >= 0 && o.carries >= 0 && o.jobs >= 1;
}

struct Entry {
    int number;
    fs::path path;
    Report report;
    bool ready;  // nothing more to add: printable
};

// Plays the script late at each timed action (see timing.h) and fails a
// level that asks for less slack than its limit; the figure for the table.
// The table's figure is measured as far as the slack tool's, the check alone
// only as far as the limit.
std::string checkTiming(Entry& e, const std::string& scriptPath, const Options& o)
{
    const LevelSlack s =
        measureSlack(e.path.string(), scriptPath, o.table ? SlackDepth::ToTheCap : SlackDepth::ToTheLimit);
    const std::string fault = slackFault(s);
    if (!fault.empty())
        e.report.failures.push_back(fault);
    if (!s.error.empty())
        return "FAILED";
    if (s.belowLimit())
        return slackFigure(s) + " (below " + std::to_string(s.limit()) + ")";
    return slackFigure(s) + (s.timingIsTheIdea ? " (timing)" : "");
}

void prove(Entry& e, const LevelResult& solved, const Options& o)
{
    const std::string scriptPath = (o.solutions / (std::to_string(e.number) + ".txt")).string();
    const ScriptFacts script = readScriptFacts(scriptPath);
    const ProofVerdict v = judgeProof(solved, script, e.number >= firstPuzzleLevel);
    Report& r = e.report;
    r.failures.insert(r.failures.end(), v.failures.begin(), v.failures.end());
    r.proven = v.summary;
    if (!script.error.empty())
        return;
    const bool proofFailed = !r.failures.empty();
    const std::string slack = checkTiming(e, scriptPath, o);
    if (!solved.error.empty())
        return;
    const bool found = solved.minimum >= 0;
    const std::string kinds = specialKinds(solved);
    std::string needed = kinds.empty() ? "-" : script.showcase ? "showcase" : "yes";
    if (proofFailed)
        needed = "FAILED";
    r.row = "| " + std::to_string(e.number) + " | "
        + (found ? std::to_string(solved.minimum) : "more than " + std::to_string(solved.limit)) + " | "
        + (found ? std::to_string(solved.pushes) : "-") + " | "
        + (found ? std::to_string(solved.solutions) : "-") + " | " + (kinds.empty() ? "-" : kinds) + " | "
        + needed + " | " + slack + " |";
}

void print(FILE* out, const Entry& e)
{
    const Report& r = e.report;
    fprintf(out, "%s: %s", e.path.c_str(), r.failures.empty() ? "ok" : "FAILED");
    if (!r.proven.empty())
        fprintf(out, " (%s)", r.proven.c_str());
    fprintf(out, "\n");
    for (const std::string& f : r.failures)
        fprintf(out, "    %s\n", f.c_str());
    for (const std::string& n : r.notes)
        fprintf(out, "    note: %s\n", n.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        fprintf(stderr,
                "usage: levelcheck [--level N] [--carries C] [--jobs J] [--solutions DIR] [--table] "
                "[LEVELDIR]\n");
        return 2;
    }
    if (!fs::is_directory(o.dir)) {
        fprintf(stderr, "levelcheck: %s is not a directory\n", o.dir.c_str());
        return 2;
    }
    const FreshGame game;
    const auto began = std::chrono::steady_clock::now();

    std::vector<std::string> problems;
    std::vector<Entry> entries;
    std::vector<std::string> toSolve;
    std::vector<std::size_t> solving;  // the entry of each level in toSolve
    for (const auto& [n, path] : listLevels(o.dir, problems)) {
        if (o.only && n != o.only)
            continue;
        Report r = checkFile(path);
        const bool solve = r.loads;
        if (solve) {
            toSolve.push_back(path.string());
            solving.push_back(entries.size());
        }
        entries.push_back({n, path, r, !solve});
    }
    delete level;
    level = nullptr;

    // The report goes out in the levels' order, each level as soon as it and
    // every one before it are done; the table, when asked for, alone on
    // standard output.
    FILE* out = o.table ? stderr : stdout;
    if (o.table)
        printf("| level | fewest carries | fewest pushes | distinct solutions | kinds | every special domino "
               "needed | timing slack |\n"
               "| --- | --- | --- | --- | --- | --- | --- |\n");
    std::size_t printed = 0, solved = 0;
    auto flush = [&]() {
        for (; printed < entries.size() && entries[printed].ready; printed++) {
            print(out, entries[printed]);
            if (o.table && !entries[printed].report.row.empty())
                printf("%s\n", entries[printed].report.row.c_str());
            fflush(stdout);
        }
    };
    flush();
    SolveLimits limits;
    limits.carries = o.carries;
    limits.kinds = true;
    solveInParallel(toSolve, limits, o.jobs, [&](const LevelResult& result) {
        Entry& e = entries[solving[solved++]];
        prove(e, result, o);
        e.ready = true;
        flush();
    });

    int failed = 0;
    for (const Entry& e : entries)
        failed += !e.report.failures.empty();
    for (const std::string& p : problems)
        fprintf(out, "%s: %s\n", o.dir.c_str(), p.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    const int checked = static_cast<int>(entries.size());
    fprintf(out,
            "levelcheck: %d levels checked, %d ok, %d failed%s (the solver up to %d carr%s, %.1f s on %d "
            "job%s)\n",
            checked, checked - failed, failed, problems.empty() ? "" : ", and the numbering is broken",
            o.carries, o.carries == 1 ? "y" : "ies", seconds, o.jobs, o.jobs == 1 ? "" : "s");
    return failed || !problems.empty() ? 1 : 0;
}
