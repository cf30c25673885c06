// replay: plays a directory of levels headless through the game's real
// init() and mainLoop(), steering the player from solution scripts, and
// reports per level whether it was solved. See README.md beside this file.
#include "digest.h"
#include "scripted_sdl.h"
#include "tick_counter.h"
#include "observe.h"
#include "options.h"
#include "script_play.h"
#include "main.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const Uint32 timeLimit = 6 * 3600 * 1000;  // virtual ms; the action budgets end a run long before

struct Options : PlayOptions {
    bool digest = false;     // fingerprints of each level's camera path and end state
    bool forWindow = false;  // plays and prints the keys for tools/window-play
};

void usage()
{
    fprintf(stderr,
            "usage: replay --levels DIR --solutions DIR [--level N] [--verbose] [--digest] [--for-window]\n");
}

bool parseOptions(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if (o.take(argc, argv, i))
            continue;
        if (arg == "--digest")
            o.digest = true;
        else if (arg == "--for-window")
            o.forWindow = true;
        else
            return false;
    }
    return o.complete();
}

// A private working directory whose "levels" is the level directory, since
// the game reads "levels/%d" from where it runs; removed when done.
class WorkingDir {
public:
    explicit WorkingDir(const fs::path& levels)
    {
        char pattern[] = "/tmp/replay-XXXXXX";
        dir = mkdtemp(pattern);
        fs::create_directory_symlink(fs::absolute(levels), dir / "levels");
        fs::current_path(dir);
    }
    ~WorkingDir() { fs::remove_all(dir); }

private:
    fs::path dir;
};

// Follows the game from frame to frame: notices each level's start and end,
// runs that level's script and prints its result.
class Replay {
public:
    explicit Replay(const Options& o) : options(o) {}

    void start() { counter.start(scriptedsdl::now()); }
    void onFrame();
    // After the main loop returned: a level still running was cut short.
    void finish();
    int played() const { return levels; }
    int solved() const { return solvedLevels; }

private:
    Options options;
    TickCounter counter;
    int ticks = 0;
    int levels = 0;
    int solvedLevels = 0;

    bool inLevel = false;
    int number = 0;
    int startTick = 0;
    std::unique_ptr<ScriptPlay> play;
    std::string failure;
    Digest cameraPath;  // since the last level ended, fade included
    Digest pictures;
    bool drawn = false;  // the GL records the pictures
    int frames = 0;

    void beginLevel();
    void endLevel();
    void abandon(const std::string& why);
    static std::string details(const std::string& why);
    void report(bool solved, const std::string& details);
};

void Replay::onFrame()
{
    addCamera(cameraPath);
    drawn = addPicture(pictures);
    frames++;
    const int before = ticks;
    ticks = counter.update(scriptedsdl::now());
    if (!inLevel) {
        if (levelDone)
            return;  // the fade of the level that ended
        // The level changed at the start of this pass, before its ticks.
        startTick = before;
        beginLevel();
        if (!inLevel)
            return;  // abandoned at once: no script
    }
    switch (play->look(ticks - startTick)) {
    case ScriptPlay::State::Playing: return;
    case ScriptPlay::State::WalkedOut: endLevel(); return;
    case ScriptPlay::State::FellOut:
        // The game stepped levelnum back to play it again; go on instead.
        levelnum++;
        failure = details(play->why());
        endLevel();
        return;
    case ScriptPlay::State::Failed: abandon(play->why()); return;
    }
}

void Replay::beginLevel()
{
    inLevel = true;
    number = levelnum;
    failure.clear();
    play.reset();
    std::vector<Action> script;
    std::string error;
    const fs::path path = options.solutions / (std::to_string(number) + ".txt");
    if (!readScript(path.string(), script, error)) {
        abandon(error);
        return;
    }
    play = std::make_unique<ScriptPlay>(script, options.verbose, options.forWindow);
}

// The game stops the level by itself; an abandoned level is stopped the same
// way, so the game goes on to the next one.
void Replay::abandon(const std::string& why)
{
    failure = details(why);
    if (play)
        play->releaseKey();
    levelDone = true;
    endLevel();
}

// Why a level failed, with where the player was and what had not fallen.
std::string Replay::details(const std::string& why)
{
    return why + "\n    " + describePlayer() + "\n" + describeUnfinished("    ");
}

void Replay::endLevel()
{
    report(failure.empty(), failure);
    inLevel = false;
    play.reset();
    if (options.only)
        scriptedsdl::quitNow();
}

void Replay::report(bool solved, const std::string& details)
{
    const int used = ticks - startTick;
    const char* push = level->pushed ? "push used" : "push not used";
    levels++;
    if (solved) {
        solvedLevels++;
        printf("level %d: solved in %d ticks (%.2f s), %s\n", number, used, used * tickLength / 1000.0, push);
    } else {
        printf("level %d: NOT solved after %d ticks, %s: %s", number, used, push, details.c_str());
    }
    if (options.digest) {
        Digest state;
        addState(state);
        printf("    digest: camera %s over %d frames, ", cameraPath.hex().c_str(), frames);
        if (drawn)
            printf("pictures %s, ", pictures.hex().c_str());
        printf("end state %s\n", state.hex().c_str());
    }
    cameraPath = Digest();
    pictures = Digest();
    frames = 0;
    fflush(stdout);
}

void Replay::finish()
{
    if (inLevel)
        abandon("the game ended during the level");
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }
    options.solutions = fs::absolute(options.solutions);
    WorkingDir workingDir(options.levels);

    const FreshGame game;
    scriptedsdl::setTimeLimit(timeLimit);
    if (options.only)
        levelnum = options.only;
    char name[] = "toppleton";
    char* gameArgv[] = {name, nullptr};
    if (!init(1, gameArgv)) {
        fprintf(stderr, "replay: the game could not start\n");
        return 2;
    }

    Replay replay(options);
    replay.start();
    scriptedsdl::setFrameHook([&replay] { replay.onFrame(); });
    mainLoop();
    replay.finish();
    scriptedsdl::setFrameHook(nullptr);
    SDL_Quit();

    printf("replay: %d of %d levels solved\n", replay.solved(), replay.played());
    return replay.played() > 0 && replay.solved() == replay.played() ? 0 : 1;
}
