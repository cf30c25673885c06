// Fuzz support: the game reads levels by path, so each input is written to
// one file, levels/1 in a private working directory, reused for every input
// of the process.
#ifndef LEVEL_FILE_H
#define LEVEL_FILE_H

#include <cstddef>
#include <cstdint>

// Replaces the file's contents with the given bytes; returns its path.
const char* writeLevelFile(const uint8_t* data, size_t size);

#endif
