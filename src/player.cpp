#include "player.h"
#include "cell.h"
#include "domino.h"
#include "door.h"
#include "main.h"

namespace {

// A thin four-sided prism along +y, its corners on the axes 0.1 from the
// centre line; with smooth shading it is lit like a cylinder.
void cylinder(float len)
{
    const float r = 0.1f;
    const float corners[5][2] = {{r, 0}, {0, r}, {-r, 0}, {0, -r}, {r, 0}};
    glBegin(GL_QUAD_STRIP);
    for (const auto& c : corners) {
        glNormal3f(c[0] / r, 0, c[1] / r);
        glVertex3f(c[0], 0, c[1]);
        glVertex3f(c[0], len, c[1]);
    }
    glEnd();
}

// A prism from (x1, y1) to (x2, y2) in the current x-y plane.
void doLeg(float x1, float y1, float x2, float y2)
{
    const double degrees = 180 / 3.141592653589793;
    glPushMatrix();
    glTranslatef(x1, y1, 0);
    glRotatef(atan2(x2 - x1, y2 - y1) * degrees, 0, 0, -1);
    cylinder(hypot(x2 - x1, y2 - y1));
    glPopMatrix();
}

}  // namespace

void Player::init(Cell* cell)
{
    x = stepsPerCell * cell->getX();
    y = stepsPerCell * cell->getY();
    z = -doorDepth;
    deltaZ = 1;
    speed = vspeed = 0;
    stopping = falling = releasing = false;
    held = nullptr;
    importance = 1;
    implatency = 0;
    foot = -1;
}

Cell* Player::getCell(int dy)
{
    if (dy > 0)
        dy = 0;
    return level->getCell(columnOf(x), rowOf(y + dy));
}

bool Player::update()
{
    weighForCamera();
    if (deltaZ && !moveThroughDoor())
        return true;
    if (!falling) {
        if (speed)
            foot = -foot;
        x += speed;
    }
    y += vspeed;
    rampSpeeds();
    if (speed == 0 && vspeed == 0)
        stopping = false;
    groundAndLadders();
    if (releasing && grab()) {
        releasing = false;
        stopping = true;
    }
    return y >= lostBelow;
}

// A moving player pulls the camera harder; the pull lasts 50 ticks after it
// stops and then decays one step per tick.
void Player::weighForCamera()
{
    const int maxRising = 20;
    const int rise = 5;
    const int latency = 50;
    if (speed || vspeed || deltaZ < 0) {
        if (importance < maxRising)
            importance += rise;
        implatency = latency;
    } else if (importance > 1) {
        if (implatency)
            implatency--;
        else
            importance--;
    }
}

// One step of depth through a door; false while still inside it. The walk
// into the exit ends the level when it reaches the inside of the door.
bool Player::moveThroughDoor()
{
    z += deltaZ;
    foot = -foot;
    if (z <= -doorDepth)
        levelDone = true;
    if (z != 0)
        return false;
    deltaZ = 0;
    return true;
}

// A walk starts with a step of 1 and goes on with steps of 2; winding down
// halves the speed and then stops. Falling never winds down.
void Player::rampSpeeds()
{
    auto ramp = [](int& v, bool windDown) {
        if (windDown)
            v = (v == 1 || v == -1) ? 0 : v / 2;
        else if (v == 1 || v == -1)
            v *= 2;
    };
    ramp(speed, stopping);
    ramp(vspeed, stopping && !falling);
}

void Player::groundAndLadders()
{
    const int o = aboveFloor(y);
    Cell* cell = getCell(0);
    const bool ladderGoesOn = getCell(-3)->getLadder();
    if (vspeed < 0 && cell->getFloor() && o + vspeed <= 0 && (!ladderGoesOn || falling)) {
        vspeed = -o;
        if (vspeed == 0)
            falling = false;
    } else if (!falling && (o != 0 || !cell->getFloor()) && !cell->getLadder()) {
        falling = true;
        vspeed = -1;
        if (held && !cell->getFloor())
            grab();
    }
}

void Player::move(int direction)
{
    speed = direction;
    if (!falling)
        vspeed = 0;
    stopping = false;
    releasing = false;
}

// Climbs where there is a ladder; with none, up or down in front of an opened
// exit walks out through it.
void Player::climb(int direction)
{
    if (getCell(direction)->getLadder()) {
        vspeed = direction;
        speed = 0;
        stopping = false;
        return;
    }
    Door* door = getCell(0)->getDoor();
    if (door && door->isOpenedExit())
        deltaZ = -1;
}

void Player::stop()
{
    stopping = true;
    releasing = false;
}

bool Player::grab()
{
    if (held)
        return setDown();
    held = getCell(0)->getDomino(0)->grab();
    return held != nullptr;
}

// Sets the carried domino down here if the slot is free, even without floor;
// otherwise starts walking to a free neighbour.
bool Player::setDown()
{
    Cell* here = getCell(0);
    if (here->getDomino(0) != &blank) {
        walkAsideToSetDown();
        return false;
    }
    held->enter(here);
    // It may bring a push taken or a countdown run while it was carried.
    level->wake(held);
    held = nullptr;
    return true;
}

// Tries the right neighbour, then the left. Both are asked for the join on
// their left: for the left one that is its join to the cell beyond it.
void Player::walkAsideToSetDown()
{
    Cell* here = getCell(0);
    for (int direction : {1, -1}) {
        Cell* c = level->getCell(here->getX() + direction, here->getY());
        if ((c->getFloor() & Cell::joinedLeft) && c->getDomino(0) == &blank && c->getDomino(1) == &blank) {
            speed = direction;
            releasing = true;
            return;
        }
    }
}

// The level's one push: only a push that a real domino took uses it up.
void Player::push(int direction)
{
    if (held || !level->canPush())
        return;
    Domino* d = getCell(0)->getDomino(0);
    if (d->push(direction, Domino::contactSquare) && !d->isBlank())
        level->hasPushed();
}

// Horizontal motion shows only while walking in the plane: x does not change
// while falling or in a door.
float Player::shownX(float t)
{
    return (x + (falling || deltaZ ? 0 : speed * t) - 2) * 5 / stepsPerCell;
}

float Player::shownY(float t)
{
    return (y + vspeed * t) * 10 / stepsPerCell;
}

// A far player pulls the camera less than a far domino (visible 3, not 1).
void Player::animate(float t)
{
    lookAt(shownX(t), shownY(t), 3);
    normCam(importance);
    if (held)
        held->animate(0);
}

void Player::render(float t)
{
    const bool inDoor = deltaZ != 0;
    const float fs = (inDoor ? deltaZ : speed * 5.0f / stepsPerCell) * foot;
    const float depth = (z + 3) + deltaZ * t;

    glPushMatrix();
    glTranslatef(shownX(t), shownY(t), depth);
    if (held) {
        // Upright, broad side to the viewer, two units in front of the figure.
        glPushMatrix();
        glRotatef(90, 0, 1, 0);
        glTranslatef(-2, 0, 0);
        held->render(0);
        glPopMatrix();
    }
    glColor3f(0.9f, 0.9f, 0.9f);
    if (inDoor)
        glRotatef(90, 0, 1, 0);

    // The legs scissor in opposite phase; with foot flipping every tick the
    // planted foot keeps still on the ground while the body walks on.
    glPushMatrix();
    glTranslatef(0, 0, -1);
    glRotatef(30, 1, 0, 0);
    doLeg((t - 0.5f) * fs, 0, 0, 2);
    glPopMatrix();
    glTranslatef(0, 0, 1);
    glRotatef(-30, 1, 0, 0);
    doLeg((0.5f - t) * fs, 0, 0, 2);

    glTranslatef(0, 2, 0);
    glRotatef(30, 1, 0, 0);
    cylinder(2.2f);
    if (inDoor)
        glRotatef(90, 0, 1, 0);

    // The head: a ring of twelve sides of 0.5 standing on the neck.
    glTranslatef(0, 2.2f, 0);
    glRotatef(75, 0, 0, 1);
    for (int i = 0; i < 12; i++) {
        cylinder(0.51f);
        glTranslatef(0, 0.5f, 0);
        glRotatef(-30, 0, 0, 1);
    }
    glPopMatrix();
}
