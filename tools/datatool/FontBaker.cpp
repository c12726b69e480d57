// Step 300: bakes the bitmap fonts "data/fonts/font<n>.bspr" (with their
// "font<n>.png" atlas) from TrueType files with FreeType.
#include "AtlasPacker.h"
#include "DataTool.h"
#include "SheetImage.h"
#include "TextSource.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "render/2d/SpriteSheet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <filesystem>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kSystemFontFolder = "/usr/share/fonts/truetype/dejavu/";
constexpr int kGlyphPadding = 2;
constexpr int kMaxAtlasSide = 2048;
// Authored at twice the density of a sheet loaded at scale 1.
constexpr float kFontSheetScale = 0.5f;

struct FontEntry {
    int id = -1;
    std::string file;
    int pixelSize = 0;
    std::string dataName;   // "data/fonts/font<id>" unless the line names another
};

struct BakedGlyph {
    char16_t code = 0;
    int width = 0, height = 0, left = 0, top = 0, advance = 0;
    std::vector<std::uint8_t> coverage;   // width x height
};

// Color codes 1 to 8: 1 is the font's own color, 7 own team, 8 enemy.
constexpr Color4 kColorTable[8] = {
    {255, 255, 255, 255}, {255, 215, 0, 255},   {120, 220, 120, 255}, {235, 60, 50, 255},
    {170, 170, 170, 255}, {255, 150, 40, 255},  {19, 97, 164, 255},   {255, 69, 0, 255},
};

struct FreeTypeLibrary {
    FT_Library library = nullptr;
    FreeTypeLibrary() { FT_Init_FreeType(&library); }
    ~FreeTypeLibrary() { FT_Done_FreeType(library); }
};
struct FreeTypeFace {
    FT_Face face = nullptr;
    ~FreeTypeFace() { FT_Done_Face(face); }
};

struct CharSet {
    std::vector<char16_t> chars;
    // Circled numbers (U+2460 is 1) that are composed from the font's digits
    // when the font file lacks them.
    unsigned circledFirst = 1, circledLast = 0;
};
constexpr unsigned kCircledOne = 0x2460, kCircledTwenty = 0x2473;

bool parseFonts(DataContext& context, const TextSource& source, CharSet& set, std::vector<FontEntry>& fonts)
{
    std::vector<char16_t>& chars = set.chars;
    for (const TextSource::Line& line : source.lines()) {
        const std::vector<std::string_view>& words = line.words;
        if (words[0] == "chars") {
            for (std::size_t i = 1; i < words.size(); ++i) {
                unsigned first = 0, last = 0;
                if (!parseCodeRange(words[i], first, last))
                    return source.fail(context, line, "bad character range");
                for (unsigned c = first; c <= last; ++c)
                    chars.push_back(static_cast<char16_t>(c));
            }
        } else if (words[0] == "circled" && words.size() == 2) {
            if (!parseCodeRange(words[1], set.circledFirst, set.circledLast) || set.circledFirst < kCircledOne ||
                set.circledLast > kCircledTwenty)
                return source.fail(context, line, "expected: circled <range within 2460-2473>");
            for (unsigned c = set.circledFirst; c <= set.circledLast; ++c)
                chars.push_back(static_cast<char16_t>(c));
        } else if (words[0] == "font" && (words.size() == 4 || words.size() == 5)) {
            FontEntry entry;
            entry.file = std::string(words[2]);
            if (words.size() == 5)
                entry.dataName = std::string(words[4]);
            if (!parseInt(words[1], entry.id) || !parseInt(words[3], entry.pixelSize) || entry.id < 0 ||
                entry.pixelSize < 6 || entry.pixelSize > 200)
                return source.fail(context, line, "expected: font <number> <file> <pixel size> [<data name>]");
            if (entry.dataName.empty())
                entry.dataName = "data/fonts/font" + std::to_string(entry.id);
            fonts.push_back(entry);
        } else {
            return source.fail(context, line, "unknown line");
        }
    }
    std::sort(chars.begin(), chars.end());
    chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
    return true;
}

// Every character the string texts show must be one the fonts carry, or the
// game would draw the fallback glyph in its place. Units below 32 are line
// breaks and color codes, not glyphs.
bool textsHaveGlyphs(DataContext& context, const CharSet& set)
{
    bool ok = true;
    for (const auto& file : listFolder(context.sourceDir() / "strings", Listing::FilesRecursive, ".str")) {
        std::string text, error;
        std::vector<StringEntry> entries;
        if (!readSourceFile(file, text) || !parseStringTable(text, file.string(), entries, error))
            continue;   // the strings step reports unreadable tables
        for (const StringEntry& entry : entries) {
            for (char16_t c : utf8ToWide(entry.text)) {
                if (c < 32 || std::binary_search(set.chars.begin(), set.chars.end(), c))
                    continue;
                char hex[8];
                std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(c));
                context.error(file.string() + ":" + std::to_string(entry.line) + ": U+" + hex +
                              " is not among the fonts' characters (assets/fonts/fonts.txt)");
                ok = false;
                break;
            }
        }
    }
    return ok;
}

// Coverage of the face's rendering of `code` at the face's current size.
bool renderCoverage(FT_Face face, char16_t code, BakedGlyph& glyph)
{
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0 ||
        face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.code = code;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] = bitmap.buffer[y * bitmap.pitch + x];
    return true;
}

// A circled number the font file lacks: a ring drawn with Cairo around the
// font's own digits, sized like the font's circled numbers.
bool composeCircled(FT_Face face, int pixelSize, unsigned number, BakedGlyph& glyph)
{
    const int diameter = std::max(8, static_cast<int>(std::lround(pixelSize * 0.82)));
    const int side = diameter + 2;
    SheetImage ring(side, side);
    cairo_t* cr = cairo_create(ring.surface());
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_set_line_width(cr, std::max(1.0, pixelSize / 14.0));
    cairo_arc(cr, side / 2.0, side / 2.0, diameter / 2.0 - std::max(1.0, pixelSize / 14.0) / 2, 0, 2 * kPi);
    cairo_stroke(cr);
    cairo_destroy(cr);

    glyph.width = glyph.height = side;
    glyph.coverage.assign(static_cast<std::size_t>(side) * side, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            glyph.coverage[static_cast<std::size_t>(y) * side + x] = ring.alphaAt(x, y);

    const std::string digits = std::to_string(number);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::lround(pixelSize * (digits.size() > 1 ? 0.5 : 0.6))));
    std::vector<BakedGlyph> parts;
    int textWidth = 0, textTop = 0, textBottom = 0;
    for (char d : digits) {
        BakedGlyph part;
        if (!renderCoverage(face, static_cast<char16_t>(d), part))
            return false;
        textWidth += part.advance;
        textTop = std::max(textTop, part.top);
        textBottom = std::min(textBottom, part.top - part.height);
        parts.push_back(std::move(part));
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    int pen = (side - textWidth) / 2;
    const int baseline = (side + (textTop - textBottom)) / 2 + textBottom;
    for (const BakedGlyph& part : parts) {
        for (int y = 0; y < part.height; ++y) {
            for (int x = 0; x < part.width; ++x) {
                const int tx = pen + part.left + x, ty = baseline - part.top + y;
                if (tx < 0 || ty < 0 || tx >= side || ty >= side)
                    continue;
                std::uint8_t& cover = glyph.coverage[static_cast<std::size_t>(ty) * side + tx];
                cover = std::max(cover, part.coverage[static_cast<std::size_t>(y) * part.width + x]);
            }
        }
        pen += part.advance;
    }
    // The ring's centre sits at half the height of the digits above the baseline.
    const int digitHeight = static_cast<int>(std::lround(pixelSize * 0.73));
    glyph.code = static_cast<char16_t>(kCircledOne + number - 1);
    glyph.left = 1;
    glyph.top = digitHeight / 2 + side / 2;
    glyph.advance = side + 2;
    return true;
}

bool renderGlyphs(DataContext& context, const FontEntry& entry, FT_Face face, const CharSet& set,
                  std::vector<BakedGlyph>& glyphs)
{
    for (char16_t code : set.chars) {
        const FT_UInt index = FT_Get_Char_Index(face, code);
        if (index == 0 && code >= set.circledFirst && code <= set.circledLast) {
            BakedGlyph glyph;
            if (!composeCircled(face, entry.pixelSize, code - kCircledOne + 1, glyph)) {
                context.error("font " + std::to_string(entry.id) + ": cannot compose a circled number");
                return false;
            }
            glyphs.push_back(std::move(glyph));
            continue;
        }
        if (index == 0) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(code));
            context.error("font " + std::to_string(entry.id) + ": " + entry.file + " has no glyph for U+" + hex);
            return false;
        }
        BakedGlyph glyph;
        if (!renderCoverage(face, code, glyph)) {
            context.error("font " + std::to_string(entry.id) + ": cannot render a glyph of " + entry.file);
            return false;
        }
        glyphs.push_back(std::move(glyph));
    }
    return true;
}

bool bakeFont(DataContext& context, FT_Library library, const FontEntry& entry, const CharSet& chars)
{
    const std::string path = kSystemFontFolder + entry.file;
    FreeTypeFace face;
    if (FT_New_Face(library, path.c_str(), 0, &face.face) != 0) {
        context.error("font " + std::to_string(entry.id) + ": cannot open " + path);
        return false;
    }
    FT_Set_Pixel_Sizes(face.face, 0, static_cast<FT_UInt>(entry.pixelSize));
    std::vector<BakedGlyph> glyphs;
    if (!renderGlyphs(context, entry, face.face, chars, glyphs))
        return false;

    std::vector<AtlasSize> sizes;
    for (const BakedGlyph& g : glyphs)
        sizes.push_back({g.width, g.height});
    AtlasLayout layout;
    if (!packAtlas(sizes, kGlyphPadding, kMaxAtlasSide, layout)) {
        context.error("font " + std::to_string(entry.id) + ": glyphs do not fit a texture");
        return false;
    }

    const int ascender = static_cast<int>((face.face->size->metrics.ascender + 63) >> 6);
    const int descender = static_cast<int>(face.face->size->metrics.descender >> 6);
    const std::string name = std::filesystem::path(entry.dataName).filename().string();
    SpriteSheet sheet;
    sheet.sheetScale = kFontSheetScale;
    sheet.textureName = name + ".png";
    sheet.texWidth = static_cast<std::uint16_t>(layout.width);
    sheet.texHeight = static_cast<std::uint16_t>(layout.height);
    sheet.hasFont = true;
    sheet.font.glyphHeight = static_cast<std::uint16_t>(ascender - descender);
    sheet.font.baseline = static_cast<std::int16_t>(ascender);
    std::copy(std::begin(kColorTable), std::end(kColorTable), sheet.font.colors.begin());
    sheet.font.fallbackCode = u'?';

    SheetImage atlas(layout.width, layout.height);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const BakedGlyph& g = glyphs[i];
        const AtlasPlacement& at = layout.placements[i];
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                atlas.setPixel(at.x + x, at.y + y, 255, 255, 255, g.coverage[static_cast<std::size_t>(y) * g.width + x]);
        sheet.modules.push_back({static_cast<std::uint16_t>(at.x), static_cast<std::uint16_t>(at.y),
                                 static_cast<std::uint16_t>(g.width), static_cast<std::uint16_t>(g.height)});
        sheet.font.glyphs.push_back({g.code, static_cast<std::uint16_t>(i), static_cast<std::int16_t>(g.left),
                                     static_cast<std::int16_t>(ascender - g.top), static_cast<std::int16_t>(g.advance)});
    }

    const std::vector<std::uint8_t> bytes = writeSpriteSheet(sheet);
    SpriteSheet check;
    if (!readSpriteSheet(bytes, check)) {
        context.error("font " + std::to_string(entry.id) + ": the written sheet does not read back");
        return false;
    }
    const std::vector<std::uint8_t> png = atlas.encodePng();
    if (png.empty()) {
        context.error("font " + std::to_string(entry.id) + ": cannot encode the atlas");
        return false;
    }
    return context.writeFile(entry.dataName + ".bspr", bytes) && context.writeFile(entry.dataName + ".png", png);
}

bool bakeFonts(DataContext& context)
{
    TextSource source;
    if (!source.load(context, "fonts/fonts.txt"))
        return false;
    CharSet chars;
    std::vector<FontEntry> fonts;
    if (!parseFonts(context, source, chars, fonts) || !textsHaveGlyphs(context, chars))
        return false;
    FreeTypeLibrary freeType;
    if (!freeType.library) {
        context.error("FreeType does not start");
        return false;
    }
    for (const FontEntry& entry : fonts) {
        if (!bakeFont(context, freeType.library, entry, chars))
            return false;
    }
    return true;
}

}  // namespace

SKYFRONT_DATA_STEP(300, "fonts", bakeFonts);
