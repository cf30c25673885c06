// What reaches the screen, compared with stored pictures (tests/unit/pictures,
// in world units): every kind of domino in each posture, the player's figure
// standing, walking, carrying, in a door and falling, floors, ladders and
// doors, and a level's cells placed on the grid. Each picture also notes how
// the drawing pulled the camera.
#include "world.h"

#include "fake_gl.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The pulls gathered since the camera was reset, in millionths: across and
// along the view, and the turn of the view.
std::string cameraPull(const float* pull, const float* turn)
{
    char text[160];
    snprintf(text, sizeof text, "camera pull %.3f %.3f %.3f turn %.3f %.3f %.3f\n", pull[0] * 1e6,
             pull[1] * 1e6, pull[2] * 1e6, turn[0] * 1e6, turn[1] * 1e6, turn[2] * 1e6);
    return text;
}

// The drawing since the last reset, then a fresh start for the next one.
std::string drawn(const float* pull, const float* turn)
{
    EXPECT_TRUE(fakegl::errors().empty());
    const std::string text = fakegl::picture() + cameraPull(pull, turn);
    fakegl::reset();
    resetCamera();
    return text;
}

// A pose of a domino: its state as a tick leaves it, and the tick fraction
// it is drawn at.
struct Pose {
    const char* what;
    int angle, speed, fly, elev;
    bool broken, struck;
    float t;
};

const Pose poses[] = {
    {"upright and still", 0, 0, 0, 0, false, false, 0.5f},
    {"turning right, half a tick on from two steps", 2, 1, 0, 0, false, false, 0.5f},
    {"starting to fall left", 0, -1, 0, 0, false, false, 0.2f},
    {"lying left", -6, 0, 0, 0, false, false, 0.7f},
    {"lying right", 6, 0, 0, 0, false, false, 0},
    {"dropping and turning, half a tick on", 0, 1, -1, -3, false, false, 0.5f},
    {"raised two sixths of a row", 0, 0, 0, 2, false, false, 0},
    {"struck squarely to the right since the last frame", 0, 0, 0, 0, false, true, 0.5f},
    {"broken", 0, 0, 0, 0, true, false, 0.5f},
};

TEST(Drawing, EveryKindInEveryPosture)
{
    for (const char kind : dominoCharacters()) {
        if (kind == ' ')
            continue;
        SCOPED_TRACE(kind);
        std::string picture;
        for (const Pose& p : poses) {
            World w(std::string("1 1 0 0 0 0\n|") + kind + "\n|.");
            Domino* d = w.at(0, 0);
            d->angle = p.angle, d->speed = p.speed, d->fly = p.fly, d->elev = p.elev, d->broken = p.broken;
            if (p.struck)
                d->push(1, Domino::contactSquare);
            fakegl::reset();
            resetCamera();
            d->animate(p.t);
            d->render(p.t);
            picture += std::string("# ") + p.what + "\n" + drawn(camjerk, sightjerk);
        }
        expectPicture(std::string("kind-") + kind, picture);
    }
}

float dot(const float* a, const float* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Each face of a shard carries its own normal, square to the face and
// pointing out of the shard, so debris is lit alike whatever was drawn
// before it.
TEST(Drawing, DebrisIsLitByItsOwnNormalsWhateverWasDrawnBefore)
{
    World w(R"(|N
               |.)");
    Domino* d = w.at(0, 0);
    d->boom();
    std::string pictures[2];
    const float before[2][3] = {{0, 0, 1}, {0, -1, 0}};
    for (int i = 0; i < 2; i++) {
        fakegl::reset();
        glNormal3f(before[i][0], before[i][1], before[i][2]);
        d->render(0);
        pictures[i] = fakegl::picture();
    }
    EXPECT_EQ(pictures[0], pictures[1]);
    ASSERT_EQ(fakegl::primitives().size(), 10u) << "ten shards";
    for (const fakegl::Primitive& shard : fakegl::primitives()) {
        ASSERT_EQ(shard.v.size(), 9u) << "three faces";
        float inside[3] = {};
        for (const fakegl::Vertex& v : shard.v)
            for (int k = 0; k < 3; k++)
                inside[k] += v.world[k] / 9;
        for (std::size_t f = 0; f < 9; f += 3) {
            const float* n = shard.v[f].normal;
            float out[3], edge1[3], edge2[3];
            for (int k = 0; k < 3; k++) {
                out[k] = shard.v[f].world[k] - inside[k];
                edge1[k] = shard.v[f + 1].world[k] - shard.v[f].world[k];
                edge2[k] = shard.v[f + 2].world[k] - shard.v[f].world[k];
            }
            EXPECT_GT(dot(n, out), 0) << "face " << f / 3 << " faces out";
            EXPECT_NEAR(dot(n, edge1), 0, 1e-4);
            EXPECT_NEAR(dot(n, edge2), 0, 1e-4);
            for (std::size_t v = f; v < f + 3; v++)
                EXPECT_EQ(std::vector<float>(n, n + 3),
                          std::vector<float>(shard.v[v].normal, shard.v[v].normal + 3));
        }
    }
}

TEST(Drawing, ThePlayerStandingWalkingCarryingInADoorAndFalling)
{
    World w(R"(3 2 0 1 2 0
               | N
               |(_)
               |
               |___)");
    std::string picture;
    auto pose = [&](const char* what, float t) {
        fakegl::reset();
        resetCamera();
        player.animate(t);
        player.render(t);
        const int weight = player.importance;
        const float pull[3] = {camaccel[0] / weight, camaccel[1] / weight, camaccel[2] / weight};
        const float turn[3] = {sightaccel[0] / weight, sightaccel[1] / weight, sightaccel[2] / weight};
        picture += std::string("# ") + what + "\n" + drawn(pull, turn);
    };
    pose("coming out of the entrance, a quarter tick on", 0.25f);
    standAt(8, 8);
    pose("standing", 0.5f);
    player.speed = 2;
    player.foot = 1;
    pose("walking right at the start of a tick", 0);
    pose("walking right half a tick on", 0.5f);
    player.foot = -1;
    pose("walking right half a tick on, the other foot forward", 0.5f);
    player.speed = 0;
    ASSERT_TRUE(player.grab());
    pose("carrying a domino", 0.5f);
    standAt(20, 4);
    player.falling = true;
    player.speed = 2;
    player.vspeed = -2;
    pose("falling, half a tick on", 0.5f);
    expectPicture("player", picture);
}

TEST(Drawing, FloorsLaddersDoorsAndTheGrid)
{
    std::string picture;
    for (const auto& [floor, ladder] : {std::pair{0, true}, {1, false}, {3, false}, {5, false}, {7, true}}) {
        Cell cell;
        cell.init(0, 0, floor, ladder);
        if (floor)
            Cell::renderFloorRun(cell, cell, 0);
        cell.renderStill();
        picture += "# floor code " + std::to_string(floor) + (ladder ? " with a ladder\n" : "\n")
            + drawn(camjerk, sightjerk);
    }
    Cell cell;
    cell.init(0, 0, 1, false);
    for (const auto& [angle, speed] : {std::pair{0, 0}, {3, 1}, {6, 0}}) {
        Door door;
        door.init(&cell, true);
        door.angle = angle;
        door.speed = speed;
        door.render(0.5f);
        picture += "# a door at angle " + std::to_string(angle) + " and speed " + std::to_string(speed)
            + ", half a tick on\n" + drawn(camjerk, sightjerk);
    }
    World w(R"(10 2 0 0 9 1
               |  N
               |.!)
               |NWVBSDXFLT
               | |.:)]([_!)");
    w.at(2, 1)->speed = 1;
    level->wake(w.at(2, 1));
    fakegl::reset();
    resetCamera();
    level->animate(0.25f);
    level->render(0.25f);
    picture += "# a level with every cell character and domino letter, a quarter tick on\n"
        + drawn(camaccel, sightaccel);
    expectPicture("cells", picture);
}

}  // namespace
