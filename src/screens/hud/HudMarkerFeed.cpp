// The markers' view of the running game: entities resolved through handles
// each frame, so an entity that left the world simply reads as gone.
#include "screens/hud/HudMarkerFeed.h"

#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "modes/GameMode.h"
#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "screens/scene/AirplaneCameraPlane.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"

#include <cmath>

const Airplane* watchedAirplane(const GameMode* mode)
{
    const Airplane* player = mode ? mode->playerAirplane() : nullptr;
    const GameCamera& camera = gameCamera();
    if (activeCamera() != &camera)
        return player;
    const auto* view = dynamic_cast<const AirplaneCameraPlane*>(camera.followedPlane());
    const Airplane* followed = view ? view->airplane() : nullptr;
    if (followed && followed->inPlay && followed->isActive())
        return followed;
    return player;
}

float cameraRollOf(const CameraMatrices& camera)
{
    // The view's rows are the camera's axes in the world: x right, y up.
    const float rightY = camera.view.m[4], upY = camera.view.m[5];
    if (std::fabs(rightY) < 1e-6f && std::fabs(upY) < 1e-6f)
        return 0.0f;
    return std::atan2(-rightY, upY);
}

GameHudObjects& gameHudObjects()
{
    static GameHudObjects objects;
    return objects;
}

HudMarkerRef hudMarkerRef(const IGameEntity& entity)
{
    HudMarkerRef ref;
    if (const auto* t = dynamic_cast<const Target*>(&entity))
        ref.target = t->handle();
    else
        ref.other = reinterpret_cast<std::uintptr_t>(&entity);
    return ref;
}

const IGameEntity* GameHudObjects::resolve(const HudMarkerRef& ref) const
{
    if (!ref.target.isEmpty())
        return ref.target.resolve();
    if (ref.other == 0 || !m_mode)
        return nullptr;
    // Only a missile still in the mode's set or a waypoint it lists is read;
    // the key itself is never followed.
    const MissileSet& set = m_mode->missiles();
    for (int i = 0; i < set.count(); ++i)
        if (const Missile* m = set.at(i); m && reinterpret_cast<std::uintptr_t>(m) == ref.other)
            return m;
    for (const IGameEntity* waypoint : m_mode->waypoints())
        if (reinterpret_cast<std::uintptr_t>(waypoint) == ref.other)
            return waypoint;
    return nullptr;
}

bool GameHudObjects::read(const HudMarkerRef& ref, HudObjectInfo& out) const
{
    const IGameEntity* e = resolve(ref);
    if (!e)
        return false;
    out = HudObjectInfo{};
    out.alive = e->isAlive();
    out.hidden = e->isHiddenFromHud();
    out.attached = e->isStructurePart();
    out.position = e->position();
    out.velocity = e->velocity();
    out.radius = e->radius();
    out.health = e->health();
    out.maxHealth = e->maxHealth();
    out.radarFactor = e->radarFactor();
    out.variant = e->variant();
    out.anchorOffset = {0.0f, e->radius(), 0.0f};
    const Airplane* player = m_mode ? m_mode->playerAirplane() : nullptr;
    if (const auto* m = dynamic_cast<const Missile*>(e)) {
        out.targetsPlayer = player && m->target() == player;
        return true;
    }
    const auto* target = dynamic_cast<const Target*>(e);
    if (!target)
        return true;   // a waypoint: a point and its radius
    auto* t = const_cast<Target*>(target);
    out.isPlayerPlane = t == player;
    out.isViewedPlane = t == watchedAirplane(m_mode);
    out.playerColor = t->markerColorIndex;
    out.hitReport = t->hitReport != 0;
    t->hitReport = 0;  // the marker takes the report: one flash a hit
    out.playerTargetsIt = player && player->currentTarget == t;
    out.notLockable = !t->canBeTargeted();
    if (const auto* a = dynamic_cast<const Airplane*>(t)) {
        out.targetsPlayer = player && a->currentTarget == player;
        out.flightState = static_cast<int>(a->flightState());
        out.flightStateTime = a->timeInFlightState();
    }
    return true;
}

Vec3 GameHudObjects::leadPoint(const HudMarkerRef& ref, const Vec3& shooter, float speed) const
{
    if (const Target* t = ref.target.resolve())
        return GameMode::leadPointPrecise(shooter, *t, speed);
    return {};
}

std::u16string GameHudObjects::displayName(const HudMarkerRef& ref) const
{
    if (const IGameEntity* e = resolve(ref))
        return e->displayName(false);
    return {};
}

namespace {

void readWeapons(const Airplane& plane, HudMarkerFrame& out)
{
    for (int i = 0; i < kWeaponSlots; ++i) {
        HudLockWeapon& w = out.weapons[static_cast<std::size_t>(i)];
        const Weapon* weapon = plane.weapon(i);
        if (!weapon)
            continue;
        w.present = true;
        const int type = weapon->type();
        if ((type == kWeaponMachinegun || type == kWeaponSimple) && !out.playerHasGun) {
            out.playerHasGun = true;
            out.gunSpeed = weapon->record().speed;
        }
        w.lockKind = weapon->lockKind();
        w.delay = weapon->lockTimer();
        w.locking = weapon->target() != nullptr;
        w.targetCount = 0;
        const int n = std::min(weapon->targetCount(), static_cast<int>(w.targets.size()));
        for (int k = 0; k < n; ++k)
            if (const Target* t = weapon->targets()[k])
                w.targets[static_cast<std::size_t>(w.targetCount++)].target = t->handle();
    }
}

}  // namespace

void readHudMarkerFrame(const GameMode* mode, const CameraMatrices* camera, float dt, HudMarkerFrame& out)
{
    out = HudMarkerFrame{};
    const ScreenMetrics& sm = screenMetrics();
    out.screenWidth = sm.screenWidth;
    out.screenHeight = sm.screenHeight;
    out.dt = dt;
    out.clock = Clock::now();  // follows a fixed frame step, so the pulse repeats run to run
    out.camera = camera;
    out.showNames = settings().markerDetails != 0;
    out.metric = settings().metricUnits != 0;
    if (camera) {
        Mat4 eye;
        if (mat4InvertAffine(camera->view, eye))
            out.cameraPosition = {eye.m[12], eye.m[13], eye.m[14]};
        out.cameraRoll = cameraRollOf(*camera);
    }
    if (!mode)
        return;
    out.gameType = static_cast<int>(mode->gameType());
    out.matchType = mode->isMatchType();
    const Airplane* plane = mode->playerAirplane();
    const Airplane* viewed = watchedAirplane(mode);
    if (viewed && viewed != plane) {
        // The radar, the lock reticles and the viewed plane's own marker
        // follow the watched plane; the player's own values stay.
        out.spectating = true;
        out.viewedIsPlayer = false;
        out.viewedTeam = viewed->team();
        out.viewedPosition = viewed->position();
        out.viewedVelocity = viewed->velocity();
        if (viewed->planeRecord)
            out.viewedRangeFactor = viewed->planeRecord->pRadarRange;
        readWeapons(*viewed, out);
    }
    if (!plane)
        return;
    out.hasPlayer = true;
    out.playerTeam = plane->team();
    out.playerFlightState = static_cast<int>(plane->flightState());
    out.playerPosition = plane->position();
    out.playerForward = plane->forward();
    out.playerSpeed = plane->speed();
    out.lampOn = plane->approachLamp();
    out.lampA = plane->approachLampA();
    out.lampB = plane->approachLampB();
    if (out.spectating)
        return;
    out.viewedTeam = plane->team();
    out.viewedPosition = plane->position();
    out.viewedVelocity = plane->velocity();
    if (plane->planeRecord)
        out.viewedRangeFactor = plane->planeRecord->pRadarRange;
    readWeapons(*plane, out);
}
