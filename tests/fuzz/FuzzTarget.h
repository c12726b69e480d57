#pragma once
// Shared by the fuzz targets: each file defines LLVMFuzzerTestOneInput, built
// into a libFuzzer binary (clang) and into a replay driver that runs the
// checked-in corpus under ctest.
#include "platform/Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

// A broken promise of the reader (it read a file it cannot write back, say)
// counts as a finding: abort, so the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

// The readers warn about every damaged input; millions of them say nothing.
inline void silenceLog()
{
    static const bool once = [] {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        return true;
    }();
    (void)once;
}

inline std::string_view text(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

inline std::span<const std::uint8_t> bytes(const std::uint8_t* data, std::size_t size)
{
    return {data, size};
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
