#include "effects/world/AircraftLooks.h"

#include "effects/AircraftFx.h"
#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "gamedata/AirplaneModel.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/assets/Model.h"
#include "render/fx/HeatHaze.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>

namespace {
bool g_rush = false;

int nodeOf(const Model* model, const char* name)
{
    if (!model)
        return -1;
    const int i = model->findNodeIndex(name);
    return i >= 0 && model->node(static_cast<std::size_t>(i))->indexCount > 0 ? i : -1;
}

std::vector<FxVertex> copyNode(const Model& model, int node, float scale = 1.0f)
{
    std::vector<FxVertex> out;
    for (const GlmVertex& v : model.node(static_cast<std::size_t>(node))->vertices)
        out.push_back({v.x * scale, v.y * scale, v.z * scale, Color4{0, 0, 0, 0}, v.u, v.v});
    return out;
}

void drawMesh(const Model& model, int node, const Mat4& world, const void* vertices, VertexLayout layout)
{
    Graphics* device = graphics();
    const Model::Node* n = model.node(static_cast<std::size_t>(node));
    device->setWorldMatrix(mat4Multiply(world, n->matrix));
    device->setVertexLayout(layout, vertices);
    device->drawIndexed(PrimitiveType::Triangles, n->indices);
}

void effectState(const Texture2D* texture, const BlendState& blend, bool perVertex)
{
    RenderState& s = graphics()->state();
    s.program = BuiltinProgram::Effect;
    s.customProgram = nullptr;
    s.perVertexColor = perVertex;
    s.blend = blend;
    s.depthTest = true;
    s.depthWrite = false;
    s.cull = CullMode::None;
    s.textures = {texture, nullptr};
}
}  // namespace

// ---- jet exhaust -----------------------------------------------------------------

namespace {
const Model* modelOf(const IAirplaneFx& airplane)
{
    const AirplaneModel* model = airplane.fxModel();
    return model ? &model->model() : nullptr;
}
}  // namespace

JetExhaust::JetExhaust(const IAirplaneFx& airplane) : JetExhaust(airplane, modelOf(airplane)) {}

JetExhaust::JetExhaust(const IAirplaneFx& airplane, const Model* model) : m_airplane(airplane), m_model(model)
{
    m_jet = nodeOf(m_model, "jet");
    if (m_jet < 0)
        return;
    m_core = nodeOf(m_model, "jetcore");
    m_glow = m_model->findNodeIndex("jetglow");
    const Model::Node* jet = m_model->node(static_cast<std::size_t>(m_jet));
    m_jetVertices = copyNode(*m_model, m_jet);
    m_jetBase = jet->centre.z - jet->radius;
    m_jetLength = std::max(2.0f * jet->radius, 1e-3f);
    if (m_core >= 0) {
        const Model::Node* core = m_model->node(static_cast<std::size_t>(m_core));
        m_coreVertices = copyNode(*m_model, m_core);
        m_coreBase = core->centre.z - core->radius;
        m_coreLength = std::max(2.0f * core->radius, 1e-3f);
    }
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 8; ++i)
        m_haze[static_cast<std::size_t>(i)].u = uv[i % 4][0], m_haze[static_cast<std::size_t>(i)].v = uv[i % 4][1];
}

void JetExhaust::update(float throttle, float dt)
{
    if (!active || m_jet < 0)
        return;
    m_throttle = throttle;
    const float j1 = randRange(-0.075f, 0.075f), j2 = randRange(-0.075f, 0.075f);
    const float t = std::clamp(throttle, 0.3f, 1.0f);
    scroll -= (t + 0.1f) * dt * 6.6f;
    while (scroll < 0.0f)
        scroll += 1.0f;
    Color4 flame;
    Color4::lerpInto(flame, {100, 100, 240, 255}, {150, 100, 140, 224}, t);
    flame = scaleColor(flame, t);
    const auto& source = m_model->node(static_cast<std::size_t>(m_jet))->vertices;
    for (std::size_t i = 0; i < m_jetVertices.size(); ++i) {
        const GlmVertex& m = source[i];
        const float f = std::clamp((m.z - m_jetBase) / m_jetLength, 0.0f, 1.0f);
        FxVertex& v = m_jetVertices[i];
        v.z = ((m.x >= 0.0f ? j1 : j2) + t) * m_jetLength * f + m_jetBase;
        v.u = m.u + scroll;
        v.color = scaleColor(flame, 1.0f - f);
    }
    if (!m_airplane.fxIsPlayer())
        return;
    coreColor = scaleColor({176, 224, 230, 255}, t);
    if (m_core >= 0) {
        const auto& coreSource = m_model->node(static_cast<std::size_t>(m_core))->vertices;
        for (std::size_t i = 0; i < m_coreVertices.size(); ++i) {
            const GlmVertex& m = coreSource[i];
            const float f = std::clamp((m.z - m_jetBase) / m_coreLength, 0.0f, 1.0f);
            m_coreVertices[i].z = ((m.x >= 0.0f ? j1 : j2) + t) * m_coreLength * f + m_coreBase;
            m_coreVertices[i].color = coreColor;
        }
    }
    if (m_glow >= 0) {
        const Vec3 c = m_model->node(static_cast<std::size_t>(m_glow))->centre;
        const Mat4& world = m_airplane.fxMatrix();
        const EffectScene& scene = effectScene();
        for (int side = 0; side < 2; ++side) {
            const Vec3 p = mat4TransformPoint(world, {side ? -c.x : c.x, c.y, c.z});
            writeAxisQuad(&m_haze[static_cast<std::size_t>(side * 4)], p, scene.cameraRight, scene.cameraUp, 0.75f,
                          0.75f, 0.0f, 0.0f, 1.0f, 1.0f);
        }
    }
}

void JetExhaust::render() const
{
    Graphics* device = graphics();
    if (!active || m_jet < 0 || !device)
        return;
    device->pushState();
    const Mat4& world = m_airplane.fxMatrix();
    const bool player = m_airplane.fxIsPlayer();
    const Texture2D* jet = Effects::texture(EffectTexture::Jet);
    const Texture2D* core = Effects::texture(EffectTexture::JetCore);
    if (player && m_core >= 0 && core) {
        effectState(core, kBlendAdditive, true);
        drawMesh(*m_model, m_core, world, m_coreVertices.data(), VertexLayout::PosColorTex24);
    }
    if (jet) {
        if (player) {
            effectState(jet, kBlendPremultiplied, true);
            drawMesh(*m_model, m_jet, world, m_jetVertices.data(), VertexLayout::PosColorTex24);
        }
        effectState(jet, kBlendAdditive, true);
        drawMesh(*m_model, m_jet, world, m_jetVertices.data(), VertexLayout::PosColorTex24);
    }
    device->setWorldMatrix(Mat4{});
    device->popState();
}

namespace {
float hazeIntensity(const IAirplaneFx& a, float throttle)
{
    const float look = vec3Dot(effectScene().cameraForward, a.fxFlightDirection());
    return std::clamp(2.0f * throttle, 0.25f, 1.0f) * (1.0f + std::min(0.0f, look));
}
}  // namespace

void JetExhaust::renderHaze(float sceneTime) const
{
    const Texture2D* glow = Effects::texture(EffectTexture::GlowAlpha);
    if (!active || m_glow < 0 || !m_airplane.fxIsPlayer() || !glow || !graphics())
        return;
    graphics()->setWorldMatrix(Mat4{});
    drawHeatHaze(std::span<const float>(&m_haze[0].x, 40), glow, sceneTime * 0.25f, sceneTime * 7.0f,
                 hazeIntensity(m_airplane, m_throttle));
}

void JetExhaust::renderCore(float sceneTime) const
{
    const Texture2D* glow = Effects::texture(EffectTexture::GlowAlpha);
    if (!active || m_glow < 0 || !m_airplane.fxIsPlayer() || !glow || !graphics())
        return;
    graphics()->setWorldMatrix(Mat4{});
    drawHeatHazeRefraction(std::span<const float>(&m_haze[0].x, 40), glow, sceneTime * 0.25f, sceneTime * 7.0f,
                           hazeIntensity(m_airplane, m_throttle));
}

// ---- vapour cone -------------------------------------------------------------------

VapourCone::VapourCone(const IAirplaneFx& airplane) : VapourCone(airplane, modelOf(airplane)) {}

VapourCone::VapourCone(const IAirplaneFx& airplane, const Model* model) : m_airplane(airplane), m_model(model)
{
    m_up = nodeOf(m_model, "steamu");
    m_down = nodeOf(m_model, "steamd");
    m_cobra = nodeOf(m_model, "cobra");
    if (m_up >= 0)
        m_upVertices = copyNode(*m_model, m_up);
    if (m_down >= 0)
        m_downVertices = copyNode(*m_model, m_down);
    if (m_cobra >= 0)
        for (const FxVertex& v : copyNode(*m_model, m_cobra, 20.0f)) {
            m_coneVertices.push_back({v.x, v.y, v.z, v.u, v.v});
            m_coneUv.push_back({v.u, v.v});
        }
    m_player = airplane.fxIsPlayer();
}

VapourCone::~VapourCone() { stopRush(); }

bool VapourCone::rushPlaying() { return g_rush; }

void VapourCone::silenceRush()
{
    if (!g_rush)
        return;
    if (SoundSourceBuffered* s = globalSources().airbrake)
        s->stop();
    g_rush = false;
}

void VapourCone::stopRush()
{
    if (m_player && g_rush) {
        if (SoundSourceBuffered* s = globalSources().airbrake)
            s->stop();
        g_rush = false;
    }
}

void VapourCone::paintSheet(int node, std::vector<FxVertex>& copy)
{
    const auto& source = m_model->node(static_cast<std::size_t>(node))->vertices;
    for (std::size_t i = 0; i < copy.size(); ++i) {
        copy[i].u = source[i].u + scroll;
        copy[i].color = scaleColor(base, std::clamp(source[i].u, 0.0f, 1.0f) * std::fabs(level));
    }
}

void VapourCone::update(float dt, float alignment)
{
    m_player = m_airplane.fxIsPlayer();
    const float v = m_airplane.fxSpeed();
    scroll += 6.0f * dt;
    if (scroll > 1.0f)
        scroll -= 1.0f;
    const Color3f l = sceneLightColor();
    base = {static_cast<std::uint8_t>(std::clamp(l.r, 0.0f, 1.0f) * 255.0f),
            static_cast<std::uint8_t>(std::clamp(l.g, 0.0f, 1.0f) * 255.0f),
            static_cast<std::uint8_t>(std::clamp(l.b, 0.0f, 1.0f) * 255.0f), 204};
    const float g = m_airplane.fxLoad();
    const float target = std::clamp(std::pow(g, 11.0f) * 16.0f * std::min(v * 0.0008f, 1.0f), -1.0f, 1.0f);
    level += dt * (target - level);
    upper = level > 0.01f && m_up >= 0;
    lower = level < -0.01f && m_down >= 0;
    if (upper)
        paintSheet(m_up, m_upVertices);
    if (lower)
        paintSheet(m_down, m_downVertices);
    if (std::fabs(alignment) <= 0.7f || v <= 100.0f || m_cobra < 0) {
        cone = false;
        stopRush();
        return;
    }
    const float d = alignment > 0.0f ? alignment - 0.7f : alignment + 0.7f;
    coneScale = d * 3.333333f * randRange(1.0f, 1.5f);
    const float strength = std::min((v - 100.0f) / 50.0f, 1.0f) * std::sin(std::fabs(d * 3.333333f) * kPi / 2.0f);
    coneColor = scaleColor(base, strength * 0.75f);
    cone = true;
    const float a = randAngle(), c = std::cos(a), s = std::sin(a);
    for (std::size_t i = 0; i < m_coneVertices.size(); ++i) {
        const float u = m_coneUv[i].x - 0.5f, w = m_coneUv[i].y - 0.5f;
        m_coneVertices[i].u = 0.5f + u * c - w * s;
        m_coneVertices[i].v = 0.5f + u * s + w * c;
    }
    if (m_player) {
        if (SoundSourceBuffered* src = globalSources().airbrake) {
            src->setVolume(strength * 0.2f);
            if (!g_rush)
                src->play();
        }
        g_rush = true;
    }
}

void VapourCone::render() const
{
    Graphics* device = graphics();
    if (!device || (!upper && !lower && !cone))
        return;
    device->pushState();
    const Mat4& world = m_airplane.fxMatrix();
    if (const Texture2D* steam = Effects::texture(EffectTexture::Steam); steam && (upper || lower)) {
        effectState(steam, kBlendPremultiplied, true);
        if (upper)
            drawMesh(*m_model, m_up, world, m_upVertices.data(), VertexLayout::PosColorTex24);
        else
            drawMesh(*m_model, m_down, world, m_downVertices.data(), VertexLayout::PosColorTex24);
    }
    if (const Texture2D* sonic = Effects::texture(EffectTexture::Sonic); sonic && cone) {
        effectState(sonic, kBlendPremultiplied, false);
        device->state().color = coneColor;
        const Mat4 scaled = mat4ScaledCopy(world, 1.0f, coneScale, 1.0f);
        drawMesh(*m_model, m_cobra, scaled, m_coneVertices.data(), VertexLayout::PosTex20);
        device->state().color = kColorWhite;
    }
    device->setWorldMatrix(Mat4{});
    device->popState();
}
