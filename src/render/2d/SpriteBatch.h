#pragma once
#include "platform/Math.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class Texture2D;

// One corner of a 2-D quad in the 24-byte position-color-texture layout. The
// color is premultiplied by its alpha, as the default blend expects.
struct SpriteVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;   // screen pixels, y down
    Color4 color;
    float u = 0.0f, v = 0.0f;
};
static_assert(sizeof(SpriteVertex) == 24, "the position-color-texture layout is 24 bytes");

// A rectangle in screen pixels, y down.
struct ClipRect {
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
};

// Collects the quads of the 2-D pass and hands them to the draw hook in runs
// that share one texture and one clip rectangle. It needs no GL context: the
// 2-D pass installs the hook that draws, tests install one that records.
// A quad joins an earlier run of its texture when it overlaps nothing queued
// since that run (seen on a coarse grid of screen cells), so text over a page
// of widgets does not end a run at every label; what overlaps keeps its order.
class SpriteBatch {
public:
    // The shared quad index array holds this many quads; a fuller batch flushes first.
    static constexpr int kMaxQuads = 2048;

    // Called with 4 vertices a quad (corners in the order of the shared indices
    // 0, 1, 2 / 1, 2, 3: top-left, top-right, bottom-left, bottom-right for an
    // unrotated quad), the texture and the clip rectangle in force.
    using DrawHook = std::function<void(std::span<const SpriteVertex> vertices, const Texture2D* texture,
                                        const ClipRect& clip)>;
    void setDrawHook(DrawHook hook) { m_drawHook = std::move(hook); }

    // Appends a quad; flushes first when the batch is full. An opaque quad
    // covers what lies under it whole (its texels and color are fully
    // opaque); it draws in runs of its own, which the hook may draw unblended.
    void addQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque = false);
    // Draws the pending quads and empties the batch.
    void flush();
    // Drops the pending quads without drawing them.
    void discard();
    int pendingQuads() const { return m_quadCount; }
    // The draws the pending quads would take.
    int pendingRuns() const { return static_cast<int>(m_runs.size()); }
    // While the hook runs: whether the quads it was given are all opaque.
    bool drawingOpaque() const { return m_drawingOpaque; }

    // The whole screen: what the clip rectangle returns to. Resets the clip
    // rectangle and empties the clip stack.
    void setScreenSize(float width, float height);
    const ClipRect& clipRect() const { return m_clip; }
    // Saves the current clip rectangle.
    void pushClipRect();
    // Flushes, then intersects the current clip rectangle with the given one.
    void setClipRect(float x, float y, float w, float h);
    // Flushes and restores the rectangle saved by the last push; the whole
    // screen when nothing is saved.
    void popClipRect();
    // Flushes and makes the whole screen the clip rectangle (the stack is kept).
    void resetClipRect();
    int clipDepth() const { return static_cast<int>(m_clipStack.size()); }

    // The crop rectangle: quads added while one is set are cut to it by moving
    // their corners and texture coordinates, without a flush or a scissor
    // change, so cropped and plain quads of one texture still draw together.
    // A turned quad, which cannot be cut that way, draws alone under the clip
    // rectangle instead. Crops nest: each push intersects with the one before.
    void pushCropRect(float x, float y, float w, float h);
    void popCropRect();
    bool cropping() const { return !m_cropStack.empty(); }
    // The crop in force; null when none is.
    const ClipRect* currentCrop() const { return m_cropStack.empty() ? nullptr : &m_cropStack.back(); }

private:
    void addCroppedQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque);
    void append(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque);
    // The run the quad joins (a new one at the end when none may take it).
    int placeQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque);
    void clearCells();

    struct Run {
        const Texture2D* texture = nullptr;
        bool opaque = false;
        int quads = 0;
    };
    // Cells of kCellSize pixels; each holds 1 + the last run drawn into it (0: none).
    static constexpr float kCellSize = 8.0f;   // a power of two: cells by shifts
    // A quad over more cells than this (a quarter of a 1280 x 720 screen) counts as everywhere.
    static constexpr int kBigQuadCells = 3600;

    std::array<SpriteVertex, kMaxQuads * 4> m_vertices{};
    std::array<std::uint16_t, kMaxQuads> m_quadRun{};
    int m_quadCount = 0;
    std::vector<Run> m_runs;
    std::vector<SpriteVertex> m_gathered;
    std::vector<int> m_runStart, m_runNext;   // a flush's scratch
    int m_floor = 0;   // 1 + the last run of a quad counted as everywhere
    std::vector<std::uint16_t> m_cells;
    int m_columns = 0, m_rows = 0;
    // The touched cells' bounds, cleared at a flush.
    int m_dirtyLeft = 0, m_dirtyTop = 0, m_dirtyRight = -1, m_dirtyBottom = -1;
    DrawHook m_drawHook;
    bool m_drawingOpaque = false;
    ClipRect m_screen;
    ClipRect m_clip;
    // Grows as needed, so no push can write past its storage.
    std::vector<ClipRect> m_clipStack;
    std::vector<ClipRect> m_cropStack;   // the back is in force
};

// The batch of the 2-D pass.
SpriteBatch& spriteBatch();
