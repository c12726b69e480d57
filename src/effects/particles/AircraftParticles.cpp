#include "effects/particles/AircraftParticles.h"

#include "effects/AircraftFx.h"
#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "gamedata/AirplaneModel.h"
#include "platform/FrameProfile.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>

namespace {
DirtShots* g_dirt = nullptr;
std::array<std::uint16_t, 120> g_flareIndices{};
bool g_flareIndicesBuilt = false;

constexpr int kTailVertices = Flares::kFlares * 2 * 5 * 2;   // flares x ribbons x pairs x 2

Color4 lit(Color4 c)
{
    const Color3f l = sceneLightColor();
    auto one = [](std::uint8_t b, float f) { return static_cast<std::uint8_t>(std::clamp(std::round(b * f), 0.0f, 255.0f)); };
    return {one(c.r, l.r), one(c.g, l.g), one(c.b, l.b), c.a};
}

// The two crossed sides of a flare from its direction; a vertical direction
// takes a fixed horizontal side.
void flareSides(const Vec3& d, Vec3& a, Vec3& b)
{
    const float h = d.x * d.x + d.z * d.z;
    if (h < 1e-8f) {
        a = {1.0f, 0.0f, 0.0f};
        b = {0.0f, 0.0f, 1.0f};
        return;
    }
    const float k = -1.0f / std::sqrt(h);
    a = {k * d.z, 0.0f, -k * d.x};
    b = {k * d.x * d.y, std::sqrt(std::max(0.0f, 1.0f - d.y * d.y)), k * d.z * d.y};
}
}  // namespace

bool beginPooledDraw(const Texture2D* texture, const BlendState& blend)
{
    Graphics* device = graphics();
    if (!device || !texture)
        return false;
    RenderState& s = device->state();
    s.program = BuiltinProgram::Effect;
    s.customProgram = nullptr;
    s.perVertexColor = true;
    s.blend = blend;
    s.depthTest = true;
    s.depthWrite = false;
    s.cull = CullMode::None;
    s.textures = {texture, nullptr};
    return true;
}

// ---- dust shots ----------------------------------------------------------------

DirtShots::DirtShots()
{
    if (hasSlot())
        g_dirt = this;
}

DirtShots::~DirtShots()
{
    if (g_dirt == this)
        g_dirt = nullptr;
}

DirtShots* DirtShots::current() { return g_dirt; }

void DirtShots::spawn(const Vec3& at)
{
    if (!records)
        return;
    ParticleRecord& p = records[ring];
    p.position = at;
    p.life = 0.5f;
    p.rotation = 0.0f;
    p.flag = at.y >= 10.0f ? 1 : 0;
    ring = (ring + 1) % kRecords;
    liveCount = static_cast<std::uint8_t>(std::min<int>(liveCount + 1, kRecords));
}

void DirtShots::update()
{
    if (liveCount == 0 || !records)
        return;
    const float dt = frameDelta();
    const EffectScene& scene = effectScene();
    int n = 0;
    for (int i = 0; i < kRecords; ++i) {
        ParticleRecord& p = records[i];
        if (p.life <= 0.0f)
            continue;
        const float f = 1.0f - 2.0f * p.life;
        p.position.y += 10.0f * dt;
        p.width = 5.0f * f + 1.0f;
        p.height = 20.0f * f + 1.0f;
        Color4 c = p.flag ? Color4{180, 150, 130, 255} : Color4{255, 255, 255, 255};
        c.a = 32;
        p.color = lit(scaleColor(c, std::min(2.0f * std::sin(kPi * f), 1.0f)));
        writeRotatedBillboardQuad(vertices + n * 4, p, scene.cameraRight, scene.cameraUp, p.rotation);
        p.life -= dt;
        ++n;
    }
    liveCount = static_cast<std::uint8_t>(n);
    drawGroup = n ? 2 : 0;
}

void DirtShots::draw()
{
    if (beginPooledDraw(Effects::texture(EffectTexture::Smoke), kBlendPremultiplied)) {
        graphics()->setWorldMatrix(Mat4{});
        drawQuads(liveCount);
    }
}

// ---- flares ----------------------------------------------------------------------

Flares::Flares(const IAirplaneFx* owner) : owner(owner)
{
    if (!hasSlot() || !owner)
        return;
    const float distance = vec3Length(owner->fxPosition() - effectScene().cameraPosition);
    sizeFactor = std::clamp(distance, 100.0f, 2000.0f) / 500.0f + 0.8f;
    for (int i = 0; i < kRecords; ++i)
        records[i].width = records[i].height = sizeFactor * 3.0f;
    const Color3f l = sceneLightColor();
    auto grey = [](float c) { return static_cast<std::uint8_t>(std::clamp(std::round(128.0f * (1.0f + (c - 1.0f) * 0.5f)), 0.0f, 255.0f)); };
    const Color4 smoke{grey(l.r), grey(l.g), grey(l.b), 255};
    for (int r = 0; r < kFlares * 2; ++r)
        for (int pair = 0; pair < 5; ++pair)
            for (int k = 0; k < 2; ++k) {
                FxVertex& v = vertices[(r * 5 + pair) * 2 + k];
                v.color = pair < 2 ? Color4{255, 176, 180, 112} : pair < 4 ? smoke : Color4{0, 0, 0, 0};
                v.u = static_cast<float>(pair);
                v.v = static_cast<float>(k);
            }
    position = owner->fxPosition();
    m_direction = owner->fxFlightDirection();
    buildIndices();
}

void Flares::ownerGone(const IAirplaneFx* gone)
{
    if (owner == gone) {
        owner = nullptr;
        finished = true;
    }
}

void Flares::buildIndices()
{
    if (g_flareIndicesBuilt)
        return;
    std::size_t n = 0;
    for (int r = 0; r < kFlares * 2; ++r) {
        for (int i = 0; i < 10; ++i)
            g_flareIndices[n++] = static_cast<std::uint16_t>(r * 10 + i);
        g_flareIndices[n++] = static_cast<std::uint16_t>(r * 10 + 9);
        g_flareIndices[n++] = static_cast<std::uint16_t>(std::min(r * 10 + 10, kTailVertices - 1));
    }
    g_flareIndicesBuilt = true;
}

std::span<const std::uint16_t> Flares::tailIndices()
{
    buildIndices();
    return g_flareIndices;
}

void Flares::startFlare(int f)
{
    ParticleRecord* ring = records + f * 5;
    ParticleRecord& head = ring[0];
    heads[static_cast<std::size_t>(f)] = 0;
    head.position = {};
    head.life = 0.15f;
    Vec3 v = owner ? owner->fxVelocity() : m_direction;
    v = v + Vec3{randRange(-0.1f, 0.1f), randRange(-0.1f, 0.1f), randRange(-0.1f, 0.1f)};
    head.velocity = vec3NormalizeOr(v, m_direction) * (sizeFactor * 150.0f * frameDelta());
    flareSides(vec3NormalizeOr(head.velocity, {0.0f, 0.0f, -1.0f}), head.sideA, head.sideB);
    head.sideA = head.sideA * sizeFactor;
    head.sideB = head.sideB * sizeFactor;
    for (int i = 1; i < 5; ++i)
        ring[i] = head;
}

void Flares::writeFlare(int f, const Vec3& drift, float growth)
{
    ParticleRecord* ring = records + f * 5;
    const int head = heads[static_cast<std::size_t>(f)];
    for (int step = 0; step < 5; ++step) {
        ParticleRecord& p = ring[(head - step + 5) % 5];
        p.position = p.position + drift;
        for (int r = 0; r < 2; ++r) {
            const Vec3& side = r == 0 ? p.sideA : p.sideB;
            FxVertex* pair = vertices + ((f * 2 + r) * 5 + step) * 2;
            const Vec3 a = p.position + side, b = p.position - side;
            pair[0].x = a.x, pair[0].y = a.y, pair[0].z = a.z;
            pair[1].x = b.x, pair[1].y = b.y, pair[1].z = b.z;
        }
        p.sideA = p.sideA * growth;
        p.sideB = p.sideB * growth;
    }
    ParticleRecord& h = ring[head];
    h.color = scaleColor({218, 165, 32, 96}, std::fabs(std::sin(h.life * 2.0943952f / 0.15f)));
    writeBillboardQuad(vertices + kTailVertices + f * 4, h, effectScene().cameraRight, effectScene().cameraUp);
}

void Flares::update()
{
    if (!records)
        return;
    const float dt = frameDelta();
    if (owner) {
        m_direction = owner->fxFlightDirection();
        position = owner->fxPosition();
        m_group = owner->fxDrawClass();
    }
    const Vec3 drift = m_direction * (sizeFactor * -175.0f * dt);
    const float growth = 1.0f + dt;
    // At most one flare a frame, 0.2 s apart: the frame's time is taken once.
    if (flareCount < kFlares) {
        emitTimer -= dt;
        if (emitTimer < 0.0f) {
            emitTimer += 0.2f;
            startFlare(flareCount++);
        }
    }
    drawGroup = m_group;
    if (m_group == 0 && effectScene().hasFrustum && !sphereInFrustum(effectScene().camera, position, 400.0f))
        drawGroup = 0;
    for (int f = 0; f < flareCount; ++f) {
        if (drawGroup == 0) {
            for (int i = 0; i < 5; ++i) {
                ParticleRecord& p = records[f * 5 + i];
                p.position = p.position + drift;
                p.sideA = p.sideA * growth;
                p.sideB = p.sideB * growth;
            }
        } else {
            writeFlare(f, drift, growth);
        }
        ParticleRecord* ring = records + f * 5;
        ParticleRecord& h = ring[heads[static_cast<std::size_t>(f)]];
        h.life -= dt;
        h.velocity.y -= 0.5f * dt;
        h.position = h.position + h.velocity;
        flareSides(vec3NormalizeOr(h.velocity, {0.0f, -1.0f, 0.0f}), h.sideA, h.sideB);
        h.sideA = h.sideA * sizeFactor;
        h.sideB = h.sideB * sizeFactor;
        if (h.life < 0.0f) {
            const int next = (heads[static_cast<std::size_t>(f)] + 1) % 5;
            heads[static_cast<std::size_t>(f)] = static_cast<std::uint8_t>(next);
            ParticleRecord& n = ring[next];
            n.position = h.position;
            n.sideA = h.sideA;
            n.sideB = h.sideB;
            n.velocity = h.velocity;
            n.life = 0.15f;
        }
    }
    if (age > 1.85f) {
        const float fade = std::clamp(2.85f - age, 0.0f, 1.0f);
        for (int i = 0; i < kTailVertices; ++i)
            vertices[i].color = scaleColor(vertices[i].color, fade);
    }
    if (age > 2.85f)
        finished = true;
}

void Flares::draw()
{
    Graphics* device = graphics();
    if (!device || flareCount == 0)
        return;
    Mat4 world;
    mat4TranslateV(world, position);
    device->setWorldMatrix(world);
    if (beginPooledDraw(Effects::texture(EffectTexture::RocketTrail), kBlendPremultiplied)) {
        device->setVertexLayout(VertexLayout::PosColorTex24, vertices);
        const auto n = static_cast<std::size_t>(std::max(24 * flareCount - 2, 0));
        device->drawIndexed(PrimitiveType::TriangleStrip, tailIndices().first(n));
    }
    if (beginPooledDraw(Effects::texture(EffectTexture::Flare), kBlendPremultiplied))
        drawQuads(flareCount, kTailVertices);
    device->setWorldMatrix(Mat4{});
}

// ---- gun smoke -------------------------------------------------------------------------

MachinegunSmoke::~MachinegunSmoke()
{
    if (m_gun)
        m_gun->gunSmokeGone();
}

MachinegunSmoke::MachinegunSmoke(IGunFx* gun) : m_gun(gun)
{
    if (!records)
        return;
    for (int i = 0; i < kRecords; ++i) {
        records[i].life = -1.0f;
        records[i].width = records[i].height = 1.0f;
    }
    m_flash = flashModel();
}

const Model* MachinegunSmoke::flashModel()
{
    return graphics() ? loadModel("data/models/gunfire.glm", 0, &kClampSampler) : nullptr;
}

float MachinegunSmoke::flashStretch(float timer, float interval)
{
    if (interval <= 0.0f)
        return 0.5f + 0.75f;
    return std::clamp(timer / interval, 0.0f, 1.0f) * 0.75f + 0.5f;
}

void MachinegunSmoke::update()
{
    const IAirplaneFx* plane = m_gun ? m_gun->gunAirplane() : nullptr;
    if (!records || !plane || !m_gun->gunMuzzle(m_muzzle)) {
        drawGroup = 0;
        emitTimer = 0.0f;
        return;
    }
    const float dt = frameDelta();
    if (m_gun->gunFiring()) {
        emitTimer -= dt;
        if (emitTimer < 0.0f) {
            emitTimer += std::max(m_gun->gunFireInterval(), 0.01f);
            for (int i = 0; i < kRecords; ++i) {
                ParticleRecord& p = records[i];
                if (p.life >= 0.0f)
                    continue;
                p.position = {randRange(-0.2f, 0.2f), randRange(-0.2f, 0.2f), randRange(-0.2f, 0.2f)};
                const Mat4& m = plane->fxMatrix();
                const Vec3 up{m.m[4], m.m[5], m.m[6]};
                Vec3 d = -plane->fxFlightDirection() +
                         Vec3{randRange(-0.32f, 0.32f), randRange(-0.32f, 0.16f), randRange(-0.32f, 0.32f)} + up * 0.1f;
                p.velocity = vec3NormalizeOr(d, {0.0f, 0.0f, 1.0f}) * (25.0f * dt);
                p.rotation = rand01() * kPi;
                p.life = 3.0f;
                break;
            }
        }
    } else {
        emitTimer = 0.0f;
    }
    int live = 0;
    const Color3f l = sceneLightColor();
    const Color4 colour{static_cast<std::uint8_t>(l.r * 255.0f), static_cast<std::uint8_t>(l.g * 255.0f),
                        static_cast<std::uint8_t>(l.b * 255.0f), 255};
    for (int i = 0; i < kRecords; ++i) {
        ParticleRecord& p = records[i];
        if (p.life <= 0.0f)
            continue;
        p.position = p.position + p.velocity;
        p.position.y -= 0.08f;
        p.life -= dt;
        p.color = colour;
        p.width = p.height = 0.16f;
        writeRotatedBillboardQuad(vertices + live * 4, p, effectScene().cameraRight, effectScene().cameraUp,
                                  (p.life / 3.0f) * kPi * 4.0f + p.rotation);
        ++live;
    }
    liveCount = static_cast<std::uint8_t>(live);
    drawGroup = plane->fxDrawClass() != 0 && (live > 0 || m_gun->gunFiring()) ? plane->fxDrawClass() : 0;
}

void MachinegunSmoke::draw()
{
    Graphics* device = graphics();
    const IAirplaneFx* plane = m_gun ? m_gun->gunAirplane() : nullptr;
    if (!device || !plane || liveCount == 0)
        return;
    if (const IPoolCamera* camera = poolCamera(); camera && camera->hidesGunSmoke())
        return;
    ProfileScope timed(FrameLib::Effects, "gun smoke");
    const Model* flash = m_flash;
    if (flash && m_gun->gunFiring() && flash->nodeCount() >= 3 &&
        beginPooledDraw(Effects::texture(EffectTexture::Gunfire), kBlendAdditive)) {
        Mat4 world = plane->fxMatrix();
        world.m[12] = m_muzzle.x, world.m[13] = m_muzzle.y, world.m[14] = m_muzzle.z;
        mat4RotateZ(world, rand01() * 2.0f * kPi);
        mat4Scale(world, 0.75f, 0.75f, flashStretch(emitTimer, m_gun->gunFireInterval()));
        device->state().perVertexColor = false;
        device->state().color = kColorWhite;
        const int node = randModulo(3);
        device->setWorldMatrix(mat4Multiply(world, flash->node(static_cast<std::size_t>(node))->matrix));
        drawModelNode(*flash, node);
    }
    if (liveCount > 0 && beginPooledDraw(Effects::texture(EffectTexture::Smoke), kBlendPremultiplied)) {
        Mat4 world;
        mat4TranslateV(world, m_muzzle);
        device->setWorldMatrix(world);
        drawQuads(liveCount);
    }
    device->setWorldMatrix(Mat4{});
}

// ---- sonic boom -------------------------------------------------------------------------

SonicBoom::SonicBoom(const IAirplaneFx* owner, SonicBoom** slot) : m_owner(owner), m_slot(slot)
{
    if (!hasSlot() || !owner) {
        finished = true;
        return;
    }
    if (m_slot)
        *m_slot = this;
    if (owner->fxIsPlayer()) {
        if (SoundSourceBuffered* s = globalSources().sonicBoom)
            s->play();
        if (IPoolCamera* camera = poolCamera())
            camera->shake(1.0f);
    }
    m_matrix = owner->fxMatrix();
    position = owner->fxPosition();
    randomise();
}

SonicBoom::~SonicBoom()
{
    if (m_slot && *m_slot == this)
        *m_slot = nullptr;
}

void SonicBoom::ownerGone(const IAirplaneFx* gone)
{
    if (m_owner != gone)
        return;
    m_owner = nullptr;
    m_slot = nullptr;
    finished = true;
}

void SonicBoom::randomise()
{
    rotation = randAngle();
    scaleX = scaleY = 5.0f + 5.0f * age + 4.0f * rand01();
    scaleZ = 6.0f + 4.0f * age * rand01();
}

void SonicBoom::update()
{
    if (!m_owner) {
        finished = true;
        return;
    }
    drawGroup = m_owner->fxDrawClass();
    m_matrix = m_owner->fxMatrix();
    position = m_owner->fxPosition();
    finished = age > 3.0f;
    randomise();
}

void SonicBoom::draw()
{
    Graphics* device = graphics();
    const AirplaneModel* model = m_owner ? m_owner->fxModel() : nullptr;
    const int node = model ? model->nodeIndex("sonic") : -1;
    if (!device || !visible() || node < 0 || !beginPooledDraw(Effects::texture(EffectTexture::Sonic), kBlendPremultiplied))
        return;
    const Model& m = model->model();
    Mat4 world = m_matrix;
    mat4RotateZ(world, rotation);
    mat4Scale(world, scaleX, scaleY, scaleZ);
    device->setWorldMatrix(mat4Multiply(world, m.node(static_cast<std::size_t>(node))->matrix));
    RenderState& s = device->state();
    s.perVertexColor = false;
    s.color = scaleColor(kColorWhite, std::min(1.0f, 1.5f * std::sin(kPi * age)));
    drawModelNode(m, node);
    s.blend = kBlendAdditive;
    s.color = scaleColor(kColorWhite, 0.75f * std::fabs(std::sin(4.0f * kPi * age)));
    drawModelNode(m, node);
    s.color = kColorWhite;
    device->setWorldMatrix(Mat4{});
}
