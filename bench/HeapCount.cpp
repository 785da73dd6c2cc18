#include "HeapCount.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <malloc.h>

// glibc's own entry points, which the wrappers below call. glibc calls
// these wrappers too, for what it allocates itself. Their names are
// reserved because they are the C library's own.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
void __libc_free(void* p);
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {

std::atomic<std::ptrdiff_t> held{0}, peak{0};

bool counting() {
    // The environment is in place before the first allocation of any code
    // that runs before main; reading it allocates nothing.
    static const bool on = std::getenv(bench::kCountHeap) != nullptr;
    return on;
}

void added(void* p) {
    if (!p || !counting()) return;
    const auto size = std::ptrdiff_t(malloc_usable_size(p));
    const auto now = held.fetch_add(size) + size;
    for (auto high = peak.load(); now > high && !peak.compare_exchange_weak(high, now);) {
    }
}

void removed(void* p) {
    if (p && counting()) held.fetch_sub(std::ptrdiff_t(malloc_usable_size(p)));
}

} // namespace

extern "C" {

void* malloc(size_t size) {
    void* p = __libc_malloc(size);
    added(p);
    return p;
}

void* calloc(size_t count, size_t size) {
    void* p = __libc_calloc(count, size);
    added(p);
    return p;
}

void* realloc(void* old, size_t size) {
    removed(old);
    void* p = __libc_realloc(old, size);
    // A failed realloc leaves the old block in place.
    added(p ? p : (size ? old : nullptr));
    return p;
}

void free(void* p) {
    removed(p);
    __libc_free(p);
}

void* memalign(size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    added(p);
    return p;
}

void* aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}

void* valloc(size_t size) {
    void* p = __libc_valloc(size);
    added(p);
    return p;
}

void* pvalloc(size_t size) {
    void* p = __libc_pvalloc(size);
    added(p);
    return p;
}

int posix_memalign(void** out, size_t alignment, size_t size) {
    void* p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}

} // extern "C"

namespace bench {

std::ptrdiff_t HeapBytes() {
    return held.load();
}

std::ptrdiff_t HeapPeak() {
    return peak.load();
}

void ResetHeapPeak() {
    peak = held.load();
}

} // namespace bench
