// The kinds' own rules where they differ from the shared skirmish: deaths a
// peer reports, rounds and waves on the host's word, scoring between rounds,
// and what a new round or match clears.
#include "entities/ai/AirplaneAI.h"
#include "entities/ground/Flag.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/MissileKinds.h"
#include "gamedata/records/WeaponCfg.h"
#include "modes/MatchReport.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Language.h"

#include "CampaignFixture.h"
#include "ObjectiveModeKit.h"

namespace {

using KindRules = ObjectiveModeTest;
// The mission fixture picks no plane; the settings go back as they were.
struct CampaignKills : CampaignMission {
    Settings saved = settings();
    MissionStats savedStats = missionStats();
    void TearDown() override
    {
        harness.finish();
        settings() = saved;
        missionStats() = savedStats;
    }
};

constexpr std::uint8_t kDestroyed = GameModeCustom::kEventDestroyed;

void setBots(int entry, int team0, int team1)
{
    settings().setSkirmishWord(entry, 0, 0);
    settings().setSkirmishWord(entry, 1, 0);
    settings().setSkirmishWord(entry, 2, static_cast<std::uint32_t>(team0));
    settings().setSkirmishWord(entry, 3, static_cast<std::uint32_t>(team1));
}

void setLmsTeams(bool teams)
{
    settings().setSkirmishWord(Settings::kEntryFurther, 0, teams ? 0x100u : 0u);
}

std::unique_ptr<Missile> missileFrom(GameMode& mode, Airplane& owner, Target* target, const WeaponCfg& record)
{
    MissileLaunch launch;
    launch.record = &record;
    launch.host = &mode;
    launch.owner = &owner;
    launch.target = target;
    launch.position = owner.position() + Vec3{0.0f, -5.0f, 0.0f};
    return Missile::make<SimpleMissile>(launch);
}

TEST_F(KindRules, ALastManStandingHostPutsOutWhoDiesInARoundHoweverItIsReported)
{
    setLmsTeams(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    step(*mode, GameModeLMS::kSingleCountdown + 0.1f);
    ASSERT_TRUE(mode->roundRunning());
    mode->setNetwork(true, true, false);
    std::vector<Airplane*> bots = airplanes(*mode, -1);
    std::erase(bots, mode->playerAirplane());
    ASSERT_GE(bots.size(), 3u);

    // Shot down here: put out at the hit, its fall still in play, and out of
    // play for good once down; the second message says so (peers waiting for
    // a respawn would take the host for lost).
    mode->outbox().clear();
    mode->onAirplaneDestroyed(*bots[0], mode->playerAirplane(), CrashCause::KilledByDamage);
    ASSERT_EQ(harness.posted().destroyed.size(), 1u);
    EXPECT_EQ(harness.posted().destroyed[0].flags & kDestroyed, kDestroyed);
    EXPECT_EQ(bots[0]->scores[Airplane::kScoreOutOrder], 2);
    EXPECT_TRUE(bots[0]->isActive());
    step(*mode, 8.0f);
    EXPECT_FALSE(bots[0]->isActive());
    EXPECT_FLOAT_EQ(bots[0]->respawnTimer, -1.0f);
    ASSERT_EQ(harness.posted().destroyed.size(), 2u);
    EXPECT_EQ(harness.posted().destroyed[1].flags & kDestroyed, 0);
    EXPECT_FLOAT_EQ(harness.posted().destroyed[1].respawnTime, -1.0f);

    // A joiner's crash its own machine reported: put out with the next out
    // order, and out of play when its owner says it is down.
    bots[1]->networkRole = NetworkRole::RemoteClient;
    mode->outbox().clear();
    mode->onAirplaneEvent(*bots[1], nullptr, CrashCause::Ground, kDestroyed, 8.0f, bots[1]->position(), Quat{});
    EXPECT_EQ(bots[1]->scores[Airplane::kScoreOutOrder], 3);
    EXPECT_TRUE(bots[1]->isActive());
    mode->onAirplaneEvent(*bots[1], nullptr, CrashCause::Ground, 8, -1.0f, bots[1]->position(), Quat{});
    EXPECT_FALSE(bots[1]->isActive());
    EXPECT_FLOAT_EQ(bots[1]->respawnTimer, -1.0f);
    ASSERT_EQ(harness.posted().destroyed.size(), 2u);
    EXPECT_FLOAT_EQ(harness.posted().destroyed[1].respawnTime, -1.0f);
    // Reported twice: counted once.
    mode->onAirplaneEvent(*bots[1], nullptr, CrashCause::Ground, kDestroyed, 8.0f, bots[1]->position(), Quat{});
    EXPECT_EQ(bots[1]->scores[Airplane::kScoreOutOrder], 3);

    // Everybody but the player reported down: the round, and the match, end
    // once the last of them is out of play.
    for (std::size_t i = 2; i < bots.size(); ++i)
        mode->onAirplaneEvent(*bots[i], nullptr, CrashCause::Water, kDestroyed, 8.0f, bots[i]->position(), Quat{});
    EXPECT_FALSE(mode->playStopped);
    step(*mode, 0.1f);
    EXPECT_TRUE(mode->playStopped);
}

TEST_F(KindRules, LastManStandingScoresOnlyWhileARoundRunsAndStartsEachClean)
{
    setLmsTeams(true);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    ScoreMgr& sm = ScoreMgr::instance();
    EXPECT_FALSE(sm.active());  // the countdown
    Airplane* me = mode->playerAirplane();
    Airplane* enemy = airplanes(*mode, 1).front();
    WeaponCfg rocket;
    rocket.type = kWeaponSimple;
    rocket.weapon_id = 12;
    rocket.speed = 400.0f;
    rocket.life = 30.0f;
    mode->addMissile(missileFrom(*mode, *me, enemy, rocket));
    ASSERT_EQ(mode->missiles().count(), 1);

    mode->startRoundCountdown(0.0f);
    ASSERT_TRUE(mode->roundRunning());
    EXPECT_TRUE(sm.active());
    // The round started without the countdown's missiles, each unregistered.
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_EQ(mode->missilesRegistered(), mode->missilesUnregistered());
    EXPECT_EQ(mode->playerMissile(), nullptr);

    // A new countdown pauses scoring again; the team variant's next match starts without it.
    mode->startRoundCountdown(3.0f);
    EXPECT_FALSE(sm.active());
    mode->startNextMatch();
    EXPECT_FALSE(sm.active());
    EXPECT_FALSE(mode->roundRunning());
}

struct EventLog : IModeProgress {
    std::vector<int> events;
    void countEvent(int id) override { events.push_back(id); }
    bool has(int id) const { return std::find(events.begin(), events.end(), id) != events.end(); }
};

TEST_F(KindRules, ALastManStandingWinCountsItsMatchEvents)
{
    EventLog log;
    harness.progress = &log;
    setLmsTeams(false);
    auto* mode = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(mode, nullptr);
    std::vector<Airplane*> bots = airplanes(*mode, -1);
    std::erase(bots, mode->playerAirplane());
    for (std::size_t i = 1; i < bots.size(); ++i)
        mode->removeEntity(*bots[i]);
    step(*mode, GameModeLMS::kSingleCountdown + 0.1f);
    ASSERT_TRUE(mode->roundRunning());
    mode->onAirplaneDestroyed(*bots[0], mode->playerAirplane(), CrashCause::KilledByDamage);
    EXPECT_FALSE(mode->playStopped) << "the last one standing is decided after the fall";
    step(*mode, 8.0f);
    ASSERT_TRUE(mode->playStopped);
    step(*mode, 0.1f);
    EXPECT_TRUE(log.has(65));
    EXPECT_TRUE(log.has(66));
    EXPECT_EQ(matchOutcome(), MatchOutcome::Won);
}

TEST_F(KindRules, ASurvivalHostKeepsAReportedDeathOutAndClientsFollowTheWaves)
{
    auto* mode = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, true, false);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    mode->outbox().clear();
    mode->onAirplaneEvent(*me, nullptr, CrashCause::Ground, kDestroyed, 8.0f, me->position(), Quat{});
    EXPECT_TRUE(me->isActive()) << "in play until its owner says it is down";
    mode->onAirplaneEvent(*me, nullptr, CrashCause::Ground, 8, 8.0f, me->position(), Quat{});
    EXPECT_FALSE(me->isActive());
    EXPECT_FLOAT_EQ(me->respawnTimer, -1.0f);
    ASSERT_EQ(harness.posted().destroyed.size(), 2u);
    EXPECT_FLOAT_EQ(harness.posted().destroyed[1].respawnTime, -1.0f);

    // A client learns each wave and its countdown from the host.
    auto* client = mode;
    client->setNetwork(true, false, false);
    client->setModeValue(5, 3);
    EXPECT_EQ(client->currentWave(), 3);
    EXPECT_FLOAT_EQ(client->waveTimer(), 5.0f);
    client->setModeValue(0, 4);
    EXPECT_EQ(client->currentWave(), 4);
    EXPECT_LE(client->waveTimer(), 0.0f);
    // Out of range: held to what a match can have.
    client->setModeValue(1 << 30, -7);
    EXPECT_EQ(client->currentWave(), 0);
    EXPECT_LE(client->waveTimer(), 3600.0f);
}

TEST_F(KindRules, ASurvivalPlayerJoinsItsMateFlyingItsWay)
{
    auto* mode = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    Airplane* mate = mode->spawnBot(0, 0.5f, nullptr, true, -1);
    ASSERT_TRUE(me && mate);
    Quat east;
    quatFromEulerTo(east, 1.5707964f, 0.0f, 0.0f);
    mate->setOrientation(east);
    Vec3 at;
    Quat facing;
    mode->getSpawnPoint(*me, at, facing);
    const Vec3 f = forwardOf(facing);
    const Vec3 g = mate->forward();
    EXPECT_NEAR(f.x * g.x + f.z * g.z, 1.0f, 0.01f);
    EXPECT_NEAR(std::hypot(at.x - mate->position().x, at.z - mate->position().z), GameModeSRV::kPlayerCircle, 1.0f);
}

TEST_F(KindRules, SpawnsAndWavesFaceTheWayTheirRulesSay)
{
    const auto along = [](const Quat& q, const Vec3& d) {
        const Vec3 f = forwardOf(q);
        return (f.x * d.x + f.z * d.z) / std::max(std::hypot(d.x, d.z), 1e-3f);
    };
    // Capture the flag: behind the own flag, facing the enemy's.
    setBots(Settings::kEntryCTF, 0, 0);
    auto* ctf = start<GameModeCTF>(GameType::CaptureTheFlag);
    ASSERT_NE(ctf, nullptr);
    Vec3 at;
    Quat q;
    ctf->getSpawnPoint(*ctf->playerAirplane(), at, q);
    EXPECT_GT(along(q, ctf->flagOfTeam(1)->homePosition() - ctf->flagOfTeam(0)->homePosition()), 0.99f);
    harness.finish();

    // Destroy the base: facing from the own base to the enemy's.
    setBots(Settings::kEntryDTB, 0, 0);
    auto* dtb = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(dtb, nullptr);
    ASSERT_FALSE(dtb->bases(0).empty());
    ASSERT_FALSE(dtb->bases(1).empty());
    // Each spawn picks one base of each side: the first map has one each.
    if (dtb->bases(0).size() == 1 && dtb->bases(1).size() == 1) {
        dtb->getSpawnPoint(*dtb->playerAirplane(), at, q);
        EXPECT_GT(along(q, dtb->bases(1).front()->position() - dtb->bases(0).front()->position()), 0.99f);
    }
    harness.finish();

    // Survival's first wave flies the player's heading, ahead of and behind it.
    auto* srv = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(srv, nullptr);
    srv->setModeValue(0, 0);
    const Vec3 heading = srv->playerAirplane()->forward();
    for (Airplane* enemy : airplanes(*srv, 1))
        EXPECT_GT(along(enemy->orientation(), heading), 0.99f);
}

TEST_F(KindRules, ACarrierWhoseDeathAPeerReportsDropsTheFlag)
{
    setBots(Settings::kEntryCTF, 0, 1);
    auto* mode = start<GameModeCTF>(GameType::CaptureTheFlag);
    ASSERT_NE(mode, nullptr);
    Flag* flag1 = mode->flagOfTeam(1);
    ASSERT_NE(flag1, nullptr);
    Airplane* me = mode->playerAirplane();
    mode->onFlagTaken(*flag1, *me);
    ASSERT_EQ(flag1->carrier(), me);
    mode->setNetwork(true, true, false);
    mode->outbox().clear();
    mode->onAirplaneEvent(*me, nullptr, CrashCause::Ground, kDestroyed, 8.0f, me->position(), Quat{});
    EXPECT_EQ(flag1->carrier(), nullptr);
    EXPECT_EQ(flag1->state(), Flag::State::Dropped);
    // The death's message carries the drop: no flag event of its own.
    EXPECT_EQ(harness.posted().count("flag"), 0);
    EXPECT_EQ(harness.posted().destroyed.size(), 1u);
}

TEST_F(KindRules, ACarrierOutOfTheArenaIsWarnedOnTheHudLine)
{
    setBots(Settings::kEntryCTF, 0, 1);
    auto* mode = start<GameModeCTF>(GameType::CaptureTheFlag);
    ASSERT_NE(mode, nullptr);
    Flag* home = mode->flagOfTeam(0);
    Flag* enemy = mode->flagOfTeam(1);
    Airplane* me = mode->playerAirplane();
    mode->onFlagTaken(*enemy, *me);
    EXPECT_TRUE(mode->report().respawnText.empty());
    const Vec3 a = home->homePosition(), b = enemy->homePosition();
    const float radius = std::hypot(a.x - b.x, a.z - b.z) * 0.5f + GameModeCTF::kArenaMargin;
    const Vec3 far{(a.x + b.x) * 0.5f + radius + 1500.0f, 3000.0f, (a.z + b.z) * 0.5f};
    for (int i = 0; i < 30; ++i) {
        me->setPositionAndStop(far);
        mode->update(ModeHarness::kFrame);
    }
    ASSERT_TRUE(mode->carrierWarning());
    EXPECT_EQ(mode->report().respawnText, getStringByIndex(GameModeCTF::kCarrierWarningText));
    me->setPositionAndStop(mode->mapCentre());
    mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(mode->report().respawnText.empty());
}

TEST_F(KindRules, TheBaseKindsReadTheirBotsSkillFromTheSkillWord)
{
    for (const auto& [entry, type] : {std::pair{Settings::kEntryCTF, GameType::CaptureTheFlag},
                                      std::pair{Settings::kEntryDTB, GameType::DestroyTheBase}}) {
        setBots(entry, 2, 2);
        settings().setSkirmishWord(entry, 4, 0);
        settings().setSkirmishFloat(entry, 5, 1.0f);
        auto* mode = start<GameModeCustom>(type);
        ASSERT_NE(mode, nullptr);
        int bots = 0;
        for (Airplane* a : airplanes(*mode, -1))
            if (a->aiPilot) {
                ++bots;
                EXPECT_GE(a->aiLevel, 9) << static_cast<int>(type);
            }
        EXPECT_EQ(bots, 4);
        harness.finish();
    }
}

TEST_F(KindRules, ADestroyTheBaseClientLosesTheBaseTheHostReports)
{
    setBots(Settings::kEntryDTB, 0, 1);
    auto* mode = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    ASSERT_FALSE(mode->bases(1).empty());
    mode->setNetwork(true, false, false);
    Airplane* me = mode->playerAirplane();
    GroundTarget* base = mode->bases(1).front();
    harness.hud.pushed.clear();
    mode->onAirplaneEvent(*base, me, CrashCause::KilledByDamage, kDestroyed, -1.0f, base->position(), Quat{});
    EXPECT_FALSE(base->isActive());
    EXPECT_FALSE(base->isTargetable());
    EXPECT_FLOAT_EQ(base->respawnTimer, -1.0f);
    // Scored for the destroyer; a client starts no countdown of its own.
    EXPECT_GE(me->scores[Airplane::kScoreBases], 1);
    EXPECT_LE(mode->roundTimer(), 0.0f);
    // The host's countdown, then its round start, arrive as mode values.
    mode->setModeValue(10, 0);
    EXPECT_FLOAT_EQ(mode->roundTimer(), 10.0f);
    step(*mode, 10.5f);
    EXPECT_GT(mode->roundTimer(), 0.0f);  // held until the host starts the round
    mode->setModeValue(0, 0);
    EXPECT_LE(mode->roundTimer(), 0.0f);
}

TEST_F(KindRules, ADestroyTheBaseRoundStartBringsEverybodyBackAndClearsTheSky)
{
    setBots(Settings::kEntryDTB, 1, 1);
    auto* mode = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    Airplane* enemy = airplanes(*mode, 1).front();
    WeaponCfg rocket;
    rocket.type = kWeaponSimple;
    rocket.weapon_id = 12;
    rocket.speed = 400.0f;
    rocket.life = 30.0f;
    mode->addMissile(missileFrom(*mode, *me, enemy, rocket));
    mode->respawnAirplane(*enemy, 30.0f, nullptr);
    ASSERT_FALSE(enemy->isActive());
    mode->startRoundCountdown(0.0f);
    EXPECT_TRUE(enemy->isActive());
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_EQ(mode->missilesRegistered(), mode->missilesUnregistered());
}

// The player's hits on a base are kept by the base; when a team mate
// finishes it the player earns that share of the base points, and a base
// back for the next round starts clean.
TEST_F(KindRules, ADestroyTheBasePlayerEarnsTheShareOfABaseAMateFinishes)
{
    setBots(Settings::kEntryDTB, 1, 1);
    auto* mode = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(mode, nullptr);
    ASSERT_FALSE(mode->bases(1).empty());
    Airplane* me = mode->playerAirplane();
    Airplane* mate = nullptr;
    for (Airplane* a : airplanes(*mode, 0))
        if (a != me)
            mate = a;
    ASSERT_NE(mate, nullptr);
    GroundTarget* base = mode->bases(1).front();
    base->setTargetable(true);
    ASSERT_TRUE(ScoreMgr::instance().ready());
    const int sharedBefore = ScoreMgr::instance().matchPoints().baseShare;
    const float whole = base->maxHealth();
    ASSERT_GT(whole, 0.0f);
    // Hits whose sum is about 60 % of the base; a bot's hits count for nobody.
    mode->damageAirplane(*base, me, whole * 0.35f, base->position(), nullptr, true);
    mode->damageAirplane(*base, me, whole * 0.25f, base->position(), nullptr, true);
    const float mine = base->playerDamage;
    EXPECT_NEAR(mine, whole - base->health(), whole * 0.01f);
    mode->damageAirplane(*base, mate, whole * 0.2f, base->position(), nullptr, true);
    EXPECT_FLOAT_EQ(base->playerDamage, mine);
    mode->damageAirplane(*base, mate, whole * 5.0f, base->position(), nullptr, true);
    mode->onAirplaneDestroyed(*base, mate, CrashCause::KilledByDamage);
    ASSERT_FALSE(base->isAlive());
    EXPECT_EQ(ScoreMgr::instance().matchPoints().baseShare - sharedBefore,
              static_cast<int>(8.0f * mine / whole));
    EXPECT_GE(ScoreMgr::instance().matchPoints().baseShare - sharedBefore, 3);
    mode->startRoundCountdown(0.0f);
    EXPECT_EQ(base->playerDamage, 0.0f);
}

TEST_F(CampaignKills, AFallingAirplaneThatCrashesIsNotKilledTwice)
{
    ASSERT_NE(start(0, 0), nullptr);
    Airplane* enemy = nullptr;
    for (Target* t : mode->activeTargets())
        if (t->kind() == TargetKind::Airplane && t->team() == 1)
            enemy = static_cast<Airplane*>(t);
    ASSERT_NE(enemy, nullptr);
    mode->onAirplaneDestroyed(*enemy, mode->playerAirplane(), CrashCause::KilledByDamage);
    EXPECT_EQ(missionStats().enemiesKilled, 1);
    ASSERT_EQ(enemy->lifeState(), LifeState::Dying);
    const int points = mode->playerAirplane()->scores[Airplane::kScorePoints];
    mode->onAirplaneDestroyed(*enemy, nullptr, CrashCause::Collision);
    EXPECT_EQ(missionStats().enemiesKilled, 1);
    EXPECT_EQ(mode->playerAirplane()->scores[Airplane::kScorePoints], points);
    EXPECT_EQ(enemy->lifeState(), LifeState::Destroyed);
}

}  // namespace
