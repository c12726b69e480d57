#pragma once
#include "effects/IEffect.h"
#include "platform/Math.h"

#include <string>
#include <string_view>
#include <vector>

class Model;
class PSystem;

enum class GibsKind : int { Plain = 0, PlaneAir = 1, PlaneGround = 2, Vehicle = 3, Ship = 4 };

// Wreckage: the pieces of a unit's "_gibs" model flying apart, tumbling and
// falling, with its fire, explosion and splash effects. Made by create, then
// started by the destroyed unit and linked into the effect list.
class Gibs : public IEffect, public PSystemParent {
public:
    struct Piece {
        bool attached = false;   // moves with the wreck, no motion of its own
        float detachTime = 0.0f;
        Vec3 velocity, spin;     // spin: radians per second about x, y, z
        Mat4 matrix;
    };

    // The gibs model's name from a unit's model file name: the last path
    // component cut at its first '.'; with useGibsModel "_ful..." becomes
    // "_gibs", else "_gibs" is appended. Empty when it does not fit a name.
    static std::string modelName(std::string_view fileName, bool useGibsModel);
    // The wreck of that kind when its model loads; null otherwise (nothing made).
    static Gibs* create(std::string_view fileName, GibsKind kind, bool useGibsModel);
    // The same over a model already at hand (tests, tools); null for null.
    static Gibs* createWith(const Model* model, GibsKind kind);

    explicit Gibs(const Model* model);
    ~Gibs() override;

    // a and b: launch vectors chosen by the destroyed unit; surface 1 = ground.
    virtual void start(const Mat4& matrix, const Vec3& a, const Vec3& b, int surface = 1);

    void update(float dt) override;
    void drawModel() override;
    bool isAlive() const override { return alive; }
    bool isVisible() const override { return true; }
    int kind() const override { return 2; }
    int passMask() const override { return 1; }
    Mat4* getTransform(Mat4* out) override;

    const Model* model;
    std::vector<Piece> pieces;
    float age = -1.0f;
    bool alive = true;
    Vec3 baseVelocity{1.0f, 1.0f, 1.0f};
    Mat4 matrix;
    float gravity = -0.5f;

protected:
    void startPieces(const Mat4& m, const Vec3& launch);
    bool pieceMoves(std::size_t i) const;
    Vec3 position() const { return {matrix.m[12], matrix.m[13], matrix.m[14]}; }
};

class VehicleGibs final : public Gibs {
public:
    using Gibs::Gibs;
    void start(const Mat4& matrix, const Vec3& a, const Vec3& b, int surface) override;
};

class PlaneGroundGibs final : public Gibs {
public:
    explicit PlaneGroundGibs(const Model* model) : Gibs(model) { gravity = -100.0f; }
    void start(const Mat4& matrix, const Vec3& a, const Vec3& b, int surface) override;
};

class PlaneAirGibs final : public Gibs {
public:
    explicit PlaneAirGibs(const Model* model) : Gibs(model) { gravity = -100.0f; }
    ~PlaneAirGibs() override;
    void start(const Mat4& matrix, const Vec3& a, const Vec3& b, int surface) override;
    void update(float dt) override;
    void systemGone(PSystem* system) override;

    float fallTime = 0.0f;
    float speed = 0.0f;
    PSystem* fire = nullptr;
    float pitchRate = 0.0f, rollRate = 0.0f;
    int viewerRole = 0;   // 2: the camera looks at the wreck; 3: the cinematic camera follows it
    bool cameraDone = false;
    bool exploded = false;
    Vec3 cameraPoint;     // what the camera follows; kept at the wreck's position

private:
    void explode(float ground, const Vec3& normal);
    float m_sizeRoot = 1.0f;
};

class ShipGibs final : public Gibs {
public:
    static constexpr int kMaxPoints = 4;
    static constexpr int kMaxSinkSystems = 16;
    struct Point {
        Vec3 position;
        float delay = 0.0f;
    };

    explicit ShipGibs(const Model* model) : Gibs(model) { gravity = -600.0f; }
    void start(const Mat4& matrix, const Vec3& a, const Vec3& b, int surface) override;
    void update(float dt) override;
    // The burning hull's shimmer in the heat-distortion pass.
    void drawModelVariant() override;
    static constexpr float kHeatShimmer = 0.01f;

    // The sink systems' count and spacing for a size measure and scale.
    static int sinkCount(float size, float scale);
    static float sinkSpacing(float size, int count);

    float sinkTime = 0.0f;
    float speed = 0.0f;
    float pitchRate = 0.0f, rollRate = 0.0f, pitch = 0.0f, roll = 0.0f;
    float sinkRate = 0.0f;
    float rocking = 0.0f, phase = 0.0f;
    Point points[kMaxPoints];
    int pointCount = 0;
    Mat4 hull;
    Vec3 scale{1.0f, 1.0f, 1.0f};

private:
    void moveHull(float dt);
    void detachPieces(float dt);
    void firePoints(float dt);
    void sink();
    const char* waveName() const;
    float sizeMeasure() const;
};

// Wrecks asked for and made since the start (the log and tests read them).
struct WreckCounts {
    int requested = 0;
    int made = 0;
    GibsKind lastKind = GibsKind::Plain;
    Vec3 lastPosition;  // where the last one asked for starts
};
const WreckCounts& wreckCounts();

// The wreck of a destroyed unit from its model file: made, started with the
// unit's vectors and linked into the effect list. Null, and nothing made,
// when the unit has no gibs model. viewerRole: see PlaneAirGibs.
Gibs* startWreck(std::string_view modelFile, GibsKind kind, const Mat4& matrix, const Vec3& a, const Vec3& b,
                 int surface, int viewerRole = 0);
