#pragma once
#include <cmath>
#include <cstdint>

// Seeded value noise for generated worlds and textures. `period` (in lattice
// cells) makes the noise tile, for textures that repeat.
class WorldNoise {
public:
    explicit WorldNoise(std::uint32_t seed) : m_seed(seed) {}

    float value(float x, float y, int period = 0) const
    {
        const float fx = std::floor(x), fy = std::floor(y);
        const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
        const float tx = smooth(x - fx), ty = smooth(y - fy);
        const float a = lattice(ix, iy, period), b = lattice(ix + 1, iy, period);
        const float c = lattice(ix, iy + 1, period), d = lattice(ix + 1, iy + 1, period);
        return (a + (b - a) * tx) * (1.0f - ty) + (c + (d - c) * tx) * ty;
    }
    // Sum of octaves, each twice the frequency and half the weight; about 0..1.
    float fractal(float x, float y, int octaves, int period = 0) const
    {
        float sum = 0.0f, weight = 0.5f, total = 0.0f;
        for (int o = 0; o < octaves; ++o) {
            sum += value(x, y, period) * weight;
            total += weight;
            x *= 2.0f;
            y *= 2.0f;
            period *= 2;
            weight *= 0.5f;
        }
        return sum / total;
    }

private:
    static float smooth(float t) { return t * t * (3.0f - 2.0f * t); }
    float lattice(int x, int y, int period) const
    {
        if (period > 0) {
            x = ((x % period) + period) % period;
            y = ((y % period) + period) % period;
        }
        std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                          m_seed * 2246822519u;
        h = (h ^ (h >> 13)) * 1274126177u;
        h ^= h >> 16;
        return static_cast<float>(h & 0xffffu) / 65535.0f;
    }
    std::uint32_t m_seed;
};
