// Fingerprints of a replay, for telling two builds of the game apart to the
// last bit: the camera's path (every camera global after every frame), what
// the frames drew, and the state a level ends in (every domino and the
// player).
#ifndef REPLAY_DIGEST_H
#define REPLAY_DIGEST_H

#include <cstdint>
#include <string>

// A running 64-bit FNV-1a hash.
class Digest {
public:
    void add(const void* bytes, std::size_t size);
    void add(int value) { add(&value, sizeof value); }
    std::string hex() const;

private:
    std::uint64_t hash = 14695981039346656037ULL;
};

// The camera's position, view and every sum of pulls, as their bits.
void addCamera(Digest& digest);

// The current level's dominoes, in load order, with their cells, and the
// player.
void addState(Digest& digest);

// What the frame just drawn put within the view volume, as far as the GL the
// tool is linked with records it; false when it records nothing (the null
// GL of the tool itself).
bool addPicture(Digest& digest);

#endif
