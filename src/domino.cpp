#include "domino.h"
#include "cell.h"
#include "level.h"
#include "main.h"
#include "tools.h"

namespace {

void drawStandardBody()
{
    Pen::color(1, 1, 0);
    boxWhole(dominoBox);
}

// The unit normal of the triangle a b c on the side away from the point
// behind.
void outwardNormal(const float* a, const float* b, const float* c, const float* behind, float* n)
{
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
    const float toward = n[0] * (behind[0] - a[0]) + n[1] * (behind[1] - a[1]) + n[2] * (behind[2] - a[2]);
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    const float scale = (toward > 0 ? -1 : 1) / length;
    for (int i = 0; i < 3; i++)
        n[i] *= scale;
}

}  // namespace

void Domino::init(Cell* c)
{
    angle = speed = accel = elev = fly = top = 0;
    broken = woken = false;
    enter(c);
}

bool DominoState::operator==(const DominoState& other) const
{
    if (count != other.count || cell != other.cell)
        return false;
    for (int i = 0; i < count; i++)
        if (values[i] != other.values[i])
            return false;
    return true;
}

void Domino::save(DominoState& out) const
{
    for (int value : {angle, speed, accel, elev, top, fly, int{broken}})
        out.put(value);
    out.cell = cell;
}

void Domino::restore(DominoState::Reader& in)
{
    for (int* value : {&angle, &speed, &accel, &elev, &top, &fly})
        *value = in.next();
    broken = in.next();
    cell = in.cell();
}

UpdateReach Domino::updateReach()
{
    return reachIn(posture());
}

UpdateReach Domino::reachIn(Posture p)
{
    const int lean = p.angle < 0 ? -p.angle : p.angle;
    return {lean >= strike ? 2 : 1, fly < 0 || !cell->getFloor(), fly > 0};
}

void Domino::enter(Cell* c)
{
    cell = c;
    c->enter(this, top);
}

Domino* Domino::neighbour(int dx, int top)
{
    return level->getCell(cell->getX() + dx, cell->getY())->getDomino(top);
}

void Domino::migrate(int dx, int dy)
{
    cell->leave(top);
    cell = level->getCell(cell->getX() + dx, cell->getY() + dy);
    cell->enter(this, top);
}

bool Domino::inPlay()
{
    return cell->getDomino(top) == this;
}

// The contacts a domino turning toward direction makes, by its lean r along
// that direction. A lying domino standing up also reaches back two cells.
bool Domino::touch(int direction)
{
    const int r = angle * direction;
    const int other = 1 - top;
    if (r == -lying)
        return neighbour(-2 * direction, top)->push(-direction, contactFar * -direction)
            && neighbour(direction, top)->push(direction, contactFar * direction);
    if (r > -lying && r < 0)
        return neighbour(direction, top)->push(direction, contactFar * direction)
            && neighbour(direction, other)->push(direction, contactFar * direction);
    if (r >= 0 && r < strike)
        return neighbour(direction, top)->push(direction, contactNear * direction)
            && neighbour(direction, other)->push(direction, contactNear * direction);
    if (r == strike)
        return neighbour(direction, top)->push(direction, contactSquare * direction)
            && neighbour(direction, other)->push(direction, contactSquare * direction);
    if (r > strike && r <= lying)
        return neighbour(direction, top)->push(direction, contactLying * direction)
            && neighbour(2 * direction, top)->push(direction, contactFar * direction);
    puts("bad touch direction");
    return false;
}

// Lets the pusher pass while this domino's lean after its coming step stays
// beyond the lean the pusher would take up; an upright domino struck
// squarely decides in push0.
bool Domino::push(int direction, int from)
{
    const int p = direction * from;
    if (p == contactFar || p == contactNear)
        return (angle + speed) * direction > p;
    if (p == contactSquare) {
        const int lean = angle * direction;
        if (lean == 0) {
            // Struck squarely it may set off, so the frames must visit it.
            level->wake(this);
            return push0(direction);
        }
        return lean > 0;
    }
    if (p == contactLying)
        return false;
    puts("bad push direction");
    return false;
}

bool Domino::push0(int direction)
{
    accel = direction;
    return true;
}

void Domino::boom()
{
    broken = true;
    angle = 0;
    speed = 0;
}

Domino* Domino::grab()
{
    if (top != 0 || broken || angle || speed || fly || elev)
        return nullptr;
    cell->leave(top);
    return this;
}

void Domino::land()
{
    speed = 0;
}

bool Domino::isDone()
{
    if (broken)
        return false;
    const bool lyingFlat = angle == lying || angle == -lying;
    const bool resting = speed == 0 && fly == 0 && angle != 0;
    return lyingFlat || resting || !inPlay();
}

void Domino::update()
{
    if (!inPlay())
        return;
    lean();
    moveVertically();
}

void Domino::lean()
{
    if (!(fly && angle == 0))
        angle += speed;
    if (speed) {
        if (!touch(speed))
            refused();
        if (angle * speed == lying)
            land();
    } else if (angle) {
        resume();
    }
}

// A domino that strikes a neighbour that will not fall bounces back if the
// way back is free; otherwise it stays at the angle it has just reached.
void Domino::refused()
{
    if (angle * speed == strike && touch(-speed))
        speed = -speed;
    else
        speed = 0;
}

// A domino resting on a neighbour goes on as soon as its way is free. A lying
// one never resumes.
void Domino::resume()
{
    if (angle > 0 && angle < lying && touch(1))
        speed = 1;
    else if (angle < 0 && angle > -lying && touch(-1))
        speed = -1;
}

void Domino::moveVertically()
{
    elev += fly;
    if (elev == 0) {
        if (!cell->getFloor())
            startDropping();
        else if (mayTipOverEdge())
            tipOverEdge();
    } else if (elev == elevPerRow || elev == -elevPerRow) {
        changeRow();
    }
}

// Without a floor a domino drops, straightening as it goes.
void Domino::startDropping()
{
    fly = -1;
    if (speed == 0)
        speed = angle < 0 ? 1 : angle > 0 ? -1 : 0;
}

bool Domino::mayTipOverEdge()
{
    if ((angle != lying && angle != -lying) || angle * speed < 0)
        return false;
    return !level->getCell(cell->getX() + angle / lying, cell->getY())->getFloor();
}

// A domino lying with its far end over a gap belongs from now on to the gap's
// cell, lying back toward the floor it came from and turning up as it drops.
void Domino::tipOverEdge()
{
    speed = angle / lying;
    migrate(speed, 0);
    angle = -angle;
}

void Domino::changeRow()
{
    migrate(0, fly);
    elev = 0;
    if (cell->getFloor())
        fly = 0;
}

void Domino::applyAccel()
{
    if (accel)
        speed = accel;
    accel = 0;
}

void Domino::followIfMoving(float t, Posture p)
{
    if (p.speed || fly)
        lookAtMe(t, p);
}

void Domino::animate(float t)
{
    takePush();
    pullCamera(t);
}

void Domino::takePush()
{
    applyAccel();
}

void Domino::pullCamera(float t)
{
    followIfMoving(t, posture());
}

void Domino::render(float t)
{
    renderPlaced(t, drawStandardBody);
}

void Domino::renderPlaced(float t, void (*body)())
{
    renderPlaced(t, body, posture());
}

void Domino::renderPlaced(float t, void (*body)(), Posture p)
{
    Pen::push();
    rotIn(t, elev, fly, p);
    if (renderBroken(t))
        body();
    Pen::pop();
}

void Domino::rot(float t)
{
    rotAt(t, elev, fly);
}

void Domino::rotAt(float t, int height, int vertical)
{
    rotIn(t, height, vertical, posture());
}

void Domino::rotIn(float t, int height, int vertical, Posture p)
{
    const int k = 2 * p.angle + p.speed;
    Pen::translate(0, (height + vertical * t) * 10 / elevPerRow, 0);
    if (k == 0 || (vertical && p.angle == 0))
        return;
    const float a = p.angle * 15 + p.speed * t * 15;
    const float edge = k > 0 ? 0.5f : -0.5f;
    Pen::translate(edge, 0, 0);
    Pen::rotate(a, 0, 0, -1);
    Pen::translate(-edge, 0, 0);
}

bool Domino::renderBroken(float)
{
    if (!broken)
        return true;

    const float orange[] = {1, 0.5f, 0}, red[] = {1, 0, 0}, yellow[] = {1, 1, 0};
    auto step = [] { Pen::translate(1, 0, 0.3f); };
    auto r40 = [] { Pen::rotate(40, -1, 0, 2); };
    auto shard = [](const float* colour) {
        Pen::color(colour[0], colour[1], colour[2]);
        tetra();
    };

    Pen::push();
    shard(orange);
    step();
    Pen::push();
    r40();
    shard(red);
    Pen::pop();
    step();
    Pen::push();
    Pen::rotate(50, 1, 0, 2);
    shard(yellow);
    Pen::pop();
    for (const float* colour : {orange, yellow, yellow}) {
        step();
        r40();
        shard(colour);
    }
    for (int i = 0; i < 3; i++) {
        step();
        r40();
        step();
        shard(yellow);
    }
    step();
    r40();
    shard(orange);
    Pen::pop();
    return false;
}

// The middle of the domino as it falls: half a unit per step of lean. The
// height adds elev unscaled.
void Domino::lookAtMe(float t)
{
    lookAtMe(t, posture());
}

void Domino::lookAtMe(float t, Posture p)
{
    float x = (cell->getX() + (p.angle + p.speed * t) / 10) * 5;
    float y = cell->getY() * 10 + elev + fly * t;
    lookAt(x, y, 1);
}

// The three faces of a shard, P Q R, R Q S and S Q P, each lit by its own
// normal, pointing out of the shard: away from its fourth corner. The face
// P R S is left open.
void tetra()
{
    const float P[] = {-1, 0, -1}, Q[] = {0, 0, -0.8f}, R[] = {-0.1f, 1, -0.5f}, S[] = {0.2f, 0.1f, 0.1f};
    const float* const faces[3][4] = {{P, Q, R, S}, {R, Q, S, P}, {S, Q, P, R}};
    // Open on one side, a shard shows its inside.
    const Pen::TwoSided open;
    Pen::begin(GL_TRIANGLES);
    for (const auto& f : faces) {
        float n[3];
        outwardNormal(f[0], f[1], f[2], f[3], n);
        Pen::normal(n[0], n[1], n[2]);
        for (int v = 0; v < 3; v++)
            Pen::vertex(f[v][0], f[v][1], f[v][2]);
    }
    Pen::end();
}
