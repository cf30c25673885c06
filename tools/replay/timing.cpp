#include "timing.h"

#include "driver.h"
#include "observe.h"
#include "verifier.h"

#include <algorithm>

namespace {

// The player's own moves: the ones a player can make late.
bool mayBeTimed(Action::Kind kind)
{
    switch (kind) {
    case Action::Walk:
    case Action::Drop:
    case Action::Climb:
    case Action::Grab:
    case Action::Push: return true;
    default: return false;
    }
}

std::string lineOf(const Action& a)
{
    return "line " + std::to_string(a.line) + " '" + a.text + "'";
}

// Plays the script as written and lists its timed actions by their place in
// it; false, with why, when the script does not solve the level.
bool findTimed(const std::string& levelPath, const std::vector<Action>& script,
               std::vector<std::size_t>& timed, std::string& why)
{
    const auto firstPush =
        std::find_if(script.begin(), script.end(), [](const Action& a) { return a.kind == Action::Push; });
    const std::size_t clockStarts = static_cast<std::size_t>(firstPush - script.begin());
    std::vector<bool> moving(script.size());
    std::size_t seen = script.size();
    const Verifier::Result played = Verifier::play(levelPath, script, [&](const Driver& d) {
        if (!d.begun() || d.position() == seen)
            return;
        seen = d.position();
        moving[seen] = !allStill();
    });
    if (!played.solved) {
        why = "its script does not solve the level: " + played.why;
        return false;
    }
    for (std::size_t i = clockStarts + 1; i < script.size(); i++)
        if (moving[i] && mayBeTimed(script[i].kind))
            timed.push_back(i);
    return true;
}

// Delays the action at index by 1, 2, ... up to ticks until a delay fails.
TimedAction measure(const std::string& levelPath, const std::vector<Action>& script, std::size_t index,
                    int upTo)
{
    TimedAction t;
    t.action = script[index];
    for (int delay = 1; delay <= upTo; delay++) {
        std::vector<Action> late = script;
        late.insert(late.begin() + static_cast<std::ptrdiff_t>(index),
                    Action{Action::Wait, delay, t.action.line, "wait " + std::to_string(delay)});
        if (!Verifier::play(levelPath, late).solved) {
            t.slack = delay - 1;
            return t;
        }
    }
    t.slack = upTo;
    t.atLeast = true;
    return t;
}

}  // namespace

std::string ticks(int n)
{
    return std::to_string(n) + (n == 1 ? " tick" : " ticks");
}

const TimedAction* LevelSlack::tightest() const
{
    const TimedAction* least = nullptr;
    for (const TimedAction& t : timed)
        if (!least || t.slack <= least->slack)
            least = &t;
    return least;
}

bool LevelSlack::belowLimit() const
{
    const TimedAction* t = tightest();
    return error.empty() && t && t->slack < limit();
}

LevelSlack measureSlack(const std::string& levelPath, const std::string& scriptPath, SlackDepth depth)
{
    LevelSlack s;
    std::vector<Action> script;
    ScriptMarks marks;
    if (!readScript(scriptPath, script, marks, s.error))
        return s;
    s.timingIsTheIdea = marks.timing;
    std::vector<std::size_t> timed;
    if (!findTimed(levelPath, script, timed, s.error))
        return s;
    const int upTo = depth == SlackDepth::ToTheCap ? slackCap : s.limit();
    for (std::size_t index : timed)
        s.timed.push_back(measure(levelPath, script, index, upTo));
    return s;
}

std::string slackFigure(const LevelSlack& s)
{
    if (!s.error.empty())
        return "";
    const TimedAction* t = s.tightest();
    if (!t)
        return "-";
    return std::to_string(t->slack) + (t->atLeast ? "+" : "");
}

std::string slackFault(const LevelSlack& s)
{
    if (!s.error.empty())
        return s.error;
    if (!s.belowLimit())
        return "";
    const TimedAction* t = s.tightest();
    const std::string tight = "the timing slack is " + ticks(t->slack) + " (" + lineOf(t->action)
        + " may come " + ticks(t->slack) + " late, not " + std::to_string(t->slack + 1) + ")";
    if (s.timingIsTheIdea)
        return tight + ": even a level whose idea is timing asks for no less than " + ticks(timingIdeaSlack);
    return tight + ": a level asks for no less than " + ticks(fairSlack) + ", or " + ticks(timingIdeaSlack)
        + " when its script marks timing as its idea";
}
