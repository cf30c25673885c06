// A map from byte strings to small values that keeps only a 128-bit
// fingerprint of each key, in one flat open-addressed array: 24 bytes an
// entry (plus the free share of the array) where a node-based map of strings
// takes about 150. The search keeps millions of arrangements; their keys run
// from 20 to 100 bytes.
//
// Two keys with the same fingerprint are taken for one. With 128 well-mixed
// bits the chance that any two of a billion keys collide is below 10^-20, far
// below the chance of a fault in the machine running the proof.
#ifndef SOLVER_FINGERPRINTTABLE_H
#define SOLVER_FINGERPRINTTABLE_H

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

struct Fingerprint {
    std::uint64_t high = 0, low = 0;  // both zero marks a free slot, never a key's

    static Fingerprint of(const std::string& key);
    bool operator==(const Fingerprint& o) const { return high == o.high && low == o.low; }
    bool free() const { return high == 0 && low == 0; }
};

template <class V>
class FingerprintTable {
    static_assert(std::is_trivially_copyable<V>::value, "values are moved as bytes when the table grows");

public:
    // The value kept for key, value-initialised when the key is new.
    V& operator[](const std::string& key) { return slot(Fingerprint::of(key)); }
    // The value kept for key, or null.
    const V* find(const std::string& key) const
    {
        if (entries.empty())
            return nullptr;
        const Entry& e = entries[probe(Fingerprint::of(key))];
        return e.key.free() ? nullptr : &e.value;
    }
    std::size_t size() const { return used; }
    long long heapBytes() const { return static_cast<long long>(entries.capacity() * sizeof(Entry)); }

private:
    struct Entry {
        Fingerprint key;
        V value;
    };
    std::vector<Entry> entries;  // a power of two long, at most 7/10 used
    std::size_t used = 0;

    // The slot holding f, or the free one where it belongs.
    std::size_t probe(const Fingerprint& f) const
    {
        const std::size_t mask = entries.size() - 1;
        std::size_t i = static_cast<std::size_t>(f.low) & mask;
        while (!entries[i].key.free() && !(entries[i].key == f))
            i = (i + 1) & mask;
        return i;
    }
    V& slot(const Fingerprint& f)
    {
        if (10 * (used + 1) > 7 * entries.size())
            grow();
        Entry& e = entries[probe(f)];
        if (e.key.free()) {
            e = Entry{f, V()};
            used++;
        }
        return e.value;
    }
    void grow()
    {
        std::vector<Entry> old(entries.empty() ? 16 : 2 * entries.size());
        old.swap(entries);
        for (const Entry& e : old)
            if (!e.key.free())
                entries[probe(e.key)] = e;
    }
};

#endif
