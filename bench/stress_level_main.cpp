// Prints a stress level file, for playing or measuring it in the real game:
//
//   stresslevel [WIDTH HEIGHT] > levels/1
//   stresslevel --falling WIDTH HEIGHT > levels/1
//   stresslevel --self-starting WIDTH HEIGHT > levels/1
//
// The default is 100 x 30 cells of chains, about two thousand dominoes.
// --falling makes the level of dominoes dropping through open air, up to
// the loader's limit of four million cells; --self-starting the chains that
// start themselves, for the real window.
#include "stress_level.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int defaultWidth = 100;
const int defaultHeight = 30;
const int minWidth = 3;
const int maxSide = 2000;
const long long maxFallingCells = 1LL << 22;  // the loader's limit

bool readSide(const char* text, int low, int high, int& side)
{
    char* end;
    const long value = strtol(text, &end, 10);
    if (*end || end == text || value < low || value > high)
        return false;
    side = value;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool falling = argc == 4 && !strcmp(argv[1], "--falling");
    const bool selfStarting = argc == 4 && !strcmp(argv[1], "--self-starting");
    const int high = falling ? maxFallingCells / minWidth : maxSide;
    int width = defaultWidth, height = defaultHeight;
    const bool sized = argc == 3 || falling || selfStarting;
    if ((argc != 1 && !sized)
        || (sized
            && !(readSide(argv[argc - 2], minWidth, high, width)
                 && readSide(argv[argc - 1], 2, high, height)))
        || (falling && static_cast<long long>(width) * height > maxFallingCells)) {
        fprintf(stderr,
                "usage: stresslevel [WIDTH HEIGHT], %d <= WIDTH <= %d, 2 <= HEIGHT <= %d\n"
                "       stresslevel --falling WIDTH HEIGHT, at most %lld cells\n"
                "       stresslevel --self-starting WIDTH HEIGHT\n",
                minWidth, maxSide, maxSide, maxFallingCells);
        return 2;
    }
    const StressLevel level = falling ? makeFallingLevel(width, height)
        : selfStarting                ? makeSelfStartingLevel(width, height - 1)
                                      : makeStressLevel(width, height - 1);
    fwrite(level.text.data(), 1, level.text.size(), stdout);
    fprintf(stderr, "%d x %d cells, %d dominoes\n", width, height, level.dominoes);
    return 0;
}
