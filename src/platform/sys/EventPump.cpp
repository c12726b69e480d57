#include "platform/sys/EventPump.h"

#include "platform/sys/AppHooks.h"
#include "platform/sys/InputScriptPlayer.h"
#include "platform/Input.h"
#include "platform/ScreenMetrics.h"

#include <SDL.h>

namespace {
constexpr int kMouseTouchId = 1;
constexpr float kWheelStep = 40.0f;  // pixels per wheel notch at uiScale 1

// Window coordinates of an event to drawable pixels: on high-density displays
// GL draws more pixels than the window has points.
void toDrawablePixels(unsigned windowId, int& x, int& y)
{
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (!window)
        return;
    int windowW = 0, windowH = 0, drawableW = 0, drawableH = 0;
    SDL_GetWindowSize(window, &windowW, &windowH);
    SDL_GL_GetDrawableSize(window, &drawableW, &drawableH);
    if (windowW > 0 && windowH > 0 && drawableW > 0 && drawableH > 0) {
        x = static_cast<int>(static_cast<long long>(x) * drawableW / windowW);
        y = static_cast<int>(static_cast<long long>(y) * drawableH / windowH);
    }
}

bool fromScript(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEMOTION:
        return event.motion.which == InputScriptPlayer::kMouseId;
    case SDL_MOUSEWHEEL:
        return event.wheel.which == InputScriptPlayer::kMouseId;
    default:
        return event.button.which == InputScriptPlayer::kMouseId;
    }
}
}  // namespace

EventPump::EventPump(const AppHooks& hooks) : m_hooks(hooks), m_devices(input()) {}

void EventPump::pump()
{
    followRelativeMouse();
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handle(event);
}

void EventPump::handle(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        m_quit = true;
        break;
    case SDL_WINDOWEVENT:
        handleWindowEvent(event);
        break;
    case SDL_KEYDOWN:
        // A held key must not walk back through several menus.
        if ((event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_AC_BACK) && !event.key.repeat)
            m_touches.push({TouchEvent::Kind::Back, 0, 0, 0, 0.0f, 0.0f});
        feedInput(event);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEWHEEL:
        if (m_scriptOnly && !fromScript(event))
            break;
        handleMouse(event);
        feedInput(event);
        break;
    default:
        feedInput(event);
        break;
    }
}

void EventPump::feedInput(const SDL_Event& event)
{
    Input& state = input();
    switch (event.type) {
    case SDL_KEYDOWN:
        state.keyDown(event.key.keysym.scancode, event.key.repeat != 0);
        break;
    case SDL_KEYUP:
        state.keyUp(event.key.keysym.scancode);
        break;
    case SDL_TEXTINPUT:
        state.textInput(event.text.text);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        state.mouseButton(event.button.button, event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEMOTION:
        state.mouseMotion(event.motion.xrel, event.motion.yrel);
        break;
    default:
        m_devices.handle(event);
        break;
    }
}

// In flight with mouse steering the pointer is hidden and reports only motion.
void EventPump::followRelativeMouse()
{
    const bool wanted = input().wantsRelativeMouse();
    if (wanted == m_relativeMouse)
        return;
    m_relativeMouse = wanted;
    SDL_SetRelativeMouseMode(wanted ? SDL_TRUE : SDL_FALSE);
    if (wanted && m_leftHeld) {
        m_touches.push({TouchEvent::Kind::Cancel, kMouseTouchId, 0, 0, 0.0f, 0.0f});
        m_leftHeld = false;
    }
}

void EventPump::handleWindowEvent(const SDL_Event& event)
{
    const bool focusChange =
        event.window.event == SDL_WINDOWEVENT_FOCUS_LOST || event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
    if ((m_scriptOnly || m_scriptedFocusOnly) && focusChange && event.window.data1 != InputScriptPlayer::kWindowMark)
        return;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        int width = event.window.data1;
        int height = event.window.data2;
        if (SDL_Window* window = SDL_GetWindowFromID(event.window.windowID))
            SDL_GL_GetDrawableSize(window, &width, &height);
        // A minimised window reports 0 x 0: the metrics and the renderer keep their size.
        if (setScreenSize(width, height) && m_hooks.screenResized)
            m_hooks.screenResized(width, height);
        break;
    }
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // A button released outside the window would leave a widget pressed.
        if (m_leftHeld) {
            m_touches.push({TouchEvent::Kind::Cancel, kMouseTouchId, 0, 0, 0.0f, 0.0f});
            m_leftHeld = false;
        }
        if (m_hooks.focusLost)
            m_hooks.focusLost();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        m_quit = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (m_hooks.focusGained)
            m_hooks.focusGained();
        break;
    default:
        break;
    }
}

void EventPump::handleMouse(const SDL_Event& event)
{
    // In relative mode the mouse steers the plane and points at nothing.
    if (m_relativeMouse)
        return;
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT && !m_leftHeld) {
            m_leftHeld = true;
            queueTouch(TouchEvent::Kind::Down, event.button.windowID, event.button.x, event.button.y);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && m_leftHeld) {
            m_leftHeld = false;
            queueTouch(TouchEvent::Kind::Up, event.button.windowID, event.button.x, event.button.y);
        }
        break;
    case SDL_MOUSEMOTION:
        if (m_leftHeld)
            queueTouch(TouchEvent::Kind::Move, event.motion.windowID, event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEWHEEL: {
        const float sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
        const float step = kWheelStep * screenMetrics().uiScale * sign;
        // Wheel up moves the content down, as desktop lists do.
        m_touches.push({TouchEvent::Kind::Scroll, kMouseTouchId, 0, 0, static_cast<float>(event.wheel.x) * step,
                        -static_cast<float>(event.wheel.y) * step});
        break;
    }
    default:
        break;
    }
}

void EventPump::queueTouch(TouchEvent::Kind kind, unsigned windowId, int x, int y)
{
    toDrawablePixels(windowId, x, y);
    m_touches.push({kind, kMouseTouchId, x, y, 0.0f, 0.0f});
}

void EventPump::dispatchTouches()
{
    for (const TouchEvent& event : m_touches.takeAll()) {
        if (event.kind == TouchEvent::Kind::Back) {
            if (m_hooks.back)
                m_hooks.back();
        } else if (m_hooks.touch) {
            m_hooks.touch(event);
        }
    }
}
