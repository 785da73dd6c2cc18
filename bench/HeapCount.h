#pragma once

#include <cstddef>

// The bytes the process holds on its heap, counted at every allocation and
// release from its very start (the C library's allocator is wrapped), so
// that a memory peak is exact and the same on every run, unlike the resident
// size, which the kernel counts in batches. Only a process started with the
// environment variable kCountHeap set counts: counting slows allocation, and
// would weigh on what is timed.
namespace bench {

inline constexpr char kCountHeap[] = "GLIMMERKEY_BENCH_COUNT_HEAP";

std::ptrdiff_t HeapBytes();
// The most held since the last ResetHeapPeak.
std::ptrdiff_t HeapPeak();
void ResetHeapPeak();

} // namespace bench
