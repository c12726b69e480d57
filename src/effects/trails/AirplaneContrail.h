#pragma once
#include "effects/particles/ParticleSystem.h"
#include "platform/ManagedArray.h"

#include <array>
#include <cstdint>

class IAirplaneFx;

// Two white ribbons from the wing tips: rings of 32 points sampled every
// 0.07 s, each drawn as one strip. Strength follows speed and manoeuvring;
// a contrail of strength 0 is drawn fully transparent.
class AirplaneContrail : public ManagedArray<AirplaneContrail, 32> {
public:
    static constexpr int kPoints = 32, kVertices = 62, kRibbons = 2;
    struct Point {
        Vec3 position, side;
        Color4 color{0, 0, 0, 0};
    };

    AirplaneContrail(const IAirplaneFx& airplane, const Vec3& emitter, float width = 0.5f, float emitPeriod = 0.07f);
    ~AirplaneContrail();
    AirplaneContrail(const AirplaneContrail&) = delete;
    AirplaneContrail& operator=(const AirplaneContrail&) = delete;

    void reset();
    void update(float dt);
    void drawRibbons() const;
    // This contrail alone, with the state renderAll draws every contrail
    // with, in the current projection; nothing while it is not visible.
    void drawStrips() const;

    static void updateAll(float dt);
    static void renderAll(const Mat4& farProjection, const Mat4& nearProjection);
    static void loadResources();

    const Vec3& emitter(int ribbon) const { return m_emitters[static_cast<std::size_t>(ribbon)]; }
    const FxVertex& vertex(int ribbon, int i) const { return m_vertices[static_cast<std::size_t>(ribbon * kVertices + i)]; }
    const Point& point(int ribbon, int i) const { return m_points[static_cast<std::size_t>(ribbon * kPoints + i)]; }
    int head() const { return m_head; }
    bool visible() const { return m_visible; }

private:
    void emitPoint();
    const IAirplaneFx& m_airplane;
    float m_width, m_period;
    Vec3 m_lastPosition;
    int m_head = 0;
    float m_emitTimer = 0.0f;
    bool m_visible = false;
    std::array<FxVertex, kRibbons * kVertices> m_vertices{};
    std::array<Point, kRibbons * kPoints> m_points{};
    std::array<Vec3, kRibbons> m_emitters{};
};
