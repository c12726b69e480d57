// Entities drawn by the real renderer into pictures under build/entities/
// for a person to look at: every aircraft family in two paint rows, the
// cockpit view, and the checks that each paint shows on its airplane.
#include "EntityPictures.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/AirplaneModel.h"
#include "platform/File.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

// Vivid paints a pixel search cannot mistake for the factory skins.
PlanePaint vivid(float hue0, float hue1)
{
    PlanePaint p;
    p.hue0 = hue0;
    p.saturation0 = 0.95f;
    p.value0 = 0.9f;
    p.hue1 = hue1;
    p.saturation1 = 0.95f;
    p.value1 = 0.9f;
    return p;
}

void addRow(PlaneCfg& cfg, int row, const PlanePaint& p)
{
    PaintRowCfg* r = cfg.paints.getOrCreate(row);
    r->color0 = {p.hue0, p.saturation0, p.value0};
    r->color1 = {p.hue1, p.saturation1, p.value1};
}

std::vector<std::string> families()
{
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(SKYFRONT_STAGE_DIR "/data/planes"))
        if (entry.is_directory())
            out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

using AircraftPictures = EntityPictures;

TEST_F(AircraftPictures, EveryFamilyInTwoPaintRowsAtTierOne)
{
    const PlanePaint rows[2] = {vivid(0.0f, 60.0f), vivid(220.0f, 120.0f)};
    const std::vector<std::string> all = families();
    ASSERT_GE(all.size(), 10u);
    gfx().setQualityTier(1);
    for (const std::string& family : all) {
        PlaneCfg& cfg = fighterRecord("data/planes/" + family + "/" + family + "_ful.glm");
        addRow(cfg, 0, rows[0]);
        addRow(cfg, 1, rows[1]);
        Airplane* left = spawn(cfg, 0, {-9.0f, 0.0f, 0.0f});
        Airplane* right = spawn(cfg, 1, {9.0f, 0.0f, 0.0f});
        ASSERT_NE(left->model(), nullptr) << family;
        ASSERT_NE(left->model()->paintMask(), nullptr) << family;
        right->setPaintRow(1);
        // Banked away from each other, as a pair breaking.
        left->setOrientation(quatFromEuler(0.0f, 0.0f, -0.35f));
        right->setOrientation(quatFromEuler(0.0f, 0.0f, 0.35f));
        const float size = std::max(left->dimensions().span, left->dimensions().length);
        lookAt({0.0f, size * 0.7f, size * 1.7f}, {0.0f, 0.0f, 0.0f});
        clearTo(Rgba{150, 180, 210, 255});
        drawAll(DrawPass::Opaque);
        ASSERT_TRUE(savePicture("aircraft-" + family));

        // Each airplane shows its own two paints (body and tail) and not the other's.
        for (int side = 0; side < 2; ++side) {
            const ModelPaint paint = AirplaneModel::modelPaint(rows[side], nullptr);
            const ModelPaint other = AirplaneModel::modelPaint(rows[1 - side], nullptr);
            const int x0 = side == 0 ? 0 : kWidth / 2;
            EXPECT_GT(countNear(x0, kWidth / 2, paint.colors[0]), 40) << family << " side " << side;
            EXPECT_GT(countNear(x0, kWidth / 2, paint.colors[1]), 10) << family << " side " << side;
            EXPECT_EQ(countNear(x0, kWidth / 2, other.colors[0]), 0) << family << " side " << side;
        }
        clearPlanes();
    }
}

// Far away the airplanes draw from their coarse detail levels: each must
// still show, in its own paint, as the few pixels it covers.
TEST_F(AircraftPictures, FarAircraftStillShowTheirPaintAtCoarseDetail)
{
    const PlanePaint paint = vivid(0.0f, 60.0f);
    const std::vector<std::string> all = families();
    ASSERT_GE(all.size(), 8u);
    gfx().setQualityTier(1);
    constexpr float kDistance = 300.0f, kSpacing = 40.0f;
    for (int i = 0; i < 8; ++i) {
        const std::string& family = all[static_cast<std::size_t>(i)];
        PlaneCfg& cfg = fighterRecord("data/planes/" + family + "/" + family + "_ful.glm");
        addRow(cfg, 0, paint);
        spawn(cfg, 0, {kSpacing * (static_cast<float>(i) - 3.5f), 0.0f, -kDistance})->drawClass = 1;
    }
    lookAt({0.0f, 80.0f, 0.0f}, {0.0f, 0.0f, -kDistance});
    clearTo(Rgba{150, 180, 210, 255});
    drawAll(DrawPass::Opaque);
    ASSERT_TRUE(savePicture("aircraft-far"));
    const Color4 red = AirplaneModel::modelPaint(paint, nullptr).colors[0];
    // About 38 pixels between neighbours at this distance.
    for (int i = 0; i < 8; ++i) {
        const int centre = kWidth / 2 + static_cast<int>(37.8f * (static_cast<float>(i) - 3.5f));
        EXPECT_GT(countNear(centre - 15, 30, red), 0) << all[static_cast<std::size_t>(i)];
    }
}

TEST_F(AircraftPictures, WithoutTheMaskThePaintDoesNotShow)
{
    PlaneCfg& cfg = fighterRecord("data/planes/p51/p51_ful.glm");
    addRow(cfg, 0, vivid(0.0f, 60.0f));
    Airplane* a = spawn(cfg, 0, {0.0f, 0.0f, 0.0f});
    ASSERT_NE(a->model(), nullptr);
    lookAt({0.0f, 11.0f, 16.0f}, {0.0f, 0.0f, 0.0f});
    clearTo(Rgba{150, 180, 210, 255});
    // The same draw the airplane makes, with the mask left out.
    ModelPaint bare = a->model()->modelPaint(0);
    bare.mask = nullptr;
    drawModel(a->model()->model(), a->matrix(), &bare);
    const ModelPaint painted = AirplaneModel::modelPaint(a->model()->paint(0), nullptr);
    EXPECT_EQ(countNear(0, kWidth, painted.colors[0]), 0);
    clearTo(Rgba{150, 180, 210, 255});
    drawAll(DrawPass::Opaque);
    EXPECT_GT(countNear(0, kWidth, painted.colors[0]), 40);
}

TEST_F(AircraftPictures, TheCockpitViewShowsWingsButNotTheFuselage)
{
    PlaneCfg& cfg = fighterRecord("data/planes/p51/p51_ful.glm");
    addRow(cfg, 0, vivid(0.0f, 60.0f));
    Airplane* a = spawn(cfg, 0, {0.0f, 0.0f, 0.0f});
    ASSERT_NE(a->model(), nullptr);
    a->updateVisual(0.013f);
    // From the pilot's eye, ahead and a little down to the left wing.
    const Vec3 eye = a->dimensions().eyePoint;
    lookAt(eye, eye + Vec3{-0.7f, -0.3f, -1.0f}, 0.1f);
    clearTo(Rgba{150, 180, 210, 255});
    a->drawParts(view());
    ASSERT_TRUE(savePicture("cockpit"));
    const ModelPaint paint = AirplaneModel::modelPaint(a->model()->paint(0), nullptr);
    EXPECT_GT(countNear(0, kWidth, paint.colors[0]), 200) << "the left wing fills part of the view";
    // The sky still shows over the wing: the fuselage around the eye is left out.
    EXPECT_TRUE(rgbNear(pixel(kWidth / 2, kHeight - 4), Rgba{150, 180, 210, 255}, 4));
}

}  // namespace

namespace {
TEST_F(AircraftPictures, DamageDarkensTheAirplaneStepByStep)
{
    PlaneCfg& cfg = fighterRecord("data/planes/p51/p51_ful.glm");
    PaintRowCfg* row = cfg.paints.getOrCreate(0);
    row->color0 = {0.0f, 0.95f, 0.9f};
    row->color1 = {60.0f, 0.95f, 0.9f};
    Airplane* a = spawn(cfg, 0, {0.0f, 0.0f, 0.0f});
    ASSERT_NE(a->model(), nullptr);
    lookAt({0.0f, 12.0f, 14.0f}, {0.0f, 0.0f, 0.0f});
    // The brightest red of the picture at each damage state.
    auto brightestRed = [&]() {
        clearTo(Rgba{150, 180, 210, 255});
        drawAll(DrawPass::Opaque);
        int best = 0;
        for (const Rgba& p : rect(0, 0, kWidth, kHeight))
            if (p.r > 2 * p.g && p.r > 2 * p.b)
                best = std::max(best, int(p.r));
        return best;
    };
    const int clean = brightestRed();
    a->setHealth(0.5f);
    a->updateDamageLevels();
    const int smoking = brightestRed();
    a->setHealth(0.1f);
    a->updateDamageLevels();
    const int burning = brightestRed();
    ASSERT_TRUE(savePicture("damaged"));
    a->setLifeState(LifeState::Dying);
    const int falling = brightestRed();
    EXPECT_GT(clean, smoking);
    EXPECT_GT(smoking, burning);
    EXPECT_GT(burning, falling);
    EXPECT_GT(falling, 0) << "still drawn while it falls";
}
}  // namespace

namespace {
TEST_F(AircraftPictures, ThePaintShowsAtEveryQualityTier)
{
    PlaneCfg& cfg = fighterRecord("data/planes/spitfire/spitfire_ful.glm");
    PaintRowCfg* row = cfg.paints.getOrCreate(0);
    row->color0 = {280.0f, 0.9f, 0.85f};
    row->color1 = {30.0f, 0.9f, 0.9f};
    Airplane* a = spawn(cfg, 0, {0.0f, 0.0f, 0.0f});
    ASSERT_NE(a->model(), nullptr);
    const ModelPaint paint = AirplaneModel::modelPaint(a->model()->paint(0), nullptr);
    for (int tier = 0; tier <= 3; ++tier) {
        gfx().setQualityTier(tier);
        lookAt({0.0f, 10.0f, 15.0f}, {0.0f, 0.0f, 0.0f});
        clearTo(Rgba{150, 180, 210, 255});
        drawAll(DrawPass::Opaque);
        EXPECT_GT(countNear(0, kWidth, paint.colors[0]), 200) << "tier " << tier;
        EXPECT_GT(countNear(0, kWidth, paint.colors[1]), 20) << "tier " << tier;
    }
}
}  // namespace
