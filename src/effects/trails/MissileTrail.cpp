#include "effects/trails/MissileTrail.h"

#include "effects/AircraftFx.h"
#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "platform/Random.h"
#include "render/Graphics.h"

#include <algorithm>
#include <cmath>

namespace {
std::array<std::uint16_t, 150> g_indices{};
std::array<FxVertex20, 128 * 4> g_glow{};
int g_glowCount = 0;
float g_growth = 1.0f;

bool inView(const Vec3& p, float radius)
{
    const EffectScene& s = effectScene();
    return !s.hasFrustum || sphereInFrustum(s.camera, p, radius);
}

void setPair(FxVertex* pair, const Vec3& p, const Vec3& side)
{
    pair[0].x = p.x + side.x, pair[0].y = p.y + side.y, pair[0].z = p.z + side.z;
    pair[1].x = p.x - side.x, pair[1].y = p.y - side.y, pair[1].z = p.z - side.z;
}
}  // namespace

MissileTrail* MissileTrail::create(ITrailSource& source)
{
    if (count() >= kCapacity)
        return nullptr;
    return new MissileTrail(source);
}

MissileTrail::MissileTrail(ITrailSource& source) : owner(&source)
{
    for (Point& p : points)
        p.position = source.trailPosition();
    computeSideVectors(source.trailDirection(), points[0]);
    const Color3f l = sceneLightColor();
    auto channel = [](float c) {
        return static_cast<std::uint8_t>(std::clamp(std::round(211.0f * (1.0f + (c - 1.0f) * 0.75f)), 0.0f, 255.0f));
    };
    const Color4 smoke{channel(l.r), channel(l.g), channel(l.b), 255};
    for (int strip = 0; strip < 3; ++strip)
        for (int i = 0; i < kPoints; ++i) {
            Color4 c = i >= 22 ? Color4{204, 165, 150, 112} : smoke;
            if (i < 3)
                c = scaleColor(c, static_cast<float>(i) / 3.0f);
            for (int k = 0; k < 2; ++k) {
                FxVertex& v = vertices[static_cast<std::size_t>(strip * 48 + i * 2 + k)];
                v.x = points[0].position.x, v.y = points[0].position.y, v.z = points[0].position.z;
                v.color = c;
                v.u = static_cast<float>(i - 12);
                v.v = static_cast<float>(k);
            }
        }
}

MissileTrail::~MissileTrail()
{
    if (owner)
        owner->trailGone();
}

void MissileTrail::computeSideVectors(const Vec3& d, Point& p)
{
    const float h = d.x * d.x + d.z * d.z;
    Vec3 up;
    if (h < 1e-8f) {
        p.sideA = {1.0f, 0.0f, 0.0f};
        up = {0.0f, 0.0f, 1.0f};
    } else {
        const float k = -1.0f / std::sqrt(h);
        p.sideA = {k * d.z, 0.0f, -k * d.x};
        up = {k * d.x * d.y, std::sqrt(std::max(0.0f, 1.0f - d.y * d.y)), k * d.z * d.y};
    }
    p.sideB = vec3NormalizeOr(p.sideA - up, p.sideA);
    p.sideC = vec3NormalizeOr(p.sideA + up, p.sideA);
}

void MissileTrail::detach()
{
    if (!owner)
        return;
    update(0.0f);
    owner = nullptr;
}

void MissileTrail::update(float dt)
{
    Point& h = points[static_cast<std::size_t>(head)];
    if (owner) {
        h.position = owner->trailPosition();
        computeSideVectors(owner->trailDirection(), h);
        emitTimer -= dt;
        if (emitTimer < 0.0f) {
            h.velocity = {randRange(-2.5f, 2.5f), randRange(-2.5f, 2.5f), randRange(-2.5f, 2.5f)};
            emitTimer += 0.1f;
            const Point previous = h;
            head = (head + 1) % kPoints;
            Point& n = points[static_cast<std::size_t>(head)];
            n = previous;
            n.position = owner->trailPosition();
            n.velocity = {};
        }
    } else {
        const float f = std::min(fadeTimer * 1.5f / 3.0f, 1.0f);
        if (f < 1.0f)
            for (FxVertex& v : vertices)
                v.color = scaleColor(v.color, std::max(f, 0.0f));
        fadeTimer -= dt;
    }
    const Vec3& headPoint = points[static_cast<std::size_t>(head)].position;
    const bool visible = inView(headPoint, 500.0f);
    if (owner)
        owner->setTrailOnScreen(visible);
    if (!active) {
        drawn = 0;
        return;
    }
    const int oldest = (head + 1) % kPoints, middle = (head + 12) % kPoints;
    if (visible || inView(points[static_cast<std::size_t>(oldest)].position, 500.0f) ||
        inView(points[static_cast<std::size_t>(middle)].position, 500.0f)) {
        drawn = 1;
        const float step = 3.0f * dt;
        for (int j = 0; j < kPoints; ++j) {
            Point& p = points[static_cast<std::size_t>((oldest + j) % kPoints)];
            p.sideA = p.sideA * g_growth;
            p.sideB = p.sideB * g_growth;
            p.sideC = p.sideC * g_growth;
            p.position = p.position + p.velocity * step;
            p.velocity = p.velocity - p.velocity * step;
            setPair(&vertices[static_cast<std::size_t>(j * 2)], p.position, p.sideA);
            setPair(&vertices[static_cast<std::size_t>(48 + j * 2)], p.position, p.sideB);
            setPair(&vertices[static_cast<std::size_t>(96 + j * 2)], p.position, p.sideC);
        }
    } else {
        for (Point& p : points) {
            p.sideA = p.sideA * g_growth;
            p.sideB = p.sideB * g_growth;
            p.sideC = p.sideC * g_growth;
        }
        drawn = 0;
    }
}

void MissileTrail::updateAll(float dt)
{
    g_growth = 1.0f + 0.666f * dt;
    g_glowCount = 0;
    const EffectScene& scene = effectScene();
    std::size_t i = 0;
    while (i < count()) {
        MissileTrail* t = at(i);
        t->update(dt);
        if (t->fadeTimer < 0.0f) {
            delete t;   // the last trail moves into this place
            continue;
        }
        ++i;
        if (!t->drawn || !t->owner || !scene.hasFrustum || g_glowCount >= 128)
            continue;
        Vec3 s;
        const float depth = projectToScreen3(scene.camera, t->owner->trailPosition(), s);
        if (depth >= 0.0f || std::fabs(s.x) > 1.05f || std::fabs(s.y) > 1.05f)
            continue;
        const float k = std::clamp(-depth * 0.1f, 1.0f, 20.0f);
        float w = 0.2f / k, h = 0.3f / k;
        if (t->owner->trailAge() < 0.75f) {
            w *= t->owner->trailAge() * 1.33f;
            h *= t->owner->trailAge() * 1.33f;
        }
        // Screen y runs down here; the screen projection has y up.
        const float y = -s.y;
        FxVertex20* q = &g_glow[static_cast<std::size_t>(g_glowCount * 4)];
        q[0] = {s.x - w, y - h, s.z, 0.0f, 0.0f};
        q[1] = {s.x + w, y - h, s.z, 1.0f, 0.0f};
        q[2] = {s.x - w, y + h, s.z, 0.0f, 1.0f};
        q[3] = {s.x + w, y + h, s.z, 1.0f, 1.0f};
        ++g_glowCount;
    }
}

int MissileTrail::glowCount() { return g_glowCount; }

void MissileTrail::buildIndices()
{
    std::size_t n = 0;
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < 48; ++i)
            g_indices[n++] = static_cast<std::uint16_t>(48 * s + i);
        g_indices[n++] = static_cast<std::uint16_t>(48 * s + 47);
        g_indices[n++] = static_cast<std::uint16_t>(std::min(48 * (s + 1), 143));
    }
}

void MissileTrail::deleteAll()
{
    while (count() > 0)
        delete at(count() - 1);
}

void MissileTrail::renderAll(const Mat4& screenProjection)
{
    Graphics* device = graphics();
    const Texture2D* texture = Effects::texture(EffectTexture::RocketTrail);
    if (!device || count() == 0 || !texture)
        return;
    if (g_indices[1] == 0)
        buildIndices();
    device->pushState();
    RenderState& s = device->state();
    s.program = BuiltinProgram::Effect;
    s.customProgram = nullptr;
    s.perVertexColor = true;
    s.blend = kBlendPremultiplied;
    s.cull = CullMode::None;
    s.depthTest = true;
    s.depthWrite = false;
    s.polygonOffset = true;
    s.textures = {texture, nullptr};
    device->setWorldMatrix(Mat4{});
    for (std::size_t i = 0; i < count(); ++i) {
        const MissileTrail* t = at(i);
        if (!t->drawn)
            continue;
        device->setVertexLayout(VertexLayout::PosColorTex24, t->vertices.data());
        device->drawIndexed(PrimitiveType::TriangleStrip, std::span<const std::uint16_t>(g_indices).first(148));
    }
    const Texture2D* flare = Effects::texture(EffectTexture::RocketFlare);
    if (g_glowCount > 0 && flare) {
        const Mat4 projection = device->projectionMatrix(), view = device->viewMatrix();
        device->setProjectionMatrix(screenProjection);
        device->setViewMatrix(Mat4{});
        s.perVertexColor = false;
        s.color = {218, 165, 32, 0};
        s.depthTest = false;
        s.textures = {flare, nullptr};
        device->setVertexLayout(VertexLayout::PosTex20, g_glow.data());
        device->drawQuads(g_glowCount);
        s.color = kColorWhite;
        device->setProjectionMatrix(projection);
        device->setViewMatrix(view);
    }
    device->popState();
}
