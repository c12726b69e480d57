// Textures (.raw): the first five bytes choose the format and the size the
// caller would know; the rest is the file.
#include "FuzzTarget.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    if (size < 5)
        return 0;
    const auto format = static_cast<TextureFormat>(data[0] % 8);
    const int width = data[1] | (data[2] << 8), height = data[3] | (data[4] << 8);
    FileBuffer file(std::vector<std::uint8_t>(data + 5, data + size));
    TextureImage image;
    if (!decodeRaw(file, format, width, height, image))
        return 0;
    FUZZ_CHECK(image.levels.size() == 1 && image.levels[0].size() == textureLevelBytes(format, width, height, 0));
    return 0;
}
