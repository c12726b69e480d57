#include "PngTestFiles.h"
#include "TestSheets.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/TextureCache.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <png.h>

// Sheets loaded by name through the file layer, without a graphics device:
// textures keep their size and reference count but no GL object.
namespace {

std::string bytesOf(const SpriteSheet& sheet)
{
    const std::vector<std::uint8_t> bytes = writeSpriteSheet(sheet);
    return std::string(bytes.begin(), bytes.end());
}

struct SpriteLoading : testing::Test {
    void SetUp() override
    {
        const std::string png = encodeTestPng(64, 64, PNG_COLOR_TYPE_RGBA, std::vector<std::uint8_t>(64 * 64 * 4, 255));
        dir.write("data/sprites/basic.png", png);
        dir.write("data/sprites/basic.bspr", bytesOf(testsheets::basicSheet()));
        std::string damaged = bytesOf(testsheets::basicSheet());
        damaged.resize(damaged.size() - 3);
        dir.write("data/sprites/damaged.bspr", damaged);
        SpriteSheet wrongSize = testsheets::basicSheet();
        wrongSize.texWidth = 128;
        dir.write("data/sprites/wrongsize.bspr", bytesOf(wrongSize));
        SpriteSheet noTexture = testsheets::basicSheet();
        noTexture.textureName = "missing.png";
        dir.write("data/sprites/notexture.bspr", bytesOf(noTexture));
        setDataRoot(dir.folder());
        setSaveFolder(dir.folder() + "nosave/");
    }
    TempDir dir;
};

TEST_F(SpriteLoading, GoodSheetHoldsOneTextureReferenceUntilFreed)
{
    CSprite sprite;
    ASSERT_TRUE(sprite.load("data/sprites/basic.bspr", 2.0f));
    EXPECT_FLOAT_EQ(sprite.baseScale(), 2.0f);
    EXPECT_EQ(sprite.frameCount(), 5);
    Texture2D* texture = findCachedTexture("data/sprites/basic.png");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(sprite.texture(), texture);
    EXPECT_EQ(texture->referenceCount(), 1);
    sprite.free();
    EXPECT_EQ(findCachedTexture("data/sprites/basic.png"), nullptr);
    EXPECT_FALSE(sprite.isLoaded());
}

TEST_F(SpriteLoading, BadSheetsFailAndLeaveTheSpriteEmpty)
{
    for (const char* name : {"data/sprites/damaged.bspr", "data/sprites/wrongsize.bspr",
                             "data/sprites/notexture.bspr", "data/sprites/absent.bspr"}) {
        CSprite sprite;
        EXPECT_FALSE(sprite.load(name, 1.0f)) << name;
        EXPECT_FALSE(sprite.isLoaded());
        int w = -1, h = -1;
        sprite.frameBounds(0, w, h);
        EXPECT_EQ(w, 0);
    }
    // The texture of the wrongly sized sheet was not kept.
    EXPECT_EQ(findCachedTexture("data/sprites/basic.png"), nullptr);
}

// Blank texels around a module's art add nothing to the screen, so its quad
// is cut down to the art plus one texel that filtering still reaches.
TEST_F(SpriteLoading, QuadsSkipTheBlankBorderOfTheirModule)
{
    std::vector<std::uint8_t> texels(64 * 64 * 4, 0);
    const auto paint = [&](int x, int y) { std::fill_n(texels.begin() + (y * 64 + x) * 4, 4, std::uint8_t{255}); };
    for (int y = 2; y <= 5; ++y)
        for (int x = 3; x <= 4; ++x)
            paint(x, y);   // module 0: art at (3,2)-(4,5) of its 8 x 8
    paint(20, 0);          // module 11: one texel in its top-left corner
    dir.write("data/sprites/trim.png", encodeTestPng(64, 64, PNG_COLOR_TYPE_RGBA, texels));
    SpriteSheet sheet = testsheets::basicSheet();
    sheet.textureName = "trim.png";
    dir.write("data/sprites/trim.bspr", bytesOf(sheet));

    CSprite sprite;
    ASSERT_TRUE(sprite.load("data/sprites/trim.bspr", 2.0f));
    testsheets::BatchRecorder recorder;
    const auto drawn = [&](auto draw) {
        recorder.quads.clear();
        draw();
        spriteBatch().flush();
        return recorder.quads;
    };
    // Texels 2..5 across and 1..6 down are kept, at twice their size.
    auto quads = drawn([&] { sprite.drawModule(0, 100.0f, 100.0f); });
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].minX(), 104.0f);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 112.0f);
    EXPECT_FLOAT_EQ(quads[0].minY(), 102.0f);
    EXPECT_FLOAT_EQ(quads[0].maxY(), 114.0f);
    EXPECT_FLOAT_EQ(quads[0].v[0].u, 2.0f / 64.0f);
    EXPECT_FLOAT_EQ(quads[0].v[1].u, 6.0f / 64.0f);
    EXPECT_FLOAT_EQ(quads[0].v[0].v, 1.0f / 64.0f);
    EXPECT_FLOAT_EQ(quads[0].v[2].v, 7.0f / 64.0f);

    // Mirrored, the kept box comes from the other side and the texture runs backwards.
    quads = drawn([&] { sprite.drawModule(0, 100.0f, 100.0f, CSprite::kMirror | CSprite::kFlipVertical); });
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].minX(), 104.0f);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 112.0f);
    EXPECT_FLOAT_EQ(quads[0].minY(), 102.0f);
    EXPECT_FLOAT_EQ(quads[0].maxY(), 114.0f);
    EXPECT_FLOAT_EQ(quads[0].v[0].u, 6.0f / 64.0f);
    EXPECT_FLOAT_EQ(quads[0].v[1].u, 2.0f / 64.0f);
    EXPECT_FLOAT_EQ(quads[0].v[0].v, 7.0f / 64.0f);

    // Stretched over a box, the cut keeps its share of the box.
    quads = drawn([&] { sprite.drawModuleStretched(0, 0.0f, 0.0f, 80.0f, 16.0f); });
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].minX(), 20.0f);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 60.0f);
    EXPECT_FLOAT_EQ(quads[0].minY(), 2.0f);
    EXPECT_FLOAT_EQ(quads[0].maxY(), 14.0f);

    // A wholly blank module draws nothing; art at an edge keeps that edge.
    EXPECT_TRUE(drawn([&] { sprite.drawModule(1, 0.0f, 0.0f); }).empty());
    quads = drawn([&] { sprite.drawModule(11, 0.0f, 0.0f); });
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].minX(), 0.0f);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 4.0f);
    EXPECT_FLOAT_EQ(quads[0].maxY(), 4.0f);

    // Art with blank texels never skips blending.
    recorder.opaqueRuns.clear();
    drawn([&] { sprite.drawModule(0, 0.0f, 0.0f); });
    EXPECT_EQ(recorder.opaqueRuns, std::vector<bool>{false});

    // A texture swapped in has other art: modules draw whole again.
    sprite.setTexture(nullptr);
    quads = drawn([&] { sprite.drawModule(1, 0.0f, 0.0f); });
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 8.0f);
    sprite.free();
}

// Fully opaque art may draw unblended, but not under a see-through tint.
TEST_F(SpriteLoading, OpaqueArtDrawsUnblendedOnlyWhenUntinted)
{
    CSprite sprite;
    ASSERT_TRUE(sprite.load("data/sprites/basic.bspr", 1.0f));
    testsheets::BatchRecorder recorder;
    sprite.drawModule(0, 0.0f, 0.0f);
    spriteBatch().flush();
    sprite.setColorBytes(255, 255, 255, 200);
    sprite.drawModule(0, 0.0f, 0.0f);
    spriteBatch().flush();
    EXPECT_EQ(recorder.opaqueRuns, (std::vector<bool>{true, false}));
}

// A sheet a stretch of the game never draws lets its texture go but keeps its
// frames; the first draw brings the texture back, once.
TEST_F(SpriteLoading, ReleasedTextureComesBackAtTheFirstDraw)
{
    CSprite sprite;
    ASSERT_TRUE(sprite.load("data/sprites/basic.bspr", 2.0f));
    int width = 0, height = 0;
    sprite.frameBounds(0, width, height);
    sprite.releaseTexture();
    EXPECT_TRUE(sprite.isLoaded());
    EXPECT_FALSE(sprite.textureResident());
    EXPECT_EQ(sprite.texture(), nullptr);
    EXPECT_EQ(findCachedTexture("data/sprites/basic.png"), nullptr) << "the cache's last reference is gone";
    int keptWidth = 0, keptHeight = 0;
    sprite.frameBounds(0, keptWidth, keptHeight);
    EXPECT_EQ(keptWidth, width);
    EXPECT_EQ(keptHeight, height);

    testsheets::BatchRecorder recorder;
    std::vector<const Texture2D*> drawnWith;
    spriteBatch().setDrawHook([&drawnWith](std::span<const SpriteVertex>, const Texture2D* texture, const ClipRect&) {
        drawnWith.push_back(texture);
    });
    sprite.drawModule(0, 0.0f, 0.0f);
    spriteBatch().flush();
    Texture2D* texture = findCachedTexture("data/sprites/basic.png");
    ASSERT_NE(texture, nullptr);
    EXPECT_TRUE(sprite.textureResident());
    EXPECT_EQ(sprite.texture(), texture);
    EXPECT_EQ(texture->referenceCount(), 1);
    EXPECT_EQ(drawnWith, std::vector<const Texture2D*>{texture});
    sprite.free();
    EXPECT_EQ(findCachedTexture("data/sprites/basic.png"), nullptr);
}

TEST_F(SpriteLoading, ReleasedTextureThatCannotComeBackDrawsNothing)
{
    CSprite sprite;
    ASSERT_TRUE(sprite.load("data/sprites/basic.bspr", 1.0f));
    sprite.releaseTexture();
    dir.write("data/sprites/basic.png", "not a picture");
    int warnings = 0;
    setLogCapture([&warnings](LogLevel level, const std::string&, const std::string&) {
        warnings += level == LogLevel::Warning;
    });
    testsheets::BatchRecorder recorder;
    for (int frame = 0; frame < 3; ++frame)
        sprite.drawModule(0, 0.0f, 0.0f);
    EXPECT_TRUE(recorder.drawn().empty()) << "no quad without its texture";
    EXPECT_FALSE(sprite.restoreTexture());
    const int afterFirstTry = warnings;
    EXPECT_GT(afterFirstTry, 0);
    sprite.drawModule(0, 0.0f, 0.0f);
    EXPECT_EQ(warnings, afterFirstTry) << "a failed reload is not read again every frame";
    setLogCapture({});

    // A texture swapped in is not the sprite's to let go.
    Texture2D swapped;
    sprite.setTexture(&swapped);
    sprite.releaseTexture();
    EXPECT_TRUE(sprite.textureResident());
    EXPECT_EQ(sprite.texture(), &swapped);
    sprite.free();
}

TEST_F(SpriteLoading, FontNeedsAGlyphTable)
{
    CFont font;
    EXPECT_FALSE(font.load("data/sprites/basic.bspr", 1.0f));
    EXPECT_FALSE(font.isLoaded());
    EXPECT_FLOAT_EQ(font.measure(u"abc").width, 0.0f);
}

TEST(SpriteSetTable, NamesAndNumbersMatch)
{
    EXPECT_EQ(spriteSetNames().size(), static_cast<std::size_t>(kSpriteSetCount));
    EXPECT_EQ(spriteSetNames()[kSpriteSetMenus], "data/sprites/menus");
    EXPECT_EQ(spriteSetByName("data/sprites/hud_wwii"), kSpriteSetHud);
    EXPECT_EQ(spriteSetByName("data/sprites/c3m8.bspr"), 45);
    EXPECT_EQ(spriteSetByName("data/sprites/c1m1"), 22);
    EXPECT_EQ(spriteSetByName(""), -1);
    EXPECT_EQ(spriteSetByName("data/sprites/nothing"), -1);
}

TEST(SpriteSetTable, ParticleSetUsesThePreloadedEffectsTexture)
{
    TempDir dir;
    SpriteSheet particles = testsheets::basicSheet();
    particles.textureName.clear();   // the sheet's own name with ".png"
    dir.write("data/FX/fx.bspr", bytesOf(particles));
    dir.write("data/FX/fx.png", encodeTestPng(64, 64, PNG_COLOR_TYPE_RGBA, std::vector<std::uint8_t>(64 * 64 * 4, 255)));
    setDataRoot(dir.folder());
    setSaveFolder(dir.folder() + "nosave/");
    TextureRef preloaded = getTexture("data/FX/fx.png");
    ASSERT_TRUE(preloaded);
    unloadSprite(3);
    ASSERT_TRUE(getSprite(3)->isLoaded());
    EXPECT_EQ(getSprite(3)->texture(), preloaded.get());
    unloadSprite(3);
}

TEST(SpriteSetTable, UnknownOrMissingSetsAreEmptyNotNull)
{
    TempDir empty;
    setDataRoot(empty.folder());
    setSaveFolder(empty.folder() + "nosave/");
    for (int set : {-1, kSpriteSetCount, 1, 12}) {
        CSprite* sprite = getSprite(set);
        ASSERT_NE(sprite, nullptr);
        EXPECT_FALSE(sprite->isLoaded());
    }
    unloadSprite(12);
    unloadSprite(-4);
    ASSERT_NE(getFont(7), nullptr);
    EXPECT_FALSE(getFont(7)->isLoaded());
    EXPECT_FLOAT_EQ(measureString(getFont(0), u"abc").width, 0.0f);
    reloadFonts();
}

TEST(FontTable, ALanguageWithAFontOfItsOwnGetsItAfterReload)
{
    TempDir dir;
    dir.write("data/fonts/font1.png", encodeTestPng(16, 16, PNG_COLOR_TYPE_RGBA, std::vector<std::uint8_t>(16 * 16 * 4, 255)));
    SpriteSheet common = testsheets::monoFont(), japanese = testsheets::monoFont();
    common.textureName = japanese.textureName = "font1.png";
    japanese.font.glyphHeight = 15;
    dir.write("data/fonts/font1.bspr", bytesOf(common));
    dir.write("data/fonts/font1_ja.bspr", bytesOf(japanese));
    setDataRoot(dir.folder());
    setSaveFolder(dir.folder() + "nosave/");
    const float scale = spriteLoadScale();

    (void)setLanguageByCode("EN");   // no string tables here: only the language number matters
    reloadFonts();
    EXPECT_FLOAT_EQ(getFont(1)->lineHeight(), 12.0f * scale);
    dir.write("data/fonts/font0.bspr", bytesOf(common));
    dir.write("data/fonts/font0_ja.bspr", bytesOf(japanese));
    CFont* hud = loadHudFont(2.0f);
    EXPECT_FLOAT_EQ(hud->lineHeight(), 24.0f);
    (void)setLanguageByCode("JA");
    EXPECT_FLOAT_EQ(getFont(1)->lineHeight(), 12.0f * scale);   // loaded fonts stay until reloaded
    reloadFonts();
    EXPECT_FLOAT_EQ(getFont(1)->lineHeight(), 15.0f * scale);
    EXPECT_FLOAT_EQ(hud->lineHeight(), 30.0f);   // the HUD's pointer holds the new font at its scale
    (void)setLanguageByCode("FR");
    reloadFonts();
    EXPECT_FLOAT_EQ(getFont(1)->lineHeight(), 12.0f * scale);
    reloadFonts();
}

}  // namespace
