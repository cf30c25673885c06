// Failures that must never pass for success, nor hang or be lost: no display
// to show the window on, a level file that cannot be loaded (and why, at
// start-up and later), a file too short for its header, and a quit that
// comes while a frame takes seconds. Each failing case stands beside its
// passing partner.
#include "world.h"

#include "fake_gl.h"
#include "scripted_sdl.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

namespace {

namespace fs = std::filesystem;

const std::string plainLevel = R"(3 1 0 0 2 0
___
 N 
)";

void write(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// Makes what a case needs in levels/.
using Setting = std::function<void(const fs::path& levels)>;

// The game as it is before main, in a working directory of its own that
// holds levels/, with DISPLAY and SDL_VIDEODRIVER restored afterwards.
class Game : public testing::Test {
protected:
    fs::path home;
    fs::path dir;
    std::optional<std::string> display, videoDriver;

    void SetUp() override
    {
        home = fs::current_path();
        char pattern[] = "/tmp/toppleton-failures-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir = pattern;
        fs::create_directory(dir / "levels");
        fs::current_path(dir);
        display = getEnv("DISPLAY");
        videoDriver = getEnv("SDL_VIDEODRIVER");
        fresh();
    }

    void TearDown() override
    {
        fresh();
        setEnv("DISPLAY", display);
        setEnv("SDL_VIDEODRIVER", videoDriver);
        fs::current_path(home);
        fs::remove_all(dir);
    }

    void fresh()
    {
        scriptedsdl::reset();
        fakegl::reset();
        delete level;
        level = nullptr;
        levelnum = 1;
        levelDone = false;
    }

    static std::optional<std::string> getEnv(const char* name)
    {
        const char* v = getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    }

    static void setEnv(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }

    fs::path levels() { return dir / "levels"; }

    // levels/ afresh, holding what the case sets.
    void setLevels(const Setting& set)
    {
        fs::remove_all(levels());
        fs::create_directory(levels());
        set(levels());
    }
};

// A header may name millions of cells; the few bytes after it must not cost
// their memory. A file too short for its grids prints nothing, as one that
// ends early always did, and is refused before anything is allocated.
TEST(TooShortFile, IsRefusedBeforeItsGridsAreAllocated)
{
    const struct {
        const char* what;
        std::string text;
        bool loads;
    } cases[] = {
        {"2048 x 2048 cells named, three lines given", "2048 2048 0 0 0 0\n.\nT\n", false},
        {"four million cells named", "4194304 1 0 0 0 0\n", false},
        {"one byte short: no final line feed", "3 1 0 0 2 0\n___\n N ", false},
        {"exactly long enough", "3 1 0 0 2 0\n___\n N \n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Level lv;
        testing::internal::CaptureStdout();
        EXPECT_EQ(lv.load(writeTempFile(c.text).c_str()), c.loads);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(lv.cells != nullptr, c.loads);
        EXPECT_EQ(lv.doms != nullptr, c.loads);
        if (!c.loads) {
            EXPECT_EQ(lv.failure.reason.find("the file is too short for the "), 0u) << lv.failure.reason;
        }
    }
}

}  // namespace
