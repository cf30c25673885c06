// Test support: levels drawn as small pictures, entered into the game's
// globals exactly as the game enters a level and run tick by tick the way the
// main loop runs them (player, level, then a drawn frame); and drawings
// compared with stored pictures.
#ifndef WORLD_H
#define WORLD_H

#include "domino.h"
#include "main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

// The level file a picture stands for. The picture is each row of the grid
// from the top, as two lines behind a '|': the dominoes standing in the row,
// then its cells, in the file's letters and cell characters; lines shorter
// than the width are filled with blanks. It may start with the file's header
// line (width, height, entrance column and row, exit column and row);
// without one, the width is the longest line's, the entrance is in the
// bottom left cell and the exit in the bottom right one.
std::string levelFile(const std::string& picture);

// Writes text to a fresh file in a private temporary directory, removed at
// exit; returns the path.
std::string writeTempFile(const std::string& text);

// Puts the player at (x, y) in eighths of a cell and of a row, out of the
// door and at rest.
void standAt(int x, int y);

struct World {
    FreshGame game;  // the level entered, while the World lives

    explicit World(const std::string& picture);
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // One simulation tick followed by a drawn frame, as the main loop does.
    void tick(int n = 1);
    // A drawn frame alone: applies the pushes recorded since the last one.
    void frame(float t = 0);
    Cell* cell(int x, int y) { return level->getCell(x, y); }
    Domino* at(int x, int y, int slot = 0) { return cell(x, y)->getDomino(slot); }
};

// The game as it is before main, in a working directory of its own that
// holds levels/; the directory goes afterwards.
class GameTest : public testing::Test {
protected:
    std::filesystem::path home, dir;
    std::optional<FreshGame> game;

    void SetUp() override;
    void TearDown() override;
    // Back to the moment before main, with levels/ empty, for the next row
    // of a table.
    void fresh();
    std::filesystem::path levels() { return dir / "levels"; }
    void writeLevel(int n, const std::string& text);
};

// Compares what the recording GL holds with the stored picture
// tests/unit/pictures/<name>.txt, numbers to within 0.002. Run with
// TOPPLETON_REDRAW=1 in the environment to store the drawings instead, after
// a change to what the game draws; then look at the difference.
void expectPicture(const std::string& name, const std::string& drawn);

#endif
