// Simulation and drawing benchmarks on generated stress levels: the cost of
// a tick, of the frame drawn after it, and of loading, at several sizes, so
// that the growth with the number of dominoes shows. Each iteration is one
// tick of play (update, then a drawn frame, as the main loop runs them); the
// time reported is the thread's CPU time in the part the benchmark names, so
// that other work on a busy machine does not count.
#include "domino.h"
#include "graphics.h"
#include "main.h"
#include "stress_level.h"
#include "view.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

const int stressWidth = 100;   // cells per row of the stress levels
const int episodeTicks = 100;  // ticks of one run: every chain has come down
const int timedEpisodes = 3;   // runs per measurement: each tick is timed alone
const float midTick = 0.5f;    // the frames are drawn half-way between ticks

// Writes text to a private temporary file that lives as long as this does.
class TempFile {
public:
    explicit TempFile(const std::string& text)
    {
        char name[] = "/tmp/toppleton-bench-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            abort();
        close(fd);
        path = name;
    }
    ~TempFile() { unlink(path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string path;
};

// One level entered as the game enters it, played tick by tick.
class Scene {
public:
    explicit Scene(const std::string& path)
    {
        resetGraphics();
        if (!enterLevel(path.c_str()))
            abort();
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // The push the player would make, once for every chain.
    void startChains(const std::vector<ChainStart>& starts)
    {
        for (const ChainStart& s : starts)
            level->getCell(s.x, s.y)->getDomino(0)->push(1, Domino::contactSquare);
    }

    void update() { ::tick(); }

    // The main loop's frame: clear, camera, light, player, level.
    void frame()
    {
        updateCam(refreshInterval);
        draw();
    }

    // The frame with the camera left where it is.
    void draw()
    {
        static const float lightPos[4] = {0.1f, 1.0f, 1.0f, 0.0f};
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        applyCam();
        glLightfv(GL_LIGHT0, GL_POSITION, lightPos);
        animateFrame(midTick);
        player.render(midTick);
        level->render(midTick);
    }

    // Lets the camera go where it comes to rest while nothing moves: it backs
    // away until it takes in the level's corners.
    void restCamera()
    {
        const int restFrames = 3000;
        for (int i = 0; i < restFrames; i++) {
            updateCam(refreshInterval);
            animateFrame(midTick);
        }
    }

private:
    FreshGame game;  // the level entered, while the Scene lives
};

bool moving(Domino* d)
{
    return d->inPlay() && d->needsAnimating();
}

bool fallen(Domino* d)
{
    return d->angle || d->broken || d->elev || !d->inPlay();
}

int countDominoes(bool (*test)(Domino*))
{
    return std::count_if(level->doms, level->doms + level->dcount, test);
}

// What one run of the level does: how many dominoes came down, broke, and
// moved at once at most. Figures beside the timings, not timings.
void describeRun(benchmark::State& state, const StressLevel& stress, const std::string& path)
{
    Scene scene(path);
    scene.startChains(stress.starts);
    int peak = 0;
    for (int i = 0; i < episodeTicks; i++) {
        scene.update();
        scene.frame();
        peak = std::max(peak, countDominoes(moving));
    }
    state.counters["dominoes"] = level->dcount;
    state.counters["fallen"] = countDominoes(fallen);
    state.counters["broken"] = countDominoes([](Domino* d) { return d->broken; });
    state.counters["moving_peak"] = peak;
}

enum class Part { update, frame, tickAndFrame };

// CPU time of this thread, in seconds.
double cpuNow()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// One iteration is one tick and its frame; runs of episodeTicks ticks on a
// fresh level follow each other, a whole number of them, so that every stage
// of the fall weighs the same. The worst tick is reported beside the mean.
void playStress(benchmark::State& state, Part part)
{
    const StressLevel stress = makeStressLevel(stressWidth, state.range(0) - 1);
    const TempFile file(stress.text);
    std::unique_ptr<Scene> scene;
    int tick = episodeTicks;
    double worst = 0;
    for (auto _ : state) {
        if (tick == episodeTicks) {
            scene.reset();
            scene = std::make_unique<Scene>(file.path);
            scene->startChains(stress.starts);
            tick = 0;
        }
        const double start = cpuNow();
        scene->update();
        const double updated = cpuNow();
        scene->frame();
        const double drawn = cpuNow();
        tick++;
        const double spent = part == Part::update ? updated - start
            : part == Part::frame                 ? drawn - updated
                                                  : drawn - start;
        worst = std::max(worst, spent);
        state.SetIterationTime(spent);
    }
    scene.reset();
    describeRun(state, stress, file.path);
    state.counters["worst_us"] = worst * 1e6;
    state.SetLabel(graphicsName());
}

void BM_TickUpdate(benchmark::State& state)
{
    playStress(state, Part::update);
}

void BM_TickFrame(benchmark::State& state)
{
    playStress(state, Part::frame);
}

void BM_TickAndFrame(benchmark::State& state)
{
    playStress(state, Part::tickAndFrame);
}

// A frame of a shipped level at its start, as the game shows it first. The
// frame is too short to time alone with the thread's CPU clock: read the CPU
// column, which a busy machine inflates less than the wall time.
void BM_FrameShipped(benchmark::State& state)
{
    const std::string path = std::string(TOPPLETON_LEVELS_DIR) + "/" + std::to_string(state.range(0));
    Scene scene(path);
    for (auto _ : state)
        scene.frame();
    state.counters["dominoes"] = level->dcount;
    state.SetLabel(graphicsName());
}

// A frame of a standing stress level of the given width and height, its
// work and its drawing, the camera held still. The third argument says
// where: 0 where a level starts it, in front of the lower left corner; 1 the
// same, but drawing every cell as the game did before it skipped those out
// of view; 2 where the camera comes to rest. The cells the view can reach
// are counted beside the time.
void BM_FrameBySize(benchmark::State& state)
{
    enum { start, startDrawingAll, resting };
    const StressLevel stress = makeStressLevel(state.range(0), state.range(1) - 1);
    const TempFile file(stress.text);
    Scene scene(file.path);
    if (state.range(2) == resting)
        scene.restCamera();
    View::everything = state.range(2) == startDrawingAll;
    const CellRange seen = View().cells(level->wid, level->hei);
    const int drawn = std::max(0, seen.right - seen.left + 1) * std::max(0, seen.top - seen.bottom + 1);
    const int recordable = 100000;  // the recording GL keeps every vertex of a frame
    if (drawn > recordable && std::string(graphicsName()) == "recording GL")
        state.SkipWithError("too many cells drawn for the recording GL");
    else
        for (auto _ : state)
            scene.draw();
    View::everything = false;
    state.counters["cells"] = level->wid * level->hei;
    state.counters["cells_drawn"] = drawn;
    state.counters["camera_z"] = camera[2];
    state.SetLabel(graphicsName());
}

// Reading a level file into a fresh Level; deleting it is not timed. The
// arguments are the level's width and height.
void BM_Load(benchmark::State& state)
{
    const int width = state.range(0);
    const StressLevel stress = makeStressLevel(width, state.range(1) - 1);
    const TempFile file(stress.text);
    for (auto _ : state) {
        const double start = cpuNow();
        Level* loaded = new Level;
        if (!loaded->load(file.path.c_str()))
            abort();
        state.SetIterationTime(cpuNow() - start);
        delete loaded;
    }
    state.counters["dominoes"] = stress.dominoes;
    state.SetBytesProcessed(state.iterations() * stress.text.size());
}

// The level of dominoes dropping through open air (stresslevel --falling),
// side by side cells, every other row full of them: each iteration is a tick
// and the frame after it, the camera held where a level starts it, so that
// the frame draws a few hundred cells while its work visits every domino
// that falls. Timed: the frame; the tick's update beside it. The first
// frame takes in every domino at once (they all start to drop); every sixth
// moves each of them a row down.
void BM_FallingLevel(benchmark::State& state)
{
    const StressLevel falling = makeFallingLevel(state.range(0), state.range(0));
    const TempFile file(falling.text);
    Scene scene(file.path);
    double updates = 0, worst = 0;
    for (auto _ : state) {
        const double start = cpuNow();
        scene.update();
        const double updated = cpuNow();
        scene.draw();
        const double frame = cpuNow() - updated;
        state.SetIterationTime(frame);
        updates += updated - start;
        worst = std::max(worst, frame);
    }
    state.counters["update_ms"] = updates * 1000 / state.iterations();
    state.counters["worst_frame_ms"] = worst * 1000;
    state.counters["dominoes"] = level->dcount;
    state.SetLabel(graphicsName());
}

// The stress levels are 100 cells wide; the argument is their height.
void stressSizes(benchmark::internal::Benchmark* b)
{
    for (int rows : {8, 15, 30, 60})
        b->Arg(rows);
    b->Iterations(timedEpisodes * episodeTicks)->UseManualTime()->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_TickUpdate)->Apply(stressSizes);
BENCHMARK(BM_TickFrame)->Apply(stressSizes);
BENCHMARK(BM_TickAndFrame)->Apply(stressSizes);
BENCHMARK(BM_FrameShipped)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameBySize)
    ->ArgsProduct({{100}, {30}, {0, 1, 2}})
    ->ArgsProduct({{256}, {128}, {0, 1, 2}})
    ->ArgsProduct({{1024}, {512}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load)
    ->Args({100, 30})
    ->Args({256, 128})
    ->Args({1024, 512})
    ->Args({1000, 1000})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_FallingLevel)
    ->Arg(256)
    ->Arg(1024)
    ->Arg(2048)
    ->Iterations(36)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
