// Pictures of every map from its default spawn, at quality 2, written to
// build/maps/<map>.png for a person to look at.
#include "TestWorld.h"

#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/MapLists.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Pak.h"
#include "platform/StringTable.h"
#include "render/assets/Model.h"
#include "render/world/Props.h"
#include "render/world/WorldView.h"

#include "support/gamedata/EveryMap.h"

#include <filesystem>
#include <map>

namespace {

using MapPictures = GlTest;

// Where the pilot looks at the start: along the spawn heading, a little down.
Vec3 spawnView(const GameWorld& world)
{
    const Worldspawn& w = world.worldspawn();
    const Vec3 forward = rotateVector3x3(mapAnglesMatrix(w.spawnAngles, {}), {0.0f, 0.0f, -1.0f});
    return w.spawn + forward * 4000.0f + Vec3{0.0f, -900.0f, 0.0f};
}

TEST_F(MapPictures, EveryMapFromItsSpawnAtQualityTwo)
{
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    MapLists maps;
    StringTable none;
    ASSERT_TRUE(maps.load(MapLists::kFolder, none));
    const std::vector<const MapInfoCfg*> all = everyMap(maps);

    const std::filesystem::path folder = std::filesystem::path(SKYFRONT_BINARY_DIR) / "maps";
    std::filesystem::create_directories(folder);
    constexpr int kWidth = 640, kHeight = 400;
    useTarget(kWidth, kHeight);
    std::map<std::string, std::unique_ptr<TestWorld>> terrains;
    for (const MapInfoCfg* record : all) {
        ASSERT_NE(record, nullptr);
        auto& scene = terrains[record->terrain];
        if (!scene) {
            scene = std::make_unique<TestWorld>();
            ASSERT_TRUE(scene->load(gfx(), record->terrain, record->treeCount)) << record->terrain;
        }
        GameWorld world;
        world.init();
        ASSERT_TRUE(MapLoader::loadEdt(world, record)) << record->name;
        const std::string_view textures[] = {"building.pvr", "units.pvr"};
        allocatePropBuffers();
        std::vector<std::unique_ptr<PropBatch>> props;
        for (std::string_view texture : textures)
            props.push_back(buildProps(texture, world));
        unmapPropBuffers();

        scene->setTier(2);
        scene->setSun(record->sunValue);
        scene->setCamera(world.worldspawn().spawn, spawnView(world), 1.0f, static_cast<float>(kWidth) / kHeight);
        scene->drawFrame();
        for (const auto& batch : props)
            drawProps(batch.get(), 1);
        const std::string path = (folder / (record->name + ".png")).string();
        EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, path)) << path;

        // A place, not an empty screen: sky above, and ground or sea below
        // that differs from it.
        const Rgba sky = pixel(kWidth / 2, kHeight - 4), ground = pixel(kWidth / 2, 20);
        EXPECT_GT(sky.b, 60) << record->name;
        EXPECT_GT(std::abs(sky.r - ground.r) + std::abs(sky.g - ground.g) + std::abs(sky.b - ground.b), 30)
            << record->name;
    }
    for (auto& [name, scene] : terrains)
        scene->setTier(0);
    releaseAllModels();
}

// The map items' depth laid first changes no pixel of their color pass, and
// the depth pass alone draws no color.
TEST_F(MapPictures, MapItemsLaidDepthFirstShowTheSamePicture)
{
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    MapLists maps;
    StringTable none;
    ASSERT_TRUE(maps.load(MapLists::kFolder, none));
    const MapInfoCfg* record = maps.menuMap();
    ASSERT_NE(record, nullptr);
    GameWorld world;
    world.init();
    ASSERT_TRUE(MapLoader::loadEdt(world, record));
    const EditorItem* field = world.findItemByModel("runway_field.glm_0");
    ASSERT_NE(field, nullptr);
    allocatePropBuffers();
    std::vector<std::unique_ptr<PropBatch>> props;
    for (std::string_view texture : {"building.pvr", "build1.pvr", "build2.pvr", "units.pvr"})
        props.push_back(buildProps(texture, world));
    unmapPropBuffers();

    constexpr int kWidth = 320, kHeight = 200;
    useTarget(kWidth, kHeight);
    Mat4 projection;
    mat4Perspective(projection, 1.0f, static_cast<float>(kWidth) / kHeight, 2.0f, 50000.0f);
    const Vec3 eye = field->pos + Vec3{-500.0f, 250.0f, 400.0f};
    auto frame = [&](bool depthFirst, bool colorPass) {
        gfx().setClearColor(Color4{10, 20, 30, 255});
        gfx().clear();
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(lookAtMatrix(eye, field->pos, Vec3{0.0f, 1.0f, 0.0f}));
        gfx().setWorldMatrix(Mat4{});
        if (depthFirst)
            for (const auto& batch : props)
                drawProps(batch.get(), 0);
        if (colorPass)
            for (const auto& batch : props)
                drawProps(batch.get(), 1, depthFirst);
        std::vector<std::uint8_t> rgba;
        gfx().readPixels(0, 0, kWidth, kHeight, rgba);
        return rgba;
    };
    const std::vector<std::uint8_t> plain = frame(false, true);
    const std::vector<std::uint8_t> laid = frame(true, true);
    const std::vector<std::uint8_t> depthOnly = frame(true, false);
    int drawn = 0, differing = 0, coloured = 0;
    for (std::size_t i = 0; i < plain.size(); i += 4) {
        drawn += plain[i] != 10 || plain[i + 1] != 20 || plain[i + 2] != 30 ? 1 : 0;
        differing += plain[i] != laid[i] || plain[i + 1] != laid[i + 1] || plain[i + 2] != laid[i + 2] ? 1 : 0;
        coloured += depthOnly[i] != 10 || depthOnly[i + 1] != 20 || depthOnly[i + 2] != 30 ? 1 : 0;
    }
    EXPECT_GT(drawn, 200) << "no map item in view";
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(coloured, 0);
    gfx().restoreDefaultClearColor();
    releaseAllModels();
}

}  // namespace
