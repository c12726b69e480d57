// The HUD's per-frame reading of the player's plane.
#include "HudPlayFixture.h"

#include <cmath>

namespace {

using HudUpdate = HudPlay;

TEST_F(HudUpdate, WeaponCountsAreReadyLaunchersOrMinusOne)
{
    state.player.weapons[0] = HudWeaponState{true, 0, true, 2};
    state.player.weapons[1] = HudWeaponState{true, 0, true, 1};
    state.player.weapons[2] = HudWeaponState{true, 2, false, 0};
    hud.update(state);
    EXPECT_EQ(hud.weaponGaugeValues, (std::array<int, 3>{3, -1, -1}));
    EXPECT_EQ(hud.weaponSlotButton(0)->count, 3);
    EXPECT_EQ(hud.weaponSlotButton(1)->count, -1);
}

TEST_F(HudUpdate, OnlyTheWeaponGroupsThePlaneCarriesShowTheirButtons)
{
    state.player.weapons[0] = HudWeaponState{true, 0, true, 2};
    state.player.weapons[1] = HudWeaponState{true, 1, true, 1};
    hud.updateWeaponSlotButtons(state.player);
    EXPECT_TRUE(hud.weaponSlotButton(0)->visible);
    EXPECT_TRUE(hud.weaponSlotButton(1)->visible);
    EXPECT_FALSE(hud.weaponSlotButton(2)->visible) << "no weapon in the third group";
    state.player.weapons[2] = HudWeaponState{true, 2, true, 1};
    hud.updateWeaponSlotButtons(state.player);
    EXPECT_TRUE(hud.weaponSlotButton(2)->visible) << "a plane that carries one shows it again";
}

TEST_F(HudUpdate, SpeedAndAltitudeInBothUnits)
{
    setFrameDelta(0.5f);
    state.player.position = {0.0f, 1000.0f, 0.0f};
    hud.update(state);
    state.player.position = {100.0f, 1000.0f, 0.0f};
    hud.update(state);
    EXPECT_NEAR(hud.speedValue, 200.0f * 1.7895491f, 1e-3f);
    EXPECT_NEAR(hud.altitudeValue, 1000.0f * 3.28084f, 1e-2f);
    settings().metricUnits = 1;
    state.player.position = {200.0f, 1000.0f, 0.0f};
    hud.update(state);
    EXPECT_NEAR(hud.speedValue, 200.0f * 2.88f, 1e-3f);
    EXPECT_NEAR(hud.altitudeValue, 1000.0f, 1e-3f);
}

TEST_F(HudUpdate, AFrameWithNoLengthShowsTheSpeedField)
{
    setFrameDelta(0.0f);
    state.player.speed = 150.0f;
    state.player.position = {5000.0f, 10.0f, 0.0f};
    hud.update(state);
    EXPECT_TRUE(std::isfinite(hud.speedValue));
    EXPECT_NEAR(hud.speedValue, 150.0f * 1.7895491f, 1e-3f);
    setFrameDelta(0.5f);
    state.player.onCarrier = true;
    state.player.position = {9000.0f, 10.0f, 0.0f};
    hud.update(state);
    EXPECT_NEAR(hud.speedValue, 150.0f * 1.7895491f, 1e-3f) << "on a carrier the speed field shows";
    // A new game's first frame has no point of its own before it: the speed
    // field shows, not the way from where the last game's airplane was.
    hud.init(&sheet);
    state.player.onCarrier = false;
    state.player.position = {-7000.0f, 10.0f, 0.0f};
    hud.update(state);
    EXPECT_NEAR(hud.speedValue, 150.0f * 1.7895491f, 1e-3f) << "the first frame of a game";
}

TEST_F(HudUpdate, HealthShowsAtLeastOnePercentWhileAlive)
{
    state.player.health = 0.004f;
    hud.update(state);
    EXPECT_FLOAT_EQ(hud.healthPercent, 1.0f);
    for (const auto& h : hud.health)
        EXPECT_FLOAT_EQ(h.value, 1.0f);
    state.player.health = 1.7f;
    hud.update(state);
    EXPECT_FLOAT_EQ(hud.healthPercent, 100.0f);
    state.player.health = 0.0f;
    hud.update(state);
    EXPECT_FLOAT_EQ(hud.healthPercent, 0.0f);
}

TEST_F(HudUpdate, TheShakeEndsWhiteAndCentred)
{
    hud.shakeActive = true;
    hud.shakeTimeLeft = 0.3f;
    setFrameDelta(0.05f);
    bool moved = false;
    for (int i = 0; i < 10; ++i) {
        hud.update(state);
        moved = moved || hud.shakeOffset.x != 0.0f || hud.shakeOffset.y != 0.0f;
    }
    EXPECT_TRUE(moved);
    EXPECT_FALSE(hud.shakeActive);
    EXPECT_EQ(hud.shakeOffset.x, 0.0f);
    EXPECT_EQ(hud.shakeOffset.y, 0.0f);
    EXPECT_EQ(hud.tint.r, 255);
    EXPECT_EQ(hud.tint.a, 255);
}

TEST_F(HudUpdate, TheLockToneQuickensAndStaysQuiet)
{
    HudWeaponState lock{true, 1, true, 1};
    lock.lockWeapon = true;
    lock.locked = true;
    state.player.weapons[3] = lock;
    setFrameDelta(0.1f);
    hud.update(state);
    EXPECT_TRUE(hud.lockTone.playing);
    EXPECT_NEAR(hud.lockTone.interval, 0.4f - 0.03f, 1e-5f);
    for (int i = 0; i < 100; ++i)
        hud.update(state);
    EXPECT_FLOAT_EQ(hud.lockTone.interval, 0.08f);
    EXPECT_LE(hud.lockTone.sentVolume, 0.2f);
    state.player.weapons[3].locked = false;
    hud.update(state);
    EXPECT_FLOAT_EQ(hud.lockTone.interval, 0.4f);
    state.soundMuted = true;
    hud.update(state);
    EXPECT_FALSE(hud.lockTone.playing);
}

TEST_F(HudUpdate, DialNeedleAndAltimeterDrums)
{
    EXPECT_FLOAT_EQ(PlaneHud::needleAngle(400.0f, 800.0f), 3.125f);
    EXPECT_FLOAT_EQ(PlaneHud::needleAngle(36000.0f, 36000.0f), 6.25f);
    const auto drums = PlaneHud::altimeterDrums(12345.0f);
    EXPECT_EQ(drums[0].digit, 5);
    EXPECT_FLOAT_EQ(drums[0].roll, 0.0f);
    EXPECT_EQ(drums[1].digit, 4);
    EXPECT_NEAR(drums[1].roll, 0.5f, 1e-3f);
    EXPECT_EQ(drums[2].digit, 3);
    EXPECT_NEAR(drums[2].roll, 0.45f, 1e-3f);
    EXPECT_EQ(PlaneHud::altimeterDrums(-20.0f)[0].digit, 0);
}

TEST_F(HudUpdate, EjectWarningFollowsThePlaneOutsideCampaigns)
{
    state.player.canEject = true;
    hud.update(state);
    EXPECT_TRUE(hud.button(18)->visible);
    state.gameType = 1;
    hud.update(state);
    EXPECT_FALSE(hud.button(18)->visible);
    hud.showEjectAlways = true;
    hud.update(state);
    EXPECT_TRUE(hud.button(18)->visible);
}

TEST_F(HudUpdate, WaitingToFlyAgainTakesTheWarningsAway)
{
    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.pushCentre(353, Color4{255, 80, 60, 255}, 0.0f);
    hud.update(state);
    EXPECT_GT(queue.warningBox().w, 0.0f) << "in flight the warning shows";
    // The flag carrier's line stands under the HUD while it flies on.
    state.respawnText = u"Turn back with the flag!";
    hud.update(state);
    EXPECT_GT(queue.warningBox().w, 0.0f) << "the carrier's line took the warning";
    // A team switch: the airplane has left and the countdown runs.
    state.respawnText = u"Back in the air in 3";
    state.waitingToFly = true;
    hud.update(state);
    EXPECT_EQ(queue.warningBox().w, 0.0f);
    queue.clearAll();
}

TEST(HudBlackout, DarkensPastTheStartAndBreathesByAQuarter)
{
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(0.0f, 4.0f, 0.0f), 0.0f);  // exactly at the start: clear
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(-1.0f, 4.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(2.0f, 4.0f, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(30.0f, 4.0f, 0.0f), 1.0f);
    // The pulse: a quarter lighter at its top, every 1.5 s.
    const float top = 1.5f / 2.0f;
    EXPECT_NEAR(PlaneHud::blackoutStrength(4.0f, 4.0f, top), 0.75f, 1e-4f);
    EXPECT_NEAR(PlaneHud::blackoutStrength(4.0f, 4.0f, top + 1.5f), 0.75f, 1e-4f);
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(0.2f, 4.0f, top), 0.0f);
    // A range of zero or less: black past the start, never a division by it.
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(0.1f, 0.0f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(0.1f, -2.0f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(PlaneHud::blackoutStrength(NAN, 4.0f, 0.0f), 0.0f);
}

TEST(HudButtonCount, CountsOfTenOrMoreDrawSeveralDigitModules)
{
    EXPECT_EQ(HudButton::countModules(7), (std::vector<int>{168}));
    EXPECT_EQ(HudButton::countModules(0), (std::vector<int>{161}));
    EXPECT_EQ(HudButton::countModules(12), (std::vector<int>{162, 163}));
    for (int n : {10, 99, 170, 5000})
        for (int module : HudButton::countModules(n)) {
            EXPECT_GE(module, 161);
            EXPECT_LE(module, 170);
        }
    EXPECT_TRUE(HudButton::countModules(-1).empty());
}

}  // namespace
