#include "effects/screen/SunGlare.h"

#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "render/Graphics.h"
#include "render/OcclusionQuery.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
constexpr float kElements[8][2] = {{1.0f, 0.1f},  {0.2f, 0.1f},    {-0.1f, 0.2f}, {-0.6f, 0.06f},
                                   {0.8f, 0.025f}, {0.5f, 0.075f}, {0.1f, 0.05f}, {-0.8f, 0.025f}};
constexpr float kColours[7][4] = {{1.0f, 0.96f, 0.5f, 0.6f}, {0.87f, 0.34f, 0.16f, 0.9f}, {1.0f, 0.5f, 0.7f, 0.9f},
                                  {0.43f, 0.04f, 0.88f, 0.9f}, {1.0f, 1.0f, 0.63f, 0.9f}, {0.87f, 0.34f, 0.16f, 0.9f},
                                  {0.87f, 0.34f, 0.16f, 0.9f}};

float s_visibility = 0.0f, s_flare = 0.0f, s_occlusion = 0.0f;
std::uint8_t s_hidden = 0;
int s_phase = 0;
std::unique_ptr<OcclusionQuery> s_query;
std::array<SunGlare::Vertex, 32> s_quads;
std::array<Color4, 8> s_colours;
Vec2 s_sun;
float s_boxHalf = 0.01f;

Color4 scaled(const Color4& c, float k)
{
    auto b = [k](std::uint8_t v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v * k), 0L, 255L)); };
    return {b(c.r), b(c.g), b(c.b), b(c.a)};
}

void setQuad(int i, float cx, float cy, float w, float h, const Color4& c)
{
    SunGlare::Vertex* q = &s_quads[static_cast<std::size_t>(i) * 4];
    const float xs[4] = {cx - w, cx + w, cx - w, cx + w}, ys[4] = {cy - h, cy - h, cy + h, cy + h};
    for (int k = 0; k < 4; ++k) {
        q[k].x = xs[k];
        q[k].y = ys[k];
        q[k].color = c;
    }
}

// Screen units -1..1 on both axes, drawn without depth.
void beginScreenPass(Graphics& g, const char*)
{
    g.pushState();
    RenderState st = RenderState::additive();
    st.depthTest = false;
    st.program = BuiltinProgram::Effect;
    g.setRenderState(st);
    g.setProjectionMatrix(Mat4{});
    g.setViewMatrix(Mat4{});
    g.setWorldMatrix(Mat4{});
    g.bindBuffer(BufferTarget::Array, 0);
}
}  // namespace

void SunGlare::load()
{
    s_visibility = s_flare = s_occlusion = 0.0f;
    s_hidden = 0;
    s_phase = 0;
    s_query.reset();
    Graphics* g = graphics();
    if (g && effectQualityTier() > 1 && g->occlusionQuerySupported()) {
        auto q = std::make_unique<OcclusionQuery>();
        if (q->create())
            s_query = std::move(q);
    }
    for (int i = 0; i < 7; ++i)
        packColor4(s_colours[static_cast<std::size_t>(i) + 1], kColours[i][0], kColours[i][1], kColours[i][2], kColours[i][3]);
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 4; ++k) {
            Vertex& v = s_quads[static_cast<std::size_t>(i * 4 + k)];
            v.u = uv[k][0];
            v.v = uv[k][1];
            v.z = i == 0 ? -0.999999f : 0.999999f;
        }
}

void SunGlare::release() { s_query.reset(); }

void SunGlare::update(const Input& in, float dt)
{
    const EffectScene& scene = effectScene();
    const Vec3& d = in.lightDirection;
    const Vec3 far{in.cameraPosition.x + 50000.0f * d.x, 50000.0f * d.y, in.cameraPosition.z + 50000.0f * d.z};
    Vec2 p{2.0f, 2.0f};
    float depth = 1.0f;
    if (scene.hasFrustum)
        depth = projectToScreen(scene.camera, far, p);
    const bool onScreen = depth < 0.0f && p.x > -1.1f && p.x < 1.1f && p.y > -1.1f && p.y < 1.1f;
    s_visibility = std::clamp(s_visibility + (onScreen ? 4.0f : -4.0f) * dt, 0.0f, 1.0f);
    s_sun = {p.x, -p.y};   // the quads are drawn with y up
    s_flare = s_visibility * std::clamp(std::sqrt(p.x * p.x + p.y * p.y) - 0.2f, 0.0f, 1.0f);
    if (d.y < 0.0f)
        s_flare = 0.0f;
    if (s_query) {
        s_occlusion = std::clamp(s_occlusion + (s_hidden == 0 ? 10.0f : -10.0f) * dt, 0.0f, 1.0f);
        s_flare *= s_occlusion;
        const float shorter = std::max(1.0f, std::min(scene.screenWidth, scene.screenHeight));
        s_boxHalf = 3.0f / shorter;
    }
    if (!(s_visibility > 0.0f))
        return;
    const float a = std::fabs(d.y);
    packColor3(s_colours[0], in.sunColor);
    for (int i = 0; i < 8; ++i) {
        const float t = kElements[i][0], s = kElements[i][1];
        float w = s;
        const float h = s * in.aspect;
        Color4 c;
        if (i == 0) {
            c = scaled(scaled(s_colours[0], s_visibility), std::min(5.0f * a, 1.0f));
            w = (1.0f - t * fastInvSqrt(t)) * 0.3f + std::min(10.0f * a, 1.0f) * s_visibility * s;
        } else {
            c = scaled(scaled(s_colours[static_cast<std::size_t>(i)], s_flare), a);
        }
        setQuad(i, t * s_sun.x, t * s_sun.y, w, h, c);
    }
}

void SunGlare::render()
{
    Graphics* g = graphics();
    if (!g || !(s_visibility > 0.0f))
        return;
    const Mat4 projection = g->projectionMatrix(), view = g->viewMatrix();
    beginScreenPass(*g, "sun");
    g->state().textures[0] = Effects::texture(EffectTexture::Sun);
    g->setVertexLayout(VertexLayout::PosColorTex24, s_quads.data());
    g->drawArrays(PrimitiveType::TriangleStrip, 0, 4);
    g->invalidateVertexLayout();
    g->popState();
    g->setProjectionMatrix(projection);
    g->setViewMatrix(view);
}

void SunGlare::renderFlare()
{
    Graphics* g = graphics();
    if (!g || !(s_flare > 0.0f))
        return;
    const Mat4 projection = g->projectionMatrix(), view = g->viewMatrix();
    beginScreenPass(*g, "flare");
    g->state().textures[0] = Effects::texture(EffectTexture::Glow1);
    g->setVertexLayout(VertexLayout::PosColorTex24, &s_quads[4]);
    g->drawQuads(3);
    g->state().textures[0] = Effects::texture(EffectTexture::Glow2);
    g->setVertexLayout(VertexLayout::PosColorTex24, &s_quads[16]);
    g->drawQuads(4);
    g->invalidateVertexLayout();
    g->popState();
    g->setProjectionMatrix(projection);
    g->setViewMatrix(view);
}

void SunGlare::renderOverlay()
{
    Graphics* g = graphics();
    if (!g || !s_query)
        return;
    if (!(s_visibility > 0.0f)) {
        s_phase = 0;
        return;
    }
    if (s_phase == 0) {
        const Mat4 projection = g->projectionMatrix(), view = g->viewMatrix();
        g->pushState();
        RenderState st = RenderState::alphaBlend();
        st.colorMask = kColorMaskNone;
        st.program = BuiltinProgram::Color;
        st.color = Color4{0, 0, 0, 0};
        st.perVertexColor = false;
        g->setRenderState(st);
        g->setProjectionMatrix(Mat4{});
        g->setViewMatrix(Mat4{});
        g->setWorldMatrix(Mat4{});
        // Far in depth, so any terrain in front hides it.
        const float h = s_boxHalf;
        const Vertex box[4] = {{s_sun.x - h, s_sun.y - h, 0.999999f, {}, 0, 0}, {s_sun.x + h, s_sun.y - h, 0.999999f, {}, 1, 0},
                               {s_sun.x - h, s_sun.y + h, 0.999999f, {}, 0, 1}, {s_sun.x + h, s_sun.y + h, 0.999999f, {}, 1, 1}};
        g->bindBuffer(BufferTarget::Array, 0);
        g->setVertexLayout(VertexLayout::PosColorTex24, box);
        s_query->begin();
        g->drawArrays(PrimitiveType::TriangleStrip, 0, 4);
        s_query->end();
        g->invalidateVertexLayout();
        g->popState();
        g->setProjectionMatrix(projection);
        g->setViewMatrix(view);
    } else if (s_phase == 2) {
        std::uint32_t samples = 0;
        if (s_query->result(samples))
            s_hidden = samples == 0 ? 1 : 0;
    }
    s_phase = (s_phase + 1) % 3;
}

float SunGlare::visibility() { return s_visibility; }
float SunGlare::flareStrength() { return s_flare; }
float SunGlare::occlusion() { return s_occlusion; }
std::uint8_t SunGlare::hidden() { return s_hidden; }
bool SunGlare::hasQuery() { return s_query != nullptr; }
const std::array<SunGlare::Vertex, 32>& SunGlare::quads() { return s_quads; }
Vec2 SunGlare::sunOnScreen() { return s_sun; }
