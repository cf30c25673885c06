// Solves many levels on every core: each level on a thread of its own (the
// game's state exists once per thread), several at a time, and each with
// its share of the workers that play its candidates.
#ifndef SOLVER_PARALLEL_H
#define SOLVER_PARALLEL_H

#include "solver.h"

#include <functional>
#include <string>
#include <vector>

// Calls done with each level's result in the order of paths, as soon as it
// and every one before it are in, on the calling thread. jobs threads play
// at a time: as many levels at once as there are jobs, or, with fewer levels
// than jobs, the jobs shared among them.
void solveInParallel(const std::vector<std::string>& paths, const SolveLimits& limits, int jobs,
                     const std::function<void(const LevelResult&)>& done);

#endif
