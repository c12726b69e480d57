// Step 300: bakes the bitmap fonts "data/fonts/font<n>.bspr" (with their
// "font<n>.png" atlas) from TrueType files with FreeType, and for each
// language of a script line its own sheets "font<n>_<code>.bspr" with only
// the characters its string tables add.
#include "AtlasPacker.h"
#include "DataTool.h"
#include "SheetImage.h"
#include "TextSource.h"

#include "platform/Language.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "render/2d/SpriteSheet.h"

#include <png.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kSystemFontFolder = "/usr/share/fonts/truetype/dejavu/";
constexpr const char* kScriptFontFolder = "/usr/share/fonts/";
constexpr int kGlyphPadding = 2;
constexpr int kMaxAtlasSide = 2048;
// Authored at twice the density of a sheet loaded at scale 1.
constexpr float kFontSheetScale = 0.5f;

struct FontEntry {
    int id = -1;
    std::string file;
    int pixelSize = 0;
    std::string dataName;   // "data/fonts/font<id>" unless the line names another
    // A font that draws only the texts whose keys start so (the comic speech)
    // takes only their characters into a script language's sheet.
    std::string keyPrefix;
};

// A language whose texts need a script the common fonts lack.
struct ScriptEntry {
    std::string code;            // as in the language table, "ZH"
    int faceIndex = 0;           // face of a collection file
    std::string regular, bold;   // under kScriptFontFolder
    // Each character its tables use beyond the common set, with the key of
    // the text that uses it (empty for a text without key).
    std::vector<std::pair<std::string, char16_t>> uses;
    // The characters of the texts a font draws, sorted, each once.
    std::vector<char16_t> charsFor(const FontEntry& font) const
    {
        std::vector<char16_t> chars;
        for (const auto& [key, c] : uses)
            if (key.starts_with(font.keyPrefix))
                chars.push_back(c);
        std::sort(chars.begin(), chars.end());
        chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
        return chars;
    }
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

bool parseFonts(DataContext& context, const TextSource& source, CharSet& set, std::vector<FontEntry>& fonts,
                std::vector<ScriptEntry>& scripts)
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
        } else if (words[0] == "font" && words.size() >= 4 && words.size() <= 6) {
            FontEntry entry;
            entry.file = std::string(words[2]);
            if (words.size() >= 5)
                entry.dataName = std::string(words[4]);
            if (words.size() == 6)
                entry.keyPrefix = std::string(words[5]);
            if (!parseInt(words[1], entry.id) || !parseInt(words[3], entry.pixelSize) || entry.id < 0 ||
                entry.pixelSize < 6 || entry.pixelSize > 200)
                return source.fail(context, line,
                                   "expected: font <number> <file> <pixel size> [<data name> [<key prefix>]]");
            if (entry.dataName.empty())
                entry.dataName = "data/fonts/font" + std::to_string(entry.id);
            fonts.push_back(entry);
        } else if (words[0] == "script" && words.size() == 5) {
            ScriptEntry entry;
            entry.code = std::string(words[1]);
            entry.regular = std::string(words[3]);
            entry.bold = std::string(words[4]);
            const int language = languageIndexOfCode(entry.code);
            if (language < 0 || entry.code != languageTable[language].code || !parseInt(words[2], entry.faceIndex) ||
                entry.faceIndex < 0 || entry.regular.find("..") != std::string::npos ||
                entry.bold.find("..") != std::string::npos)
                return source.fail(context, line, "expected: script <language code> <face index> <regular file> <bold file>");
            scripts.push_back(entry);
        } else {
            return source.fail(context, line, "unknown line");
        }
    }
    std::sort(chars.begin(), chars.end());
    chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
    return true;
}

// Every character a language's texts show must be one its fonts carry, or
// the game would draw the fallback glyph in its place. A language of a script
// line takes the characters beyond the common set into its own sheets (its
// font file must have them); any other language has the common set only.
// Units below 32 are line breaks and color codes, not glyphs.
bool collectScriptChars(DataContext& context, const CharSet& set, std::vector<ScriptEntry>& scripts)
{
    bool ok = true;
    for (const auto& language : listFolder(context.sourceDir() / "strings", Listing::Folders)) {
        const std::string code = language.filename().string();
        ScriptEntry* script = nullptr;
        for (ScriptEntry& entry : scripts)
            script = entry.code == code ? &entry : script;
        for (const auto& file : listFolder(language, Listing::FilesRecursive, ".str")) {
            std::string text, error;
            std::vector<StringEntry> entries;
            if (!readSourceFile(file, text) || !parseStringTable(text, file.string(), entries, error))
                continue;   // the strings step reports unreadable tables
            for (const StringEntry& entry : entries) {
                for (char16_t c : utf8ToWide(entry.text)) {
                    if (c < 32 || std::binary_search(set.chars.begin(), set.chars.end(), c))
                        continue;
                    if (script) {
                        script->uses.emplace_back(entry.key, c);
                        continue;
                    }
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(c));
                    context.error(file.string() + ":" + std::to_string(entry.line) + ": U+" + hex +
                                  " is not among the fonts' characters (assets/fonts/fonts.txt)");
                    ok = false;
                    break;
                }
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

// A script's characters from its own face, at the common font's size.
bool renderScriptGlyphs(DataContext& context, const FontEntry& entry, const ScriptEntry& script,
                        const std::vector<char16_t>& chars, FT_Face face, std::vector<BakedGlyph>& glyphs)
{
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(entry.pixelSize));
    for (char16_t code : chars) {
        BakedGlyph glyph;
        if (!renderCoverage(face, code, glyph)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(code));
            context.error("font " + std::to_string(entry.id) + " " + script.code + ": the script font has no glyph for U+" +
                          hex);
            return false;
        }
        glyphs.push_back(std::move(glyph));
    }
    return true;
}

// White glyphs as a grey-and-alpha PNG: half the bytes of RGBA before
// compression, which keeps the large ideograph sheets small in the pak.
std::vector<std::uint8_t> encodeCoveragePng(int width, int height, const std::vector<std::uint8_t>& coverage)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return out;
    }
    std::vector<std::uint8_t> rowBytes(static_cast<std::size_t>(width) * 2);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            bytes->insert(bytes->end(), data, data + length);
        },
        nullptr);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rowBytes[static_cast<std::size_t>(x) * 2] = 255;
            rowBytes[static_cast<std::size_t>(x) * 2 + 1] = coverage[static_cast<std::size_t>(y) * width + x];
        }
        png_write_row(png, rowBytes.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Packs the glyphs into one atlas and writes "<dataName>.bspr" and its PNG;
// the line metrics are those of the common font's face.
bool writeFontSheet(DataContext& context, const FontEntry& entry, const std::string& dataName, FT_Face face,
                    const std::vector<BakedGlyph>& glyphs)
{
    std::vector<AtlasSize> sizes;
    for (const BakedGlyph& g : glyphs)
        sizes.push_back({g.width, g.height});
    AtlasLayout layout;
    if (!packAtlas(sizes, kGlyphPadding, kMaxAtlasSide, layout)) {
        context.error("font " + std::to_string(entry.id) + ": glyphs do not fit a texture");
        return false;
    }

    const int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int descender = static_cast<int>(face->size->metrics.descender >> 6);
    const std::string name = std::filesystem::path(dataName).filename().string();
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

    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(layout.width) * layout.height, 0);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const BakedGlyph& g = glyphs[i];
        const AtlasPlacement& at = layout.placements[i];
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                coverage[static_cast<std::size_t>(at.y + y) * layout.width + at.x + x] =
                    g.coverage[static_cast<std::size_t>(y) * g.width + x];
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
    const std::vector<std::uint8_t> png = encodeCoveragePng(layout.width, layout.height, coverage);
    if (png.empty()) {
        context.error("font " + std::to_string(entry.id) + ": cannot encode the atlas");
        return false;
    }
    return context.writeFile(dataName + ".bspr", bytes) && context.writeFile(dataName + ".png", png);
}

// The font's common sheet, then one sheet for each script language: the
// common characters again, so names and numbers look the same in every
// language, plus the script's own.
bool bakeFont(DataContext& context, FT_Library library, const FontEntry& entry, const CharSet& chars,
              const std::vector<ScriptEntry>& scripts)
{
    const std::string path = kSystemFontFolder + entry.file;
    FreeTypeFace face;
    if (FT_New_Face(library, path.c_str(), 0, &face.face) != 0) {
        context.error("font " + std::to_string(entry.id) + ": cannot open " + path);
        return false;
    }
    FT_Set_Pixel_Sizes(face.face, 0, static_cast<FT_UInt>(entry.pixelSize));
    std::vector<BakedGlyph> glyphs;
    if (!renderGlyphs(context, entry, face.face, chars, glyphs) ||
        !writeFontSheet(context, entry, entry.dataName, face.face, glyphs))
        return false;

    const bool bold = entry.file.find("Bold") != std::string::npos;
    for (const ScriptEntry& script : scripts) {
        const std::vector<char16_t> chars = script.charsFor(entry);
        if (chars.empty())
            continue;
        const std::string scriptPath = kScriptFontFolder + (bold ? script.bold : script.regular);
        FreeTypeFace scriptFace;
        if (FT_New_Face(library, scriptPath.c_str(), script.faceIndex, &scriptFace.face) != 0) {
            context.error("font " + std::to_string(entry.id) + " " + script.code + ": cannot open " + scriptPath);
            return false;
        }
        std::vector<BakedGlyph> scriptGlyphs = glyphs;
        if (!renderScriptGlyphs(context, entry, script, chars, scriptFace.face, scriptGlyphs))
            return false;
        std::string suffix = "_";
        for (char c : script.code)
            suffix += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!writeFontSheet(context, entry, entry.dataName + suffix, face.face, scriptGlyphs))
            return false;
    }
    return true;
}

bool bakeFonts(DataContext& context)
{
    TextSource source;
    if (!source.load(context, "fonts/fonts.txt"))
        return false;
    CharSet chars;
    std::vector<FontEntry> fonts;
    std::vector<ScriptEntry> scripts;
    if (!parseFonts(context, source, chars, fonts, scripts) || !collectScriptChars(context, chars, scripts))
        return false;
    FreeTypeLibrary freeType;
    if (!freeType.library) {
        context.error("FreeType does not start");
        return false;
    }
    for (const FontEntry& entry : fonts) {
        if (!bakeFont(context, freeType.library, entry, chars, scripts))
            return false;
    }
    return true;
}

}  // namespace

SKYFRONT_DATA_STEP(300, "fonts", bakeFonts);
