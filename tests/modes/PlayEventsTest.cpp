// What play reports reaches the player's achievements: each row starts a
// real kind of game on the generated data with the game's own progress object
// over real achievements, plays the one thing that raises the row's event and
// reads the event's tally. The events the modes do not raise are named with
// the place that does.
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Missile.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapTrigger.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/WeaponList.h"
#include "modes/AchievementEvents.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/MatchEvents.h"
#include "modes/MatchReport.h"
#include "modes/PlayerAirplaneInput.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/progress/AchievementPopup.h"
#include "modes/progress/Achievements.h"
#include "modes/progress/GameProgress.h"
#include "modes/progress/MissionStats.h"
#include "modes/progress/ScoreMgr.h"
#include "modes/progress/UnlocksMgr.h"
#include "entities/ground/Flag.h"
#include "platform/Language.h"
#include "platform/Random.h"
#include "platform/StringTable.h"
#include "platform/Settings.h"
#include "platform/Steam.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct CapturedLines : IModeMessages {
    std::vector<std::u16string> lines, notices;
    void pushLong(std::u16string_view text) override { lines.emplace_back(text); }
    void pushNotice(std::u16string_view text, float, int, int) override { notices.emplace_back(text); }
};

struct PlayEvents : testing::Test {
    ModeHarness harness;
    Settings profile;
    Steam account;
    AchievementPopup popup;
    Achievements table{profile, account, nullptr, popup};
    GameProgress progress{table};
    CapturedLines messages;
    Settings saved = settings();

    void SetUp() override
    {
        seedRandom(77, 5);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        table.buildTable();
        harness.progress = &progress;
        harness.messages = &messages;
    }
    void TearDown() override
    {
        harness.finish();
        settings() = saved;
    }
    GameMode* start(GameType type)
    {
        return harness.start(static_cast<int>(type), harness.firstSkirmishMap());
    }
    int tally(int id) const { return profile.eventTallyAt(false, id); }

    // The first bot of the other side (any bot in a free-for-all).
    static Airplane* enemyOf(GameMode& mode)
    {
        const Airplane* me = mode.playerAirplane();
        for (const auto& e : mode.entities())
            if (e->kind() == TargetKind::Airplane && e.get() != me &&
                (mode.gameType() == GameType::FreeForAll || e->team() != me->team()) && e->isActive() &&
                e->isAlive())
                return static_cast<Airplane*>(e.get());
        return nullptr;
    }
    // The player's guns bring the victim down; the frame's death pass runs.
    static void shootDown(GameMode& mode, Target& victim)
    {
        mode.damageAirplane(victim, mode.playerAirplane(), 1000.0f, victim.position(), nullptr, true);
        mode.update(ModeHarness::kFrame);
    }
    Target* unit(GameMode& mode, TargetKind kind)
    {
        auto t = Target::create<Target>(mode, kind, 1);
        t->setPosition(mode.playerAirplane()->position() + Vec3{0.0f, 0.0f, -5000.0f});
        return mode.addPlayerAirplane(std::move(t), false);
    }
};

// One way play raises an event: the kind of game it is played in, and the play.
struct EventRow {
    int event;
    const char* path;
    GameType type;
    std::function<void(PlayEvents&, GameMode&)> play;
    bool atStart = false;  // the start itself raises it
};

std::vector<EventRow> rows()
{
    using T = GameType;
    const auto killUnit = [](TargetKind kind) {
        return [kind](PlayEvents& t, GameMode& m) { PlayEvents::shootDown(m, *t.unit(m, kind)); };
    };
    const auto finish = [](PlayEvents&, GameMode& m) { dynamic_cast<GameModeCustom&>(m).finishMatch(); };
    const auto nothing = [](PlayEvents&, GameMode&) {};
    return {
        {modeevent::kLevelBegins, "GameMode::startLevel", T::FreeForAll, nothing, true},
        {modeevent::kLevelStart, "GameMode::startLevel", T::TeamDeathmatch, nothing, true},
        {modeevent::kPlayerDeath, "GameModeCustom::onAirplaneDestroyed (the player)", T::FreeForAll,
         [](PlayEvents&, GameMode& m) {
             m.damageAirplane(*m.playerAirplane(), PlayEvents::enemyOf(m), 1000.0f, {}, nullptr, true);
             m.update(ModeHarness::kFrame);
         }},
        {modeevent::kSurvivalDeath, "GameModeSRV through GameModeCustom::onAirplaneDestroyed", T::Survival,
         [](PlayEvents&, GameMode& m) { m.onAirplaneDestroyedNoKiller(*m.playerAirplane(), nullptr, CrashCause::Ground); }},
        {modeevent::kPlayerEjected, "GameMode::ejectPilot -> addParachute", T::FreeForAll,
         [](PlayEvents&, GameMode& m) { m.ejectPilot(*m.playerAirplane(), 0.0f, true); }},
        {modeevent::kKill, "GameMode::countKillEvents (an airplane)", T::FreeForAll,
         [](PlayEvents&, GameMode& m) { PlayEvents::shootDown(m, *PlayEvents::enemyOf(m)); }},
        {modeevent::kKillAirplane, "GameMode::countKillEvents (an airplane)", T::TeamDeathmatch,
         [](PlayEvents&, GameMode& m) { PlayEvents::shootDown(m, *PlayEvents::enemyOf(m)); }},
        {modeevent::kKillVehicle, "GameMode::countKillEvents (a vehicle)", T::FreeForAll,
         killUnit(TargetKind::Vehicle)},
        {modeevent::kKillShip, "GameMode::countKillEvents (a ship)", T::FreeForAll, killUnit(TargetKind::Ship2)},
        {modeevent::kKillCarrier, "GameMode::countKillEvents (a carrier)", T::FreeForAll,
         killUnit(TargetKind::Carrier)},
        {modeevent::kKillSubmarine, "GameMode::countKillEvents (a submarine)", T::FreeForAll,
         killUnit(TargetKind::Submarine)},
        {modeevent::kKillBuilding, "GameMode::countKillEvents (a building)", T::FreeForAll,
         killUnit(TargetKind::Building)},
        {modeevent::kStuntKill, "GameMode::countKillEvents (mid-manoeuvre)", T::FreeForAll,
         [](PlayEvents&, GameMode& m) {
             m.playerAirplane()->manoeuvreValue = 0.5f;
             m.onAirplaneDestroyed(*PlayEvents::enemyOf(m), m.playerAirplane(), CrashCause::KilledByDamage);
         }},
        {modeevent::kMissileLaunched, "GameMode::addMissile", T::FreeForAll,
         [](PlayEvents&, GameMode& m) {
             const WeaponCfg* simple = WeaponList::instance().findByName("simple_missile_1");
             ASSERT_NE(simple, nullptr);
             Airplane* me = m.playerAirplane();
             m.launchWeaponById(simple->weapon_id, me, PlayEvents::enemyOf(m), me->position());
         }},
        {modeevent::kMissileHit, "GameMode::onMissileHit", T::FreeForAll,
         [](PlayEvents&, GameMode& m) {
             const WeaponCfg* simple = WeaponList::instance().findByName("simple_missile_1");
             ASSERT_NE(simple, nullptr);
             Airplane* me = m.playerAirplane();
             ASSERT_TRUE(m.launchWeaponById(simple->weapon_id, me, PlayEvents::enemyOf(m), me->position()));
             m.onMissileHit(*m.missileSet().at(m.missileSet().count() - 1));
         }},
        {modeevent::kGuidedMissileHit, "GameMode::onMissileHit (a homing missile)", T::FreeForAll,
         [](PlayEvents&, GameMode& m) {
             const WeaponCfg* homing = WeaponList::instance().findByName("heatseeker_1");
             ASSERT_NE(homing, nullptr);
             Airplane* me = m.playerAirplane();
             ASSERT_TRUE(m.launchWeaponById(homing->weapon_id, me, PlayEvents::enemyOf(m), me->position()));
             m.onMissileHit(*m.missileSet().at(m.missileSet().count() - 1));
         }},
        {modeevent::kGunHit, "GameMode::onGunShots", T::FreeForAll,
         [](PlayEvents&, GameMode& m) { m.onGunShots(*m.playerAirplane(), 5, 2); }},
        {25, "ScoreMgr::onFlagCaptured", T::CaptureTheFlag,
         [](PlayEvents&, GameMode& m) { ScoreMgr::instance().onFlagCaptured(*m.playerAirplane()); }},
        {26, "ScoreMgr::onFlagReturned", T::CaptureTheFlag,
         [](PlayEvents&, GameMode& m) { ScoreMgr::instance().onFlagReturned(*m.playerAirplane()); }},
        {23, "ScoreMgr::onBaseDestroyed", T::DestroyTheBase,
         [](PlayEvents&, GameMode& m) { ScoreMgr::instance().onBaseDestroyed(*m.playerAirplane(), 1, 1.0f); }},
        {28, "GameModeCustom::finishMatch", T::FreeForAll, finish},
        {29, "GameModeCustom::finishMatch", T::TeamDeathmatch, finish},
        {modeevent::kCtfPlayed, "GameModeCustom::finishMatch", T::CaptureTheFlag, finish},
        {modeevent::kDtbPlayed, "GameModeCustom::finishMatch", T::DestroyTheBase, finish},
        {modeevent::kLmsPlayed, "GameModeCustom::finishMatch", T::LastManStanding, finish},
        {50, "GameModeSRV::startMatch", T::Survival, nothing, true},
        {32, "GameModeDF::finishMatch", T::Dogfight, finish},
    };
}

}  // namespace

// Every event a kind of game raises in play reaches the tally through the
// game's progress object, each from the path its row names.
TEST_F(PlayEvents, EveryRowRaisesItsEventThroughTheRealProgress)
{
    for (const EventRow& row : rows()) {
        SCOPED_TRACE(testing::Message() << "event " << row.event << " from " << row.path);
        harness.finish();
        profile = Settings{};
        table.buildTable();
        GameMode* mode = start(row.type);
        ASSERT_NE(mode, nullptr);
        ASSERT_NE(mode->playerAirplane(), nullptr);
        const int before = row.atStart ? 0 : tally(row.event);
        row.play(*this, *mode);
        EXPECT_GT(tally(row.event), before);
    }
}

// The first mission of the first campaign counts its own start beside the
// level start; the other missions do not.
TEST_F(PlayEvents, TheFirstCampaignMissionCountsItsStart)
{
    const MapInfoCfg* first = MapLists::instance().campaignMission(0, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(harness.start(createGameMode(static_cast<int>(GameType::Campaign)), first), nullptr);
    EXPECT_EQ(tally(modeevent::kFirstMissionStart), 1);
    EXPECT_EQ(tally(modeevent::kLevelStart), 1);
    harness.finish();
    ASSERT_NE(harness.start(createGameMode(static_cast<int>(GameType::Campaign)),
                            MapLists::instance().campaignMission(0, 1)),
              nullptr);
    EXPECT_EQ(tally(modeevent::kFirstMissionStart), 1);
    EXPECT_EQ(tally(modeevent::kLevelStart), 2);
}

// Kills by others earn the player nothing; a death breaks the streak of
// kills that begins at the level start ("rookie" wants three in one life).
TEST_F(PlayEvents, OnlyThePlayersOwnKillsCountAndADeathBreaksTheStreak)
{
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 7);
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    constexpr int kRookie = 0;
    // A bot's crash: nobody's kill.
    mode->onAirplaneDestroyedNoKiller(*enemyOf(*mode), nullptr, CrashCause::Ground);
    EXPECT_EQ(tally(modeevent::kKill), 0);
    EXPECT_EQ(tally(modeevent::kPlayerDeath), 0);

    for (int i = 0; i < 2; ++i)
        shootDown(*mode, *enemyOf(*mode));
    mode->onAirplaneDestroyedNoKiller(*mode->playerAirplane(), nullptr, CrashCause::Water);
    EXPECT_EQ(tally(modeevent::kPlayerDeath), 1);
    for (int i = 0; i < 2; ++i)
        shootDown(*mode, *enemyOf(*mode));
    EXPECT_EQ(tally(modeevent::kKillAirplane), 4);
    EXPECT_FALSE(table.find(kRookie)->done);
    shootDown(*mode, *enemyOf(*mode));
    EXPECT_TRUE(table.find(kRookie)->done);

    // A neutral unit counts no kill.
    auto neutral = Target::create<Target>(*mode, TargetKind::Other, kTeamNone);
    shootDown(*mode, *mode->addPlayerAirplane(std::move(neutral), false));
    EXPECT_EQ(tally(modeevent::kKill), 5);
}

// "show" is the player's stunt: a kill in the middle of a hard pull on his
// own stick counts, the same kill while the autopilot flies the airplane does
// not, and a pull the autopilot began is gone when the player takes over.
TEST_F(PlayEvents, AStuntKillIsThePlayersOwnPullNeverTheAutopilots)
{
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 7);
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane& me = *mode->playerAirplane();
    constexpr int kShow = 48;
    // Level flight: a plain kill.
    shootDown(*mode, *enemyOf(*mode));
    EXPECT_EQ(tally(modeevent::kStuntKill), 0);
    // A hard pull held for a few frames, then the kill.
    steerPlayerAirplane(*mode, 1.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 10; ++i)
        mode->update(ModeHarness::kFrame);
    EXPECT_GT(me.manoeuvreValue, 0.1f);
    shootDown(*mode, *enemyOf(*mode));
    EXPECT_EQ(tally(modeevent::kStuntKill), 1);
    EXPECT_TRUE(table.find(kShow)->done);

    // The autopilot takes over mid-pull: its kills are no stunt, however it pulls.
    togglePlayerAutopilot(*mode);
    ASSERT_NE(me.aiController(), nullptr);
    EXPECT_EQ(me.manoeuvreValue, 0.0f);
    me.manoeuvreValue = 5.0f;
    shootDown(*mode, *enemyOf(*mode));
    EXPECT_EQ(tally(modeevent::kStuntKill), 1);
    // Back in the player's hands with the stick centred: the autopilot's pull is not his.
    togglePlayerAutopilot(*mode);
    ASSERT_EQ(me.aiController(), nullptr);
    steerPlayerAirplane(*mode, 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(me.manoeuvreValue, 0.0f);
    shootDown(*mode, *enemyOf(*mode));
    EXPECT_EQ(tally(modeevent::kStuntKill), 1);
}

// The HUD lines of an ejection, the landmark notices through the string
// table and the carrier's warning reach the player.
TEST_F(PlayEvents, EjectionLineAndLandmarkNoticeAreReadableText)
{
    GameMode* mode = start(GameType::FreeFlight);
    ASSERT_NE(mode, nullptr);
    mode->ejectPilot(*mode->playerAirplane(), 0.0f, true);
    ASSERT_EQ(messages.lines.size(), 1u);
    EXPECT_EQ(messages.lines[0].find(u"DUMMY"), std::u16string::npos) << "every text of the line is in the table";

    harness.finish();
    mode = start(GameType::FreeFlight);
    ASSERT_NE(mode, nullptr);
    ASSERT_FALSE(mode->world()->landmarkTriggers().empty());
    const MapTrigger& landmark = *mode->world()->landmarkTriggers().front();
    ASSERT_FALSE(landmark.notice.empty());
    // Above the place it names, inside its tall cylinder.
    mode->playerAirplane()->setPositionAndStop(landmark.pos + Vec3{0.0f, 500.0f, 0.0f});
    mode->update(ModeHarness::kFrame);
    ASSERT_EQ(messages.notices.size(), 1u);
    const std::u16string key(landmark.notice.begin(), landmark.notice.end());
    EXPECT_NE(messages.notices[0], key) << "the notice shows its text, not its key";
    EXPECT_EQ(messages.notices[0], mapText(landmark.notice));
    EXPECT_EQ(tally(MapTrigger::kLandmarkEventBase + landmark.landmark), 1);
}

// The mission statistics count the damage the player took and the airplanes
// of each side, moved when one changes side.
TEST_F(PlayEvents, MissionStatisticsCountDamageTakenAndBothSidesAirplanes)
{
    GameMode* mode = harness.start(createGameMode(static_cast<int>(GameType::Campaign)),
                                   MapLists::instance().campaignMission(0, 0));
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    int friends = 0, enemies = 0;
    Airplane* enemy = nullptr;
    for (const auto& e : mode->entities()) {
        if (e->kind() != TargetKind::Airplane)
            continue;
        friends += e->team() == 0;
        enemies += e->team() == 1;
        if (e->team() == 1)
            enemy = static_cast<Airplane*>(e.get());
    }
    ASSERT_NE(enemy, nullptr) << "the first mission is fought in the air";
    const MissionStats& stats = missionStats();
    EXPECT_EQ(stats.friendlyAirplanes, friends);
    EXPECT_EQ(stats.enemyAirplanes, enemies);
    mode->changeTeam(*enemy, 0);
    EXPECT_EQ(stats.friendlyAirplanes, friends + 1);
    EXPECT_EQ(stats.enemyAirplanes, enemies - 1);

    Airplane& me = *mode->playerAirplane();
    const float health = me.health();
    mode->damageAirplane(me, nullptr, 0.05f, me.position(), nullptr, false);
    EXPECT_NEAR(stats.damageTaken, health - me.health(), 1e-6f);
    EXPECT_GT(stats.damageTaken, 0.0f);
}

// Each round of the player's guns that hits counts once, others' rounds
// never; only a homing missile's hit counts as a guided one.
TEST_F(PlayEvents, GunHitsCountByTheRoundAndOnlyHomingMissilesAsGuided)
{
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane& me = *mode->playerAirplane();
    Airplane* bot = enemyOf(*mode);
    ASSERT_NE(bot, nullptr);
    mode->onGunShots(me, 10, 3);
    mode->onGunShots(me, 4, 0);
    mode->onGunShots(*bot, 10, 10);
    EXPECT_EQ(tally(modeevent::kGunHit), 3);

    const WeaponCfg* rocket = WeaponList::instance().findByName("simple_missile_1");
    ASSERT_NE(rocket, nullptr);
    ASSERT_TRUE(mode->launchWeaponById(rocket->weapon_id, &me, bot, me.position()));
    mode->onMissileHit(*mode->missileSet().at(mode->missileSet().count() - 1));
    EXPECT_EQ(tally(modeevent::kMissileHit), 1);
    EXPECT_EQ(tally(modeevent::kGuidedMissileHit), 0);
    const WeaponCfg* homing = WeaponList::instance().findByName("heatseeker_1");
    ASSERT_NE(homing, nullptr);
    ASSERT_TRUE(mode->launchWeaponById(homing->weapon_id, bot, &me, bot->position()));
    mode->onMissileHit(*mode->missileSet().at(mode->missileSet().count() - 1));
    EXPECT_EQ(tally(modeevent::kGuidedMissileHit), 0) << "a bot's missile";
    ASSERT_TRUE(mode->launchWeaponById(homing->weapon_id, &me, bot, me.position()));
    mode->onMissileHit(*mode->missileSet().at(mode->missileSet().count() - 1));
    EXPECT_EQ(tally(modeevent::kMissileHit), 2);
    EXPECT_EQ(tally(modeevent::kGuidedMissileHit), 1);
}

// A player who changes sides, here or on a peer, gets one team-change line.
// The player's own switch, asked here (the host's path) or told by the host
// (a joiner's), takes the airplane down without a crash, death or collision
// counted.
TEST_F(PlayEvents, ATeamSwitchShowsOneLineAndCountsNothing)
{
    GameMode* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    Airplane* bot = enemyOf(*mode);
    ASSERT_NE(bot, nullptr);
    const int team = bot->team() == 0 ? 1 : 0;
    ASSERT_NE(mode->applyPeerEvent(peerevent::TeamSwitch{bot->id(), team, 0.0f, bot->position(), {}}), nullptr);
    EXPECT_EQ(bot->team(), team);
    EXPECT_EQ(messages.lines.size(), 1u);

    Airplane& me = *mode->playerAirplane();
    const int mine = me.team();
    mode->removeAirplaneForGood(me, mine == 0 ? 1 : 0);
    EXPECT_EQ(me.team(), mine == 0 ? 1 : 0);
    mode->respawnAirplane(me, 0.0f, nullptr);
    ASSERT_TRUE(me.isActive() && me.isAlive());
    ASSERT_NE(mode->applyPeerEvent(peerevent::TeamSwitch{me.id(), mine, 0.0f, me.position(), {}}), nullptr);
    EXPECT_EQ(me.team(), mine);
    for (int id : {int(Airplane::kEventCollisionDeath), int(Airplane::kEventCrashed), 11})
        EXPECT_EQ(tally(id), 0) << "event " << id;
}

// A new round starts with an empty list of what was just unlocked.
TEST_F(PlayEvents, ARoundResetEmptiesTheRecentUnlocks)
{
    UnlocksMgr& unlocks = UnlocksMgr::instance();
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    settings() = Settings{};
    UnlockItem smoke;
    smoke.itemType = static_cast<int>(UnlockItemType::AcrobaticSmoke);
    ASSERT_TRUE(unlocks.applyItem(smoke, UnlockEventType::Achievement, false, ""));
    ASSERT_FALSE(unlocks.recent().empty());
    mode->resetRound();
    EXPECT_TRUE(unlocks.recent().empty());
}

// A missile homing on the player's airplane shows the warning; decoyed away,
// the warning goes with it.
TEST_F(PlayEvents, IncomingMissileWarningComesAndGoesWithTheThreat)
{
    GameMode* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* bot = enemyOf(*mode);
    const WeaponCfg* simple = WeaponList::instance().findByName("simple_missile_1");
    ASSERT_TRUE(bot && simple);
    Airplane& me = *mode->playerAirplane();
    bot->setPositionAndStop(me.position() + Vec3{0.0f, 0.0f, 3000.0f});
    ASSERT_TRUE(mode->launchWeaponById(simple->weapon_id, bot, &me, bot->position()));
    mode->update(ModeHarness::kFrame);
    ASSERT_NE(me.incomingMissile, nullptr);
    EXPECT_EQ(std::count(harness.hud.postedMessages.begin(), harness.hud.postedMessages.end(),
                         IModeHud::kIncomingMissileMessage), 1);
    harness.hud.removedMessages.clear();
    Missile::loseTargetEverywhere(&me);
    mode->update(ModeHarness::kFrame);
    EXPECT_EQ(me.incomingMissile, nullptr);
    EXPECT_EQ(std::count(harness.hud.removedMessages.begin(), harness.hud.removedMessages.end(),
                         IModeHud::kIncomingMissileMessage), 1);
}

// The carrier of the enemy flag outside the arena is told to turn back, in
// the line under the HUD.
TEST_F(PlayEvents, TheFlagCarrierOutOfBoundsIsWarned)
{
    auto* mode = dynamic_cast<GameModeCTF*>(start(GameType::CaptureTheFlag));
    ASSERT_NE(mode, nullptr);
    Airplane& me = *mode->playerAirplane();
    Flag* enemy = mode->flagOfTeam(me.team() == 0 ? 1 : 0);
    ASSERT_NE(enemy, nullptr);
    MatchReport report;
    mode->fillReport(report);
    EXPECT_TRUE(report.respawnText.empty());
    enemy->pickUp(me, false);
    enemy->outOfBoundsTimer = 3.0f;
    mode->fillReport(report);
    const std::u16string* warning = findStringTable().text(88);
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(report.respawnText, *warning);
    EXPECT_FALSE(report.waitingToFly) << "the carrier flies on";
}
