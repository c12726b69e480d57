#include "TestWorld.h"

#include "render/assets/Model.h"
#include "render/shadows/ShadowMaps.h"
#include "render/shadows/ShadowVolumes.h"
#include "render/world/TerrainPatches.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

int brightness(const Rgba& c) { return c.r + c.g + c.b; }

struct WorldPasses : TestWorldGl {
    void SetUp() override
    {
        TestWorldGl::SetUp();
        if (!IsSkipped() && world)
            useTarget(160, 120);
    }
};

TEST_F(WorldPasses, SeaIsBluerThanLandAndTheHorizonLighterThanTheZenith)
{
    world->setTier(0);
    world->clouds.buildField(0.0f, 0.0f);
    // From high over the coast looking east: sea in the lower left, land to the right.
    world->setCamera(Vec3{-2700.0f, 2500.0f, 6000.0f}, Vec3{-2700.0f, 0.0f, 0.0f}, 1.2f, 160.0f / 120.0f);
    world->setSun(0.5f);
    world->drawFrame();
    const Rgba sea = pixel(10, 10), land = pixel(150, 10);
    EXPECT_GT(sea.b - sea.r, land.b - land.r) << sea << " " << land;
    EXPECT_GT(sea.b, sea.r);

    // Looking level out to sea: the sky at the horizon against the sky straight up.
    world->setCamera(Vec3{-6000.0f, 50.0f, 0.0f}, Vec3{-12000.0f, 6000.0f, 0.0f}, 1.5f, 160.0f / 120.0f);
    world->drawFrame();
    std::vector<Rgba> column = rect(80, 0, 1, 120);
    int horizonRow = -1;
    for (int y = 0; y < 120 && horizonRow < 0; ++y)
        if (column[static_cast<std::size_t>(y)].b < column[static_cast<std::size_t>(y)].r + 20 ||
            brightness(column[static_cast<std::size_t>(y)]) > 500)
            horizonRow = y;
    ASSERT_GE(horizonRow, 0);
    const Rgba nearHorizon = column[static_cast<std::size_t>(std::min(horizonRow + 8, 119))];
    const Rgba high = column[119];
    EXPECT_GT(brightness(nearHorizon), brightness(high)) << nearHorizon << " " << high;
}

// Ground wholly under the sea is left out of the main ground pass when the
// water says the eye is above it (the surface drawn next hides it), and is
// drawn again for an eye below the sea.
TEST_F(WorldPasses, SeaFloorDrawnOnlyWhenNoSurfaceHidesIt)
{
    world->setTier(0);
    const TerrainPatches& all = world->terrain.patches();
    const TerrainPatches::Patch* deep = nullptr;
    for (const TerrainPatches::Patch& p : all.patches())
        if (p.boundsMax.y < 0.0f && (!deep || p.boundsMax.y < deep->boundsMax.y))
            deep = &p;
    ASSERT_NE(deep, nullptr) << "the test world has a sea floor";
    const Vec3 below = (deep->boundsMin + deep->boundsMax) * 0.5f;
    // Whether any ground covers the picture's centre.
    auto groundOnly = [&](float eyeY) {
        world->setCamera(Vec3{below.x, eyeY, below.z + 1.0f}, below, 0.3f, 160.0f / 120.0f);
        world->terrain.updateVisible(world->fieldOfView, world->view);
        world->water.update(world->view.eye, 0.0f);
        gfx().setProjectionMatrix(world->view.projection());
        gfx().setViewMatrix(world->view.view());
        clearTo({255, 0, 255, 255});
        world->terrain.drawPass();
        const Rgba c = centre();
        return !(c.r == 255 && c.g == 0 && c.b == 255);
    };
    EXPECT_FALSE(groundOnly(400.0f)) << "hidden by the surface";
    EXPECT_TRUE(groundOnly(-1.0f)) << "seen from under the surface";
    EXPECT_FALSE(groundOnly(400.0f));
    world->water.setWorld(nullptr, nullptr, nullptr);
    EXPECT_TRUE(groundOnly(400.0f)) << "no water drawn over it";
}

// The ground's main pass first lays the depth of a plane just under the sea
// and leaves out triangles wholly under it, so the sea floor of the coast's
// patches is not shaded only to be covered by the surface. The finished
// picture must not change by a single pixel against one with nothing hidden,
// from high up, from just over the waves, towards the horizon and down
// onto the coast.
TEST_F(WorldPasses, GroundUnderTheSeaIsNotShadedAndThePictureStaysTheSame)
{
    useTarget(480, 320);
    world->setTier(0);
    world->setSun(0.35f);
    const auto isGround = [](const Rgba& c) { return !(c.r == 255 && c.g == 0 && c.b == 255); };
    struct Frame {
        int groundPixels = 0;
        std::vector<Rgba> picture;
    };
    // Ground, then the surface over it, with the plane laid or nothing hidden.
    const auto draw = [&](bool covered) {
        world->terrain.updateVisible(world->fieldOfView, world->view);
        world->water.update(world->view.eye, 1.0f);
        if (!covered)
            world->terrain.setHiddenUnderSea(false);
        gfx().setProjectionMatrix(world->view.projection());
        gfx().setViewMatrix(world->view.view());
        clearTo({255, 0, 255, 255});
        world->terrain.drawPass();
        Frame f;
        for (const Rgba& c : rect(0, 0, 480, 320))
            f.groundPixels += isGround(c) ? 1 : 0;
        world->water.drawSurface();
        f.picture = rect(0, 0, 480, 320);
        return f;
    };
    const struct {
        Vec3 eye, target;
    } views[] = {{{-5200.0f, 420.0f, 2600.0f}, {1500.0f, 150.0f, -1500.0f}},   // the coast from the sea
                 {{-5200.0f, 6000.0f, 2600.0f}, {0.0f, 0.0f, 0.0f}},           // high over it
                 {{-5200.0f, 3.0f, 2600.0f}, {1500.0f, 3.0f, -1500.0f}},        // just over the waves
                 {{-1500.0f, 200.0f, 1500.0f}, {0.0f, -100.0f, 0.0f}}};         // down onto the coast
    for (const auto& v : views) {
        SCOPED_TRACE("eye height " + std::to_string(v.eye.y));
        world->setCamera(v.eye, v.target, 1.0f, 1.5f);
        const Frame plain = draw(false), covered = draw(true);
        EXPECT_LE(covered.groundPixels, plain.groundPixels);
        ASSERT_EQ(covered.picture.size(), plain.picture.size());
        int differing = 0;
        for (std::size_t i = 0; i < plain.picture.size(); ++i)
            differing += rgbNear(covered.picture[i], plain.picture[i], 0) ? 0 : 1;
        EXPECT_EQ(differing, 0);
    }
    // From the sea towards the coast most of the ground drawn lay under the surface.
    world->setCamera(views[0].eye, views[0].target, 1.0f, 1.5f);
    const Frame plain = draw(false), covered = draw(true);
    EXPECT_LT(covered.groundPixels * 2, plain.groundPixels) << covered.groundPixels << " of " << plain.groundPixels;
}

// At every tier the clouds' picture is blended over the scene only in
// rectangles round the puffs in view (never one pixel twice): puffs behind
// the eye no longer stretch it over the whole screen.
TEST_F(WorldPasses, CloudsBlendOnlyAroundThePuffsInView)
{
    for (const int tier : {0, 2}) {
        SCOPED_TRACE(tier);
        world->setTier(tier);
        world->setSun(0.35f);
        const Vec3 views[][2] = {{{-5200.0f, 420.0f, 2600.0f}, {1500.0f, 150.0f, -1500.0f}},
                                 {{0.0f, 1500.0f, 0.0f}, {8000.0f, 2500.0f, 3000.0f}},    // amid the field
                                 {{0.0f, 25000.0f, 0.0f}, {1.0f, 0.0f, 0.0f}}};          // over all of it
        for (const auto& v : views) {
            world->setCamera(v[0], v[1], 1.0f, 160.0f / 120.0f);
            world->drawFrame();
            world->clouds.renderToTarget(world->view);
            const std::vector<std::array<float, 4>>& rects = world->clouds.compositeRects();
            ASSERT_FALSE(rects.empty());
            double area = 0.0;
            for (std::size_t i = 0; i < rects.size(); ++i) {
                area += (rects[i][2] - rects[i][0]) * (rects[i][3] - rects[i][1]) / 4.0;
                for (std::size_t j = i + 1; j < rects.size(); ++j)
                    EXPECT_FALSE(rects[i][0] <= rects[j][2] && rects[j][0] <= rects[i][2] && rects[i][1] <= rects[j][3] &&
                                 rects[j][1] <= rects[i][3]) << i << " and " << j << " overlap";
            }
            if (v[0].y < 10000.0f) {
                EXPECT_LT(area, 0.6);
            }
            // Every puff whose centre is on screen lies in a rectangle.
            const Mat4 viewProjection = mat4Multiply(world->view.projection(), world->view.view());
            for (const Clouds::Puff& p : world->clouds.puffs()) {
                const float* m = viewProjection.m;
                const Vec3& c = p.position;
                const float w = m[3] * c.x + m[7] * c.y + m[11] * c.z + m[15];
                if (!(w > 1.0f))
                    continue;
                const float x = (m[0] * c.x + m[4] * c.y + m[8] * c.z + m[12]) / w;
                const float y = (m[1] * c.x + m[5] * c.y + m[9] * c.z + m[13]) / w;
                if (std::abs(x) >= 1.0f || std::abs(y) >= 1.0f)
                    continue;
                bool inside = false;
                for (const auto& r : rects)
                    inside = inside || (x >= r[0] && x <= r[2] && y >= r[1] && y <= r[3]);
                EXPECT_TRUE(inside) << x << ", " << y;
            }
        }
    }
}

TEST_F(WorldPasses, NoCloudsAtAmountZero)
{
    world->setCamera(Vec3{0.0f, 1500.0f, 0.0f}, Vec3{0.0f, 5000.0f, -8000.0f}, 1.2f, 160.0f / 120.0f);
    world->setSun(0.5f);
    for (int tier : {0, 2}) {
        world->setTier(tier);
        world->clouds.buildField(0.0f, 1000.0f);
        world->time = 0.0f;  // the same waves in every frame
        world->drawFrame();
        const std::vector<Rgba> clear = rect(0, 0, 160, 120);
        world->clouds.buildField(1.0f, 1000.0f);
        world->time = 0.0f;
        world->drawFrame();
        const std::vector<Rgba> cloudy = rect(0, 0, 160, 120);
        world->clouds.buildField(0.0f, 1000.0f);
        world->time = 0.0f;
        world->drawFrame();
        int changed = 0, again = 0;
        const std::vector<Rgba> cleared = rect(0, 0, 160, 120);
        for (std::size_t i = 0; i < clear.size(); ++i) {
            changed += brightness(cloudy[i]) > brightness(clear[i]) + 30;
            again += brightness(cleared[i]) != brightness(clear[i]);
        }
        EXPECT_GT(changed, 100) << "a full sky shows clouds at tier " << tier;
        EXPECT_EQ(again, 0) << "amount 0 leaves only the sky at tier " << tier;
    }
}

// The passes that draw into targets of their own (shadow map, cloud picture,
// water pictures) clear them to their own colors and then give the scene's
// clear the renderer's default color back.
TEST_F(WorldPasses, OffscreenPassesLeaveTheDefaultClearColor)
{
    world->setTier(3);
    world->setCamera(Vec3{-5200.0f, 420.0f, 2600.0f}, Vec3{1500.0f, 150.0f, -1500.0f}, 1.0f, 160.0f / 120.0f);
    world->clouds.fillBuffer(world->view.eye);
    world->terrain.updateVisible(world->fieldOfView, world->view);
    gfx().setProjectionMatrix(world->view.projection());
    gfx().setViewMatrix(world->view.view());
    renderShadowMaps(world->view.eye);
    world->clouds.renderToTarget(world->view);
    world->water.update(world->view.eye, 0.0f);
    world->water.renderRefraction();
    world->water.renderReflection();
    gfx().clear();
    EXPECT_TRUE(colorNear(centre(), Rgba{0, 0, 0, 255}, 0)) << centre();
}

// Sixteen jets low over the coast at tier 2: each stencil volume reaches only
// past the lowest ground under it, not down to the sea bed, and the frame is
// the same to the pixel as with volumes down to the map's lowest floor.
TEST_F(WorldPasses, ShortVolumesCastTheSameShadows)
{
    useTarget(240, 160);
    world->setTier(2);
    world->setSun(0.35f);
    const float lookX = -400.0f, lookZ = 0.0f;
    const Vec3 look{lookX, std::max(world->terrain.heightAt(lookX, lookZ), 0.0f), lookZ};
    const Vec3 eye = look + Vec3{-500.0f, 300.0f, 400.0f};
    world->setCamera(eye, look, 1.0f, 1.5f);
    const Model* jet = loadModel("fighter_jet.glm");
    ASSERT_NE(jet, nullptr);
    std::vector<Vec3> triangles;
    for (const GlmTriangle& t : jet->collisionTriangles())
        triangles.insert(triangles.end(), {t.a, t.b, t.c});
    std::vector<std::unique_ptr<ShadowVolumes::Caster>> jets;
    for (int i = 0; i < 16; ++i) {
        Mat4 at;
        at.m[12] = lookX + static_cast<float>(i % 4 - 2) * 60.0f;
        at.m[14] = lookZ + static_cast<float>(i / 4 - 2) * 60.0f;
        at.m[13] = std::max(world->terrain.heightAt(at.m[12], at.m[14]), 0.0f) + 40.0f;
        jets.push_back(std::make_unique<ShadowVolumes::Caster>(triangles));
        jets.back()->setMatrix(at);
    }
    ASSERT_TRUE(target().hasStencil());
    auto frame = [&] {
        world->time = 0.0f;
        world->drawFrame();
        return rect(0, 0, 240, 160);
    };
    world->drawFrame();  // the water tells the ground what the sea hides
    const std::vector<Rgba> shortVolumes = frame();
    EXPECT_TRUE(saveTargetPng(gfx(), 240, 160, std::string(SKYFRONT_BINARY_DIR) + "/world_jet_shadows.png"));
    ShadowVolumes::clearFloorQuery(&world->terrain);
    const std::vector<Rgba> longVolumes = frame();
    int differ = 0, shadowed = 0;
    for (std::size_t i = 0; i < shortVolumes.size(); ++i)
        differ += shortVolumes[i].r != longVolumes[i].r || shortVolumes[i].g != longVolumes[i].g ||
                  shortVolumes[i].b != longVolumes[i].b;
    jets.clear();
    const std::vector<Rgba> none = frame();
    for (std::size_t i = 0; i < none.size(); ++i)
        shadowed += brightness(shortVolumes[i]) + 20 < brightness(none[i]);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(shadowed, 20) << "no shadows to compare";
}

// A floating slab over the flat airstrip field: no shadow at tier 0, the
// shadow map's at tier 3, the stencil volume's at tier 2.
TEST_F(WorldPasses, ShadowDarkerThanLitGroundAtTiersTwoAndThree)
{
    const float fx = 0.62f * world->terrain.size() - world->terrain.size() * 0.5f;
    const float fz = 0.55f * world->terrain.size() - world->terrain.size() * 0.5f;
    const float ground = world->terrain.heightAt(fx, fz);
    std::vector<Vec3> slab;  // two triangles 200 x 200, 60 above the ground
    const float h = ground + 60.0f;
    slab = {{-100, h, -100}, {100, h, -100}, {-100, h, 100}, {100, h, -100}, {100, h, 100}, {-100, h, 100}};
    ShadowVolumes::Caster caster(slab);
    Mat4 at;
    at.m[12] = fx;
    at.m[14] = fz;
    caster.setMatrix(at);
    world->clouds.buildField(0.0f, 0.0f);
    // Looking straight down under a sun from straight above: the shadow lies under the slab.
    world->setCamera(Vec3{fx, ground + 400.0f, fz + 0.01f}, Vec3{fx, ground, fz}, 0.6f, 160.0f / 120.0f);
    world->setSun(0.5f);
    world->setTier(0);
    world->drawFrame();
    const Rgba litCentre = centre();
    world->setTier(3);
    ASSERT_NE(shadowMaps(), nullptr);
    world->drawFrame();
    const Rgba shadowed = centre();
    const Rgba outside = pixel(5, 5);
    EXPECT_LT(brightness(shadowed) + 40, brightness(litCentre)) << shadowed << " " << litCentre;
    EXPECT_LT(brightness(shadowed) + 40, brightness(outside)) << shadowed << " " << outside;

    // Below tier 3 the stencil volume of the slab shades the same spot about as darkly.
    world->setTier(2);
    world->drawFrame();
    const Rgba volumeShadow = centre();
    EXPECT_LT(brightness(volumeShadow) + 40, brightness(litCentre)) << volumeShadow << " " << litCentre;
    EXPECT_NEAR(brightness(volumeShadow), brightness(shadowed), 30) << volumeShadow << " " << shadowed;
    EXPECT_LT(brightness(volumeShadow) + 40, brightness(pixel(5, 5))) << volumeShadow << " " << pixel(5, 5);

    // A caster just above the ground (a plane on the runway) still shadows it at tier 3.
    const float low = ground + 4.0f;
    std::vector<Vec3> lowSlab = {{-100, low, -100}, {100, low, -100}, {-100, low, 100},
                                 {100, low, -100},  {100, low, 100},  {-100, low, 100}};
    ShadowVolumes::Caster lowCaster(lowSlab);
    lowCaster.setMatrix(at);
    caster.setActive(false);
    world->setTier(3);
    world->drawFrame();
    EXPECT_LT(brightness(centre()) + 40, brightness(litCentre)) << centre() << " " << litCentre;
}

}  // namespace
