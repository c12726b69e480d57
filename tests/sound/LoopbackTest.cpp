#include "sound/OpenAlDevice.h"
#include "sound/Sound.h"

#include "support/sound/TestWav.h"
#include "support/TempDir.h"
#include "support/TestPak.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr int kRate = 44100;

// OpenAL Soft mixing into memory: real output levels, no device needed.
struct Loopback : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    OpenAlDevice* device = nullptr;
    SoundData* tone1k = nullptr;

    void SetUp() override
    {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        data.write("tone.wav", makeWav(kRate, 1, 16, tone(1000.0, kRate, kRate)));
        auto loopback = OpenAlDevice::openLoopback(kRate);
        if (!loopback)
            GTEST_SKIP() << "OpenAL has no ALC_SOFT_loopback";
        device = loopback.get();
        ASSERT_TRUE(Sound::init(std::move(loopback)));
        Sound::setMasterVolume(1.0f);
        Sound::setListener(Vec3{}, Vec3{0, 0, -1}, Vec3{0, 1, 0});
        tone1k = SoundData::load("tone.wav");
        ASSERT_NE(tone1k, nullptr);
    }
    void TearDown() override
    {
        Sound::close();
        setLogCapture({});
    }

    // Root mean square of both output channels over a tenth of a second,
    // after a short settling stretch that the mixer may ramp through.
    double renderLevel()
    {
        std::vector<float> out(2 * 4410);
        device->render(out.data(), 441);
        device->render(out.data(), 4410);
        double sum = 0.0;
        for (float v : out)
            sum += static_cast<double>(v) * v;
        return std::sqrt(sum / static_cast<double>(out.size()));
    }
    static double decibels(double level, double reference) { return 20.0 * std::log10(level / reference); }
};

TEST_F(Loopback, ThreeDimensionalLevelsFollowTheInverseRollOff)
{
    SoundSourceBuffered* flat = Sound::createSource2D(tone1k, true);
    flat->play();
    const double flatLevel = renderLevel();
    ASSERT_GT(flatLevel, 0.05);
    flat->stop();

    SoundSourceBuffered* placed = Sound::createLoopSource3D(tone1k);
    placed->setMinMaxDistance(10.0f, 100.0f);
    placed->set3DAttributes(Vec3{0, 0, -10}, Vec3{});
    placed->play();
    const double atMin = renderLevel();
    EXPECT_NEAR(decibels(atMin, flatLevel), 0.0, 1.0);
    placed->set3DAttributes(Vec3{0, 0, -20}, Vec3{});
    EXPECT_NEAR(decibels(renderLevel(), atMin), -6.02, 1.0);
    // Beyond the maximum the level holds at min / max.
    placed->set3DAttributes(Vec3{0, 0, -300}, Vec3{});
    EXPECT_NEAR(decibels(renderLevel(), atMin), -20.0, 1.0);
    // Inside the minimum it is not louder.
    placed->set3DAttributes(Vec3{0, 0, -2}, Vec3{});
    EXPECT_NEAR(decibels(renderLevel(), atMin), 0.0, 1.0);
    delete flat;
    delete placed;
}

TEST_F(Loopback, VolumesAboveOneAmplifyAndMasterVolumeZeroIsSilence)
{
    SoundSourceBuffered* flat = Sound::createSource2D(tone1k, true);
    flat->setVolume(0.5f);
    flat->play();
    const double half = renderLevel();
    flat->setVolume(1.0f);
    EXPECT_NEAR(decibels(renderLevel(), half), 6.02, 1.0);
    Sound::setMasterVolume(0.0f);
    EXPECT_LT(renderLevel(), 1e-6);
    delete flat;
}

TEST_F(Loopback, PauseThenResumeGoesOnAtTheSameSampleOffset)
{
    SoundSourceBuffered* flat = Sound::createSource2D(tone1k, false);
    flat->play();
    renderLevel();
    Sound::pauseAll();
    const std::uint32_t pausedAt = device->positionMs(flat->channel());
    EXPECT_NEAR(pausedAt, 4851u * 1000u / kRate, 1.0);
    EXPECT_LT(renderLevel(), 1e-6);
    EXPECT_EQ(device->positionMs(flat->channel()), pausedAt);
    Sound::resumeAll();
    EXPECT_EQ(device->positionMs(flat->channel()), pausedAt);
    EXPECT_GT(renderLevel(), 0.05);
    EXPECT_NEAR(device->positionMs(flat->channel()), pausedAt + 110u, 1.0);
    delete flat;
}

TEST_F(Loopback, OneShotEndsAndIsDeleted)
{
    Sound::createSource3D(tone1k, Vec3{0, 0, -1});
    const std::size_t sources = SoundSource::count();
    std::vector<float> out(2 * kRate);
    device->render(out.data(), kRate / 2);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), sources);
    device->render(out.data(), kRate);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), sources - 1);
}

TEST_F(Loopback, StreamedMusicLoopsWithoutGaps)
{
    data.write("music.mp3", makeWav(kRate, 2, 16, tone(500.0, kRate, 2 * 3000)));  // 3000 stereo frames
    SoundSourceStreamed* music = globalSources().music;
    music->open("music.mp3");
    ASSERT_TRUE(music->isPlaying());
    // Many times the file's length, updated like frames of a game.
    std::vector<float> out(2 * 735);
    double quietest = 1.0;
    for (int frame = 0; frame < 60; ++frame) {
        Sound::update();
        device->render(out.data(), 735);
        double sum = 0.0;
        for (float v : out)
            sum += static_cast<double>(v) * v;
        if (frame > 0)
            quietest = std::min(quietest, std::sqrt(sum / out.size()));
    }
    EXPECT_GT(quietest, 0.05);
    EXPECT_TRUE(music->isPlaying());
}
}  // namespace
