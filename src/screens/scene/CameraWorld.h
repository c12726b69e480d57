#pragma once
#include "entities/EntityHandle.h"
#include "platform/Math.h"

// What the cameras read of an airplane. The game adapts its airplanes to it;
// tests use a plain fake. position() must return a reference that stays put
// for the plane's life: removal reports compare its address.
class CameraPlane {
public:
    struct Size {
        float length = 10.0f, width = 10.0f, height = 3.0f, span = 10.0f;
        Vec3 eyePoint{0.0f, 1.0f, -1.0f};  // cockpit eye in the plane's frame
        float targetBack = 3.0f, targetUp = 2.0f;  // mode-5 values
        float pathBack = 3.0f, pathUp = 2.0f;      // mode-8 values
        float menu1 = 10.0f, menu2 = 5.0f, menu3 = 0.0f;  // the menu camera's distance values
    };

    virtual ~CameraPlane() = default;
    virtual const Vec3& position() const = 0;
    virtual Quat orientation() const = 0;
    virtual Vec3 velocity() const = 0;  // world units a second
    virtual Size size() const = 0;
    virtual bool evading() const { return false; }
    // 0 in plain flight; the menu camera pulls back for the others but 7 and 8.
    virtual int manoeuvreCode() const { return 0; }
    virtual float speedFactor() const { return 0.0f; }
    virtual float rollInput() const { return 0.0f; }
    // Set while the plane sits on the ground; the terrain clearance is off then.
    virtual bool groundState() const { return false; }
    // The deck height of the carrier the plane belongs to, when it has one.
    virtual bool deckHeight(float& height) const
    {
        (void)height;
        return false;
    }
    virtual const Vec3* currentTarget() const { return nullptr; }
    // Where the plane's pilot (its autopilot) is bound on the map; null when nowhere.
    virtual const Vec3* mapTarget() const { return nullptr; }
};

// What the game camera needs of the game mode.
class CameraGameMode {
public:
    virtual ~CameraGameMode() = default;
    virtual int chosenViewMode() const = 0;
    virtual bool playStopped() const = 0;
    virtual const CameraPlane* playerPlane() const = 0;
    // 0 where there is no terrain or it lies below the sea.
    virtual float terrainHeightAt(float x, float z) const = 0;
    // The position of a target for `from` within range; a cone of -1 takes any
    // direction. Null when none.
    virtual const Vec3* findTarget(const CameraPlane& from, float range, float cone, bool last) = 0;
    virtual const Vec3* findTargetDefault(const CameraPlane& from, float range) = 0;
    virtual int specialObjectCount() const { return 0; }
    virtual const Vec3* specialObjectPoint(int index) const
    {
        (void)index;
        return nullptr;
    }
    // The point views 0 and 1 turn toward; null when none.
    virtual const Vec3* cameraTarget() const { return nullptr; }
    // The entity whose position `point` is (an address the searches above
    // returned); empty for points that are no entity's (map objects, fixed
    // points). The camera keeps it to notice a deleted entity by itself.
    virtual EntityHandle entityAt(const Vec3* point) const
    {
        (void)point;
        return {};
    }
    virtual void resumeAfterRoundOver() {}
    virtual float focusSwitchDelay() const { return 1.0f; }
};
