#pragma once
#include "platform/ManagedArray.h"
#include "render/assets/TextureImage.h"
#include "render/gl/GlObject.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How a texture is sampled. ES 2.0 has no sampler objects, so these are set on
// the texture when it is made.
enum class TextureFilter : std::uint8_t {
    Nearest = 0,
    Linear = 1,      // bilinear, no mip levels used
    Trilinear = 2,   // linear between mip levels; mip levels are made when the file has none
};
enum class TextureWrap : std::uint8_t { ClampToEdge = 0, Repeat = 1 };

struct SamplerSettings {
    TextureFilter filter = TextureFilter::Linear;
    TextureWrap wrap = TextureWrap::ClampToEdge;
};
// The clamp-to-edge sampler of particles and sprites, and the repeat sampler of trails.
constexpr SamplerSettings kClampSampler{TextureFilter::Linear, TextureWrap::ClampToEdge};
constexpr SamplerSettings kRepeatSampler{TextureFilter::Linear, TextureWrap::Repeat};

class TextureCache;

// A 2-D GL texture. Textures loaded by name are shared through the texture
// cache (render/assets/TextureCache.h) and reached through TextureRef; other
// textures (render targets) belong to their maker. Without a graphics device
// (tools, unit tests) a texture keeps its size and name but has no GL object.
class Texture2D final : public ManagedArray<Texture2D, 1024>, private GlObject {
public:
    // An empty texture owned by the caller (render targets).
    Texture2D();
    ~Texture2D();
    Texture2D(const Texture2D&) = delete;
    Texture2D& operator=(const Texture2D&) = delete;

    // Uploads every level of the image (and builds the missing mip levels for a
    // trilinear sampler). False when no device exists or GL refuses the size.
    [[nodiscard]] bool upload(const TextureImage& image, const SamplerSettings& sampler);
    // Storage for a render target's color: one level, undefined contents.
    // False when no device exists, the size is out of range or GL refuses it.
    [[nodiscard]] bool allocate(TextureFormat format, int width, int height, const SamplerSettings& sampler);
    // Replaces rows firstRow to firstRow + rows - 1 of an allocated RGBA8
    // texture with `rgba` (rows of width() texels). False when they do not fit.
    bool uploadRows(int firstRow, int rows, const std::uint8_t* rgba);
    // Changes filter and wrap of an existing texture.
    void setSampler(const SamplerSettings& sampler);

    int width() const { return m_width; }
    int height() const { return m_height; }
    TextureFormat format() const { return m_format; }
    int levelCount() const { return m_levels; }
    unsigned int glName() const { return m_glName; }
    // The file it was loaded from; empty for textures not loaded by name.
    const std::string& name() const { return m_name; }
    // The TextureRefs held to a cached texture.
    int referenceCount() const { return m_references; }

private:
    friend class TextureCache;
    void freeGlNames() override;
    void setMetrics(const TextureImage& image);
    // Makes a new GL texture of `levels` levels, filled from `data` (one byte
    // vector per level) or left undefined when `data` is null; restores the
    // previous binding. False, with no texture kept, when GL refuses.
    bool storeGl(TextureFormat format, int width, int height, int levels,
                 const std::vector<std::vector<std::uint8_t>>* data);

    std::string m_name;
    int m_width = 0, m_height = 0, m_levels = 0;
    TextureFormat m_format = TextureFormat::Rgba8;
    unsigned int m_glName = 0;
    // Kept by the cache: what was asked for, the references, and the cache
    // while it holds the texture (null once the cache is gone).
    std::string m_cacheKey;
    int m_references = 0;
    TextureCache* m_cache = nullptr;
};

// One counted reference to a texture of the texture cache. Move-only; the
// texture goes when its last reference does.
class TextureRef {
public:
    TextureRef() = default;
    ~TextureRef() { reset(); }
    TextureRef(TextureRef&& other) noexcept : m_texture(other.m_texture) { other.m_texture = nullptr; }
    TextureRef& operator=(TextureRef&& other) noexcept;
    TextureRef(const TextureRef&) = delete;
    TextureRef& operator=(const TextureRef&) = delete;

    Texture2D* get() const { return m_texture; }
    Texture2D* operator->() const { return m_texture; }
    Texture2D& operator*() const { return *m_texture; }
    explicit operator bool() const { return m_texture != nullptr; }
    // Lets go now rather than at destruction.
    void reset();

private:
    friend class TextureCache;
    // Takes over one reference already counted.
    explicit TextureRef(Texture2D* counted) : m_texture(counted) {}

    Texture2D* m_texture = nullptr;
};
