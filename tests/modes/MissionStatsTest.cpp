#include "gamedata/records/MapInfoCfg.h"
#include "modes/progress/MissionStats.h"
#include "platform/File.h"

#include <gtest/gtest.h>

namespace {
MapInfoCfg missionWithTimes(int gold, int silver, int goldAce, int silverAce)
{
    MapInfoCfg mission;
    mission.goldTime = gold;
    mission.silverTime = silver;
    mission.goldTimeAce = goldAce;
    mission.silverTimeAce = silverAce;
    return mission;
}

MissionStats someStats()
{
    MissionStats s;
    s.gameTime = 321.5f;
    s.damageTaken = 17.25f;
    s.shotsFired = 400;
    s.shotsHit = 123;
    s.missilesFired = 9;
    s.missilesHit = 4;
    s.enemiesKilled = 7;
    s.enemyAirplanes = 12;
    s.friendlyLosses = 2;
    s.friendlyAirplanes = 5;
    s.checkpointRestarts = 1;
    return s;
}
}  // namespace

TEST(MissionStats, TimeRatingBoundaries)
{
    const MapInfoCfg mission = missionWithTimes(5, 8, 4, 6);
    MissionStats s;
    s.gameTime = 5 * 60.0f;
    EXPECT_EQ(s.timeRating(mission, 1), 2) << "exactly the gold time is gold";
    s.gameTime = 5 * 60.0f + 1.0f;
    EXPECT_EQ(s.timeRating(mission, 1), 1);
    s.gameTime = 8 * 60.0f;
    EXPECT_EQ(s.timeRating(mission, 1), 1);
    s.gameTime = 8 * 60.0f + 0.5f;
    EXPECT_EQ(s.timeRating(mission, 1), 0);
    // Hard uses the ace limits; easy the normal ones.
    s.gameTime = 4 * 60.0f + 1.0f;
    EXPECT_EQ(s.timeRating(mission, 2), 1);
    EXPECT_EQ(s.timeRating(mission, 0), 2);
}

TEST(MissionStats, MedalFromRatingAndRestarts)
{
    const MapInfoCfg mission = missionWithTimes(5, 8, 4, 6);
    MissionStats s;
    s.gameTime = 200.0f;
    EXPECT_EQ(s.medal(mission, 1), 3);
    s.checkpointRestarts = 1;
    EXPECT_EQ(s.medal(mission, 1), 2) << "gold after one checkpoint resume is not the best medal";
    s.gameTime = 7 * 60.0f;
    EXPECT_EQ(s.medal(mission, 1), 2);
    s.gameTime = 9 * 60.0f;
    EXPECT_EQ(s.medal(mission, 1), 1);
}

TEST(MissionStats, AccuracyWithNothingFiredIsFull)
{
    MissionStats s;
    EXPECT_FLOAT_EQ(s.gunAccuracy(), 1.0f);
    EXPECT_FLOAT_EQ(s.missileAccuracy(), 1.0f);
    s.shotsFired = 10;
    s.shotsHit = 25;  // shotgun-like hits count several per shot
    EXPECT_FLOAT_EQ(s.gunAccuracy(), 1.0f);
    s.missilesFired = 4;
    s.missilesHit = 1;
    EXPECT_FLOAT_EQ(s.missileAccuracy(), 0.25f);
}

TEST(MissionStats, RoundResetKeepsMissileCounts)
{
    MissionStats s = someStats();
    s.resetRound();
    EXPECT_EQ(s.missilesFired, 9);
    EXPECT_EQ(s.missilesHit, 4);
    MissionStats expected;
    expected.missilesFired = 9;
    expected.missilesHit = 4;
    EXPECT_EQ(s, expected);
}

TEST(MissionStats, CheckpointBlockRoundTrip)
{
    CheckpointStats block;
    block.playerScore = -35;
    block.killPoints = 1200;
    block.objectivePoints = 80;
    block.stats = someStats();
    const auto bytes = block.encode();
    ASSERT_EQ(bytes.size(), 64u);
    // Little-endian, score first, the game time's bits right after the three points.
    EXPECT_EQ(bytes[0], 0xDD);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(bytes[60], 1);  // checkpoint restarts last
    const auto read = CheckpointStats::decode(bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, block);

    EXPECT_FALSE(CheckpointStats::decode(std::span(bytes.data(), 63)).has_value());
}

TEST(MissionStats, FileReadStopsAtShortFile)
{
    FileBuffer file;
    const MissionStats written = someStats();
    written.write(file);
    EXPECT_EQ(file.size(), MissionStats::kBytes);
    ASSERT_TRUE(file.seek(0));
    MissionStats read;
    ASSERT_TRUE(read.read(file));
    EXPECT_EQ(read, written);

    std::vector<std::uint8_t> cut = file.bytes();
    cut.resize(20);
    FileBuffer shortFile(cut);
    MissionStats untouched = someStats();
    EXPECT_FALSE(untouched.read(shortFile));
    EXPECT_EQ(untouched, someStats());
}
