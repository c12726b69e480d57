#include "entities/ground/Flag.h"
#include "gamedata/records/MapLists.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeCTF.h"

#include "ObjectiveModeKit.h"

#include <array>
#include <cmath>
#include <cstring>

namespace {

struct CaptureTheFlag : ObjectiveModeTest {
    GameModeCTF* mode = nullptr;
    Flag* flag0 = nullptr;
    Flag* flag1 = nullptr;

    void startWithBots(int team0, int team1, int minutes = 0)
    {
        settings().setSkirmishWord(Settings::kEntryCTF, 0, static_cast<std::uint32_t>(minutes));
        settings().setSkirmishWord(Settings::kEntryCTF, 1, 3);
        settings().setSkirmishWord(Settings::kEntryCTF, 2, static_cast<std::uint32_t>(team0));
        settings().setSkirmishWord(Settings::kEntryCTF, 3, static_cast<std::uint32_t>(team1));
        mode = start<GameModeCTF>(GameType::CaptureTheFlag);
        ASSERT_NE(mode, nullptr);
        flag0 = mode->flagOfTeam(0);
        flag1 = mode->flagOfTeam(1);
        ASSERT_NE(flag0, nullptr);
        ASSERT_NE(flag1, nullptr);
    }
    // Puts the airplane on the point at once.
    void moveTo(Target& t, const Vec3& p) { static_cast<Airplane&>(t).setPositionAndStop(p); }
};

TEST_F(CaptureTheFlag, FlagsComeFromTheMapAndCarryTheirMarkerFlag)
{
    startWithBots(1, 1);
    EXPECT_EQ(flag0->team(), 0);
    EXPECT_EQ(flag1->team(), 1);
    EXPECT_EQ(flag0->state(), Flag::State::Home);
    EXPECT_NE(flag0->homePosition().x, flag1->homePosition().x);
    int flagged = 0;
    for (const auto& [e, f] : harness.hud.markerFlags)
        if ((e == flag0 || e == flag1) && f == IModeHud::kMarkerFlag)
            ++flagged;
    EXPECT_GE(flagged, 2);
    // Spawns lie out from the own flag within 45 degrees of the way to the enemy's.
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    const Vec3 toEnemy = flag1->homePosition() - flag0->homePosition();
    const float enemyDistance = std::hypot(toEnemy.x, toEnemy.z);
    for (int i = 0; i < 40; ++i) {
        Vec3 p;
        Quat q;
        mode->getSpawnPoint(*me, p, q);
        const Vec3 toSpawn = p - flag0->homePosition();
        const float spawnDistance = std::hypot(toSpawn.x, toSpawn.z);
        EXPECT_GE(toEnemy.x * toSpawn.x + toEnemy.z * toSpawn.z, 0.707f * enemyDistance * spawnDistance);
        EXPECT_NEAR(spawnDistance, GameModeCTF::kSpawnDistance, 1.0f);
    }
}

TEST_F(CaptureTheFlag, OddBotGoesToAttack)
{
    startWithBots(3, 5);
    // Team 0: the player and two bots attack, one defends; team 1: three and two.
    EXPECT_EQ(mode->squad(GameModeCTF::Attack0)->members().size(), 3u);
    EXPECT_EQ(mode->squad(GameModeCTF::Defend0)->members().size(), 1u);
    EXPECT_EQ(mode->squad(GameModeCTF::Attack1)->members().size(), 3u);
    EXPECT_EQ(mode->squad(GameModeCTF::Defend1)->members().size(), 2u);
    EXPECT_EQ(mode->squad(GameModeCTF::Attack0)->leader(), mode->playerAirplane());
}

TEST_F(CaptureTheFlag, TakeDropReturnRetakeAndCapture)
{
    startWithBots(1, 1);
    Airplane* me = mode->playerAirplane();
    Airplane* enemy = airplanes(*mode, 1).front();

    // The player takes the enemy flag.
    moveTo(*me, flag1->homePosition());
    mode->checkFlagTouches();
    EXPECT_EQ(flag1->state(), Flag::State::CarriedByEnemy);
    EXPECT_EQ(flag1->carrier(), me);

    // Own flag away: no capture at home.
    mode->onFlagTaken(*flag0, *enemy);
    moveTo(*me, flag0->homePosition());
    mode->checkCaptures();
    EXPECT_EQ(flag1->state(), Flag::State::CarriedByEnemy);

    // The enemy carrier is shot down: the own flag lies dropped; its own team
    // touching it sends it home and scores the return.
    mode->dropFlagsOf(*enemy);
    EXPECT_EQ(flag0->state(), Flag::State::Dropped);
    moveTo(*enemy, flag1->homePosition());
    moveTo(*me, flag0->position());
    mode->checkFlagTouches();
    EXPECT_EQ(flag0->state(), Flag::State::Home);
    EXPECT_EQ(me->scores[Airplane::kScoreFlagsReturned], 1);

    // Now the capture counts.
    moveTo(*me, flag0->homePosition());
    mode->checkCaptures();
    EXPECT_EQ(flag1->state(), Flag::State::Home);
    EXPECT_EQ(flag1->carrier(), nullptr);
    EXPECT_EQ(me->scores[Airplane::kScoreFlagsCaptured], 1);

    // A dropped flag touched by the other team is taken again.
    mode->onFlagTaken(*flag1, *me);
    mode->dropFlagsOf(*me);
    EXPECT_EQ(flag1->state(), Flag::State::Dropped);
    moveTo(*me, flag1->position());
    mode->checkFlagTouches();
    EXPECT_EQ(flag1->state(), Flag::State::CarriedByEnemy);

    // Each transition went out to the network.
    int events = 0;
    for (const std::string& c : harness.posted().names)
        events += c == "flag";
    EXPECT_GE(events, 6);
}

TEST_F(CaptureTheFlag, OwnTeamCarrierNeverDropsAndRemovalDrops)
{
    startWithBots(1, 1);
    Airplane* me = mode->playerAirplane();
    Airplane* enemy = airplanes(*mode, 1).front();
    flag0->pickUp(*me, true);
    mode->dropFlagsOf(*me);
    EXPECT_EQ(flag0->state(), Flag::State::CarriedByOwnTeam);
    flag0->returnHome();

    // The carrier leaves the match in the middle of a frame: the flag lies
    // where it was, and nothing points at the removed airplane.
    mode->onFlagTaken(*flag0, *enemy);
    const Vec3 where = enemy->position();
    mode->removeEntity(*enemy);
    EXPECT_EQ(flag0->state(), Flag::State::Dropped);
    EXPECT_EQ(flag0->carrier(), nullptr);
    EXPECT_NEAR(flag0->position().x, where.x, 1.0f);
    step(*mode, 1.0f);
}

TEST_F(CaptureTheFlag, OutOfTheArenaForTenSecondsResets)
{
    startWithBots(0, 1);
    Airplane* me = mode->playerAirplane();
    mode->onFlagTaken(*flag1, *me);
    // Just beyond the arena round the midpoint of the homes.
    const Vec3 a = flag0->homePosition(), b = flag1->homePosition();
    const float radius = std::hypot(a.x - b.x, a.z - b.z) * 0.5f + GameModeCTF::kArenaMargin;
    const Vec3 far{(a.x + b.x) * 0.5f + radius + 1500.0f, 3000.0f, (a.z + b.z) * 0.5f};
    auto hold = [&](float seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 60.0f); ++i) {
            moveTo(*me, far);
            mode->update(ModeHarness::kFrame);
        }
    };
    hold(5.0f);
    EXPECT_FALSE(mode->playStopped);
    EXPECT_TRUE(me->isActive());
    EXPECT_EQ(flag1->state(), Flag::State::CarriedByEnemy);
    EXPECT_GT(flag1->outOfBoundsTimer, 4.0f);
    EXPECT_TRUE(mode->carrierWarning());
    // Back inside: the timer is -1.
    moveTo(*me, mode->mapCentre());
    mode->update(ModeHarness::kFrame);
    EXPECT_FLOAT_EQ(flag1->outOfBoundsTimer, -1.0f);
    EXPECT_FALSE(mode->carrierWarning());
    hold(10.5f);
    EXPECT_EQ(flag1->state(), Flag::State::Home);
}

TEST_F(CaptureTheFlag, ServerDataAndFlagRecordsRoundTripAndRejectBadInput)
{
    startWithBots(1, 1);
    Airplane* me = mode->playerAirplane();
    mode->onFlagTaken(*flag1, *me);
    ServerData data;
    mode->fillServerData(data);
    ASSERT_EQ(data.layout, ServerData::Layout::Flags);
    EXPECT_EQ(data.flagsHome, 1);  // only the team 0 flag at home

    // Unknown carrier: nothing changes. (Short data is refused before it
    // reaches the mode: the match layer's codec tests.)
    auto unknown = data;
    unknown.carriers[1] = 250;
    mode->applyServerData(unknown);
    EXPECT_EQ(flag1->carrier(), me);
    // No carriers and both home bits: both flags home.
    ServerData home;
    home.layout = ServerData::Layout::Flags;
    home.carriers = {ServerData::kNoCarrier, ServerData::kNoCarrier};
    home.flagsHome = 3;
    mode->applyServerData(home);
    EXPECT_EQ(flag0->state(), Flag::State::Home);
    EXPECT_EQ(flag1->state(), Flag::State::Home);
    EXPECT_EQ(flag1->carrier(), nullptr);

    PlayerRecord rec;
    mode->fillFlagRecord(*flag1, rec);
    ASSERT_EQ(rec.extra, PlayerRecord::Extra::FlagPosition);
    EXPECT_EQ(mode->addNetworkPlayer(rec, false), flag1);
    auto stranger = rec;
    stranger.mapItem = 0x7EEE;
    EXPECT_EQ(mode->addNetworkPlayer(stranger, false), nullptr);
}

TEST_F(CaptureTheFlag, NothingMovesOnceThePlayStopped)
{
    startWithBots(1, 1);
    Airplane* me = mode->playerAirplane();
    mode->playStopped = true;
    mode->onFlagTaken(*flag1, *me);
    EXPECT_EQ(flag1->state(), Flag::State::Home);
}

// A map without team 1's flag: the flag rules are skipped, spawns take the
// base rule and nobody scores by flying home.
TEST_F(CaptureTheFlag, WithoutTheEnemyFlagTheFlagRulesAreSkipped)
{
    startWithBots(2, 2);
    (void)mode->removePlayerAirplane(*flag1);
    ASSERT_EQ(mode->flagOfTeam(1), nullptr);
    Airplane* me = mode->playerAirplane();
    Vec3 at;
    Quat facing;
    mode->getSpawnPoint(*me, at, facing);
    EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z));
    moveTo(*me, flag0->homePosition() + Vec3{0.0f, 50.0f, 0.0f});
    step(*mode, 5.0f);
    EXPECT_EQ(me->scores[Airplane::kScoreFlagsCaptured], 0);
    EXPECT_EQ(flag0->state(), Flag::State::Home);
    EXPECT_FALSE(mode->carrierWarning());
}

TEST_F(CaptureTheFlag, BotMatchPlaysToItsEnd)
{
    // The default sides of four and five bots, five minutes.
    startWithBots(4, 5, 5);
    mode->autopilot = true;
    mode->reapplyPlayerAutopilot();
    EXPECT_TRUE(playToEnd(*mode, 600.0f));
    EXPECT_NE(matchOutcome(), MatchOutcome::NoResult);
}

}  // namespace

namespace {

TEST_F(ObjectiveModeTest, EverySkirmishMapHasAFlagAndABaseForEachTeam)
{
    int maps = 0;
    for (int slot = 0; slot < MapLists::kSlots; ++slot) {
        const MapInfoCfg* map = MapLists::instance().skirmishMap(slot);
        if (!map)
            continue;
        ++maps;
        auto* mode = dynamic_cast<GameModeCTF*>(harness.start(static_cast<int>(GameType::CaptureTheFlag), map));
        ASSERT_NE(mode, nullptr) << slot;
        EXPECT_NE(mode->flagOfTeam(0), nullptr) << slot;
        EXPECT_NE(mode->flagOfTeam(1), nullptr) << slot;
        harness.finish();
    }
    EXPECT_GT(maps, 0);
}

}  // namespace
