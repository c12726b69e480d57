#include "ModeTestKit.h"

#include "entities/weapons/MissileKinds.h"

namespace {
struct MissilesInTheMode : ModeKit {
    WeaponCfg rocket;
    void SetUp() override
    {
        ModeKit::SetUp();
        rocket.type = kWeaponSimple;
        rocket.weapon_id = 12;
        rocket.speed = 400.0f;
        rocket.life = 2.0f;
        rocket.damage = 0.0f;
    }
    std::unique_ptr<Missile> launchFrom(Airplane& owner, Target* target)
    {
        MissileLaunch launch;
        launch.record = &rocket;
        launch.host = mode;
        launch.owner = &owner;
        launch.target = target;
        launch.position = owner.position() + Vec3{0.0f, -5.0f, 0.0f};
        return Missile::make<SimpleMissile>(launch);
    }
};

TEST_F(MissilesInTheMode, TheLaunchIsReportedAndTheEndUnregistersIt)
{
    Airplane* player = airplane(0, {0, 2000, 0});
    Airplane* enemy = airplane(1, {0, 2000, -3000});
    mode->setPlayerAirplane(player);
    mode->addMissile(launchFrom(*player, enemy));
    EXPECT_EQ(posted().launches, 1);
    EXPECT_NE(mode->playerMissile(), nullptr);
    EXPECT_EQ(hud.markers.back(), mode->playerMissile());  // the player's missiles get a marker
    step(2.5f);  // its life runs out in the air
    EXPECT_EQ(mode->missiles().count(), 0);
    EXPECT_EQ(mode->playerMissile(), nullptr);
    EXPECT_EQ(mode->missilesRegistered(), 1);
    EXPECT_EQ(mode->missilesUnregistered(), 1);
}

// While the kill cam follows another airplane, the missiles it fires and
// those fired at it are marked; the others' are not.
TEST_F(MissilesInTheMode, TheWatchedAirplanesMissilesGetMarkers)
{
    Airplane* player = airplane(0, {0, 2000, 0});
    Airplane* killer = airplane(1, {0, 2000, -3000});
    Airplane* other = airplane(1, {3000, 2000, -3000});
    mode->setPlayerAirplane(player);
    hud.watched = killer;
    const auto marked = [&] { return !hud.markers.empty() && hud.markers.back() == mode->missiles().at(mode->missiles().count() - 1); };
    mode->addMissile(launchFrom(*killer, player));
    EXPECT_TRUE(marked()) << "fired by the watched airplane";
    mode->addMissile(launchFrom(*other, killer));
    EXPECT_TRUE(marked()) << "fired at the watched airplane";
    mode->addMissile(launchFrom(*player, other));
    EXPECT_FALSE(marked()) << "the player's own, while another is watched";
    hud.watched = nullptr;
    mode->addMissile(launchFrom(*player, other));
    EXPECT_TRUE(marked()) << "back in the player's view";
}

// An airplane leaving the world takes its missiles along: none hits on,
// crediting nobody. A missile aimed at it flies on without a target.
TEST_F(MissilesInTheMode, RemovingTheOwnerRemovesItsMissilesAndOnlyThose)
{
    Airplane* owner = airplane(0, {0, 2000, 0});
    Airplane* enemy = airplane(1, {0, 2000, -3000});
    mode->addMissile(launchFrom(*owner, enemy));
    mode->addMissile(launchFrom(*owner, enemy));
    mode->addMissile(launchFrom(*enemy, owner));
    mode->removeEntity(*owner);
    ASSERT_EQ(mode->missiles().count(), 1);
    EXPECT_EQ(mode->missiles().at(0)->owner(), enemy);
    EXPECT_EQ(mode->missiles().at(0)->target(), nullptr);
    EXPECT_EQ(mode->missilesUnregistered(), 2) << "each removed missile leaves the HUD and the camera";
    step(0.5f);
    EXPECT_EQ(mode->missiles().count(), 1);
    mode->clearLevel();
    EXPECT_EQ(mode->missilesUnregistered(), 3);
}

using TeamChange = ModeKit;

TEST_F(TeamChange, MovingAnEntityMovesTheTeamCounters)
{
    Airplane* a = airplane(0);
    airplane(1);
    EXPECT_EQ(teamCounters().team0, 1);
    mode->changeTeam(*a, 1);
    EXPECT_EQ(a->team(), 1);
    EXPECT_EQ(teamCounters().team0, 0);
    EXPECT_EQ(teamCounters().team1, 2);
}

TEST_F(TeamChange, TheSelectionListsAirplanesOrOthersInListOrder)
{
    Airplane* a = airplane(0);
    Target* tank = groundUnit(1);
    Airplane* out = airplane(1);
    Target* ship = groundUnit(1, TargetKind::Ship);
    mode->eliminateAirplane(*out);
    EXPECT_EQ(mode->buildSelection(true, {}, false), (std::vector<Target*>{a, out}));
    EXPECT_EQ(mode->buildSelection(true, {}, true), (std::vector<Target*>{a}));
    const int noShips[] = {static_cast<int>(TargetKind::Ship)};
    EXPECT_EQ(mode->buildSelection(false, noShips, false), (std::vector<Target*>{tank}));
    EXPECT_EQ(mode->buildSelection(false, {}, false), (std::vector<Target*>{tank, ship}));
}

TEST_F(TeamChange, ThePlayersLockReachesThreeThousandUnitsOfAirTargets)
{
    Airplane* player = airplane(0, {0, 2000, 0});
    mode->setPlayerAirplane(player);
    groundUnit(1, TargetKind::LandUnit, {0, 2000, -100});  // not an air target
    Airplane* far = airplane(1, {0, 2000, -3500});
    mode->update(1.0f / 60.0f);
    mode->lockPlayerTarget();
    EXPECT_EQ(mode->playerLockTarget(), nullptr);
    far->setPositionAndStop({0, 2000, -2500});
    mode->update(1.0f / 60.0f);
    mode->lockPlayerTarget();
    EXPECT_EQ(mode->playerLockTarget(), far);
}
}  // namespace
