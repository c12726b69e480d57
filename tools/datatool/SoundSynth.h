#pragma once
#include <cstdint>
#include <vector>

// Small synthesis kit for the game's sound effects and music: signals are
// doubles in -1..1 at a fixed rate, every generator is deterministic.
using Signal = std::vector<double>;

constexpr int kEffectRate = 22050;
constexpr int kMusicRate = 44100;

std::size_t framesOf(double seconds, int rate = kEffectRate);

// White noise in -1..1 from a seeded generator.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : m_state(seed * 2654435761u + 1u) {}
    double next();
    double uniform() { return 0.5 * (next() + 1.0); }  // 0..1

private:
    std::uint32_t m_state;
};
Signal noise(double seconds, std::uint32_t seed, int rate = kEffectRate);

// Two-pole filters (RBJ biquads); the sweeping forms move their frequency
// exponentially from start to end over the signal.
enum class FilterKind { LowPass, HighPass, BandPass };
void filter(Signal& s, FilterKind kind, double hertz, double q = 0.707, int rate = kEffectRate);
void filterSweep(Signal& s, FilterKind kind, double fromHertz, double toHertz, double q = 0.707,
                 int rate = kEffectRate);

// Band-limited oscillators. The frequency glides exponentially from start to
// end; harmonics fall off as 1/n^rolloff (1: saw-like, 2: soft).
Signal sine(double seconds, double fromHertz, double toHertz, int rate = kEffectRate);
Signal harmonics(double seconds, double fromHertz, double toHertz, int count, double rolloff, bool oddOnly = false,
                 int rate = kEffectRate);

// A tone that repeats exactly every `seconds`: its frequency and vibrato are
// rounded to whole cycles of the loop, so it needs no crossfade.
Signal loopHarmonics(double seconds, double hertz, int count, double rolloff, double vibratoHertz,
                     double vibratoDepth, int rate = kEffectRate);

// Envelopes applied in place.
void attackDecay(Signal& s, double attack, double decay, int rate = kEffectRate);  // exp decay time constant
void fadeEdges(Signal& s, double in, double out, int rate = kEffectRate);
void gate(Signal& s, double start, double length, double ramp, int rate = kEffectRate);  // keeps only that stretch
void amplitudeWobble(Signal& s, double hertz, double depth, int rate = kEffectRate);

// Decaying partials (metal, glass, bells): frequencies, decay times, gains.
void addModes(Signal& s, double at, const std::vector<double>& hertz, const std::vector<double>& decay,
              const std::vector<double>& gain, int rate = kEffectRate);

void mixInto(Signal& into, const Signal& s, double gain, double atSeconds = 0.0, int rate = kEffectRate);
Signal mixed(double seconds, int rate = kEffectRate);  // silence to mix into
void normalize(Signal& s, double peak = 0.89);
// Soft saturation: loud peaks round off instead of clipping.
void saturate(Signal& s, double drive);

// Loops: `raw` holds the loop plus `crossfade` seconds more; the extra is
// faded into the start with constant power, so noise loops without a seam.
Signal closeLoop(const Signal& raw, double crossfade, int rate = kEffectRate);

// An explosion: a pressure kick, a noise body whose brightness falls away,
// a long rumble and debris crackle.
struct ExplosionShape {
    double seconds = 2.0;
    double kickHertz = 55.0;
    double brightness = 3000.0;  // the body's first cut-off
    double darkness = 180.0;     // its last
    double body = 0.8, bodyDecay = 0.35;
    double rumble = 0.5, rumbleDecay = 0.9;
    double crackle = 0.15;
    std::uint32_t seed = 1;
};
Signal explosion(const ExplosionShape& shape);

// 16-bit PCM WAV.
std::vector<std::uint8_t> wavBytes(const Signal& mono, int rate = kEffectRate);
std::vector<std::int16_t> toPcm16(const Signal& s);
