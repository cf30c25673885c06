// Level files drawn as pictures for the solver's tests, written to scratch
// files that are removed again.
#ifndef SOLVER_TEST_SUPPORT_H
#define SOLVER_TEST_SUPPORT_H

#include <filesystem>
#include <string>

// A level file from a picture: the header, then the cell rows and the domino
// rows, each padded with blanks to the level's width, and blank domino rows
// added at the end, so that the pictures need no trailing blanks.
std::string levelFile(const std::string& picture);

// A file in the temporary directory, removed when this goes.
class ScratchFile {
public:
    ScratchFile(const std::string& name, const std::string& text);
    ~ScratchFile();
    const std::filesystem::path& path() const { return where; }
    std::string name() const { return where.string(); }

private:
    std::filesystem::path where;
};

#endif
