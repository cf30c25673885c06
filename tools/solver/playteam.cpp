#include "playteam.h"

#include <memory>
#include <new>

// A thread that cannot be started (no memory for its stack) stops the ones
// that were, so that nothing is left running when the failure is thrown on.
PlayTeam::PlayTeam(const std::string& levelPath, int jobs) : path(levelPath), own(levelPath)
{
    try {
        for (int i = 1; i < jobs && own.loaded(); i++)
            workers.emplace_back([this] { serve(); });
    } catch (...) {
        stop();
        throw;
    }
}

PlayTeam::~PlayTeam()
{
    stop();
}

void PlayTeam::stop()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    started.notify_all();
    for (std::thread& t : workers)
        t.join();
    workers.clear();
}

void PlayTeam::forEach(int count, const Work& work)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        current = &work;
        items = count;
        next = 0;
        busy = static_cast<int>(workers.size());
        failure = nullptr;
        round++;
    }
    started.notify_all();
    workThrough(work, own);
    std::unique_lock<std::mutex> guard(lock);
    ended.wait(guard, [this] { return busy == 0; });
    current = nullptr;
    if (failure || setUpFailure)
        std::rethrow_exception(failure ? failure : setUpFailure);
}

// A worker whose simulation could not be made takes no items; every list
// then fails with what stopped it. The team's own simulation has read the
// level already, so only memory can fail it here.
void PlayTeam::serve()
{
    std::unique_ptr<Simulation> sim;
    try {
        sim = std::make_unique<Simulation>(path);
        if (!sim->loaded())
            throw std::bad_alloc();
    } catch (...) {
        std::lock_guard<std::mutex> guard(lock);
        setUpFailure = std::current_exception();
        sim.reset();
    }
    long long seen = 0;
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        started.wait(guard, [&] { return stopping || round != seen; });
        if (stopping)
            return;
        seen = round;
        const Work& work = *current;
        guard.unlock();
        if (sim)
            workThrough(work, *sim);
        guard.lock();
        if (--busy == 0)
            ended.notify_one();
    }
}

// After a failure the others stop at their next item.
void PlayTeam::workThrough(const Work& work, Simulation& sim)
{
    for (int i = next++; i < items; i = next++) {
        try {
            work(i, sim);
        } catch (...) {
            std::lock_guard<std::mutex> guard(lock);
            if (!failure)
                failure = std::current_exception();
            next = items;
        }
    }
}
