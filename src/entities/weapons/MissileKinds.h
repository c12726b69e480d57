#pragma once
#include "entities/weapons/Missile.h"

// Infrared, locks from any side; flares pull it off easily.
class AllAspectMissile : public Missile {
public:
    explicit AllAspectMissile(const MissileLaunch& launch);
    float decoyResistance() const override { return 0.3f; }
};

// Ground attack: glides to the target's position.
class JointStrikeMissile : public Missile {
public:
    explicit JointStrikeMissile(const MissileLaunch& launch);
    float decoyResistance() const override { return 0.5f; }
};

// One missile of a salvo at each locked air target; its small seeker is
// easier to fool than a single missile's.
class MultiAAMissile : public Missile {
public:
    explicit MultiAAMissile(const MissileLaunch& launch);
    float decoyResistance() const override { return 0.35f; }
};

// One missile of a salvo at each locked ground target.
class MultiAGMissile : public Missile {
public:
    explicit MultiAGMissile(const MissileLaunch& launch);
    float decoyResistance() const override { return 0.5f; }
};

// Follows only while the launching weapon keeps its lock; flares rarely fool it.
class RadarGuidedMissile : public Missile {
public:
    // Time without the launcher's lock before the missile gives up.
    static constexpr float kLockGrace = 0.5f;
    explicit RadarGuidedMissile(const MissileLaunch& launch);
    float decoyResistance() const override { return 0.9f; }

protected:
    void guide(float h) override;

private:
    float m_withoutLock = 0.0f;
};

// The aliens' dart: faster and twice as agile.
class AlienQuickMissile : public Missile {
public:
    static constexpr float kSpeedScale = 1.5f;
    explicit AlienQuickMissile(const MissileLaunch& launch);
    float decoyResistance() const override { return 0.35f; }

protected:
    float turnRateScale() const override { return 2.0f; }
};

// The unguided kinds by the record's subtype: a rocket flies straight, a
// bomb falls, a torpedo falls to the water and runs on at the water level.
class SimpleMissile : public Missile {
public:
    enum Subtype : int { Rocket = 0, Bomb = 1, Torpedo = 2 };
    // How deep below the water's surface a torpedo runs; its hit test reaches a hull at the surface.
    static constexpr float kTorpedoDepth = -1.0f;

    explicit SimpleMissile(const MissileLaunch& launch);
    Subtype subtype() const { return m_subtype; }
    bool isTorpedo() const override { return m_subtype == Torpedo; }
    bool canExplodeOnWater() const override { return m_subtype != Torpedo; }
    bool isRunning() const { return m_running; }
    bool isGuided() const override { return false; }

protected:
    void move(float h) override;

private:
    Subtype m_subtype;
    bool m_running = false;  // a torpedo in the water
};

// The missile object of a weapon record's kind (a launch relayed from another
// machine); null for kinds that launch nothing (guns, lasers, flak, smoke,
// empty slots) and when no missile id is free.
std::unique_ptr<Missile> makeMissile(const MissileLaunch& launch);
