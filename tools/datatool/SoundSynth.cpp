#include "SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {
constexpr double kTau = 6.283185307179586;

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    void set(FilterKind kind, double hertz, double q, int rate)
    {
        hertz = std::clamp(hertz, 10.0, rate * 0.45);
        const double w = kTau * hertz / rate, cw = std::cos(w), alpha = std::sin(w) / (2.0 * q);
        double n0, n1, n2;
        switch (kind) {
        case FilterKind::LowPass: n0 = (1 - cw) / 2; n1 = 1 - cw; n2 = n0; break;
        case FilterKind::HighPass: n0 = (1 + cw) / 2; n1 = -(1 + cw); n2 = n0; break;
        default: n0 = alpha; n1 = 0; n2 = -alpha; break;
        }
        const double a0 = 1 + alpha;
        b0 = n0 / a0; b1 = n1 / a0; b2 = n2 / a0;
        a1 = -2 * cw / a0; a2 = (1 - alpha) / a0;
    }
    double process(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = x; y2 = y1; y1 = y;
        return y;
    }
};

double glide(double from, double to, double t) { return from * std::pow(to / from, t); }

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
}  // namespace

std::size_t framesOf(double seconds, int rate) { return static_cast<std::size_t>(std::lround(seconds * rate)); }

double NoiseSource::next()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return static_cast<double>(m_state) / 2147483648.0 - 1.0;
}

Signal noise(double seconds, std::uint32_t seed, int rate)
{
    NoiseSource source(seed);
    Signal s(framesOf(seconds, rate));
    for (double& v : s)
        v = source.next();
    return s;
}

void filter(Signal& s, FilterKind kind, double hertz, double q, int rate)
{
    Biquad f;
    f.set(kind, hertz, q, rate);
    for (double& v : s)
        v = f.process(v);
}

void filterSweep(Signal& s, FilterKind kind, double fromHertz, double toHertz, double q, int rate)
{
    Biquad f;
    const double n = static_cast<double>(std::max<std::size_t>(s.size(), 1));
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i % 32 == 0)
            f.set(kind, glide(fromHertz, toHertz, i / n), q, rate);
        s[i] = f.process(s[i]);
    }
}

Signal sine(double seconds, double fromHertz, double toHertz, int rate)
{
    return harmonics(seconds, fromHertz, toHertz, 1, 1.0, false, rate);
}

Signal harmonics(double seconds, double fromHertz, double toHertz, int count, double rolloff, bool oddOnly, int rate)
{
    Signal s(framesOf(seconds, rate));
    const double n = static_cast<double>(std::max<std::size_t>(s.size(), 1));
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double f = glide(fromHertz, toHertz, i / n);
        double v = 0.0;
        for (int h = 1; h <= count; h += oddOnly ? 2 : 1) {
            if (f * h >= rate * 0.45)
                break;
            v += std::sin(phase * h) / std::pow(h, rolloff);
        }
        s[i] = v;
        phase += kTau * f / rate;
        if (phase > kTau * 1000.0)
            phase = std::fmod(phase, kTau);
    }
    return s;
}

Signal loopHarmonics(double seconds, double hertz, int count, double rolloff, double vibratoHertz,
                     double vibratoDepth, int rate)
{
    const std::size_t n = framesOf(seconds, rate);
    const double length = static_cast<double>(n) / rate;
    const double f = std::max(1.0, std::round(hertz * length)) / length;
    const double vib = vibratoHertz > 0 ? std::max(1.0, std::round(vibratoHertz * length)) / length : 0.0;
    Signal s(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        // Phase of a frequency f * (1 + depth * sin(vib t)), integrated.
        double phase = kTau * f * t;
        if (vib > 0)
            phase += f * vibratoDepth / vib * (1.0 - std::cos(kTau * vib * t));
        double v = 0.0;
        for (int h = 1; h <= count && f * h < rate * 0.45; ++h)
            v += std::sin(phase * h) / std::pow(h, rolloff);
        s[i] = v;
    }
    return s;
}

void attackDecay(Signal& s, double attack, double decay, int rate)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double a = attack > 0 ? std::min(t / attack, 1.0) : 1.0;
        s[i] *= a * std::exp(-std::max(t - attack, 0.0) / decay);
    }
}

void fadeEdges(Signal& s, double in, double out, int rate)
{
    const std::size_t fin = std::min(framesOf(in, rate), s.size()), fout = std::min(framesOf(out, rate), s.size());
    for (std::size_t i = 0; i < fin; ++i)
        s[i] *= static_cast<double>(i) / fin;
    for (std::size_t i = 0; i < fout; ++i)
        s[s.size() - 1 - i] *= static_cast<double>(i) / fout;
}

void gate(Signal& s, double start, double length, double ramp, int rate)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / rate - start;
        double g = 0.0;
        if (t >= 0 && t <= length)
            g = std::min({1.0, t / ramp, (length - t) / ramp});
        s[i] *= g;
    }
}

void amplitudeWobble(Signal& s, double hertz, double depth, int rate)
{
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] *= 1.0 - depth * 0.5 * (1.0 - std::cos(kTau * hertz * i / rate));
}

void addModes(Signal& s, double at, const std::vector<double>& hertz, const std::vector<double>& decay,
              const std::vector<double>& gain, int rate)
{
    const std::size_t start = framesOf(at, rate);
    for (std::size_t m = 0; m < hertz.size(); ++m)
        for (std::size_t i = start; i < s.size(); ++i) {
            const double t = static_cast<double>(i - start) / rate;
            s[i] += gain[m] * std::exp(-t / decay[m]) * std::sin(kTau * hertz[m] * t);
        }
}

void mixInto(Signal& into, const Signal& s, double gain, double atSeconds, int rate)
{
    const std::size_t start = framesOf(atSeconds, rate);
    for (std::size_t i = 0; i < s.size() && start + i < into.size(); ++i)
        into[start + i] += gain * s[i];
}

Signal mixed(double seconds, int rate) { return Signal(framesOf(seconds, rate), 0.0); }

void normalize(Signal& s, double peak)
{
    double loudest = 0.0;
    for (double v : s)
        loudest = std::max(loudest, std::abs(v));
    if (loudest > 0.0)
        for (double& v : s)
            v *= peak / loudest;
}

void saturate(Signal& s, double drive)
{
    for (double& v : s)
        v = std::tanh(v * drive);
}

Signal closeLoop(const Signal& raw, double crossfade, int rate)
{
    const std::size_t c = framesOf(crossfade, rate);
    const std::size_t n = raw.size() > c ? raw.size() - c : raw.size();
    Signal out(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t i = 0; i < c && i < n; ++i) {
        const double x = (static_cast<double>(i) + 0.5) / c;
        // The loop's end runs on into the extra stretch, which fades out as
        // the start fades in: sample n-1 is followed by what it was followed by.
        out[i] = raw[i] * std::sin(x * kTau / 4) + raw[n + i] * std::cos(x * kTau / 4);
    }
    return out;
}

Signal explosion(const ExplosionShape& shape)
{
    Signal out = mixed(shape.seconds);
    Signal kick = sine(0.5, shape.kickHertz * 1.8, shape.kickHertz * 0.6);
    attackDecay(kick, 0.003, 0.12);
    mixInto(out, kick, 1.0);

    Signal body = noise(shape.seconds, shape.seed);
    filterSweep(body, FilterKind::LowPass, shape.brightness, shape.darkness, 0.8);
    attackDecay(body, 0.004, shape.bodyDecay);
    mixInto(out, body, shape.body * 2.5);

    Signal rumble = noise(shape.seconds, shape.seed + 17);
    filter(rumble, FilterKind::LowPass, 90.0, 0.9);
    filter(rumble, FilterKind::LowPass, 140.0, 0.7);
    attackDecay(rumble, 0.05, shape.rumbleDecay);
    mixInto(out, rumble, shape.rumble * 12.0);

    if (shape.crackle > 0) {
        NoiseSource pick(shape.seed + 99);
        Signal crackle = mixed(shape.seconds);
        for (std::size_t i = 0; i < crackle.size(); ++i) {
            const double t = static_cast<double>(i) / kEffectRate;
            if (pick.uniform() < 0.004 * std::exp(-t / (shape.seconds * 0.4)))
                crackle[i] = pick.next();
        }
        filter(crackle, FilterKind::BandPass, 2500.0, 0.7);
        mixInto(out, crackle, shape.crackle * 6.0);
    }
    saturate(out, 1.6);
    fadeEdges(out, 0.0, 0.25);
    normalize(out);
    return out;
}

std::vector<std::int16_t> toPcm16(const Signal& s)
{
    std::vector<std::int16_t> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(s[i], -1.0, 1.0) * 32767.0));
    return out;
}

std::vector<std::uint8_t> wavBytes(const Signal& mono, int rate)
{
    const std::vector<std::int16_t> pcm = toPcm16(mono);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(pcm.size() * 2);
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
    putLe(out, 36 + dataBytes, 4);
    for (char c : std::string_view("WAVEfmt "))
        out.push_back(static_cast<std::uint8_t>(c));
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, 1, 2);
    putLe(out, static_cast<std::uint32_t>(rate), 4);
    putLe(out, static_cast<std::uint32_t>(rate * 2), 4);
    putLe(out, 2, 2);
    putLe(out, 16, 2);
    for (char c : std::string_view("data"))
        out.push_back(static_cast<std::uint8_t>(c));
    putLe(out, dataBytes, 4);
    for (std::int16_t v : pcm)
        putLe(out, static_cast<std::uint16_t>(v), 2);
    return out;
}
