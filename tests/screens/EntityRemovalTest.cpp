#include "support/entities/SimHost.h"
#include "support/entities/TestWeapons.h"
#include "support/entities/WeaponScenarios.h"
#include "support/screens/CameraFakes.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/MissileSet.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/scene/GameCamera.h"

#include <gtest/gtest.h>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

// The game mode as the cameras see it, over the test host's targets: the
// searches find the first target in play of the given kind.
struct HostCameraGame : FakeGameMode {
    explicit HostCameraGame(SimHost& h) : host(h) {}
    SimHost& host;
    TargetKind wanted = TargetKind::Airplane;

    const Vec3* first() const
    {
        for (Target* t : host.activeTargets())
            if (t->kind() == wanted && t->team() == 1)
                return &t->position();
        return nullptr;
    }
    const Vec3* findTarget(const CameraPlane&, float, float, bool) override { return first(); }
    const Vec3* findTargetDefault(const CameraPlane&, float) override { return first(); }
    EntityHandle entityAt(const Vec3* point) const override
    {
        for (Target* t : host.activeTargets())
            if (&t->position() == point)
                return t->handle();
        return {};
    }
};

PlaneCfg jet()
{
    PlaneCfg p;
    p.name = "jet";
    p.pMinSpeed = 190.0f;
    p.pSpeedSpan = 190.0f;
    p.pCruiseSpeed = 260.0f;
    p.pStallSpeed = 65.0f;
    p.pAccel = 0.55f;
    p.pPitchRate = 1.7f;
    p.pRollRate = 3.8f;
    p.pYawRate = 0.5f;
    return p;
}

struct EntityRemoval : testing::Test {
    SimHost host;
    PlaneCfg cfg = jet();
    WeaponCfg missile = testSeeker();
    FakePlane player;
    HostCameraGame game{host};

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(2, 4);
        player.pos = {0.0f, 3000.0f, 200.0f};
        game.player = &player;
    }
    Airplane* plane(int team, const Vec3& at, const Vec3& direction)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"p")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        Quat q;
        quatFromDirectionTo(q, direction);
        a->setOrientation(q);
        a->setSpeed(250.0f);
        a->setThrottleForSpeed(250.0f);
        a->setFlares(0);
        return a;
    }
    void frame(GameCamera& a, GameCamera& b)
    {
        host.step(kFrame);
        a.updateMatrices(kFrame);
        b.updateMatrices(kFrame);
    }
};

// The victim is held by another target (attacker and remembered target), an
// airplane's current target, a locked weapon, a missile chasing it, its own
// camera's lock, another camera's orbit and the HUD's team list. It is
// removed mid-frame by the damage rule, and nobody tells the cameras:
// the frames that follow must read nothing of it (the sanitizer build fails
// the test on any such read).
TEST_F(EntityRemoval, ATargetRemovedFromEverywhereLeavesNothingToRead)
{
    Airplane* shooter = plane(0, {0.0f, 3000.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
    Airplane* victim = plane(1, {0.0f, 3000.0f, -1500.0f}, {0.0f, 0.0f, 1.0f});
    Airplane* spare = plane(1, {3000.0f, 3000.0f, -3000.0f}, {1.0f, 0.0f, 0.0f});
    Target* bystander = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::Vehicle, 0, 8.0f, 500.0f));
    ASSERT_TRUE(shooter->mountWeapon(missile, 0));
    shooter->weapon(0)->updateTargeting(2.0f);
    ASSERT_TRUE(shooter->weapon(0)->isLocked());
    shooter->controlInput(0, 1.0f);
    host.step(kFrame);
    shooter->controlInput(0, 0.0f);
    ASSERT_EQ(host.missiles().count(), 1);
    shooter->weapon(0)->updateTargeting(2.0f);
    bystander->lastAttacker = victim;
    bystander->rememberedTarget = victim;
    shooter->currentTarget = victim;
    HudMessageQueue hud;
    hud.players().add(victim->handle());

    GameCamera lockCam(game), orbitCam(game);
    const Vec3 aim;
    player.target = &aim;  // mode 4 locks only while the player has a target
    lockCam.setMode(4);
    ASSERT_EQ(lockCam.lockedPoint, &victim->position());
    orbitCam.lookAtPoint(&victim->position(), 300.0f, 0.5f, -1.0f, false, 0.0f);
    ASSERT_EQ(orbitCam.orbitPointRef, &victim->position());
    const EntityHandle handle = victim->handle();

    // The missile kills it inside a damage call in the middle of a frame; the
    // missile's end still finds it, the next frame does not.
    host.removeKilled = true;
    victim->setHealth(1.0f);
    bool readableAtTheEnd = false;
    host.missiles().onEnd = [&](const MissileSet::Ending& e) {
        if (e.missile->struckTarget() == victim)
            readableAtTheEnd = handle.resolve() == victim && victim->isMarkedForRemoval();
    };
    Vec3 lastSeen = victim->position();
    for (int i = 0; i < 60 * 8 && handle.resolve(); ++i) {
        lastSeen = victim->position();
        frame(lockCam, orbitCam);
    }
    host.missiles().onEnd = nullptr;
    ASSERT_EQ(handle.resolve(), nullptr);
    EXPECT_TRUE(readableAtTheEnd);

    EXPECT_EQ(bystander->lastAttacker, nullptr);
    EXPECT_EQ(bystander->rememberedTarget, nullptr);
    EXPECT_EQ(shooter->currentTarget, nullptr);
    EXPECT_FALSE(shooter->weapon(0)->hasTarget(victim));
    // The lock moved to the other enemy; the orbit froze where the victim was.
    EXPECT_EQ(lockCam.lockedPoint, &spare->position());
    EXPECT_EQ(orbitCam.orbitPointRef, &orbitCam.orbitPoint);
    EXPECT_NEAR(orbitCam.orbitPoint.z, lastSeen.z, 20.0f);
    EXPECT_TRUE(hud.players().contains(handle)) << "kept by handle, which simply no longer resolves";

    // A newcomer that takes the freed id is not the old one.
    Target* newcomer = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::Vehicle, 1, 8.0f, 50.0f));
    EXPECT_EQ(newcomer->id(), handle.id());
    EXPECT_EQ(handle.resolve(), nullptr);
    EXPECT_FALSE(hud.players().contains(newcomer->handle()));

    for (int i = 0; i < 120; ++i)
        frame(lockCam, orbitCam);
}
}  // namespace
