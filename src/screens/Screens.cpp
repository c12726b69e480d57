#include "screens/Screens.h"

#include "platform/TouchQueue.h"
#include "screens/IGameScreen.h"

#include <list>

namespace {
struct ScreenState {
    IGameScreen* current = nullptr;
    IGameScreen* previous = nullptr;
    IGameScreen* overlay = nullptr;
    IGameScreen* input = nullptr;
    std::list<IGameScreen*> queue;   // added and taken at the front
    ScreenHooks hooks;
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

void updateScreens()
{
    ScreenState& s = state();
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

void drawScreens()
{
    ScreenState& s = state();
    if (s.current)
        s.current->draw();
    if (s.overlay)
        s.overlay->draw();
    if (s.hooks.drawOverScreens)
        s.hooks.drawOverScreens();
}

void openPauseScreen()
{
    dropOverlayScreens();
    if (IGameScreen* pause = state().hooks.pauseScreen)
        state().queue.push_front(pause);
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

void dispatchTouchToScreens(const TouchEvent& event)
{
    IGameScreen* screen = state().input;
    if (!screen || (event.id == 0 && event.kind != TouchEvent::Kind::Back))
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
    if (IGameScreen* screen = state().input)
        screen->onBack();
}

void setScreenHooks(const ScreenHooks& hooks)
{
    state().hooks = hooks;
}

const ScreenHooks& screenHooks()
{
    return state().hooks;
}

void resetScreens()
{
    const ScreenHooks hooks = state().hooks;
    state() = ScreenState{};
    state().hooks = hooks;
}
