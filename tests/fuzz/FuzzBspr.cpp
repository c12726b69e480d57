// Sprite sheets (.bspr): a sheet that reads in writes back to the same bytes,
// every frame, module, bar and glyph of it draws into the sprite batch with
// finite corners, and frames cut out of a picture of its size keep their
// modules' sizes and draw alike.
#include "FuzzTarget.h"

#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteCutOut.h"

#include <cmath>

namespace {
void checkCorners(std::span<const SpriteVertex> vertices, const Texture2D*, const ClipRect&)
{
    for (const SpriteVertex& v : vertices)
        FUZZ_CHECK(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.u) && std::isfinite(v.v));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    SpriteSheet sheet;
    if (!readSpriteSheet(fuzz::bytes(data, size), sheet))
        return 0;
    FUZZ_CHECK(writeSpriteSheet(sheet) == std::vector<std::uint8_t>(data, data + size));

    SpriteBatch& batch = spriteBatch();
    batch.setScreenSize(800.0f, 600.0f);
    batch.setDrawHook(checkCorners);
    CSprite sprite;
    sprite.loadSheet(sheet, 1.5f);
    const int frames = sprite.frameCount(), modules = sprite.moduleCount();
    for (int f = -1; f <= frames && f < 512; ++f) {
        sprite.drawFrame(f, 10.0f, 20.0f, 0.3f, CSprite::kMirror);
        sprite.drawNinePatch(f, 0.0f, 0.0f, 64.0f, 48.0f);
        int w = 0, h = 0;
        sprite.frameBounds(f, w, h);
    }
    for (int m = -1; m <= modules && m < 512; ++m) {
        sprite.drawModule(m, 5.0f, 5.0f, CSprite::kFlipVertical, 1.0f);
        sprite.drawModuleStretched(m, 0.0f, 0.0f, 30.0f, 10.0f);
    }
    sprite.drawBarBetween(0.0f, 0.0f, 100.0f, 50.0f, 0);
    if (sheet.hasFont) {
        CFont font;
        if (font.loadSheet(sheet, 1.0f)) {
            std::u16string text = u"Ab?\x02z \n\x4E00";
            for (const SpriteSheet::Glyph& glyph : sheet.font.glyphs)
                if (text.size() < 256)
                    text.push_back(static_cast<char16_t>(glyph.code));
            font.draw(text, 100.0f, 100.0f, CFont::kCentreX | CFont::kCentreY, 0.2f);
            char16_t wrapped[128];
            (void)font.wrap(text, 40.0f, wrapped);
            (void)font.measure(text);
        }
    }
    if (frames > 0 && std::size_t{sheet.texWidth} * sheet.texHeight <= (1u << 18)) {
        TextureImage picture;
        picture.format = TextureFormat::Alpha8;
        picture.width = sheet.texWidth;
        picture.height = sheet.texHeight;
        picture.levels.emplace_back(std::size_t{sheet.texWidth} * sheet.texHeight, std::uint8_t{200});
        const int kept[] = {0, frames / 2, frames - 1};
        SpriteSheet cutSheet;
        TextureImage cutPicture;
        if (cutOutFrames(sheet, picture, kept, cutSheet, cutPicture)) {
            FUZZ_CHECK(cutSheet.modules.size() == sheet.modules.size());
            FUZZ_CHECK(cutPicture.width == cutSheet.texWidth && cutPicture.height == cutSheet.texHeight);
            FUZZ_CHECK(cutPicture.levels[0].size() == std::size_t{cutSheet.texWidth} * cutSheet.texHeight);
            CSprite cut;
            cut.loadSheet(cutSheet, 1.5f);
            for (int f : kept)
                cut.drawNinePatch(f, 0.0f, 0.0f, 64.0f, 48.0f);
        }
    }
    batch.flush();
    batch.setDrawHook(nullptr);
    return 0;
}
