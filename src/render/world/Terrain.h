#pragma once
#include "platform/Math.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

class File;
class Graphics;
class TerrainPatches;
struct WorldView;

// Height field of the loaded map. Loading and the height queries need no GL
// context, so rules, AI and tests can ask for heights without a window.
//
// The field is centred on the world origin: it spans x and z from -size/2 to
// +size/2 with size = grid x cellSize; sample (col, row) lies at
// x = -size/2 + col x cellSize, z = -size/2 + row x cellSize. Sea level is y = 0.
//
// Height file ("data/terrain/<map>/height.bin", little-endian):
//   char magic[4] = "SKYH"; u16 version = 1; u16 grid (cells per side, 1..4096)
//   f32 cellSize (kMinCellSize..kMaxCellSize); f32 baseHeight (|b| <= kMaxHeight);
//   f32 heightRange (0..kMaxHeight)
//   u16 samples[(grid + 1)^2], row after row (row = z index), each
//   height = baseHeight + sample / 65535 x heightRange.
class Terrain {
public:
    struct Layout {
        int grid = 0;  // cells per side; the file holds (grid + 1)^2 samples
        float cellSize = 0.0f, baseHeight = 0.0f, heightRange = 0.0f;
    };
    static constexpr std::size_t kHeaderBytes = 20;
    static constexpr int kMaxGrid = 4096;
    // Limits of the header's numbers; outside them the file counts as damaged.
    static constexpr float kMinCellSize = 1.0f / 64.0f, kMaxCellSize = 65536.0f;
    static constexpr float kMaxHeight = 1.0e6f;   // of |baseHeight| and of heightRange

    Terrain();
    ~Terrain();
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    // False on a bad header or fewer samples than the header needs; the
    // terrain then stays empty (every query answers 0 with an up normal) and
    // a log line names the fault.
    [[nodiscard]] bool load(File& file);
    // The same from samples in memory (the data tool and tests).
    [[nodiscard]] bool setSamples(const Layout& layout, std::span<const std::uint16_t> samples);
    // The height file's bytes for a layout and its samples; empty when they do not match.
    static std::vector<std::uint8_t> encode(const Layout& layout, std::span<const std::uint16_t> samples);

    bool empty() const { return m_samples.empty(); }
    const Layout& layout() const { return m_layout; }
    float baseHeight() const { return m_layout.baseHeight; }
    float heightRange() const { return m_layout.heightRange; }
    // grid x cellSize: the "shader terrain size"; 0 when empty.
    float size() const { return static_cast<float>(m_layout.grid) * m_layout.cellSize; }

    // Interpolated on the same two triangles per cell that are drawn (the
    // diagonal runs from (col + 1, row) to (col, row + 1)), so a plane on the
    // runway neither sinks into nor hovers over the mesh. Points outside the
    // field are clamped to its edge.
    float heightAt(float x, float z) const;
    // The sample at the lower corner (col, row) of the cell holding the point;
    // no interpolation. Clamped like heightAt.
    float sampleHeightAt(float x, float z) const;
    // heightAt, and the unit normal of the triangle under the point; (0, 1, 0)
    // outside the field and on an empty terrain.
    float heightAndNormalAt(float x, float z, Vec3& normal) const;
    // Height of a sample; the indices are clamped to the field.
    float sampleHeight(int col, int row) const;

    // The level-of-detail patches (built on first use after a load).
    const TerrainPatches& patches() const;

    // GL side. Creates the patch buffers and takes the overview picture (by
    // world x, z over the whole field) and the tiled detail texture; a
    // texture that does not load is drawn as plain grey. False when a GL
    // buffer cannot be made.
    [[nodiscard]] bool upload(std::string_view overviewTexture, std::string_view detailTexture);
    // Culls the patches against the view, picks their levels and orders them
    // near to far; call once a frame before drawPass. fieldOfView in radians
    // (vertical). `levelBias` steps every patch that many levels coarser
    // (terrainLevelBias), never past the coarsest.
    void updateVisible(float fieldOfView, const WorldView& view, int levelBias = 0);
    // Draws the patches picked by the last updateVisible with the renderer's
    // current matrices, light and fog; does nothing before upload.
    void drawPass();
    // The same keeping only the ground above (reflection) or below (refraction)
    // sea level, for the water's pictures. Under water the ground fades into
    // `waterColor` with depth (gone kUnderwaterFadeDepth below the surface)
    // instead of into the fog, which the water surface adds itself: so a deep
    // sea floor matches the open sea beyond the field's edge.
    void drawReflectionPass();
    // Set by the water each frame: an opaque sea surface drawn after the
    // ground, seen from above, hides every patch wholly below sea level, so
    // drawPass leaves those out (the refraction still draws them). When the
    // water gives the reach of its surface around the eye, drawPass first
    // lays the depth of a plane just below it there, so that the hidden parts
    // of the patches it still draws are rejected before they are shaded.
    void setHiddenUnderSea(bool hidden, float seaReach = 0.0f)
    {
        m_hiddenUnderSea = hidden;
        m_seaReach = hidden && seaReach > 0.0f ? seaReach : 0.0f;
    }
    void drawRefractionPass(const Vec3& waterColor);
    // The lowest height a shadow can fall on within x0, z0 .. x1, z1: the
    // lowest ground of the patches there (past the field's edge the sea's
    // level), no lower than the sea while it hides what lies under it.
    // Uploading the terrain hands this to the shadow volumes.
    float lowestReceiverIn(float x0, float z0, float x1, float z1) const;
    static constexpr float kUnderwaterFadeDepth = 150.0f;
    struct VisiblePatch {
        int patch = 0;  // index into patches().patches()
        int level = 0;
    };
    // What the last updateVisible picked.
    const std::vector<VisiblePatch>& visiblePatches() const { return m_visible; }

    class PatchRun;  // consecutive patches of one program, drawn at once

private:
    class Gpu;
    bool checkLayout(const Layout& layout) const;
    float cellCoordinate(float world) const;  // world x or z to a clamped sample coordinate
    void draw(float clipSide, const Vec3* underwater);

    Layout m_layout;
    std::vector<std::uint16_t> m_samples;
    mutable std::unique_ptr<TerrainPatches> m_patches;  // cache: built on first use
    std::vector<VisiblePatch> m_visible;
    std::vector<std::int8_t> m_drawnLevels;  // per patch in the current pass, -1 where not drawn
    std::vector<std::uint16_t> m_shownIndices;  // a patch's triangles that can show in the current pass
    std::unique_ptr<Gpu> m_gpu;
    std::unique_ptr<PatchRun> m_run;
    bool m_hiddenUnderSea = false;
    float m_seaReach = 0.0f;
    void coverSea(Graphics& g, const Vec3& eye);
};

// The shader terrain size (grid x cellSize) read by the terrain program for the
// overview picture's coordinates. Values below 1 are taken as 1, so an empty
// map never divides by zero in a shader.
void setShaderTerrainSize(float size);
// Levels the ground is drawn coarser at a quality tier: the lower tiers pay
// for every vertex on the calling thread of a software renderer.
int terrainLevelBias(int qualityTier);
float shaderTerrainSize();
