#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

// CRC-32 as zlib computes it (reflected, polynomial 0xEDB88320), for tests that
// forge files whose checksum must still match.
inline std::uint32_t testCrc32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Rewrites the last four bytes (little-endian) as the CRC-32 of the rest.
inline void sealTestCrc32(std::span<std::uint8_t> file)
{
    if (file.size() < 4)
        return;
    const std::uint32_t crc = testCrc32(file.first(file.size() - 4));
    for (int i = 0; i < 4; ++i)
        file[file.size() - 4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
}
