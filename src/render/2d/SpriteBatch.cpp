#include "render/2d/SpriteBatch.h"

#include <algorithm>

void SpriteBatch::addQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture)
{
    if (m_cropStack.empty())
        append(quad, texture);
    else
        addCroppedQuad(quad, texture);
}

void SpriteBatch::append(std::span<const SpriteVertex, 4> quad, const Texture2D* texture)
{
    if (m_quadCount > 0 && (texture != m_texture || m_quadCount >= kMaxQuads))
        flush();
    m_texture = texture;
    std::copy(quad.begin(), quad.end(), m_vertices.begin() + m_quadCount * 4);
    ++m_quadCount;
}

void SpriteBatch::flush()
{
    if (m_quadCount == 0)
        return;
    const int count = m_quadCount;
    m_quadCount = 0;
    if (m_drawHook && m_clip.w > 0.0f && m_clip.h > 0.0f)
        m_drawHook(std::span<const SpriteVertex>(m_vertices.data(), static_cast<std::size_t>(count) * 4), m_texture,
                   m_clip);
}

namespace {
// t of value between a and b (0 when they meet).
float along(float value, float a, float b) { return b != a ? (value - a) / (b - a) : 0.0f; }
float lerp(float a, float b, float t) { return a + (b - a) * t; }
}  // namespace

void SpriteBatch::addCroppedQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture)
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
        append(quad, texture);
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
    append(cut, texture);
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
}

void SpriteBatch::setScreenSize(float width, float height)
{
    m_screen = ClipRect{0.0f, 0.0f, std::max(width, 0.0f), std::max(height, 0.0f)};
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
