#pragma once
// Start-up allocates a few megabytes in thousands of small blocks, and the first touch of each new
// page of the heap is a page fault. Under virtualisation a fault costs about ten times what making
// the same page resident costs inside one call (some 10 against 1 µs a page on the VM where this
// was measured), so the program makes the heap it is about to use resident at once.
//
// It changes no setting of the allocator: it takes the heap's growth as ordinary blocks, keeps the
// highest of them and frees the others, so that they stay in the heap as one free block that the
// following small allocations split, instead of being handed back at once. Releasing the kept block
// gives the allocator its usual rules for what is left of the reserve.

#include <cstddef>

class CStartupHeapReserve {
public:
    CStartupHeapReserve() = default;
    ~CStartupHeapReserve() { Release(); }
    CStartupHeapReserve(const CStartupHeapReserve &) = delete;
    CStartupHeapReserve &operator=(const CStartupHeapReserve &) = delete;

    // Grows the heap by at least `bytes`, keeps them free for the next small allocations and makes
    // the whole heap resident in one call. Call it before other threads allocate, once. Returns
    // the bytes of heap made resident, 0 where the system cannot (no MADV_POPULATE_WRITE before
    // Linux 5.14, a C library other than glibc, or a sanitizer's allocator); the heap is then as
    // the allocator left it.
    std::size_t Reserve(std::size_t bytes);

    // From here the allocator may hand back what is left of the reserve, by its own rules.
    void Release();

private:
    void *m_fence = nullptr;  // the kept block above the reserve
};
