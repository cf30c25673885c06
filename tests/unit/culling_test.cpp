// What a frame does for play and for the camera must not depend on what is
// drawn: the level's frame work visits only the dominoes with work to do,
// yet makes the very same camera pulls as a visit of every cell; and a frame
// that skips the cells out of view draws, within the view, exactly what
// drawing every cell draws.
#include "door.h"
#include "level.h"
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
    Frame f = {{}, fakegl::primitives().size()};
    for (const Primitive& p : fakegl::primitives())
        if (fakegl::mayBeSeen(p))
            f.seen.push_back(p);
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
        cell.render(0);
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

}  // namespace
