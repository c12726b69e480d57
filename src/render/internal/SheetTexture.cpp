#include "render/internal/SheetTexture.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "render/Graphics.h"
#include "render/assets/TextureCache.h"

#include <vector>

bool readSheetFile(std::string_view path, SpriteSheet& out)
{
    const std::unique_ptr<File> file = openFile(path);
    std::vector<std::uint8_t> bytes;
    if (!file || !file->readAll(bytes)) {
        logWarning("render", "cannot read \"%.*s\"", static_cast<int>(path.size()), path.data());
        return false;
    }
    if (!readSpriteSheet(bytes, out)) {
        logWarning("render", "\"%.*s\" is not a valid sprite sheet", static_cast<int>(path.size()), path.data());
        return false;
    }
    return true;
}

std::string sheetTextureName(std::string_view sheetPath, const SpriteSheet& sheet)
{
    if (sheet.textureName.empty()) {
        std::string name(sheetPath);
        if (name.size() >= 5 && name.compare(name.size() - 5, 5, ".bspr") == 0)
            name.resize(name.size() - 5);
        return name + ".png";
    }
    const std::size_t slash = sheetPath.rfind('/');
    const std::string folder(slash == std::string_view::npos ? std::string_view() : sheetPath.substr(0, slash + 1));
    return folder + sheet.textureName;
}

TextureRef acquireSheetTexture(std::string_view sheetPath, const SpriteSheet& sheet)
{
    const std::string name = sheetTextureName(sheetPath, sheet);
    TextureRef texture = getTexture(name, kClampSampler);
    if (!texture)
        return {};
    if (texture->width() != sheet.texWidth || texture->height() != sheet.texHeight) {
        logWarning("render", "\"%s\" is %dx%d, but its sheet was made for %dx%d", name.c_str(), texture->width(),
                  texture->height(), sheet.texWidth, sheet.texHeight);
        return {};
    }
    return texture;
}

bool sheetFileExists(std::string_view path)
{
    return openFile(path) != nullptr;
}

int spriteQualityTier()
{
    const Graphics* g = graphics();
    return g ? g->qualityTier() : 3;   // tools without a renderer take the full sheets
}
