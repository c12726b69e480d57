#include "PngTestFiles.h"
#include "TestSheets.h"

#include "platform/File.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteCutOut.h"
#include "render/assets/TextureCache.h"
#include "render/internal/SpriteQuads.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cmath>

namespace {

// Every texel names its own place: red x, green y, blue 7, opaque.
TextureImage placeImage(int width, int height)
{
    TextureImage image;
    image.width = width;
    image.height = height;
    image.levels.emplace_back();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.levels[0].insert(image.levels[0].end(),
                                   {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7, 255});
    return image;
}

const std::uint8_t* texelAt(const TextureImage& image, int x, int y)
{
    return image.levels[0].data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
}

}  // namespace

TEST(SpriteCutOut, KeptModulesBringTheirTexelsAndBorder)
{
    const SpriteSheet sheet = testsheets::basicSheet();
    const TextureImage image = placeImage(64, 64);
    const int frames[] = {3};   // module 1 alone
    SpriteSheet cut;
    TextureImage cutImage;
    ASSERT_TRUE(cutOutFrames(sheet, image, frames, cut, cutImage));
    EXPECT_EQ(cut.frames.size(), sheet.frames.size());
    EXPECT_EQ(cut.parts.size(), sheet.parts.size());
    EXPECT_EQ(cut.texWidth, cutImage.width);
    EXPECT_EQ(cut.texHeight, cutImage.height);
    EXPECT_LE(cutImage.width * cutImage.height, (4 + 4) * (6 + 2));   // 4x6 plus borders, clipped at the top
    for (std::size_t m = 0; m < cut.modules.size(); ++m) {
        if (m != 1) {
            EXPECT_EQ(cut.modules[m].w, 0) << "module " << m;
        }
    }
    const SpriteSheet::Module& was = sheet.modules[1];
    const SpriteSheet::Module& now = cut.modules[1];
    ASSERT_EQ(now.w, was.w);
    ASSERT_EQ(now.h, was.h);
    // The module and the two texels around it (where the sheet has them).
    for (int dy = -2; dy < was.h + 2; ++dy)
        for (int dx = -2; dx < was.w + 2; ++dx) {
            if (was.y + dy < 0)
                continue;
            const std::uint8_t* from = texelAt(image, was.x + dx, was.y + dy);
            const std::uint8_t* to = texelAt(cutImage, now.x + dx, now.y + dy);
            EXPECT_TRUE(std::equal(from, from + 4, to)) << dx << "," << dy;
        }
}

TEST(SpriteCutOut, ABandOfRowsCutsAsTheWholeSheet)
{
    const SpriteSheet sheet = testsheets::basicSheet();
    const TextureImage image = placeImage(64, 64);
    for (const std::vector<int>& frames : {std::vector<int>{3}, std::vector<int>{2}, std::vector<int>{2, 3}}) {
        SpriteSheet band, whole, fromBand;
        TextureImage wholeImage, bandImage = image, fromBandImage;
        int first = -1;
        ASSERT_TRUE(cutOutBand(sheet, frames, band, first));
        ASSERT_TRUE(first >= 0 && first + band.texHeight <= image.height && band.texHeight < image.height);
        bandImage.height = band.texHeight;
        bandImage.levels[0].assign(image.levels[0].begin() + first * 64 * 4,
                                   image.levels[0].begin() + (first + band.texHeight) * 64 * 4);
        ASSERT_TRUE(cutOutFrames(sheet, image, frames, whole, wholeImage));
        ASSERT_TRUE(cutOutFrames(band, bandImage, frames, fromBand, fromBandImage));
        EXPECT_EQ(fromBandImage.levels, wholeImage.levels);
        ASSERT_TRUE(fromBand.texWidth == whole.texWidth && fromBand.texHeight == whole.texHeight);
        const std::vector<ModuleArt> artWhole = moduleArt(sheet, image), artBand = moduleArt(band, bandImage);
        for (std::size_t m = 0; m < whole.modules.size(); ++m) {
            const SpriteSheet::Module &a = whole.modules[m], &b = fromBand.modules[m];
            EXPECT_TRUE(a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h) << "module " << m;
            if (a.w == 0)
                continue;
            const SpriteSheet::Module &k = artWhole[m].kept, &l = artBand[m].kept;
            EXPECT_TRUE(k.x == l.x && k.y == l.y && k.w == l.w && k.h == l.h) << "module " << m;
            EXPECT_EQ(artWhole[m].opaque, artBand[m].opaque) << "module " << m;
        }
    }
}

TEST(SpriteCutOut, BadRequestsLeaveTheOutputsAlone)
{
    const SpriteSheet sheet = testsheets::basicSheet();
    SpriteSheet cut;
    cut.texWidth = 3;
    TextureImage cutImage;
    const int unknown[] = {5};
    EXPECT_FALSE(cutOutFrames(sheet, placeImage(64, 64), unknown, cut, cutImage));
    const int good[] = {2};
    EXPECT_FALSE(cutOutFrames(sheet, placeImage(32, 64), good, cut, cutImage)) << "not the sheet's size";
    TextureImage empty;
    empty.width = empty.height = 64;
    EXPECT_FALSE(cutOutFrames(sheet, empty, good, cut, cutImage));
    // A sheet that does not hold together (a part of a module it lacks, a
    // module past the picture) is refused rather than read past its end.
    SpriteSheet damaged = sheet;
    damaged.parts[2].module = 200;
    EXPECT_FALSE(cutOutFrames(damaged, placeImage(64, 64), good, cut, cutImage));
    damaged = sheet;
    damaged.modules[3].x = 62;
    EXPECT_FALSE(cutOutFrames(damaged, placeImage(64, 64), good, cut, cutImage));
    damaged = sheet;
    damaged.frames[2].partCount = 400;
    EXPECT_FALSE(cutOutFrames(damaged, placeImage(64, 64), good, cut, cutImage));
    EXPECT_EQ(cut.texWidth, 3);
    EXPECT_TRUE(cutImage.levels.empty());
}

// Loaded through the file layer, the cut-out draws the kept frame's quads
// where the whole sheet does, each over the same texels.
TEST(SpriteCutOut, SpriteDrawsTheKeptFrameOverTheSameTexels)
{
    TempDir dir;
    const TextureImage image = placeImage(64, 64);
    dir.write("data/sprites/basic.png", encodeTestPng(64, 64, PNG_COLOR_TYPE_RGBA, image.levels[0]));
    const std::vector<std::uint8_t> sheetBytes = writeSpriteSheet(testsheets::basicSheet());
    dir.write("data/sprites/basic.bspr", std::string(sheetBytes.begin(), sheetBytes.end()));
    setDataRoot(dir.folder());
    setSaveFolder(dir.folder() + "nosave/");

    CSprite whole, cut;
    ASSERT_TRUE(whole.load("data/sprites/basic.bspr", 2.0f));
    const int frames[] = {2};
    ASSERT_TRUE(cut.loadCutOut("data/sprites/basic.bspr", 2.0f, frames));
    ASSERT_NE(cut.texture(), nullptr);
    EXPECT_NE(cut.texture(), whole.texture());
    SpriteSheet cutSheet;
    TextureImage cutImage;
    ASSERT_TRUE(cutOutFrames(testsheets::basicSheet(), image, frames, cutSheet, cutImage));

    testsheets::BatchRecorder recorder;
    const auto quadsOf = [&recorder](const CSprite& sprite) {
        recorder.quads.clear();
        sprite.drawNinePatch(2, 10.0f, 20.0f, 50.0f, 30.0f);
        return recorder.drawn();
    };
    const std::vector<testsheets::RecordedQuad> a = quadsOf(whole), b = quadsOf(cut);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    // The texel under each quad's centre holds the same place of the picture.
    const auto centreTexel = [](const testsheets::RecordedQuad& q, const TextureImage& picture) {
        float u = 0.0f, v = 0.0f;
        for (const SpriteVertex& c : q.v) {
            u += c.u / 4.0f;
            v += c.v / 4.0f;
        }
        return texelAt(picture, static_cast<int>(std::floor(u * picture.width)),
                       static_cast<int>(std::floor(v * picture.height)));
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_FLOAT_EQ(a[i].minX(), b[i].minX());
        EXPECT_FLOAT_EQ(a[i].maxY(), b[i].maxY());
        const std::uint8_t* p = centreTexel(a[i], image);
        const std::uint8_t* q = centreTexel(b[i], cutImage);
        EXPECT_TRUE(std::equal(p, p + 4, q)) << "quad " << i;
    }
    EXPECT_TRUE(quadsOf(cut).size() > 0);
    recorder.quads.clear();
    cut.drawFrame(0, 0.0f, 0.0f);
    EXPECT_TRUE(recorder.drawn().empty()) << "frames not kept draw nothing";
    whole.free();
    cut.free();
}
