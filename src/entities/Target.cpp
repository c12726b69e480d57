#include "entities/Target.h"

#include "platform/FrameProfile.h"
#include "entities/EntityIds.h"
#include "entities/EntityRemoval.h"
#include "entities/IEntityHost.h"
#include "entities/ai/TargetAI.h"
#include "entities/weapons/Weapon.h"
#include "entities/weapons/WeaponUpdate.h"
#include "gamedata/records/WeaponList.h"
#include "platform/Log.h"

namespace {
std::uint32_t g_lastSerial = 0;
}  // namespace

std::array<Target*, kMaxTargetIds>& Target::registry()
{
    static std::array<Target*, kMaxTargetIds> targets{};
    return targets;
}

Target* Target::byId(int id)
{
    return id >= 0 && id < kMaxTargetIds ? registry()[static_cast<std::size_t>(id)] : nullptr;
}

Target::Target(IEntityHost& host, TargetKind kind, int team)
    : m_host(&host), m_kind(kind), m_team(team), m_id(targetIds().acquire()), m_serial(++g_lastSerial)
{
    if (m_serial == 0)  // wrapped after four billion targets
        m_serial = ++g_lastSerial;
    if (hasId())
        registry()[static_cast<std::size_t>(m_id)] = this;
}

Target::~Target()
{
    m_ai.reset();
    if (hasId() && registry()[static_cast<std::size_t>(m_id)] == this)
        registry()[static_cast<std::size_t>(m_id)] = nullptr;
    removeAllWeapons();
    // The host should have done this at removal; a target deleted any other
    // way must not leave anything pointing here either.
    forgetTarget(*this);
    targetIds().release(m_id);
}

void Target::reportNoId() { logWarning("entities", "no target id left: the entity is not added"); }

bool Target::takeOverId(int id)
{
    if (id == m_id)
        return true;
    if (!targetIds().claim(id))
        return false;
    if (hasId() && registry()[static_cast<std::size_t>(m_id)] == this)
        registry()[static_cast<std::size_t>(m_id)] = nullptr;
    targetIds().release(m_id);
    m_id = id;
    registry()[static_cast<std::size_t>(m_id)] = this;
    return true;
}

std::u16string Target::displayName(bool) const { return pilotName; }

void Target::update(float) {}

bool Target::isDrawnIn(const DrawView& view) const
{
    if (!m_active || isMarkedForRemoval() || drawClass <= 0 || drawClass > maxDrawClass())
        return false;
    // Behind the eye by more than the target's own size: nothing of it shows.
    const float reach = drawRadius();
    const float ahead = vec3Dot(m_position - view.eye, view.forward);
    if (ahead < -reach)
        return false;
    return !view.frustum || sphereInFrustum(*view.frustum, m_position, reach);
}

void Target::drawIn(const DrawView& view, DrawPass pass)
{
    if (isDrawnIn(view))
        draw(view, pass);
}

void Target::drawHeatDistortionIn(const DrawView& view)
{
    if (isDrawnIn(view))
        drawHeatDistortion(view);
}

void Target::setAIController(std::unique_ptr<TargetAI> ai) { m_ai = std::move(ai); }

void Target::runAI(float dt)
{
    if (m_ai && isActive() && isAlive()) {
        ProfileScope timed(FrameLib::AI);
        m_ai->update(dt);
    }
}

bool Target::matchesClass(TargetClass c) const
{
    switch (c) {
    case TargetClass::Any:
        return true;
    case TargetClass::Air:
        return m_kind == TargetKind::Airplane || m_kind == TargetKind::AirTarget;
    case TargetClass::Naval:
        return m_kind == TargetKind::Submarine || m_kind == TargetKind::Ship || m_kind == TargetKind::Ship2 ||
               m_kind == TargetKind::Carrier;
    case TargetClass::Land:
        return m_kind == TargetKind::Building || m_kind == TargetKind::LandUnit || m_kind == TargetKind::Vehicle ||
               m_kind == TargetKind::Vehicle2 || m_kind == TargetKind::Base || m_kind == TargetKind::Other;
    }
    return false;
}

bool Target::ownHitCheck(const Vec3&, float) const { return true; }

bool Target::acceptsCrashCause(CrashCause cause) const { return cause != CrashCause::None; }

Vec3 Target::hitPoint(const WeaponCfg*) const { return m_position; }

void Target::onHit(const Vec3&, int, Target*, float) { hitReport = 1; }

void Target::onDestroyed(CrashCause cause)
{
    deathCause = cause;
    m_lifeState = LifeState::Destroyed;
}

void Target::onTeamChanged(bool) {}

void Target::dropReferencesTo(const Target& gone)
{
    if (lastAttacker == &gone)
        lastAttacker = nullptr;
    if (rememberedTarget == &gone) {
        rememberedTarget = nullptr;
        rememberTime = 0.0f;
    }
}

void Target::onTakenOut()
{
    incomingMissile = nullptr;
    loseTargetInWeapons(this);
    for (auto& w : m_weapons)
        if (w)
            w->reset();
}

bool Target::netState(AirplaneNetState&) const { return false; }

bool Target::applyNetState(const AirplaneNetState&) { return false; }

bool Target::addWeapon(int weaponIndex, int tag)
{
    const WeaponCfg* record = WeaponList::instance().at(weaponIndex);
    return record && mountWeapon(*record, tag);
}

bool Target::mountWeapon(const WeaponCfg& record, int tag)
{
    for (auto& slot : m_weapons) {
        if (slot)
            continue;
        slot = Weapon::create(record, *this, tag);
        if (!slot)
            return false;
        m_host->addWeapon(*slot);
        return true;
    }
    logWarning("entities", "all %d weapon slots are full: %s not mounted", kWeaponSlots, record.name.c_str());
    return false;
}

void Target::removeWeaponsWithTag(int tag)
{
    for (auto& slot : m_weapons)
        if (slot && slot->group() == tag) {
            m_host->removeWeapon(*slot);
            slot.reset();
        }
}

void Target::removeAllWeapons()
{
    for (auto& slot : m_weapons)
        if (slot) {
            m_host->removeWeapon(*slot);
            slot.reset();
        }
}

Weapon* Target::weapon(int slot)
{
    return slot >= 0 && slot < kWeaponSlots ? m_weapons[static_cast<std::size_t>(slot)].get() : nullptr;
}

const Weapon* Target::weapon(int slot) const
{
    return slot >= 0 && slot < kWeaponSlots ? m_weapons[static_cast<std::size_t>(slot)].get() : nullptr;
}

int Target::weaponCount() const
{
    int n = 0;
    for (const auto& slot : m_weapons)
        n += slot ? 1 : 0;
    return n;
}
