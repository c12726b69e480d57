// The effects over the view drawn for a person to look at in
// build/effects/view/: rain and snow on the lens, the sun's glare with its
// flare, speed lines, and the canopy glass after three hits.
#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "effects/screen/ScreenDamage.h"
#include "effects/screen/ScreenSplats.h"
#include "effects/screen/SpeedStreaks.h"
#include "effects/screen/SunGlare.h"
#include "effects/screen/Weather.h"
#include "render/gl/GraphicsES20Extensions.h"

#include "GlTestContext.h"
#include "TestWorld.h"

#include "platform/File.h"
#include "platform/Random.h"
#include "render/RenderBuffer.h"
#include "render/assets/TextureCache.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 320, kHeight = 240;
const std::string kFolder = SKYFRONT_BINARY_DIR "/effects/view/";

struct ViewPictures : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        useTarget(kWidth, kHeight);
        gfx().setQualityTier(3);
        seedRandom(77, 88);
        Mat4 projection, view;
        mat4Perspective(projection, 1.0f, float(kWidth) / float(kHeight), 1.0f, 100000.0f);
        setEffectCamera({}, view, projection);
        effectScene().screenWidth = kWidth;
        effectScene().screenHeight = kHeight;
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(view);
        Effects::loadTextures();
        std::filesystem::create_directories(kFolder);
    }
    void TearDown() override
    {
        Weather::release();
        SpeedStreaks::release();
        SunGlare::release();
        ScreenDamage::releaseRenderTarget();
        Effects::releaseTextures();
        gfx().setQualityTier(0);
        GlTest::TearDown();
    }
    void backdrop()
    {
        clearTo({92, 128, 172, 255});
        const Mat4 p = gfx().projectionMatrix(), v = gfx().viewMatrix();
        gfx().setProjectionMatrix(Mat4{});
        gfx().setViewMatrix(Mat4{});
        gfx().state().depthTest = false;
        drawQuad(-1.0f, -1.0f, 1.0f, -0.2f, 0.0f, {54, 76, 60, 255});
        gfx().state().depthTest = true;
        gfx().setProjectionMatrix(p);
        gfx().setViewMatrix(v);
    }
    std::vector<Rgba> frame() { return rect(0, 0, kWidth, kHeight); }
    static double differing(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
    {
        std::size_t n = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            n += (std::abs(a[i].r - b[i].r) + std::abs(a[i].g - b[i].g) + std::abs(a[i].b - b[i].b)) > 12 ? 1 : 0;
        return double(n) / double(a.size());
    }
    void save(const std::string& name) { EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, kFolder + name + ".png")); }
};

TEST_F(ViewPictures, RainAndSnowChangeTheViewAndATunnelKeepsItDry)
{
    backdrop();
    const std::vector<Rgba> dry = frame();
    for (int mode : {1, 2}) {
        Weather::load(float(kWidth) / float(kHeight));
        for (int i = 0; i < 40; ++i)
            Weather::update(mode, 1.0f, 1.0f / 30.0f);
        backdrop();
        EXPECT_EQ(Weather::render(mode, 1.0f, {true, false}).particles, 128);
        EXPECT_GE(differing(dry, frame()), 0.01) << mode;
        save(mode == 1 ? "rain_heavy" : "snow_heavy");
        backdrop();
        Weather::render(mode, 1.0f, {true, true});
        EXPECT_EQ(differing(dry, frame()), 0.0);
    }
}

TEST_F(ViewPictures, TopDetailRainBendsThePictureAndLowerDetailAddsLight)
{
    GraphicsES20Extensions extensions(gfx());
    ASSERT_TRUE(extensions.load()) << extensions.error();
    setGraphicsExtensions(&extensions);
    for (bool top : {true, false}) {
        setEffectQualityOverride(top ? 3 : 1, top);
        Weather::release();
        Weather::load(float(kWidth) / float(kHeight));
        for (int i = 0; i < 40; ++i)
            Weather::update(Weather::kRain, 1.0f, 1.0f / 30.0f);
        backdrop();
        const std::vector<Rgba> dry = frame();
        const Weather::Drawn drawn = Weather::render(Weather::kRain, 1.0f, {true, false});
        EXPECT_EQ(drawn.drops, 64);
        EXPECT_EQ(drawn.particles, 128);
        EXPECT_EQ(drawn.refracted, top);
        const std::vector<Rgba> wet = frame();
        EXPECT_GE(differing(dry, wet), 0.01) << top;
        if (!top) {
            // Added light only ever brightens.
            int darker = 0;
            for (std::size_t i = 0; i < wet.size(); ++i)
                darker += wet[i].r + wet[i].g + wet[i].b + 3 < dry[i].r + dry[i].g + dry[i].b ? 1 : 0;
            EXPECT_EQ(darker, 0);
        }
        save(top ? "rain_refracted" : "rain_additive");
    }
    setEffectQualityOverride(-1, false);
    Weather::release();
    setGraphicsExtensions(nullptr);
    extensions.unload();
}

TEST_F(ViewPictures, TheSunGlowsWithAFlareInViewAndNotBehind)
{
    SunGlare::load();
    SunGlare::Input in;
    in.lightDirection = {0.35f, 0.18f, -1.0f};
    vec3Normalize(in.lightDirection);
    in.sunColor = {1.0f, 0.95f, 0.8f};
    in.aspect = float(kWidth) / float(kHeight);
    for (int i = 0; i < 20; ++i)
        SunGlare::update(in, 1.0f / 30.0f);
    EXPECT_FLOAT_EQ(SunGlare::visibility(), 1.0f);
    EXPECT_GT(SunGlare::flareStrength(), 0.0f);
    backdrop();
    const std::vector<Rgba> plain = frame();
    SunGlare::render();
    SunGlare::renderFlare();
    EXPECT_GE(differing(plain, frame()), 0.01);
    save("glare_in_view");
    in.lightDirection = {0.0f, 0.3f, 1.0f};
    for (int i = 0; i < 20; ++i)
        SunGlare::update(in, 1.0f / 30.0f);
    backdrop();
    SunGlare::render();
    SunGlare::renderFlare();
    EXPECT_EQ(differing(plain, frame()), 0.0);
}

TEST_F(ViewPictures, TerrainInFrontOfTheSunPutsOutTheFlare)
{
    SunGlare::load();
    if (!SunGlare::hasQuery())
        GTEST_SKIP() << "no occlusion query on this device";
    SunGlare::Input in;
    in.lightDirection = {0.35f, 0.18f, -1.0f};
    vec3Normalize(in.lightDirection);
    in.sunColor = {1.0f, 0.95f, 0.8f};
    in.aspect = float(kWidth) / float(kHeight);
    // A ridge in front of the whole upper view, written into depth as the terrain is.
    const auto ridge = [this] {
        backdrop();
        const Mat4 p = gfx().projectionMatrix(), v = gfx().viewMatrix();
        gfx().setProjectionMatrix(Mat4{});
        gfx().setViewMatrix(Mat4{});
        gfx().state().depthTest = true;
        gfx().state().depthWrite = true;
        drawQuad(-1.0f, -1.0f, 1.0f, 1.0f, 0.5f, {70, 84, 66, 255});
        gfx().setProjectionMatrix(p);
        gfx().setViewMatrix(v);
    };
    for (int i = 0; i < 30; ++i) {
        ridge();
        SunGlare::update(in, 1.0f / 30.0f);
        SunGlare::renderOverlay();
    }
    EXPECT_EQ(SunGlare::hidden(), 1);
    EXPECT_FLOAT_EQ(SunGlare::occlusion(), 0.0f);
    EXPECT_FLOAT_EQ(SunGlare::flareStrength(), 0.0f);
    ridge();
    const std::vector<Rgba> behind = frame();
    SunGlare::renderFlare();
    EXPECT_EQ(differing(behind, frame()), 0.0);
    save("glare_hidden_by_terrain");
    // The ridge gone, the query sees the sun again and the flare comes back.
    for (int i = 0; i < 30; ++i) {
        backdrop();
        SunGlare::update(in, 1.0f / 30.0f);
        SunGlare::renderOverlay();
    }
    EXPECT_EQ(SunGlare::hidden(), 0);
    EXPECT_GT(SunGlare::flareStrength(), 0.0f);
}

TEST_F(ViewPictures, SpeedLinesStreakFromTheCentreAtSpeed)
{
    SpeedStreaks::load({}, float(kWidth) / float(kHeight));
    SpeedStreaks::Input in;
    in.active = true;
    in.speed = 300.0f;
    // All lines start together at the first update and rush past the eye
    // within half a second: a few frames in they are all in view.
    for (int i = 0; i < 5; ++i) {
        in.time += 1.0f / 30.0f;
        in.plane.m[14] -= 10.0f;
        SpeedStreaks::update(in, 1.0f / 30.0f);
    }
    backdrop();
    const std::vector<Rgba> plain = frame();
    EXPECT_GT(SpeedStreaks::render(), 0);
    EXPECT_GE(differing(plain, frame()), 0.002);
    save("speed_streaks");
}

// The puffs rushing past cover the view only where their cloud has cover:
// the corners of each puff's square stay as they were, the middles lighten.
TEST_F(ViewPictures, SpeedPuffsLightenOnlyUnderTheirCloud)
{
    SpeedStreaks::load({}, float(kWidth) / float(kHeight));
    SpeedStreaks::Input in;
    in.active = true;
    in.speed = 300.0f;
    in.time = 6.2831853f;  // the puffs near their strongest
    for (int i = 0; i < 30; ++i)
        SpeedStreaks::update(in, 1.0f / 30.0f);
    ASSERT_GT(SpeedStreaks::puffIntensity(), 0.5f);
    backdrop();
    const std::vector<Rgba> plain = frame();
    EXPECT_GT(SpeedStreaks::render(), 0);
    const std::vector<Rgba> drawn = frame();
    save("speed_puffs");
    const Mat4 projection = gfx().projectionMatrix();
    // Brightening at a point of the puffs' plane, -1 when it is off the view.
    const auto lightening = [&](const Vec3& at) {
        float clip[4];
        for (int r = 0; r < 4; ++r)
            clip[r] = projection.m[r] * at.x + projection.m[4 + r] * at.y + projection.m[8 + r] * at.z + projection.m[12 + r];
        if (clip[3] <= 0.0f)
            return -1;
        const int x = int((clip[0] / clip[3] * 0.5f + 0.5f) * kWidth), y = int((clip[1] / clip[3] * 0.5f + 0.5f) * kHeight);
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
            return -1;
        const Rgba a = plain[std::size_t(y * kWidth + x)], b = drawn[std::size_t(y * kWidth + x)];
        return (b.r - a.r) + (b.g - a.g) + (b.b - a.b);
    };
    // A point no other puff's square reaches, seen from the camera.
    const auto alone = [&](const SpeedStreaks::Puff& own, const Vec3& at) {
        for (const SpeedStreaks::Puff& other : SpeedStreaks::puffs()) {
            if (&other == &own || other.life <= 0.0f || other.offset.z >= 0.0f)
                continue;
            const float k = other.offset.z / at.z;  // the point seen at the other's depth
            if (std::fabs(at.x * k - other.offset.x) < 12.5f && std::fabs(at.y * k - other.offset.y) < 12.5f)
                return false;
        }
        return true;
    };
    int corners = 0, cornerLight = 0, middles = 0, middleLight = 0;
    for (const SpeedStreaks::Puff& puff : SpeedStreaks::puffs()) {
        // Only puffs at full strength, well in front of the camera.
        if (puff.life <= 0.0f || std::fabs(std::sin(3.14159265f * puff.timer / puff.life)) < 0.7f || puff.offset.z > -20.0f)
            continue;
        for (const Vec3 corner : {Vec3{-11.5f, -11.5f, 0.0f}, Vec3{11.5f, -11.5f, 0.0f}, Vec3{-11.5f, 11.5f, 0.0f}, Vec3{11.5f, 11.5f, 0.0f}})
            if (const int l = alone(puff, puff.offset + corner) ? lightening(puff.offset + corner) : -1; l >= 0) {
                ++corners;
                cornerLight += l;
            }
        if (const int l = lightening(puff.offset); l >= 0) {
            ++middles;
            middleLight += l;
        }
    }
    ASSERT_GE(corners, 4) << "too few puffs in view to judge";
    EXPECT_LT(double(cornerLight) / corners, 4.0) << "the puffs' squares light the view";
    EXPECT_GT(double(middleLight) / middles, 6.0) << "the puffs do not show";
}

TEST_F(ViewPictures, TheCanopyCarriesHolesCutThroughItsGlass)
{
    ASSERT_TRUE(ScreenDamage::createRenderTarget());
    RenderBuffer* glass = ScreenDamage::target();
    ASSERT_NE(glass, nullptr);
    gfx().setRenderTarget(glass);
    clearTo({150, 180, 200, 255});
    gfx().setRenderTarget(&target());
    ScreenDamage::addHit();
    ScreenDamage::addHit();
    ScreenDamage::addHit();
    EXPECT_EQ(ScreenDamage::render().bulletHoles, 8);
    gfx().setRenderTarget(glass);
    std::vector<std::uint8_t> rgba;
    gfx().readPixels(0, 0, glass->width(), glass->height(), rgba);
    int cut = 0;
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        cut += rgba[i] < 255;
    EXPECT_GT(cut, 0);
    EXPECT_TRUE(saveTargetPng(gfx(), glass->width(), glass->height(), kFolder + "canopy_three_hits.png"));
    gfx().setRenderTarget(&target());
}

// From the cockpit the world is seen through the canopy glass: a light tint
// and glint when clean; after three hits small cracked holes, and the world
// shows clear through their middles.
TEST_F(ViewPictures, TheCockpitSeesTheWorldThroughTheCrackedGlass)
{
    EXPECT_FALSE(ScreenDamage::drawGlass()) << "no glass without its target";
    ASSERT_TRUE(ScreenDamage::createRenderTarget());
    TextureRef canopy = getTexture("data/models/canopy.png");
    ASSERT_TRUE(canopy) << "the clean canopy is staged";
    auto world = [&] {
        gfx().setRenderTarget(&target());
        backdrop();
        gfx().setProjectionMatrix(Mat4{});
        gfx().setViewMatrix(Mat4{});
        gfx().state().depthTest = false;
        // A far hill, so a bent or tinted view shows against the sky.
        drawQuad(-0.6f, -0.2f, 0.1f, 0.25f, 0.0f, {120, 110, 70, 255});
        gfx().state().depthTest = true;
    };
    world();
    const std::vector<Rgba> bare = frame();

    ScreenDamage::clean(canopy.get());
    EXPECT_TRUE(ScreenDamage::render().cleaned);
    world();
    EXPECT_TRUE(ScreenDamage::drawGlass());
    const std::vector<Rgba> clean = frame();
    save("cockpit_glass_clean");
    // The glass tints the whole view a little and hides nothing.
    int tinted = 0, hidden = 0;
    for (std::size_t i = 0; i < bare.size(); ++i) {
        const int d = std::abs(bare[i].r - clean[i].r) + std::abs(bare[i].g - clean[i].g) + std::abs(bare[i].b - clean[i].b);
        tinted += d > 3 ? 1 : 0;
        hidden += d > 200 ? 1 : 0;
    }
    EXPECT_GT(tinted, int(bare.size()) / 2);
    EXPECT_EQ(hidden, 0);

    ScreenDamage::addHit();
    ScreenDamage::addHit();
    ScreenDamage::addHit();
    EXPECT_EQ(ScreenDamage::render().bulletHoles, 8);
    world();
    EXPECT_TRUE(ScreenDamage::drawGlass());
    const std::vector<Rgba> hit = frame();
    save("cockpit_three_hits");
    // Eight small holes, each a few pixels across at this size: there, and
    // no more than a few per cent of the view.
    const double cracked = differing(clean, hit);
    EXPECT_GE(cracked * double(kWidth * kHeight), 16.0);
    EXPECT_LT(cracked, 0.05);
    // Where the glass is cut the world shows bare: some pixels go back to it.
    int clear = 0;
    for (std::size_t i = 0; i < bare.size(); ++i)
        clear += !rgbNear(clean[i], bare[i], 3) && rgbNear(hit[i], bare[i], 3) ? 1 : 0;
    EXPECT_GT(clear, 0);

    // Nothing is drawn at no opacity.
    world();
    EXPECT_FALSE(ScreenDamage::drawGlass(0.0f));
    EXPECT_EQ(differing(bare, frame()), 0.0);
}
// A flight seen from outside never needs the glass: its target waits for the
// first damage or the first look from the cockpit, and then shows the same
// clean glass as one made at the start.
TEST_F(ViewPictures, TheCanopyGlassIsMadeOnlyWhenFirstDamagedOrSeen)
{
    TextureRef canopy = getTexture("data/models/canopy.png");
    ASSERT_TRUE(canopy);
    auto world = [&] {
        gfx().setRenderTarget(&target());
        backdrop();
    };
    ASSERT_TRUE(ScreenDamage::createRenderTarget());
    ScreenDamage::clean(canopy.get());
    EXPECT_TRUE(ScreenDamage::render().cleaned);
    world();
    ASSERT_TRUE(ScreenDamage::drawGlass());
    const std::vector<Rgba> early = frame();
    ScreenDamage::releaseRenderTarget();

    ScreenDamage::useLazyTarget();
    ScreenDamage::clean(canopy.get());
    EXPECT_FALSE(ScreenDamage::render().touched) << "a clean glass waits without a target";
    EXPECT_EQ(ScreenDamage::target(), nullptr);
    world();
    ASSERT_TRUE(ScreenDamage::drawGlass()) << "the cockpit's first look makes the glass";
    ASSERT_NE(ScreenDamage::target(), nullptr);
    EXPECT_EQ(differing(early, frame()), 0.0);
    ScreenDamage::releaseRenderTarget();

    // Damage in a chase view makes it too, clean first, holes over it.
    ScreenDamage::useLazyTarget();
    ScreenDamage::clean(canopy.get());
    ScreenDamage::addHit();
    const ScreenDamage::Painted painted = ScreenDamage::render();
    EXPECT_TRUE(painted.cleaned);
    EXPECT_EQ(painted.bulletHoles, 3);
    EXPECT_NE(ScreenDamage::target(), nullptr);
    world();
    EXPECT_TRUE(ScreenDamage::drawGlass());
    EXPECT_GT(differing(early, frame()), 0.0);
}

// A missile bursting on the player throws three or four oil splats over the
// view; once their delays have passed they darken it, and they are gone when
// their lives run out.
TEST_F(ViewPictures, OilSplatsDarkenTheViewUntilTheyRunOut)
{
    const int savedWidth = gfx().screenWidth(), savedHeight = gfx().screenHeight();
    gfx().setScreenSize(kWidth, kHeight);
    ScreenSplats::reset();
    ScreenSplats::spawn(ScreenSplats::kCount, ScreenSplats::kOil, 0.0f);
    for (int i = 0; i < 10; ++i)
        ScreenSplats::update(0.1f);   // past every delay
    ASSERT_GE(ScreenSplats::activeCount(), 3);
    backdrop();
    const std::vector<Rgba> clear = frame();
    ScreenSplats::render();
    save("oil_splats");
    const std::vector<Rgba> oiled = frame();
    int darker = 0;
    for (std::size_t i = 0; i < clear.size(); ++i)
        darker += oiled[i].r + oiled[i].g + oiled[i].b + 30 < clear[i].r + clear[i].g + clear[i].b ? 1 : 0;
    EXPECT_GT(darker, static_cast<int>(clear.size()) / 50) << "the oil shows";
    for (int i = 0; i < 30; ++i)
        ScreenSplats::update(0.1f);
    backdrop();
    ScreenSplats::render();
    EXPECT_LT(differing(clear, frame()), 0.0001) << "and is gone again";
    gfx().setScreenSize(savedWidth, savedHeight);
}
}  // namespace
