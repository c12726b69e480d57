#include "render/2d/CFont.h"
#include "platform/Log.h"

#include "platform/Language.h"
#include "render/2d/SpriteBatch.h"
#include "render/internal/SpriteQuads.h"

#include <algorithm>

namespace {

bool isColorCode(char16_t c)
{
    return c >= CFont::kFirstColorCode && c <= CFont::kLastColorCode;
}

// Chinese and Japanese text has no spaces to break at: a line may break
// between any two of these. Korean keeps its words whole and breaks at spaces,
// so the Hangul blocks (syllables, jamo, half-width forms) are left out.
bool breaksAnywhere(char16_t c)
{
    if (c >= 0x3130 && c <= 0x318F)
        return false;
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFF9F) ||
           (c >= 0xFFE0 && c <= 0xFFEF);
}

// Marks that never begin a line: closing brackets and punctuation, the
// small kana and the long-vowel and repeat marks.
bool closesLine(char16_t c)
{
    switch (c) {
    case u'.': case u',': case u'!': case u'?': case u':': case u';': case u')': case u']': case u'}':
    case 0x2019: case 0x201D: case 0x2026:
    case 0x3001: case 0x3002: case 0x3005: case 0x3009: case 0x300B: case 0x300D: case 0x300F: case 0x3011:
    case 0x3015: case 0x3017: case 0x301C: case 0x301F:
    case 0x3041: case 0x3043: case 0x3045: case 0x3047: case 0x3049: case 0x3063: case 0x3083: case 0x3085:
    case 0x3087: case 0x308E: case 0x3095: case 0x3096: case 0x309D: case 0x309E:
    case 0x30A1: case 0x30A3: case 0x30A5: case 0x30A7: case 0x30A9: case 0x30C3: case 0x30E3: case 0x30E5:
    case 0x30E7: case 0x30EE: case 0x30F5: case 0x30F6: case 0x30FB: case 0x30FC: case 0x30FD: case 0x30FE:
    case 0xFF01: case 0xFF09: case 0xFF0C: case 0xFF0E: case 0xFF1A: case 0xFF1B: case 0xFF1F: case 0xFF3D:
    case 0xFF5D: case 0xFF61: case 0xFF63: case 0xFF64:
        return true;
    default:
        return false;
    }
}

// Opening brackets and quotes that never end a line.
bool opensLine(char16_t c)
{
    switch (c) {
    case u'(': case u'[': case u'{': case 0x2018: case 0x201C:
    case 0x3008: case 0x300A: case 0x300C: case 0x300E: case 0x3010: case 0x3014: case 0x3016: case 0x301D:
    case 0xFF08: case 0xFF3B: case 0xFF5B: case 0xFF62:
        return true;
    default:
        return false;
    }
}

int lineCount(std::u16string_view text)
{
    return text.empty() ? 0 : 1 + static_cast<int>(std::count(text.begin(), text.end(), u'\n'));
}

}  // namespace

bool CFont::load(std::string_view path, float scale)
{
    free();
    if (!m_glyphs.load(path, scale))
        return false;
    if (!m_glyphs.sheet().hasFont) {
        logWarning("render", "\"%.*s\" has no glyph table", static_cast<int>(path.size()), path.data());
        m_glyphs.free();
        return false;
    }
    m_letterSpacing = m_baseLetterSpacing = m_glyphs.sheet().font.letterSpacing;
    m_lineSpacing = m_glyphs.sheet().font.lineSpacing;
    return true;
}

bool CFont::loadSheet(SpriteSheet sheet, float scale)
{
    free();
    if (!sheet.hasFont)
        return false;
    m_letterSpacing = m_baseLetterSpacing = sheet.font.letterSpacing;
    m_lineSpacing = sheet.font.lineSpacing;
    m_glyphs.loadSheet(std::move(sheet), scale);
    return true;
}

void CFont::free()
{
    m_glyphs.free();
    m_letterSpacing = m_baseLetterSpacing = m_lineSpacing = 0;
}

const SpriteSheet::Glyph* CFont::glyphFor(char16_t code) const
{
    const auto& glyphs = m_glyphs.sheet().font.glyphs;
    const auto find = [&](char16_t c) -> const SpriteSheet::Glyph* {
        const auto it = std::lower_bound(glyphs.begin(), glyphs.end(), c,
                                         [](const SpriteSheet::Glyph& g, char16_t v) { return g.code < v; });
        return it != glyphs.end() && it->code == c ? &*it : nullptr;
    };
    if (const SpriteSheet::Glyph* glyph = find(code))
        return glyph;
    return find(m_glyphs.sheet().font.fallbackCode);
}

float CFont::advance(const SpriteSheet::Glyph& glyph) const
{
    return glyph.advance * m_glyphs.baseScale() * m_scaleX;
}

float CFont::lineHeight() const
{
    return m_glyphs.sheet().font.glyphHeight * m_glyphs.baseScale() * m_scaleY + m_lineSpacing;
}

Color4 CFont::codeColor(char16_t code) const
{
    if (code == kFirstColorCode)
        return m_color;
    Color4 c = m_glyphs.sheet().font.colors[code - kFirstColorCode];
    c.a = static_cast<std::uint8_t>(c.a * m_color.a / 255);
    return c;
}

float CFont::lineWidth(std::u16string_view line) const
{
    float width = 0.0f;
    int glyphs = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char16_t c = line[i];
        if (isColorCode(c)) {
            if (i + 1 < line.size() && line[i + 1] == u';')
                ++i;
            continue;
        }
        if (c < 32)
            continue;
        if (const SpriteSheet::Glyph* glyph = glyphFor(c)) {
            width += advance(*glyph) + m_letterSpacing;
            ++glyphs;
        }
    }
    return glyphs > 0 ? width - m_letterSpacing : 0.0f;
}

CFont::TextSize CFont::measure(std::u16string_view text) const
{
    TextSize size;
    if (!isLoaded() || text.empty())
        return size;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(u'\n', start), text.size());
        size.width = std::max(size.width, lineWidth(text.substr(start, end - start)));
        start = end + 1;
    }
    size.height = lineCount(text) * lineHeight();
    return size;
}

int CFont::wrap(std::u16string_view text, float width, std::span<char16_t> out) const
{
    if (out.empty())
        return 0;
    const std::size_t capacity = out.size() - 1;   // room for the closing 0
    std::size_t o = 0;
    int lines = 0;
    float sum = 0.0f;          // glyph advances plus spacing on the current line
    // The last place on the current line where it may break: a space (which
    // becomes the break) or a gap between two glyphs (where one is put in).
    std::size_t breakAt = 0;
    bool canBreak = false, breakOnSpace = false;
    float sumAtBreak = 0.0f;   // the line's width before the break's place, a space included
    char16_t previous = 0;     // the last glyph of the line, 0 after a space or a line break
    const auto breakLine = [&](std::size_t at, bool onSpace, float before) {
        if (onSpace) {
            out[at] = u'\n';
        } else {
            // The tail moves one unit on; the loop keeps o below capacity.
            for (std::size_t k = o; k > at; --k)
                out[k] = out[k - 1];
            out[at] = u'\n';
            ++o;
        }
        ++lines;
        sum -= before;
        canBreak = false;
    };
    for (std::size_t i = 0; i < text.size() && o < capacity; ++i) {
        const char16_t c = text[i];
        if (lines == 0)
            lines = 1;
        if (c == u'\n') {
            out[o++] = c;
            ++lines;
            sum = 0.0f;
            canBreak = false;
            previous = 0;
            continue;
        }
        if (isColorCode(c) || c < 32) {
            out[o++] = c;
            if (isColorCode(c) && i + 1 < text.size() && text[i + 1] == u';' && o < capacity)
                out[o++] = text[++i];
            continue;
        }
        const SpriteSheet::Glyph* glyph = isLoaded() ? glyphFor(c) : nullptr;
        const float step = glyph ? advance(*glyph) + m_letterSpacing : 0.0f;
        if (c == u' ') {
            breakAt = o;
            out[o++] = c;
            sum += step;
            sumAtBreak = sum;
            canBreak = breakOnSpace = true;
            previous = 0;
            continue;
        }
        // Between two glyphs where Chinese or Japanese text may break, unless
        // the mark after closes or the mark before opens.
        const bool gap = previous != 0 && (breaksAnywhere(previous) || breaksAnywhere(c));
        if (gap && !closesLine(c) && !opensLine(previous)) {
            breakAt = o;
            sumAtBreak = sum;
            canBreak = true;
            breakOnSpace = false;
        }
        if (sum > 0.0f && sum + step - m_letterSpacing > width) {
            if (canBreak) {
                breakLine(breakAt, breakOnSpace, sumAtBreak);
            } else if (gap) {
                // No allowed place on the line: break here all the same
                // rather than run past the width.
                breakLine(o, false, sum);
            }
            if (o >= capacity)
                break;
        }
        out[o++] = c;
        sum += step;
        previous = c;
    }
    out[o] = 0;
    return lines;
}

void CFont::draw(std::u16string_view text, float x, float y, int flags, float rotation)
{
    if (!isLoaded() || text.empty())
        return;
    const float sx = m_glyphs.baseScale() * m_scaleX, sy = m_glyphs.baseScale() * m_scaleY;
    const float lineStep = lineHeight();
    const float blockHeight = lineCount(text) * lineStep;
    float lineTop = (flags & kCentreY) ? -blockHeight / 2 : (flags & kBottom) ? -blockHeight : 0.0f;
    Transform2D place = m_glyphs.transform() * Transform2D::translation(x + m_offsetX, y + m_offsetY);
    if (rotation != 0.0f)
        place = place * Transform2D::rotation(rotation);
    const SpriteSheet& sheet = m_glyphs.sheet();
    Color4 color = m_color;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(u'\n', start), text.size());
        const std::u16string_view line = text.substr(start, end - start);
        const float width = lineWidth(line);
        float pen = (flags & kCentreX) ? -width / 2 : (flags & kRight) ? -width : 0.0f;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char16_t c = line[i];
            if (isColorCode(c)) {
                color = codeColor(c);
                if (i + 1 < line.size() && line[i + 1] == u';')
                    ++i;
                continue;
            }
            const SpriteSheet::Glyph* glyph = c < 32 ? nullptr : glyphFor(c);
            if (!glyph)
                continue;
            const SpriteSheet::Module& module = sheet.modules[glyph->module];
            const float x0 = pen + glyph->xOff * sx, y0 = lineTop + glyph->yOff * sy;
            const float x1 = x0 + module.w * sx, y1 = y0 + module.h * sy;
            if (m_measuring) {
                const float cx[4] = {x0, x1, x0, x1}, cy[4] = {y0, y0, y1, y1};
                for (int k = 0; k < 4; ++k) {
                    const float px = place.applyX(cx[k], cy[k]), py = place.applyY(cx[k], cy[k]);
                    if (m_measureEmpty) {
                        m_measureBox = CSprite::Rect{px, py, 0.0f, 0.0f};
                        m_measureEmpty = false;
                    }
                    const float right = std::max(m_measureBox.x + m_measureBox.w, px);
                    const float bottom = std::max(m_measureBox.y + m_measureBox.h, py);
                    m_measureBox.x = std::min(m_measureBox.x, px);
                    m_measureBox.y = std::min(m_measureBox.y, py);
                    m_measureBox.w = right - m_measureBox.x;
                    m_measureBox.h = bottom - m_measureBox.y;
                }
            } else if (module.w > 0 && module.h > 0 && color.a > 0) {
                emitQuad(spriteBatch(), place, x0, y0, x1, y1, moduleUv(sheet, module, 0), premultiplied(color),
                         m_glyphs.texture());
            }
            pen += advance(*glyph) + m_letterSpacing;
        }
        lineTop += lineStep;
        start = end + 1;
    }
}

void CFont::beginMeasure()
{
    m_measuring = true;
    m_measureEmpty = true;
    m_measureBox = {};
}

CSprite::Rect CFont::endMeasure()
{
    m_measuring = false;
    return m_measureEmpty ? CSprite::Rect{} : m_measureBox;
}

void drawText(CFont* font, std::u16string_view text, float x, float y, int flags, float rotation)
{
    if (font)
        font->draw(text, x, y, flags, rotation);
}

void drawString(CFont* font, const char16_t* text, float x, float y, int flags, float rotation)
{
    if (font && text)
        font->draw(std::u16string_view(text), x, y, flags, rotation);
}

CFont::TextSize measureText(const CFont* font, std::u16string_view text)
{
    return font ? font->measure(text) : CFont::TextSize{};
}

CFont::TextSize measureString(const CFont* font, const char16_t* text)
{
    return font && text ? font->measure(std::u16string_view(text)) : CFont::TextSize{};
}

int drawTextWrapped(const CFont* font, std::u16string_view text, float width, std::span<char16_t> out)
{
    if (!font) {
        if (!out.empty())
            out[0] = 0;
        return 0;
    }
    return font->wrap(text, width, out);
}

int drawTextWrapped(const CFont* font, int stringNumber, float width, std::span<char16_t> out)
{
    return drawTextWrapped(font, getStringByIndex(stringNumber), width, out);
}
