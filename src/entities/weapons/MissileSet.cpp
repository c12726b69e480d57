#include "entities/weapons/MissileSet.h"

#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/AreaDamage.h"
#include "effects/EffectScene.h"
#include "effects/particles/PSystem.h"
#include "effects/particles/ParticleEffects.h"
#include "effects/screen/ScreenSplats.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>

namespace {
// A torpedo that reaches ground higher than this has run ashore.
constexpr float kShoreHeight = 0.5f;
// A missile this close to a prop's shape bursts on it.
constexpr float kPropHitRadius = 1.5f;

// How far ahead of the player's airplane, in seconds of its flight, and how
// small the burst of a missile on it shows: the camera sits right behind it.
constexpr float kPlayerBurstLead = 0.15f;
constexpr float kPlayerBurstScale = 0.15f;

// A missile bursting on the player's own airplane throws oil over the view and flashes it.
void showHitOnPlayer()
{
    logInfo("entities", "a missile burst on the player's airplane at %.2f s", effectScene().time);
    ScreenSplats::spawn(ScreenSplats::kCount, ScreenSplats::kOil, 0.0f);
    ScreenSplats::setHitTimer(1.0f);
}
}  // namespace

MissileSet::MissileSet(IEntityHost& host) : m_host(&host) {}

MissileSet::~MissileSet() { clear(); }

void MissileSet::add(std::unique_ptr<Missile> missile)
{
    if (missile)
        m_missiles.push_back(std::move(missile));
}

Missile* MissileSet::at(int i) const
{
    return i >= 0 && i < count() ? m_missiles[static_cast<std::size_t>(i)].get() : nullptr;
}

void MissileSet::forget(const Target* t)
{
    for (auto& m : m_missiles)
        m->forget(t);
}

void MissileSet::clear()
{
    m_missiles.clear();
    m_dropped.clear();
}

void MissileSet::end(std::size_t index, End how, const Vec3& at)
{
    Missile& m = *m_missiles[index];
    switch (how) {
    case End::Detonated: {
        const bool underWater = m.position().y < m_host->waterLevelAt(m.position().x, m.position().z);
        const char* psc = m.isTorpedo() && underWater ? "torpedo_target_impact.psc" : "missile_explode_air.psc";
        const Target* hit = m.struckTarget() ? m.struckTarget() : m.target();
        const Target* player = m_host->playerAirplane();
        if (hit && hit == player) {
            if (PSystem* burst = spawnParticleEffect(psc, player->position() + player->velocity() * kPlayerBurstLead))
                burst->sizeFactor *= kPlayerBurstScale;
        } else {
            spawnParticleEffect(psc, at);
        }
        break;
    }
    case End::Water:
        spawnParticleEffect("missile_explode_water.psc", at);
        break;
    case End::Ground:
    case End::Shore:
        // Thrown up off the slope it hit, not straight up.
        spawnParticleEffect("missile_explode_ground.psc", at, m_host->clampPointToTerrain(at.x, at.z));
        break;
    case End::Prop:
        logInfo("entities", "a missile burst on a building at %.1f %.1f %.1f", at.x, at.y, at.z);
        spawnParticleEffect("missile_explode_air.psc", at);
        break;
    case End::Expired:
        break;
    }
    if (how == End::Water || how == End::Ground || how == End::Shore || how == End::Prop) {
        m.dropTarget();
        const WeaponCfg& r = m.record();
        if (r.blastRadius > 0.0f)
            applyAreaDamage(*m_host, m.owner(), m.ownerTeam(), at, r.blastRadius, blastDamageOf(r), &r, nullptr);
    }
    if (onEnd)
        onEnd(Ending{&m, how, at});
    if (how == End::Detonated) {
        const Target* hit = m.struckTarget() ? m.struckTarget() : m.target();
        const Target* player = m_host->playerAirplane();
        if (hit && hit == player)
            showHitOnPlayer();
        // The trail ends on what it hit, not a few units short of it.
        if (hit)
            m.endTrailAt(hit->position());
    }
    m_missiles.erase(m_missiles.begin() + static_cast<std::ptrdiff_t>(index));
}

void MissileSet::removeLaunchedBy(const Target* owner)
{
    if (!owner)
        return;
    for (std::size_t i = 0; i < m_missiles.size();) {
        Missile& m = *m_missiles[i];
        if (m.owner() != owner) {
            ++i;
        } else if (m_updating) {
            // The pass below is walking the list: it ends them after its walk.
            m_dropped.push_back(&m);
            m.forget(owner);
            ++i;
        } else {
            end(i, End::Expired, m.position());
        }
    }
}

std::optional<Vec3> MissileSet::propOnPath(const Vec3& from, const Vec3& to) const
{
    const float length = vec3Length(to - from);
    // Steps of the hit sphere's width leave no gap along the line.
    const float width = 2.0f * kPropHitRadius;
    const int steps = std::isfinite(length) ? std::clamp(static_cast<int>(length / width) + 1, 1, 64) : 1;
    for (int k = 1; k <= steps; ++k) {
        const Vec3 at = from + (to - from) * (static_cast<float>(k) / static_cast<float>(steps));
        if (m_host->hitsProp(at, kPropHitRadius))
            return at;
    }
    return std::nullopt;
}

void MissileSet::update(float dt)
{
    m_updating = true;
    updateAll(dt);
    m_updating = false;
    for (const Missile* dropped : m_dropped)
        for (std::size_t i = 0; i < m_missiles.size(); ++i)
            if (m_missiles[i].get() == dropped) {
                end(i, End::Expired, dropped->position());
                break;
            }
    m_dropped.clear();
}

void MissileSet::updateAll(float dt)
{
    for (std::size_t i = 0; i < m_missiles.size();) {
        Missile& m = *m_missiles[i];
        const Vec3 before = m.position();
        const bool spent = m.updateFlight(dt);
        if (spent) {
            m_host->onMissileHit(m);
            end(i, End::Detonated, m.position());
            continue;
        }
        if (m.remainingLife() <= 0.0f) {
            end(i, End::Expired, m.position());
            continue;
        }
        const Vec3 p = m.position();
        const float ground = m_host->groundHeightAt(p.x, p.z);
        // The sea, or a lake above it: each at its own level.
        const float water = m_host->waterLevelAt(p.x, p.z);
        if (m.canExplodeOnWater() && p.y < water && ground <= water) {
            end(i, End::Water, {p.x, water, p.z});
            continue;
        }
        if (p.y < ground && !m_host->findGroundTargetAt(p, 0.0f)) {
            if (!m.isTorpedo()) {
                end(i, End::Ground, {p.x, ground, p.z});
                continue;
            }
            if (p.y > water || ground > water + kShoreHeight) {
                // Dropped on land, or run ashore.
                end(i, p.y > water ? End::Expired : End::Shore, {p.x, ground, p.z});
                continue;
            }
        }
        // Into a building, or a torpedo into a pier: it bursts on it. The
        // frame's path is walked, so a fast missile does not pass through a
        // thin wall between two frames.
        if (const std::optional<Vec3> hit = propOnPath(before, p)) {
            end(i, End::Prop, *hit);
            continue;
        }
        // Warn the target; the nearest missile is the one it reacts to.
        if (Target* t = m.target()) {
            const IGameEntity* current = t->incomingMissile;
            if (!current || current == &m ||
                vec3DistanceSq(m.position(), t->position()) <
                    vec3DistanceSq(current->worldPosition(), t->position()))
                t->incomingMissile = &m;
        }
        ++i;
    }
}
