// The sound system's per-frame cost: one Sound::update with 64 playing 3-D
// sources moving about the listener, on OpenAL's loopback device (32 voices,
// so half the sources hold stolen channels, as in a crowded dogfight).
//   build/tests/bench/sound_bench
#include "sound/OpenAlDevice.h"
#include "sound/Sound.h"

#include "platform/File.h"
#include "platform/Log.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {
void writeTone(const std::filesystem::path& path)
{
    const int rate = 22050, frames = rate;
    std::vector<char> bytes;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            bytes.push_back(static_cast<char>(v >> (8 * i)));
    };
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put(36 + frames * 2, 4);
    for (char c : std::string("WAVEfmt "))
        bytes.push_back(c);
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put(frames * 2, 4);
    for (int i = 0; i < frames; ++i)
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 0.3))), 2);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void updateWith64Sources(benchmark::State& state, bool mix)
{
    setLogCapture([](LogLevel, const std::string&, const std::string&) {});
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "sound_bench";
    std::filesystem::create_directories(folder);
    writeTone(folder / "engine.wav");
    setDataRoot(folder.string() + "/");
    auto loopback = OpenAlDevice::openLoopback(44100);
    if (!loopback) {
        state.SkipWithError("no ALC_SOFT_loopback");
        return;
    }
    OpenAlDevice* device = loopback.get();
    if (!Sound::init(std::move(loopback))) {
        state.SkipWithError("sound system did not start");
        return;
    }
    Sound::setMasterVolume(1.0f);
    SoundData* engine = SoundData::load("engine.wav");
    std::vector<SoundSourceBuffered*> sources;
    for (int i = 0; i < 64; ++i) {
        SoundSourceBuffered* source = Sound::createLoopSource3D(engine);
        source->setMinMaxDistance(200.0f, 5000.0f);
        source->play();
        sources.push_back(source);
    }
    std::vector<float> mixBuffer(2 * 735);
    float t = 0.0f;
    for (auto _ : state) {
        t += 1.0f / 60.0f;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const float a = t + static_cast<float>(i);
            sources[i]->set3DAttributes(Vec3{std::cos(a) * 800.0f, 300.0f, std::sin(a) * 800.0f},
                                        Vec3{-std::sin(a) * 200.0f, 0.0f, std::cos(a) * 200.0f});
        }
        Sound::setListener(Vec3{}, Vec3{0, 0, -1}, Vec3{0, 1, 0});
        Sound::update();
        if (mix)
            device->render(mixBuffer.data(), 735);  // one 60 Hz frame of output
    }
    for (SoundSourceBuffered* source : sources)
        delete source;
    Sound::close();
    std::filesystem::remove_all(folder);
    setLogCapture({});
}

void SoundUpdate64Sources(benchmark::State& state) { updateWith64Sources(state, false); }
void SoundUpdateAndMix64Sources(benchmark::State& state) { updateWith64Sources(state, true); }
}  // namespace

BENCHMARK(SoundUpdate64Sources)->Unit(benchmark::kMicrosecond);
BENCHMARK(SoundUpdateAndMix64Sources)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
