#include "world.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// A plain array, not a path object: the exit handler that removes the
// directory runs after static objects have been destroyed.
char tempDirName[] = "/tmp/toppleton-test-XXXXXX";

std::filesystem::path tempDir()
{
    static bool made = [] {
        if (!mkdtemp(tempDirName))
            abort();
        std::atexit([] { std::filesystem::remove_all(tempDirName); });
        return true;
    }();
    (void)made;
    return tempDirName;
}

}  // namespace

std::string writeTempFile(const std::string& text)
{
    static int serial = 0;
    std::filesystem::path p = tempDir() / ("level" + std::to_string(++serial));
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
}

void standAt(int x, int y)
{
    player.x = x;
    player.y = y;
    player.z = 0;
    player.deltaZ = 0;
    player.speed = player.vspeed = 0;
    player.stopping = player.falling = player.releasing = false;
}

World::World(const std::string& fileText)
{
    borderCell.init(-2, -2, 0, false);
    levelDone = false;
    loaded = enterLevel(writeTempFile(fileText).c_str());
}

World::~World()
{
    delete level;
    level = nullptr;
}

void World::tick(int n)
{
    for (int i = 0; i < n; i++) {
        player.update();
        level->update();
        frame();
    }
}

void World::frame(float t)
{
    animateFrame(t);
    player.render(t);
    level->render(t);
}
