#include "support/entities/WeaponScenarios.h"

#include "entities/EntityIds.h"
#include "entities/TimedPoints.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr float kFrame = 1.0f / 60.0f;
constexpr float kPi = 3.14159265f;
// How close an evader lets a missile come before it breaks.
constexpr float kBreakDistance = 600.0f;

// A jet fast enough to hold 300 u/s, with the flares of a fighter.
PlaneCfg drillJet()
{
    PlaneCfg p;
    p.name = "drilljet";
    p.pEngine = 1;
    p.pArmour = 1.2f;
    p.pFlares = 3;
    p.pStallSpeed = 65.0f;
    p.pMinSpeed = 190.0f;
    p.pSpeedSpan = 190.0f;
    p.pCruiseSpeed = 260.0f;
    p.pAccel = 0.55f;
    p.pPitchRate = 1.7f;
    p.pRollRate = 3.8f;
    p.pYawRate = 0.5f;
    return p;
}

Quat facing(const Vec3& direction)
{
    Quat q;
    quatFromDirectionTo(q, direction);
    return q;
}

Vec3 unit(Vec3 v) { return vec3Normalize(v); }

Vec3 headingVector(float heading) { return {-std::sin(heading), 0.0f, -std::cos(heading)}; }

struct Range {
    PlaneCfg jet = drillJet();
    SimHost host;
    Airplane* shooter = nullptr;
    Target* target = nullptr;
    Weapon* weapon = nullptr;

    explicit Range(std::uint32_t seed)
    {
        clearEntityIds();
        seedRandom(seed * 2654435761u + 17u, seed ^ 0x5bd1e995u);
    }

    Airplane* plane(int team, const Vec3& at, const Vec3& direction, float speed)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, jet, team, std::u16string(u"Drill")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        a->setOrientation(facing(direction));
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        a->setThrottleSetting(a->throttleCommand());
        return a;
    }
    Target* thing(TargetKind kind, int team, const Vec3& at, const Vec3& velocity, float radius, float health)
    {
        Target* t = host.addTarget(std::make_unique<ScriptedTarget>(host, kind, team, radius, health));
        t->setPosition(at);
        t->setVelocity(velocity);
        return t;
    }
    bool arm(Target& owner, const WeaponCfg& record)
    {
        if (!owner.mountWeapon(record, 0))
            return false;
        weapon = owner.weapon(0);
        return weapon != nullptr;
    }
    void point(const Vec3& at)
    {
        const Vec3 d = at - shooter->position();
        if (vec3Dot(d, d) > 1.0f)
            shooter->setOrientation(facing(d));
    }
    DrillResult result(const Target* attacker) const
    {
        DrillResult r;
        for (const SimHost::Hit& h : host.hits)
            if (h.victim == target && h.attacker == attacker && h.damage > 0.0f) {
                r.hit = true;
                r.damage += h.damage;
            }
        return r;
    }
    // The intercept point of a projectile leaving the shooter at `speed` on
    // top of the shooter's own velocity.
    Vec3 lead(float speed) const
    {
        return leadPoint(shooter->position(), target->position(), target->velocity() - shooter->velocity(), speed, 5);
    }
};

DrillResult gunBurst(const WeaponCfg& w, std::uint32_t seed, bool beam)
{
    Range r(seed);
    const float heading = randAngle();
    r.shooter = r.plane(0, {0.0f, 2000.0f, 0.0f}, headingVector(heading), 200.0f);
    const float off = randRange(-0.25f, 0.25f);
    const Vec3 at = r.shooter->position() + headingVector(heading + off) * 600.0f + Vec3{0.0f, randRange(-60.0f, 60.0f), 0.0f};
    r.target = r.plane(1, at, headingVector(randAngle()), 300.0f);
    if (!r.arm(*r.shooter, w))
        return {};
    for (float t = 0.0f; t < 1.6f; t += kFrame) {
        r.point(beam ? r.target->position() : r.lead(w.speed));
        r.weapon->setFiring(t < 0.5f);
        r.host.step(kFrame);
    }
    return r.result(r.shooter);
}

DrillResult flakBarrage(const WeaponCfg& w, std::uint32_t seed)
{
    Range r(seed);
    Target* site = r.thing(TargetKind::LandUnit, 0, {0.0f, 0.0f, 0.0f}, {}, 8.0f, 120.0f);
    const float heading = randAngle();
    const Vec3 across = headingVector(heading + kPi * 0.5f) * randRange(800.0f, 1500.0f);
    const Vec3 start = across - headingVector(heading) * 1500.0f + Vec3{0.0f, randRange(900.0f, 1500.0f), 0.0f};
    r.target = r.plane(1, start, headingVector(heading), randRange(200.0f, 300.0f));
    if (!r.arm(*site, w))
        return {};
    for (float t = 0.0f; t < 10.0f; t += kFrame)
        r.host.step(kFrame);
    return r.result(site);
}

DrillResult guided(const WeaponCfg& w, std::uint32_t seed, bool evading)
{
    Range r(seed);
    const bool ground = w.type == kWeaponJointStrike || w.type == kWeaponMultiGround;
    const float heading = randAngle();
    bool decoyed = false;
    if (ground) {
        // A vehicle driving straight; the shooter 2000 away in a shallow dive.
        r.target = r.thing(TargetKind::Vehicle, 1, {0.0f, 0.0f, 0.0f}, headingVector(randAngle()) * 15.0f, 6.0f, 220.0f);
        const Vec3 from = headingVector(heading) * -1900.0f + Vec3{0.0f, 620.0f, 0.0f};
        r.shooter = r.plane(0, from, unit(r.target->position() - from), 220.0f);
    } else {
        r.shooter = r.plane(0, {0.0f, 3000.0f, 0.0f}, headingVector(heading), 250.0f);
        const float off = randRange(-0.15f, 0.15f);
        const Vec3 at = r.shooter->position() + headingVector(heading + off) * 2000.0f +
                        Vec3{0.0f, randRange(-150.0f, 150.0f), 0.0f};
        Airplane* a = r.plane(1, at, headingVector(randAngle()), 300.0f);
        // Only the evading pilot drops flares.
        a->setFlares(evading ? a->flareCount() : 0);
        r.target = a;
    }
    if (!r.arm(*r.shooter, w))
        return {};
    r.point(r.target->position());
    r.weapon->updateTargeting(w.lockTime + 0.1f);
    if (!r.weapon->isLocked())
        return {};
    r.weapon->setFiring(true);
    const float breakBank = randRange(1.2f, 1.45f);
    bool broke = false;
    for (float t = 0.0f; t < std::max(w.life, 1.0f) + 1.0f; t += kFrame) {
        // The shooter holds its nose on the target, as a radar lock needs.
        if (r.target->isAlive())
            r.point(r.target->position());
        // The evader breaks when the missile closes in: wings rolled toward
        // the vertical, stick hard back.
        if (evading && !broke && r.host.missiles().count() > 0 &&
            vec3Length(r.host.missiles().at(0)->position() - r.target->position()) < kBreakDistance) {
            auto* a = static_cast<Airplane*>(r.target);
            // Into the missile's side, which turns the line of sight fastest.
            const float side = vec3Dot(r.host.missiles().at(0)->position() - a->position(), a->side());
            a->setOrientation(
                quatMultiply(a->orientation(), quatFromEuler(0.0f, 0.0f, side > 0.0f ? -breakBank : breakBank)));
            a->setControlVector({1.0f, 0.0f, 0.0f});
            broke = true;
        }
        r.host.step(kFrame);
        r.weapon->setFiring(false);
        for (int i = 0; i < r.host.missiles().count(); ++i)
            decoyed = decoyed || r.host.missiles().at(i)->isDecoyed();
        if (t > 0.5f && r.host.missiles().count() == 0)
            break;
    }
    DrillResult result = r.result(r.shooter);
    result.decoyed = decoyed;
    if (getenv("DRILL_DEBUG"))
        std::printf("seed %u evading %d decoyed %d hit %d\n", seed, evading, decoyed, result.hit);
    return result;
}

DrillResult rocket(const WeaponCfg& w, std::uint32_t seed)
{
    Range r(seed);
    r.target = r.thing(TargetKind::Vehicle, 1, {0.0f, 0.0f, 0.0f}, headingVector(randAngle()) * 15.0f, 6.0f, 220.0f);
    const Vec3 from = headingVector(randAngle()) * -760.0f + Vec3{0.0f, 250.0f, 0.0f};
    r.shooter = r.plane(0, from, unit(r.target->position() - from), 200.0f);
    if (!r.arm(*r.shooter, w))
        return {};
    r.point(r.lead(w.speed));
    r.weapon->setFiring(true);
    for (float t = 0.0f; t < w.life + 0.5f; t += kFrame) {
        r.host.step(kFrame);
        r.weapon->setFiring(false);
        // Pull out of the dive once the rocket is away.
        r.shooter->setControlVector({1.0f, 0.0f, 0.0f});
    }
    return r.result(r.shooter);
}

DrillResult bomb(const WeaponCfg& w, std::uint32_t seed)
{
    Range r(seed);
    r.target = r.thing(TargetKind::Ship, 1, {0.0f, 0.0f, 0.0f}, headingVector(randAngle()) * 8.0f, 40.0f, 900.0f);
    const float heading = randAngle();
    const float height = randRange(300.0f, 600.0f);
    r.shooter = r.plane(0, headingVector(heading) * -2500.0f + Vec3{0.0f, height, 0.0f}, headingVector(heading), 200.0f);
    if (!r.arm(*r.shooter, w))
        return {};
    bool released = false;
    for (float t = 0.0f; t < 40.0f; t += kFrame) {
        Vec3 impact;
        if (!released && r.weapon->predictedImpact(impact)) {
            // Steer the sight onto where the ship will be; release on it.
            const float fall = std::sqrt(2.0f * std::max(r.shooter->position().y, 1.0f) / kGravity);
            const Vec3 shipThen = r.target->position() + r.target->velocity() * fall;
            const Vec3 flat{shipThen.x - r.shooter->position().x, 0.0f, shipThen.z - r.shooter->position().z};
            const Vec3 ahead{impact.x - r.shooter->position().x, 0.0f, impact.z - r.shooter->position().z};
            if (vec3Length(flat) > vec3Length(ahead) + 5.0f)
                r.shooter->setOrientation(facing(flat));
            else {
                r.weapon->setFiring(true);
                released = true;
            }
        } else {
            r.weapon->setFiring(false);
        }
        r.host.step(kFrame);
        if (released && r.host.missiles().count() == 0)
            break;
    }
    return r.result(r.shooter);
}

DrillResult torpedo(const WeaponCfg& w, std::uint32_t seed)
{
    Range r(seed);
    r.target = r.thing(TargetKind::Ship, 1, {0.0f, 0.0f, 0.0f}, headingVector(randAngle()) * 8.0f, 40.0f, 900.0f);
    const float heading = randAngle();
    const float speed = 150.0f, height = 30.0f;
    r.shooter = r.plane(0, headingVector(heading) * -560.0f + Vec3{0.0f, height, 0.0f}, headingVector(heading), speed);
    if (!r.arm(*r.shooter, w))
        return {};
    // Point at where the ship will be when the torpedo gets there: the fall,
    // then the run at the torpedo's own speed.
    const float fall = std::sqrt(2.0f * height / kGravity);
    Vec3 aim = r.target->position();
    for (int i = 0; i < 4; ++i) {
        const Vec3 flat{aim.x - r.shooter->position().x, 0.0f, aim.z - r.shooter->position().z};
        const float run = std::max(vec3Length(flat) - speed * fall, 0.0f) / std::max(w.speed, 1.0f);
        aim = r.target->position() + r.target->velocity() * (fall + run);
    }
    const Vec3 flat{aim.x - r.shooter->position().x, 0.0f, aim.z - r.shooter->position().z};
    r.shooter->setOrientation(facing(flat));
    r.weapon->setFiring(true);
    for (float t = 0.0f; t < w.life + 1.0f; t += kFrame) {
        r.host.step(kFrame);
        r.weapon->setFiring(false);
        r.shooter->setControlVector({0.6f, 0.0f, 0.0f});
        if (t > 0.5f && r.host.missiles().count() == 0)
            break;
    }
    return r.result(r.shooter);
}
}  // namespace

ScriptedTarget::ScriptedTarget(IEntityHost& host, TargetKind kind, int team, float radius, float health)
    : Target(host, kind, team)
{
    m_radius = radius;
    m_health = m_maxHealth = health;
}

const char* drillName(Drill drill)
{
    switch (drill) {
    case Drill::None: return "none";
    case Drill::GunBurst: return "gun-burst";
    case Drill::LaserBurst: return "laser-burst";
    case Drill::FlakBarrage: return "flak-barrage";
    case Drill::GuidedStraight: return "straight";
    case Drill::GuidedEvading: return "evading";
    case Drill::Rocket: return "rocket";
    case Drill::Bomb: return "bomb";
    case Drill::Torpedo: return "torpedo";
    }
    return "?";
}

Drill drillFor(const WeaponCfg& weapon)
{
    switch (weapon.type) {
    case kWeaponMachinegun: return Drill::GunBurst;
    case kWeaponAlienLaser: return Drill::LaserBurst;
    case kWeaponFlak: return Drill::FlakBarrage;
    case kWeaponAllAspect:
    case kWeaponJointStrike:
    case kWeaponMultiAir:
    case kWeaponMultiGround:
    case kWeaponRadarGuided:
    case kWeaponAlienQuick: return Drill::GuidedStraight;
    case kWeaponSimple:
        return weapon.subtype == SimpleMissile::Bomb      ? Drill::Bomb
               : weapon.subtype == SimpleMissile::Torpedo ? Drill::Torpedo
                                                          : Drill::Rocket;
    default: return Drill::None;
    }
}

DrillResult runDrill(const WeaponCfg& weapon, Drill drill, std::uint32_t seed)
{
    switch (drill) {
    case Drill::GunBurst: return gunBurst(weapon, seed, false);
    case Drill::LaserBurst: return gunBurst(weapon, seed, true);
    case Drill::FlakBarrage: return flakBarrage(weapon, seed);
    case Drill::GuidedStraight: return guided(weapon, seed, false);
    case Drill::GuidedEvading: return guided(weapon, seed, true);
    case Drill::Rocket: return rocket(weapon, seed);
    case Drill::Bomb: return bomb(weapon, seed);
    case Drill::Torpedo: return torpedo(weapon, seed);
    case Drill::None: break;
    }
    return {};
}

DrillRate rateDrill(const WeaponCfg& weapon, Drill drill, int runs)
{
    DrillRate rate;
    for (int seed = 1; seed <= runs; ++seed) {
        const DrillResult r = runDrill(weapon, drill, static_cast<std::uint32_t>(seed));
        ++rate.runs;
        rate.hits += r.hit ? 1 : 0;
        rate.decoyed += r.decoyed ? 1 : 0;
    }
    return rate;
}
