#pragma once
#include <cstdint>

// The one multiply-with-carry generator of the program. Game rules and effects
// draw from the same sequence. It is seeded from the clock when the program
// starts (on first use); tests and replays seed it explicitly. Main thread only.

struct RandomState {
    std::uint32_t first = 1;
    std::uint32_t second = 1;
};

// One step: each word becomes its low half times its multiplier (36969 for the
// first, 18000 for the second) plus its high half; the output is
// first * 65536 + second (mod 2^32).
std::uint32_t mwcStep(RandomState& state);

// The shared state, for the effects that step the words inline.
RandomState& randomState();
// Seeds from two values. A word of 0 would stay 0 forever (and one other value
// per word is a fixed point), so such seeds are moved to a working value.
void seedRandom(std::uint32_t first, std::uint32_t second);
// Seeds again from the steady and the wall clocks.
void seedRandomFromClock();

std::uint32_t randU32();
float rand01();                        // [0, 1)
float randRange(float a, float b);     // [a, b); a when b <= a
float randScaled(float x);             // [0, x) for x > 0; the caller truncates
float randAngle();                     // [-pi, pi)
float randSigned();                    // [-1, 1)
float randRangeSigned(float a, float b);  // magnitude in [a, b), random sign
// A random integer in 0..range-1 (the raw value modulo range); 0 for a range
// of 0 or below.
int randModulo(int range);
// Fills out[0..n-1] with 0..n-1 and shuffles it with 2n swaps of two distinct
// positions. Below 2 elements there is nothing to swap: it only fills.
void randomPermutation(int* out, int n);
