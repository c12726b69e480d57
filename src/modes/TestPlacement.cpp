#include "modes/TestPlacement.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapTrigger.h"
#include "modes/GameMode.h"
#include "modes/kinds/GameModeCTF.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>

namespace {
bool inPlay(const Target& t) { return t.isActive() && t.isAlive(); }

Airplane* nearestFoe(GameMode& mode, const Airplane& me)
{
    Airplane* best = nullptr;
    float bestSq = 0.0f;
    for (const auto& e : mode.entities()) {
        if (e->kind() != TargetKind::Airplane || e.get() == &me || !inPlay(*e))
            continue;
        if (mode.gameType() != GameType::FreeForAll && e->team() == me.team())
            continue;
        const float d = vec3DistanceSq(e->position(), me.position());
        if (!best || d < bestSq) {
            best = static_cast<Airplane*>(e.get());
            bestSq = d;
        }
    }
    return best;
}

Target* placeFoe(GameMode& mode, Airplane& me)
{
    Airplane* foe = nearestFoe(mode, me);
    if (!foe)
        return nullptr;
    // Without its pilot it holds the heading it is given.
    mode.detachAI(*foe);
    foe->setControlVector({});
    foe->setOrientation(me.orientation());
    foe->setPositionAndStop(me.position() + me.forward() * TestPlacement::kFoeAhead);
    foe->setSpeed(me.speed());
    foe->setThrottleForSpeed(me.speed());
    logInfo("modes", "test placement: airplane %d flies ahead of the player's guns", foe->id());
    return foe;
}

// The flags of the player's side and the other; false outside capture the flag.
bool flagsOf(GameMode& mode, const Airplane& me, Flag*& own, Flag*& enemy)
{
    auto* ctf = dynamic_cast<GameModeCTF*>(&mode);
    if (!ctf)
        return false;
    own = ctf->flagOfTeam(me.team());
    enemy = ctf->flagOfTeam(me.team() == 0 ? 1 : 0);
    return own && enemy;
}

// Over the point, heading from the enemy flag's home to its own.
void putOver(Airplane& me, const Vec3& point, const Flag& own, const Flag& enemy)
{
    const Vec3 from = enemy.homePosition();
    const Vec3 home = own.homePosition();
    me.setOrientation(quatFromAngleY(std::atan2(from.x - home.x, from.z - home.z)));
    me.setPositionAndStop(point + Vec3{0.0f, TestPlacement::kOverFlag, 0.0f});
}

Target* placeOverFlag(GameMode& mode, Airplane& me)
{
    Flag *own = nullptr, *enemy = nullptr;
    if (!flagsOf(mode, me, own, enemy))
        return nullptr;
    putOver(me, enemy->position(), *own, *enemy);
    logInfo("modes", "test placement: the player's airplane over the enemy flag");
    return &me;
}
bool isShip(const Target& t)
{
    const TargetKind k = t.kind();
    return k == TargetKind::Ship || k == TargetKind::Ship2 || k == TargetKind::Carrier;
}

// Low and level toward the nearest ship, heading on as before, the ship a
// little to the right of the nose.
Target* placeNearShip(GameMode& mode, Airplane& me)
{
    Target* ship = nullptr;
    float bestSq = 0.0f;
    for (const auto& e : mode.entities()) {
        if (!isShip(*e) || !inPlay(*e))
            continue;
        const float d = vec3DistanceSq(e->position(), me.position());
        if (!ship || d < bestSq) {
            ship = e.get();
            bestSq = d;
        }
    }
    if (!ship)
        return nullptr;
    const Vec3 ahead = vec3NormalizeOr(Vec3{me.forward().x, 0.0f, me.forward().z}, Vec3{0.0f, 0.0f, -1.0f});
    const Vec3 right{-ahead.z, 0.0f, ahead.x};
    Vec3 at = ship->position() - ahead * TestPlacement::kShipShort - right * TestPlacement::kShipAside;
    at.y = std::max(mode.groundHeightAt(at.x, at.z), 0.0f) + TestPlacement::kShipAbove;
    me.setOrientation(quatFromAngleY(std::atan2(-ahead.x, -ahead.z)));
    me.setPositionAndStop(at);
    logInfo("modes", "test placement: the player's airplane flies toward ship %d", ship->id());
    return &me;
}
Target* placeOverLandmark(GameMode& mode, Airplane& me)
{
    const GameWorld* world = mode.world();
    const MapTrigger* first = nullptr;
    if (world)
        for (const MapTrigger* t : world->landmarkTriggers())
            if (!first || t->landmark < first->landmark)
                first = t;
    if (!first)
        return nullptr;
    const Vec3 at = first->pos;
    const float ground = std::max(mode.groundHeightAt(at.x, at.z), 0.0f);
    me.setPositionAndStop({at.x, std::max(ground, at.y) + TestPlacement::kOverLandmark, at.z});
    logInfo("modes", "test placement: the player's airplane over landmark %d", first->landmark);
    return &me;
}
}  // namespace

TestPlacement::Kind TestPlacement::kindByName(std::string_view name)
{
    if (name == "foe")
        return Kind::Foe;
    if (name == "flag")
        return Kind::Flag;
    if (name == "ship")
        return Kind::Ship;
    if (name == "landmark")
        return Kind::Landmark;
    return Kind::None;
}

Target* TestPlacement::place(GameMode& mode, Kind kind)
{
    Airplane* me = mode.playerAirplane();
    if (!me || !inPlay(*me) || mode.playStopped)
        return nullptr;
    switch (kind) {
    case Kind::Foe: return placeFoe(mode, *me);
    case Kind::Flag: return placeOverFlag(mode, *me);
    case Kind::Ship: return placeNearShip(mode, *me);
    case Kind::Landmark: return placeOverLandmark(mode, *me);
    case Kind::None: break;
    }
    return nullptr;
}

bool TestPlacement::bringFlagHome(GameMode& mode)
{
    Airplane* me = mode.playerAirplane();
    Flag *own = nullptr, *enemy = nullptr;
    if (!me || !inPlay(*me) || mode.playStopped || !flagsOf(mode, *me, own, enemy) || enemy->carrier() != me)
        return false;
    putOver(*me, own->homePosition(), *own, *enemy);
    logInfo("modes", "test placement: the player's airplane carries the enemy flag over its own");
    return true;
}

bool TestPlacement::foeHeld(const GameMode& mode) const
{
    if (m_foeId < 0)
        return false;
    for (const auto& e : mode.entities())
        if (e->id() == m_foeId && e->kind() == TargetKind::Airplane)
            return inPlay(*e);
    return false;
}

bool TestPlacement::update(GameMode& mode, float dt)
{
    if (m_done || m_kind == Kind::None)
        return false;
    const Airplane* me = mode.playerAirplane();
    if (!me || !inPlay(*me) || mode.playStopped || !std::isfinite(dt))
        return false;
    // The next foe comes once the last one is down.
    if (foeHeld(mode)) {
        m_inPlay = 0.0f;
        return false;
    }
    m_inPlay += dt;
    // Over the enemy flag, the flag it took goes home; a player who lost it
    // on the way starts over.
    if (m_kind == Kind::Flag && m_placed == 1) {
        if (m_inPlay < kCarryTime)
            return false;
        m_inPlay = 0.0f;
        if (bringFlagHome(mode)) {
            m_placed = 2;
            m_done = true;
            return true;
        }
        m_placed = 0;
        return false;
    }
    if (m_inPlay < kDelay)
        return false;
    m_inPlay = 0.0f;
    const Target* placed = place(mode, m_kind);
    if (!placed) {
        // A match that has nothing to place stops asking.
        m_done = true;
        logWarning("modes", "test placement: nothing to place in this match");
        return false;
    }
    ++m_placed;
    m_foeId = m_kind == Kind::Foe ? placed->id() : -1;
    m_done = (m_kind == Kind::Foe && m_placed >= kFoes) || m_kind == Kind::Ship || m_kind == Kind::Landmark;
    return true;
}
