#include "entities/ground/Flag.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeCustom.h"

#include "ModeTestKit.h"
#include "ObjectiveModeKit.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using PeerEvents = ModeKit;

// A peer's event and the same thing done on this side: applied, it takes
// effect and posts nothing; done here, it posts its event.
struct Case {
    std::string name;
    std::string posted;  // what doing it here posts (empty: nothing either way)
    std::function<PeerEvent(Airplane&)> peer;
    std::function<void(GameMode&, Airplane&)> here;
    std::function<bool(const Airplane&)> applied;
};

TEST_F(PeerEvents, AnAppliedEventTakesEffectAndPostsNothingWhileTheSameDoneHerePostsIt)
{
    const Vec3 place{500.0f, 1500.0f, 500.0f};
    const std::vector<Case> cases = {
        {"take out", "takenOut", [](Airplane& a) { return peerevent::TakeOut{a.id()}; },
         [](GameMode& m, Airplane& b) { m.takeOutAirplane(b); }, [](const Airplane& a) { return !a.isActive(); }},
        {"eliminate", "takenOut", [](Airplane& a) { return peerevent::Eliminate{a.id()}; },
         [](GameMode& m, Airplane& b) { m.eliminateAirplane(b); },
         [](const Airplane& a) { return !a.isActive() && a.respawnTimer == -1.0f; }},
        {"respawn later", "respawned", [](Airplane& a) { return peerevent::Respawn{a.id(), 3.0f, false, {}, {}}; },
         [](GameMode& m, Airplane& b) { m.respawnAirplane(b, 3.0f, nullptr); },
         [](const Airplane& a) { return !a.isActive() && a.respawnTimer == 3.0f; }},
        {"respawn at a place", "respawned",
         [&](Airplane& a) { return peerevent::Respawn{a.id(), 0.0f, true, place, {}}; },
         [&](GameMode& m, Airplane& b) { m.respawnAirplane(b, 0.0f, &place); },
         [&](const Airplane& a) { return a.isActive() && a.position().x == place.x; }},
        {"team switch with its respawn", "respawned",
         [&](Airplane& a) { return peerevent::TeamSwitch{a.id(), 0, 0.0f, place, {}}; },
         [&](GameMode& m, Airplane& b) {
             m.changeTeam(b, 0);
             m.respawnAirplane(b, 0.0f, &place);
         },
         [&](const Airplane& a) { return a.team() == 0 && a.position().z == place.z; }},
        {"flight state", "flightState",
         [](Airplane& a) { return peerevent::FlightState{a.id(), static_cast<int>(FlightState::Avionics), 2.0f}; },
         [](GameMode&, Airplane& b) { b.setFlightState(FlightState::Avionics, 2.0f); },
         [](const Airplane& a) { return a.flightState() == FlightState::Avionics; }},
        {"flares", "flares", [](Airplane& a) { return peerevent::Flares{a.id()}; },
         [](GameMode& m, Airplane& b) { m.relayFlares(b); }, [](const Airplane& a) { return a.flareCount() == 1; }},
        {"weather", "weather", [](Airplane&) { return peerevent::Weather{1, 20.0f}; },
         [](GameMode& m, Airplane&) {
             m.startWeather(0, 1.0f);
             m.startWeather(1, 20.0f);
         },
         [this](const Airplane&) { return mode->weatherTarget() == 1; }},
        {"health", "", [](Airplane& a) { return peerevent::Health{a.id(), 0.25f}; }, nullptr,
         [](const Airplane& a) { return a.health() == 0.25f; }},
        // Events a plain mode has no rules for change nothing and say so.
        {"a death without match rules", "",
         [](Airplane& a) { return peerevent::Destroyed{a.id(), -1, 1, 4, 5.0f, {}, {}}; }, nullptr,
         [](const Airplane& a) { return a.isActive(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Airplane* a = airplane(1, {0.0f, 2000.0f, 0.0f});
        Airplane* b = airplane(1, {3000.0f, 2000.0f, 0.0f});
        ASSERT_TRUE(a && b);
        mode->setAirplaneFlares(*a, 2);
        mode->setAirplaneFlares(*b, 2);
        mode->outbox().clear();
        const PeerEvent event = c.peer(*a);
        (void)mode->applyPeerEvent(event);
        EXPECT_TRUE(c.applied(*a));
        EXPECT_TRUE(mode->outbox().empty()) << readOutbox(mode->outbox()).names.front();
        if (c.here) {
            c.here(*mode, *b);
            EXPECT_GE(posted().count(c.posted), 1);
        }
        for (Airplane* gone : {a, b})
            std::unique_ptr<Target> owned = mode->removePlayerAirplane(*gone);
    }
}

TEST_F(PeerEvents, EventsNamingNothingHereApplyToNothing)
{
    const std::vector<PeerEvent> events = {
        peerevent::TakeOut{200}, peerevent::Eliminate{-1}, peerevent::Respawn{77, 0.0f, false, {}, {}},
        peerevent::Flares{-5}, peerevent::PlayerLeft{199}, peerevent::Health{150, 1.0f},
        peerevent::FlightState{180, 2, 1.0f}, peerevent::TeamSwitch{-1, 1, 0.0f, {}, {}},
        peerevent::Eject{123}, peerevent::WeaponLaunch{9999, -1, -1},
    };
    Airplane* a = airplane(1);
    ASSERT_NE(a, nullptr);
    mode->outbox().clear();
    for (const PeerEvent& e : events)
        EXPECT_EQ(mode->applyPeerEvent(e), nullptr);
    EXPECT_TRUE(a->isActive());
    EXPECT_TRUE(mode->outbox().empty());
}

TEST_F(PeerEvents, SinglePlayerPostsNothing)
{
    mode->leaveNetworkGame();
    Airplane* a = airplane(1);
    ASSERT_NE(a, nullptr);
    mode->takeOutAirplane(*a);
    mode->respawnAirplane(*a, 0.0f, nullptr);
    mode->startWeather(1, 5.0f);
    mode->setSunValue(0.5f);
    mode->postChat(u"nobody listens");
    step(1.0f);
    EXPECT_TRUE(mode->outbox().empty());
}

using PeerEventsInAMatch = ObjectiveModeTest;

// On the host the same death, reported by a client, is applied without a
// word, while the host's own decision on it goes to every player.
TEST_F(PeerEventsInAMatch, AReportedDeathAppliedPostsNothingButTheHostsOwnPostsIt)
{
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 1);
    auto* mode = start<GameModeCustom>(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, true, false);
    Airplane* victim = nullptr;
    for (const auto& e : mode->entities())
        if (e->kind() == TargetKind::Airplane && e.get() != mode->playerAirplane())
            victim = static_cast<Airplane*>(e.get());
    ASSERT_NE(victim, nullptr);
    victim->networkRole = NetworkRole::RemoteClient;
    mode->outbox().clear();
    const peerevent::Destroyed death{victim->id(), -1, static_cast<int>(CrashCause::Ground), 4, 5.0f,
                                     victim->position(), victim->orientation()};
    EXPECT_EQ(mode->applyPeerEvent(death), victim);
    // Down, but in play until its owner says the death is over.
    EXPECT_TRUE(victim->isActive());
    EXPECT_FALSE(victim->isAlive());
    const peerevent::Destroyed over{victim->id(), -1, static_cast<int>(CrashCause::Ground), 8, 5.0f,
                                    victim->position(), victim->orientation()};
    EXPECT_EQ(mode->applyPeerEvent(over), victim);
    EXPECT_FALSE(victim->isActive());
    EXPECT_TRUE(mode->outbox().empty());

    step(*mode, 6.0f);
    ASSERT_TRUE(victim->isActive());
    mode->outbox().clear();
    mode->onAirplaneEvent(*victim, nullptr, CrashCause::Ground, 4, 5.0f, victim->position(), victim->orientation());
    EXPECT_EQ(harness.posted().count("destroyed"), 1);
}

TEST_F(PeerEventsInAMatch, AFlagEventAppliedMovesTheFlagAndPostsNothing)
{
    settings().setSkirmishWord(Settings::kEntryCTF, 2, 0);
    settings().setSkirmishWord(Settings::kEntryCTF, 3, 0);
    auto* mode = start<GameModeCTF>(GameType::CaptureTheFlag);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    Flag* enemyFlag = mode->flagOfTeam(me->team() == 0 ? 1 : 0);
    ASSERT_TRUE(me && enemyFlag);
    mode->outbox().clear();
    EXPECT_EQ(mode->applyPeerEvent(peerevent::Flag{0, enemyFlag->id(), me->id()}), enemyFlag);
    EXPECT_EQ(enemyFlag->state(), Flag::State::CarriedByEnemy);
    EXPECT_TRUE(mode->outbox().empty());
    // The carrier's death drops the flag here; the death's messages (the
    // crash, and its end at once) tell the peers.
    mode->onAirplaneDestroyed(*me, nullptr, CrashCause::Ground);
    EXPECT_EQ(enemyFlag->state(), Flag::State::Dropped);
    EXPECT_EQ(harness.posted().count("flag"), 0);
    EXPECT_EQ(harness.posted().count("destroyed"), 2);
    // Done here, the flag's moves are posted.
    mode->onFlagReturned(*enemyFlag, nullptr);
    EXPECT_EQ(harness.posted().count("flag"), 1);
}

}  // namespace
