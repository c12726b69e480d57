#include "render/shadows/ShadowVolumeMesh.h"

#include "render/Graphics.h"
#include "render/shadows/ShadowVolumes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <utility>
#include <vector>

namespace {

constexpr float kLength = 100.0f;  // extrusion of these tests

// Two triangles of the quad a b c d, counter-clockwise seen from its front.
void addQuad(std::vector<Vec3>& out, Vec3 a, Vec3 b, Vec3 c, Vec3 d)
{
    out.insert(out.end(), {a, b, c, a, c, d});
}

// The cube -1..1, faces wound counter-clockwise seen from outside.
std::vector<Vec3> cube()
{
    std::vector<Vec3> t;
    addQuad(t, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1});      // top
    addQuad(t, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1});  // bottom
    addQuad(t, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1});      // +z
    addQuad(t, {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1});  // -z
    addQuad(t, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1});      // +x
    addQuad(t, {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1});  // -x
    return t;
}

// Every directed edge of the volume's triangles is matched by its reverse.
bool isClosedSurface(const ShadowVolumeBatch& b)
{
    std::map<std::pair<int, int>, int> walks;
    for (std::size_t i = 0; i + 2 < b.indices.size(); i += 3)
        for (std::size_t k = 0; k < 3; ++k)
            ++walks[{b.indices[i + k], b.indices[i + (k + 1) % 3]}];
    for (const auto& [edge, count] : walks) {
        const auto reverse = walks.find({edge.second, edge.first});
        if (reverse == walks.end() || reverse->second != count)
            return false;
    }
    return !walks.empty();
}

// Positive when the triangles face outward.
float signedVolume(const ShadowVolumeBatch& b)
{
    double sum = 0.0;
    for (std::size_t i = 0; i + 2 < b.indices.size(); i += 3) {
        const Vec3 p = b.vertex(b.indices[i]), q = b.vertex(b.indices[i + 1]), r = b.vertex(b.indices[i + 2]);
        sum += p.x * (q.y * r.z - q.z * r.y) - p.y * (q.x * r.z - q.z * r.x) + p.z * (q.x * r.y - q.y * r.x);
    }
    return static_cast<float>(sum / 6.0);
}

float lowestY(const ShadowVolumeBatch& b)
{
    float low = std::numeric_limits<float>::max();
    for (std::size_t i = 0; i < b.vertexCount(); ++i)
        low = std::min(low, b.vertex(i).y);
    return low;
}

Vec3 unit(Vec3 v)
{
    const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / len, v.y / len, v.z / len};
}

TEST(ShadowVolumeMesh, ClosedCubeLitFromAboveStandsOnItsFourTopEdges)
{
    const std::vector<Vec3> triangles = cube();
    const ShadowVolumeMesh mesh(triangles);
    EXPECT_TRUE(mesh.isClosed());
    EXPECT_EQ(mesh.vertexCount(), 8u);
    EXPECT_EQ(mesh.edgeCount(), 18u);  // 12 sides and 6 face diagonals

    ShadowVolumeBatch batch;
    std::size_t silhouette = 0;
    Mat4 at;
    at.m[12] = 10.0f;
    at.m[13] = 20.0f;
    at.m[14] = 30.0f;
    ASSERT_TRUE(mesh.appendVolume(at, {0, 1, 0}, kLength, batch, &silhouette));
    EXPECT_EQ(silhouette, 4u);
    EXPECT_TRUE(isClosedSurface(batch));
    // The 2 x 2 footprint swept down the whole length, facing outward.
    EXPECT_NEAR(signedVolume(batch), 4.0f * kLength, 0.5f);
    EXPECT_NEAR(lowestY(batch), 19.0f - kLength, 1e-3f);

    // A sun over a corner lights three faces: six silhouette edges.
    batch.clear();
    ASSERT_TRUE(mesh.appendVolume(Mat4{}, unit({1, 1, 1}), kLength, batch, &silhouette));
    EXPECT_EQ(silhouette, 6u);
    EXPECT_TRUE(isClosedSurface(batch));
    EXPECT_GT(signedVolume(batch), 0.0f);

    // A mirroring matrix turns every winding; the volume still faces outward.
    Mat4 mirror;
    mirror.m[0] = -1.0f;
    batch.clear();
    ASSERT_TRUE(mesh.appendVolume(mirror, {0, 1, 0}, kLength, batch, &silhouette));
    EXPECT_EQ(silhouette, 4u);
    EXPECT_TRUE(isClosedSurface(batch));
    EXPECT_NEAR(signedVolume(batch), 4.0f * kLength, 0.5f);
}

// Counted depth-pass, a volume keeps its near cap and walls but drops the far
// cap: the walls' far rim is then the only border left open, and the whole
// volume goes to the depth-pass list.
TEST(ShadowVolumeMesh, DepthPassVolumeHasNoFarCap)
{
    const std::vector<Vec3> triangles = cube();
    const ShadowVolumeMesh mesh(triangles);
    ShadowVolumeBatch capped, open;
    std::size_t cappedWalls = 0, openWalls = 0;
    const Vec3 sun = unit({1, 1, 1});
    ASSERT_TRUE(mesh.appendVolume(Mat4{}, sun, kLength, capped, &cappedWalls));
    ASSERT_TRUE(mesh.appendVolume(Mat4{}, sun, kLength, open, &openWalls, ShadowCounting::DepthPass));
    EXPECT_TRUE(capped.passIndices.empty());
    EXPECT_TRUE(open.indices.empty());
    EXPECT_EQ(openWalls, cappedWalls);
    const std::size_t wallIndices = cappedWalls * 6;
    const std::size_t capIndices = (capped.indices.size() - wallIndices) / 2;
    EXPECT_EQ(open.passIndices.size(), wallIndices + capIndices);

    // The open edges of what is left are the far rim: far copies only.
    std::map<std::pair<int, int>, int> walks;
    for (std::size_t i = 0; i + 2 < open.passIndices.size(); i += 3)
        for (std::size_t k = 0; k < 3; ++k)
            ++walks[{open.passIndices[i + k], open.passIndices[i + (k + 1) % 3]}];
    std::size_t rim = 0;
    for (const auto& [edge, count] : walks)
        if (walks.find({edge.second, edge.first}) == walks.end()) {
            ++rim;
            EXPECT_GE(static_cast<std::size_t>(edge.first), mesh.vertexCount()) << "a far copy";
            EXPECT_GE(static_cast<std::size_t>(edge.second), mesh.vertexCount()) << "a far copy";
        }
    EXPECT_EQ(rim, cappedWalls);
}

// An open quad has no inside: it casts the same closed volume from either side.
TEST(ShadowVolumeMesh, OpenQuadCastsFromEitherSideWithItsBorderAsSilhouette)
{
    std::vector<Vec3> up, down;
    addQuad(up, {-1, 0, 1}, {1, 0, 1}, {1, 0, -1}, {-1, 0, -1});
    addQuad(down, {-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1});
    for (const auto* triangles : {&up, &down}) {
        const ShadowVolumeMesh mesh(*triangles);
        EXPECT_FALSE(mesh.isClosed());
        ShadowVolumeBatch batch;
        std::size_t silhouette = 0;
        ASSERT_TRUE(mesh.appendVolume(Mat4{}, {0, 1, 0}, kLength, batch, &silhouette));
        EXPECT_EQ(silhouette, 4u);
        EXPECT_TRUE(isClosedSurface(batch));
        EXPECT_NEAR(signedVolume(batch), 4.0f * kLength, 0.5f);
    }
}

TEST(ShadowVolumeMesh, EmptyBrokenAndOversizedInputsAppendNothing)
{
    ShadowVolumeBatch batch;
    std::size_t silhouette = 9;
    const ShadowVolumeMesh empty(std::span<const Vec3>{});
    EXPECT_TRUE(empty.appendVolume(Mat4{}, {0, 1, 0}, kLength, batch, &silhouette));
    EXPECT_EQ(silhouette, 0u);
    EXPECT_TRUE(batch.vertices.empty());

    // A NaN corner, a triangle with two corners at one point and a stray
    // pair of points are left out; the cube stays closed.
    std::vector<Vec3> triangles = cube();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    triangles.insert(triangles.end(), {{nan, 0, 0}, {5, 0, 0}, {5, 5, 0}, {1, 1, 1}, {1, 1, 1}, {-1, 1, 1}, {3, 3, 3}, {4, 4, 4}});
    const ShadowVolumeMesh cubeWithJunk(triangles);
    EXPECT_EQ(cubeWithJunk.triangleCount(), 12u);
    EXPECT_TRUE(cubeWithJunk.isClosed());

    const ShadowVolumeMesh mesh(cube());
    Mat4 flat;  // squashes the caster onto a plane
    flat.m[5] = 0.0f;
    Mat4 broken;
    broken.m[13] = std::numeric_limits<float>::infinity();
    for (const Mat4& m : {flat, broken}) {
        EXPECT_FALSE(mesh.appendVolume(m, {0, 1, 0}, kLength, batch));
        EXPECT_TRUE(batch.vertices.empty());
        EXPECT_TRUE(batch.indices.empty());
    }

    // A batch that 16-bit indices could not address any further.
    batch.vertices.resize((ShadowVolumeBatch::kMaxVertices - 4) * ShadowVolumeBatch::kFloatsPerVertex);
    EXPECT_FALSE(mesh.appendVolume(Mat4{}, {0, 1, 0}, kLength, batch));
    EXPECT_TRUE(batch.indices.empty());
}

TEST(ShadowVolumeStrength, MatchesTheShadowMapsDarknessAndVanishesWithTheSun)
{
    LightRecord noon;  // sun straight above, ambient 0.4, diffuse 0.9 of white
    // Lit flat ground gets min(0.4 + 0.9, 1) and the shadow the ambient 0.4.
    EXPECT_NEAR(ShadowVolumes::shadowStrength(noon), 0.6f, 1e-5f);

    LightRecord night = noon;
    night.direction[1] = -0.3f;
    night.direction[0] = 0.95f;
    EXPECT_EQ(ShadowVolumes::shadowStrength(night), 0.0f);

    LightRecord dark{};
    for (int c = 0; c < 3; ++c)
        dark.ambient[c] = dark.diffuse[c] = 0.0f;
    EXPECT_EQ(ShadowVolumes::shadowStrength(dark), 0.0f);
}

}  // namespace
