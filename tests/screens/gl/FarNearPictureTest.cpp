// The game's scene draws its far entities under the world's own projection
// and the near ones under the near projection with their depth mapped onto
// it: a hill in front hides either, and in the open either shows.
#include "GameScreenGl.h"
#include "TestWorld.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "render/world/Terrain.h"
#include "render/world/WorldView.h"
#include "screens/GameScreen.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"
#include "screens/scene/SceneWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
constexpr int kWidth = 480, kHeight = 320;
// "cliffcoast" among the skirmish maps.
constexpr int kCliffMap = 4;

struct FarNearPicture : GameScreenGl {
    FarNearPicture() : GameScreenGl(kWidth, kHeight) {}

    Scene* view = nullptr;
    GameMode* mode = nullptr;
    Airplane* plane = nullptr;

    void start()
    {
        GameScreen& game = gameScreen();
        // The cliff coast: its steep ridges hide an airplane close behind them.
        ASSERT_EQ(createGame(static_cast<int>(GameType::FreeFlight), false, kCliffMap, game),
                  GameStartResult::Started);
        while (!game.isLoaded())
            (void)game.loadStep();
        setCurrentScreen(&game);
        for (int i = 0; i < 5; ++i)
            game.update();
        view = scene();
        mode = modeOf(currentMatch());
        ASSERT_NE(view, nullptr);
        ASSERT_NE(view->terrain, nullptr);
        ASSERT_NE(mode, nullptr);
        plane = mode->playerAirplane();
        ASSERT_NE(plane, nullptr);
    }

    float ground(float x, float z) const { return view->terrainHeightAt(x, z); }

    void look(const Vec3& eye, const Vec3& at)
    {
        GameCamera& camera = gameCamera();
        camera.position = eye;
        camera.viewMatrix = lookAtMatrix(eye, at, Vec3{0.0f, 1.0f, 0.0f});
        camera.forward = vec3NormalizeOr(at - eye, {0.0f, 0.0f, -1.0f});
        view->setupProjection();
        // As high above the ground: the near projection's plane moves out,
        // and its depth no longer matches the world's by itself.
        view->nearPlane = 30.0f;
        mat4Perspective(view->nearProjection, view->fieldOfView, view->aspect, view->nearPlane, Scene::kNearFar);
    }

    // The airplane at a point in its distance class, or left out (class 0).
    std::vector<std::uint8_t> frame(const Vec3* at)
    {
        if (at) {
            plane->setPositionAndStop(*at);
            plane->drawClass = mode->drawClassFor(vec3DistanceSq(*at, gameCamera().position));
        } else {
            plane->drawClass = 0;
        }
        gfx().clear();
        GameSceneDraw passes(*view);
        view->draw(passes);
        std::vector<std::uint8_t> rgba;
        gfx().readPixels(0, 0, kWidth, kHeight, rgba);
        return rgba;
    }

    // Where a world point shows, in pixels from the bottom left.
    bool project(const Vec3& p, int& x, int& y) const
    {
        const Mat4 m = mat4Multiply(view->mainProjection, gameCamera().viewMatrix);
        const float cx = m.m[0] * p.x + m.m[4] * p.y + m.m[8] * p.z + m.m[12];
        const float cy = m.m[1] * p.x + m.m[5] * p.y + m.m[9] * p.z + m.m[13];
        const float w = m.m[3] * p.x + m.m[7] * p.y + m.m[11] * p.z + m.m[15];
        if (!(w > 0.0f))
            return false;
        x = static_cast<int>((cx / w * 0.5f + 0.5f) * kWidth);
        y = static_cast<int>((cy / w * 0.5f + 0.5f) * kHeight);
        return x >= 0 && x < kWidth && y >= 0 && y < kHeight;
    }

    // Pixels round a point that differ between two frames.
    static int changed(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int x, int y, int r)
    {
        int count = 0;
        for (int py = std::max(0, y - r); py < std::min(kHeight, y + r); ++py)
            for (int px = std::max(0, x - r); px < std::min(kWidth, x + r); ++px) {
                const std::size_t i = (static_cast<std::size_t>(py) * kWidth + px) * 4;
                const int d = std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]);
                count += d > 24 ? 1 : 0;
            }
        return count;
    }
};

// Behind a hill, seen from its slope: for the far band the eye stands 300
// units before the crest and the airplane 300 beyond, for the near band 100
// and 90. Raised clear of every slope between, the same airplane shows.
TEST_F(FarNearPicture, AHillHidesAnAirplaneBehindItAndTheOpenShowsIt)
{
    start();
    if (HasFatalFailure())
        return;
    const float half = view->terrain->size() * 0.4f;
    bool nearDone = false;

    struct Band {
        const char* name;
        float before, beyond;
        int expectedClass;
    };
    for (const Band& band : {Band{"far", 300.0f, 300.0f, 2}, Band{"near", 100.0f, 90.0f, 1},
                             Band{"near", 70.0f, 70.0f, 1}, Band{"near", 130.0f, 60.0f, 1}}) {
        // One near spot is enough: the further ones are tried where the first finds no ridge.
        if (band.expectedClass == 1 && nearDone)
            continue;
        SCOPED_TRACE(band.name);
        // The crest and side whose sight line runs deepest under the crest,
        // short of a cliff that would lift the open airplane out of view.
        float bestCover = 0.0f;
        Vec3 eye, hidden;
        for (float cx = -half; cx <= half; cx += 100.0f)
            for (float cz = -half; cz <= half; cz += 100.0f) {
                const Vec3 crest{cx, ground(cx, cz), cz};
                for (int k = 0; k < 16; ++k) {
                    const float a = 2.0f * kPi * static_cast<float>(k) / 16.0f;
                    const Vec3 dir{std::cos(a), 0.0f, std::sin(a)};
                    const Vec3 e{crest.x + dir.x * band.before, 0.0f, crest.z + dir.z * band.before};
                    const Vec3 h{crest.x - dir.x * band.beyond, 0.0f, crest.z - dir.z * band.beyond};
                    const Vec3 eyeAt{e.x, ground(e.x, e.z) + 10.0f, e.z};
                    const Vec3 planeAt{h.x, ground(h.x, h.z) + 15.0f, h.z};
                    // The hill between, not the slope at the eye's feet, covers it.
                    float cover = -1e9f, nearClear = 1e9f;
                    for (int s = 1; s <= 20; ++s) {
                        const float f = static_cast<float>(s) / 20.0f;
                        const Vec3 p = eyeAt + (planeAt - eyeAt) * f;
                        const float under = ground(p.x, p.z) - p.y;
                        if (f <= 0.25f)
                            nearClear = std::min(nearClear, -under);
                        else if (f <= 0.8f)
                            cover = std::max(cover, under);
                    }
                    if (nearClear < 8.0f)
                        continue;
                    if (cover > bestCover && cover < 150.0f && eyeAt.y > 20.0f &&
                        mode->drawClassFor(vec3DistanceSq(planeAt, eyeAt)) == band.expectedClass) {
                        bestCover = cover;
                        eye = eyeAt;
                        hidden = planeAt;
                    }
                }
            }
        if (band.expectedClass == 1 && bestCover <= 20.0f && band.before != 130.0f)
            continue;
        ASSERT_GT(bestCover, 20.0f) << "no side of the hill hides the airplane";
        nearDone = nearDone || band.expectedClass == 1;
        // Raised until the sight line clears the ground under it, by up to 40
        // units towards the airplane.
        float clearY = hidden.y;
        for (int s = 1; s <= 64; ++s) {
            const float f = static_cast<float>(s) / 64.0f;
            const Vec3 p = eye + (hidden - eye) * f;
            clearY = std::max(clearY, eye.y + (ground(p.x, p.z) - eye.y) / f + 40.0f);
        }
        const Vec3 open{hidden.x, clearY, hidden.z};
        look(eye, (hidden + open) * 0.5f);
        ASSERT_EQ(mode->drawClassFor(vec3DistanceSq(hidden, eye)), band.expectedClass);
        ASSERT_EQ(mode->drawClassFor(vec3DistanceSq(open, eye)), band.expectedClass);

        const std::vector<std::uint8_t> without = frame(nullptr);
        const std::vector<std::uint8_t> behind = frame(&hidden);
        const std::vector<std::uint8_t> inOpen = frame(&open);
        int hx = 0, hy = 0, ox = 0, oy = 0;
        ASSERT_TRUE(project(hidden, hx, hy));
        ASSERT_TRUE(project(open, ox, oy));
        const int radius = band.expectedClass == 1 ? 40 : 20;
        EXPECT_EQ(changed(without, behind, hx, hy, radius), 0) << "the airplane shows through the hill";
        // At the lowest tier (this window's) the far airplane can be a single
        // pixel of the half-size scene, stretched unfiltered over 2 x 2.
        EXPECT_GT(changed(without, inOpen, ox, oy, radius), 3) << "the airplane in the open does not show";
        saveTargetPng(gfx(), kWidth, kHeight, std::string(SKYFRONT_BINARY_DIR "/screens/far_near/") + band.name + "_open.png");
        (void)frame(&hidden);
        saveTargetPng(gfx(), kWidth, kHeight, std::string(SKYFRONT_BINARY_DIR "/screens/far_near/") + band.name + "_behind.png");
    }
}

// The near band's depth range writes the depth the world's projection
// writes, wherever the near projection's planes lie.
TEST(MatchedDepthRange, TheNearProjectionWritesTheWorldsDepth)
{
    Mat4 world;
    mat4Perspective(world, 0.9f, 1.5f, Scene::kNearPlane, Scene::kMainFar);
    for (const float nearPlane : {2.0f, 10.0f, 41.25f}) {
        Mat4 own;
        mat4Perspective(own, 0.9f, 1.5f, nearPlane, Scene::kNearFar);
        const DepthRange range = matchedDepthRange(own, world);
        for (const float z : {45.0f, 120.0f, 249.0f, 3000.0f, 40000.0f}) {
            const float worldDepth = 0.5f * (-world.m[10] + world.m[14] / z) + 0.5f;
            const float ownNdc = -own.m[10] + own.m[14] / z;
            const float ownDepth = range.nearValue + (range.farValue - range.nearValue) * (ownNdc + 1.0f) * 0.5f;
            EXPECT_NEAR(ownDepth, worldDepth, 2e-6f) << "near plane " << nearPlane << " at " << z;
        }
        EXPECT_GE(range.nearValue, 0.0f);
        EXPECT_LE(range.farValue, 1.00001f);
    }
    // The near plane moves in for a near entity it would cut, never below the least.
    EXPECT_FLOAT_EQ(nearEntitiesPlane(41.25f, 1e30f), 41.25f);
    EXPECT_FLOAT_EQ(nearEntitiesPlane(41.25f, 20.0f), 20.0f);
    EXPECT_FLOAT_EQ(nearEntitiesPlane(41.25f, -5.0f), Scene::kNearPlane);
    EXPECT_FLOAT_EQ(nearEntitiesPlane(2.0f, 1.0f), Scene::kNearPlane);
}

}  // namespace
