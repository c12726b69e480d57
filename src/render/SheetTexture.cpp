#include "render/internal/SheetTexture.h"

#include "platform/File.h"

#include <cstdio>
#include <vector>

bool readSheetFile(std::string_view path, SpriteSheet& out)
{
    const std::unique_ptr<File> file = openFile(path);
    std::vector<std::uint8_t> bytes;
    if (!file || !file->readAll(bytes)) {
        std::fprintf(stderr, "sprites: cannot read \"%.*s\"\n", static_cast<int>(path.size()), path.data());
        return false;
    }
    if (!readSpriteSheet(bytes, out)) {
        std::fprintf(stderr, "sprites: \"%.*s\" is not a valid sprite sheet\n", static_cast<int>(path.size()),
                     path.data());
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

// TODO: load through the render core's texture cache once it exists; until
// then sheets load without a texture only through CSprite::loadSheet.
Texture2D* acquireSheetTexture(std::string_view, const SpriteSheet&)
{
    return nullptr;
}

void releaseSheetTexture(Texture2D*)
{
}

bool sheetFileExists(std::string_view path)
{
    return openFile(path) != nullptr;
}

// TODO: read the tier from the renderer once it exists.
int spriteQualityTier()
{
    return 3;
}
