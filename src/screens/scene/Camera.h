#pragma once
#include "platform/Math.h"

// The eye of the 3-D scene: an orientation and a position turned once a frame
// into the matrices the renderer reads, with a 0.5 s blend between two modes.
class Camera {
public:
    explicit Camera(int owner);
    virtual ~Camera() = default;

    // Places the orientation for the current mode.
    virtual void update() = 0;
    // Places the position for the current mode.
    virtual void snap() = 0;
    virtual void setMode(int newMode) = 0;
    // Once a frame: evaluates the mode (or the two modes of a blend) and
    // rebuilds the matrices, axes and velocity.
    virtual void updateMatrices(float dt);
    // The matrices from the last orientation and the current position,
    // without evaluating a mode; the back view looks the other way.
    virtual void buildBackView();
    virtual void buildForwardView();

    void reset();
    // The 3-D sound listener at the eye, looking where it looks; the scene
    // calls it once a frame after updateMatrices.
    void moveListener() const;
    // Seconds of the frame being placed; update and snap read it.
    float frameDelta() const { return m_dt; }
    // True while a blend places the eye for the mode it leaves; clocks and
    // rates advance only in the pass for the current mode.
    bool placingOldMode() const { return m_placingOld; }

    int owner = 0;
    Mat4 orientationMatrix;
    Mat4 fixedRotation;
    Mat4 viewRotation;
    Mat4 viewMatrix;
    Mat4 worldMatrix;
    Mat4 headingMatrix;  // rotation about y by the eye's heading (sky, heading-aligned drawing)
    Vec3 eyePosition;
    Quat orientation;
    Quat previousOrientation;
    Vec3 position;
    Vec3 forward{0.0f, 0.0f, -1.0f};
    Vec3 right{1.0f, 0.0f, 0.0f};
    Vec3 up{0.0f, 1.0f, 0.0f};
    Vec3 velocity;
    float heading = 0.0f;
    float blend = 1.0f;
    int mode = 0;
    int fromMode = 0;
    bool active = false;
    Vec3 billboardUp;
    Vec3 billboardRight;

protected:
    void placeAxes();  // matrix, axes and heading from `orientation`
    void buildViewFrom(const Quat& q);

private:
    void finishMatrices();

    float m_dt = 0.0f;
    bool m_placingOld = false;
};

// The camera the scene draws with; null when none. The scene sets it when it
// switches cameras and clears it before the camera goes.
Camera* activeCamera();
void setActiveCamera(Camera* camera);
