// The stress levels: every row of chains is one joined floor, filled from the
// left with chains taken in turn from a fixed set, two empty cells between
// chains so that one chain never reaches the next.
#include "stress_level.h"

#include <algorithm>

namespace {

// Each chain starts with the domino that is pushed. Every kind appears:
// a boomer may only lead (a domino leaning on it would tip into its hole), a
// blocker, a flyer or a tumbling looping ends a chain.
const char* const chains[] = {
    "XNNVNNDNNT", "NNSNNBNNNW", "NNVNDNNNF", "NNNBNNVNNL W", "NDNNTNNVNNN",
};
const int chainCount = sizeof chains / sizeof chains[0];
const int gap = 2;  // empty cells after each chain

// One row of chains, and where each chain begins.
std::string chainRow(int width, int y, int& next, std::vector<ChainStart>& starts)
{
    std::string row(width, ' ');
    int x = 1;
    for (;;) {
        const std::string chain = chains[next % chainCount];
        if (x + static_cast<int>(chain.size()) > width - 1)
            break;
        row.replace(x, chain.size(), chain);
        starts.push_back({x, y});
        x += chain.size() + gap;
        next++;
    }
    return row;
}

std::string floorRow(int width)
{
    std::string row(width, '_');
    row.front() = '(';
    row.back() = ')';
    return row;
}

}  // namespace

StressLevel makeStressLevel(int width, int chainRows)
{
    const int height = chainRows + 1;
    StressLevel level;
    level.text =
        std::to_string(width) + " " + std::to_string(height) + " 0 0 " + std::to_string(width - 1) + " 0\n";
    for (int y = height - 1; y >= 0; y--)
        level.text += floorRow(width) + "\n";

    std::vector<std::string> dominoRows(height, std::string(width, ' '));
    int next = 0;
    for (int y = 0; y < chainRows; y++)
        dominoRows[y] = chainRow(width, y, next, level.starts);
    level.dominoes = 0;
    for (int y = height - 1; y >= 0; y--) {
        level.text += dominoRows[y] + "\n";
        level.dominoes += width - std::count(dominoRows[y].begin(), dominoRows[y].end(), ' ');
    }
    return level;
}

// A row of self-starting chains: a splitter, then the chain, one every
// period cells from offset on.
std::string selfStartingRow(int width, int offset, int& next, int& dominoes)
{
    const int period = 15;  // the longest chain and its splitter leave two cells between
    std::string row(width, ' ');
    for (int x = offset;; x += period) {
        const std::string chain = std::string("S") + chains[next % chainCount];
        if (x + static_cast<int>(chain.size()) > width - 1)
            break;
        row.replace(x, chain.size(), chain);
        dominoes += chain.size() - std::count(chain.begin(), chain.end(), ' ');
        next++;
    }
    return row;
}

StressLevel makeSelfStartingLevel(int width, int chainRows)
{
    const int period = 15;
    const int height = chainRows + 1;
    StressLevel level;
    level.dominoes = 0;
    std::vector<std::string> dominoRows(height, std::string(width, ' '));
    std::vector<std::string> floors(height, floorRow(width));
    // Two cells on per row, so a row's splitters are under the row above's gaps.
    auto offset = [period](int y) { return 1 + 2 * y % period; };
    int next = 0;
    for (int y = 0; y < chainRows; y++) {
        dominoRows[y] = selfStartingRow(width, offset(y), next, level.dominoes);
        // Over each splitter a domino in a cell without floor.
        for (int x = offset(y); x < width; x += period)
            if (dominoRows[y][x] == 'S') {
                dominoRows[y + 1][x] = 'N';
                floors[y + 1][x] = ' ';
                level.dominoes++;
            }
    }
    level.text =
        std::to_string(width) + " " + std::to_string(height) + " 0 0 " + std::to_string(width - 1) + " 0\n";
    for (int y = height - 1; y >= 0; y--)
        level.text += floors[y] + "\n";
    for (int y = height - 1; y >= 0; y--)
        level.text += dominoRows[y] + "\n";
    return level;
}

StressLevel makeFallingLevel(int width, int height)
{
    StressLevel level;
    level.text =
        std::to_string(width) + " " + std::to_string(height) + " 0 0 " + std::to_string(width - 1) + " 0\n";
    for (int y = height - 1; y > 0; y--)
        level.text += std::string(width, ' ') + "\n";
    level.text += floorRow(width) + "\n";
    level.dominoes = 0;
    for (int y = height - 1; y >= 0; y--) {
        const bool full = y % 2 == 1;
        level.text += std::string(width, full ? 'N' : ' ') + "\n";
        level.dominoes += full ? width : 0;
    }
    return level;
}
