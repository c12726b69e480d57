#include "sound/Sound.h"

#include "support/sound/FakeAudioDevice.h"
#include "support/sound/TestWav.h"
#include "support/TempDir.h"
#include "support/TestPak.h"

#include "platform/Log.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
// A sound system over the fake device with a data folder holding a few short
// sounds (one second of tone at 1000 Hz, so one second of fake time ends them).
struct SoundSystem : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    FakeAudioDevice* fake = nullptr;

    void SetUp() override
    {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        for (const char* name : {"click", "bomb_release", "dive_explosion_1", "fxs_snd_2", "faint", "jet"})
            data.write(std::string("data/sounds/") + name + ".wav", makeWav(1000, 1, 16, tone(50, 1000, 1000)));
        data.write("data/sounds/music/a.mp3", makeWav(1000, 2, 16, tone(50, 1000, 2000)));
        data.write("data/sounds/music/b.mp3", makeWav(1000, 2, 16, tone(50, 1000, 2000)));
        data.write(kMenuMusic, makeWav(1000, 2, 16, tone(50, 1000, 2000)));
        auto device = std::make_unique<FakeAudioDevice>();
        fake = device.get();
        ASSERT_TRUE(Sound::init(std::move(device)));
    }
    void TearDown() override
    {
        Sound::close();
        setLogCapture({});
    }

    SoundData* sound(const char* name) { return SoundData::load(std::string("data/sounds/") + name + ".wav"); }
    const FakeAudioDevice::ChannelState* state(const SoundSource* source) { return fake->state(source->channel()); }
};

TEST_F(SoundSystem, TableLoadsPresentFilesAndLeavesMissingSlotsNull)
{
    const SoundTable& table = soundTable();
    ASSERT_NE(table[SoundName::Click], nullptr);
    EXPECT_EQ(table[SoundName::Click]->name(), "data/sounds/click.wav");
    EXPECT_EQ(table[SoundName::Lock], nullptr);
    EXPECT_EQ(table.explosion(7)->name(), "data/sounds/dive_explosion_1.wav");
    EXPECT_EQ(table.explosion(8)->name(), "data/sounds/fxs_snd_2.wav");
    EXPECT_EQ(table.explosion(-1), nullptr);
    EXPECT_EQ(table.explosion(9), nullptr);
    EXPECT_EQ(table.bombRelease[0], table.bombRelease[1]);
    EXPECT_EQ(kSoundFileNames.size(), 65u);
    EXPECT_EQ(std::string(kSoundFileNames.back()), "godlike");

    // Forty global sources exist, also those whose sound is missing; those stay silent.
    EXPECT_EQ(SoundSource::count(), 40u);
    const GlobalSources& g = globalSources();
    ASSERT_NE(g.lock, nullptr);
    g.lock->play();
    EXPECT_FALSE(g.lock->channel());
    ASSERT_NE(g.jet, nullptr);
    EXPECT_EQ(g.jet->minDistance(), 200.0f);
    EXPECT_EQ(g.missileCruise->maxDistance(), 5000.0f);
    EXPECT_EQ(g.alarmHigh->pitch(), 2.0f);
    EXPECT_EQ(Sound::masterVolume(), 0.0f);
}

TEST_F(SoundSystem, SameFileLoadsOnceAndNamesWithEqualByteSumsStayApart)
{
    EXPECT_EQ(sound("bomb_release"), soundTable()[SoundName::BombRelease]);
    EXPECT_EQ(SoundData::hashName("ab"), SoundData::hashName("ba"));
    data.write("ab", makeWav(1000, 1, 16, tone(50, 1000, 10)));
    data.write("ba", makeWav(1000, 1, 16, tone(50, 1000, 10)));
    SoundData* ab = SoundData::load("ab");
    SoundData* ba = SoundData::load("ba");
    ASSERT_NE(ab, nullptr);
    ASSERT_NE(ba, nullptr);
    EXPECT_NE(ab, ba);
    EXPECT_EQ(SoundData::findByName("ba"), ba);
    EXPECT_EQ(SoundData::findByName("zz"), nullptr);
}

TEST_F(SoundSystem, FinishedOneShotIsGoneAfterTheNextUpdateAndTheMovedSourceIsStillSeen)
{
    SoundSourceBuffered* oneShot = Sound::createSource3D(sound("click"), Vec3{1, 2, 3});
    ASSERT_NE(oneShot, nullptr);
    const std::size_t place = oneShot->managedIndex();
    const auto* channel = state(oneShot);
    ASSERT_NE(channel, nullptr);
    EXPECT_TRUE(channel->positioned);
    EXPECT_EQ(channel->position.y, 2.0f);
    EXPECT_FALSE(channel->paused);

    // The last source in the registry: once, finished in the same second.
    SoundSourceBuffered* last = Sound::createSource2D(sound("jet"), false);
    last->play();
    ASSERT_TRUE(last->channel());

    fake->advance(0.5);
    Sound::update();
    EXPECT_EQ(SoundSource::at(place), oneShot);
    fake->advance(0.6);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), 41u);
    EXPECT_EQ(SoundSource::at(place), last);
    // Looked at in the same pass: its finished channel was dropped.
    EXPECT_FALSE(last->channel());
    EXPECT_FALSE(last->isPlaying());
    last->play();
    EXPECT_TRUE(last->isPlaying());
    delete last;
}

TEST_F(SoundSystem, FlatOneShotPlaysAtOnceAndGoesWhenDone)
{
    SoundSourceBuffered* announcement = Sound::createOneShot2D(sound("click"));
    ASSERT_NE(announcement, nullptr);
    ASSERT_NE(state(announcement), nullptr);
    EXPECT_FALSE(state(announcement)->positioned);
    EXPECT_FALSE(state(announcement)->paused);
    fake->advance(1.1);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), 40u);
    // A missing file: nothing plays, and the source is gone just the same.
    EXPECT_NE(Sound::createOneShot2D(nullptr), nullptr);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), 40u);
}

TEST_F(SoundSystem, LoopingSourceStaysPlayingUntilStopped)
{
    SoundSourceBuffered* loop = Sound::createSource2D(sound("jet"), true);
    loop->setVolume(0.3f);
    EXPECT_FALSE(loop->channel());  // an idle source only stores the volume
    loop->play();
    EXPECT_FLOAT_EQ(state(loop)->volume, 0.3f);
    fake->advance(5.0);
    Sound::update();
    EXPECT_TRUE(loop->isPlaying());
    loop->stop();
    EXPECT_FALSE(loop->isPlaying());
    delete loop;
}

TEST_F(SoundSystem, PausedChannelsCountAsPlayingAndResumeWhereTheyStopped)
{
    SoundSourceBuffered* oneShot = Sound::createSource3D(sound("click"), Vec3{});
    fake->advance(0.4);
    Sound::pauseAll();
    EXPECT_TRUE(Sound::isPaused());
    fake->advance(3.0);
    Sound::update();
    ASSERT_EQ(SoundSource::count(), 41u);
    EXPECT_TRUE(oneShot->isPlaying());
    EXPECT_EQ(fake->positionMs(oneShot->channel()), 400u);

    Sound::resumeAll();
    EXPECT_FALSE(Sound::isPaused());
    EXPECT_EQ(fake->positionMs(oneShot->channel()), 400u);
    fake->advance(0.7);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), 40u);
}

TEST_F(SoundSystem, ResumeLeavesAChannelStartedDuringThePauseAlone)
{
    SoundSourceBuffered* music = Sound::createSource2D(sound("jet"), true);
    music->play();
    Sound::pauseAll();
    SoundSourceBuffered* click = globalSources().click;
    click->play();
    fake->advance(0.25);
    Sound::resumeAll();
    EXPECT_EQ(fake->positionMs(click->channel()), 250u);
    EXPECT_FALSE(fake->isPaused(music->channel()));
    delete music;
}

TEST_F(SoundSystem, StopAllKeepsSourcesAndDeletesOneShotsInTheNextUpdate)
{
    Sound::createSource3D(sound("click"), Vec3{});
    globalSources().click->play();
    Sound::pauseAll();
    Sound::stopAll();
    EXPECT_FALSE(Sound::isPaused());
    EXPECT_EQ(fake->activeChannels(), 0);
    EXPECT_EQ(SoundSource::count(), 41u);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), 40u);
}

TEST_F(SoundSystem, DuckingAppliesFromTheNextUpdateAndANullSoloUndoesIt)
{
    SoundSourceBuffered* faint = globalSources().faint;
    SoundSourceBuffered* jet = Sound::createSource2D(sound("jet"), true);
    jet->setVolume(0.8f);
    jet->play();
    faint->play();
    Sound::setSolo(faint, 0.25f);
    Sound::update();
    EXPECT_FLOAT_EQ(state(jet)->volume, 0.2f);
    EXPECT_FLOAT_EQ(state(faint)->volume, 1.0f);

    // Started under the solo: its own volume for the rest of the frame.
    SoundSourceBuffered* click = globalSources().click;
    click->play();
    EXPECT_FLOAT_EQ(state(click)->volume, 0.2f);
    Sound::update();
    EXPECT_FLOAT_EQ(state(click)->volume, 0.05f);

    Sound::setSolo(nullptr, 1.0f);
    EXPECT_FLOAT_EQ(state(jet)->volume, 0.8f);
    EXPECT_FLOAT_EQ(state(click)->volume, 0.2f);
    EXPECT_FLOAT_EQ(jet->volume(), 0.8f);
    delete jet;
}

TEST_F(SoundSystem, NullSoloWithoutASoloOnlyStoresTheFactor)
{
    SoundSourceBuffered* jet = Sound::createSource2D(sound("jet"), true);
    jet->setVolume(0.5f);
    jet->play();
    Sound::setSolo(nullptr, 0.3f);
    EXPECT_FLOAT_EQ(Sound::duckFactor(), 0.3f);
    Sound::update();
    EXPECT_FLOAT_EQ(state(jet)->volume, 0.5f);
    delete jet;
}

TEST_F(SoundSystem, PauseAndDeletingTheSoloDropIt)
{
    SoundSourceBuffered* jet = Sound::createSource2D(sound("jet"), true);
    jet->play();
    SoundSourceBuffered* solo = Sound::createSource2D(sound("faint"), true);
    Sound::setSolo(solo, 0.5f);
    Sound::update();
    EXPECT_FLOAT_EQ(state(jet)->volume, 0.5f);
    delete solo;
    EXPECT_EQ(Sound::solo(), nullptr);
    EXPECT_FLOAT_EQ(state(jet)->volume, 1.0f);

    Sound::setSolo(globalSources().faint, 0.5f);
    Sound::update();
    Sound::pauseAll();
    EXPECT_EQ(Sound::solo(), nullptr);
    EXPECT_FLOAT_EQ(Sound::duckFactor(), 1.0f);
    EXPECT_FLOAT_EQ(state(jet)->volume, 1.0f);
    delete jet;
}

TEST_F(SoundSystem, OpeningTheSameMusicRestartsItAndNullStopsAndReleasesIt)
{
    SoundSourceStreamed* music = globalSources().music;
    music->open("data/sounds/music/a.mp3");
    ASSERT_TRUE(music->channel());
    EXPECT_TRUE(state(music)->loop);
    fake->advance(0.5);
    EXPECT_EQ(fake->positionMs(music->channel()), 500u);
    fake->clearLog();
    music->open("data/sounds/music/a.mp3");
    EXPECT_EQ(fake->positionMs(music->channel()), 0u);
    EXPECT_EQ(fake->log(), std::vector<std::string>{});  // neither opened nor replayed again
    EXPECT_EQ(fake->streamCount(), 1u);

    // Another file: the channel stops before its stream is released.
    music->open("data/sounds/music/b.mp3");
    ASSERT_GE(fake->log().size(), 2u);
    EXPECT_EQ(fake->log()[0].rfind("stop", 0), 0u);
    EXPECT_EQ(fake->log()[1].rfind("releaseStream ", 0), 0u);
    EXPECT_EQ(music->fileName(), "data/sounds/music/b.mp3");

    fake->clearLog();
    music->open(nullptr);
    EXPECT_FALSE(music->channel());
    EXPECT_FALSE(music->hasStream());
    EXPECT_EQ(fake->streamCount(), 0u);
    ASSERT_EQ(fake->log().size(), 2u);
    EXPECT_EQ(fake->log()[0].rfind("stop", 0), 0u);

    // A missing file leaves it silent; the next open tries again.
    music->open("data/sounds/music/none.mp3");
    EXPECT_FALSE(music->channel());
    music->open("data/sounds/music/a.mp3");
    EXPECT_TRUE(music->channel());
}

TEST_F(SoundSystem, OnceStreamEndsAndIsDeletedWhenItDeletesItself)
{
    auto* trigger = new SoundSourceStreamed(true);
    trigger->open("data/sounds/music/b.mp3");
    ASSERT_TRUE(trigger->isPlaying());
    fake->advance(1.0);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), 41u);
    fake->advance(1.5);
    Sound::update();
    EXPECT_EQ(SoundSource::count(), 40u);
}

TEST_F(SoundSystem, FullRegistryMakesFactoriesReturnNull)
{
    std::vector<SoundSource*> made;
    while (SoundSource::count() < SoundSource::kCapacity)
        made.push_back(Sound::createSource2D(sound("click"), false));
    EXPECT_EQ(Sound::createSource2D(sound("click"), false), nullptr);
    EXPECT_EQ(Sound::createLoopSource3D(sound("click")), nullptr);
    EXPECT_EQ(Sound::createSource3D(sound("click"), Vec3{}), nullptr);
    EXPECT_EQ(Sound::createStreamSource(true), nullptr);
    // Made by hand past the limit: it stays silent, as nothing could stop it.
    SoundSourceBuffered extra(true, false);
    EXPECT_FALSE(extra.isRegistered());
    extra.setSound(sound("click"));
    extra.play();
    EXPECT_FALSE(extra.channel());
    EXPECT_EQ(fake->activeChannels(), 0);
    for (SoundSource* source : made)
        delete source;
}

TEST_F(SoundSystem, VolumeRulesFollowTheSettings)
{
    Settings s;
    s.soundVolume = 0.6f;
    s.musicVolume = 0.4f;
    startMenuMusic(s);
    EXPECT_FLOAT_EQ(Sound::masterVolume(), 0.6f);
    SoundSourceStreamed* music = globalSources().music;
    ASSERT_TRUE(music->isPlaying());
    EXPECT_FLOAT_EQ(state(music)->volume, 0.4f);
    EXPECT_EQ(music->fileName(), kMenuMusic);
    applyFocusLost();
    EXPECT_FLOAT_EQ(Sound::masterVolume(), 0.0f);
    applyFocusGained(s);
    EXPECT_FLOAT_EQ(Sound::masterVolume(), 0.6f);
    s.soundOn = 0;
    applySavedVolumes(s);
    EXPECT_FLOAT_EQ(Sound::masterVolume(), 0.0f);

    playTriggerMusic("data/sounds/music/a.mp3", false, s);
    EXPECT_TRUE(music->isPlaying());
    EXPECT_FALSE(state(music)->loop);
    playTriggerMusic(nullptr, false, s);
    EXPECT_FALSE(music->isPlaying());
    s.musicOn = 0;
    startEndMusic(s);
    EXPECT_FALSE(music->isPlaying());
}

// The end tune is louder than the flight's music; the next piece a map plays is not.
TEST_F(SoundSystem, EndMusicPlaysAtTwiceTheMusicVolumeUntilTheNextPiece)
{
    Settings s;
    s.musicVolume = 0.4f;
    SoundSourceStreamed* music = globalSources().music;
    startEndMusic(s);
    EXPECT_FLOAT_EQ(music->volume(), 0.8f);
    playTriggerMusic("data/sounds/music/a.mp3", false, s);
    EXPECT_FLOAT_EQ(music->volume(), 0.4f);
}

TEST_F(SoundSystem, TriggerMusicLoopsFromItsStartOrStopsFirstAndPlaysOnce)
{
    Settings s;
    SoundSourceStreamed* music = globalSources().music;
    // Looped: opened and set looping without a stop; the same piece again
    // starts over from its beginning.
    playTriggerMusic("data/sounds/music/a.mp3", true, s);
    ASSERT_TRUE(music->isPlaying());
    fake->advance(1.0);
    Sound::update();
    ASSERT_GE(fake->positionMs(music->channel()), 900u);
    fake->clearLog();
    playTriggerMusic("data/sounds/music/a.mp3", true, s);
    for (const std::string& call : fake->log())
        EXPECT_NE(call.rfind("stop", 0), 0u) << call;
    EXPECT_LT(fake->positionMs(music->channel()), 100u) << "the piece restarts";
    EXPECT_TRUE(state(music)->loop);
    fake->advance(5.0);
    Sound::update();
    EXPECT_TRUE(music->isPlaying()) << "a looped piece plays past its end";

    // One-shot: the source stops first, then plays the piece once.
    fake->clearLog();
    playTriggerMusic("data/sounds/music/a.mp3", false, s);
    ASSERT_FALSE(fake->log().empty());
    EXPECT_EQ(fake->log()[0].rfind("stop", 0), 0u);
    EXPECT_TRUE(music->isPlaying());
    EXPECT_FALSE(state(music)->loop);
    fake->advance(2.5);
    Sound::update();
    EXPECT_FALSE(music->isPlaying()) << "a one-shot piece ends";

    // Music off: a trigger's piece does not start, and one playing keeps playing.
    playTriggerMusic("data/sounds/music/b.mp3", true, s);
    s.musicOn = 0;
    playTriggerMusic("data/sounds/music/a.mp3", false, s);
    EXPECT_TRUE(music->isPlaying());
    EXPECT_EQ(music->fileName(), "data/sounds/music/b.mp3");
}

TEST_F(SoundSystem, ABufferedSourceStartedWithAPitchPlaysAtThatPitch)
{
    SoundSourceBuffered* source = Sound::createSource2D(sound("click"), false);
    ASSERT_NE(source, nullptr);
    source->stop();
    source->setPitch(1.5f);
    source->play();
    ASSERT_NE(state(source), nullptr);
    EXPECT_FLOAT_EQ(state(source)->frequency, 1500.0f);
    // Started again after its end, at a new pitch.
    fake->advance(1.1);
    Sound::update();
    source->setPitch(0.5f);
    source->play();
    ASSERT_NE(state(source), nullptr);
    EXPECT_FLOAT_EQ(state(source)->frequency, 500.0f);
    delete source;
}
}  // namespace
