#include "sound/AudioDevice.h"
#include "sound/SoundTable.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include "platform/File.h"
#include "platform/Pak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {
// The data tool's sounds, read through an empty data root and save folder so
// that everything comes from the pak alone.
struct StagedSounds : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    void SetUp() override { ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")); }
};

bool isLoop(const std::string& name)
{
    for (const char* loop : {"jet", "jetfar", "propellerPlane", "wind_plane_1", "lock", "warning", "alarm",
                             "airbrake", "seagulls", "faint", "score", "rain", "missilecruise"})
        if (name == loop)
            return true;
    return false;
}

TEST_F(StagedSounds, EveryTableSoundDecodesWholeAndLoopsJoinSmoothly)
{
    for (const char* name : kSoundFileNames) {
        const std::string path = std::string(kSoundFolder) + name + ".wav";
        PcmBuffer pcm;
        ASSERT_TRUE(decodeWhole(openFile(path), pcm)) << path;
        EXPECT_EQ(pcm.channels, 1) << path;
        EXPECT_GE(pcm.frames(), static_cast<std::size_t>(pcm.rate / 50)) << path;
        const auto loudest = std::max_element(pcm.samples.begin(), pcm.samples.end(),
                                              [](int a, int b) { return std::abs(a) < std::abs(b); });
        EXPECT_GT(std::abs(*loudest), 3000) << path << " is nearly silent";
        EXPECT_LT(std::abs(*loudest), 32767) << path << " clips";
        if (!isLoop(name))
            continue;
        // The step from the last sample back to the first is no larger than
        // the steps inside the sound: no click at the loop point.
        int largestStep = 0;
        for (std::size_t i = 1; i < pcm.samples.size(); ++i)
            largestStep = std::max(largestStep, std::abs(pcm.samples[i] - pcm.samples[i - 1]));
        EXPECT_LE(std::abs(pcm.samples.front() - pcm.samples.back()), largestStep) << path;
        EXPECT_GE(pcm.frames(), static_cast<std::size_t>(pcm.rate / 2)) << path << " loops too short";
    }
}

TEST_F(StagedSounds, BothMusicPiecesDecodeWhole)
{
    for (const char* name : {kMenuMusic, kEndMusic}) {
        PcmBuffer pcm;
        ASSERT_TRUE(decodeWhole(openFile(name), pcm)) << name;
        EXPECT_EQ(pcm.channels, 2) << name;
        EXPECT_EQ(pcm.rate, 44100) << name;
        EXPECT_GE(pcm.frames(), 30u * 44100u) << name;
    }
}
}  // namespace
