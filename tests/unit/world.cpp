#include "world.h"

#include "fake_gl.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

// A plain array, not a path object: the exit handler that removes the
// directory runs after static objects have been destroyed.
char tempDirName[] = "/tmp/toppleton-test-XXXXXX";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        all.push_back(line);
    return all;
}

// Equal, or two numbers that differ by no more than a rounding.
bool sameWord(const std::string& a, const std::string& b)
{
    char *endA, *endB;
    const float x = std::strtof(a.c_str(), &endA), y = std::strtof(b.c_str(), &endB);
    return a == b || (!*endA && !*endB && endA != a.c_str() && std::fabs(x - y) <= 0.002f);
}

bool sameLine(const std::string& a, const std::string& b)
{
    std::istringstream inA(a), inB(b);
    std::string wordA, wordB;
    while (inA >> wordA)
        if (!(inB >> wordB) || !sameWord(wordA, wordB))
            return false;
    return !(inB >> wordB);
}

}  // namespace

std::string levelFile(const std::string& picture)
{
    std::vector<std::string> rows;
    for (const std::string& line : lines(picture))
        if (line.find('|') != std::string::npos)
            rows.push_back(line.substr(line.find('|') + 1));
    size_t wid = 0;
    for (const std::string& row : rows)
        wid = std::max(wid, row.size());
    std::string header = picture.substr(0, picture.find('\n'));
    if (header.find('|') != std::string::npos)
        header = std::to_string(wid) + " " + std::to_string(rows.size() / 2) + " 0 0 "
            + std::to_string(wid - 1) + " 0";
    else
        std::istringstream(header) >> wid;
    std::string cells, dominoes;
    for (size_t i = 0; i < rows.size(); i++)
        (i % 2 ? cells : dominoes) += rows[i] + std::string(wid - std::min(wid, rows[i].size()), ' ') + "\n";
    return header + "\n" + cells + dominoes;
}

std::string writeTempFile(const std::string& text)
{
    static bool made = [] {
        if (!mkdtemp(tempDirName))
            abort();
        std::atexit([] { std::filesystem::remove_all(tempDirName); });
        return true;
    }();
    static int serial = 0;
    (void)made;
    const std::filesystem::path p = std::filesystem::path(tempDirName) / ("level" + std::to_string(++serial));
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
}

void standAt(int x, int y)
{
    player.x = x;
    player.y = y;
    player.z = player.deltaZ = 0;
    player.speed = player.vspeed = 0;
    player.stopping = player.falling = player.releasing = false;
}

World::World(const std::string& picture)
{
    if (!enterLevel(writeTempFile(levelFile(picture)).c_str()))
        throw std::runtime_error("this level does not load:\n" + levelFile(picture));
}

void World::tick(int n)
{
    for (int i = 0; i < n; i++) {
        ::tick();
        frame();
    }
}

void World::frame(float t)
{
    glClear(GL_COLOR_BUFFER_BIT);
    animateFrame(t);
    player.render(t);
    level->render(t);
}

void GameTest::SetUp()
{
    home = std::filesystem::current_path();
    char pattern[] = "/tmp/toppleton-game-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    dir = pattern;
    std::filesystem::current_path(dir);
    fresh();
}

void GameTest::TearDown()
{
    game.reset();
    std::filesystem::current_path(home);
    std::filesystem::remove_all(dir);
}

void GameTest::fresh()
{
    game.reset();
    game.emplace();
    fakegl::reset();
    std::filesystem::remove_all(levels());
    std::filesystem::create_directory(levels());
}

void GameTest::writeLevel(int n, const std::string& text)
{
    std::ofstream(levels() / std::to_string(n), std::ios::binary) << text;
}

void expectPicture(const std::string& name, const std::string& drawn)
{
    const std::string path = TOPPLETON_PICTURES "/" + name + ".txt";
    if (getenv("TOPPLETON_REDRAW")) {
        std::ofstream(path) << drawn;
        return;
    }
    std::ifstream in(path);
    std::stringstream stored;
    stored << in.rdbuf();
    const std::vector<std::string> want = lines(stored.str()), got = lines(drawn);
    for (size_t i = 0; i < std::max(want.size(), got.size()); i++) {
        const std::string w = i < want.size() ? want[i] : "(nothing)",
                          g = i < got.size() ? got[i] : "(nothing)";
        if (!sameLine(w, g)) {
            ADD_FAILURE() << path << " line " << i + 1 << ": stored\n" << w << "\nbut drawn\n" << g;
            return;
        }
    }
}
