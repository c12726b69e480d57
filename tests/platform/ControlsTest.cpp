#include "platform/Controls.h"

#include "platform/File.h"
#include "platform/Input.h"
#include "platform/Settings.h"
#include "support/TempDir.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {
int keyIndex(const char* name) { return Input::keyIndexOfBindingName(name); }
int act(ControlAction a) { return static_cast<int>(a); }

struct RecordingHandler : IControlsHandler {
    std::vector<std::pair<int, bool>> gameActions;
    std::vector<ControlAction> menuActions;
    PlayerFlightInput lastFlight;
    int flights = 0;
    void onGameAction(int gameAction, bool pressed) override { gameActions.emplace_back(gameAction, pressed); }
    void onMenuAction(ControlAction action) override { menuActions.push_back(action); }
    void applyFlightInput(const PlayerFlightInput& flight) override
    {
        lastFlight = flight;
        ++flights;
    }
    void touchStickAxes(float& x, float& y) const override { x = y = 0.0f; }
    void releasePlayerStick() override {}
    void resetPlayerControls() override {}
};

struct ControlsTest : testing::Test {
    Input input;
    Settings settings;
    Controls controls{input, settings};
    RecordingHandler handler;
    void SetUp() override { controls.setHandler(&handler); }

    void frame()
    {
        controls.updateGameActions();
        input.endFrame();
    }
};

TEST_F(ControlsTest, BindingAnInputUsedInTheSameGroupMovesIt)
{
    ASSERT_EQ(controls.binding(act(ControlAction::Radar)).code1, keyIndex("R"));
    EXPECT_TRUE(controls.setBinding(act(ControlAction::Weapon_1), BindingKind::Key, keyIndex("R"), 0));
    EXPECT_EQ(controls.binding(act(ControlAction::Weapon_1)).code1, keyIndex("R"));
    EXPECT_EQ(controls.binding(act(ControlAction::Radar)).kind1, BindingKind::None);

    // The Up key flies (Pitch_Down, second slot) and moves menus: the groups are apart.
    EXPECT_TRUE(controls.setBinding(act(ControlAction::Menu_Select), BindingKind::Key, keyIndex("Up"), 1));
    EXPECT_EQ(controls.binding(act(ControlAction::Menu_Up)).kind1, BindingKind::None);
    EXPECT_EQ(controls.binding(act(ControlAction::Pitch_Down)).code2, keyIndex("Up"));
}

TEST_F(ControlsTest, InvalidAndMenuClickBindingsAreRefused)
{
    const ActionBinding before = controls.binding(act(ControlAction::Menu_Back));
    EXPECT_FALSE(controls.setBinding(act(ControlAction::Menu_Back), BindingKind::Mouse, 0, 0));
    EXPECT_FALSE(controls.setBinding(act(ControlAction::FastForward), BindingKind::Mouse, 0, 1));
    EXPECT_FALSE(controls.setBinding(act(ControlAction::Chat), BindingKind::Key, 96, 0));
    EXPECT_FALSE(controls.setBinding(act(ControlAction::Chat), BindingKind::Button1, 32, 0));
    EXPECT_FALSE(controls.setBinding(35, BindingKind::Key, 5, 0));
    EXPECT_FALSE(controls.setBinding(act(ControlAction::Chat), BindingKind::Key, 5, 2));
    EXPECT_EQ(controls.binding(act(ControlAction::Menu_Back)).kind1, before.kind1);
    EXPECT_TRUE(controls.setBinding(act(ControlAction::Weapon_1), BindingKind::Mouse, 0, 1));
    EXPECT_TRUE(controls.setBinding(act(ControlAction::Chat), BindingKind::None, -1, 0));
}

TEST_F(ControlsTest, AFullRangeAxisIsSharedWithThePairedAction)
{
    controls.setCurrentScheme(1);
    EXPECT_TRUE(controls.setBinding(act(ControlAction::Roll_Left), BindingKind::Axis1, 2, 0));
    EXPECT_EQ(controls.binding(act(ControlAction::Roll_Right)).kind1, BindingKind::Axis1);
    EXPECT_EQ(controls.binding(act(ControlAction::Roll_Right)).code1, 2);
    // The old two-sided axis moved to pitch is gone from the roll pair.
    EXPECT_TRUE(controls.setBinding(act(ControlAction::Pitch_Up), BindingKind::Axis1, 2, 0));
    EXPECT_EQ(controls.binding(act(ControlAction::Roll_Left)).kind1, BindingKind::None);
    EXPECT_EQ(controls.binding(act(ControlAction::Roll_Right)).kind1, BindingKind::None);
    EXPECT_EQ(controls.binding(act(ControlAction::Pitch_Down)).code1, 2);
    // A trigger axis stays one-sided: Brake keeps its own trigger.
    EXPECT_TRUE(controls.setBinding(act(ControlAction::Accelerate), BindingKind::Axis1, 4, 0));
    EXPECT_EQ(controls.binding(act(ControlAction::Brake)).kind1, BindingKind::None);
    EXPECT_EQ(controls.binding(act(ControlAction::Accelerate)).code1, 4);
}

TEST_F(ControlsTest, ResettingOneSchemeLeavesTheOthers)
{
    controls.setBinding(act(ControlAction::Chat), BindingKind::Key, keyIndex("K"), 0);
    controls.setCurrentScheme(1);
    controls.setBinding(act(ControlAction::Chat), BindingKind::Button1, 7, 0);
    controls.setDefaultsProfile1();
    EXPECT_EQ(controls.binding(1, act(ControlAction::Chat)).kind1, BindingKind::None);
    EXPECT_EQ(controls.binding(0, act(ControlAction::Chat)).code1, keyIndex("K"));
}

TEST_F(ControlsTest, DefaultsBindNoInputTwiceInAGroup)
{
    for (int scheme = 0; scheme < Controls::kSchemeCount; ++scheme) {
        for (int a = 0; a < kControlActionCount; ++a) {
            const ActionBinding& x = controls.binding(scheme, a);
            for (int b = a + 1; b < kControlActionCount; ++b) {
                if ((a >= 28) != (b >= 28) || x.pairedAction == b)
                    continue;
                const ActionBinding& y = controls.binding(scheme, b);
                for (auto [kind, code] : {std::pair{x.kind1, x.code1}, std::pair{x.kind2, x.code2}}) {
                    if (kind == BindingKind::None)
                        continue;
                    EXPECT_FALSE(kind == y.kind1 && code == y.code1) << scheme << " " << a << " " << b;
                    EXPECT_FALSE(kind == y.kind2 && code == y.code2) << scheme << " " << a << " " << b;
                }
            }
        }
    }
}

TEST_F(ControlsTest, BindingTextFallsBackToTheSecondSlot)
{
    std::u16string text;
    EXPECT_TRUE(controls.getActionBindingText(act(ControlAction::Eject), text));
    EXPECT_EQ(text, u"J");
    controls.setCurrentScheme(1);
    EXPECT_TRUE(controls.getActionBindingText(act(ControlAction::Eject), text));
    EXPECT_EQ(text, u"J");
    EXPECT_TRUE(controls.getActionBindingText(act(ControlAction::Weapon_1), text));
    EXPECT_EQ(text, u"A");
    controls.setBinding(act(ControlAction::Eject), BindingKind::None, -1, 1);
    EXPECT_FALSE(controls.getActionBindingText(act(ControlAction::Eject), text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(controls.getActionBindingText(99, text));
}

TEST_F(ControlsTest, KeysSteerThrottleAndFireThroughTheHandler)
{
    settings.invertPitch = 1;
    settings.keyboardSensitivity = 1.5f;
    input.keyDown(SDL_SCANCODE_W);
    input.keyDown(SDL_SCANCODE_A);
    input.keyDown(SDL_SCANCODE_LSHIFT);
    input.keyDown(SDL_SCANCODE_SPACE);
    frame();
    EXPECT_FLOAT_EQ(handler.lastFlight.pitch, 1.0f);  // nose down, inverted, clamped
    EXPECT_FLOAT_EQ(handler.lastFlight.roll, -1.0f);
    EXPECT_FLOAT_EQ(handler.lastFlight.throttle, 1.0f);
    EXPECT_TRUE(handler.lastFlight.heldActions & (1u << act(ControlAction::Weapon_1)));
    ASSERT_EQ(handler.gameActions.size(), 1u);
    EXPECT_EQ(handler.gameActions[0], std::make_pair(0, true));
    input.keyUp(SDL_SCANCODE_SPACE);
    frame();
    EXPECT_EQ(handler.gameActions.back(), std::make_pair(0, false));
}

TEST_F(ControlsTest, HoldingLookTurnsTheViewInsteadOfThePlane)
{
    input.keyDown(SDL_SCANCODE_X);
    input.keyDown(SDL_SCANCODE_E);
    frame();
    EXPECT_FLOAT_EQ(handler.lastFlight.yaw, 0.0f);
    EXPECT_FLOAT_EQ(handler.lastFlight.lookX, 1.0f);
}

TEST_F(ControlsTest, ControllerAxesSplitIntoTheirActions)
{
    controls.setCurrentScheme(1);
    input.controllerAdded(3, "Pad", 6, 15, true);
    input.joystickAxis(3, 0, -32767);  // stick left
    input.joystickAxis(3, 1, 2000);    // inside the dead zone
    frame();
    EXPECT_FLOAT_EQ(handler.lastFlight.roll, -1.0f);
    EXPECT_FLOAT_EQ(handler.lastFlight.pitch, 0.0f);
    EXPECT_FLOAT_EQ(handler.lastFlight.throttle, 0.0f);  // triggers at rest
    input.joystickAxis(3, 5, 32767);
    frame();
    EXPECT_FLOAT_EQ(handler.lastFlight.throttle, 1.0f);
    // A trigger reports 0..32767: let go it is no throttle, half way half.
    input.joystickAxis(3, 5, 0);
    frame();
    EXPECT_FLOAT_EQ(handler.lastFlight.throttle, 0.0f);
    input.joystickAxis(3, 5, 16384);
    frame();
    EXPECT_NEAR(handler.lastFlight.throttle, 0.5f, 0.01f);
}

TEST_F(ControlsTest, DisabledActionsProduceNothing)
{
    controls.enabledActions = 0;
    input.keyDown(SDL_SCANCODE_W);
    input.keyDown(SDL_SCANCODE_SPACE);
    input.keyDown(SDL_SCANCODE_RETURN);
    frame();
    controls.updateMenuActions(0.016f);
    EXPECT_FLOAT_EQ(handler.lastFlight.pitch, 0.0f);
    EXPECT_TRUE(handler.gameActions.empty());
    EXPECT_TRUE(handler.menuActions.empty());
    controls.dispatchActions(true, 0);
    EXPECT_TRUE(handler.gameActions.empty());

    // The tutorials' base mask lets only Menu and the six menu actions through.
    controls.enabledActions = (std::uint64_t{7} << 32) | 0xE1000000u;
    for (int a = 0; a < kControlActionCount; ++a) {
        const bool open = a == act(ControlAction::Menu) || a >= act(ControlAction::Menu_Up);
        EXPECT_EQ(controls.actionEnabled(a), open) << a;
    }
}

TEST_F(ControlsTest, AnActionDisabledWhileHeldStillEnds)
{
    input.keyDown(SDL_SCANCODE_SPACE);
    frame();
    ASSERT_EQ(handler.gameActions.size(), 1u);
    // A tutorial step closes the weapons while the trigger is held.
    controls.enabledActions &= ~(std::uint64_t{1} << act(ControlAction::Weapon_1));
    frame();
    ASSERT_EQ(handler.gameActions.size(), 2u);
    EXPECT_EQ(handler.gameActions[1], std::make_pair(0, false));
    EXPECT_FALSE(handler.lastFlight.heldActions & (1u << act(ControlAction::Weapon_1)));
    frame();
    EXPECT_EQ(handler.gameActions.size(), 2u);
}

TEST_F(ControlsTest, HideHudAndConsoleDispatchNothing)
{
    controls.dispatchActions(true, 7);
    controls.dispatchActions(true, 17);
    controls.dispatchActions(true, 27);
    controls.dispatchActions(true, -1);
    EXPECT_TRUE(handler.gameActions.empty());
    controls.dispatchActions(true, 3);
    EXPECT_EQ(handler.gameActions.size(), 1u);
}

TEST_F(ControlsTest, AQuickTapFiresOnceAndEndsTheNextFrame)
{
    input.keyDown(SDL_SCANCODE_R);
    input.keyUp(SDL_SCANCODE_R);
    frame();
    frame();
    frame();
    const int radar = act(ControlAction::Radar) - kFirstGameAction;
    ASSERT_EQ(handler.gameActions.size(), 2u);
    EXPECT_EQ(handler.gameActions[0], std::make_pair(radar, true));
    EXPECT_EQ(handler.gameActions[1], std::make_pair(radar, false));
}

TEST_F(ControlsTest, MenuDirectionsRepeatAfterTheirDelayThenAtTheirInterval)
{
    const float dt = 0.01f;
    std::vector<float> fired;
    input.keyDown(SDL_SCANCODE_DOWN);
    for (int i = 0; i < 100; ++i) {
        const std::size_t before = handler.menuActions.size();
        controls.updateMenuActions(dt);
        input.endFrame();
        if (handler.menuActions.size() > before)
            fired.push_back(static_cast<float>(i) * dt);
    }
    ASSERT_EQ(fired.size(), 7u);  // the press, then 0.4, 0.5 ... 0.9 s
    EXPECT_FLOAT_EQ(fired[0], 0.0f);
    EXPECT_NEAR(fired[1], 0.4f, 0.015f);
    for (std::size_t i = 2; i < fired.size(); ++i)
        EXPECT_NEAR(fired[i] - fired[i - 1], 0.1f, 0.015f);
    EXPECT_EQ(handler.menuActions[0], ControlAction::Menu_Down);

    // Select fires once per press, however long it is held.
    handler.menuActions.clear();
    input.keyDown(SDL_SCANCODE_RETURN);
    input.keyUp(SDL_SCANCODE_DOWN);
    for (int i = 0; i < 100; ++i) {
        controls.updateMenuActions(dt);
        input.endFrame();
    }
    ASSERT_EQ(handler.menuActions.size(), 1u);
    EXPECT_EQ(handler.menuActions[0], ControlAction::Menu_Select);
}

TEST_F(ControlsTest, MenuBackFiresAtMostOncePerFiveFrames)
{
    const int back = act(ControlAction::Menu_Back) - kFirstGameAction;
    int fired = 0;
    for (int frameIndex = 0; frameIndex < 10; ++frameIndex) {
        const std::size_t before = handler.menuActions.size();
        controls.updateMenuActions(0.016f);
        controls.dispatchActions(true, back);  // e.g. a HUD back button pressed every frame
        fired += handler.menuActions.size() > before;
    }
    EXPECT_EQ(fired, 2);
}

// A controller's d-pad and A / B buttons work in the menus whichever scheme
// the player flies with; the keys keep working beside them.
TEST_F(ControlsTest, AControllerMovesThroughTheMenusInEveryScheme)
{
    for (int scheme : {0, 2, 3}) {
        SCOPED_TRACE(scheme);
        controls.setCurrentScheme(scheme);
        input.controllerAdded(7, "Pad", 6, 15, true);
        handler.menuActions.clear();
        for (int button : {13, 0, 1}) {   // d-pad left, A, B
            input.joystickButton(7, button, true);
            controls.updateMenuActions(0.016f);
            input.endFrame();
            input.joystickButton(7, button, false);
            for (int i = 0; i < 6; ++i) {
                controls.updateMenuActions(0.016f);
                input.endFrame();
            }
        }
        input.keyDown(Input::keyInfo(keyIndex("Up")).keyCode, false);
        controls.updateMenuActions(0.016f);
        input.keyUp(Input::keyInfo(keyIndex("Up")).keyCode);
        controls.updateMenuActions(0.016f);
        EXPECT_EQ(handler.menuActions, (std::vector<ControlAction>{ControlAction::Menu_Left, ControlAction::Menu_Select,
                                                                   ControlAction::Menu_Back, ControlAction::Menu_Up}));
        input.controllerRemoved(7);
    }
}

struct ControlsFileTest : ControlsTest {
    TempDir dir;
    void SetUp() override
    {
        ControlsTest::SetUp();
        setSaveFolder(dir.folder());
    }
    void TearDown() override { setSaveFolder(""); }
};

TEST_F(ControlsFileTest, BindingsAndAxisFlagsRoundTrip)
{
    controls.setBinding(act(ControlAction::Zoom), BindingKind::Mouse, 4, 1);
    controls.setCurrentScheme(2);
    controls.setBinding(act(ControlAction::Boost), BindingKind::Button2, 31, 0);
    input.joystick(1).invertedAxis[7] = 1;
    input.joystick(0).triggerAxis[4] = 0;
    controls.save();

    Input otherInput;
    Settings otherSettings;
    otherSettings.controlDevice = 2;
    Controls loaded(otherInput, otherSettings);
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(loaded.currentScheme(), 2);
    EXPECT_EQ(loaded.toText(), controls.toText());
    EXPECT_EQ(loaded.binding(0, act(ControlAction::Zoom)).kind2, BindingKind::Mouse);
    EXPECT_EQ(loaded.binding(2, act(ControlAction::Boost)).code1, 31);
    EXPECT_EQ(otherInput.joystick(1).invertedAxis[7], 1);
    EXPECT_EQ(otherInput.joystick(0).triggerAxis[4], 0);
}

TEST_F(ControlsFileTest, MalformedFilesGiveTheDefaults)
{
    const Controls defaults(input, settings);
    const std::string defaultText = defaults.toText();
    controls.setBinding(act(ControlAction::Chat), BindingKind::Key, keyIndex("K"), 0);
    dir.write(Controls::kFileName, "<controls><scheme index=\"0\"><action name=\"Chat\"");
    EXPECT_FALSE(controls.load());
    EXPECT_EQ(controls.toText(), defaultText);
    std::filesystem::remove(dir.path() / Controls::kFileName);
    EXPECT_FALSE(controls.load());
    EXPECT_EQ(controls.toText(), defaultText);
}

TEST_F(ControlsFileTest, AnOversizedFileGivesTheDefaults)
{
    const std::string defaultText = controls.toText();
    controls.setBinding(act(ControlAction::Chat), BindingKind::Key, keyIndex("K"), 0);
    controls.save();
    std::filesystem::resize_file(dir.path() / Controls::kFileName, Controls::kMaxFileBytes + 1);
    EXPECT_FALSE(controls.load());
    EXPECT_EQ(controls.toText(), defaultText);
}

TEST_F(ControlsFileTest, BadEntriesKeepTheirDefaultsAndGoodOnesApply)
{
    const ActionBinding chat = controls.binding(act(ControlAction::Chat));
    const std::string text = R"(<controls version="1">
  <scheme index="0">
    <action name="Chat" kind1="9" code1="1" kind2="-1" code2="-1"/>
    <action name="Radar" kind1="4" code1="200" kind2="-1" code2="-1"/>
    <action name="Menu_Back" kind1="5" code1="0" kind2="-1" code2="-1"/>
    <action name="Flaps" kind1="4" code1="5" kind2="-1" code2="-1"/>
    <action name="Zoom" kind1="4" code1="x" kind2="-1" code2="-1"/>
    <action name="Eject" kind1="2" code1="5" kind2="4" code2="20"/>
  </scheme>
  <scheme index="3"><action name="Eject" kind1="4" code1="5" kind2="-1" code2="-1"/></scheme>
  <joystick slot="0"><axis index="9" trigger="1" inverted="1"/><axis index="1" trigger="2" inverted="0"/>
    <axis index="2" trigger="1" inverted="1"/></joystick>
  <joystick slot="2"><axis index="0" trigger="1" inverted="1"/></joystick>
</controls>)";
    ASSERT_TRUE(controls.loadFromText(text));
    EXPECT_EQ(controls.binding(act(ControlAction::Chat)).code1, chat.code1);
    EXPECT_EQ(controls.binding(act(ControlAction::Radar)).code1, keyIndex("R"));
    EXPECT_EQ(controls.binding(act(ControlAction::Menu_Back)).kind1, BindingKind::None);
    EXPECT_EQ(controls.binding(act(ControlAction::Zoom)).code1, keyIndex("Z"));
    EXPECT_EQ(controls.binding(act(ControlAction::Eject)).kind1, BindingKind::Button1);
    EXPECT_EQ(controls.binding(act(ControlAction::Eject)).code2, 20);
    EXPECT_EQ(controls.binding(3, act(ControlAction::Eject)).code1, keyIndex("J"));
    EXPECT_EQ(input.joystick(0).triggerAxis[1], 0);
    EXPECT_EQ(input.joystick(0).triggerAxis[2], 1);
    EXPECT_EQ(input.joystick(0).invertedAxis[2], 1);
}

TEST_F(ControlsFileTest, ShutDownWritesBothFilesWithThePlayersOwnValues)
{
    settings.controlType = 1;
    settings.forceControlType(0);
    controls.setBinding(act(ControlAction::Chat), BindingKind::Key, keyIndex("K"), 0);
    saveSettingsAndControls(settings, controls);
    Settings loadedSettings;
    ASSERT_TRUE(loadedSettings.load());
    EXPECT_EQ(loadedSettings.controlType, 1);
    Input otherInput;
    Controls loaded(otherInput, loadedSettings);
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(loaded.binding(0, act(ControlAction::Chat)).code1, keyIndex("K"));
}
}  // namespace
