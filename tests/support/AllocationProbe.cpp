#include "support/AllocationProbe.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<std::size_t> g_largest{0};
std::atomic<std::size_t> g_abortAbove{0};

void note(std::size_t bytes)
{
    std::size_t seen = g_largest.load(std::memory_order_relaxed);
    while (bytes > seen && !g_largest.compare_exchange_weak(seen, bytes, std::memory_order_relaxed)) {
    }
    const std::size_t limit = g_abortAbove.load(std::memory_order_relaxed);
    if (limit != 0 && bytes > limit) {
        // No allocation from here on: the message is written with no buffer.
        char line[96];
        const int n = std::snprintf(line, sizeof(line), "allocation probe: one request of %zu bytes\n", bytes);
        std::fwrite(line, 1, static_cast<std::size_t>(n), stderr);
        std::abort();
    }
}
}  // namespace

#if defined(__SANITIZE_ADDRESS__)
#define SKYFRONT_ASAN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKYFRONT_ASAN_ALLOCATOR 1
#endif
#endif

#if defined(SKYFRONT_ASAN_ALLOCATOR)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, std::size_t),
                                                          void (*freeHook)(const volatile void*));
namespace {
void onMalloc(const volatile void*, std::size_t bytes) { note(bytes); }
void onFree(const volatile void*) {}
[[maybe_unused]] const int g_hooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
}  // namespace
#else
// glibc lets a program replace its allocator; these forward to it and only
// look at the size.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);

void* malloc(std::size_t bytes)
{
    note(bytes);
    return __libc_malloc(bytes);
}
void* calloc(std::size_t count, std::size_t size)
{
    if (size != 0 && count > static_cast<std::size_t>(-1) / size)
        note(static_cast<std::size_t>(-1));
    else
        note(count * size);
    return __libc_calloc(count, size);
}
void* realloc(void* old, std::size_t bytes)
{
    note(bytes);
    return __libc_realloc(old, bytes);
}
}
#endif

namespace allocprobe {
void reset() { g_largest.store(0); }
std::size_t largest() { return g_largest.load(); }
void abortAbove(std::size_t bytes) { g_abortAbove.store(bytes); }
}  // namespace allocprobe
