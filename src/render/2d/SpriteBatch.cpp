#include "render/2d/SpriteBatch.h"

#include <algorithm>

void SpriteBatch::addQuad(std::span<const SpriteVertex, 4> quad, const Texture2D* texture)
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

void SpriteBatch::discard()
{
    m_quadCount = 0;
}

void SpriteBatch::setScreenSize(float width, float height)
{
    m_screen = ClipRect{0.0f, 0.0f, std::max(width, 0.0f), std::max(height, 0.0f)};
    m_clip = m_screen;
    m_clipStack.clear();
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
