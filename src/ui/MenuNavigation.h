#pragma once
#include "platform/Controls.h"

#include <cstdint>

class MenuFrame;
class MenuItem;

// The navigation of the menu screen: one current page, the history of pages
// left behind, the routing of touches, wheel, swipe, cancel and back, key and
// controller navigation by focus links, and the pulsing focus tint. Main
// thread only; every page outlives its time in the history.

// A modal layer over the pages (the alert, the on-screen keyboard): while it
// is open it takes every event and the page under it is not updated.
class IMenuModal {
public:
    virtual ~IMenuModal() = default;
    virtual bool modalOpen() const = 0;
    // The item that takes the events, updates and draws.
    virtual MenuItem& modalItem() = 0;
    // The page that takes key and controller navigation while open; null for none.
    virtual MenuFrame* modalInputFrame() { return nullptr; }
    // The back key while open.
    virtual void modalBack() = 0;
    // Drops every pointer to a page (listener, context, callbacks): pages may
    // be deleted after the history is cleared.
    virtual void forgetListeners() = 0;
    // Hides the layer without telling anyone (the history is being cleared).
    virtual void hideModal() {}
};
// The on-screen keyboard goes over the alert; null unregisters.
void setMenuKeyboard(IMenuModal* keyboard);
void setMenuAlert(IMenuModal* alert);

// Makes the page current: nothing when it already is; otherwise the current
// page goes on the history and is hidden, and the new one is laid out and shown.
void goToFrame(MenuFrame* frame);
// The click-back sound; then an open overlay page closes, or the previous page
// of the history comes back (shown, not laid out again). With neither, only the sound.
void goBack();
// Forgets the current page, the history, the overlay page and every pointer
// the keyboard, alert and focus keep to pages; no page is hidden.
void clearFrameHistory();
MenuFrame* currentFrame();
int frameHistoryCount();

// A page over the current one that takes the input until goBack closes it.
void openOverlayFrame(MenuFrame* frame);
MenuFrame* overlayFrame();

// The page that takes key and controller navigation: a shown screen overlay,
// else an open alert, else the overlay page, else the current page (may be null).
MenuFrame* getInputFrame();

// Per frame, from the menu screen.
void updateMenuFrames();
void drawMenuFrames();

// Input from the menu screen, one finger at a time.
void dispatchTouchDown(int x, int y);
void dispatchTouchMove(int x, int y);
void dispatchTouchUp(int x, int y);
void dispatchTouchCancel();
void dispatchScroll(float dx, float dy);
void dispatchSwipe(float vx, float vy);
// The back key: closes the keyboard, else escapes the alert, else asks the
// page's onEscape and goes back when it declines.
void dispatchBackKey();
// A bound menu action (Menu_Up .. Menu_Back) fired.
void handleMenuAction(ControlAction action);

// The focused item of the draw: widgets compare themselves with it to draw
// their own focus. Set while a page draws and by focus moves.
MenuItem* menuFocusedItem();
void setMenuFocusedItem(MenuItem* item);
// The item being activated by key or controller, null otherwise.
MenuItem* menuActivatedItem();
void setMenuActivatedItem(MenuItem* item);
// Green and blue of the focus tint (red is 255): 140 to 200, pulsing.
std::uint8_t focusPulseLevel();
