// The weapon link and the slot buttons of weapons mounted in play, the look
// and the mouse aim reaching the game camera, and the advertising of a
// joined network game.
#include "HudPlayFixture.h"
#include "HudTestSupport.h"

#include "modes/INetworkSession.h"
#include "platform/Steam.h"
#include "screens/GameControls.h"
#include "screens/GameScreen.h"
#include "screens/hud/HudMarkerFeed.h"
#include "screens/scene/GameCamera.h"
#include "support/screens/CameraFakes.h"

#include <cmath>

namespace {

using HudLink = HudPlay;

HudWeaponState gun(int group, int icon, const void* identity)
{
    HudWeaponState w;
    w.present = true;
    w.group = group;
    w.hasLaunchers = true;
    w.readyLaunchers = 2;
    w.linkable = true;
    w.iconIndex = icon;
    w.identity = identity;
    return w;
}

bool shown(PlaneHud& hud, int id)
{
    HudButton* b = hud.button(id);
    return b && b->visible;
}

TEST_F(HudLink, WeaponsMountedInPlayShowTheirSlotsAndTheLinkActionSwapsThePair)
{
    const int light = 0, heavy = 0;
    hud.hideAllButtons();
    hud.update(state);
    EXPECT_FALSE(shown(hud, 5));
    // A gun mounted later (a lesson's weapon) shows its slot and icon.
    state.player.weapons[0] = gun(0, 2, &light);
    hud.update(state);
    EXPECT_TRUE(shown(hud, 5));
    EXPECT_EQ(hud.weaponSlotButton(0)->icon, 2 + 71);
    EXPECT_FALSE(shown(hud, 19)) << "one linkable group links with nothing";
    // Its replacement in the same slot changes the icon.
    state.player.weapons[0] = gun(0, 3, &light);
    hud.update(state);
    EXPECT_EQ(hud.weaponSlotButton(0)->icon, 3 + 71);
    // A second gun group: the pair's first button stands for the linked groups.
    state.player.weapons[1] = gun(1, 4, &heavy);
    hud.update(state);
    EXPECT_TRUE(shown(hud, 6));
    EXPECT_TRUE(shown(hud, 19));
    EXPECT_FALSE(shown(hud, 20));
    hud.linkWeapons();
    hud.update(state);
    EXPECT_FALSE(shown(hud, 19));
    EXPECT_TRUE(shown(hud, 20)) << "the pair rule keeps the second once it is shown";
    hud.linkWeapons();
    hud.update(state);
    EXPECT_TRUE(shown(hud, 19));
    EXPECT_FALSE(shown(hud, 20));
    // Hidden slot buttons hide the pair; a freed slot alone shows nothing anew.
    hud.hideAllButtons();
    state.player.weapons[1] = HudWeaponState{};
    hud.update(state);
    EXPECT_FALSE(shown(hud, 5));
    EXPECT_FALSE(shown(hud, 19));
    EXPECT_FALSE(shown(hud, 20));
}

TEST_F(HudLink, TheReticleLetsGoWhileThePlaneIsDownAndStartsAgainFromIt)
{
    state.steeringMode = Input::kSteerMouse;
    state.player.orientation = quatFromAngleY(0.5f);
    for (int i = 0; i < 4; ++i)
        hud.update(state);
    EXPECT_EQ(hud.reticle.warmFrames, 3);
    state.player.reticleBlocked = true;
    hud.update(state);
    EXPECT_EQ(hud.reticle.warmFrames, 0);
    EXPECT_FALSE(hud.reticle.onScreen);
    state.player.reticleBlocked = false;
    state.player.orientation = quatFromAngleY(-1.0f);
    hud.update(state);
    const Vec3 ahead = quatRotateVector(hud.reticle.orientation, Vec3{0.0f, 0.0f, -1.0f});
    EXPECT_NEAR(std::atan2(-ahead.x, -ahead.z), -1.0f, 1e-4f) << "the new start copies the plane";
}

// Behind the plane the mouse's turns add up on the aim; in the cockpit view
// they are taken from where the view looks, so the aim settles back on it
// once the mouse rests.
TEST_F(HudLink, InTheCockpitTheMouseTurnsTheAimFromTheView)
{
    const auto heading = [](const Quat& q) {
        const Vec3 ahead = quatRotateVector(q, Vec3{0.0f, 0.0f, -1.0f});
        return std::atan2(-ahead.x, -ahead.z);
    };
    state.steeringMode = Input::kSteerMouse;
    for (int i = 0; i < 3; ++i)
        hud.update(state);
    // Behind the plane: ten frames of mouse to the left, then rest.
    state.cameraMode = 0;
    state.mouseDx = -25;
    for (int i = 0; i < 10; ++i)
        hud.update(state);
    state.mouseDx = 0;
    for (int i = 0; i < 120; ++i)
        hud.update(state);
    const float kept = heading(hud.reticle.orientation);
    EXPECT_GT(kept, 0.5f) << "the aim stays where the mouse left it";
    EXPECT_NEAR(heading(hud.reticle.view), kept, 1e-3f);

    // The cockpit view looking straight ahead: the same motion turns the
    // aim while it lasts, and the aim comes back to the view after it.
    hud.reticle.warmFrames = 0;
    for (int i = 0; i < 3; ++i)
        hud.update(state);
    state.cameraMode = PlaneHud::kCockpitView;
    state.cameraOrientation = Quat{};
    state.mouseDx = -25;
    for (int i = 0; i < 10; ++i)
        hud.update(state);
    EXPECT_GT(heading(hud.reticle.turned), 0.05f);
    EXPECT_LT(heading(hud.reticle.turned), kept);
    state.mouseDx = 0;
    for (int i = 0; i < 120; ++i)
        hud.update(state);
    EXPECT_NEAR(heading(hud.reticle.orientation), 0.0f, 0.01f);
    // The view turned away: the aim follows it.
    state.cameraOrientation = quatFromAngleY(0.8f);
    for (int i = 0; i < 120; ++i)
        hud.update(state);
    EXPECT_NEAR(heading(hud.reticle.orientation), 0.8f, 0.01f);
}

TEST(MouseAim, TheStickTurnsTheNoseTowardTheAim)
{
    float pitch = 0.0f, yaw = 0.0f, roll = 0.0f;
    const Quat level{};
    GameControls::steerToAim(level, level, pitch, yaw, roll);
    EXPECT_NEAR(pitch, 0.0f, 1e-5f);
    EXPECT_NEAR(yaw, 0.0f, 1e-5f);
    EXPECT_NEAR(roll, 0.0f, 1e-5f);
    // Aim 30 degrees right (a turn about Y by a negative angle): right stick and a right bank.
    GameControls::steerToAim(level, quatFromAngleY(-kPi / 6.0f), pitch, yaw, roll);
    EXPECT_FLOAT_EQ(yaw, 1.0f);
    EXPECT_GT(roll, 0.5f);
    EXPECT_NEAR(pitch, 0.0f, 1e-4f);
    // Aim 5 degrees up: a part of the stick back, no bank.
    GameControls::steerToAim(level, quatMulAxisX(Quat{}, kPi / 36.0f), pitch, yaw, roll);
    EXPECT_NEAR(pitch, 4.0f * kPi / 36.0f, 1e-3f);
    EXPECT_NEAR(yaw, 0.0f, 1e-4f);
    // Already banked 60 degrees into a right turn that the aim asks for: the bank holds.
    const Quat banked = quatMulAxisZ(Quat{}, -kPi / 3.0f);
    GameControls::steerToAim(banked, quatMultiply(banked, quatFromAngleY(-kPi / 4.0f)), pitch, yaw, roll);
    EXPECT_NEAR(roll, 0.0f, 0.05f);
}

TEST(GameCameraLook, TheControlLookTurnsTheViewUnlessACameraTargetLeads)
{
    FakePlane plane;
    FakeGameMode game;
    game.player = &plane;
    GameCamera camera(game);
    camera.setMode(0);
    camera.resetView();
    setFrameDelta(1.0f / 60.0f);
    camera.controlLook = {0.5f, 0.0f};
    for (int i = 0; i < 120; ++i)
        camera.updateMatrices(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(camera.lookOffset.x, 0.5f) << "reached, then held";
    Vec3 ahead = quatRotateVector(camera.orientation, Vec3{0.0f, 0.0f, -1.0f});
    EXPECT_NEAR(std::atan2(-ahead.x, -ahead.z), kPi / 2.0f, 0.05f) << "half the look turns the view a quarter";
    // Let go: back ahead.
    camera.controlLook = {};
    for (int i = 0; i < 120; ++i)
        camera.updateMatrices(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(camera.lookOffset.x, 0.0f);
    // A camera target wins over the look.
    const Vec3 target{-1000.0f, 0.0f, 0.0f};
    game.aimPoint = &target;
    camera.controlLook = {-0.5f, 0.0f};
    for (int i = 0; i < 120; ++i)
        camera.updateMatrices(1.0f / 60.0f);
    EXPECT_NEAR(camera.lookOffset.x, 0.5f, 0.02f) << "the target lies 90 degrees left";
    // Steered by the mouse the view follows the aim, not the plane.
    game.aimPoint = nullptr;
    camera.controlLook = {};
    camera.followsAim = true;
    camera.aimOrientation = quatFromAngleY(0.4f);
    for (int i = 0; i < 240; ++i)
        camera.updateMatrices(1.0f / 60.0f);
    ahead = quatRotateVector(camera.orientation, Vec3{0.0f, 0.0f, -1.0f});
    EXPECT_NEAR(std::atan2(-ahead.x, -ahead.z), 0.4f, 0.02f);
    // With the arcade scheme the view keeps the horizon level while the plane banks.
    camera.followsAim = false;
    camera.levelView = true;
    plane.orient = quatMulAxisZ(quatFromAngleY(0.3f), 0.8f);
    for (int i = 0; i < 240; ++i)
        camera.updateMatrices(1.0f / 60.0f);
    ahead = quatRotateVector(camera.orientation, Vec3{0.0f, 0.0f, -1.0f});
    const Vec3 right = quatRotateVector(camera.orientation, Vec3{1.0f, 0.0f, 0.0f});
    EXPECT_NEAR(std::atan2(-ahead.x, -ahead.z), 0.3f, 0.02f);
    EXPECT_NEAR(right.y, 0.0f, 0.02f) << "no roll";
}

TEST(GameCameraLook, TheKillCamClearsTheWarningsAndKeepsTheNoticeHistory)
{
    FakePlane plane, killer;
    FakeGameMode game;
    game.player = &plane;
    GameCamera camera(game);
    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.clearAll();
    queue.pushNotice(u"SHOT DOWN", 3.0f, false, true);
    queue.pushCentre(248, Color4{255, 80, 60, 255}, 5.0f);
    camera.startKillCam(&killer, 0, false, nullptr);
    EXPECT_TRUE(queue.warnings().empty());
    EXPECT_EQ(queue.noticeHistory().size(), 1u);
    EXPECT_EQ(camera.mode, 10);
    queue.clearAll();
}

TEST(CameraRoll, TheViewsRollIsReadOffItsMatrix)
{
    CameraMatrices camera;
    EXPECT_NEAR(cameraRollOf(camera), 0.0f, 1e-6f);
    // The right wing dipped by 30 degrees: the world turns the other way on screen.
    const Quat rolled = quatMulAxisZ(Quat{}, -kPi / 6.0f);
    const Mat4 world = mat4FromQuatPosition(rolled, {10.0f, 20.0f, 30.0f});
    ASSERT_TRUE(mat4InvertAffine(world, camera.view));
    EXPECT_NEAR(cameraRollOf(camera), kPi / 6.0f, 1e-4f);
}

struct FakeSession : INetworkSession {
    HostLink link = HostLink::Between;
    bool loadStep(GameMode&, float) override { return true; }
    void gameLeft() override {}
    HostLink hostLink(std::uint32_t& address, std::uint16_t& port) const override
    {
        address = 0x0a000002u;
        port = 7777;
        return link;
    }
};

TEST(ServerAdvert, AJoinedClientAdvertisesOnceAndWithdrawsOnce)
{
    Steam steam;
    FakeSession session;
    advertiseJoinedServer(true, &session, steam);
    EXPECT_EQ(steam.advertiseCalls(), 0) << "still joining";
    session.link = INetworkSession::HostLink::Joined;
    for (int i = 0; i < 5; ++i)
        advertiseJoinedServer(true, &session, steam);
    EXPECT_EQ(steam.advertiseCalls(), 1);
    EXPECT_TRUE(steam.advertised());
    EXPECT_EQ(steam.advertisement().serverId, Steam::kNonSteamServerId);
    EXPECT_EQ(steam.advertisement().address, 0x0a000002u);
    EXPECT_EQ(steam.advertisement().port, 7777);
    session.link = INetworkSession::HostLink::Gone;
    for (int i = 0; i < 5; ++i)
        advertiseJoinedServer(true, &session, steam);
    EXPECT_EQ(steam.advertiseCalls(), 2);
    EXPECT_FALSE(steam.advertised());
    EXPECT_EQ(steam.advertisement().port, 0);
    // A host or a single player never advertises.
    Steam other;
    session.link = INetworkSession::HostLink::Joined;
    advertiseJoinedServer(false, &session, other);
    EXPECT_EQ(other.advertiseCalls(), 0);
}

}  // namespace
