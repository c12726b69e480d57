#include "platform/Controls.h"

#include "platform/Input.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr std::string_view kActionNames[kControlActionCount] = {
    "Roll_Left", "Roll_Right", "Pitch_Up", "Pitch_Down", "Yaw_Left", "Yaw_Right", "Accelerate",
    "Brake", "Weapon_1", "Weapon_2", "Weapon_3", "Radar", "Camera", "Eject", "Autopilot", "Hide_HUD",
    "Squadron_Cmd", "Squadron_CmdA", "Squadron_CmdD", "Squadron_CmdF", "Boost", "Link_Weapons", "Chat",
    "Scores", "Menu", "Console", "Zoom", "Look", "FastForward", "Menu_Up", "Menu_Down", "Menu_Left",
    "Menu_Right", "Menu_Select", "Menu_Back",
};

constexpr int kMenuGroupStart = static_cast<int>(ControlAction::FastForward);
constexpr std::size_t kMaxBindingTextUnits = 63;

int index(ControlAction action) { return static_cast<int>(action); }
std::uint64_t bit(int action) { return std::uint64_t{1} << action; }
bool validAction(int action) { return action >= 0 && action < kControlActionCount; }
bool sameGroup(int a, int b) { return (a >= kMenuGroupStart) == (b >= kMenuGroupStart); }

// For a two-sided axis, the action that takes the axis' negative half: stick
// left rolls left, stick forward pitches down, throttle lever forward accelerates.
bool takesNegativeHalf(int action)
{
    return action == index(ControlAction::Roll_Left) || action == index(ControlAction::Pitch_Down) ||
           action == index(ControlAction::Yaw_Left) || action == index(ControlAction::Accelerate);
}

bool isAxis(BindingKind kind) { return kind == BindingKind::Axis1 || kind == BindingKind::Axis2; }
int deviceSlot(BindingKind kind) { return kind == BindingKind::Axis2 || kind == BindingKind::Button2 ? 1 : 0; }

float deadZone(float value) { return std::fabs(value) < Controls::kDeadZone ? 0.0f : value; }

int key(std::string_view bindingName) { return Input::keyIndexOfBindingName(bindingName); }

void bind(ActionBinding& b, int slot, BindingKind kind, int code)
{
    (slot == 0 ? b.kind1 : b.kind2) = kind;
    (slot == 0 ? b.code1 : b.code2) = code;
}

using Scheme = std::array<ActionBinding, kControlActionCount>;

Scheme keyboardDefaults()
{
    Scheme s{};
    const struct { ControlAction action; const char* first; const char* second; } keys[] = {
        {ControlAction::Roll_Left, "A", "Left"},      {ControlAction::Roll_Right, "D", "Right"},
        {ControlAction::Pitch_Up, "S", "Down"},       {ControlAction::Pitch_Down, "W", "Up"},
        {ControlAction::Yaw_Left, "Q", nullptr},      {ControlAction::Yaw_Right, "E", nullptr},
        {ControlAction::Accelerate, "LShift", nullptr}, {ControlAction::Brake, "LCtrl", nullptr},
        {ControlAction::Weapon_1, "Space", nullptr},  {ControlAction::Weapon_2, "F", nullptr},
        {ControlAction::Weapon_3, "G", nullptr},      {ControlAction::Radar, "R", nullptr},
        {ControlAction::Camera, "C", nullptr},        {ControlAction::Eject, "J", nullptr},
        {ControlAction::Autopilot, "P", nullptr},     {ControlAction::Hide_HUD, "H", nullptr},
        {ControlAction::Squadron_Cmd, "V", nullptr},  {ControlAction::Squadron_CmdA, "1", nullptr},
        {ControlAction::Squadron_CmdD, "2", nullptr}, {ControlAction::Squadron_CmdF, "3", nullptr},
        {ControlAction::Boost, "B", nullptr},         {ControlAction::Link_Weapons, "L", nullptr},
        {ControlAction::Chat, "T", nullptr},          {ControlAction::Scores, "Tab", nullptr},
        {ControlAction::Zoom, "Z", nullptr},          {ControlAction::Look, "X", nullptr},
        {ControlAction::FastForward, "F1", nullptr},  {ControlAction::Menu_Up, "Up", nullptr},
        {ControlAction::Menu_Down, "Down", nullptr},  {ControlAction::Menu_Left, "Left", nullptr},
        {ControlAction::Menu_Right, "Right", nullptr}, {ControlAction::Menu_Select, "Enter", nullptr},
    };
    for (const auto& k : keys) {
        ActionBinding& b = s[index(k.action)];
        bind(b, 0, BindingKind::Key, key(k.first));
        if (k.second)
            bind(b, 1, BindingKind::Key, key(k.second));
    }
    // Esc reaches the screens as the back key, so Menu and Menu_Back start unbound.
    for (int pair = 0; pair < 8; pair += 2) {
        s[pair].pairedAction = pair + 1;
        s[pair + 1].pairedAction = pair;
    }
    return s;
}

// Controller first, the keyboard's first key second.
Scheme joystickDefaults()
{
    Scheme s = keyboardDefaults();
    for (ActionBinding& b : s) {
        b.kind2 = b.kind1;
        b.code2 = b.code1;
        b.kind1 = BindingKind::None;
        b.code1 = -1;
    }
    // Standard controller layout: buttons A 0, B 1, X 2, Y 3, Back 4, Start 6,
    // RStick 8, LB 9, RB 10, pad 11..14; axes LX 0, LY 1, LT 4, RT 5.
    const struct { ControlAction action; BindingKind kind; int code; } pads[] = {
        {ControlAction::Roll_Left, BindingKind::Axis1, 0},    {ControlAction::Roll_Right, BindingKind::Axis1, 0},
        {ControlAction::Pitch_Up, BindingKind::Axis1, 1},     {ControlAction::Pitch_Down, BindingKind::Axis1, 1},
        {ControlAction::Yaw_Left, BindingKind::Button1, 9},   {ControlAction::Yaw_Right, BindingKind::Button1, 10},
        {ControlAction::Accelerate, BindingKind::Axis1, 5},   {ControlAction::Brake, BindingKind::Axis1, 4},
        {ControlAction::Weapon_1, BindingKind::Button1, 0},   {ControlAction::Weapon_2, BindingKind::Button1, 2},
        {ControlAction::Weapon_3, BindingKind::Button1, 3},   {ControlAction::Radar, BindingKind::Button1, 1},
        {ControlAction::Camera, BindingKind::Button1, 8},     {ControlAction::Scores, BindingKind::Button1, 4},
        {ControlAction::Menu, BindingKind::Button1, 6},       {ControlAction::Menu_Up, BindingKind::Button1, 11},
        {ControlAction::Menu_Down, BindingKind::Button1, 12}, {ControlAction::Menu_Left, BindingKind::Button1, 13},
        {ControlAction::Menu_Right, BindingKind::Button1, 14}, {ControlAction::Menu_Select, BindingKind::Button1, 0},
        {ControlAction::Menu_Back, BindingKind::Button1, 1},
    };
    for (const auto& p : pads)
        bind(s[index(p.action)], 0, p.kind, p.code);
    return s;
}

// Mouse aim steers; the buttons fire and switch the camera.
Scheme mouseDefaults()
{
    Scheme s = keyboardDefaults();
    bind(s[index(ControlAction::Weapon_1)], 1, BindingKind::Mouse, 0);
    bind(s[index(ControlAction::Weapon_2)], 1, BindingKind::Mouse, 1);
    bind(s[index(ControlAction::Camera)], 1, BindingKind::Mouse, 2);
    return s;
}
}  // namespace

std::string_view controlActionName(int action)
{
    return validAction(action) ? kActionNames[action] : std::string_view{};
}

int controlActionByName(std::string_view name)
{
    for (int action = 0; action < kControlActionCount; ++action) {
        if (kActionNames[action] == name)
            return action;
    }
    return -1;
}

bool validBinding(int action, BindingKind kind, int code)
{
    if (!validAction(action))
        return false;
    switch (kind) {
    case BindingKind::None: return code == -1;
    case BindingKind::Axis1:
    case BindingKind::Axis2: return code >= 0 && code < JoystickDevice::kMaxAxes;
    case BindingKind::Button1:
    case BindingKind::Button2: return code >= 0 && code < JoystickDevice::kMaxButtons;
    case BindingKind::Key: return code >= 1 && code < Input::kKeyCount;
    case BindingKind::Mouse:
        // Button 0 is the menus' click: binding it to a menu action would fire twice.
        return code >= 0 && code < Input::kMouseButtonCount && !(code == 0 && action >= kMenuGroupStart);
    }
    return false;
}

Controls::Controls(Input& input, const Settings& settings) : m_input(input), m_settings(settings)
{
    for (int scheme = 0; scheme < kSchemeCount; ++scheme)
        setDefaults(scheme);
}

Controls& controls()
{
    static Controls object(input(), settings());
    return object;
}

void Controls::setCurrentScheme(int scheme)
{
    if (scheme >= 0 && scheme < kSchemeCount)
        m_scheme = scheme;
}

const ActionBinding& Controls::binding(int scheme, int action) const
{
    if (scheme < 0 || scheme >= kSchemeCount || !validAction(action))
        return m_schemes[0][0];
    return m_schemes[scheme][action];
}

void Controls::setDefaults(int scheme)
{
    switch (scheme) {
    case 0:
    case 3: m_schemes[scheme] = keyboardDefaults(); break;
    case 1: m_schemes[scheme] = joystickDefaults(); break;
    case 2: m_schemes[scheme] = mouseDefaults(); break;
    default: break;
    }
}

bool Controls::fullRangeAxis(BindingKind kind, int code) const
{
    return isAxis(kind) && code >= 0 && code < JoystickDevice::kMaxAxes &&
           !m_input.joystick(deviceSlot(kind)).triggerAxis[code];
}

void Controls::clearInGroup(int action, BindingKind kind, int code)
{
    for (int other = 0; other < kControlActionCount; ++other) {
        if (!sameGroup(action, other))
            continue;
        ActionBinding& b = m_schemes[m_scheme][other];
        if (b.kind1 == kind && b.code1 == code)
            bind(b, 0, BindingKind::None, -1);
        if (b.kind2 == kind && b.code2 == code)
            bind(b, 1, BindingKind::None, -1);
    }
}

bool Controls::setBinding(int action, BindingKind kind, int code, int slot)
{
    if ((slot != 0 && slot != 1) || !validBinding(action, kind, code))
        return false;
    Scheme& scheme = m_schemes[m_scheme];
    if (kind != BindingKind::None)
        clearInGroup(action, kind, code);
    const int pair = scheme[action].pairedAction;
    if (validAction(pair)) {
        for (int a : {action, pair}) {
            ActionBinding& b = scheme[a];
            const BindingKind oldKind = slot == 0 ? b.kind1 : b.kind2;
            const int oldCode = slot == 0 ? b.code1 : b.code2;
            if (fullRangeAxis(oldKind, oldCode))
                bind(b, slot, BindingKind::None, -1);
        }
        if (fullRangeAxis(kind, code))
            bind(scheme[pair], slot, kind, code);
    }
    bind(scheme[action], slot, kind, code);
    return true;
}

std::string Controls::bindingName(BindingKind kind, int code) const
{
    switch (kind) {
    case BindingKind::Axis1:
    case BindingKind::Axis2: return m_input.joystick(deviceSlot(kind)).axisName(code);
    case BindingKind::Button1:
    case BindingKind::Button2: return m_input.joystick(deviceSlot(kind)).buttonName(code);
    case BindingKind::Key: return code >= 0 && code < Input::kKeyCount ? Input::keyInfo(code).displayName : "";
    case BindingKind::Mouse: return Input::mouseButtonName(code);
    case BindingKind::None: break;
    }
    return {};
}

bool Controls::getActionBindingText(int action, std::u16string& out) const
{
    out.clear();
    if (!validAction(action))
        return false;
    const ActionBinding& b = binding(action);
    std::string name = bindingName(b.kind1, b.code1);
    if (name.empty())
        name = bindingName(b.kind2, b.code2);
    for (char c : name) {
        if (out.size() == kMaxBindingTextUnits)
            break;
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    return !out.empty();
}

bool Controls::anyInputReleased() const
{
    return m_input.anyInputReleased();
}

bool Controls::actionEnabled(int action) const
{
    return validAction(action) && (enabledActions & bit(action)) != 0;
}

float Controls::bindingValue(int action, BindingKind kind, int code) const
{
    switch (kind) {
    case BindingKind::Key: return m_input.keys().down(code) ? 1.0f : 0.0f;
    case BindingKind::Mouse: return m_input.mouseButtons().down(code) ? 1.0f : 0.0f;
    case BindingKind::Button1:
    case BindingKind::Button2: {
        const JoystickDevice& device = m_input.joystick(deviceSlot(kind));
        return device.connected() && device.buttons.down(code) ? 1.0f : 0.0f;
    }
    case BindingKind::Axis1:
    case BindingKind::Axis2: {
        const JoystickDevice& device = m_input.joystick(deviceSlot(kind));
        if (!device.connected() || code < 0 || code >= JoystickDevice::kMaxAxes)
            return 0.0f;
        const float v = device.axisValue(code);
        if (device.triggerAxis[code])
            return deadZone((v + 1.0f) * 0.5f);
        const bool negativeHalf = validAction(m_schemes[m_scheme][action].pairedAction) && takesNegativeHalf(action);
        return deadZone(std::max(0.0f, negativeHalf ? -v : v));
    }
    case BindingKind::None: break;
    }
    return 0.0f;
}

float Controls::actionValue(int action) const
{
    if (!actionEnabled(action))
        return 0.0f;
    const ActionBinding& b = m_schemes[m_scheme][action];
    return std::max(bindingValue(action, b.kind1, b.code1), bindingValue(action, b.kind2, b.code2));
}

void Controls::dispatchActions(bool pressed, int gameAction)
{
    if (gameAction < 0 || gameAction >= kGameActionCount)
        return;
    const int action = gameAction + kFirstGameAction;
    // A release always passes: an action disabled while held (a tutorial step
    // closing it) must still end, or a weapon would go on firing.
    if (action == index(ControlAction::Hide_HUD) || action == index(ControlAction::Console) ||
        (pressed && !actionEnabled(action)) || !m_handler)
        return;
    if (action < index(ControlAction::Menu_Up)) {
        m_handler->onGameAction(gameAction, pressed);
        return;
    }
    if (!pressed)
        return;
    if (action == index(ControlAction::Menu_Back)) {
        if (m_backGuard > 0)
            return;
        m_backGuard = kBackGuardFrames;
    }
    m_handler->onMenuAction(static_cast<ControlAction>(action));
}

void Controls::rightStickLook(float& x, float& y) const
{
    const JoystickDevice& pad = m_input.joystick(0);
    if (m_scheme != 1 || !pad.connected() || pad.axisCount < 4)
        return;
    x = deadZone(pad.axisValue(2));
    y = deadZone(pad.axisValue(3));
}

void Controls::updateGameActions()
{
    auto value = [this](ControlAction a) { return actionValue(index(a)); };
    PlayerFlightInput flight;
    float pitch = value(ControlAction::Pitch_Up) - value(ControlAction::Pitch_Down);
    float yaw = value(ControlAction::Yaw_Right) - value(ControlAction::Yaw_Left);
    float roll = value(ControlAction::Roll_Right) - value(ControlAction::Roll_Left);
    if (held(index(ControlAction::Look))) {
        // While Look is held the pitch and yaw inputs turn the view, not the plane.
        flight.lookX = yaw;
        flight.lookY = pitch;
        pitch = yaw = 0.0f;
    } else {
        rightStickLook(flight.lookX, flight.lookY);
    }

    const float sensitivity = m_scheme == 1   ? m_settings.joystickSensitivity
                              : m_scheme == 2 ? m_settings.mouseSensitivity
                                              : m_settings.keyboardSensitivity;
    pitch *= sensitivity * (m_settings.invertPitch ? -1.0f : 1.0f);
    yaw *= sensitivity;
    roll *= sensitivity;

    float stickX = 0.0f, stickY = 0.0f;
    if (m_handler)
        m_handler->touchStickAxes(stickX, stickY);
    const auto& dir = m_input.directionBytes;
    roll += stickX + static_cast<float>((dir[1] != 0) - (dir[0] != 0));
    pitch += stickY + static_cast<float>((dir[3] != 0) - (dir[2] != 0));
    flight.pitch = std::clamp(pitch, -1.0f, 1.0f);
    flight.yaw = std::clamp(yaw, -1.0f, 1.0f);
    flight.roll = std::clamp(roll, -1.0f, 1.0f);
    flight.throttle = std::clamp(value(ControlAction::Accelerate) - value(ControlAction::Brake), -1.0f, 1.0f);

    std::uint64_t heldNow = 0;
    for (int action = 0; action < index(ControlAction::Menu_Up); ++action) {
        if (held(action))
            heldNow |= bit(action);
    }
    flight.heldActions = heldNow;
    for (int action = kFirstGameAction; action < index(ControlAction::Menu_Up); ++action) {
        const bool now = (heldNow & bit(action)) != 0;
        if (now != ((m_heldGameActions & bit(action)) != 0))
            dispatchActions(now, action - kFirstGameAction);
    }
    m_heldGameActions = heldNow;
    if (m_handler)
        m_handler->applyFlightInput(flight);
}

void Controls::updateMenuActions(float dt)
{
    if (m_backGuard > 0)
        --m_backGuard;
    for (int action = index(ControlAction::Menu_Up); action <= index(ControlAction::Menu_Back); ++action) {
        // A controller's pad and buttons move through the menus whichever
        // scheme flies the plane: its bindings are those of the controller scheme.
        const ActionBinding& pad = m_schemes[kControllerScheme][action];
        const bool now = held(action) || (m_scheme != kControllerScheme &&
                                          std::max(bindingValue(action, pad.kind1, pad.code1),
                                                   bindingValue(action, pad.kind2, pad.code2)) >= 0.5f);
        const bool before = (m_heldMenuActions & bit(action)) != 0;
        m_heldMenuActions = now ? (m_heldMenuActions | bit(action)) : (m_heldMenuActions & ~bit(action));
        if (!now)
            continue;
        const int gameAction = action - kFirstGameAction;
        if (!before) {
            m_heldTime[action] = 0.0f;
            m_nextRepeat[action] = kRepeatDelay;
            dispatchActions(true, gameAction);
            continue;
        }
        if (action > index(ControlAction::Menu_Right))
            continue;  // select and back act once per press
        m_heldTime[action] += dt;
        if (m_heldTime[action] >= m_nextRepeat[action]) {
            m_nextRepeat[action] += kRepeatInterval;
            dispatchActions(true, gameAction);
        }
    }
}

void Controls::releasePlayerStick()
{
    if (m_handler)
        m_handler->releasePlayerStick();
}

void Controls::resetPlayerControls()
{
    m_backGuard = 0;
    m_heldMenuActions = 0;
    if (m_handler)
        m_handler->resetPlayerControls();
}

void saveSettingsAndControls(const Settings& settings, const Controls& controls)
{
    settings.save();
    controls.save();
}
