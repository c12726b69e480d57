#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Pak.h"
#include "platform/StringTable.h"
#include "render/2d/SpriteSheet.h"

#include "support/TempDir.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace {
// The staged pak alone, as the game reads it.
struct StagedFonts : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};

    void SetUp() override { ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")); }
    void TearDown() override
    {
        (void)setLanguageByIndex(0);
        unloadStringTables();
    }
};

bool readSheet(const std::string& name, SpriteSheet& sheet)
{
    auto file = openFile(name);
    std::vector<std::uint8_t> bytes;
    return file && file->readAll(bytes) && readSpriteSheet(bytes, sheet) && sheet.hasFont;
}

std::string lowerCode(int language)
{
    std::string code = languageTable[language].code;
    for (char& c : code)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return code;
}

// Units below 32 are line breaks and color codes; the rest must be glyphs.
std::set<char16_t> shownCharacters(int first, int last)
{
    std::set<char16_t> shown;
    for (int n = first; n <= last; ++n)
        for (char16_t c : getStringByIndex(n))
            if (c >= 32)
                shown.insert(c);
    return shown;
}

std::set<char16_t> glyphCodes(const SpriteSheet& sheet)
{
    std::set<char16_t> codes;
    for (const SpriteSheet::Glyph& g : sheet.font.glyphs)
        codes.insert(static_cast<char16_t>(g.code));
    return codes;
}
}  // namespace

// Chinese, Japanese and Korean have sheets of their own with every character
// their texts show; the other languages draw from the common sheets, which
// carry no ideograph, so the pak holds each script only where it is used.
TEST_F(StagedFonts, EveryLanguageFindsEveryGlyphOfItsTextsInTheSheetItLoads)
{
    SpriteSheet common;
    ASSERT_TRUE(readSheet("data/fonts/font1.bspr", common));
    const std::set<char16_t> commonCodes = glyphCodes(common);
    EXPECT_EQ(std::count_if(commonCodes.begin(), commonCodes.end(), [](char16_t c) { return c >= 0x2E80; }), 0);

    for (int language = 0; language < kLanguageCount; ++language) {
        const std::string code = languageTable[language].code;
        if (!openFile("data/strings/" + code + "/main.str"))
            continue;   // falls back to English, which the common sheets carry
        ASSERT_TRUE(setLanguageByIndex(language)) << code;
        const std::set<char16_t> shown = shownCharacters(0, stringCount() - 1);
        const bool ownScript = language >= 6 && language <= 8;
        for (int font = 0; font < 3; ++font) {
            const std::string own = "data/fonts/font" + std::to_string(font) + "_" + lowerCode(language) + ".bspr";
            EXPECT_EQ(openFile(own) != nullptr, ownScript) << own;
            SpriteSheet sheet;
            ASSERT_TRUE(readSheet(ownScript ? own : "data/fonts/font" + std::to_string(font) + ".bspr", sheet));
            const std::set<char16_t> codes = glyphCodes(sheet);
            for (char16_t c : shown)
                EXPECT_TRUE(codes.count(c)) << code << " font " << font << " lacks U+" << std::hex << int(c);
            if (ownScript) {
                // The common characters and this language's own, nothing more.
                EXPECT_TRUE(std::includes(codes.begin(), codes.end(), commonCodes.begin(), commonCodes.end()));
                for (char16_t c : codes)
                    EXPECT_TRUE(commonCodes.count(c) || shown.count(c)) << code << " carries unused U+" << std::hex
                                                                       << int(c);
            }
        }
        if (ownScript) {
            SpriteSheet comic;
            ASSERT_TRUE(readSheet("data/comics/comicsFont_normal_" + lowerCode(language) + ".bspr", comic));
            const std::set<char16_t> codes = glyphCodes(comic);
            for (char16_t c : shownCharacters(4700, 4711))
                EXPECT_TRUE(codes.count(c)) << code << " comic font lacks U+" << std::hex << int(c);
        }
    }
}
