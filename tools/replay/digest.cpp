#include "digest.h"

#include "delay.h"
#include "main.h"
#include "splitter.h"

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
    for (int i = 0; i < level->dcount; i++) {
        Domino* d = level->doms[i];
        for (int field : {d->angle, d->speed, d->accel, d->elev, d->top, d->fly, int{d->broken},
                          d->cell->getX(), d->cell->getY(), int{d->cell->getDomino(d->top) == d}})
            digest.add(field);
        if (auto* s = dynamic_cast<Splitter*>(d))
            for (int field : {s->angle2, s->speed2, s->accel2})
                digest.add(field);
        if (auto* delay = dynamic_cast<Delay*>(d))
            for (int field : {delay->timer, int{delay->released}})
                digest.add(field);
    }
    for (int field : {player.x, player.y, player.z, player.speed, player.vspeed, player.deltaZ,
                      player.importance, player.implatency, int{player.held != nullptr}})
        digest.add(field);
}
