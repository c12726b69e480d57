// libFuzzer entry for the .edt map reader: any bytes must load without a
// fault, and the world must keep its limits.
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "platform/Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// The unit tests link several entries into one program, each under its own name.
#ifndef SKYFRONT_FUZZ_ENTRY
#define SKYFRONT_FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif

extern "C" int SKYFRONT_FUZZ_ENTRY(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        setLogCapture([](LogLevel, const std::string&, const std::string&) {});
        return true;
    }();
    (void)quiet;
    GameWorld world;
    world.init();
    MapLoader::loadEdtText(world, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.edt");
    if (world.itemCount() > GameWorld::kMaxItems)
        std::abort();
    // Exercise what the game does next with a loaded map.
    world.applySunAndFog(0.5f);
    world.notifyGroundTargets();
    world.checkLandmarks({0.0f, 0.0f, 0.0f}, 10.0f, nullptr);
    for (int i = 0; i < world.triggerCount(); ++i)
        world.trigger(i)->contains({1.0f, 2.0f, 3.0f}, 1.0f);
    world.groundOrSeaHeightAt(0.0f, 0.0f);
    return 0;
}
