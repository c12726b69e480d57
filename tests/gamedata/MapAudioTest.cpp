#include "support/gamedata/MapTestHooks.h"

#include "support/sound/FakeAudioDevice.h"
#include "support/sound/TestWav.h"
#include "gamedata/map/MapLoader.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "sound/Sound.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"
#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

namespace {

// A world without its own audio hook plays trigger music and sounds through
// the sound system.
struct TriggerSound : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    FakeAudioDevice* fake = nullptr;

    void SetUp() override
    {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        data.write("data/sounds/bell.wav", makeWav(1000, 1, 16, tone(50, 1000, 1000)));
        data.write("data/sounds/music/march.mp3", makeWav(1000, 2, 16, tone(50, 1000, 2000)));
        auto device = std::make_unique<FakeAudioDevice>();
        fake = device.get();
        ASSERT_TRUE(Sound::init(std::move(device)));
    }
    void TearDown() override
    {
        Sound::close();
        settings().soundOn = settings().musicOn = 1;
        setLogCapture({});
    }
    void fire(const char* actions)
    {
        GameWorld world;
        world.init();
        ASSERT_TRUE(MapLoader::loadEdtText(
            world, std::string("MapTrigger { name \"t\" condition Timer exec [ ") + actions + " ] }", "t.edt"));
        world.applySunAndFog(0.1f);
    }
};

TEST_F(TriggerSound, SoundsPlayOnSelfDeletingSourcesAndMusicOnTheMusicSource)
{
    const std::size_t before = SoundSource::count();
    fire(R"(TriggerAction { type Sound text "data/sounds/bell.wav data/sounds/bell.wav" }
            TriggerAction { type Music text "data/sounds/music/march.mp3" value 1 })");
    EXPECT_EQ(SoundSource::count(), before + 2);
    EXPECT_EQ(globalSources().music->fileName(), "data/sounds/music/march.mp3");
    EXPECT_TRUE(globalSources().music->loop());
    fake->advance(2.0);
    Sound::update();
    Sound::update();
    EXPECT_EQ(SoundSource::count(), before) << "the finished sounds delete themselves";

    fire(R"(TriggerAction { type StopMusic })");
    EXPECT_FALSE(globalSources().music->isPlaying());

    // Switched off in the options: nothing starts.
    settings().soundOn = settings().musicOn = 0;
    fire(R"(TriggerAction { type Sound text "data/sounds/bell.wav" }
            TriggerAction { type Music text "data/sounds/music/march.mp3" })");
    EXPECT_EQ(SoundSource::count(), before);
    EXPECT_FALSE(globalSources().music->isPlaying());
}

}  // namespace
