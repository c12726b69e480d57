#include "TestSheets.h"

#include "render/2d/SpriteSheet.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>

namespace {

std::vector<std::uint8_t> basicBytes()
{
    return writeSpriteSheet(testsheets::basicSheet());
}

// Byte offset of the module table's first record in a basic sheet file.
constexpr std::size_t kModulesAt = 4 + 2 + 2 + 4 + 2 + 9 + 2 + 2 + 2;

void putU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t v)
{
    bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

TEST(SpriteSheetFile, WrittenSheetReadsBackTheSame)
{
    SpriteSheet font = testsheets::monoFont();
    font.font.letterSpacing = -2;
    font.font.lineSpacing = 3;
    for (const SpriteSheet& original : {testsheets::basicSheet(), font}) {
        SpriteSheet read;
        ASSERT_TRUE(readSpriteSheet(writeSpriteSheet(original), read));
        EXPECT_EQ(read.textureName, original.textureName);
        EXPECT_EQ(read.texWidth, original.texWidth);
        ASSERT_EQ(read.modules.size(), original.modules.size());
        ASSERT_EQ(read.parts.size(), original.parts.size());
        ASSERT_EQ(read.frames.size(), original.frames.size());
        for (std::size_t i = 0; i < read.parts.size(); ++i)
            EXPECT_EQ(read.parts[i].y, original.parts[i].y);
        EXPECT_EQ(read.anims.size(), original.anims.size());
        EXPECT_EQ(read.hasFont, original.hasFont);
        EXPECT_EQ(read.font.glyphs.size(), original.font.glyphs.size());
        EXPECT_EQ(read.font.letterSpacing, original.font.letterSpacing);
        EXPECT_EQ(read.font.colors[7].b, original.font.colors[7].b);
    }
}

TEST(SpriteSheetFile, TruncatedOrPaddedFilesAreRejected)
{
    const std::vector<std::uint8_t> good = basicBytes();
    SpriteSheet out;
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(readSpriteSheet(cut, out)) << "length " << length;
    }
    std::vector<std::uint8_t> padded = good;
    padded.push_back(0);
    EXPECT_FALSE(readSpriteSheet(padded, out));
}

TEST(SpriteSheetFile, WrongHeaderIsRejected)
{
    SpriteSheet out;
    std::vector<std::uint8_t> bytes = basicBytes();
    bytes[0] = 'X';
    EXPECT_FALSE(readSpriteSheet(bytes, out));
    bytes = basicBytes();
    putU16(bytes, 4, 2);   // version
    EXPECT_FALSE(readSpriteSheet(bytes, out));
    bytes = basicBytes();
    putU16(bytes, 6, 4);   // unknown flag
    EXPECT_FALSE(readSpriteSheet(bytes, out));
    bytes = basicBytes();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&bytes[8], &nan, 4);
    EXPECT_FALSE(readSpriteSheet(bytes, out));
    // A scale far from any authoring density: a subnormal one made infinite sizes.
    for (const float scale : {1e-42f, 1e-4f, 1e5f}) {
        std::memcpy(&bytes[8], &scale, 4);
        EXPECT_FALSE(readSpriteSheet(bytes, out)) << scale;
    }
    // The pad byte of the first part: kept only if zero, or a write would lose it.
    const SpriteSheet sheet = testsheets::basicSheet();
    bytes = basicBytes();
    bytes[14 + sheet.textureName.size() + 4 + 2 + 8 * sheet.modules.size() + 2 + 7] = 1;
    EXPECT_FALSE(readSpriteSheet(bytes, out));
}

TEST(SpriteSheetFile, InconsistentTablesAreRejected)
{
    SpriteSheet out;
    std::vector<std::uint8_t> bytes = basicBytes();
    putU16(bytes, kModulesAt, 60);   // module 0 (8 wide) now reaches past the 64-pixel texture
    EXPECT_FALSE(readSpriteSheet(bytes, out));

    SpriteSheet sheet = testsheets::basicSheet();
    sheet.parts[3].module = static_cast<std::uint16_t>(sheet.modules.size());
    EXPECT_FALSE(readSpriteSheet(writeSpriteSheet(sheet), out));

    sheet = testsheets::basicSheet();
    sheet.frames[4].partCount = 4;   // one part past the table
    EXPECT_FALSE(readSpriteSheet(writeSpriteSheet(sheet), out));

    sheet = testsheets::basicSheet();
    sheet.animFrames[1].frame = 5;
    EXPECT_FALSE(readSpriteSheet(writeSpriteSheet(sheet), out));

    sheet = testsheets::basicSheet();
    sheet.anims[0].count = 3;
    EXPECT_FALSE(readSpriteSheet(writeSpriteSheet(sheet), out));

    sheet = testsheets::basicSheet();
    sheet.textureName = "../outside.png";
    EXPECT_FALSE(readSpriteSheet(writeSpriteSheet(sheet), out));

    sheet = testsheets::monoFont();
    std::swap(sheet.font.glyphs[2], sheet.font.glyphs[3]);
    EXPECT_FALSE(readSpriteSheet(writeSpriteSheet(sheet), out));

    sheet = testsheets::monoFont();
    sheet.font.glyphs[0].module = 7;
    EXPECT_FALSE(readSpriteSheet(writeSpriteSheet(sheet), out));
}

TEST(SpriteSheetFile, AFailedReadLeavesTheOutputAlone)
{
    SpriteSheet out = testsheets::monoFont();
    std::vector<std::uint8_t> bytes = basicBytes();
    bytes.pop_back();
    EXPECT_FALSE(readSpriteSheet(bytes, out));
    EXPECT_TRUE(out.hasFont);
    EXPECT_EQ(out.modules.size(), 2u);
}

TEST(SpriteSheetFile, HugeCountInASmallFileIsRejected)
{
    std::vector<std::uint8_t> bytes = basicBytes();
    putU16(bytes, kModulesAt - 2, 0xFFFF);
    SpriteSheet out;
    EXPECT_FALSE(readSpriteSheet(bytes, out));
}

}  // namespace
