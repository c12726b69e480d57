// "graphics.cfg": any text gives values in range, and they format and read back.
#include "FuzzTarget.h"

#include "platform/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    const GraphicsConfig config = parseGraphicsConfig(fuzz::text(data, size));
    FUZZ_CHECK(config.width >= 320 && config.width <= 16384 && config.height >= 240 && config.height <= 16384);
    FUZZ_CHECK(config.mode >= 0 && config.mode <= 2 && config.quality >= 0 && config.quality <= 3);
    FUZZ_CHECK(config.vsync == 0 || config.vsync == 1);
    const GraphicsConfig back = parseGraphicsConfig(formatGraphicsConfig(config));
    FUZZ_CHECK(back.width == config.width && back.height == config.height && back.mode == config.mode &&
               back.quality == config.quality && back.vsync == config.vsync);
    return 0;
}
