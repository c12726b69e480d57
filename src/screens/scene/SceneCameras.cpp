#include "screens/scene/SceneCameras.h"

#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Missile.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "platform/Settings.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/MenuCamera.h"
#include "screens/scene/Scene.h"

namespace {
const Airplane* playerOf(const GameMode* mode) { return mode ? mode->playerAirplane() : nullptr; }

CurrentModeCameraGame& cameraGame()
{
    static CurrentModeCameraGame game;
    return game;
}

// The killers the kill cam follows. Two, so that a kill by the followed
// killer hands over to the next one without overwriting the view in use.
AirplaneCameraPlane& killerPlane(int slot)
{
    static AirplaneCameraPlane planes[2];
    return planes[slot & 1];
}
}  // namespace

int CurrentModeCameraGame::chosenViewMode() const { return settings().chosenViewMode; }

bool CurrentModeCameraGame::playStopped() const
{
    const GameMode* mode = modeOf(currentMatch());
    return mode && mode->playStopped;
}

const CameraPlane* CurrentModeCameraGame::playerPlane() const
{
    const Airplane* player = playerOf(modeOf(currentMatch()));
    if (!player)
        return nullptr;
    if (m_player.airplane() != player)
        m_player.follow(player);
    return &m_player;
}

float CurrentModeCameraGame::terrainHeightAt(float x, float z) const
{
    const Scene* s = scene();
    return s ? s->terrainHeightAt(x, z) : 0.0f;
}

const Vec3* CurrentModeCameraGame::findTarget(const CameraPlane& from, float range, float, bool)
{
    GameMode* mode = modeOf(currentMatch());
    // The kill cam asks for the followed airplane's target, not the player's.
    const auto* view = dynamic_cast<const AirplaneCameraPlane*>(&from);
    const Airplane* seeker = view ? view->airplane() : playerOf(mode);
    if (!mode || !seeker)
        return nullptr;
    GameMode::SearchOptions options;
    options.range = range >= 1.0e8f ? 0.0f : range;
    const Target* found = mode->findTarget(seeker, options);
    return found ? &found->position() : nullptr;
}

float CurrentModeCameraGame::focusSwitchDelay() const { return settings().focusSwitchDelay; }

const Vec3* CurrentModeCameraGame::findTargetDefault(const CameraPlane&, float range)
{
    GameMode* mode = modeOf(currentMatch());
    const Airplane* player = playerOf(mode);
    if (!mode || !player)
        return nullptr;
    const Target* found = mode->findTargetDefault(player, range, TargetClass::Any);
    return found ? &found->position() : nullptr;
}

void CurrentModeCameraGame::setCameraTarget(const Vec3* point, bool copy)
{
    if (point && copy) {
        m_targetCopy = *point;
        point = &m_targetCopy;
    }
    m_target = point;
}

namespace {
EntityCameraPlane& subjectPlane()
{
    static EntityCameraPlane plane;
    return plane;
}
}  // namespace

const Vec3& EntityCameraPlane::position() const
{
    static const Vec3 nowhere;
    return m_entity ? m_entity->position() : nowhere;
}

Quat EntityCameraPlane::orientation() const
{
    Quat q;
    quatFromDirectionTo(q, vec3NormalizeOr(velocity(), {0.0f, 0.0f, -1.0f}));
    return q;
}

Vec3 EntityCameraPlane::velocity() const { return m_entity ? m_entity->velocity() : Vec3{}; }

EntityHandle CurrentModeCameraGame::entityAt(const Vec3* point) const
{
    const GameMode* mode = modeOf(currentMatch());
    if (!mode || !point)
        return {};
    for (const auto& e : mode->entities())
        if (e && &e->position() == point)
            return e->handle();
    return {};
}

GameCamera& gameCamera()
{
    static GameCamera camera(cameraGame());
    return camera;
}

MenuCamera& menuCamera()
{
    static MenuCamera camera;
    return camera;
}

AirplaneCameraPlane& menuShowcasePlane()
{
    static AirplaneCameraPlane plane;
    return plane;
}

void SceneModeCamera::forget(const Target& entity) { gameCamera().onTargetRemoved(entity.position()); }

bool SceneModeCamera::position(Vec3& out) const
{
    const Camera* camera = activeCamera();
    if (!camera)
        return false;
    out = camera->position;
    return true;
}

void SceneModeCamera::orbit(const Target& entity, float distance, float)
{
    // No zoom: the zoom takes its share off the distance, and all of it would
    // put the camera inside the airplane.
    gameCamera().lookAtPoint(&entity.position(), distance, 0.3f, -1.0f, false, 0.0f);
}

void SceneModeCamera::onKill(const Target& victim, const Target& attacker)
{
    if (victim.kind() != TargetKind::Airplane || attacker.kind() != TargetKind::Airplane || &victim == &attacker)
        return;
    const auto& victimAirplane = static_cast<const Airplane&>(victim);
    const auto& killer = static_cast<const Airplane&>(attacker);
    // The camera knows the victim only by the view it follows it with.
    const CameraPlane* watched = nullptr;
    int freeSlot = 0;
    if (&victimAirplane == playerOf(modeOf(currentMatch()))) {
        // Already watching another airplane: that view stays.
        if (gameCamera().mode == 10 || gameCamera().mode == 11)
            return;
        watched = cameraGame().playerPlane();
    } else {
        for (int slot = 0; slot < 2; ++slot)
            if (killerPlane(slot).airplane() == &victimAirplane) {
                watched = &killerPlane(slot);
                freeSlot = slot + 1;
            }
    }
    if (!watched)
        return;
    AirplaneCameraPlane& view = killerPlane(freeSlot);
    view.follow(&killer);
    gameCamera().onGameEvent(true, watched, &view);
}

bool SceneModeCamera::watchingOther() const
{
    const int mode = gameCamera().mode;
    return mode == 6 || mode == 10 || mode == 11;
}

void SceneModeCamera::startKillCam(const Target& airplane)
{
    if (airplane.kind() != TargetKind::Airplane)
        return;
    // The slot the kill cam does not use, so the view in use is not overwritten.
    const int slot = gameCamera().followedPlane() == &killerPlane(0) ? 1 : 0;
    killerPlane(slot).follow(&static_cast<const Airplane&>(airplane));
    gameCamera().startKillCam(&killerPlane(slot), 0, false, nullptr);
}

void SceneModeCamera::onRespawned(const Target& airplane)
{
    const CameraPlane* plane = nullptr;
    if (&airplane == playerOf(modeOf(currentMatch())))
        plane = cameraGame().playerPlane();
    else
        for (int slot = 0; slot < 2; ++slot)
            if (killerPlane(slot).airplane() == &airplane)
                plane = &killerPlane(slot);
    if (plane)
        gameCamera().onPlaneRemoved(plane);
}

void SceneModeCamera::forgetMissile(const Missile& missile)
{
    if (subjectPlane().entity() != &missile)
        return;
    subjectPlane().follow(nullptr);
    gameCamera().setSubject(nullptr);
}

int SceneModeCamera::mode() const { return gameCamera().mode; }

void SceneModeCamera::setMode(int mode) { gameCamera().setMode(mode); }

void SceneModeCamera::setChosenView()
{
    GameCamera& camera = gameCamera();
    // An orbit ends looking along the airplane, and nothing holds on to its point.
    if (camera.mode == 6)
        camera.updateLookAt();
    camera.setMode(settings().chosenViewMode);
}

const IGameEntity* SceneModeCamera::subject() const
{
    return gameCamera().subject() ? subjectPlane().entity() : nullptr;
}

void SceneModeCamera::setSubject(const IGameEntity* subject, float value)
{
    subjectPlane().follow(subject);
    GameCamera& camera = gameCamera();
    camera.setSubject(subject ? &subjectPlane() : nullptr);
    // The view's own offsets start again from the subject.
    camera.lookOffset = camera.lookOffsetTarget = {};
    (void)value;
}

bool SceneModeCamera::blending() const { return gameCamera().blend < 1.0f; }

const Target* SceneModeCamera::watchedAirplane() const
{
    const CameraPlane* followed = gameCamera().followedPlane();
    for (int slot = 0; slot < 2; ++slot)
        if (followed == &killerPlane(slot))
            return killerPlane(slot).airplane();
    return nullptr;
}

void SceneModeCamera::setTarget(const Vec3* point, bool copy, float duration)
{
    cameraGame().setCameraTarget(point, copy);
    (void)duration;  // the views turn toward it at their own rates
}

void SceneModeCamera::createView(const Vec3* points, int count, float speed)
{
    gameCamera().createViewHelper(points, count, speed);
}

SceneModeCamera& sceneModeCamera()
{
    static SceneModeCamera camera;
    return camera;
}
