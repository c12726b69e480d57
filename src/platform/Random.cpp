#include "platform/Random.h"

#include "platform/Math.h"

#include <chrono>
#include <cmath>

namespace {

constexpr std::uint32_t kFirstMultiplier = 36969;
constexpr std::uint32_t kSecondMultiplier = 18000;

// Valid states are 1 .. multiplier * 65536 - 2: 0 and multiplier * 65536 - 1
// map to themselves.
std::uint32_t workingSeed(std::uint32_t seed, std::uint32_t multiplier)
{
    const std::uint32_t fixedPoint = multiplier * 65536u - 1u;
    seed %= fixedPoint;
    return seed == 0 ? 0x2545F491u % fixedPoint : seed;
}

// The top 24 bits as a fraction: exact in a float, so the result stays below 1.
float fractionOf(std::uint32_t bits)
{
    return static_cast<float>(bits >> 8) * (1.0f / 16777216.0f);
}

RandomState clockSeededState()
{
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto mix = static_cast<std::uint64_t>(steady) ^ (static_cast<std::uint64_t>(wall) * 0x9E3779B97F4A7C15ull);
    return {workingSeed(static_cast<std::uint32_t>(mix), kFirstMultiplier),
            workingSeed(static_cast<std::uint32_t>(mix >> 32), kSecondMultiplier)};
}

}  // namespace

std::uint32_t mwcStep(RandomState& state)
{
    state.first = kFirstMultiplier * (state.first & 0xFFFFu) + (state.first >> 16);
    state.second = kSecondMultiplier * (state.second & 0xFFFFu) + (state.second >> 16);
    return (state.first << 16) + state.second;
}

RandomState& randomState()
{
    // Seeded on first use, so even a draw from another file's start-up code
    // finds a seeded generator.
    static RandomState state = clockSeededState();
    return state;
}

void seedRandom(std::uint32_t first, std::uint32_t second)
{
    randomState() = {workingSeed(first, kFirstMultiplier), workingSeed(second, kSecondMultiplier)};
}

void seedRandomFromClock() { randomState() = clockSeededState(); }

std::uint32_t randU32() { return mwcStep(randomState()); }

float rand01() { return fractionOf(randU32()); }

float randRange(float a, float b)
{
    if (!(b > a))
        return a;
    const float r = a + (b - a) * rand01();
    // Rounding can land on b when the range is tiny next to a.
    return r < b ? r : std::nextafter(b, a);
}

float randScaled(float x) { return rand01() * x; }

float randAngle() { return randRange(-kPi, kPi); }

float randSigned() { return rand01() * 2.0f - 1.0f; }

float randRangeSigned(float a, float b)
{
    const float magnitude = randRange(a, b);
    return (randU32() & 0x80000000u) != 0 ? -magnitude : magnitude;
}

int randModulo(int range)
{
    if (range <= 0)
        return 0;
    return static_cast<int>(randU32() % static_cast<std::uint32_t>(range));
}

void randomPermutation(int* out, int n)
{
    if (out == nullptr || n <= 0)
        return;
    for (int i = 0; i < n; ++i)
        out[i] = i;
    if (n < 2)
        return;
    const long long swapCount = 2LL * n;
    for (long long swaps = 0; swaps < swapCount; ++swaps) {
        const int i = randModulo(n);
        int j = randModulo(n - 1);
        if (j >= i)  // a second position drawn from the others: never equal to i
            ++j;
        const int held = out[i];
        out[i] = out[j];
        out[j] = held;
    }
}
