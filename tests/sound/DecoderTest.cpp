#include "sound/AudioDevice.h"

#include "support/sound/TestWav.h"
#include "platform/File.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
std::unique_ptr<File> fileOf(const std::string& bytes)
{
    return std::make_unique<FileBuffer>(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

TEST(WavDecoding, ReadsEightAndSixteenBitMonoAndStereo)
{
    const std::vector<std::int16_t> samples = {0, 1000, -1000, 32767, -32768, 256};
    PcmBuffer pcm;
    ASSERT_TRUE(decodeWhole(fileOf(makeWav(22050, 1, 16, samples)), pcm));
    EXPECT_EQ(pcm.rate, 22050);
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.samples, samples);

    ASSERT_TRUE(decodeWhole(fileOf(makeWav(8000, 2, 16, samples)), pcm));
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.frames(), 3u);

    ASSERT_TRUE(decodeWhole(fileOf(makeWav(8000, 1, 8, samples)), pcm));
    EXPECT_EQ(pcm.samples[3], 32512);  // 8-bit keeps the top byte
    EXPECT_EQ(pcm.samples[4], -32768);
}

TEST(WavDecoding, SkipsUnknownChunksWithTheirPadding)
{
    std::string wav = makeWav(8000, 1, 16, {5, 6, 7});
    // An odd-sized chunk before "fmt ": its pad byte must be skipped too.
    wav.insert(12, std::string("LIST\x03\x00\x00\x00" "abc\x00", 12));
    PcmBuffer pcm;
    ASSERT_TRUE(decodeWhole(fileOf(wav), pcm));
    EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{5, 6, 7}));
}

TEST(WavDecoding, TruncatedDataPlaysWhatIsThere)
{
    const std::string wav = makeWav(8000, 1, 16, {1, 2, 3, 4});
    PcmBuffer pcm;
    ASSERT_TRUE(decodeWhole(fileOf(wav.substr(0, wav.size() - 3)), pcm));
    EXPECT_EQ(pcm.samples, (std::vector<std::int16_t>{1, 2}));
    EXPECT_FALSE(decodeWhole(fileOf(wav.substr(0, 40)), pcm));  // header only: no frame
}

TEST(WavDecoding, RefusesFormatsItCannotPlay)
{
    PcmBuffer pcm;
    EXPECT_FALSE(decodeWhole(fileOf(makeWav(8000, 1, 16, {1, 2}, 3)), pcm));   // float tag
    EXPECT_FALSE(decodeWhole(fileOf(makeWav(8000, 3, 16, {1, 2, 3})), pcm));   // three channels
    EXPECT_FALSE(decodeWhole(fileOf(makeWav(8000, 1, 24, {1, 2, 3})), pcm));   // 24-bit
    EXPECT_FALSE(decodeWhole(fileOf(makeWav(0, 1, 16, {1, 2})), pcm));         // no rate
    EXPECT_FALSE(decodeWhole(fileOf("RIFF\x04\x00\x00\x00WAVE"), pcm));         // no chunks
    EXPECT_FALSE(decodeWhole(fileOf(""), pcm));
    EXPECT_FALSE(decodeWhole(nullptr, pcm));
    EXPECT_FALSE(decodeWhole(fileOf(std::string(4000, '\x55')), pcm));         // neither WAV nor MP3
}

TEST(WavDecoding, MaxFramesBoundsTheDecodedLength)
{
    PcmBuffer pcm;
    ASSERT_TRUE(decodeWhole(fileOf(makeWav(8000, 1, 16, tone(100, 8000, 9000))), pcm, 5000));
    EXPECT_EQ(pcm.frames(), 5000u);
}

TEST(WavDecoding, StreamRewindsToTheFirstFrame)
{
    auto decoder = openDecoder(fileOf(makeWav(8000, 1, 16, {9, 8, 7})));
    ASSERT_NE(decoder, nullptr);
    std::int16_t out[4] = {};
    EXPECT_EQ(decoder->read(out, 4), 3u);
    EXPECT_EQ(decoder->read(out, 4), 0u);
    ASSERT_TRUE(decoder->rewind());
    EXPECT_EQ(decoder->read(out, 2), 2u);
    EXPECT_EQ(out[0], 9);
}

// The fuzz entry on damaged forms of good files: every prefix-length class,
// flipped bytes in the header and the staged music's first frames.
TEST(SoundFuzzCorpus, DamagedFilesNeverCrashTheDecoders)
{
    std::vector<std::string> seeds = {makeWav(8000, 1, 16, tone(440, 8000, 800)),
                                      makeWav(44100, 2, 8, tone(440, 44100, 400))};
    const std::filesystem::path music = SKYFRONT_STAGE_DIR "/data/sounds/music/courage_1.mp3";
    if (std::ifstream in{music, std::ios::binary}) {
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        seeds.push_back(bytes.substr(0, 16384));
    }
    std::uint32_t random = 12345;
    for (const std::string& seed : seeds) {
        for (std::size_t cut = 0; cut < seed.size(); cut += 1 + cut / 4)
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(seed.data()), cut);
        for (int i = 0; i < 200; ++i) {
            std::string damaged = seed;
            for (int flips = 0; flips < 4; ++flips) {
                random = random * 1664525u + 1013904223u;
                const std::size_t at = (random >> 8) % std::min<std::size_t>(damaged.size(), 64 + i * 50);
                damaged[at] = static_cast<char>(random >> 24);
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(damaged.data()), damaged.size());
        }
    }
}
}  // namespace
