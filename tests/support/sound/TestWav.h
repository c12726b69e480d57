#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// WAV files built in memory for the decoder and system tests.
inline void putLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// 16-bit samples written as 16- or 8-bit PCM.
inline std::string makeWav(int rate, int channels, int bits, const std::vector<std::int16_t>& samples,
                           int formatTag = 1)
{
    std::string data;
    for (std::int16_t s : samples) {
        if (bits == 16)
            putLe(data, static_cast<std::uint16_t>(s), 2);
        else
            data.push_back(static_cast<char>((s >> 8) + 128));
    }
    std::string out = "RIFF";
    putLe(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, static_cast<std::uint32_t>(formatTag), 2);
    putLe(out, static_cast<std::uint32_t>(channels), 2);
    putLe(out, static_cast<std::uint32_t>(rate), 4);
    putLe(out, static_cast<std::uint32_t>(rate * channels * bits / 8), 4);
    putLe(out, static_cast<std::uint32_t>(channels * bits / 8), 2);
    putLe(out, static_cast<std::uint32_t>(bits), 2);
    out += "data";
    putLe(out, static_cast<std::uint32_t>(data.size()), 4);
    return out + data;
}

inline std::vector<std::int16_t> tone(double hertz, int rate, int frames, double amplitude = 0.5)
{
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        out[i] = static_cast<std::int16_t>(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hertz * i / rate)));
    return out;
}
