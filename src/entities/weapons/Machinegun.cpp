#include "entities/weapons/Machinegun.h"

#include "entities/EntitySounds.h"
#include "entities/IEntityHost.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/BulletPool.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/trails/Tracers.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/WeaponCfg.h"

#include <algorithm>
#include <cmath>

Machinegun::~Machinegun()
{
    stopSound();
    setSmoke(false);
}

float Machinegun::gunFireInterval() const { return record().reloadTime; }

bool Machinegun::gunMuzzle(Vec3& position) const
{
    const Target& shooter = owner();
    if (shooter.kind() != TargetKind::Airplane)
        return false;
    position = mat4TransformPoint(static_cast<const Airplane&>(shooter).matrix(), muzzleOffset(0));
    return true;
}

const IAirplaneFx* Machinegun::gunAirplane() const
{
    const Target& shooter = owner();
    return shooter.kind() == TargetKind::Airplane ? static_cast<const Airplane*>(&shooter) : nullptr;
}

void Machinegun::submitTracers()
{
    const BulletPool& pool = BulletPool::instance();
    for (int i : pool.activeIndices()) {
        const BulletPool::Bullet& b = pool.bullets()[static_cast<std::size_t>(i)];
        // A streak a fiftieth of a second long, ending at the bullet.
        if (!Tracers::add({b.position - b.velocity * 0.02f, b.position}))
            break;
    }
}

float Machinegun::fireInterval() const { return std::max(record().reloadTime, 1e-3f); }

Vec3 Machinegun::muzzleOffset(int index) const
{
    const int n = static_cast<int>(m_launchers.size());
    return {(static_cast<float>(index) - 0.5f * static_cast<float>(n - 1)) * 1.6f, -0.3f, -1.5f};
}

void Machinegun::setSmoke(bool on)
{
    m_smoke = on;
    // Off deletes the system too, so no pool place is left behind.
    if (m_smokeSystem) {
        m_smokeSystem->gunGone();
        delete m_smokeSystem;
        m_smokeSystem = nullptr;
    }
    if (on)
        m_smokeSystem = spawnPooled<MachinegunSmoke>(static_cast<IGunFx*>(this));
    // A system refused by a full pool says goodbye too; that is no loss to make up for.
    m_smokeLost = false;
}

void Machinegun::followPlayer()
{
    const Airplane* plane = ownerAirplane();
    const bool player = plane && plane->fxIsPlayer();
    if (player != m_wasPlayer) {
        m_wasPlayer = player;
        setSmoke(player);
    } else if (m_smokeLost) {
        // Once only: with the pool full the gun stays without smoke rather
        // than trying again every frame.
        setSmoke(true);
    }
}

void Machinegun::stopSound()
{
    m_sounding = false;
}

void Machinegun::reset()
{
    stopSound();
    m_dryReported = false;
    Weapon::reset();
}

void Machinegun::update(float dt)
{
    Weapon::update(dt);
    followPlayer();
    Target& shooter = owner();
    if (!isEnabled() || !isFiring() || !shooter.isActive() || !shooter.isAlive()) {
        stopSound();
        m_dryReported = false;
        m_pressed = false;
        return;
    }
    m_pressed = false;
    const Vec3 nose = fireDirection();
    int fired = 0;
    for (int i = 0; i < static_cast<int>(m_launchers.size()); ++i) {
        if (m_launchers[static_cast<std::size_t>(i)] >= 0.0f)
            continue;
        if (!takeAmmo()) {
            if (!m_dryReported)
                playSoundAt(SoundName::MgunNoAmmo, shooter.position());
            m_dryReported = true;
            break;
        }
        const Vec3 direction = jitterDirection(nose, record().spread);
        const Vec3 velocity = direction * record().speed + shooter.velocity();
        if (BulletPool::instance().fire(&shooter, shooter.team(), record(), mountPosition(i), velocity))
            ++fired;
        startReload(i);
    }
    if (fired > 0) {
        shooter.host().onGunShots(shooter, fired, 0);
        // One burst sound when the trigger starts a burst.
        if (!m_sounding)
            playSoundAt(SoundName::Mg1, shooter.position());
        m_sounding = true;
    }
}

float AlienLaser::range() const { return std::max(record().speed, 1.0f) * std::max(record().life, 0.1f); }

void AlienLaser::update(float dt)
{
    Weapon::update(dt);
    m_beam.timeLeft -= dt;
    Target& shooter = owner();
    if (!isEnabled() || !isFiring() || !shooter.isActive() || !shooter.isAlive()) {
        m_pressed = false;
        return;
    }
    m_pressed = false;
    const int launcher = readyLauncher();
    if (launcher < 0 || !takeAmmo())
        return;
    fireBeam(launcher);
    startReload(launcher);
}

void AlienLaser::fireBeam(int launcher)
{
    Target& shooter = owner();
    IEntityHost& host = shooter.host();
    const Vec3 from = mountPosition(launcher);
    const Vec3 dir = fireDirection();
    const float length = range();
    Target* victim = nullptr;
    float nearest = length;
    for (Target* t : host.activeTargets()) {
        if (!t || t == &shooter || !t->isActive() || !t->isAlive() || !t->isTargetable())
            continue;
        if (shooter.team() != kTeamNone && t->team() == shooter.team())
            continue;
        const Vec3 to = t->position() - from;
        const float along = vec3Dot(to, dir);
        if (along < 0.0f || along > nearest + t->radius())
            continue;
        const float offSq = vec3Dot(to, to) - along * along;
        const float r = t->radius();
        if (offSq >= r * r)
            continue;
        const float enter = std::max(along - std::sqrt(r * r - offSq), 0.0f);
        if (enter >= nearest || !t->ownHitCheck(from + dir * enter, 0.5f))
            continue;
        victim = t;
        nearest = enter;
    }
    // The ground cuts the beam short.
    float groundAt = -1.0f;
    const int steps = 32;
    for (int i = 1; i <= steps; ++i) {
        const float d = nearest * static_cast<float>(i) / static_cast<float>(steps);
        const Vec3 p = from + dir * d;
        if (p.y < host.groundHeightAt(p.x, p.z)) {
            groundAt = d;
            break;
        }
    }
    if (groundAt >= 0.0f) {
        victim = nullptr;
        nearest = groundAt;
    }
    m_beam = Beam{from, from + dir * nearest, kBeamTime, victim != nullptr};
    shooter.host().onGunShots(shooter, 1, victim ? 1 : 0);
    if (victim)
        host.damageTarget(*victim, &shooter, record().damage, m_beam.to, &record());
    // Dust wherever the beam strikes, on what it hit as on the ground or the sea;
    // a beam that ends in the open air throws up nothing.
    if (victim || groundAt >= 0.0f)
        if (DirtShots* dirt = DirtShots::current())
            dirt->spawn(m_beam.to);
    Tracers::addBeam(m_beam.from, m_beam.to, kBeamTime);
}

SmokeWeapon::~SmokeWeapon() { switchSmoke(false); }

void SmokeWeapon::switchSmoke(bool on)
{
    if (on == m_smoking)
        return;
    m_smoking = on;
    Target& shooter = owner();
    if (shooter.kind() == TargetKind::Airplane)
        static_cast<Airplane&>(shooter).showSmokeTrail(on);
}

void SmokeWeapon::setFiring(bool on)
{
    Weapon::setFiring(on);
    switchSmoke(on && isEnabled());
}

void SmokeWeapon::reset()
{
    switchSmoke(false);
    Weapon::reset();
}
