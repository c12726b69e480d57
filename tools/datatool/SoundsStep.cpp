// The game's sound effects, made here from synthesis recipes: engines, guns,
// missiles, explosions, impacts, alarms and tones, weather and menu sounds.
// Every loop repeats without a seam; every one-shot starts and ends at rest.
#include "DataTool.h"
#include "SoundSynth.h"

#include <cmath>
#include <functional>
#include <string>
#include <utility>

namespace {
Signal loopOf(double seconds, double crossfade, const std::function<Signal(double)>& make)
{
    return closeLoop(make(seconds + crossfade), crossfade);
}

Signal finish(Signal s, double fadeOut = 0.02)
{
    fadeEdges(s, 0.002, fadeOut);
    normalize(s);
    return s;
}

// Engines.
Signal jetEngine()
{
    constexpr double kLength = 2.0;
    Signal roar = loopOf(kLength, 0.25, [](double t) {
        Signal low = noise(t, 11);
        filter(low, FilterKind::LowPass, 420.0, 0.9);
        Signal hiss = noise(t, 12);
        filter(hiss, FilterKind::BandPass, 2600.0, 0.8);
        Signal out = mixed(t);
        mixInto(out, low, 2.2);
        mixInto(out, hiss, 0.35);
        return out;
    });
    Signal whine = loopHarmonics(kLength, 3150.0, 2, 1.5, 0.5, 0.004);
    Signal drone = loopHarmonics(kLength, 118.0, 6, 1.2, 0.5, 0.01);
    mixInto(roar, whine, 0.10);
    mixInto(roar, drone, 0.12);
    normalize(roar);
    return roar;
}

Signal jetFar()
{
    Signal s = loopOf(2.5, 0.3, [](double t) {
        Signal low = noise(t, 21);
        filter(low, FilterKind::LowPass, 260.0, 0.8);
        filter(low, FilterKind::LowPass, 300.0, 0.7);
        return low;
    });
    Signal whine = loopHarmonics(2.5, 1700.0, 1, 1.0, 0.4, 0.01);
    mixInto(s, whine, 0.015);
    amplitudeWobble(s, 0.4, 0.25);  // 0.4 Hz: one wobble per 2.5 s loop
    normalize(s);
    return s;
}

Signal propellerEngine()
{
    constexpr double kLength = 1.5;
    // Cylinder firings: a buzzy harmonic series at 36 Hz, shaped by the blades.
    // Harmonics stop near 900 Hz instead of a filter, which would break the period.
    Signal firing = loopHarmonics(kLength, 36.0, 25, 0.9, 2.0, 0.006);
    Signal blades = loopOf(kLength, 0.2, [](double t) {
        Signal n = noise(t, 31);
        filter(n, FilterKind::BandPass, 220.0, 1.2);
        return n;
    });
    Signal out = mixed(kLength);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kEffectRate;
        const double thump = 0.65 + 0.35 * std::cos(6.283185307 * 72.0 * t);  // 108 whole cycles a loop
        out[i] = firing[i] * thump * 0.8 + blades[i] * thump * 1.4;
    }
    saturate(out, 1.4);
    normalize(out);
    return out;
}

Signal windLoop(double seconds, std::uint32_t seed, double centre, double gain)
{
    Signal s = loopOf(seconds, 0.4, [&](double t) {
        Signal n = noise(t, seed);
        filterSweep(n, FilterKind::BandPass, centre, centre * 1.6, 0.9);
        return n;
    });
    amplitudeWobble(s, 1.0 / seconds, 0.35);
    for (double& v : s)
        v *= gain;
    normalize(s);
    return s;
}

// Guns and missiles.
Signal gunShot(double body, double crack, std::uint32_t seed)
{
    Signal s = mixed(0.3);
    Signal n = noise(0.3, seed);
    filter(n, FilterKind::BandPass, crack, 0.9);
    attackDecay(n, 0.001, 0.035);
    mixInto(s, n, 3.0);
    Signal thump = sine(0.2, body * 1.6, body);
    attackDecay(thump, 0.001, 0.05);
    mixInto(s, thump, 0.9);
    Signal mech = noise(0.05, seed + 1);
    filter(mech, FilterKind::HighPass, 4000.0);
    attackDecay(mech, 0.0005, 0.008);
    mixInto(s, mech, 0.8, 0.06);
    saturate(s, 2.0);
    return finish(s, 0.05);
}

Signal dryClick()
{
    Signal s = mixed(0.12);
    Signal n = noise(0.12, 41);
    filter(n, FilterKind::BandPass, 3200.0, 2.0);
    attackDecay(n, 0.0005, 0.006);
    mixInto(s, n, 1.0);
    addModes(s, 0.0, {1850.0, 2710.0}, {0.012, 0.008}, {0.3, 0.2});
    Signal n2 = noise(0.05, 42);
    filter(n2, FilterKind::BandPass, 2400.0, 2.0);
    attackDecay(n2, 0.0005, 0.005);
    mixInto(s, n2, 0.6, 0.045);
    return finish(s);
}

Signal missileLaunch()
{
    Signal s = mixed(1.8);
    Signal burst = noise(1.8, 51);
    filterSweep(burst, FilterKind::BandPass, 3500.0, 700.0, 0.6);
    attackDecay(burst, 0.02, 0.6);
    mixInto(s, burst, 2.5);
    Signal roar = noise(1.8, 52);
    filter(roar, FilterKind::LowPass, 500.0);
    attackDecay(roar, 0.01, 0.5);
    mixInto(s, roar, 2.0);
    Signal ignite = sine(0.3, 160.0, 60.0);
    attackDecay(ignite, 0.002, 0.08);
    mixInto(s, ignite, 0.7);
    return finish(s, 0.3);
}

Signal missileCruise()
{
    Signal s = loopOf(1.6, 0.25, [](double t) {
        Signal hiss = noise(t, 61);
        filter(hiss, FilterKind::BandPass, 1800.0, 0.7);
        Signal low = noise(t, 62);
        filter(low, FilterKind::LowPass, 300.0);
        NoiseSource pick(63);
        Signal crackle = mixed(t);
        for (double& v : crackle)
            if (pick.uniform() < 0.01)
                v = pick.next();
        filter(crackle, FilterKind::HighPass, 1500.0);
        Signal out = mixed(t);
        mixInto(out, hiss, 1.0);
        mixInto(out, low, 1.5);
        mixInto(out, crackle, 0.6);
        return out;
    });
    normalize(s);
    return s;
}

Signal sonicBoom()
{
    Signal s = mixed(1.6);
    for (double at : {0.0, 0.14}) {
        Signal n = noise(0.9, at > 0 ? 72u : 71u);
        filter(n, FilterKind::LowPass, 700.0);
        attackDecay(n, 0.001, 0.09);
        mixInto(s, n, 2.2, at);
        Signal kick = sine(0.4, 70.0, 35.0);
        attackDecay(kick, 0.001, 0.15);
        mixInto(s, kick, 0.9, at);
    }
    Signal rumble = noise(1.6, 73);
    filter(rumble, FilterKind::LowPass, 120.0);
    attackDecay(rumble, 0.05, 0.5);
    mixInto(s, rumble, 5.0);
    saturate(s, 1.5);
    return finish(s, 0.3);
}

Signal flares()
{
    Signal s = mixed(1.4);
    for (int i = 0; i < 4; ++i) {
        Signal pop = noise(0.12, 80 + i);
        filter(pop, FilterKind::BandPass, 1400.0 + 300.0 * i, 1.0);
        attackDecay(pop, 0.001, 0.02);
        mixInto(s, pop, 1.4, 0.05 + 0.11 * i);
    }
    Signal hiss = noise(1.4, 88);
    filter(hiss, FilterKind::HighPass, 3000.0);
    attackDecay(hiss, 0.05, 0.4);
    mixInto(s, hiss, 0.5, 0.05);
    return finish(s, 0.3);
}

Signal bulletPassBy(double from, double to, std::uint32_t seed)
{
    Signal s = noise(0.45, seed);
    filterSweep(s, FilterKind::BandPass, from, to, 3.0);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double x = static_cast<double>(i) / s.size();
        s[i] *= std::exp(-std::pow((x - 0.35) / 0.12, 2.0));
    }
    Signal whistle = sine(0.45, from * 0.8, to * 0.8);
    for (std::size_t i = 0; i < whistle.size(); ++i) {
        const double x = static_cast<double>(i) / whistle.size();
        whistle[i] *= 0.05 * std::exp(-std::pow((x - 0.35) / 0.1, 2.0));
    }
    mixInto(s, whistle, 1.0);
    return finish(s);
}

// Impacts.
Signal bulletHit(std::uint32_t seed, double ring)
{
    Signal s = mixed(0.45);
    Signal n = noise(0.45, seed);
    filter(n, FilterKind::BandPass, 1800.0, 0.8);
    attackDecay(n, 0.0005, 0.02);
    mixInto(s, n, 1.5);
    addModes(s, 0.0, {ring, ring * 1.63, ring * 2.41, ring * 3.7}, {0.12, 0.09, 0.06, 0.04},
             {0.30, 0.22, 0.15, 0.1});
    Signal thud = sine(0.15, 180.0, 90.0);
    attackDecay(thud, 0.001, 0.03);
    mixInto(s, thud, 0.5);
    return finish(s, 0.05);
}

Signal glassHit()
{
    Signal s = mixed(0.8);
    Signal crack = noise(0.8, 101);
    filter(crack, FilterKind::HighPass, 2500.0);
    attackDecay(crack, 0.0005, 0.03);
    mixInto(s, crack, 1.2);
    NoiseSource pick(102);
    for (int i = 0; i < 7; ++i) {
        const double f = 2800.0 + 3500.0 * pick.uniform();
        addModes(s, 0.02 + 0.08 * i * pick.uniform(), {f, f * 1.47}, {0.08, 0.05}, {0.12, 0.06});
    }
    return finish(s, 0.1);
}

// Menu and HUD tones.
Signal blip(double seconds, double from, double to, double decay)
{
    Signal s = harmonics(seconds, from, to, 3, 2.0);
    attackDecay(s, 0.001, decay);
    return finish(s, 0.01);
}

Signal chime(const std::vector<double>& notes, double spacing, double decay, double tail)
{
    Signal s = mixed(spacing * notes.size() + tail);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const double f = notes[i];
        Signal bell = mixed(decay * 4.0);
        addModes(bell, 0.0, {f, f * 2.0, f * 3.0, f * 4.2}, {decay, decay * 0.6, decay * 0.35, decay * 0.2},
                 {0.6, 0.25, 0.12, 0.06});
        mixInto(s, bell, 1.0, spacing * i);
    }
    return finish(s, 0.1);
}

Signal brassNote(double seconds, double hertz)
{
    Signal s = harmonics(seconds, hertz, hertz, 12, 1.0);
    filterSweep(s, FilterKind::LowPass, 600.0, hertz * 4.0, 0.9);
    fadeEdges(s, 0.03, seconds * 0.4);
    return s;
}

double note(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

Signal fanfare(const std::vector<std::pair<int, double>>& notes, double step)
{
    double length = 0.0;
    for (std::size_t i = 0; i < notes.size(); ++i)
        length = std::max(length, step * i + notes[i].second);
    Signal s = mixed(length + 0.1);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        Signal n = brassNote(notes[i].second, note(notes[i].first));
        mixInto(s, n, 1.0, step * i);
        Signal fifth = brassNote(notes[i].second, note(notes[i].first - 12));
        mixInto(s, fifth, 0.4, step * i);
    }
    saturate(s, 1.2);
    // Bright brass is loud for its peak: kept lower than the effects.
    fadeEdges(s, 0.002, 0.2);
    normalize(s, 0.5);
    return s;
}

// Alarms.
Signal stallAlarm()
{
    // 0.25 s of horn, 0.25 s rest, twice: one second.
    Signal s = mixed(1.0);
    for (double at : {0.0, 0.5}) {
        Signal horn = harmonics(0.25, 466.0, 466.0, 9, 1.0, true);
        filter(horn, FilterKind::LowPass, 2500.0);
        gate(horn, 0.0, 0.25, 0.008);
        mixInto(s, horn, 1.0, at);
    }
    normalize(s, 0.8);
    return s;
}

Signal missileWarning()
{
    Signal s = mixed(0.8);
    for (int i = 0; i < 4; ++i) {
        Signal tone = harmonics(0.2, i % 2 ? 1180.0 : 880.0, i % 2 ? 1180.0 : 880.0, 5, 1.4, true);
        gate(tone, 0.0, 0.2, 0.006);
        mixInto(s, tone, 1.0, 0.2 * i);
    }
    normalize(s, 0.8);
    return s;
}

Signal countingTicks()
{
    Signal s = mixed(0.8);
    for (int i = 0; i < 16; ++i) {
        Signal tick = harmonics(0.03, 2100.0, 1900.0, 3, 2.0);
        attackDecay(tick, 0.001, 0.006);
        gate(tick, 0.0, 0.03, 0.001);
        mixInto(s, tick, 1.0, 0.05 * i);
    }
    normalize(s, 0.8);
    return s;
}

Signal faintHeartbeat()
{
    // Two beats at 70 a minute under a low, muffled drone.
    constexpr double kBeat = 60.0 / 70.0;
    Signal s = loopHarmonics(2 * kBeat, 55.0, 3, 2.0, 0.0, 0.0);
    for (double& v : s)
        v *= 0.12;
    for (int beat = 0; beat < 2; ++beat)
        for (auto [offset, gain] : {std::pair{0.0, 1.0}, std::pair{0.18, 0.7}}) {
            Signal thump = sine(0.25, 70.0, 40.0);
            attackDecay(thump, 0.005, 0.05);
            gate(thump, 0.0, 0.25, 0.004);
            mixInto(s, thump, gain, beat * kBeat + offset);
        }
    normalize(s, 0.85);
    return s;
}

Signal lockTone()
{
    Signal s = mixed(0.5);
    for (int i = 0; i < 4; ++i) {
        Signal tone = harmonics(0.09, 1760.0, 1760.0, 3, 1.5, true);
        gate(tone, 0.0, 0.09, 0.004);
        mixInto(s, tone, 1.0, 0.125 * i);
    }
    normalize(s, 0.8);
    return s;
}

// Flight and weather.
Signal airbrake()
{
    Signal s = loopOf(2.0, 0.3, [](double t) {
        Signal n = noise(t, 121);
        filter(n, FilterKind::LowPass, 1100.0, 0.8);
        Signal buzz = noise(t, 122);
        filter(buzz, FilterKind::BandPass, 160.0, 1.5);
        Signal out = mixed(t);
        mixInto(out, n, 1.0);
        mixInto(out, buzz, 2.0);
        return out;
    });
    amplitudeWobble(s, 12.0, 0.3);  // 24 flutters a loop
    normalize(s);
    return s;
}

Signal rainLoop()
{
    Signal s = loopOf(3.0, 0.4, [](double t) {
        Signal bed = noise(t, 131);
        filter(bed, FilterKind::LowPass, 2500.0);
        filter(bed, FilterKind::HighPass, 300.0);
        NoiseSource pick(132);
        Signal drops = mixed(t);
        for (std::size_t i = 0; i + 200 < drops.size(); ++i) {
            if (pick.uniform() < 0.012) {
                const double gain = 0.2 + 0.8 * pick.uniform(), f = 2000.0 + 4000.0 * pick.uniform();
                for (int k = 0; k < 200; ++k)
                    drops[i + k] += gain * std::exp(-k / 25.0) * std::sin(6.283185307 * f * k / kEffectRate);
            }
        }
        Signal out = mixed(t);
        mixInto(out, bed, 0.7);
        mixInto(out, drops, 0.5);
        return out;
    });
    normalize(s);
    return s;
}

Signal thunder()
{
    Signal s = mixed(4.5);
    Signal crack = noise(0.6, 141);
    filter(crack, FilterKind::HighPass, 800.0);
    attackDecay(crack, 0.002, 0.08);
    mixInto(s, crack, 1.2);
    NoiseSource pick(142);
    for (int i = 0; i < 6; ++i) {
        Signal roll = noise(2.0, 143 + i);
        filterSweep(roll, FilterKind::LowPass, 500.0, 90.0, 0.8);
        attackDecay(roll, 0.1 + 0.2 * pick.uniform(), 0.5 + 0.4 * pick.uniform());
        mixInto(s, roll, 3.0 * (1.0 - i * 0.12), 0.05 + 0.45 * i * (0.6 + 0.4 * pick.uniform()));
    }
    saturate(s, 1.3);
    return finish(s, 0.8);
}

Signal seagulls()
{
    Signal s = loopOf(4.0, 0.4, [](double t) {
        Signal surf = noise(t, 151);
        filter(surf, FilterKind::LowPass, 900.0);
        amplitudeWobble(surf, 0.25, 0.6);
        Signal out = mixed(t);
        mixInto(out, surf, 0.5);
        NoiseSource pick(152);
        for (int call = 0; call < 7; ++call) {
            const double at = 0.3 + (t - 0.9) * pick.uniform(), f = 1300.0 + 500.0 * pick.uniform();
            for (int part = 0; part < 3; ++part) {
                Signal cry = harmonics(0.22, f * 1.25, f * 0.85, 6, 1.3);
                for (std::size_t i = 0; i < cry.size(); ++i)
                    cry[i] *= std::sin(3.14159265 * i / cry.size());
                mixInto(out, cry, 0.12 * (1.0 - part * 0.25), at + part * 0.2);
            }
        }
        return out;
    });
    normalize(s);
    return s;
}

Signal landing()
{
    Signal s = mixed(1.0);
    Signal chirp = noise(0.35, 161);
    filterSweep(chirp, FilterKind::BandPass, 1600.0, 1100.0, 4.0);
    attackDecay(chirp, 0.005, 0.12);
    mixInto(s, chirp, 2.0);
    Signal chirp2 = noise(0.3, 162);
    filterSweep(chirp2, FilterKind::BandPass, 1500.0, 1000.0, 4.0);
    attackDecay(chirp2, 0.005, 0.1);
    mixInto(s, chirp2, 1.6, 0.12);
    Signal thump = sine(0.5, 90.0, 45.0);
    attackDecay(thump, 0.002, 0.12);
    mixInto(s, thump, 0.9);
    Signal rattle = noise(1.0, 163);
    filter(rattle, FilterKind::LowPass, 400.0);
    attackDecay(rattle, 0.01, 0.35);
    mixInto(s, rattle, 1.2);
    return finish(s, 0.2);
}

Signal takeoff()
{
    Signal s = mixed(2.5);
    Signal spool = harmonics(2.5, 900.0, 3000.0, 2, 1.5);
    fadeEdges(spool, 0.5, 0.6);
    mixInto(s, spool, 0.15);
    Signal roar = noise(2.5, 171);
    filterSweep(roar, FilterKind::LowPass, 200.0, 900.0, 0.8);
    fadeEdges(roar, 1.2, 0.6);
    mixInto(s, roar, 2.0);
    return finish(s, 0.3);
}

Signal diveSiren()
{
    Signal s = harmonics(2.5, 320.0, 820.0, 6, 1.1);
    filter(s, FilterKind::LowPass, 2500.0);
    amplitudeWobble(s, 7.0, 0.15);
    Signal wind = noise(2.5, 181);
    filterSweep(wind, FilterKind::BandPass, 500.0, 1500.0, 0.8);
    mixInto(s, wind, 0.6);
    fadeEdges(s, 0.4, 0.4);
    normalize(s);
    return s;
}

Signal parachute()
{
    Signal s = mixed(1.6);
    Signal whoomp = noise(0.6, 191);
    filter(whoomp, FilterKind::LowPass, 350.0);
    attackDecay(whoomp, 0.03, 0.15);
    mixInto(s, whoomp, 3.0, 0.15);
    NoiseSource pick(192);
    for (int i = 0; i < 9; ++i) {
        Signal flap = noise(0.08, 193 + i);
        filter(flap, FilterKind::BandPass, 700.0 + 600.0 * pick.uniform(), 1.2);
        attackDecay(flap, 0.003, 0.02);
        mixInto(s, flap, 1.0 - i * 0.08, 0.3 + 0.12 * i);
    }
    Signal rustle = noise(0.25, 205);
    filter(rustle, FilterKind::HighPass, 2000.0);
    fadeEdges(rustle, 0.1, 0.1);
    mixInto(s, rustle, 0.4);
    return finish(s, 0.2);
}

Signal bombRelease()
{
    Signal s = mixed(0.5);
    Signal clunk = noise(0.5, 211);
    filter(clunk, FilterKind::BandPass, 600.0, 1.5);
    attackDecay(clunk, 0.001, 0.04);
    mixInto(s, clunk, 2.0);
    addModes(s, 0.0, {240.0, 410.0, 790.0}, {0.08, 0.05, 0.03}, {0.5, 0.3, 0.15});
    Signal latch = noise(0.05, 212);
    filter(latch, FilterKind::HighPass, 3000.0);
    attackDecay(latch, 0.0005, 0.005);
    mixInto(s, latch, 0.7, 0.08);
    return finish(s, 0.1);
}

Signal bombDropHiss()
{
    Signal s = sine(2.8, 2600.0, 700.0);
    Signal air = noise(2.8, 221);
    filterSweep(air, FilterKind::BandPass, 3000.0, 900.0, 2.0);
    mixInto(s, air, 0.8);
    fadeEdges(s, 0.3, 0.5);
    normalize(s);
    return s;
}

Signal engineExplode(bool jet)
{
    ExplosionShape shape;
    shape.seconds = 2.2;
    shape.brightness = 2500.0;
    shape.bodyDecay = 0.25;
    shape.rumble = 0.35;
    shape.seed = jet ? 231 : 232;
    Signal s = explosion(shape);
    if (jet) {
        Signal wind = harmonics(2.2, 2800.0, 500.0, 2, 1.5);
        attackDecay(wind, 0.05, 0.7);
        mixInto(s, wind, 0.12, 0.05);
    } else {
        // The engine coughs a few times after the bang.
        for (int i = 0; i < 4; ++i) {
            Signal cough = noise(0.12, 233 + i);
            filter(cough, FilterKind::LowPass, 500.0);
            attackDecay(cough, 0.002, 0.03);
            mixInto(s, cough, 0.6 - i * 0.1, 0.5 + 0.22 * i);
        }
    }
    normalize(s);
    return s;
}

Signal splash(double seconds, std::uint32_t seed)
{
    Signal s = noise(seconds, seed);
    filterSweep(s, FilterKind::HighPass, 600.0, 2500.0, 0.7);
    attackDecay(s, 0.03, seconds * 0.3);
    NoiseSource pick(seed + 1);
    for (int i = 0; i < 30; ++i) {
        const double at = seconds * 0.6 * pick.uniform();
        Signal drop = sine(0.05, 1200.0 + 1800.0 * pick.uniform(), 2500.0);
        attackDecay(drop, 0.001, 0.01);
        mixInto(s, drop, 0.15 * (1.0 - at / seconds), at + 0.1);
    }
    return s;
}

Signal waterExplosion(double seconds, std::uint32_t seed, double size)
{
    ExplosionShape shape;
    shape.seconds = seconds;
    shape.brightness = 1200.0;
    shape.body = 0.6;
    shape.rumble = 0.5 * size;
    shape.crackle = 0.0;
    shape.seed = seed;
    Signal s = explosion(shape);
    Signal wash = splash(seconds, seed + 5);
    mixInto(s, wash, 0.7, 0.08);
    return finish(s, 0.4);
}

Signal shipExplosion()
{
    ExplosionShape shape;
    shape.seconds = 3.8;
    shape.kickHertz = 45.0;
    shape.bodyDecay = 0.5;
    shape.rumble = 0.7;
    shape.rumbleDecay = 1.3;
    shape.seed = 251;
    Signal s = explosion(shape);
    // Hull plates groan after the blast.
    Signal groan = harmonics(2.5, 95.0, 70.0, 8, 1.2);
    filter(groan, FilterKind::BandPass, 300.0, 2.0);
    amplitudeWobble(groan, 3.0, 0.5);
    fadeEdges(groan, 0.6, 0.8);
    mixInto(s, groan, 0.35, 0.9);
    return finish(s, 0.5);
}

// Announcer stingers: short brass and bell figures, rising for a gain,
// falling for a loss, growing with the streak.
Signal stinger(const std::vector<int>& notes, double step, double hold)
{
    std::vector<std::pair<int, double>> figure;
    for (int n : notes)
        figure.push_back({n, hold});
    return fanfare(figure, step);
}

std::vector<std::pair<const char*, std::function<Signal()>>> recipes()
{
    return {
        {"jet", jetEngine},
        {"jetfar", jetFar},
        {"propellerPlane", propellerEngine},
        {"missile", missileLaunch},
        {"sonicBoom", sonicBoom},
        {"mg_1", [] { return gunShot(110.0, 1500.0, 301); }},
        {"mg_2", [] { return gunShot(85.0, 1100.0, 302); }},
        {"mg_3", [] { return gunShot(140.0, 2100.0, 303); }},
        {"mgun_no_ammo", dryClick},
        {"lock", lockTone},
        {"warning", missileWarning},
        {"bullet_hit_1", [] { return bulletHit(311, 1450.0); }},
        {"bullet_hit_2", [] { return bulletHit(312, 980.0); }},
        {"bullet_hit_3", [] { return bulletHit(313, 2100.0); }},
        {"bullet_hit_4", [] { return bulletHit(314, 760.0); }},
        {"bullet_pass_by1", [] { return bulletPassBy(3200.0, 1400.0, 321); }},
        {"bullet_pass_by2", [] { return bulletPassBy(2600.0, 1100.0, 322); }},
        {"flares", flares},
        {"alarm", stallAlarm},
        {"airbrake", airbrake},
        {"parachute", parachute},
        {"missilecruise", missileCruise},
        {"bulletHitGlass", glassHit},
        {"bulletHitMetal0", [] { return bulletHit(331, 620.0); }},
        {"bulletHitMetal1", [] { return bulletHit(332, 880.0); }},
        {"click", [] { return blip(0.05, 2200.0, 1900.0, 0.012); }},
        {"clickback", [] { return blip(0.06, 1300.0, 900.0, 0.015); }},
        {"land", landing},
        {"takeoff", takeoff},
        {"seagulls", seagulls},
        {"faint", faintHeartbeat},
        {"score", countingTicks},
        {"medal", [] { return fanfare({{-9, 0.35}, {-5, 0.35}, {-2, 0.35}, {3, 1.2}}, 0.16); }},
        {"msgSound", [] { return chime({note(7), note(14)}, 0.11, 0.25, 0.5); }},
        {"unlock1", [] { return chime({note(3), note(7), note(10), note(15), note(19)}, 0.07, 0.3, 0.8); }},
        {"dive", diveSiren},
        {"bomb_release", bombRelease},
        {"bomb_drop_hiss", bombDropHiss},
        {"engine_explode", [] { return engineExplode(false); }},
        {"engine_explode_jet", [] { return engineExplode(true); }},
        {"wind_plane_1", [] { return windLoop(3.0, 341, 500.0, 1.0); }},
        {"rain", rainLoop},
        {"thunder", thunder},
        {"fxs_expl_air_big", [] { return explosion({3.2, 50.0, 3500.0, 150.0, 0.9, 0.45, 0.6, 1.1, 0.2, 351}); }},
        {"fxs_expl_air_small", [] { return explosion({1.4, 75.0, 4000.0, 300.0, 0.9, 0.18, 0.3, 0.4, 0.1, 352}); }},
        {"fxs_expl_terrain", [] { return explosion({2.6, 55.0, 2500.0, 160.0, 0.8, 0.35, 0.6, 0.8, 0.45, 353}); }},
        {"fxs_expl_water_big", [] { return waterExplosion(3.0, 354, 1.0); }},
        {"fxs_expl_water_small", [] { return waterExplosion(1.6, 355, 0.4); }},
        {"fxs_expl_ship", shipExplosion},
        {"fxs_snd_1", [] { return explosion({1.6, 65.0, 3000.0, 250.0, 0.8, 0.25, 0.4, 0.5, 0.25, 356}); }},
        {"dive_explosion_1", [] { return explosion({2.8, 45.0, 2200.0, 140.0, 0.9, 0.4, 0.7, 1.0, 0.35, 357}); }},
        {"fxs_snd_2", [] { return explosion({1.2, 60.0, 1500.0, 200.0, 0.6, 0.15, 0.5, 0.35, 0.05, 358}); }},
        {"beep", [] { return blip(0.16, 1000.0, 1000.0, 0.08); }},
        {"takenlead", [] { return stinger({-2, 2, 5, 10}, 0.1, 0.4); }},
        {"lostlead", [] { return stinger({5, 1, -2, -7}, 0.12, 0.45); }},
        {"tiedlead", [] { return stinger({0, 0, 7}, 0.12, 0.35); }},
        {"1frag", [] { return stinger({-5, 2}, 0.1, 0.3); }},
        {"2frags", [] { return stinger({-5, 2, 7}, 0.09, 0.3); }},
        {"3frags", [] { return stinger({-5, 2, 7, 14}, 0.08, 0.3); }},
        {"double_kill", [] { return stinger({-3, 4, -3, 4}, 0.09, 0.3); }},
        {"triple_kill", [] { return stinger({-3, 4, 9, -3, 4, 9}, 0.08, 0.3); }},
        {"ultrakill", [] { return stinger({-8, -3, 4, 9, 16}, 0.08, 0.45); }},
        {"rampage", [] { return stinger({-12, -10, -8, -7, -5, 2}, 0.07, 0.5); }},
        {"unstoppable", [] { return stinger({-7, 0, 5, 9, 12, 17}, 0.08, 0.55); }},
        {"godlike", [] { return stinger({-12, -5, 0, 4, 7, 12, 16, 19}, 0.08, 0.7); }},
    };
}

bool buildSounds(DataContext& context)
{
    bool ok = true;
    for (const auto& [name, make] : recipes())
        ok = context.writeFile(std::string("data/sounds/") + name + ".wav", wavBytes(make())) && ok;
    return ok;
}
}  // namespace

SKYFRONT_DATA_STEP(700, "sounds", buildSounds);
