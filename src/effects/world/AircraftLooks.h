#pragma once
#include "effects/particles/ParticleSystem.h"

#include <array>
#include <cstdint>
#include <vector>

class IAirplaneFx;
class Model;

// A jet's exhaust: the "jet" flame mesh stretched and coloured by the
// throttle; for the player's plane also the "jetcore" mesh and two heat-haze
// quads behind the nozzles.
class JetExhaust {
public:
    // Null pointers inside when the model has no "jet" node: nothing is drawn.
    explicit JetExhaust(const IAirplaneFx& airplane);
    // With the meshes of this model (null: nothing drawn).
    JetExhaust(const IAirplaneFx& airplane, const Model* model);
    bool valid() const { return m_jet >= 0; }
    void update(float throttle, float dt);
    // With nothing current: uses the airplane's matrix.
    void render() const;
    void renderHaze(float sceneTime) const;
    void renderCore(float sceneTime) const;

    float scroll = 0.0f;
    Color4 coreColor{0, 0, 0, 0};
    bool active = true;
    const std::vector<FxVertex>& flame() const { return m_jetVertices; }
    const std::vector<FxVertex>& core() const { return m_coreVertices; }
    float jetBase() const { return m_jetBase; }
    float jetLength() const { return m_jetLength; }

private:
    const IAirplaneFx& m_airplane;
    const Model* m_model = nullptr;
    int m_jet = -1, m_core = -1, m_glow = -1;
    std::vector<FxVertex> m_jetVertices, m_coreVertices;
    std::array<FxVertex20, 8> m_haze{};
    float m_jetBase = 0.0f, m_jetLength = 1.0f, m_coreBase = 0.0f, m_coreLength = 1.0f;
    float m_throttle = 0.0f;
};

// Vapour sheets over loaded wings and the shock cone at speed, with the
// rushing-air sound for the player's plane.
class VapourCone {
public:
    explicit VapourCone(const IAirplaneFx& airplane);
    VapourCone(const IAirplaneFx& airplane, const Model* model);
    ~VapourCone();
    VapourCone(const VapourCone&) = delete;
    VapourCone& operator=(const VapourCone&) = delete;
    // alignment: the cosine-like value d of the airplane's up axis against
    // its direction of flight.
    void update(float dt, float alignment);
    void render() const;
    // The owner is going: the rush stops now.
    void stopRush();
    static bool rushPlaying();
    // An airplane of this machine left play: the rush stops whoever's cone
    // started it, and the next cone that calls for it starts it again.
    static void silenceRush();

    float scroll = 0.0f, level = 0.0f, coneScale = 0.0f;
    Color4 base{255, 255, 255, 204}, coneColor{0, 0, 0, 0};
    bool upper = false, lower = false, cone = false;

private:
    void paintSheet(int node, std::vector<FxVertex>& copy);
    const IAirplaneFx& m_airplane;
    const Model* m_model = nullptr;
    int m_up = -1, m_down = -1, m_cobra = -1;
    std::vector<FxVertex> m_upVertices, m_downVertices;
    std::vector<FxVertex20> m_coneVertices;
    std::vector<Vec2> m_coneUv;
    bool m_player = false;
};
