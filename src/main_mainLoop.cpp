#include "main.h"

thread_local float camera[3], speed[3], camaccel[3], camjerk[3];
thread_local float sight[3], sightspeed[3], sightaccel[3], sightjerk[3];
thread_local int totweight;

namespace {

const Uint32 fadeLength = 1500;  // ms of the end-of-level fade

}  // namespace

void keyDown(SDLKey key)
{
    switch (key) {
    case SDLK_LEFT: player.move(-1); break;
    case SDLK_RIGHT: player.move(1); break;
    case SDLK_UP: player.climb(1); break;
    case SDLK_DOWN: player.climb(-1); break;
    case SDLK_SPACE: player.grab(); break;
    case SDLK_COMMA: player.push(-1); break;
    case SDLK_PERIOD: player.push(1); break;
    default: break;
    }
}

void keyUp(SDLKey key)
{
    if (key == SDLK_LEFT || key == SDLK_RIGHT || key == SDLK_UP || key == SDLK_DOWN)
        player.stop();
}

namespace {

// A closed window already waiting in SDL's queue ends the game after the
// pass under way, as a quit signal does, rather than after the pass that
// would take it, which on a level of millions of dominoes may take a second.
bool quitWaiting()
{
    SDL_Event quit;
    SDL_PumpEvents();
    return SDL_PeepEvents(&quit, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}

// Replaces the ended level with the next one (a failed level has stepped
// levelnum back, so that is the same one again). False ends the game with
// status: 0 after the last level, whose successor's file does not exist,
// and levelFailureStatus for a file that is there but cannot be loaded.
bool changeLevel(int& status)
{
    delete level;
    level = nullptr;
    levelnum++;
    status = 0;
    char pathname[pathSize];
    if (!levelPath(pathname)) {
        puts("internal inconsistency");
        return false;
    }
    Level::Failure failure;
    if (enterLevel(pathname, &failure))
        return true;
    if (quitSignalled())
        return false;
    if (failure.missing) {
        printf("Can't open level %d (Did you just finish the game?? :)\n", levelnum);
    } else {
        fflush(stdout);  // the loader's message about the file comes first
        fprintf(stderr, "Can't go on: level file \"%s\" could not be loaded: %s\n", pathname,
                failure.reason.c_str());
        status = levelFailureStatus;
    }
    return false;
}

// Darkens the frame by the fraction of the fade so far: a quad on the near
// plane, in eye space, where it covers the whole view, facing the eye with a
// normal of its own.
void drawFade(Uint32 fadeout)
{
    glColor4f(0, 0, 0, fadeout / double(fadeLength));
    glLoadIdentity();
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(-1, -1, -1);
    glVertex3f(-1, 1, -1);
    glVertex3f(1, 1, -1);
    glVertex3f(1, -1, -1);
    glEnd();
}

}  // namespace

Drained drainEvents()
{
    Drained drained;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        drained.any = true;
        if (event.type == SDL_KEYDOWN)
            keyDown(event.key.keysym.sym);
        else if (event.type == SDL_KEYUP)
            keyUp(event.key.keysym.sym);
        else if (event.type == SDL_QUIT)
            drained.quit = true;
    }
    return drained;
}

bool tick()
{
    if (levelDone)
        return true;
    const bool stays = player.update();
    if (!stays) {
        levelnum--;
        levelDone = true;
    }
    level->update();
    return stays;
}

// The camera's start: 80 units in front of the level, looking straight at it.
void resetCamera()
{
    const float start[3] = {50, 23, 80};
    for (int i = 0; i < 3; i++) {
        camera[i] = start[i];
        speed[i] = camaccel[i] = camjerk[i] = 0;
        sight[i] = sightspeed[i] = sightaccel[i] = sightjerk[i] = 0;
    }
    sight[2] = -1;
    totweight = 0;
}

float sq(float z)
{
    return z * z;
}

// Pulls the camera toward the point (x, y, 0): along the line of view so that
// the eye stands 20 units plus 1.5 times the point's distance from that line
// in front of it, sideways toward a point 10 above it, and turns the view
// toward it. A visible above 1 damps the pull toward far targets.
void lookAt(float x, float y, int visible)
{
    totweight++;
    float norm = sight[0] * (x - camera[0]) + sight[1] * (y - camera[1]) - sight[2] * camera[2];
    float rad = sqrtf(sq(x - (camera[0] + sight[0] * norm)) + sq(y - (camera[1] + sight[1] * norm))
                      + sq(camera[2] + sight[2] * norm));
    float accel = (norm - 20 + rad * (-1.5f)) / 30000;
    if (accel > 0)
        accel = accel / visible;
    for (int i = 0; i < 3; i++)
        camjerk[i] += sight[i] * accel;
    camjerk[0] += (x - camera[0]) / 1000000;
    camjerk[1] += (y - camera[1] + 10) / 1000000;

    rad = sqrt(sq(x - camera[0]) + sq(y - camera[1]) + sq(camera[2]));
    if (rad == 0)
        return;  // a target at the eye has no direction to turn to
    if (accel > 0)
        rad = visible * rad;
    sightjerk[0] += (x - camera[0]) / rad / 5000;
    sightjerk[1] += (y - camera[1]) / rad / 5000;
    sightjerk[2] += camera[2] / rad / (-5000);
}

// Moves the current group of targets into the accelerations, averaged over
// the group and counted weight times.
void normCam(int weight)
{
    if (totweight == 0)
        return;
    for (int i = 0; i < 3; i++) {
        camaccel[i] += camjerk[i] * weight / totweight;
        sightaccel[i] += sightjerk[i] * weight / totweight;
        camjerk[i] = 0;
        sightjerk[i] = 0;
    }
    totweight = 0;
}

// Integrates the accelerations gathered while the last frame was drawn over
// dt ms. Speeds carry over only through frames of 0 ms.
void updateCam(float dt)
{
    float friction = 1 + dt / (-0.01f);
    if (friction < 0)
        friction = 0;
    float turned[3];
    float norm = 0;
    for (int i = 0; i < 3; i++) {
        speed[i] += camaccel[i] * dt / 3;
        sightspeed[i] += sightaccel[i] * dt / 3;
        sightaccel[i] = 0;
        camera[i] += speed[i] * dt;
        speed[i] *= friction;
        turned[i] = sight[i] + sightspeed[i];
        sightspeed[i] *= friction;
        norm += turned[i] * turned[i];
    }
    norm = sqrtf(norm);
    // A view turned to zero length (or blown up) has no direction; keep the
    // last good one rather than fill the camera with NaNs.
    if (norm > 0 && std::isfinite(norm))
        for (int i = 0; i < 3; i++)
            sight[i] = turned[i] / norm;
    for (int i = 0; i < 3; i++)
        camaccel[i] = 0;
    totweight = 0;
}

namespace {

const double degrees = 57.29577951308232;  // per radian

}  // namespace

float cameraPitch()
{
    return atan2(sight[1], hypot(sight[0], sight[2])) * degrees;
}

float cameraYaw()
{
    return atan2(sight[0], -sight[2]) * degrees;
}

void applyCam()
{
    glRotatef(cameraPitch(), -1, 0, 0);
    glRotatef(cameraYaw(), 0, 1, 0);
    glTranslatef(-camera[0], -camera[1], -camera[2]);
}

// The camera's groups in the order it weighs them: the player, then the
// level's corners and its moving dominoes.
void animateFrame(float t)
{
    player.animate(t);
    level->animate(t);
}

void takePushes()
{
    if (player.held)
        player.held->takePush();
    level->takePushes();
}

// Game time follows real time, but one pass adds at most 25 ms, and a pass
// runs at most one 50 ms tick, so every tick is followed by a drawn frame.
// A quit signal or a closed window ends the loop after the pass under way,
// so that a game whose passes are slow still ends within one of them.
int mainLoop()
{
    bool done = false;
    const float lightPos[4] = {0.1f, 1.0f, 1.0f, 0.0f};
    PassTime time(SDL_GetTicks());
    Uint32 fadeout = 0;
    resetCamera();

    while (!done && !quitSignalled()) {
        SDL_WaitEvent(nullptr);
        time.advance(SDL_GetTicks());
        if (drainEvents().quit)
            done = true;

        if (levelDone) {
            fadeout += time.passed();
            if (fadeout > fadeLength - 1) {
                fadeout = 0;
                levelDone = false;
                int status;
                if (!changeLevel(status))
                    return status;
            }
        }

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        while (time.tickDue())
            tick();
        float t = levelDone ? 0 : time.sinceTick();

        updateCam(time.passed());
        applyCam();
        glLightfv(GL_LIGHT0, GL_POSITION, lightPos);
        animateFrame(t);
        player.render(t);
        level->render(t);
        if (fadeout)
            drawFade(fadeout);
        SDL_GL_SwapBuffers();
        if (quitWaiting())
            done = true;
    }
    return 0;
}
