#include "GlTestContext.h"

#include "platform/File.h"
#include "platform/Pak.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "support/TempDir.h"

#include <algorithm>
#include <functional>

namespace {

constexpr Rgba kBackground{0, 0, 0, 255};
constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

// A 2-D pass over a 128 x 128 target cleared to black. Screen pixel (x, y),
// y down, is target pixel (x, 127 - y).
struct Pass2D : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        useTarget(128, 128);
        clearTo(kBackground);
        begin2D();
    }
    void TearDown() override
    {
        if (!IsSkipped())
            end2D();
        GlTest::TearDown();
    }
    // Ends the pass (drawing what is pending) and reads screen pixel (x, y).
    Rgba at(int x, int y)
    {
        end2D();
        const Rgba c = pixel(x, 127 - y);
        begin2D();
        return c;
    }
    // The bounding box of pixels brighter than the background, screen rows.
    struct Box {
        int minX = 1000, minY = 1000, maxX = -1, maxY = -1;
    };
    Box inkBox()
    {
        end2D();
        const std::vector<Rgba> all = rect(0, 0, 128, 128);
        begin2D();
        Box box;
        for (int row = 0; row < 128; ++row) {
            for (int x = 0; x < 128; ++x) {
                const Rgba& c = all[static_cast<std::size_t>(row) * 128 + x];
                if (c.r + c.g + c.b > 60) {
                    const int y = 127 - row;
                    box.minX = std::min(box.minX, x);
                    box.maxX = std::max(box.maxX, x);
                    box.minY = std::min(box.minY, y);
                    box.maxY = std::max(box.maxY, y);
                }
            }
        }
        return box;
    }

    // A texture of 16 x 16 texels colored by `paint`, sampled without filtering.
    void makeTexture(const std::function<Rgba(int x, int y)>& paint)
    {
        TextureImage image;
        image.width = image.height = 16;
        std::vector<std::uint8_t> texels;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const Rgba c = paint(x, y);
                texels.insert(texels.end(), {c.r, c.g, c.b, c.a});
            }
        }
        image.levels.push_back(texels);
        ASSERT_TRUE(texture.upload(image, {TextureFilter::Nearest, TextureWrap::ClampToEdge}));
    }
    // A sheet over the 16 x 16 texture: module 0 the 8 x 8 top-left square,
    // module 1 the 12 x 12 box at (0, 0) cut into nine 4 x 4 modules 1..9;
    // frame 0 module 0 at (0, 0); frame 1 the nine-patch.
    void useSheet()
    {
        SpriteSheet sheet;
        sheet.texWidth = sheet.texHeight = 16;
        sheet.modules.push_back({0, 0, 8, 8});
        for (int i = 0; i < 9; ++i)
            sheet.modules.push_back({static_cast<std::uint16_t>(4 * (i % 3)), static_cast<std::uint16_t>(4 * (i / 3)), 4, 4});
        sheet.parts.push_back({0, 0, 0, 0, 0.0f});
        for (int i = 0; i < 9; ++i)
            sheet.parts.push_back({static_cast<std::uint16_t>(1 + i), static_cast<std::int16_t>(4 * (i % 3)),
                                   static_cast<std::int16_t>(4 * (i / 3)), 0, 0.0f});
        sheet.frames = {{0, 1}, {1, 9}};
        sprite.loadSheet(sheet, 1.0f);
        sprite.setTexture(&texture);
    }

    Texture2D texture;
    CSprite sprite;
};

TEST_F(Pass2D, ModuleLandsOnItsPixelsScaled)
{
    makeTexture([](int, int) { return kRed; });
    useSheet();
    sprite.setScale(2.0f, 2.0f);
    sprite.drawModule(0, 10, 20);
    EXPECT_TRUE(rgbNear(at(10, 20), kRed));
    EXPECT_TRUE(rgbNear(at(25, 35), kRed));
    EXPECT_TRUE(rgbNear(at(26, 20), kBackground));
    EXPECT_TRUE(rgbNear(at(10, 36), kBackground));
    EXPECT_TRUE(rgbNear(at(9, 20), kBackground));
}

TEST_F(Pass2D, MirroredFrameSwapsLeftAndRight)
{
    makeTexture([](int x, int) { return x < 4 ? kRed : kBlue; });
    useSheet();
    sprite.drawFrame(0, 20, 10);
    sprite.drawFrame(0, 80, 10, 0.0f, CSprite::kMirror);   // spans 72..79
    EXPECT_TRUE(rgbNear(at(21, 12), kRed));
    EXPECT_TRUE(rgbNear(at(26, 12), kBlue));
    EXPECT_TRUE(rgbNear(at(73, 12), kBlue));
    EXPECT_TRUE(rgbNear(at(78, 12), kRed));
    EXPECT_TRUE(rgbNear(at(80, 12), kBackground));
}

TEST_F(Pass2D, NinePatchKeepsCornersAndStretchesTheCentre)
{
    // Corners red, edges green, centre blue.
    makeTexture([](int x, int y) {
        const bool edgeX = x < 4 || (x >= 8 && x < 12), edgeY = y < 4 || (y >= 8 && y < 12);
        return edgeX && edgeY ? kRed : (edgeX || edgeY ? kGreen : kBlue);
    });
    useSheet();
    sprite.drawNinePatch(1, 10, 20, 100, 40);
    EXPECT_TRUE(rgbNear(at(10, 20), kRed));
    EXPECT_TRUE(rgbNear(at(13, 23), kRed));
    EXPECT_TRUE(rgbNear(at(106, 56), kRed));
    EXPECT_TRUE(rgbNear(at(109, 59), kRed));
    EXPECT_TRUE(rgbNear(at(60, 21), kGreen));
    EXPECT_TRUE(rgbNear(at(11, 40), kGreen));
    EXPECT_TRUE(rgbNear(at(60, 40), kBlue));
    EXPECT_TRUE(rgbNear(at(16, 26), kBlue));
    EXPECT_TRUE(rgbNear(at(110, 40), kBackground));
}

TEST_F(Pass2D, ClipRectangleHidesWhatLiesOutsideUntilPopped)
{
    pushClipRect();
    setClipRect(0, 0, 50, 128);
    drawFilledRect(0, 0, 128, 64, 255, 0, 0, 255);
    EXPECT_TRUE(rgbNear(at(49, 10), kRed));
    EXPECT_TRUE(rgbNear(at(50, 10), kBackground));
    EXPECT_TRUE(rgbNear(at(120, 10), kBackground));
    popClipRect();
    drawFilledRect(0, 64, 128, 64, 0, 255, 0, 255);
    EXPECT_TRUE(rgbNear(at(120, 100), kGreen));
}

TEST_F(Pass2D, GlobalColorFactorScalesTheColor)
{
    setGlobalColorFactor(0.5f, 0.5f, 0.5f, 1.0f);
    drawFilledRect(0, 0, 128, 128, 200, 100, 255, 255);
    EXPECT_TRUE(rgbNear(at(64, 64), {100, 50, 128, 255}, 3));
    setGlobalColorFactor(1.0f, 1.0f, 1.0f, 1.0f);
}

TEST_F(Pass2D, TranslucentTintBlendsOverTheBackground)
{
    drawFilledRect(0, 0, 128, 128, 0, 0, 200, 255);
    drawFilledRect(0, 0, 64, 128, 255, 0, 0, 128);
    EXPECT_TRUE(rgbNear(at(10, 10), {128, 0, 100, 255}, 3));
    EXPECT_TRUE(rgbNear(at(100, 10), {0, 0, 200, 255}));
}

// The data the data tool writes, read from the staged pak alone: fonts 0 to 2
// and the menu sheet.
struct StagedData : Pass2D {
    void SetUp() override
    {
        setDataRoot(noLooseFiles.folder());
        setSaveFolder(noLooseFiles.folder() + "save/");
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        Pass2D::SetUp();
    }
    void TearDown() override
    {
        Pass2D::TearDown();
        unmountAllPaks();
    }
    TempDir noLooseFiles;
};

TEST_F(StagedData, FontsAndTheMenuSheetLoad)
{
    for (int id = 0; id < kFontCount; ++id) {
        CFont* font = getFont(id);
        ASSERT_TRUE(font->isLoaded()) << "font " << id;
        EXPECT_NE(font->glyphSprite().texture(), nullptr);
        EXPECT_GT(font->lineHeight(), 10.0f);
        EXPECT_GT(font->measure(u"\u2471").width, 0.0f);   // the rank glyphs exist
    }
    EXPECT_LT(getFont(1)->lineHeight(), getFont(2)->lineHeight());
    CSprite* menus = getSprite(kSpriteSetMenus);
    ASSERT_TRUE(menus->isLoaded());
    EXPECT_NE(menus->texture(), nullptr);
    for (int frame : {0, 94, 95, 96, 97})
        EXPECT_EQ(menus->sheet().frames[static_cast<std::size_t>(frame)].partCount, 9) << "frame " << frame;
    EXPECT_EQ(menus->frameRect(0).w, menus->frameRect(95).w) << "frame 0 is the panel box too";
    const SpriteSheet::Frame& panel = menus->sheet().frames[95];
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(menus->sheet().parts[panel.firstPart + static_cast<std::size_t>(i)].module, 95 + i);
    // The button caps share the middle piece's height.
    int w = 0, h = 0, middle = 0;
    menus->frameBounds(156, w, middle);
    for (int frame : {155, 157, 158}) {
        menus->frameBounds(frame, w, h);
        EXPECT_EQ(h, middle) << "frame " << frame;
        EXPECT_GT(w, 0);
    }
}

TEST_F(StagedData, CentredTextIsCentredOnItsPoint)
{
    CFont* font = getFont(2);
    ASSERT_TRUE(font->isLoaded());
    drawString(font, u"HOME", 64, 64, CFont::kCentreX | CFont::kCentreY);
    const Box box = inkBox();
    ASSERT_GE(box.maxX, 0);
    EXPECT_NEAR((box.minX + box.maxX) / 2.0, 64.0, 2.0);
    EXPECT_NEAR(box.maxX - box.minX + 1, font->measure(u"HOME").width, 4.0);
    EXPECT_GE(box.minY, 64 - font->lineHeight() / 2 - 1);
    EXPECT_LE(box.maxY, 64 + font->lineHeight() / 2 + 1);
}

TEST_F(StagedData, ClippedTextStopsAtTheClipEdge)
{
    CFont* font = getFont(1);
    ASSERT_TRUE(font->isLoaded());
    pushClipRect();
    setClipRect(0, 0, 40, 128);
    drawString(font, u"WWWWWWWW", 4, 20, 0);
    popClipRect();
    const Box box = inkBox();
    ASSERT_GE(box.maxX, 0);
    EXPECT_EQ(box.maxX, 39);
    EXPECT_GT(font->measure(u"WWWWWWWW").width, 60.0f);
}

TEST_F(StagedData, NinePatchBoxWithACentredCaption)
{
    CSprite* menus = getSprite(kSpriteSetMenus);
    CFont* font = getFont(1);
    ASSERT_TRUE(menus->isLoaded() && font->isLoaded());
    menus->drawNinePatch(95, 4, 34, 120, 60);
    font->setColorBytes(255, 216, 115, 255);
    drawString(font, u"OK", 64, 64, CFont::kCentreX | CFont::kCentreY);
    font->setColor(Color4{});
    // Outside the box: background; its rounded corner pixel: clear; on its top
    // border: the light border color; inside: the dark panel fill; at the
    // caption: the caption's amber.
    EXPECT_TRUE(rgbNear(at(2, 64), kBackground));
    EXPECT_TRUE(rgbNear(at(4, 34), kBackground, 8));
    const Rgba border = at(64, 35);
    EXPECT_GT(border.b, 150);
    EXPECT_GT(border.g, 120);
    const Rgba fill = at(30, 80);
    EXPECT_LT(fill.r, 60);
    EXPECT_GT(fill.b, fill.r);
    const Box ink = inkBox();
    EXPECT_LE(ink.minX, 5);
    bool amber = false;
    for (int x = 50; x < 78 && !amber; ++x) {
        const Rgba c = at(x, 64);
        amber = c.r > 200 && c.g > 150 && c.b < 150;
    }
    EXPECT_TRUE(amber);
}

// The HUD's message boxes draw the panel from a small texture of its own:
// the same pixels as from the menus' whole sheet, at any box size, scaled and tinted.
TEST_F(StagedData, MenuPanelCutOutDrawsLikeTheWholeSheet)
{
    CSprite* menus = getSprite(kSpriteSetMenus);
    CSprite* panel = getMenuPanelSprite();
    ASSERT_TRUE(menus->isLoaded() && panel->isLoaded());
    ASSERT_NE(panel->texture(), nullptr);
    EXPECT_LT(panel->texture()->width() * panel->texture()->height(),
              menus->texture()->width() * menus->texture()->height() / 50);
    end2D();
    const auto draw = [this](CSprite& sprite) {
        clearTo(kBackground);
        begin2D();
        sprite.drawNinePatch(kMenuPanelFrame, 4, 6, 120, 60);
        sprite.setColorBytes(200, 255, 255, 128);
        sprite.drawNinePatch(kMenuPanelFrame, 10.5f, 70.25f, 37, 50);
        sprite.setColor(Color4{});
        end2D();
        return rect(0, 0, 128, 128);
    };
    const std::vector<Rgba> whole = draw(*menus), cut = draw(*panel);
    ASSERT_EQ(whole.size(), cut.size());
    int differing = 0;
    for (std::size_t i = 0; i < whole.size(); ++i)
        differing += !colorNear(whole[i], cut[i], 1);
    EXPECT_EQ(differing, 0);
    // Frames other than the panel's are not on the small texture.
    int w = 0, h = 0;
    panel->frameBounds(156, w, h);
    EXPECT_EQ(w, 0);

    // The menu pages' corners, cut out of the HUD's sheet, likewise.
    CSprite* hud = getSprite(kSpriteSetHud);
    CSprite* corners = getHudCornersSprite();
    ASSERT_TRUE(hud->isLoaded() && corners->isLoaded());
    const auto drawCorners = [this](CSprite& sprite) {
        clearTo(kBackground);
        begin2D();
        sprite.drawFrame(kHudCornerFrames[0], 0, 0);
        sprite.drawFrame(kHudCornerFrames[3], 128, 128);
        end2D();
        return rect(0, 0, 128, 128);
    };
    const std::vector<Rgba> wholeCorners = drawCorners(*hud), cutCorners = drawCorners(*corners);
    differing = 0;
    for (std::size_t i = 0; i < wholeCorners.size(); ++i)
        differing += !colorNear(wholeCorners[i], cutCorners[i], 1);
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(std::any_of(wholeCorners.begin(), wholeCorners.end(),
                            [](const Rgba& c) { return !rgbNear(c, kBackground, 8); }))
        << "a corner is drawn at all";
    begin2D();
}

}  // namespace
