#include "support/gamedata/MapTestHooks.h"

#include "gamedata/MissionSave.h"
#include "gamedata/map/MapLoader.h"
#include "platform/File.h"

#include "GameDataFixture.h"
#include "support/Crc32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

// The campaign mode's side, with a score keeper that writes 64 numbered bytes.
struct FakeCampaign : ICheckpointHost {
    MissionKey key{1, 3, 2};
    bool alive = true;
    PlayerCheckpoint player{{1.0f, 2.0f, 3.0f}, {0.0f, 0.6f, 0.0f, 0.8f}, 120.0f, 0.75f, 0.5f};
    std::uint8_t statsSeed = 7;
    std::vector<std::uint8_t> statsRead;
    int spawned = 0, restarts = 0;
    std::vector<int> statesAtSpawn;
    std::optional<PlayerCheckpoint> applied;

    MissionKey missionKey() const override { return key; }
    void writeStats(File& file) override
    {
        for (int i = 0; i < 64; ++i) {
            const std::uint8_t b = static_cast<std::uint8_t>(statsSeed + i);
            file.write(&b, 1);
        }
    }
    bool readStats(File& file) override
    {
        statsRead.resize(64);
        return file.read(statsRead.data(), 64) == 64;
    }
    bool playerState(PlayerCheckpoint& out) const override
    {
        out = player;
        return alive;
    }
    void spawnMission(GameWorld& world) override
    {
        ++spawned;
        statesAtSpawn.clear();
        for (int i = 0; i < world.objectCount(); ++i)
            statesAtSpawn.push_back(world.object(i)->state);
    }
    void applyPlayerState(const PlayerCheckpoint& state) override { applied = state; }
    void countCheckpointRestart() override { ++restarts; }
};

struct Checkpoints : GameDataFixture {
    GameWorld world;
    RecordingHooks hooks;
    FakeCampaign campaign;
    const std::string mission = R"(
        Worldspawn { }
        MapObject { name "a" unit "tank" team 1 }
        MapObject { name "b" unit "tank" team 1 }
        MapTrigger { name "start" condition Timer exec [
            TriggerAction { type Countdown value 60 text "LABEL" }
            TriggerAction { type Music text "theme.mp3" value 1 }
            TriggerAction { type AllowLoss } ] }
        MapTrigger { name "end" condition Destroyed objects "a b" exec [ TriggerAction { type Win } ] }
    )";

    void SetUp() override { loadMission(); }
    void loadMission()
    {
        world.init();
        world.setHooks(hooks.hooks());
        ASSERT_TRUE(MapLoader::loadEdtText(world, mission, "mission.edt"));
    }
    std::filesystem::path file() const { return save.path() / MissionSave::fileName(campaign.key); }
    std::string bytes() const { return save.read(MissionSave::fileName(campaign.key)); }
    void overwrite(const std::string& content) const { save.write(MissionSave::fileName(campaign.key), content); }
    // Plays a little: the start trigger fires, object a is destroyed.
    void play()
    {
        world.applySunAndFog(4.0f);
        world.object(0)->setState(MapObject::kStateGone);
        world.applySunAndFog(6.0f);
    }
};

TEST_F(Checkpoints, ARoundTripGivesBackTheWorldStatsAndPlayer)
{
    EXPECT_EQ(MissionSave::fileName({0, 4, 1}), "missionSavc0m4_1.sav");
    play();
    ASSERT_TRUE(MissionSave::save(world, campaign));
    ASSERT_TRUE(std::filesystem::exists(file()));

    // A fresh load of the same mission, resumed from the file.
    loadMission();
    hooks.calls.clear();
    EXPECT_TRUE(MissionSave::resume(world, campaign, 1));
    EXPECT_EQ(campaign.spawned, 1);
    EXPECT_EQ(campaign.statesAtSpawn, (std::vector<int>{MapObject::kStateGone, 0})) << "a stays out of the spawn";
    EXPECT_EQ(campaign.restarts, 1);
    ASSERT_TRUE(campaign.applied);
    EXPECT_EQ(campaign.applied->position.z, 3.0f);
    EXPECT_NEAR(campaign.applied->orientation.y, 0.6f, 1e-6f);
    EXPECT_EQ(campaign.applied->speed, 120.0f);
    ASSERT_EQ(campaign.statsRead.size(), 64u);
    EXPECT_EQ(campaign.statsRead[0], 7);
    EXPECT_EQ(campaign.statsRead[63], 70);
    EXPECT_FLOAT_EQ(world.clock(), 10.0f);
    EXPECT_TRUE(world.findTrigger("start")->fired);
    EXPECT_FALSE(world.findTrigger("end")->fired);
    EXPECT_TRUE(world.playerLossAllowed);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"loss:on", "countdown:54:LABEL", "music:theme.mp3:loop"}));

    // The rest of the mission goes on from there.
    world.object(1)->setState(MapObject::kStateGone);
    world.applySunAndFog(0.1f);
    EXPECT_TRUE(hooks.called("win:0"));

    // Encoding is exact.
    CheckpointData data;
    MissionSave::captureWorld(world, data);
    data.key = campaign.key;
    data.countdownLabel = "x";
    const std::optional<CheckpointData> back = MissionSave::decode(MissionSave::encode(data));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->objects, data.objects);
    EXPECT_EQ(back->triggers, data.triggers);
    EXPECT_EQ(back->countdownLabel, "x");
}

TEST_F(Checkpoints, BadFilesAreIgnoredAndTheMissionStartsFresh)
{
    play();
    ASSERT_TRUE(MissionSave::save(world, campaign));
    const std::string good = bytes();
    auto freshStart = [&](const std::string& content, const char* what) {
        overwrite(content);
        loadMission();
        campaign.restarts = 0;
        campaign.applied.reset();
        EXPECT_FALSE(MissionSave::resume(world, campaign, 1)) << what;
        EXPECT_EQ(campaign.restarts, 0) << what;
        EXPECT_FALSE(campaign.applied) << what;
        EXPECT_EQ(campaign.statesAtSpawn, (std::vector<int>{0, 0})) << what;
        EXPECT_FALSE(world.findTrigger("start")->fired) << what;
    };
    freshStart(good.substr(0, good.size() - 9), "truncated");
    freshStart(good.substr(0, 10), "header only");
    freshStart("", "empty");
    std::string damaged = good;
    damaged[40] = static_cast<char>(damaged[40] ^ 0x10);
    freshStart(damaged, "one bit flipped");
    std::string magic = good;
    magic[0] = 'X';
    freshStart(magic, "wrong magic");
    freshStart(good + "tail", "bytes after the end");

    // The file of another mission (or difficulty) under this name.
    FakeCampaign other = campaign;
    other.key.mission = 4;
    ASSERT_TRUE(MissionSave::save(world, other));
    std::filesystem::rename(save.path() / MissionSave::fileName(other.key), file());
    freshStart(bytes(), "another mission's file");

    // A checkpoint of a map with other objects.
    overwrite(good);
    world.init();
    ASSERT_TRUE(MapLoader::loadEdtText(world, "MapObject { name \"solo\" }", "other.edt"));
    EXPECT_FALSE(MissionSave::resume(world, campaign, 1));

    // Value 0 never reads the file.
    overwrite(good);
    loadMission();
    EXPECT_FALSE(MissionSave::resume(world, campaign, 0));
    EXPECT_EQ(campaign.spawned, 9);
}

TEST(CheckpointFormat, TheFuzzSeedIsARealCheckpoint)
{
    // So the fuzzer starts past the checks: the seed decodes and encodes back byte for byte.
    std::ifstream in(SKYFRONT_SOURCE_DIR "/tests/fuzz/corpus/checkpoint/good.sav", std::ios::binary);
    const std::vector<std::uint8_t> good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::optional<CheckpointData> decoded = MissionSave::decode(good);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->objects.size(), 2u);
    EXPECT_EQ(decoded->music, "m.mp3");
    EXPECT_EQ(MissionSave::encode(*decoded), good);
}

TEST(CheckpointFormat, AForgedSizeOrAnOrientationThatCannotBeAUnitIsRefused)
{
    std::ifstream in(SKYFRONT_SOURCE_DIR "/tests/fuzz/corpus/checkpoint/good.sav", std::ios::binary);
    const std::vector<std::uint8_t> good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(MissionSave::decode(good));
    // The checksum matches, only the size field lies (bytes 8..11).
    for (const int delta : {-1, 1, 4}) {
        std::vector<std::uint8_t> forged = good;
        const std::uint32_t size = static_cast<std::uint32_t>(forged.size()) + static_cast<std::uint32_t>(delta);
        for (int i = 0; i < 4; ++i)
            forged[8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
        sealTestCrc32(forged);
        EXPECT_FALSE(MissionSave::decode(forged)) << delta;
    }

    CheckpointData data = *MissionSave::decode(good);
    const float inf = std::numeric_limits<float>::infinity();
    for (const Quat& q : {Quat{0.0f, 0.0f, 0.0f, 0.0f}, Quat{inf, 0.0f, 0.0f, 1.0f},
                          Quat{std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f, 1.0f}}) {
        data.player.orientation = q;
        EXPECT_FALSE(MissionSave::decode(MissionSave::encode(data))) << q.x;
    }
    // Huge but finite components still give a unit.
    data.player.orientation = {2e19f, 0.0f, 0.0f, 3e19f};
    const std::optional<CheckpointData> huge = MissionSave::decode(MissionSave::encode(data));
    ASSERT_TRUE(huge);
    const Quat& u = huge->player.orientation;
    EXPECT_NEAR(u.x * u.x + u.y * u.y + u.z * u.z + u.w * u.w, 1.0f, 1e-5f);
}

// A checkpoint the game cannot read is kept beside before the next checkpoint
// replaces it, once however often it is met; a won mission keeps it too.
TEST_F(Checkpoints, ADamagedCheckpointIsKeptBeforeANewOneReplacesIt)
{
    play();
    ASSERT_TRUE(MissionSave::save(world, campaign));
    std::string damaged = bytes();
    damaged[40] = static_cast<char>(damaged[40] ^ 0x10);
    overwrite(damaged);
    const std::string kept = MissionSave::fileName(campaign.key) + ".bad";

    // The mission starts afresh over it, then reaches its checkpoint.
    loadMission();
    EXPECT_FALSE(MissionSave::resume(world, campaign, 1));
    play();
    ASSERT_TRUE(MissionSave::save(world, campaign));
    EXPECT_EQ(save.read(kept), damaged);
    EXPECT_TRUE(warned({"damaged; kept as", ".bad"}));
    EXPECT_FALSE(std::filesystem::exists(save.path() / (kept + "1"))) << "the same damage is kept once";
    const std::optional<CheckpointData> fresh = MissionSave::load(campaign);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->objects[0].state, MapObject::kStateGone);

    // Never read at all (a new start), a second damage goes beside the first.
    overwrite("SKCP broken");
    ASSERT_TRUE(MissionSave::save(world, campaign));
    EXPECT_EQ(save.read(kept), damaged);
    EXPECT_EQ(save.read(kept + "1"), "SKCP broken");
    EXPECT_TRUE(MissionSave::load(campaign));

    // Too large to be read: moved aside whole, not lost.
    const std::string huge(MissionSave::kMaxFileBytes + 1, 'x');
    overwrite(huge);
    EXPECT_FALSE(MissionSave::load(campaign));
    EXPECT_EQ(save.read(kept + "2"), huge);
    ASSERT_TRUE(MissionSave::save(world, campaign));

    // The mission is won over a damaged checkpoint: the file goes, its bytes stay.
    overwrite("won over damage");
    EXPECT_TRUE(MissionSave::remove(campaign));
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_EQ(save.read(kept + "3"), "won over damage");
}

TEST_F(Checkpoints, AFailedWriteKeepsThePreviousCheckpoint)
{
    play();
    ASSERT_TRUE(MissionSave::save(world, campaign));
    const std::string previous = bytes();

    // A crash mid-write left a partial temporary file: it does not matter.
    save.write(MissionSave::fileName(campaign.key) + ".new", previous.substr(0, 30));
    EXPECT_TRUE(MissionSave::load(campaign));

    // The temporary file cannot be made: the save fails, the old file stays whole.
    std::filesystem::remove(save.path() / (MissionSave::fileName(campaign.key) + ".new"));
    std::filesystem::create_directory(save.path() / (MissionSave::fileName(campaign.key) + ".new"));
    world.object(1)->setState(MapObject::kStateGone);
    EXPECT_FALSE(MissionSave::save(world, campaign));
    EXPECT_EQ(bytes(), previous);
    const std::optional<CheckpointData> kept = MissionSave::load(campaign);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->objects[1].state, 0);

    // No save while the player's airplane is not alive; remove deletes the file.
    campaign.alive = false;
    EXPECT_FALSE(MissionSave::save(world, campaign));
    EXPECT_TRUE(MissionSave::remove(campaign));
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_FALSE(MissionSave::load(campaign));
}

}  // namespace
