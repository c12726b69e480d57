#include "render/world/SkyDome.h"

#include "render/world/AtmosScatter.h"
#include "render/world/WorldView.h"
#include "render/Graphics.h"
#include "render/assets/TextureCache.h"
#include "platform/Math.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

namespace {

// The sky program's variants (see shaders/sky.*).
enum SkyVariant : unsigned {
    kNoTexture = 1u,
    kNoSun = 2u,
    kSkyVariantCount = 4u,
};

}  // namespace

bool SkyDome::sunDiscInView(const Mat4& projection, const Mat4& view, const Vec3& sun)
{
    constexpr float kDiscMargin = 0.06f;  // sine of the disc's radius (2.6 degrees) and some
    return directionInSidePlanes(projection, view, sun, kDiscMargin);
}

void SkyDome::setSeaDrawn(const Vec3& eye, float reach)
{
    m_seaEye = eye;
    m_seaReach = std::isfinite(reach) && reach > 0.0f ? reach : 0.0f;
}

int SkyDome::firstRingShown(const Vec3& eye, const Mat4& projection) const
{
    if (!(m_seaReach > 0.0f) || eye.x != m_seaEye.x || eye.y != m_seaEye.y || eye.z != m_seaEye.z || !(eye.y > 0.0f))
        return 0;
    // Near and far of a GL perspective projection; anything else keeps all.
    const float* p = projection.m;
    if (p[11] != -1.0f || p[15] != 0.0f || p[10] == 1.0f || p[10] == -1.0f)
        return 0;
    const float nearPlane = p[14] / (p[10] - 1.0f), farPlane = p[14] / (p[10] + 1.0f);
    // The sea below a direction lies eye.y / sin(depression) away: in view if
    // that is past the near plane (its view depth is at least half that for
    // any view narrower than 120 degrees) and short of the far plane and the
    // sea's edge.
    if (!(nearPlane > 0.0f) || !(farPlane > nearPlane) || !(eye.y * 0.5f > nearPlane))
        return 0;
    const float reach = std::min(farPlane, m_seaReach);
    if (!(eye.y < reach))
        return 0;
    const float hidden = -std::asin(eye.y / reach);  // elevations below this are sea
    // A ring's triangles lie at or below the elevation of its upper vertices.
    int ring = 0;
    while (ring < kRings && (static_cast<float>(ring + 1) / kRings - 0.5f) * kPi < hidden)
        ++ring;
    return ring;
}

class SkyDome::Gpu {
public:
    TextureRef texture;
    WorldProgram<SkyUniforms> programs[kSkyVariantCount];
};

SkyDome::SkyDome() : m_gpu(std::make_unique<Gpu>()) {}
SkyDome::~SkyDome() = default;

void SkyDome::load()
{
    m_vertices.clear();
    m_indices.clear();
    for (int ring = 0; ring <= kRings; ++ring) {
        const float elevation = (static_cast<float>(ring) / kRings - 0.5f) * kPi;
        for (int seg = 0; seg <= kSegments; ++seg) {
            const float azimuth = static_cast<float>(seg) / kSegments * 2.0f * kPi;
            Vertex v;
            v.x = std::cos(elevation) * std::cos(azimuth);
            v.y = std::sin(elevation);
            v.z = std::cos(elevation) * std::sin(azimuth);
            v.u = static_cast<float>(seg) / kSegments * 4.0f;
            v.v = clampf(0.0f, 1.0f - v.y * 3.0f, 1.0f);
            m_vertices.push_back(v);
        }
    }
    const int row = kSegments + 1;
    for (int ring = 0; ring < kRings; ++ring)
        for (int seg = 0; seg < kSegments; ++seg) {
            const auto a = static_cast<std::uint16_t>(ring * row + seg);
            const auto b = static_cast<std::uint16_t>(a + 1), c = static_cast<std::uint16_t>(a + row),
                       d = static_cast<std::uint16_t>(a + row + 1);
            m_indices.insert(m_indices.end(), {a, c, b, b, c, d});
        }
    m_coloredLight = Vec3{-1, -1, -1};
}

bool SkyDome::loadTexture(std::string_view name)
{
    m_gpu->texture = getTexture(name, kRepeatSampler);
    return static_cast<bool>(m_gpu->texture);
}

void SkyDome::recolor(const AtmosScatter& scatter)
{
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(clampf(0.0f, v, 1.0f) * 255.0f)); };
    for (Vertex& v : m_vertices) {
        const Vec3 c = scatter.skyColor(Vec3{v.x, v.y, v.z});
        v.color = Color4{byte(c.x), byte(c.y), byte(c.z), 255};
    }
    m_coloredSun = scatter.sunDirection();
    m_coloredLight = scatter.sunColor();
}

void SkyDome::draw(const AtmosScatter& scatter, const Vec3& eye)
{
    Graphics* g = graphics();
    const int firstRing = g ? firstRingShown(eye, g->projectionMatrix()) : 0;
    m_seaReach = 0.0f;
    if (!g || m_vertices.empty() || firstRing >= kRings)
        return;
    const Vec3& sun = scatter.sunDirection();
    const Vec3& light = scatter.sunColor();
    const float disc = sun.y > -0.02f ? 1.0f : 0.0f;
    unsigned variant = m_gpu->texture ? 0u : kNoTexture;
    if (disc == 0.0f || !sunDiscInView(g->projectionMatrix(), g->viewMatrix(), sun))
        variant |= kNoSun;
    WorldProgram<SkyUniforms>& sky = m_gpu->programs[variant];
    if (!sky.program().isValid()) {
        std::string defines;
        if (variant & kNoTexture)
            defines += "#define NO_TEXTURE\n";
        if (variant & kNoSun)
            defines += "#define NO_SUN\n";
        if (!sky.ensure("sky", defines + std::string(shaders::kSkyVert), defines + std::string(shaders::kSkyFrag)))
            return;
    }
    if (sun.x != m_coloredSun.x || sun.y != m_coloredSun.y || sun.z != m_coloredSun.z ||
        light.x != m_coloredLight.x || light.y != m_coloredLight.y || light.z != m_coloredLight.z)
        recolor(scatter);
    GpuProgram& program = sky.program();
    RenderPassScope pass(*g);
    RenderState& s = g->state();
    s = RenderState::backdrop();
    s.customProgram = &program;
    s.textures = {m_gpu->texture.get(), nullptr};
    Mat4 around;  // a unit sphere around the eye; the shader pins it to the far plane
    around.m[12] = eye.x;
    around.m[13] = eye.y;
    around.m[14] = eye.z;
    g->setWorldMatrix(around);
    g->applyState();
    GpuProgram::setUniform(sky.locations().sunDirection, sun.x, sun.y, sun.z);
    GpuProgram::setUniform(sky.locations().sunColor, light.x * disc, light.y * disc, light.z * disc);
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    g->setVertexLayout(VertexLayout::PosColorTex24, m_vertices.data());
    const std::size_t skipped = static_cast<std::size_t>(firstRing) * kSegments * 6;
    g->drawIndexed(PrimitiveType::Triangles, std::span<const std::uint16_t>(m_indices).subspan(skipped));
    g->invalidateVertexLayout();
}
