#include "render/assets/ModelLevels.h"
#include "render/assets/Model.h"

#include "GlmTestFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

namespace {

// A smooth ball of radius 5 (rings x segments), wound outward.
void addBall(GlmFile& file, const char* name, int rings, int segments)
{
    GlmNode node;
    node.name = name;
    node.vertexBase = static_cast<std::uint32_t>(file.vertices.size());
    node.firstIndex = static_cast<std::uint32_t>(file.indices.size());
    node.texture = 0;
    for (int r = 0; r <= rings; ++r) {
        const float phi = 3.14159265f * float(r) / float(rings);
        for (int s = 0; s <= segments; ++s) {
            const float theta = 6.2831853f * float(s) / float(segments);
            const Vec3 n{std::sin(phi) * std::cos(theta), std::cos(phi), std::sin(phi) * std::sin(theta)};
            file.vertices.push_back(GlmVertex{5 * n.x, 5 * n.y, 5 * n.z, n.x, n.y, n.z, 0.5f, 0.5f});
        }
    }
    const int row = segments + 1;
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const auto a = static_cast<std::uint16_t>(r * row + s), b = static_cast<std::uint16_t>(a + row);
            file.indices.insert(file.indices.end(), {a, static_cast<std::uint16_t>(a + 1), b});
            file.indices.insert(file.indices.end(), {static_cast<std::uint16_t>(a + 1), static_cast<std::uint16_t>(b + 1), b});
        }
    node.vertexCount = static_cast<std::uint32_t>(file.vertices.size()) - node.vertexBase;
    node.indexCount = static_cast<std::uint32_t>(file.indices.size()) - node.firstIndex;
    node.radius = 5;
    node.size = 10;
    file.nodes.push_back(node);
}

std::unique_ptr<Model> ballModel()
{
    GlmFile file;
    file.textures = {"units.pvr"};
    addBall(file, "hull", 48, 96);
    GlmObject object;
    object.name = "ball";
    object.nodeCount = 1;
    object.boundsMin = Vec3{-5, -5, -5};
    object.boundsMax = Vec3{5, 5, 5};
    object.radius = 5;
    file.objects.push_back(object);
    return std::unique_ptr<Model>(Model::create("ball", file, 0, 0, "data/models/"));
}

Vec3 at(const GlmVertex& v) { return {v.x, v.y, v.z}; }

TEST(ModelLevels, FullDetailMergesTheDrawnNodesInModelSpace)
{
    const std::unique_ptr<Model> model(Model::create("plane", makeTestGlm(), 0, 0, "data/models/"));
    ASSERT_NE(model, nullptr);
    MergedMesh mesh;
    ASSERT_TRUE(buildMergedMesh(*model, 0.0f, mesh));
    ASSERT_EQ(mesh.nodeStart.size(), model->nodeCount() + 1);
    // body, then the helper with nothing, then the canopy.
    EXPECT_EQ(mesh.nodeStart[1] - mesh.nodeStart[0], 36u);
    EXPECT_EQ(mesh.nodeStart[2], mesh.nodeStart[1]);
    EXPECT_EQ(mesh.nodeStart[3] - mesh.nodeStart[2], 36u);
    EXPECT_EQ(mesh.indices.size(), 72u);
    // The canopy's indices point at its own vertices, moved by its matrix.
    const Model::Node& canopy = *model->findNode("canopy");
    const GlmVertex& first = mesh.vertices[mesh.indices[mesh.nodeStart[2]]];
    const GlmVertex& source = canopy.vertices[canopy.indices[0]];
    EXPECT_FLOAT_EQ(first.x, source.x + 0.25f);
    EXPECT_FLOAT_EQ(first.y, source.y + 0.5f);
    EXPECT_FLOAT_EQ(first.z, source.z - 0.75f);
    for (std::uint16_t i : mesh.indices)
        EXPECT_LT(i, mesh.vertices.size());
}

TEST(ModelLevels, CoarseLevelsKeepTheShapeWithFarFewerTriangles)
{
    const std::unique_ptr<Model> model = ballModel();
    ASSERT_NE(model, nullptr);
    MergedMesh full, coarse;
    ASSERT_TRUE(buildMergedMesh(*model, 0.0f, full));
    const float cell = model->radius() / kLevelDivisions[kModelLevelCount - 1];
    ASSERT_TRUE(buildMergedMesh(*model, cell, coarse));
    EXPECT_EQ(full.triangleCount(), 48u * 96u * 2u);
    EXPECT_LT(coarse.triangleCount() * 2, full.triangleCount());
    EXPECT_GT(coarse.triangleCount(), 20u);
    const auto same = [](const Vec3& p, const Vec3& q) { return p.x == q.x && p.y == q.y && p.z == q.z; };
    const auto outwardShare = [&](const MergedMesh& mesh, bool simplified) {
        int outward = 0;
        for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
            const std::uint16_t* i = &mesh.indices[t];
            EXPECT_FALSE(i[0] == i[1] || i[1] == i[2] || i[0] == i[2]);
            const Vec3 a = at(mesh.vertices[i[0]]), b = at(mesh.vertices[i[1]]), c = at(mesh.vertices[i[2]]);
            // Corners split only by their normals share a point: such a
            // triangle has no area and must not be kept.
            if (simplified) {
                EXPECT_FALSE(same(a, b) || same(b, c) || same(a, c)) << "triangle " << t / 3;
            }
            const Vec3 normal = vec3CrossB(vec3Sub(a, b), vec3Sub(a, c));
            outward += vec3Dot(normal, vec3Add(vec3Add(a, b), c)) > 0.0f ? 1 : 0;
        }
        return float(outward) / float(mesh.triangleCount());
    };
    // Wound outward still, so back faces stay culled.
    EXPECT_GE(outwardShare(full, false), 0.97f);  // the poles' slivers have no area
    EXPECT_GE(outwardShare(coarse, true), 0.95f);
    // Every simplified vertex stays within a cell of the surface.
    for (const GlmVertex& v : coarse.vertices)
        EXPECT_NEAR(vec3Length(at(v)), 5.0f, cell * 1.8f);
}

TEST(ModelLevels, ColourBordersAndHardEdgesKeepTheirOwnVertices)
{
    GlmFile file = makeTestGlm();
    // The body's top face takes another swatch than the rest.
    for (int i = 2; i < 8; i += (i % 4 == 2 ? 1 : 3))
        file.vertices[static_cast<std::size_t>(i)].u = 0.75f;
    const std::unique_ptr<Model> model(Model::create("plane", file, 0, 0, "data/models/"));
    ASSERT_NE(model, nullptr);
    MergedMesh coarse;
    // Gathered or not, no vertex takes a mix of the two swatches.
    ASSERT_TRUE(buildMergedMesh(*model, 0.5f, coarse));
    bool bothSwatches[2] = {false, false};
    for (std::size_t k = coarse.nodeStart[0]; k < coarse.nodeStart[1]; ++k) {
        const float u = coarse.vertices[coarse.indices[k]].u;
        EXPECT_TRUE(u == 0.75f || u == 0.0f || u == 1.0f) << u;
        bothSwatches[u == 0.75f ? 1 : 0] = true;
    }
    EXPECT_TRUE(bothSwatches[0] && bothSwatches[1]);
}

TEST(ModelLevels, TheLevelFollowsTheSizeOnScreenAndSkipsMissingLevels)
{
    bool all[kModelLevelCount];
    std::fill(std::begin(all), std::end(all), true);
    EXPECT_EQ(modelLevelFor(500.0f, all), 0);
    EXPECT_EQ(modelLevelFor(33.0f, all), 0);
    EXPECT_EQ(modelLevelFor(32.0f, all), 1);
    EXPECT_EQ(modelLevelFor(10.0f, all), 4);
    EXPECT_EQ(modelLevelFor(1.0f, all), kModelLevelCount - 1);
    // Whatever the size, the chosen cell stays under half a pixel, and the
    // next coarser level would not.
    for (float pixels = 0.5f; pixels < 40.0f; pixels *= 1.07f) {
        const int level = modelLevelFor(pixels, all);
        if (level > 0) {
            EXPECT_LE(pixels / kLevelDivisions[level], 0.5f) << pixels;
        }
        if (level + 1 < kModelLevelCount) {
            EXPECT_GT(pixels / kLevelDivisions[level + 1], 0.5f) << pixels;
        }
    }
    bool someMissing[kModelLevelCount] = {true, true};
    EXPECT_EQ(modelLevelFor(1.0f, someMissing), 1);
    const bool onlyFull[1] = {true};
    EXPECT_EQ(modelLevelFor(1.0f, onlyFull), 0);
    EXPECT_EQ(modelLevelFor(std::nanf(""), all), 0);
}

}  // namespace
