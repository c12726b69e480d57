#pragma once
#include "effects/particles/ParticleSystem.h"
#include "platform/ManagedArray.h"

#include <array>
#include <cstdint>

class ITrailSource;

// The smoke ribbon behind a missile: a ring of 24 points sampled every 0.1 s,
// drawn as three crossed strips. Once detached it fades out in place over
// 4 s and is deleted by updateAll.
class MissileTrail : public ManagedArray<MissileTrail, 128> {
public:
    static constexpr int kPoints = 24;
    struct Point {
        Vec3 position, sideA, sideB, sideC, velocity;
    };

    // Null when 128 trails are registered: no trail is made then.
    static MissileTrail* create(ITrailSource& source);
    ~MissileTrail();

    void update(float dt);
    // The missile is ending: one last point where it is, then fade alone.
    void detach();
    void setActive(bool on) { active = on ? 1 : 0; }

    static void updateAll(float dt);
    static void renderAll(const Mat4& screenProjection);
    static void buildIndices();
    static void deleteAll();
    // The three sides of a point from a unit direction; straight up or down
    // takes a fixed horizontal side.
    static void computeSideVectors(const Vec3& d, Point& p);
    static int glowCount();

    ITrailSource* owner = nullptr;
    float emitTimer = 0.0f;
    float fadeTimer = 4.0f;
    std::array<Point, kPoints> points{};
    int head = 0;
    std::array<FxVertex, 144> vertices{};
    std::uint8_t active = 1;
    std::uint8_t drawn = 0;

private:
    explicit MissileTrail(ITrailSource& source);
};
