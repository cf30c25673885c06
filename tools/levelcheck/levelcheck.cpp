// levelcheck: the designer's check of the game's level files.
//
//   levelcheck [--level N] [DIR]      (DIR defaults to "levels")
//
// For every level file DIR/1, DIR/2, ... it checks that the file reads (and
// says where and why it does not), that the exit stands on a floor and the
// player coming out of the entrance lands on one, that no domino stands in
// mid-air above nothing, that there is a trigger, that the player can get
// from the entrance to the exit, and, from level 4 on, that no single push of a
// domino as the level starts opens the exit with a way to it. It also checks
// that the files are numbered from 1 without gaps. One line per level, a
// summary, and a non-zero exit status when anything failed.
//
// It runs the game's own code headless: the loader, the dominoes and the
// player, linked with the recording OpenGL and the scripted SDL.
#include "lost.h"
#include "reach.h"
#include "scan.h"

#include "cell.h"
#include "delay.h"
#include "domino.h"
#include "level.h"
#include "main.h"
#include "player.h"
#include "trigger.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Levels before this one may be solved by one push: they teach the push.
const int firstPuzzleLevel = 4;
// Ticks a chain may run before it counts as still; longer than any chain.
const int maxChainTicks = 3000;
// Ticks without any motion that make a level still.
const int stillTicks = 2;

struct Report {
    std::vector<std::string> failures;
    std::vector<std::string> notes;
    int pushesTried = 0;
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

// What a frame does for play between ticks: pushes become motion. Nothing
// needs drawing.
void frame()
{
    animateFrame(0);
}

bool anyMotion()
{
    for (int i = 0; i < level->dcount; i++) {
        Domino* d = level->doms[i];
        Delay* delay = dynamic_cast<Delay*>(d);
        if (d->speed || d->fly || d->accel || (delay && delay->timer))
            return true;
    }
    return false;
}

// Runs ticks, each followed by a frame, until nothing has moved for a
// while. False when the player fell out of the level.
bool runUntilStill()
{
    int quiet = 0;
    for (int t = 0; t < maxChainTicks && quiet < stillTicks; t++) {
        if (!player.update())
            return false;
        level->update();
        frame();
        quiet = anyMotion() ? 0 : quiet + 1;
    }
    return true;
}

// The player standing still in cell c, out of the doors, as after a walk.
void standIn(Cell* c)
{
    player.init(c);
    player.z = 0;
    player.deltaZ = 0;
}

struct Push {
    int x, y, dir;
};

std::string describe(const Push& p)
{
    return std::string("push ") + (p.dir < 0 ? "left" : "right") + " at column " + std::to_string(p.x)
           + " row " + std::to_string(p.y);
}

// Plays the pushes on a fresh copy of the level, the player standing at
// each domino in turn, and says whether the player could then leave.
bool pushesSolve(const fs::path& path, const std::vector<Push>& pushes)
{
    enter(path);
    for (const Push& p : pushes) {
        standIn(level->getCell(p.x, p.y));
        player.push(p.dir);
        frame();
    }
    if (!runUntilStill())
        return false;
    const bool opened = level->wayOut.angle > 0 || level->wayOut.speed;
    if (!opened)
        return false;
    Cell* here = player.getCell(0);
    const std::vector<bool> reach = reachableFrom(floorsOf(*level), here->getX(), here->getY());
    Cell* out = level->wayOut.getCell();
    return reach[out->getY() * level->wid + out->getX()];
}

// Every push the player could make at the start, without moving a domino:
// each domino in slot 0 of a reachable cell, both ways. A push of a Delay
// does not use up the level's push, so it is also tried before each other.
void proveNoOnePushSolution(const fs::path& path, const std::vector<bool>& reach, Report& r)
{
    std::vector<Push> candidates;
    std::vector<bool> isDelay;
    for (int y = 0; y < level->hei; y++)
        for (int x = 0; x < level->wid; x++) {
            Domino* d = level->getCell(x, y)->getDomino(0);
            if (!reach[y * level->wid + x] || d->isBlank())
                continue;
            for (int dir : {-1, 1}) {
                candidates.push_back({x, y, dir});
                isDelay.push_back(dynamic_cast<Delay*>(d) != nullptr);
            }
        }
    for (size_t i = 0; i < candidates.size(); i++) {
        r.pushesTried++;
        if (pushesSolve(path, {candidates[i]}))
            r.failures.push_back("solved by one push: " + describe(candidates[i]));
        if (!isDelay[i])
            continue;
        for (size_t j = 0; j < candidates.size(); j++) {
            if (isDelay[j])
                continue;
            r.pushesTried++;
            if (pushesSolve(path, {candidates[i], candidates[j]}))
                r.failures.push_back("solved by starting a delay and one push: " + describe(candidates[i])
                                     + ", then " + describe(candidates[j]));
        }
    }
}

int countTriggers()
{
    int n = 0;
    for (int i = 0; i < level->dcount; i++)
        n += dynamic_cast<Trigger*>(level->doms[i]) != nullptr;
    return n;
}

std::string at(int x, int y)
{
    return "at column " + std::to_string(x) + " row " + std::to_string(y);
}

// The player may come out of the entrance in mid-air and drop to a floor
// below; the exit must have its own floor to be walked into.
void checkDoors(const ScanResult& s, Report& r)
{
    if (!landsInside(floorsOf(*level), s.ix, s.iy))
        r.failures.push_back("the entrance " + at(s.ix, s.iy)
                             + " has no floor under it: the player falls out of the level");
    if (!level->getCell(s.ox, s.oy)->getFloor())
        r.failures.push_back("the exit " + at(s.ox, s.oy) + " has no floor under it");
}

// Plays the level on its own, so it enters a fresh copy again afterwards.
void checkNothingFallsOut(const fs::path& path, Report& r)
{
    for (const Spot& d : dominoesLostAtStart())
        r.failures.push_back("the domino " + at(d.x, d.y) + " stands in mid-air and leaves the level: "
                             + "it never comes to rest, so the exit can never open");
    enter(path);
}

void checkReach(const ScanResult& s, std::vector<bool>& reach, Report& r)
{
    reach = reachableFrom(floorsOf(*level), s.ix, s.iy);
    if (reach[s.oy * s.wid + s.ox])
        return;
    const std::vector<bool> later = reachableFrom(floorsAfterChain(*level), s.ix, s.iy);
    if (later[s.oy * s.wid + s.ox])
        r.notes.push_back("the exit is reached only after bridges or boomers change the floors");
    else
        r.failures.push_back("the exit cannot be reached from the entrance");
}

Report checkLevel(const fs::path& path, int number)
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
    checkDoors(s, r);
    checkNothingFallsOut(path, r);
    if (countTriggers() == 0)
        r.failures.push_back("there is no trigger (T), so the exit can never open");
    std::vector<bool> reach;
    checkReach(s, reach, r);
    if (number >= firstPuzzleLevel && r.failures.empty())
        proveNoOnePushSolution(path, reach, r);
    return r;
}

void print(const fs::path& path, const Report& r)
{
    printf("%s: %s", path.c_str(), r.failures.empty() ? "ok" : "FAILED");
    if (r.pushesTried)
        printf(" (%d opening pushes tried, none solves it)", r.pushesTried);
    printf("\n");
    for (const std::string& f : r.failures)
        printf("    %s\n", f.c_str());
    for (const std::string& n : r.notes)
        printf("    note: %s\n", n.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    fs::path dir = "levels";
    int only = 0;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--level") && i + 1 < argc)
            only = atoi(argv[++i]);
        else
            dir = argv[i];
    }
    if (!fs::is_directory(dir)) {
        fprintf(stderr, "levelcheck: %s is not a directory\n", dir.c_str());
        return 2;
    }
    borderCell.init(-2, -2, 0, false);

    std::vector<std::string> problems;
    const std::map<int, fs::path> levels = listLevels(dir, problems);
    int failed = 0, checked = 0;
    for (const auto& [n, path] : levels) {
        if (only && n != only)
            continue;
        const Report r = checkLevel(path, n);
        print(path, r);
        checked++;
        failed += !r.failures.empty();
    }
    for (const std::string& p : problems)
        printf("%s: %s\n", dir.c_str(), p.c_str());
    printf("levelcheck: %d levels checked, %d ok, %d failed%s\n", checked, checked - failed, failed,
           problems.empty() ? "" : ", and the numbering is broken");
    delete level;
    level = nullptr;
    return failed || !problems.empty() ? 1 : 0;
}
