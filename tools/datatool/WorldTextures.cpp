#include "WorldTextures.h"

#include "DataTool.h"

#include "render/assets/PvrFormat.h"

#include <algorithm>
#include <cmath>
#include <vector>

std::uint8_t toByte(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

bool writeMippedPvr(DataContext& context, const std::string& name, TextureImage image)
{
    if (!buildMipChain(image)) {
        context.error(name + ": cannot build its mip levels");
        return false;
    }
    const std::vector<std::uint8_t> bytes = encodePvr(image);
    if (bytes.empty()) {
        context.error(name + ": the image does not encode");
        return false;
    }
    return context.writeFile(name, bytes);
}
