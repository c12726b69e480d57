#pragma once
#include "platform/sys/InputDevices.h"
#include "platform/TouchQueue.h"

struct AppHooks;
union SDL_Event;

// Drains SDL's event queue once a pass. A quit request (SIGTERM) and the
// window's close button end the loop without the quit overlay; a size change
// rewrites the screen metrics; the left mouse button and its drags become touch 1 and the wheel
// scrolls, queued with the back key for the touch dispatch; focus goes to the
// hooks at once; keys, text, the mouse and the controllers feed the input state.
class EventPump {
public:
    explicit EventPump(const AppHooks& hooks);

    void pump();
    void handle(const SDL_Event& event);
    // Delivers the queued touches and back presses in order.
    void dispatchTouches();

    bool quitRequested() const { return m_quit; }
    void requestQuit() { m_quit = true; }
    std::size_t queuedTouches() const { return m_touches.size(); }
    InputDevices& devices() { return m_devices; }
    // While an input script drives the game it is the only pointer: the
    // window system's mouse events and focus changes (another window on the
    // same display, a pointer grab elsewhere) are dropped, so a run does
    // the same on a busy display as on an idle one.
    void setScriptOnly(bool on) { m_scriptOnly = on; }
    // A test run on a fixed frame step hears only scripted focus changes:
    // on a display shared with other runs each new window takes the focus,
    // and a pause it set off would make the run differ from the last.
    void setScriptedFocusOnly(bool on) { m_scriptedFocusOnly = on; }

private:
    void handleWindowEvent(const SDL_Event& event);
    void handleMouse(const SDL_Event& event);
    void queueTouch(TouchEvent::Kind kind, unsigned windowId, int x, int y);
    void feedInput(const SDL_Event& event);
    void followRelativeMouse();

    const AppHooks& m_hooks;
    InputDevices m_devices;
    TouchQueue m_touches;
    bool m_quit = false;
    bool m_leftHeld = false;
    bool m_relativeMouse = false;
    bool m_scriptOnly = false;
    bool m_scriptedFocusOnly = false;
};
