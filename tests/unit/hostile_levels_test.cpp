// Malformed and hostile level files. Players share levels, so a level file is
// untrusted input: every broken file must be refused with a false result and
// the loader's one-line message (or none, where the game prints none), and
// must never crash, hang or take the machine's memory.
#include "world.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct Loaded {
    bool ok;
    std::string out;  // what the loader printed on standard output
};

Loaded loadPath(const std::string& path)
{
    Level lv;
    testing::internal::CaptureStdout();
    const bool ok = lv.load(path.c_str());
    std::string out = testing::internal::GetCapturedStdout();
    return {ok, out};
}

Loaded loadText(const std::string& text)
{
    return loadPath(writeTempFile(text));
}

void expectRefused(const std::string& text, const std::string& message)
{
    const Loaded r = loadText(text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.out, message);
}

void expectLoads(const std::string& text)
{
    const Loaded r = loadText(text);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.out, "");
}

const std::string good = "3 1 0 0 2 0\n...\nT  \n";

// ---- Line ends -------------------------------------------------------------

TEST(HostileLineEnds, LineFeedsAloneLoad)
{
    expectLoads(good);
}

TEST(HostileLineEnds, CarriageReturnAtTheEndOfAGridLineFails)
{
    expectRefused("3 1 0 0 2 0\n...\r\nT  \n", "Newline expected\n");
    expectRefused("3 1 0 0 2 0\n...\nT  \r\n", "Newline expected\n");
}

// ---- Header ----------------------------------------------------------------

TEST(HostileHeader, EmptyFileFailsSilently)
{
    expectRefused("", "");
}

TEST(HostileHeader, TruncatedHeaderFailsSilently)
{
    expectRefused("3 1 0 0", "");
    expectRefused("3 1 0 0 2", "");
    expectRefused("3 1 0 0 2 0", "");  // ends inside the header's line end
}

TEST(HostileHeader, WordsInsteadOfNumbersFailSilently)
{
    expectRefused("three 1 0 0 2 0\n...\nT  \n", "");
    expectRefused("3 1 0 0 2 x\n...\nT  \n", "");
}

TEST(HostileHeader, ZeroSizesAreIllegal)
{
    expectRefused("0 1 0 0 0 0\n\n\n", "Illegal level size 0 x 1\n");
    expectRefused("1 0 0 0 0 0\n", "Illegal level size 1 x 0\n");
    expectLoads("1 1 0 0 0 0\n.\nT\n");
}

TEST(HostileHeader, NegativeSizesAreIllegal)
{
    expectRefused("-3 1 0 0 2 0\n...\nT  \n", "Illegal level size -3 x 1\n");
    expectRefused("3 -1 0 0 2 0\n...\nT  \n", "Illegal level size 3 x -1\n");
    expectRefused("-3 -1 0 0 2 0\n", "Illegal level size -3 x -1\n");
}

TEST(HostileHeader, GridsAboveFourMillionCellsAreTooLarge)
{
    expectRefused("4194305 1 0 0 0 0\n", "Level too large 4194305 x 1\n");
    expectRefused("2049 2048 0 0 0 0\n", "Level too large 2049 x 2048\n");
    expectRefused("65536 65536 0 0 0 0\n", "Level too large 65536 x 65536\n");
    // At the limit the header is accepted; this file then ends silently.
    expectRefused("4194304 1 0 0 0 0\n", "");
}

// Numbers beyond the range of int are refused as written, never wrapped into
// some small, plausible size.
TEST(HostileHeader, NumbersBeyondIntAreNotWrapped)
{
    expectRefused("4294967297 1 0 0 0 0\n.\nT\n", "Level too large 4294967297 x 1\n");
    expectRefused("1 4294967297 0 0 0 0\n.\nT\n", "Level too large 1 x 4294967297\n");
    expectRefused("-4294967295 1 0 0 0 0\n.\nT\n", "Illegal level size -4294967295 x 1\n");
    expectRefused("1 1 4294967296 0 0 0\n.\nT\n", "Door outside the level\n");
    expectRefused("1 1 0 0 0 -4294967296\n.\nT\n", "Door outside the level\n");
    const Loaded r = loadText("99999999999999999999999 1 0 0 0 0\n.\nT\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.out.rfind("Level too large ", 0), 0u) << r.out;
}

// ---- Doors -----------------------------------------------------------------

TEST(HostileDoors, DoorsInsideTheGridAreAttachedToTheirCells)
{
    World w("3 2 0 1 2 0\n...\n...\nT  \n   \n");
    ASSERT_TRUE(w.loaded);
    EXPECT_EQ(w.cell(0, 1)->getDoor(), level->getWayIn());
    ASSERT_NE(w.cell(2, 0)->getDoor(), nullptr);
    EXPECT_TRUE(w.cell(2, 0)->getDoor()->exit);
    EXPECT_EQ(borderCell.getDoor(), nullptr);
}

TEST(HostileDoors, EntranceOutsideTheGridIsRefused)
{
    expectRefused("3 1 3 0 2 0\n...\nT  \n", "Door outside the level\n");
    expectRefused("3 1 -1 0 2 0\n...\nT  \n", "Door outside the level\n");
    expectRefused("3 1 0 1 2 0\n...\nT  \n", "Door outside the level\n");
}

TEST(HostileDoors, ExitOutsideTheGridIsRefused)
{
    expectRefused("3 1 0 0 3 0\n...\nT  \n", "Door outside the level\n");
    expectRefused("3 1 0 0 2 -1\n...\nT  \n", "Door outside the level\n");
    expectRefused("3 1 0 0 -2 -2\n...\nT  \n", "Door outside the level\n");
}

// ---- Bytes in the grids ----------------------------------------------------

TEST(HostileBytes, TabsAreIllegalInEitherGrid)
{
    expectRefused("3 1 0 0 2 0\n.\t.\nT  \n", "Illegal cell character '\t'\n");
    expectRefused("3 1 0 0 2 0\n...\nT\t \n", "Illegal domino character '\t'\n");
}

TEST(HostileBytes, BytesOf128AndAboveAreIllegal)
{
    expectRefused("3 1 0 0 2 0\n.\x80.\nT  \n", "Illegal cell character '\x80'\n");
    expectRefused("3 1 0 0 2 0\n...\nT\xc3\xa9\n", "Illegal domino character '\xc3'\n");
    expectRefused("3 1 0 0 2 0\n..\xff\nT  \n", "Illegal cell character '\xff'\n");
}

TEST(HostileBytes, NulBytesAreIllegal)
{
    using namespace std::string_literals;
    expectRefused("3 1 0 0 2 0\n.\0.\nT  \n"s, "Illegal cell character '\0'\n"s);
    expectRefused("3 1 0 0 2 0\n...\nT\0 \n"s, "Illegal domino character '\0'\n"s);
    expectRefused("3 1 0 0 2 0\0\n...\nT  \n"s, "Newline expected\n");
}

// ---- Line lengths and truncation -------------------------------------------

TEST(HostileLines, ShortDominoLineReadsItsLineFeedAsADomino)
{
    expectRefused("3 1 0 0 2 0\n...\nT \n", "Illegal domino character '\n'\n");
}

TEST(HostileLines, LongLinesFail)
{
    expectRefused("3 1 0 0 2 0\n....\nT  \n", "Newline expected\n");
    expectRefused("3 1 0 0 2 0\n...\nT  N\n", "Newline expected\n");
}

TEST(HostileLines, TruncatedGridsFailSilently)
{
    expectRefused("3 2 0 0 2 0\n", "");
    expectRefused("3 2 0 0 2 0\n...\n", "");
    expectRefused("3 2 0 0 2 0\n...\n..", "");
    expectRefused("3 2 0 0 2 0\n...\n...\n", "");
    expectRefused("3 2 0 0 2 0\n...\n...\nN  \nT", "");
    expectLoads("3 2 0 0 2 0\n...\n...\nN  \nT  \n");
}

// ---- Files that are not level files ----------------------------------------

// A directory opens for reading on Linux; the first read fails with EISDIR,
// which the loader sees as a file without a header.
TEST(HostileFiles, DirectoryInPlaceOfAFileFailsSilently)
{
    const std::filesystem::path dir = std::filesystem::path(writeTempFile("")).parent_path() / "adir";
    std::filesystem::create_directory(dir);
    const Loaded r = loadPath(dir.string());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.out, "");
}

}  // namespace
