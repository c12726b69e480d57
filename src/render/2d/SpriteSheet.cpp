#include "render/2d/SpriteSheet.h"

#include "platform/ByteReader.h"
#include "platform/File.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'B', 'S', 'P', 'R'};
constexpr std::uint16_t kFlagFont = 1;

bool readModules(ByteReader& in, SpriteSheet& sheet)
{
    std::uint16_t n = 0;
    if (!in.count(n, 8))
        return false;
    sheet.modules.resize(n);
    for (SpriteSheet::Module& m : sheet.modules) {
        if (!in.u16(m.x) || !in.u16(m.y) || !in.u16(m.w) || !in.u16(m.h))
            return false;
        if (m.x + m.w > sheet.texWidth || m.y + m.h > sheet.texHeight)
            return false;
    }
    return true;
}

bool readParts(ByteReader& in, SpriteSheet& sheet)
{
    std::uint16_t n = 0;
    if (!in.count(n, 12))
        return false;
    sheet.parts.resize(n);
    for (SpriteSheet::Part& p : sheet.parts) {
        std::uint8_t pad = 0;
        if (!in.u16(p.module) || !in.i16(p.x) || !in.i16(p.y) || !in.u8(p.flip) || !in.u8(pad) ||
            !in.f32(p.rotation))
            return false;
        // A set pad byte is a later version's field or damage; read alone
        // it would be lost on the next write.
        if (p.module >= sheet.modules.size() || pad != 0)
            return false;
    }
    return true;
}

bool readFrames(ByteReader& in, SpriteSheet& sheet)
{
    std::uint16_t n = 0;
    if (!in.count(n, 4))
        return false;
    sheet.frames.resize(n);
    for (SpriteSheet::Frame& f : sheet.frames) {
        if (!in.u16(f.firstPart) || !in.u16(f.partCount))
            return false;
        if (f.firstPart + f.partCount > static_cast<int>(sheet.parts.size()))
            return false;
    }
    return true;
}

bool readAnimations(ByteReader& in, SpriteSheet& sheet)
{
    std::uint16_t n = 0;
    if (!in.count(n, 4))
        return false;
    sheet.animFrames.resize(n);
    for (SpriteSheet::AnimFrame& a : sheet.animFrames) {
        if (!in.u16(a.frame) || !in.u16(a.duration))
            return false;
        if (a.frame >= sheet.frames.size())
            return false;
    }
    if (!in.count(n, 4))
        return false;
    sheet.anims.resize(n);
    for (SpriteSheet::Anim& a : sheet.anims) {
        if (!in.u16(a.firstAnimFrame) || !in.u16(a.count))
            return false;
        if (a.firstAnimFrame + a.count > static_cast<int>(sheet.animFrames.size()))
            return false;
    }
    return true;
}

bool readFont(ByteReader& in, SpriteSheet& sheet)
{
    SpriteSheet::Font& font = sheet.font;
    if (!in.u16(font.glyphHeight) || !in.i16(font.baseline) || !in.i16(font.lineSpacing) ||
        !in.i16(font.letterSpacing))
        return false;
    for (Color4& c : font.colors) {
        if (!in.u8(c.r) || !in.u8(c.g) || !in.u8(c.b) || !in.u8(c.a))
            return false;
    }
    std::uint16_t n = 0;
    if (!in.count(n, 10))
        return false;
    font.glyphs.resize(n);
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        SpriteSheet::Glyph& g = font.glyphs[i];
        if (!in.u16(g.code) || !in.u16(g.module) || !in.i16(g.xOff) || !in.i16(g.yOff) || !in.i16(g.advance))
            return false;
        if (g.module >= sheet.modules.size() || (i > 0 && g.code <= font.glyphs[i - 1].code))
            return false;
    }
    return in.u16(font.fallbackCode);
}

class SheetWriter {
public:
    void u8(std::uint8_t v) { m_out.push_back(v); }
    void u16(std::uint16_t v)
    {
        m_out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        m_out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void f32(float v)
    {
        const std::uint32_t raw = std::bit_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            m_out.push_back(static_cast<std::uint8_t>(raw >> shift));
    }
    void count(std::size_t n) { u16(static_cast<std::uint16_t>(n)); }
    std::vector<std::uint8_t>& bytes() { return m_out; }

private:
    std::vector<std::uint8_t> m_out;
};

}  // namespace

bool readSpriteSheet(std::span<const std::uint8_t> bytes, SpriteSheet& out)
{
    ByteReader in(bytes);
    char magic[4] = {};
    std::uint16_t version = 0, flags = 0;
    if (!in.bytes(magic, 4) || std::memcmp(magic, kMagic, 4) != 0 || !in.u16(version) ||
        version != SpriteSheet::kVersion || !in.u16(flags) || (flags & ~kFlagFont) != 0)
        return false;

    SpriteSheet sheet;
    std::uint16_t nameLength = 0;
    if (!in.f32(sheet.sheetScale) || sheet.sheetScale < SpriteSheet::kMinScale ||
        sheet.sheetScale > SpriteSheet::kMaxScale || !in.count(nameLength, 1))
        return false;
    sheet.textureName.resize(nameLength);
    if (!in.bytes(sheet.textureName.data(), nameLength))
        return false;
    if (!sheet.textureName.empty() && !isSafeFileName(sheet.textureName))
        return false;
    if (!in.u16(sheet.texWidth) || !in.u16(sheet.texHeight))
        return false;
    if (!readModules(in, sheet) || !readParts(in, sheet) || !readFrames(in, sheet) || !readAnimations(in, sheet))
        return false;
    sheet.hasFont = (flags & kFlagFont) != 0;
    if (sheet.hasFont && !readFont(in, sheet))
        return false;
    if (!in.atEnd())
        return false;
    out = std::move(sheet);
    return true;
}

std::vector<std::uint8_t> writeSpriteSheet(const SpriteSheet& sheet)
{
    SheetWriter out;
    for (char c : kMagic)
        out.u8(static_cast<std::uint8_t>(c));
    out.u16(SpriteSheet::kVersion);
    out.u16(sheet.hasFont ? kFlagFont : 0);
    out.f32(sheet.sheetScale);
    out.count(sheet.textureName.size());
    for (char c : sheet.textureName)
        out.u8(static_cast<std::uint8_t>(c));
    out.u16(sheet.texWidth);
    out.u16(sheet.texHeight);
    out.count(sheet.modules.size());
    for (const SpriteSheet::Module& m : sheet.modules) {
        out.u16(m.x);
        out.u16(m.y);
        out.u16(m.w);
        out.u16(m.h);
    }
    out.count(sheet.parts.size());
    for (const SpriteSheet::Part& p : sheet.parts) {
        out.u16(p.module);
        out.i16(p.x);
        out.i16(p.y);
        out.u8(p.flip);
        out.u8(0);
        out.f32(p.rotation);
    }
    out.count(sheet.frames.size());
    for (const SpriteSheet::Frame& f : sheet.frames) {
        out.u16(f.firstPart);
        out.u16(f.partCount);
    }
    out.count(sheet.animFrames.size());
    for (const SpriteSheet::AnimFrame& a : sheet.animFrames) {
        out.u16(a.frame);
        out.u16(a.duration);
    }
    out.count(sheet.anims.size());
    for (const SpriteSheet::Anim& a : sheet.anims) {
        out.u16(a.firstAnimFrame);
        out.u16(a.count);
    }
    if (sheet.hasFont) {
        const SpriteSheet::Font& font = sheet.font;
        out.u16(font.glyphHeight);
        out.i16(font.baseline);
        out.i16(font.lineSpacing);
        out.i16(font.letterSpacing);
        for (const Color4& c : font.colors) {
            out.u8(c.r);
            out.u8(c.g);
            out.u8(c.b);
            out.u8(c.a);
        }
        out.count(font.glyphs.size());
        for (const SpriteSheet::Glyph& g : font.glyphs) {
            out.u16(g.code);
            out.u16(g.module);
            out.i16(g.xOff);
            out.i16(g.yOff);
            out.i16(g.advance);
        }
        out.u16(font.fallbackCode);
    }
    return std::move(out.bytes());
}
