#include "entities/ground/GroundTarget.h"
#include "modes/MatchEvents.h"
#include "modes/kinds/GameModeDF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "entities/ai/AirplaneAI.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Language.h"

#include "ObjectiveModeKit.h"

#include <array>
#include <cmath>

namespace {

using DestroyTheBase = ObjectiveModeTest;
using LastManStanding = ObjectiveModeTest;
using Survival = ObjectiveModeTest;
using Dogfight = ObjectiveModeTest;

void setBots(int entry, int team0, int team1, int minutes)
{
    settings().setSkirmishWord(entry, 0, static_cast<std::uint32_t>(minutes));
    settings().setSkirmishWord(entry, 1, 0);
    settings().setSkirmishWord(entry, 2, static_cast<std::uint32_t>(team0));
    settings().setSkirmishWord(entry, 3, static_cast<std::uint32_t>(team1));
}

TEST_F(DestroyTheBase, BasesThreeBotsAndBaseLoss)
{
    setBots(Settings::kEntryDTB, 3, 2, 0);
    auto* mode = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    ASSERT_FALSE(mode->bases(0).empty());
    ASSERT_FALSE(mode->bases(1).empty());
    GroundTarget* enemyBase = mode->bases(1).front();
    EXPECT_FLOAT_EQ(enemyBase->health(), GameModeDTB::kBaseHealth);
    EXPECT_EQ(enemyBase->kind(), TargetKind::Base);
    EXPECT_EQ(enemyBase->pilotName, u"Red Base");
    EXPECT_EQ(mode->bases(0).front()->pilotName, u"Blue Base");

    // Three team-0 bots: two attack in the player's squadron, one guards.
    int attackers = 0, guards = 0;
    for (Airplane* a : airplanes(*mode, 0)) {
        if (!a->aiPilot)
            continue;
        auto* ai = dynamic_cast<AirplaneAI*>(a->aiController());
        ASSERT_NE(ai, nullptr);
        if (ai->isGuarding()) {
            ++guards;
            EXPECT_FLOAT_EQ(ai->guardEngageRadius, GameModeDTB::kGuardEngage);
        } else {
            ++attackers;
            EXPECT_EQ(a->squadron, mode->squadronA);
        }
    }
    EXPECT_EQ(attackers, 2);
    EXPECT_EQ(guards, 1);

    // Own fire: destroyed, but no base loss.
    Airplane* me = mode->playerAirplane();
    GroundTarget* ownBase = mode->bases(0).front();
    mode->onAirplaneDestroyed(*ownBase, me, CrashCause::KilledByDamage);
    EXPECT_FALSE(ownBase->isActive());
    EXPECT_LE(mode->roundTimer(), 0.0f);
    EXPECT_EQ(me->scores[Airplane::kScoreBases], 0);

    // The enemy's last base: a loss, scored, and the countdown to the next round.
    for (GroundTarget* b : std::vector<GroundTarget*>(mode->bases(1)))
        mode->onAirplaneDestroyed(*b, me, CrashCause::KilledByDamage);
    EXPECT_GE(me->scores[Airplane::kScoreBases], 1);
    EXPECT_FLOAT_EQ(mode->roundTimer(), 10.0f);
    step(*mode, 10.5f);
    EXPECT_LE(mode->roundTimer(), 0.0f);
    EXPECT_TRUE(enemyBase->isActive());
    EXPECT_TRUE(enemyBase->isTargetable());
    EXPECT_FALSE(notices.notices.empty());
}

// A map without team-1 bases: nothing to pick from, so spawns take the base
// rule, the player's autopilot keeps its own target and the match runs on.
TEST_F(DestroyTheBase, WithoutTheEnemysBasesTheMatchRuns)
{
    setBots(Settings::kEntryDTB, 3, 2, 0);
    auto* mode = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    for (GroundTarget* b : std::vector<GroundTarget*>(mode->bases(1)))
        (void)mode->removePlayerAirplane(*b);
    ASSERT_TRUE(mode->bases(1).empty());
    ASSERT_FALSE(mode->bases(0).empty());

    Airplane* me = mode->playerAirplane();
    mode->autopilot = true;
    mode->reapplyPlayerAutopilot();
    auto* ai = dynamic_cast<AirplaneAI*>(me->aiController());
    ASSERT_NE(ai, nullptr);
    Airplane* enemy = airplanes(*mode, 1).front();
    ai->target = enemy;
    mode->giveBaseTarget(*me);
    EXPECT_EQ(ai->target, enemy);

    Vec3 at;
    Quat facing;
    mode->getSpawnPoint(*me, at, facing);
    EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z));
    mode->reassignBots();
    step(*mode, 30.0f);
    EXPECT_TRUE(mode->bases(0).front()->isActive());
}

// The bases' records cross through their bytes in the match's tests.
TEST_F(DestroyTheBase, ServerData)
{
    setBots(Settings::kEntryDTB, 0, 1, 0);
    auto* mode = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    ServerData data;
    mode->fillServerData(data);
    ASSERT_EQ(data.layout, ServerData::Layout::Rounds);
    mode->applyServerData(data);
}

TEST_F(DestroyTheBase, BotMatchPlaysToItsEnd)
{
    // The default sides of four and five bots, five minutes.
    setBots(Settings::kEntryDTB, 4, 5, 5);
    auto* mode = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    mode->autopilot = true;
    mode->reapplyPlayerAutopilot();
    EXPECT_TRUE(playToEnd(*mode, 600.0f));
}

void setTeamVariant(bool on)
{
    const std::uint32_t w = settings().skirmishWord(Settings::kEntryFurther, 0);
    settings().setSkirmishWord(Settings::kEntryFurther, 0, on ? (w | 0x100u) : (w & ~0x100u));
}

TEST_F(LastManStanding, CountdownOneLifeAndOutOrder)
{
    setTeamVariant(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    EXPECT_FALSE(mode->teamMode());
    EXPECT_EQ(airplanes(*mode, -1).size(), 10u);
    EXPECT_FLOAT_EQ(mode->roundTimer(), GameModeLMS::kSingleCountdown);
    EXPECT_FALSE(mode->roundRunning());

    // During the countdown an airplane that is out comes back where it is.
    Airplane* bot = airplanes(*mode, 1).front();
    mode->eliminateAirplane(*bot);
    mode->respawnEliminated(*bot);
    EXPECT_TRUE(bot->isActive());

    step(*mode, 5.1f);
    ASSERT_TRUE(mode->roundRunning());
    EXPECT_EQ(mode->opponents(), 10);

    // The first out gets order 2 at the hit; it falls, then stays out while the round runs.
    mode->onAirplaneDestroyed(*bot, mode->playerAirplane(), CrashCause::KilledByDamage);
    EXPECT_EQ(bot->scores[Airplane::kScoreOutOrder], 2);
    EXPECT_TRUE(bot->isActive());
    step(*mode, 8.0f);
    EXPECT_FALSE(bot->isActive());
    EXPECT_FLOAT_EQ(bot->respawnTimer, -1.0f);
    mode->respawnEliminated(*bot);
    EXPECT_FALSE(bot->isActive());
    // Removed in the middle of the round: the round goes on without it.
    mode->removeEntity(*bot);
    step(*mode, 1.0f);
}

// Shot down, an airplane falls; flown into another airplane on the way down,
// its fall ends without a hit of its own. It was put out once, at the hit;
// the one it struck goes out after it.
TEST_F(LastManStanding, AFallEndingInACollisionPutsNobodyOutTwice)
{
    setTeamVariant(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    step(*mode, 5.1f);
    ASSERT_TRUE(mode->roundRunning());
    Airplane& me = *mode->playerAirplane();
    std::vector<Airplane*> bots = airplanes(*mode, -1);
    std::erase(bots, &me);
    ASSERT_GE(bots.size(), 3u);
    Airplane& falling = *bots[0];
    Airplane& struck = *bots[1];
    mode->damageAirplane(falling, &me, 1e9f, falling.position(), nullptr, true);
    for (int i = 0; i < 5 && falling.lifeState() == LifeState::Alive; ++i)
        mode->update(ModeHarness::kFrame);
    ASSERT_EQ(falling.lifeState(), LifeState::Dying);
    EXPECT_EQ(falling.scores[Airplane::kScoreOutOrder], 2);

    // A short frame, so that they meet where they were put.
    for (int i = 0; i < 3 && struck.isAlive(); ++i) {
        falling.setPositionAndStop(struck.position());
        mode->update(0.001f);
    }
    ASSERT_FALSE(struck.isAlive()) << "the two never touched";
    EXPECT_EQ(falling.scores[Airplane::kScoreOutOrder], 2) << "put out again at the end of its fall";
    EXPECT_EQ(struck.scores[Airplane::kScoreOutOrder], 3);
    step(*mode, 1.0f);
    Airplane& next = *bots[2];
    mode->damageAirplane(next, &me, 1e9f, next.position(), nullptr, true);
    step(*mode, 0.1f);
    EXPECT_EQ(next.scores[Airplane::kScoreOutOrder], 4);
}

// A joiner plays the host's round and ends it when the host does: however
// few airplanes its own picture holds in play, it never freezes by itself.
TEST_F(LastManStanding, AJoinerLeavesTheRoundsEndToTheHost)
{
    setTeamVariant(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, false, false);
    (void)mode->applyPeerEvent(peerevent::ModeValue{0, 0});
    ASSERT_TRUE(mode->roundRunning());
    Airplane& me = *mode->playerAirplane();
    std::vector<Airplane*> others = airplanes(*mode, -1);
    std::erase(others, &me);
    ASSERT_GE(others.size(), 2u);
    // The host puts all but one out of the round.
    for (std::size_t i = 0; i + 1 < others.size(); ++i) {
        peerevent::Destroyed out;
        out.victimId = others[i]->id();
        out.killerId = others.back()->id();
        out.cause = static_cast<int>(CrashCause::Collision);
        out.flags = 1 | 4;
        out.respawnTime = -1.0f;
        out.position = others[i]->position();
        (void)mode->applyPeerEvent(out);
    }
    // And then the joiner's own airplane.
    peerevent::Destroyed mine;
    mine.victimId = me.id();
    mine.cause = static_cast<int>(CrashCause::Collision);
    mine.flags = 4;
    mine.respawnTime = -1.0f;
    mine.position = me.position();
    (void)mode->applyPeerEvent(mine);
    step(*mode, 10.0f);
    int inPlay = 0;
    for (Airplane* a : airplanes(*mode, -1))
        inPlay += a->isActive() ? 1 : 0;
    ASSERT_LE(inPlay, 1) << "the joiner's picture still holds the round open";
    EXPECT_FALSE(mode->playStopped) << "the joiner ended the round by itself";

    peerevent::MatchEnd end;
    end.hasCountdown = true;
    end.countdown = 10.0f;
    (void)mode->applyPeerEvent(end);
    EXPECT_TRUE(mode->playStopped) << "the host's end ends it";
}

TEST_F(LastManStanding, TwoPlayerRoundEndsAfterTheFirstKillsFall)
{
    setTeamVariant(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    std::vector<Airplane*> bots = airplanes(*mode, -1);
    // Leave only the player and one bot.
    for (Airplane* a : bots)
        if (a != mode->playerAirplane() && a != bots.back())
            mode->removeEntity(*a);
    step(*mode, 5.1f);
    ASSERT_TRUE(mode->roundRunning());
    EXPECT_FALSE(mode->playStopped);
    mode->onAirplaneDestroyed(*bots.back(), mode->playerAirplane(), CrashCause::KilledByDamage);
    EXPECT_FALSE(mode->playStopped);
    step(*mode, 8.0f);
    EXPECT_TRUE(mode->playStopped);
    EXPECT_GT(mode->matchBonusPercent(), -1);
}

TEST_F(LastManStanding, TeamVariantJoinsAndEmptyTeamEndsAtOnce)
{
    setTeamVariant(true);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    ASSERT_TRUE(mode->teamMode());
    EXPECT_EQ(airplanes(*mode, 0).size(), 5u);
    EXPECT_EQ(airplanes(*mode, 1).size(), 4u);
    // Down to two against two: a joiner goes to team 1.
    std::vector<Airplane*> t0 = airplanes(*mode, 0), t1 = airplanes(*mode, 1);
    for (std::size_t i = 0; i < 3; ++i)
        if (t0[i + 2] != mode->playerAirplane())
            mode->removeEntity(*t0[i + 2]);
    mode->removeEntity(*t1[2]);
    mode->removeEntity(*t1[3]);
    ASSERT_EQ(airplanes(*mode, 0).size(), 2u);
    EXPECT_EQ(mode->joinTeam(), 1);
    // Team 1 gone before the round starts: the round ends as it starts.
    for (Airplane* a : airplanes(*mode, 1))
        mode->removeEntity(*a);
    step(*mode, 5.2f);
    EXPECT_TRUE(mode->playStopped);
}

TEST_F(LastManStanding, BotMatchesOfBothVariantsEnd)
{
    for (bool team : {false, true}) {
        setTeamVariant(team);
        auto* mode = start<GameModeLMS>(GameType::LastManStanding);
        ASSERT_NE(mode, nullptr);
        mode->autopilot = true;
        mode->reapplyPlayerAutopilot();
        step(*mode, 6.0f);
        // Each airplane in play takes its share of damage until one is left.
        for (float t = 0.0f; t < 600.0f && !mode->playStopped; t += 1.0f) {
            for (const auto& e : mode->entities())
                if (e->kind() == TargetKind::Airplane && e->isActive() && randModulo(20) == 0)
                    mode->damageAirplane(*e, nullptr, 1000.0f, e->position(), nullptr, true);
            step(*mode, 1.0f);
        }
        EXPECT_TRUE(mode->playStopped) << team;
        harness.finish();
    }
}

// A player who is out watches on: the kill cam takes another airplane still
// in play, once, and never while it already watches one.
TEST_F(LastManStanding, APlayerOutOfTheRoundWatchesAnotherAirplane)
{
    setTeamVariant(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    step(*mode, 5.1f);
    ASSERT_TRUE(mode->roundRunning());
    step(*mode, 1.0f);
    EXPECT_TRUE(harness.hud.killCams.empty()) << "the player is still in";

    Airplane* me = mode->playerAirplane();
    mode->eliminateAirplane(*me);
    mode->update(ModeHarness::kFrame);
    ASSERT_EQ(harness.hud.killCams.size(), 1u);
    const Target* watched = harness.hud.killCams.front();
    EXPECT_NE(watched, me);
    EXPECT_EQ(watched->kind(), TargetKind::Airplane);
    EXPECT_TRUE(watched->isActive());

    harness.hud.watching = true;
    step(*mode, 1.0f);
    EXPECT_EQ(harness.hud.killCams.size(), 1u) << "the kill cam already follows one";
}

TEST_F(Survival, APlayerShotDownWatchesTheWave)
{
    auto* mode = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    step(*mode, 10.1f);
    Airplane* me = mode->playerAirplane();
    me->respawnTimer = -1.0f;
    mode->eliminateAirplane(*me);
    mode->update(ModeHarness::kFrame);
    ASSERT_FALSE(harness.hud.killCams.empty());
    EXPECT_EQ(harness.hud.killCams.front()->team(), 1) << "the only other airplane is the wave's enemy";
}

TEST_F(LastManStanding, ServerDataReadsOnlyWholeRecords)
{
    setTeamVariant(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    ServerData data;
    mode->fillServerData(data);
    ASSERT_EQ(data.layout, ServerData::Layout::LastStand);
    EXPECT_FALSE(data.playStopped);
    mode->applyServerData(data);
    EXPECT_FALSE(mode->playStopped);
}

TEST_F(Survival, ScheduleRowsAndRewards)
{
    using R = GameModeSRV::WaveRow;
    auto same = [](R a, R b) {
        return a.skill == b.skill && a.formation == b.formation && a.enemies == b.enemies && a.missiles == b.missiles;
    };
    EXPECT_TRUE(same(GameModeSRV::waveRow(0), R{0.2f, 0, 1, 0}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(2), R{0.7f, 0, 1, 0}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(3), R{0.2f, 1, 2, 1}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(4), R{0.5f, 0, 2, 1}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(6), R{0.2f, 1, 3, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(9), R{0.7f, 2, 3, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(10), R{0.2f, 1, 4, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(13), R{0.7f, 2, 4, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(14), R{0.7f, 1, 5, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(17), R{0.5f, 2, 6, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(18), R{1.0f, 1, 6, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(19), R{1.0f, 2, 6, 2}));
    EXPECT_TRUE(same(GameModeSRV::waveRow(20), R{1.0f, 1, 6, 2}));
    EXPECT_EQ(GameModeSRV::rewardFor(7, 5), 26);
    EXPECT_EQ(GameModeSRV::rewardFor(0, 5), 0);
    EXPECT_EQ(GameModeSRV::rewardFor(16, 0) - GameModeSRV::rewardFor(15, 0), 50);
}

TEST_F(Survival, WavesJoinsAndRemovedEnemies)
{
    auto* mode = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->currentWave(), 0);
    EXPECT_FLOAT_EQ(mode->waveTimer(), GameModeSRV::kFirstCountdown);
    step(*mode, 10.1f);
    std::vector<Airplane*> enemies = airplanes(*mode, 1);
    ASSERT_EQ(enemies.size(), 1u);
    EXPECT_TRUE(enemies[0]->isActive());
    // The wave's enemy shot by the player, then deleted with the next wave:
    // nothing points at it afterwards.
    Airplane* me = mode->playerAirplane();
    mode->onAirplaneDestroyed(*enemies[0], me, CrashCause::KilledByDamage);
    me->lastAttacker = enemies[0];
    step(*mode, 1.0f);
    EXPECT_EQ(mode->currentWave(), 0) << "the next wave waits for the fall";
    step(*mode, 7.0f);
    EXPECT_EQ(mode->currentWave(), 1);
    EXPECT_EQ(me->lastAttacker, nullptr);
    // Hosting: joins close at wave 5.
    mode->setNetwork(true, true, false);
    for (int w = 1; w < 5; ++w) {
        step(*mode, 5.2f);
        for (Airplane* e : airplanes(*mode, 1))
            mode->onAirplaneDestroyed(*e, me, CrashCause::KilledByDamage);
        // Hosted too, the next wave counts from the fall.
        step(*mode, 0.1f);
        EXPECT_EQ(mode->currentWave(), w);
        step(*mode, 8.0f);
    }
    EXPECT_EQ(mode->currentWave(), 5);
    ASSERT_FALSE(harness.listener.acceptingJoins.empty());
    EXPECT_FALSE(harness.listener.acceptingJoins.back());
}

TEST_F(Survival, ANewBestWaveIsSavedWhenTheMatchEnds)
{
    settings().bestWaveSP = 1;
    auto* mode = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    step(*mode, 10.1f);
    for (int w = 0; w < 2; ++w) {
        for (Airplane* e : airplanes(*mode, 1))
            mode->onAirplaneDestroyed(*e, me, CrashCause::KilledByDamage);
        step(*mode, 13.0f);  // the fall, then the countdown
    }
    ASSERT_EQ(mode->currentWave(), 2);
    mode->onAirplaneDestroyed(*me, nullptr, CrashCause::KilledByDamage);
    for (int i = 0; i < 600 && !mode->playStopped; ++i)
        step(*mode, 0.1f);
    ASSERT_TRUE(mode->playStopped);
    step(*mode, 0.1f);
    // Waves 0 at a fifth, wave 1 in full: 5 / 5 + 5.
    EXPECT_EQ(mode->reward(), 6);
    EXPECT_EQ(settings().bestWaveSP, 2);
    Settings fromFile;
    ASSERT_TRUE(fromFile.load());
    EXPECT_EQ(fromFile.bestWaveSP, 2);
    EXPECT_EQ(fromFile.bestWaveMP, 0);
    // Left from its end table: nothing is recorded or scored a second time.
    const MatchPoints before = ScoreMgr::instance().totals();
    mode->endMatch();
    EXPECT_EQ(ScoreMgr::instance().totals().matchBonus, before.matchBonus);
    EXPECT_EQ(ScoreMgr::instance().totals().kill, before.kill);
    EXPECT_EQ(mode->reward(), 6);
}

// A joiner whose host is lost in the middle of a match keeps the waves it reached.
TEST_F(Survival, AMatchCutShortStillRecordsItsWaves)
{
    auto* mode = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    step(*mode, 10.1f);
    for (Airplane* e : airplanes(*mode, 1))
        mode->onAirplaneDestroyed(*e, mode->playerAirplane(), CrashCause::KilledByDamage);
    step(*mode, 13.0f);
    ASSERT_EQ(mode->currentWave(), 1);
    mode->setNetwork(true, false, false);
    mode->endMatch();
    EXPECT_EQ(mode->reward(), 5);
    EXPECT_EQ(settings().bestWaveMP, 1);
    EXPECT_EQ(ScoreMgr::instance().totals().matchBonus, 5);
}

TEST_F(Survival, BotMatchReachesWaveTwoOrFreezes)
{
    auto* mode = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    mode->autopilot = true;
    mode->reapplyPlayerAutopilot();
    float t = 0.0f;
    for (; t < 600.0f && !mode->playStopped && mode->currentWave() < 2; t += 1.0f)
        step(*mode, 1.0f);
    RecordProperty("seconds", static_cast<int>(t));
    RecordProperty("wave", mode->currentWave());
    EXPECT_TRUE(mode->playStopped || mode->currentWave() >= 2);
    ServerData data;
    mode->fillServerData(data);
    ASSERT_EQ(data.layout, ServerData::Layout::Waves);
    EXPECT_EQ(data.wave, mode->currentWave());
}

TEST_F(Dogfight, RewardsByRankGap)
{
    // Dogfight 12 first won 120 points below the next rank pays the gap.
    EXPECT_EQ(GameModeDF::rewardFor(12, false, 3, kRankThresholds[4] - 120), 120);
    EXPECT_EQ(GameModeDF::rewardFor(12, true, 3, kRankThresholds[4] - 120), 3000);
    EXPECT_EQ(GameModeDF::rewardFor(15, false, 17, 6000000), 0);
    EXPECT_EQ(GameModeDF::rewardFor(19, false, 12, 0), GameModeDF::kRewardCap);
    EXPECT_EQ(GameModeDF::rewardFor(5, false, 0, 0), 300);
    EXPECT_EQ(GameModeDF::clampIndex(-4), 0);
    EXPECT_EQ(GameModeDF::clampIndex(99), 19);
}

TEST_F(Dogfight, OneEnemyWonOrLostAndUnlocks)
{
    settings().dogfightIndex = 3;
    settings().dogfightsUnlocked = 3;
    settings().dogfightEnemyCount = 1;
    auto* mode = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(mode, nullptr);
    ASSERT_EQ(airplanes(*mode, 1).size(), 1u);
    Airplane* enemy = airplanes(*mode, 1).front();
    EXPECT_EQ(mode->dogfightIndex(), 3);
    const int killed = missionStats().enemiesKilled;
    mode->onAirplaneDestroyed(*enemy, mode->playerAirplane(), CrashCause::KilledByDamage);
    step(*mode, 1.0f);
    EXPECT_FALSE(mode->playStopped || mode->won()) << "decided while the last enemy falls";
    step(*mode, 7.0f);
    EXPECT_FALSE(enemy->isActive());
    EXPECT_TRUE(mode->won());
    EXPECT_EQ(missionStats().enemiesKilled, killed + 1) << "counted once, not again when the fall ends";
    EXPECT_EQ(mode->reward(), 75);
    EXPECT_EQ(settings().dogfightsUnlocked, 4);
    EXPECT_EQ(ScoreMgr::instance().medal, GameModeDF::kWonMedal) << "the result page's value of a win";
    harness.finish();

    // Lost: the result value is 0 and nothing is paid or unlocked.
    auto* lost = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(lost, nullptr);
    ScoreMgr::instance().medal = 7;
    lost->onAirplaneDestroyed(*lost->playerAirplane(), airplanes(*lost, 1).front(), CrashCause::KilledByDamage);
    step(*lost, 8.0f);
    EXPECT_FALSE(lost->won());
    EXPECT_EQ(ScoreMgr::instance().medal, 0);
    EXPECT_EQ(lost->reward(), 0);
    EXPECT_EQ(settings().dogfightsUnlocked, 4);
    harness.finish();

    // An earlier dogfight won does not unlock another.
    settings().dogfightIndex = 1;
    auto* again = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(again, nullptr);
    again->onAirplaneDestroyed(*airplanes(*again, 1).front(), again->playerAirplane(), CrashCause::KilledByDamage);
    step(*again, 8.0f);
    EXPECT_EQ(settings().dogfightsUnlocked, 4);
}

// Shot down low, the enemy's fall ends on the ground: one kill, counted at the
// hit, and none again when the wreck strikes.
TEST_F(Dogfight, AnEnemyShotDownLowCountsOnceWhenItHitsTheGround)
{
    settings().dogfightIndex = 3;
    settings().dogfightEnemyCount = 2;
    auto* mode = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(mode, nullptr);
    ASSERT_EQ(airplanes(*mode, 1).size(), 2u);
    step(*mode, 0.5f);
    Airplane* enemy = airplanes(*mode, 1).front();
    Airplane& player = *mode->playerAirplane();
    const Vec3 at = enemy->position();
    enemy->setPositionAndStop({at.x, std::max(mode->groundHeightAt(at.x, at.z), 0.0f) + 120.0f, at.z});
    Quat down;
    Vec3 dir{0.0f, -0.7f, -0.7f};
    quatFromDirectionTo(down, vec3Normalize(dir));
    enemy->setOrientation(down);
    enemy->setSpeed(120.0f);
    const int killed = missionStats().enemiesKilled;
    const int tally = ScoreMgr::instance().killTally();
    const int points = player.scores[Airplane::kScorePoints];
    mode->damageAirplane(*enemy, &player, 1e9f, enemy->position(), nullptr, true);
    for (int i = 0; i < 5 && enemy->lifeState() == LifeState::Alive; ++i)
        mode->update(ModeHarness::kFrame);
    ASSERT_EQ(enemy->lifeState(), LifeState::Dying);
    const int pointsAtHit = player.scores[Airplane::kScorePoints];
    const int tallyAtHit = ScoreMgr::instance().killTally();
    EXPECT_GT(pointsAtHit, points);
    EXPECT_GT(tallyAtHit, tally);
    Vec3 last = enemy->position();
    for (int i = 0; i < 4 * 60 && enemy->lifeState() == LifeState::Dying; ++i) {
        last = enemy->position();
        mode->update(ModeHarness::kFrame);
    }
    ASSERT_NE(enemy->lifeState(), LifeState::Dying) << "the fall never ended";
    EXPECT_LT(last.y, std::max(mode->groundHeightAt(last.x, last.z), 0.0f) + 20.0f) << "it ended in the air";
    step(*mode, 1.0f);
    EXPECT_EQ(missionStats().enemiesKilled, killed + 1);
    EXPECT_EQ(ScoreMgr::instance().killTally(), tallyAtHit);
    EXPECT_EQ(player.scores[Airplane::kScorePoints], pointsAtHit) << "the crash scored the kill again";
    EXPECT_EQ(enemy->scores[Airplane::kScoreDeaths], 1);
    EXPECT_FALSE(mode->won()) << "one enemy is still flying";
}

// A falling enemy that flies into the player's airplane on the way down was
// counted when it was shot down; the end of its fall counts nothing more.
TEST_F(Dogfight, AFallingEnemyEndingInThePlayerCountsOnce)
{
    settings().dogfightIndex = 3;
    settings().dogfightEnemyCount = 3;
    auto* mode = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(mode, nullptr);
    std::vector<Airplane*> enemies = airplanes(*mode, 1);
    ASSERT_EQ(enemies.size(), 3u);
    step(*mode, 0.5f);
    // Airplanes of one side fly through each other, and the player has no wingman.
    Airplane& player = *mode->playerAirplane();
    Airplane& falling = *enemies[0];
    const int killed = missionStats().enemiesKilled;
    mode->damageAirplane(falling, &player, 1e9f, falling.position(), nullptr, true);
    for (int i = 0; i < 5 && falling.lifeState() == LifeState::Alive; ++i)
        mode->update(ModeHarness::kFrame);
    ASSERT_EQ(falling.lifeState(), LifeState::Dying);
    EXPECT_EQ(missionStats().enemiesKilled, killed + 1);

    // A short frame, so that they meet where they were put.
    for (int i = 0; i < 3 && player.isAlive(); ++i) {
        falling.setPositionAndStop(player.position());
        mode->update(0.001f);
    }
    ASSERT_FALSE(player.isAlive()) << "the two never touched";
    step(*mode, 1.0f);
    EXPECT_EQ(missionStats().enemiesKilled, killed + 1) << "the falling enemy was counted again";
    EXPECT_EQ(falling.scores[Airplane::kScoreDeaths], 1);
    EXPECT_FALSE(mode->won());
}

TEST_F(Dogfight, SavedIndexOutOfRangeIsHeld)
{
    settings().dogfightIndex = 4000;
    settings().dogfightEnemyCount = 1;
    auto* mode = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->dogfightIndex(), 19);
}

TEST_F(Dogfight, BotMatchWithOneEnemyEnds)
{
    settings().dogfightIndex = 0;
    settings().dogfightEnemyCount = 1;
    auto* mode = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(mode, nullptr);
    mode->autopilot = true;
    mode->reapplyPlayerAutopilot();
    for (float t = 0.0f; t < 600.0f && !mode->playStopped; t += 1.0f) {
        step(*mode, 1.0f);
        // Past two minutes the fight is helped along.
        if (t > 120.0f)
            for (Airplane* a : airplanes(*mode, -1))
                if (a->isActive() && randModulo(10) == 0)
                    mode->damageAirplane(*a, nullptr, 1000.0f, a->position(), nullptr, true);
    }
    EXPECT_TRUE(mode->playStopped);
}

}  // namespace
