#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Button states of one device for this frame and the previous one. A press
// and release inside one frame still reads as down for that frame (and as
// released the next), so quick taps are never lost.
template <int N>
class ButtonStates {
public:
    static constexpr int kCount = N;
    void press(int index)
    {
        if (!valid(index))
            return;
        m_held[index] = m_current[index] = 1;
        m_pressedThisFrame[index] = 1;
    }
    void release(int index)
    {
        if (!valid(index))
            return;
        m_held[index] = 0;
        if (!m_pressedThisFrame[index])
            m_current[index] = 0;
    }
    bool down(int index) const { return valid(index) && m_current[index]; }
    bool wasDown(int index) const { return valid(index) && m_previous[index]; }
    bool pressed(int index) const { return down(index) && !wasDown(index); }
    bool released(int index) const { return !down(index) && wasDown(index); }
    // Current becomes previous; current takes what is physically held now.
    void endFrame()
    {
        m_previous = m_current;
        m_current = m_held;
        m_pressedThisFrame.fill(0);
    }
    // Forgets both frames, e.g. when a text keyboard takes over the keys.
    void clear()
    {
        m_current.fill(0);
        m_previous.fill(0);
        m_pressedThisFrame.fill(0);
    }
    // Forgets everything held too: a device that went away.
    void reset()
    {
        clear();
        m_held.fill(0);
    }

private:
    static bool valid(int index) { return index >= 0 && index < N; }
    std::array<std::uint8_t, N> m_current{}, m_previous{}, m_held{}, m_pressedThisFrame{};
};

// One key of the key table: what the player sees, the name in "controls.cfg",
// and the USB-HID scancode (layout-independent, so WASD stays in place on any layout).
struct KeyInfo {
    const char* displayName;
    const char* bindingName;
    int keyCode;
};

// A joystick or game controller in one of the two slots.
struct JoystickDevice {
    static constexpr int kMaxAxes = 8;
    static constexpr int kMaxButtons = 32;
    static constexpr float kMovedAxisThreshold = 0.75f;

    int instanceId = -1;         // the device layer's instance id; -1 while the slot is empty
    bool gameController = false; // opened through the controller layer (fixed button names)
    std::string name;            // 8-bit device name
    int axisCount = 0, buttonCount = 0;
    ButtonStates<kMaxButtons> buttons;
    std::array<float, kMaxAxes> axes{};       // -1..1, as the device reports them
    std::array<float, kMaxAxes> references{}; // axis values when a binding capture started
    // Kept with the bindings, so they outlive the device.
    std::array<std::uint8_t, kMaxAxes> triggerAxis{}, invertedAxis{};

    bool connected() const { return instanceId >= 0; }
    // The first axis that moved at least 0.75 from its reference, else -1.
    int findMovedAxis() const;
    void captureReferences() { references = axes; }
    // Triggers on the controller's two trigger axes, nothing inverted.
    void setDefaultAxisFlags();
    // The axis value with the inverted flag applied; 0 for a missing axis.
    float axisValue(int axis) const;
    // Display names of its 32 buttons and 8 axes; an empty slot names them as
    // a game controller would, since the default bindings are made for one.
    bool usesControllerNames() const { return gameController || !connected(); }
    std::string buttonName(int button) const;
    std::string axisName(int axis) const;
};

// The state of keys, mouse, joysticks and typed text. The window layer feeds
// it from its event pump (keyDown ... joystickButton) and calls endFrame()
// once a frame after every reader ran; nothing here touches the window layer itself, so
// tests drive it without a window.
class Input {
public:
    static constexpr int kKeyCount = 96;
    static constexpr int kKeyEsc = 48, kKeyGrave = 49, kKeyBackspace = 52, kKeyUp = 71, kKeyDown = 72;
    static constexpr int kMouseButtonCount = 32;
    static constexpr int kJoystickSlots = 2;
    static constexpr int kTypedQueueSize = 16;
    static constexpr char32_t kTypedEnter = 10, kTypedBackspace = 8;

    // Steering modes: who steers the player's airplane this frame.
    static constexpr int kSteerNone = -1, kSteerKeyboard = 0, kSteerJoystick = 1, kSteerMouse = 2,
                         kSteerTouchStick = 3, kSteerAutopilot = 4;

    Input();

    // Feeding, from the event pump.
    // scancode: a USB-HID usage number. repeat: a key-repeat event (only typing uses those).
    void keyDown(int scancode, bool repeat = false);
    void keyUp(int scancode);
    // button: the window layer's number (1 left, 2 middle, 3 right, 4 and 5 the extra buttons).
    void mouseButton(int sdlButton, bool down);
    // Relative motion in pixels; summed until endFrame().
    void mouseMotion(int dx, int dy);
    // UTF-8 text of a text-input event; characters 32..255 are queued.
    void textInput(std::string_view utf8);
    // Takes a slot for a newly opened device; -1 when both slots are in use.
    int controllerAdded(int instanceId, std::string_view name, int axisCount, int buttonCount, bool gameController);
    void controllerRemoved(int instanceId);
    // value: the raw axis value (-32768..32767; a controller's triggers 0..32767).
    void joystickAxis(int instanceId, int axis, int value);
    void joystickButton(int instanceId, int button, bool down);
    // Once a frame after the game read its input: current becomes previous.
    void endFrame();

    // Key table: index 0..95 (see KeyInfo).
    static const KeyInfo& keyInfo(int index);  // the first entry for an index out of range
    static int keyIndexOfScancode(int scancode);  // -1 when the key is not in the table
    static int keyIndexOfBindingName(std::string_view name);
    static std::string mouseButtonName(int button);

    const ButtonStates<kKeyCount>& keys() const { return m_keys; }
    const ButtonStates<kMouseButtonCount>& mouseButtons() const { return m_mouseButtons; }
    // Clears both frames of key states (the on-screen keyboard does so when shown).
    void clearKeys() { m_keys.clear(); }
    int mouseDx() const { return m_mouseDx; }
    int mouseDy() const { return m_mouseDy; }

    JoystickDevice& joystick(int slot);  // the first slot for an index out of range
    const JoystickDevice& joystick(int slot) const;

    // True when any key 1..95, any button of a connected controller or any
    // mouse button was released this frame.
    bool anyInputReleased() const;

    // Typed characters, oldest first; characters that do not fit are dropped.
    int typedCount() const { return m_typedCount; }
    char32_t typedAt(int index) const;
    char32_t popTyped();  // 0 when the queue is empty
    void clearTyped() { m_typedCount = 0; }

    // Four bytes read as two virtual axes: bytes 0 and 1 are the negative and
    // positive side of the roll axis, bytes 2 and 3 of the pitch axis.
    std::array<std::uint8_t, 4> directionBytes{};

    // Set by the game each frame; -1 while no player airplane is flown.
    int steeringMode = kSteerNone;
    bool wantsRelativeMouse() const { return steeringMode == kSteerMouse; }

private:
    JoystickDevice* deviceOf(int instanceId);
    void pushTyped(char32_t character);

    ButtonStates<kKeyCount> m_keys;
    ButtonStates<kMouseButtonCount> m_mouseButtons;
    int m_mouseDx = 0, m_mouseDy = 0;
    std::array<JoystickDevice, kJoystickSlots> m_joysticks;
    std::array<char32_t, kTypedQueueSize> m_typed{};
    int m_typedCount = 0;
};

// The one input state of the game.
Input& input();
