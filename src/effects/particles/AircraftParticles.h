#pragma once
#include "effects/particles/ParticleSystem.h"

#include <array>
#include <cstdint>

class IAirplaneFx;
class IGunFx;
class Model;
class Texture2D;
struct BlendState;

// Makes a pooled system; null (nothing kept) when the pool is full.
template <typename T, typename... Args>
T* spawnPooled(Args&&... args)
{
    T* s = new T(static_cast<Args&&>(args)...);
    if (!s->isRegistered() || !s->hasSlot()) {
        delete s;
        return nullptr;
    }
    return s;
}

// The effect state of the pooled kinds: the effect program, depth test
// without writes, the blend and one texture. False, with nothing set, when
// the texture did not load.
bool beginPooledDraw(const Texture2D* texture, const BlendState& blend);

// Dust puffs where the laser strikes: one ring of 32, one at a time.
class DirtShots : public ParticleSystem {
public:
    DirtShots();
    ~DirtShots() override;
    void spawn(const Vec3& at);
    void update() override;
    void draw() override;
    int ring = 0;
    static DirtShots* current();
};

// A salvo of five decoy flares with smoke tails, 2.85 s long.
class Flares : public ParticleSystem {
public:
    static constexpr int kFlares = 5;
    explicit Flares(const IAirplaneFx* owner);
    void update() override;
    void draw() override;
    void ownerGone(const IAirplaneFx* owner) override;
    static void buildIndices();
    static std::span<const std::uint16_t> tailIndices();

    const IAirplaneFx* owner = nullptr;
    float sizeFactor = 1.0f;
    float emitTimer = 0.0f;
    int flareCount = 0;
    std::array<std::uint8_t, kFlares> heads{};

private:
    void startFlare(int f);
    void writeFlare(int f, const Vec3& drift, float growth);
    Vec3 m_direction{0.0f, 0.0f, -1.0f};   // the owner's last flight direction
    int m_group = 0;
};

// Smoke puffs and the muzzle flash of a gun.
class MachinegunSmoke : public ParticleSystem {
public:
    explicit MachinegunSmoke(IGunFx* gun);
    ~MachinegunSmoke() override;
    void update() override;
    void draw() override;
    void gunGone() { m_gun = nullptr; }
    const IGunFx* gun() const { return m_gun; }
    float emitTimer = 0.0f;
    // A fire interval of 0 or less gives the flash no stretch.
    static float flashStretch(float emitTimer, float interval);
    // The muzzle flash model ("data/models/gunfire.glm"), from the model cache.
    static const Model* flashModel();

private:
    IGunFx* m_gun;
    // Taken at creation: the cache may be emptied between levels and a
    // pointer kept for the whole run would outlive its model.
    const Model* m_flash = nullptr;
    Vec3 m_muzzle;
};

// The shock cone flash of an airplane passing the speed of sound.
class SonicBoom : public ParticleSystem {
public:
    // The owner keeps `*slot` pointing at its boom; the boom clears it.
    SonicBoom(const IAirplaneFx* owner, SonicBoom** slot);
    ~SonicBoom() override;
    void update() override;
    void draw() override;
    void ownerGone(const IAirplaneFx* owner) override;
    const IAirplaneFx* owner() const { return m_owner; }
    // The cone shows during the boom's first second only.
    bool visible() const { return age < 1.0f; }
    float rotation = 0.0f, scaleX = 1.0f, scaleY = 1.0f, scaleZ = 1.0f;

private:
    void randomise();
    const IAirplaneFx* m_owner;
    SonicBoom** m_slot;
    Mat4 m_matrix;
};
