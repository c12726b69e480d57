#include "entities/weapons/Weapon.h"

#include "entities/EntityIds.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Log.h"

#include <algorithm>

namespace {
std::unique_ptr<Weapon> makePlainWeapon(const WeaponCfg& record, Target& owner, int group, int id)
{
    return std::make_unique<Weapon>(record, owner, group, id);
}
Weapon::Factory g_factory = &makePlainWeapon;
}  // namespace

Weapon::Weapon(const WeaponCfg& record, Target& owner, int group, int id)
    : m_launchers(static_cast<std::size_t>(std::clamp(record.numSlots, 1, WeaponCfg::kMaxSlots)), -1.0f),
      m_record(&record), m_owner(&owner), m_group(group), m_id(id)
{
}

Weapon::~Weapon() { weaponIds().release(m_id); }

int Weapon::type() const { return m_record->type; }

bool Weapon::isReady() const
{
    return std::any_of(m_launchers.begin(), m_launchers.end(), [](float t) { return t < 0.0f; });
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
    std::fill(m_launchers.begin(), m_launchers.end(), -1.0f);
}

void Weapon::refill(bool full)
{
    if (full)
        std::fill(m_launchers.begin(), m_launchers.end(), -1.0f);
}

bool Weapon::isGun() const { return m_record->isGun(); }

bool Weapon::needsLock() const
{
    const int t = type();
    return t != kWeaponMachinegun && t != kWeaponAlienLaser && t != kWeaponFlak;
}

void Weapon::setFactory(Factory factory) { g_factory = factory ? factory : &makePlainWeapon; }

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
