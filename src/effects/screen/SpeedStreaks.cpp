#include "effects/screen/SpeedStreaks.h"

#include "effects/EffectScene.h"
#include "effects/screen/Weather.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/assets/TextureCache.h"

#include <algorithm>
#include <cmath>

namespace {
struct Vertex {
    float x, y, z;
    Color4 color;
    float u, v;
};

std::array<SpeedStreaks::Puff, SpeedStreaks::kPuffs> s_puffs;
std::array<SpeedStreaks::Line, SpeedStreaks::kLines> s_lines;
std::array<Vertex, SpeedStreaks::kPuffs * 4> s_puffVertices;
// The same puffs at full opacity: what each puff adds to the view.
std::array<Vertex, SpeedStreaks::kPuffs * 4> s_puffLightVertices;
std::array<Vertex, SpeedStreaks::kLines * 4> s_lineVertices;
int s_liveLines = 0;
float s_puffIntensity = 0.0f, s_lineIntensity = 0.0f;
Vec3 s_last;
float s_aspect = 1.5f;
Mat4 s_projection;
TextureRef s_clouds, s_streak;

constexpr BlendState kPuffCover{BlendFactor::Zero, BlendFactor::OneMinusSrcAlpha};
constexpr BlendState kPuffLight{BlendFactor::SrcAlpha, BlendFactor::One};

Vec3 axis(const Mat4& m, int k) { return {m.m[4 * k], m.m[4 * k + 1], m.m[4 * k + 2]}; }

void respawnPuff(SpeedStreaks::Puff& p, const SpeedStreaks::Input& in)
{
    p.life = p.timer = randRange(0.3f, 0.7f);
    const float side = randModulo(2) ? randRange(20.0f, 45.0f) : randRange(-45.0f, -20.0f);
    p.offset = axis(in.plane, 2) * (-in.speed * p.life * 0.666f) + axis(in.plane, 1) * randRange(-45.0f, 5.0f) +
               axis(in.plane, 0) * side;
    p.frame = randModulo(4);
}

void buildPuffs(const Vec3& planePosition, const Color4& colour)
{
    const EffectScene& scene = effectScene();
    const Vec3 r = scene.cameraRight * 12.5f, u = scene.cameraUp * 12.5f;
    for (int i = 0; i < SpeedStreaks::kPuffs; ++i) {
        const SpeedStreaks::Puff& p = s_puffs[static_cast<std::size_t>(i)];
        const float fade = p.life > 0.0f ? std::fabs(std::sin(3.14159265f * p.timer / p.life)) : 0.0f;
        const Color4 c = Color4::lerp(Color4{0, 0, 0, 0}, colour, fade);
        const Vec3 at = planePosition + p.offset;
        const float u0 = 0.25f * static_cast<float>(p.frame);
        const Vec3 corner[4] = {at - r - u, at + r - u, at - r + u, at + r + u};
        const float uv[4][2] = {{u0, 0.25f}, {u0 + 0.25f, 0.25f}, {u0, 0.0f}, {u0 + 0.25f, 0.0f}};
        const Color4 light{c.r, c.g, c.b, 255};
        for (int k = 0; k < 4; ++k) {
            const auto v = static_cast<std::size_t>(i * 4 + k);
            s_puffVertices[v] = {corner[k].x, corner[k].y, corner[k].z, c, uv[k][0], uv[k][1]};
            s_puffLightVertices[v] = {corner[k].x, corner[k].y, corner[k].z, light, uv[k][0], uv[k][1]};
        }
    }
}

void updateLines(float speed, float dt)
{
    s_lineIntensity = std::clamp((speed - 100.0f) / 100.0f, 0.0f, 1.0f);
    s_liveLines = 0;
    for (auto& l : s_lines) {
        l.timer -= dt;
        if (l.timer >= 0.0f) {
            l.start = l.start + l.velocity;
            l.end = l.end + l.velocity;
        } else {
            const float s = randRange(0.2f, 0.4f);
            const float x = randRange(-0.5f, 0.5f);
            l.start = {x, randRange(-0.5f, 0.5f), -1.5f};
            Vec3 direction{0.0f, 0.0f, 1.0f};
            vec3Normalize(direction);
            l.halfWidth = s * (0.015f + 0.005f * rand01());
            l.length = s * s_aspect;
            l.end = l.start + direction * l.length;
            l.timer = 2.0f * (0.5f + 0.25f * rand01());
            l.velocity = direction * ((speed - 50.0f) / 100.0f * dt * 1.5f);
        }
        Color4 c{0x60, 0x60, 0x60, 0x60};
        if (l.timer < 0.25f)
            c.a = static_cast<std::uint8_t>(std::clamp(l.timer * 1.3333f * 255.0f, 0.0f, 255.0f));
        c.a = static_cast<std::uint8_t>(std::clamp(c.a * 2.0f * s_lineIntensity, 0.0f, 255.0f));
        c.premultiplyAlpha();
        const Vec3 corner[4] = {{l.start.x - l.halfWidth, l.start.y, l.start.z}, {l.start.x + l.halfWidth, l.start.y, l.start.z},
                                {l.end.x - l.halfWidth, l.end.y, l.end.z}, {l.end.x + l.halfWidth, l.end.y, l.end.z}};
        const float uv[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
        for (int k = 0; k < 4; ++k)
            s_lineVertices[static_cast<std::size_t>(s_liveLines * 4 + k)] = {corner[k].x, corner[k].y, corner[k].z, c, uv[k][0], uv[k][1]};
        ++s_liveLines;
    }
}
}  // namespace

void SpeedStreaks::sortPuffs(std::array<Puff, kPuffs>& puffs)
{
    for (int gap = 8; gap > 0; gap = static_cast<int>(std::floor(static_cast<float>(gap) / 2.2f + 0.5f))) {
        for (int i = gap; i < kPuffs; ++i) {
            const Puff moving = puffs[static_cast<std::size_t>(i)];
            int j = i;
            for (; j >= gap && puffs[static_cast<std::size_t>(j - gap)].key >= moving.key; j -= gap)
                puffs[static_cast<std::size_t>(j)] = puffs[static_cast<std::size_t>(j - gap)];
            puffs[static_cast<std::size_t>(j)] = moving;
        }
        if (gap == 1)
            break;
    }
}

void SpeedStreaks::load(const Vec3& cameraPosition, float aspect)
{
    for (auto& p : s_puffs)
        p = {};
    for (auto& l : s_lines)
        l = {};
    s_puffIntensity = s_lineIntensity = 0.0f;
    s_liveLines = 0;
    s_last = cameraPosition;
    s_aspect = aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.5f;
    s_projection = lensProjection(s_aspect);
}

void SpeedStreaks::release()
{
    s_clouds.reset();
    s_streak.reset();
}

void SpeedStreaks::update(const Input& in, float dt)
{
    if (!in.active || !effectHighDetail()) {
        s_puffIntensity = 0.0f;
        s_lineIntensity = 0.0f;
        return;
    }
    const Vec3 position = axis(in.plane, 3);
    const Vec3 drift = (position - s_last) * -0.5f;
    s_last = position;
    for (auto& p : s_puffs) {
        p.offset = p.offset + drift;
        p.timer -= dt;
        if (p.timer < 0.0f)
            respawnPuff(p, in);
        p.key = vec3Dot(p.offset, p.offset);
    }
    sortPuffs(s_puffs);
    const float t = in.time;
    float w = (std::pow(std::fabs(std::sin(t / 4.0f)), 4.0f) + std::pow(std::fabs(std::sin(t / 2.0f)), 8.0f) +
               std::pow(std::fabs(std::sin(t / 8.0f)), 2.0f)) * 0.4f;
    w = std::clamp(w * w, 0.0f, 0.925f);
    const float s = std::clamp((in.speed - 100.0f) / 100.0f, 0.0f, 1.0f);
    s_puffIntensity = s * (w + 0.075f) * 1.5f;
    Color4 colour{40, 40, 40, 24};
    auto scaled = [&](std::uint8_t v, float light) {
        const float k = std::min(1.0f, 1.5f * light);
        return static_cast<std::uint8_t>(std::clamp(std::lround(v * s_puffIntensity * k), 0L, 255L));
    };
    colour = {scaled(40, in.light.r), scaled(40, in.light.g), scaled(40, in.light.b), scaled(24, 1.0f)};
    buildPuffs(position, colour);
    updateLines(in.speed, dt);
}

int SpeedStreaks::render()
{
    const bool puffs = s_puffIntensity > 0.025f, lines = s_lineIntensity > 0.0f;
    Graphics* g = graphics();
    if (!g || (!puffs && !lines))
        return 0;
    if (!s_clouds)
        s_clouds = loadRawLuminanceAlphaTextureDefault("data/sky/clouds256.raw", 256, 256);
    if (!s_streak)
        s_streak = getTexture("data/particles/speedeffect.png");
    const Mat4 projection = g->projectionMatrix(), view = g->viewMatrix();
    int quads = 0;
    g->pushState();
    g->bindBuffer(BufferTarget::Array, 0);
    g->setWorldMatrix(Mat4{});
    if (puffs) {
        // The atlas keeps a puff's shade apart from its cover, and the shade
        // runs on past the puff's edge: blended premultiplied as it is, each
        // puff's whole square would lighten the view. Two draws give the
        // premultiplied result instead: the cover darkens what lies behind,
        // then the shade, weighed by the cover, is added.
        RenderState st = RenderState::alphaBlend();
        st.program = BuiltinProgram::Effect;
        st.textures[0] = s_clouds.get();
        st.blend = kPuffCover;
        g->setRenderState(st);
        g->setVertexLayout(VertexLayout::PosColorTex24, s_puffVertices.data());
        g->drawQuads(kPuffs);
        st.blend = kPuffLight;
        g->setRenderState(st);
        g->setVertexLayout(VertexLayout::PosColorTex24, s_puffLightVertices.data());
        g->drawQuads(kPuffs);
        quads += kPuffs;
    }
    if (lines && s_liveLines > 0) {
        RenderState st = RenderState::additive();
        st.program = BuiltinProgram::Effect;
        st.depthTest = false;
        st.textures[0] = s_streak.get();
        g->setRenderState(st);
        g->setProjectionMatrix(s_projection);
        g->setViewMatrix(Mat4{});
        g->setVertexLayout(VertexLayout::PosColorTex24, s_lineVertices.data());
        g->drawQuads(s_liveLines);
        quads += s_liveLines;
    }
    g->invalidateVertexLayout();
    g->popState();
    g->setProjectionMatrix(projection);
    g->setViewMatrix(view);
    return quads;
}

float SpeedStreaks::puffIntensity() { return s_puffIntensity; }
float SpeedStreaks::lineIntensity() { return s_lineIntensity; }
const std::array<SpeedStreaks::Puff, SpeedStreaks::kPuffs>& SpeedStreaks::puffs() { return s_puffs; }
const std::array<SpeedStreaks::Line, SpeedStreaks::kLines>& SpeedStreaks::lines() { return s_lines; }
