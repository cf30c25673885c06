#include "digest.h"

#include "domino.h"
#include "main.h"

#include <cstdio>

void Digest::add(const void* bytes, std::size_t size)
{
    const std::uint64_t prime = 1099511628211ULL;
    const unsigned char* b = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size; i++)
        hash = (hash ^ b[i]) * prime;
}

std::string Digest::hex() const
{
    char text[17];
    snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

void addCamera(Digest& digest)
{
    for (const float* v : {camera, speed, camaccel, camjerk, sight, sightspeed, sightaccel, sightjerk})
        digest.add(v, 3 * sizeof(float));
    digest.add(totweight);
}

void addState(Digest& digest)
{
    // Each domino's standard fields, where it is, then its kind's own.
    for (int i = 0; i < level->dcount; i++) {
        Domino* d = level->doms[i];
        DominoState state;
        d->save(state);
        const int standard = DominoState::standardValues;
        digest.add(state.values, standard * sizeof(int));
        for (int field : {d->cell->getX(), d->cell->getY(), int{d->inPlay()}})
            digest.add(field);
        digest.add(state.values + standard, (state.count - standard) * sizeof(int));
    }
    for (int field : {player.x, player.y, player.z, player.speed, player.vspeed, player.deltaZ,
                      player.importance, player.implatency, int{player.held != nullptr}})
        digest.add(field);
}
