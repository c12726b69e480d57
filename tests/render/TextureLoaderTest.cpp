#include "PngTestFiles.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/PvrFormat.h"
#include "support/AllocationProbe.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

namespace {

FileBuffer fileOf(const std::string& bytes)
{
    return FileBuffer(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

TextureImage imageWithMips(TextureFormat format, int width, int height, int levels)
{
    TextureImage image;
    image.format = format;
    image.width = width;
    image.height = height;
    for (int i = 0; i < levels; ++i)
        image.levels.emplace_back(textureLevelBytes(format, width, height, i), static_cast<std::uint8_t>(10 + i));
    return image;
}

// ---- .pvr -------------------------------------------------------------------

struct PvrFile : testing::Test {
    TextureImage source = imageWithMips(TextureFormat::LuminanceAlpha8, 8, 4, 4);
    std::vector<std::uint8_t> bytes = encodePvr(source);
    TextureImage out;
};

TEST_F(PvrFile, RoundTripKeepsSizeFormatAndEveryLevel)
{
    ASSERT_EQ(bytes.size(), kPvrHeaderBytes + 64 + 16 + 4 + 2);
    ASSERT_TRUE(decodePvr(bytes, out));
    EXPECT_EQ(out.format, TextureFormat::LuminanceAlpha8);
    EXPECT_EQ(out.width, 8);
    EXPECT_EQ(out.height, 4);
    EXPECT_EQ(out.levels, source.levels);
}

TEST_F(PvrFile, DroppedLevelsHalveTheSize)
{
    ASSERT_TRUE(decodePvr(bytes, out, 2));
    EXPECT_EQ(out.width, 2);
    EXPECT_EQ(out.height, 1);
    ASSERT_EQ(out.levels.size(), 2u);
    EXPECT_EQ(out.levels[0], source.levels[2]);
}

TEST_F(PvrFile, DroppingEveryLevelKeepsTheFullImage)
{
    ASSERT_TRUE(decodePvr(bytes, out, 4));
    EXPECT_EQ(out.width, 8);
    EXPECT_EQ(out.levels.size(), 4u);
}

TEST_F(PvrFile, DamagedHeadersAreRejected)
{
    const auto rejectedWith = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[at] = value;
        TextureImage image;
        return !decodePvr(damaged, image);
    };
    EXPECT_TRUE(rejectedWith(0, 'X'));    // magic
    EXPECT_TRUE(rejectedWith(4, 2));      // version
    EXPECT_TRUE(rejectedWith(6, 9));      // no such format
    EXPECT_TRUE(rejectedWith(8, 0));      // width 0
    EXPECT_TRUE(rejectedWith(10, 0));     // height 0
    EXPECT_TRUE(rejectedWith(9, 0xFF));   // width beyond the limit
    EXPECT_TRUE(rejectedWith(12, 0));     // no level
    EXPECT_TRUE(rejectedWith(12, 5));     // more levels than an 8x4 chain has
    EXPECT_TRUE(rejectedWith(12, 3));     // sizes and length disagree
    EXPECT_TRUE(rejectedWith(6, 0));      // RGBA needs twice the bytes
    EXPECT_TRUE(rejectedWith(14, 1));     // reserved word set
}

TEST_F(PvrFile, TruncatedOrPaddedFilesAreRejected)
{
    for (std::size_t length : {std::size_t{0}, std::size_t{3}, kPvrHeaderBytes, bytes.size() - 1}) {
        EXPECT_FALSE(decodePvr(std::span(bytes.data(), length), out)) << length;
    }
    bytes.push_back(0);
    EXPECT_FALSE(decodePvr(bytes, out));
    EXPECT_TRUE(out.levels.empty());
}

TEST(PvrEncode, RefusesInconsistentImages)
{
    TextureImage image = imageWithMips(TextureFormat::Rgba8, 4, 4, 2);
    image.levels[1].pop_back();
    EXPECT_TRUE(encodePvr(image).empty());
    EXPECT_TRUE(encodePvr(imageWithMips(TextureFormat::Rgba8, 4, 4, 0)).empty());
    EXPECT_TRUE(encodePvr(imageWithMips(TextureFormat::Rgba8, 4, 4, 4)).empty());
    EXPECT_TRUE(encodePvr(imageWithMips(TextureFormat::Rgba8, 0, 4, 1)).empty());
}

// ---- .raw -------------------------------------------------------------------

TEST(RawFile, ExactOrLongerFileGivesTheTexels)
{
    TextureImage out;
    FileBuffer exact(std::vector<std::uint8_t>(4 * 2 * 2, 7));
    ASSERT_TRUE(decodeRaw(exact, TextureFormat::LuminanceAlpha8, 4, 2, out));
    EXPECT_EQ(out.levels.at(0).size(), 16u);
    FileBuffer longer(std::vector<std::uint8_t>(100, 7));
    ASSERT_TRUE(decodeRaw(longer, TextureFormat::Alpha8, 8, 8, out));
    EXPECT_EQ(out.levels.at(0).size(), 64u);
    EXPECT_EQ(out.format, TextureFormat::Alpha8);
}

TEST(RawFile, ShortFileIsRejectedWithoutReadingPastItsEnd)
{
    TextureImage out;
    FileBuffer shortFile(std::vector<std::uint8_t>(64 * 64 * 2 - 1, 7));
    EXPECT_FALSE(decodeRaw(shortFile, TextureFormat::LuminanceAlpha8, 64, 64, out));
    FileBuffer empty;
    EXPECT_FALSE(decodeRaw(empty, TextureFormat::Alpha8, 1, 1, out));
    EXPECT_TRUE(out.levels.empty());
}

TEST(RawFile, NonsenseSizesAreRejected)
{
    TextureImage out;
    FileBuffer file(std::vector<std::uint8_t>(16, 7));
    EXPECT_FALSE(decodeRaw(file, TextureFormat::Alpha8, 0, 4, out));
    EXPECT_FALSE(decodeRaw(file, TextureFormat::Alpha8, 4, -4, out));
    EXPECT_FALSE(decodeRaw(file, TextureFormat::Alpha8, 100000, 1, out));
}

// ---- .png -------------------------------------------------------------------

TEST(PngFile, RgbaIsPremultipliedRowByRow)
{
    const std::string png = encodeTestPng(2, 1, PNG_COLOR_TYPE_RGBA, {255, 0, 0, 255, 200, 100, 50, 128});
    FileBuffer file = fileOf(png);
    TextureImage out;
    ASSERT_TRUE(decodePng(file, out));
    EXPECT_EQ(out.width, 2);
    EXPECT_EQ(out.height, 1);
    const std::vector<std::uint8_t> expected = {255, 0, 0, 255, 100, 50, 25, 128};
    EXPECT_EQ(out.levels.at(0), expected);
}

TEST(PngFile, GreyPaletteAndRgbExpandToOpaqueRgba)
{
    TextureImage out;
    FileBuffer grey = fileOf(encodeTestPng(1, 1, PNG_COLOR_TYPE_GRAY, {90}));
    ASSERT_TRUE(decodePng(grey, out));
    EXPECT_EQ(out.levels.at(0), (std::vector<std::uint8_t>{90, 90, 90, 255}));

    FileBuffer palette = fileOf(encodeTestPng(2, 1, PNG_COLOR_TYPE_PALETTE, {1, 0}, {10, 20, 30, 40, 50, 60}));
    ASSERT_TRUE(decodePng(palette, out));
    EXPECT_EQ(out.levels.at(0), (std::vector<std::uint8_t>{40, 50, 60, 255, 10, 20, 30, 255}));

    FileBuffer rgb = fileOf(encodeTestPng(1, 1, PNG_COLOR_TYPE_RGB, {1, 2, 3}));
    ASSERT_TRUE(decodePng(rgb, out));
    EXPECT_EQ(out.levels.at(0), (std::vector<std::uint8_t>{1, 2, 3, 255}));
}

TEST(PngFile, TruncatedFilesAreRejected)
{
    std::vector<std::uint8_t> pixels(16 * 16 * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 37);
    const std::string png = encodeTestPng(16, 16, PNG_COLOR_TYPE_RGBA, pixels);
    for (std::size_t length : {std::size_t{0}, std::size_t{7}, std::size_t{20}, png.size() / 2, png.size() - 13}) {
        FileBuffer file = fileOf(png.substr(0, length));
        TextureImage out;
        EXPECT_FALSE(decodePng(file, out)) << length;
        EXPECT_TRUE(out.levels.empty());
    }
}

TEST(PngFile, HeaderThatDisagreesWithTheDataIsRejected)
{
    std::string png = encodeTestPng(4, 4, PNG_COLOR_TYPE_RGBA, std::vector<std::uint8_t>(64, 200));
    // IHDR width at bytes 16..19: claim 40000 wide; the CRC no longer matches either.
    std::string wide = png;
    wide[17] = static_cast<char>(0x9C);
    wide[18] = 0x40;
    FileBuffer wideFile = fileOf(wide);
    TextureImage out;
    EXPECT_FALSE(decodePng(wideFile, out));

    std::string garbage = png;
    for (std::size_t i = 40; i < garbage.size() - 12; ++i)
        garbage[i] = static_cast<char>(i * 13);
    FileBuffer garbageFile = fileOf(garbage);
    EXPECT_FALSE(decodePng(garbageFile, out));

    FileBuffer notPng = fileOf("this is not an image at all, only some text");
    EXPECT_FALSE(decodePng(notPng, out));
}

// The IHDR height rewritten, with the chunk's CRC made to match again.
std::string withHeight(std::string png, unsigned height)
{
    for (int i = 0; i < 4; ++i)
        png[20 + i] = static_cast<char>(height >> (24 - 8 * i));
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    return png;
}

TEST(PngFile, ImageDataThatDoesNotFitTheHeaderIsRejected)
{
    const std::vector<std::uint8_t> rows(4 * 4 * 4, 200);
    TextureImage out;
    FileBuffer tooLittle = fileOf(withHeight(encodeTestPng(4, 2, PNG_COLOR_TYPE_RGBA, rows), 4));
    EXPECT_FALSE(decodePng(tooLittle, out));
    FileBuffer tooMuch = fileOf(withHeight(encodeTestPng(4, 4, PNG_COLOR_TYPE_RGBA, rows), 2));
    EXPECT_FALSE(decodePng(tooMuch, out));
    EXPECT_TRUE(out.levels.empty());
    FileBuffer matching = fileOf(withHeight(encodeTestPng(4, 4, PNG_COLOR_TYPE_RGBA, rows), 4));
    EXPECT_TRUE(decodePng(matching, out));
}

// Found by fuzzing: a 49-byte file whose text chunk declares 1.8 GB, and a
// 69-byte file with an 8192 x 8192 header. Refusing them is not enough; they
// must not cost memory on the way.
TEST(PngFile, AFewBytesOfHeaderCostNoMemory)
{
    for (const char* name : {"fault-huge-text-chunk.png", "fault-huge-header-short-data.png"}) {
        auto file = FileDisk::open(std::string(SKYFRONT_SOURCE_DIR) + "/tests/fuzz/corpus/png/" + name, "rb");
        ASSERT_TRUE(file) << name;
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(file->readAll(bytes));
        FileBuffer png(std::move(bytes));
        TextureImage out;
        allocprobe::reset();
        EXPECT_FALSE(decodePng(png, out)) << name;
        EXPECT_LT(allocprobe::largest(), 1u << 20) << name;
    }
    // A whole image as large as its data is still read.
    const std::vector<std::uint8_t> flat(512 * 512, 90);
    FileBuffer big = fileOf(encodeTestPng(512, 512, PNG_COLOR_TYPE_GRAY, flat));
    TextureImage out;
    EXPECT_TRUE(decodePng(big, out));
}

// ---- mip chain ----------------------------------------------------------------

TEST(MipChain, AveragesEachChannelDownToOneTexel)
{
    TextureImage image;
    image.format = TextureFormat::LuminanceAlpha8;
    image.width = 4;
    image.height = 2;
    image.levels.push_back({0, 0, 100, 100, 200, 200, 40, 40, 0, 0, 100, 100, 200, 200, 40, 40});
    ASSERT_TRUE(buildMipChain(image));
    ASSERT_EQ(image.levels.size(), 3u);
    EXPECT_EQ(image.levels[1], (std::vector<std::uint8_t>{50, 50, 120, 120}));
    EXPECT_EQ(image.levels[2], (std::vector<std::uint8_t>{85, 85}));
}

TEST(MipChain, Rgb565AveragesItsPackedFields)
{
    TextureImage image;
    image.format = TextureFormat::Rgb565;
    image.width = 2;
    image.height = 1;
    image.levels.push_back({0x00, 0xF8, 0x1F, 0x00});   // pure red, pure blue
    ASSERT_TRUE(buildMipChain(image));
    ASSERT_EQ(image.levels.size(), 2u);
    const unsigned v = image.levels[1][0] | (image.levels[1][1] << 8);
    EXPECT_EQ(v >> 11, 15u);
    EXPECT_EQ((v >> 5) & 0x3F, 0u);
    EXPECT_EQ(v & 0x1F, 15u);
}

// ---- grey pictures ---------------------------------------------------------------

// Grey texels keep their luminance and alpha at every level; one coloured
// texel anywhere, or another format, leaves the image whole.
TEST(GreyPictures, BecomeLuminanceAlphaOnlyWhenEveryTexelIsGrey)
{
    TextureImage grey;
    grey.width = 2;
    grey.height = 1;
    grey.levels.push_back({10, 10, 10, 200, 0, 0, 0, 0});
    grey.levels.push_back({5, 5, 5, 100});
    ASSERT_TRUE(narrowGreyToLuminanceAlpha(grey));
    EXPECT_EQ(grey.format, TextureFormat::LuminanceAlpha8);
    EXPECT_EQ(grey.levels[0], (std::vector<std::uint8_t>{10, 200, 0, 0}));
    EXPECT_EQ(grey.levels[1], (std::vector<std::uint8_t>{5, 100}));
    EXPECT_FALSE(narrowGreyToLuminanceAlpha(grey)) << "already narrow";

    TextureImage tinted = grey;
    tinted.format = TextureFormat::Rgba8;
    tinted.levels = {{10, 10, 10, 200, 0, 0, 0, 0}, {5, 5, 6, 100}};
    const TextureImage before = tinted;
    EXPECT_FALSE(narrowGreyToLuminanceAlpha(tinted)) << "a colour in the last level";
    EXPECT_EQ(tinted.format, TextureFormat::Rgba8);
    EXPECT_EQ(tinted.levels, before.levels);

    TextureImage broken;
    broken.width = 2;
    broken.height = 2;
    broken.levels.push_back({1, 1, 1, 1});
    EXPECT_FALSE(narrowGreyToLuminanceAlpha(broken)) << "a level of the wrong size";
}

// Each field reaches the full byte at its top and keeps its order; the
// ground's map picture is stored this way and drawn from 8-bit texels.
TEST(Rgb565Pictures, WidenToEightBitsAChannelAtEveryLevel)
{
    TextureImage packed;
    packed.format = TextureFormat::Rgb565;
    packed.width = 2;
    packed.height = 1;
    const auto texel = [](unsigned r, unsigned g, unsigned b) {
        const unsigned v = (r << 11) | (g << 5) | b;
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)};
    };
    std::vector<std::uint8_t> base = texel(31, 63, 31);
    const std::vector<std::uint8_t> second = texel(16, 32, 1);
    base.insert(base.end(), second.begin(), second.end());
    packed.levels = {base, texel(0, 0, 0)};
    ASSERT_TRUE(widenRgb565(packed));
    EXPECT_EQ(packed.format, TextureFormat::Rgb8);
    EXPECT_EQ(packed.levels[0], (std::vector<std::uint8_t>{255, 255, 255, 132, 130, 8}));
    EXPECT_EQ(packed.levels[1], (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_FALSE(widenRgb565(packed)) << "already wide";

    TextureImage broken;
    broken.format = TextureFormat::Rgb565;
    broken.width = 2;
    broken.height = 2;
    broken.levels.push_back({1, 2});
    EXPECT_FALSE(widenRgb565(broken)) << "a level of the wrong size";
    EXPECT_EQ(broken.format, TextureFormat::Rgb565);
}

TEST(MipChain, WrongSizedBaseLevelFails)
{
    TextureImage image;
    image.width = 2;
    image.height = 2;
    image.levels.push_back({1, 2, 3});
    EXPECT_FALSE(buildMipChain(image));
}

}  // namespace
