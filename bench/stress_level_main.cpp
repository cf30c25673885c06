// Prints a stress level file, for playing or measuring it in the real game:
//
//   stresslevel [WIDTH HEIGHT] > levels/1
//
// The default is 100 x 30 cells, about two thousand dominoes.
#include "stress_level.h"

#include <cstdio>
#include <cstdlib>

namespace {

const int defaultWidth = 100;
const int defaultHeight = 30;
const int minWidth = 3;
const int maxSide = 2000;

bool readSide(const char* text, int low, int& side)
{
    char* end;
    const long value = strtol(text, &end, 10);
    if (*end || end == text || value < low || value > maxSide)
        return false;
    side = value;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = defaultWidth, height = defaultHeight;
    if (argc != 1 && (argc != 3 || !readSide(argv[1], minWidth, width) || !readSide(argv[2], 2, height))) {
        fprintf(stderr, "usage: stresslevel [WIDTH HEIGHT], %d <= WIDTH <= %d, 2 <= HEIGHT <= %d\n", minWidth,
                maxSide, maxSide);
        return 2;
    }
    const StressLevel level = makeStressLevel(width, height - 1);
    fwrite(level.text.data(), 1, level.text.size(), stdout);
    fprintf(stderr, "%d x %d cells, %d dominoes\n", width, height, level.dominoes);
    return 0;
}
