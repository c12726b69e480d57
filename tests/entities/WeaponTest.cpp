#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/TimedPoints.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/AreaDamage.h"
#include "entities/weapons/BulletPool.h"
#include "entities/weapons/Machinegun.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/MissileSet.h"
#include "entities/weapons/Weapon.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/trails/Tracers.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"
#include "support/entities/TestWeapons.h"
#include "support/entities/WeaponScenarios.h"
#include "support/effects/ParticleScope.h"
#include "support/sound/RecordingSound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

WeaponCfg record(int type, int slots = 2, float reload = 1.0f)
{
    WeaponCfg w = testMissile(40, type, slots);
    w.reloadTime = reload;
    return w;
}

struct Weapons : testing::Test {
    PlaneCfg cfg = testJet();
    SimHost host;
    RecordingSound sound{"mgun_no_ammo", "bullet_pass_by1", "bullet_pass_by2"};

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(7, 11);
    }
    std::vector<std::string> sounds() const { return sound.played(); }

    Airplane* plane(int team, const Vec3& at, const Vec3& direction = {0.0f, 0.0f, -1.0f}, float speed = 250.0f)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"p")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        Quat q;
        quatFromDirectionTo(q, direction);
        a->setOrientation(q);
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        return a;
    }
    Target* thing(TargetKind kind, int team, const Vec3& at, float radius = 6.0f, float health = 200.0f)
    {
        Target* t = host.addTarget(std::make_unique<ScriptedTarget>(host, kind, team, radius, health));
        t->setPosition(at);
        return t;
    }
    float damageTo(const Target* t) const
    {
        float d = 0.0f;
        for (const SimHost::Hit& h : host.hits)
            if (h.victim == t)
                d += h.damage;
        return d;
    }
    int hitsOn(const Target* t) const
    {
        int n = 0;
        for (const SimHost::Hit& h : host.hits)
            n += h.victim == t ? 1 : 0;
        return n;
    }
};

TEST_F(Weapons, LauncherTimersReadyBelowZeroReloadAndRunOutOfAmmunition)
{
    WeaponCfg w = record(kWeaponSimple, 2, 1.5f);
    w.ammo = 3;
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    ASSERT_TRUE(a->mountWeapon(w, 0));
    Weapon& gun = *a->weapon(0);
    EXPECT_TRUE(gun.isReady());
    EXPECT_FLOAT_EQ(gun.reloadProgress(), 1.0f);

    // One press, one rocket: the first launcher reloads, the second stays ready.
    a->controlInput(0, 1.0f);
    host.step(kFrame);
    EXPECT_EQ(host.missilesLaunched, 1);
    EXPECT_EQ(gun.ammo(), 2);
    EXPECT_GE(gun.launcherTimers()[0], 0.0f);
    EXPECT_LT(gun.launcherTimers()[1], 0.0f);
    EXPECT_TRUE(gun.isReady());
    a->controlInput(0, 0.0f);

    // Held, it fires as launchers come ready: the second at once, the first after its reload.
    a->controlInput(0, 1.0f);
    host.step(kFrame);
    EXPECT_EQ(host.missilesLaunched, 2);
    EXPECT_FALSE(gun.isReady());
    EXPECT_GT(gun.reloadProgress(), 0.0f);
    EXPECT_LT(gun.reloadProgress(), 1.0f);
    for (int i = 0; i < 60; ++i)
        host.step(kFrame);
    EXPECT_EQ(host.missilesLaunched, 2) << "fired before the reload ended";
    for (int i = 0; i < 45; ++i)
        host.step(kFrame);
    EXPECT_EQ(host.missilesLaunched, 3);
    EXPECT_EQ(gun.ammo(), 0);
    for (int i = 0; i < 200; ++i)
        host.step(kFrame);
    EXPECT_EQ(host.missilesLaunched, 3) << "launched with no ammunition left";

    gun.refill(true);
    EXPECT_EQ(gun.ammo(), 3);
    EXPECT_TRUE(gun.isReady());
}

TEST_F(Weapons, GunRateDoesNotDependOnTheFrameRateAndAnEmptyGunClicks)
{
    WeaponCfg w = record(kWeaponMachinegun, 2, 0.05f);
    w.speed = 900.0f;
    w.life = 1.0f;
    auto countShots = [&](float dt) {
        SimHost h;
        clearEntityIds();
        Airplane* a = h.add(Target::create<Airplane>(h, cfg, 0, std::u16string()));
        a->setPositionAndStop({0.0f, 2000.0f, 0.0f});
        h.setPlayer(a);
        a->mountWeapon(w, 0);
        a->controlInput(0, 1.0f);
        for (float t = 0.0f; t < 1.0f - 1e-4f; t += dt)
            h.step(dt);
        return h.shotsFired;
    };
    const int at60 = countShots(1.0f / 60.0f);
    const int at30 = countShots(1.0f / 30.0f);
    EXPECT_NEAR(at60, 40, 2);
    EXPECT_NEAR(at30, at60, 2);

    clearEntityIds();
    w.ammo = 5;
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    a->mountWeapon(w, 0);
    a->controlInput(0, 1.0f);
    for (int i = 0; i < 30; ++i)
        host.step(kFrame);
    EXPECT_EQ(a->weapon(0)->ammo(), 0);
    EXPECT_EQ(sound.playCount("mgun_no_ammo"), 1);
}

TEST_F(Weapons, LockCountsDownInTheConeAndIsLostOutsideIt)
{
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    Airplane* enemy = plane(1, {0.0f, 2000.0f, -1500.0f});
    Airplane* friendly = plane(0, {10.0f, 2000.0f, -800.0f});
    const WeaponCfg seeker = record(kWeaponAllAspect);
    ASSERT_TRUE(a->mountWeapon(seeker, 0));
    Weapon& w = *a->weapon(0);

    w.updateTargeting(0.4f);
    ASSERT_EQ(w.target(), enemy) << "a friendly is never locked";
    EXPECT_TRUE(w.isLocking());
    EXPECT_NEAR(w.lockTimer(), 0.6f, 1e-4f);
    w.updateTargeting(0.7f);
    EXPECT_TRUE(w.isLocked());

    // Out of the cone: the lock is gone and a new one starts from the full time.
    enemy->setPositionAndStop({1500.0f, 2000.0f, -200.0f});
    w.updateTargeting(0.1f);
    EXPECT_EQ(w.target(), nullptr);
    EXPECT_FALSE(w.isLocked());
    enemy->setPositionAndStop({0.0f, 2000.0f, -1500.0f});
    w.updateTargeting(0.1f);
    EXPECT_EQ(w.target(), enemy);
    EXPECT_NEAR(w.lockTimer(), 0.9f, 1e-4f);

    // Out of range.
    enemy->setPositionAndStop({0.0f, 2000.0f, -3500.0f});
    w.updateTargeting(0.1f);
    EXPECT_EQ(w.target(), nullptr);
    (void)friendly;
}

TEST_F(Weapons, TargetListsHoldAtMostTheirSlotsAndCloseUpOnRemoval)
{
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    std::vector<Airplane*> enemies;
    for (int i = 0; i < 20; ++i)
        enemies.push_back(plane(1, {float(i - 10) * 20.0f, 2000.0f, -1000.0f - float(i) * 10.0f}));
    WeaponCfg multi = record(kWeaponMultiAir, WeaponCfg::kMaxSlots);
    WeaponCfg few = record(kWeaponMultiAir, 3);
    WeaponCfg single = record(kWeaponRadarGuided);
    ASSERT_TRUE(a->mountWeapon(multi, 0));
    ASSERT_TRUE(a->mountWeapon(few, 1));
    ASSERT_TRUE(a->mountWeapon(single, 2));
    for (int s = 0; s < 3; ++s)
        a->weapon(s)->updateTargeting(0.1f);
    Weapon& full = *a->weapon(0);
    // The rest indexes the lists: when nothing locks, stop here with a failure.
    ASSERT_EQ(full.targetCount(), WeaponCfg::kMaxSlots);
    EXPECT_EQ(full.targets()[WeaponCfg::kMaxSlots], nullptr) << "the list is null-terminated";
    ASSERT_EQ(a->weapon(1)->targetCount(), 3);
    EXPECT_EQ(a->weapon(2)->targetCount(), 1);

    // Removing an entry from every list moves the later ones down.
    std::vector<Target*> before(full.targets(), full.targets() + full.targetCount());
    Target* gone = before[0];
    Target* last = before.back();
    Weapon::forgetTargetEverywhere(gone);
    EXPECT_EQ(full.targetCount(), WeaponCfg::kMaxSlots - 1);
    EXPECT_EQ(full.targets()[0], before[1]);
    EXPECT_EQ(full.targets()[WeaponCfg::kMaxSlots - 2], last);
    EXPECT_EQ(full.targets()[WeaponCfg::kMaxSlots - 1], nullptr);
    for (int s = 0; s < 3; ++s)
        EXPECT_FALSE(a->weapon(s)->hasTarget(gone));
    // The last entry of a full list, and a target no list holds.
    Weapon::forgetTargetEverywhere(last);
    Weapon::forgetTargetEverywhere(nullptr);
    EXPECT_EQ(full.targetCount(), WeaponCfg::kMaxSlots - 2);

    // A target deleted from the world leaves no entry behind.
    Target* deleted = a->weapon(1)->targets()[0];
    host.remove(deleted);
    for (int s = 0; s < 3; ++s)
        EXPECT_FALSE(a->weapon(s)->hasTarget(deleted));
}

TEST_F(Weapons, BulletsTestTheirWholePathAndThePoolHoldsAThousandAndTwentyFour)
{
    Airplane* player = plane(0, {0.0f, 2000.0f, 0.0f});
    host.setPlayer(player);
    // A target thinner than one frame's travel of a bullet.
    Target* post = thing(TargetKind::Building, 1, {0.0f, 2000.0f, -500.0f}, 2.0f);
    WeaponCfg w = record(kWeaponMachinegun, 1, 0.05f);
    w.speed = 1200.0f;
    w.life = 2.0f;
    BulletPool& pool = BulletPool::instance();
    ASSERT_TRUE(pool.fire(player, 0, w, {0.0f, 2000.0f, -100.0f}, {0.0f, 0.0f, -w.speed}));
    for (int i = 0; i < 40; ++i)
        host.step(kFrame);
    EXPECT_EQ(hitsOn(post), 1);
    EXPECT_EQ(pool.activeCount(), 0);

    int fired = 0;
    while (pool.fire(nullptr, 1, w, {5000.0f, 2000.0f, 0.0f}, {0.0f, 0.0f, 1.0f}))
        ++fired;
    EXPECT_EQ(fired, BulletPool::kCapacity);
    pool.clear();
    EXPECT_EQ(pool.activeCount(), 0);
}

TEST_F(Weapons, EnemyBulletsPassingThePlayerAreHeardOnce)
{
    Airplane* player = plane(0, {0.0f, 2000.0f, 0.0f});
    host.setPlayer(player);
    WeaponCfg w = record(kWeaponMachinegun, 1, 0.05f);
    w.life = 2.0f;
    // Just over the player's radius, across its path.
    // Across its path, just clear of it, where it will be in a tenth of a second.
    const Vec3 then = player->position() + player->velocity() * 0.1f;
    const float clear = player->radius() + 6.0f;
    BulletPool::instance().fire(nullptr, 1, w, then + Vec3{-90.0f, clear, 0.0f}, {900.0f, 0.0f, 0.0f});
    BulletPool::instance().fire(nullptr, 0, w, then + Vec3{-90.0f, -clear, 0.0f}, {900.0f, 0.0f, 0.0f});
    for (int i = 0; i < 90; ++i)
        host.step(kFrame);
    const std::vector<std::string> played = sounds();
    const auto heard = std::count_if(played.begin(), played.end(),
                                     [](const std::string& s) { return s.rfind("bullet_pass_by", 0) == 0; });
    EXPECT_EQ(heard, 1) << "only the enemy bullet, and only once";
    EXPECT_EQ(hitsOn(player), 0);
}

TEST_F(Weapons, AreaDamageHitsEachEnemyOnceAndSparesTheOwnersTeam)
{
    Airplane* bomber = plane(0, {0.0f, 400.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, 150.0f);
    Target* struck = thing(TargetKind::Vehicle, 1, {0.0f, 0.0f, -400.0f});
    Target* near = thing(TargetKind::Vehicle, 1, {15.0f, 0.0f, -400.0f});
    Target* own = thing(TargetKind::Vehicle, 0, {-15.0f, 0.0f, -400.0f});
    Target* far = thing(TargetKind::Vehicle, 1, {200.0f, 0.0f, -400.0f});
    WeaponCfg w = record(kWeaponSimple);
    w.blastRadius = 40.0f;
    w.blastDamage = 30.0f;
    EXPECT_EQ(applyAreaDamage(host, bomber, bomber->team(), struck->position(), w.blastRadius, blastDamageOf(w), &w,
                              struck),
              1);
    EXPECT_EQ(hitsOn(near), 1);
    EXPECT_EQ(hitsOn(struck), 0);
    EXPECT_EQ(hitsOn(own), 0);
    EXPECT_EQ(hitsOn(far), 0);

    // The owner gone: its team is still spared.
    host.hits.clear();
    EXPECT_EQ(applyAreaDamage(host, nullptr, 0, struck->position(), w.blastRadius, 30.0f, &w, nullptr), 2);
    EXPECT_EQ(hitsOn(own), 0);
    EXPECT_EQ(applyAreaDamage(host, nullptr, 0, struck->position(), NAN, 30.0f, &w, nullptr), 0);
}

TEST_F(Weapons, ABombLandsWhereTheSightSaysOverHills)
{
    host.heightFunction = [](float x, float z) { return 60.0f + 40.0f * std::sin(x * 0.004f) * std::cos(z * 0.003f); };
    WeaponCfg w = record(kWeaponSimple);
    w.subtype = SimpleMissile::Bomb;
    w.speed = 0.0f;
    w.life = 30.0f;
    for (int run = 0; run < 5; ++run) {
        host.missiles().clear();
        const float heading = 0.7f + float(run) * 1.3f;
        Airplane* a = plane(0, {float(run) * 300.0f, 500.0f + float(run) * 150.0f, 0.0f},
                            {-std::sin(heading), -0.1f * float(run), -std::cos(heading)}, 180.0f + float(run) * 20.0f);
        ASSERT_TRUE(a->mountWeapon(w, 0));
        Vec3 predicted;
        ASSERT_TRUE(a->weapon(0)->predictedImpact(predicted));
        const Vec3 released = a->weapon(0)->mountPosition(0);
        bool landed = false;
        Vec3 where;
        host.missiles().onEnd = [&](const MissileSet::Ending& e) {
            landed = e.how == MissileSet::End::Ground;
            where = e.at;
        };
        a->controlInput(0, 1.0f);
        for (int i = 0; i < 60 * 20 && !landed; ++i) {
            host.step(kFrame);
            a->controlInput(0, 0.0f);
        }
        host.missiles().onEnd = nullptr;
        ASSERT_TRUE(landed) << run;
        const float fall = vec3Length(where - released);
        EXPECT_LT(vec3Length(where - predicted), 0.05f * fall) << run;
        host.remove(a);
    }
}

TEST_F(Weapons, ATorpedoRunsAtTheWaterLevelAndHitsAShip)
{
    host.heightFunction = [](float, float) { return -30.0f; };
    Target* ship = thing(TargetKind::Ship, 1, {0.0f, 0.0f, -700.0f}, 40.0f, 900.0f);
    Airplane* a = plane(0, {0.0f, 25.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, 140.0f);
    WeaponCfg w = record(kWeaponSimple);
    w.subtype = SimpleMissile::Torpedo;
    w.speed = 45.0f;
    w.life = 30.0f;
    w.blastRadius = 10.0f;
    ASSERT_TRUE(a->mountWeapon(w, 0));
    a->controlInput(0, 1.0f);
    host.step(kFrame);
    a->controlInput(0, 0.0f);
    ASSERT_EQ(host.missiles().count(), 1);
    bool ran = false;
    for (int i = 0; i < 60 * 25 && host.missiles().count() > 0; ++i) {
        a->setControlVector({0.5f, 0.0f, 0.0f});
        host.step(kFrame);
        if (host.missiles().count() == 0)
            break;
        const auto* t = static_cast<const SimpleMissile*>(host.missiles().at(0));
        EXPECT_TRUE(t->isTorpedo());
        EXPECT_FALSE(t->canExplodeOnWater());
        if (t->isRunning()) {
            ran = true;
            EXPECT_FLOAT_EQ(t->position().y, SimpleMissile::kTorpedoDepth);
            EXPECT_NEAR(t->speed(), w.speed, 1e-3f);
        }
    }
    EXPECT_TRUE(ran);
    EXPECT_EQ(hitsOn(ship), 1);
    EXPECT_GT(damageTo(ship), 0.0f);
}

// A tarn high above the sea: the disc of radius 1300 about (0, -700) holds
// water at 1155.68 over a bed 30 below it; round it the land stands at 1180.
struct Tarn {
    static constexpr float kLevel = 1155.68f, kRadius = 1300.0f;
    static bool inside(float x, float z) { return x * x + (z + 700.0f) * (z + 700.0f) <= kRadius * kRadius; }
    static void lay(SimHost& host)
    {
        host.heightFunction = [](float x, float z) { return inside(x, z) ? kLevel - 30.0f : kLevel + 25.0f; };
        host.waterLevelFunction = [](float x, float z) { return inside(x, z) ? kLevel : 0.0f; };
        host.waterFunction = [](float x, float z) { return inside(x, z); };
    }
};

// Dropped from low over a tarn, a torpedo enters the water at the tarn's
// level, runs at its depth below that and sinks the ship there; over dry land
// it ends where it comes down, and one running off the tarn's edge ends on
// the shore. The sea's torpedoes are the test above.
TEST_F(Weapons, ATorpedoRunsOnALakeAboveTheSeaAndEndsOnLand)
{
    Tarn::lay(host);
    WeaponCfg w = record(kWeaponSimple);
    w.subtype = SimpleMissile::Torpedo;
    w.speed = 45.0f;
    w.life = 60.0f;
    w.blastRadius = 10.0f;
    std::vector<MissileSet::End> ends;
    host.missiles().onEnd = [&](const MissileSet::Ending& e) { ends.push_back(e.how); };
    // Drops one from the airplane and runs the world until it is gone.
    auto drop = [&](const Vec3& from, const Vec3& heading, bool& ran) {
        Airplane* a = plane(0, from, heading, 140.0f);
        EXPECT_TRUE(a->mountWeapon(w, 0));
        a->controlInput(0, 1.0f);
        host.step(kFrame);
        a->controlInput(0, 0.0f);
        EXPECT_EQ(host.missiles().count(), 1);
        ran = false;
        for (int i = 0; i < 60 * 60 && host.missiles().count() > 0; ++i) {
            a->setControlVector({0.5f, 0.0f, 0.0f});  // climbs away over the water
            host.step(kFrame);
            if (host.missiles().count() == 0)
                break;
            const auto* t = static_cast<const SimpleMissile*>(host.missiles().at(0));
            if (t->isRunning()) {
                ran = true;
                EXPECT_FLOAT_EQ(t->position().y, Tarn::kLevel + SimpleMissile::kTorpedoDepth);
            }
        }
        host.remove(a);
    };

    Target* ship = thing(TargetKind::Ship, 1, {0.0f, Tarn::kLevel, -700.0f}, 40.0f, 900.0f);
    bool ran = false;
    drop({0.0f, Tarn::kLevel + 25.0f, 200.0f}, {0.0f, 0.0f, -1.0f}, ran);
    EXPECT_TRUE(ran) << "the torpedo ran on the tarn";
    EXPECT_EQ(hitsOn(ship), 1);
    EXPECT_GT(damageTo(ship), 0.0f);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends.back(), MissileSet::End::Detonated);

    // Over dry land beside the tarn: it never runs.
    host.remove(ship);
    drop({0.0f, Tarn::kLevel + 60.0f, 1200.0f}, {0.0f, 0.0f, 1.0f}, ran);
    EXPECT_FALSE(ran);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends.back(), MissileSet::End::Expired) << "dropped on land";

    // Across the tarn and off its far side: it runs, then runs ashore.
    drop({0.0f, Tarn::kLevel + 25.0f, -200.0f}, {0.0f, 0.0f, -1.0f}, ran);
    EXPECT_TRUE(ran);
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends.back(), MissileSet::End::Shore);

    // A pier standing in the water across its run: it bursts on the pier.
    host.props.push_back({{-30.0f, Tarn::kLevel - 12.0f, -410.0f}, {30.0f, Tarn::kLevel + 8.0f, -400.0f}});
    drop({0.0f, Tarn::kLevel + 25.0f, 200.0f}, {0.0f, 0.0f, -1.0f}, ran);
    EXPECT_TRUE(ran);
    ASSERT_EQ(ends.size(), 4u);
    EXPECT_EQ(ends.back(), MissileSet::End::Prop) << "a torpedo meets props too";
    host.missiles().onEnd = nullptr;
}

// A bomb bursts on a lake's surface, not on its bed, and the bomb sight says
// where: the water's level, not the ground under it.
TEST_F(Weapons, ABombBurstsOnALakeWhereTheSightSays)
{
    Tarn::lay(host);
    WeaponCfg w = record(kWeaponSimple);
    w.subtype = SimpleMissile::Bomb;
    w.speed = 0.0f;
    w.life = 30.0f;
    Airplane* a = plane(0, {0.0f, Tarn::kLevel + 400.0f, 600.0f}, {0.0f, 0.0f, -1.0f}, 160.0f);
    ASSERT_TRUE(a->mountWeapon(w, 0));
    Vec3 predicted;
    ASSERT_TRUE(a->weapon(0)->predictedImpact(predicted));
    EXPECT_FLOAT_EQ(predicted.y, Tarn::kLevel);
    bool ended = false;
    MissileSet::Ending how{};
    host.missiles().onEnd = [&](const MissileSet::Ending& e) {
        ended = true;
        how = e;
    };
    a->controlInput(0, 1.0f);
    for (int i = 0; i < 60 * 20 && !ended; ++i) {
        host.step(kFrame);
        a->controlInput(0, 0.0f);
    }
    host.missiles().onEnd = nullptr;
    ASSERT_TRUE(ended);
    EXPECT_EQ(how.how, MissileSet::End::Water);
    EXPECT_FLOAT_EQ(how.at.y, Tarn::kLevel);
    // A frame's fall apart at most; the bed 30 below would put it some 50 further on.
    EXPECT_LT(std::hypot(how.at.x - predicted.x, how.at.z - predicted.z), 20.0f);
}

TEST_F(Weapons, AMissileWhoseTargetOrOwnerIsRemovedFliesOnUnguided)
{
    const WeaponCfg seeker = record(kWeaponAllAspect);
    for (int which = 0; which < 2; ++which) {
        host.missiles().clear();
        Airplane* shooter = plane(0, {0.0f, 3000.0f, 0.0f});
        Airplane* target = plane(1, {0.0f, 3000.0f, -1500.0f}, {1.0f, 0.0f, 0.0f}, 300.0f);
        target->setFlares(0);
        ASSERT_TRUE(shooter->mountWeapon(seeker, 0));
        shooter->weapon(0)->updateTargeting(2.0f);
        ASSERT_TRUE(shooter->weapon(0)->isLocked());
        shooter->controlInput(0, 1.0f);
        host.step(kFrame);
        shooter->controlInput(0, 0.0f);
        for (int i = 0; i < 30; ++i)
            host.step(kFrame);
        ASSERT_EQ(host.missiles().count(), 1);
        Missile* m = host.missiles().at(0);
        ASSERT_EQ(m->target(), target);
        EXPECT_EQ(target->incomingMissile, m);
        const Vec3 heading = m->direction();
        host.remove(which == 0 ? static_cast<Target*>(target) : shooter);
        if (which == 0) {
            EXPECT_EQ(m->target(), nullptr);
        } else {
            EXPECT_EQ(m->owner(), nullptr);
            EXPECT_EQ(m->target(), target);
        }
        if (which == 0) {
            for (int i = 0; i < 30; ++i)
                host.step(kFrame);
            ASSERT_EQ(host.missiles().count(), 1);
            EXPECT_NEAR(vec3Dot(heading, host.missiles().at(0)->direction()), 1.0f, 1e-4f);
        }
        for (int i = 0; i < 60 * 10 && host.missiles().count() > 0; ++i)
            host.step(kFrame);
        if (which == 0) {
            EXPECT_TRUE(host.hits.empty());
            host.remove(shooter);
        } else {
            // Still guided to its target; the hit has no attacker to credit.
            ASSERT_FALSE(host.hits.empty());
            EXPECT_EQ(host.hits.back().victim, target);
            EXPECT_EQ(host.hits.back().attacker, nullptr);
            host.remove(target);
        }
        host.hits.clear();
    }
}

TEST_F(Weapons, FlaresPullAnInfraredMissileOffAndARadarMissileRarely)
{
    auto decoyRate = [&](int type) {
        int decoyed = 0;
        for (int run = 0; run < 200; ++run) {
            clearEntityIds();
            const WeaponCfg w = record(type);
            SimHost h;
            Airplane* s = h.add(Target::create<Airplane>(h, cfg, 0, std::u16string()));
            s->setPositionAndStop({0.0f, 3000.0f, 0.0f});
            Target* t = h.addTarget(std::make_unique<ScriptedTarget>(h, TargetKind::AirTarget, 1, 8.0f, 1.0f));
            t->setPosition({0.0f, 3000.0f, -1500.0f});
            s->mountWeapon(w, 0);
            s->weapon(0)->updateTargeting(2.0f);
            s->controlInput(0, 1.0f);
            h.step(kFrame);
            s->controlInput(0, 0.0f);
            if (h.missiles().count() != 1)
                return -1.0f;
            TimedPoints::instance().add(t->position() + Vec3{50.0f, 0.0f, 0.0f}, 2.85f, t);
            h.step(kFrame);
            decoyed += h.missiles().count() == 1 && h.missiles().at(0)->isDecoyed() ? 1 : 0;
        }
        return float(decoyed) / 200.0f;
    };
    // 1 - resistance, within binomial bounds for 200 runs.
    EXPECT_NEAR(decoyRate(kWeaponAllAspect), 0.7f, 0.1f);
    EXPECT_NEAR(decoyRate(kWeaponRadarGuided), 0.1f, 0.07f);
}

TEST_F(Weapons, KindsAndPredicates)
{
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    struct Case {
        int type;
        bool gun, lock;
    };
    for (const Case c : {Case{kWeaponMachinegun, true, false}, Case{kWeaponAlienLaser, true, false},
                         Case{kWeaponFlak, false, false}, Case{kWeaponAllAspect, false, true},
                         Case{kWeaponSimple, false, true}, Case{kWeaponSmoke, false, true}}) {
        WeaponCfg w = record(c.type);
        ASSERT_TRUE(a->mountWeapon(w, 2));
        const Weapon& made = *a->weapon(0);
        EXPECT_EQ(made.isGun(), c.gun) << c.type;
        EXPECT_EQ(made.needsLock(), c.lock) << c.type;
        a->removeWeaponsWithTag(2);
    }
    // The smoke switch follows the trigger and does no damage.
    WeaponCfg smoke = record(kWeaponSmoke);
    ParticleScope particles(sound.data(), {"smoke_trail.psc"});
    a->mountWeapon(smoke, 0);
    a->controlInput(0, 1.0f);
    host.step(kFrame);
    EXPECT_NE(a->effectSlots[2], nullptr);  // the white trail follows the airplane
    EXPECT_EQ(particles.positions().size(), 1u);
    a->controlInput(0, 0.0f);
    host.step(kFrame);
    EXPECT_EQ(a->effectSlots[2], nullptr);
    EXPECT_TRUE(host.hits.empty());
}
TEST_F(Weapons, FlakBurstsAtTheLeadPointAndSparesItsOwnSide)
{
    Target* site = thing(TargetKind::LandUnit, 0, {0.0f, 0.0f, 0.0f}, 8.0f, 120.0f);
    Airplane* enemy = plane(1, {-900.0f, 900.0f, -300.0f}, {1.0f, 0.0f, 0.0f}, 250.0f);
    Airplane* wingman = plane(0, {-900.0f, 900.0f, -340.0f}, {1.0f, 0.0f, 0.0f}, 250.0f);
    WeaponCfg flak = record(kWeaponFlak, 1, 1.0f);
    flak.speed = 600.0f;
    flak.life = 6.0f;
    flak.blastRadius = 25.0f;
    flak.blastDamage = 20.0f;
    flak.dmgAir = 0.012f;
    ASSERT_TRUE(site->mountWeapon(flak, 0));
    ParticleScope particles(sound.data(), {"flak_burst.psc"});
    for (int i = 0; i < 60 * 4; ++i)
        host.step(kFrame);
    const std::vector<Vec3> bursts = particles.positions();
    ASSERT_GE(bursts.size(), 2u);
    // Fused at the lead point: the first bursts go off right by the airplane.
    EXPECT_GT(hitsOn(enemy), 0);
    EXPECT_GT(damageTo(enemy), 0.0f);
    EXPECT_LT(enemy->health(), 1.0f);
    EXPECT_EQ(hitsOn(wingman), 0);
    EXPECT_EQ(hitsOn(site), 0);
}

TEST_F(Weapons, TheLaserHitsAlongTheNoseAndTheGroundStopsIt)
{
    Airplane* a = plane(0, {0.0f, 500.0f, 0.0f});
    Airplane* enemy = plane(1, {0.0f, 500.0f, -600.0f}, {0.0f, 0.0f, -1.0f}, 250.0f);
    WeaponCfg laser = record(kWeaponAlienLaser, 1, 0.1f);
    laser.speed = 2000.0f;
    laser.life = 1.0f;
    ASSERT_TRUE(a->mountWeapon(laser, 0));
    auto* dirtShots = spawnPooled<DirtShots>();
    ASSERT_NE(dirtShots, nullptr);
    Tracers::clearAll();
    a->controlInput(0, 1.0f);
    host.step(kFrame);
    EXPECT_EQ(hitsOn(enemy), 1);
    EXPECT_EQ(dirtShots->liveCount, 1);  // the hit throws up its puff too
    const auto* beam = &static_cast<const AlienLaser*>(a->weapon(0))->beam();
    EXPECT_TRUE(beam->hit);
    EXPECT_GT(beam->timeLeft, 0.0f);

    // Nose down at the ground in front of the enemy: the beam ends in the dirt.
    Quat down;
    quatFromDirectionTo(down, {0.0f, -1.0f, -0.3f});
    a->setOrientation(down);
    host.hits.clear();
    for (int i = 0; i < 12; ++i)
        host.step(kFrame);
    a->controlInput(0, 0.0f);
    EXPECT_TRUE(host.hits.empty());
    EXPECT_GT(dirtShots->liveCount, 0);   // dust where the beam struck
    EXPECT_GT(Tracers::beamCount(), 0);   // and the beam drawn while it lasts
    delete dirtShots;
    Tracers::clearAll();
    EXPECT_NEAR(beam->to.y, 0.0f, 20.0f);
}

struct ClientHost : SimHost {
    bool isNetworkClient() const override { return true; }
    void onWeaponHit(Target& victim, Target* attacker, int weaponId) override
    {
        reported.push_back({&victim, attacker, weaponId});
    }
    struct Report {
        Target* victim;
        Target* attacker;
        int weaponId;
    };
    std::vector<Report> reported;
};

TEST_F(Weapons, ThePlayersShotsAndHitsAreCountedAndAClientReportsItsMissileHits)
{
    Airplane* player = plane(0, {0.0f, 2000.0f, 0.0f});
    host.setPlayer(player);
    plane(1, {0.0f, 2000.0f, -300.0f}, {0.0f, 0.0f, -1.0f}, 250.0f);
    WeaponCfg gun = record(kWeaponMachinegun, 2, 0.1f);
    gun.speed = 900.0f;
    gun.life = 1.5f;
    ASSERT_TRUE(player->mountWeapon(gun, 0));
    player->controlInput(0, 1.0f);
    for (int i = 0; i < 30; ++i)
        host.step(kFrame);
    player->controlInput(0, 0.0f);
    for (int i = 0; i < 60; ++i)
        host.step(kFrame);
    EXPECT_GE(host.shotsFired, 9);
    EXPECT_GT(host.shotsHit, 0);
    EXPECT_LE(host.shotsHit, host.shotsFired);

    clearEntityIds();
    const WeaponCfg seeker = record(kWeaponAllAspect);
    ClientHost client;
    Airplane* mine = client.add(Target::create<Airplane>(client, cfg, 0, std::u16string()));
    mine->setPositionAndStop({0.0f, 2000.0f, 0.0f});
    Airplane* theirs = client.add(Target::create<Airplane>(client, cfg, 1, std::u16string()));
    theirs->setPositionAndStop({0.0f, 2000.0f, -1200.0f});
    theirs->setFlares(0);
    theirs->networkRole = NetworkRole::Remote;
    ASSERT_TRUE(mine->mountWeapon(seeker, 0));
    mine->weapon(0)->updateTargeting(2.0f);
    mine->controlInput(0, 1.0f);
    client.step(kFrame);
    mine->controlInput(0, 0.0f);
    for (int i = 0; i < 60 * 4 && client.missiles().count() > 0; ++i)
        client.step(kFrame);
    EXPECT_EQ(client.missilesHit, 1);
    ASSERT_EQ(client.reported.size(), 1u);
    EXPECT_EQ(client.reported[0].victim, theirs);
    EXPECT_EQ(client.reported[0].attacker, mine);
    EXPECT_EQ(client.reported[0].weaponId, seeker.weapon_id);
}

TEST_F(Weapons, ARelayedLaunchMakesTheMissileOfItsRecordsKind)
{
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    for (int type = 0; type <= kWeaponSmoke; ++type) {
        WeaponCfg w = record(type);
        w.subtype = SimpleMissile::Torpedo;
        MissileLaunch l;
        l.record = &w;
        l.host = &host;
        l.owner = a;
        l.position = a->position();
        auto m = makeMissile(l);
        const bool launches = type == kWeaponAllAspect || type == kWeaponJointStrike || type == kWeaponMultiAir ||
                              type == kWeaponMultiGround || type == kWeaponRadarGuided || type == kWeaponAlienQuick ||
                              type == kWeaponSimple;
        EXPECT_EQ(m != nullptr, launches) << type;
        if (m) {
            EXPECT_EQ(m->isTorpedo(), type == kWeaponSimple) << type;
        }
    }
    // The missile table is 256 entries: the next launch is refused, not overrun.
    WeaponCfg w = record(kWeaponSimple);
    MissileLaunch l;
    l.record = &w;
    l.host = &host;
    std::vector<std::unique_ptr<Missile>> flying;
    for (int i = 0; i < 256; ++i)
        flying.push_back(makeMissile(l));
    EXPECT_NE(flying.back(), nullptr);
    int warnings = 0;
    setLogCapture([&](LogLevel, const std::string&, const std::string&) { ++warnings; });
    EXPECT_EQ(makeMissile(l), nullptr);
    setLogCapture({});
    EXPECT_EQ(warnings, 1);
}

}  // namespace

namespace {
TEST_F(Weapons, AMissileFlyingIntoABuildingBurstsOnItAndIsRemoved)
{
    // A hangar straight ahead, a ship of the other team beside it in the blast.
    host.props.push_back({{-40.0f, 0.0f, -1040.0f}, {40.0f, 120.0f, -960.0f}});
    Target* ship = thing(TargetKind::Ship, 1, {70.0f, 40.0f, -950.0f}, 20.0f, 900.0f);
    WeaponCfg w = record(kWeaponSimple);
    w.speed = 400.0f;
    w.blastRadius = 80.0f;
    Airplane* a = plane(0, {0.0f, 60.0f, 0.0f});
    ASSERT_TRUE(a->mountWeapon(w, 0));
    MissileSet::End how = MissileSet::End::Expired;
    Vec3 where;
    host.missiles().onEnd = [&](const MissileSet::Ending& e) {
        how = e.how;
        where = e.at;
    };
    a->controlInput(0, 1.0f);
    host.step(kFrame);
    a->controlInput(0, 0.0f);
    ASSERT_EQ(host.missiles().count(), 1);
    for (int i = 0; i < 60 * 6 && host.missiles().count() > 0; ++i) {
        a->setPositionAndStop({0.0f, 60.0f, 0.0f});  // the launcher stays put
        host.step(kFrame);
    }
    host.missiles().onEnd = nullptr;
    EXPECT_EQ(host.missiles().count(), 0) << "the missile is removed at the wall";
    EXPECT_EQ(how, MissileSet::End::Prop) << "it bursts on the building, not as on the ground";
    EXPECT_GT(where.z, -1045.0f) << "it stopped at the near wall, not beyond";
    EXPECT_LT(where.z, -955.0f);
    EXPECT_GT(damageTo(ship), 0.0f) << "its blast reaches what stands beside the wall";
}
}  // namespace
