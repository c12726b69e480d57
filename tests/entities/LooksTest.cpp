// What the airplane keeps for the screen (model, paint row, effect links,
// lock query) and which targets a draw pass reaches.
#include "TestPlanes.h"

#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/File.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// Records the passes it is drawn in.
class RecordingTarget : public Target {
public:
    RecordingTarget(IEntityHost& host, int maxClass) : Target(host, TargetKind::Vehicle, 1), m_maxClass(maxClass)
    {
        setRadius(10.0f);
    }
    int maxDrawClass() const override { return m_maxClass; }
    std::vector<DrawPass> drawn;
    int distortions = 0;

protected:
    void draw(const DrawView&, DrawPass pass) override { drawn.push_back(pass); }
    void drawHeatDistortion(const DrawView&) override { ++distortions; }

private:
    int m_maxClass;
};

struct Looks : testing::Test {
    SimHost host;
    PlaneCfg cfg = testFighter();

    void SetUp() override
    {
        clearEntityIds();
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        cfg.file = "data/planes/p51/p51_ful.glm";
        PaintRowCfg* factory = cfg.paints.getOrCreate(0);
        factory->color0 = {0.0f, 0.0f, 0.78f};
        PaintRowCfg* second = cfg.paints.getOrCreate(1);
        second->color0 = {210.0f, 0.55f, 0.45f};
        second->color1 = {50.0f, 0.85f, 0.9f};
    }
    void TearDown() override
    {
        AirplaneModel::releaseAll();
        setDataRoot("");
    }
};

TEST_F(Looks, TheModelAndPaintRowStayThroughARespawn)
{
    auto a = Target::create<Airplane>(host, cfg, 0, std::u16string(u"p"));
    ASSERT_NE(a->model(), nullptr) << "the staged p51 model loads";
    const AirplaneModel* model = a->model();
    a->setPaintRow(1);
    EXPECT_EQ(a->paintRow(), 1);
    a->setLifeState(LifeState::Destroyed);
    a->resetForRespawn();
    a->onRespawn();
    EXPECT_EQ(a->model(), model);
    EXPECT_EQ(a->paintRow(), 1);

    // A row the model lacks paints the factory colors.
    a->setPaintRow(7);
    EXPECT_EQ(a->paintRow(), 0);
    a->setPaintRow(-1);
    EXPECT_EQ(a->paintRow(), 0);

    // The second row's colors reach the model program: a blue and a yellow.
    const ModelPaint paint = AirplaneModel::modelPaint(model->paint(1), nullptr);
    EXPECT_GT(paint.colors[0].b, paint.colors[0].r);
    EXPECT_GT(paint.colors[1].r, paint.colors[1].b);

    // The measures the cameras read come from the model, nose to tail.
    const AirplaneDimensions d = a->dimensions();
    EXPECT_NEAR(d.length, 9.8f, 1.0f);
    EXPECT_GT(d.span, d.height);
    Vec3 contrail;
    EXPECT_TRUE(a->nodeWorldPoint("contrail", contrail));
    EXPECT_FALSE(a->nodeWorldPoint("no such node", contrail));
}

TEST_F(Looks, AMissingModelDrawsNothingAndKeepsPlainSizes)
{
    cfg.file = "data/planes/none/none_ful.glm";
    auto a = Target::create<Airplane>(host, cfg, 0, std::u16string(u"p"));
    EXPECT_EQ(a->model(), nullptr);
    a->setActive(true);
    a->drawIn(DrawView{}, DrawPass::Opaque);
    a->drawParts(DrawView{});
    a->setPaintRow(3);
    EXPECT_EQ(a->paintRow(), 0);
    EXPECT_GT(a->dimensions().length, 0.0f);
}

TEST_F(Looks, AGoingParticleSystemLeavesNoLinkBehind)
{
    auto a = Target::create<Airplane>(host, cfg, 0, std::u16string(u"p"));
    PConfig config;
    auto* smoke = new PSystem(&config, {0.0f, 1.0f, 0.0f});
    auto* other = new PSystem(&config, {0.0f, 1.0f, 0.0f});
    smoke->parent = a.get();
    a->effectSlots[0] = smoke;
    a->effectSlots[8] = smoke;
    a->boostSystem = smoke;
    a->wreckSystem = smoke;
    a->effectSlots[3] = other;
    delete smoke;
    for (int i = 0; i < Airplane::kEffectSlots; ++i) {
        if (i != 3) {
            EXPECT_EQ(a->effectSlots[static_cast<std::size_t>(i)], nullptr) << i;
        }
    }
    EXPECT_EQ(a->boostSystem, nullptr);
    EXPECT_EQ(a->wreckSystem, nullptr);
    EXPECT_EQ(a->effectSlots[3], other) << "another system stays linked";
    delete other;

    // The transform the particles follow is the airplane's world matrix.
    a->setPositionAndStop({10.0f, 500.0f, -20.0f});
    Mat4 m;
    ASSERT_EQ(a->getTransform(&m), &m);
    EXPECT_FLOAT_EQ(m.m[12], 10.0f);
    EXPECT_FLOAT_EQ(m.m[13], 500.0f);
    EXPECT_EQ(a->getTransform(nullptr), nullptr);
}

TEST_F(Looks, LockQueryNeedsALockWeaponAndAnEnemyInItsCone)
{
    Airplane* a = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"a")));
    Airplane* enemy = host.add(Target::create<Airplane>(host, cfg, 1, std::u16string(u"e")));
    Airplane* friendly = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"f")));
    a->setPositionAndStop({0.0f, 2000.0f, 0.0f});
    enemy->setPositionAndStop({0.0f, 2000.0f, -1500.0f});
    friendly->setPositionAndStop({0.0f, 2000.0f, -1000.0f});
    EXPECT_FALSE(a->canLock(*enemy)) << "no lock weapon yet";

    WeaponCfg seeker;
    seeker.name = "seeker";
    seeker.weapon_id = 40;
    seeker.type = kWeaponAllAspect;
    seeker.numSlots = 2;
    seeker.lockTime = 1.0f;
    seeker.lockRange = 3000.0f;
    ASSERT_TRUE(a->mountWeapon(seeker, 1));
    EXPECT_TRUE(a->canLock(*enemy));
    EXPECT_FALSE(a->canLock(*friendly));
    enemy->setPositionAndStop({1500.0f, 2000.0f, 100.0f});
    EXPECT_FALSE(a->canLock(*enemy)) << "behind the wing line";
    enemy->setPositionAndStop({0.0f, 2000.0f, -3500.0f});
    EXPECT_FALSE(a->canLock(*enemy)) << "beyond the lock range";
}

TEST(TargetDraw, OnlyTargetsInPlayInTheirClassAndInFrontAreDrawn)
{
    clearEntityIds();
    SimHost host;
    RecordingTarget t(host, 2);
    DrawView view;
    view.eye = {0.0f, 0.0f, 0.0f};
    view.forward = {0.0f, 0.0f, -1.0f};
    t.setPosition({0.0f, 0.0f, -100.0f});
    t.drawClass = 1;

    t.drawIn(view, DrawPass::Opaque);
    EXPECT_TRUE(t.drawn.empty()) << "not yet in play";
    t.setActive(true);
    t.drawIn(view, DrawPass::Opaque);
    t.drawIn(view, DrawPass::Late);
    t.drawHeatDistortionIn(view);
    EXPECT_EQ(t.drawn, (std::vector<DrawPass>{DrawPass::Opaque, DrawPass::Late}));
    EXPECT_EQ(t.distortions, 1);

    t.drawn.clear();
    t.drawClass = 3;  // beyond what the target draws at
    t.drawIn(view, DrawPass::Opaque);
    t.drawClass = 0;  // hidden by the game mode
    t.drawIn(view, DrawPass::Opaque);
    t.drawClass = 2;
    t.setPosition({0.0f, 0.0f, 50.0f});  // behind the eye
    t.drawIn(view, DrawPass::Opaque);
    t.drawHeatDistortionIn(view);
    EXPECT_TRUE(t.drawn.empty());
    EXPECT_EQ(t.distortions, 1);

    t.setPosition({0.0f, 0.0f, 5.0f});  // behind, but reaching past the eye
    t.drawIn(view, DrawPass::Opaque);
    EXPECT_EQ(t.drawn.size(), 1u);

    t.markForRemoval();  // removed this frame, deleted at its end
    t.drawIn(view, DrawPass::Opaque);
    EXPECT_EQ(t.drawn.size(), 1u);
}

TEST(TargetDraw, WhatLiesWhollyOutsideTheFrustumIsNotDrawn)
{
    clearEntityIds();
    SimHost host;
    RecordingTarget t(host, 2);
    t.setActive(true);
    t.drawClass = 1;
    // A 90 degree square view down -z from the origin, out to 1000.
    CameraMatrices camera;
    Mat4 projection;
    mat4Perspective(projection, 1.5707964f, 1.0f, 1.0f, 1000.0f);
    setCameraMatrices(camera, projection, Mat4{});
    DrawView view;
    view.frustum = &camera;

    t.setPosition({150.0f, 0.0f, -100.0f});  // beside the view, yet ahead of the eye
    t.drawIn(view, DrawPass::Opaque);
    t.drawHeatDistortionIn(view);
    t.setPosition({0.0f, 0.0f, -1200.0f});  // beyond the far plane
    t.drawIn(view, DrawPass::Opaque);
    EXPECT_TRUE(t.drawn.empty());
    EXPECT_EQ(t.distortions, 0);

    t.setPosition({105.0f, 0.0f, -100.0f});  // its centre outside, its edge inside
    t.drawIn(view, DrawPass::Opaque);
    t.setPosition({0.0f, -50.0f, -300.0f});
    t.drawIn(view, DrawPass::Opaque);
    EXPECT_EQ(t.drawn.size(), 2u);
    view.frustum = nullptr;  // without a frustum only the eye's side counts
    t.setPosition({150.0f, 0.0f, -100.0f});
    t.drawIn(view, DrawPass::Opaque);
    EXPECT_EQ(t.drawn.size(), 3u);
}

TEST(TargetDraw, AModelWhoseOriginIsAtItsEndReachesItsFarEnd)
{
    EXPECT_FLOAT_EQ(reachFromOrigin({-1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}), 1.0f);
    // A long model drawn from its tail: its nose is 40 from the origin.
    EXPECT_FLOAT_EQ(reachFromOrigin({-2.0f, 0.0f, -40.0f}, {2.0f, 0.0f, 0.0f}), std::sqrt(4.0f + 1600.0f));
}

}  // namespace

#include "platform/Log.h"
#include "support/TempDir.h"
#include "support/TestPak.h"

namespace {
TEST(LooksDamagedModel, ADamagedModelFileLogsOneLineAndDrawsNothing)
{
    clearEntityIds();
    TempDir save, data;
    // The magic of a model file, then nonsense where the tables should be.
    static const char kDamaged[] = "GLM1\x01\0\0\0\xff\xff\xff\x7f garbage";
    data.write("data/planes/bad/bad_ful.glm", std::string(kDamaged, sizeof kDamaged - 1));
    FileLayerScope files(save.folder(), data.folder());
    std::vector<std::string> lines;
    setLogCapture([&](LogLevel, const std::string&, const std::string& text) { lines.push_back(text); });
    SimHost host;
    PlaneCfg cfg = testFighter();
    cfg.file = "data/planes/bad/bad_ful.glm";
    auto a = Target::create<Airplane>(host, cfg, 0, std::u16string(u"p"));
    setLogCapture({});
    EXPECT_EQ(a->model(), nullptr);
    int about = 0;
    for (const std::string& line : lines)
        about += line.find("bad_ful.glm") != std::string::npos ? 1 : 0;
    EXPECT_EQ(about, 1) << "one line says the model is damaged";
    a->setActive(true);
    a->drawIn(DrawView{}, DrawPass::Opaque);
    a->drawParts(DrawView{});
    EXPECT_EQ(a->paintRow(), 0);
    AirplaneModel::releaseAll();
}
}  // namespace
