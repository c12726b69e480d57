#include "screens/hud/HudGameState.h"

#include "effects/screen/FaintMeter.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Weapon.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchReport.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "screens/hud/HudMarkerFeed.h"
#include "screens/GameScreen.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/Scene.h"
#include "screens/scene/SceneCameras.h"

#include <cmath>

namespace {

// How far past the faint start the radar gives out.
constexpr float kBlackoutMargin = 2.0f;

void readWeapon(const Weapon& w, HudWeaponState& out)
{
    out.present = true;
    out.group = w.group();
    out.hasLaunchers = w.hasLaunchers();
    out.readyLaunchers = 0;
    for (float t : w.launcherTimers())
        if (t < 0.0f)
            ++out.readyLaunchers;
    out.reloading = w.isReloading();
    out.reloadProgress = w.reloadProgress();
    out.linkable = w.canLink();
    out.shown = w.isShown();
    out.lockWeapon = w.target() != nullptr;
    out.locked = w.isLocked();
    out.iconIndex = w.iconIndex();
    out.identity = &w;
}

}  // namespace

void readHudGameState(const GameMode* mode, HudGameState& out)
{
    if (!mode)
        mode = modeOf(currentMatch());
    out = HudGameState{};
    const Input& in = input();
    out.steeringMode = in.steeringMode;
    out.relativeMouse = in.wantsRelativeMouse();
    out.mouseDx = in.mouseDx();
    out.mouseDy = in.mouseDy();
    if (const Scene* s = scene()) {
        out.project = [s](const Vec3& p, Vec2& ndc) { return projectToScreen(s->cameraRecord, p, ndc) < 0.0f; };
    }
    const Scene* sc = scene();
    readHudMarkerFrame(mode, sc ? &sc->cameraRecord : nullptr, frameDelta(), out.markers);
    out.spectating = out.markers.spectating;
    out.cameraMode = gameCamera().mode;
    out.cameraOrientation = gameCamera().orientation;
    out.paused = gamePaused();
    out.faintPast = std::fabs(Effects::faintValue()) - Effects::faintStart();
    out.faintRange = Effects::faintEnd() - Effects::faintStart();
    out.blackingOut = out.faintPast >= kBlackoutMargin;
    if (sc)
        out.scenePhase = sc->sceneTime;
    gameHudObjects().setMode(mode);
    out.objects = &gameHudObjects();
    if (!mode)
        return;
    // Refilled every frame; kept so that its texts keep their buffers.
    static MatchReport report;
    mode->fillReport(report);
    out.singlePlayer = report.isSinglePlayer();
    out.gameType = static_cast<int>(report.type);
    out.playerGroupIndex = report.playerGroupIndex;
    out.respawnText = report.respawnText;
    out.waitingToFly = report.waitingToFly;
    // The end of play stops every sound, and a pause holds them.
    out.soundMuted = mode->playStopped || out.paused;
    const Airplane* plane = mode->playerAirplane();
    if (!plane)
        return;
    HudPlaneState& p = out.player;
    p.exists = true;
    p.inPlay = plane->inPlay && plane->isActive();
    p.controlsEnabled = plane->controlsEnabled;
    p.crashing = plane->lifeState() != LifeState::Alive;
    p.removalState = plane->removalState;
    p.position = plane->position();
    p.speed = plane->speed();
    p.onCarrier = plane->isLandedOnCarrier();
    p.health = plane->health();
    p.boostReserve = plane->boostReserve();
    p.boostCapacity = plane->boostCapacity();
    // The flares left are the count button 8 shows.
    p.counter = plane->flareCount();
    p.hasTarget = plane->currentTarget != nullptr;
    p.canEject = plane->canEject();
    p.autopilot = mode->autopilot && plane->aiController();
    p.orientation = plane->orientation();
    p.reticleBlocked = plane->lifeState() != LifeState::Alive;
    out.playerTeam = plane->team();
    for (int i = 0; i < kWeaponSlots; ++i)
        if (const Weapon* w = plane->weapon(i))
            readWeapon(*w, p.weapons[static_cast<std::size_t>(i)]);
}
