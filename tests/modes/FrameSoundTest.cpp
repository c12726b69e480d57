#include "ModeTestKit.h"

#include "modes/ModeServices.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"
#include "support/sound/RecordingSound.h"

namespace {
struct RainScene : IModeScene {
    int mode = 0;
    int weatherMode() const override { return mode; }
    void setWeather(int m, float, float) override { mode = m; }
};

// The frame's own sounds, heard on the recording device.
struct FrameSound : ModeKit {
    RecordingSound sound{"alarm", "warning", "rain", "thunder", "jet", "jetfar"};
};

TEST_F(FrameSound, TheStallAlarmSoundsWhenSlowAndFallsSilentWhenPlayStops)
{
    ASSERT_TRUE(sound.started());
    Airplane* player = airplane(0, {0, 2000, 0});
    mode->setPlayerAirplane(player);
    player->setSpeed(plane.pStallSpeed + 5.0f);
    mode->update(1.0f / 60.0f);
    const GlobalSources& g = globalSources();
    ASSERT_NE(g.alarm, nullptr);
    EXPECT_TRUE(g.alarm->isPlaying());
    EXPECT_EQ(sound.playCount("alarm"), 1);
    mode->update(1.0f / 60.0f);
    EXPECT_EQ(sound.playCount("alarm"), 1);  // started once, not every frame

    mode->playStopped = true;
    mode->update(1.0f / 60.0f);
    EXPECT_FALSE(g.alarm->isPlaying());
    EXPECT_FALSE(g.jet->isPlaying());
}

TEST_F(FrameSound, RainPlaysWhileTheSceneRainsAndThunderFollows)
{
    ASSERT_TRUE(sound.started());
    RainScene scene;
    connectServices(ModeServices{&scene, nullptr, nullptr});
    mode->setPlayerAirplane(airplane(0, {0, 2000, 0}));
    mode->startWeather(1, 2.0f);
    step(13.0f);  // the first thunder comes 12 s into the rain
    EXPECT_TRUE(globalSources().rain->isPlaying());
    EXPECT_EQ(sound.playCount("thunder"), 1);
    mode->startWeather(0, 0.0f);
    mode->update(1.0f / 60.0f);
    EXPECT_FALSE(globalSources().rain->isPlaying());
}
}  // namespace
