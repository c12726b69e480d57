#pragma once
#include <functional>

class MenuFrame;

// What the menus need from libraries above or beside them, filled at start-up
// (main.cpp); every empty hook does nothing.

// The two sounds of the menu framework: "click" for a button, "clickback" for
// going back a page. Played straight through the sound library's global
// sources; nothing while the sound system is down.
enum class MenuSound { Click, ClickBack };
void playMenuSound(MenuSound sound);

// The one form of a menu callback: what an item does when it is used. The
// owner captures what it needs.
using MenuAction = std::function<void()>;

// The modal alert, which the buttons open for a confirmation or a notice
// before their click runs. Until an alert is registered a confirmation is
// never given, so its action does not run; a notice's action runs at once.
struct MenuAlertHooks {
    // The alert with string `stringId`; `confirmed` runs when the player confirms.
    std::function<void(int stringId, MenuAction confirmed)> showConfirm;
    // The alert with the text; `closed` runs when it is closed.
    std::function<void(const char16_t* text, MenuAction closed)> showAlert;
};
void setMenuAlertHooks(MenuAlertHooks hooks);
const MenuAlertHooks& menuAlertHooks();

// The screens' overlays (quit, OK) take key and controller navigation while
// they are shown: the hook returns the shown one's frame, else null.
void setOverlayInputFrameHook(std::function<MenuFrame*()> hook);
MenuFrame* overlayInputFrame();

// The scene pages' weapons button and statistics open the weapon choice for
// the shown plane through this; while it is empty the button stays off.
void setWeaponChoiceHook(std::function<void(int planeId)> hook);
const std::function<void(int planeId)>& weaponChoiceHook();

// Seconds for the scroll samples of a fling; Clock::now unless a test sets
// its own clock (an empty function restores Clock::now).
void setMenuClock(std::function<float()> clock);
float menuClockNow();
