#include "options.h"

#include <cstdlib>
#include <string>

bool PlayOptions::take(int argc, char** argv, int& i)
{
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--levels" && hasValue)
        levels = argv[++i];
    else if (arg == "--solutions" && hasValue)
        solutions = argv[++i];
    else if (arg == "--level" && hasValue && std::atoi(argv[i + 1]) > 0)
        only = std::atoi(argv[++i]);
    else if (arg == "--verbose")
        verbose = true;
    else
        return false;
    return true;
}
