#include "support.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

std::string levelFile(const std::string& picture)
{
    std::istringstream lines(picture);
    std::string header, line;
    std::getline(lines, header);
    int wid = 0, hei = 0;
    sscanf(header.c_str(), "%d %d", &wid, &hei);
    std::string text = header + "\n";
    int rows = 0;
    for (; std::getline(lines, line); rows++)
        text += line + std::string(wid - line.size(), ' ') + "\n";
    for (; rows < 2 * hei; rows++)
        text += std::string(wid, ' ') + "\n";
    return text;
}

ScratchFile::ScratchFile(const std::string& name, const std::string& text)
    : where(fs::temp_directory_path() / ("solver_test_" + std::to_string(getpid()) + "_" + name))
{
    std::ofstream(where, std::ios::binary) << text;
}

ScratchFile::~ScratchFile()
{
    fs::remove_all(where);
}
