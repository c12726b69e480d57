#include "entities/ground/GroundTarget.h"

#include "effects/world/Gibs.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/CarrierDeck.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/UnitCfg.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/Log.h"
#include "render/assets/CollisionMesh.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"

#include <algorithm>
#include <cmath>

namespace {
TargetKind kindOf(const MapObject& object, const UnitCfg* unit)
{
    const int k = unit ? unit->kind : object.kind;
    // The map's kind wins for a base: a unit record is shared by bases and buildings.
    if (object.kind == static_cast<int>(TargetKind::Base))
        return TargetKind::Base;
    if ((k >= 2 && k <= 11) || k == 1)
        return static_cast<TargetKind>(k);
    return TargetKind::Building;
}

// A size for hit tests when the model is not loaded (tools, tests).
float defaultRadius(TargetKind kind)
{
    switch (kind) {
    case TargetKind::Ship:
    case TargetKind::Ship2:
    case TargetKind::Carrier:
    case TargetKind::Submarine:
        return 60.0f;
    case TargetKind::Building:
    case TargetKind::Base:
        return 40.0f;
    default:
        return 10.0f;
    }
}
}  // namespace

GroundTarget::GroundTarget(IEntityHost& host, MapObject& object)
    : GroundTarget(host, object, UnitList::instance().findByName(object.unit))
{
}

GroundTarget::GroundTarget(IEntityHost& host, MapObject& object, const UnitCfg* unit)
    : Target(host, kindOf(object, unit), object.team), m_object(&object), m_unit(unit)
{
    const float scale = std::isfinite(object.health) && object.health > 0.0f ? object.health : 1.0f;
    const float health = (unit ? std::max(unit->health, 1.0f) : 100.0f) * scale;
    setMaxHealth(health);
    setHealth(health);
    m_radius = defaultRadius(kind());
    // The map places the unit; its record says what it looks like.
    if (!object.modelData && unit && !unit->model.empty())
        object.modelData = MapLoader::findModel(unit->model);
    if (object.modelData) {
        const Vec3 size = object.modelData->boundsMax() - object.modelData->boundsMin();
        m_radius = std::max(0.5f * vec3Length(size), 1.0f);
    }
    if (unit) {
        m_pathSpeed = std::max(unit->speed, 0.0f);
        m_wreckScale = unit->size;
        setTargetable(unit->targetable);
    }
    const Mat4 m = mapAnglesMatrix(object.angles, object.pos);
    const Vec3 facing = vec3NormalizeOr(Vec3{-m.m[8], 0.0f, -m.m[10]}, Vec3{0.0f, 0.0f, -1.0f});
    m_start = object.pos;
    m_startFacing = facing;
    drawGroup = DrawGroup::GroundUnits;
    if (isCarrier())
        m_deck = std::make_unique<CarrierDeck>(*this, object.modelData);
    place(object.pos, facing);
    object.entity = this;
}

GroundTarget::~GroundTarget()
{
    if (m_object->entity == this)
        m_object->entity = nullptr;
}

int GroundTarget::mountUnitWeapons(const WeaponList& weapons)
{
    if (!m_unit)
        return 0;
    int mounted = 0;
    for (int i = 0; i < m_unit->weapons.count(); ++i) {
        const UnitWeaponCfg& w = *m_unit->weapons.at(i);
        const WeaponCfg* record = weapons.findByName(w.name);
        if (!record) {
            logWarning("entities", "unit %s: no weapon %s", m_unit->name.c_str(), w.name.c_str());
            continue;
        }
        if (mountWeapon(*record, 0))
            ++mounted;
    }
    return mounted;
}

void GroundTarget::place(const Vec3& position, const Vec3& facing)
{
    m_position = position;
    m_facing = facing;
    Quat q;
    quatFromDirectionTo(q, facing);
    m_matrix = quatToMatrix(q);
    m_matrix.m[12] = position.x;
    m_matrix.m[13] = position.y;
    m_matrix.m[14] = position.z;
    if (m_deck) {
        m_deck->setHeading(std::atan2(-facing.x, -facing.z));
        m_deck->update(0.0f);
    }
}

bool GroundTarget::modelContact(const Vec3& point, float radius) const
{
    const Model* model = m_object->modelData;
    if (!model)
        return true;
    // The matrix is a turn and a shift: its transpose turns back.
    const Vec3 d = point - m_position;
    const float* m = m_matrix.m;
    const Vec3 local{m[0] * d.x + m[1] * d.y + m[2] * d.z, m[4] * d.x + m[5] * d.y + m[6] * d.z,
                     m[8] * d.x + m[9] * d.y + m[10] * d.z};
    return modelTouches(*model, local, radius);
}

std::span<Airplane* const> GroundTarget::carried() const
{
    return m_deck ? m_deck->carried() : std::span<Airplane* const>{};
}

float GroundTarget::drawRadius() const
{
    // The model's origin need not be the middle of its box.
    const Model* model = m_object->modelData;
    return model ? std::max(m_radius, reachFromOrigin(model->boundsMin(), model->boundsMax())) : m_radius;
}

void GroundTarget::draw(const DrawView&, DrawPass pass)
{
    if (pass != DrawPass::Opaque || !m_object->modelData)
        return;
    drawModel(*m_object->modelData, m_matrix);
}

void GroundTarget::setPath(std::vector<Vec3> points, bool loop)
{
    m_path = std::move(points);
    m_loop = loop;
    m_next = 0;
    m_step = 1;
    if (!m_path.empty()) {
        // Start from the path point nearest to where the map put the unit.
        float best = 1e30f;
        for (std::size_t i = 0; i < m_path.size(); ++i) {
            const float d = vec3DistanceSq(m_path[i], m_position);
            if (d < best) {
                best = d;
                m_next = static_cast<int>(i);
            }
        }
    }
}

void GroundTarget::followPath(float dt)
{
    const int n = static_cast<int>(m_path.size());
    if (n == 0 || m_pathSpeed <= 0.0f) {
        m_velocity = {};
        m_speed = 0.0f;
        return;
    }
    float left = m_pathSpeed * dt;
    Vec3 pos = m_position;
    Vec3 dir = m_facing;
    // A few legs at most a frame, so a degenerate path cannot spin here.
    for (int legs = 0; legs < 4 && left > 0.0f; ++legs) {
        Vec3 goal = m_path[static_cast<std::size_t>(m_next)];
        goal.y = pos.y;  // units keep to their surface
        const Vec3 to = goal - pos;
        const float d = vec3Length(to);
        if (d > left) {
            dir = to * (1.0f / d);
            pos = pos + dir * left;
            left = 0.0f;
            break;
        }
        pos = goal;
        left -= d;
        if (d > 1e-3f)
            dir = to * (1.0f / d);
        if (n == 1)
            break;
        if (m_loop) {
            m_next = (m_next + 1) % n;
        } else {
            if (m_next + m_step < 0 || m_next + m_step >= n)
                m_step = -m_step;
            m_next += m_step;
        }
    }
    m_velocity = dir * m_pathSpeed;
    m_speed = m_pathSpeed;
    place(pos, dir);
}

void GroundTarget::update(float dt)
{
    if (!isActive() || !isAlive() || !std::isfinite(dt) || dt <= 0.0f)
        return;
    followPath(dt);
}

void GroundTarget::onDestroyed(CrashCause cause)
{
    const bool wasDestroyed = lifeState() == LifeState::Destroyed;
    Target::onDestroyed(cause);
    // One wreck per death: kind 0 buildings, 3 vehicles, 4 ships.
    if (!wasDestroyed && m_unit)
        startWreck(m_unit->model, static_cast<GibsKind>(gibsKind()), m_matrix, wreckVelocity(), m_wreckScale, 1);
    m_velocity = {};
    m_speed = 0.0f;
    // Whatever stood on a sinking deck is in the sea.
    if (m_deck)
        m_deck->releaseAll();
}

void GroundTarget::resetState()
{
    setHealth(maxHealth());
    Target::setLifeState(LifeState::Alive);
    place(m_start, m_startFacing);
    m_velocity = {};
    m_speed = 0.0f;
    setPath(std::move(m_path), m_loop);
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (Weapon* w = weapon(slot))
            w->refill(true);
    playerDamage = 0.0f;
}

bool GroundTarget::matchesClass(TargetClass c) const
{
    if (kind() == TargetKind::AirTarget)
        return c == TargetClass::Any || c == TargetClass::Air;
    return Target::matchesClass(c);
}

int GroundTarget::targetVariant() const { return m_unit ? m_unit->variant : -1; }

int GroundTarget::gibsKind() const
{
    if (m_unit)
        return std::clamp(m_unit->gibs, 0, 4);
    return matchesClass(TargetClass::Naval) ? 4 : 0;
}

Vec3 GroundTarget::wreckVelocity() const
{
    // A ship drifts on along its course; anything else is thrown upward.
    if (gibsKind() == 4)
        return m_facing * std::max(m_pathSpeed, 1.0f);
    return {0.0f, 200.0f, 0.0f};
}

void GroundTarget::dropReferencesTo(const Target& gone)
{
    Target::dropReferencesTo(gone);
    if (m_deck)
        m_deck->forget(gone);
}
