#include "screens/Screens.h"

#include "modes/progress/AchievementPopup.h"
#include "platform/Controls.h"
#include "platform/TouchQueue.h"
#include "render/2d/Render2D.h"
#include "screens/GameControls.h"
#include "screens/IGameScreen.h"
#include "screens/MenuScreen.h"
#include "screens/OKOverlay.h"
#include "screens/PauseScreen.h"
#include "screens/QuitGameOverlay.h"
#include "screens/hud/PlaneHud.h"
#include "ui/MenuHooks.h"
#include "ui/MenuNavigation.h"

#include <list>

namespace {
struct ScreenState {
    IGameScreen* current = nullptr;
    IGameScreen* previous = nullptr;
    IGameScreen* overlay = nullptr;
    IGameScreen* input = nullptr;
    std::list<IGameScreen*> queue;   // added and taken at the front
    ScreenHooks hooks;
    IGameScreen* pending = nullptr;  // a switch asked for during an update
    bool switchPending = false;
};

ScreenState& state()
{
    static ScreenState screens;
    return screens;
}

void openWaitingOverlay(ScreenState& s)
{
    IGameScreen* next = s.queue.front();
    s.queue.pop_front();
    if (!next)
        return;
    if (s.current)
        s.current->onPause();
    s.overlay = next;
    next->onEnter();
    if (next->takesInputAsOverlay())
        s.input = next;
}
}  // namespace

IGameScreen* currentScreen() { return state().current; }
IGameScreen* previousScreen() { return state().previous; }
IGameScreen* overlayScreen() { return state().overlay; }
IGameScreen* inputScreen() { return state().input; }
std::size_t overlayQueueSize() { return state().queue.size(); }

void setCurrentScreen(IGameScreen* screen)
{
    ScreenState& s = state();
    IGameScreen* old = s.current;
    s.previous = old;
    s.current = screen;
    if (old)
        old->onLeave();
    if (screen)
        screen->onEnter();
    s.input = screen;
}

void swapCurrentScreen(IGameScreen* screen)
{
    ScreenState& s = state();
    s.previous = s.current;
    s.current = screen;
    s.input = screen;
}

void requestScreenSwitch(IGameScreen* screen)
{
    ScreenState& s = state();
    s.pending = screen;
    s.switchPending = true;
}

bool screenSwitchPending() { return state().switchPending; }

namespace {
void updateScreensOnce(ScreenState& s)
{
    if (s.overlay) {
        if (s.overlay->updatesScreenBelow() && s.current)
            s.current->update();
        // That update may have closed the overlay.
        if (s.overlay)
            s.overlay->update();
        return;
    }
    if (!s.queue.empty()) {
        openWaitingOverlay(s);
        return;
    }
    if (s.current)
        s.current->update();
}
}  // namespace

void updateScreens()
{
    ScreenState& s = state();
    updateScreensOnce(s);
    // The screen that asked has finished its update before it leaves.
    if (s.switchPending) {
        s.switchPending = false;
        IGameScreen* next = s.pending;
        s.pending = nullptr;
        setCurrentScreen(next);
    }
}

void updateAchievementPopups(float dt)
{
    achievementPopup().update(dt);
}

void drawScreens()
{
    ScreenState& s = state();
    planeHud().popupsTaken = false;
    if (s.current)
        s.current->draw();
    if (s.overlay)
        s.overlay->draw();
    // Earned achievements slide in over every page, a pause or end page over a
    // match among them; in flight the HUD has drawn them under its markers, or
    // hidden them in a blackout.
    if (!planeHud().popupsTaken && !achievementPopup().entries().empty()) {
        begin2D();
        achievementPopup().draw();
        end2D();
    }
    OKOverlay& ok = OKOverlay::instance();
    QuitGameOverlay& quit = QuitGameOverlay::instance();
    if (ok.visible || quit.shown) {
        begin2D();
        ok.draw();
        quit.draw();
        end2D();
    }
}

void openPauseScreen()
{
    dropOverlayScreens();
    state().queue.push_front(pauseScreenToOpen());
}

void closeOverlayScreen()
{
    ScreenState& s = state();
    if (!s.overlay)
        return;
    IGameScreen* closing = s.overlay;
    closing->onLeave();
    s.overlay = nullptr;
    if (s.current)
        s.current->onResume();
    s.input = s.current;
}

void dropOverlayScreens()
{
    ScreenState& s = state();
    s.queue.clear();
    if (s.overlay) {
        s.overlay = nullptr;
        s.input = s.current;
    }
}

IGameScreen* topOverlayScreen()
{
    const ScreenState& s = state();
    if (s.overlay)
        return s.overlay;
    return s.queue.empty() ? nullptr : s.queue.front();
}

namespace {
// The shown overlay page that takes touches before any screen; null for none.
MenuFrame* touchOverlay()
{
    if (QuitGameOverlay::instance().shown)
        return &QuitGameOverlay::instance();
    if (OKOverlay::instance().visible)
        return &OKOverlay::instance();
    return nullptr;
}
}  // namespace

void dispatchTouchToScreens(const TouchEvent& event)
{
    if (event.id == 0 && event.kind != TouchEvent::Kind::Back)
        return;
    if (MenuFrame* overlay = touchOverlay()) {
        if (event.kind == TouchEvent::Kind::Down)
            overlay->onTouchDown(event.x, event.y);
        else if (event.kind == TouchEvent::Kind::Up)
            overlay->onTouchUp(event.x, event.y);
        return;
    }
    IGameScreen* screen = state().input;
    if (!screen)
        return;
    switch (event.kind) {
    case TouchEvent::Kind::Down: screen->onTouchDown(event.id, event.x, event.y); break;
    case TouchEvent::Kind::Move: screen->onTouchMove(event.id, event.x, event.y); break;
    case TouchEvent::Kind::Up: screen->onTouchUp(event.id, event.x, event.y); break;
    case TouchEvent::Kind::Cancel: screen->onTouchCancel(event.id); break;
    case TouchEvent::Kind::Scroll: screen->onScroll(event.id, event.dx, event.dy); break;
    case TouchEvent::Kind::Back: screen->onBack(); break;
    }
}

void dispatchBackToScreens()
{
    QuitGameOverlay& quit = QuitGameOverlay::instance();
    if (quit.shown) {
        quit.onNo();   // the back key answers the question with no
        return;
    }
    if (OKOverlay::instance().visible) {
        OKOverlay::hide();
        return;
    }
    if (IGameScreen* screen = state().input)
        screen->onBack();
}

void setScreenHooks(const ScreenHooks& hooks)
{
    state().hooks = hooks;
}

IGameScreen* pauseScreenToOpen()
{
    IGameScreen* standIn = state().hooks.pauseScreen;
    return standIn ? standIn : &pauseScreen();
}

IGameScreen* menuScreenToLoad()
{
    IGameScreen* standIn = state().hooks.menuScreen;
    return standIn ? standIn : &menuScreen();
}

namespace {
// Menu actions of the bindings go to the pages; the game's actions and the
// flying input go to the player's airplane on the game screen.
class MenuActionHandler final : public IControlsHandler {
public:
    void onGameAction(int gameAction, bool pressed) override { GameControls::onGameAction(gameAction, pressed); }
    void onMenuAction(ControlAction action) override
    {
        // A controller's back button answers the quit question and closes a
        // notice as the back key does, before any page sees it.
        if (action == ControlAction::Menu_Back)
            dispatchBackToScreens();
        else
            handleMenuAction(action);
    }
    void applyFlightInput(const PlayerFlightInput& flight) override { GameControls::applyFlightInput(flight); }
    void touchStickAxes(float& x, float& y) const override { GameControls::touchStickAxes(x, y); }
    void releasePlayerStick() override { GameControls::releasePlayerStick(); }
    void resetPlayerControls() override { GameControls::releasePlayerStick(); }
};
}  // namespace

void startScreens()
{
    static MenuActionHandler menuActions;
    controls().setHandler(&menuActions);
    setOverlayInputFrameHook([]() -> MenuFrame* { return touchOverlay(); });
}

void resetScreens()
{
    const ScreenHooks hooks = state().hooks;
    state() = ScreenState{};
    state().hooks = hooks;
}
