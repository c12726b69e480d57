#pragma once
#include "platform/Math.h"
#include "screens/hud/HudMarkers.h"

#include <array>
#include <functional>
#include <string>

// What the flight HUD reads of the game in one frame, gathered from the game
// mode and the player's airplane (readHudGameState), or filled by tests.
struct HudWeaponState {
    bool present = false;
    int group = 0;              // 0, 1 or 2: the weapon-slot button it belongs to
    bool hasLaunchers = false;
    int readyLaunchers = 0;     // launcher timers below 0
    bool reloading = false;
    float reloadProgress = 1.0f;  // 0 just fired .. 1 ready
    bool linkable = false;
    bool shown = true;
    bool lockWeapon = false;    // its target list is not empty
    bool locked = false;        // ... and its lock timer ran out
    int iconIndex = -1;
    const void* identity = nullptr;  // the mounted weapon, compared only
};

struct HudPlaneState {
    bool exists = false;
    bool inPlay = false, controlsEnabled = true, crashing = false;
    int removalState = 0;
    Vec3 position;
    float speed = 0.0f;
    bool onCarrier = false;
    float health = 1.0f;        // 0..1
    float boostReserve = 0.0f, boostCapacity = 0.0f;
    int counter = 0;            // shown on button 8 while positive
    bool hasTarget = false;
    bool canEject = false;
    bool autopilot = false;     // the player's autopilot flies the plane
    bool reticleBlocked = false;  // the reticle lets go of the plane while set
    Quat orientation;
    std::array<HudWeaponState, 8> weapons{};
};

struct HudGameState {
    HudPlaneState player;
    bool spectating = false;    // the camera follows another plane
    bool singlePlayer = true;
    int gameType = 0;
    int playerGroupIndex = -1;
    bool soundMuted = false;
    bool paused = false;
    // The faint meter two past its start: the view is going dark, and the
    // radar, the approach lamp and the achievement pop-ups are no longer drawn.
    bool blackingOut = false;
    float faintPast = 0.0f;  // how far the meter stands past its start
    float faintRange = 0.0f;  // from its start to its end
    float scenePhase = 0.0f;  // the scene's clock, which the darkening breathes by
    int steeringMode = -1;
    bool relativeMouse = false;
    int mouseDx = 0, mouseDy = 0;
    int cameraMode = 0;
    Quat cameraOrientation;
    int playerTeam = 0;
    // While the player waits to fly again: the countdown or the waiting notice.
    std::u16string respawnText;
    bool waitingToFly = false;  // the player's airplane is out of play
    // Projects a world point to normalised screen coordinates (-1..1, y down);
    // false behind the camera or without one.
    std::function<bool(const Vec3&, Vec2&)> project;
    // The markers, the radar and the sights; no objects: nothing is marked.
    HudMarkerFrame markers;
    const IHudObjects* objects = nullptr;
};

// The game's side of the HUD's actions that are not control actions.
class IHudGame {
public:
    virtual ~IHudGame() = default;
    virtual void pauseGame() {}
    // The chat menu over the pause screen; custom picks the typed-message mode.
    virtual void openChat(bool custom) { (void)custom; }
    virtual void endBoost() {}
    virtual void gesture(int code) { (void)code; }
};

class GameMode;
// The state of the current game mode and its player airplane.
void readHudGameState(const GameMode* mode, HudGameState& out);
