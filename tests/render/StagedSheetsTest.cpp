// The staged sprite and font sheets: each texture is the size its sheet's UVs
// were made for, no taller than its modules reach (a blank band below them
// is memory the GL holds for nothing), and its modules never overlap.
#include "platform/File.h"
#include "platform/Pak.h"
#include "render/2d/SpriteSets.h"
#include "render/2d/SpriteSheet.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
struct StagedSheets : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};

    void SetUp() override { ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")); }
};

// Every variant of every packed sheet the game names, and the common fonts.
// The comics ("c1m1" ...) lay their panels out as pages, not packed.
std::vector<std::string> stagedSheetNames()
{
    std::vector<std::string> names;
    for (std::string_view set : spriteSetNames()) {
        const std::string_view base = set.substr(set.rfind('/') + 1);
        if (set.empty() || (base.size() == 4 && base[0] == 'c' && base[2] == 'm'))
            continue;
        for (const char* variant : {"", "_2x", "_low"})
            names.push_back(std::string(set) + variant + ".bspr");
    }
    for (int id = 0; id < kFontCount; ++id)
        names.push_back("data/fonts/font" + std::to_string(id) + ".bspr");
    return names;
}

TEST_F(StagedSheets, TexturesMatchTheirSheetsEndBelowTheLowestModuleAndNeverOverlap)
{
    // The packers' padding around a module, and the rows the height rounds up to.
    constexpr int kSlack = 2 + 4;
    int checked = 0;
    for (const std::string& name : stagedSheetNames()) {
        std::unique_ptr<File> file = openFile(name);
        if (!file)
            continue;
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes;
        SpriteSheet sheet;
        ASSERT_TRUE(file->readAll(bytes) && readSpriteSheet(bytes, sheet));
        std::string textureName = sheet.textureName.empty() ? name.substr(0, name.size() - 5) + ".png"
                                                            : name.substr(0, name.rfind('/') + 1) + sheet.textureName;
        std::unique_ptr<File> png = openFile(textureName);
        // Sheets whose art is made elsewhere (the loading or logo picture) are not packed.
        if (!png || sheet.modules.empty())
            continue;
        TextureImage image;
        ASSERT_TRUE(decodePng(*png, image)) << textureName;
        EXPECT_EQ(image.width, sheet.texWidth);
        EXPECT_EQ(image.height, sheet.texHeight);
        int lowest = 0;
        for (const SpriteSheet::Module& m : sheet.modules)
            lowest = std::max(lowest, m.y + m.h);
        EXPECT_LE(sheet.texHeight, lowest + kSlack) << "lowest module edge " << lowest;
        // Packed into each other's gaps, no two modules share a texel (a
        // module named twice is one place) and none leaves the texture.
        std::vector<SpriteSheet::Module> placed;
        for (const SpriteSheet::Module& m : sheet.modules) {
            EXPECT_LE(m.x + m.w, sheet.texWidth);
            EXPECT_LE(m.y + m.h, sheet.texHeight);
            auto same = [&m](const SpriteSheet::Module& o) { return o.x == m.x && o.y == m.y && o.w == m.w && o.h == m.h; };
            if (m.w == 0 || m.h == 0 || std::any_of(placed.begin(), placed.end(), same))
                continue;
            for (const SpriteSheet::Module& o : placed)
                EXPECT_TRUE(m.x + m.w <= o.x || o.x + o.w <= m.x || m.y + m.h <= o.y || o.y + o.h <= m.y)
                    << "modules at " << m.x << "," << m.y << " and " << o.x << "," << o.y << " overlap";
            placed.push_back(m);
        }
        ++checked;
    }
    // The menus, the HUD, the ranks and the fonts at least.
    EXPECT_GE(checked, 6);
}
}  // namespace
