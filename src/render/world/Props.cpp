#include "render/world/Props.h"
#include "platform/Log.h"

#include "render/Graphics.h"
#include "render/shadows/ShadowMaps.h"
#include "render/assets/TextureCache.h"
#include "platform/Math.h"
#include "render/internal/RenderGlobals.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>


namespace {

constexpr std::uint32_t kChunkVertices = 65536;

// The side of the squares the props are baked in: small enough that most of
// a map's squares fall out of view, large enough that a town is a few draws.
constexpr float kPropSquare = 4096.0f;

}  // namespace

std::int64_t propSquareKey(const Mat4& placement)
{
    // Far past any map (and NaN) all share the outermost squares.
    auto square = [](float v) {
        const float s = std::floor(v / kPropSquare);
        return static_cast<std::int64_t>(s >= -1.0e6f ? std::min(s, 1.0e6f) : -1.0e6f);
    };
    return square(placement.m[14]) * 4194304 + square(placement.m[12]);
}

bool PropCull::keeps(const Vec3& boxMin, const Vec3& boxMax) const
{
    if (!view)
        return true;
    if (reach > 0.0f) {
        const Vec3& eye = view->eye;
        const float dx = std::max({boxMin.x - eye.x, 0.0f, eye.x - boxMax.x});
        const float dy = std::max({boxMin.y - eye.y, 0.0f, eye.y - boxMax.y});
        const float dz = std::max({boxMin.z - eye.z, 0.0f, eye.z - boxMax.z});
        if (dx * dx + dy * dy + dz * dz > reach * reach)
            return false;
    }
    return view->boxVisible(boxMin, boxMax);
}

float propReach(int qualityTier) { return qualityTier <= 1 ? 10000.0f : 0.0f; }

PropBatch::PropBatch(std::string textureName) : m_textureName(std::move(textureName))
{
    renderGlobals().liveProps.push_back(this);
}

PropBatch::~PropBatch()
{
    std::erase(renderGlobals().liveProps, this);
    std::erase(renderGlobals().caches().pendingProps, this);
}

void PropBatch::addWorld(const IPropWorld& world)
{
    // Square by square, so that each chunk stays within one square and a
    // draw can pass over those out of view.
    std::vector<std::pair<std::int64_t, std::size_t>> order;
    const std::size_t count = world.propCount();
    for (std::size_t item = 0; item < count; ++item) {
        const PropPlacement placement = world.prop(item);
        if (placement.shape)
            order.emplace_back(propSquareKey(placement.matrix), item);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    bool newChunk = true;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && order[k].first != order[k - 1].first)
            newChunk = true;
        const PropPlacement placement = world.prop(order[k].second);
        placement.shape->beforeBake();
        bool baked = false;
        for (std::size_t p = 0; p < placement.shape->pieceCount(); ++p) {
            const PropPiece piece = placement.shape->piece(p);
            if (piece.texture != m_textureName || piece.vertices.empty() || piece.indices.size() < 3 ||
                piece.vertices.size() > kChunkVertices)
                continue;
            const std::size_t triangleIndices = piece.indices.size() / 3 * 3;
            if (!std::all_of(piece.indices.begin(), piece.indices.begin() + static_cast<std::ptrdiff_t>(triangleIndices),
                             [&piece](std::uint16_t i) { return i < piece.vertices.size(); }))
                continue;
            if (newChunk || m_chunks.empty() || m_chunks.back().vertexCount + piece.vertices.size() > kChunkVertices)
                m_chunks.push_back(Chunk{static_cast<std::uint32_t>(m_vertices.size()), 0,
                                         static_cast<std::uint32_t>(m_indices.size()), 0});
            newChunk = false;
            Chunk& chunk = m_chunks.back();
            const Mat4 toWorld = mat4Multiply(placement.matrix, piece.matrix);
            for (std::uint16_t i : piece.indices.first(triangleIndices))
                m_indices.push_back(static_cast<std::uint16_t>(chunk.vertexCount + i));
            for (const PropVertex& v : piece.vertices) {
                const Vec3 p3 = mat4TransformPoint(toWorld, Vec3{v.x, v.y, v.z});
                const Vec3 n = vec3NormalizeOr(rotateVector3x3(toWorld, Vec3{v.nx, v.ny, v.nz}), Vec3{0, 1, 0});
                m_vertices.push_back(PropVertex{p3.x, p3.y, p3.z, n.x, n.y, n.z, v.u, v.v});
                chunk.boundsMin = Vec3{std::min(chunk.boundsMin.x, p3.x), std::min(chunk.boundsMin.y, p3.y),
                                       std::min(chunk.boundsMin.z, p3.z)};
                chunk.boundsMax = Vec3{std::max(chunk.boundsMax.x, p3.x), std::max(chunk.boundsMax.y, p3.y),
                                       std::max(chunk.boundsMax.z, p3.z)};
            }
            chunk.vertexCount += static_cast<std::uint32_t>(piece.vertices.size());
            chunk.indexCount += static_cast<std::uint32_t>(triangleIndices);
            baked = true;
        }
        if (baked)
            placement.shape->markBaked();
    }
}

void PropBatch::loadTexture()
{
    if (m_texture)
        return;
    const Graphics* g = graphics();
    const SamplerSettings sampler{g ? g->qualityFilter() : TextureFilter::Linear, TextureWrap::Repeat};
    m_texture = getTexture("data/models/" + m_textureName, sampler);
}

bool PropBatch::upload()
{
    if (m_uploaded || graphics() == nullptr || m_vertices.empty())
        return m_uploaded;
    if (!m_vertexBuffer.create(BufferTarget::Array, m_vertices.size() * sizeof(PropVertex), BufferUsage::Static,
                               m_vertices.data()) ||
        !m_indexBuffer.create(BufferTarget::ElementArray, m_indices.size() * sizeof(std::uint16_t),
                              BufferUsage::Static, m_indices.data())) {
        logWarning("render", "props: the buffers of the %s batch cannot be made", m_textureName.c_str());
        return false;
    }
    m_uploaded = true;
    m_vertices = {};
    m_indices = {};
    return true;
}

void PropBatch::draw(const PropCull& cull) const
{
    Graphics* g = graphics();
    if (!g || !m_uploaded)
        return;
    g->bindBuffer(BufferTarget::Array, m_vertexBuffer.glName());
    g->bindBuffer(BufferTarget::ElementArray, m_indexBuffer.glName());
    for (const Chunk& chunk : m_chunks) {
        if (!cull.keeps(chunk.boundsMin, chunk.boundsMax))
            continue;
        g->setBufferVertexLayout(VertexLayout::Model32, std::size_t{chunk.firstVertex} * sizeof(PropVertex));
        g->drawIndexedBuffer(PrimitiveType::Triangles, static_cast<int>(chunk.indexCount),
                             static_cast<std::size_t>(chunk.firstIndex) * sizeof(std::uint16_t));
    }
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    g->invalidateVertexLayout();
}

void allocatePropBuffers()
{
    renderGlobals().caches().pendingProps.clear();
}

std::unique_ptr<PropBatch> buildProps(std::string_view textureName, const IPropWorld& world)
{
    auto batch = std::make_unique<PropBatch>(std::string(textureName));
    batch->loadTexture();
    batch->addWorld(world);
    renderGlobals().caches().pendingProps.push_back(batch.get());
    return batch;
}

void unmapPropBuffers()
{
    for (PropBatch* batch : renderGlobals().caches().pendingProps)
        batch->upload();
    renderGlobals().caches().pendingProps.clear();
}

void drawProps(const PropBatch* batch, int pass, bool depthLaid, const PropCull& cull)
{
    Graphics* g = graphics();
    WorldProgram<PropsUniforms>& program = renderGlobals().caches().propsProgram;
    if (!g || !batch || (pass != 0 && pass != 1) || !batch->isUploaded() ||
        !program.ensure("props", shaders::kPropsVert, shaders::kPropsFrag))
        return;
    RenderPassScope scope(*g);
    g->state() = opaqueWorldState(program.program(), batch->texture(), nullptr);
    // The same program either way, so both passes place each pixel's depth alike.
    if (pass == 0)
        g->state().colorMask = kColorMaskNone;
    else if (depthLaid)
        g->state().depthWrite = false;
    g->setWorldMatrix(Mat4{});
    g->applyState();
    applyShadowLookup(program.locations().shadow, kPropShadowBias);
    batch->draw(cull);
}

void drawPropDepths()
{
    for (const PropBatch* batch : renderGlobals().liveProps)
        batch->draw(PropCull{});
}
