#pragma once
#include "platform/Math.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The contents of a .bspr sprite sheet: texture rectangles (modules), frames
// made of parts that place modules at offsets from the frame's origin,
// animations over frames, and for fonts a glyph table whose glyphs are modules.
// Reading and writing need no GL context, so tools and tests use it directly.
//
// File layout (little-endian):
//   "BSPR", u16 version (1), u16 flags (bit 0: a font chunk follows)
//   f32 sheetScale                         authoring density; multiplied by the load scale
//   u16 length + bytes: texture name       relative to the sheet's folder; empty = same base name + ".png"
//   u16 texWidth, texHeight                texture size in pixels, for the UVs
//   u16 count, modules    { u16 x, y, w, h }
//   u16 count, parts      { u16 module; i16 x, y; u8 flip; u8 pad = 0; f32 rotation }
//   u16 count, frames     { u16 firstPart, partCount }
//   u16 count, animFrames { u16 frame, duration }
//   u16 count, anims      { u16 firstAnimFrame, count }
//   font chunk: u16 glyphHeight; i16 baseline, lineSpacing, letterSpacing;
//               u8 colors[8][4] (codes 1 to 8); u16 count, glyphs
//               { u16 code, module; i16 xOff, yOff, advance } sorted by code; u16 fallbackCode
struct SpriteSheet {
    struct Module {
        std::uint16_t x = 0, y = 0, w = 0, h = 0;   // texture pixels
    };
    // Flip bits of a part (and of drawFrame/drawModule flags).
    static constexpr std::uint8_t kFlipX = 1, kFlipY = 2;
    struct Part {
        std::uint16_t module = 0;
        std::int16_t x = 0, y = 0;     // top-left of the module from the frame origin, sheet pixels
        std::uint8_t flip = 0;
        float rotation = 0.0f;         // radians about the part's centre, clockwise on screen
    };
    struct Frame {
        std::uint16_t firstPart = 0, partCount = 0;
    };
    struct AnimFrame {
        std::uint16_t frame = 0, duration = 0;
    };
    struct Anim {
        std::uint16_t firstAnimFrame = 0, count = 0;
    };
    struct Glyph {
        std::uint16_t code = 0, module = 0;
        std::int16_t xOff = 0, yOff = 0;   // module's top-left from the pen at the line top
        std::int16_t advance = 0;          // sheet pixels to the next pen position
    };
    struct Font {
        std::uint16_t glyphHeight = 0;
        std::int16_t baseline = 0, lineSpacing = 0, letterSpacing = 0;
        std::array<Color4, 8> colors{};   // entry k - 1 for color code k; code 1 is the font's own color
        std::vector<Glyph> glyphs;         // strictly ascending codes
        std::uint16_t fallbackCode = '?';
    };

    static constexpr std::uint16_t kVersion = 1;
    // Sheets are authored at a few pixels per unit either way; a scale far
    // outside this is damage, and a tiny one turns sizes into infinities.
    static constexpr float kMinScale = 1.0f / 1024.0f, kMaxScale = 1024.0f;

    float sheetScale = 1.0f;
    std::string textureName;
    std::uint16_t texWidth = 0, texHeight = 0;
    std::vector<Module> modules;
    std::vector<Part> parts;
    std::vector<Frame> frames;
    std::vector<AnimFrame> animFrames;
    std::vector<Anim> anims;
    bool hasFont = false;
    Font font;
};

// False (and `out` untouched) when the bytes are not a whole, consistent sheet:
// wrong magic or version, truncated or trailing bytes, a module outside the
// texture, a part naming a missing module, a frame or animation range outside
// its table, a glyph naming a missing module or out of order, a non-finite
// scale or one outside kMinScale..kMaxScale, an unsafe texture name.
[[nodiscard]] bool readSpriteSheet(std::span<const std::uint8_t> bytes, SpriteSheet& out);

// The file bytes of a sheet. Counts above 65535 cannot be stored; the data tool
// checks its sheets with readSpriteSheet after writing.
std::vector<std::uint8_t> writeSpriteSheet(const SpriteSheet& sheet);
