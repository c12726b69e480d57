#pragma once
#include "modes/ModeHooks.h"
#include "screens/scene/AirplaneCameraPlane.h"
#include "screens/scene/CameraWorld.h"

class GameCamera;
class MenuCamera;

// The game camera's view of the current game mode: the player's airplane,
// the chosen view, the target searches and the ground.
class CurrentModeCameraGame : public CameraGameMode {
public:
    int chosenViewMode() const override;
    bool playStopped() const override;
    // Follows the current mode's player airplane; null without one.
    const CameraPlane* playerPlane() const override;
    float terrainHeightAt(float x, float z) const override;
    const Vec3* findTarget(const CameraPlane& from, float range, float cone, bool last) override;
    const Vec3* findTargetDefault(const CameraPlane& from, float range) override;
    EntityHandle entityAt(const Vec3* point) const override;

private:
    mutable AirplaneCameraPlane m_player;
};

// The one game camera and the one menu camera of the run.
GameCamera& gameCamera();
MenuCamera& menuCamera();
// The menu camera's showcase, following the menu flight's airplane.
AirplaneCameraPlane& menuShowcasePlane();

// What the game mode reaches of the camera: where it is and what it must forget.
class SceneModeCamera : public IModeCamera {
public:
    void forget(const Target& entity) override;
    bool position(Vec3& out) const override;
    void orbit(const Target& entity, float distance, float pitch) override;
    // The player's killer (or the followed killer's) takes the view.
    void onKill(const Target& victim, const Target& attacker) override;
    bool watchingOther() const override;
    void startKillCam(const Target& airplane) override;
};
SceneModeCamera& sceneModeCamera();
