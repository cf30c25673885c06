#include "level_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// A plain array, not a string: it must outlive the exit handler that
// removes the directory.
char dir[] = "/tmp/toppleton-fuzz-XXXXXX";
const char path[] = "levels/1";

void removeDirectory()
{
    unlink(path);
    rmdir("levels");
    if (chdir("/") == 0)
        rmdir(dir);
}

}  // namespace

const char* writeLevelFile(const uint8_t* data, size_t size)
{
    static bool made = false;
    if (!made) {
        if (!mkdtemp(dir) || chdir(dir) != 0 || mkdir("levels", 0700) != 0) {
            perror(dir);
            abort();
        }
        atexit(removeDirectory);
        made = true;
    }
    FILE* f = fopen(path, "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) {
        perror(path);
        abort();
    }
    return path;
}
