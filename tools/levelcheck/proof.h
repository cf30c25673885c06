// The solver's proof of a level held against the designer's solution script.
// A level passes when the solver finds no way with fewer carries than the
// script takes, nor with as many carries and fewer pushes (nor is blind to
// the script's own way), when every special
// domino is needed (a standard domino in its place does not solve the level
// within as many carries), and when a level that may do without a carry is
// one: the first levels, which teach moving and pushing, and showcases.
//
// A showcase (the script's "showcase" mark) only shows one kind of domino at
// work, so its special dominoes may be replaceable; to keep the mark from
// excusing a puzzle, a showcase must hold one special kind only and be solved
// by one push with no carry, by its script and by the solver alike.
#ifndef LEVELCHECK_PROOF_H
#define LEVELCHECK_PROOF_H

#include "solver.h"

#include <string>
#include <vector>

// What the checker needs to know of a level's solution script.
struct ScriptFacts {
    std::string error;  // the script could not be read; nothing else is set
    int carries = 0;    // as the solver counts them
    int pushes = 0;     // push actions, a delay's included
    bool showcase = false;
};

ScriptFacts readScriptFacts(const std::string& path);

struct ProofVerdict {
    std::vector<std::string> failures;
    std::string summary;  // the fewest carries and the solutions, in a few words
};

// solved: the solver's result with the kind check; puzzle: the level comes
// after the first levels, so it must need a carry unless it is a showcase.
ProofVerdict judgeProof(const LevelResult& solved, const ScriptFacts& script, bool puzzle);

// The special kinds of the solved level's dominoes (not N, not T), each once,
// in the order the designer's guide lists them, e.g. "W, S".
std::string specialKinds(const LevelResult& solved);

#endif
