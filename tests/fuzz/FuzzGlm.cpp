// Models (.glm): a file that reads in writes back to the same bytes.
#include "FuzzTarget.h"

#include "render/assets/GlmFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    GlmFile file;
    std::string fault;
    if (!readGlm(fuzz::bytes(data, size), file, fault))
        return 0;
    FUZZ_CHECK(checkGlm(file).empty());
    FUZZ_CHECK(writeGlm(file) == std::vector<std::uint8_t>(data, data + size));
    return 0;
}
