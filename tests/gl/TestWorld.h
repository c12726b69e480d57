#pragma once
#include "GlTestContext.h"
#include "render/world/AtmosScatter.h"
#include "render/Graphics.h"
#include "render/world/Clouds.h"
#include "render/world/SkyDome.h"
#include "render/world/Terrain.h"
#include "render/world/Trees.h"
#include "render/world/Water.h"
#include "render/world/WorldView.h"

#include <functional>
#include <memory>
#include <string>

class RenderBuffer;

// The generated test world (stage/data/terrain/test) with every world pass,
// drawn in the scene's order from a fixed camera. Shared by the world GL tests
// and the frame-time benchmark.
class TestWorld {
public:
    // Loads from the staged data; false when the data or the GL side is missing.
    [[nodiscard]] bool load(Graphics& g);
    // The same for another staged terrain ("data/terrain/<folder>/"), with a tree count.
    [[nodiscard]] bool load(Graphics& g, const std::string& folder, int treeCount);
    // Quality tier 0..3 for the next frames (tier 3 makes the shadow map).
    void setTier(int tier);
    // Sun and fog as the scene sets them: sunValue 0..1 is the time of day.
    void setSun(float sunValue, float fogDensity = 0.0f);
    void setCamera(const Vec3& eye, const Vec3& target, float fieldOfView, float aspect);
    // One frame into the graphics device's current target.
    void drawFrame();
    // When set, called after each pass of drawFrame with the pass's name (the
    // benchmark's per-pass profile waits for the GL there and reads a clock).
    std::function<void(const char* pass)> passDone;

    Terrain terrain;
    Trees trees;
    Clouds clouds;
    SkyDome sky;
    Water water;
    AtmosScatter scatter;
    LightRecord light;
    FogRecord fog;
    WorldView view;
    float fieldOfView = 1.0f;
    float time = 0.0f;

private:
    Graphics* m_graphics = nullptr;
    std::string m_folder = "test";
};

// Writes the current target's pixels as an RGB PNG; false on a write error.
bool saveTargetPng(Graphics& g, int width, int height, const std::string& path);

// Fixture: the test world loaded over the GL test context; tier 0 again afterwards.
class TestWorldGl : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<TestWorld> world;
};
