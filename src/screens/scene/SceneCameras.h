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
    const Vec3* cameraTarget() const override { return m_target; }
    // The point views 0 and 1 turn toward; a copy is kept when asked.
    void setCameraTarget(const Vec3* point, bool copy);
    EntityHandle entityAt(const Vec3* point) const override;
    // The player's saved setting.
    float focusSwitchDelay() const override;

private:
    mutable AirplaneCameraPlane m_player;
    const Vec3* m_target = nullptr;
    Vec3 m_targetCopy;
};

// What the subject view reads of an object in flight (the player's missile):
// its position and its flight direction.
class EntityCameraPlane : public CameraPlane {
public:
    void follow(const IGameEntity* entity) { m_entity = entity; }
    const IGameEntity* entity() const { return m_entity; }
    const Vec3& position() const override;
    Quat orientation() const override;
    Vec3 velocity() const override;
    Size size() const override { return {}; }

private:
    const IGameEntity* m_entity = nullptr;
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
    void forgetMissile(const Missile& missile) override;
    // The player's own airplane back in play takes the view back from the kill cam.
    void onRespawned(const Target& airplane) override;
    int mode() const override;
    void setMode(int mode) override;
    void setChosenView() override;
    const IGameEntity* subject() const override;
    void setSubject(const IGameEntity* subject, float value) override;
    bool blending() const override;
    const Target* watchedAirplane() const override;
    void setTarget(const Vec3* point, bool copy, float duration) override;
    void createView(const Vec3* points, int count, float speed) override;
};
SceneModeCamera& sceneModeCamera();
