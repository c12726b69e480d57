#include "render/world/Clouds.h"

#include "render/Graphics.h"
#include "render/RenderBuffer.h"
#include "render/assets/TextureCache.h"
#include "render/world/WorldView.h"
#include "platform/Math.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"
#include "render/internal/WorldRandom.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr float kLayerAbove = 1800.0f;  // cloud floor above the cloud base
struct Vertex {
    float x, y, z;
    Color4 color;
    float u, v;
};
static_assert(sizeof(Vertex) == 24, "the position-color-texture vertex");
}  // namespace

class Clouds::Gpu {
public:
    TextureRef atlas;
    WorldProgram<CloudUniforms> program;
    RenderBuffer target;
    bool targetDrawn = false;    // this frame's renderToTarget filled the target
    float nearestDepth = 0.0f;   // NDC depth of the nearest puff, for the composite
    // NDC x0, y0, x1, y1 rectangles, none overlapping another, that hold
    // every puff the target shows: the composite covers only these.
    std::vector<std::array<float, 4>> screenRects;
    std::vector<Vertex> quads;
    std::vector<float> compositeCorners;
};

Clouds::Clouds() : m_gpu(std::make_unique<Gpu>()) {}
Clouds::~Clouds() = default;

void Clouds::buildField(float amount, float cloudBase)
{
    m_puffs.clear();
    m_order.clear();
    if (!std::isfinite(amount))
        amount = 0.0f;
    if (amount < 0.0f)
        amount = kDefaultAmount;
    amount = std::min(amount, 1.0f);
    const float base = (std::isfinite(cloudBase) ? std::max(cloudBase, 0.0f) : 0.0f) + kLayerAbove;
    const int clusters = static_cast<int>(std::lround(amount * kMaxClusters));
    WorldRandom random(1234u + static_cast<std::uint32_t>(clusters));
    for (int c = 0; c < clusters; ++c) {
        const float a = random.range(0.0f, 2.0f * kPi);
        const float r = kFieldRadius * std::sqrt(random.unit());
        const Vec3 centre{r * std::cos(a), base + random.range(0.0f, 900.0f), r * std::sin(a)};
        const float spread = random.range(900.0f, 2200.0f);
        const int puffs = 6 + static_cast<int>(random.next() % 10u);
        for (int k = 0; k < puffs; ++k) {
            Puff p;
            const float up = random.unit();
            p.position = Vec3{centre.x + random.range(-spread, spread), centre.y + up * spread * 0.35f,
                              centre.z + random.range(-spread * 0.6f, spread * 0.6f)};
            p.size = random.range(700.0f, 1500.0f) * (1.0f - 0.3f * up);
            p.cell = static_cast<std::uint8_t>(random.next() & 15u);
            p.shade = 0.7f + 0.3f * up;
            m_puffs.push_back(p);
        }
    }
    relight(Vec3{1.0f, 1.0f, 1.0f}, Vec3{0.0f, 1.0f, 0.0f});
}

void Clouds::relight(const Vec3& sunColor, const Vec3& sunDirection)
{
    // Lit sides take the sun's color; the sky's light keeps the undersides
    // from going black. The sky is as bright as the sunlight that makes it, so
    // at night the puffs stay as dark as the sky around them.
    const float sunUp = clampf(0.0f, vec3NormalizeOr(sunDirection, Vec3{0, 1, 0}).y, 1.0f);
    const float skyLight = clampf(0.0f, std::max({sunColor.x, sunColor.y, sunColor.z}), 1.0f);
    for (Puff& p : m_puffs) {
        const float lit = p.shade * (0.55f + 0.45f * sunUp);
        p.color = Vec3{clampf(0.0f, 0.25f * skyLight + sunColor.x * lit, 1.0f),
                        clampf(0.0f, 0.27f * skyLight + sunColor.y * lit, 1.0f),
                        clampf(0.0f, 0.32f * skyLight + sunColor.z * lit, 1.0f)};
    }
}

void Clouds::fillBuffer(const Vec3& eye)
{
    m_order.resize(m_puffs.size());
    std::vector<float> distance(m_puffs.size());
    for (std::size_t i = 0; i < m_puffs.size(); ++i) {
        m_order[i] = static_cast<std::uint32_t>(i);
        const Vec3 d = (m_puffs[i].position - eye);
        distance[i] = vec3Dot(d, d);
    }
    std::sort(m_order.begin(), m_order.end(),
              [&distance](std::uint32_t a, std::uint32_t b) { return distance[a] > distance[b]; });
}

bool Clouds::load()
{
    m_gpu->atlas = loadRawLuminanceAlphaTextureDefault("data/sky/clouds256.raw", 256, 256);
    return static_cast<bool>(m_gpu->atlas);
}

void Clouds::drawPuffs(const WorldView& view)
{
    Graphics* g = graphics();
    // Camera-facing quads from the view's right and up axes, far to near.
    const Vec3 right{view.view().m[0], view.view().m[4], view.view().m[8]};
    const Vec3 up{view.view().m[1], view.view().m[5], view.view().m[9]};
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(clampf(0.0f, v, 1.0f) * 255.0f)); };
    std::vector<Vertex>& quads = m_gpu->quads;
    quads.clear();
    for (std::uint32_t index : m_order) {
        if (index >= m_puffs.size())
            continue;
        const Puff& p = m_puffs[index];
        const float u0 = static_cast<float>(p.cell % 4) * 0.25f, v0 = static_cast<float>(p.cell / 4) * 0.25f;
        const Color4 c{byte(p.color.x), byte(p.color.y), byte(p.color.z), 230};
        const float corner[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
        for (const auto& k : corner) {
            const Vec3 at = (p.position + ((right * (k[0] * p.size)) + (up * (k[1] * p.size * 0.7f))));
            quads.push_back(Vertex{at.x, at.y, at.z, c, u0 + (k[0] > 0 ? 0.25f : 0.0f), v0 + (k[1] > 0 ? 0.0f : 0.25f)});
        }
    }
    const int count = std::min(static_cast<int>(quads.size() / 4), Graphics::kSharedQuadCount);
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    g->setVertexLayout(VertexLayout::PosColorTex24, quads.data());
    g->drawQuads(count);
    g->invalidateVertexLayout();
}

namespace {

void cloudState(Graphics& g, GpuProgram& program, const Texture2D* atlas)
{
    RenderState& s = g.state();
    s = RenderState::alphaBlend();
    s.customProgram = &program;
    s.textures = {atlas, nullptr};
    g.setWorldMatrix(Mat4{});
}

}  // namespace

namespace {

bool overlap(const std::array<float, 4>& a, const std::array<float, 4>& b)
{
    return a[0] <= b[2] && b[0] <= a[2] && a[1] <= b[3] && b[1] <= a[3];
}

// The screen rectangles the puff quads cover, widened by `margin`, merged
// until none touches another (the composite must blend no pixel twice). A
// puff wholly behind the eye shows nothing and adds none; one with a corner
// behind it may reach anywhere: the whole screen.
void coveredRects(const std::vector<Vertex>& quads, const Mat4& viewProjection, float margin,
                  std::vector<std::array<float, 4>>& out)
{
    out.clear();
    const float* m = viewProjection.m;
    for (std::size_t q = 0; q + 3 < quads.size(); q += 4) {
        bool inFront = false;
        for (std::size_t k = q; k < q + 4; ++k)
            inFront = inFront || m[3] * quads[k].x + m[7] * quads[k].y + m[11] * quads[k].z + m[15] > 1e-3f;
        if (!inFront)
            continue;
        ScreenRect covered(viewProjection, false);
        for (std::size_t k = q; k < q + 4; ++k)
            if (!covered.add({quads[k].x, quads[k].y, quads[k].z}))
                break;
        std::array<float, 4> r;
        covered.write(margin, r.data());
        if (r[2] > r[0] && r[3] > r[1])
            out.push_back(r);
    }
    // Past a few hundred rectangles merging costs more than the pixels it saves.
    constexpr std::size_t kMaxRects = 256;
    if (out.size() > kMaxRects) {
        std::array<float, 4> all = out.front();
        for (const std::array<float, 4>& r : out)
            all = {std::min(all[0], r[0]), std::min(all[1], r[1]), std::max(all[2], r[2]), std::max(all[3], r[3])};
        out.assign(1, all);
        return;
    }
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < out.size(); ++i)
            for (std::size_t j = i + 1; j < out.size();) {
                if (!overlap(out[i], out[j])) {
                    ++j;
                    continue;
                }
                out[i] = {std::min(out[i][0], out[j][0]), std::min(out[i][1], out[j][1]),
                          std::max(out[i][2], out[j][2]), std::max(out[i][3], out[j][3])};
                out[j] = out.back();
                out.pop_back();
                merged = true;
            }
    }
}

}  // namespace

void Clouds::renderToTarget(const WorldView& view)
{
    m_gpu->targetDrawn = false;
    Graphics* g = graphics();
    if (!g || m_order.empty() || !m_gpu->atlas ||
        !m_gpu->program.ensure("clouds", shaders::kCloudsVert, shaders::kCloudsFrag))
        return;
    RenderBuffer* scene = g->currentRenderTarget();
    const int width = std::max(1, (scene ? scene->width() : g->screenWidth()) / 2);
    const int height = std::max(1, (scene ? scene->height() : g->screenHeight()) / 2);
    if (!m_gpu->target.isValid() || m_gpu->target.width() != width || m_gpu->target.height() != height) {
        m_gpu->target.destroy();
        // No depth: the puffs are drawn back to front without writing it.
        if (!m_gpu->target.createTexture(TextureFormat::Rgba8, width, height, kClampSampler, false))
            return;
    }
    {
        RenderPassScope pass(*g);
        g->setRenderTarget(&m_gpu->target);
        g->setClearColor(Color4{0, 0, 0, 0});
        g->clear();
        cloudState(*g, m_gpu->program.program(), m_gpu->atlas.get());
        drawPuffs(view);
    }
    // The composite covers only what the puffs cover (two target texels more
    // for the filter): elsewhere the target is clear and would add nothing.
    coveredRects(m_gpu->quads, mat4Multiply(view.projection(), view.view()),
                 4.0f / static_cast<float>(std::min(width, height)), m_gpu->screenRects);
    // The composite lies at the nearest puff's depth: ground nearer than every
    // cloud hides them, ground beyond them is covered.
    float nearest = 1e30f;
    for (const Puff& p : m_puffs) {
        const Vec3 d = (p.position - view.eye);
        nearest = std::min(nearest, std::max(vec3Length(d) - p.size, 1.0f));
    }
    const Mat4& proj = view.projection();
    const float clipZ = proj.m[10] * -nearest + proj.m[14];
    const float clipW = proj.m[11] * -nearest + proj.m[15];
    m_gpu->nearestDepth = clipW > 0.0f ? clampf(-1.0f, clipZ / clipW, 1.0f) : -1.0f;
    m_gpu->targetDrawn = true;
}

const std::vector<std::array<float, 4>>& Clouds::compositeRects() const { return m_gpu->screenRects; }

void Clouds::composite(const WorldView& view)
{
    Graphics* g = graphics();
    if (!g || m_order.empty() || !m_gpu->atlas)
        return;
    if (!m_gpu->targetDrawn) {
        if (!m_gpu->program.ensure("clouds", shaders::kCloudsVert, shaders::kCloudsFrag))
            return;
        RenderPassScope pass(*g);
        cloudState(*g, m_gpu->program.program(), m_gpu->atlas.get());
        drawPuffs(view);
        return;
    }
    m_gpu->targetDrawn = false;
    Mat4 atDepth;  // the full-screen quad moved to the nearest puff's depth
    atDepth.m[14] = m_gpu->nearestDepth;
    RenderPassScope pass(*g);
    RenderState& s = g->state();
    s = RenderState::alphaBlend();
    s.program = BuiltinProgram::Effect;
    s.perVertexColor = false;
    s.color = Color4{255, 255, 255, 255};
    s.textures = {m_gpu->target.colorTexture(), nullptr};
    g->setProjectionMatrix(atDepth);
    g->setViewMatrix(Mat4{});
    g->setWorldMatrix(Mat4{});
    if (m_gpu->screenRects.empty())
        return;
    // x y u v, the screen's NDC and the target's 0..1 alike: two triangles a rectangle.
    std::vector<float>& corners = m_gpu->compositeCorners;
    corners.clear();
    for (const std::array<float, 4>& r : m_gpu->screenRects) {
        const float x[2] = {r[0], r[2]}, y[2] = {r[1], r[3]};
        for (const int k : {0, 1, 2, 1, 3, 2}) {
            const float px = x[k & 1], py = y[k >> 1];
            corners.insert(corners.end(), {px, py, px * 0.5f + 0.5f, py * 0.5f + 0.5f});
        }
    }
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    g->setVertexLayout(VertexLayout::PosTex16, corners.data());
    g->drawArrays(PrimitiveType::Triangles, 0, static_cast<int>(corners.size() / 4));
    g->invalidateVertexLayout();
}
