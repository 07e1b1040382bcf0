// The start-up heap reserve: the heap it makes resident takes the following small allocations
// without a page fault each.

#include "platform/HeapReserve.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

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

}  // namespace

TEST(HeapReserve, SmallAllocationsAfterTheReserveTakeNoPageFaults)
{
    std::vector<void *> blocks;
    blocks.reserve(2 * 4096);
    const long without = FaultsOfSmallAllocations(blocks);
    const std::size_t reserved = ReserveStartupHeap(std::size_t(2) << 20);
    if (reserved == 0)
        GTEST_SKIP() << "the system cannot populate memory in one call";
    EXPECT_GE(reserved, std::size_t(2) << 20);
    const long with = FaultsOfSmallAllocations(blocks);
    EXPECT_GT(without, 128) << "1 MiB of new heap is 256 pages";
    EXPECT_LT(with, 16);
    for (void *b : blocks)
        std::free(b);
    EXPECT_EQ(ReserveStartupHeap(0), 0u);
}
