#pragma once
#include "platform/Math.h"

#include <cstdint>
#include <span>
#include <vector>

class BufferObject;
class Texture2D;
struct SpriteSheet;

// Where the particle sheet's pictures lie: for each animation its frames in
// order, each the texture rectangle of the frame's picture (0..1). Built from
// the particle sprite set's animation records.
struct ParticleAtlas {
    struct Rect {
        float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    };
    std::vector<std::vector<Rect>> animations;
    // The lightmap texture is a grid of this many cells a side; animLightMap
    // k >= 1 picks cell k - 1 in rows from the top left, 0 means none.
    int lightmapGrid = 4;

    // The atlas of the particle sprite set: animation k's frames are the
    // sheet's animation k in order, each the rectangle of the module of its
    // frame's first part. A frame without parts gets an empty rectangle,
    // which the batch does not draw.
    static ParticleAtlas fromSheet(const SpriteSheet& sheet);
    // Frames of the animation; 0 for an unknown one.
    int frameCount(int animation) const;
};

// The particle sprite batch: camera-facing (or axis-given) quads of the
// particle sheet, built on the CPU and drawn through the streaming buffer.
// Normal vertices are 24 bytes (96 a particle); high-detail vertices carry
// a lightmap coordinate as well (32 bytes, 128 a particle).
class ParticleSpriteBatch {
public:
    static constexpr int kCapacity = 4096;   // the particle pool's size
    static constexpr int kNormalStride = 24, kHighDetailStride = 32;

    // Empties the batch and sets its sheet and vertex mode.
    void begin(const ParticleAtlas& atlas, bool highDetail);
    // One quad centred at position reaching axisX and axisY to each side
    // (half extents, already rotated and scaled), premultiplied color.
    // False, adding nothing, when the batch is full or the animation or
    // frame is not in the atlas or has an empty rectangle.
    bool add(const Vec3& position, const Vec3& axisX, const Vec3& axisY, Color4 color, int animation, int frame,
             int animLightMap);

    int count() const { return m_count; }
    bool highDetail() const { return m_highDetail; }
    int stride() const { return m_highDetail ? kHighDetailStride : kNormalStride; }
    std::span<const std::uint8_t> vertices() const { return m_vertices; }

    // Draws the quads with the current state (blend, depth, texture unit 0 =
    // the sheet) and matrices: normal mode through the effect program, high
    // detail through a lightmap program with `lightmaps` on unit 1 (the glow
    // variant under additive blending). The vertices go through `stream`
    // when it is large enough, else from client memory.
    void draw(BufferObject* stream, const Texture2D* lightmaps) const;

private:
    void drawNormal(BufferObject* stream) const;
    void drawHighDetail(BufferObject* stream, const Texture2D* lightmaps) const;
    void drawChunks(BufferObject* stream) const;

    const ParticleAtlas* m_atlas = nullptr;
    bool m_highDetail = false;
    int m_count = 0;
    std::vector<std::uint8_t> m_vertices;
};
