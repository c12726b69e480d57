#include "ModeTestKit.h"

namespace {
using Respawn = ModeKit;

TEST_F(Respawn, ADelayOfZeroTakesTheEntityOutOfTheQueue)
{
    Airplane* a = airplane(1);
    mode->respawnAirplane(*a, 3.0f, nullptr);
    ASSERT_EQ(mode->respawnQueue().size(), 1u);
    EXPECT_FALSE(a->isActive());
    const Vec3 at{100.0f, 2500.0f, 100.0f};
    mode->respawnAirplane(*a, 0.0f, &at);
    EXPECT_TRUE(mode->respawnQueue().empty());
    EXPECT_TRUE(a->isActive());
    EXPECT_FLOAT_EQ(a->position().x, 100.0f);
    EXPECT_FLOAT_EQ(a->speed(), Airplane::kSpawnSpeed);
}

TEST_F(Respawn, ExpiryBringsTheEntityBackWithFullHealth)
{
    Airplane* a = airplane(1);
    a->setHealth(0.2f);
    mode->respawnAirplane(*a, 1.0f, nullptr);
    step(0.5f);
    EXPECT_FALSE(a->isActive());
    EXPECT_NEAR(a->respawnTimer, 0.5f, 0.02f);
    step(0.6f);
    EXPECT_TRUE(a->isActive());
    EXPECT_FLOAT_EQ(a->health(), 1.0f);
    EXPECT_TRUE(mode->respawnQueue().empty());
}

TEST_F(Respawn, AClientWaitsForTheHostAndReportsAStallAfterFiveSeconds)
{
    mode->setNetwork(true, false, false);
    Airplane* a = airplane(1);
    mode->respawnAirplane(*a, 1.0f, nullptr);
    step(5.5f);
    EXPECT_FALSE(a->isActive());
    EXPECT_FALSE(mode->respawnStalled);  // 4.5 s past its time
    step(1.0f);
    EXPECT_FALSE(a->isActive());
    EXPECT_TRUE(mode->respawnStalled);
    EXPECT_FLOAT_EQ(a->respawnTimer, 0.0f);
}

// A kind whose respawn also sends another waiting entity back at once (as
// team rules do), so the queue changes while the pass walks it.
struct ChainMode : GameMode {
    ChainMode() : GameMode(GameType::Survival) {}
    Target* partner = nullptr;
    int respawns = 0;
    void respawnAirplane(Target& e, float delay, const Vec3* at) override
    {
        if (delay <= 0.0f)
            ++respawns;
        GameMode::respawnAirplane(e, delay, at);
        if (delay <= 0.0f && partner && &e != partner && !partner->isActive()) {
            Target* p = partner;
            partner = nullptr;
            GameMode::respawnAirplane(*p, 0.0f, nullptr);
            ++respawns;
        }
    }
};

TEST_F(Respawn, EachWaitingEntityIsHandledOnceAFrameWhileTheQueueChanges)
{
    kitMatch = Match::create(std::make_unique<ChainMode>(), MatchConnections::none());
    ChainMode& m = static_cast<ChainMode&>(kitMatch->mode());
    mode = &m;
    // Apart, so no two of them collide.
    Airplane* first = airplane(0);
    Airplane* second = airplane(1, {0, 2000, 500});
    Airplane* third = airplane(1, {0, 2000, -500});
    m.respawnAirplane(*first, 0.5f, nullptr);
    m.respawnAirplane(*second, 2.0f, nullptr);
    m.respawnAirplane(*third, 0.5f, nullptr);
    m.partner = second;
    step(0.52f);
    // first expired and pulled second along; third expired in the same pass.
    EXPECT_EQ(m.respawns, 3);
    EXPECT_TRUE(first->isActive() && second->isActive() && third->isActive());
    EXPECT_TRUE(m.respawnQueue().empty());
}

TEST_F(Respawn, TheBaseDeathHandlingRespawnsAtOnceAndReportsTheKiller)
{
    Airplane* victim = airplane(1);
    Airplane* killer = airplane(0, {0, 2000, 800});
    mode->damageAirplane(*victim, killer, 100.0f, victim->position(), nullptr, false);
    mode->update(1.0f / 60.0f);
    ASSERT_EQ(posted().destroyed.size(), 1u);
    EXPECT_EQ(posted().destroyed[0].victim, victim);
    EXPECT_EQ(posted().destroyed[0].killer, killer);
    EXPECT_EQ(posted().destroyed[0].cause, CrashCause::KilledByDamage);
    EXPECT_TRUE(victim->isActive());
    EXPECT_TRUE(victim->isAlive());
    EXPECT_FLOAT_EQ(victim->health(), 1.0f);
}

TEST_F(Respawn, FlyingIntoTheSeaIsADeathWithoutKiller)
{
    Airplane* a = airplane(1, {0.0f, 30.0f, 0.0f});
    a->setOrientation(quatFromEuler(0.0f, -1.2f, 0.0f));  // nose well down
    step(2.0f);
    ASSERT_FALSE(posted().destroyed.empty());
    EXPECT_EQ(posted().destroyed[0].killer, nullptr);
    // Without terrain everything below 0 is sea.
    EXPECT_EQ(posted().destroyed[0].cause, CrashCause::Water);
    EXPECT_TRUE(a->isActive());  // the base rules send it straight back
}

TEST_F(Respawn, EliminatedEntitiesComeBackOnlyWhenAskedAndWhereTheyAre)
{
    Airplane* a = airplane(1, {300.0f, 2200.0f, 0.0f});
    mode->eliminateAirplane(*a);
    EXPECT_TRUE(mode->isWaitingOrOut(*a));
    step(10.0f);
    EXPECT_FALSE(a->isActive());
    mode->respawnEliminated(*a);
    EXPECT_TRUE(a->isActive());
    EXPECT_FLOAT_EQ(a->position().x, 300.0f);
    EXPECT_FLOAT_EQ(a->respawnTimer, 0.0f);
    EXPECT_FALSE(mode->isWaitingOrOut(*a));
}

TEST_F(Respawn, AUnitWithoutAMapPlaceComesBackWhereItIsWithFullHealth)
{
    Target* tank = groundUnit(1, TargetKind::LandUnit, {700.0f, 12.0f, -300.0f});
    tank->setMaxHealth(220.0f);
    tank->setHealth(10.0f);
    mode->damageAirplane(*tank, nullptr, 50.0f, tank->position(), nullptr, false);
    mode->update(1.0f / 60.0f);
    ASSERT_EQ(posted().count("destroyed"), 1);
    EXPECT_TRUE(tank->isAlive());
    EXPECT_FLOAT_EQ(tank->health(), 220.0f);
    EXPECT_FLOAT_EQ(tank->position().x, 700.0f);
}

TEST_F(Respawn, ThePlayersDeathLetsGoOfEveryHudButton)
{
    Airplane* player = airplane(0);
    mode->setPlayerAirplane(player);
    mode->onAirplaneDestroyedNoKiller(*player, nullptr, CrashCause::Prop);
    EXPECT_EQ(hud.releases, 1);
    EXPECT_TRUE(player->isActive());
}

TEST_F(Respawn, RemovalTakesTheEntityOutOfTheQueue)
{
    Airplane* a = airplane(1);
    mode->respawnAirplane(*a, 2.0f, nullptr);
    mode->removeEntity(*a);
    EXPECT_TRUE(mode->respawnQueue().empty());
    step(3.0f);  // the pass never meets the deleted entity
    EXPECT_TRUE(mode->entities().empty());
}
}  // namespace
