#pragma once
#include "platform/Math.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Terrain;
struct WorldView;
class WorldRandom;

// The map's forest: trees stood on the terrain, drawn as two crossed
// alpha-tested quads each from a 2 x 2 atlas of tree kinds. Placement needs no
// GL context; the texture and buffers are made on the first fillBuffer with a
// renderer.
class Trees {
public:
    struct Tree {
        Vec3 position;          // foot of the trunk, on the ground
        float height = 0.0f;    // world units
        std::uint8_t kind = 0;  // atlas cell 0..3
    };
    static constexpr int kMaxTrees = 65536;
    static constexpr float kDrawDistance = 7000.0f;
    static constexpr int kMaxDrawn = 4000;  // nearest first; keeps the software renderer fast

    // How many of the nearest trees are drawn and from where on they are
    // single billboards; the lower tiers draw fewer and flatter ones, each
    // tree's corners costing the calling thread of a software renderer.
    struct Detail {
        int maxDrawn = kMaxDrawn;
        float billboardDistance = 2500.0f;
    };
    static Detail detailFor(int qualityTier);
    void setDetail(const Detail& detail) { m_detail = detail; }

    Trees();
    ~Trees();
    Trees(const Trees&) = delete;
    Trees& operator=(const Trees&) = delete;

    // Scatters up to `count` trees over dry, gentle ground: above the shore,
    // below the upper slopes, never on steep faces. texturePath names the atlas.
    void buildForest(std::string_view texturePath, const Terrain& terrain, int count);
    // Up to `count` trees where the density map of `treeFile` asks for them: a
    // headerless square of 8-bit densities over the whole field (row 0 at the
    // field's -z edge). False, with no trees, when the file is missing, empty
    // or not square.
    [[nodiscard]] bool buildFromFile(int count, std::string_view treeFile, std::string_view texturePath,
                                     const Terrain& terrain);
    // The same from a density map in memory.
    [[nodiscard]] bool buildFromDensity(int count, std::span<const std::uint8_t> density, std::string_view texturePath,
                                        const Terrain& terrain);

    const std::vector<Tree>& trees() const { return m_trees; }
    const std::string& texturePath() const { return m_texturePath; }

    // Picks the trees to draw this frame (the nearest Detail::maxDrawn within
    // kDrawDistance of the eye) and writes their quads; call at the start of the draw.
    void fillBuffer(const Vec3& eye);
    // The same leaving out those of the nearest trees that lie out of the view:
    // the same picture for less vertex work.
    void fillBuffer(const WorldView& view);
    int drawnCount() const { return m_drawn; }
    // Quads written by the last fillBuffer: two crossed near the eye, one
    // turned to the eye past Detail::billboardDistance (kBillboardDistance at
    // the higher tiers), where a tree is a few pixels tall and the crossing
    // no longer shows.
    int quadCount() const { return static_cast<int>(m_vertices.size() / 20); }
    // Their corners, x y z u v each: bottom left, bottom right, top left, top right.
    const std::vector<float>& vertices() const { return m_vertices; }
    static constexpr float kBillboardDistance = 2500.0f;
    // Draws the quads of the last fillBuffer with the renderer's matrices, light and fog.
    void drawPass2();

private:
    void fill(const Vec3& eye, const WorldView* view);
    class Gpu;
    bool acceptsGround(const Terrain& terrain, float x, float z, float& height) const;
    void plant(WorldRandom& random, const Terrain& terrain, float x, float z);

    std::vector<Tree> m_trees;
    std::string m_texturePath;
    std::vector<float> m_vertices;  // x y z u v, 4 a quad, 1 or 2 quads a tree
    int m_drawn = 0;
    Detail m_detail;
    std::unique_ptr<Gpu> m_gpu;
};
