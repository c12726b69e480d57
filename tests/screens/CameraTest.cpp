#include "support/screens/CameraFakes.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/MenuCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Places the eye at a fixed spot per mode and records which modes ran.
struct ProbeCamera : Camera {
    ProbeCamera() : Camera(0) {}
    std::vector<int> evaluated;
    void update() override
    {
        evaluated.push_back(mode);
        orientation = quatFromAngleY(mode * 0.5f);
    }
    void snap() override { position = {static_cast<float>(mode) * 10.0f, 0.0f, 0.0f}; }
    void setMode(int m) override
    {
        fromMode = mode;
        mode = m;
        blend = 0.0f;
    }
};

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

TEST(camera_base, BlendLastsHalfASecondAndLeavesTheOldModeAlone)
{
    ProbeCamera cam;
    cam.setMode(2);
    for (int i = 0; i < 5; ++i) {
        EXPECT_LT(cam.blend, 1.0f);
        cam.updateMatrices(0.1f);
    }
    EXPECT_FLOAT_EQ(cam.blend, 1.0f);
    cam.evaluated.clear();
    cam.updateMatrices(0.1f);
    EXPECT_EQ(cam.evaluated, std::vector<int>{2});
    EXPECT_FLOAT_EQ(cam.position.x, 20.0f);
}

TEST(camera_base, ACustomViewBlendsFromTheOldViewWithoutOverwritingEither)
{
    // A camera of its own modes that notes which mode each pass placed and
    // whether the base called it for the mode being left.
    struct CustomView : ProbeCamera {
        std::vector<std::pair<int, bool>> passes;
        void update() override
        {
            passes.emplace_back(mode, placingOldMode());
            ProbeCamera::update();
        }
    } cam;
    cam.updateMatrices(0.1f);
    cam.setMode(2);
    float last = -1.0f;
    for (int i = 0; i < 5; ++i) {
        cam.passes.clear();
        cam.updateMatrices(0.1f);
        // The old view first, then the new one, which the blend ends on.
        EXPECT_EQ(cam.passes, (std::vector<std::pair<int, bool>>{{0, true}, {2, false}})) << i;
        EXPECT_EQ(cam.mode, 2);
        EXPECT_EQ(cam.fromMode, 0);
        EXPECT_GT(cam.position.x, last) << i;
        EXPECT_LT(cam.position.x, 20.0f) << i;
        last = cam.position.x;
    }
    cam.passes.clear();
    cam.updateMatrices(0.1f);
    EXPECT_EQ(cam.passes, (std::vector<std::pair<int, bool>>{{2, false}}));
    EXPECT_FLOAT_EQ(cam.position.x, 20.0f);
    EXPECT_TRUE(quatCanNormalize(cam.orientation));
}

TEST(camera_base, ViewMatrixIsTheTransposedOrientationThenMinusThePosition)
{
    ProbeCamera cam;
    cam.mode = 3;
    cam.updateMatrices(0.1f);
    const Mat4 r = quatToMatrix(quatFromAngleY(1.5f));
    const Mat4& v = cam.viewMatrix;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            EXPECT_NEAR(v.m[c * 4 + row], r.m[row * 4 + c], 1e-5f);
    // Translation: -R^T p.
    const Vec3 p = cam.position;
    for (int row = 0; row < 3; ++row) {
        const float expected = -(r.m[row * 4 + 0] * p.x + r.m[row * 4 + 1] * p.y + r.m[row * 4 + 2] * p.z);
        EXPECT_NEAR(v.m[12 + row], expected, 1e-4f);
    }
    EXPECT_NEAR(cam.forward.x, -std::sin(1.5f), 1e-5f);
    EXPECT_NEAR(cam.heading, 1.5f, 1e-5f);
}

TEST(camera_base, ZeroFrameDeltaKeepsTheLastVelocity)
{
    ProbeCamera cam;
    cam.mode = 1;
    cam.updateMatrices(0.5f);
    const Vec3 v = cam.velocity;
    EXPECT_FLOAT_EQ(v.x, 20.0f);
    cam.mode = 4;
    cam.updateMatrices(0.0f);
    cam.updateMatrices(-0.1f);
    EXPECT_TRUE(finite(cam.velocity));
    EXPECT_FLOAT_EQ(cam.velocity.x, v.x);
}

class camera_game : public ::testing::Test {
protected:
    void SetUp() override
    {
        plane.pos = {0.0f, 1000.0f, 0.0f};
        plane.dims.length = 12.0f;
        plane.dims.width = 11.0f;
        plane.dims.height = 3.5f;
        plane.dims.span = 11.0f;
        game.player = &plane;
    }
    void run(float seconds, float dt = 1.0f / 60.0f)
    {
        for (float t = 0.0f; t < seconds - 1e-4f; t += dt)
            cam.updateMatrices(dt);
    }
    FakePlane plane;
    FakeGameMode game;
    GameCamera cam{game};
};

TEST_F(camera_game, SetModeKeepsPreviousModeAndOnlyModeSevenBlends)
{
    cam.setMode(1);
    EXPECT_EQ(cam.previousMode, 0);
    cam.setMode(1);
    EXPECT_EQ(cam.previousMode, 0);
    EXPECT_FLOAT_EQ(cam.blend, 1.0f);
    cam.setMode(2);
    EXPECT_EQ(cam.previousMode, 1);
    EXPECT_FLOAT_EQ(cam.blend, 1.0f);
    EXPECT_TRUE(cam.playerView);
    cam.setMode(7);
    EXPECT_EQ(cam.fromMode, 2);
    EXPECT_FLOAT_EQ(cam.blend, 0.0f);
    EXPECT_FALSE(cam.playerView);
}

TEST_F(camera_game, BehindViewsSitAtTheirModelOffsets)
{
    const CameraPlane::Size s = plane.dims;
    cam.setMode(1);
    EXPECT_FLOAT_EQ(cam.placeBlend, 0.0f);  // the eye glides over from view 0
    run(1.5f);
    EXPECT_FLOAT_EQ(cam.placeBlend, 1.0f);
    EXPECT_NEAR(cam.position.x, 0.0f, 1e-3f);
    EXPECT_NEAR(cam.position.y - 1000.0f, (s.length * 0.5f + s.height) * 1.33f, 1e-3f);
    EXPECT_NEAR(cam.position.z, (s.length * 1.25f + s.width * 1.2f) * 0.75f, 1e-3f);
    cam.resetView();
    cam.setMode(0);
    cam.placeBlend = 1.0f;
    run(0.1f);
    EXPECT_NEAR(cam.position.y - 1000.0f, s.length * 0.5f + s.height + 1.5f, 1e-3f);
    EXPECT_NEAR(cam.position.z, s.length * 1.25f + s.width * 1.2f - 1.0f, 1e-3f);
}

TEST_F(camera_game, PullBackRisesWhileEvadingAndFallsSlower)
{
    plane.evade = true;
    run(0.5f, 0.05f);
    EXPECT_NEAR(cam.pullBack, 0.5f, 1e-4f);
    run(1.0f, 0.05f);
    EXPECT_FLOAT_EQ(cam.pullBack, 1.0f);
    plane.evade = false;
    run(0.3f, 0.05f);
    EXPECT_NEAR(cam.pullBack, 1.0f - 0.666f * 0.3f, 1e-4f);
    run(3.0f, 0.05f);
    EXPECT_FLOAT_EQ(cam.pullBack, 0.0f);
}

TEST_F(camera_game, CinematicOrbitHandsOverToTheKillCamAfterItsTime)
{
    FakePlane enemy;
    enemy.pos = {500.0f, 900.0f, 0.0f};
    cam.startKillCam(&enemy, 1, false, nullptr);
    ASSERT_EQ(cam.mode, 11);
    const float dt = 1.0f / 60.0f;
    int frames = 0;
    while (cam.mode == 11 && frames < 1000) {
        cam.updateMatrices(dt);
        ++frames;
    }
    EXPECT_EQ(cam.mode, 10);
    EXPECT_NEAR(frames * dt, 1.0f / GameCamera::kCinematicRate, dt);
    EXPECT_EQ(cam.fromMode, 11);
    EXPECT_LT(cam.blend, 1.0f);
}

TEST_F(camera_game, RemovedFollowedPlaneEndsTheKillCamAtOnceEvenWhilePlayIsStopped)
{
    game.chosen = 1;
    FakePlane enemy;
    enemy.pos = {500.0f, 900.0f, 0.0f};
    Vec3 focus{0.0f, 0.0f, 0.0f};
    cam.startKillCam(&enemy, 1, false, &focus);
    run(0.2f);
    game.stopped = true;
    cam.onPlaneRemoved(&enemy);
    EXPECT_EQ(cam.mode, 1);
    EXPECT_EQ(cam.followedPlane(), nullptr);
    EXPECT_EQ(cam.focusPoint, nullptr);
    cam.updateMatrices(1.0f / 60.0f);
    EXPECT_TRUE(finite(cam.position));
}

TEST_F(camera_game, RemovedFocusTargetKeepsItsLastPosition)
{
    FakePlane enemy;
    enemy.pos = {500.0f, 900.0f, 0.0f};
    Vec3 focus{100.0f, 50.0f, 0.0f};
    cam.startKillCam(&enemy, 1, false, &focus);
    game.stopped = true;
    cam.onTargetRemoved(focus);
    ASSERT_EQ(cam.focusPoint, &cam.focusCopy);
    focus = {9e9f, 9e9f, 9e9f};  // the freed memory must no longer be read
    run(0.1f);
    EXPECT_FLOAT_EQ(cam.focusCopy.x, 100.0f);
}

TEST_F(camera_game, RemovedLockIsDroppedAlwaysButRelockWaitsForPlay)
{
    Vec3 first{0.0f, 1000.0f, -2000.0f}, second{0.0f, 1000.0f, -3000.0f};
    plane.target = &first;
    game.anyTarget = &first;
    cam.setMode(4);
    ASSERT_EQ(cam.lockedPoint, &first);
    game.nearTarget = &second;
    game.stopped = true;
    cam.onTargetRemoved(first);
    EXPECT_EQ(cam.lockedPoint, nullptr);
    game.stopped = false;
    game.anyTarget = nullptr;
    cam.onTargetRemoved(second);  // not the lock: nothing to do
    EXPECT_EQ(cam.lockedPoint, nullptr);
    cam.onPlaneRemoved(&plane);
    EXPECT_EQ(cam.lockedPoint, &second);
}

TEST_F(camera_game, LockNearestTargetFallsBackStepByStep)
{
    Vec3 nearOne{0, 0, -100}, farOne{0, 0, -50000};
    cam.mode = 4;
    game.nearTarget = &nearOne;
    game.anyTarget = &farOne;
    cam.lockNearestTarget();
    EXPECT_EQ(cam.lockedPoint, &nearOne);
    game.nearTarget = nullptr;
    cam.lockNearestTarget();
    EXPECT_EQ(cam.lockedPoint, &farOne);
    game.anyTarget = nullptr;
    game.specials = {{1, 2, 3}};
    cam.lockNearestTarget();
    EXPECT_EQ(cam.lockedPoint, &game.specials[0]);
    game.specials.clear();
    cam.lockNearestTarget();
    EXPECT_EQ(cam.lockedPoint, nullptr);
    // With nothing to look at the view stays behind the plane.
    run(0.5f);
    EXPECT_GT(cam.position.z, plane.pos.z);
    EXPECT_NEAR(cam.position.x, 0.0f, 1e-3f);
    cam.mode = 2;
    cam.lockNearestTarget();  // only mode 4 re-targets
    EXPECT_EQ(cam.lockedPoint, nullptr);
}

TEST_F(camera_game, EyeStaysAboveTerrainAndDeck)
{
    cam.setMode(3);
    plane.pos = {0.0f, 50.0f, 0.0f};
    game.terrain = [](float, float) { return 100.0f; };
    run(0.1f);
    EXPECT_FLOAT_EQ(cam.position.y, 104.0f);
    EXPECT_FLOAT_EQ(cam.heightAboveGround, 4.0f);
    game.terrain = [](float, float) { return -50.0f; };
    plane.pos = {0.0f, -20.0f, 0.0f};
    run(0.1f);
    EXPECT_FLOAT_EQ(cam.position.y, 4.0f);
    // On a carrier the terrain clearance is off but the deck counts.
    plane.ground = true;
    plane.hasDeck = true;
    plane.deck = 30.0f;
    plane.pos = {0.0f, 10.0f, 0.0f};
    run(0.1f);
    EXPECT_FLOAT_EQ(cam.position.y, 32.0f);
    cam.setMode(9);
    cam.setFixedView({0.0f, 5.0f, 0.0f}, Quat{});
    run(0.1f);
    EXPECT_FLOAT_EQ(cam.position.y, 5.0f);
}

TEST_F(camera_game, NoModeMakesNaNAtAZeroFrameDelta)
{
    FakePlane enemy;
    enemy.pos = {100.0f, 1000.0f, 0.0f};
    for (int m = 0; m <= 12; ++m) {
        GameCamera fresh(game);
        if (m >= 10)
            fresh.startKillCam(&enemy, m == 11 ? 1 : 0, false, nullptr);
        else
            fresh.setMode(m);
        fresh.updateMatrices(0.0f);
        fresh.updateMatrices(1.0f / 30.0f);
        fresh.updateMatrices(0.0f);
        EXPECT_TRUE(finite(fresh.position)) << "mode " << m;
        EXPECT_TRUE(finite(fresh.velocity)) << "mode " << m;
        EXPECT_TRUE(std::isfinite(fresh.orientation.w)) << "mode " << m;
    }
}

TEST_F(camera_game, LookAtPointEndsAfterItsDuration)
{
    game.chosen = 1;
    Vec3 point{0.0f, 0.0f, 0.0f};
    cam.lookAtPoint(&point, 200.0f, 0.5f, 1.0f, true, 0.0f);
    EXPECT_EQ(cam.mode, 6);
    EXPECT_EQ(cam.orbitPointRef, &cam.orbitPoint);
    run(0.5f);
    EXPECT_NEAR(vec3Length(cam.position - point), 200.0f, 1.0f);
    run(0.6f);
    EXPECT_EQ(cam.mode, 1);
    EXPECT_FLOAT_EQ(cam.orbitDuration, -1.0f);
}

// The autopilot's view keeps looking where the target was once it is gone,
// and without one turns back toward where the pilot is bound, slowly.
TEST_F(camera_game, TheAutopilotViewKeepsTheLastDirectionThenTurnsToTheMapTarget)
{
    Vec3 east{5000.0f, 1000.0f, 0.0f};
    plane.target = &east;
    cam.setMode(5);
    run(3.0f);
    auto ahead = [&] { return quatRotateVector(cam.storedOrientation, Vec3{0.0f, 0.0f, -1.0f}); };
    EXPECT_GT(ahead().x, 0.9f) << "toward the target";
    plane.target = nullptr;
    run(3.0f);
    EXPECT_GT(ahead().x, 0.9f) << "the last direction kept, not the plane's own heading";
    Vec3 north{0.0f, 1000.0f, -5000.0f};
    plane.goal = &north;
    run(0.5f);
    EXPECT_GT(ahead().x, 0.5f) << "the turn back is slow";
    run(8.0f);
    EXPECT_LT(ahead().z, -0.9f) << "toward the map target";
}

// Under the arcade scheme the end of a scripted look levels the view: the
// plane's heading and pitch, not its roll.
TEST_F(camera_game, TheEndOfALookTakesOnlyHeadingAndPitchUnderTheArcadeScheme)
{
    plane.orient = quatFromEuler(0.5f, 0.2f, 1.2f);
    Vec3 point{0.0f, 0.0f, 0.0f};
    for (bool level : {false, true}) {
        cam.levelView = level;
        cam.lookAtPoint(&point, 200.0f, 0.5f, 1.0f, true, 0.0f);
        cam.updateLookAt();
        const Vec3 up = quatRotateVector(cam.storedOrientation, Vec3{0.0f, 1.0f, 0.0f});
        const Vec3 side = quatRotateVector(cam.storedOrientation, Vec3{1.0f, 0.0f, 0.0f});
        const Vec3 ahead = quatRotateVector(cam.storedOrientation, Vec3{0.0f, 0.0f, -1.0f});
        const Vec3 planeAhead = quatRotateVector(plane.orient, Vec3{0.0f, 0.0f, -1.0f});
        EXPECT_NEAR(vec3Dot(ahead, planeAhead), 1.0f, 1e-3f) << level;
        if (level)
            EXPECT_NEAR(side.y, 0.0f, 1e-3f) << "no roll";
        else
            EXPECT_GT(std::fabs(side.y), 0.5f) << "the plane's roll";
        EXPECT_GT(up.y, 0.0f);
    }
}

TEST_F(camera_game, PathEndTellsTheGameMode)
{
    const Vec3 points[] = {{0, 100, 0}, {100, 100, 0}, {200, 100, 0}};
    cam.createViewHelper(points, 3, 200.0f);
    cam.cancelMode7();
    EXPECT_EQ(cam.mode, 8);
    EXPECT_FLOAT_EQ(cam.position.x, 0.0f);
    run(6.0f);
    EXPECT_NEAR(cam.position.x, 200.0f, 0.5f);
    EXPECT_EQ(game.resumed, 1);
}

class camera_menu : public ::testing::Test {
protected:
    void SetUp() override { plane.pos = {0.0f, 500.0f, 0.0f}; }
    FakePlane plane;
    MenuCamera cam;
};

TEST_F(camera_menu, DragPitchIsClampedAndYawIsNot)
{
    cam.rotateByDrag(0.0f, -10000.0f);
    EXPECT_FLOAT_EQ(cam.dragPitch, 0.5f);
    cam.rotateByDrag(0.0f, 10000.0f);
    EXPECT_FLOAT_EQ(cam.dragPitch, -0.8f);
    cam.rotateByDrag(-cam.windowWidth * 5.0f, 0.0f);
    EXPECT_NEAR(cam.dragYaw, 10.0f * kPi, 1e-3f);
}

TEST_F(camera_menu, AMoveLastsOneOverZeroSevenFiveSeconds)
{
    cam.showcase = &plane;
    cam.updateMatrices(1.0f / 60.0f);
    cam.setMode(4);
    const float dt = 1.0f / 60.0f;
    int frames = 0;
    while (cam.moveBlend < 1.0f && frames < 1000) {
        cam.updateMatrices(dt);
        ++frames;
    }
    EXPECT_NEAR(frames * dt, 1.0f / MenuCamera::kMoveRate, dt);
    const int before = cam.mode;
    cam.setMode(before);
    EXPECT_FLOAT_EQ(cam.moveBlend, 1.0f);
    cam.returnToDefaultMode();
    EXPECT_EQ(cam.mode, 0);
    EXPECT_TRUE(cam.useStoredStart);
    EXPECT_EQ(cam.moveFromMode, 4);
}

TEST_F(camera_menu, NothingMovesWithoutAShowcasePlane)
{
    cam.position = {1.0f, 2.0f, 3.0f};
    for (int m = 0; m <= 5; ++m) {
        cam.setMode(m);
        for (int i = 0; i < 30; ++i)
            cam.updateMatrices(1.0f / 30.0f);
        EXPECT_FLOAT_EQ(cam.position.x, 1.0f);
        EXPECT_FLOAT_EQ(cam.position.y, 2.0f);
        EXPECT_FLOAT_EQ(cam.idleTime, 0.0f);
    }
}

TEST_F(camera_menu, EyeStaysAboveTheMenuTerrain)
{
    cam.showcase = &plane;
    plane.pos = {0.0f, 5.0f, 0.0f};
    cam.terrainHeight = [](float, float) { return 20.0f; };
    for (int i = 0; i < 60; ++i)
        cam.updateMatrices(1.0f / 30.0f);
    EXPECT_GE(cam.position.y, 24.0f - 1e-3f);
    EXPECT_TRUE(finite(cam.position));
}

// The cameras' view of a game airplane: sizes from its model, and a stale
// airplane leaves the eye where the airplane was last seen.
#include "entities/EntityIds.h"
#include "entities/TestPlanes.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/AirplaneModel.h"
#include "platform/File.h"
#include "screens/scene/AirplaneCameraPlane.h"
#include "support/entities/SimHost.h"

namespace {
TEST(AirplaneCameraPlaneTest, SizesComeFromTheModelAndAGoneAirplaneStaysPut)
{
    clearEntityIds();
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    SimHost host;
    PlaneCfg cfg = testFighter();
    cfg.file = "data/planes/a10/a10_ful.glm";
    Airplane* plane = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"p")));
    ASSERT_NE(plane->model(), nullptr);
    plane->setPositionAndStop({10.0f, 400.0f, -30.0f});
    AirplaneCameraPlane view(plane);
    const CameraPlane::Size s = view.size();
    EXPECT_NEAR(s.length, plane->model()->length(), 1e-4f);
    EXPECT_NEAR(s.span, plane->model()->span(), 1e-4f);
    EXPECT_GT(s.span, 15.0f) << "the A-10's long wing";
    EXPECT_EQ(&view.position(), &plane->position());
    plane->setPositionAndStop({10.0f, 450.0f, -30.0f});
    EXPECT_FLOAT_EQ(view.position().y, 450.0f);
    float deck = 0.0f;
    EXPECT_FALSE(view.deckHeight(deck));

    host.remove(plane);
    EXPECT_EQ(view.airplane(), nullptr);
    EXPECT_FLOAT_EQ(view.position().y, 450.0f);
    EXPECT_FLOAT_EQ(view.velocity().x, 0.0f);
    EXPECT_EQ(view.currentTarget(), nullptr);
    AirplaneModel::releaseAll();
    setDataRoot("");
}
}  // namespace

#include "support/sound/FakeAudioDevice.h"
#include "platform/Log.h"
#include "sound/Sound.h"

namespace {
TEST(CameraListener, TheSoundListenerFollowsTheEye)
{
    setLogCapture([](LogLevel, const std::string&, const std::string&) {});
    auto device = std::make_unique<FakeAudioDevice>();
    FakeAudioDevice* fake = device.get();
    ASSERT_TRUE(Sound::init(std::move(device)));
    FakePlane plane;
    FakeGameMode game;
    game.player = &plane;
    GameCamera cam{game};
    plane.pos = {100.0f, 800.0f, -50.0f};
    for (int i = 0; i < 30; ++i)
        cam.updateMatrices(1.0f / 30.0f);
    cam.moveListener();
    EXPECT_FLOAT_EQ(fake->listenerPosition.x, cam.position.x);
    EXPECT_FLOAT_EQ(fake->listenerPosition.y, cam.position.y);
    EXPECT_FLOAT_EQ(fake->listenerForward.z, cam.forward.z);
    EXPECT_FLOAT_EQ(fake->listenerUp.y, cam.up.y);
    EXPECT_GT(fake->listenerPosition.y, 700.0f) << "behind and above the plane";
    Sound::close();
    cam.moveListener();  // no sound system: nothing happens
    setLogCapture({});
}
}  // namespace

#include "screens/hud/TutorialHudBridge.h"
#include "screens/scene/SceneCameras.h"

// A finished tutorial orbits the player's airplane at the distance it asks,
// not from inside it.
TEST(TutorialCamera, TheClosingLookStandsOffAtItsDistance)
{
    GameCamera& cam = gameCamera();
    const int before = cam.mode;
    const Vec3 point{100.0f, 800.0f, -300.0f};
    tutorialHudBridge().lookAtPoint(point, 500.0f);
    EXPECT_EQ(cam.mode, 6);
    for (int k = 0; k < 30; ++k)
        cam.updateMatrices(1.0f / 60.0f);
    EXPECT_NEAR(vec3Length(cam.position - point), 500.0f, 5.0f);
    cam.setMode(before);
}
