#pragma once
#include <cstdint>

// A small seeded generator for placing trees and clouds: the same seed lays
// out the same world on every machine, which the tests and the network rely on.
class WorldRandom {
public:
    explicit WorldRandom(std::uint32_t seed) : m_state(seed * 2654435761u + 0x9e3779b9u) {}
    std::uint32_t next()
    {
        // xorshift32; the state never becomes 0 from a non-zero start.
        if (m_state == 0)
            m_state = 0x6d2b79f5u;
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in [0, 1).
    float unit() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint32_t m_state;
};
