#include "render/assets/GlmFormat.h"

#include "GlmTestFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
bool reads(const std::vector<std::uint8_t>& bytes)
{
    GlmFile out;
    std::string fault;
    return readGlm(bytes, out, fault);
}

bool readsAfter(void (*damage)(GlmFile&))
{
    GlmFile file = makeTestGlm();
    damage(file);
    return reads(writeGlm(file));
}

void putU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(GlmRoundTrip, KeepsNamesMatricesBoundsAndData)
{
    const GlmFile written = makeTestGlm();
    GlmFile read;
    std::string fault;
    ASSERT_TRUE(readGlm(writeGlm(written), read, fault)) << fault;

    EXPECT_EQ(read.textures, written.textures);
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_EQ(read.objects[1].name, "hangar");
    EXPECT_EQ(read.objects[0].boundsMax.y, 2.0f);
    EXPECT_EQ(read.objects[1].boundsMin.z, -30.0f);
    EXPECT_EQ(read.objects[0].radius, 6.2f);
    EXPECT_EQ(read.objects[1].collFirstTriangle, 1u);
    ASSERT_EQ(read.nodes.size(), 4u);
    EXPECT_EQ(read.nodes[1].name, "jetglow");
    EXPECT_EQ(read.nodes[1].flags, GlmNode::kHelper);
    EXPECT_EQ(read.nodes[2].parent, 0);
    EXPECT_EQ(std::memcmp(read.nodes[2].matrix.m, written.nodes[2].matrix.m, sizeof(Mat4)), 0);
    EXPECT_EQ(read.nodes[2].texture, 1);
    EXPECT_EQ(read.nodes[3].vertexBase, 24u);
    EXPECT_EQ(read.nodes[3].firstIndex, 108u);
    EXPECT_EQ(read.nodes[0].centre.z, 0.0f);
    EXPECT_EQ(read.nodes[0].radius, 6.0f);
    EXPECT_EQ(read.indices, written.indices);
    ASSERT_EQ(read.vertices.size(), written.vertices.size());
    EXPECT_EQ(read.vertices[7].z, 6.0f);
    EXPECT_EQ(read.vertices[7].u, 1.0f);
    ASSERT_EQ(read.collision.size(), 3u);
    EXPECT_EQ(read.collision[2].c.y, 15.0f);
}

TEST(GlmDamagedFile, EveryTruncationIsRejected)
{
    const std::vector<std::uint8_t> bytes = writeGlm(makeTestGlm());
    for (std::size_t length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(reads(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + length))) << length;
}

TEST(GlmDamagedFile, TrailingBytesAndWrongHeaderAreRejected)
{
    std::vector<std::uint8_t> bytes = writeGlm(makeTestGlm());
    std::vector<std::uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(reads(longer));
    std::vector<std::uint8_t> magic = bytes;
    magic[3] = '2';
    EXPECT_FALSE(reads(magic));
    std::vector<std::uint8_t> version = bytes;
    putU32At(version, 4, 2);
    EXPECT_FALSE(reads(version));
}

TEST(GlmDamagedFile, CountsLargerThanTheFileAreRejected)
{
    // Header counts: vertices at 8, indices at 12, triangles at 16, textures at 20.
    for (std::size_t at : {8u, 12u, 16u, 20u}) {
        std::vector<std::uint8_t> bytes = writeGlm(makeTestGlm());
        putU32At(bytes, at, 0xFFFFFFFFu);
        EXPECT_FALSE(reads(bytes)) << at;
        putU32At(bytes, at, 0x7FFFFFFFu);
        EXPECT_FALSE(reads(bytes)) << at;
    }
}

TEST(GlmDamagedFile, RangesThatDisagreeWithTheTablesAreRejected)
{
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[3].indexCount += 3; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[0].firstIndex = 0xFFFFFFF0u; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[3].vertexCount = 9; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[1].indexCount = 35; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[0].texture = 2; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[0].texture = -2; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.objects[1].nodeCount = 2; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.objects[1].collTriangleCount = 3; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.objects[0].boundsMin.x = 5; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.objects.clear(); }));
}

TEST(GlmDamagedFile, IndexPastItsNodesVerticesIsRejected)
{
    // Index 8 exists in the file (node 1's first vertex) but not in node 0.
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.indices[5] = 8; }));
}

TEST(GlmDamagedFile, ParentOutsideItsObjectOrLaterIsRejected)
{
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[3].parent = 0; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[0].parent = 2; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[2].parent = 2; }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[2].parent = -5; }));
}

TEST(GlmDamagedFile, NonFiniteNumbersAreRejected)
{
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.vertices[3].ny = std::numeric_limits<float>::quiet_NaN(); }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.nodes[2].matrix.m[5] = std::numeric_limits<float>::infinity(); }));
    EXPECT_FALSE(readsAfter([](GlmFile& f) { f.collision[0].b.x = std::numeric_limits<float>::quiet_NaN(); }));
}

TEST(GlmDamagedFile, FailedReadLeavesTheOutputUntouched)
{
    std::vector<std::uint8_t> bytes = writeGlm(makeTestGlm());
    bytes.pop_back();
    GlmFile out;
    out.textures = {"kept"};
    std::string fault;
    EXPECT_FALSE(readGlm(bytes, out, fault));
    EXPECT_FALSE(fault.empty());
    EXPECT_EQ(out.textures, std::vector<std::string>{"kept"});
}
}  // namespace
