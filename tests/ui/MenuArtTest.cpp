#include "render/2d/SpriteSheet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

SpriteSheet stagedSheet(const std::string& name)
{
    std::ifstream in(std::string(SKYFRONT_STAGE_DIR) + "/data/sprites/" + name, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    SpriteSheet sheet;
    EXPECT_TRUE(readSpriteSheet(bytes, sheet)) << name;
    return sheet;
}

// The frame's bounding box in art pixels.
std::pair<int, int> frameSize(const SpriteSheet& sheet, int frame)
{
    if (frame < 0 || frame >= static_cast<int>(sheet.frames.size()))
        return {0, 0};
    const SpriteSheet::Frame& f = sheet.frames[static_cast<std::size_t>(frame)];
    int right = 0, bottom = 0;
    for (int i = 0; i < f.partCount; ++i) {
        const SpriteSheet::Part& part = sheet.parts[static_cast<std::size_t>(f.firstPart + i)];
        const SpriteSheet::Module& module = sheet.modules[part.module];
        right = std::max(right, part.x + module.w);
        bottom = std::max(bottom, part.y + module.h);
    }
    return {right, bottom};
}

// Every frame the menu framework draws exists, and the variant for the
// largest screens has the same frames at twice the art size and density,
// so both come out at one size on screen.
TEST(MenuArt, TheFramesTheMenusDrawExistInBothVariants)
{
    const SpriteSheet plain = stagedSheet("menus.bspr");
    const SpriteSheet doubled = stagedSheet("menus_2x.bspr");
    EXPECT_FLOAT_EQ(plain.sheetScale, 2.0f * doubled.sheetScale);
    for (int frame : {0, 15, 94, 117, 155, 156, 157, 158, 140, 142, 101, 102, 56, 57, 98, 99, 100, 152, 188, 189, 279,
                      280, 281, 282, 283, 85, 86, 184, 185, 186, 187}) {
        SCOPED_TRACE(frame);
        const auto [w, h] = frameSize(plain, frame);
        EXPECT_GT(w, 0);
        EXPECT_GT(h, 0);
        EXPECT_EQ(frameSize(doubled, frame), std::make_pair(2 * w, 2 * h));
    }
    // The focus box stretches: nine parts.
    EXPECT_EQ(plain.frames[94].partCount, 9);
    EXPECT_EQ(doubled.frames[94].partCount, 9);
}

}  // namespace
