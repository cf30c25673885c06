#include "level_file.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// A plain array, not a string: it must outlive the exit handler that
// removes the file.
char path[] = "/tmp/toppleton-fuzz-XXXXXX";

void removeLevelFile()
{
    unlink(path);
}

void createLevelFile()
{
    const int fd = mkstemp(path);
    if (fd < 0) {
        perror("mkstemp");
        abort();
    }
    close(fd);
    atexit(removeLevelFile);
}

}  // namespace

const char* writeLevelFile(const uint8_t* data, size_t size)
{
    static bool created = false;
    if (!created) {
        createLevelFile();
        created = true;
    }
    FILE* f = fopen(path, "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) {
        perror(path);
        abort();
    }
    return path;
}
