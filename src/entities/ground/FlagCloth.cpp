// The flag's cloth: streams away from the wind its carrier makes, waves
// along its length, and always hangs from its pole or carrier.
#include "entities/ground/Flag.h"

#include "entities/IEntityHost.h"
#include "entities/aircraft/Airplane.h"
#include "render/Graphics.h"
#include "render/assets/GlmFormat.h"
#include "render/assets/ModelBuffers.h"
#include "render/assets/TextureCache.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
struct ClothShared {
    bool built = false;
    std::vector<std::uint16_t> indices;   // two triangles a cell, both faces seen (no culling)
    std::vector<float> u, v;              // texture coordinates of the grid points
    TextureRef friendly, enemy;
};
ClothShared& shared()
{
    static ClothShared cloth;
    return cloth;
}

constexpr int kPoints = Flag::kClothColumns * Flag::kClothRows;
// How fast the streaming direction turns after the wind, per second.
constexpr float kTrailRate = 2.5f;
// Waves a second at rest and their growth with the wind speed.
constexpr float kWaveRate = 1.6f, kWaveRatePerSpeed = 0.02f;
constexpr float kWaveAmplitude = 2.4f;
constexpr float kPoleWidth = 0.8f;
}  // namespace

void Flag::buildClothMesh()
{
    ClothShared& c = shared();
    if (!c.built) {
        c.u.clear();
        c.v.clear();
        c.indices.clear();
        for (int col = 0; col < kClothColumns; ++col)
            for (int row = 0; row < kClothRows; ++row) {
                c.u.push_back(static_cast<float>(col) / (kClothColumns - 1));
                c.v.push_back(static_cast<float>(row) / (kClothRows - 1));
            }
        for (int col = 0; col + 1 < kClothColumns; ++col)
            for (int row = 0; row + 1 < kClothRows; ++row) {
                const auto a = static_cast<std::uint16_t>(col * kClothRows + row);
                const auto b = static_cast<std::uint16_t>(a + kClothRows);
                c.indices.insert(c.indices.end(), {a, b, static_cast<std::uint16_t>(a + 1), static_cast<std::uint16_t>(a + 1), b,
                                                   static_cast<std::uint16_t>(b + 1)});
            }
        c.built = true;
    }
    if (graphics() && !c.friendly)
        c.friendly = getTexture("data/models/flag_friend.png");
    if (graphics() && !c.enemy)
        c.enemy = getTexture("data/models/flag_enemy.png");
}

void Flag::releaseClothMesh()
{
    shared().friendly.reset();
    shared().enemy.reset();
}

bool Flag::isFriendly() const
{
    const Airplane* player = host().playerAirplane();
    return player ? player->team() == team() : team() == 0;
}

const Texture2D* Flag::texture() const
{
    return isFriendly() ? shared().friendly.get() : shared().enemy.get();
}

Vec3 Flag::attachment() const
{
    if (m_carrier) {
        // Above the carrier's back, so the cloth streams clear of it.
        const auto* plane = dynamic_cast<const Airplane*>(m_carrier);
        const Vec3 up = plane ? plane->up() : Vec3{0.0f, 1.0f, 0.0f};
        const Vec3 back = plane ? plane->forward() * -6.0f : Vec3{};
        return m_carrier->position() + up * 3.0f + back;
    }
    return m_position + Vec3{0.0f, kPoleHeight, 0.0f};
}

void Flag::updateVisual(float dt)
{
    if (!std::isfinite(dt) || dt < 0.0f)
        dt = 0.0f;
    dt = std::min(dt, 0.25f);
    // The wind the cloth feels is the carrier's motion reversed; at rest a
    // light breeze from the north-west.
    const Vec3 motion = m_carrier ? m_carrier->velocity() : Vec3{};
    Vec3 wind{-motion.x, 0.0f, -motion.z};
    float speed = std::sqrt(wind.x * wind.x + wind.z * wind.z);
    if (!std::isfinite(speed) || speed < 1.0f) {
        wind = {0.8f, 0.0f, 0.6f};
        speed = 0.0f;
    }
    const Vec3 goal = vec3NormalizeOr(wind, {1.0f, 0.0f, 0.0f});
    const float t = std::min(kTrailRate * dt, 1.0f);
    m_trail = vec3NormalizeOr(m_trail + (goal - m_trail) * t, goal);
    m_wavePhase = std::fmod(m_wavePhase + (kWaveRate + kWaveRatePerSpeed * std::min(speed, 400.0f)) * 6.2831853f * dt,
                            6.2831853f);
    placeCloth();
}

void Flag::placeCloth()
{
    m_cloth.resize(kPoints);
    const Vec3 anchor = attachment();
    const Vec3 side{-m_trail.z, 0.0f, m_trail.x};
    for (int col = 0; col < kClothColumns; ++col) {
        const float along = static_cast<float>(col) / (kClothColumns - 1);
        // The wave grows from nothing at the pole to full at the free end.
        const float wave = std::sin(m_wavePhase - along * 5.0f) * kWaveAmplitude * along;
        const float sag = along * along * 3.0f;
        for (int row = 0; row < kClothRows; ++row) {
            const float down = static_cast<float>(row) / (kClothRows - 1) * kClothHeight;
            m_cloth[static_cast<std::size_t>(col * kClothRows + row)] =
                anchor + m_trail * (along * kClothLength) + side * wave - Vec3{0.0f, down + sag, 0.0f};
        }
    }
}

void Flag::draw(const DrawView&, DrawPass pass)
{
    Graphics* device = graphics();
    const ClothShared& c = shared();
    if (!device || pass != DrawPass::Opaque || !c.built)
        return;
    if (m_cloth.size() != kPoints)
        placeCloth();
    std::vector<GlmVertex> vertices(kPoints);
    // Tipped up a little so a sun high overhead still lights the cloth.
    const Vec3 normal = vec3NormalizeOr(Vec3{-m_trail.z, 0.7f, m_trail.x}, {0.0f, 1.0f, 0.0f});
    for (std::size_t i = 0; i < vertices.size(); ++i)
        vertices[i] = GlmVertex{m_cloth[i].x, m_cloth[i].y, m_cloth[i].z, normal.x, normal.y, normal.z, c.u[i], c.v[i]};
    const Mat4 saved = device->worldMatrix();
    device->setWorldMatrix(Mat4{});
    const CullMode cull = device->state().cull;
    device->state().cull = CullMode::None;
    setLitModelState(texture());
    device->setVertexLayout(VertexLayout::Model32, vertices.data());
    device->drawIndexed(PrimitiveType::Triangles, c.indices);
    if (!m_carrier) {
        // The pole: a thin upright strip from the ground to the cloth's top.
        const Vec3 top = attachment(), foot = m_position;
        const Vec3 half = normal * (kPoleWidth * 0.5f);
        const GlmVertex pole[4] = {{foot.x - half.x, foot.y, foot.z - half.z, m_trail.x, 0, m_trail.z, 0.02f, 0.98f},
                                   {foot.x + half.x, foot.y, foot.z + half.z, m_trail.x, 0, m_trail.z, 0.02f, 0.98f},
                                   {top.x - half.x, top.y, top.z - half.z, m_trail.x, 0, m_trail.z, 0.02f, 0.98f},
                                   {top.x + half.x, top.y, top.z + half.z, m_trail.x, 0, m_trail.z, 0.02f, 0.98f}};
        setLitModelState(nullptr);
        device->state().color = Color4{90, 80, 70, 255};
        device->setVertexLayout(VertexLayout::Model32, pole);
        device->drawArrays(PrimitiveType::TriangleStrip, 0, 4);
    }
    device->state().cull = cull;
    device->setWorldMatrix(saved);
}
