#include "entities/weapons/BulletPool.h"

#include "entities/EntitySounds.h"
#include "entities/IEntityHost.h"
#include "entities/Target.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/WeaponMath.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"

#include <cmath>

BulletPool& BulletPool::instance()
{
    static BulletPool pool;
    return pool;
}

BulletPool::BulletPool()
{
    m_active.reserve(kCapacity);
    clear();
}

void BulletPool::clear()
{
    m_bullets.fill(Bullet{});
    m_active.clear();
    m_free.clear();
    for (int i = kCapacity - 1; i >= 0; --i)
        m_free.push_back(i);
    m_fired = m_hits = 0;
    m_passByCooldown = 0.0f;
}

bool BulletPool::fire(Target* owner, int team, const WeaponCfg& record, const Vec3& position, const Vec3& velocity)
{
    if (m_free.empty())
        return false;
    const int index = m_free.back();
    m_free.pop_back();
    Bullet& b = m_bullets[static_cast<std::size_t>(index)];
    b = Bullet{position, velocity, record.life > 0.0f ? record.life : 1.5f, owner, &record, team, false};
    m_active.push_back(index);
    ++m_fired;
    return true;
}

void BulletPool::beginFrame() { m_fired = m_hits = 0; }

void BulletPool::kill(std::size_t slot)
{
    const int index = m_active[slot];
    m_bullets[static_cast<std::size_t>(index)].life = 0.0f;
    m_bullets[static_cast<std::size_t>(index)].owner = nullptr;
    m_free.push_back(index);
    m_active[slot] = m_active.back();
    m_active.pop_back();
}

void BulletPool::forget(const Target* t)
{
    for (Bullet& b : m_bullets)
        if (b.owner == t)
            b.owner = nullptr;
}

void BulletPool::update(float dt, IEntityHost& host)
{
    if (!(dt > 0.0f))
        return;
    m_passByCooldown -= dt;
    // What every bullet tests against, gathered once a frame.
    m_candidates.clear();
    for (Target* t : host.activeTargets()) {
        if (!t || !t->isActive() || !t->isAlive() || !t->isTargetable())
            continue;
        const Vec3 v = t->velocity();
        m_candidates.push_back({t, t->position(), v, t->radius(), t->radius() + vec3Length(v) * dt, t->team()});
    }
    const Airplane* player = host.playerAirplane();
    for (std::size_t slot = m_active.size(); slot-- > 0;) {
        Bullet& b = m_bullets[static_cast<std::size_t>(m_active[slot])];
        b.life -= dt;
        if (b.life <= 0.0f) {
            kill(slot);
            continue;
        }
        const Vec3 from = b.position;
        const Vec3 to = from + b.velocity * dt;
        const float travel = vec3Length(b.velocity) * dt;
        Target* victim = nullptr;
        float bestS = 2.0f;
        Vec3 hitPoint;
        for (const Candidate& c : m_candidates) {
            if (c.target == b.owner || (b.team != kTeamNone && c.team == b.team))
                continue;
            // Quick reject: farther than the radius plus this step's travel of both.
            const float reach = c.reach + travel;
            const float dx = to.x - c.position.x, dy = to.y - c.position.y, dz = to.z - c.position.z;
            if (dx * dx + dy * dy + dz * dz > reach * reach)
                continue;
            const Vec3 before = c.position - c.velocity * dt;
            const Vec3 a = from - before, e = to - c.position;
            const float s = closestParameter(a, e, Vec3{});
            const Vec3 off = a + (e - a) * s;
            if (vec3Dot(off, off) >= c.radius * c.radius || s >= bestS)
                continue;
            const Vec3 point = before + (c.position - before) * s + off;
            if (!c.target->isAlive() || !c.target->ownHitCheck(point, 0.5f))
                continue;
            victim = c.target;
            bestS = s;
            hitPoint = point;
        }
        if (victim) {
            Target* shooter = b.owner;
            const WeaponCfg* record = b.record;
            kill(slot);
            ++m_hits;
            host.damageTarget(*victim, shooter, record->damage, hitPoint, record);
            if (shooter)
                host.onGunShots(*shooter, 0, 1);
            continue;
        }
        if (to.y < host.groundHeightAt(to.x, to.z)) {
            kill(slot);
            continue;
        }
        if (player && !b.heard && b.owner != player && b.team != player->team() &&
            segmentDistanceSq(from, to, player->position()) < kPassByDistance * kPassByDistance) {
            b.heard = true;
            if (m_passByCooldown <= 0.0f) {
                m_passByCooldown = kPassByInterval;
                playSource(globalSources().bulletPassBy[randModulo(2) == 0 ? 0 : 1]);
            }
        }
        b.position = to;
    }
}
