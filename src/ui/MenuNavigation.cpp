#include "ui/MenuNavigation.h"

#include "platform/Clock.h"
#include "platform/Log.h"
#include "render/2d/Render2D.h"
#include "ui/MenuFrame.h"
#include "ui/MenuHooks.h"
#include "ui/TextFitLog.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "platform/Input.h"

#include <cmath>
#include <cxxabi.h>
#include <cstdlib>
#include <string>
#include <typeinfo>
#include <vector>

namespace {
constexpr float kPulseSpeed = 8.5f;   // radians per second: about 1.35 swings a second
constexpr float kTwoPi = 6.2831853f;
constexpr int kPulseLow = 140;
constexpr float kPulseRange = 60.0f;

struct Navigation {
    MenuFrame* current = nullptr;
    std::vector<MenuFrame*> history;
    MenuFrame* overlay = nullptr;
    MenuItem* focusedOfDraw = nullptr;
    MenuItem* activated = nullptr;
    float pulsePhase = 0.0f;
    std::uint8_t pulseLevel = 170;
    IMenuModal* keyboard = nullptr;
    IMenuModal* alert = nullptr;
};

Navigation& nav()
{
    static Navigation state;
    return state;
}

bool keyboardOpen()
{
    return nav().keyboard && nav().keyboard->modalOpen();
}

bool alertOpen()
{
    return nav().alert && nav().alert->modalOpen();
}

// Where routed events go: the keyboard, else the alert, else the overlay page, else the current page.
MenuItem* eventTarget()
{
    if (keyboardOpen())
        return &nav().keyboard->modalItem();
    if (alertOpen())
        return &nav().alert->modalItem();
    if (nav().overlay)
        return nav().overlay;
    return nav().current;
}
}  // namespace

void setMenuKeyboard(IMenuModal* keyboard)
{
    nav().keyboard = keyboard;
}

void setMenuAlert(IMenuModal* alert)
{
    nav().alert = alert;
}

namespace {
// One log line per page shown: scripted runs of the game follow the pages by it.
void logPageShown(MenuFrame& frame)
{
    const char* mangled = typeid(frame).name();
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    logInfo("menus", "page shown: %s", status == 0 && readable ? readable : mangled);
    std::free(readable);
}
}  // namespace

void goToFrame(MenuFrame* frame)
{
    Navigation& n = nav();
    if (!frame || frame == n.current)
        return;
    if (n.current) {
        MenuFrame* left = n.current;
        n.history.push_back(left);
        left->onHide();
    }
    n.current = frame;
    frame->layout(0, 0);
    frame->onShow();
    logPageShown(*frame);
}

void goBack()
{
    Navigation& n = nav();
    playMenuSound(MenuSound::ClickBack);
    if (n.overlay) {
        MenuFrame* closing = n.overlay;
        n.overlay = nullptr;
        closing->onHide();
        return;
    }
    if (n.history.empty())
        return;
    if (n.current)
        n.current->onHide();
    n.current = n.history.back();
    n.history.pop_back();
    n.current->onShow();
    logPageShown(*n.current);
}

void clearFrameHistory()
{
    Navigation& n = nav();
    if (n.keyboard) {
        n.keyboard->hideModal();
        n.keyboard->forgetListeners();
    }
    if (n.alert)
        n.alert->forgetListeners();
    n.current = nullptr;
    n.history.clear();
    n.overlay = nullptr;
    n.focusedOfDraw = nullptr;
    n.activated = nullptr;
}

MenuFrame* currentFrame()
{
    return nav().current;
}

int frameHistoryCount()
{
    return static_cast<int>(nav().history.size());
}

void openOverlayFrame(MenuFrame* frame)
{
    Navigation& n = nav();
    if (!frame || frame == n.overlay)
        return;
    if (n.overlay)
        n.overlay->onHide();
    n.overlay = frame;
    frame->layout(0, 0);
    frame->onShow();
    logPageShown(*frame);
}

MenuFrame* overlayFrame()
{
    return nav().overlay;
}

MenuFrame* getInputFrame()
{
    if (MenuFrame* screenOverlay = overlayInputFrame())
        return screenOverlay;
    if (alertOpen())
        return nav().alert->modalInputFrame();
    if (nav().overlay)
        return nav().overlay;
    return nav().current;
}

namespace {
constexpr int kPadLeftShoulder = 9, kPadRightShoulder = 10;

// The page keys and the controller's shoulder buttons page a scene page:
// Page Down and the right shoulder right, Page Up and the left shoulder left,
// Home and End up and down.
void dispatchPageKeys(MenuFrame* frame)
{
    auto* page = dynamic_cast<SceneMenuFrame*>(frame);
    if (!page)
        return;
    static const int pageUp = Input::keyIndexOfBindingName("PgUp");
    static const int pageDown = Input::keyIndexOfBindingName("PgDn");
    static const int home = Input::keyIndexOfBindingName("Home");
    static const int end = Input::keyIndexOfBindingName("End");
    const Input& in = input();
    bool left = in.keys().pressed(pageUp), right = in.keys().pressed(pageDown);
    for (int slot = 0; slot < Input::kJoystickSlots; ++slot) {
        const JoystickDevice& pad = in.joystick(slot);
        if (!pad.connected())
            continue;
        left = left || pad.buttons.pressed(kPadLeftShoulder);
        right = right || pad.buttons.pressed(kPadRightShoulder);
    }
    if (right)
        page->scrollRight();
    else if (left)
        page->scrollLeft();
    else if (in.keys().pressed(home))
        page->scrollUp();
    else if (in.keys().pressed(end))
        page->scrollDown();
}
}  // namespace

void updateMenuFrames()
{
    Navigation& n = nav();
    if (!keyboardOpen() && !alertOpen() && !overlayInputFrame())
        dispatchPageKeys(n.overlay ? n.overlay : n.current);
    if (keyboardOpen())
        n.keyboard->modalItem().update();
    else if (alertOpen())
        n.alert->modalItem().update();
    else {
        if (n.current)
            n.current->update();
        if (n.overlay)
            n.overlay->update();
    }
    n.pulsePhase += kPulseSpeed * frameDelta();
    if (n.pulsePhase > kTwoPi)
        n.pulsePhase -= kTwoPi;
    n.pulseLevel = static_cast<std::uint8_t>((std::sin(n.pulsePhase) + 1.0f) * kPulseRange * 0.5f + kPulseLow);
}

void drawMenuFrames()
{
    Navigation& n = nav();
    begin2D();
    if (n.current)
        n.current->draw();
    if (n.overlay)
        n.overlay->draw();
    if (alertOpen()) {
        n.focusedOfDraw = nullptr;
        // The box is the frame its texts and buttons keep to.
        const MenuItem& box = n.alert->modalItem();
        const TextFrameScope frame(static_cast<float>(box.absX), static_cast<float>(box.absY),
                                   static_cast<float>(box.width), static_cast<float>(box.height), "MenuAlert");
        n.alert->modalItem().draw();
        flushSpriteBatch();
    }
    if (keyboardOpen())
        n.keyboard->modalItem().draw();
    flushSpriteBatch();
    end2D();
}

void dispatchTouchDown(int x, int y)
{
    if (MenuItem* target = eventTarget())
        target->onTouchDown(x, y);
}

void dispatchTouchMove(int x, int y)
{
    if (MenuItem* target = eventTarget())
        target->onTouchMove(x, y);
}

void dispatchTouchUp(int x, int y)
{
    if (MenuItem* target = eventTarget())
        target->onTouchUp(x, y);
}

void dispatchTouchCancel()
{
    if (MenuItem* target = eventTarget())
        target->onTouchCancel();
}

void dispatchScroll(float dx, float dy)
{
    if (MenuItem* target = eventTarget())
        target->onScroll(dx, dy);
}

void dispatchSwipe(float vx, float vy)
{
    if (MenuItem* target = eventTarget())
        target->onSwipe(vx, vy);
}

void dispatchBackKey()
{
    Navigation& n = nav();
    if (keyboardOpen()) {
        n.keyboard->modalBack();
        return;
    }
    if (alertOpen()) {
        n.alert->modalBack();
        return;
    }
    MenuFrame* page = n.overlay ? n.overlay : n.current;
    if (page && !page->onEscape())
        goBack();
}

void handleMenuAction(ControlAction action)
{
    if (action == ControlAction::Menu_Back) {
        // The keyboard, when open, takes the back key itself and tells its listener.
        dispatchBackKey();
        return;
    }
    // The open keyboard takes its keys from the typed queue; Enter must not
    // also press the button focused under it.
    if (keyboardOpen())
        return;
    MenuFrame* frame = getInputFrame();
    if (!frame)
        return;
    switch (action) {
    case ControlAction::Menu_Up:
        frame->moveFocus(MenuItem::kUp);
        break;
    case ControlAction::Menu_Down:
        frame->moveFocus(MenuItem::kDown);
        break;
    case ControlAction::Menu_Left:
        frame->moveFocus(MenuItem::kLeft);
        break;
    case ControlAction::Menu_Right:
        frame->moveFocus(MenuItem::kRight);
        break;
    case ControlAction::Menu_Select:
        frame->activateFocused();
        break;
    default:
        break;
    }
}

MenuItem* menuFocusedItem()
{
    return nav().focusedOfDraw;
}

void setMenuFocusedItem(MenuItem* item)
{
    nav().focusedOfDraw = item;
}

MenuItem* menuActivatedItem()
{
    return nav().activated;
}

void setMenuActivatedItem(MenuItem* item)
{
    nav().activated = item;
}

std::uint8_t focusPulseLevel()
{
    return nav().pulseLevel;
}
