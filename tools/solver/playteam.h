// Plays candidate solutions of one level on several threads at once. Each
// thread holds a Simulation of the level in its own game state (the game's
// level, player and camera exist once per thread), so plays run side by side
// without sharing anything but the level file they were read from.
//
// The thread that makes the team is one of its players: it holds a
// simulation of its own for as long as the team lives and works through the
// same lists as the others. So one job is the caller alone, and every further
// job a worker thread beside it.
#ifndef SOLVER_PLAYTEAM_H
#define SOLVER_PLAYTEAM_H

#include "simulation.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PlayTeam {
public:
    // Work on item i of a list, with the simulation of the thread doing it.
    using Work = std::function<void(int i, Simulation& sim)>;

    // Reads the level at levelPath on jobs threads (at least one), the
    // calling thread among them.
    PlayTeam(const std::string& levelPath, int jobs);
    ~PlayTeam();
    PlayTeam(const PlayTeam&) = delete;
    PlayTeam& operator=(const PlayTeam&) = delete;

    // False when the game's loader refused the level.
    bool loaded() const { return own.loaded(); }
    // The level as it stands once everything has come to rest.
    const LevelStart& start() const { return own.start(); }
    Terrain& terrain() { return own.terrain(); }
    int jobs() const { return static_cast<int>(workers.size()) + 1; }

    // Calls work for every item from 0 to count - 1, each once, on the
    // team's threads, and returns when all are done. Only the thread that
    // made the team may call it. Something thrown by the work is thrown
    // again here once the others have stopped.
    void forEach(int count, const Work& work);

private:
    std::string path;
    Simulation own;
    std::vector<std::thread> workers;

    std::mutex lock;
    std::condition_variable started;  // a list to work through, or the end
    std::condition_variable ended;    // a worker is through with the list
    const Work* current = nullptr;
    int items = 0;
    std::atomic<int> next{0};
    int busy = 0;         // workers still on the current list
    long long round = 0;  // lists handed out so far
    bool stopping = false;
    std::exception_ptr failure;
    std::exception_ptr setUpFailure;  // a worker's simulation could not be made

    void stop();
    void serve();
    void workThrough(const Work& work, Simulation& sim);
};

#endif
