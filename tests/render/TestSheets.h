#pragma once
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSheet.h"

#include <vector>

// Small sheets built in code, and a sprite batch hook that records what would
// be drawn.
namespace testsheets {

// A 64x64 texture. Modules: 0 red 8x8 at (0,0); 1 green 4x6 at (8,0);
// 2..10 the nine 4x4 pieces of a box at (0,16) + 4 * (col,row); 11 a 4x2 bar
// piece. Frames: 0 two parts (module 0 at (0,0), module 1 at (10,-2));
// 1 empty; 2 the nine-patch of modules 2..10; 3 module 1 alone at (-2,-3);
// 4 a three-part bar.
inline SpriteSheet basicSheet()
{
    SpriteSheet s;
    s.sheetScale = 1.0f;
    s.textureName = "basic.png";
    s.texWidth = 64;
    s.texHeight = 64;
    s.modules.push_back({0, 0, 8, 8});
    s.modules.push_back({8, 0, 4, 6});
    for (int i = 0; i < 9; ++i)
        s.modules.push_back({static_cast<std::uint16_t>(4 * (i % 3)), static_cast<std::uint16_t>(16 + 4 * (i / 3)), 4, 4});
    s.modules.push_back({20, 0, 4, 2});
    s.parts.push_back({0, 0, 0, 0, 0.0f});
    s.parts.push_back({1, 10, -2, 0, 0.0f});
    for (int i = 0; i < 9; ++i)
        s.parts.push_back({static_cast<std::uint16_t>(2 + i), static_cast<std::int16_t>(4 * (i % 3)),
                           static_cast<std::int16_t>(4 * (i / 3)), 0, 0.0f});
    s.parts.push_back({1, -2, -3, 0, 0.0f});
    for (int i = 0; i < 3; ++i)
        s.parts.push_back({11, static_cast<std::int16_t>(4 * i), 0, 0, 0.0f});
    s.frames = {{0, 2}, {2, 0}, {2, 9}, {11, 1}, {12, 3}};
    s.animFrames = {{0, 5}, {2, 7}};
    s.anims = {{0, 2}};
    return s;
}

// A monospace font: every glyph is an 8x12 module at the same place and
// advances 10 pixels; glyph height 12, no spacing. Letters a-z, space, '?',
// and the ideographs U+4E00 and U+4E8C.
inline SpriteSheet monoFont()
{
    SpriteSheet s;
    s.texWidth = 16;
    s.texHeight = 16;
    s.modules.push_back({0, 0, 8, 12});
    s.modules.push_back({0, 0, 0, 0});   // the space draws nothing
    s.hasFont = true;
    s.font.glyphHeight = 12;
    s.font.colors[1] = Color4{255, 0, 0, 255};   // code 2
    s.font.colors[7] = Color4{0, 0, 255, 255};   // code 8
    s.font.glyphs.push_back({u' ', 1, 0, 0, 10});
    s.font.glyphs.push_back({u'?', 0, 0, 0, 10});
    for (char16_t c = u'a'; c <= u'z'; ++c)
        s.font.glyphs.push_back({c, 0, 1, 0, 10});
    s.font.glyphs.push_back({0x4E00, 0, 0, 0, 10});
    s.font.glyphs.push_back({0x4E8C, 0, 0, 0, 10});
    s.font.fallbackCode = u'?';
    return s;
}

// Records every quad the batch hands on while installed on the global batch.
struct RecordedQuad {
    SpriteVertex v[4];
    float minX() const { return std::min(std::min(v[0].x, v[1].x), std::min(v[2].x, v[3].x)); }
    float maxX() const { return std::max(std::max(v[0].x, v[1].x), std::max(v[2].x, v[3].x)); }
    float minY() const { return std::min(std::min(v[0].y, v[1].y), std::min(v[2].y, v[3].y)); }
    float maxY() const { return std::max(std::max(v[0].y, v[1].y), std::max(v[2].y, v[3].y)); }
};

class BatchRecorder {
public:
    BatchRecorder()
    {
        spriteBatch().discard();
        spriteBatch().setScreenSize(1000.0f, 1000.0f);
        spriteBatch().setDrawHook([this](std::span<const SpriteVertex> vertices, const Texture2D*, const ClipRect&) {
            ++flushes;
            opaqueRuns.push_back(spriteBatch().drawingOpaque());
            for (std::size_t i = 0; i + 3 < vertices.size(); i += 4) {
                RecordedQuad q;
                std::copy(vertices.begin() + static_cast<std::ptrdiff_t>(i),
                          vertices.begin() + static_cast<std::ptrdiff_t>(i + 4), q.v);
                quads.push_back(q);
            }
        });
    }
    ~BatchRecorder()
    {
        spriteBatch().discard();
        spriteBatch().setDrawHook(nullptr);
    }
    // Flushes the batch and returns everything drawn so far.
    const std::vector<RecordedQuad>& drawn()
    {
        spriteBatch().flush();
        return quads;
    }
    std::vector<RecordedQuad> quads;
    int flushes = 0;
    std::vector<bool> opaqueRuns;   // per flush: whether the batch called it opaque
};

}  // namespace testsheets
