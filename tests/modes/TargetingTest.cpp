#include "ModeTestKit.h"

#include "entities/ground/CarrierDeck.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/MapEntities.h"

#include <deque>

#include <cmath>

namespace {
using Targeting = ModeKit;

TEST_F(Targeting, FindNextTargetWithOnlyTheSearcherGivesNullAndKeepsTheCursor)
{
    Airplane* searcher = airplane(0);
    EXPECT_EQ(mode->findNextTarget(searcher, {}, -1, GameMode::TeamRule::Any, 0.0f), nullptr);

    Airplane* a = airplane(1, {0, 2000, 100});
    Airplane* b = airplane(1, {0, 2000, 200});
    EXPECT_EQ(mode->findNextTarget(searcher, {}, -1, GameMode::TeamRule::Enemy, 0.0f), a);
    // A turn without a match leaves the cursor on a, so the next search goes on to b.
    Target* const all[] = {a, b};
    EXPECT_EQ(mode->findNextTarget(searcher, all, -1, GameMode::TeamRule::Any, 0.0f), nullptr);
    EXPECT_EQ(mode->findNextTarget(searcher, {}, -1, GameMode::TeamRule::Enemy, 0.0f), b);
    EXPECT_EQ(mode->findNextTarget(searcher, {}, -1, GameMode::TeamRule::Enemy, 0.0f), a);
}

TEST_F(Targeting, FindNextTargetTeamRules)
{
    Airplane* searcher = airplane(0);
    Airplane* mate = airplane(0, {0, 2000, 100});
    Target* neutral = groundUnit(kTeamNone);
    EXPECT_EQ(mode->findNextTarget(searcher, {}, -1, GameMode::TeamRule::Own, 0.0f), mate);
    EXPECT_EQ(mode->findNextTarget(searcher, {}, -1, GameMode::TeamRule::Enemy, 0.0f), nullptr);
    EXPECT_EQ(mode->findNextTarget(searcher, {}, static_cast<int>(TargetKind::LandUnit), GameMode::TeamRule::Any,
                                   0.0f),
              neutral);
}

// A carrier holding airplanes on its deck stays out of the target list
// whatever it is told; an empty one, or a plain ship, takes the value.
TEST_F(Targeting, ACarrierWithAirplanesOnItsDeckIsNeverMadeTargetable)
{
    GroundTarget* carrier = ship(TargetKind::Carrier, {0.0f, 0.0f, 0.0f});
    GroundTarget* cargo = ship(TargetKind::Ship, {3000.0f, 0.0f, 0.0f});
    ASSERT_NE(carrier->deck(), nullptr);
    mode->setTargetable(*carrier, true);
    EXPECT_TRUE(carrier->isTargetable()) << "an empty deck";

    Airplane* parked = airplane(1);
    parked->setPositionAndStop({0.0f, carrier->deck()->deckHeight() + parked->dimensions().groundOffset + 2.0f, 50.0f});
    parked->setSpeed(60.0f);
    ASSERT_TRUE(carrier->deck()->recover(*parked));
    mode->setTargetable(*carrier, true);
    EXPECT_FALSE(carrier->isTargetable());
    mode->setTargetable(*cargo, true);
    EXPECT_TRUE(cargo->isTargetable());
}

TEST_F(Targeting, FindTargetGivesTheNearestEnemyInRange)
{
    Airplane* searcher = airplane(0, {0, 2000, 0});
    airplane(0, {0, 2000, 50});                      // own team
    groundUnit(kTeamNone, TargetKind::LandUnit, {0, 2000, 60});  // no team
    Airplane* near = airplane(1, {0, 2000, 400});
    Airplane* far = airplane(1, {0, 2000, 2500});
    mode->update(1.0f / 60.0f);  // fills the distance table
    EXPECT_EQ(mode->findTargetDefault(searcher, 0.0f, TargetClass::Air), near);
    Target* const skip[] = {near};
    GameMode::SearchOptions options;
    options.exclude = skip;
    EXPECT_EQ(mode->findTarget(searcher, options), far);
    options.range = 1000.0f;
    EXPECT_EQ(mode->findTarget(searcher, options), nullptr);
    std::vector<Target*> all;
    GameMode::SearchOptions collect;
    collect.collect = &all;
    EXPECT_EQ(mode->findTarget(searcher, collect), nullptr);
    EXPECT_EQ(all.size(), 2u);
    EXPECT_EQ(mode->findTarget(nullptr, collect), nullptr);
}

TEST_F(Targeting, AWingmanSpawnsWithinTenUnitsOfTheLeadPoint)
{
    Airplane* player = airplane(0, {1000.0f, 3000.0f, -500.0f});
    mode->setPlayerAirplane(player);
    const Vec3 ahead = player->position() + player->velocity() * 30.0f;
    for (int i = 0; i < 20; ++i) {
        Airplane* mate = airplane(0);
        Vec3 at;
        Quat q;
        mode->getSpawnPoint(*mate, at, q);
        EXPECT_GE(at.x - ahead.x, 0.0f);
        EXPECT_LE(at.x - ahead.x, 10.0f);
        EXPECT_LE(at.z - ahead.z, 10.0f);
        // Without terrain the ground is at 0: 2000 above it.
        EXPECT_FLOAT_EQ(at.y, GameMode::kSpawnHeight);
        mode->removeEntity(*mate);
    }
    Airplane* enemy = airplane(1);
    Vec3 at;
    Quat q;
    mode->getSpawnPoint(*enemy, at, q);
    EXPECT_LE(std::fabs(at.x - ahead.x), 2000.0f);
}

TEST_F(Targeting, WithoutAPlayerAirplanesSpawnOnTheWideCircle)
{
    Airplane* a = airplane(1);
    for (int i = 0; i < 10; ++i) {
        Vec3 at;
        Quat q;
        mode->getSpawnPoint(*a, at, q);
        EXPECT_NEAR(std::sqrt(at.x * at.x + at.z * at.z), GameMode::kSpawnCircle, 1.0f);
        EXPECT_FLOAT_EQ(at.y, GameMode::kSpawnHeight);
    }
}

TEST_F(Targeting, LeadPointsAimWhereTheTargetWillBe)
{
    Airplane* target = airplane(1, {0.0f, 0.0f, -1000.0f});
    target->setSpeed(100.0f);  // flying along -z
    const Vec3 p = GameMode::leadPointPrecise({0, 0, 0}, *target, 1000.0f);
    // The projectile needs about d / 1000 s; the target moves 100 units a second.
    EXPECT_NEAR(p.z, -1000.0f - 111.1f, 1.0f);
    const Vec3 fast = GameMode::leadPointFast({0, 0, 0}, *target, 1000.0f);
    EXPECT_NEAR(fast.z, p.z, 2.0f);
    EXPECT_FLOAT_EQ(GameMode::leadPointPrecise({0, 0, 0}, *target, 0.0f).z, -1000.0f);
}

TEST_F(Targeting, SquadronOrdersSetOrCycleAndOnlyLocalAirplanesGiveThem)
{
    Squadron* squadron = mode->addSquadron(std::make_unique<Squadron>());
    Airplane* leader = airplane(0);
    mode->setSquadronLeader(leader, squadron);
    mode->setPlayerAirplane(leader);
    // 0 and 1 set themselves, 3 and 4 both mean 2, and 2 steps 0 -> 1 -> 2 -> 0.
    mode->setSquadronOrder(*leader, 3);
    EXPECT_EQ(mode->playerGroupIndex(), 2);
    mode->setSquadronOrder(*leader, 0);
    EXPECT_EQ(mode->playerGroupIndex(), 0);
    mode->setSquadronOrder(*leader, 4);
    mode->setSquadronOrder(*leader, 1);
    EXPECT_EQ(mode->playerGroupIndex(), 1);
    for (int start : {0, 1, 2}) {
        mode->setSquadronOrder(*leader, start == 2 ? 3 : start);
        for (int i = 0; i < 3; ++i)
            mode->setSquadronOrder(*leader, 2);
        EXPECT_EQ(mode->playerGroupIndex(), start);
    }
    leader->networkRole = NetworkRole::Remote;
    mode->setSquadronOrder(*leader, 0);
    EXPECT_EQ(mode->playerGroupIndex(), 2);
    leader->networkRole = NetworkRole::Local;
    mode->setNetwork(true, true, false);
    EXPECT_EQ(mode->playerGroupIndex(), -1);  // only in single player
}

TEST_F(Targeting, RemovingALeaderLeavesItsSquadronWithoutOne)
{
    Squadron* squadron = mode->addSquadron(std::make_unique<Squadron>());
    Airplane* leader = airplane(0);
    Airplane* wingman = airplane(0, {0, 2000, 200});
    mode->setSquadronLeader(leader, squadron);
    mode->setEntitySquadron(wingman, squadron);
    mode->removeEntity(*leader);
    EXPECT_EQ(squadron->leader(), nullptr);
    mode->removeSquadron(*squadron);
    EXPECT_EQ(wingman->squadron, nullptr);
    EXPECT_TRUE(mode->squadrons().empty());
}

TEST_F(Targeting, TheAutopilotTakesThePlayersAirplaneAndGivesItBack)
{
    Airplane* player = airplane(0);
    mode->setPlayerAirplane(player);
    mode->autopilot = true;
    mode->reapplyPlayerAutopilot();
    EXPECT_NE(player->aiController(), nullptr);
    TargetAI* first = player->aiController();
    Airplane* bot = airplane(1, {0, 2000, 500});
    mode->attachAI(*bot, 0.5f, false);
    TargetAI* kept = bot->aiController();
    mode->attachAI(*bot, 0.9f, false);
    EXPECT_EQ(bot->aiController(), kept);  // no replace: the controller stays
    mode->autopilot = false;
    mode->reapplyPlayerAutopilot();
    EXPECT_EQ(player->aiController(), nullptr);
    EXPECT_NE(first, nullptr);
}

}  // namespace
