#pragma once
#include "platform/ManagedArray.h"
#include "platform/Math.h"

#include <array>
#include <cstdint>
#include <span>

// The 24-byte vertex of the self-drawing effects, trails and contrails.
struct FxVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    Color4 color{0, 0, 0, 0};
    float u = 0.0f, v = 0.0f;
};
static_assert(sizeof(FxVertex) == 24, "the effect vertex is 24 bytes");

// The 20-byte vertex of axis quads (position, u v).
struct FxVertex20 {
    float x = 0.0f, y = 0.0f, z = 0.0f, u = 0.0f, v = 0.0f;
};

// One particle of a pooled system; the quad writers read position, colour,
// width and height, the rest is each kind's own.
struct ParticleRecord {
    Vec3 position;
    Color4 color{0, 0, 0, 0};
    float width = 0.0f, height = 0.0f;
    float life = 0.0f;
    float rotation = 0.0f;
    Vec3 velocity;
    Vec3 sideA, sideB;
    std::uint8_t flag = 0;
};

// Short effects that draw themselves (dust shots, flares, gun smoke, the
// sonic boom): at most 128 live, each with one of 128 fixed vertex slots,
// updated, aged, deleted and drawn by the pool once a frame.
class ParticleSystem : public ManagedArray<ParticleSystem, 128> {
public:
    static constexpr int kSlots = 128;
    static constexpr int kRecords = 32;
    static constexpr int kSlotVertices = 128;     // 32 quads
    static constexpr int kSharedQuads = 256;

    ParticleSystem();
    virtual ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    virtual void update() = 0;
    virtual void draw() = 0;
    // The airplane is going: a system reading it lets go (and finishes).
    virtual void ownerGone(const class IAirplaneFx* owner) { (void)owner; }
    // Tells every registered system.
    static void forgetOwner(const class IAirplaneFx* owner);

    // A system without a slot (the pool was full) is finished from the
    // start and writes nothing.
    bool hasSlot() const { return vertices != nullptr; }

    FxVertex* vertices = nullptr;
    ParticleRecord* records = nullptr;
    Vec3 position;
    float age = 0.0f;
    std::uint8_t liveCount = 0;
    std::uint8_t slot = 0;
    int drawGroup = 0;          // 0 none, 1 near, 2 and above far
    bool finished = false;

    // Clears the slots and builds the shared quad indices; the scene's load.
    static void initParticleBuffers();
    // Runs every system's update; ages the unfinished ones by dt (0 while
    // play is stopped) and deletes the finished ones.
    static void updateAll(float dt);
    // Far groups under the far projection, then group 1 under the near one.
    static void drawAll(const Mat4& farProjection, const Mat4& nearProjection);
    // Deletes every registered system (screen change).
    static void deleteAll();
    // The frame delta of the current pool walk.
    static float frameDelta();
    // The shared index list: 256 quads of 6 indices.
    static std::span<const std::uint16_t> quadIndices();
    static int usedSlots();

protected:
    // Draws `quads` quads of this system's vertices with the effect program.
    void drawQuads(int quads, int firstVertex = 0) const;
};

// Quad writers: four vertices centre + V - H, centre + V + H, centre - V - H,
// centre - V + H.
void writeBillboardQuad(FxVertex* out, const ParticleRecord& p, const Vec3& right, const Vec3& up);
void writeRotatedBillboardQuad(FxVertex* out, const ParticleRecord& p, const Vec3& right, const Vec3& up,
                               float angle);
void writeAxisQuad(FxVertex20* out, const Vec3& centre, const Vec3& axisA, const Vec3& axisB, float sizeA,
                   float sizeB, float left, float top, float right, float bottom);

// Each byte times f, rounded and held to 0..255.
Color4 scaleColor(const Color4& c, float f);
// The scene's light colour (white without a light record).
Color3f sceneLightColor();
