#include "playteam.h"

PlayTeam::PlayTeam(const std::string& levelPath, int jobs) : path(levelPath), own(levelPath)
{
    for (int i = 1; i < jobs && own.loaded(); i++)
        workers.emplace_back([this] { serve(); });
}

PlayTeam::~PlayTeam()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    started.notify_all();
    for (std::thread& t : workers)
        t.join();
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
    if (failure)
        std::rethrow_exception(failure);
}

void PlayTeam::serve()
{
    Simulation sim(path);
    long long seen = 0;
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        started.wait(guard, [&] { return stopping || round != seen; });
        if (stopping)
            return;
        seen = round;
        const Work& work = *current;
        guard.unlock();
        workThrough(work, sim);
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
