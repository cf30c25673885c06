// LD_PRELOAD shim for the window tests: plays the game in its real window
// frame by frame from a script, so that two runs draw the very same frames,
// and fingerprints every frame's pixels.
//
//   FRAMES=N                  frames to draw; then the game is told to quit
//   FRAMES_KEYS="F:KEY:down F:KEY:up ..."
//                             key events for the pass that draws frame F
//                             (from 0); KEY is left, right, up, down, space,
//                             comma or period
//   FRAMES_OUT=PATH           one line "F HASH" per frame, the hash (64-bit
//                             FNV-1a) of its 960x720 RGB pixels, read back
//                             before the swap
//   FRAMES_PPM=PATH           optional: the last frame as a PPM image
//
// Game time is the frame count, 20 ms a frame, whatever the real clock says;
// a pass does not wait for the refresh timer, and every real event (the
// timer's, the window system's) is taken from the queue and dropped, so the
// game sees nothing but the script.
#include <SDL.h>
#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int width = 960;
const int height = 720;
const Uint32 frameTime = 20;  // ms of game time per frame, as the refresh timer's

struct Key {
    int frame;
    SDLKey sym;
    bool down;
};

struct Script {
    int frames = 0;
    std::vector<Key> keys;
    FILE* out = nullptr;
    const char* ppm = nullptr;
};

SDLKey keyNamed(const std::string& name)
{
    const struct {
        const char* name;
        SDLKey sym;
    } names[] = {{"left", SDLK_LEFT},   {"right", SDLK_RIGHT}, {"up", SDLK_UP},        {"down", SDLK_DOWN},
                 {"space", SDLK_SPACE}, {"comma", SDLK_COMMA}, {"period", SDLK_PERIOD}};
    for (const auto& n : names)
        if (name == n.name)
            return n.sym;
    fprintf(stderr, "frame_hashes: no key named %s\n", name.c_str());
    exit(2);
}

Script readScript()
{
    Script s;
    const char* frames = getenv("FRAMES");
    s.frames = frames ? atoi(frames) : 0;
    const char* out = getenv("FRAMES_OUT");
    s.out = out ? fopen(out, "w") : nullptr;
    s.ppm = getenv("FRAMES_PPM");
    const char* keys = getenv("FRAMES_KEYS");
    char name[16], action[8];
    int frame, used;
    for (const char* p = keys ? keys : "";
         sscanf(p, " %d:%15[a-z]:%7[a-z]%n", &frame, name, action, &used) == 3; p += used)
        s.keys.push_back({frame, keyNamed(name), !strcmp(action, "down")});
    if (!s.frames || !s.out) {
        fprintf(stderr, "frame_hashes: FRAMES and FRAMES_OUT must be set\n");
        exit(2);
    }
    return s;
}

Script& script()
{
    static Script s = readScript();
    return s;
}

int framesDrawn = 0;
std::size_t nextKey = 0;
bool quitSent = false;

template <class F>
F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void writePpm(const std::vector<unsigned char>& rgb)
{
    FILE* f = fopen(script().ppm, "wb");
    if (!f)
        return;
    fprintf(f, "P6\n%d %d\n255\n", width, height);
    // GL's rows run from the bottom up.
    for (int y = height - 1; y >= 0; y--)
        fwrite(&rgb[3 * width * y], 1, 3 * width, f);
    fclose(f);
}

}  // namespace

extern "C" {

Uint32 SDL_GetTicks(void)
{
    return frameTime * framesDrawn;
}

int SDL_WaitEvent(SDL_Event*)
{
    return 1;
}

int SDL_PollEvent(SDL_Event* event)
{
    static auto realPoll = real<int (*)(SDL_Event*)>("SDL_PollEvent");
    SDL_Event dropped;
    while (realPoll(&dropped))
        ;
    Script& s = script();
    if (nextKey < s.keys.size() && s.keys[nextKey].frame <= framesDrawn) {
        const Key& k = s.keys[nextKey++];
        memset(event, 0, sizeof *event);
        event->type = k.down ? SDL_KEYDOWN : SDL_KEYUP;
        event->key.state = k.down ? SDL_PRESSED : SDL_RELEASED;
        event->key.keysym.sym = k.sym;
        return 1;
    }
    if (framesDrawn >= s.frames && !quitSent) {
        quitSent = true;
        memset(event, 0, sizeof *event);
        event->type = SDL_QUIT;
        return 1;
    }
    return 0;
}

void SDL_GL_SwapBuffers(void)
{
    static auto realSwap = real<void (*)(void)>("SDL_GL_SwapBuffers");
    Script& s = script();
    if (framesDrawn < s.frames) {
        std::vector<unsigned char> rgb(3 * width * height);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        unsigned long long hash = 14695981039346656037ULL;
        for (unsigned char b : rgb)
            hash = (hash ^ b) * 1099511628211ULL;
        fprintf(s.out, "%d %016llx\n", framesDrawn, hash);
        fflush(s.out);
        if (s.ppm && framesDrawn == s.frames - 1)
            writePpm(rgb);
    }
    realSwap();
    framesDrawn++;
}

}  // extern "C"
