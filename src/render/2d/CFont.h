#pragma once
#include "platform/Math.h"
#include "render/2d/CSprite.h"

#include <span>
#include <string_view>

// The color text returns to after a group drawn in its own color.
constexpr Color4 kDefaultTextColor{255, 255, 255, 255};

// A bitmap font: a .bspr sheet whose modules are the glyphs, with its glyph
// table, line metrics and color table. Text is 16-bit; units 1 to 8 are
// color codes (an optional ';' after one is part of the code), '\n' breaks
// the line. Characters the font lacks are drawn as its fallback glyph.
class CFont {
public:
    // Alignment flags of draw: 0 puts the block's top-left at (x, y).
    static constexpr int kCentreX = 1;   // each line centred on x
    static constexpr int kRight = 2;     // each line ends at x
    static constexpr int kCentreY = 4;   // the block centred on y
    static constexpr int kBottom = 8;    // the block ends at y
    static constexpr char16_t kFirstColorCode = 1, kLastColorCode = 8;

    struct TextSize {
        float width = 0.0f, height = 0.0f;
    };

    // Loads a .bspr with a font chunk; the base scale is the sheet's scale
    // times `scale`. False, and the font stays empty, when it fails.
    [[nodiscard]] bool load(std::string_view path, float scale);
    // Takes a sheet already read (no texture): tools and tests. False when
    // the sheet has no font chunk.
    [[nodiscard]] bool loadSheet(SpriteSheet sheet, float scale);
    void free();
    bool isLoaded() const { return m_glyphs.isLoaded() && m_glyphs.sheet().hasFont; }

    // The glyph sheet; its transform is the font's too (comic slides).
    CSprite& glyphSprite() { return m_glyphs; }
    const CSprite& glyphSprite() const { return m_glyphs; }

    Color4 color() const { return m_color; }
    void setColor(Color4 color) { m_color = color; }
    void setColorBytes(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) { m_color = {r, g, b, a}; }
    float scaleX() const { return m_scaleX; }
    float scaleY() const { return m_scaleY; }
    void setScale(float x, float y)
    {
        m_scaleX = x;
        m_scaleY = y;
    }
    // Added to every draw position, pixels.
    float offsetX() const { return m_offsetX; }
    float offsetY() const { return m_offsetY; }
    void setOffset(float x, float y)
    {
        m_offsetX = x;
        m_offsetY = y;
    }
    // Pixels added between glyphs; the base is the font's own value, which
    // callers restore after adjusting the spacing for a scaled text.
    int letterSpacing() const { return m_letterSpacing; }
    int baseLetterSpacing() const { return m_baseLetterSpacing; }
    void setLetterSpacing(int pixels) { m_letterSpacing = pixels; }
    int lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(int pixels) { m_lineSpacing = pixels; }

    // Glyph height x base scale x vertical scale + line spacing, pixels.
    float lineHeight() const;
    // Width of the widest line and the height of all lines; 0 x 0 for an
    // empty text. Color codes take no room.
    TextSize measure(std::u16string_view text) const;
    // Copies the text into `out` with line breaks put in so that no line is
    // wider than `width`: a space becomes a break, and Chinese and Japanese
    // text may also break between two characters, but never before a closing
    // mark (。、！ small kana and the like) nor after an opening one, so the
    // character before such a mark goes down with it. Korean, like Latin
    // text, breaks only at spaces; a word wider than the width keeps a line
    // of its own.
    // Never writes past out.size(); the copy is cut there and always ends
    // with a 0 unit. Returns the number of lines (0 for an empty text or buffer).
    int wrap(std::u16string_view text, float width, std::span<char16_t> out) const;

    // Draws the text at (x, y) with the alignment flags, rotated by `rotation`
    // radians (clockwise) about (x, y). In measure mode nothing is drawn and
    // the measure box grows instead.
    void draw(std::u16string_view text, float x, float y, int flags, float rotation = 0.0f);

    // Measure mode: draws only grow the box, in screen pixels.
    void beginMeasure();
    CSprite::Rect endMeasure();
    bool isMeasuring() const { return m_measuring; }

private:
    const SpriteSheet::Glyph* glyphFor(char16_t code) const;
    // Pixels the pen moves for the glyph, without letter spacing.
    float advance(const SpriteSheet::Glyph& glyph) const;
    float lineWidth(std::u16string_view line) const;
    Color4 codeColor(char16_t code) const;

    CSprite m_glyphs;
    Color4 m_color = kDefaultTextColor;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    float m_offsetX = 0.0f, m_offsetY = 0.0f;
    int m_letterSpacing = 0, m_baseLetterSpacing = 0, m_lineSpacing = 0;
    bool m_measuring = false;
    CSprite::Rect m_measureBox;
    bool m_measureEmpty = true;
};

// The text services by font. A null font draws nothing and measures 0 x 0.
void drawText(CFont* font, std::u16string_view text, float x, float y, int flags, float rotation = 0.0f);
// The same for a 0-terminated text (null draws nothing).
void drawString(CFont* font, const char16_t* text, float x, float y, int flags, float rotation = 0.0f);
CFont::TextSize measureText(const CFont* font, std::u16string_view text);
CFont::TextSize measureString(const CFont* font, const char16_t* text);
// CFont::wrap into a caller's buffer; the line count.
int drawTextWrapped(const CFont* font, std::u16string_view text, float width, std::span<char16_t> out);
// The same for text n of the main string table ("DUMMY" when it has none).
int drawTextWrapped(const CFont* font, int stringNumber, float width, std::span<char16_t> out);
