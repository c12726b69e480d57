#include "modes/TestPlacement.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/Flag.h"
#include "entities/ground/CarrierDeck.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/Tunnel.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/map/MapTrigger.h"
#include "gamedata/records/UnitCfg.h"
#include "render/assets/Model.h"
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
Target* placeOverLandmark(GameMode& mode, Airplane& me, bool last)
{
    const GameWorld* world = mode.world();
    const MapTrigger* first = nullptr;
    if (world)
        for (const MapTrigger* t : world->landmarkTriggers())
            if (!first || (last ? t->landmark > first->landmark : t->landmark < first->landmark))
                first = t;
    if (!first)
        return nullptr;
    const Vec3 at = first->pos;
    const float ground = std::max(mode.groundHeightAt(at.x, at.z), 0.0f);
    me.setPositionAndStop({at.x, std::max(ground, at.y) + TestPlacement::kOverLandmark, at.z});
    logInfo("modes", "test placement: the player's airplane over landmark %d", first->landmark);
    return &me;
}

// The nearest ship, or the nearest bridge, with its model loaded.
GroundTarget* nearestUnit(GameMode& mode, const Airplane& me, bool bridge)
{
    GroundTarget* best = nullptr;
    float bestSq = 0.0f;
    for (const auto& e : mode.entities()) {
        auto* unit = dynamic_cast<GroundTarget*>(e.get());
        if (!unit || !inPlay(*unit) || !unit->mapObject().modelData)
            continue;
        const bool isBridge = unit->unit() && unit->unit()->name == "bridge";
        if (bridge ? !isBridge : !isShip(*unit))
            continue;
        const float d = vec3DistanceSq(unit->position(), me.position());
        if (!best || d < bestSq) {
            best = unit;
            bestSq = d;
        }
    }
    return best;
}

// The first height of the column at (x, z) of the unit's model space, going
// from `from` toward `to`, where the point is inside the model; `to` when none.
float firstSolid(const GroundTarget& unit, float x, float z, float from, float to)
{
    const float step = from < to ? 0.25f : -0.25f;
    for (float y = from; step > 0.0f ? y < to : y > to; y += step)
        if (unit.modelContact(mat4TransformPoint(unit.matrix(), {x, y, z}), 0.0f))
            return y;
    return to;
}

// How far along `dir` both ways from `at` the ground stays clear under a
// pass at its height (at most kPassShort); below kPassShortest when it does
// not.
float clearReach(const GameMode& mode, const Vec3& at, const Vec3& dir)
{
    float reach = 0.0f;
    for (float s = 0.0f; s <= TestPlacement::kPassShort; s += 5.0f) {
        const Vec3 p = at + dir * s, q = at - dir * s;
        const float floor = at.y - TestPlacement::kGroundClearance;
        if (mode.groundHeightAt(p.x, p.z) > floor || mode.groundHeightAt(q.x, q.z) > floor)
            break;
        reach = s;
    }
    return reach;
}

// Level through a point of the unit's model space at the pass speed, along
// the one of the model's two directions `axis` and -`axis` with the more
// clear ground, as far short of it as that ground lets it be; false when
// the ground is in the way close by either way.
bool flyPast(GameMode& mode, Airplane& me, const Target& unit, const Mat4& matrix, const Vec3& local,
             const Vec3& axis, const char* what)
{
    const Vec3 at = mat4TransformPoint(matrix, local);
    Vec3 dir = vec3NormalizeOr(rotateVector3x3(matrix, axis), Vec3{0.0f, 0.0f, -1.0f});
    float reach = clearReach(mode, at, dir);
    if (const float back = clearReach(mode, at, dir * -1.0f); back > reach) {
        dir = dir * -1.0f;
        reach = back;
    }
    if (reach < TestPlacement::kPassShortest)
        return false;
    me.setOrientation(quatFromAngleY(std::atan2(-dir.x, -dir.z)));
    me.setPositionAndStop(at - dir * reach);
    me.setSpeed(TestPlacement::kPassSpeed);
    me.setThrottleForSpeed(TestPlacement::kPassSpeed);
    logInfo("modes", "test placement: the player's airplane passes %s of unit %d at %.1f %.1f %.1f heading %.3f %.3f, "
            "%.0f units short", what, unit.id(), at.x, at.y, at.z, dir.x, dir.z, reach);
    return true;
}

// Across the nearest ship's after deck, low enough to be inside the model's
// box (under its mast's height) and clear of the deck.
Target* placeOverDeck(GameMode& mode, Airplane& me)
{
    GroundTarget* ship = nearestUnit(mode, me, false);
    if (!ship)
        return nullptr;
    const Model& model = *ship->mapObject().modelData;
    const float z = 0.8f * model.boundsMax().z;  // ships face -z: this is aft
    const float deck = firstSolid(*ship, 0.0f, z, model.boundsMax().y, model.boundsMin().y);
    const Vec3 local{0.0f, deck + TestPlacement::kDeckClearance, z};
    logInfo("modes", "test placement: ship %d's after deck, its box reaching %.1f above it", ship->id(),
            model.boundsMax().y - deck);
    if (!flyPast(mode, me, *ship, ship->matrix(), local, {1.0f, 0.0f, 0.0f}, "low across the after deck"))
        return nullptr;
    return &me;
}

// Under the nearest bridge's deck, halfway between the deck and its base,
// across it through the middle span.
Target* placeUnderBridge(GameMode& mode, Airplane& me)
{
    GroundTarget* bridge = nearestUnit(mode, me, true);
    if (!bridge)
        return nullptr;
    const Model& model = *bridge->mapObject().modelData;
    const float underside = firstSolid(*bridge, 0.0f, 0.0f, 0.0f, model.boundsMax().y);
    logInfo("modes", "test placement: bridge %d's deck is %.1f over its base", bridge->id(), underside);
    if (!flyPast(mode, me, *bridge, bridge->matrix(), {0.0f, 0.5f * underside, 0.0f}, {0.0f, 0.0f, 1.0f},
                 "under the deck"))
        return nullptr;
    return &me;
}

// Through the nearest tunnel along its bore, at the bore's middle.
Target* placeThroughTunnel(GameMode& mode, Airplane& me)
{
    Target* best = nullptr;
    for (Target* t : mode.tunnels())
        if (!best || vec3DistanceSq(t->position(), me.position()) < vec3DistanceSq(best->position(), me.position()))
            best = t;
    const auto* tunnel = dynamic_cast<const Tunnel*>(best);
    if (!tunnel || !flyPast(mode, me, *tunnel, tunnel->matrix(), {}, {0.0f, 0.0f, 1.0f}, "through the tunnel"))
        return nullptr;
    return &me;
}

// The nearest floating enemy unit of the kind.
Target* nearestEnemyUnit(GameMode& mode, const Airplane& me, TargetKind kind)
{
    Target* best = nullptr;
    for (const auto& e : mode.entities())
        if (e->kind() == kind && inPlay(*e) && e->team() != me.team() &&
            (!best || vec3DistanceSq(e->position(), me.position()) < vec3DistanceSq(best->position(), me.position())))
            best = e.get();
    return best;
}

// Short of the nearest enemy carrier or submarine, the nose on its middle,
// where the rockets cannot miss it.
Target* placeAtShip(GameMode& mode, Airplane& me, TargetKind kind)
{
    Target* ship = nearestEnemyUnit(mode, me, kind);
    if (!ship)
        return nullptr;
    const Vec3 aim = ship->position() + Vec3{0.0f, TestPlacement::kSinkAim, 0.0f};
    const Vec3 flat = vec3NormalizeOr(Vec3{me.position().x - aim.x, 0.0f, me.position().z - aim.z},
                                      Vec3{0.0f, 0.0f, 1.0f});
    const Vec3 at = aim + flat * TestPlacement::kSinkShort + Vec3{0.0f, TestPlacement::kSinkAbove, 0.0f};
    const Vec3 to = vec3NormalizeOr(aim - at, Vec3{0.0f, 0.0f, -1.0f});
    Quat q;
    quatFromDirectionTo(q, to);
    me.setOrientation(q);
    me.setPositionAndStop(at);
    me.setSpeed(TestPlacement::kPassSpeed * 0.5f);
    me.setThrottleForSpeed(TestPlacement::kPassSpeed * 0.5f);
    logInfo("modes", "test placement: the player's airplane aims at %s %d", kind == TargetKind::Carrier ? "carrier" : "submarine",
            ship->id());
    return ship;
}

// Slow over the after end of the nearest carrier of the player's side, a little
// above its deck, heading for the bow: where its wires catch an airplane.
Target* placeOverCarrierDeck(GameMode& mode, Airplane& me)
{
    GroundTarget* carrier = nullptr;
    for (const auto& e : mode.entities()) {
        auto* ship = dynamic_cast<GroundTarget*>(e.get());
        if (ship && ship->deck() && inPlay(*ship) && ship->team() == me.team() &&
            (!carrier || vec3DistanceSq(ship->position(), me.position()) <
                             vec3DistanceSq(carrier->position(), me.position())))
            carrier = ship;
    }
    if (!carrier || !carrier->mapObject().modelData)
        return nullptr;
    const float aft = 0.7f * carrier->mapObject().modelData->boundsMax().z;  // ships face -z
    Vec3 at = mat4TransformPoint(carrier->matrix(), {0.0f, 0.0f, aft});
    at.y = carrier->deck()->deckHeight() + me.dimensions().groundOffset + TestPlacement::kOverDeck;
    const Vec3 bow = vec3NormalizeOr(rotateVector3x3(carrier->matrix(), {0.0f, 0.0f, -1.0f}), Vec3{0.0f, 0.0f, -1.0f});
    me.setOrientation(quatFromAngleY(std::atan2(-bow.x, -bow.z)));
    me.setPositionAndStop(at);
    me.setSpeed(TestPlacement::kLandingSpeed);
    me.setThrottleForSpeed(TestPlacement::kLandingSpeed);
    logInfo("modes", "test placement: the player's airplane comes in over the deck of carrier %d at %.1f %.1f %.1f",
            carrier->id(), at.x, at.y, at.z);
    return &me;
}

// Level at the nearest standing building of the map, at its middle height.
Target* placeAtBuilding(GameMode& mode, Airplane& me)
{
    const GameWorld* world = mode.world();
    if (!world)
        return nullptr;
    const EditorItem* best = nullptr;
    float bestSq = 0.0f;
    for (int i = 0; i < world->itemCount(); ++i) {
        const EditorItem* item = world->item(i);
        if (item->kind != EditorItem::kProp || !item->modelData || item->isRoad() ||
            item->boxMax.y - item->boxMin.y < TestPlacement::kBuildingHeight)
            continue;
        const float d = vec3DistanceSq((item->boxMin + item->boxMax) * 0.5f, me.position());
        if (!best || d < bestSq) {
            best = item;
            bestSq = d;
        }
    }
    if (!best)
        return nullptr;
    const Vec3 centre = (best->boxMin + best->boxMax) * 0.5f;
    const Vec3 from = me.position() - centre;
    const Vec3 back = vec3NormalizeOr(Vec3{from.x, 0.0f, from.z}, Vec3{0.0f, 0.0f, 1.0f});
    me.setOrientation(quatFromAngleY(std::atan2(back.x, back.z)));
    me.setPositionAndStop(centre + back * TestPlacement::kBuildingShort);
    logInfo("modes", "test placement: the player's airplane heads for building %s at %.0f %.0f %.0f",
            best->name.c_str(), centre.x, centre.y, centre.z);
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
    if (name == "deck")
        return Kind::Deck;
    if (name == "bridge")
        return Kind::Bridge;
    if (name == "building")
        return Kind::Building;
    if (name == "tunnel")
        return Kind::Tunnel;
    if (name == "carrier")
        return Kind::Carrier;
    if (name == "submarine")
        return Kind::Submarine;
    if (name == "lastlandmark")
        return Kind::LastLandmark;
    if (name == "landing")
        return Kind::Landing;
    if (name == "burning")
        return Kind::Burning;
    if (name == "flagaway")
        return Kind::FlagAway;
    if (name == "burningfoe")
        return Kind::BurningFoe;
    return Kind::None;
}

Target* TestPlacement::place(GameMode& mode, Kind kind)
{
    Airplane* me = mode.playerAirplane();
    if (!me || !inPlay(*me) || mode.playStopped)
        return nullptr;
    switch (kind) {
    case Kind::Foe: return placeFoe(mode, *me);
    case Kind::BurningFoe:
        if (Target* foe = placeFoe(mode, *me)) {
            static_cast<Airplane*>(foe)->setFlightState(FlightState::Fire, kFireTime);
            logInfo("modes", "test placement: airplane %d burns", foe->id());
            return foe;
        }
        return nullptr;
    case Kind::Flag:
    case Kind::FlagAway: return placeOverFlag(mode, *me);
    case Kind::Ship: return placeNearShip(mode, *me);
    case Kind::Landmark: return placeOverLandmark(mode, *me, false);
    case Kind::LastLandmark: return placeOverLandmark(mode, *me, true);
    case Kind::Tunnel: return placeThroughTunnel(mode, *me);
    case Kind::Landing: return placeOverCarrierDeck(mode, *me);
    case Kind::Carrier: return placeAtShip(mode, *me, TargetKind::Carrier);
    case Kind::Submarine: return placeAtShip(mode, *me, TargetKind::Submarine);
    case Kind::Deck: return placeOverDeck(mode, *me);
    case Kind::Bridge: return placeUnderBridge(mode, *me);
    case Kind::Building: return placeAtBuilding(mode, *me);
    case Kind::Burning:
        me->setHealth(std::min(me->health(), kBurningHealth));
        me->updateDamageLevels();
        logInfo("modes", "test placement: the player's airplane burns");
        return me;
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

bool TestPlacement::carryFlagAway(GameMode& mode)
{
    Airplane* me = mode.playerAirplane();
    Flag *own = nullptr, *enemy = nullptr;
    if (!me || !inPlay(*me) || mode.playStopped || !flagsOf(mode, *me, own, enemy) || enemy->carrier() != me)
        return false;
    // The arena as the mode bounds it: round the middle of the two homes.
    const Vec3 a = own->homePosition(), b = enemy->homePosition();
    const Vec3 centre{(a.x + b.x) * 0.5f, 0.0f, (a.z + b.z) * 0.5f};
    const float radius = std::hypot(a.x - b.x, a.z - b.z) * 0.5f + GameModeCTF::kArenaMargin;
    const Vec3 out = vec3NormalizeOr(Vec3{a.x - centre.x, 0.0f, a.z - centre.z}, Vec3{0.0f, 0.0f, 1.0f});
    Vec3 at = centre + out * (radius + kPastArena);
    at.y = std::max(me->position().y, mode.groundHeightAt(at.x, at.z) + kOverFlag);
    me->setOrientation(quatFromAngleY(std::atan2(-out.x, -out.z)));
    me->setPositionAndStop(at);
    Airplane* foe = nearestFoe(mode, *me);
    if (foe) {
        mode.detachAI(*foe);
        foe->setControlVector({});
        foe->setOrientation(me->orientation());
        foe->setPositionAndStop(at - me->forward() * kShooterBehind);
        foe->setSpeed(me->speed());
        (void)mode.launchWeaponById(kHeatSeeker, foe, me, foe->position());
    }
    logInfo("modes", "test placement: the player's airplane carries the enemy flag out of the arena%s",
            foe ? ", a missile behind it" : "");
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

bool TestPlacement::targetFloats(const GameMode& mode) const
{
    for (const auto& e : mode.entities())
        if (e->id() == m_shipId && (e->kind() == TargetKind::Carrier || e->kind() == TargetKind::Submarine))
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
    if ((m_kind == Kind::Flag || m_kind == Kind::FlagAway) && m_placed == 1) {
        if (m_inPlay < kCarryTime)
            return false;
        m_inPlay = 0.0f;
        if (m_kind == Kind::Flag ? bringFlagHome(mode) : carryFlagAway(mode)) {
            m_placed = 2;
            m_done = true;
            return true;
        }
        m_placed = 0;
        return false;
    }
    const bool sinking = m_kind == Kind::Carrier || m_kind == Kind::Submarine;
    if (sinking && m_placed > 0 && !targetFloats(mode)) {
        logInfo("modes", "test placement: the ship the player aimed at is down");
        m_done = true;
        return false;
    }
    if (m_inPlay < (sinking && m_placed > 0 ? kSinkAgain : kDelay))
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
    if (sinking) {
        // Aimed at again while it floats, a few times at most.
        m_shipId = placed->id();
        m_done = m_placed >= kSinkPasses;
        return true;
    }
    // Foes come three times and the flag twice; the others place once.
    m_done = m_kind == Kind::Foe ? m_placed >= kFoes : m_kind != Kind::Flag && m_kind != Kind::FlagAway;
    return true;
}
