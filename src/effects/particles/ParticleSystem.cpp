#include "effects/particles/ParticleSystem.h"

#include "effects/AircraftFx.h"
#include "effects/EffectScene.h"
#include "render/Graphics.h"

#include <algorithm>
#include <cmath>

namespace {
struct PoolStorage {
    std::array<bool, ParticleSystem::kSlots> used{};
    int cursor = 0;
    std::array<std::array<FxVertex, ParticleSystem::kSlotVertices>, ParticleSystem::kSlots> vertices{};
    std::array<std::array<ParticleRecord, ParticleSystem::kRecords>, ParticleSystem::kSlots> records{};
    std::array<std::uint16_t, ParticleSystem::kSharedQuads * 6> indices{};
    bool indicesBuilt = false;
    float dt = 0.0f;
};
PoolStorage& pool()
{
    static PoolStorage storage;
    return storage;
}
IPoolCamera* g_camera = nullptr;

void buildIndices(PoolStorage& p)
{
    for (int q = 0; q < ParticleSystem::kSharedQuads; ++q) {
        const auto b = static_cast<std::uint16_t>(q * 4);
        std::uint16_t* out = &p.indices[static_cast<std::size_t>(q) * 6];
        out[0] = b;
        out[1] = static_cast<std::uint16_t>(b + 1);
        out[2] = static_cast<std::uint16_t>(b + 2);
        out[3] = static_cast<std::uint16_t>(b + 1);
        out[4] = static_cast<std::uint16_t>(b + 2);
        out[5] = static_cast<std::uint16_t>(b + 3);
    }
    p.indicesBuilt = true;
}

void putVertex(FxVertex& v, const Vec3& at, const Color4& c, float u, float t)
{
    v.x = at.x;
    v.y = at.y;
    v.z = at.z;
    v.color = c;
    v.u = u;
    v.v = t;
}
}  // namespace

void setPoolCamera(IPoolCamera* camera) { g_camera = camera; }
IPoolCamera* poolCamera() { return g_camera; }

ParticleSystem::ParticleSystem()
{
    PoolStorage& p = pool();
    // Only a registered system looks for a slot; a full pool never waits.
    if (!isRegistered()) {
        finished = true;
        return;
    }
    for (int tries = 0; tries < kSlots; ++tries) {
        if (!p.used[static_cast<std::size_t>(p.cursor)]) {
            slot = static_cast<std::uint8_t>(p.cursor);
            p.used[static_cast<std::size_t>(p.cursor)] = true;
            vertices = p.vertices[slot].data();
            records = p.records[slot].data();
            return;
        }
        p.cursor = (p.cursor + 1) % kSlots;
    }
    finished = true;
}

ParticleSystem::~ParticleSystem()
{
    if (vertices)
        pool().used[slot] = false;
}

void ParticleSystem::initParticleBuffers()
{
    PoolStorage& p = pool();
    p.used.fill(false);
    p.cursor = 0;
    // Systems still registered keep their slots.
    for (std::size_t i = 0; i < count(); ++i)
        if (ParticleSystem* s = at(i); s && s->vertices)
            p.used[s->slot] = true;
    buildIndices(p);
}

std::span<const std::uint16_t> ParticleSystem::quadIndices()
{
    PoolStorage& p = pool();
    if (!p.indicesBuilt)
        buildIndices(p);
    return p.indices;
}

int ParticleSystem::usedSlots()
{
    const auto& used = pool().used;
    return static_cast<int>(std::count(used.begin(), used.end(), true));
}

float ParticleSystem::frameDelta() { return pool().dt; }

void ParticleSystem::updateAll(float dt)
{
    pool().dt = dt;
    std::size_t i = 0;
    while (i < count()) {
        ParticleSystem* s = at(i);
        if (!s->finished)
            s->update();
        if (!s->finished) {
            s->age += dt;
            ++i;
            continue;
        }
        if (g_camera)
            g_camera->systemGone(&s->position);
        // The last system moves into this place: visit it again.
        delete s;
    }
}

void ParticleSystem::forgetOwner(const IAirplaneFx* owner)
{
    for (std::size_t i = 0; i < count(); ++i)
        at(i)->ownerGone(owner);
}

void ParticleSystem::deleteAll()
{
    while (count() > 0) {
        ParticleSystem* s = at(count() - 1);
        if (g_camera)
            g_camera->systemGone(&s->position);
        delete s;
    }
}

void ParticleSystem::drawAll(const Mat4& farProjection, const Mat4& nearProjection)
{
    Graphics* device = graphics();
    if (count() == 0)
        return;
    Mat4 projection;
    if (device) {
        device->pushState();
        projection = device->projectionMatrix();
        device->setProjectionMatrix(farProjection);
    }
    for (std::size_t i = 0; i < count(); ++i)
        if (ParticleSystem* s = at(i); s->drawGroup >= 2 && !s->finished)
            s->draw();
    if (device)
        device->setProjectionMatrix(nearProjection);
    for (std::size_t i = 0; i < count(); ++i)
        if (ParticleSystem* s = at(i); s->drawGroup == 1 && !s->finished)
            s->draw();
    if (device) {
        device->setProjectionMatrix(projection);
        device->setWorldMatrix(Mat4{});
        device->popState();
    }
}

void ParticleSystem::drawQuads(int quads, int firstVertex) const
{
    Graphics* device = graphics();
    if (!device || !vertices || quads <= 0)
        return;
    quads = std::min(quads, (kSlotVertices - firstVertex) / 4);
    device->setVertexLayout(VertexLayout::PosColorTex24, vertices + firstVertex);
    device->drawIndexed(PrimitiveType::Triangles, quadIndices().first(static_cast<std::size_t>(quads) * 6));
}

void writeBillboardQuad(FxVertex* out, const ParticleRecord& p, const Vec3& right, const Vec3& up)
{
    const Vec3 h = right * p.width, v = up * p.height;
    putVertex(out[0], p.position + v - h, p.color, 0.0f, 0.0f);
    putVertex(out[1], p.position + v + h, p.color, 1.0f, 0.0f);
    putVertex(out[2], p.position - v - h, p.color, 0.0f, 1.0f);
    putVertex(out[3], p.position - v + h, p.color, 1.0f, 1.0f);
}

void writeRotatedBillboardQuad(FxVertex* out, const ParticleRecord& p, const Vec3& right, const Vec3& up,
                               float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    const Vec3 h = (right * c + up * s) * p.width, v = (up * c - right * s) * p.height;
    putVertex(out[0], p.position + v - h, p.color, 0.0f, 0.0f);
    putVertex(out[1], p.position + v + h, p.color, 1.0f, 0.0f);
    putVertex(out[2], p.position - v - h, p.color, 0.0f, 1.0f);
    putVertex(out[3], p.position - v + h, p.color, 1.0f, 1.0f);
}

void writeAxisQuad(FxVertex20* out, const Vec3& centre, const Vec3& axisA, const Vec3& axisB, float sizeA,
                   float sizeB, float left, float top, float right, float bottom)
{
    const Vec3 h = axisA * sizeA, v = axisB * sizeB;
    const Vec3 corners[4] = {centre + v - h, centre + v + h, centre - v - h, centre - v + h};
    const float us[4] = {left, right, left, right}, vs[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i)
        out[i] = {corners[i].x, corners[i].y, corners[i].z, us[i], vs[i]};
}

Color4 scaleColor(const Color4& c, float f)
{
    // Fixed point with 16 fraction bits: rounds like round(b x f) for the
    // factors the effects use, at a fraction of the cost (trails and flares
    // fade hundreds of vertices a frame).
    if (!(f > 0.0f))
        return {0, 0, 0, 0};
    const auto k = static_cast<std::uint32_t>(std::min(f, 256.0f) * 65536.0f + 0.5f);
    auto one = [k](std::uint8_t b) {
        const std::uint32_t v = (static_cast<std::uint32_t>(b) * k + 32768u) >> 16;
        return static_cast<std::uint8_t>(v > 255u ? 255u : v);
    };
    return {one(c.r), one(c.g), one(c.b), one(c.a)};
}

Color3f sceneLightColor()
{
    const Graphics* device = graphics();
    if (!device || !device->light())
        return {1.0f, 1.0f, 1.0f};
    const float* c = device->light()->sunColor;
    return {c[0], c[1], c[2]};
}
