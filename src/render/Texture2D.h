#pragma once
#include "platform/ManagedArray.h"
#include "render/assets/TextureImage.h"

#include <cstdint>
#include <string>
#include <string_view>

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

// A 2-D GL texture. Textures loaded by name are shared through a cache and
// carry a reference count; `release` drops one reference and frees the texture
// at 0. Without a graphics device (tools, unit tests) a texture keeps its size
// and name but has no GL object.
class Texture2D : public ManagedArray<Texture2D, 1024> {
public:
    // An empty texture owned by the caller (render targets): one reference.
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
    // Changes filter and wrap of an existing texture.
    void setSampler(const SamplerSettings& sampler);

    int width() const { return m_width; }
    int height() const { return m_height; }
    TextureFormat format() const { return m_format; }
    int levelCount() const { return m_levels; }
    unsigned int glName() const { return m_glName; }
    // The cache key; empty for textures not loaded by name.
    const std::string& name() const { return m_name; }
    int referenceCount() const { return m_references; }

    void addReference() { ++m_references; }
    // Drops one reference; at 0 the GL texture is deleted and the texture
    // leaves the cache. A texture made by the loaders below is then deleted
    // too, so the pointer is dead; one owned by its maker stays, empty.
    void release();

private:
    friend class TextureCache;
    void setMetrics(const TextureImage& image);
    void destroyGl();
    // Makes a new GL texture of `levels` levels, filled from `data` (one byte
    // vector per level) or left undefined when `data` is null; restores the
    // previous binding. False, with no texture kept, when GL refuses.
    bool storeGl(TextureFormat format, int width, int height, int levels,
                 const std::vector<std::vector<std::uint8_t>>* data);

    std::string m_name;
    int m_width = 0, m_height = 0, m_levels = 0;
    TextureFormat m_format = TextureFormat::Rgba8;
    int m_references = 1;
    unsigned int m_glName = 0;
    bool m_heapOwned = false;   // made by the cache: the last release deletes it
};

// Flags of getTexture.
struct TextureLoadFlags {
    // Mip levels of a .pvr skipped from the top (1 or 2 below quality tier 2
    // for the reduced building and unit textures); ignored for .png.
    int dropLevels = 0;
};

// Gets a texture by file name (".png" or ".pvr", opened through the file layer),
// loading it on first use; each call adds a reference. Null, and nothing cached,
// when the file is missing or damaged (a log line names the file).
[[nodiscard]] Texture2D* getTexture(std::string_view name, const SamplerSettings& sampler = {}, TextureLoadFlags flags = {});

// Headerless .raw textures of a size the caller knows, cached by name like getTexture.
[[nodiscard]] Texture2D* loadRawTexture(TextureFormat format, std::string_view name, int width, int height,
                          const SamplerSettings& sampler);
[[nodiscard]] Texture2D* loadRawLuminanceAlphaTexture(std::string_view name, int width, int height,
                                        const SamplerSettings& sampler);
// With the device's default sampler (the quality filter, clamp-to-edge).
[[nodiscard]] Texture2D* loadRawLuminanceAlphaTextureDefault(std::string_view name, int width, int height);

// The cached texture of that name without adding a reference; null when none.
Texture2D* findCachedTexture(std::string_view name);
// Number of textures in the cache.
std::size_t cachedTextureCount();
