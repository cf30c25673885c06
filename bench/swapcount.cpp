// LD_PRELOAD shim for window-bench.sh: wraps SDL_GL_SwapBuffers to count the
// frames a program shows and to stamp its first frame. The figures are kept
// as one line of text in the file named by SWAPCOUNT_FILE, rewritten in
// place at every swap, so a reader sees them while the program runs:
//
//   swaps=N first_swap_us=A since_load_us=B first_swap_cpu_us=C
//
// first_swap_us is the first swap's time after the process started (the
// kernel's start time, to its 10 ms clock tick); since_load_us is the same
// from the moment this shim was loaded, before main, to the microsecond;
// first_swap_cpu_us is the CPU time the process had used by then, all its
// threads together, which a busy machine does not inflate.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const size_t lineSize = 128;

char* line = nullptr;
unsigned long long swaps = 0;
long long loadedNs = 0;
long long startNs = 0;
long long firstSwapUs = -1;
long long sinceLoadUs = -1;
long long firstSwapCpuUs = -1;

long long nowNs(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// The process's start, field 22 of /proc/self/stat, in clock ticks after boot.
long long processStartNs()
{
    FILE* f = fopen("/proc/self/stat", "r");
    if (!f)
        return 0;
    char buf[1024];
    const size_t n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[n] = 0;
    // The command name may hold blanks; the fields after it are plain.
    const char* p = strrchr(buf, ')');
    unsigned long long start = 0;
    if (!p
        || sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                  &start)
            != 1)
        return 0;
    return start * (1000000000LL / sysconf(_SC_CLK_TCK));
}

void mapLine()
{
    const char* path = getenv("SWAPCOUNT_FILE");
    if (!path)
        return;
    const int fd = open(path, O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    if (ftruncate(fd, lineSize) == 0) {
        void* p = mmap(nullptr, lineSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p != MAP_FAILED)
            line = static_cast<char*>(p);
    }
    close(fd);
}

void writeLine()
{
    if (!line)
        return;
    char text[lineSize];
    const int n =
        snprintf(text, sizeof text, "swaps=%llu first_swap_us=%lld since_load_us=%lld first_swap_cpu_us=%lld",
                 swaps, firstSwapUs, sinceLoadUs, firstSwapCpuUs);
    memset(text + n, ' ', lineSize - n - 1);
    text[lineSize - 1] = '\n';
    memcpy(line, text, lineSize);
}

__attribute__((constructor)) void loaded()
{
    loadedNs = nowNs(CLOCK_MONOTONIC);
    startNs = processStartNs();
    mapLine();
    writeLine();
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers(void)
{
    using Swap = void (*)(void);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    real();
    if (swaps++ == 0) {
        firstSwapUs = (nowNs(CLOCK_BOOTTIME) - startNs) / 1000;
        sinceLoadUs = (nowNs(CLOCK_MONOTONIC) - loadedNs) / 1000;
        firstSwapCpuUs = nowNs(CLOCK_PROCESS_CPUTIME_ID) / 1000;
    }
    writeLine();
}
