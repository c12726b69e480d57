// Textures (.pvr): a file that reads in encodes back to the same bytes, and
// dropping levels keeps a consistent image.
#include "FuzzTarget.h"

#include "render/assets/PvrFormat.h"

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
    return 0;
}
