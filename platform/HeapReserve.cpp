#include "platform/HeapReserve.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ZK_SANITIZED_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZK_SANITIZED_HEAP 1
#endif

// A sanitizer's allocator does not take small blocks from the heap this reserves.
#if defined(__linux__) && defined(__GLIBC__) && !defined(ZK_SANITIZED_HEAP)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace {

// The range of the process's [heap] mapping.
bool HeapRange(std::uintptr_t &begin, std::uintptr_t &end)
{
    std::FILE *maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return false;
    char line[512];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, maps)) {
        const std::size_t n = std::strcspn(line, "\n");
        line[n] = '\0';
        static constexpr char kHeap[] = "[heap]";
        if (n < sizeof kHeap - 1 || std::strcmp(line + n - (sizeof kHeap - 1), kHeap) != 0)
            continue;
        unsigned long b = 0, e = 0;
        found = std::sscanf(line, "%lx-%lx", &b, &e) == 2 && b < e;
        begin = b;
        end = e;
    }
    std::fclose(maps);
    return found;
}

}  // namespace

std::size_t ReserveStartupHeap(std::size_t bytes)
{
    if (bytes == 0 || bytes > (std::size_t(1) << 30))
        return 0;
    // The heap grows by the pad beyond each request and keeps the pad when it shrinks.
    mallopt(M_TOP_PAD, int(bytes));
    // Blocks under the mmap threshold come from the heap: take them until the heap has grown,
    // then give them back (the heap keeps the pad).
    constexpr std::size_t kBlock = 96 * 1024;
    std::vector<void *> blocks;
    const void *const before = sbrk(0);
    while (sbrk(0) == before && blocks.size() < bytes / kBlock + 2) {
        void *b = std::malloc(kBlock);
        if (!b)
            break;
        blocks.push_back(b);
    }
    for (void *b : blocks)
        std::free(b);
    std::uintptr_t begin = 0, end = 0;
    if (!HeapRange(begin, end))
        return 0;
    if (madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE) != 0)
        return 0;
    return end - begin;
}

#else

std::size_t ReserveStartupHeap(std::size_t)
{
    return 0;
}

#endif
