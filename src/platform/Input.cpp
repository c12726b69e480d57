#include "platform/Input.h"

#include <SDL_scancode.h>
#include <utf8.h>

#include <algorithm>
#include <cmath>

namespace {
// Index order is part of "controls.cfg" and of the pages that scan keys:
// 0 is "0", 48 Esc, 49 the grave accent, 52 Backspace, 71 Up, 72 Down.
constexpr KeyInfo kKeyTable[Input::kKeyCount] = {
    {"0", "0", SDL_SCANCODE_0}, {"1", "1", SDL_SCANCODE_1}, {"2", "2", SDL_SCANCODE_2},
    {"3", "3", SDL_SCANCODE_3}, {"4", "4", SDL_SCANCODE_4}, {"5", "5", SDL_SCANCODE_5},
    {"6", "6", SDL_SCANCODE_6}, {"7", "7", SDL_SCANCODE_7}, {"8", "8", SDL_SCANCODE_8},
    {"9", "9", SDL_SCANCODE_9},
    {"A", "A", SDL_SCANCODE_A}, {"B", "B", SDL_SCANCODE_B}, {"C", "C", SDL_SCANCODE_C},
    {"D", "D", SDL_SCANCODE_D}, {"E", "E", SDL_SCANCODE_E}, {"F", "F", SDL_SCANCODE_F},
    {"G", "G", SDL_SCANCODE_G}, {"H", "H", SDL_SCANCODE_H}, {"I", "I", SDL_SCANCODE_I},
    {"J", "J", SDL_SCANCODE_J}, {"K", "K", SDL_SCANCODE_K}, {"L", "L", SDL_SCANCODE_L},
    {"M", "M", SDL_SCANCODE_M}, {"N", "N", SDL_SCANCODE_N}, {"O", "O", SDL_SCANCODE_O},
    {"P", "P", SDL_SCANCODE_P}, {"Q", "Q", SDL_SCANCODE_Q}, {"R", "R", SDL_SCANCODE_R},
    {"S", "S", SDL_SCANCODE_S}, {"T", "T", SDL_SCANCODE_T}, {"U", "U", SDL_SCANCODE_U},
    {"V", "V", SDL_SCANCODE_V}, {"W", "W", SDL_SCANCODE_W}, {"X", "X", SDL_SCANCODE_X},
    {"Y", "Y", SDL_SCANCODE_Y}, {"Z", "Z", SDL_SCANCODE_Z},
    {"F1", "F1", SDL_SCANCODE_F1}, {"F2", "F2", SDL_SCANCODE_F2}, {"F3", "F3", SDL_SCANCODE_F3},
    {"F4", "F4", SDL_SCANCODE_F4}, {"F5", "F5", SDL_SCANCODE_F5}, {"F6", "F6", SDL_SCANCODE_F6},
    {"F7", "F7", SDL_SCANCODE_F7}, {"F8", "F8", SDL_SCANCODE_F8}, {"F9", "F9", SDL_SCANCODE_F9},
    {"F10", "F10", SDL_SCANCODE_F10}, {"F11", "F11", SDL_SCANCODE_F11}, {"F12", "F12", SDL_SCANCODE_F12},
    {"Esc", "Esc", SDL_SCANCODE_ESCAPE}, {"`", "Grave", SDL_SCANCODE_GRAVE},
    {"-", "Minus", SDL_SCANCODE_MINUS}, {"=", "Equals", SDL_SCANCODE_EQUALS},
    {"Backspace", "Backspace", SDL_SCANCODE_BACKSPACE}, {"Tab", "Tab", SDL_SCANCODE_TAB},
    {"[", "LBracket", SDL_SCANCODE_LEFTBRACKET}, {"]", "RBracket", SDL_SCANCODE_RIGHTBRACKET},
    {"\\", "Backslash", SDL_SCANCODE_BACKSLASH}, {";", "Semicolon", SDL_SCANCODE_SEMICOLON},
    {"'", "Apostrophe", SDL_SCANCODE_APOSTROPHE}, {"Enter", "Enter", SDL_SCANCODE_RETURN},
    {",", "Comma", SDL_SCANCODE_COMMA}, {".", "Period", SDL_SCANCODE_PERIOD},
    {"/", "Slash", SDL_SCANCODE_SLASH}, {"Space", "Space", SDL_SCANCODE_SPACE},
    {"LShift", "LShift", SDL_SCANCODE_LSHIFT}, {"RShift", "RShift", SDL_SCANCODE_RSHIFT},
    {"LCtrl", "LCtrl", SDL_SCANCODE_LCTRL}, {"RCtrl", "RCtrl", SDL_SCANCODE_RCTRL},
    {"LAlt", "LAlt", SDL_SCANCODE_LALT}, {"RAlt", "RAlt", SDL_SCANCODE_RALT},
    {"CapsLock", "CapsLock", SDL_SCANCODE_CAPSLOCK},
    {"Up", "Up", SDL_SCANCODE_UP}, {"Down", "Down", SDL_SCANCODE_DOWN},
    {"Left", "Left", SDL_SCANCODE_LEFT}, {"Right", "Right", SDL_SCANCODE_RIGHT},
    {"Insert", "Insert", SDL_SCANCODE_INSERT}, {"Delete", "Delete", SDL_SCANCODE_DELETE},
    {"Home", "Home", SDL_SCANCODE_HOME}, {"End", "End", SDL_SCANCODE_END},
    {"PgUp", "PgUp", SDL_SCANCODE_PAGEUP}, {"PgDn", "PgDn", SDL_SCANCODE_PAGEDOWN},
    {"Num0", "Num0", SDL_SCANCODE_KP_0}, {"Num1", "Num1", SDL_SCANCODE_KP_1},
    {"Num2", "Num2", SDL_SCANCODE_KP_2}, {"Num3", "Num3", SDL_SCANCODE_KP_3},
    {"Num4", "Num4", SDL_SCANCODE_KP_4}, {"Num5", "Num5", SDL_SCANCODE_KP_5},
    {"Num6", "Num6", SDL_SCANCODE_KP_6}, {"Num7", "Num7", SDL_SCANCODE_KP_7},
    {"Num8", "Num8", SDL_SCANCODE_KP_8}, {"Num9", "Num9", SDL_SCANCODE_KP_9},
    {"Num+", "NumPlus", SDL_SCANCODE_KP_PLUS}, {"Num-", "NumMinus", SDL_SCANCODE_KP_MINUS},
    {"Num*", "NumStar", SDL_SCANCODE_KP_MULTIPLY}, {"Num/", "NumSlash", SDL_SCANCODE_KP_DIVIDE},
    {"NumEnter", "NumEnter", SDL_SCANCODE_KP_ENTER},
};

// Button and axis names of the standard controller layout (SDL's order).
constexpr const char* kControllerButtons[] = {"A", "B", "X", "Y", "Back", "Guide", "Start", "LStick",
                                              "RStick", "LB", "RB", "DUp", "DDown", "DLeft", "DRight"};
constexpr const char* kControllerAxes[] = {"LX", "LY", "RX", "RY", "LT", "RT"};
constexpr int kControllerTriggerFirst = 4;  // LT and RT rest at 0 instead of the middle

}  // namespace

int JoystickDevice::findMovedAxis() const
{
    for (int axis = 0; axis < kMaxAxes; ++axis) {
        if (std::fabs(axes[axis] - references[axis]) >= kMovedAxisThreshold)
            return axis;
    }
    return -1;
}

float JoystickDevice::axisValue(int axis) const
{
    if (axis < 0 || axis >= kMaxAxes)
        return 0.0f;
    return invertedAxis[axis] ? -axes[axis] : axes[axis];
}

std::string JoystickDevice::buttonName(int button) const
{
    if (button < 0 || button >= kMaxButtons)
        return {};
    if (usesControllerNames() && button < static_cast<int>(std::size(kControllerButtons)))
        return kControllerButtons[button];
    return "Btn" + std::to_string(button);
}

std::string JoystickDevice::axisName(int axis) const
{
    if (axis < 0 || axis >= kMaxAxes)
        return {};
    if (usesControllerNames() && axis < static_cast<int>(std::size(kControllerAxes)))
        return kControllerAxes[axis];
    return "Axis" + std::to_string(axis);
}

void JoystickDevice::setDefaultAxisFlags()
{
    // Controller triggers rest at one end: they bind as one-sided axes.
    triggerAxis.fill(0);
    invertedAxis.fill(0);
    triggerAxis[kControllerTriggerFirst] = triggerAxis[kControllerTriggerFirst + 1] = 1;
}

Input::Input()
{
    for (auto& device : m_joysticks)
        device.setDefaultAxisFlags();
}

Input& input()
{
    static Input state;
    return state;
}

const KeyInfo& Input::keyInfo(int index)
{
    return kKeyTable[index >= 0 && index < kKeyCount ? index : 0];
}

int Input::keyIndexOfScancode(int scancode)
{
    for (int i = 0; i < kKeyCount; ++i) {
        if (kKeyTable[i].keyCode == scancode)
            return i;
    }
    return -1;
}

int Input::keyIndexOfBindingName(std::string_view name)
{
    for (int i = 0; i < kKeyCount; ++i) {
        if (name == kKeyTable[i].bindingName)
            return i;
    }
    return -1;
}

std::string Input::mouseButtonName(int button)
{
    static constexpr const char* kNames[] = {"Mouse L", "Mouse R", "Mouse M"};
    if (button < 0 || button >= kMouseButtonCount)
        return {};
    if (button < 3)
        return kNames[button];
    return "Mouse " + std::to_string(button + 1);
}

void Input::keyDown(int scancode, bool repeat)
{
    if (scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER) {
        if (!repeat)
            pushTyped(kTypedEnter);
    } else if (scancode == SDL_SCANCODE_BACKSPACE) {
        pushTyped(kTypedBackspace);
    }
    if (!repeat)
        m_keys.press(keyIndexOfScancode(scancode));
}

void Input::keyUp(int scancode)
{
    m_keys.release(keyIndexOfScancode(scancode));
}

void Input::mouseButton(int sdlButton, bool down)
{
    // SDL counts from 1 with middle before right; the game counts left, right, middle.
    int index = sdlButton - 1;
    if (sdlButton == 2)
        index = 2;
    else if (sdlButton == 3)
        index = 1;
    if (down)
        m_mouseButtons.press(index);
    else
        m_mouseButtons.release(index);
}

void Input::mouseMotion(int dx, int dy)
{
    m_mouseDx += dx;
    m_mouseDy += dy;
}

void Input::textInput(std::string_view utf8Text)
{
    auto it = utf8Text.begin();
    const auto end = utf8Text.end();
    while (it != end) {
        const auto bad = utf8::find_invalid(it, end);
        while (it != bad) {
            const char32_t character = utf8::unchecked::next(it);
            if (character >= 32 && character <= 255)
                pushTyped(character);
        }
        if (bad != end)
            it = bad + 1;  // a malformed byte types nothing
    }
}

void Input::pushTyped(char32_t character)
{
    if (m_typedCount < kTypedQueueSize)
        m_typed[m_typedCount++] = character;
}

char32_t Input::typedAt(int index) const
{
    return index >= 0 && index < m_typedCount ? m_typed[index] : 0;
}

char32_t Input::popTyped()
{
    if (m_typedCount == 0)
        return 0;
    const char32_t first = m_typed[0];
    std::copy(m_typed.begin() + 1, m_typed.begin() + m_typedCount, m_typed.begin());
    --m_typedCount;
    return first;
}

int Input::controllerAdded(int instanceId, std::string_view name, int axisCount, int buttonCount,
                           bool gameController)
{
    if (instanceId < 0 || deviceOf(instanceId))
        return -1;
    for (int slot = 0; slot < kJoystickSlots; ++slot) {
        JoystickDevice& device = m_joysticks[slot];
        if (device.connected())
            continue;
        device.instanceId = instanceId;
        device.gameController = gameController;
        device.name = std::string(name);
        device.axisCount = std::clamp(axisCount, 0, JoystickDevice::kMaxAxes);
        device.buttonCount = std::clamp(buttonCount, 0, JoystickDevice::kMaxButtons);
        device.buttons.reset();
        device.axes.fill(0.0f);
        if (gameController) {
            device.axes[kControllerTriggerFirst] = device.axes[kControllerTriggerFirst + 1] = -1.0f;
        }
        device.references = device.axes;
        return slot;
    }
    return -1;
}

void Input::controllerRemoved(int instanceId)
{
    if (JoystickDevice* device = deviceOf(instanceId)) {
        device->instanceId = -1;
        device->name.clear();
        device->axisCount = device->buttonCount = 0;
        device->buttons.reset();
        device->axes.fill(0.0f);
        device->references.fill(0.0f);
    }
}

void Input::joystickAxis(int instanceId, int axis, int value)
{
    JoystickDevice* device = deviceOf(instanceId);
    if (!device || axis < 0 || axis >= JoystickDevice::kMaxAxes)
        return;
    float normalised = std::clamp(static_cast<float>(value) / 32767.0f, -1.0f, 1.0f);
    // A controller trigger reports 0..32767: spread it over -1..1 like a raw joystick axis.
    if (device->gameController && axis >= kControllerTriggerFirst && axis < kControllerTriggerFirst + 2)
        normalised = std::clamp(normalised * 2.0f - 1.0f, -1.0f, 1.0f);
    device->axes[axis] = normalised;
}

void Input::joystickButton(int instanceId, int button, bool down)
{
    JoystickDevice* device = deviceOf(instanceId);
    if (!device)
        return;
    if (down)
        device->buttons.press(button);
    else
        device->buttons.release(button);
}

void Input::endFrame()
{
    m_keys.endFrame();
    m_mouseButtons.endFrame();
    for (auto& device : m_joysticks)
        device.buttons.endFrame();
    m_mouseDx = m_mouseDy = 0;
}

JoystickDevice& Input::joystick(int slot)
{
    return m_joysticks[slot >= 0 && slot < kJoystickSlots ? slot : 0];
}

const JoystickDevice& Input::joystick(int slot) const
{
    return m_joysticks[slot >= 0 && slot < kJoystickSlots ? slot : 0];
}

JoystickDevice* Input::deviceOf(int instanceId)
{
    if (instanceId < 0)
        return nullptr;
    for (auto& device : m_joysticks) {
        if (device.instanceId == instanceId)
            return &device;
    }
    return nullptr;
}

bool Input::anyInputReleased() const
{
    for (int key = 1; key < kKeyCount; ++key) {
        if (m_keys.released(key))
            return true;
    }
    for (int button = 0; button < kMouseButtonCount; ++button) {
        if (m_mouseButtons.released(button))
            return true;
    }
    for (const auto& device : m_joysticks) {
        if (!device.connected())
            continue;
        for (int button = 0; button < JoystickDevice::kMaxButtons; ++button) {
            if (device.buttons.released(button))
                return true;
        }
    }
    return false;
}
