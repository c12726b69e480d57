#include "render/Texture2D.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "render/Graphics.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/PvrFormat.h"
#include "render/gl/GlContext.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>

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

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

// The name cache. Textures in it were made by the loaders below and are
// deleted by their last release.
class TextureCache {
public:
    static std::unordered_map<std::string, Texture2D*>& entries()
    {
        static std::unordered_map<std::string, Texture2D*> map;
        return map;
    }
    static Texture2D* find(std::string_view name)
    {
        const auto it = entries().find(std::string(name));
        return it == entries().end() ? nullptr : it->second;
    }
    static void forget(const Texture2D& texture)
    {
        if (texture.m_name.empty())
            return;
        const auto it = entries().find(texture.m_name);
        if (it != entries().end() && it->second == &texture)
            entries().erase(it);
    }
    // Makes a cached texture of a decoded image; null when the device refuses it.
    static Texture2D* add(std::string_view name, const TextureImage& image, const SamplerSettings& sampler)
    {
        auto* texture = new Texture2D();
        texture->m_name = name;
        texture->m_heapOwned = true;
        if (graphics() != nullptr) {
            if (!texture->upload(image, sampler)) {
                logWarning("render", "texture \"%.*s\" cannot be uploaded", static_cast<int>(name.size()), name.data());
                delete texture;
                return nullptr;
            }
        } else {
            texture->setMetrics(image);
        }
        entries()[texture->m_name] = texture;
        return texture;
    }
};

Texture2D::Texture2D() = default;

Texture2D::~Texture2D()
{
    TextureCache::forget(*this);
    destroyGl();
}

void Texture2D::destroyGl()
{
    if (m_glName != 0 && glContextCurrent())
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
    if (graphics() == nullptr || image.levels.empty() || image.width < 1 || image.height < 1)
        return false;
    for (std::size_t i = 0; i < image.levels.size(); ++i)
        if (image.levels[i].size() != textureLevelBytes(image.format, image.width, image.height, static_cast<int>(i)))
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
    destroyGl();
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
        destroyGl();
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

void Texture2D::release()
{
    if (--m_references > 0)
        return;
    TextureCache::forget(*this);
    destroyGl();
    if (m_heapOwned)
        delete this;
}

namespace {

Texture2D* cachedWithReference(std::string_view name)
{
    Texture2D* texture = TextureCache::find(name);
    if (texture)
        texture->addReference();
    return texture;
}

}  // namespace

namespace {

// The cached texture with one more reference, or the file decoded by `decode`
// (which logs its own faults) and added to the cache.
template <typename Decode>
Texture2D* loadCached(std::string_view name, const SamplerSettings& sampler, Decode decode)
{
    if (Texture2D* cached = cachedWithReference(name))
        return cached;
    std::unique_ptr<File> file = openFile(name);
    if (!file) {
        logWarning("render", "texture \"%.*s\" not found", static_cast<int>(name.size()), name.data());
        return nullptr;
    }
    TextureImage image;
    if (!decode(*file, image))
        return nullptr;
    return TextureCache::add(name, image, sampler);
}

}  // namespace

Texture2D* getTexture(std::string_view name, const SamplerSettings& sampler, TextureLoadFlags flags)
{
    const std::string text(name);
    return loadCached(name, sampler, [&](File& file, TextureImage& image) {
        bool decoded = false;
        if (endsWith(text, ".png")) {
            decoded = decodePng(file, image);
        } else if (endsWith(text, ".pvr")) {
            std::vector<std::uint8_t> bytes;
            decoded = file.readAll(bytes) && decodePvr(bytes, image, flags.dropLevels);
        } else {
            logWarning("render", "texture \"%s\": unknown file kind", text.c_str());
            return false;
        }
        if (!decoded)
            logWarning("render", "texture \"%s\" is damaged", text.c_str());
        return decoded;
    });
}

Texture2D* loadRawTexture(TextureFormat format, std::string_view name, int width, int height,
                          const SamplerSettings& sampler)
{
    const std::string text(name);
    return loadCached(name, sampler, [&](File& file, TextureImage& image) {
        if (decodeRaw(file, format, width, height, image))
            return true;
        logWarning("render", "texture \"%s\" is shorter than %d x %d texels or has a bad size", text.c_str(), width, height);
        return false;
    });
}

Texture2D* loadRawLuminanceAlphaTexture(std::string_view name, int width, int height, const SamplerSettings& sampler)
{
    return loadRawTexture(TextureFormat::LuminanceAlpha8, name, width, height, sampler);
}

Texture2D* loadRawLuminanceAlphaTextureDefault(std::string_view name, int width, int height)
{
    const Graphics* device = graphics();
    return loadRawLuminanceAlphaTexture(name, width, height, device ? device->defaultSampler() : SamplerSettings{});
}

Texture2D* findCachedTexture(std::string_view name)
{
    return TextureCache::find(name);
}

std::size_t cachedTextureCount()
{
    return TextureCache::entries().size();
}
