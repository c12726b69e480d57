#include "ModeTestKit.h"

#include "entities/ground/Runway.h"
#include "modes/GameModeFactory.h"
#include "modes/progress/IGameModeInfo.h"

namespace {
using GameModeCore = ModeKit;

TEST_F(GameModeCore, AFreshModeIsSinglePlayerWithoutTeamChange)
{
    for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13}) {
        auto m = createGameMode(type);
        ASSERT_NE(m, nullptr) << type;
        EXPECT_TRUE(m->isSinglePlayer()) << type;
        EXPECT_FALSE(m->isNetworkServer()) << type;
        EXPECT_FALSE(m->isNetworkClient()) << type;
        EXPECT_FALSE(m->teamChangeAllowed) << type;
        EXPECT_EQ(m->isMatchType(), type != 1 && type != 11) << type;
    }
}

TEST_F(GameModeCore, TheFactoryRefusesNumbersNoGameTypeHas)
{
    for (int type : {0, 12, 14, -1, 300})
        EXPECT_EQ(createGameMode(type), nullptr) << type;
}

TEST_F(GameModeCore, NetworkFlagsGiveTheSide)
{
    mode->setNetwork(true, true, false);
    EXPECT_TRUE(mode->isNetworkServer());
    EXPECT_FALSE(mode->isNetworkClient());
    mode->setNetwork(true, false, true);
    EXPECT_TRUE(mode->isNetworkClient());
    EXPECT_TRUE(mode->isOnline());
    // Hosting or online without a network game means nothing.
    mode->setNetwork(false, true, true);
    EXPECT_TRUE(mode->isSinglePlayer());
    EXPECT_FALSE(mode->isOnline());
}

TEST_F(GameModeCore, PlayerColorCodeByTeam)
{
    // No team is 2 whatever the player's team; without a player every team is 1.
    EXPECT_EQ(mode->playerColorCode(kTeamNone), 2);
    EXPECT_EQ(mode->playerColorCode(0), 1);
    Airplane* player = airplane(0);
    mode->setPlayerAirplane(player);
    EXPECT_EQ(mode->playerColorCode(0), 0);
    EXPECT_EQ(mode->playerColorCode(1), 1);
    EXPECT_EQ(mode->playerColorCode(kTeamNone), 2);
}

TEST_F(GameModeCore, DeletingAModeThatNeverStartedALevelTouchesNoWorld)
{
    auto m = createGameMode(2);
    EXPECT_EQ(m->world(), nullptr);
    m.reset();  // no crash, nothing to release
    startMatch(createGameMode(3), MatchConnections::none());
    ASSERT_NE(modeOf(currentMatch()), nullptr);
    endMatch();
    EXPECT_EQ(modeOf(currentMatch()), nullptr);
}

TEST_F(GameModeCore, ProgressionSeesTheCurrentModesSide)
{
    auto m = createGameMode(4);
    m->setNetwork(true, false, false);
    m->difficulty = 2;
    startMatch(std::move(m), MatchConnections::none());
    ASSERT_NE(currentMatchInfo(), nullptr);
    EXPECT_TRUE(currentMatchInfo()->isNetworkClient());
    EXPECT_FALSE(isSinglePlayerGame(currentMatchInfo()));
    EXPECT_EQ(currentMatchInfo()->difficulty(), 2);
    endMatch();
    EXPECT_EQ(currentMatchInfo(), nullptr);
    EXPECT_TRUE(isSinglePlayerGame(currentMatchInfo()));
}

TEST_F(GameModeCore, AddingPutsAnEntityInPlayInTheKindListsAndTellsTheListener)
{
    Airplane* a = airplane(1);
    Target* runway = groundUnit(kTeamNone, TargetKind::Runway);
    Target* tunnel = groundUnit(kTeamNone, TargetKind::Tunnel);
    ASSERT_TRUE(a && runway && tunnel);
    EXPECT_TRUE(a->isActive());
    EXPECT_EQ(mode->entities().size(), 3u);
    EXPECT_EQ(mode->activeTargets().size(), 3u);
    ASSERT_EQ(mode->runways().size(), 1u);
    EXPECT_EQ(mode->runways()[0], runway);
    ASSERT_EQ(mode->tunnels().size(), 1u);
    EXPECT_EQ(teamCounters().team1, 1);
    EXPECT_EQ(posted().count("added"), 3);
    EXPECT_EQ(hud.markers.size(), 3u);
}

// Removal: nothing keeps pointing at the entity, and it leaves the score groups.
TEST_F(GameModeCore, RemovalClearsEveryReferenceToTheEntity)
{
    Airplane* victim = airplane(1, {0, 2000, 0});
    Airplane* hunter = airplane(0, {0, 2000, 500});
    Airplane* other = airplane(0, {0, 2000, -500});
    hunter->lastAttacker = victim;
    hunter->rememberedTarget = victim;
    hunter->currentTarget = victim;
    other->lastAttacker = victim;
    mode->setPlayerAirplane(hunter);
    mode->update(1.0f / 60.0f);
    mode->lockPlayerTarget();
    ASSERT_EQ(mode->playerLockTarget(), victim);

    mode->removeEntity(*victim);
    EXPECT_EQ(hunter->lastAttacker, nullptr);
    EXPECT_EQ(hunter->rememberedTarget, nullptr);
    EXPECT_EQ(hunter->currentTarget, nullptr);
    EXPECT_EQ(other->lastAttacker, nullptr);
    EXPECT_EQ(mode->playerLockTarget(), nullptr);
    EXPECT_EQ(hud.forgottenByScores.back(), victim);
    EXPECT_EQ(mode->entities().size(), 2u);
    EXPECT_EQ(teamCounters().team1, 0);
    // Deleted only once the frame is over.
    EXPECT_EQ(mode->pendingDeletions(), 1);
    mode->update(1.0f / 60.0f);
    EXPECT_EQ(mode->pendingDeletions(), 0);
}

TEST_F(GameModeCore, DeletingThePlayersAirplaneClearsThePlayer)
{
    Airplane* player = airplane(0);
    mode->setPlayerAirplane(player);
    mode->deleteAirplane(*player);
    EXPECT_EQ(mode->playerAirplane(), nullptr);
    mode->update(1.0f / 60.0f);
    EXPECT_TRUE(mode->entities().empty());
}

TEST_F(GameModeCore, RemovedRunwayLetsItsLandedAirplanesGo)
{
    auto made = Target::create<Runway>(*mode, Vec3{}, 0.0f, Vec3{20.0f, 5.0f, 500.0f});
    Runway* runway = static_cast<Runway*>(mode->addPlayerAirplane(std::move(made), false));
    ASSERT_NE(runway, nullptr);
    Airplane* a = airplane(0);
    a->setLanded(runway);
    mode->removeEntity(*runway);
    EXPECT_FALSE(a->onRunway());
    EXPECT_TRUE(mode->runways().empty());
}

TEST_F(GameModeCore, ClearLevelTwiceLeavesEveryListEmpty)
{
    airplane(0);
    airplane(1);
    groundUnit(1);
    mode->respawnAirplane(*mode->entities()[0], 3.0f, nullptr);
    mode->removeEntity(*mode->entities()[2]);
    mode->clearLevel();
    mode->clearLevel();
    EXPECT_TRUE(mode->entities().empty());
    EXPECT_TRUE(mode->activeTargets().empty());
    EXPECT_TRUE(mode->respawnQueue().empty());
    EXPECT_TRUE(mode->weapons().empty());
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_EQ(mode->pendingDeletions(), 0);
    EXPECT_EQ(mode->world(), nullptr);
}

TEST_F(GameModeCore, PlayStoppedFreezesTheWorldButNotTheClockOrTheNetwork)
{
    Airplane* a = airplane(0);
    const Vec3 before = a->position();
    mode->playStopped = true;
    listener.calls.clear();
    step(1.0f);
    EXPECT_FLOAT_EQ(a->position().z, before.z);
    EXPECT_NEAR(gameClock(), 1.0f, 1e-3f);
    EXPECT_EQ(listener.receives, 60);
    EXPECT_EQ(listener.sends, 60);
    EXPECT_EQ(listener.calls.front(), "receive");
    EXPECT_EQ(listener.calls.back(), "send");
}
}  // namespace
