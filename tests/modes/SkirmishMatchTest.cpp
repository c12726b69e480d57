#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/GameModeGlobals.h"
#include "modes/ModeServices.h"
#include "modes/PlayerAirplaneInput.h"
#include "modes/kinds/GameModeFFA.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

namespace {

struct CountingOverlays : IModeOverlays {
    int opened = 0;
    void openPauseScreen(PauseMenu) override { ++opened; }
};

struct SkirmishMatch : testing::Test {
    ModeHarness harness;
    CountingOverlays overlays;
    Settings saved = settings();

    void SetUp() override
    {
        seedRandom(77, 5);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
    }
    void TearDown() override
    {
        harness.finish();
        settings() = saved;
    }
    GameModeCustom* start(GameType type)
    {
        harness.overlays = &overlays;
        return dynamic_cast<GameModeCustom*>(harness.start(static_cast<int>(type), harness.firstSkirmishMap()));
    }
    // Runs until the end menu opened or the time is up; returns the seconds run.
    float runUntilEndMenu(GameModeCustom& mode, float limit)
    {
        float t = 0.0f;
        while (t < limit && mode.endMenusOpened() == 0) {
            mode.update(ModeHarness::kFrame);
            t += ModeHarness::kFrame;
        }
        return t;
    }
};

TEST_F(SkirmishMatch, FreeForAllWithSevenBotsEndsAtTheScoreLimit)
{
    settings().setSkirmishWord(Settings::kEntryFFA, 0, 0);
    settings().setSkirmishWord(Settings::kEntryFFA, 1, 10);
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 7);
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    const ScoreMgr& sm = ScoreMgr::instance();
    // Seven bots and the player.
    EXPECT_EQ(sm.group(0).players.size(), 8u);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    EXPECT_EQ(mode->playerAirplane()->team(), 0);
    EXPECT_TRUE(sm.ready());
    runUntilEndMenu(*mode, 1800.0f);
    ASSERT_EQ(mode->endMenusOpened(), 1);
    EXPECT_GE(sm.group(0).score, 10);
    EXPECT_FALSE(sm.winners().empty());
    EXPECT_NE(matchOutcome(), MatchOutcome::NoResult);
    EXPECT_EQ(overlays.opened, 1);
}

// The score tables, the host's too, name the player as the profile does.
TEST_F(SkirmishMatch, ThePlayersAirplaneCarriesTheProfileName)
{
    settings().playerName = u"Maverick";
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    EXPECT_EQ(mode->playerAirplane()->pilotName, u"Maverick");
}

TEST_F(SkirmishMatch, TeamDeathmatchEndsAtOneMinuteWithinAFrame)
{
    settings().setSkirmishWord(Settings::kEntryTD, 0, 1);
    settings().setSkirmishWord(Settings::kEntryTD, 1, 0);
    settings().setSkirmishWord(Settings::kEntryTD, 2, 4);
    settings().setSkirmishWord(Settings::kEntryTD, 3, 5);
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    const ScoreMgr& sm = ScoreMgr::instance();
    // Four bots and the player against five bots.
    EXPECT_EQ(sm.group(0).players.size(), 5u);
    EXPECT_EQ(sm.group(1).players.size(), 5u);

    float t = 0.0f;
    bool sunChecked = false;
    while (t < 120.0f && !mode->playStopped) {
        mode->update(ModeHarness::kFrame);
        t += ModeHarness::kFrame;
        if (!sunChecked && sm.elapsed() >= 30.0f) {
            EXPECT_NEAR(mode->sunValue(), 0.5f, 0.01f);
            sunChecked = true;
        }
    }
    EXPECT_TRUE(sunChecked);
    EXPECT_NEAR(t, 60.0f, 2.0f * ModeHarness::kFrame);
    const int d = sm.group(0).score - sm.group(1).score;
    EXPECT_EQ(sm.winningTeam(), d > 0 ? 0 : (d < 0 ? 1 : -1));
    // The end menu waits for the next frame.
    EXPECT_EQ(mode->endMenusOpened(), 0);
    EXPECT_TRUE(mode->endMenuPending());
    mode->update(ModeHarness::kFrame);
    EXPECT_EQ(mode->endMenusOpened(), 1);
    EXPECT_FALSE(mode->endMenuPending());
}

TEST_F(SkirmishMatch, RespawnDelaysBySideAndKind)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    EXPECT_FLOAT_EQ(mode->respawnDelay(), 5.0f);
    mode->setNetwork(true, true, false);
    mode->respawnDelaySetting = 8.0f;
    EXPECT_FLOAT_EQ(mode->respawnDelay(), 8.0f);
    const Target* bot = mode->activeTargets().front();
    EXPECT_FLOAT_EQ(mode->respawnDelayFor(*bot), 8.0f);
}

TEST_F(SkirmishMatch, SpawnHelpersFindRoomAndNeverHang)
{
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 0);
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    // No other airplane: the map centre is the reference.
    Airplane* a = mode->spawnBot(1, 0.5f, nullptr, true, -1);
    ASSERT_NE(a, nullptr);
    const Vec3 p = mode->spawnAwayFromOthers(*a, 2500.0f, false, nullptr);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    EXPECT_LE(std::hypot(p.x, p.z), 2500.0f + 1.0f);
    // A circle packed with airplanes still gives a point, the one with most room.
    for (int i = 0; i < 24; ++i) {
        Airplane* b = mode->spawnBot(2 + i, 0.5f, nullptr, true, -1);
        ASSERT_NE(b, nullptr);
        const float ang = static_cast<float>(i) * 6.2831853f / 24.0f;
        const Vec3 at{std::sin(ang) * 3000.0f, mode->groundHeightAt(0, 0) + 2000.0f, std::cos(ang) * 3000.0f};
        mode->respawnAirplane(*b, 0.0f, &at);
    }
    const Vec3 c = mode->spawnOnCircle({0.0f, 0.0f, 0.0f}, 3000.0f, true, nullptr);
    EXPECT_NEAR(std::hypot(c.x, c.z), 3000.0f, 1.0f);
    const Vec3 s = mode->spawnInSector({0.0f, 0.0f, 0.0f}, 0.0f, 1.0f, 3000.0f);
    EXPECT_TRUE(std::isfinite(s.y));
}

TEST_F(SkirmishMatch, JoiningPlayersOfTheFreeForAllTakeTheNextTeams)
{
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 3);
    auto* mode = dynamic_cast<GameModeFFA*>(start(GameType::FreeForAll));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->nextTeam(), 4);
    std::vector<int> teams;
    for (const Target* t : mode->activeTargets())
        if (t->kind() == TargetKind::Airplane)
            teams.push_back(t->team());
    EXPECT_EQ(teams, (std::vector<int>{0, 1, 2, 3}));
}

// The bots' team has no player to order its squadron: its wingmen go hunting
// and the match has its first kill soon, while the player's wingmen keep
// their formation until the player orders otherwise.
TEST_F(SkirmishMatch, TeamDeathmatchBotsHuntWhileThePlayersWingmenAwaitOrders)
{
    settings().setSkirmishWord(Settings::kEntryTD, 2, 4);
    settings().setSkirmishWord(Settings::kEntryTD, 3, 4);
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    Airplane* player = mode->playerAirplane();
    ASSERT_TRUE(player && player->squadron);
    Squadron* bots = nullptr;
    for (Target* t : mode->activeTargets())
        if (t->kind() == TargetKind::Airplane && t->team() == 1)
            bots = static_cast<Airplane*>(t)->squadron;
    ASSERT_NE(bots, nullptr);
    EXPECT_EQ(player->squadron->order(), SquadronOrder::Formation);
    EXPECT_EQ(bots->order(), SquadronOrder::Attack);
    bool wingmanHunted = false;
    for (int i = 0; i < static_cast<int>(40.0f / ModeHarness::kFrame); ++i) {
        mode->update(ModeHarness::kFrame);
        for (Airplane* w : bots->members())
            if (const auto* ai = dynamic_cast<const AirplaneAI*>(w->aiController());
                ai && w != bots->leader() && ai->state() == Manoeuvre::Attack)
                wingmanHunted = true;
    }
    EXPECT_TRUE(wingmanHunted);
    EXPECT_GT(ScoreMgr::instance().group(1).score, 0);
}

// Shot down, the player's airplane lets its wingmen go while it waits at its
// spawn point (they hold no formation on it there) and leads them again, with
// the order it had given, once it is back in play.
TEST_F(SkirmishMatch, ThePlayersSquadronWaitsLeaderlessForItsRespawnAndKeepsItsOrder)
{
    settings().setSkirmishWord(Settings::kEntryTD, 2, 3);
    settings().setSkirmishWord(Settings::kEntryTD, 3, 3);
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    Airplane* player = mode->playerAirplane();
    ASSERT_TRUE(player && player->squadron);
    Squadron* squadron = player->squadron;
    ASSERT_EQ(squadron->leader(), player);
    ASSERT_GE(squadron->members().size(), 2u);
    mode->setSquadronOrder(*player, 1);
    ASSERT_EQ(squadron->order(), SquadronOrder::Attack);
    Target* enemy = nullptr;
    for (Target* t : mode->activeTargets())
        if (t->kind() == TargetKind::Airplane && t->team() == 1)
            enemy = t;
    ASSERT_NE(enemy, nullptr);
    mode->damageAirplane(*player, enemy, 1e9f, player->position(), nullptr, true);
    int frame = 0;
    for (; frame < 60 * 20 && player->isActive(); ++frame)
        mode->update(ModeHarness::kFrame);
    ASSERT_FALSE(player->isActive()) << "the player's airplane never left play";
    EXPECT_EQ(squadron->leader(), nullptr) << "the wingmen keep formation on an airplane out of play";
    EXPECT_EQ(player->storedSquadronOrder, static_cast<int>(SquadronOrder::Attack));
    for (; frame < 60 * 40 && !player->isActive(); ++frame) {
        mode->update(ModeHarness::kFrame);
        if (!player->isActive()) {
            EXPECT_EQ(squadron->leader(), nullptr);
        }
    }
    ASSERT_TRUE(player->isActive()) << "no respawn";
    EXPECT_EQ(squadron->leader(), player);
    EXPECT_EQ(squadron->order(), SquadronOrder::Attack);
    EXPECT_EQ(player->squadron, squadron);
}

// Free flight keeps no score: a kill, even with a second airplane about,
// counts nothing.
TEST_F(SkirmishMatch, FreeFlightScoresNothing)
{
    GameModeCustom* mode = start(GameType::FreeFlight);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    EXPECT_FALSE(ScoreMgr::instance().active());
    Airplane* other = mode->createAirplane(nullptr, me->planeRecord ? me->planeRecord->plane_id : 0, 1, 0.0f,
                                           nullptr, true);
    ASSERT_NE(other, nullptr);
    mode->respawnAirplane(*other, 0.0f, nullptr);
    for (int i = 0; i < 30; ++i)
        mode->update(ModeHarness::kFrame);
    mode->damageAirplane(*other, me, 1e9f, other->position(), nullptr, true);
    for (int i = 0; i < 600; ++i)
        mode->update(ModeHarness::kFrame);
    EXPECT_EQ(other->scores[Airplane::kScoreDeaths], 0);
    EXPECT_EQ(me->scores[Airplane::kScorePoints], 0);
    EXPECT_EQ(ScoreMgr::instance().group(0).score, 0);
    EXPECT_EQ(ScoreMgr::instance().totals().kill, 0);
    EXPECT_FALSE(ScoreMgr::instance().active());
}

TEST_F(SkirmishMatch, SunFollowsTheMatchClockAndNoLimitMeansAnHour)
{
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    ScoreMgr::instance().timeLimit = 0.0f;
    EXPECT_FLOAT_EQ(mode->matchLength(), 3600.0f);
    EXPECT_FLOAT_EQ(mode->sunAt(0.0f), 0.1f);
    EXPECT_FLOAT_EQ(mode->sunAt(1800.0f), 0.5f);
    EXPECT_FLOAT_EQ(mode->sunAt(99999.0f), 0.9f);
}

TEST_F(SkirmishMatch, ScheduledWeatherBringsTheMapsKindAndClearsAgain)
{
    struct WeatherScene : IModeScene {
        int mode = 0;
        int weatherMode() const override { return mode; }
        void setWeather(int m, float, float) override { mode = m; }
    } scene;
    harness.scene = &scene;
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    ScoreMgr::instance().timeLimit = 60.0f;   // a change some 20 s in, the next 45 s later
    const MapInfoCfg* own = mode->mapRecord();
    for (const auto& [rain, snow, kind] : {std::tuple{0.0f, 100.0f, 2}, std::tuple{100.0f, 0.0f, 1}}) {
        MapInfoCfg map = *own;
        map.rainProb = rain;
        map.snowProb = snow;
        mode->setMapRecord(&map);
        scene.mode = 0;
        mode->initMatchLimits();
        std::vector<int> seen;
        for (float t = 0.0f; t < 120.0f; t += 0.25f) {
            mode->updateMatchSky(0.25f);
            mode->updateWeather(0.25f);
            if (seen.empty() || seen.back() != scene.mode)
                seen.push_back(scene.mode);
        }
        EXPECT_EQ(seen, (std::vector<int>{0, kind, 0, kind})) << "snow " << snow;
        mode->setMapRecord(own);
    }
}

TEST_F(SkirmishMatch, ServerDataCarriesTheMatchTimeAndRejectsShortOrBadInput)
{
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    ScoreMgr::instance().setElapsed(42.5f);
    ServerData data;
    mode->fillServerData(data);
    ASSERT_EQ(data.layout, ServerData::Layout::Time);
    ScoreMgr::instance().setElapsed(0.0f);
    mode->applyServerData(data);
    EXPECT_FLOAT_EQ(ScoreMgr::instance().elapsed(), 42.5f);
    data.elapsed = std::nanf("");
    mode->applyServerData(data);
    EXPECT_FLOAT_EQ(ScoreMgr::instance().elapsed(), 42.5f);
}

TEST_F(SkirmishMatch, MatchBonusByPlaceAndResult)
{
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    matchOutcome() = MatchOutcome::NoResult;
    EXPECT_EQ(mode->matchBonusPercent(), 0);
    matchOutcome() = MatchOutcome::Lost;
    ScoreMgr::instance().decideWinner();  // equal scores: a draw
    EXPECT_EQ(mode->matchBonusPercent(), 50);
}

}  // namespace

namespace {

TEST_F(SkirmishMatch, FreeFlightRestsOnTheGroundAndReturnsOneSecondAfterACollision)
{
    GameModeCustom* mode = start(GameType::FreeFlight);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    const float ground = std::max(mode->groundHeightAt(0.0f, 0.0f), 0.0f);
    me->setPositionAndStop({0.0f, ground - 5.0f, 0.0f});
    mode->onAirplaneDestroyed(*me, nullptr, CrashCause::Ground);
    EXPECT_TRUE(me->isAlive());
    EXPECT_NEAR(me->position().y, ground, 0.5f);

    mode->onAirplaneDestroyed(*me, nullptr, CrashCause::Collision);
    EXPECT_FALSE(me->isActive());
    EXPECT_FLOAT_EQ(mode->respawnDelayFor(*me), 1.0f);
    for (int i = 0; i < 50; ++i)
        mode->update(ModeHarness::kFrame);
    EXPECT_FALSE(me->isActive());
    for (int i = 0; i < 20; ++i)
        mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(me->isActive());
}

TEST_F(SkirmishMatch, MenuFlightRunsTenMinutesAndRespawnsAtOnce)
{
    const PlanePaint paint{30.0f, 0.75f, 0.5f, 200.0f, 0.5f, 0.7f};
    settings().setPaint(settings().localPlaneId, paint);
    GameMode* mode = harness.start(static_cast<int>(GameType::MenuBackground), harness.firstSkirmishMap());
    ASSERT_NE(mode, nullptr);
    Airplane* a = mode->playerAirplane();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(mode->paintOf(*a), paint);
    mode->killAirplane(*a, 1.0e6f);
    mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(a->isActive());
    EXPECT_TRUE(a->isAlive());
    harness.run(600.0f);
    EXPECT_FALSE(mode->playStopped);
    EXPECT_EQ(mode->playerAirplane(), a);
    EXPECT_FLOAT_EQ(mode->sunValue(), 0.8f);
}

}  // namespace

TEST_F(SkirmishMatch, AShotDownAirplaneFallsBeforeItsRespawnAndCountsOnce)
{
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    Airplane* player = mode->playerAirplane();
    ASSERT_NE(player, nullptr);
    Airplane* victim = nullptr;
    for (Target* t : mode->activeTargets())
        if (t != player && t->kind() == TargetKind::Airplane && t->team() != player->team())
            victim = static_cast<Airplane*>(t);
    ASSERT_NE(victim, nullptr);
    victim->setPositionAndStop({0.0f, 6000.0f, 0.0f});
    mode->damageAirplane(*victim, player, 1000.0f, victim->position(), nullptr, true);
    mode->update(ModeHarness::kFrame);

    // Out of control, still in the sky and not yet waiting to respawn.
    EXPECT_EQ(victim->lifeState(), LifeState::Dying);
    EXPECT_TRUE(victim->isActive());
    const auto queue = mode->respawnQueue();
    EXPECT_EQ(std::find(queue.begin(), queue.end(), victim), queue.end());
    const float startHeight = victim->position().y;

    // A second hit on the falling wreck is no second kill.
    mode->damageAirplane(*victim, player, 1000.0f, victim->position(), nullptr, true);
    float t = 0.0f;
    while (victim->isActive() && t < 10.0f) {
        mode->update(ModeHarness::kFrame);
        t += ModeHarness::kFrame;
    }
    EXPECT_GT(t, 3.5f);
    EXPECT_LT(t, 8.0f);
    EXPECT_FALSE(victim->isActive());
    EXPECT_LT(victim->position().y, startHeight);
    EXPECT_NEAR(victim->respawnTimer, mode->respawnDelayFor(*victim), 0.1f);
    EXPECT_EQ(victim->scores[Airplane::kScoreDeaths], 1);

    // Then the usual wait, and it flies again.
    for (float w = 0.0f; w < mode->respawnDelayFor(*victim) + 0.5f && !victim->isActive(); w += ModeHarness::kFrame)
        mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(victim->isActive());
    EXPECT_EQ(victim->lifeState(), LifeState::Alive);
}

namespace {
// The player's autopilot at the head of live wingmen holds the formation and
// leaves a far enemy alone; once the wingmen are all shot down nobody follows
// it, and it goes after that enemy like any pilot.
TEST_F(SkirmishMatch, TheAutopilotLeadsOnlyAFormationWithLiveWingmen)
{
    settings().setSkirmishWord(Settings::kEntryTD, 2, 4);
    settings().setSkirmishWord(Settings::kEntryTD, 3, 4);
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    mode->update(ModeHarness::kFrame);
    Airplane* player = mode->playerAirplane();
    ASSERT_TRUE(player && player->squadron);
    ASSERT_EQ(player->squadron->leader(), player);
    ASSERT_GT(player->squadron->members().size(), 1u);
    togglePlayerAutopilot(*mode);
    const auto* ai = dynamic_cast<const AirplaneAI*>(player->aiController());
    ASSERT_NE(ai, nullptr);
    // One enemy 6 km ahead, beyond the formation's reach and within a
    // pilot's search; the others far off.
    Airplane* enemy = nullptr;
    float far = 30000.0f;
    for (Target* t : mode->activeTargets())
        if (t->kind() == TargetKind::Airplane && t->team() != player->team()) {
            auto* a = static_cast<Airplane*>(t);
            if (!enemy) {
                enemy = a;
                a->setPositionAndStop(player->position() + player->forward() * 6000.0f);
            } else {
                a->setPositionAndStop(player->position() + player->side() * far);
                far += 2000.0f;
            }
        }
    ASSERT_NE(enemy, nullptr);
    const auto hunts = [&] { return ai->state() == Manoeuvre::Attack; };
    for (int i = 0; i < 240; ++i) {
        mode->update(ModeHarness::kFrame);
        EXPECT_FALSE(hunts()) << "left the formation for a far enemy at frame " << i;
    }
    for (Airplane* w : player->squadron->members())
        if (w != player)
            mode->damageAirplane(*w, nullptr, 1e9f, w->position(), nullptr, true);
    bool hunted = false;
    for (int i = 0; i < 240 && !hunted; ++i) {
        mode->update(ModeHarness::kFrame);
        hunted = hunts();
    }
    EXPECT_TRUE(hunted) << "still holding a formation of dead wingmen";
}
}  // namespace

// A match plays its map's script: the smoke of its effect points once from
// the start, its tune, a place the player reaches; a restart plays it all
// again from the start, each timer from its own beginning.
TEST_F(SkirmishMatch, TheMapsScriptPlaysInAMatchAndAgainFromItsStartAfterARestart)
{
    std::vector<std::string> effects;
    setLogCapture([&](LogLevel, const std::string&, const std::string& m) {
        if (m.rfind("map effect", 0) == 0)
            effects.push_back(m);
    });
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    GameWorld& world = *mode->world();
    int points = 0;
    for (int i = 0; i < world.triggerCount(); ++i)
        points += world.trigger(i)->enabled && world.trigger(i)->isEffectPoint();
    ASSERT_GT(points, 0) << "the map has no smoke to check";
    EXPECT_EQ(static_cast<int>(effects.size()), points) << "each effect point starts its smoke as the level starts";

    // A place about the player's airplane, as a map's Enter trigger.
    Airplane* player = mode->playerAirplane();
    ASSERT_NE(player, nullptr);
    const auto smokeAbout = [&](const char* name) {
        auto place = std::make_unique<MapTrigger>();
        place->name = name;
        place->pos = player->position();
        place->radius = 3000.0f;
        auto* action = static_cast<TriggerAction*>(place->exec.getOrCreate(0));
        action->type = TriggerAction::Effect;
        action->text = "smoke_column.psc";
        world.addTrigger(std::move(place));
    };
    smokeAbout("here");
    // An effect point there too, added after the start: its smoke never starts.
    smokeAbout("effect_dummy_here");
    MapTrigger& music = *world.findTrigger("music");
    MapTrigger& here = *world.findTrigger("here");
    harness.run(1.0f);
    EXPECT_TRUE(music.fired);
    EXPECT_FALSE(world.music.empty());
    EXPECT_TRUE(here.fired) << "the player's place never reached the script";
    harness.run(4.0f);
    EXPECT_EQ(static_cast<int>(effects.size()), points + 1) << "effect points fire at the start only";

    mode->resetMatch(true, true);
    world.music.clear();
    EXPECT_FALSE(music.fired);
    EXPECT_FALSE(here.fired);
    mode->update(ModeHarness::kFrame);
    EXPECT_FALSE(music.fired) << "the tune's timer starts again from 0";
    harness.run(1.0f);
    EXPECT_TRUE(music.fired) << "the restarted match plays in silence";
    EXPECT_FALSE(world.music.empty());
    setLogCapture({});
}

