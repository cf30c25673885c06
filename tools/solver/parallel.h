// Solves many levels at once on every core: each level in a process of its
// own, forked (the game keeps its state in globals), whose result comes back
// through a pipe. What the game prints meanwhile is dropped.
#ifndef SOLVER_PARALLEL_H
#define SOLVER_PARALLEL_H

#include "solver.h"

#include <functional>
#include <string>
#include <vector>

// Calls done with each level's result in the order of paths, as soon as it
// and every one before it are in; at most jobs levels at a time.
void solveInParallel(const std::vector<std::string>& paths, const SolveLimits& limits, int jobs,
                     const std::function<void(const LevelResult&)>& done);

#endif
