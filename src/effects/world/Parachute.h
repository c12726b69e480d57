#pragma once
#include "effects/IEffect.h"
#include "platform/Math.h"

#include <cstdint>

class IAirplaneFx;
class Model;

// The six-second ejection of a pilot: the canopy blows off in three flashes,
// the seat fires out on its rocket and tumbles, falls away, the chute opens
// and the pilot hangs under it. The game mode's parachute list owns, updates
// and draws it and deletes it once done.
class Parachute final : public PSystemParent {
public:
    static constexpr int kIdCount = 64;
    static constexpr float kLifetime = 6.0f;

    explicit Parachute(IAirplaneFx& airplane);
    ~Parachute() override;
    Parachute(const Parachute&) = delete;
    Parachute& operator=(const Parachute&) = delete;

    void update(float dt);
    // pass != 0: the pilot, seat and chute; 0: the canopy, the seat's flame
    // and the canopy blast.
    void render(int pass);
    Mat4* getTransform(Mat4* out) override;
    // The airplane is going: keep its last placement and forget it.
    void ownerGone();

    // The flash colour (218, 165, 32, 255) times f, rounded.
    static Color4 tintFlash(float f);
    // Ids in use (tests).
    static int idsInUse();
    // The shared model, loaded on the first parachute; null when it is
    // missing or damaged (the pilot then ejects unseen).
    static const Model* sharedModel();
    // Forgets the shared model (the model cache was reset).
    static void releaseShared();

    bool isPlayer = false;
    float legAngle = 0.0f, handAngle = 0.0f;
    Vec3 seatVelocity, canopyVelocity;
    Mat4 seatMatrix, canopyMatrix;
    float chuteScaleXZ = 0.0f, chuteScaleY = 0.0f;
    int seatReleased = 0;
    int id = kIdCount;
    Quat targetOrientation;
    IAirplaneFx* owner;
    Vec3 position, velocity;
    float scale = 1.0f;
    float time = 0.0f;
    Quat orientation;
    Mat4 matrix;
    bool done = false;

private:
    void followOwner();
    void freeFlight(float dt);
    float tumbleAngle() const;
    void moveCanopyAndSeat(float dt);
    void scaleChute();
    void drawNode(int node, const Mat4& world) const;
    void drawFlames() const;

    // The owner's last placement, used once it is gone.
    Mat4 m_ownerMatrix;
    float m_ownerSpeed = 0.0f;
    Vec3 m_ownerDirection{0.0f, 0.0f, -1.0f};
    const Model* m_canopyModel = nullptr;
    int m_canopyNode = -1;
    int m_nodes[10];
};
