#include "effects/screen/Weather.h"

#include "render/fx/RainRefraction.h"

#include "effects/EffectScene.h"
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
static_assert(sizeof(Vertex) == 24);

std::array<Weather::Drop, Weather::kDrops> s_drops;
std::array<Weather::Particle, Weather::kParticles> s_particles;
std::array<Vertex, (Weather::kDrops + Weather::kParticles) * 4> s_vertices;
int s_lastMode = 0;
float s_aspect = 1.5f;
Mat4 s_projection;
TextureRef s_rain, s_snow, s_rainNormals;

// Frame f of the 2 x 2 atlas: u0, v0 (u and v span 0.5).
void atlas(int frame, float& u0, float& v0)
{
    u0 = (frame & 1) ? 0.5f : 0.0f;
    v0 = frame < 2 ? 0.5f : 0.0f;
}

void freeAll()
{
    for (auto& d : s_drops)
        d = {};
    for (auto& p : s_particles)
        p = {};
}

void stepDrop(Weather::Drop& d, float dt)
{
    d.timer -= dt;
    if (d.timer >= 0.0f) {
        d.width *= 1.003f;
        d.height *= 1.003f;
        return;
    }
    const float s = 0.015f + 0.02f * rand01();
    d.x = randSigned();
    d.y = randSigned();
    d.width = s * (0.7f + 0.6f * rand01());
    d.height = s * s_aspect;
    d.timer = 0.5f + rand01();
    d.frame = randModulo(4);
}

void stepParticle(Weather::Particle& p, bool rain, float dt)
{
    p.timer -= dt;
    if (p.timer >= 0.0f) {
        p.start = p.start + p.velocity;
        p.end = p.end + p.velocity;
        return;
    }
    const float s = 0.15f + 0.15f * rand01();
    const float x = (2.0f * rand01() - 1.0f) * 1.5f;
    p.start = {x, rand01() * 1.5f, -2.0f};
    Vec3 direction{0.0f, -p.start.y, 1.0f};
    vec3Normalize(direction);
    if (rain) {
        p.halfWidth = s * (0.015f + 0.005f * rand01());
        p.length = s * s_aspect;
    } else {
        p.halfWidth = p.length = s * 0.1f;
    }
    p.end = p.start + direction * p.length;
    p.timer = 0.5f + 0.25f * rand01();
    p.frame = randModulo(4);
    p.velocity = direction * (dt * 10.0f);
}

Color4 fadeColor(std::uint8_t grey, float timer, float below, float scale)
{
    Color4 c{grey, grey, grey, grey};
    if (timer < below) {
        c.a = static_cast<std::uint8_t>(std::clamp(timer * scale * 255.0f, 0.0f, 255.0f));
        c.premultiplyAlpha();
    }
    return c;
}

void putQuad(Vertex* q, const Vec3 (&corner)[4], const Color4& c, int frame)
{
    float u0, v0;
    atlas(frame, u0, v0);
    const float uv[4][2] = {{u0, v0}, {u0 + 0.5f, v0}, {u0, v0 + 0.5f}, {u0 + 0.5f, v0 + 0.5f}};
    for (int i = 0; i < 4; ++i)
        q[i] = {corner[i].x, corner[i].y, corner[i].z, c, uv[i][0], uv[i][1]};
}

int buildDrops(int count)
{
    for (int i = 0; i < count; ++i) {
        const Weather::Drop& d = s_drops[static_cast<std::size_t>(i)];
        Color4 c{255, 255, 255, 255};
        if (d.timer < 1.0f) {
            c.a = static_cast<std::uint8_t>(std::clamp(d.timer * 255.0f, 0.0f, 255.0f));
            c.premultiplyAlpha();
        }
        // On the lens: x and y span the view, one unit in front of the eye.
        const float z = -1.0f;
        const float k = 0.57735027f;   // tan 30 degrees
        const Vec3 corner[4] = {{(d.x - d.width) * k * s_aspect, (d.y - d.height) * k, z},
                                {(d.x + d.width) * k * s_aspect, (d.y - d.height) * k, z},
                                {(d.x - d.width) * k * s_aspect, (d.y + d.height) * k, z},
                                {(d.x + d.width) * k * s_aspect, (d.y + d.height) * k, z}};
        putQuad(&s_vertices[static_cast<std::size_t>(i) * 4], corner, c, d.frame);
    }
    return count;
}

void buildParticles(int first, int count, bool rain, bool highDetail)
{
    for (int i = 0; i < count; ++i) {
        const Weather::Particle& p = s_particles[static_cast<std::size_t>(i)];
        Vertex* q = &s_vertices[static_cast<std::size_t>(first + i) * 4];
        if (rain) {
            const Color4 c = fadeColor(highDetail ? 192 : 84, p.timer, 0.25f, 1.3333f);
            const float w = p.halfWidth;
            const Vec3 corner[4] = {{p.start.x - w, p.start.y, p.start.z}, {p.start.x + w, p.start.y, p.start.z},
                                    {p.end.x - w, p.end.y, p.end.z}, {p.end.x + w, p.end.y, p.end.z}};
            putQuad(q, corner, c, p.frame);
        } else {
            const Color4 c = fadeColor(84, p.timer, 0.25f, 1.3333f);
            const Vec3& s = p.start;
            const Vec3 corner[4] = {{s.x - p.halfWidth, s.y - p.length, s.z}, {s.x + p.halfWidth, s.y - p.length, s.z},
                                    {s.x - p.halfWidth, s.y + p.length, s.z}, {s.x + p.halfWidth, s.y + p.length, s.z}};
            putQuad(q, corner, c, p.frame);
        }
    }
}
}  // namespace

Mat4 lensProjection(float aspect)
{
    const float cot = 1.0f / std::tan(30.0f * 3.14159265f / 180.0f);
    const float n = 0.01f, f = 10.0f;
    Mat4 m;
    m.m[0] = cot / (aspect > 0.0f ? aspect : 1.0f);
    m.m[5] = cot;
    m.m[10] = (f + n) / (n - f);
    m.m[11] = -1.0f;
    m.m[14] = 2.0f * f * n / (n - f);
    m.m[15] = 0.0f;
    return m;
}

void Weather::load(float aspect)
{
    s_aspect = aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.5f;
    freeAll();
    s_projection = lensProjection(s_aspect);
}

void Weather::release()
{
    s_rain.reset();
    s_snow.reset();
    s_rainNormals.reset();
    releaseRainRefraction();
}

void Weather::update(int mode, float intensity, float dt)
{
    if (mode < 1 || !(intensity > 0.01f))
        return;
    if (mode != s_lastMode) {
        freeAll();
        s_lastMode = mode;
    }
    for (auto& d : s_drops)
        stepDrop(d, dt);
    const bool rain = mode == kRain;
    for (auto& p : s_particles)
        stepParticle(p, rain, dt);
}

Weather::Drawn Weather::render(int mode, float intensity, const View& view)
{
    Drawn drawn;
    if (mode < 1 || !(intensity > 0.01f) || !view.hasPlayer || view.insideTarget)
        return drawn;
    const float k = std::min(intensity, 1.0f);
    drawn.drops = static_cast<int>(64.0f * k);
    drawn.particles = static_cast<int>(128.0f * k);
    const bool rain = mode == kRain;
    const bool highDetail = effectHighDetail();
    buildDrops(drawn.drops);
    buildParticles(drawn.drops, drawn.particles, rain, highDetail);
    Graphics* g = graphics();
    if (!g)
        return drawn;
    TextureRef& texture = rain ? s_rain : s_snow;
    if (!texture)
        texture = getTexture(rain ? "data/particles/rainDrop.png" : "data/particles/snowFlake.png");
    const Mat4 projection = g->projectionMatrix(), viewMatrix = g->viewMatrix();
    // Top detail: the rain bends the picture behind it; below, or when the
    // device cannot, it is drawn additive.
    if (rain && highDetail) {
        if (!s_rainNormals)
            s_rainNormals = getTexture("data/particles/rainDropNM.png");
        g->setProjectionMatrix(s_projection);
        g->setViewMatrix(Mat4{});
        g->setWorldMatrix(Mat4{});
        const bool bent = drawRainRefraction(s_vertices.data(), drawn.drops, drawn.particles, s_rainNormals.get());
        g->setProjectionMatrix(projection);
        g->setViewMatrix(viewMatrix);
        if (bent) {
            drawn.refracted = true;
            return drawn;
        }
    }
    g->pushState();
    RenderState st = RenderState::additive();
    st.depthTest = false;
    st.program = BuiltinProgram::Effect;
    st.perVertexColor = true;
    st.textures[0] = texture.get();
    g->setRenderState(st);
    g->setProjectionMatrix(s_projection);
    g->setViewMatrix(Mat4{});
    g->setWorldMatrix(Mat4{});
    g->invalidateBufferBindings();
    g->bindBuffer(BufferTarget::Array, 0);
    g->setVertexLayout(VertexLayout::PosColorTex24, s_vertices.data());
    g->drawQuads(drawn.drops + drawn.particles);
    g->invalidateVertexLayout();
    g->popState();
    g->setProjectionMatrix(projection);
    g->setViewMatrix(viewMatrix);
    return drawn;
}

const std::array<Weather::Drop, Weather::kDrops>& Weather::drops() { return s_drops; }
const std::array<Weather::Particle, Weather::kParticles>& Weather::particles() { return s_particles; }
const Mat4& Weather::projection() { return s_projection; }

int Weather::liveCount()
{
    int n = 0;
    for (const auto& d : s_drops)
        n += d.timer >= 0.0f;
    for (const auto& p : s_particles)
        n += p.timer >= 0.0f;
    return n;
}
