#include "snapshot.h"

#include "blocker.h"
#include "boomer.h"
#include "bridge.h"
#include "cell.h"
#include "delay.h"
#include "domino.h"
#include "flyer.h"
#include "level.h"
#include "looping.h"
#include "main.h"
#include "splitter.h"
#include "trigger.h"
#include "vanish.h"

#include <algorithm>
#include <typeinfo>

struct Snapshot::Copy {
    virtual ~Copy() {}
    virtual void restore(Domino* d) const = 0;
};

namespace {

template <class Kind>
struct CopyOf : Snapshot::Copy {
    explicit CopyOf(const Domino* d) : saved(*static_cast<const Kind*>(d)) {}
    void restore(Domino* d) const override { *static_cast<Kind*>(d) = saved; }
    Kind saved;
};

template <class Kind>
bool copyAs(const Domino* d, std::shared_ptr<const Snapshot::Copy>& out)
{
    if (typeid(*d) != typeid(Kind))
        return false;
    out = std::make_shared<CopyOf<Kind>>(d);
    return true;
}

// Every kind the loader makes; a kind added later and missing here makes the
// snapshot refuse, and the level is read again for every play instead.
bool copyOf(const Domino* d, std::shared_ptr<const Snapshot::Copy>& out)
{
    return copyAs<Domino>(d, out) || copyAs<Blocker>(d, out) || copyAs<Vanish>(d, out)
        || copyAs<Bridge>(d, out) || copyAs<Splitter>(d, out) || copyAs<Delay>(d, out)
        || copyAs<Boomer>(d, out) || copyAs<Flyer>(d, out) || copyAs<Looping>(d, out)
        || copyAs<Trigger>(d, out);
}

}  // namespace

bool Snapshot::take(Level& level)
{
    dominoes.clear();
    for (int i = 0; i < level.dcount; i++) {
        std::shared_ptr<const Copy> copy;
        if (!copyOf(level.doms[i], copy)) {
            dominoes.clear();
            return false;
        }
        dominoes.push_back(copy);
    }
    cells.assign(level.cells, level.cells + level.wid * level.hei);
    border.assign(1, borderCell);
    wayIn = level.wayIn;
    wayOut = level.wayOut;
    triggering = level.triggering;
    pushed = level.pushed;
    return true;
}

// The shared border cell holds the dominoes that left the grid.
void Snapshot::restore(Level& level) const
{
    for (std::size_t i = 0; i < dominoes.size(); i++)
        dominoes[i]->restore(level.doms[i]);
    std::copy(cells.begin(), cells.end(), level.cells);
    level.wayIn = wayIn;
    level.wayOut = wayOut;
    level.triggering = triggering;
    level.pushed = pushed;
    borderCell = border.front();
    level.wakeAsFlagged();
}
