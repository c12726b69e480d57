#include "ModeTestKit.h"

#include "effects/screen/ScreenSplats.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "modes/ModeServices.h"
#include "modes/PlayerAirplaneInput.h"
#include "platform/Settings.h"

namespace {
// A camera that keeps its view mode and subject as the game camera does.
struct ViewCamera : RecordingHud {
    int view = 0;
    const IGameEntity* followed = nullptr;
    std::vector<int> modes;
    Target* candidate = nullptr;
    int mode() const override { return view; }
    void setMode(int m) override
    {
        view = m;
        modes.push_back(m);
    }
    void setChosenView() override { setMode(settings().chosenViewMode); }
    const IGameEntity* subject() const override { return followed; }
    void setSubject(const IGameEntity* s, float) override { followed = s; }
    bool position(Vec3& out) const override
    {
        out = {0.0f, 2000.0f, 0.0f};
        return true;
    }
    Target* aimAssistCandidate() const override { return candidate; }
};

// A unit never drawn beyond the second far distance, as the game's ground units.
struct NearUnit : Target {
    NearUnit(IEntityHost& host, TargetKind kind, int team) : Target(host, kind, team) {}
    int maxDrawClass() const override { return 3; }
};

struct FarScene : IModeScene {
    float farDistanceSq(int which) const override { return which == 0 ? 1000.0f * 1000.0f : 5000.0f * 5000.0f; }
};

struct FrameDuties : ModeKit {
    ViewCamera camera;
    FarScene farScene;
    WeaponCfg rocket;
    Airplane* player = nullptr;
    Airplane* enemy = nullptr;

    void SetUp() override
    {
        ModeKit::SetUp();
        settings().chosenViewMode = 1;
        settings().aimAssist = 1;
        rocket.type = kWeaponSimple;
        rocket.weapon_id = 12;
        rocket.speed = 400.0f;
        rocket.life = 3.0f;
        rocket.damage = 0.0f;
        services.scene = &farScene;
        kitMatch.reset();
        kitMatch = Match::create(std::make_unique<GameMode>(GameType::TeamDeathmatch),
                                 testConnections(ModeHooks{&camera, &camera, nullptr, &camera}, services, nullptr));
        mode = &kitMatch->mode();
        player = airplane(0, {0, 2000, 0});
        enemy = airplane(1, {0, 2000, -3000});
        mode->setPlayerAirplane(player);
    }
    void launch()
    {
        MissileLaunch l;
        l.record = &rocket;
        l.host = mode;
        l.owner = player;
        l.target = enemy;
        l.position = player->position() + Vec3{0.0f, -5.0f, 0.0f};
        mode->addMissile(Missile::make<SimpleMissile>(l));
    }
};

// Held fire hands the view to the new missile after its delay; letting go,
// or the missile's end, gives the chosen view back.
TEST_F(FrameDuties, TheMissileCameraFollowsANewMissileWhileFireIsHeld)
{
    pullPlayerTrigger(*mode, 1, true);
    launch();
    const Missile* missile = mode->playerMissile();
    ASSERT_NE(missile, nullptr);
    EXPECT_EQ(mode->missileCameraSubject(), missile);
    step(0.3f);
    EXPECT_EQ(camera.view, 0);  // not before its delay
    step(0.2f);
    EXPECT_EQ(camera.view, IModeCamera::kSubjectView);
    EXPECT_EQ(camera.followed, missile);

    pullPlayerTrigger(*mode, 1, false);
    step(1.0f / 60.0f);
    EXPECT_EQ(camera.view, 1);
    EXPECT_EQ(camera.followed, nullptr);

    // A tap launches without taking the view.
    camera.view = 0;
    pullPlayerTrigger(*mode, 1, true);
    launch();
    pullPlayerTrigger(*mode, 1, false);
    step(1.0f);
    EXPECT_EQ(camera.view, 0);

    // Held to the end: the missile's end gives the view back.
    pullPlayerTrigger(*mode, 1, true);
    launch();
    step(0.5f);
    EXPECT_EQ(camera.view, IModeCamera::kSubjectView);
    step(3.5f);
    EXPECT_EQ(mode->playerMissile(), nullptr);
    EXPECT_EQ(camera.view, 1);

    // A scripted path view is never taken over.
    launch();
    camera.view = IModeCamera::kPathView;
    step(0.5f);
    EXPECT_EQ(camera.view, IModeCamera::kPathView);
    EXPECT_EQ(mode->missileCameraSubject(), nullptr);
}

TEST_F(FrameDuties, TheAutopilotTakesItsOwnViewAndGivesTheChosenOneBack)
{
    togglePlayerAutopilot(*mode);
    EXPECT_NE(player->aiController(), nullptr);
    EXPECT_EQ(camera.view, IModeCamera::kAutopilotView);
    togglePlayerAutopilot(*mode);
    EXPECT_EQ(player->aiController(), nullptr);
    EXPECT_EQ(camera.view, 1);
}

// Classes 2 to 4 part at the scene's two far distances; a target beyond its
// furthest class is hidden and shows again once near.
TEST_F(FrameDuties, DrawClassesFollowTheScenesFarDistances)
{
    EXPECT_EQ(mode->drawClassFor(200.0f * 200.0f), 1);
    EXPECT_EQ(mode->drawClassFor(900.0f * 900.0f), 2);
    EXPECT_EQ(mode->drawClassFor(4000.0f * 4000.0f), 3);
    EXPECT_EQ(mode->drawClassFor(6000.0f * 6000.0f), 4);

    auto unit = Target::create<NearUnit>(*mode, TargetKind::Ship, 1);
    unit->setPosition({0.0f, 0.0f, -8000.0f});
    Target* ship = mode->addPlayerAirplane(std::move(unit), true);
    ASSERT_NE(ship, nullptr);
    mode->updateDistanceClasses(1.0f / 60.0f);
    EXPECT_EQ(ship->drawClass, 0);
    EXPECT_EQ(enemy->drawClass, 3);
    ship->setPosition({0.0f, 1950.0f, -100.0f});  // near the camera
    step(1.0f / 60.0f);
    EXPECT_EQ(ship->drawClass, 1);
}

TEST_F(FrameDuties, AimAssistHelpsTowardATargetAheadAndLetsGoOfOneBehind)
{
    WeaponCfg gun;
    gun.type = kWeaponMachinegun;
    gun.speed = 1000.0f;
    camera.candidate = enemy;
    step(1.0f / 60.0f);
    EXPECT_EQ(mode->aimAssistTarget(), enemy);
    EXPECT_NEAR(vec3Length(mode->aimAssistDirection()), 1.0f, 1e-3f);
    EXPECT_GT(vec3Dot(mode->aimAssistDirection(), player->forward()), 0.7f);

    enemy->setPositionAndStop({0.0f, 2000.0f, 3000.0f});  // behind the player
    step(1.0f / 60.0f);
    EXPECT_EQ(mode->aimAssistTarget(), nullptr);

    enemy->setPositionAndStop({0.0f, 2000.0f, -3000.0f});
    settings().aimAssist = 0;
    step(1.0f / 60.0f);
    EXPECT_EQ(mode->aimAssistTarget(), nullptr);
    settings().aimAssist = 1;
    // Not in a network game.
    mode->setNetwork(true, true, false);
    step(1.0f / 60.0f);
    EXPECT_EQ(mode->aimAssistTarget(), nullptr);
}

// A burst at an airplane crossing the nose: with the aim assist on the guns
// fire at its lead point and hit it far more often than straight ahead.
TEST_F(FrameDuties, AimAssistTurnsThePlayersGunsToTheLeadPointOfACrossingTarget)
{
    WeaponCfg gun;
    gun.name = "gun";
    gun.weapon_id = 2;
    gun.type = kWeaponMachinegun;
    gun.damage = 0.0f;
    gun.speed = 900.0f;
    gun.life = 1.5f;
    gun.reloadTime = 0.08f;
    gun.numSlots = 2;
    ASSERT_TRUE(player->mountWeapon(gun, 0));
    const auto burst = [&](bool assist) {
        settings().aimAssist = assist ? 1 : 0;
        BulletPool::instance().clear();
        player->setPositionAndStop({0.0f, 2000.0f, 0.0f});
        player->setOrientation(Quat{});
        player->setSpeed(150.0f);
        // From the left, 600 ahead, across the nose.
        enemy->setPositionAndStop({-250.0f, 2000.0f, -600.0f});
        enemy->setOrientation(quatFromAngleY(-kPi / 2.0f));
        enemy->setSpeed(150.0f);
        enemy->setHealth(1.0f);
        camera.candidate = enemy;
        pullPlayerTrigger(*mode, 0, true);
        int hits = 0;
        for (int i = 0; i < 120; ++i) {
            mode->update(1.0f / 60.0f);
            hits += BulletPool::instance().hitsThisFrame();
        }
        pullPlayerTrigger(*mode, 0, false);
        step(2.0f);
        return hits;
    };
    const int straight = burst(false);
    const int assisted = burst(true);
    EXPECT_GT(assisted, 2 * straight + 4) << "straight ahead " << straight << ", assisted " << assisted;

    // Once the target is lost the guns fire straight ahead again.
    camera.candidate = nullptr;
    step(1.0f / 60.0f);
    EXPECT_NEAR(vec3Dot(player->weapon(0)->fireDirection(), player->forward()), 1.0f, 1e-4f);
}

// A missile bursting on the player flashes the view and throws oil over it.
TEST_F(FrameDuties, AMissileHitOnThePlayerFlashesTheView)
{
    ScreenSplats::reset();
    MissileLaunch l;
    l.record = &rocket;
    l.host = mode;
    l.owner = enemy;
    l.target = player;
    l.position = player->position() + Vec3{0.0f, 0.0f, -60.0f};
    l.direction = {0.0f, 0.0f, 1.0f};
    mode->addMissile(Missile::make<SimpleMissile>(l));
    // The game screen runs the splats each frame, as here.
    for (int i = 0; i < 120 && mode->missiles().count() > 0; ++i) {
        ScreenSplats::update(1.0f / 60.0f);
        mode->update(1.0f / 60.0f);
    }
    ASSERT_EQ(mode->missiles().count(), 0);
    EXPECT_FLOAT_EQ(ScreenSplats::hitTimer(), 1.0f);
    int oil = 0;
    for (const auto& s : ScreenSplats::splats())
        oil += s.life >= 0.0f && s.kind == ScreenSplats::kOil ? 1 : 0;
    EXPECT_GE(oil, 3);  // the burst's three or four, beside those of its approach
}

// A missile of another airplane passing the camera throws oil on the view.
TEST_F(FrameDuties, AMissilePassingTheCameraSplatsTheView)
{
    ScreenSplats::reset();
    Airplane* shooter = airplane(1, {0, 2000, 200});
    MissileLaunch l;
    l.record = &rocket;
    l.host = mode;
    l.owner = shooter;
    l.target = nullptr;
    l.position = {30.0f, 2000.0f, 60.0f};  // beside the camera, flying by
    l.direction = {0.0f, 0.0f, -1.0f};
    mode->addMissile(Missile::make<SimpleMissile>(l));
    mode->update(1.0f / 60.0f);
    int oil = 0;
    for (const auto& s : ScreenSplats::splats())
        oil += s.life >= 0.0f ? 1 : 0;
    EXPECT_GE(oil, 1);

    // The player's own missile leaving the camera throws nothing.
    ScreenSplats::reset();
    mode->clearLevel();
}
}  // namespace
