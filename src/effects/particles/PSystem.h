#pragma once
#include "effects/IEffect.h"
#include "platform/Math.h"

#include <cstdint>
#include <vector>

struct PConfig;
struct PGroup;
class PSystem;

// One particle of the shared pool.
struct Particle {
    struct StageValues {
        float size = 0.0f, aspect = 1.0f;
        float rotSpeed = 0.0f;   // radians per second
        float speed = 0.0f;
        Color4 color;
    };
    Particle* next = nullptr;   // in its system's list or in the free list
    bool alive = false;
    std::uint8_t alpha = 255;   // limit of every color byte; 255 none
    PSystem* system = nullptr;
    const PGroup* group = nullptr;
    Vec3 position, direction;
    float rotation = 0.0f;
    int stage = 0;              // the stage the particle is leaving
    StageValues current, nextValues;
    float t = 0.0f;
    float invLife = 0.0f;       // below 0: the segment lasts no time and ends at the next step
    float age = 0.0f;
    int animId = 0;
    float animPhase = 0.0f;
    float childTimer = 0.0f;
    bool childDue = false;
    int childCount1 = 0, childCount2 = 0;
    float fade = 1.0f;
    float key = 0.0f;
};

constexpr int kParticlePoolSize = 4096;
// Particles taken from the pool now.
int liveParticleCount();

// One running particle effect made from a cached description. Callers attach
// it (parent, offset, localDirection, carryParticles and the other switches)
// right after construction, then place it with setPosition and link it with
// addEffect; the effect list deletes it once it is no longer alive.
class PSystem final : public IEffect {
public:
    struct GroupState {
        bool enabled = true;
        float timer = 0.0f;
        int remaining = 0;   // emissions left; -1 unlimited
        float thinning = 0.0f;
    };

    PSystem(const PConfig* config, const Vec3& direction);
    ~PSystem() override;

    void update(float dt) override;
    void draw(int pass) override;
    bool isAlive() const override { return alive; }
    bool isVisible() const override { return visible; }
    int kind() const override { return 1; }
    void ownerGone(PSystemParent* owner) override;
    int passMask() const override { return 2; }

    // Moves the emitter and refreshes the key from the camera.
    void setPosition(float x, float y, float z);
    // No more emissions; the list deletes the system once its particles die.
    void stop();
    int particleCount() const;
    const Particle* firstParticle() const { return particles; }

    const PConfig* config;
    bool alive = true;
    bool visible = false;
    Vec3 position;
    Vec3 direction;
    std::vector<GroupState> groupStates;
    Particle* particles = nullptr;
    Mat4 orientation;
    Mat4 parentMatrix;
    float timeSkip = 0.0f;
    bool emitting = true;
    float soundDelay = 0.0f;
    PSystemParent* parent = nullptr;
    bool followParent = true;
    Vec3 offset;
    Vec3 localDirection{0.0f, 1.0f, 0.0f};
    bool carryParticles = false;
    bool stopBelowZero = false;
    bool splatsDone = false;
    float sizeFactor = 1.0f / 128.0f;
    float emitTimer = -1.0f;
    float timeScale = 1.0f;
    float fade = 1.0f;
    bool drawLate = false;

private:
    bool followsParent() const { return parent && followParent; }
    void followOwner(const Vec3& oldPosition);
    void decideSplats();
    void emitGroups(float step, const Vec3& oldPosition);
    void stepParticles(float step);
    void playSound(float step);
    void finishFrame();
    // One particle of group index g at p; `inherited` is the parent
    // particle's direction or null. Links it at the head of `list`.
    void emit(int g, const Vec3& p, std::uint8_t alpha, const Vec3* inherited, Particle*& list);
    void emitChildren(Particle& source, Particle*& list);
    void sortParticles();
};
