#pragma once
#include "platform/ControlAction.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Input;
class Settings;

// Game actions are numbered from the first weapon action: index = action - 8.
constexpr int kFirstGameAction = static_cast<int>(ControlAction::Weapon_1);
constexpr int kGameActionCount = kControlActionCount - kFirstGameAction;

// The name in "controls.cfg" ("Roll_Left" ...); empty for a number out of range.
std::string_view controlActionName(int action);
int controlActionByName(std::string_view name);  // -1 when unknown

// What a binding listens to; the numbers are stored in "controls.cfg".
enum class BindingKind : int {
    None = -1, Axis1 = 0, Axis2 = 1, Button1 = 2, Button2 = 3, Key = 4, Mouse = 5,
};

struct ActionBinding {
    BindingKind kind1 = BindingKind::None;
    int code1 = -1;  // axis 0..7, button 0..31, key table index 1..95, mouse button 0..31
    BindingKind kind2 = BindingKind::None;
    int code2 = -1;
    int pairedAction = -1;   // the other half of a two-sided axis, -1 for none
    std::uint8_t shown = 1;  // offered on the key set-up page
};

// The player's flying input of one frame, in -1..1 (throttle: -1 brake .. 1 accelerate).
struct PlayerFlightInput {
    float pitch = 0.0f, yaw = 0.0f, roll = 0.0f, throttle = 0.0f;
    float lookX = 0.0f, lookY = 0.0f;  // the look axes for the camera's inertia
    std::uint64_t heldActions = 0;     // bit n: ControlAction n is held (weapons fire while held)
};

// Where the actions take effect. Implemented above the platform (the game
// screen wires it to the game mode, HUD and menus); until one is registered
// the actions go nowhere.
class IControlsHandler {
public:
    virtual ~IControlsHandler() = default;
    // A game action started (pressed) or ended; index = ControlAction - 8, 0..20.
    // Hide_HUD and Console never arrive.
    virtual void onGameAction(int gameAction, bool pressed) = 0;
    // A menu action fired: Menu_Up .. Menu_Right on press and by repeat,
    // Menu_Select on press, Menu_Back on press at most once per 5 frames.
    virtual void onMenuAction(ControlAction action) = 0;
    // Once a frame while flying.
    virtual void applyFlightInput(const PlayerFlightInput& flight) = 0;
    // The on-screen stick's axes (x rolls, y pitches); 0, 0 when there is none.
    virtual void touchStickAxes(float& x, float& y) const = 0;
    // Clears the player airplane's stick and throttle.
    virtual void releasePlayerStick() = 0;
    virtual void resetPlayerControls() = 0;
};

// The control bindings of four schemes (0 keyboard, 1 joystick, 2 mouse, 3 a
// spare that is never saved) and the per-frame evaluation of the actions.
class Controls {
public:
    // Bit n enables ControlAction n; disabled actions produce nothing.
    std::uint64_t enabledActions = ~std::uint64_t{0};

    static constexpr int kSchemeCount = 4;
    static constexpr int kSavedSchemes = 3;
    static constexpr float kDeadZone = 0.15f;
    static constexpr float kRepeatDelay = 0.4f;     // seconds before a held menu direction repeats
    static constexpr float kRepeatInterval = 0.1f;  // seconds between repeats
    static constexpr int kBackGuardFrames = 5;
    static constexpr const char* kFileName = "controls.cfg";
    static constexpr const char* kDamagedFileName = "controls.cfg.bad";
    static constexpr std::size_t kMaxFileBytes = 1024u * 1024u;  // the real file is about 12 KB

    // Links, not owned: the device states and the sensitivity options.
    Controls(Input& input, const Settings& settings);

    void setHandler(IControlsHandler* handler) { m_handler = handler; }

    // The active scheme (= the control device); values out of 0..3 are ignored.
    int currentScheme() const { return m_scheme; }
    void setCurrentScheme(int scheme);
    const ActionBinding& binding(int scheme, int action) const;  // entry 0 of scheme 0 when out of range
    const ActionBinding& binding(int action) const { return binding(m_scheme, action); }

    // Binds slot 0 or 1 of an action in the current scheme. A mouse button 0
    // on actions 28..34 is refused (it is the menus' click). The same input
    // bound elsewhere in the action's group (0..27 or 28..34) is cleared there;
    // a two-sided axis on a paired action is written to the pair too, replacing
    // the two-sided axes both had in that slot. False when refused or invalid.
    bool setBinding(int action, BindingKind kind, int code, int slot);
    void setDefaults(int scheme);
    void setDefaultsProfile0() { setDefaults(0); }
    void setDefaultsProfile1() { setDefaults(1); }
    void setDefaultsProfile2() { setDefaults(2); }
    void setDefaultsProfile3() { setDefaults(3); }

    // "controls.cfg" in the save folder: load() starts from the defaults and
    // takes every valid action entry and axis flag of the file; a missing or
    // malformed file leaves all defaults (false). The active scheme becomes
    // the control device of the settings.
    [[nodiscard]] bool load();
    void save() const;
    [[nodiscard]] bool loadFromText(std::string_view xml);
    std::string toText() const;

    // The display text of the first bound of the action's two bindings
    // (current scheme); empty and false when neither is bound.
    bool getActionBindingText(int action, std::u16string& out) const;
    std::string bindingName(BindingKind kind, int code) const;  // empty for none

    bool anyInputReleased() const;

    // Starts (pressed) or ends a game action exactly as its binding would;
    // index = ControlAction - 8. Indexes 7 and 17 (Hide_HUD, Console) do nothing.
    // A disabled action does not start, but it still ends.
    void dispatchActions(bool pressed, int gameAction);
    // Once a frame in flight: stick, throttle and look to the handler, and the
    // press and release of the other game actions.
    void updateGameActions();
    // Once a frame in menus and while paused: menu actions with repeat.
    // dt: the frame delta in seconds.
    void updateMenuActions(float dt);
    void releasePlayerStick();
    void resetPlayerControls();

    // The action's strength this frame, 0..1; 0 when disabled.
    float actionValue(int action) const;
    bool actionEnabled(int action) const;

private:
    void setAllDefaults();  // every scheme and the joysticks' axis flags
    float bindingValue(int action, BindingKind kind, int code) const;
    bool fullRangeAxis(BindingKind kind, int code) const;
    void clearInGroup(int action, BindingKind kind, int code);
    bool held(int action) const { return actionValue(action) >= 0.5f; }
    static constexpr int kControllerScheme = 1;
    void rightStickLook(float& x, float& y) const;

    Input& m_input;
    const Settings& m_settings;
    IControlsHandler* m_handler = nullptr;
    std::array<std::array<ActionBinding, kControlActionCount>, kSchemeCount> m_schemes{};
    int m_scheme = 0;
    std::uint64_t m_heldGameActions = 0;
    std::uint64_t m_heldMenuActions = 0;
    std::array<float, kControlActionCount> m_heldTime{};
    std::array<float, kControlActionCount> m_nextRepeat{};
    int m_backGuard = 0;  // frames until Menu_Back may fire again
};

// Binding validity shared by setBinding and the file reader.
bool validBinding(int action, BindingKind kind, int code);

// Shut-down writes the settings file and "controls.cfg", so bindings changed
// on the set-up page survive a window closed there.
void saveSettingsAndControls(const Settings& settings, const Controls& controls);

// The one controls object of the game, over input() and settings().
Controls& controls();
