#include "platform/Input.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

namespace {
const int kKeyW = Input::keyIndexOfBindingName("W");

TEST(InputKeys, TheKeyTableKeepsItsFixedIndices)
{
    EXPECT_STREQ(Input::keyInfo(0).displayName, "0");
    EXPECT_EQ(Input::keyInfo(Input::kKeyEsc).keyCode, SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(Input::keyInfo(Input::kKeyGrave).keyCode, SDL_SCANCODE_GRAVE);
    EXPECT_EQ(Input::keyInfo(Input::kKeyBackspace).keyCode, SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(Input::keyInfo(Input::kKeyUp).keyCode, SDL_SCANCODE_UP);
    EXPECT_EQ(Input::keyInfo(Input::kKeyDown).keyCode, SDL_SCANCODE_DOWN);
    EXPECT_EQ(Input::keyIndexOfScancode(SDL_SCANCODE_PRINTSCREEN), -1);
    for (int i = 0; i < Input::kKeyCount; ++i)
        EXPECT_EQ(Input::keyIndexOfBindingName(Input::keyInfo(i).bindingName), i);
}

TEST(InputKeys, APressAndReleaseInsideOneFrameIsDownForOneFrame)
{
    Input in;
    in.keyDown(SDL_SCANCODE_W);
    in.keyUp(SDL_SCANCODE_W);
    EXPECT_TRUE(in.keys().pressed(kKeyW));
    in.endFrame();
    EXPECT_FALSE(in.keys().down(kKeyW));
    EXPECT_TRUE(in.keys().released(kKeyW));
    in.endFrame();
    EXPECT_FALSE(in.keys().released(kKeyW));
}

TEST(InputKeys, AHeldKeyStaysDownAcrossFramesAndRepeatsDoNotRestartIt)
{
    Input in;
    in.keyDown(SDL_SCANCODE_W);
    in.endFrame();
    in.keyDown(SDL_SCANCODE_W, true);
    EXPECT_TRUE(in.keys().down(kKeyW));
    EXPECT_FALSE(in.keys().pressed(kKeyW));
    in.keyUp(SDL_SCANCODE_W);
    EXPECT_TRUE(in.keys().released(kKeyW));
}

TEST(InputReleases, AnyInputReleasedSeesKeysButtonsAndMouse)
{
    Input in;
    EXPECT_FALSE(in.anyInputReleased());
    in.keyDown(SDL_SCANCODE_SPACE);
    in.endFrame();
    in.keyUp(SDL_SCANCODE_SPACE);
    EXPECT_TRUE(in.anyInputReleased());
    in.endFrame();
    EXPECT_FALSE(in.anyInputReleased());

    in.mouseButton(3, true);  // SDL's right button is the game's button 1
    EXPECT_TRUE(in.mouseButtons().down(1));
    in.endFrame();
    in.mouseButton(3, false);
    EXPECT_TRUE(in.anyInputReleased());
    in.endFrame();

    const int id = 42;
    ASSERT_EQ(in.controllerAdded(id, "Pad", 6, 15, true), 0);
    in.joystickButton(id, 3, true);
    in.endFrame();
    in.joystickButton(id, 3, false);
    EXPECT_TRUE(in.anyInputReleased());
}

TEST(InputJoysticks, SlotsFillInOrderAndFreeOnRemoval)
{
    Input in;
    EXPECT_EQ(in.controllerAdded(5, "One", 2, 4, false), 0);
    EXPECT_EQ(in.controllerAdded(6, "Two", 2, 4, false), 1);
    EXPECT_EQ(in.controllerAdded(7, "Three", 2, 4, false), -1);
    EXPECT_EQ(in.controllerAdded(5, "One again", 2, 4, false), -1);
    in.joystickButton(5, 1, true);
    in.controllerRemoved(5);
    EXPECT_FALSE(in.joystick(0).connected());
    EXPECT_FALSE(in.joystick(0).buttons.down(1));
    EXPECT_EQ(in.controllerAdded(7, "Three", 40, 99, false), 0);
    EXPECT_EQ(in.joystick(0).axisCount, JoystickDevice::kMaxAxes);
    EXPECT_EQ(in.joystick(0).buttonCount, JoystickDevice::kMaxButtons);
    // Unknown devices, axes and buttons change nothing.
    in.joystickAxis(99, 0, 32767);
    in.joystickAxis(7, 8, 32767);
    in.joystickButton(7, 32, true);
    EXPECT_EQ(in.joystick(0).findMovedAxis(), -1);
}

TEST(InputJoysticks, ControllerTriggersSpreadOverTheFullRange)
{
    Input in;
    in.controllerAdded(1, "Pad", 6, 15, true);
    EXPECT_FLOAT_EQ(in.joystick(0).axes[5], -1.0f);
    in.joystickAxis(1, 5, 32767);
    EXPECT_FLOAT_EQ(in.joystick(0).axes[5], 1.0f);
    in.joystickAxis(1, 0, -32768);
    EXPECT_FLOAT_EQ(in.joystick(0).axes[0], -1.0f);
    in.joystick(0).invertedAxis[0] = 1;
    EXPECT_FLOAT_EQ(in.joystick(0).axisValue(0), 1.0f);
    EXPECT_EQ(in.joystick(0).axisName(5), "RT");
    EXPECT_EQ(in.joystick(0).buttonName(20), "Btn20");
}

TEST(InputJoysticks, FindMovedAxisNeedsThreeQuartersOfTravel)
{
    JoystickDevice device;
    device.references[3] = 0.5f;
    device.axes[3] = 0.5f - 0.74f;
    EXPECT_EQ(device.findMovedAxis(), -1);
    device.axes[3] = 0.5f - 0.75f;
    EXPECT_EQ(device.findMovedAxis(), 3);
    device.axes[1] = 1.0f;
    EXPECT_EQ(device.findMovedAxis(), 1);
    device.captureReferences();
    EXPECT_EQ(device.findMovedAxis(), -1);
}

TEST(InputText, TheTypedQueueKeepsSixteenAndDropsTheRest)
{
    Input in;
    in.textInput("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(in.typedCount(), Input::kTypedQueueSize);
    EXPECT_EQ(in.typedAt(15), U'p');
    EXPECT_EQ(in.typedAt(16), 0u);
    EXPECT_EQ(in.popTyped(), U'a');
    EXPECT_EQ(in.typedAt(0), U'b');
    EXPECT_EQ(in.typedCount(), 15);
}

TEST(InputText, EnterAndBackspaceAreTypedAndOnlyLatinOneIsQueued)
{
    Input in;
    in.textInput("\xC3\xA9\xE2\x82\xAC\xFF\xC3");  // e-acute, euro (dropped), two broken bytes
    in.keyDown(SDL_SCANCODE_RETURN);
    in.keyDown(SDL_SCANCODE_RETURN, true);
    in.keyDown(SDL_SCANCODE_BACKSPACE, true);
    ASSERT_EQ(in.typedCount(), 3);
    EXPECT_EQ(in.popTyped(), U'\u00e9');
    EXPECT_EQ(in.popTyped(), Input::kTypedEnter);
    EXPECT_EQ(in.popTyped(), Input::kTypedBackspace);
    EXPECT_EQ(in.popTyped(), 0u);
}

TEST(InputMouse, MotionSumsUntilTheFrameEnds)
{
    Input in;
    in.mouseMotion(3, -2);
    in.mouseMotion(4, 1);
    EXPECT_EQ(in.mouseDx(), 7);
    EXPECT_EQ(in.mouseDy(), -1);
    in.endFrame();
    EXPECT_EQ(in.mouseDx(), 0);
    in.mouseButton(99, true);
    in.mouseButton(0, true);
    EXPECT_EQ(Input::mouseButtonName(2), "Mouse M");
}
}  // namespace
