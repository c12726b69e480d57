#include "render/assets/TextureCache.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "render/Graphics.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/PvrFormat.h"
#include "render/internal/RenderGlobals.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

namespace {

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// What a request asks for beyond the file name; -1 as the format for files
// that carry their own.
struct RequestTail {
    std::int32_t filter, wrap, dropLevels, format, width, height;
};

// The file name followed by the fixed-size tail: two keys are equal only when
// name and every parameter are.
std::string requestKey(std::string_view name, const SamplerSettings& sampler, const RequestTail& rest)
{
    RequestTail tail = rest;
    tail.filter = static_cast<std::int32_t>(sampler.filter);
    tail.wrap = static_cast<std::int32_t>(sampler.wrap);
    std::string key(name);
    key.append(reinterpret_cast<const char*>(&tail), sizeof tail);
    return key;
}

// Dropped levels apply to .pvr files only; other files share one entry whatever was passed.
RequestTail fileTail(std::string_view name, TextureLoadFlags flags)
{
    return RequestTail{0, 0, endsWith(name, ".pvr") ? std::max(flags.dropLevels, 0) : 0, -1, 0, 0};
}

TextureCache& cache()
{
    return renderGlobals().caches().textures;
}

// The file decoded by `decode` (which logs its own faults); false when it is
// missing or damaged.
template <typename Decode>
bool readImage(std::string_view name, TextureImage& image, Decode decode)
{
    std::unique_ptr<File> file = openFile(name);
    if (!file) {
        logWarning("render", "texture \"%.*s\" not found", static_cast<int>(name.size()), name.data());
        return false;
    }
    return decode(*file, image);
}

}  // namespace

TextureCache::~TextureCache()
{
    for (auto& [key, texture] : m_entries)
        texture->m_cache = nullptr;
}

TextureRef TextureCache::addReference(Texture2D& texture)
{
    ++texture.m_references;
    return TextureRef(&texture);
}

TextureRef TextureCache::add(std::string key, std::string_view name, const TextureImage& image,
                             const SamplerSettings& sampler)
{
    auto texture = std::make_unique<Texture2D>();
    texture->m_name = name;
    if (graphics() != nullptr) {
        if (!texture->upload(image, sampler)) {
            logWarning("render", "texture \"%.*s\" cannot be uploaded", static_cast<int>(name.size()), name.data());
            return {};
        }
    } else {
        texture->setMetrics(image);
    }
    return keep(std::move(key), std::move(texture));
}

TextureRef TextureCache::keep(std::string key, std::unique_ptr<Texture2D> texture)
{
    texture->m_cacheKey = std::move(key);
    texture->m_cache = this;
    m_entries[texture->m_cacheKey] = texture.get();
    return addReference(*texture.release());
}

// A large single-level picture (a sprite sheet) goes to the GL a band of rows
// at a time, so it never stands decoded whole beside its GL copy. Empty when
// it cannot: too small to matter, interlaced, damaged, or grey (the grey test
// of the whole picture needs it whole; a first band all grey sends it there).
TextureRef TextureCache::loadPngInBands(std::string key, std::string_view name, const SamplerSettings& sampler)
{
    constexpr int kBandRows = 64;
    constexpr std::size_t kWholeBelow = 1 << 20;  // decoded bytes
    std::unique_ptr<File> file = openFile(name);
    if (!file || graphics() == nullptr || sampler.filter == TextureFilter::Trilinear)
        return {};
    auto texture = std::make_unique<Texture2D>();
    texture->m_name = name;
    const auto start = [&](int width, int height) {
        return static_cast<std::size_t>(width) * height * 4 >= kWholeBelow &&
               texture->allocate(TextureFormat::Rgba8, width, height, sampler);
    };
    const auto band = [&](int firstRow, int rows, const std::uint8_t* rgba) {
        if (firstRow == 0) {
            const std::size_t bytes = static_cast<std::size_t>(texture->width()) * rows * 4;
            bool grey = true;
            for (std::size_t t = 0; grey && t + 3 < bytes; t += 4)
                grey = rgba[t] == rgba[t + 1] && rgba[t] == rgba[t + 2];
            if (grey)
                return false;
        }
        return texture->uploadRows(firstRow, rows, rgba);
    };
    if (!decodePngBands(*file, kBandRows, start, band))
        return {};
    return keep(std::move(key), std::move(texture));
}

void TextureCache::release(Texture2D& texture)
{
    if (--texture.m_references > 0)
        return;
    if (TextureCache* owner = texture.m_cache) {
        const auto it = owner->m_entries.find(texture.m_cacheKey);
        if (it != owner->m_entries.end() && it->second == &texture)
            owner->m_entries.erase(it);
    }
    delete &texture;
}

TextureRef TextureCache::load(std::string_view name, const SamplerSettings& sampler, TextureLoadFlags flags)
{
    std::string key = requestKey(name, sampler, fileTail(name, flags));
    if (const auto it = m_entries.find(key); it != m_entries.end())
        return addReference(*it->second);
    const std::string text(name);
    if (endsWith(text, ".png"))
        if (TextureRef banded = loadPngInBands(key, name, sampler))
            return banded;
    TextureImage image;
    const bool read = readImage(name, image, [&](File& file, TextureImage& out) {
        bool decoded = false;
        if (endsWith(text, ".png")) {
            decoded = decodePng(file, out);
            // Grey pictures (the fonts) take half the memory as luminance and alpha.
            if (decoded)
                (void)narrowGreyToLuminanceAlpha(out);
        } else if (endsWith(text, ".pvr")) {
            std::vector<std::uint8_t> bytes;
            decoded = file.readAll(bytes) && decodePvr(bytes, out, flags.dropLevels);
            if (decoded)
                (void)widenRgb565(out);
        } else {
            logWarning("render", "texture \"%s\": unknown file kind", text.c_str());
            return false;
        }
        if (!decoded)
            logWarning("render", "texture \"%s\" is damaged", text.c_str());
        return decoded;
    });
    return read ? add(std::move(key), name, image, sampler) : TextureRef{};
}

TextureRef TextureCache::loadRaw(TextureFormat format, std::string_view name, int width, int height,
                                 const SamplerSettings& sampler)
{
    std::string key = requestKey(name, sampler, RequestTail{0, 0, 0, static_cast<std::int32_t>(format), width, height});
    if (const auto it = m_entries.find(key); it != m_entries.end())
        return addReference(*it->second);
    const std::string text(name);
    TextureImage image;
    const bool read = readImage(name, image, [&](File& file, TextureImage& out) {
        if (decodeRaw(file, format, width, height, out))
            return true;
        logWarning("render", "texture \"%s\" is shorter than %d x %d texels or has a bad size", text.c_str(), width,
                   height);
        return false;
    });
    return read ? add(std::move(key), name, image, sampler) : TextureRef{};
}

TextureRef TextureCache::adopt(std::string_view name, const TextureImage& image, const SamplerSettings& sampler)
{
    // Format -2: no file request can have this key.
    std::string key = requestKey(name, sampler, RequestTail{0, 0, 0, -2, image.width, image.height});
    if (const auto it = m_entries.find(key); it != m_entries.end())
        return addReference(*it->second);
    return add(std::move(key), name, image, sampler);
}

Texture2D* TextureCache::find(std::string_view name, const SamplerSettings& sampler, TextureLoadFlags flags) const
{
    const auto it = m_entries.find(requestKey(name, sampler, fileTail(name, flags)));
    return it == m_entries.end() ? nullptr : it->second;
}

TextureRef& TextureRef::operator=(TextureRef&& other) noexcept
{
    if (this != &other) {
        reset();
        m_texture = std::exchange(other.m_texture, nullptr);
    }
    return *this;
}

void TextureRef::reset()
{
    if (Texture2D* texture = std::exchange(m_texture, nullptr))
        TextureCache::release(*texture);
}

TextureRef getTexture(std::string_view name, const SamplerSettings& sampler, TextureLoadFlags flags)
{
    return cache().load(name, sampler, flags);
}

TextureRef loadRawTexture(TextureFormat format, std::string_view name, int width, int height,
                          const SamplerSettings& sampler)
{
    return cache().loadRaw(format, name, width, height, sampler);
}

TextureRef loadRawLuminanceAlphaTexture(std::string_view name, int width, int height, const SamplerSettings& sampler)
{
    return loadRawTexture(TextureFormat::LuminanceAlpha8, name, width, height, sampler);
}

TextureRef loadRawLuminanceAlphaTextureDefault(std::string_view name, int width, int height)
{
    const Graphics* device = graphics();
    return loadRawLuminanceAlphaTexture(name, width, height, device ? device->defaultSampler() : SamplerSettings{});
}

TextureRef adoptTexture(std::string_view name, const TextureImage& image, const SamplerSettings& sampler)
{
    return cache().adopt(name, image, sampler);
}

Texture2D* findCachedTexture(std::string_view name, const SamplerSettings& sampler, TextureLoadFlags flags)
{
    return cache().find(name, sampler, flags);
}

std::size_t cachedTextureCount()
{
    return cache().size();
}

int sharedModelTextureDrop(std::string_view name, int qualityTier)
{
    if (qualityTier >= 2)
        return 0;
    const std::size_t slash = name.find_last_of('/');
    const std::string_view file = slash == std::string_view::npos ? name : name.substr(slash + 1);
    if (file == "units.pvr")
        return 1;
    if (file == "building_di.pvr" || file == "units_di.pvr")
        return 2;
    return 0;
}
