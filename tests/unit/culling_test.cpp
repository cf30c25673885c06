// What a frame does for play and for the camera must not depend on what is
// drawn: the level's frame work visits only the dominoes with work to do,
// yet makes the very same camera pulls as a visit of every cell; and a frame
// that skips the cells out of view draws, within the view, exactly what
// drawing every cell draws.
#include "door.h"
#include "level.h"
#include "pen.h"
#include "stills.h"
#include "tools.h"
#include "view.h"
#include "world.h"

#include "fake_gl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using fakegl::Primitive;

// Every kind falling in chains, under a ceiling for the flyer; a domino that
// tips off the grid; two that drop from row 2, one onto a splitter, one
// onto a domino it breaks, whose debris has nothing before it in its row
// but the floor left of the gap; and on row 0 one for the player to carry.
const char* const cellRows = R"(
(__________________________________)
(__________________________________)
(__________________________________)
(_) (______) (_____________________)
(______)    (______________________)
(__________________________________)
)";
const char* const dominoRows = R"(

 NNVNDNNNF  NNSNNBNNNW  NNNBNNVNNL W
 XNNVNNDNNT  NDNNTNNVNNN           N
   N        N
   S        N
  N                 NNNNN
)";
const int tileWidth = 36;
const int tileHeight = 6;
const int brokenColumn = 12, brokenRow = 1;
// The first domino of each chain, struck to the right.
const std::array<std::array<int, 2>, 6> chainStarts = {{{1, 4}, {12, 4}, {24, 4}, {1, 3}, {13, 3}, {35, 3}}};

std::vector<std::string> rows(const char* picture, int width)
{
    std::vector<std::string> out;
    std::string text = picture + 1;
    for (size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1))
        out.push_back(text.substr(0, end) + std::string(width - end, ' '));
    return out;
}

// The tile repeated across and up, as a picture of the level, the doors at
// the lower corners.
std::string tiledLevel(int across, int up)
{
    const int wid = tileWidth * across, hei = tileHeight * up;
    std::string text =
        std::to_string(wid) + " " + std::to_string(hei) + " 0 0 " + std::to_string(wid - 1) + " 0\n";
    const std::vector<std::string> cells = rows(cellRows, tileWidth), dominoes = rows(dominoRows, tileWidth);
    for (int j = 0; j < up; j++)
        for (int r = 0; r < tileHeight; r++)
            for (const std::string* row : {&dominoes[r], &cells[r]}) {
                text += "|";
                for (int i = 0; i < across; i++)
                    text += *row;
                text += "\n";
            }
    return text;
}

void strikeChains(int across, int up)
{
    for (int i = 0; i < across; i++)
        for (int j = 0; j < up; j++)
            for (auto [x, y] : chainStarts)
                level->getCell(x + i * tileWidth, y + j * tileHeight)
                    ->getDomino(0)
                    ->push(1, Domino::contactSquare);
}

// ---------------------------------------------------------------- frame work

using Bits = std::vector<unsigned char>;

Bits cameraBits()
{
    Bits bits;
    for (const float* v : {camera, speed, camaccel, camjerk, sight, sightspeed, sightaccel, sightjerk})
        bits.insert(bits.end(), reinterpret_cast<const unsigned char*>(v),
                    reinterpret_cast<const unsigned char*>(v + 3));
    bits.insert(bits.end(), reinterpret_cast<const unsigned char*>(&totweight),
                reinterpret_cast<const unsigned char*>(&totweight + 1));
    return bits;
}

// The frame work as a walk over every slot of the grid, in drawing order.
void animateEveryCell(float t)
{
    player.animate(t);
    lookAt(0, 0, 1);
    lookAt(5 * level->wid, 10 * level->hei, 1);
    normCam(4);
    for (int y = 0; y < level->hei; y++)
        for (int x = 0; x < level->wid; x++)
            for (int slot : {0, 1})
                level->getCell(x, y)->getDomino(slot)->animate(t);
    normCam(30);
}

// The moves of the play below, after the given tick: the player strikes a
// domino, picks it up before a frame has set it off, carries it along and
// sets it down, where it falls; a chain on row 0 is struck to the left.
void playersMoves(World& w, int tick)
{
    if (tick == 0) {
        player.push(1);
        player.grab();
    }
    if (tick == 1)
        player.move(1);
    if (tick == 30)
        player.stop();
    if (tick == 40) {
        EXPECT_TRUE(player.grab());
    }
    if (tick == 50)
        w.at(24, 0)->push(-1, Domino::contactSquare);
}

// The camera after every frame of a run of the level: every chain struck;
// the player strikes a domino, picks it up before a frame has set it off,
// carries it along and sets it down, where it falls; a chain on row 0 is
// struck to the left, each domino by one updated before it in the tick.
// Each tick has two frames, and the player's moves come between them, as
// keys do in a pass without a tick.
std::vector<Bits> cameraPath(void (*frameWork)(float))
{
    World w(tiledLevel(1, 1));
    resetCamera();
    standAt(2 * Player::stepsPerCell, 0);
    strikeChains(1, 1);
    Domino* carried = w.at(2, 0);
    std::vector<Bits> path;
    auto frame = [&](float t) {
        updateCam(20);
        frameWork(t);
        path.push_back(cameraBits());
    };
    for (int tick = 0; tick < 300; tick++) {
        ::tick();
        frame(0);
        playersMoves(w, tick);
        frame(0.5f);
    }
    EXPECT_GT(carried->cell->getX(), 2);
    EXPECT_EQ(carried->angle, Domino::lying) << "the domino carried fell where it was set down";
    EXPECT_EQ(w.at(20, 0)->angle, -Domino::lying) << "the chain fell left";
    EXPECT_TRUE(w.at(brokenColumn, brokenRow)->broken);
    EXPECT_NE(borderCell.getDomino(0), &blank) << "the domino tipped off the grid";
    return path;
}

// The camera after every frame of a level where dominoes keep changing
// cells between the frames that visit them: some drop through open air from
// different heights, past dominoes standing or falling in the rows they
// cross, and land on floors or on others, which break; a chain on a ledge is
// struck and its last domino tips over the edge into the air; a chain on the
// floor falls left while they drop.
std::vector<Bits> droppingPath(void (*frameWork)(float))
{
    World w(R"(|
                |(__________)
                | N N  N N N
                |
                |   NN   NNN
                |   ()   (_)
                |
                |
                |  NNNN
                |  (___)
                | N        N
                |
                |  N    N
                |
                |  NNNNNNN
                |(__________))");
    resetCamera();
    standAt(Player::stepsPerCell, 0);
    std::vector<Bits> path;
    for (int n = 0; n < 200; n++) {
        tick();
        if (n == 10)
            w.at(2, 3)->push(1, Domino::contactSquare);
        if (n == 25)
            w.at(8, 0)->push(-1, Domino::contactSquare);
        for (float t : {0.0f, 0.5f}) {
            updateCam(20);
            frameWork(t);
            path.push_back(cameraBits());
        }
    }
    EXPECT_TRUE(w.at(8, 0)->angle < 0) << "the chain on the floor fell left";
    return path;
}

TEST(FrameWork, VisitingOnlyTheWokenDominoesPullsTheCameraAsAVisitOfEveryCell)
{
    for (auto path : {cameraPath, droppingPath}) {
        const std::vector<Bits> everyCell = path(animateEveryCell);
        const std::vector<Bits> woken = path(animateFrame);
        ASSERT_EQ(woken.size(), everyCell.size());
        for (size_t i = 0; i < woken.size(); i++)
            ASSERT_EQ(woken[i], everyCell[i]) << "frame " << i;
    }
}

// ---------------------------------------------------------------- culling

struct Frame {
    std::vector<Primitive> seen;
    size_t drawn;
};

// A batch of quads or triangles face by face: a kept block draws many
// faces as one batch, some of them seen, some not.
std::vector<Primitive> faces(const Primitive& p)
{
    const std::size_t corners = p.mode == GL_QUADS ? 4 : p.mode == GL_TRIANGLES ? 3 : p.v.size();
    std::vector<Primitive> out;
    for (std::size_t i = 0; i + corners <= p.v.size(); i += corners)
        out.push_back({p.mode, std::vector<fakegl::Vertex>(p.v.begin() + i, p.v.begin() + i + corners)});
    return out;
}

Frame draw(bool everything, float t)
{
    const float lightPos[4] = {0.1f, 1.0f, 1.0f, 0.0f};
    View::everything = everything;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    applyCam();
    glLightfv(GL_LIGHT0, GL_POSITION, lightPos);
    player.render(t);
    level->render(t);
    View::everything = false;
    Frame f = {{}, 0};
    for (const Primitive& p : fakegl::primitives())
        for (const Primitive& face : faces(p)) {
            f.drawn++;
            if (fakegl::mayBeSeen(face))
                f.seen.push_back(face);
        }
    return f;
}

bool same(const Primitive& a, const Primitive& b)
{
    if (a.mode != b.mode || a.v.size() != b.v.size())
        return false;
    for (size_t i = 0; i < a.v.size(); i++)
        if (std::memcmp(&a.v[i], &b.v[i], sizeof a.v[i]) != 0)
            return false;
    return true;
}

// The culled frame against the full one; true when culling skipped most.
bool expectSameInView(float t, const std::string& when)
{
    const Frame culled = draw(false, t);
    const Frame full = draw(true, t);
    EXPECT_EQ(culled.seen.size(), full.seen.size()) << when;
    for (size_t i = 0; i < culled.seen.size() && i < full.seen.size(); i++)
        if (!same(culled.seen[i], full.seen[i])) {
            ADD_FAILURE() << when << ": primitive " << i << " of those in view differs";
            break;
        }
    return culled.drawn * 2 < full.drawn;
}

struct Pose {
    std::array<float, 3> eye, sight;
};

void place(const Pose& p)
{
    const float length =
        std::sqrt(p.sight[0] * p.sight[0] + p.sight[1] * p.sight[1] + p.sight[2] * p.sight[2]);
    for (int i = 0; i < 3; i++) {
        camera[i] = p.eye[i];
        sight[i] = p.sight[i] / length;
    }
}

void setProjection()
{
    fakegl::reset();
    glMatrixMode(GL_PROJECTION);
    glPerspective(viewAngle, viewAspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
}

// Four by three tiles, 144 by 18 cells: every chain falls while the camera
// comes in from its start and backs away to take in the level; at times the
// camera is also put in other places, near and far, straight and aslant,
// grazing the level's plane, behind it and turned away.
TEST(Culling, DrawsWithinTheViewExactlyWhatDrawingEveryCellDraws)
{
    World w(tiledLevel(4, 3));
    setProjection();
    resetCamera();
    strikeChains(4, 3);
    const Pose poses[] = {
        {{300, 60, 60}, {0, 0, -1}},          {{300, 60, 40}, {0.5f, 0.3f, -1}},
        {{650, 150, 30}, {-0.6f, -0.4f, -1}}, {{100, 87, 3}, {1, 0.05f, -0.1f}},
        {{360, 90, 900}, {0, 0, -1}},         {{300, 60, -50}, {0, 0, 1}},
        {{300, 60, 60}, {0, 0, 1}},           {{-200, -100, 50}, {1, 0.4f, -0.3f}},
    };
    int mostlySkipped = 0;
    for (int tick = 0; tick < 240; tick++) {
        ::tick();
        updateCam(20);
        animateFrame(0.5f);
        if (tick % (tick < 30 ? 3 : 20) != 0)
            continue;
        const std::string when = "tick " + std::to_string(tick);
        mostlySkipped += expectSameInView(0.5f, when);
        if (tick % 120 != 0)
            continue;
        const Bits camerasOwn = cameraBits();
        for (const Pose& p : poses) {
            place(p);
            mostlySkipped +=
                expectSameInView(0.5f,
                                 when + ", camera at " + std::to_string(p.eye[0]) + ", "
                                     + std::to_string(p.eye[1]) + ", " + std::to_string(p.eye[2]));
        }
        std::memcpy(camera, camerasOwn.data(), sizeof camera);
        std::memcpy(sight, camerasOwn.data() + 4 * sizeof camera, sizeof sight);
        ASSERT_EQ(cameraBits(), camerasOwn);
    }
    EXPECT_GT(mostlySkipped, 10)
        << "frames that left out most of the level: the camera's first, and near ones";
    EXPECT_TRUE(fakegl::errors().empty());
}

// ---------------------------------------------------------------- reach

// Every drawing a cell makes, in every state of what can be in it, stays
// within View's reach of the cell's origin; the view's margins rest on it.
TEST(CellReach, EveryKindInEveryStateTheFloorsTheLadderAndTheDoorStayWithinIt)
{
    auto expectWithinReach = [](const std::string& what) {
        const float low[3] = {-View::reachSide, -View::reachDown, -View::reachBack};
        const float high[3] = {View::reachSide, View::reachUp, View::reachFront};
        for (const Primitive& p : fakegl::primitives())
            for (const fakegl::Vertex& v : p.v)
                for (int axis = 0; axis < 3; axis++)
                    if (v.world[axis] < low[axis] || v.world[axis] > high[axis]) {
                        ADD_FAILURE() << what << ": reaches " << v.world[axis] << " along axis " << axis;
                        return;
                    }
    };
    for (const char letter : dominoCharacters()) {
        if (letter == ' ')
            continue;
        Cell cell;
        cell.init(0, 0, Cell::slab, false);
        std::unique_ptr<Domino> d(findDominoKind(letter)->make());
        d->init(&cell);
        for (int broken : {0, 1})
            for (int angle = -Domino::lying; angle <= Domino::lying; angle++)
                for (int speed : {-1, 0, 1})
                    // A raise or a drop moves the drawing straight up or
                    // down, so the highest and the lowest are the extremes.
                    for (int elev : {1 - Domino::elevPerRow, 0, Domino::elevPerRow - 1})
                        for (int fly : {-1, 0, 1})
                            for (float t : {0.0f, 0.5f, 1.0f}) {
                                d->broken = broken;
                                d->angle = angle;
                                d->speed = speed;
                                d->elev = elev;
                                d->fly = fly;
                                fakegl::reset();
                                d->render(t);
                                expectWithinReach(std::string(1, letter) + " angle " + std::to_string(angle)
                                                  + " elev " + std::to_string(elev));
                            }
    }
    for (int floor : {Cell::noFloor, Cell::slab, Cell::rightEnd, Cell::leftEnd, Cell::joinedBoth}) {
        Cell cell;
        cell.init(0, 0, floor, true);
        fakegl::reset();
        if (floor)
            Cell::renderFloorRun(cell, cell, 0);
        cell.renderStill();
        expectWithinReach("floor " + std::to_string(floor) + " and ladder");
    }
    Cell cell;
    cell.init(0, 0, Cell::noFloor, false);
    Door door;
    door.init(&cell, true);
    const int fullyOpen = 6;
    for (door.angle = 0; door.angle <= fullyOpen; door.angle++) {
        fakegl::reset();
        door.render(1);
        expectWithinReach("door at angle " + std::to_string(door.angle));
    }
}

// ---------------------------------------------------------------- kept blocks

// What the level draws for the tick fraction t, every cell of it.
std::string levelPicture(float t)
{
    glClear(GL_COLOR_BUFFER_BIT);
    View::everything = true;
    level->render(t);
    View::everything = false;
    EXPECT_TRUE(fakegl::errors().empty());
    return fakegl::picture();
}

// Every frame of the play of the camera's path, drawn from the kept blocks,
// is the same as the frame drawn with every block compiled afresh: no
// change the play makes goes unmarked. The play has every kind falling,
// breaking, exploding its floor, bridging a gap, vanishing, flying up a row,
// tumbling across cells, a domino carried off and set down, one tipping off
// the grid, one that never moved taken away, and the entrance swinging open.
TEST(KeptBlocks, EveryFrameOfAPlayIsTheSameAsWithEveryBlockCompiledAfresh)
{
    World w(tiledLevel(1, 1));
    resetCamera();
    standAt(2 * Player::stepsPerCell, 0);
    strikeChains(1, 1);
    const int blocks = Stills::blockCount(level->wid, level->hei);
    for (int tick = 0; tick < 300; tick++) {
        ::tick();
        for (float t : {0.0f, 0.5f}) {
            animateFrame(t);
            const std::string kept = levelPicture(t);
            std::for_each(level->blockChanges, level->blockChanges + blocks, [](unsigned& c) { c++; });
            ASSERT_EQ(kept, levelPicture(t)) << "tick " << tick << ", t " << t;
        }
        playersMoves(w, tick);
        if (tick == 250) {
            ASSERT_TRUE(w.at(35, 4)->grab()) << "a blocker that never moved, taken away";
        }
    }
    EXPECT_TRUE(w.at(brokenColumn, brokenRow)->broken);
    EXPECT_EQ(w.at(20, 0)->angle, -Domino::lying) << "the chain fell left";
}

// The blocks (by index) whose lists were compiled from the from'th
// compilation since the last reset on, each once.
std::vector<int> compiledBlocks(GLuint firstList, std::size_t from = 0)
{
    std::vector<int> blocks;
    const std::vector<GLuint>& lists = fakegl::compiledLists();
    for (std::size_t i = from; i < lists.size(); i++)
        if (blocks.empty() || blocks.back() != static_cast<int>(lists[i] - firstList) / 2)
            blocks.push_back((lists[i] - firstList) / 2);
    return blocks;
}

// Three blocks side by side. The first frame compiles each once; the
// entrance's swing recompiles its block once, when it ends; a chain in the
// middle block recompiles that block alone, as its dominoes wake and come to
// rest, not in every frame they turn; a level at rest compiles nothing.
TEST(KeptBlocks, ABlockIsCompiledAgainOnlyWhenSomethingInItChanged)
{
    const int width = 3 * Stills::blockColumns;
    World w(std::to_string(width) + " 2 0 0 " + std::to_string(width - 1) + " 0\n|\n|\n|N    N"
            + std::string(15, ' ') + "NNN" + std::string(15, ' ') + "N\n|(" + std::string(width - 2, '_')
            + ")");
    resetCamera();
    fakegl::reset();
    levelPicture(0);
    const GLuint first = fakegl::compiledLists().front();
    EXPECT_EQ(compiledBlocks(first), (std::vector<int>{0, 1, 2}));
    int doorBlock = 0, otherBlocks = 0;
    auto frames = [&](int ticks, int& middle, int& moving) {
        for (int i = 0; i < ticks; i++) {
            ::tick();
            animateFrame(0);
            const std::size_t before = fakegl::compiledLists().size();
            levelPicture(0);
            for (int b : compiledBlocks(first, before))
                (b == 1 ? middle : b == 0 ? doorBlock : otherBlocks)++;
            moving += w.at(21, 0)->speed || w.at(22, 0)->speed || w.at(23, 0)->speed;
        }
    };
    int middle = 0, moving = 0;
    frames(10, middle, moving);
    EXPECT_EQ(doorBlock, 1) << "the entrance swung open";
    w.at(21, 0)->push(1, Domino::contactSquare);
    frames(60, middle, moving);
    EXPECT_EQ(w.at(23, 0)->angle, Domino::lying);
    EXPECT_GT(moving, 10);
    EXPECT_GE(middle, 2);
    EXPECT_LE(middle, 6) << "a wake and a rest for each of the three";
    const int atRest = middle;
    frames(20, middle, moving);
    EXPECT_EQ(middle, atRest);
    EXPECT_EQ(doorBlock, 1);
    EXPECT_EQ(otherBlocks, 0);
}

// Back-face culling drops the faces that wind clockwise on the screen, so
// every one-sided face must wind counter-clockwise seen from the side its
// normal points to: the floors, the ladder, the doors and every kind in its
// postures, whole and broken.
TEST(KeptBlocks, EveryOneSidedFaceWindsCounterClockwiseSeenFromOutside)
{
    World w(R"(|N
               |!)");
    Domino* d = w.at(0, 0);
    level->getCell(0, 0)->leave(0);
    level->getWayIn()->speed = 0;
    fakegl::reset();
    {
        Pen::Sketch sketch;
        for (const char letter : dominoCharacters()) {
            if (letter == ' ')
                continue;
            std::unique_ptr<Domino> kind(findDominoKind(letter)->make());
            kind->init(level->getCell(0, 0));
            for (int broken : {0, 1})
                for (int angle : {-Domino::lying, -3, 0, 3, Domino::lying}) {
                    kind->broken = broken;
                    kind->angle = angle;
                    kind->render(0);
                }
            level->getCell(0, 0)->leave(0);
        }
        level->getCell(0, 0)->enter(d, 0);
        for (int floor : {Cell::slab, Cell::rightEnd, Cell::leftEnd, Cell::joinedBoth}) {
            level->getCell(0, 0)->setFloor(floor);
            Cell::renderFloorRun(*level->getCell(0, 0), *level->getCell(0, 0), 0);
        }
        for (int angle : {0, 6}) {
            level->getWayIn()->angle = angle;
            level->getCell(0, 0)->renderStill();
        }
        sketch.emit(false);
    }
    size_t count = 0;
    for (const Primitive& p : fakegl::primitives())
        for (const Primitive& face : faces(p)) {
            count++;
            const fakegl::Vertex &a = face.v[0], &b = face.v[1], &c = face.v[2];
            float turn[3], u[3], v[3];
            for (int k = 0; k < 3; k++)
                u[k] = b.world[k] - a.world[k], v[k] = c.world[k] - a.world[k];
            turn[0] = u[1] * v[2] - u[2] * v[1];
            turn[1] = u[2] * v[0] - u[0] * v[2];
            turn[2] = u[0] * v[1] - u[1] * v[0];
            ASSERT_GT(turn[0] * a.normal[0] + turn[1] * a.normal[1] + turn[2] * a.normal[2], 0)
                << "face " << count << " at " << a.world[0] << " " << a.world[1] << " " << a.world[2];
        }
    EXPECT_GT(count, 200u);
}

}  // namespace
