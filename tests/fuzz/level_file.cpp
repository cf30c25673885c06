#include "level_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what)
{
    perror(what);
    abort();
}

int levelFile()
{
    static const int fd = [] {
        const int made = memfd_create("toppleton-level", MFD_CLOEXEC);
        if (made < 0)
            fail("memfd_create");
        return made;
    }();
    return fd;
}

const char* levelPath()
{
    static const std::string path = "/proc/self/fd/" + std::to_string(levelFile());
    return path.c_str();
}

// Plain arrays, not strings: they must outlive the exit handler that removes
// the directory, which runs after static objects have been destroyed.
char playDirectory[4096];
char playLevel[4096 + 16];
char playLevels[4096 + 16];

void removePlayDirectory()
{
    unlink(playLevel);
    rmdir(playLevels);
    rmdir(playDirectory);
}

// Made once, holding only levels/1, a link to the level file.
const char* makePlayDirectory()
{
    if (!*playDirectory) {
        const char* tmp = getenv("TMPDIR");
        snprintf(playDirectory, sizeof playDirectory, "%s/toppleton-fuzz-XXXXXX", tmp && *tmp ? tmp : "/tmp");
        if (!mkdtemp(playDirectory))
            fail(playDirectory);
        snprintf(playLevels, sizeof playLevels, "%s/levels", playDirectory);
        snprintf(playLevel, sizeof playLevel, "%s/1", playLevels);
        if (mkdir(playLevels, 0700) != 0 || symlink(levelPath(), playLevel) != 0)
            fail(playLevel);
        atexit(removePlayDirectory);
    }
    return playDirectory;
}

std::string absolute(const std::string& path, const std::string& from)
{
    return path.empty() || path[0] != '/' ? from + "/" + path : path;
}

}  // namespace

const char* writeLevelFile(const uint8_t* data, size_t size)
{
    const int fd = levelFile();
    if (ftruncate(fd, 0) != 0 || (size && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)))
        fail("the level file");
    return levelPath();
}

PlayDirectory::PlayDirectory() : home(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (home < 0 || chdir(makePlayDirectory()) != 0)
        fail("the play directory");
}

PlayDirectory::~PlayDirectory()
{
    if (fchdir(home) != 0)
        fail("the fuzzer's working directory");
    close(home);
}

void prepareArguments(int* argc, char*** argv, std::initializer_list<const char*> defaults)
{
    char* cwd = getcwd(nullptr, 0);
    if (!cwd)
        fail("getcwd");
    const std::string from = cwd;
    free(cwd);
    static std::vector<std::string> args;
    auto given = [](const std::string& flag) {
        for (const std::string& arg : args)
            if (arg.compare(0, flag.size(), flag) == 0)
                return true;
        return false;
    };
    for (int i = 0; i < *argc; i++) {
        std::string arg = (*argv)[i];
        for (const std::string flag : {"-artifact_prefix=", "-exact_artifact_path="})
            if (arg.compare(0, flag.size(), flag) == 0)
                arg = flag + absolute(arg.substr(flag.size()), from);
        args.push_back(arg);
    }
    if (!given("-artifact_prefix="))
        args.push_back("-artifact_prefix=" + from + "/");
    for (const std::string flag : defaults)
        if (!given(flag.substr(0, flag.find('=') + 1)))
            args.push_back(flag);
    static std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(args.size());
    *argv = pointers.data();
}
