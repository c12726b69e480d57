#pragma once
#include "platform/Math.h"

// What the effects read of the scene, the camera and the renderer's quality.
// The scene fills it every frame before the effects update; tests set it
// themselves. Effects sit below the scene, so it is a record they read, not
// a call they make.
// The ground under a point, from the scene's terrain (wrecks read it).
class IEffectGround {
public:
    virtual ~IEffectGround() = default;
    // Height at x, z and the surface normal there; false without terrain.
    virtual bool groundAt(float x, float z, float& height, Vec3& normal) const = 0;
};

struct EffectScene {
    Vec3 cameraPosition;
    Vec3 cameraRight{1.0f, 0.0f, 0.0f}, cameraUp{0.0f, 1.0f, 0.0f}, cameraForward{0.0f, 0.0f, -1.0f};
    CameraMatrices camera;      // frustum planes
    bool hasFrustum = false;    // without one every box counts as in view
    float viewDistanceSq = 1.0e10f;
    float screenWidth = 960.0f, screenHeight = 640.0f;   // the 2-D pass's pixels
    // Live particles of the visible systems this frame; the scene resets it
    // before updateEffects and prepares the particle batches when positive.
    int visibleParticles = 0;
    const IEffectGround* ground = nullptr;   // null: flat ground at height 0
    float time = 0.0f;                       // the scene clock, seconds
};
EffectScene& effectScene();

// Sets the camera fields from the eye and the camera's matrices.
void setEffectCamera(const Vec3& eye, const Mat4& view, const Mat4& projection);

// The renderer's quality tier (0..3) and top-quality flag; without a renderer
// (tools, tests) tier 2 and off, unless an override is set.
int effectQualityTier();
bool effectHighDetail();
// Tests: forces the values; a tier below 0 drops the override.
void setEffectQualityOverride(int tier, bool highDetail);
