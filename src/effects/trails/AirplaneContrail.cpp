#include "effects/trails/AirplaneContrail.h"

#include "effects/AircraftFx.h"
#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "platform/Random.h"
#include "render/Graphics.h"

#include <algorithm>
#include <cmath>

namespace {
std::array<std::uint16_t, 256> g_indices{};
bool g_indicesBuilt = false;

void setContrailState(RenderState& s, const Texture2D* texture)
{
    s.program = BuiltinProgram::Effect;
    s.customProgram = nullptr;
    s.perVertexColor = true;
    s.blend = kBlendPremultiplied;
    s.cull = CullMode::None;
    s.depthTest = true;
    s.depthWrite = false;
    s.textures = {texture, nullptr};
}

void buildContrailIndices()
{
    for (int g = 0; g < 4; ++g) {
        std::uint16_t* out = &g_indices[static_cast<std::size_t>(g * 64)];
        for (int i = 0; i < 62; ++i)
            out[i] = static_cast<std::uint16_t>(62 * g + i);
        out[62] = static_cast<std::uint16_t>(62 * g + 61);
        out[63] = static_cast<std::uint16_t>(62 * (g + 1));
    }
    g_indicesBuilt = true;
}

Vec3 axisOf(const Mat4& m, int column) { return {m.m[column * 4], m.m[column * 4 + 1], m.m[column * 4 + 2]}; }

void place(FxVertex& v, const Vec3& p)
{
    v.x = p.x;
    v.y = p.y;
    v.z = p.z;
}
}  // namespace

AirplaneContrail::AirplaneContrail(const IAirplaneFx& airplane, const Vec3& emitter, float width, float emitPeriod)
    : m_airplane(airplane), m_width(width), m_period(emitPeriod)
{
    m_emitters[0] = emitter;
    m_emitters[1] = {-emitter.x, emitter.y, emitter.z};
    reset();
}

AirplaneContrail::~AirplaneContrail() = default;

void AirplaneContrail::reset()
{
    const float r1 = rand01(), r2 = rand01();
    m_visible = false;
    m_head = 0;
    m_emitTimer = r2 * m_period;
    m_lastPosition = m_airplane.fxPosition();
    const Mat4& m = m_airplane.fxMatrix();
    const Vec3 side = axisOf(m, 0) * m_width;
    for (int s = 0; s < kRibbons; ++s) {
        const Vec3 p = mat4TransformPoint(m, m_emitters[static_cast<std::size_t>(s)]);
        for (int i = 0; i < kPoints; ++i)
            m_points[static_cast<std::size_t>(s * kPoints + i)] = {p, side, Color4{0, 0, 0, 0}};
        FxVertex* v = &m_vertices[static_cast<std::size_t>(s * kVertices)];
        const float u0 = r1 - (kPoints / 2 * 0.1f + 0.03f);
        for (int i = 0; i < kVertices; ++i) {
            place(v[i], p);
            v[i].color = {0, 0, 0, 0};
        }
        v[0].u = u0, v[0].v = 0.5f;
        for (int k = 0; k < 30; ++k) {
            v[1 + 2 * k].u = v[2 + 2 * k].u = u0 + 0.03f + 0.1f * static_cast<float>(k);
            v[1 + 2 * k].v = 0.0f;
            v[2 + 2 * k].v = 1.0f;
        }
        v[61].u = u0 + 3.03f, v[61].v = 0.5f;
    }
}

void AirplaneContrail::emitPoint()
{
    m_head = (m_head + 1) % kPoints;
    for (int s = 0; s < kRibbons; ++s) {
        const Point* pts = &m_points[static_cast<std::size_t>(s * kPoints)];
        FxVertex* v = &m_vertices[static_cast<std::size_t>(s * kVertices)];
        // 29 frozen points from the newest back, from vertex 3 on.
        for (int k = 0; k < 29; ++k) {
            const Point& p = pts[(m_head - 2 - k + 2 * kPoints) % kPoints];
            FxVertex* pair = v + 3 + 2 * k;
            place(pair[0], p.position + p.side);
            place(pair[1], p.position - p.side);
            pair[0].color = pair[1].color = p.color;
        }
        place(v[61], pts[(m_head + 1) % kPoints].position);
    }
}

void AirplaneContrail::update(float dt)
{
    const IAirplaneFx& a = m_airplane;
    const Mat4& m = a.fxMatrix();
    const float d = std::max(-vec3Dot(axisOf(m, 2), a.fxFlightDirection()), 0.0f);
    const Vec3 w = a.fxRates();
    const float t = std::clamp(1.0f + w.x * w.x + w.z * w.z - d, 0.0f, 1.0f);
    const float q = std::clamp((a.fxSpeed() - 100.0f) / 100.0f, 0.0f, 0.5f);
    const float k = std::clamp(a.fxContrailFactor() * 0.25f + q * (2.0f * t + 1.0f), 0.0f, 1.0f);
    const Vec3 position = a.fxPosition();
    const Vec3 moved = m_lastPosition - position;
    const float lengthSq = vec3Dot(moved, moved);
    if (lengthSq > 1000.0f * 1000.0f)
        reset();
    // Standing still gives no offset (and no division by a zero length).
    const float inverse = lengthSq > 1e-12f && lengthSq <= 1000.0f * 1000.0f ? 1.0f / std::sqrt(lengthSq) : 0.0f;
    const Vec3 old = lengthSq <= 1000.0f * 1000.0f ? m_lastPosition : position;
    m_lastPosition = position;
    m_emitTimer -= dt;
    if (m_emitTimer < 0.0f) {
        m_emitTimer += m_period;
        emitPoint();
    }
    const Color3f l = sceneLightColor();
    const Vec3 side = axisOf(m, 0), width = a.fxWidthVector() * m_width;
    for (int s = 0; s < kRibbons; ++s) {
        Point& live = m_points[static_cast<std::size_t>(s * kPoints + (m_head - 1 + kPoints) % kPoints)];
        FxVertex* v = &m_vertices[static_cast<std::size_t>(s * kVertices)];
        const Vec3 p = mat4TransformPoint(m, m_emitters[static_cast<std::size_t>(s)]);
        place(v[0], p);
        live.position = p + (old - position) * (inverse * 2.0f);
        live.side = {side.x * width.x, side.y * width.y, side.z * width.z};
        const Color4 base{static_cast<std::uint8_t>(std::round(std::clamp(l.r, 0.0f, 1.0f) * 255.0f)),
                          static_cast<std::uint8_t>(std::round(std::clamp(l.g, 0.0f, 1.0f) * 255.0f)),
                          static_cast<std::uint8_t>(std::round(std::clamp(l.b, 0.0f, 1.0f) * 255.0f)), 255};
        live.color = scaleColor(base, (rand01() * 0.9f + 0.1f) * k);
        live.color.a = static_cast<std::uint8_t>(std::round(live.color.a * (1.0f - t * 0.6f)));
        place(v[1], live.position + live.side);
        place(v[2], live.position - live.side);
        v[1].color = v[2].color = live.color;
    }
    const EffectScene& scene = effectScene();
    m_visible = !(a.fxDrawClass() == 0 && scene.hasFrustum && !sphereInFrustum(scene.camera, position, 1000.0f));
}

void AirplaneContrail::updateAll(float dt)
{
    for (std::size_t i = 0; i < count(); ++i)
        at(i)->update(dt);
}

void AirplaneContrail::loadResources() { buildContrailIndices(); }

void AirplaneContrail::drawRibbons() const
{
    Graphics* device = graphics();
    if (!g_indicesBuilt)
        buildContrailIndices();
    for (int s = 0; s < kRibbons; ++s) {
        device->setVertexLayout(VertexLayout::PosColorTex24, m_vertices.data());
        device->drawIndexed(PrimitiveType::TriangleStrip,
                            std::span<const std::uint16_t>(g_indices).subspan(static_cast<std::size_t>(63 * s), 63));
    }
}

void AirplaneContrail::drawStrips() const
{
    Graphics* device = graphics();
    const Texture2D* texture = Effects::texture(EffectTexture::Contrail);
    if (!device || !texture || !m_visible)
        return;
    device->pushState();
    setContrailState(device->state(), texture);
    device->setWorldMatrix(Mat4{});
    drawRibbons();
    device->popState();
}

void AirplaneContrail::renderAll(const Mat4& farProjection, const Mat4& nearProjection)
{
    Graphics* device = graphics();
    const Texture2D* texture = Effects::texture(EffectTexture::Contrail);
    if (!device || !texture || count() == 0)
        return;
    device->pushState();
    const Mat4 projection = device->projectionMatrix();
    setContrailState(device->state(), texture);
    device->setWorldMatrix(Mat4{});
    device->setProjectionMatrix(farProjection);
    for (std::size_t i = 0; i < count(); ++i)
        if (const AirplaneContrail* c = at(i); c->m_visible && c->m_airplane.fxDrawClass() > 1)
            c->drawRibbons();
    device->setProjectionMatrix(nearProjection);
    for (std::size_t i = 0; i < count(); ++i)
        if (const AirplaneContrail* c = at(i); c->m_visible && c->m_airplane.fxDrawClass() == 1)
            c->drawRibbons();
    device->setProjectionMatrix(projection);
    device->popState();
}
