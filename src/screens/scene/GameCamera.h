#pragma once
#include "platform/Spline.h"
#include "screens/scene/Camera.h"
#include "screens/scene/CameraWorld.h"

#include <vector>

// The camera of play: follows the player's airplane in the chosen view, looks
// at locked targets, orbits points, flies paths and plays the kill cam.
// Modes: 0 behind, 1 close behind, 2 cockpit, 3 plane position, 4 locked
// target, 5 the plane's own target, 6 orbit a point, 7 transition only,
// 8 path, 9 fixed, 10 kill cam, 11 cinematic orbit, 12 from far out.
class GameCamera : public Camera {
public:
    static constexpr float kTerrainClearance = 4.0f;
    static constexpr float kDeckClearance = 2.0f;
    static constexpr float kCinematicRate = 0.7f;
    static constexpr int kCockpitMode = 2;

    explicit GameCamera(CameraGameMode& game);

    void update() override;
    void snap() override;
    void setMode(int newMode) override;
    void updateMatrices(float dt) override;

    void resetView();
    void resetForLevel();
    void lockTarget();
    void lockNearestTarget();
    void lookAtPoint(const Vec3* point, float distance, float speed, float duration, bool copy, float zoom);
    void updateLookAt();
    void startKillCam(const CameraPlane* plane, int kind, bool copy, const Vec3* point);
    void updateCinematic(float dt);
    void endCinematic();
    const CameraPlane* followedPlane() const { return (mode == 10 || mode == 11) ? m_followedPlane : nullptr; }
    void onPlaneRemoved(const CameraPlane* plane);
    void onTargetRemoved(const Vec3& objectPosition);
    void onGameEvent(bool asksKillCam, const CameraPlane* plane, const CameraPlane* eventObject);
    void createViewHelper(const Vec3* points, int count, float speed);
    void cancelMode7();
    void setFixedView(const Vec3& at, const Quat& facing);
    // What mode 7 rides behind (the player's missile); null: mode 7 holds the view still.
    void setSubject(const CameraPlane* subject) { m_subject = subject; }
    const CameraPlane* subject() const { return m_subject; }

    int previousMode = 0;
    const Vec3* lockedPoint = nullptr;  // what modes 2-5 turn toward
    Vec3 orbitPoint;
    const Vec3* orbitPointRef = nullptr;
    float orbitAngle = 0.0f, orbitTime = 0.0f, orbitDuration = -1.0f;
    float orbitDistance = 0.0f, orbitSpeed = 0.0f, orbitZoom = 0.0f;
    float pullBack = 0.0f;
    float placeBlend = 1.0f;
    int placeFromMode = 0;
    const Vec3* focusPoint = nullptr;
    Vec3 focusCopy;
    Vec3 startPosition;
    float cinematicBlend = 1.0f;
    int cinematicStep = 0, cinematicKind = 0;
    float heightAboveGround = 0.0f;
    Quat storedOrientation;
    // The rotation control's look offset (-1..1 each) and where it heads.
    Vec2 lookOffset, lookOffsetTarget;
    // The look the HUD's drag, the Look key or the right stick asks for; the
    // game screen fills it each frame. It leads unless a camera target does.
    Vec2 controlLook;
    // The HUD's aim while the mouse steers: views 0 and 1 turn to it instead
    // of the plane's own orientation. Filled by the game screen each frame.
    bool followsAim = false;
    Quat aimOrientation;
    // The arcade control scheme is on the HUD: views 0 and 1 keep the
    // horizon level, turning with the plane's heading and pitch only.
    bool levelView = false;
    // Set in the views from the player's plane (modes 0-3); the scene reads it.
    bool playerView = true;
    // Shake of the view, 1.0 at the player's sonic boom; the effects read it.
    float shake = 0.0f;
    float sceneTime = 0.0f;

private:
    // A kept point that is an entity's position, with the entity's handle and
    // where it was last seen: once the entity is deleted the point is dropped
    // or frozen there before anything reads it, even when no removal report
    // came.
    struct KeptEntity {
        const Vec3* point = nullptr;
        EntityHandle entity;
        Vec3 lastSeen;
    };
    void dropGoneEntities();
    void track(KeptEntity& kept, const Vec3* current);
    // The point leaves: locks drop, orbits and focus freeze at lastSeen. True
    // when the lock of mode 4 was dropped and wants a new target.
    bool forgetPoint(const Vec3* object, const Vec3& lastSeen);

    Vec3 placeForMode(int m);
    Vec3 behindPlane(const CameraPlane& p, float back, float upOffset, float side) const;
    void follow(const Quat& wanted, float k);
    void applyLookOffset(bool withRoll);
    void keepClear();
    Quat lookFrom(const Vec3& eye, const Vec3& at, const Quat& fallback) const;

    CameraGameMode& m_game;
    const CameraPlane* m_followedPlane = nullptr;
    const CameraPlane* m_subject = nullptr;
    const Vec3* m_focusFound = nullptr;
    float m_focusTimer = 0.0f;
    float m_sway = 0.0f, m_drift = 0.0f;
    float m_modeRoll = 0.0f;
    Vec3 m_lastTargetDir{0.0f, 0.0f, -1.0f};
    Vec3 m_farOffset{0.0f, 300.0f, 75.0f};
    float m_orbitAroundPlane = 0.0f;
    Vec3 m_startOffset;
    bool m_hasLookPoint = false;
    Spline m_path;
    bool m_hasPath = false;
    float m_pathDistance = 0.0f, m_pathSpeed = 0.0f, m_pathTargetSpeed = 0.0f, m_pathTime = 0.0f;
    float m_pathEndTimer = -1.0f;
    Vec3 m_lookPoint;
    Vec3 m_fixedPosition;
    Quat m_fixedOrientation;
    KeptEntity m_keptLock, m_keptOrbit, m_keptFocus;
};
