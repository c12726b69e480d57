// The game's music, composed here as scores, played by small synthesised
// instruments (strings, horn, bass, drums) with a hall reverb, and encoded to
// MP3 with LAME: the menu's and the end's tunes, a calm patrol theme and a
// driving combat theme that the maps start, and a short danger sting. Each
// looping piece is rendered twice over and the second pass kept, so the end's
// reverb already rings into the start; the sting rings out once.
#include "DataTool.h"
#include "SoundSynth.h"

#include <lame/lame.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {
constexpr double kTau = 6.283185307179586;

// Semitones from A4 of a note name ("A4", "C#5", "Bb3"); rests are "R".
int noteNumber(const std::string& name)
{
    static const int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    int n = kSteps[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#') {
        ++n;
        ++i;
    } else if (name[i] == 'b') {
        --n;
        ++i;
    }
    const int octave = name[i] - '0';
    return n + 12 * octave - 57;
}
double hertzOf(int number) { return 440.0 * std::pow(2.0, number / 12.0); }

struct Note {
    double beat, beats;
    int number;
};

// "D5:1 F#5:0.5 R:1 ..." played one after another from beat 0.
std::vector<Note> melody(const std::string& score)
{
    std::vector<Note> notes;
    std::istringstream in(score);
    std::string token;
    double beat = 0.0;
    while (in >> token) {
        const std::size_t colon = token.find(':');
        const std::string name = token.substr(0, colon);
        const double beats = std::stod(token.substr(colon + 1));
        if (name != "R")
            notes.push_back({beat, beats, noteNumber(name)});
        beat += beats;
    }
    return notes;
}

struct Chord {
    int root;  // semitones from A4, in the bass octave
    bool minor;
    bool major = false;  // a major chord where the key would be minor (E in A minor)
};

// Band-limited sawtooth by polyBLEP: rich enough for strings and brass.
double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

class Stereo {
public:
    explicit Stereo(double seconds) : left(framesOf(seconds, kMusicRate), 0.0), right(left.size(), 0.0) {}
    void add(std::size_t i, double v, double pan)  // pan -1 left .. 1 right
    {
        if (i >= left.size())
            return;
        left[i] += v * std::sqrt(0.5 * (1.0 - pan));
        right[i] += v * std::sqrt(0.5 * (1.0 + pan));
    }
    Signal left, right;
};

// One sawtooth voice through a low-pass whose cut-off follows an envelope.
void playSaw(Stereo& out, double start, double seconds, double hertz, double gain, double pan, double attack,
             double release, double cutoff, double cutoffPeak, double vibrato, double detune)
{
    const std::size_t first = framesOf(start, kMusicRate);
    const std::size_t length = framesOf(seconds + release, kMusicRate);
    double phase = 0.0, low1 = 0.0, low2 = 0.0;
    for (std::size_t k = 0; k < length; ++k) {
        const double t = static_cast<double>(k) / kMusicRate;
        const double wobble = t > 0.25 ? vibrato * std::sin(kTau * 5.2 * t) : 0.0;
        const double f = hertz * (1.0 + detune + wobble);
        const double dt = f / kMusicRate;
        double v = 2.0 * phase - 1.0 - polyBlep(phase, dt);
        phase += dt;
        if (phase >= 1.0)
            phase -= 1.0;
        const double a = std::min(t / attack, 1.0);
        const double r = t > seconds ? std::max(0.0, 1.0 - (t - seconds) / release) : 1.0;
        const double env = a * r;
        // Brass opens up as it sounds; strings keep a steady colour.
        const double fc = cutoff + (cutoffPeak - cutoff) * a * std::exp(-t * 2.0);
        const double alpha = 1.0 - std::exp(-kTau * fc / kMusicRate);
        low1 += alpha * (v - low1);
        low2 += alpha * (low1 - low2);
        out.add(first + k, low2 * env * gain, pan);
    }
}

void playBass(Stereo& out, double start, double seconds, double hertz, double gain)
{
    const std::size_t first = framesOf(start, kMusicRate);
    const std::size_t length = framesOf(seconds + 0.1, kMusicRate);
    for (std::size_t k = 0; k < length; ++k) {
        const double t = static_cast<double>(k) / kMusicRate;
        const double env = std::min(t / 0.01, 1.0) * std::exp(-t / (seconds * 0.8)) *
                           (t > seconds ? std::max(0.0, 1.0 - (t - seconds) / 0.1) : 1.0);
        const double p = kTau * hertz * t;
        out.add(first + k, gain * env * (std::sin(p) + 0.35 * std::sin(2 * p) + 0.12 * std::sin(3 * p)), 0.0);
    }
}

void playDrum(Stereo& out, double start, double gain, double pitch, double tone, double snap, double decay,
              std::uint32_t seed, double pan)
{
    Signal hit = noise(decay * 5.0, seed, kMusicRate);
    filter(hit, FilterKind::BandPass, pitch * 9.0, 0.8, kMusicRate);
    Signal body = sine(decay * 5.0, pitch * 1.5, pitch, kMusicRate);
    const std::size_t first = framesOf(start, kMusicRate);
    for (std::size_t k = 0; k < hit.size(); ++k) {
        const double t = static_cast<double>(k) / kMusicRate;
        const double v = (snap * hit[k] * std::exp(-t / (decay * 0.4)) + tone * body[k] * std::exp(-t / decay));
        out.add(first + k, gain * std::min(t / 0.002, 1.0) * v, pan);
    }
}

// A small hall: parallel damped combs into series all-passes, per side.
void reverb(Signal& s, double wet, int offset)
{
    const std::array<int, 4> combLengths = {1557 + offset, 1617 + offset, 1491 + offset, 1422 + offset};
    const std::array<int, 2> allLengths = {225 + offset / 4, 556 + offset / 4};
    Signal out(s.size(), 0.0);
    for (int length : combLengths) {
        std::vector<double> line(static_cast<std::size_t>(length), 0.0);
        double damp = 0.0;
        std::size_t at = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const double y = line[at];
            damp = y * 0.6 + damp * 0.4;
            line[at] = s[i] + damp * 0.82;
            at = (at + 1) % line.size();
            out[i] += y * 0.25;
        }
    }
    for (int length : allLengths) {
        std::vector<double> line(static_cast<std::size_t>(length), 0.0);
        std::size_t at = 0;
        for (double& v : out) {
            const double delayed = line[at];
            line[at] = v + delayed * 0.5;
            v = delayed - v * 0.5;
            at = (at + 1) % line.size();
        }
    }
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = s[i] * (1.0 - wet) + out[i] * wet;
}

enum class Beat {
    March,  // snare on 2 and 4
    Swell,  // timpani, with a roll into every fourth bar
    Drive,  // march drums over a bass pulsing in eighths
    Calm,   // soft strings and bass, a timpani stroke every fourth bar
    Sting,  // a timpani roll into one hit
};

struct Piece {
    const char* file;
    double bpm;
    std::vector<Chord> chords;  // one per bar
    std::string lead;
    Beat beat;
    bool loops = true;
    double level = 0.89;  // peak
};

Stereo render(const Piece& piece)
{
    const double beat = 60.0 / piece.bpm;
    const double bar = 4 * beat;
    const double loop = bar * static_cast<double>(piece.chords.size());
    // A sting plays once and rings out; a loop is played twice.
    const double tail = piece.loops ? 0.0 : 2.5;
    Stereo out(piece.loops ? 2 * loop : loop + tail);
    const std::vector<Note> lead = melody(piece.lead);
    const bool calm = piece.beat == Beat::Calm;
    for (int pass = 0; pass < (piece.loops ? 2 : 1); ++pass) {
        const double base = pass * loop;
        for (std::size_t b = 0; b < piece.chords.size(); ++b) {
            const Chord& chord = piece.chords[b];
            const double at = base + b * bar;
            const int third = chord.minor && !chord.major ? 3 : 4;
            // Strings: the chord in close position around middle C, two detuned
            // voices each; calm strings swell in slowly and darker.
            const double attack = calm ? 0.9 : 0.35, colour = calm ? 1000.0 : 1400.0;
            for (int interval : {12, 12 + third, 19}) {
                const double f = hertzOf(chord.root + interval);
                playSaw(out, at, bar, f, 0.05, -0.5, attack, 0.5, colour, colour, 0.0, -0.004);
                playSaw(out, at, bar, f, 0.05, 0.5, attack, 0.5, colour, colour, 0.0, 0.004);
            }
            if (piece.beat == Beat::Drive) {
                // Bass in eighths, the octave on the off-beats.
                for (int k = 0; k < 8; ++k)
                    playBass(out, at + k * beat / 2, beat * 0.4, hertzOf(chord.root - 12 + (k % 2 ? 12 : 0)),
                             k % 2 ? 0.13 : 0.22);
            } else if (calm) {
                playBass(out, at, beat * 3.6, hertzOf(chord.root - 12), 0.2);
            } else {
                // Bass: root on 1 and 3, fifth on the "and" of 4.
                playBass(out, at, beat * 1.8, hertzOf(chord.root - 12), 0.28);
                playBass(out, at + 2 * beat, beat * 1.4, hertzOf(chord.root - 12), 0.22);
                playBass(out, at + 3.5 * beat, beat * 0.45, hertzOf(chord.root - 5), 0.18);
            }
            if (piece.beat == Beat::Calm) {
                if (b % 4 == 0)
                    playDrum(out, at, 0.3, 48.0, 1.0, 0.05, 0.8, 9 + b, -0.1);
            } else if (piece.beat == Beat::Sting) {
                if (b == 0)
                    for (int k = 0; k < 12; ++k)
                        playDrum(out, at + k * beat / 3, 0.05 + 0.035 * k, 50.0, 1.0, 0.15, 0.3, 700 + k, -0.1);
                else
                    playDrum(out, at, 0.7, 45.0, 1.0, 0.3, 1.0, 720 + b, -0.1);
            } else if (piece.beat == Beat::March || piece.beat == Beat::Drive) {
                if (piece.beat == Beat::Drive)
                    playDrum(out, at + 2.5 * beat, 0.35, 55.0, 1.0, 0.3, 0.2, 900 + b, 0.0);
                playDrum(out, at, 0.5, 55.0, 1.0, 0.3, 0.25, 7 + b, 0.0);
                for (int k : {1, 3})
                    playDrum(out, at + k * beat, 0.28, 190.0, 0.4, 1.0, 0.12, 100 + 4 * b + k, 0.15);
                playDrum(out, at + 3.75 * beat, 0.12, 190.0, 0.2, 1.0, 0.06, 300 + b, 0.15);
            } else {
                playDrum(out, at, 0.55, 50.0, 1.0, 0.15, 0.6, 9 + b, -0.1);
                if (b % 4 == 3)
                    for (int k = 0; k < 8; ++k)
                        playDrum(out, at + 2 * beat + k * beat / 4, 0.08 + 0.03 * k, 50.0, 1.0, 0.15, 0.3,
                                 500 + 8 * b + k, -0.1);
            }
        }
        for (const Note& n : lead) {
            const double f = hertzOf(n.number);
            const double start = base + n.beat * beat, length = n.beats * beat * 0.95;
            // The calm theme's horn plays soft and mellow, the others' bright.
            if (calm) {
                playSaw(out, start, length, f, 0.13, 0.1, 0.12, 0.3, 700.0, 1600.0, 0.005, 0.0);
                playSaw(out, start, length, f * 0.5, 0.04, 0.1, 0.12, 0.3, 500.0, 900.0, 0.005, 0.002);
            } else {
                playSaw(out, start, length, f, 0.16, 0.1, 0.04, 0.18, 900.0, 3200.0, 0.006, 0.0);
                playSaw(out, start, length, f * 0.5, 0.05, 0.1, 0.04, 0.18, 700.0, 1600.0, 0.006, 0.002);
            }
        }
    }
    reverb(out.left, 0.28, 0);
    reverb(out.right, 0.28, 23);
    // Keep the second pass: it starts with the first pass's tails ringing.
    Stereo kept(piece.loops ? loop : loop + tail);
    const std::size_t skip = out.left.size() - kept.left.size();
    std::copy(out.left.begin() + static_cast<std::ptrdiff_t>(skip), out.left.end(), kept.left.begin());
    std::copy(out.right.begin() + static_cast<std::ptrdiff_t>(skip), out.right.end(), kept.right.begin());
    double loudest = 0.0;
    for (std::size_t i = 0; i < kept.left.size(); ++i)
        loudest = std::max({loudest, std::abs(kept.left[i]), std::abs(kept.right[i])});
    for (std::size_t i = 0; i < kept.left.size(); ++i) {
        kept.left[i] *= piece.level / loudest;
        kept.right[i] *= piece.level / loudest;
    }
    return kept;
}

// MP3 at 160 kbit/s joint stereo with a LAME tag, so decoders drop the
// encoder's padding and the loop stays gapless.
bool encodeMp3(const Stereo& music, std::vector<std::uint8_t>& out)
{
    lame_global_flags* lame = lame_init();
    if (!lame)
        return false;
    lame_set_in_samplerate(lame, kMusicRate);
    lame_set_out_samplerate(lame, kMusicRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, 160);
    lame_set_quality(lame, 3);
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    const std::vector<std::int16_t> left = toPcm16(music.left), right = toPcm16(music.right);
    std::vector<std::int16_t> interleaved(2 * left.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    constexpr int kChunk = 8192;
    std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
    bool ok = true;
    for (std::size_t i = 0; i < left.size() && ok; i += kChunk) {
        const int frames = static_cast<int>(std::min<std::size_t>(kChunk, left.size() - i));
        const int bytes = lame_encode_buffer_interleaved(lame, interleaved.data() + 2 * i, frames, buffer.data(),
                                                         static_cast<int>(buffer.size()));
        ok = bytes >= 0;
        if (ok)
            out.insert(out.end(), buffer.begin(), buffer.begin() + bytes);
    }
    const int flushed = ok ? lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size())) : -1;
    ok = ok && flushed >= 0;
    if (ok) {
        out.insert(out.end(), buffer.begin(), buffer.begin() + flushed);
        // The first frame was kept free for the tag, which is known only now.
        const std::size_t tag = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
        if (tag > 0 && tag <= out.size())
            std::copy(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(tag), out.begin());
    }
    lame_close(lame);
    return ok;
}

const std::vector<Piece>& pieces()
{
    // Chord roots in semitones from A4, placed in the bass octave (A2 = -24).
    constexpr int A = -24, Bb = -23, B = -22, C = -21, D = -19, E = -17, F = -16, G = -14, Fs = -15;
    static const std::vector<Piece> all = {
        {"data/sounds/music/a_hero_returns.mp3", 100.0,
         {{D, false}, {B, true}, {G, false}, {A, false}, {D, false}, {Fs, true}, {G, false}, {A, false},
          {B, true}, {G, false}, {D, false}, {A, false}, {G, false}, {A, false}, {D, false}, {A, false}},
         "A4:1 D5:1 E5:0.5 F#5:1.5 "
         "F#5:1 E5:1 D5:1 B4:1 "
         "G4:1.5 B4:0.5 D5:1 G5:1 "
         "F#5:1 E5:2 A4:1 "
         "A4:1 D5:1 F#5:1 A5:1 "
         "A5:1.5 F#5:0.5 E5:1 C#5:1 "
         "D5:1 B4:1 G5:1.5 F#5:0.5 "
         "E5:3 R:1 "
         "B4:1 D5:1 F#5:1.5 E5:0.5 "
         "D5:1 B4:1 G4:2 "
         "A4:1 D5:1 F#5:1 A5:1 "
         "G5:1 F#5:1 E5:2 "
         "D5:1 E5:1 G5:1 B5:1 "
         "A5:2 G5:1 E5:1 "
         "F#5:1.5 E5:0.5 D5:2 "
         "C#5:1 E5:1 A4:2",
         Beat::March},
        {"data/sounds/music/courage_1.mp3", 84.0,
         {{A, true}, {F, false}, {C, false}, {G, false}, {A, true}, {F, false}, {G, false}, {E, true, true},
          {F, false}, {G, false}, {C, false}, {A, true}, {F, false}, {G, false}, {A, true}, {E, true, true}},
         "A4:1 C5:1 E5:2 "
         "F5:1 E5:1 C5:2 "
         "E5:1 G5:1 C6:1.5 B5:0.5 "
         "B5:1 A5:1 G5:2 "
         "A5:1.5 G5:0.5 E5:1 C5:1 "
         "D5:1 C5:1 A4:2 "
         "B4:1 D5:1 G5:1 F5:1 "
         "E5:3 R:1 "
         "C5:1 F5:1 A5:2 "
         "B5:1 A5:1 G5:2 "
         "G5:1 E5:1 C5:1 E5:1 "
         "A5:2 E5:2 "
         "F5:1 A5:1 C6:2 "
         "B5:1 G5:1 D5:2 "
         "C5:1 B4:1 A4:2 "
         "G#4:2 B4:1 E5:1",
         Beat::Swell},
        // Flying out: a slow, open tune in F over soft strings.
        {"data/sounds/music/high_patrol.mp3", 80.0,
         {{F, false}, {C, false}, {D, true}, {Bb, false}, {F, false}, {A, true}, {Bb, false}, {C, false},
          {D, true}, {Bb, false}, {F, false}, {C, false}, {Bb, false}, {C, false}, {F, false}, {F, false}},
         "A4:1.5 C5:0.5 F5:2 "
         "E5:1 D5:1 C5:2 "
         "D5:1 F5:1 A5:1.5 G5:0.5 "
         "F5:3 R:1 "
         "C5:1 F5:1 A5:2 "
         "G5:1 E5:1 C5:2 "
         "D5:1 F5:1 Bb5:1.5 A5:0.5 "
         "G5:3 R:1 "
         "A5:1.5 G5:0.5 F5:1 D5:1 "
         "F5:1 D5:1 Bb4:2 "
         "C5:1 F5:1 A5:1 C6:1 "
         "Bb5:1.5 A5:0.5 G5:2 "
         "F5:1 G5:1 A5:1 Bb5:1 "
         "C6:2 E5:2 "
         "F5:3 C5:1 "
         "A4:2 R:2",
         Beat::Calm},
        // The fight: E minor, fast, over a bass pulsing in eighths.
        {"data/sounds/music/into_the_fray.mp3", 138.0,
         {{E, true}, {C, false}, {D, false}, {B, false}, {E, true}, {C, false}, {A, true}, {B, false},
          {C, false}, {D, false}, {E, true}, {C, false}, {A, true}, {B, false}, {E, true}, {B, false}},
         "E5:0.5 E5:0.5 G5:0.5 B5:1.5 A5:0.5 G5:0.5 "
         "E5:1 G5:0.5 C6:1.5 B5:0.5 A5:0.5 "
         "F#5:1 A5:1 D6:1 C6:0.5 A5:0.5 "
         "B5:2 D#5:1 F#5:1 "
         "E5:0.5 G5:0.5 B5:1 E6:1.5 D6:0.5 "
         "C6:1 B5:0.5 A5:0.5 G5:1 E5:1 "
         "A5:1 C6:1 E6:1 C6:1 "
         "B5:3 R:1 "
         "G5:1 E5:0.5 G5:0.5 C6:2 "
         "A5:1 F#5:0.5 A5:0.5 D6:2 "
         "B5:1 G5:0.5 B5:0.5 E6:1 D6:1 "
         "C6:1.5 B5:0.5 A5:1 G5:1 "
         "A5:1 E5:1 A5:1 C6:1 "
         "B5:1 F#5:1 B5:1 D#6:1 "
         "E6:2 B5:1 G5:1 "
         "F#5:1 A5:1 D#5:1 B4:1",
         Beat::Drive},
        // More of them: a roll into a dark chord, under the engines' roar.
        {"data/sounds/music/danger_sting.mp3", 96.0,
         {{D, true}, {A, false}},
         "D5:0.5 F5:0.5 A5:1 G#5:2 A5:4",
         Beat::Sting, false, 0.6},
    };
    return all;
}

bool buildMusic(DataContext& context)
{
    bool ok = true;
    for (const Piece& piece : pieces()) {
        std::vector<std::uint8_t> mp3;
        if (!encodeMp3(render(piece), mp3)) {
            context.error(std::string("cannot encode ") + piece.file);
            ok = false;
            continue;
        }
        ok = context.writeFile(piece.file, mp3) && ok;
    }
    return ok;
}
}  // namespace

SKYFRONT_DATA_STEP(710, "music", buildMusic);
