// A capture-the-flag flag at home seen from 300 units, in its friendly and its
// enemy set, at the lowest and the highest quality tier; the pictures go to
// build/modes/.
#include "GlTestContext.h"
#include "TestWorld.h"

#include "entities/EntityIds.h"
#include "entities/TargetDraw.h"
#include "entities/ground/Flag.h"
#include "modes/GameMode.h"
#include "platform/File.h"
#include "platform/Math.h"

#include <filesystem>
#include <string>

namespace {

struct FlagPicture : GlTest {
    static constexpr int kWidth = 320, kHeight = 240;
    static constexpr float kDistance = 300.0f;
    const Rgba kSky{150, 180, 210, 255};
    LightRecord light;
    DrawView view;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        clearEntityIds();
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        useTarget(kWidth, kHeight);
        light.direction[0] = 0.3f;
        light.direction[1] = 0.9f;
        light.direction[2] = 0.3f;
        for (int i = 0; i < 3; ++i) {
            light.ambient[i] = 0.45f;
            light.diffuse[i] = 0.55f;
        }
        gfx().setLight(&light);
        gfx().setFog(nullptr);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/modes");
        Flag::buildClothMesh();
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            Flag::releaseClothMesh();
            gfx().setQualityTier(0);
            setDataRoot("");
        }
        GlTest::TearDown();
    }

    // The flag's cloth from the side it streams to, kDistance away.
    void lookAtCloth(const Flag& flag)
    {
        const Vec3 cloth = flag.attachment() + Vec3{Flag::kClothLength * 0.5f, -Flag::kClothHeight * 0.5f, 0.0f};
        const Vec3 eye = cloth + vec3NormalizeOr(Vec3{0.3f, 0.25f, 1.0f}, {0.0f, 0.0f, 1.0f}) * kDistance;
        Quat q;
        quatFromDirectionTo(q, cloth - eye);
        Mat4 camera = mat4FromQuatPosition(q, eye), viewMatrix;
        ASSERT_TRUE(mat4InvertAffine(camera, viewMatrix));
        Mat4 projection;
        mat4Perspective(projection, 0.25f, float(kWidth) / float(kHeight), 1.0f, 20000.0f);
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(viewMatrix);
        gfx().setWorldMatrix(Mat4{});
        RenderState state = RenderState::opaque();
        gfx().setRenderState(state);
        view.eye = eye;
        view.forward = vec3NormalizeOr(cloth - eye, {0.0f, 0.0f, -1.0f});
    }

    struct Tally {
        int blue = 0, red = 0, drawn = 0;
    };
    Tally draw(Flag& flag, const std::string& picture)
    {
        lookAtCloth(flag);
        clearTo(kSky);
        flag.drawIn(view, DrawPass::Opaque);
        EXPECT_TRUE(saveTargetPng(gfx(), kWidth, kHeight, SKYFRONT_BINARY_DIR "/modes/" + picture));
        Tally t;
        for (const Rgba& p : rect(0, 0, kWidth, kHeight)) {
            const int off = std::abs(p.r - kSky.r) + std::abs(p.g - kSky.g) + std::abs(p.b - kSky.b);
            if (off <= 30)
                continue;
            ++t.drawn;
            t.blue += p.b > 80 && p.b > 2 * p.r && p.b > p.g + 30 ? 1 : 0;
            t.red += p.r > 80 && p.r > 2 * p.g && p.r > 2 * p.b ? 1 : 0;
        }
        return t;
    }
};

// Without a player the own side is team 0: its flag shows the friendly (blue)
// set, team 1's the enemy (red) set; each tier draws the same cloth.
TEST_F(FlagPicture, AFlagAtHomeShowsItsSetsColourFromThreeHundredUnits)
{
    GameMode host(GameType::CaptureTheFlag);
    for (int tier : {0, 3}) {
        gfx().setQualityTier(tier);
        Tally sets[2];
        for (int team : {0, 1}) {
            Flag flag(host, team);
            flag.setHome({0.0f, 0.0f, 0.0f});
            flag.returnHome();
            flag.setActive(true);
            flag.drawClass = 1;
            flag.updateVisual(0.3f);
            ASSERT_EQ(flag.state(), Flag::State::Home);
            EXPECT_EQ(flag.isFriendly(), team == 0);
            sets[team] = draw(flag, "flag-" + std::string(team == 0 ? "friendly" : "enemy") + "-tier" +
                                        std::to_string(tier) + ".png");
        }
        const Tally& friendly = sets[0];
        const Tally& enemy = sets[1];
        // The cloth fills a fair part of the view at this distance.
        EXPECT_GT(friendly.drawn, 300) << tier;
        EXPECT_GT(enemy.drawn, 300) << tier;
        EXPECT_GT(friendly.blue, friendly.drawn / 3) << tier;
        EXPECT_LT(friendly.red, friendly.drawn / 20) << tier;
        EXPECT_GT(enemy.red, enemy.drawn / 3) << tier;
        EXPECT_LT(enemy.blue, enemy.drawn / 20) << tier;
    }
}

}  // namespace
