// The GL side of the terrain: patch buffers, textures and the draw.
#include "render/world/Terrain.h"
#include "platform/Log.h"

#include "render/Graphics.h"
#include "render/shadows/ShadowMaps.h"
#include "render/world/TerrainPatches.h"
#include "render/assets/TextureCache.h"
#include "render/internal/RenderGlobals.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"

#include <cmath>
#include <string>
#include <vector>

class Terrain::Gpu {
public:
    BufferObject vertices, indices;
    TextureRef overview;
    TextureRef detail;
    WorldProgram<TerrainUniforms> program;
};

void setShaderTerrainSize(float size)
{
    renderGlobals().caches().shaderTerrainSize = size >= 1.0f && std::isfinite(size) ? size : 1.0f;
}

float shaderTerrainSize() { return renderGlobals().caches().shaderTerrainSize; }

Terrain::Terrain() = default;
Terrain::~Terrain() = default;

bool Terrain::upload(std::string_view overviewTexture, std::string_view detailTexture)
{
    m_gpu.reset();
    Graphics* g = graphics();
    if (!g || empty())
        return false;
    const TerrainPatches& all = patches();
    auto gpu = std::make_unique<Gpu>();
    // The patch vertex is the model vertex with its texture coordinates unused.
    std::vector<float> packed;
    packed.reserve(all.vertices().size() * 8);
    for (const TerrainPatches::Vertex& v : all.vertices())
        packed.insert(packed.end(), {v.x, v.y, v.z, v.nx, v.ny, v.nz, 0.0f, 0.0f});
    if (!gpu->vertices.create(BufferTarget::Array, packed.size() * sizeof(float), BufferUsage::Static, packed.data()) ||
        !gpu->indices.create(BufferTarget::ElementArray, all.indices().size() * sizeof(std::uint16_t),
                             BufferUsage::Static, all.indices().data())) {
        logWarning("render", "terrain: the patch buffers cannot be made");
        return false;
    }
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    gpu->overview = getTexture(overviewTexture, SamplerSettings{g->qualityFilter(), TextureWrap::ClampToEdge});
    gpu->detail = getTexture(detailTexture, SamplerSettings{g->qualityFilter(), TextureWrap::Repeat});
    m_gpu = std::move(gpu);
    return true;
}

void Terrain::drawPass() { draw(0.0f, nullptr); }
void Terrain::drawReflectionPass() { draw(1.0f, nullptr); }
void Terrain::drawRefractionPass(const Vec3& waterColor) { draw(-1.0f, &waterColor); }

void Terrain::draw(float clipSide, const Vec3* underwater)
{
    Graphics* g = graphics();
    if (!g || !m_gpu || m_visible.empty() ||
        !m_gpu->program.ensure("terrain", shaders::kTerrainVert, shaders::kTerrainFrag))
        return;
    GpuProgram& program = m_gpu->program.program();
    const TerrainUniforms& u = m_gpu->program.locations();
    RenderPassScope pass(*g);
    g->state() = opaqueWorldState(program, m_gpu->overview.get(), m_gpu->detail.get());
    g->setWorldMatrix(Mat4{});
    g->applyState();
    GpuProgram::setUniform(u.terrainSize, shaderTerrainSize());
    const bool hasOverview = m_gpu->overview && m_gpu->overview->glName() != 0;
    const bool hasDetail = m_gpu->detail && m_gpu->detail->glName() != 0;
    const float tint = hasOverview ? 1.0f : 0.5f;
    GpuProgram::setUniform(u.groundTint, tint, tint, tint);
    GpuProgram::setUniform(u.detailScale, hasDetail ? 2.0f : 1.0f);
    // The grain is 0.4 units a texel: with mip levels it greys out by itself
    // far off, without them (the lower tiers) it must fade well before.
    if (g->qualityFilter() == TextureFilter::Trilinear)
        GpuProgram::setUniform(u.detailFade, 3000.0f, 6000.0f);
    else
        GpuProgram::setUniform(u.detailFade, 250.0f, 1200.0f);
    GpuProgram::setUniform(u.clip, 0.0f, clipSide);
    const Vec3 water = underwater ? *underwater : Vec3{};
    GpuProgram::setUniform(u.underwater, water.x, water.y, water.z,
                           underwater ? 1.0f / kUnderwaterFadeDepth : 0.0f);
    applyShadowLookup(u.shadow, kGroundShadowBias);

    g->bindBuffer(BufferTarget::Array, m_gpu->vertices.glName());
    g->bindBuffer(BufferTarget::ElementArray, m_gpu->indices.glName());
    const TerrainPatches& all = patches();
    constexpr std::size_t kPatchBytes = TerrainPatches::kVerticesPerPatch * 8 * sizeof(float);
    for (const VisiblePatch& vp : m_visible) {
        const TerrainPatches::IndexRange range = all.levelRange(vp.level);
        g->setBufferVertexLayout(VertexLayout::Model32, static_cast<std::size_t>(vp.patch) * kPatchBytes);
        g->drawIndexedBuffer(PrimitiveType::Triangles, range.count,
                             static_cast<std::size_t>(range.first) * sizeof(std::uint16_t));
    }
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    g->invalidateVertexLayout();
}
