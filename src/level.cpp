#include "level.h"
#include "blocker.h"
#include "boomer.h"
#include "bridge.h"
#include "cell.h"
#include "delay.h"
#include "domino.h"
#include "flyer.h"
#include "looping.h"
#include "main.h"
#include "pen.h"
#include "splitter.h"
#include "trigger.h"
#include "vanish.h"
#include "view.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace {

// No level needs more; a larger header is a hostile or broken file, and
// refusing it keeps a shared level from eating the machine's memory.
const long long maxCells = 1LL << 22;

bool el(FILE* s)
{
    int c = fgetc(s);
    if (c == '\n')
        return true;
    if (c != EOF)
        puts("Newline expected");
    return false;
}

const CellKind cellKinds[] = {
    {' ', Cell::noFloor, false},   {'|', Cell::noFloor, true},   {'.', Cell::slab, false},
    {':', Cell::slab, false},      {')', Cell::rightEnd, false}, {']', Cell::rightEnd, true},
    {'(', Cell::leftEnd, false},   {'[', Cell::leftEnd, true},   {'_', Cell::joinedBoth, false},
    {'!', Cell::joinedBoth, true},
};

// Null when the machine is out of memory.
template <class Kind>
Domino* make()
{
    return new (std::nothrow) Kind;
}

// Each kind by the letter it answers to.
template <class Kind>
constexpr DominoKind kind()
{
    return {Kind::fileLetter, make<Kind>};
}

const DominoKind dominoKinds[] = {
    {' ', nullptr}, kind<Domino>(), kind<Blocker>(), kind<Vanish>(),  kind<Bridge>(),  kind<Splitter>(),
    kind<Delay>(),  kind<Boomer>(), kind<Flyer>(),   kind<Looping>(), kind<Trigger>(),
};

template <class Kind, std::size_t n>
const Kind* findIn(const Kind (&table)[n], int ch)
{
    for (const Kind& kind : table)
        if (kind.ch == ch)
            return &kind;
    return nullptr;
}

template <class Kind, std::size_t n>
std::string characters(const Kind (&table)[n])
{
    std::string all;
    for (const Kind& kind : table)
        all += kind.ch;
    return all;
}

// Says which byte of a grid is not allowed there. A printable ASCII byte is
// shown as it is; any other as a C escape ('\n', '\0', '\x1b'), so that a
// level file can neither break the message's line nor send the terminal
// control sequences or stray halves of characters.
void illegalCharacter(const char* grid, int ch)
{
    char escaped[5];
    const char* shown = escaped;
    switch (ch) {
    case '\0': shown = "\\0"; break;
    case '\t': shown = "\\t"; break;
    case '\n': shown = "\\n"; break;
    case '\r': shown = "\\r"; break;
    default:
        if (ch >= ' ' && ch <= '~')
            snprintf(escaped, sizeof escaped, "%c", ch);
        else
            snprintf(escaped, sizeof escaped, "\\x%02x", ch);
    }
    printf("Illegal %s character '%s'\n", grid, shown);
}

}  // namespace

const CellKind* findCellKind(int ch)
{
    return findIn(cellKinds, ch);
}

const DominoKind* findDominoKind(int ch)
{
    return findIn(dominoKinds, ch);
}

std::string cellCharacters()
{
    return characters(cellKinds);
}

std::string dominoCharacters()
{
    return characters(dominoKinds);
}

Level::Level()
    : wid(0), hei(0), dcount(0), cells(nullptr), doms(nullptr), blockChanges(nullptr), woken(nullptr),
      wokenCount(0), arrivals(nullptr), arrivalCount(0)
{
}

// The shared border cell outlives every level; emptying its slots here keeps
// it from pointing at dominoes that left the grid of a deleted level.
Level::~Level()
{
    release();
    borderCell.leave(0);
    borderCell.leave(1);
}

void Level::release()
{
    for (int i = 0; i < dcount; i++)
        delete doms[i];
    dcount = 0;
    delete[] doms;
    doms = nullptr;
    delete[] cells;
    cells = nullptr;
    delete[] blockChanges;
    blockChanges = nullptr;
    delete[] woken;
    woken = nullptr;
    wokenCount = 0;
    delete[] arrivals;
    arrivals = nullptr;
    arrivalCount = 0;
}

bool Level::load(const char* f)
{
    bool result = false;
    triggering = false;
    pushed = false;
    failure = Failure();
    long long size;
    FILE* s = openRegular(f, size);
    if (!s)
        return false;

    int ix, iy, ox, oy;
    if (readHeader(s, ix, iy, ox, oy) && fitsFile(s, size) && allocate() && el(s)
        && readGrid(s, &Level::readCell) && readGrid(s, &Level::readDomino) && allocateWoken()) {
        wayIn.init(getCell(ix, iy), false);
        wayOut.init(getCell(ox, oy), true);
        result = true;
    } else if (failure.reason.empty()) {
        failure.reason = "format error";
    }
    fclose(s);
    return result;
}

// Only a regular file with something in it is read; size is its length in
// bytes. The open does not wait: a FIFO would block it until a writer came,
// and a device such as /dev/zero would be read forever.
FILE* Level::openRegular(const char* f, long long& size)
{
    const int fd = ::open(f, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failure.missing = errno == ENOENT;
        failure.reason = strerror(errno);
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0)
        failure.reason = strerror(errno);
    else if (!S_ISREG(st.st_mode))
        failure.reason = "not a regular file";
    else if (st.st_size == 0)
        failure.reason = "the file is empty";
    FILE* s = failure.reason.empty() ? fdopen(fd, "r") : nullptr;
    if (!s) {
        if (failure.reason.empty())
            failure.reason = strerror(errno);
        close(fd);
        return nullptr;
    }
    size = st.st_size;
    return s;
}

// The numbers are read wide, so that one beyond the range of int is refused
// as it stands instead of being taken for some other, wrapped, number.
bool Level::readHeader(FILE* s, int& ix, int& iy, int& ox, int& oy)
{
    long long w, h, inX, inY, outX, outY;
    if (fscanf(s, "%lld %lld %lld %lld %lld %lld", &w, &h, &inX, &inY, &outX, &outY) != 6) {
        failure.reason = "the first line is not six whole numbers";
        return false;
    }
    if (w < 1 || h < 1) {
        printf("Illegal level size %lld x %lld\n", w, h);
        return false;
    }
    auto inside = [w, h](long long x, long long y) { return x >= 0 && x < w && y >= 0 && y < h; };
    if (!inside(inX, inY) || !inside(outX, outY)) {
        puts("Door outside the level");
        return false;
    }
    if (w > maxCells || h > maxCells || w * h > maxCells) {
        printf("Level too large %lld x %lld\n", w, h);
        return false;
    }
    wid = w;
    hei = h;
    ix = inX;
    iy = inY;
    ox = outX;
    oy = outY;
    return true;
}

// After the header's line feed the grids take 2 * hei lines of wid bytes and
// a line feed. A file too short for them is refused before they are
// allocated, so a few bytes cannot claim the memory of millions of cells.
bool Level::fitsFile(FILE* s, long long size)
{
    const long long needed = 1 + 2LL * hei * (wid + 1);
    if (size - ftell(s) >= needed)
        return true;
    failure.reason = "the file is too short for the " + std::to_string(wid) + " x " + std::to_string(hei)
        + " cells its first line names";
    return false;
}

// Only a machine short of memory can refuse a level that passed the header.
bool Level::allocate()
{
    const long long count = static_cast<long long>(wid) * hei;
    cells = new (std::nothrow) Cell[count];
    doms = new (std::nothrow) Domino*[count];
    blockChanges = new (std::nothrow) unsigned[Stills::blockCount(wid, hei)]();
    return (cells && doms && blockChanges) || outOfMemory("its cells");
}

// Room for every domino to be visited by the frames at once, so that waking
// one never allocates during play. Written now (zeroed), so that the pages
// are the process's before play: on a level of millions of dominoes that
// all wake at once, faulting them in would take the first tick a fifth of a
// second.
bool Level::allocateWoken()
{
    woken = new (std::nothrow) Waking[dcount]();
    arrivals = new (std::nothrow) Waking[dcount]();
    return (woken && arrivals) || outOfMemory("its dominoes");
}

// Frees all the load has made before the reason, itself a string, is made:
// the memory is the machine's again at once, and the level holds nothing
// half-built. Always false.
bool Level::outOfMemory(const char* forWhat)
{
    release();
    failure.reason = std::string("not enough memory for ") + forWhat;
    return false;
}

// One grid of the file: hei lines, top row first (row 0 is the bottom one),
// each of wid bytes and a line feed. Every byte goes to readByte with its
// position. A quit signal drops the level within a few thousand bytes: a
// level of millions of cells takes a second to read.
bool Level::readGrid(FILE* s, bool (Level::*readByte)(int ch, int x, int y))
{
    const int bytesBetweenLooks = 4096;
    for (int y = hei - 1; y >= 0; y--) {
        for (int x = 0; x < wid; x++) {
            if (x % bytesBetweenLooks == 0 && quitSignalled()) {
                failure.reason = "stopped by a signal";
                return false;
            }
            int ch = fgetc(s);
            if (ch == EOF || !(this->*readByte)(ch, x, y))
                return false;
        }
        if (!el(s))
            return false;
    }
    return true;
}

bool Level::readCell(int ch, int x, int y)
{
    const CellKind* kind = findCellKind(ch);
    if (!kind) {
        illegalCharacter("cell", ch);
        return false;
    }
    Cell* c = getCell(x, y);
    c->init(x, y, kind->floor, kind->ladder);
    c->markInto(&blockChanges[Stills::blockOf(x, y, wid)]);
    return true;
}

// Every cell is ready before the first domino enters one.
bool Level::readDomino(int ch, int x, int y)
{
    const DominoKind* kind = findDominoKind(ch);
    if (!kind) {
        illegalCharacter("domino", ch);
        return false;
    }
    if (!kind->make)
        return true;
    Domino* d = kind->make();
    if (!d)
        return outOfMemory("its dominoes");
    doms[dcount++] = d;
    d->init(getCell(x, y));
    return true;
}

Cell* Level::getCell(int x, int y)
{
    if (x < 0 || x >= wid || y < 0 || y >= hei)
        return &borderCell;
    return &cells[y * wid + x];
}

void Level::update()
{
    for (int i = 0; i < dcount; i++) {
        doms[i]->update();
        if (doms[i]->needsAnimating())
            wake(doms[i]);
    }
    wayIn.update();
    wayOut.update();
    if (triggering) {
        triggering = false;
        if (allDone())
            wayOut.open();
    }
}

bool Level::allDone()
{
    for (int i = 0; i < dcount; i++)
        if (!doms[i]->isDone())
            return false;
    return true;
}

// Where it goes in drawing order is settled at the next frame: it may move
// before then. From now on it is drawn apart from the still blocks.
void Level::wake(Domino* d)
{
    if (d->woken)
        return;
    d->woken = true;
    d->cell->changed();
    arrivals[arrivalCount++] = {0, d};
}

// The dominoes were put back from outside: every block may draw otherwise.
void Level::forgetWoken()
{
    wokenCount = arrivalCount = 0;
    std::for_each(blockChanges, blockChanges + Stills::blockCount(wid, hei), [](unsigned& c) { c++; });
}

// The order of the lookAt calls is the order the cells are drawn in: every
// pull is a float sum, and the camera's path depends on it to the last bit.
void Level::animate(float t)
{
    const int cornerWeight = 4;
    const int movingWeight = 30;
    lookAt(0, 0, 1);
    lookAt(5 * wid, 10 * hei, 1);
    normCam(cornerWeight);
    keepWokenThatNeedAnimating();
    placeArrivals();
    for (int i = 0; i < wokenCount; i++)
        woken[i].d->animate(t);
    normCam(movingWeight);
}

// A push waits only in a woken domino, in order or not yet.
void Level::takePushes()
{
    auto take = [](const Waking& w) {
        if (w.d->cell != &borderCell && w.d->inPlay())
            w.d->takePush();
    };
    std::for_each(woken, woken + wokenCount, take);
    std::for_each(arrivals, arrivals + arrivalCount, take);
}

// False, and d let go until something wakes it again, when d is out of the
// grid's slots (carried, out of play, vanished, lost in the border cell) or
// has nothing to do. One let go in its slot joins its block's still drawing.
bool Level::stillAwake(Domino* d)
{
    const bool inGrid = d->cell != &borderCell && d->cell->getDomino(d->top) == d;
    if (inGrid && d->needsAnimating())
        return true;
    d->woken = false;
    if (inGrid)
        d->cell->changed();
    return false;
}

int Level::placeOf(const Domino* d) const
{
    return static_cast<int>(d->cell - cells) * 2 + d->top;
}

// The woken still awake in the slot they held at the last frame keep their
// order; those woken since then and those that have moved get their places
// as arrivals. Each holds a slot of its own, so no two share a place.
void Level::keepWokenThatNeedAnimating()
{
    int arrived = 0;
    for (int i = 0; i < arrivalCount; i++)
        if (stillAwake(arrivals[i].d))
            arrivals[arrived++] = arrivals[i];
    int kept = 0;
    for (int i = 0; i < wokenCount; i++) {
        if (!stillAwake(woken[i].d))
            continue;
        if (placeOf(woken[i].d) == woken[i].place)
            woken[kept++] = woken[i];
        else
            arrivals[arrived++] = woken[i];
    }
    wokenCount = kept;
    arrivalCount = arrived;
}

// A frame sorts only the arrivals, and not even those when they come in
// order, as a group falling in step does; then one merge, from the back,
// puts them among the kept within the list's own room. Between them the
// list holds each domino at most once, never more than dcount.
void Level::placeArrivals()
{
    for (int i = 0; i < arrivalCount; i++)
        arrivals[i].place = placeOf(arrivals[i].d);
    auto before = [](const Waking& a, const Waking& b) { return a.place < b.place; };
    if (!std::is_sorted(arrivals, arrivals + arrivalCount, before))
        std::sort(arrivals, arrivals + arrivalCount, before);
    int kept = wokenCount - 1;
    for (int i = arrivalCount - 1, at = wokenCount + arrivalCount - 1; i >= 0; at--)
        woken[at] = kept >= 0 && woken[kept].place > arrivals[i].place ? woken[kept--] : arrivals[i--];
    wokenCount += arrivalCount;
    arrivalCount = 0;
}

void Level::render(float t)
{
    const CellRange seen = View().cells(wid, hei);
    stills.draw(*this, seen);
    renderMoving(t, seen);
}

// The woken dominoes in the grid's slots in drawing order (any woken since
// the last animate after them), then the door of each doorway that swings.
// Each is placed by one translation to its cell.
void Level::renderMoving(float t, const CellRange& seen)
{
    auto shown = [&seen](const Cell* c) { return c != &borderCell && seen.contains(c->x, c->y); };
    auto draw = [&](const Waking& w) {
        const Cell* c = w.d->cell;
        if (shown(c) && c->d[w.d->top] == w.d) {
            placeAt(c);
            w.d->render(t);
            Pen::pop();
        }
    };
    std::for_each(woken, woken + wokenCount, draw);
    std::for_each(arrivals, arrivals + arrivalCount, draw);
    Cell* const entrance = wayIn.getCell();
    Cell* const exit = wayOut.getCell();
    for (Cell* c : {entrance, exit == entrance ? nullptr : exit})
        if (c && shown(c) && c->getDoor()->swinging()) {
            placeAt(c);
            c->getDoor()->render(t);
            Pen::pop();
        }
}

void Level::placeAt(const Cell* c)
{
    Pen::push();
    Pen::translate(c->x * cellWidth, c->y * rowHeight, 0);
}
