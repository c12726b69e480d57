#include "render/Texture2D.h"

#include "render/Graphics.h"
#include "render/assets/ImageLoaders.h"
#include "render/gl/GlContext.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace {

struct GlPixelFormat {
    GLenum format;
    GLenum type;
};

GlPixelFormat glPixelFormat(TextureFormat format)
{
    switch (format) {
    case TextureFormat::Rgba8: return {GL_RGBA, GL_UNSIGNED_BYTE};
    case TextureFormat::Rgb8: return {GL_RGB, GL_UNSIGNED_BYTE};
    case TextureFormat::Rgb565: return {GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
    case TextureFormat::LuminanceAlpha8: return {GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE};
    case TextureFormat::Luminance8: return {GL_LUMINANCE, GL_UNSIGNED_BYTE};
    case TextureFormat::Alpha8: return {GL_ALPHA, GL_UNSIGNED_BYTE};
    }
    return {GL_RGBA, GL_UNSIGNED_BYTE};
}

bool isPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

}  // namespace

Texture2D::Texture2D() = default;

Texture2D::~Texture2D()
{
    freeGlNames();
}

void Texture2D::freeGlNames()
{
    if (m_glName != 0)
        glDeleteTextures(1, &m_glName);
    m_glName = 0;
}

void Texture2D::setMetrics(const TextureImage& image)
{
    m_width = image.width;
    m_height = image.height;
    m_format = image.format;
    m_levels = static_cast<int>(image.levels.size());
}

bool Texture2D::upload(const TextureImage& image, const SamplerSettings& sampler)
{
    if (graphics() == nullptr || image.levels.empty() || image.width < 1 || image.height < 1 ||
        !levelsHaveTheirSizes(image))
        return false;

    // A trilinear sampler needs the whole chain; ES 2.0 without full
    // non-power-of-two support cannot sample one, so such textures stay bilinear.
    const GlContextInfo& context = glContextInfo();
    const bool npotLimited =
        !context.fullNonPowerOfTwo && !(isPowerOfTwo(image.width) && isPowerOfTwo(image.height));
    SamplerSettings used = sampler;
    if (npotLimited) {
        used.wrap = TextureWrap::ClampToEdge;
        if (used.filter == TextureFilter::Trilinear)
            used.filter = TextureFilter::Linear;
    }
    const TextureImage* source = &image;
    TextureImage chain;
    const int fullCount = fullMipCount(image.width, image.height);
    if (used.filter == TextureFilter::Trilinear && static_cast<int>(image.levels.size()) < fullCount) {
        chain = image;
        if (!buildMipChain(chain))
            return false;
        source = &chain;
    }
    const bool mipmapped = used.filter == TextureFilter::Trilinear;
    const int levels = mipmapped ? static_cast<int>(source->levels.size()) : 1;

    if (!storeGl(source->format, source->width, source->height, levels, &source->levels))
        return false;
    setMetrics(*source);
    m_levels = levels;
    setSampler(used);
    return true;
}

bool Texture2D::storeGl(TextureFormat format, int width, int height, int levels,
                        const std::vector<std::vector<std::uint8_t>>* data)
{
    freeGlNames();
    clearGlErrors();
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glGenTextures(1, &m_glName);
    glBindTexture(GL_TEXTURE_2D, m_glName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GlPixelFormat pf = glPixelFormat(format);
    for (int i = 0; i < levels; ++i) {
        const int w = std::max(1, width >> i), h = std::max(1, height >> i);
        glTexImage2D(GL_TEXTURE_2D, i, static_cast<GLint>(pf.format), w, h, 0, pf.format, pf.type,
                     data ? (*data)[static_cast<std::size_t>(i)].data() : nullptr);
    }
    const bool ok = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    if (!ok)
        freeGlNames();
    return ok;
}

bool Texture2D::allocate(TextureFormat format, int width, int height, const SamplerSettings& sampler)
{
    if (graphics() == nullptr || width < 1 || height < 1 || width > kMaxTextureSide || height > kMaxTextureSide ||
        (format != TextureFormat::Rgba8 && format != TextureFormat::Rgb8))
        return false;
    if (!storeGl(format, width, height, 1, nullptr))
        return false;
    m_width = width;
    m_height = height;
    m_format = format;
    m_levels = 1;
    // A target has one level: no mip filtering, and clamp when the size demands it.
    SamplerSettings used = sampler;
    if (used.filter == TextureFilter::Trilinear)
        used.filter = TextureFilter::Linear;
    if (!glContextInfo().fullNonPowerOfTwo && !(isPowerOfTwo(width) && isPowerOfTwo(height)))
        used.wrap = TextureWrap::ClampToEdge;
    setSampler(used);
    return true;
}

bool Texture2D::uploadRows(int firstRow, int rows, const std::uint8_t* rgba)
{
    if (m_glName == 0 || m_format != TextureFormat::Rgba8 || firstRow < 0 || rows < 1 || firstRow + rows > m_height)
        return false;
    clearGlErrors();
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, m_glName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, firstRow, m_width, rows, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return glGetError() == GL_NO_ERROR;
}

void Texture2D::setSampler(const SamplerSettings& sampler)
{
    if (m_glName == 0)
        return;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, m_glName);
    const bool mipmapped = sampler.filter == TextureFilter::Trilinear && m_levels > 1;
    const GLint mag = sampler.filter == TextureFilter::Nearest ? GL_NEAREST : GL_LINEAR;
    const GLint min = mipmapped ? GL_LINEAR_MIPMAP_LINEAR : mag;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
    const GLint wrap = sampler.wrap == TextureWrap::Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}
