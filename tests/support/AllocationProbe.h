#pragma once
#include <cstddef>

// Watches the size of every single allocation of the process (operator new,
// malloc, and libraries' own malloc calls), so a test can show that a few
// bytes of damaged file cannot make a reader ask for a lot of memory.
// Plain builds replace malloc, calloc and realloc; sanitizer builds use the
// sanitizer's allocation hook.
namespace allocprobe {

// The largest single request since the last reset.
void reset();
std::size_t largest();
// Aborts with a message on a single request above this many bytes (0: never),
// as libFuzzer's -malloc_limit_mb does.
void abortAbove(std::size_t bytes);

}  // namespace allocprobe
