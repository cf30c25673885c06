#include "fingerprinttable.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint64_t rotl(std::uint64_t x, int r)
{
    return (x << r) | (x >> (64 - r));
}

// Spreads every bit of x over the whole word.
std::uint64_t avalanche(std::uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

// Two words of the key taken into the two halves of the state.
void absorb(std::uint64_t& h1, std::uint64_t& h2, std::uint64_t k1, std::uint64_t k2)
{
    const std::uint64_t c1 = 0x87c37b91114253d5ULL, c2 = 0x4cf5ad432745937fULL;
    h1 ^= rotl(k1 * c1, 31) * c2;
    h1 = (rotl(h1, 27) + h2) * 5 + 0x52dce729;
    h2 ^= rotl(k2 * c2, 33) * c1;
    h2 = (rotl(h2, 31) + h1) * 5 + 0x38495ab5;
}

}  // namespace

// Sixteen bytes at a time, the last block padded with zeros; the length is
// mixed in at the end, so keys that differ only by trailing zeros differ.
Fingerprint Fingerprint::of(const std::string& key)
{
    std::uint64_t h1 = 0x9e3779b97f4a7c15ULL, h2 = 0x6a09e667f3bcc909ULL;
    for (std::size_t at = 0; at < key.size(); at += 16) {
        std::uint64_t k[2] = {0, 0};
        std::memcpy(k, key.data() + at, std::min<std::size_t>(16, key.size() - at));
        absorb(h1, h2, k[0], k[1]);
    }
    h1 ^= key.size();
    h2 ^= key.size();
    h1 += h2;
    h2 += h1;
    h1 = avalanche(h1);
    h2 = avalanche(h2);
    h1 += h2;
    h2 += h1;
    Fingerprint f{h1, h2};
    if (f.free())
        f.low = 1;
    return f;
}
