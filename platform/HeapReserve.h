#pragma once
// Start-up allocates a few megabytes in thousands of small blocks, and the first touch of each new
// page of the heap is a page fault. Under virtualisation a fault costs about ten times what making
// the same page resident costs inside one call (some 10 against 1 µs a page on the VM where this
// was measured), so the program makes the heap it is about to use resident at once.

#include <cstddef>

// Grows the heap by `bytes` at once and makes the whole heap resident in one call; from then on
// the heap keeps up to `bytes` free at its top instead of handing it back at each free. Call it
// before other threads allocate. Returns the bytes of heap made resident, 0 where the system
// cannot (no MADV_POPULATE_WRITE before Linux 5.14, a C library other than glibc, or a
// sanitizer's allocator).
std::size_t ReserveStartupHeap(std::size_t bytes);
