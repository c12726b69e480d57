#include "render/world/Trees.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "render/Graphics.h"
#include "render/world/Terrain.h"
#include "render/world/WorldView.h"
#include "render/assets/TextureCache.h"
#include "platform/Math.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"
#include "render/internal/WorldRandom.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kShoreHeight = 6.0f;      // above the beach
constexpr float kTreeLineFraction = 0.7f; // of the field's top
constexpr float kMinUpNormal = 0.86f;     // steeper than about 30 degrees stays bare

}  // namespace

class Trees::Gpu {
public:
    TextureRef texture;
    bool textureTried = false;
    WorldProgram<TreesUniforms> program;
};

Trees::Trees() : m_gpu(std::make_unique<Gpu>()) {}
Trees::~Trees() = default;

bool Trees::acceptsGround(const Terrain& terrain, float x, float z, float& height) const
{
    Vec3 normal;
    height = terrain.heightAndNormalAt(x, z, normal);
    const float treeLine = terrain.baseHeight() + terrain.heightRange() * kTreeLineFraction;
    return height > kShoreHeight && height < treeLine && normal.y >= kMinUpNormal;
}

void Trees::plant(WorldRandom& random, const Terrain& terrain, float x, float z)
{
    float height;
    if (!acceptsGround(terrain, x, z, height))
        return;
    Tree tree;
    // Sunk a little so the trunk never floats on a slope.
    tree.position = Vec3{x, height - 1.0f, z};
    tree.height = random.range(16.0f, 34.0f);
    tree.kind = static_cast<std::uint8_t>(random.next() & 3u);
    m_trees.push_back(tree);
}

void Trees::buildForest(std::string_view texturePath, const Terrain& terrain, int count)
{
    m_trees.clear();
    m_texturePath.assign(texturePath);
    if (terrain.empty() || count <= 0)
        return;
    const int wanted = std::min(count, kMaxTrees);
    const float half = terrain.size() * 0.5f;
    WorldRandom random(static_cast<std::uint32_t>(wanted));
    // Groves: a centre, then trees around it, so the land shows woods and clearings.
    for (int attempt = 0; attempt < wanted * 8 && static_cast<int>(m_trees.size()) < wanted; ++attempt) {
        const float cx = random.range(-half, half), cz = random.range(-half, half);
        float height;
        if (!acceptsGround(terrain, cx, cz, height))
            continue;
        const float radius = random.range(150.0f, 600.0f);
        const int grove = 10 + static_cast<int>(random.next() % 40u);
        for (int k = 0; k < grove && static_cast<int>(m_trees.size()) < wanted; ++k) {
            const float a = random.range(0.0f, 2.0f * kPi), r = radius * std::sqrt(random.unit());
            plant(random, terrain, cx + r * std::cos(a), cz + r * std::sin(a));
        }
    }
}

bool Trees::buildFromFile(int count, std::string_view treeFile, std::string_view texturePath, const Terrain& terrain)
{
    m_trees.clear();
    m_texturePath.assign(texturePath);
    std::unique_ptr<File> file = openFile(treeFile);
    std::vector<std::uint8_t> bytes;
    if (!file || !file->readAll(bytes)) {
        logWarning("render", "trees: cannot read %.*s", static_cast<int>(treeFile.size()), treeFile.data());
        return false;
    }
    return buildFromDensity(count, bytes, texturePath, terrain);
}

bool Trees::buildFromDensity(int count, std::span<const std::uint8_t> density, std::string_view texturePath,
                             const Terrain& terrain)
{
    m_trees.clear();
    m_texturePath.assign(texturePath);
    const std::size_t side = static_cast<std::size_t>(std::llround(std::sqrt(static_cast<double>(density.size()))));
    if (density.empty() || side * side != density.size()) {
        logWarning("render", "trees: the density map of %zu bytes is not square", density.size());
        return false;
    }
    if (terrain.empty() || count <= 0)
        return true;
    const int wanted = std::min(count, kMaxTrees);
    const float fieldSize = terrain.size();
    const float half = fieldSize * 0.5f;
    WorldRandom random(static_cast<std::uint32_t>(wanted) ^ static_cast<std::uint32_t>(side));
    for (int attempt = 0; attempt < wanted * 16 && static_cast<int>(m_trees.size()) < wanted; ++attempt) {
        const float x = random.range(-half, half), z = random.range(-half, half);
        const std::size_t col = std::min(side - 1, static_cast<std::size_t>((x + half) / fieldSize * side));
        const std::size_t row = std::min(side - 1, static_cast<std::size_t>((z + half) / fieldSize * side));
        if (random.unit() * 255.0f < static_cast<float>(density[row * side + col]))
            plant(random, terrain, x, z);
    }
    return true;
}

Trees::Detail Trees::detailFor(int qualityTier)
{
    if (qualityTier >= 2)
        return Detail{kMaxDrawn, kBillboardDistance};
    return Detail{2500, 1200.0f};
}

void Trees::fillBuffer(const Vec3& eye) { fill(eye, nullptr); }
void Trees::fillBuffer(const WorldView& view) { fill(view.eye, &view); }

void Trees::fill(const Vec3& eye, const WorldView* view)
{
    m_vertices.clear();
    m_drawn = 0;
    std::vector<std::pair<float, std::uint32_t>> near;
    const float limit = kDrawDistance * kDrawDistance;
    for (std::size_t i = 0; i < m_trees.size(); ++i) {
        const float dx = m_trees[i].position.x - eye.x, dz = m_trees[i].position.z - eye.z;
        const float d = dx * dx + dz * dz;
        if (d < limit)
            near.emplace_back(d, static_cast<std::uint32_t>(i));
    }
    const std::size_t maxDrawn = static_cast<std::size_t>(std::clamp(m_detail.maxDrawn, 0, kMaxDrawn));
    if (near.size() > maxDrawn) {
        std::nth_element(near.begin(), near.begin() + static_cast<std::ptrdiff_t>(maxDrawn), near.end());
        near.resize(maxDrawn);
    }
    if (view)  // after picking the nearest, so the same trees show as without it
        std::erase_if(near, [this, view](const std::pair<float, std::uint32_t>& entry) {
            const Tree& t = m_trees[entry.second];
            const Vec3 centre{t.position.x, t.position.y + t.height * 0.5f, t.position.z};
            return !sphereInFrustum(view->camera, centre, t.height * 0.8f);
        });
    m_vertices.reserve(near.size() * 40);
    const float billboard = m_detail.billboardDistance * m_detail.billboardDistance;
    for (const auto& entry : near) {
        const Tree& t = m_trees[entry.second];
        const float u0 = (t.kind & 1) ? 0.5f : 0.0f, v0 = (t.kind & 2) ? 0.5f : 0.0f;
        const float w = t.height * 0.35f;
        // Two quads crossing at the trunk, along x and along z; far off one
        // across the line of sight.
        float axes[2][2] = {{w, 0.0f}, {0.0f, w}};
        int count = 2;
        if (entry.first > billboard) {
            const float dx = t.position.x - eye.x, dz = t.position.z - eye.z;
            const float scale = w / std::sqrt(entry.first);
            axes[0][0] = -dz * scale;
            axes[0][1] = dx * scale;
            count = 1;
        }
        for (int a = 0; a < count; ++a) {
            const float* axis = axes[a];
            const float corners[4][3] = {{-1, 0, 1}, {1, 0, 1}, {-1, 1, 0}, {1, 1, 0}};  // side, up, v
            for (const auto& c : corners) {
                m_vertices.push_back(t.position.x + axis[0] * c[0]);
                m_vertices.push_back(t.position.y + t.height * c[1]);
                m_vertices.push_back(t.position.z + axis[1] * c[0]);
                m_vertices.push_back(u0 + (c[0] > 0.0f ? 0.5f : 0.0f));
                m_vertices.push_back(v0 + 0.5f * c[2]);
            }
        }
    }
    m_drawn = static_cast<int>(near.size());
}

void Trees::drawPass2()
{
    Graphics* g = graphics();
    if (!g || m_drawn == 0 || !m_gpu->program.ensure("trees", shaders::kTreesVert, shaders::kTreesFrag))
        return;
    if (!m_gpu->textureTried) {
        m_gpu->textureTried = true;
        m_gpu->texture = getTexture(m_texturePath, SamplerSettings{g->qualityFilter(), TextureWrap::ClampToEdge});
    }
    if (!m_gpu->texture)
        return;  // without the atlas a forest of white boards would show
    RenderPassScope pass(*g);
    g->state() = opaqueWorldState(m_gpu->program.program(), m_gpu->texture.get(), nullptr);
    g->setWorldMatrix(Mat4{});
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    // Two quads a tree, in runs the shared quad indices can reach.
    const int quads = quadCount();
    for (int first = 0; first < quads; first += Graphics::kSharedQuadCount) {
        const int run = std::min(Graphics::kSharedQuadCount, quads - first);
        g->setVertexLayout(VertexLayout::PosTex20, m_vertices.data() + static_cast<std::size_t>(first) * 20);
        g->drawQuads(run);
    }
    g->invalidateVertexLayout();
}
