// LD_PRELOAD shim for the window test of slow frames: every buffer swap first
// sleeps SLOW_SWAP_MS milliseconds (3000 unless set), as a machine far too
// slow for its level takes to draw a frame. A signal does not cut the sleep
// short, so the game gets its quit from SIGTERM only once the frame is done.
#include <dlfcn.h>
#include <time.h>

#include <cerrno>
#include <cstdlib>

extern "C" void SDL_GL_SwapBuffers(void)
{
    using Swap = void (*)(void);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    const char* setting = getenv("SLOW_SWAP_MS");
    const long ms = setting ? atol(setting) : 3000;
    timespec left = {ms / 1000, (ms % 1000) * 1000000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
    real();
}
