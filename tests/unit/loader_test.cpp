// The level file, byte for byte: a header of six numbers and a line feed, a
// grid of cell characters and a grid of domino letters. Players share level
// files, so every broken or hostile one must be refused with a false result
// and the loader's one-line message (or none, where it prints none), and
// never crash, hang or take the machine's memory. Each rule is a table whose
// first row is a file that loads.
#include "world.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct Case {
    const char* what;
    std::string text;
    bool loads;
    std::string printed;  // exactly what the loader wrote on stdout
};

void expectOutcomes(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        Level lv;
        testing::internal::CaptureStdout();
        EXPECT_EQ(lv.load(writeTempFile(c.text).c_str()), c.loads) << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.what;
    }
}

const std::string grids = "___\nN T\n";

TEST(LevelFile, HeaderIsSixNumbersAndThenExactlyOneLineFeed)
{
    expectOutcomes({
        {"six numbers on a line", "3 1 0 0 2 0\n" + grids, true, ""},
        {"spread over several lines", "3\n1   0\n\n0 2\n0\n" + grids, true, ""},
        {"carriage return", "3 1 0 0 2 0\r\n___\r\nN T\r\n", false, "Newline expected\n"},
        {"blank after the sixth", "3 1 0 0 2 0 \n" + grids, false, "Newline expected\n"},
        {"NUL after the sixth", "3 1 0 0 2 0\0\n"s + grids, false, "Newline expected\n"},
        {"five numbers", "3 1 0 0 2\n" + grids, false, ""},
        {"a word for a number", "3 1 0 zero 2 0\n" + grids, false, ""},
        {"cut before its line feed", "3 1 0 0 2 0", false, ""},
        {"empty", "", false, ""},
    });
}

// Numbers beyond int are refused as written, never wrapped into some small,
// plausible value; a level of more than four million cells is refused before
// anything is allocated.
TEST(LevelFile, SizeFromOneByOneUpToFourMillionCells)
{
    expectOutcomes({
        {"one by one", "1 1 0 0 0 0\n.\nN\n", true, ""},
        {"500 wide", "500 1 0 0 499 0\n" + std::string(500, '_') + "\n" + std::string(500, 'N') + "\n", true,
         ""},
        {"no width", "0 1 0 0 0 0\n\n\n", false, "Illegal level size 0 x 1\n"},
        {"negative height", "3 -1 0 0 2 0\n" + grids, false, "Illegal level size 3 x -1\n"},
        {"width below int", "-4294967295 1 0 0 0 0\n.\nT\n", false, "Illegal level size -4294967295 x 1\n"},
        {"one cell over four million", "4194305 1 0 0 0 0\n", false, "Level too large 4194305 x 1\n"},
        {"product over four million", "2049 2048 0 0 0 0\n", false, "Level too large 2049 x 2048\n"},
        {"product wrapping to 0 in 32 bits", "65536 65536 0 0 0 0\n", false,
         "Level too large 65536 x 65536\n"},
        {"product wrapping negative", "2147483647 2 0 0 1 0\n", false, "Level too large 2147483647 x 2\n"},
        {"width beyond int", "4294967297 1 0 0 0 0\n.\nT\n", false, "Level too large 4294967297 x 1\n"},
        {"height beyond int", "1 4294967297 0 0 0 0\n.\nT\n", false, "Level too large 1 x 4294967297\n"},
    });
}

TEST(LevelFile, DoorsInsideTheGridOnly)
{
    expectOutcomes({
        {"far corners", "3 2 2 1 0 0\n___\n___\n   \n   \n", true, ""},
        {"exit right of the grid", "3 1 0 0 3 0\n" + grids, false, "Door outside the level\n"},
        {"entrance left of the grid", "3 1 -1 0 2 0\n" + grids, false, "Door outside the level\n"},
        {"entrance above the grid", "3 1 0 1 2 0\n" + grids, false, "Door outside the level\n"},
        {"exit below the grid", "3 1 0 0 2 -1\n" + grids, false, "Door outside the level\n"},
        {"exit where the border cell is", "3 1 0 0 -2 -2\n" + grids, false, "Door outside the level\n"},
        {"door beyond int", "1 1 4294967296 0 0 0\n.\nT\n", false, "Door outside the level\n"},
    });
}

TEST(LevelFile, GridLinesOfExactlyTheWidthEachEndingInALineFeed)
{
    expectOutcomes({
        {"ends right after the last line feed", "3 1 0 0 2 0\n" + grids, true, ""},
        {"anything after it is not read", "3 1 0 0 2 0\n" + grids + "not read\r\n", true, ""},
        {"no final line feed", "3 1 0 0 2 0\n___\nN T", false, ""},
        {"short cell line: its line feed is read as a cell", "3 1 0 0 2 0\n__\nN  \n\n", false,
         "Illegal cell character '\\n'\n"},
        {"short domino line", "3 1 0 0 2 0\n___\nT \n\n", false, "Illegal domino character '\\n'\n"},
        {"long cell line", "3 1 0 0 2 0\n____\nN  \n", false, "Newline expected\n"},
        {"long domino line", "3 1 0 0 2 0\n___\nT  N\n", false, "Newline expected\n"},
        {"no domino lines", "3 2 0 0 2 0\n...\n...\n", false, ""},
        {"cut inside a domino line", "3 2 0 0 2 0\n...\n...\nN  \nT", false, ""},
    });
}

// The byte refused is named between quotes on one line: printable ASCII as it
// is, any other byte as a C escape, so that none of the file's bytes reaches
// the terminal.
TEST(LevelFile, OnlyTheCharactersOfEachGrid)
{
    expectOutcomes({
        {"every cell character and letter", "10 1 0 0 9 0\n |.:)]([_!\nNWVBSDXFLT\n", true, ""},
        {"lower-case letter", "3 1 0 0 2 0\n___\nn  \n", false, "Illegal domino character 'n'\n"},
        {"letter among the cells", "3 1 0 0 2 0\n_N_\nN  \n", false, "Illegal cell character 'N'\n"},
        {"quote", "3 1 0 0 2 0\n___\n'  \n", false, "Illegal domino character '''\n"},
        {"backslash", "3 1 0 0 2 0\n_\\_\nN  \n", false, "Illegal cell character '\\'\n"},
        {"tilde, the last printable byte", "3 1 0 0 2 0\n___\nN~ \n", false,
         "Illegal domino character '~'\n"},
        {"delete", "3 1 0 0 2 0\n___\nN\x7f \n", false, "Illegal domino character '\\x7f'\n"},
        {"byte 255", "3 1 0 0 2 0\n..\xff\nT  \n", false, "Illegal cell character '\\xff'\n"},
        {"UTF-8 letter", "3 1 0 0 2 0\n...\nT\xc3\xa9\n", false, "Illegal domino character '\\xc3'\n"},
        {"escape, which starts a terminal's control sequence", "3 1 0 0 2 0\n.\x1b[2J\nT  \n", false,
         "Illegal cell character '\\x1b'\n"},
        {"tab", "3 1 0 0 2 0\n_\t_\nN  \n", false, "Illegal cell character '\\t'\n"},
        {"carriage return", "3 1 0 0 2 0\n___\nN \r\n", false, "Illegal domino character '\\r'\n"},
        {"NUL", "3 1 0 0 2 0\n.\0.\nT  \n"s, false, "Illegal cell character '\\0'\n"s},
    });
}

// Every domino made is counted, so deleting the level frees it (the sanitizer
// build checks that nothing is left over), and no door is attached.
TEST(LevelFile, AHalfLoadedLevelKeepsWhatItBuiltForItsDestructorAndIsFreedAtOnceWhenEntered)
{
    Level half;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(half.load(writeTempFile("3 1 0 0 2 0\n___\nNTx\n").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Illegal domino character 'x'\n");
    EXPECT_EQ(half.dcount, 2);
    EXPECT_EQ(half.getCell(0, 0)->getDoor(), nullptr);
    EXPECT_EQ(half.getCell(2, 0)->getDoor(), nullptr);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(enterLevel(writeTempFile("3 1 0 0 2 0\n___\nNTx\n").c_str()));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(level, nullptr);
}

}  // namespace
