#include "TestPlanes.h"

#include "entities/EntityHandle.h"
#include "entities/EntityIds.h"
#include "entities/EntityRemoval.h"
#include "entities/TimedPoints.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "entities/weapons/BulletPool.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/MissileSet.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"
#include "support/entities/TestWeapons.h"
#include "support/entities/WeaponScenarios.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

WeaponCfg gun()
{
    WeaponCfg w = testSeeker();
    w.name = "gun";
    w.weapon_id = 42;
    w.type = kWeaponMachinegun;
    w.speed = 900.0f;
    w.life = 3.0f;
    return w;
}

struct Lifetime : testing::Test {
    PlaneCfg cfg = testJet();
    WeaponCfg missileRecord = testSeeker();
    WeaponCfg gunRecord = gun();
    SimHost host;

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(3, 5);
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
    Target* thing(int team, const Vec3& at, float health)
    {
        Target* t = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::Vehicle, team, 8.0f, health));
        t->setPosition(at);
        return t;
    }
    // Locks and fires the first weapon of the shooter at whatever it locks.
    void lockAndFire(Airplane& shooter)
    {
        shooter.weapon(0)->updateTargeting(2.0f);
        ASSERT_TRUE(shooter.weapon(0)->isLocked());
        shooter.controlInput(0, 1.0f);
        host.step(kFrame);
        shooter.controlInput(0, 0.0f);
    }
    const Missile* missileOwnedBy(const Target* owner)
    {
        for (int i = 0; i < host.missiles().count(); ++i)
            if (host.missiles().at(i)->owner() == owner)
                return host.missiles().at(i);
        return nullptr;
    }
};

TEST_F(Lifetime, AHandleResolvesWhileItsTargetLivesAndToNothingAfterItsIdIsReused)
{
    Target* first = thing(1, {}, 100.0f);
    const int id = first->id();
    const EntityHandle handle = first->handle();
    ASSERT_EQ(handle.resolve(), first);
    EXPECT_TRUE(handle.refersTo(first));

    host.remove(first);
    EXPECT_EQ(handle.resolve(), nullptr);

    // The freed id is the first free one, so the newcomer takes it over.
    Target* second = thing(1, {}, 100.0f);
    ASSERT_EQ(second->id(), id);
    EXPECT_EQ(handle.resolve(), nullptr);
    EXPECT_FALSE(handle.refersTo(second));
    EXPECT_EQ(second->handle().resolve(), second);
    EXPECT_NE(second->handle(), handle);
}

TEST_F(Lifetime, EmptyHandlesAndHandlesToTargetsWithoutAnIdResolveToNothing)
{
    EXPECT_EQ(EntityHandle().resolve(), nullptr);
    EXPECT_EQ(EntityHandle(nullptr).resolve(), nullptr);
    EXPECT_TRUE(EntityHandle().isEmpty());

    // Fill the id table so the next target is made without an id.
    std::vector<std::unique_ptr<ScriptedTarget>> all;
    while (targetIds().usedCount() < targetIds().kCapacity)
        all.push_back(std::make_unique<ScriptedTarget>(host, TargetKind::Vehicle, 1, 1.0f, 1.0f));
    ScriptedTarget orphan(host, TargetKind::Vehicle, 1, 1.0f, 1.0f);
    ASSERT_FALSE(orphan.hasId());
    EXPECT_TRUE(orphan.handle().isEmpty());
    EXPECT_EQ(orphan.handle().resolve(), nullptr);

    // A target that takes over another id is found under the new one only.
    ScriptedTarget& moved = *all.back();
    const EntityHandle before = moved.handle();
    const int oldId = moved.id();
    all.front().reset();
    ASSERT_TRUE(moved.takeOverId(0));
    EXPECT_EQ(before.resolve(), nullptr);
    EXPECT_EQ(moved.handle().resolve(), &moved);
    EXPECT_EQ(Target::byId(oldId), nullptr);
}

// The removed airplane is referenced from every place that can hold it; after
// the removal nothing may point at it, and the frames that follow run clean
// (the sanitizer build reports any read of the freed airplane).
TEST_F(Lifetime, ARemovedTargetIsForgottenEverywhere)
{
    Airplane* victim = plane(1, {0.0f, 3000.0f, -1500.0f}, {0.0f, 0.0f, 1.0f});
    Airplane* shooter = plane(0, {0.0f, 3000.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
    Target* bystander = thing(0, {800.0f, 0.0f, 0.0f}, 500.0f);
    ASSERT_TRUE(shooter->mountWeapon(missileRecord, 0));
    ASSERT_TRUE(victim->mountWeapon(missileRecord, 0));
    ASSERT_TRUE(victim->mountWeapon(gunRecord, 1));
    auto flagOwner = Target::create<Flag>(host, 0);
    ASSERT_TRUE(flagOwner);
    Flag& flag = *flagOwner;

    lockAndFire(*shooter);  // a missile chases the victim
    lockAndFire(*victim);   // and the victim's own missile is in the air
    const Missile* chasing = missileOwnedBy(shooter);
    const Missile* launched = missileOwnedBy(victim);
    ASSERT_TRUE(chasing && launched);
    ASSERT_EQ(chasing->target(), victim);
    shooter->weapon(0)->updateTargeting(2.0f);
    ASSERT_TRUE(shooter->weapon(0)->hasTarget(victim));
    ASSERT_TRUE(BulletPool::instance().fire(victim, 1, gunRecord, victim->position(), {0.0f, 0.0f, 900.0f}));
    victim->setFlares(2);
    ASSERT_TRUE(victim->launchFlares());
    bystander->lastAttacker = victim;
    bystander->rememberedTarget = victim;
    shooter->currentTarget = victim;
    flag.pickUp(*victim, false);
    const Vec3 lastSeen = victim->position();
    const EntityHandle handle = victim->handle();

    host.remove(victim);

    EXPECT_EQ(handle.resolve(), nullptr);
    EXPECT_EQ(bystander->lastAttacker, nullptr);
    EXPECT_EQ(bystander->rememberedTarget, nullptr);
    EXPECT_EQ(shooter->currentTarget, nullptr);
    EXPECT_FALSE(shooter->weapon(0)->hasTarget(victim));
    EXPECT_EQ(chasing->target(), nullptr);
    EXPECT_EQ(launched->owner(), nullptr);
    for (int i : BulletPool::instance().activeIndices()) {
        EXPECT_EQ(BulletPool::instance().bullets()[static_cast<std::size_t>(i)].owner, nullptr);
    }
    for (int i = 0; i < TimedPoints::kCapacity; ++i) {
        const TimedPoints::Point* p = TimedPoints::instance().at(i);
        EXPECT_TRUE(!p || p->owner == nullptr) << "point " << i;
    }
    EXPECT_EQ(flag.carrier(), nullptr);
    EXPECT_EQ(flag.state(), Flag::State::Dropped);
    EXPECT_FLOAT_EQ(flag.droppedPosition().z, lastSeen.z);

    for (int i = 0; i < 120; ++i)
        host.step(kFrame);
}

// A target killed by a missile is removed inside the damage call, which runs
// inside the missile pass: it must stay readable to the rest of the frame
// (the missile's end) and be gone once the frame is over.
TEST_F(Lifetime, ATargetKilledInsideADamageCallIsDeletedOnlyAfterTheFrame)
{
    host.removeKilled = true;
    Airplane* shooter = plane(0, {0.0f, 3000.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
    Airplane* truck = plane(1, {0.0f, 3000.0f, -800.0f}, {0.0f, 0.0f, -1.0f});
    truck->setHealth(1.0f);
    const EntityHandle handle = truck->handle();
    ASSERT_TRUE(shooter->mountWeapon(missileRecord, 0));
    lockAndFire(*shooter);
    ASSERT_EQ(host.missiles().count(), 1);

    bool sawEnd = false;
    host.missiles().onEnd = [&](const MissileSet::Ending& e) {
        sawEnd = true;
        // Still the same object, marked, and no longer in play.
        Target* t = handle.resolve();
        ASSERT_EQ(t, static_cast<Target*>(truck));
        EXPECT_EQ(e.missile->struckTarget(), static_cast<Target*>(truck));
        EXPECT_TRUE(t->isMarkedForRemoval());
        EXPECT_FALSE(t->isTargetable());
        for (Target* active : host.activeTargets())
            EXPECT_NE(active, t);
    };
    for (int i = 0; i < 60 * 8 && !sawEnd; ++i)
        host.step(kFrame);
    host.missiles().onEnd = nullptr;
    ASSERT_TRUE(sawEnd);
    EXPECT_EQ(handle.resolve(), nullptr);
    EXPECT_EQ(shooter->weapon(0)->targetCount(), 0);
    for (int i = 0; i < 30; ++i)
        host.step(kFrame);
}

// Deleting a target without the host's removal (a level torn down, a tool)
// still leaves nothing pointing at it.
TEST_F(Lifetime, DeletingATargetDirectlyAlsoForgetsIt)
{
    Airplane* watcher = plane(0, {0.0f, 3000.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
    auto loose = Target::create<ScriptedTarget>(host, TargetKind::Vehicle, 1, 8.0f, 10.0f);
    ASSERT_TRUE(loose);
    watcher->currentTarget = loose.get();
    watcher->lastAttacker = loose.get();
    const EntityHandle handle = loose->handle();
    loose.reset();
    EXPECT_EQ(watcher->currentTarget, nullptr);
    EXPECT_EQ(watcher->lastAttacker, nullptr);
    EXPECT_EQ(handle.resolve(), nullptr);
}
}  // namespace
