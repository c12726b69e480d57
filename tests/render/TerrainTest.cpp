#include "render/world/Terrain.h"

#include "platform/File.h"
#include "render/world/TerrainPatches.h"
#include "render/world/WorldView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

Mat4 projectionOf(float fovY, float aspect, float zNear, float zFar)
{
    Mat4 m;
    mat4Perspective(m, fovY, aspect, zNear, zFar);
    return m;
}

// A field whose height is `slope` x (x + size/2): 0 at the west edge.
void makeRamp(Terrain& t, int grid, float cell, float slope)
{
    Terrain::Layout layout;
    layout.grid = grid;
    layout.cellSize = cell;
    layout.baseHeight = 0.0f;
    layout.heightRange = slope * cell * static_cast<float>(grid);
    std::vector<std::uint16_t> samples(static_cast<std::size_t>((grid + 1) * (grid + 1)));
    for (int row = 0; row <= grid; ++row)
        for (int col = 0; col <= grid; ++col)
            samples[static_cast<std::size_t>(row * (grid + 1) + col)] =
                static_cast<std::uint16_t>(std::lround(65535.0 * col / grid));
    ASSERT_TRUE(t.setSamples(layout, samples));
}

TEST(TerrainQueries, RampGivesExactHeights)
{
    // 10 cells of 10 units over x in -50..50, h = (x + 50) / 10.
    Terrain t;
    makeRamp(t, 10, 10.0f, 0.1f);
    EXPECT_NEAR(t.heightAt(5.0f, 7.0f), 5.5f, 1e-4f);
    EXPECT_NEAR(t.heightAt(-50.0f, 0.0f), 0.0f, 1e-4f);
    EXPECT_NEAR(t.heightAt(50.0f, 3.0f), 10.0f, 1e-4f);
    // The cell's lower corner, not interpolated: x = 5 lies in the cell from 0 to 10.
    EXPECT_NEAR(t.sampleHeightAt(5.0f, 7.0f), 5.0f, 1e-4f);
    EXPECT_NEAR(t.sampleHeightAt(9.9f, -49.0f), 5.0f, 1e-4f);
}

TEST(TerrainQueries, FortyFiveDegreeRampNormal)
{
    Terrain t;
    makeRamp(t, 8, 4.0f, 1.0f);
    Vec3 n;
    // Both triangles of a cell.
    for (float z : {-13.5f, -10.5f}) {
        const float h = t.heightAndNormalAt(-14.5f, z, n);
        EXPECT_NEAR(h, 1.5f, 1e-3f);
        EXPECT_NEAR(n.x, -0.70710678f, 1e-5f);
        EXPECT_NEAR(n.y, 0.70710678f, 1e-5f);
        EXPECT_NEAR(n.z, 0.0f, 1e-5f);
    }
}

TEST(TerrainQueries, InterpolatesOnTheDrawnTriangles)
{
    // One cell with a single raised corner (col 1, row 1): the diagonal runs from
    // (1, 0) to (0, 1), so the lower-left triangle stays flat.
    Terrain::Layout layout{1, 2.0f, 0.0f, 1.0f};
    const std::uint16_t samples[4] = {0, 0, 0, 65535};
    Terrain t;
    ASSERT_TRUE(t.setSamples(layout, samples));
    Vec3 n;
    EXPECT_NEAR(t.heightAndNormalAt(-0.5f, -0.5f, n), 0.0f, 1e-6f);
    EXPECT_NEAR(n.y, 1.0f, 1e-6f);
    EXPECT_NEAR(t.heightAt(0.5f, 0.5f), 0.5f, 1e-5f);  // fx = fz = 0.75 on the upper triangle
    EXPECT_NEAR(t.heightAt(1.0f, 1.0f), 1.0f, 1e-5f);
}

TEST(TerrainQueries, OutsidePointsClampToTheEdgeWithAnUpNormal)
{
    Terrain t;
    makeRamp(t, 10, 10.0f, 0.1f);
    Vec3 n{0, 0, 0};
    EXPECT_NEAR(t.heightAndNormalAt(1e9f, 0.0f, n), 10.0f, 1e-4f);
    EXPECT_EQ(n.y, 1.0f);
    EXPECT_NEAR(t.heightAndNormalAt(-70.0f, 1e9f, n), 0.0f, 1e-4f);
    EXPECT_EQ(n.y, 1.0f);
    EXPECT_NEAR(t.sampleHeightAt(500.0f, -500.0f), 9.0f, 1e-4f);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(std::isfinite(t.heightAt(inf, -inf)));
    EXPECT_TRUE(std::isfinite(t.heightAt(nan, nan)));
    EXPECT_TRUE(std::isfinite(t.sampleHeightAt(nan, inf)));
    EXPECT_TRUE(std::isfinite(t.heightAndNormalAt(nan, 1.0f, n)));
    EXPECT_EQ(n.y, 1.0f);
}

TEST(TerrainQueries, EmptyTerrainAnswersZero)
{
    Terrain t;
    Vec3 n;
    EXPECT_EQ(t.heightAndNormalAt(3.0f, 4.0f, n), 0.0f);
    EXPECT_EQ(n.y, 1.0f);
    EXPECT_EQ(t.sampleHeightAt(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(t.size(), 0.0f);
}

TEST(TerrainFile, RoundTripAndScale)
{
    Terrain::Layout layout{2, 50.0f, -100.0f, 300.0f};
    const std::vector<std::uint16_t> samples = {0, 65535, 0, 0, 32768, 0, 0, 0, 65535};
    const std::vector<std::uint8_t> bytes = Terrain::encode(layout, samples);
    ASSERT_EQ(bytes.size(), Terrain::kHeaderBytes + 18);
    FileBuffer file(bytes);
    Terrain t;
    ASSERT_TRUE(t.load(file));
    EXPECT_EQ(t.layout().grid, 2);
    EXPECT_EQ(t.size(), 100.0f);
    EXPECT_EQ(t.sampleHeight(1, 0), 200.0f);
    EXPECT_EQ(t.sampleHeight(0, 0), -100.0f);
    EXPECT_NEAR(t.sampleHeight(1, 1), -100.0f + 300.0f * 32768.0f / 65535.0f, 1e-3f);
}

TEST(TerrainFile, BadFilesLeaveAnEmptyTerrain)
{
    Terrain::Layout layout{2, 50.0f, 0.0f, 300.0f};
    const std::vector<std::uint16_t> samples(9, 1000);
    const std::vector<std::uint8_t> good = Terrain::encode(layout, samples);

    auto fails = [](std::vector<std::uint8_t> bytes) {
        FileBuffer file(std::move(bytes));
        Terrain t;
        const bool loaded = t.load(file);
        return !loaded && t.empty() && t.heightAt(0, 0) == 0.0f;
    };
    EXPECT_TRUE(fails({}));
    EXPECT_TRUE(fails(std::vector<std::uint8_t>(good.begin(), good.end() - 1)));  // truncated
    auto tag = good;
    tag[0] = 'X';
    EXPECT_TRUE(fails(tag));
    auto version = good;
    version[4] = 2;
    EXPECT_TRUE(fails(version));
    auto zeroGrid = good;
    zeroGrid[6] = zeroGrid[7] = 0;
    EXPECT_TRUE(fails(zeroGrid));
    auto hugeGrid = good;  // 65535 cells: far more samples than the file holds
    hugeGrid[6] = hugeGrid[7] = 0xff;
    EXPECT_TRUE(fails(hugeGrid));
    auto nanCell = good;
    nanCell[8] = nanCell[9] = nanCell[10] = nanCell[11] = 0xff;
    EXPECT_TRUE(fails(nanCell));
    // Finite numbers whose heights or slopes overflow: found by fuzzing.
    for (const Terrain::Layout bad : {Terrain::Layout{2, 50.0f, 3.0e38f, 3.0e38f}, Terrain::Layout{2, 1e-30f, 0.0f, 300.0f},
                                      Terrain::Layout{2, 50.0f, 0.0f, 1e30f}}) {
        auto bytes = good;
        std::memcpy(&bytes[8], &bad.cellSize, 4);
        std::memcpy(&bytes[12], &bad.baseHeight, 4);
        std::memcpy(&bytes[16], &bad.heightRange, 4);
        EXPECT_TRUE(fails(bytes)) << bad.cellSize << " " << bad.baseHeight << " " << bad.heightRange;
    }
    EXPECT_TRUE(Terrain::encode(layout, std::vector<std::uint16_t>(8)).empty());
}

TEST(TerrainShaderSize, NeverBelowOne)
{
    setShaderTerrainSize(0.0f);
    EXPECT_EQ(shaderTerrainSize(), 1.0f);
    setShaderTerrainSize(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(shaderTerrainSize(), 1.0f);
    setShaderTerrainSize(40960.0f);
    EXPECT_EQ(shaderTerrainSize(), 40960.0f);
}

// Rough ground: neighbouring patches at any two levels must not open a crack.
TEST(TerrainPatchesLod, SkirtsCoverEveryLevelPair)
{
    const int grid = 64;
    Terrain::Layout layout{grid, 10.0f, -50.0f, 400.0f};
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> dist(0, 65535);
    std::vector<std::uint16_t> samples(static_cast<std::size_t>((grid + 1) * (grid + 1)));
    for (auto& s : samples)
        s = static_cast<std::uint16_t>(dist(rng));
    Terrain t;
    ASSERT_TRUE(t.setSamples(layout, samples));
    const TerrainPatches& p = t.patches();
    ASSERT_EQ(p.patchesPerSide(), 2);
    // Patch 0 and patch 1 share the edge x-max / x-min; compare the surfaces
    // along it at each pair of levels.
    const auto& v = p.vertices();
    const auto& a = p.patches()[0];
    const auto& b = p.patches()[1];
    const std::size_t baseA = 0, baseB = TerrainPatches::kVerticesPerPatch;
    auto edgeHeight = [&](std::size_t base, int column, int level, int j) {
        const int step = 1 << level;
        const int j0 = j / step * step;
        const int j1 = std::min(j0 + step, TerrainPatches::kCells);
        const float h0 = v[base + static_cast<std::size_t>(j0 * TerrainPatches::kSide + column)].y;
        const float h1 = v[base + static_cast<std::size_t>(j1 * TerrainPatches::kSide + column)].y;
        return j1 == j0 ? h0 : h0 + (h1 - h0) * static_cast<float>(j - j0) / static_cast<float>(j1 - j0);
    };
    for (int la = 0; la < TerrainPatches::kLevels; ++la)
        for (int lb = 0; lb < TerrainPatches::kLevels; ++lb)
            for (int j = 0; j <= TerrainPatches::kCells; ++j) {
                const float ha = edgeHeight(baseA, TerrainPatches::kCells, la, j);
                const float hb = edgeHeight(baseB, 0, lb, j);
                const float upperSkirtBottom = ha > hb ? ha - a.skirtDepth : hb - b.skirtDepth;
                EXPECT_LE(upperSkirtBottom, std::min(ha, hb)) << la << " " << lb << " " << j;
            }
}

TEST(TerrainPatchesLod, IndicesStayInsideAPatch)
{
    Terrain t;
    makeRamp(t, 40, 5.0f, 0.3f);  // not a multiple of the patch size
    const TerrainPatches& p = t.patches();
    EXPECT_EQ(p.patchesPerSide(), 2);
    EXPECT_EQ(p.vertices().size(), 4u * TerrainPatches::kVerticesPerPatch);
    for (std::uint16_t i : p.indices())
        ASSERT_LT(i, TerrainPatches::kVerticesPerPatch);
    int previous = 1 << 30;
    for (int level = 0; level < TerrainPatches::kLevels; ++level) {
        const auto r = p.levelRange(level);
        EXPECT_EQ(r.count % 3, 0);
        EXPECT_LT(r.count, previous);
        previous = r.count;
    }
    // Clamped samples stay on the field.
    for (const auto& vertex : p.vertices())
        ASSERT_LE(vertex.x, 100.0f);
}

// Once uploaded only the heights stay, in the vertices' order, and patches
// built afresh (a second upload) have their vertices again.
TEST(TerrainPatchesLod, KeepsTheHeightsOfEveryVertexOnly)
{
    Terrain t;
    makeRamp(t, 40, 5.0f, 0.3f);
    TerrainPatches p(t);
    const std::vector<TerrainPatches::Vertex> whole = p.vertices();
    EXPECT_TRUE(p.heights().empty());
    p.keepHeightsOnly();
    EXPECT_TRUE(p.vertices().empty());
    ASSERT_EQ(p.heights().size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        ASSERT_EQ(p.heights()[i], whole[i].y) << i;
    p.keepHeightsOnly();   // twice changes nothing
    EXPECT_EQ(p.heights().size(), whole.size());
    EXPECT_EQ(TerrainPatches(t).vertices().size(), whole.size());
}

// Built patch by patch for the upload, the vertices are the same ones in the
// same order and places, the bounds the same, and only the heights are kept.
TEST(TerrainPatchesLod, BuiltPatchByPatchTheyMatchTheWholeField)
{
    Terrain t;
    makeRamp(t, 70, 5.0f, 0.3f);   // not a whole number of patches: clamped edges
    const TerrainPatches whole(t);
    std::vector<TerrainPatches::Vertex> streamed(whole.vertices().size());
    int calls = 0;
    const TerrainPatches parts(t, [&](int patch, std::span<const TerrainPatches::Vertex> vertices) {
        ASSERT_EQ(vertices.size(), std::size_t(TerrainPatches::kVerticesPerPatch));
        ASSERT_EQ(patch, calls++);
        std::copy(vertices.begin(), vertices.end(),
                  streamed.begin() + std::ptrdiff_t(patch) * TerrainPatches::kVerticesPerPatch);
    });
    EXPECT_EQ(TerrainPatches::vertexCount(t), whole.vertices().size());
    EXPECT_EQ(std::size_t(calls), whole.patches().size());
    EXPECT_TRUE(parts.vertices().empty());
    ASSERT_EQ(parts.heights().size(), whole.vertices().size());
    for (std::size_t i = 0; i < streamed.size(); ++i) {
        const auto& a = whole.vertices()[i];
        const auto& b = streamed[i];
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.nx == b.nx && a.ny == b.ny && a.nz == b.nz) << i;
        ASSERT_EQ(parts.heights()[i], a.y) << i;
    }
    ASSERT_EQ(parts.patches().size(), whole.patches().size());
    for (std::size_t i = 0; i < whole.patches().size(); ++i) {
        EXPECT_EQ(parts.patches()[i].boundsMin.y, whole.patches()[i].boundsMin.y);
        EXPECT_EQ(parts.patches()[i].boundsMax.y, whole.patches()[i].boundsMax.y);
        EXPECT_EQ(parts.patches()[i].skirtDepth, whole.patches()[i].skirtDepth);
    }
    Terrain none;
    EXPECT_EQ(TerrainPatches::vertexCount(none), 0u);
}

// A patch drawn beside neighbours at its own level needs no skirt there: each
// edge's bit adds exactly that edge's skirt row and nothing else, and the
// surface is the same triangles whatever the edges.
TEST(TerrainPatchesLod, SkirtsOnlyOnTheEdgesAsked)
{
    Terrain t;
    makeRamp(t, 96, 5.0f, 0.3f);
    const TerrainPatches& p = t.patches();
    for (int level = 0; level < TerrainPatches::kLevels; ++level) {
        SCOPED_TRACE(level);
        const auto bare = p.skirtedRange(level, 0);
        const int cells = TerrainPatches::kCells >> level;
        EXPECT_EQ(bare.count, cells * cells * 6);
        for (int k = 0; k < bare.count; ++k)
            ASSERT_LT(p.indices()[static_cast<std::size_t>(bare.first + k)], TerrainPatches::kGridVertices);
        int allSkirts = 0;
        for (int e = 0; e < 4; ++e) {
            const auto one = p.skirtedRange(level, 1u << e);
            EXPECT_EQ(one.count, bare.count + cells * 12);
            allSkirts += one.count - bare.count;
            // Past the surface only this edge's skirt row and its top samples.
            for (int k = bare.count; k < one.count; ++k) {
                const int i = p.indices()[static_cast<std::size_t>(one.first + k)];
                if (i >= TerrainPatches::kGridVertices) {
                    EXPECT_EQ((i - TerrainPatches::kGridVertices) / TerrainPatches::kSide, e);
                    continue;
                }
                const int col = i % TerrainPatches::kSide, row = i / TerrainPatches::kSide;
                const int along[4] = {row, TerrainPatches::kCells - col, TerrainPatches::kCells - row, col};
                EXPECT_EQ(along[e], 0) << "edge " << e << " takes sample " << col << "," << row;
            }
            for (int k = 0; k < bare.count; ++k)
                ASSERT_EQ(p.indices()[static_cast<std::size_t>(one.first + k)],
                          p.indices()[static_cast<std::size_t>(bare.first + k)]);
        }
        const auto full = p.levelRange(level);
        EXPECT_EQ(full.count, bare.count + allSkirts);
        EXPECT_EQ(p.skirtedRange(level, 0xF0u | TerrainPatches::kEdgeXMax).count,
                  p.skirtedRange(level, TerrainPatches::kEdgeXMax).count);
    }
}

TEST(TerrainPatchesLod, NeighboursAcrossEachEdge)
{
    Terrain t;
    makeRamp(t, 96, 5.0f, 0.3f);  // three patches a side
    const TerrainPatches& p = t.patches();
    ASSERT_EQ(p.patchesPerSide(), 3);
    // The middle patch (1, 1) is index 4; its neighbours in edge order.
    EXPECT_EQ(p.neighbour(1, 1, 0), 1);
    EXPECT_EQ(p.neighbour(1, 1, 1), 5);
    EXPECT_EQ(p.neighbour(1, 1, 2), 7);
    EXPECT_EQ(p.neighbour(1, 1, 3), 3);
    // Across the field's border there is none, whichever corner.
    EXPECT_EQ(p.neighbour(0, 0, 0), -1);
    EXPECT_EQ(p.neighbour(0, 0, 3), -1);
    EXPECT_EQ(p.neighbour(2, 2, 1), -1);
    EXPECT_EQ(p.neighbour(2, 2, 2), -1);
    EXPECT_EQ(p.neighbour(1, 1, 4), -1);
    EXPECT_EQ(p.neighbour(1, 1, -1), -1);
    // The patch found lies where the edge says.
    for (int e = 0; e < 4; ++e) {
        const int across = p.neighbour(1, 1, e);
        ASSERT_GE(across, 0);
        const TerrainPatches::Patch& q = p.patches()[static_cast<std::size_t>(across)];
        EXPECT_EQ(std::abs(q.col - 1) + std::abs(q.row - 1), 1);
    }
}

// What a shadow volume over an area must reach down to: the lowest patch
// there, the sea's level past the field's edge, never below the sea while it
// hides the ground under it, and nothing known for a broken area.
TEST(TerrainQueries, LowestReceiverUnderAnArea)
{
    Terrain t;
    makeRamp(t, 96, 5.0f, 0.3f);  // 480 wide, three patches a side, rising eastward
    const TerrainPatches& p = t.patches();
    ASSERT_EQ(p.patchesPerSide(), 3);
    auto lowestOf = [&p](int col, int row) { return p.patches()[static_cast<std::size_t>(row * 3 + col)].boundsMin.y; };
    // Inside the middle patch, the only one without the border's deep skirts.
    EXPECT_FLOAT_EQ(t.lowestReceiverIn(-50.0f, -50.0f, 50.0f, 50.0f), lowestOf(1, 1));
    EXPECT_GT(lowestOf(1, 1), lowestOf(2, 1));
    // Reaching into the next patch its lower floor counts.
    EXPECT_FLOAT_EQ(t.lowestReceiverIn(-50.0f, -50.0f, 100.0f, 50.0f), lowestOf(2, 1));
    EXPECT_FLOAT_EQ(t.lowestReceiverIn(100.0f, 100.0f, 200.0f, 200.0f), lowestOf(2, 2));
    // Past the field's edge lies the sea.
    EXPECT_LE(t.lowestReceiverIn(200.0f, 100.0f, 900.0f, 200.0f), 0.0f);
    EXPECT_FLOAT_EQ(t.lowestReceiverIn(5000.0f, 5000.0f, 6000.0f, 6000.0f), 0.0f);
    // The sea hiding what lies below it, nothing lower than its level counts.
    t.setHiddenUnderSea(true);
    EXPECT_GE(t.lowestReceiverIn(-200.0f, -200.0f, 200.0f, 200.0f), 0.0f);
    EXPECT_FLOAT_EQ(t.lowestReceiverIn(-50.0f, -50.0f, 50.0f, 50.0f), std::max(lowestOf(1, 1), 0.0f));
    t.setHiddenUnderSea(false);
    // Inverted, not-a-number or huge areas never index past the patches.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(std::isfinite(t.lowestReceiverIn(10.0f, 0.0f, -10.0f, 5.0f)));
    EXPECT_FALSE(std::isfinite(t.lowestReceiverIn(nan, 0.0f, 10.0f, 5.0f)));
    EXPECT_LE(t.lowestReceiverIn(-1e30f, -1e30f, 1e30f, 1e30f), 0.0f);
    Terrain empty;
    EXPECT_FALSE(std::isfinite(empty.lowestReceiverIn(0.0f, 0.0f, 1.0f, 1.0f)));
}

// Land up to the field's border (a plateau at 150 on a base of 50): the outer
// skirts stand in the sea, so no gap opens under the border; inner ones stay short.
TEST(TerrainPatchesLod, BorderSkirtsReachBelowSeaLevel)
{
    Terrain t;
    ASSERT_TRUE(t.setSamples(Terrain::Layout{40, 5.0f, 50.0f, 100.0f}, std::vector<std::uint16_t>(41 * 41, 65535)));
    const TerrainPatches& p = t.patches();
    ASSERT_EQ(p.patches().size(), 4u);
    int border = 0, inner = 0;
    for (std::size_t k = 0; k < p.patches().size(); ++k) {
        const std::size_t first = k * TerrainPatches::kVerticesPerPatch + TerrainPatches::kGridVertices;
        for (int e = 0; e < 4; ++e) {
            const TerrainPatches::Vertex& v = p.vertices()[first + static_cast<std::size_t>(e * TerrainPatches::kSide + 1)];
            // Edges 0 and 2 run along x at one z, edges 1 and 3 along z at one x.
            if ((e % 2 == 0 ? std::fabs(v.z) : std::fabs(v.x)) >= 100.0f) {
                ++border;
                EXPECT_LT(v.y, 0.0f) << "patch " << k << " edge " << e;
            } else {
                ++inner;
                EXPECT_GT(v.y, 100.0f) << "patch " << k << " edge " << e;
            }
        }
        EXPECT_LT(p.patches()[k].boundsMin.y, 0.0f);
    }
    EXPECT_EQ(border, 8);
    EXPECT_EQ(inner, 8);
}

TEST(TerrainPatchesLod, LevelsCoarsenWithDistanceAndCullBehind)
{
    Terrain::Layout layout{256, 20.0f, 0.0f, 100.0f};
    Terrain t;
    ASSERT_TRUE(t.setSamples(layout, std::vector<std::uint16_t>(257 * 257, 0)));
    const Vec3 eye{0.0f, 50.0f, 2400.0f};
    const WorldView view = WorldView::fromMatrices(
        eye, lookAtMatrix(eye, Vec3{0.0f, 0.0f, 0.0f}, Vec3{0, 1, 0}), projectionOf(kPi / 4, 1.5f, 2.0f, 60000.0f));
    t.updateVisible(kPi / 4, view);
    const auto& visible = t.visiblePatches();
    ASSERT_FALSE(visible.empty());
    EXPECT_LT(visible.size(), 64u);  // the half behind the camera is culled
    int nearLevel = 9, farLevel = -1;
    for (const auto& vp : visible) {
        const auto& patch = t.patches().patches()[static_cast<std::size_t>(vp.patch)];
        EXPECT_LT(patch.boundsMin.z, eye.z);
        if (patch.boundsMax.z >= eye.z - 1.0f && patch.boundsMin.x <= 0.0f && patch.boundsMax.x >= 0.0f)
            nearLevel = std::min(nearLevel, vp.level);
        if (patch.boundsMin.z < -2000.0f)
            farLevel = std::max(farLevel, vp.level);
    }
    EXPECT_EQ(nearLevel, 0);
    EXPECT_EQ(farLevel, TerrainPatches::kLevels - 1);
}

}  // namespace

namespace {
// The lower tiers draw every patch a level coarser, the coarsest staying as it is.
TEST(TerrainPatchesLod, LowerTiersDrawEachPatchALevelCoarser)
{
    EXPECT_EQ(terrainLevelBias(0), 1);
    EXPECT_EQ(terrainLevelBias(1), 1);
    EXPECT_EQ(terrainLevelBias(2), 0);
    EXPECT_EQ(terrainLevelBias(3), 0);
    Terrain t;
    makeRamp(t, 256, 10.0f, 0.1f);  // 8 x 8 patches of 320 units
    const Vec3 eye{-1100.0f, 40.0f, -1100.0f};
    const WorldView view = WorldView::fromMatrices(eye, lookAtMatrix(eye, Vec3{1200.0f, 0.0f, 1200.0f}, Vec3{0, 1, 0}),
                                                   projectionOf(0.8f, 1.5f, 2.0f, 50000.0f));
    t.updateVisible(0.8f, view);
    const std::vector<Terrain::VisiblePatch> fine = t.visiblePatches();
    t.updateVisible(0.8f, view, terrainLevelBias(0));
    const std::vector<Terrain::VisiblePatch>& coarse = t.visiblePatches();
    ASSERT_EQ(coarse.size(), fine.size());
    bool sawFinest = false, sawCoarsest = false;
    for (std::size_t i = 0; i < fine.size(); ++i) {
        ASSERT_EQ(coarse[i].patch, fine[i].patch);  // the same patches in the same order
        EXPECT_EQ(coarse[i].level, std::min(fine[i].level + 1, TerrainPatches::kLevels - 1));
        sawFinest = sawFinest || fine[i].level == 0;
        sawCoarsest = sawCoarsest || fine[i].level == TerrainPatches::kLevels - 1;
    }
    EXPECT_TRUE(sawFinest && sawCoarsest);
}
}  // namespace
