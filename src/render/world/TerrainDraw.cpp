// The GL side of the terrain: patch buffers, textures and the draw.
#include "render/world/Terrain.h"
#include "platform/Log.h"

#include "render/Graphics.h"
#include "render/RenderBuffer.h"
#include "render/shadows/ShadowMaps.h"
#include "render/shadows/ShadowVolumes.h"
#include "render/world/TerrainPatches.h"
#include "render/assets/TextureCache.h"
#include "render/internal/RenderGlobals.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace {

// A vertex in the GPU buffer (PosNormal16): the position, and the normal in
// signed bytes, whose steps shade no differently on the ground; the ground
// takes its texture coordinates from the position.
struct PatchVertex {
    float x, y, z;
    std::int8_t nx, ny, nz, pad;
};
constexpr std::size_t kPatchVertexBytes = sizeof(PatchVertex);
static_assert(kPatchVertexBytes == 16);

std::int8_t normalByte(float v)
{
    return static_cast<std::int8_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 127.0f));
}

// The terrain program's variants: each bit leaves a piece of per-pixel work
// out where it would change nothing (see shaders/terrain.*).
enum TerrainVariant : unsigned {
    kNoClip = 1u,        // the main pass, or a patch wholly on the kept side of the water
    kNoUnderwater = 2u,  // every pass but the refraction
    kNoShadow = 4u,      // no shadow map, or a patch out of its reach
    kNoDetail = 8u,      // a patch wholly past the grain's fade, or in the water's rippled pictures
    kVariantCount = 16u,
};

std::string variantDefines(unsigned variant)
{
    std::string defines;
    if (variant & kNoClip)
        defines += "#define NO_CLIP\n";
    if (variant & kNoUnderwater)
        defines += "#define NO_UNDERWATER\n";
    if (variant & kNoShadow)
        defines += "#define NO_SHADOW_LOOKUP\n";
    if (variant & kNoDetail)
        defines += "#define NO_DETAIL\n";
    return defines;
}

// The finest level drawn into the water's reflection and refraction.
constexpr int kPictureFinestLevel = 2;
// Levels added to the main view's choice in the water's pictures.
constexpr int kPictureLevelStep = 2;

// Distance from a point to a box; 0 inside.
float boxDistance(const Vec3& boxMin, const Vec3& boxMax, const Vec3& p)
{
    const float dx = std::max({boxMin.x - p.x, 0.0f, p.x - boxMax.x});
    const float dy = std::max({boxMin.y - p.y, 0.0f, p.y - boxMax.y});
    const float dz = std::max({boxMin.z - p.z, 0.0f, p.z - boxMax.z});
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The eye of a view matrix with an orthogonal rotation (a mirror included).
Vec3 eyeOf(const Mat4& view)
{
    const float* m = view.m;
    Vec3 eye;
    float* out[3] = {&eye.x, &eye.y, &eye.z};
    for (int i = 0; i < 3; ++i)
        *out[i] = -(m[4 * i] * m[12] + m[4 * i + 1] * m[13] + m[4 * i + 2] * m[14]);
    return eye;
}

// Whether any of the box can fall inside the shadow map's square and before
// its far end: the lookup is affine, so the box's corners bound it.
bool reachesShadowMap(const Vec3& boxMin, const Vec3& boxMax, const Mat4& shadow)
{
    bool below[3] = {true, true, true}, above[3] = {true, true, true};
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 p{(corner & 1) ? boxMax.x : boxMin.x, (corner & 2) ? boxMax.y : boxMin.y,
                     (corner & 4) ? boxMax.z : boxMin.z};
        const float* m = shadow.m;
        const float t[3] = {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
        for (int k = 0; k < 3; ++k) {
            below[k] = below[k] && t[k] <= 0.0f;
            above[k] = above[k] && t[k] >= 1.0f;
        }
    }
    return !(below[0] || above[0] || below[1] || above[1] || above[2]);
}

// The triangles of `indices` (into `vertices`) not wholly below `low` nor
// wholly above `high`, into `out`; false when none is left out.
bool keepBand(std::span<const std::uint16_t> indices, const float* heights, float low, float high,
              std::vector<std::uint16_t>& out)
{
    out.clear();
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        const float a = heights[indices[t]], b = heights[indices[t + 1]], c = heights[indices[t + 2]];
        if (std::max({a, b, c}) < low || std::min({a, b, c}) > high)
            continue;
        out.insert(out.end(), {indices[t], indices[t + 1], indices[t + 2]});
    }
    return out.size() != indices.size();
}

}  // namespace

// Patches drawn one after another by one program, gathered into a single
// draw: each draw costs the software renderer's calling thread far more than
// its few hundred triangles do. The indices are re-based to the lowest
// patch's vertices, so the patches of one draw lie within kMaxSpan of it in
// the vertex buffer (16-bit indices). The order of the triangles is kept.
class Terrain::PatchRun {
public:
    static constexpr int kMaxSpan = 65536 / TerrainPatches::kVerticesPerPatch;
    bool empty() const { return m_parts.empty(); }
    bool fits(int patch) const
    {
        return m_parts.empty() || std::max(m_high, patch) - std::min(m_low, patch) < kMaxSpan;
    }
    void add(int patch, std::span<const std::uint16_t> indices)
    {
        m_low = m_parts.empty() ? patch : std::min(m_low, patch);
        m_high = m_parts.empty() ? patch : std::max(m_high, patch);
        m_parts.push_back({patch, m_source.size()});
        m_source.insert(m_source.end(), indices.begin(), indices.end());
    }
    void flush(Graphics& g, std::size_t patchBytes)
    {
        if (m_parts.empty())
            return;
        m_merged.clear();
        for (std::size_t i = 0; i < m_parts.size(); ++i) {
            const std::size_t end = i + 1 < m_parts.size() ? m_parts[i + 1].start : m_source.size();
            const auto base = static_cast<std::uint16_t>((m_parts[i].patch - m_low) * TerrainPatches::kVerticesPerPatch);
            for (std::size_t k = m_parts[i].start; k < end; ++k)
                m_merged.push_back(static_cast<std::uint16_t>(m_source[k] + base));
        }
        g.setBufferVertexLayout(VertexLayout::PosNormal16, static_cast<std::size_t>(m_low) * patchBytes);
        g.drawIndexed(PrimitiveType::Triangles, m_merged);
        m_parts.clear();
        m_source.clear();
    }

private:
    struct Part {
        int patch;
        std::size_t start;  // into m_source
    };
    std::vector<Part> m_parts;
    std::vector<std::uint16_t> m_source, m_merged;
    int m_low = 0, m_high = 0;
};
static_assert(Terrain::PatchRun::kMaxSpan * TerrainPatches::kVerticesPerPatch <= 65536);

class Terrain::Gpu {
public:
    BufferObject vertices, indices;
    TextureRef overview;
    TextureRef detail;
    WorldProgram<TerrainUniforms> programs[kVariantCount];
    WorldProgram<SeaDepthUniforms> seaDepth;
};

void setShaderTerrainSize(float size)
{
    renderGlobals().caches().shaderTerrainSize = size >= 1.0f && std::isfinite(size) ? size : 1.0f;
}

float shaderTerrainSize() { return renderGlobals().caches().shaderTerrainSize; }

Terrain::Terrain() : m_run(std::make_unique<PatchRun>()) {}
Terrain::~Terrain() { ShadowVolumes::clearFloorQuery(this); }

float Terrain::lowestReceiverIn(float x0, float z0, float x1, float z1) const
{
    const TerrainPatches& all = patches();
    const int perSide = all.patchesPerSide();
    const float patchSize = static_cast<float>(TerrainPatches::kCells) * m_layout.cellSize;
    if (perSide <= 0 || !(patchSize > 0.0f) || !(x0 <= x1) || !(z0 <= z1))
        return -std::numeric_limits<float>::infinity();
    const float half = size() * 0.5f;
    auto index = [half, patchSize, perSide](float v) {
        return static_cast<int>(std::clamp(std::floor((v + half) / patchSize), -1.0f, static_cast<float>(perSide)));
    };
    const float fieldEnd = static_cast<float>(perSide) * patchSize - half;
    float lowest = std::numeric_limits<float>::infinity();
    if (x0 < -half || z0 < -half || x1 >= fieldEnd || z1 >= fieldEnd)
        lowest = 0.0f;  // the sea around the field
    const int c0 = std::max(index(x0), 0), c1 = std::min(index(x1), perSide - 1);
    const int r0 = std::max(index(z0), 0), r1 = std::min(index(z1), perSide - 1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            lowest = std::min(lowest, all.patches()[static_cast<std::size_t>(r * perSide + c)].boundsMin.y);
    return m_hiddenUnderSea ? std::max(lowest, 0.0f) : lowest;
}

bool Terrain::upload(std::string_view overviewTexture, std::string_view detailTexture)
{
    m_gpu.reset();
    Graphics* g = graphics();
    if (!g || empty())
        return false;
    auto gpu = std::make_unique<Gpu>();
    // Each patch goes to the buffer as it is built: the load never holds the
    // whole field's vertices, only their heights stay (a second upload, for a
    // new context, builds them again).
    const std::size_t vertexCount = TerrainPatches::vertexCount(*this);
    bool made = gpu->vertices.create(BufferTarget::Array, vertexCount * kPatchVertexBytes, BufferUsage::Static);
    std::vector<PatchVertex> packed;
    packed.reserve(TerrainPatches::kVerticesPerPatch);
    m_patches = std::make_unique<TerrainPatches>(
        *this, [&gpu, &made, &packed](int patch, std::span<const TerrainPatches::Vertex> vertices) {
            packed.clear();
            for (const TerrainPatches::Vertex& v : vertices)
                packed.push_back({v.x, v.y, v.z, normalByte(v.nx), normalByte(v.ny), normalByte(v.nz), 0});
            const std::size_t first = static_cast<std::size_t>(patch) * TerrainPatches::kVerticesPerPatch;
            made = made && gpu->vertices.update(first * kPatchVertexBytes, packed.data(), packed.size() * kPatchVertexBytes);
        });
    const TerrainPatches& all = *m_patches;
    if (!made || !gpu->indices.create(BufferTarget::ElementArray, all.indices().size() * sizeof(std::uint16_t),
                                      BufferUsage::Static, all.indices().data())) {
        logWarning("render", "terrain: the patch buffers cannot be made");
        return false;
    }
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    gpu->overview = getTexture(overviewTexture, SamplerSettings{g->qualityFilter(), TextureWrap::ClampToEdge});
    gpu->detail = getTexture(detailTexture, SamplerSettings{g->qualityFilter(), TextureWrap::Repeat});
    m_gpu = std::move(gpu);
    // No shadow falls below the lowest ground, nor below the sea that hides it.
    ShadowVolumes::setGroundFloor(std::min(baseHeight(), 0.0f));
    ShadowVolumes::setFloorQuery(
        [this](float x0, float z0, float x1, float z1) { return lowestReceiverIn(x0, z0, x1, z1); }, this);
    return true;
}

void Terrain::drawPass() { draw(0.0f, nullptr); }
void Terrain::drawReflectionPass() { draw(1.0f, nullptr); }
void Terrain::drawRefractionPass(const Vec3& waterColor) { draw(-1.0f, &waterColor); }

void Terrain::draw(float clipSide, const Vec3* underwater)
{
    Graphics* g = graphics();
    if (!g || !m_gpu || m_visible.empty())
        return;
    RenderPassScope pass(*g);
    const bool hasOverview = m_gpu->overview && m_gpu->overview->glName() != 0;
    const bool hasDetail = m_gpu->detail && m_gpu->detail->glName() != 0;
    // The grain is 0.4 units a texel: with mip levels it greys out by itself
    // far off, without them (the lower tiers) it must fade well before.
    const bool mipmapped = g->qualityFilter() == TextureFilter::Trilinear;
    const float fadeStart = mipmapped ? 3000.0f : 250.0f, fadeEnd = mipmapped ? 6000.0f : 1200.0f;
    const ShadowMaps* maps = shadowMaps();
    const bool shadowOn = maps && maps->isValid() && maps->depthTexture();
    // The view matrix is the mirrored one for the reflection: its own eye.
    const Vec3 eye = eyeOf(g->viewMatrix());

    if (clipSide == 0.0f && m_seaReach > 0.0f)
        coverSea(*g, eye);

    const TerrainPatches& all = patches();
    // Which patches this pass draws, and at which level, for the skirts.
    auto skipped = [this, clipSide, underwater](const TerrainPatches::Patch& patch) {
        if (clipSide > 0.0f)
            return patch.boundsMax.y < 0.0f;  // wholly under the water: nothing to reflect
        // Wholly above the water nothing is seen through it; wholly deeper than
        // the fade it would take the water's color, which the picture holds already.
        if (clipSide < 0.0f)
            return patch.boundsMin.y > 0.0f || (underwater && patch.boundsMax.y <= -kUnderwaterFadeDepth);
        return m_hiddenUnderSea && patch.boundsMax.y < 0.0f;
    };
    // The water's pictures are small and rippled: finer steps than this
    // would only add triangles smaller than their pixels. At a third of the
    // screen's size a patch shows as small as one two levels coarser would.
    const int coarsest = TerrainPatches::kLevels - 1;
    const bool picture = clipSide != 0.0f;
    const int finest = picture ? std::min(kPictureFinestLevel, coarsest) : 0;
    auto levelOf = [finest, picture, coarsest](const VisiblePatch& vp) {
        return std::min(std::max(vp.level + (picture ? kPictureLevelStep : 0), finest), coarsest);
    };
    m_drawnLevels.assign(all.patches().size(), -1);
    for (const VisiblePatch& vp : m_visible)
        if (!skipped(all.patches()[static_cast<std::size_t>(vp.patch)]))
            m_drawnLevels[static_cast<std::size_t>(vp.patch)] = static_cast<std::int8_t>(levelOf(vp));
    // Heights outside [low, high] never show in this pass: ground under the
    // sea it is drawn behind, clipped away from a picture, or lost in the
    // water. Triangles wholly outside are left out of the draw.
    constexpr float kAll = std::numeric_limits<float>::infinity();
    float low = -kAll, high = kAll;
    if (clipSide > 0.0f || (clipSide == 0.0f && m_hiddenUnderSea))
        low = 0.0f;
    else if (clipSide < 0.0f) {
        high = 0.0f;
        low = underwater ? -kUnderwaterFadeDepth : -kAll;
    }
    const bool banded = low > -kAll || high < kAll;
    constexpr std::size_t kPatchBytes = TerrainPatches::kVerticesPerPatch * kPatchVertexBytes;
    unsigned current = kVariantCount;
    for (const VisiblePatch& vp : m_visible) {
        const TerrainPatches::Patch& patch = all.patches()[static_cast<std::size_t>(vp.patch)];
        if (skipped(patch))
            continue;
        unsigned variant = underwater ? 0u : kNoUnderwater;
        if (clipSide > 0.0f)
            variant |= patch.boundsMin.y >= 0.0f ? kNoClip : 0u;
        else if (clipSide < 0.0f)
            variant |= patch.boundsMax.y <= 0.0f ? kNoClip : 0u;
        else
            variant |= kNoClip;
        if (!shadowOn || !reachesShadowMap(patch.boundsMin, patch.boundsMax, maps->shadowMatrix()))
            variant |= kNoShadow;
        if (clipSide != 0.0f || boxDistance(patch.boundsMin, patch.boundsMax, eye) > fadeEnd)
            variant |= kNoDetail;
        if (variant != current) {
            m_run->flush(*g, kPatchBytes);
            WorldProgram<TerrainUniforms>& program = m_gpu->programs[variant];
            if (!program.program().isValid()) {
                const std::string defines = variantDefines(variant);
                if (!program.ensure("terrain", defines + std::string(shaders::kTerrainVert),
                                    defines + std::string(shaders::kTerrainFrag)))
                    continue;
            }
            current = variant;
            const TerrainUniforms& u = program.locations();
            g->state() = opaqueWorldState(program.program(), m_gpu->overview.get(), m_gpu->detail.get());
            // Seen from above, a face turned away lies behind the ground in
            // front of it, and each skirt has a face for either side. The
            // mirrored reflection turns the windings round: it keeps both.
            g->state().cull = clipSide > 0.0f ? CullMode::None : CullMode::Back;
            g->setWorldMatrix(Mat4{});
            g->applyState();
            GpuProgram::setUniform(u.terrainSize, shaderTerrainSize());
            const float tint = hasOverview ? 1.0f : 0.5f;
            GpuProgram::setUniform(u.groundTint, tint, tint, tint);
            GpuProgram::setUniform(u.detailScale, hasDetail ? 2.0f : 1.0f);
            GpuProgram::setUniform(u.detailFade, fadeStart, fadeEnd);
            GpuProgram::setUniform(u.clip, 0.0f, clipSide);
            const Vec3 water = underwater ? *underwater : Vec3{};
            GpuProgram::setUniform(u.underwater, water.x, water.y, water.z,
                                   underwater ? 1.0f / kUnderwaterFadeDepth : 0.0f);
            applyShadowLookup(u.shadow, kGroundShadowBias);
            g->bindBuffer(BufferTarget::Array, m_gpu->vertices.glName());
            g->bindBuffer(BufferTarget::ElementArray, m_gpu->indices.glName());
        }
        const int level = levelOf(vp);
        unsigned edges = 0;
        for (int e = 0; e < 4; ++e) {
            const int across = all.neighbour(patch.col, patch.row, e);
            if (across < 0 || m_drawnLevels[static_cast<std::size_t>(across)] != level)
                edges |= 1u << e;
        }
        const TerrainPatches::IndexRange range = all.skirtedRange(level, edges);
        const std::span<const std::uint16_t> indices(all.indices().data() + range.first,
                                                     static_cast<std::size_t>(range.count));
        const float* heights =
            all.heights().data() + static_cast<std::size_t>(vp.patch) * TerrainPatches::kVerticesPerPatch;
        const bool trimmed = banded && keepBand(indices, heights, low, high, m_shownIndices);
        if (trimmed && m_shownIndices.empty())
            continue;
        if (!m_run->fits(vp.patch))
            m_run->flush(*g, kPatchBytes);
        m_run->add(vp.patch, trimmed ? std::span<const std::uint16_t>(m_shownIndices) : indices);
    }
    m_run->flush(*g, kPatchBytes);
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    g->invalidateVertexLayout();
}

void Terrain::coverSea(Graphics& g, const Vec3& eye)
{
    if (!(eye.y > 0.0f) || !m_gpu->seaDepth.ensure("sea depth", shaders::kSeaDepthVert, shaders::kSeaDepthFrag))
        return;
    RenderState s = RenderState::opaque();
    s.customProgram = &m_gpu->seaDepth.program();
    s.colorMask = kColorMaskNone;
    s.cull = CullMode::None;
    g.state() = s;
    g.setWorldMatrix(Mat4{});
    g.applyState();
    // A few steps of the depth buffer (16 bits without a stencil, else 24),
    // beyond what two triangulations of one plane can differ by.
    const RenderBuffer* target = g.currentRenderTarget();
    const bool fineDepth = target && target->hasStencil();
    GpuProgram::setUniform(m_gpu->seaDepth.locations().depthBias, fineDepth ? 1.0f / 65536.0f : 1.0f / 2048.0f);
    const float r = m_seaReach;
    // x y z u v: the square around the eye, as a strip.
    const float plane[20] = {eye.x - r, 0.0f, eye.z - r, 0.0f, 0.0f, eye.x + r, 0.0f, eye.z - r, 0.0f, 0.0f,
                             eye.x - r, 0.0f, eye.z + r, 0.0f, 0.0f, eye.x + r, 0.0f, eye.z + r, 0.0f, 0.0f};
    g.bindBuffer(BufferTarget::Array, 0);
    g.bindBuffer(BufferTarget::ElementArray, 0);
    g.setVertexLayout(VertexLayout::PosTex20, plane);
    g.drawArrays(PrimitiveType::TriangleStrip, 0, 4);
    g.invalidateVertexLayout();
}
