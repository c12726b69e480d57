#include "render/2d/SpriteBatch.h"

#include <algorithm>
#include <cmath>

void SpriteBatch::addQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque)
{
    if (m_cropStack.empty())
        append(quad, texture, opaque);
    else
        addCroppedQuad(quad, texture, opaque);
}

void SpriteBatch::append(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque)
{
    if (m_quadCount >= kMaxQuads)
        flush();
    const int run = placeQuad(quad, texture, opaque);
    std::copy(quad.begin(), quad.end(), m_vertices.begin() + m_quadCount * 4);
    m_quadRun[static_cast<std::size_t>(m_quadCount)] = static_cast<std::uint16_t>(run);
    ++m_runs[static_cast<std::size_t>(run)].quads;
    ++m_quadCount;
}

int SpriteBatch::placeQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque)
{
    const int runCount = static_cast<int>(m_runs.size());
    float left = quad[0].x, right = quad[0].x, top = quad[0].y, bottom = quad[0].y;
    for (const SpriteVertex& v : quad.subspan<1>()) {
        left = std::min(left, v.x);
        right = std::max(right, v.x);
        top = std::min(top, v.y);
        bottom = std::max(bottom, v.y);
    }
    // The pixels the quad may touch, from floor(left) to the last one before
    // right (the same down), in cells; what lies off the screen touches none.
    int c0 = 0, c1 = -1, r0 = 0, r1 = -1;
    // A big quad (a backdrop, a dimmed screen), one without a grid or a box
    // that is not a number counts as over everything queued: it raises the
    // floor instead of marking each of its cells.
    bool everywhere = !(left <= right && top <= bottom) || m_columns == 0 || m_rows == 0;
    if (!everywhere) {
        const float width = m_screen.w, height = m_screen.h;
        left = std::clamp(left, 0.0f, width);
        right = std::clamp(right, 0.0f, width);
        top = std::clamp(top, 0.0f, height);
        bottom = std::clamp(bottom, 0.0f, height);
        // Non-negative: a cast is the floor.
        const auto lastBefore = [](float edge) {
            const int whole = static_cast<int>(edge);
            return static_cast<float>(whole) == edge ? whole - 1 : whole;
        };
        const int x0 = static_cast<int>(left), x1 = lastBefore(right);
        const int y0 = static_cast<int>(top), y1 = lastBefore(bottom);
        if (x0 <= x1 && y0 <= y1) {
            constexpr int kShift = 3;
            static_assert(kCellSize == 1 << kShift, "cells are found by shifts");
            c0 = x0 >> kShift;
            c1 = std::min(x1 >> kShift, m_columns - 1);
            r0 = y0 >> kShift;
            r1 = std::min(y1 >> kShift, m_rows - 1);
            everywhere = (c1 - c0 + 1) * (r1 - r0 + 1) > kBigQuadCells;
        }
    }
    // The earliest run the quad may join: none before the last run it overlaps.
    int earliest = everywhere ? runCount - 1 : m_floor - 1;
    if (!everywhere && c0 <= c1) {
        std::uint16_t last = 0;
        for (int r = r0; r <= r1; ++r) {
            const std::uint16_t* row = m_cells.data() + r * m_columns;
            for (int c = c0; c <= c1; ++c)
                last = std::max(last, row[c]);
        }
        earliest = std::max(earliest, static_cast<int>(last) - 1);
    }
    // Only the last few runs are looked at: a long search would cost more than a draw.
    constexpr int kRunsSearched = 8;
    int run = -1;
    for (int k = runCount - 1; k >= std::max({earliest, runCount - kRunsSearched, 0}); --k)
        if (m_runs[static_cast<std::size_t>(k)].texture == texture && m_runs[static_cast<std::size_t>(k)].opaque == opaque) {
            run = k;
            break;
        }
    if (run < 0) {
        run = runCount;
        m_runs.push_back(Run{texture, opaque, 0});
    }
    if (everywhere) {
        m_floor = std::max(m_floor, run + 1);
    } else if (c0 <= c1) {
        const auto mark = static_cast<std::uint16_t>(run + 1);
        for (int r = r0; r <= r1; ++r) {
            std::uint16_t* row = m_cells.data() + r * m_columns;
            for (int c = c0; c <= c1; ++c)
                row[c] = std::max(row[c], mark);
        }
        m_dirtyLeft = std::min(m_dirtyLeft, c0);
        m_dirtyRight = std::max(m_dirtyRight, c1);
        m_dirtyTop = std::min(m_dirtyTop, r0);
        m_dirtyBottom = std::max(m_dirtyBottom, r1);
    }
    return run;
}

void SpriteBatch::clearCells()
{
    for (int r = m_dirtyTop; r <= m_dirtyBottom; ++r)
        std::fill_n(m_cells.begin() + r * m_columns + m_dirtyLeft, m_dirtyRight - m_dirtyLeft + 1, std::uint16_t{0});
    m_dirtyLeft = m_columns;
    m_dirtyTop = m_rows;
    m_dirtyRight = m_dirtyBottom = -1;
    m_floor = 0;
}

void SpriteBatch::flush()
{
    if (m_quadCount == 0)
        return;
    const int count = m_quadCount;
    m_quadCount = 0;
    clearCells();
    std::vector<Run> runs;
    runs.swap(m_runs);
    if (m_drawHook && m_clip.w > 0.0f && m_clip.h > 0.0f) {
        if (runs.size() == 1) {
            m_drawingOpaque = runs[0].opaque;
            m_drawHook(std::span<const SpriteVertex>(m_vertices.data(), static_cast<std::size_t>(count) * 4),
                       runs[0].texture, m_clip);
        } else {
            // Each run's quads together, in the order they came.
            m_runStart.resize(runs.size());
            int offset = 0;
            for (std::size_t r = 0; r < runs.size(); ++r) {
                m_runStart[r] = offset;
                offset += runs[r].quads;
            }
            m_gathered.resize(static_cast<std::size_t>(count) * 4);
            m_runNext = m_runStart;
            std::vector<int>& next = m_runNext;
            const std::vector<int>& start = m_runStart;
            for (int q = 0; q < count; ++q) {
                const int at = next[m_quadRun[static_cast<std::size_t>(q)]]++;
                std::copy_n(m_vertices.begin() + q * 4, 4, m_gathered.begin() + at * 4);
            }
            for (std::size_t r = 0; r < runs.size(); ++r) {
                m_drawingOpaque = runs[r].opaque;
                m_drawHook(std::span<const SpriteVertex>(m_gathered.data() + start[r] * 4,
                                                         static_cast<std::size_t>(runs[r].quads) * 4),
                           runs[r].texture, m_clip);
            }
        }
        m_drawingOpaque = false;
    }
    runs.clear();
    if (m_runs.empty())
        m_runs.swap(runs);   // keeps the storage
}

namespace {
// t of value between a and b (0 when they meet).
float along(float value, float a, float b) { return b != a ? (value - a) / (b - a) : 0.0f; }
float lerp(float a, float b, float t) { return a + (b - a) * t; }
}  // namespace

void SpriteBatch::addCroppedQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture, bool opaque)
{
    const ClipRect& crop = m_cropStack.back();
    if (crop.w <= 0.0f || crop.h <= 0.0f)
        return;
    // Corners 0 1 / 2 3: an upright quad shares x down its sides and y along its edges.
    const bool upright = quad[0].y == quad[1].y && quad[2].y == quad[3].y && quad[0].x == quad[2].x &&
                         quad[1].x == quad[3].x;
    if (!upright) {
        pushClipRect();
        setClipRect(crop.x, crop.y, crop.w, crop.h);
        append(quad, texture, opaque);
        popClipRect();
        return;
    }
    const float xa = quad[0].x, xb = quad[1].x, ya = quad[0].y, yb = quad[2].y;
    const float left = std::max(std::min(xa, xb), crop.x), right = std::min(std::max(xa, xb), crop.x + crop.w);
    const float top = std::max(std::min(ya, yb), crop.y), bottom = std::min(std::max(ya, yb), crop.y + crop.h);
    if (!(left < right) || !(top < bottom))
        return;
    SpriteVertex cut[4] = {quad[0], quad[1], quad[2], quad[3]};
    for (int i = 0; i < 4; ++i) {
        SpriteVertex& v = cut[i];
        // Each corner moves to its side of the kept rectangle; its texture
        // point moves the same share of the way.
        const float x = (v.x == std::min(xa, xb)) ? left : right;
        const float y = (v.y == std::min(ya, yb)) ? top : bottom;
        const float tx = along(x, xa, xb), ty = along(y, ya, yb);
        v.u = lerp(lerp(quad[0].u, quad[1].u, tx), lerp(quad[2].u, quad[3].u, tx), ty);
        v.v = lerp(lerp(quad[0].v, quad[1].v, tx), lerp(quad[2].v, quad[3].v, tx), ty);
        v.x = x;
        v.y = y;
    }
    append(cut, texture, opaque);
}

void SpriteBatch::pushCropRect(float x, float y, float w, float h)
{
    ClipRect crop{x, y, std::max(w, 0.0f), std::max(h, 0.0f)};
    if (!m_cropStack.empty()) {
        const ClipRect& outer = m_cropStack.back();
        const float left = std::max(outer.x, crop.x), top = std::max(outer.y, crop.y);
        const float right = std::min(outer.x + outer.w, crop.x + crop.w);
        const float bottom = std::min(outer.y + outer.h, crop.y + crop.h);
        crop = ClipRect{left, top, std::max(right - left, 0.0f), std::max(bottom - top, 0.0f)};
    }
    m_cropStack.push_back(crop);
}

void SpriteBatch::popCropRect()
{
    if (!m_cropStack.empty())
        m_cropStack.pop_back();
}

void SpriteBatch::discard()
{
    m_quadCount = 0;
    m_runs.clear();
    clearCells();
}

void SpriteBatch::setScreenSize(float width, float height)
{
    const ClipRect screen{0.0f, 0.0f, std::max(width, 0.0f), std::max(height, 0.0f)};
    // A screen too big for the grid's bounds gets none: every quad then keeps its order.
    const float columns = std::ceil(screen.w / kCellSize), rows = std::ceil(screen.h / kCellSize);
    const bool fits = columns >= 1.0f && rows >= 1.0f && columns * rows <= 262144.0f;
    const int newColumns = fits ? static_cast<int>(columns) : 0, newRows = fits ? static_cast<int>(rows) : 0;
    // Pending quads were placed on the old screen's grid.
    if (screen.w != m_screen.w || screen.h != m_screen.h)
        flush();
    m_screen = screen;
    if (newColumns != m_columns || newRows != m_rows) {
        m_columns = newColumns;
        m_rows = newRows;
        m_cells.assign(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows), std::uint16_t{0});
        m_dirtyLeft = m_columns;
        m_dirtyTop = m_rows;
        m_dirtyRight = m_dirtyBottom = -1;
    }
    m_clip = m_screen;
    m_clipStack.clear();
    m_cropStack.clear();
}

void SpriteBatch::pushClipRect()
{
    m_clipStack.push_back(m_clip);
}

void SpriteBatch::setClipRect(float x, float y, float w, float h)
{
    flush();
    const float left = std::max(m_clip.x, x), top = std::max(m_clip.y, y);
    const float right = std::min(m_clip.x + m_clip.w, x + w), bottom = std::min(m_clip.y + m_clip.h, y + h);
    m_clip = ClipRect{left, top, std::max(right - left, 0.0f), std::max(bottom - top, 0.0f)};
}

void SpriteBatch::popClipRect()
{
    flush();
    if (m_clipStack.empty()) {
        m_clip = m_screen;
        return;
    }
    m_clip = m_clipStack.back();
    m_clipStack.pop_back();
}

void SpriteBatch::resetClipRect()
{
    flush();
    m_clip = m_screen;
}
