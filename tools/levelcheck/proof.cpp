#include "proof.h"

#include "script.h"

#include <algorithm>

namespace {

// The special kinds in the order the designer's guide lists them.
const std::string kindOrder = "WVSDBXFL";

std::string carries(int n)
{
    return std::to_string(n) + (n == 1 ? " carry" : " carries");
}

std::string pushes(int n)
{
    return std::to_string(n) + (n == 1 ? " push" : " pushes");
}

std::string at(const KindCheck& k)
{
    return std::string(1, k.kind) + " at (" + std::to_string(k.column) + "," + std::to_string(k.row) + ")";
}

// The solver and the script must agree on the fewest carries, and with as
// many carries on the fewest pushes: a shorter way is a shortcut, and a
// script that beats the solver does something the solver never tries, so its
// proof covers nothing.
void compareCarries(const LevelResult& solved, const ScriptFacts& script, ProofVerdict& v)
{
    const int fewest = solved.minimum;
    if (fewest >= 0 && fewest < script.carries)
        v.failures.push_back("the solver finds a way with " + carries(fewest) + " where the script takes "
                             + std::to_string(script.carries) + ": " + solved.summary);
    else if (fewest == script.carries && solved.pushes < script.pushes)
        v.failures.push_back("the solver finds a way with " + carries(fewest) + " and "
                             + pushes(solved.pushes) + " where the script makes "
                             + std::to_string(script.pushes) + ": " + solved.summary);
    const bool blind = fewest < 0 ? script.carries <= solved.limit : fewest > script.carries;
    if (blind)
        v.failures.push_back("the script takes " + carries(script.carries)
                             + " but the solver finds no way within "
                             + carries(fewest < 0 ? solved.limit : fewest - 1)
                             + ": the script does something the solver never tries, so nothing is proven");
    else if (fewest == script.carries && solved.pushes > script.pushes)
        v.failures.push_back("the script makes " + pushes(script.pushes) + " but the solver needs "
                             + std::to_string(solved.pushes)
                             + " with as many carries: the script does something the solver never tries, "
                               "so nothing is proven");
}

// Each special kind of the level's dominoes once, in the guide's order.
std::string kindLetters(const LevelResult& solved)
{
    std::string found;
    for (char kind : kindOrder)
        for (const KindCheck& k : solved.kinds)
            if (k.kind == kind && found.find(kind) == std::string::npos)
                found += kind;
    return found;
}

void checkShowcase(const LevelResult& solved, const ScriptFacts& script, ProofVerdict& v)
{
    if (script.carries != 0 || script.pushes != 1)
        v.failures.push_back("a showcase is solved by one push and no carry, but its script makes "
                             + carries(script.carries) + " and " + std::to_string(script.pushes) + " push"
                             + (script.pushes == 1 ? "" : "es"));
    const std::size_t kinds = kindLetters(solved).size();
    if (kinds == 0)
        v.failures.push_back("a showcase shows a special kind at work, but there is no special domino");
    else if (kinds > 1)
        v.failures.push_back("a showcase shows one kind alone, but this level has " + specialKinds(solved));
}

std::string describe(const LevelResult& solved, const ScriptFacts& script)
{
    if (solved.minimum < 0)
        return "more than " + carries(solved.limit) + ", its script " + std::to_string(script.carries);
    std::string text = carries(solved.minimum) + ", " + pushes(solved.pushes) + ", "
        + std::to_string(solved.solutions) + " solution" + (solved.solutions == 1 ? "" : "s");
    if (script.showcase)
        return "showcase, " + text;
    const bool allNeeded = std::none_of(solved.kinds.begin(), solved.kinds.end(),
                                        [](const KindCheck& k) { return k.replaceable; });
    return solved.kinds.empty() || !allNeeded ? text : text + ", every special domino needed";
}

}  // namespace

ScriptFacts readScriptFacts(const std::string& path)
{
    ScriptFacts facts;
    std::vector<Action> actions;
    ScriptMarks marks;
    if (!readScript(path, actions, marks, facts.error))
        return facts;
    facts.carries = carriesOf(actions);
    facts.pushes = static_cast<int>(std::count_if(actions.begin(), actions.end(),
                                                  [](const Action& a) { return a.kind == Action::Push; }));
    facts.showcase = marks.showcase;
    return facts;
}

ProofVerdict judgeProof(const LevelResult& solved, const ScriptFacts& script, bool puzzle)
{
    ProofVerdict v;
    if (!solved.error.empty() || !script.error.empty()) {
        v.failures.push_back(solved.error.empty() ? script.error : "the solver: " + solved.error);
        return v;
    }
    compareCarries(solved, script, v);
    if (script.showcase)
        checkShowcase(solved, script, v);
    else if (puzzle && solved.minimum == 0)
        v.failures.push_back("solved with no carry (" + solved.summary
                             + "): only the first levels and showcases may be");
    for (const KindCheck& k : solved.kinds)
        if (k.replaceable && !script.showcase)
            v.failures.push_back(at(k)
                                 + " is not needed: with a standard domino there the level is solved with "
                                 + carries(k.carries));
    v.summary = describe(solved, script);
    return v;
}

std::string specialKinds(const LevelResult& solved)
{
    std::string listed;
    for (char kind : kindLetters(solved))
        listed += (listed.empty() ? "" : ", ") + std::string(1, kind);
    return listed;
}
