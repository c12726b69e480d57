// Textures (.png): any bytes decode or fail without reading past the file or
// asking for memory the file cannot fill; a decoded image is whole.
#include "FuzzTarget.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    FileBuffer file(std::vector<std::uint8_t>(data, data + size));
    TextureImage image;
    if (!decodePng(file, image))
        return 0;
    FUZZ_CHECK(image.width >= 1 && image.height >= 1 && image.levels.size() == 1);
    FUZZ_CHECK(image.levels[0].size() == static_cast<std::size_t>(image.width) * image.height * 4);
    return 0;
}
