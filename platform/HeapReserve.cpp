#include "platform/HeapReserve.h"

#include <algorithm>
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
#include <sys/mman.h>

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

std::size_t CStartupHeapReserve::Reserve(std::size_t bytes)
{
    if (bytes == 0 || bytes > (std::size_t(1) << 30) || m_fence)
        return 0;
    // Blocks under the allocator's mmap threshold come from the heap, which grows for them; the
    // last one taken from the heap's top is the highest.
    constexpr std::size_t kBlock = 96 * 1024;
    std::vector<void *> blocks;
    blocks.reserve(bytes / kBlock + 2);
    for (std::size_t taken = 0; taken <= bytes; taken += kBlock) {
        void *b = std::malloc(kBlock);
        if (!b)
            break;
        blocks.push_back(b);
    }
    // The highest block stays: freed, the others join into one free block below it instead of
    // joining the heap's top, which the allocator would hand back at once.
    const auto highest = std::max_element(blocks.begin(), blocks.end(), [](void *a, void *b) {
        return reinterpret_cast<std::uintptr_t>(a) < reinterpret_cast<std::uintptr_t>(b);
    });
    if (highest != blocks.end()) {
        m_fence = *highest;
        blocks.erase(highest);
    }
    for (void *b : blocks)
        std::free(b);
    std::uintptr_t begin = 0, end = 0;
    if (!m_fence || !HeapRange(begin, end) ||
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE) != 0) {
        Release();
        return 0;
    }
    return end - begin;
}

void CStartupHeapReserve::Release()
{
    std::free(m_fence);
    m_fence = nullptr;
}

#else

std::size_t CStartupHeapReserve::Reserve(std::size_t)
{
    return 0;
}

void CStartupHeapReserve::Release() {}

#endif
