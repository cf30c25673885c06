// solver: every solution of each level with the fewest carries, and among
// them the fewest pushes.
//
//   solver [--carries N] [--kinds] [--jobs J] [--level N] [--script] [--all]
//          [--rounds] [--thorough] [--solutions DIR] [--memory MB] LEVELDIR
//
// For the levels LEVELDIR/1, LEVELDIR/2, ... (up to the first missing number,
// as the game reads them) it prints the fewest carries that solve each one
// (or "more than N", default 2) and the fewest pushes with them, how many
// distinct solutions have both, and the quickest of them in one line (--all:
// every one of them) and, with --script, as a replay script. With --kinds it also says of every special
// domino whether a standard one would do as well. --rounds tells what
// each round of carries took (arrangements explored, plays). --solutions DIR compares
// with the shipped scripts DIR/N.txt. --thorough plays every candidate from
// the level's start through the main loop instead of sharing plays: slow,
// the yardstick for the fast search. Levels are solved --jobs at a time
// (default: every core). --memory MB limits the solver's address space to MB
// megabytes: a level whose search reaches the limit says "the solver ran out
// of memory" and gives back what it held, and the others go on. Exits with 1
// when a level cannot be read or is not solved within the limit, 3 when the
// solver ran out of memory for one (whatever the others did), 2 on a wrong
// command line.
#include "parallel.h"
#include "script.h"
#include "solver.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Options {
    SolveLimits limits;
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    int only = 0;
    bool script = false;
    bool all = false;
    bool rounds = false;
    long memory = 0;  // megabytes of address space; 0 for no limit
    std::string solutions;
    std::string dir;
};

void usage()
{
    fprintf(stderr,
            "usage: solver [--carries N] [--kinds] [--jobs J] [--level N] [--script] "
            "[--all] [--rounds] [--thorough] [--solutions DIR] [--memory MB] LEVELDIR\n");
}

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--carries" && hasValue)
            o.limits.carries = std::atoi(argv[++i]);
        else if (arg == "--kinds")
            o.limits.kinds = true;
        else if (arg == "--jobs" && hasValue)
            o.jobs = std::atoi(argv[++i]);
        else if (arg == "--level" && hasValue)
            o.only = std::atoi(argv[++i]);
        else if (arg == "--script")
            o.script = true;
        else if (arg == "--all")
            o.all = true;
        else if (arg == "--rounds")
            o.rounds = true;
        else if (arg == "--thorough")
            o.limits.thorough = true;
        else if (arg == "--memory" && hasValue)
            o.memory = std::atol(argv[++i]);
        else if (arg == "--solutions" && hasValue)
            o.solutions = argv[++i];
        else if (o.dir.empty() && arg[0] != '-')
            o.dir = arg;
        else
            return false;
    }
    return !o.dir.empty() && o.limits.carries >= 0 && o.jobs >= 1 && o.only >= 0 && o.memory >= 0;
}

std::string carries(int n)
{
    return std::to_string(n) + (n == 1 ? " carry" : " carries");
}

// The carries of a solution script, -1 without a readable one.
int scriptCarries(const std::string& path)
{
    std::vector<Action> script;
    std::string error;
    return readScript(path, script, error) ? carriesOf(script) : -1;
}

void printIndented(const std::string& text, const char* indent)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        printf("%s%s\n", indent, line.c_str());
}

void print(const LevelResult& r, int number, const Options& o)
{
    printf("level %d: ", number);
    if (!r.error.empty()) {
        printf("%s\n", r.error.c_str());
        return;
    }
    if (r.minimum < 0)
        printf("more than %s", carries(r.limit).c_str());
    else
        printf("%s and %d push%s, %d distinct solution%s", carries(r.minimum).c_str(), r.pushes,
               r.pushes == 1 ? "" : "es", r.solutions, r.solutions == 1 ? "" : "s");
    if (!o.solutions.empty()) {
        const int shipped =
            scriptCarries((fs::path(o.solutions) / (std::to_string(number) + ".txt")).string());
        if (shipped >= 0)
            printf("; shipped script %s%s", carries(shipped).c_str(),
                   r.minimum >= 0 && r.minimum < shipped ? ": the solver's is SHORTER" : "");
    }
    printf(" (%.1f s, %d plays)\n", r.seconds, r.plays);
    if (o.rounds)
        for (const std::string& line : r.rounds)
            printf("    %s\n", line.c_str());
    if (r.unverified)
        printf("    %d found by the search did not play through with the replay driver\n", r.unverified);
    if (o.all)
        for (const std::string& e : r.every)
            printf("    %s\n", e.c_str());
    else if (r.minimum >= 0)
        printf("    %s (%d ticks)\n", r.summary.c_str(), r.ticks);
    if (o.script && r.minimum >= 0)
        printIndented(r.script, "        ");
    for (const KindCheck& k : r.kinds) {
        printf("    %c at (%d,%d): ", k.kind, k.column, k.row);
        if (k.replaceable)
            printf("replaceable, an N solves the level with %s\n", carries(k.carries).c_str());
        else if (r.minimum < 0)
            printf("no N solves the level within %s\n", carries(r.limit).c_str());
        else
            printf("needed\n");
        if (o.script && k.replaceable)
            printIndented(k.script, "        ");
    }
    fflush(stdout);
}

// The address space of the whole process, threads and all.
bool limitMemory(long megabytes)
{
    const rlim_t bytes = static_cast<rlim_t>(megabytes) << 20;
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? bytes : std::min<rlim_t>(bytes, limit.rlim_max);
    if (setrlimit(RLIMIT_AS, &limit) == 0)
        return true;
    perror("solver: --memory");
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    std::vector<std::string> paths;
    std::vector<int> numbers;
    for (int n = 1; fs::exists(fs::path(o.dir) / std::to_string(n)); n++)
        if (!o.only || n == o.only) {
            paths.push_back((fs::path(o.dir) / std::to_string(n)).string());
            numbers.push_back(n);
        }
    if (paths.empty()) {
        fprintf(stderr, "solver: no level files %s/1, %s/2, ...%s\n", o.dir.c_str(), o.dir.c_str(),
                o.only ? " with that number" : "");
        return 2;
    }
    if (o.memory && !limitMemory(o.memory))
        return 2;
    const auto began = std::chrono::steady_clock::now();
    int failed = 0;
    bool outOfMemory = false;
    std::size_t next = 0;
    solveInParallel(paths, o.limits, o.jobs, [&](const LevelResult& r) {
        print(r, numbers[next++], o);
        failed += !r.error.empty() || r.minimum < 0;
        outOfMemory = outOfMemory || r.outOfMemory;
    });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    printf("solver: %zu level%s, up to %s%s, %.1f s on %d job%s\n", paths.size(),
           paths.size() == 1 ? "" : "s", carries(o.limits.carries).c_str(),
           o.limits.kinds ? " with the kind check" : "", seconds, o.jobs, o.jobs == 1 ? "" : "s");
    return outOfMemory ? 3 : failed ? 1 : 0;
}
