#include "screens/scene/GameCamera.h"

#include "platform/Log.h"
#include "platform/Random.h"
#include "screens/hud/HudMarkers.h"
#include "screens/hud/HudMessageQueue.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

constexpr float kDegree = kPi / 180.0f;
constexpr float kSubjectBack = 6.0f, kSubjectUp = 1.0f;

bool followsPlane(int m) { return m >= 0 && m <= 5; }

float approach(float value, float target, float rate, float dt)
{
    return value + (target - value) * std::min(1.0f, rate * dt);
}

Vec3 approach(const Vec3& value, const Vec3& target, float rate, float dt)
{
    return vec3LerpClamped(value, target, rate * dt);
}

float easeSine(float t) { return Math::sinf(clampf(0.0f, t, 1.0f) * kPi / 2.0f); }

// The same view with the roll taken out: the plane's heading and pitch only.
Quat headingAndPitch(const Quat& q)
{
    const Vec3 ahead = quatRotateVector(q, Vec3{0.0f, 0.0f, -1.0f});
    return quatFromEuler(Math::atan2f(-ahead.x, -ahead.z), std::asin(clampf(-1.0f, ahead.y, 1.0f)), 0.0f);
}

}  // namespace

GameCamera::GameCamera(CameraGameMode& game) : Camera(0), m_game(game) {}

Quat GameCamera::lookFrom(const Vec3& eye, const Vec3& at, const Quat& fallback) const
{
    const Vec3 d = at - eye;
    const float length = vec3Length(d);
    if (!(length >= 0.001f))
        return fallback;
    Quat q;
    quatFromDirectionTo(q, d * (1.0f / length));
    return q;
}

void GameCamera::follow(const Quat& wanted, float k)
{
    float t = frameDelta() * 8.0f * k;
    const CameraPlane* p = m_game.playerPlane();
    if ((mode == 0 || mode == 1) && p && p->evading())
        t *= std::min(p->speedFactor() + 1.0f, 1.0f);
    orientation = quatSlerp(storedOrientation, wanted, t);
    // The pass for the mode a blend leaves must not steer the one it enters.
    if (!placingOldMode())
        storedOrientation = orientation;
}

void GameCamera::applyLookOffset(bool withRoll)
{
    float yaw = lookOffset.x * kPi;
    if (withRoll)
        if (const CameraPlane* p = m_game.playerPlane())
            yaw += p->rollInput() * kPi / 4.0f * pullBack;
    orientation = quatMulAxisY(orientation, yaw);
    orientation = quatMulAxisX(orientation, lookOffset.y * kPi / 2.0f);
}

void GameCamera::update()
{
    dropGoneEntities();
    // Clocks and rates run once a frame, not again for the mode a blend leaves.
    const float dt = placingOldMode() ? 0.0f : frameDelta();
    if (!m_game.cameraTarget())
        lookOffsetTarget = controlLook;
    lookOffset = vec2LerpClamped(lookOffset, lookOffsetTarget, 6.0f * dt);
    if (std::hypot(lookOffsetTarget.x - lookOffset.x, lookOffsetTarget.y - lookOffset.y) < 0.001f)
        lookOffset = lookOffsetTarget;
    const CameraPlane* player = m_game.playerPlane();
    const CameraPlane* plane = (mode == 10 || mode == 11) ? m_followedPlane : player;
    if (!plane && mode != 6 && mode != 7 && mode != 8 && mode != 9)
        return;

    switch (mode) {
    case 0:
    case 1: {
        pullBack = clampf(0.0f, pullBack + (plane->evading() ? dt : -0.666f * dt), 1.0f);
        // Sideslip and vertical slip of the flight path in the plane's frame.
        const Vec3 local = quatRotateVector(quatConjugate(plane->orientation()),
                                            vec3NormalizeOr(plane->velocity(), {0.0f, 0.0f, -1.0f}));
        m_sway = approach(m_sway, local.y, 2.0f, dt);
        m_drift = approach(m_drift, local.x, 3.0f, dt);
        const float k = (mode == 0 ? 1.0f : 1.25f) * (1.0f - pullBack);
        Quat wanted = plane->orientation();
        if (followsAim)
            wanted = aimOrientation;
        else if (levelView)
            wanted = headingAndPitch(wanted);
        follow(wanted, k);
        if (const Vec3* aim = m_game.cameraTarget()) {
            const Vec3 local2 = quatRotateVector(quatConjugate(plane->orientation()), *aim - plane->position());
            const float flat = std::sqrt(local2.x * local2.x + local2.z * local2.z);
            lookOffsetTarget = {clampf(-1.0f, Math::atan2f(-local2.x, -local2.z) / kPi, 1.0f),
                                clampf(-1.0f, Math::atan2f(local2.y, flat) / (kPi / 2.0f), 1.0f)};
        }
        applyLookOffset(true);
        break;
    }
    case 2:
    case 3:
        if (lockedPoint)
            follow(lookFrom(position, *lockedPoint, storedOrientation), 0.5f);
        else
            follow(plane->orientation(), 1.25f * (1.0f - pullBack));
        applyLookOffset(false);
        break;
    case 4:
        follow(lockedPoint ? lookFrom(position, *lockedPoint, storedOrientation) : plane->orientation(), 0.5f);
        applyLookOffset(false);
        break;
    case 5: {
        const Vec3* target = plane->currentTarget();
        if (target) {
            m_lastTargetDir = vec3NormalizeOr(*target - position, m_lastTargetDir);
        } else if (const Vec3* goal = plane->mapTarget()) {
            // No target: the last direction turns slowly back to where the plane is bound.
            const Vec3 toGoal = vec3NormalizeOr(*goal - position, m_lastTargetDir);
            m_lastTargetDir = vec3NormalizeOr(vec3LerpClamped(m_lastTargetDir, toGoal, 0.5f * dt), toGoal);
        }
        Quat q;
        quatFromDirectionTo(q, m_lastTargetDir);
        follow(q, 0.5f);
        applyLookOffset(false);
        const float wantedRoll = target ? (lookOffset.y >= 0.0f ? kPi / 6.0f : -kPi / 6.0f)
                                        : Math::sinf(sceneTime * 0.2f) * kPi / 6.0f;
        m_modeRoll = approach(m_modeRoll, wantedRoll, 1.0f, dt);
        orientation = quatMulAxisZ(orientation, m_modeRoll);
        orientation = quatMulAxisX(orientation, -5.0f * kDegree);
        break;
    }
    case 6: {
        orbitAngle += orbitSpeed * dt;
        orientation = quatSlerp(storedOrientation, quatFromEuler(orbitAngle, -30.0f * kDegree, 0.0f), 10.0f * dt);
        storedOrientation = orientation;
        break;
    }
    case 7:
        // Riding the subject: the view turns with its flight.
        if (m_subject) {
            Quat q;
            quatFromDirectionTo(q, vec3NormalizeOr(m_subject->velocity(), forward));
            follow(q, 1.0f);
        }
        break;
    case 8:
        if (m_hasPath) {
            const float speed = std::max(m_pathTargetSpeed, 0.001f);
            m_pathTime = std::min(m_pathTime + dt, m_path.length() / speed);
            m_pathSpeed = approach(m_pathSpeed, m_pathTargetSpeed, 1.0f, dt);
            m_pathDistance = std::min(m_pathDistance + m_pathSpeed * dt, m_path.length());
            if (m_pathDistance >= m_path.length() && m_pathEndTimer < 0.0f)
                m_pathEndTimer = 2.0f;
            follow(lookFrom(position, m_path.pointAt(m_pathTime * speed), storedOrientation), 0.5f);
        } else if (m_hasLookPoint) {
            follow(lookFrom(position, m_lookPoint, storedOrientation), 0.5f);
        } else if (plane) {
            follow(lookFrom(position, plane->position(), storedOrientation), 0.5f);
        }
        break;
    case 9:
        orientation = storedOrientation = m_fixedOrientation;
        break;
    case 10: {
        const Vec3 from = focusPoint ? plane->position() : position;
        const Vec3 to = focusPoint ? *focusPoint : plane->position();
        follow(lookFrom(from, to, storedOrientation), 0.5f);
        applyLookOffset(false);
        orientation = quatMulAxisY(orientation, Math::sinf(sceneTime * 0.1f) * 0.1f * forward.y);
        orientation = quatMulAxisX(orientation, -5.0f * kDegree);
        break;
    }
    case 11:
        orientation = lookFrom(position, plane->position(), storedOrientation);
        if (!placingOldMode())
            storedOrientation = orientation;
        break;
    case 12:
        orientation = quatSlerp(storedOrientation, lookFrom(position, plane->position(), storedOrientation), 10.0f * dt);
        storedOrientation = orientation;
        break;
    default:
        break;
    }
}

Vec3 GameCamera::behindPlane(const CameraPlane& p, float back, float upOffset, float side) const
{
    return p.position() + quatRotateVector(p.orientation(), {side, upOffset, back});
}

Vec3 GameCamera::placeForMode(int m)
{
    const CameraPlane* player = m_game.playerPlane();
    const CameraPlane* plane = (m == 10 || m == 11) ? m_followedPlane : player;
    const float dt = frameDelta();
    if (!plane && (m <= 5 || m >= 10))
        return position;
    CameraPlane::Size s;
    if (plane)
        s = plane->size();
    switch (m) {
    case 0: {
        float deck = 0.0f;
        const bool onCarrier = plane->groundState() && plane->deckHeight(deck);
        return behindPlane(*plane, (s.length * 1.25f + s.width * 1.2f - 1.0f) * (1.0f + 1.4f * pullBack),
                           (s.length * 0.5f + s.height + 1.5f + s.length * 0.6f * m_sway) * (1.0f - 0.5f * pullBack),
                           onCarrier ? 0.0f : s.span * 0.422f * m_drift);
    }
    case 1:
        return behindPlane(*plane, (s.length * 1.25f + s.width * 1.2f) * (1.0f + 1.4f * pullBack) * 0.75f,
                           (s.length * 0.5f + s.height) * (1.0f - 0.5f * pullBack) * 1.33f, 0.0f);
    case 2:
        return plane->position() + quatRotateVector(plane->orientation(), s.eyePoint);
    case 3:
        return plane->position();
    case 4:
        return behindPlane(*plane, (s.length * 1.25f + s.width * 1.2f) * (1.4f * pullBack + 1.5f),
                           (s.length * 0.5f + s.height) * (2.0f - 0.5f * pullBack), 0.0f);
    case 5:
        return behindPlane(*plane, s.targetBack * 3.5f + s.length, s.targetUp * 3.0f + s.length * 0.1f, 0.0f);
    case 6: {
        const Vec3 centre = orbitPointRef ? *orbitPointRef : orbitPoint;
        const float d = orbitDistance * (1.0f - orbitZoom);
        return centre + quatRotateVector(quatFromAngleY(orbitAngle),
                                         {0.0f, d * Math::sinf(30.0f * kDegree), d * Math::cosf(30.0f * kDegree)});
    }
    case 8:
        if (m_hasPath)
            return m_path.pointAt(m_pathDistance);
        if (!plane)
            return position;
        return behindPlane(*plane, s.pathBack * 4.5f + s.length, s.length * 0.1f + s.pathUp * 4.0f, 0.0f);
    case 7:
        if (!m_subject)
            return position;
        // Just behind and above it, so its own body does not fill the view.
        return m_subject->position() - vec3NormalizeOr(m_subject->velocity(), forward) * kSubjectBack +
               Vec3{0.0f, kSubjectUp, 0.0f};
    case 9:
        return m_fixedPosition;
    case 10:
        // Behind along the (smoothed) view, so the chase turns with the camera.
        return plane->position() - forward * 50.0f + Vec3{0.0f, 10.0f, 0.0f};
    case 11: {
        if (dt > 0.0f && m == mode && !placingOldMode())
            m_orbitAroundPlane += 0.3f * dt;
        const Vec3 orbit{Math::sinf(m_orbitAroundPlane) * 300.0f, 60.0f, Math::cosf(m_orbitAroundPlane) * 300.0f};
        return plane->position() + vec3LerpClamped(m_startOffset, orbit, easeSine(cinematicBlend));
    }
    case 12: {
        if (m == mode) {
            const Vec3 f = plane->orientation().w == 0.0f ? Vec3{} : quatRotateVector(plane->orientation(), {0, 0, -1});
            const Vec3 flat = vec3NormalizeOr({f.x, 0.0f, f.z}, {0.0f, 0.0f, -1.0f});
            m_farOffset = approach(m_farOffset, flat * 75.0f + Vec3{0.0f, 300.0f, 0.0f}, 0.5f, dt);
        }
        return plane->position() + m_farOffset;
    }
    default:
        return position;
    }
}

void GameCamera::snap()
{
    Vec3 place = placeForMode(mode);
    if (placeBlend < 1.0f) {
        const Vec3 from = placeForMode(placeFromMode);
        place = vec3LerpClamped(from, place, easeSine(placeBlend));
        if (!placingOldMode())
            placeBlend = std::min(1.0f, placeBlend + 0.75f * frameDelta());
    }
    position = place;
    keepClear();
}

void GameCamera::keepClear()
{
    const CameraPlane* player = m_game.playerPlane();
    const float ground = std::max(0.0f, m_game.terrainHeightAt(position.x, position.z));
    if (!player || !player->groundState())
        position.y = std::max(position.y, ground + kTerrainClearance);
    float deck = 0.0f;
    if (player && !(mode >= 6 && mode <= 9) && player->deckHeight(deck))
        position.y = std::max(position.y, deck + kDeckClearance);
    heightAboveGround = position.y - ground;
}

void GameCamera::setMode(int newMode)
{
    lockedPoint = nullptr;
    lookOffsetTarget = {};
    if (newMode != mode) {
        previousMode = mode;
        if (newMode == 7) {
            fromMode = mode;
            blend = 0.0f;
        } else if (followsPlane(mode) && followsPlane(newMode)) {
            // Between two views from the plane the eye glides instead of jumping.
            placeFromMode = mode;
            placeBlend = 0.0f;
        } else {
            placeBlend = 1.0f;
        }
    }
    mode = newMode;
    if (mode == 4) {
        const CameraPlane* player = m_game.playerPlane();
        if (player && player->currentTarget()) {
            lockTarget();
            Camera::updateMatrices(0.0f);
        }
    }
    playerView = mode >= 0 && mode <= 3;
}

void GameCamera::updateMatrices(float dt)
{
    dropGoneEntities();
    sceneTime += std::max(dt, 0.0f);
    if (mode == 10 || mode == 11)
        updateCinematic(dt);
    if (orbitDuration > 0.0f) {
        orbitTime += dt;
        orbitDuration -= dt;
        if (orbitDuration < 0.0f && mode == 6)
            updateLookAt();
    }
    if (mode == 8 && m_pathEndTimer > 0.0f) {
        m_pathEndTimer -= dt;
        if (m_pathEndTimer <= 0.0f) {
            m_pathEndTimer = 0.0f;
            m_game.resumeAfterRoundOver();
        }
    }
    Camera::updateMatrices(dt);
}

void GameCamera::resetView()
{
    m_path.clear();
    m_hasPath = false;
    m_pathDistance = m_pathSpeed = m_pathTargetSpeed = m_pathTime = 0.0f;
    m_pathEndTimer = -1.0f;
    m_hasLookPoint = false;
    setMode(m_game.chosenViewMode());
    blend = 1.0f;
    placeBlend = 1.0f;
    if (const CameraPlane* player = m_game.playerPlane())
        orientation = storedOrientation = player->orientation();
}

void GameCamera::resetForLevel()
{
    lockedPoint = nullptr;
    lookOffsetTarget = {};
    resetView();
    setMode(m_game.chosenViewMode());
}

void GameCamera::lockTarget()
{
    const CameraPlane* player = m_game.playerPlane();
    if (!player) {
        lockedPoint = nullptr;
        return;
    }
    if (const Vec3* found = m_game.findTarget(*player, 1.0e9f, -1.0f, false)) {
        lockedPoint = found;
        HudMarkerRef marker;
        marker.target = m_game.entityAt(found);
        if (!marker.target.isEmpty())
            HudElementList::instance().markers.setHighlighted(marker);
    } else
        lockNearestTarget();
}

void GameCamera::lockNearestTarget()
{
    if (mode != 4)
        return;
    lockedPoint = nullptr;
    const CameraPlane* player = m_game.playerPlane();
    if (!player)
        return;
    lockedPoint = m_game.findTargetDefault(*player, 10000.0f);
    if (!lockedPoint)
        lockedPoint = m_game.findTarget(*player, 1.0e9f, -1.0f, true);
    if (!lockedPoint && m_game.specialObjectCount() > 0)
        lockedPoint = m_game.specialObjectPoint(static_cast<int>(randU32() % m_game.specialObjectCount()));
}

void GameCamera::lookAtPoint(const Vec3* point, float distance, float speed, float duration, bool copy, float zoom)
{
    setMode(6);
    if (copy && point) {
        orbitPoint = *point;
        orbitPointRef = &orbitPoint;
    } else {
        orbitPointRef = point;
    }
    orbitTime = 0.0f;
    orbitDistance = distance;
    orbitSpeed = speed;
    orbitDuration = duration;
    orbitZoom = clampf(0.0f, zoom, 1.0f);
    orbitAngle = heading;
}

void GameCamera::updateLookAt()
{
    if (mode != 6)
        return;
    setMode(m_game.chosenViewMode());
    const CameraPlane* player = m_game.playerPlane();
    if (player && !player->currentTarget())
        orientation = storedOrientation = levelView ? headingAndPitch(player->orientation()) : player->orientation();
    orbitPointRef = nullptr;
    orbitTime = 0.0f;
    orbitDuration = -1.0f;
}

void GameCamera::startKillCam(const CameraPlane* plane, int kind, bool copy, const Vec3* point)
{
    // The player's blinking warnings (incoming missile, scheme hint) mean nothing over
    // another plane's view; the notice history stays for the pause page's log.
    HudMessageQueue::instance().clearLong();
    m_followedPlane = plane;
    cinematicKind = kind;
    setMode(10);
    cinematicBlend = 1.0f;
    if (kind == 1) {
        setMode(11);
        cinematicBlend = 0.0f;
        if (point) {
            if (copy) {
                focusCopy = *point;
                focusPoint = &focusCopy;
            } else {
                focusPoint = point;
            }
        }
        if (plane) {
            startPosition = plane->position();
            m_startOffset = position - plane->position();
            m_orbitAroundPlane = Math::atan2f(m_startOffset.x, m_startOffset.z);
        }
    }
}

void GameCamera::updateCinematic(float dt)
{
    if (focusPoint && focusPoint != &focusCopy)
        focusCopy = *focusPoint;
    if (mode == 10 && m_followedPlane) {
        const Vec3* found = m_game.findTarget(*m_followedPlane, 15000.0f, -1.0f, false);
        if (found != m_focusFound) {
            m_focusFound = found;
            m_focusTimer = 0.0f;
        }
        if (found != focusPoint) {
            m_focusTimer += dt;
            if (m_focusTimer >= m_game.focusSwitchDelay()) {
                if (found)
                    logInfo("camera", "the kill cam turns to the followed airplane's target after %.2f s",
                            static_cast<double>(m_focusTimer));
                m_focusTimer = 0.0f;
                focusPoint = found;
            }
        }
    }
    if (mode == 11 && cinematicBlend < 1.0f) {
        cinematicBlend += kCinematicRate * std::max(dt, 0.0f);
        if (cinematicBlend >= 1.0f) {
            cinematicBlend = 1.0f;
            previousMode = 11;
            fromMode = 11;
            mode = 10;
            blend = 0.0f;
        }
    }
}

void GameCamera::endCinematic()
{
    if (mode != 10 && mode != 11)
        return;
    blend = 1.0f;
    setMode(m_game.chosenViewMode());
    const CameraPlane* player = m_game.playerPlane();
    if (player && !player->currentTarget())
        orientation = storedOrientation = player->orientation();
    m_followedPlane = nullptr;
    focusPoint = nullptr;
    m_focusFound = nullptr;
    focusCopy = {};
    startPosition = {};
    cinematicStep = cinematicKind = 0;
    cinematicBlend = 1.0f;
}

void GameCamera::onPlaneRemoved(const CameraPlane* plane)
{
    if (!plane)
        return;
    // References are dropped whatever the state of play; only re-targeting waits.
    onTargetRemoved(plane->position());
    if ((mode == 10 || mode == 11) && plane == m_game.playerPlane())
        endCinematic();
    if (!m_game.playStopped() && mode == 4 && !lockedPoint)
        lockNearestTarget();
}

bool GameCamera::forgetPoint(const Vec3* object, const Vec3& lastSeen)
{
    const CameraPlane* player = m_game.playerPlane();
    bool relock = false;
    if (mode == 6 && player && &player->position() == object && m_game.chosenViewMode() == 4)
        lockedPoint = nullptr;
    if (lockedPoint == object) {
        lockedPoint = nullptr;
        relock = mode == 4;
    }
    if (orbitPointRef == object) {
        orbitPoint = lastSeen;
        orbitPointRef = &orbitPoint;
    }
    if (focusPoint == object) {
        focusCopy = lastSeen;
        focusPoint = &focusCopy;
    }
    if (m_focusFound == object)
        m_focusFound = nullptr;
    return relock;
}

void GameCamera::onTargetRemoved(const Vec3& objectPosition)
{
    const Vec3* object = &objectPosition;
    const bool relock = forgetPoint(object, objectPosition);
    if (m_followedPlane && &m_followedPlane->position() == object) {
        endCinematic();
        m_followedPlane = nullptr;
    }
    if (relock && !m_game.playStopped())
        lockNearestTarget();
}

void GameCamera::track(KeptEntity& kept, const Vec3* current)
{
    if (kept.point != current) {
        kept.point = current;
        kept.entity = current ? m_game.entityAt(current) : EntityHandle();
    }
    if (kept.point && (kept.entity.isEmpty() || kept.entity.resolve()))
        kept.lastSeen = *kept.point;
}

void GameCamera::dropGoneEntities()
{
    bool relock = false;
    for (KeptEntity* kept : {&m_keptLock, &m_keptOrbit, &m_keptFocus})
        if (kept->point && !kept->entity.isEmpty() && !kept->entity.resolve()) {
            relock = forgetPoint(kept->point, kept->lastSeen) || relock;
            *kept = KeptEntity{};
        }
    track(m_keptLock, lockedPoint);
    track(m_keptOrbit, orbitPointRef);
    track(m_keptFocus, focusPoint);
    if (relock && !m_game.playStopped())
        lockNearestTarget();
}

void GameCamera::onGameEvent(bool asksKillCam, const CameraPlane* plane, const CameraPlane* eventObject)
{
    if (m_game.playStopped() || !plane)
        return;
    if (mode == 10 || mode == 11) {
        if (plane != m_followedPlane)
            return;
        if (asksKillCam && eventObject)
            startKillCam(eventObject, 1, false, nullptr);
        else
            endCinematic();
    } else if (plane == m_game.playerPlane() && asksKillCam && eventObject) {
        startKillCam(eventObject, 1, false, nullptr);
    }
}

void GameCamera::createViewHelper(const Vec3* points, int count, float speed)
{
    if (!points || count < 2) {
        m_path.clear();
        m_hasPath = false;
        return;
    }
    m_path.build(std::span<const Vec3>(points, static_cast<std::size_t>(count)), Spline::kDefaultSamples);
    m_hasPath = true;
    m_pathDistance = 0.0f;
    m_pathTime = 0.0f;
    m_pathSpeed = 0.0f;
    m_pathTargetSpeed = speed;
    m_pathEndTimer = -1.0f;
}

void GameCamera::cancelMode7()
{
    setMode(8);
    blend = 1.0f;
    if (m_hasPath)
        position = m_path.pointAt(0.0f);
}

void GameCamera::setFixedView(const Vec3& at, const Quat& facing)
{
    m_fixedPosition = at;
    m_fixedOrientation = facing;
}
