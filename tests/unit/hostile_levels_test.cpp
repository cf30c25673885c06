// Malformed and hostile level files. Players share levels, so a level file is
// untrusted input: every broken file must be refused with a false result and
// the loader's one-line message (or none, where the game prints none), and
// must never crash, hang or take the machine's memory. The faults the loader's
// own tests state are not repeated here.
#include "world.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace std::string_literals;

std::string file(const std::string& text)
{
    return writeTempFile(text);
}

// A directory opens for reading on Linux; the first read fails with EISDIR,
// which the loader sees as a file without a header.
std::string directory()
{
    const auto dir = std::filesystem::path(writeTempFile("")).parent_path() / "adir";
    std::filesystem::create_directory(dir);
    return dir.string();
}

TEST(HostileLevelFile, IsRefusedWithItsMessageOrNone)
{
    const struct {
        const char* what;
        std::string path;
        bool loads;
        std::string printed;  // exactly what the loader wrote on stdout
    } catalogue[] = {
        {"well-formed", file("3 2 0 0 2 0\n...\n...\nN  \nT  \n"), true, ""},

        {"carriage return ending a cell line", file("3 1 0 0 2 0\n...\r\nT  \n"), false, "Newline expected\n"},
        {"carriage return ending a domino line", file("3 1 0 0 2 0\n...\nT  \r\n"), false, "Newline expected\n"},

        {"empty file", file(""), false, ""},
        {"directory", directory(), false, ""},
        {"header cut after four numbers", file("3 1 0 0"), false, ""},
        {"header cut after five numbers", file("3 1 0 0 2"), false, ""},
        {"header cut before its line feed", file("3 1 0 0 2 0"), false, ""},
        {"NUL ending the header", file("3 1 0 0 2 0\0\n...\nT  \n"s), false, "Newline expected\n"},

        {"zero height", file("1 0 0 0 0 0\n"), false, "Illegal level size 1 x 0\n"},
        {"negative width", file("-3 1 0 0 2 0\n...\nT  \n"), false, "Illegal level size -3 x 1\n"},
        {"both negative", file("-3 -1 0 0 2 0\n"), false, "Illegal level size -3 x -1\n"},
        {"one cell over four million", file("4194305 1 0 0 0 0\n"), false, "Level too large 4194305 x 1\n"},
        {"product over four million", file("2049 2048 0 0 0 0\n"), false, "Level too large 2049 x 2048\n"},
        {"product wrapping to 0 in 32 bits", file("65536 65536 0 0 0 0\n"), false,
         "Level too large 65536 x 65536\n"},
        {"product wrapping negative", file("2147483647 2 0 0 1 0\n"), false, "Level too large 2147483647 x 2\n"},
        // The header is accepted at the limit; this file then ends silently.
        {"four million cells", file("4194304 1 0 0 0 0\n"), false, ""},
        // Numbers beyond int are refused as written, never wrapped into some
        // small, plausible value.
        {"width beyond int", file("4294967297 1 0 0 0 0\n.\nT\n"), false, "Level too large 4294967297 x 1\n"},
        {"height beyond int", file("1 4294967297 0 0 0 0\n.\nT\n"), false, "Level too large 1 x 4294967297\n"},
        {"width below int", file("-4294967295 1 0 0 0 0\n.\nT\n"), false,
         "Illegal level size -4294967295 x 1\n"},
        {"door beyond int", file("1 1 4294967296 0 0 0\n.\nT\n"), false, "Door outside the level\n"},
        {"door below int", file("1 1 0 0 0 -4294967296\n.\nT\n"), false, "Door outside the level\n"},

        {"entrance right of the grid", file("3 1 3 0 2 0\n...\nT  \n"), false, "Door outside the level\n"},
        {"entrance left of the grid", file("3 1 -1 0 2 0\n...\nT  \n"), false, "Door outside the level\n"},
        {"entrance above the grid", file("3 1 0 1 2 0\n...\nT  \n"), false, "Door outside the level\n"},
        {"exit below the grid", file("3 1 0 0 2 -1\n...\nT  \n"), false, "Door outside the level\n"},
        {"exit where the border cell says it is", file("3 1 0 0 -2 -2\n...\nT  \n"), false,
         "Door outside the level\n"},

        {"tab among the cells", file("3 1 0 0 2 0\n.\t.\nT  \n"), false, "Illegal cell character '\t'\n"},
        {"tab among the dominoes", file("3 1 0 0 2 0\n...\nT\t \n"), false, "Illegal domino character '\t'\n"},
        {"lower-case letter among the cells", file("3 1 0 0 2 0\n.x.\nT  \n"), false,
         "Illegal cell character 'x'\n"},
        {"byte 128", file("3 1 0 0 2 0\n.\x80.\nT  \n"), false, "Illegal cell character '\x80'\n"},
        {"byte 255", file("3 1 0 0 2 0\n..\xff\nT  \n"), false, "Illegal cell character '\xff'\n"},
        {"UTF-8 letter", file("3 1 0 0 2 0\n...\nT\xc3\xa9\n"), false, "Illegal domino character '\xc3'\n"},
        {"NUL among the cells", file("3 1 0 0 2 0\n.\0.\nT  \n"s), false, "Illegal cell character '\0'\n"s},
        {"NUL among the dominoes", file("3 1 0 0 2 0\n...\nT\0 \n"s), false,
         "Illegal domino character '\0'\n"s},

        {"short domino line, in a file long enough", file("3 1 0 0 2 0\n...\nT \n\n"), false,
         "Illegal domino character '\n'\n"},
        {"long domino line", file("3 1 0 0 2 0\n...\nT  N\n"), false, "Newline expected\n"},
        {"no grids", file("3 2 0 0 2 0\n"), false, ""},
        {"one cell line", file("3 2 0 0 2 0\n...\n"), false, ""},
        {"cut inside a cell line", file("3 2 0 0 2 0\n...\n.."), false, ""},
        {"no domino lines", file("3 2 0 0 2 0\n...\n...\n"), false, ""},
        {"cut inside a domino line", file("3 2 0 0 2 0\n...\n...\nN  \nT"), false, ""},
    };
    for (const auto& c : catalogue) {
        SCOPED_TRACE(c.what);
        Level lv;
        testing::internal::CaptureStdout();
        EXPECT_EQ(lv.load(c.path.c_str()), c.loads);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    }
}

}  // namespace
