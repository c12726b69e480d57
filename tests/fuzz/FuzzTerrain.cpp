// Terrain height files: a field that loads answers finite heights and normals
// everywhere, inside and outside, and builds its level-of-detail patches.
#include "FuzzTarget.h"

#include "platform/File.h"
#include "render/world/Terrain.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    FileBuffer file(std::vector<std::uint8_t>(data, data + size));
    Terrain terrain;
    if (!terrain.load(file))
        return 0;
    const float half = terrain.size() * 0.5f;
    for (const float fx : {-1.5f, -1.0f, -0.37f, 0.0f, 0.51f, 0.999f, 1.0f, 2.0f}) {
        for (const float fz : {-1.2f, -1.0f, 0.0f, 0.73f, 1.0f, 1.3f}) {
            Vec3 normal;
            const float h = terrain.heightAndNormalAt(fx * half, fz * half, normal);
            FUZZ_CHECK(std::isfinite(h) && std::isfinite(terrain.heightAt(fx * half, fz * half)));
            FUZZ_CHECK(std::isfinite(normal.x) && std::isfinite(normal.y) && std::isfinite(normal.z));
            FUZZ_CHECK(std::isfinite(terrain.sampleHeightAt(fx * half, fz * half)));
        }
    }
    if (terrain.layout().grid <= 512)
        (void)terrain.patches();
    return 0;
}
