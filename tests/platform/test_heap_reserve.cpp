// The start-up heap reserve: the heap it makes resident takes the following small allocations
// without a page fault each, and it leaves the allocator's own rules as they were.

#include "platform/HeapReserve.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

namespace {

long MinorFaults()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return u.ru_minflt;
}

// Allocates and writes 1 MiB in small blocks, as the making of widgets does; the faults it took.
long FaultsOfSmallAllocations(std::vector<void *> &blocks)
{
    const long before = MinorFaults();
    for (int i = 0; i < 4096; ++i) {
        void *b = std::malloc(256);
        std::memset(b, 1, 256);
        blocks.push_back(b);
    }
    return MinorFaults() - before;
}

// Whether a large block, freed and made again, is mapped again: glibc raises its mmap threshold
// to a freed mapped block's size, so the second one comes from the heap, unless a setting of the
// allocator has fixed the threshold.
bool LargeBlockIsMappedAgain()
{
    constexpr std::size_t kLarge = std::size_t(8) << 20;
    void *first = std::malloc(kLarge);
    std::memset(first, 1, 4096);
    std::free(first);
    const std::size_t mappedBefore = mallinfo2().hblks;
    void *second = std::malloc(kLarge);
    const bool mapped = mallinfo2().hblks > mappedBefore;
    std::free(second);
    return mapped;
}

}  // namespace

TEST(HeapReserve, SmallAllocationsAfterTheReserveTakeNoPageFaults)
{
    std::vector<void *> blocks;
    blocks.reserve(2 * 4096);
    const long without = FaultsOfSmallAllocations(blocks);
    CStartupHeapReserve reserve;
    const std::size_t reserved = reserve.Reserve(std::size_t(2) << 20);
    if (reserved == 0)
        GTEST_SKIP() << "the system cannot populate memory in one call";
    EXPECT_GE(reserved, std::size_t(2) << 20);
    const long with = FaultsOfSmallAllocations(blocks);
    EXPECT_GT(without, 128) << "1 MiB of new heap is 256 pages";
    EXPECT_LT(with, 16);
    for (void *b : blocks)
        std::free(b);
    EXPECT_EQ(reserve.Reserve(std::size_t(2) << 20), 0u) << "one reserve at a time";
}

TEST(HeapReserve, TheAllocatorKeepsItsAdaptiveMmapThreshold)
{
    CStartupHeapReserve reserve;
    if (reserve.Reserve(std::size_t(3) << 20) == 0)
        GTEST_SKIP() << "no reserve on this system";
    EXPECT_FALSE(LargeBlockIsMappedAgain()) << "while the reserve is held";
    reserve.Release();
    EXPECT_FALSE(LargeBlockIsMappedAgain()) << "after the reserve";
}
