#include "parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

void solveInParallel(const std::vector<std::string>& paths, const SolveLimits& limits, int jobs,
                     const std::function<void(const LevelResult&)>& done)
{
    jobs = std::max(1, jobs);
    const int count = static_cast<int>(paths.size());
    const int atOnce = std::max(1, std::min(jobs, count));
    SolveLimits each = limits;
    each.jobs = std::max(1, jobs / atOnce);

    std::vector<std::optional<LevelResult>> results(paths.size());
    std::mutex lock;
    std::condition_variable arrived;
    std::atomic<int> next{0};
    std::vector<std::thread> solvers;
    for (int t = 0; t < atOnce; t++)
        solvers.emplace_back([&] {
            for (int i = next++; i < count; i = next++) {
                LevelResult r = solveLevel(paths[i], each);
                std::lock_guard<std::mutex> guard(lock);
                results[i] = std::move(r);
                arrived.notify_one();
            }
        });
    for (int reported = 0; reported < count; reported++) {
        std::unique_lock<std::mutex> guard(lock);
        arrived.wait(guard, [&] { return results[reported].has_value(); });
        const LevelResult r = std::move(*results[reported]);
        guard.unlock();
        done(r);
    }
    for (std::thread& t : solvers)
        t.join();
}
