#include "program.h"
#include "terrain.h"

int Program::cost() const
{
    int carries = (pickUp >= 0 ? 1 : 0) + (dropFrom >= 0 ? 1 : 0);
    for (const DelayPush& d : delays)
        carries += d.carryTo >= 0;
    return carries;
}

int Program::pushes() const
{
    return static_cast<int>(delays.size()) + (push >= 0 ? 1 : 0);
}

Program Program::pushesOnly() const
{
    Program p = *this;
    p.pickUp = p.setDown = -1;
    p.pickUpWait = p.setDownWait = 0;
    return p;
}

int Program::firstCell() const
{
    if (dropFrom >= 0)
        return dropFrom;
    return delays.empty() ? push : delays.front().cell;
}

std::vector<int> Program::cells() const
{
    std::vector<int> out;
    if (dropFrom >= 0) {
        out.push_back(dropFrom);
        out.push_back(dropInto);
    }
    for (const DelayPush& d : delays) {
        out.push_back(d.cell);
        if (d.carryTo >= 0)
            out.push_back(d.carryTo);
    }
    if (push >= 0)
        out.push_back(push);
    if (pickUp >= 0)
        out.push_back(pickUp);
    if (setDown >= 0)
        out.push_back(setDown);
    return out;
}

std::string Program::key() const
{
    std::string k;
    if (dropFrom >= 0)
        k += "f" + std::to_string(dropFrom) + "v" + std::to_string(dropInto);
    for (const DelayPush& d : delays)
        k += "d" + std::to_string(d.cell) + (d.direction < 0 ? "<" : ">") + std::to_string(d.carryTo);
    k += std::string(waitStill ? "w" : "") + "p" + std::to_string(push) + (direction < 0 ? "<" : ">") + "u"
        + std::to_string(pickUp) + "+" + std::to_string(pickUpWait) + "s" + std::to_string(setDown) + "+"
        + std::to_string(setDownWait);
    return k;
}

bool Program::actions(const Terrain& terrain, std::vector<Action>& out) const
{
    int at = firstCell();
    auto goTo = [&](int cell, bool carrying) {
        const bool ok = terrain.route(at, cell, carrying, out);
        at = cell;
        return ok;
    };
    if (dropFrom >= 0) {
        out.push_back(makeAction(Action::Grab));
        if (!terrain.dropRoute(dropFrom, dropInto, 0, out, at))
            return false;
    }
    for (const DelayPush& d : delays) {
        if (!goTo(d.cell, false))
            return false;
        out.push_back(makeAction(Action::Push, d.direction));
        if (d.carryTo < 0)
            continue;
        out.push_back(makeAction(Action::Grab));
        if (!goTo(d.carryTo, true))
            return false;
        out.push_back(makeAction(Action::Grab));
    }
    if (push >= 0) {
        if (!goTo(push, false))
            return false;
        if (waitStill)
            out.push_back(makeAction(Action::WaitStill));
        out.push_back(makeAction(Action::Push, direction));
    }
    if (pickUp >= 0) {
        if (!goTo(pickUp, false))
            return false;
        if (pickUpWait > 0)
            out.push_back(makeAction(Action::Wait, pickUpWait));
        out.push_back(makeAction(Action::Grab));
    }
    if (setDown >= 0 && !terrain.hasFloor(setDown))
        return terrain.dropRoute(at, setDown, setDownWait, out, at);
    if (setDown >= 0) {
        if (!goTo(setDown, true))
            return false;
        if (setDownWait > 0)
            out.push_back(makeAction(Action::Wait, setDownWait));
        out.push_back(makeAction(Action::Grab));
    }
    return true;
}

Action makeAction(Action::Kind kind, int arg)
{
    static const char* const words[] = {"walk", "drop", "climb",      "grab",
                                        "push", "wait", "wait-still", "exit"};
    std::string text = words[kind];
    if (kind == Action::Push)
        text += arg < 0 ? " left" : " right";
    else if (kind == Action::Walk || kind == Action::Drop || kind == Action::Climb || kind == Action::Wait)
        text += " " + std::to_string(arg);
    return {kind, arg, 0, text};
}

std::string scriptText(const std::vector<Action>& actions)
{
    std::string text;
    for (const Action& a : actions)
        text += a.text + "\n";
    return text;
}
