#pragma once
#include "screens/scene/Camera.h"
#include "screens/scene/CameraWorld.h"

#include <functional>

// The camera of the main menu, watching the showcase airplane: 0 and 1 idle
// orbit, 2 and 3 views along the plane, 4 drag orbit, 5 straight at it.
class MenuCamera : public Camera {
public:
    static constexpr float kMoveRate = 0.75f;
    static constexpr float kPitchMax = 0.5f, kPitchMin = -0.8f;

    MenuCamera() : Camera(1) {}

    void update() override;
    void snap() override;
    void setMode(int newMode) override;
    void returnToDefaultMode();
    void rotateByDrag(float dx, float dy);
    Vec3 computeOrbit(int forMode);

    // The showcase airplane; null while the menu has none (the camera then rests).
    const CameraPlane* showcase = nullptr;
    std::function<float(float x, float z)> terrainHeight;  // empty: no terrain
    int windowWidth = 1280, windowHeight = 720;
    float projection1 = 1.0f, projection2 = 1.0f;  // the scene's two projection values
    float sideScale = 1.0f;                          // the sideways offset of the idle orbit
    float slideX = 0.0f, slideY = 0.0f;              // a page's swipe carrying the plane aside, about +-2 at most

    float moveBlend = 1.0f;
    int moveFromMode = 0;
    Vec3 moveStart;
    bool useStoredStart = false;
    float dragYaw = 0.0f, dragPitch = 0.0f;
    float pullBack = 0.0f;
    float idleTime = 0.0f;
    float menuTurn = 0.0f;
    float heightAboveGround = 0.0f;

private:
    Quat orientationFor(int forMode);

    Quat m_stored;
    Quat m_moveFromOrientation;
};
