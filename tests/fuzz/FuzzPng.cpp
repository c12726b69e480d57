// Textures (.png): any bytes decode or fail without reading past the file or
// asking for memory the file cannot fill; a decoded image is whole, and a band
// of its rows decodes to exactly those rows.
#include "FuzzTarget.h"

#include "platform/File.h"
#include "render/assets/ImageLoaders.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    FileBuffer file(std::vector<std::uint8_t>(data, data + size));
    TextureImage image;
    if (!decodePng(file, image))
        return 0;
    FUZZ_CHECK(image.width >= 1 && image.height >= 1 && image.levels.size() == 1);
    FUZZ_CHECK(image.levels[0].size() == static_cast<std::size_t>(image.width) * image.height * 4);
    const int first = static_cast<int>(size % static_cast<std::size_t>(image.height));
    const int count = 1 + static_cast<int>(size / 7 % static_cast<std::size_t>(image.height));
    FileBuffer again(std::vector<std::uint8_t>(data, data + size));
    TextureImage band;
    FUZZ_CHECK(decodePngRows(again, first, count, band));
    const int rows = std::min(count, image.height - first);
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
    FUZZ_CHECK(band.width == image.width && band.height == rows && band.levels.size() == 1);
    FUZZ_CHECK(std::equal(band.levels[0].begin(), band.levels[0].end(), image.levels[0].begin() + first * rowBytes,
                          image.levels[0].begin() + (first + rows) * rowBytes));
    return 0;
}
