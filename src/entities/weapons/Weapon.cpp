#include "entities/weapons/Weapon.h"

#include "entities/EntityIds.h"
#include "entities/IEntityHost.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/MissileKinds.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {
std::array<Weapon*, 256> g_weapons{};
Weapon::Factory g_factory = &Weapon::makeKind;
}  // namespace

Vec3& weaponLaunchPosition()
{
    static Vec3 position;
    return position;
}

Weapon::Weapon(const WeaponCfg& record, Target& owner, int group, int id)
    : m_launchers(static_cast<std::size_t>(std::clamp(record.numSlots, 1, WeaponCfg::kMaxSlots)), -1.0f),
      m_record(&record), m_owner(&owner), m_ownerPlane(dynamic_cast<Airplane*>(&owner)), m_group(group), m_id(id),
      m_ammo(record.ammo > 0 ? record.ammo : -1)
{
    if (id >= 0 && id < static_cast<int>(g_weapons.size()))
        g_weapons[static_cast<std::size_t>(id)] = this;
}

Weapon::~Weapon()
{
    if (m_id >= 0 && m_id < static_cast<int>(g_weapons.size()) && g_weapons[static_cast<std::size_t>(m_id)] == this)
        g_weapons[static_cast<std::size_t>(m_id)] = nullptr;
    weaponIds().release(m_id);
}

Weapon* Weapon::byId(int id)
{
    return id >= 0 && id < static_cast<int>(g_weapons.size()) ? g_weapons[static_cast<std::size_t>(id)] : nullptr;
}

int Weapon::type() const { return m_record->type; }

void Weapon::setFiring(bool on)
{
    if (on && !m_firing)
        m_pressed = true;
    m_firing = on;
}

void Weapon::releaseTrigger()
{
    if (isGun())
        reset();
    m_firing = false;
    m_pressed = false;
}

bool Weapon::isReady() const
{
    return std::any_of(m_launchers.begin(), m_launchers.end(), [](float t) { return t < 0.0f; });
}

float Weapon::reloadProgress() const
{
    if (m_launchers.empty())
        return 1.0f;
    const float shortest = *std::min_element(m_launchers.begin(), m_launchers.end());
    if (shortest < 0.0f)
        return 1.0f;
    const float reload = std::max(m_record->reloadTime, 1e-3f);
    return std::clamp(1.0f - shortest / reload, 0.0f, 1.0f);
}

bool Weapon::canLink() const
{
    return type() == kWeaponMachinegun || (type() == kWeaponSimple && m_record->subtype == 0);
}

int Weapon::lockSlots() const
{
    const int t = type();
    if (t == kWeaponMultiAir || t == kWeaponMultiGround)
        return std::clamp(static_cast<int>(m_launchers.size()), 1, kMaxTargets);
    return 1;
}

int Weapon::targetCount() const
{
    int n = 0;
    while (n < kMaxTargets && m_targets[static_cast<std::size_t>(n)])
        ++n;
    return n;
}

bool Weapon::hasTarget(const Target* t) const
{
    if (!t)
        return false;
    for (int i = 0; i < kMaxTargets && m_targets[static_cast<std::size_t>(i)]; ++i)
        if (m_targets[static_cast<std::size_t>(i)] == t)
            return true;
    return false;
}

int Weapon::lockKind() const { return m_record->lockKind; }

void Weapon::removeTarget(const Target* t)
{
    if (!t)
        return;
    int write = 0;
    for (int read = 0; read < kMaxTargets && m_targets[static_cast<std::size_t>(read)]; ++read) {
        Target* entry = m_targets[static_cast<std::size_t>(read)];
        if (entry != t)
            m_targets[static_cast<std::size_t>(write++)] = entry;
    }
    for (int i = write; i <= kMaxTargets; ++i)
        m_targets[static_cast<std::size_t>(i)] = nullptr;
}

void Weapon::clearTargets()
{
    m_targets.fill(nullptr);
    m_lockTimer = 0.0f;
}

void Weapon::lockOn(Target& t)
{
    if (!needsLock() || lockSlots() != 1 || hasTarget(&t) || !isLockable(t))
        return;
    clearTargets();
    m_targets[0] = &t;
    m_lockTimer = std::max(m_record->lockTime, 0.0f);
}

void Weapon::setSingleTarget(Target* t)
{
    clearTargets();
    m_targets[0] = t;
}

void Weapon::forgetTargetEverywhere(const Target* t)
{
    for (Weapon* w : g_weapons)
        if (w)
            w->removeTarget(t);
}

TargetClass Weapon::searchClass() const
{
    switch (type()) {
    case kWeaponAllAspect:
    case kWeaponMultiAir:
    case kWeaponRadarGuided:
    case kWeaponAlienQuick:
        return TargetClass::Air;
    case kWeaponJointStrike:
    case kWeaponMultiGround:
        return TargetClass::Land;  // naval targets pass too, see isLockable
    case kWeaponSimple:
        return m_record->subtype == 2 ? TargetClass::Naval : TargetClass::Any;
    default:
        return TargetClass::Any;
    }
}

float Weapon::lockRange() const
{
    if (m_record->lockRange > 0.0f)
        return m_record->lockRange;
    return std::max(m_record->speed, 100.0f) * std::max(m_record->life, 1.0f);
}

Vec3 Weapon::ownerForward() const
{
    if (m_ownerPlane)
        return m_ownerPlane->forward();
    Vec3 v = m_owner->velocity();
    if (vec3Dot(v, v) > 1e-6f)
        return vec3Normalize(v);
    return {0.0f, 0.0f, -1.0f};
}

Vec3 Weapon::fireDirection() const
{
    if (vec3Dot(m_aim, m_aim) > 1e-6f) {
        Vec3 a = m_aim;
        return vec3Normalize(a);
    }
    return ownerForward();
}

Vec3 Weapon::mountPosition(int index) const
{
    const Airplane* plane = m_ownerPlane;
    if (!plane)
        return m_owner->position();
    // Mounts spread along the wings, under them for launchers.
    const int n = static_cast<int>(m_launchers.size());
    const float across = (static_cast<float>(index) - 0.5f * static_cast<float>(n - 1)) * 1.6f;
    const float below = isGun() ? -0.3f : -1.2f;
    return plane->position() + quatRotateVector(plane->orientation(), Vec3{across, below, -1.5f});
}

bool Weapon::inLockCone(const Target& t) const
{
    // Turrets and launchers on the ground turn to their target.
    if (!m_ownerPlane && vec3Dot(m_aim, m_aim) <= 1e-6f)
        return true;
    Vec3 to = t.position() - m_owner->position();
    const float len = vec3Length(to);
    if (len < 1e-3f)
        return true;
    // Cosines of kLockCone and kMultiLockCone.
    const float cosine = lockSlots() > 1 ? 0.87758256f : 0.93937271f;
    return vec3Dot(to, fireDirection()) >= cosine * len;
}

bool Weapon::isLockable(const Target& t) const
{
    if (&t == m_owner || !t.isActive() || !t.isAlive() || !t.isTargetable() || !t.canBeTargeted())
        return false;
    if (t.team() == kTeamNone || t.team() == m_owner->team())
        return false;
    const float range = lockRange();
    if (vec3DistanceSq(t.position(), m_owner->position()) > range * range)
        return false;
    const TargetClass c = searchClass();
    const bool classOk = c == TargetClass::Land ? t.matchesClass(TargetClass::Land) || t.matchesClass(TargetClass::Naval)
                                                : t.matchesClass(c);
    return classOk && inLockCone(t);
}

void Weapon::updateTargeting(float dt)
{
    if (!needsLock() || type() == kWeaponSmoke || type() == kWeaponNone)
        return;
    for (int i = targetCount() - 1; i >= 0; --i)
        if (!isLockable(*m_targets[static_cast<std::size_t>(i)]))
            removeTarget(m_targets[static_cast<std::size_t>(i)]);
    const int slots = lockSlots();
    int count = targetCount();
    if (count < slots) {
        const bool fresh = count == 0;
        const Vec3 nose = fireDirection();
        const Vec3 from = m_owner->position();
        // Best aligned first: the target the pilot points at.
        thread_local std::vector<std::pair<float, Target*>> found;
        found.clear();
        for (Target* t : m_owner->host().activeTargets()) {
            if (!t || hasTarget(t) || !isLockable(*t))
                continue;
            const Vec3 to = t->position() - from;
            found.emplace_back(vec3Dot(to, nose) / std::max(vec3Length(to), 1e-3f), t);
        }
        const std::size_t take = std::min(found.size(), static_cast<std::size_t>(slots - count));
        std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(take), found.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
        for (std::size_t i = 0; i < take; ++i)
            m_targets[static_cast<std::size_t>(count++)] = found[i].second;
        if (fresh && count > 0)
            m_lockTimer = std::max(m_record->lockTime, 0.0f);
    }
    if (count == 0)
        m_lockTimer = 0.0f;
    else if (m_lockTimer > 0.0f)
        m_lockTimer -= dt;
}

void Weapon::update(float dt)
{
    for (float& timer : m_launchers)
        if (timer >= 0.0f)
            timer -= dt;
}

void Weapon::reset()
{
    m_firing = false;
    m_pressed = false;
    std::fill(m_launchers.begin(), m_launchers.end(), -1.0f);
    clearTargets();
}

void Weapon::refill(bool full)
{
    m_ammo = m_record->ammo > 0 ? m_record->ammo : -1;
    if (full)
        std::fill(m_launchers.begin(), m_launchers.end(), -1.0f);
}

bool Weapon::predictedImpact(Vec3&) const { return false; }

bool Weapon::takeAmmo()
{
    if (m_ammo < 0)
        return true;
    if (m_ammo == 0)
        return false;
    --m_ammo;
    return true;
}

int Weapon::readyLauncher() const
{
    for (std::size_t i = 0; i < m_launchers.size(); ++i)
        if (m_launchers[i] < 0.0f)
            return static_cast<int>(i);
    return -1;
}

void Weapon::startReload(int index)
{
    if (index < 0 || index >= static_cast<int>(m_launchers.size()))
        return;
    float& timer = m_launchers[static_cast<std::size_t>(index)];
    // Keep the remainder of a running reload so that a gun's rate does not
    // depend on the frame rate; a launcher that stood ready starts afresh.
    const float reload = std::max(m_record->reloadTime, 1e-3f);
    const float carry = std::min(reload, kMaxCarry);
    timer = (timer < 0.0f && timer > -carry ? timer : 0.0f) + reload;
}

bool Weapon::isGun() const { return m_record->isGun(); }

bool Weapon::needsLock() const
{
    const int t = type();
    return t != kWeaponMachinegun && t != kWeaponAlienLaser && t != kWeaponFlak;
}

bool Weapon::isDropped() const { return type() == kWeaponSimple && m_record->subtype != SimpleMissile::Rocket; }

int Weapon::iconIndex() const { return m_record->iconIndex >= 0 ? m_record->iconIndex : m_record->frameUsed; }

void Weapon::setFactory(Factory factory) { g_factory = factory ? factory : &Weapon::makeKind; }

std::unique_ptr<Weapon> Weapon::create(const WeaponCfg& record, Target& owner, int group)
{
    const int id = weaponIds().acquire();
    if (id < 0) {
        logWarning("entities", "no weapon id left for %s", record.name.c_str());
        return nullptr;
    }
    std::unique_ptr<Weapon> weapon = g_factory(record, owner, group, id);
    if (!weapon)
        weaponIds().release(id);
    return weapon;
}
