// The OpenGL a benchmark executable is linked with: the tests' recording GL,
// or a no-op GL that shows what the game's own drawing code costs.
#ifndef GRAPHICS_H
#define GRAPHICS_H

// Its name, for the benchmark's label.
const char* graphicsName();

// Forgets whatever the GL has kept, between runs of a level.
void resetGraphics();

#endif
