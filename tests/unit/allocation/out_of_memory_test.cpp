// A machine out of memory: the allocations of a level fail one at a time, by
// a replacement of operator new, and each failure must refuse the level with
// the loader's reason, leaving nothing half-built and never throwing; once
// loaded, a level plays without allocating anything.
#include "world.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

long long allocations = 0;  // since the count was started
long long failing = 0;      // the one of them that fails, from 1; 0 for none

bool failsNow()
{
    return failing && ++allocations == failing;
}

// Counts from now; the n-th allocation fails, and only that one.
void failAllocation(long long n)
{
    allocations = 0;
    failing = n;
}

void* allocate(std::size_t size)
{
    return failsNow() ? nullptr : std::malloc(size ? size : 1);
}

}  // namespace

void* operator new(std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

// Not inlined: g++ would then see free() meet what operator new returned,
// and warn of a mismatch that is none.
[[gnu::noinline]] void operator delete(void* p) noexcept
{
    std::free(p);
}

[[gnu::noinline]] void operator delete[](void* p) noexcept
{
    std::free(p);
}

[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// Dominoes of several kinds, two of them falling as soon as play starts.
const char* const picture = R"(| N S  T
                                       |_______
                                       |NDX V B
                                       |___ ___)";

// The cells, then the dominoes one by one, then the frames' lists: the first
// three allocations are the cells' and their blocks' change marks, every
// later one the dominoes'.
TEST(OutOfMemory, EveryAllocationOfALevelThatFailsRefusesItAndLeavesNothingBuilt)
{
    const std::string path = writeTempFile(levelFile(picture));
    long long n = 1;
    for (;; n++) {
        SCOPED_TRACE(n);
        Level lv;
        testing::internal::CaptureStdout();
        failAllocation(n);
        const bool loaded = lv.load(path.c_str());
        failAllocation(0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        if (loaded)
            break;
        EXPECT_EQ(lv.failure.reason,
                  n <= 3 ? "not enough memory for its cells" : "not enough memory for its dominoes");
        EXPECT_EQ(std::tuple(lv.cells, lv.doms, lv.dcount), std::tuple(nullptr, nullptr, 0));
    }
    EXPECT_EQ(n, 3 + 8 + 2 + 1) << "every allocation was made to fail once";
}

// Dominoes woken, falling and struck in ticks and the frames' work between
// them ask for no memory, which could only run out then, half-way through a
// level. (The drawing is left out: the recording GL keeps what it is given.)
TEST(OutOfMemory, PlayAllocatesNothing)
{
    World w(picture);
    standAt(Player::stepsPerCell, Player::stepsPerCell);
    failAllocation(1);
    player.push(1);
    for (int n = 0; n < 30; n++) {
        tick();
        animateFrame(0);
    }
    failAllocation(0);
    EXPECT_EQ(allocations, 0);
    EXPECT_NE(w.at(1, 1)->angle, 0) << "the domino pushed fell";
}

}  // namespace
