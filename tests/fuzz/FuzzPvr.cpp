// Textures (.pvr): a file that reads in encodes back to the same bytes, and
// dropping levels keeps a consistent image, and a 5-6-5 file widens as the
// texture cache widens it to a consistent 8-bit image.
#include "FuzzTarget.h"

#include "render/assets/PvrFormat.h"
#include "render/assets/TextureImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    TextureImage image;
    if (!decodePvr(fuzz::bytes(data, size), image))
        return 0;
    FUZZ_CHECK(encodePvr(image) == std::vector<std::uint8_t>(data, data + size));
    TextureImage reduced;
    FUZZ_CHECK(decodePvr(fuzz::bytes(data, size), reduced, 2));
    FUZZ_CHECK(!encodePvr(reduced).empty());
    const bool packed = reduced.format == TextureFormat::Rgb565;
    FUZZ_CHECK(widenRgb565(reduced) == packed);
    FUZZ_CHECK(!packed || !encodePvr(reduced).empty());
    return 0;
}
