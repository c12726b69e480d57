// The .edt map reader: any bytes load without a fault, the item table keeps
// its limit, and what the game does next with a loaded map holds up.
#include "FuzzTarget.h"

#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    GameWorld world;
    world.init();
    MapLoader::loadEdtText(world, fuzz::text(data, size), "fuzz.edt");
    FUZZ_CHECK(world.itemCount() <= GameWorld::kMaxItems);
    world.applySunAndFog(0.5f);
    world.notifyGroundTargets();
    world.checkLandmarks({0.0f, 0.0f, 0.0f}, 10.0f, nullptr);
    for (int i = 0; i < world.triggerCount(); ++i)
        world.trigger(i)->contains({1.0f, 2.0f, 3.0f}, 1.0f);
    for (std::size_t i = 0; i < world.propCount(); ++i)
        world.prop(i);
    world.groundOrSeaHeightAt(0.0f, 0.0f);
    return 0;
}
