// The formats the data tool writes and the game reads: checked-in bytes read
// to known values, and known values write the same bytes.
#include "GlmTestFile.h"
#include "TestSheets.h"

#include "platform/File.h"
#include "render/assets/PvrFormat.h"
#include "render/world/Terrain.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

namespace {

TEST(GoldenFile, SpriteSheetAndFont)
{
    SpriteSheet known = testsheets::monoFont();
    const SpriteSheet basic = testsheets::basicSheet();
    known.sheetScale = 0.5f;
    known.textureName = "fonts/mono.png";
    known.parts = {{0, -3, 4, SpriteSheet::kFlipX, 0.25f}};
    known.frames = {{0, 1}};
    known.animFrames = basic.animFrames;
    known.anims = basic.anims;
    known.animFrames[1].frame = 0;
    std::string why;
    EXPECT_TRUE(golden::matches("sheet.bspr", writeSpriteSheet(known), why)) << why;

    SpriteSheet read;
    ASSERT_TRUE(readSpriteSheet(golden::read("sheet.bspr"), read));
    EXPECT_FLOAT_EQ(read.sheetScale, 0.5f);
    EXPECT_EQ(read.textureName, "fonts/mono.png");
    EXPECT_EQ(read.texWidth, 16);
    ASSERT_EQ(read.modules.size(), 2u);
    EXPECT_EQ(read.modules[0].h, 12);
    ASSERT_EQ(read.parts.size(), 1u);
    EXPECT_EQ(read.parts[0].x, -3);
    EXPECT_EQ(read.parts[0].flip, SpriteSheet::kFlipX);
    EXPECT_FLOAT_EQ(read.parts[0].rotation, 0.25f);
    EXPECT_EQ(read.animFrames[1].duration, 7);
    ASSERT_TRUE(read.hasFont);
    EXPECT_EQ(read.font.glyphHeight, 12);
    EXPECT_EQ(read.font.colors[1].r, 255);
    EXPECT_EQ(read.font.colors[1].g, 0);
    ASSERT_EQ(read.font.glyphs.size(), known.font.glyphs.size());
    EXPECT_EQ(read.font.glyphs.back().code, 0x4E8C);
    EXPECT_EQ(read.font.glyphs[2].xOff, 1);
    EXPECT_EQ(read.font.fallbackCode, u'?');
}

TEST(GoldenFile, Model)
{
    std::string why;
    EXPECT_TRUE(golden::matches("model.glm", writeGlm(makeTestGlm()), why)) << why;

    GlmFile read;
    std::string fault;
    ASSERT_TRUE(readGlm(golden::read("model.glm"), read, fault)) << fault;
    EXPECT_EQ(read.textures, (std::vector<std::string>{"units.pvr", "canopy.png"}));
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_EQ(read.objects[1].name, "hangar");
    EXPECT_FLOAT_EQ(read.objects[1].radius, 39.0f);
    EXPECT_EQ(read.objects[1].collTriangleCount, 2u);
    ASSERT_EQ(read.nodes.size(), 4u);
    EXPECT_EQ(read.nodes[1].flags, GlmNode::kHelper);
    EXPECT_EQ(read.nodes[2].parent, 0);
    EXPECT_FLOAT_EQ(read.nodes[2].matrix.m[14], -0.75f);
    EXPECT_EQ(read.nodes[2].texture, 1);
    EXPECT_EQ(read.vertices.size(), 32u);
    EXPECT_FLOAT_EQ(read.vertices[7].z, 6.0f);
    EXPECT_EQ(read.indices.size(), 144u);
    EXPECT_EQ(read.indices[3], 1);
    EXPECT_FLOAT_EQ(read.collision[2].c.y, 15.0f);
}

TEST(GoldenFile, TextureAndHeightField)
{
    TextureImage known;
    known.format = TextureFormat::Rgb565;
    known.width = 4;
    known.height = 2;
    known.levels = {{0x1F, 0x00, 0xE0, 0x07, 0x00, 0xF8, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8},
                    {0x34, 0x12, 0x78, 0x56},
                    {0xCD, 0xAB}};
    std::string why;
    EXPECT_TRUE(golden::matches("texture.pvr", encodePvr(known), why)) << why;
    TextureImage read;
    ASSERT_TRUE(decodePvr(golden::read("texture.pvr"), read));
    EXPECT_EQ(read.format, TextureFormat::Rgb565);
    EXPECT_EQ(read.width, 4);
    EXPECT_EQ(read.levels, known.levels);

    const Terrain::Layout layout{2, 50.0f, -10.0f, 655.35f};
    const std::vector<std::uint16_t> samples = {0, 100, 200, 300, 400, 500, 600, 700, 65535};
    EXPECT_TRUE(golden::matches("height.bin", Terrain::encode(layout, samples), why)) << why;
    FileBuffer file(golden::read("height.bin"));
    Terrain terrain;
    ASSERT_TRUE(terrain.load(file));
    EXPECT_EQ(terrain.layout().grid, 2);
    EXPECT_FLOAT_EQ(terrain.size(), 100.0f);
    EXPECT_NEAR(terrain.sampleHeight(0, 0), -10.0f, 1e-4f);
    EXPECT_NEAR(terrain.sampleHeight(1, 0), -9.0f, 1e-4f);
    EXPECT_NEAR(terrain.sampleHeight(2, 2), 645.35f, 1e-3f);
}
}  // namespace
