// The flight HUD over real matches: the game screen loads each kind on the
// generated data and the HUD reads its state from the running mode, as in
// the game; nothing of that state is set by the test.
#include "FakeScreen.h"
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchConnections.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Random.h"
#include "platform/Settings.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/hud/HudGameState.h"
#include "entities/ground/Flag.h"
#include "modes/TestPlacement.h"
#include "modes/kinds/GameModeCTF.h"
#include "platform/Controls.h"
#include "screens/hud/HudMarkerFeed.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"
#include "screens/hud/TutorialHudBridge.h"
#include "screens/scene/GameCamera.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct HudInMatch : testing::Test {
    ModeHarness harness;
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    Settings saved = settings();
    GameMode* mode = nullptr;

    void SetUp() override
    {
        resetScreens();
        std::string error;
        if (!harness.mountData(error))
            GTEST_SKIP() << error;
        // The game's own screens connections: the kill cam, the pause.
        MatchConnections connections = MatchConnections::none();
        fillScreenConnections(connections);
        setGameConnections(connections);
        setFrameDelta(1.0f / 60.0f);
        // The player steers with the mouse, so the reticle follows the aim.
        settings().controlDevice = Input::kSteerMouse;
    }
    void TearDown() override
    {
        setGamePaused(false);
        setCurrentScreen(&menu);
        resetScreens();
        settings() = saved;
    }
    // Leaves the game in play, as the pause page's Quit does, and loads the next.
    GameMode* load(GameType type, int tutorial = 0)
    {
        setCurrentScreen(&menu);
        seedRandom(77, 3);
        GameScreen& game = gameScreen();
        if (createGame(static_cast<int>(type), false, 0, game, tutorial) != GameStartResult::Started)
            return nullptr;
        return loaded();
    }
    GameMode* loadMission(int campaign, int mission)
    {
        setCurrentScreen(&menu);
        seedRandom(77, 3);
        if (startCampaignMission(campaign, mission, gameScreen()) != GameStartResult::Started)
            return nullptr;
        return loaded();
    }
    GameMode* loaded()
    {
        for (int i = 0; i < 200 && currentScreen() != &gameScreen(); ++i)
            updateScreens();
        mode = currentScreen() == &gameScreen() ? modeOf(currentMatch()) : nullptr;
        return mode;
    }
    static void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            updateScreens();
    }
    HudGameState read() const
    {
        HudGameState state;
        readHudGameState(mode, state);
        return state;
    }
    Airplane* enemyOf(const Airplane& own) const
    {
        for (const auto& e : mode->entities())
            if (e->kind() == TargetKind::Airplane && e.get() != &own && e->isActive() && e->isAlive() &&
                (e->team() != own.team() || mode->gameType() == GameType::FreeForAll ||
                 mode->gameType() == GameType::LastManStanding))
                return static_cast<Airplane*>(e.get());
        return nullptr;
    }
};

// In every kind of match the player flying with the mouse has the reticle on
// screen, and the HUD's sounds run while play runs.
TEST_F(HudInMatch, TheReticleShowsAndTheSoundsRunInEveryKindOfMatch)
{
    const GameType kinds[] = {GameType::FreeForAll, GameType::TeamDeathmatch, GameType::CaptureTheFlag,
                              GameType::DestroyTheBase, GameType::Survival,      GameType::Dogfight,
                              GameType::LastManStanding, GameType::FreeFlight};
    for (GameType type : kinds) {
        SCOPED_TRACE(static_cast<int>(type));
        ASSERT_NE(load(type), nullptr);
        const Airplane* own = mode->playerAirplane();
        ASSERT_NE(own, nullptr);
        bool shown = false;
        for (int i = 0; i < 6 * 60 && !shown; ++i) {
            frames(1);
            shown = own->isActive() && planeHud().reticle.onScreen;
        }
        EXPECT_TRUE(shown) << "no reticle while the player flies";
        const HudGameState state = read();
        EXPECT_TRUE(state.player.exists);
        EXPECT_FALSE(state.player.reticleBlocked);
        EXPECT_FALSE(state.soundMuted);
        EXPECT_FALSE(state.spectating);
    }
}

// The pause holds the HUD's sounds and the end of play stops them.
TEST_F(HudInMatch, ThePauseAndTheEndOfPlayMuteTheHudsSounds)
{
    ASSERT_NE(load(GameType::Dogfight), nullptr);
    Airplane* own = mode->playerAirplane();
    ASSERT_NE(own, nullptr);
    frames(60);
    EXPECT_FALSE(read().soundMuted);

    // The back key pauses a match alone.
    gameScreen().onBack();
    frames(2);
    ASSERT_TRUE(gamePaused());
    EXPECT_TRUE(read().paused);
    EXPECT_TRUE(read().soundMuted);
    EXPECT_FALSE(planeHud().lockTone.playing);
    setGamePaused(false);
    closeOverlayScreen();
    frames(2);
    EXPECT_FALSE(read().soundMuted);

    // Every enemy shot down: the dogfight is over.
    for (const auto& e : mode->entities())
        if (e->kind() == TargetKind::Airplane && e->team() != own->team() && e->isActive())
            mode->damageAirplane(static_cast<Airplane&>(*e), own, 1e9f, e->position(), nullptr, true);
    // The match is over once the last of them has fallen out of play.
    for (int i = 0; i < 10 * 60 && !mode->playStopped; ++i)
        frames(1);
    ASSERT_TRUE(mode->playStopped);
    EXPECT_TRUE(read().soundMuted);
    EXPECT_FALSE(planeHud().lockTone.playing);
}

// A player shot down watches the killer; once the killer is shot down in turn
// the HUD no longer watches it.
TEST_F(HudInMatch, AShotDownAirplaneIsNoLongerWatched)
{
    for (GameType type : {GameType::LastManStanding, GameType::FreeForAll}) {
        SCOPED_TRACE(static_cast<int>(type));
        ASSERT_NE(load(type), nullptr);
        Airplane* own = mode->playerAirplane();
        ASSERT_NE(own, nullptr);
        frames(6 * 60);  // past the round's count-down
        Airplane* killer = enemyOf(*own);
        ASSERT_NE(killer, nullptr);
        mode->damageAirplane(*own, killer, 1e9f, own->position(), nullptr, true);
        const Airplane* watched = nullptr;
        for (int i = 0; i < 40 * 60 && !watched; ++i) {
            frames(1);
            const Airplane* w = watchedAirplane(mode);
            if (w && w != own && w->isAlive() && read().spectating)
                watched = w;
        }
        ASSERT_NE(watched, nullptr) << "the player never watched another airplane";
        EXPECT_FALSE(planeHud().controlsActive);
        auto* target = const_cast<Airplane*>(watched);
        mode->damageAirplane(*target, nullptr, 1e9f, target->position(), nullptr, true);
        // Once it is out of play the HUD lets go of it: no radar, markers or
        // controls are worked out from a wreck.
        int out = 0;
        for (int i = 0; i < 20 * 60 && out < 30; ++i) {
            frames(1);
            if (target->inPlay && target->isActive())
                continue;
            ++out;
            ASSERT_NE(watchedAirplane(mode), target) << "frame " << i;
            const HudGameState state = read();
            if (state.spectating) {
                EXPECT_GT(vec3Length(state.markers.viewedPosition - target->position()), 1.0f) << "frame " << i;
            }
        }
        EXPECT_EQ(out, 30) << "the watched airplane never left play";
    }
}

// A hit's flight state shows under the airplane's marker for its first
// seconds: the HUD reads how long the state has lasted, not how long it lasts.
TEST_F(HudInMatch, AFlightStateIsReadForTheTimeItHasLasted)
{
    ASSERT_NE(load(GameType::FreeForAll), nullptr);
    frames(6 * 60);  // past the round's count-down
    Airplane* own = mode->playerAirplane();
    ASSERT_NE(own, nullptr);
    Airplane* enemy = enemyOf(*own);
    ASSERT_NE(enemy, nullptr);
    enemy->setFlightState(FlightState::Controls, 8.0f);
    frames(60);
    HudObjectInfo info;
    ASSERT_TRUE(gameHudObjects().read(hudMarkerRef(*enemy), info));
    EXPECT_EQ(info.flightState, static_cast<int>(FlightState::Controls));
    EXPECT_NEAR(info.flightStateTime, 1.0f, 0.1f);
}

// A game played after another in the same program shows what the same game
// started fresh shows: nothing a lesson hid, a mission counted down, a key
// flipped or a flag carried carries over, after a quit or a restart.
TEST_F(HudInMatch, EachGameAfterAnotherStartsAsItsFreshStart)
{
    PlaneHud& hud = planeHud();
    HudMessageQueue& queue = HudMessageQueue::instance();
    const auto expectFresh = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(hud.speedDialShown);
        EXPECT_TRUE(hud.altimeterShown);
        EXPECT_TRUE(hud.radarOn);
        EXPECT_FALSE(hud.radarLarge);
        EXPECT_EQ(hud.dialHighlight, (std::array<bool, 3>{}));
        EXPECT_EQ(queue.countdown(), HudMessageQueue::kCountdownHidden);
        EXPECT_EQ(queue.countdownLabel(), "");
        EXPECT_EQ(queue.noticeIcon(), 0);
    };
    ASSERT_NE(load(GameType::FreeForAll), nullptr);
    frames(30);
    expectFresh("a free-for-all started fresh");

    // The HUD lesson hides the dials and the radar, then shows the speed dial
    // pulsing; left there, the next game has all three, plain.
    ASSERT_NE(load(GameType::Tutorial, 0), nullptr);
    frames(30);
    ASSERT_FALSE(hud.speedDialShown);
    ASSERT_FALSE(hud.radarOn);
    tutorialHudBridge().setDialShown(ITutorialHud::Dial::SpeedDial, true);
    tutorialHudBridge().setDialHighlighted(ITutorialHud::Dial::SpeedDial, true);
    frames(5);
    ASSERT_NE(load(GameType::FreeForAll), nullptr);
    frames(30);
    expectFresh("a free-for-all after the HUD lesson");

    // The radar key makes the radar large for this game only.
    startScreens();
    const int radar = static_cast<int>(ControlAction::Radar) - kFirstGameAction;
    controls().dispatchActions(true, radar);
    controls().dispatchActions(false, radar);
    ASSERT_TRUE(hud.radarLarge);
    ASSERT_NE(load(GameType::FreeForAll), nullptr);
    frames(30);
    expectFresh("a free-for-all after a large radar");

    // A capture-the-flag match left with the enemy flag carried: the next
    // one starts with both flags at home and nobody carrying one.
    const auto flags = [&] { return dynamic_cast<GameModeCTF*>(mode); };
    ASSERT_NE(load(GameType::CaptureTheFlag), nullptr);
    frames(6 * 60);
    ASSERT_NE(TestPlacement::place(*mode, TestPlacement::Kind::Flag), nullptr);
    frames(20);
    const int enemyTeam = mode->playerAirplane()->team() == 0 ? 1 : 0;
    ASSERT_EQ(flags()->flagOfTeam(enemyTeam)->carrier(), mode->playerAirplane());
    for (GameType next : {GameType::CaptureTheFlag, GameType::TeamDeathmatch}) {
        ASSERT_NE(load(next), nullptr);
        frames(30);
        expectFresh("a match after one left with the flag");
        if (next != GameType::CaptureTheFlag)
            continue;
        for (int team : {0, 1}) {
            EXPECT_EQ(flags()->flagOfTeam(team)->carrier(), nullptr);
        }
    }

    // The relief mission's countdown runs from its script's start; left, it
    // reaches no later game, nor the mission restarted.
    ASSERT_NE(loadMission(1, 1), nullptr);
    for (int i = 0; i < 10 * 60 && queue.countdown() <= 0.0f; ++i)
        frames(1);
    ASSERT_GT(queue.countdown(), 0.0f) << "the mission set no countdown";
    frames(30);
    for (GameType next : {GameType::TeamDeathmatch, GameType::Survival, GameType::FreeFlight}) {
        ASSERT_NE(load(next), nullptr);
        frames(30);
        expectFresh("a match after the mission");
    }
    ASSERT_NE(loadMission(1, 1), nullptr);
    for (int i = 0; i < 10 * 60 && queue.countdown() <= 0.0f; ++i)
        frames(1);
    ASSERT_NE(loadMission(1, 1), nullptr);
    EXPECT_EQ(queue.countdown(), HudMessageQueue::kCountdownHidden) << "the restarted mission's script sets its own";
}

}  // namespace
