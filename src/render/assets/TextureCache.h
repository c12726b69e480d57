#pragma once
#include "render/Texture2D.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// Flags of getTexture.
struct TextureLoadFlags {
    // Mip levels of a .pvr skipped from the top (1 or 2 below quality tier 2
    // for the reduced building and unit textures); ignored for .png.
    int dropLevels = 0;
};

// The textures loaded by name, keyed by everything a request names: the file,
// the sampler, the dropped levels and, for .raw files, format and size. A
// second request for a file with other parameters gets a texture of its own.
class TextureCache {
public:
    TextureCache() = default;
    // Textures still referenced outlive the cache; their last reference frees them.
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    [[nodiscard]] TextureRef load(std::string_view name, const SamplerSettings& sampler, TextureLoadFlags flags);
    [[nodiscard]] TextureRef loadRaw(TextureFormat format, std::string_view name, int width, int height,
                       const SamplerSettings& sampler);
    // An image made in memory, cached under a name no file has; a later call
    // with the same name and sampler shares the first texture.
    [[nodiscard]] TextureRef adopt(std::string_view name, const TextureImage& image, const SamplerSettings& sampler);
    // The texture of that request without adding a reference; null when none.
    Texture2D* find(std::string_view name, const SamplerSettings& sampler, TextureLoadFlags flags) const;
    std::size_t size() const { return m_entries.size(); }

    // One reference fewer; the last one deletes the texture.
    static void release(Texture2D& texture);

private:
    TextureRef addReference(Texture2D& texture);
    // The decoded image as a new cached texture; empty when the device refuses it.
    TextureRef add(std::string key, std::string_view name, const TextureImage& image, const SamplerSettings& sampler);
    TextureRef keep(std::string key, std::unique_ptr<Texture2D> texture);
    TextureRef loadPngInBands(std::string key, std::string_view name, const SamplerSettings& sampler);

    std::unordered_map<std::string, Texture2D*> m_entries;
};

// Gets a texture by file name (".png" or ".pvr", opened through the file layer),
// loading it on first use. Empty, and nothing cached, when the file is missing
// or damaged (a log line names the file).
[[nodiscard]] TextureRef getTexture(std::string_view name, const SamplerSettings& sampler = {}, TextureLoadFlags flags = {});

// An image made in memory as a cached texture named `name` (a name no file
// has, such as "data/sprites/menus.png#95"); empty when the device refuses it.
[[nodiscard]] TextureRef adoptTexture(std::string_view name, const TextureImage& image,
                                      const SamplerSettings& sampler = {});

// Levels the shared model textures drop below quality tier 2, so the low
// tiers keep a smaller copy: "units.pvr" one, "building_di.pvr" and
// "units_di.pvr" two; every other name none.
int sharedModelTextureDrop(std::string_view name, int qualityTier);

// Headerless .raw textures of a size the caller knows, cached like getTexture.
[[nodiscard]] TextureRef loadRawTexture(TextureFormat format, std::string_view name, int width, int height,
                          const SamplerSettings& sampler);
[[nodiscard]] TextureRef loadRawLuminanceAlphaTexture(std::string_view name, int width, int height, const SamplerSettings& sampler);
// With the device's default sampler (the quality filter, clamp-to-edge).
[[nodiscard]] TextureRef loadRawLuminanceAlphaTextureDefault(std::string_view name, int width, int height);

// The cached texture of a getTexture request without adding a reference; null when none.
Texture2D* findCachedTexture(std::string_view name, const SamplerSettings& sampler = {}, TextureLoadFlags flags = {});
// Number of textures in the cache.
std::size_t cachedTextureCount();
