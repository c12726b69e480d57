#pragma once

class PSystem;
class PSystemParent;
struct Mat4;

// A world effect that lives for a while and is drawn in depth order: a
// particle effect or a wreck. Every listed effect sits in the one effect list
// (EffectList.h), which owns and deletes it.
class IEffect {
public:
    IEffect() = default;
    virtual ~IEffect() = default;
    IEffect(const IEffect&) = delete;
    IEffect& operator=(const IEffect&) = delete;

    virtual void update(float dt);
    // The solid parts (model pass) and their heat-distortion variant.
    virtual void drawModel();
    virtual void drawModelVariant();
    // Translucent parts of pass 2 (far), 1 (near) or 0 (late).
    virtual void draw(int pass);
    // False after an update removes and deletes the effect.
    virtual bool isAlive() const;
    virtual bool isVisible() const;
    // 0 base, 1 PSystem, 2 wreckage.
    virtual int kind() const;
    // The owner is being destroyed: drop every reference to it.
    virtual void ownerGone(PSystemParent* owner);
    // Bit 0: takes part in the model pass.
    virtual int passMask() const;

    // The next serial; every concrete kind takes one in its constructor.
    static int takeId();

    IEffect* next = nullptr;   // towards the far end; null while not listed
    IEffect* prev = nullptr;
    float key = 0.0f;          // squared distance from the camera, refreshed by the kind
    int id = 0;
};

// An owner that effects attach to (aircraft, ground units, missiles, wrecks).
// Neither side deletes the other: the owner's destruction tells every listed
// effect, and a particle system's destruction tells its parent.
class PSystemParent {
public:
    PSystemParent() = default;
    // Calls ownerGone(this) on every effect of the list.
    virtual ~PSystemParent();
    PSystemParent(const PSystemParent&) = delete;
    PSystemParent& operator=(const PSystemParent&) = delete;

    // Writes the owner's world matrix into out and returns out.
    virtual Mat4* getTransform(Mat4* out) = 0;
    // A particle system the owner may point to is going: clear those pointers.
    virtual void systemGone(PSystem* system);
};
