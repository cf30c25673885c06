// The link-time doubles themselves, only where a fault would make every other
// test meaningless without failing it: the recording GL's placing of vertices
// and normals in the world, and the scripted SDL's stall.
#include "fake_gl.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

void expectPoint(const float* p, float x, float y, float z)
{
    EXPECT_NEAR(p[0], x, 1e-4f);
    EXPECT_NEAR(p[1], y, 1e-4f);
    EXPECT_NEAR(p[2], z, 1e-4f);
}

const fakegl::Vertex& drawPoint(float x, float y, float z)
{
    glBegin(GL_POINTS);
    glVertex3f(x, y, z);
    glEnd();
    return fakegl::primitives().back().v.back();
}

// A domino 1 wide and 5 tall tipping 37.5 degrees toward +x about its bottom
// right edge, the way the game turns one, seen through a camera that is
// undone; normals through a stretch and a mirror come out unit length and
// facing out.
TEST(RecordingGl, PlacesVerticesAndNormalsInTheWorld)
{
    fakegl::reset();
    glRotatef(20, -1, 0, 0);
    glTranslatef(-50, -23, -80);
    const float light[4] = {0.1f, 1, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glPushMatrix();
    glTranslatef(0.5f, 0, 0);
    glRotatef(37.5f, 0, 0, -1);
    glTranslatef(-0.5f, 0, 0);
    glNormal3f(1, 0, 0);
    expectPoint(drawPoint(-0.5f, 5, 0).world, 2.750454f, 4.575528f, 0);
    expectPoint(drawPoint(-0.5f, 0, 0).normal, 0.793353f, -0.608761f, 0);
    glPopMatrix();
    glScalef(-2, 1, 1);
    glNormal3f(1, 1, 0);
    expectPoint(drawPoint(0, 0, 0).normal, -0.5f / std::sqrt(1.25f), 1 / std::sqrt(1.25f), 0);
    glPopMatrix();
    EXPECT_EQ(fakegl::errors(), std::vector<GLenum>{GL_STACK_UNDERFLOW});
}

// Queues a refresh at every tick, even when one is waiting.
Uint32 triggerRefreshEvery(Uint32 interval, void*)
{
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
    return interval;
}

// A stalled frame finds every tick due meanwhile piled up, as a busy game
// would: the tests of slow frames rely on it.
TEST(ScriptedSdl, AStalledFrameFindsTheTicksPiledUp)
{
    scriptedsdl::reset();
    ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0);
    SDL_AddTimer(20, triggerRefreshEvery, nullptr);
    scriptedsdl::stall(100);
    EXPECT_EQ(SDL_WaitEvent(nullptr), 1);
    EXPECT_EQ(scriptedsdl::now(), 100u);
    SDL_Event e;
    int piled = 0;
    while (SDL_PollEvent(&e))
        ++piled;
    EXPECT_EQ(piled, 5);
}

}  // namespace
