#pragma once
#include "platform/CSerializable.h"
#include "platform/Math.h"

#include <string_view>

// A particle description (.psc): a PConfig of groups, each with life stages.
// Loaded on first use by name and kept for the whole run; every PSystem
// points to its cached PConfig.

// Values of an unset stage member: a Min below kUnsetBelow means "keep the
// previous stage's value" (a segment of 0 s for life).
constexpr float kUnsetBelow = -1000.0f;

enum class PBlend : int { Additive = 0, AdditiveAlpha = 1, Blend = 2, Normal = 3 };
enum class PGroupType : int { Camera = 0, Vertical = 1, Horizontal = 2, HorizontalTrail = 3 };

struct PStage final : CSerializable {
    int blend = -9000;   // PBlend; the default matches none and draws as "BLND"
    float sizeMin = -9000.0f, sizeMax = -9100.0f;
    float aspectMin = -9000.0f, aspectMax = -9100.0f;
    float lifeMin = 0.0f, lifeMax = -9100.0f;
    float rotSpeedMin = -9000.0f, rotSpeedMax = -9100.0f;   // degrees per second
    float speedMin = -9000.0f, speedMax = -9100.0f;
    Color4 colorMin{255, 255, 255, 255}, colorMax{255, 255, 255, 255};
    float childTime = 1.0f;

    const char* typeName() const override { return "PStage"; }
    void describe(SerMembers& members) override;
};

struct PGroup final : CSerializable {
    bool enabled = true;
    int type = 0;   // PGroupType
    int animIdMin = 0, animIdMax = 0;
    float animTime = 1.0f;
    int animLightMap = 0;
    float spawnInterval = 0.0f, spawnDelay = 0.0f;
    int countMin = 1, countMax = 1;   // -1: unlimited
    float rotStartMin = 0.0f, rotStartMax = 0.0f;
    float angleMin = 0.0f, angleMax = 90.0f;
    Vec3 emitDir{0.0f, 0.0f, 0.0f};
    Vec3 posMin{0.0f, 0.0f, 0.0f}, posMax{0.0f, 0.0f, 0.0f};
    Vec3 gravity{0.0f, -9.81f, 0.0f};
    int childGrp = -1, childGrp2 = -1;
    int maxChildCountGrp1 = 0, maxChildCountGrp2 = 0;
    bool capAlpha = false;
    bool inheritDirection = false;
    bool inheritFixedParent = true;
    float priority = 1.0f;
    std::string name;
    CSerArray<PStage> stages;

    // Built from emitDir when the description loads (emitterMatrix below).
    Mat4 emitter;

    const char* typeName() const override { return "PGroup"; }
    void describe(SerMembers& members) override;
    int stageCount() const { return stages.count(); }
    const PStage& stage(int index) const { return *stages.at(index); }
};

struct PConfig final : CSerializable {
    float sizeScale = 1.0f;
    float timeScale = 1.0f;
    float timeSkip = 0.0f;
    int soundID = -1;   // ExplosionSound slot; -1 none
    float soundDelay = 0.0f;
    bool soundLoop = false;
    bool foggy = true;
    bool occludeScreen = false;
    float debrisOil = 0.0f;
    float debrisWater = 0.0f;
    float debrisSparks = 0.0f;
    CSerArray<PGroup> groups;

    bool loaded = false;   // a file was read into it without error

    const char* typeName() const override { return "PConfig"; }
    void describe(SerMembers& members) override;
    // Every member back to its default, no groups, not loaded.
    void reset();
    // Builds every group's emitter matrix from its emitDir.
    void buildEmitters();
    int groupCount() const { return groups.count(); }
};

// The matrix whose rows are a, d and c for d = the normalised direction,
// a = (0, 0, -1) when |d.y| > 0.75 else (0, 1, 0), and c = a x d (element
// (row r, column k) = component k of row r); applied to a vector it gives
// (a.v, d.v, c.v). Rows of a zero direction are a, (0, 0, 0), (0, 0, 0).
Mat4 emitterMatrix(const Vec3& direction);
// Row r (0..2) of the matrix's upper 3x3.
Vec3 matrixRow(const Mat4& m, int row);

constexpr int kParticleConfigCacheSize = 64;
constexpr std::size_t kParticlePathBytes = 128;

// The cached description: "data/FX/NV/<name>" first with the top-quality
// flag, else "data/FX/<name>". A name whose file opens nowhere (or whose path
// does not fit kParticlePathBytes) gets an empty description that is never
// tried again. Null only for a new name when all 64 entries are taken.
PConfig* getParticleConfig(std::string_view name);
// Empties the cache (program exit, tests).
void freeParticleConfigs();
