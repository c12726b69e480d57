#include "modes/GameMode.h"

#include "entities/TimedPoints.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/CarrierDeck.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/WeaponCfg.h"
#include "entities/weapons/WeaponUpdate.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "entities/ground/Road.h"
#include "modes/IGameListener.h"
#include "platform/FrameProfile.h"
#include "platform/Log.h"
#include "platform/Settings.h"

#include <algorithm>

namespace {
constexpr float kNearDrawDistanceSq = 62500.0f;  // 250 units
// The aim assist lets go of a target further off the nose than this (cosine).
constexpr float kAimAssistCone = 0.7f;

bool isCrashGround(CrashCause c)
{
    return c == CrashCause::Ground || c == CrashCause::Water || c == CrashCause::Prop;
}

// An airplane standing on the ship's deck.
bool standsOn(const Target& airplane, const Target& ship)
{
    if (airplane.kind() != TargetKind::Airplane)
        return false;
    const CarrierDeck* deck = static_cast<const Airplane&>(airplane).carrier();
    return deck && &deck->ship() == &ship;
}

bool hasDeck(Target& t)
{
    if (t.kind() != TargetKind::Carrier)
        return false;
    auto* ship = dynamic_cast<GroundTarget*>(&t);
    return ship && ship->deck();
}

// The reach of an entity's body against another's model: an airplane's
// sphere spans its wings, so half of it, as against props.
float bodyRadius(const Target& t)
{
    return t.kind() == TargetKind::Airplane ? 0.5f * t.radius() : t.radius();
}
}  // namespace

void GameMode::update(float dt)
{
    setGameClock(gameClock() + dt);
    updateWeather(dt);
    if (m_listener)
        m_listener->update(IGameListener::Phase::Receive);
    if (!playStopped) {
        updateProximity();
        {
            ProfileScope timed(FrameLib::Simulation);
            updateEntities(dt);
        }
        updateFlightSounds();
        for (const auto& road : m_roads)
            road->update(dt);
        updateSquadrons();
        if (Airplane* player = m_playerAirplane; player && player->isActive()) {
            ProfileScope timed(FrameLib::Simulation);
            player->runAI(dt);  // the autopilot, when it flies
            // The missiles below warn it anew.
            player->incomingMissile = nullptr;
            player->update(dt);
            player->drawClass = 1;
            updateFlightHint();
            for (int slot = 0; slot < kWeaponSlots; ++slot)
                if (Weapon* w = player->weapon(slot); w && w->isEnabled())
                    w->updateTargeting(dt);
        }
        if (playerHitCooldown != 0.0f)
            playerHitCooldown -= dt;
        TimedPoints::instance().update(dt);
        {
            ProfileScope timed(FrameLib::Simulation);
            updateMissiles(dt);
            updateWeapons(dt);
        }
        updateParachutes(dt);
        updateCameraFollow(dt);
        updateRespawns(dt);
        checkTriggers();
        runMapScript(dt);
    } else {
        // A stopped game falls silent: alarm, engines, warning and cruise off.
        updateFlightSounds();
        updateMissileSounds();
    }
    if (m_listener)
        m_listener->update(IGameListener::Phase::Send);
    // Entities removed during the frame go now that nothing walks the lists.
    deletePending();
}

void GameMode::runFrame(float dt)
{
    update(dt);
    if (m_listener)
        m_listener->sendEvents();
}

void GameMode::updateProximity()
{
    m_nearestAirplane = nullptr;
    float best = 1e37f;
    Vec3 camera;
    const bool hasCamera = m_hooks.cameraOrNone().position(camera);
    DistanceTable& table = distanceTable();
    for (std::size_t i = 0; i < m_active.size(); ++i) {
        Target& a = *m_active[i];
        for (std::size_t j = i + 1; j < m_active.size(); ++j)
            table.set(a.id(), m_active[j]->id(), vec3DistanceSq(a.position(), m_active[j]->position()));
        a.cameraDistanceSq = hasCamera ? vec3DistanceSq(a.position(), camera) : 0.0f;
        if (a.kind() == TargetKind::Airplane && &a != m_playerAirplane && a.cameraDistanceSq < best) {
            best = a.cameraDistanceSq;
            m_nearestAirplane = &a;
        }
    }
}

void GameMode::updateEntities(float dt)
{
    // The passes below may take entities out of play: each walks a copy.
    const std::vector<Target*> active = m_active;
    for (Target* e : active) {
        if (!e->isActive())
            continue;
        // Each AI steers once a frame, before its entity moves.
        if (e != m_playerAirplane) {
            e->runAI(dt);
            e->update(dt);
        }
        // An entity beyond its furthest class is hidden until it comes nearer again.
        const int drawClass = drawClassFor(e->cameraDistanceSq);
        e->drawClass = e->maxDrawClass() < drawClass ? 0 : drawClass;
        // The player's airplane keeps its warning until its autopilot has read it above.
        if (e != m_playerAirplane)
            e->incomingMissile = nullptr;
        e->groundHeight = groundHeightAt(e->position().x, e->position().z);
    }
    if (m_type == GameType::MenuBackground)
        return;

    // Every crash is found before any is applied, so that the order of the
    // list does not decide which of two colliding parties goes down.
    struct Crash {
        Target* e;
        CrashCause cause;
        Target* other;
        bool spent = false;
    };
    std::vector<Crash> crashes;
    crashes.reserve(active.size());
    for (Target* e : active) {
        if (!e->isActive())
            continue;
        CrashCause cause = CrashCause::None;
        if (e->position().y < 0.0f)
            cause = CrashCause::Water;
        else if (e->isSubjectToGroundCrashes() && e->position().y < e->groundHeight)
            cause = CrashCause::Ground;
        else if (checkPropCollision(*e))
            cause = CrashCause::Prop;
        Target* other = nullptr;
        if (e->checksCollisions)
            if (const CrashCause hit = collisionCause(*e, other); hit != CrashCause::None)
                cause = hit;
        crashes.push_back({e, cause, other, false});
    }
    const bool serverOrSingle = isNetworkServer() || isSinglePlayer();
    for (const Crash& crash : crashes) {
        Target* e = crash.e;
        const CrashCause cause = crash.cause;
        Target* other = crash.other;
        if (!e->isActive() || crash.spent)
            continue;
        if (!serverOrSingle || e->health() > 0.0f || !e->isAlive()) {
            if (cause == CrashCause::None || !e->acceptsCrashCause(cause))
                continue;
            // Each side decides only the crashes it owns.
            if (isNetworkServer() && e->networkRole == NetworkRole::RemoteClient && isCrashGround(cause))
                continue;
            if (isNetworkClient() && (!isCrashGround(cause) || e->networkRole != NetworkRole::Local))
                continue;
            // A wreck sinking in the sea meets the water every frame: one line a fall.
            if (e == m_playerAirplane && e->lifeState() != LifeState::Destroyed)
                logInfo("modes", "the player's airplane crashes (cause %d%s) at %.1f %.1f %.1f over ground at %.1f",
                        static_cast<int>(cause), other ? ", with another airplane" : "", e->position().x,
                        e->position().y, e->position().z, e->groundHeight);
            onAirplaneDestroyedNoKiller(*e, other, cause);
            if (other && other->isActive() && other->isAlive()) {
                onAirplaneDestroyedNoKiller(*other, e, cause);
                // The pair went down together: the other's own finding of it is spent.
                for (Crash& c : crashes)
                    if (c.e == other)
                        c.spent = true;
            }
        } else {
            onAirplaneDestroyed(*e, e->lastAttacker, CrashCause::KilledByDamage);
        }
    }

    const std::vector<Target*> after = m_active;
    for (Target* e : after) {
        if (e->lifeState() != LifeState::Destroyed)
            continue;
        const bool collision =
            e->deathCause == CrashCause::Collision || e->deathCause == CrashCause::CollisionPair;
        // A remote side's entity waits for its owner's removal message.
        if (isNetworkClient() && e->networkRole != NetworkRole::Local && !collision)
            continue;
        if (isNetworkServer() && e->networkRole == NetworkRole::RemoteClient && !collision)
            continue;
        deleteAirplane(*e);
    }
    updateAimAssist();
}

int GameMode::drawClassFor(float distanceSq) const
{
    if (distanceSq < kNearDrawDistanceSq)
        return 1;
    const IModeScene& scene = m_services.sceneOrNone();
    if (distanceSq < scene.farDistanceSq(0))
        return 2;
    return distanceSq < scene.farDistanceSq(1) ? 3 : 4;
}

void GameMode::updateDistanceClasses(float dt)
{
    Vec3 camera;
    const bool hasCamera = m_hooks.cameraOrNone().position(camera);
    for (Target* e : m_active) {
        e->updateVisual(dt);
        e->cameraDistanceSq = hasCamera ? vec3DistanceSq(e->position(), camera) : 0.0f;
        const int drawClass = drawClassFor(e->cameraDistanceSq);
        e->drawClass = e->maxDrawClass() < drawClass ? 0 : drawClass;
    }
}

void GameMode::updateAimAssist()
{
    const bool had = m_aimAssistTarget != nullptr;
    m_aimAssistTarget = nullptr;
    if (settings().aimAssist && isSinglePlayer() && !playStopped)
        chooseAimAssistTarget();
    if (!had && m_aimAssistTarget)
        logInfo("modes", "the aim assist turns the player's guns to a target");
    // The player's guns fire at the lead point while there is a target, else
    // straight ahead.
    if (Airplane* player = m_playerAirplane) {
        const Vec3 aim = m_aimAssistTarget ? m_aimAssistDirection : Vec3{};
        for (int slot = 0; slot < kWeaponSlots; ++slot)
            if (Weapon* w = player->weapon(slot); w && w->isGun())
                w->setAimDirection(aim);
    }
}

void GameMode::chooseAimAssistTarget()
{
    m_aimAssistTarget = m_hooks.hudOrNone().aimAssistCandidate();
    const Airplane* player = m_playerAirplane;
    if (!m_aimAssistTarget || !player)
        return;
    const Weapon* first = player->weapon(0);
    const float speed = (first ? first->record().speed : 0.0f) + player->speed();
    const Vec3 lead = leadPointPrecise(player->position(), *m_aimAssistTarget, speed);
    m_aimAssistDirection = vec3NormalizeOr(lead - player->position(), player->forward());
    if (vec3Dot(m_aimAssistDirection, player->forward()) < kAimAssistCone)
        m_aimAssistTarget = nullptr;
}

void GameMode::setTriggerHeld(int group, bool held)
{
    const unsigned bit = 1u << (group & 7);
    m_triggersHeld = held ? (m_triggersHeld | bit) : (m_triggersHeld & ~bit);
    if (m_triggersHeld == 0)
        m_cameraSubject = nullptr;
}

void GameMode::updateCameraFollow(float dt)
{
    IModeCamera& camera = m_hooks.cameraOrNone();
    // A scripted path view is never taken over.
    if (camera.mode() == IModeCamera::kPathView)
        m_cameraSubject = nullptr;
    if (m_cameraSubject != m_playerMissile)
        m_cameraSubject = nullptr;
    if (camera.mode() == IModeCamera::kSubjectView && camera.subject() != m_cameraSubject) {
        camera.setSubject(nullptr, 0.0f);
        camera.setChosenView();
        logInfo("modes", "the view is the player's own again");
    }
    if (m_cameraSubject && m_cameraDelay > 0.0f) {
        m_cameraDelay -= dt;
        if (m_cameraDelay < 0.0f) {
            camera.setSubject(m_cameraSubject, 0.0f);
            camera.setMode(IModeCamera::kSubjectView);
            logInfo("modes", "the view follows the player's missile");
        }
    }
}

void GameMode::setCameraTarget(const Vec3* point, bool copy, float duration)
{
    m_hooks.cameraOrNone().setTarget(point, copy, duration);
}

void GameMode::setCameraSubject(const IGameEntity* subject, float value)
{
    m_hooks.cameraOrNone().setSubject(subject, value);
}

void GameMode::createCameraView(const Vec3* points, int count, float speed)
{
    m_hooks.cameraOrNone().createView(points, count, speed);
}

bool GameMode::drawBombMarker(const DrawView& view)
{
    Airplane* player = m_playerAirplane;
    if (!player || !player->isActive() || !player->isAlive())
        return false;
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (Weapon* w = player->weapon(slot); w && w->drawBombMarker(view))
            return true;
    return false;
}

void GameMode::updateSquadrons()
{
    for (const auto& s : m_squadrons)
        if (s->leader())
            s->update();
}

void GameMode::updateMissiles(float dt)
{
    m_missiles.update(dt);
    updateIncomingWarning();
    updateMissileSounds();
}

void GameMode::updateIncomingWarning()
{
    const bool threatened = m_playerAirplane && m_playerAirplane->incomingMissile;
    IModeHud& hud = m_hooks.hudOrNone();
    if (threatened)
        hud.postMessage(IModeHud::kIncomingMissileMessage);
    else if (m_incomingWarning)  // a missile that was decoyed away warns no more
        hud.removeMessage(IModeHud::kIncomingMissileMessage);
    m_incomingWarning = threatened;
}

void GameMode::updateFlightHint()
{
    // Arcade steering keeps the wings level by itself, so a player pulling
    // the nose up can hang the aircraft on its tail without noticing.
    constexpr float kSteepClimbSine = 0.766f;  // 50 degrees up
    const Settings& s = settings();
    const Airplane* player = m_playerAirplane;
    const bool shown = s.flightHintEnabled != 0 && s.controlType == 1 && player && player->isActive() &&
                       player->isAlive() && !player->isLanded() && player->forward().y > kSteepClimbSine;
    IModeHud& hud = m_hooks.hudOrNone();
    if (shown)
        hud.postMessage(IModeHud::kSteepClimbMessage);
    else if (m_flightHintShown)
        hud.removeMessage(IModeHud::kSteepClimbMessage);
    m_flightHintShown = shown;
}

void GameMode::updateWeapons(float dt)
{
    const std::vector<Weapon*> weapons = m_weapons;
    for (Weapon* w : weapons)
        if (w->isEnabled() && w->owner().isActive() && &w->owner() != m_playerAirplane)
            w->updateTargeting(dt);
    ::updateWeapons(*this, m_weapons, dt);
}

CrashCause GameMode::collisionCause(Target& e, Target*& second) const
{
    const DistanceTable& table = distanceTable();
    const bool eAirplane = e.kind() == TargetKind::Airplane;
    CrashCause cause = CrashCause::None;
    second = nullptr;
    // Runways and tunnels are flown over and through: an airplane standing on
    // a runway must not wreck it.
    if (e.kind() == TargetKind::Runway || e.kind() == TargetKind::Tunnel)
        return cause;
    for (Target* o : m_active) {
        if (o == &e || !o->checksCollisions || !o->isActive() || !o->isAlive())
            continue;
        const float d = table.at(e.id(), o->id());
        if (o->kind() == TargetKind::Airplane) {
            // Pilots of one side fly through each other; AI pilots never ram what is not an airplane.
            if (o->team() == e.team() || (!eAirplane && o->aiController()))
                continue;
            const float f = e.isLargeAirplane() || o->isLargeAirplane() ? 1.0f : 0.0625f;
            const float r = e.radius() + o->radius();
            // The table is this frame's start; an entity respawned since is elsewhere now.
            if (d < f * r * r && vec3DistanceSq(e.position(), o->position()) < f * r * r &&
                entityCollisionTest(e, o->position(), bodyRadius(*o))) {
                cause = eAirplane ? CrashCause::CollisionPair : CrashCause::Collision;
                second = eAirplane ? o : nullptr;
            }
        } else if (!eAirplane || !e.aiController()) {
            if (o->kind() == TargetKind::Runway || o->kind() == TargetKind::Tunnel)
                continue;  // flown over and through, never hit
            if (standsOn(e, *o) || standsOn(*o, e))
                continue;
            // Over a flight deck only the airplane's centre counts, so it can come down on it.
            const float eRadius = eAirplane && hasDeck(*o) ? 0.0f : e.radius();
            const float r = eRadius + o->radius();
            if (d < r * r && vec3DistanceSq(e.position(), o->position()) < r * r &&
                entityCollisionTest(e, o->position(), o->radius()) &&
                entityCollisionTest(*o, e.position(), eRadius > 0.0f ? bodyRadius(e) : 0.0f) &&
                o->ownHitCheck(e.position(), e.radius())) {
                cause = static_cast<int>(o->kind()) == 1 ? CrashCause::CollisionPair : CrashCause::Collision;
                second = nullptr;
            }
        }
    }
    return cause;
}
