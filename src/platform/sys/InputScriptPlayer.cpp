#include "platform/sys/InputScriptPlayer.h"

#include "platform/Log.h"

#include <SDL.h>

#include <algorithm>

InputScriptPlayer::~InputScriptPlayer()
{
    releasePad();
}

void InputScriptPlayer::releasePad()
{
    if (m_pad)
        SDL_JoystickClose(m_pad);
    if (m_virtualIndex >= 0)
        SDL_JoystickDetachVirtual(m_virtualIndex);
    m_pad = nullptr;
    m_virtualIndex = -1;
}

void InputScriptPlayer::start(std::vector<ScriptEvent> events, unsigned windowId)
{
    m_events = std::move(events);
    m_next = 0;
    m_windowId = windowId;
    attachPadWhenUsed();
}

void InputScriptPlayer::append(std::vector<ScriptEvent> events)
{
    // The pushed ones are done with; the rest stay in frame order.
    m_events.erase(m_events.begin(), m_events.begin() + static_cast<std::ptrdiff_t>(m_next));
    m_next = 0;
    for (ScriptEvent& e : events) {
        const auto at = std::upper_bound(m_events.begin(), m_events.end(), e.frame,
                                         [](int frame, const ScriptEvent& other) { return frame < other.frame; });
        m_events.insert(at, std::move(e));
    }
    attachPadWhenUsed();
}

void InputScriptPlayer::attachPadWhenUsed()
{
    const bool usesPad = std::any_of(m_events.begin(), m_events.end(), [](const ScriptEvent& e) {
        return e.kind == ScriptEvent::Kind::PadDown || e.kind == ScriptEvent::Kind::PadUp ||
               e.kind == ScriptEvent::Kind::PadAxis;
    });
    if (!usesPad || m_virtualIndex >= 0)
        return;
    // A scripted run may go on without the window's focus (several runs on
    // one display): the controller must be heard all the same.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    m_virtualIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                               SDL_CONTROLLER_BUTTON_MAX, 0);
    if (m_virtualIndex >= 0)
        m_pad = SDL_JoystickOpen(m_virtualIndex);
    if (!m_pad)
        logWarning("platform", "input script: no virtual controller: %s", SDL_GetError());
}

void InputScriptPlayer::pushFrame(int frame, const std::function<bool(int& x, int& y)>& focusCentre)
{
    while (m_next < m_events.size() && m_events[m_next].frame <= frame)
        push(m_events[m_next++], focusCentre);
}

void InputScriptPlayer::pushMouse(unsigned type, int x, int y)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.which = kMouseId;
        event.motion.windowID = m_windowId;
        event.motion.x = x;
        event.motion.y = y;
        event.motion.xrel = x - m_lastX;
        event.motion.yrel = y - m_lastY;
        event.motion.state = m_leftDown ? SDL_BUTTON_LMASK : 0;
    } else {
        event.button.which = kMouseId;
        event.button.windowID = m_windowId;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
        m_leftDown = type == SDL_MOUSEBUTTONDOWN;
    }
    m_lastX = x;
    m_lastY = y;
    SDL_PushEvent(&event);
}

void InputScriptPlayer::push(const ScriptEvent& e, const std::function<bool(int& x, int& y)>& focusCentre)
{
    using Kind = ScriptEvent::Kind;
    SDL_Event event{};
    switch (e.kind) {
    case Kind::KeyDown:
    case Kind::KeyUp:
        event.type = e.kind == Kind::KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = m_windowId;
        event.key.state = e.kind == Kind::KeyDown ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = static_cast<SDL_Scancode>(e.a);
        event.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(e.a));
        SDL_PushEvent(&event);
        break;
    case Kind::MouseDown:
        pushMouse(SDL_MOUSEBUTTONDOWN, e.a, e.b);
        break;
    case Kind::MouseMove:
        pushMouse(SDL_MOUSEMOTION, e.a, e.b);
        break;
    case Kind::MouseUp:
        pushMouse(SDL_MOUSEBUTTONUP, e.a, e.b);
        break;
    case Kind::FocusDown:
    case Kind::FocusUp: {
        int x = 0, y = 0;
        if (!focusCentre || !focusCentre(x, y)) {
            logWarning("platform", "input script line %d: nothing is focused; the click is dropped", e.line);
            break;
        }
        pushMouse(e.kind == Kind::FocusDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, x, y);
        break;
    }
    case Kind::Wheel:
        event.type = SDL_MOUSEWHEEL;
        event.wheel.which = kMouseId;
        event.wheel.windowID = m_windowId;
        event.wheel.x = e.a;
        event.wheel.y = e.b;
        event.wheel.preciseX = static_cast<float>(e.a);
        event.wheel.preciseY = static_cast<float>(e.b);
        event.wheel.mouseX = m_lastX;
        event.wheel.mouseY = m_lastY;
        SDL_PushEvent(&event);
        break;
    case Kind::Text:
        event.type = SDL_TEXTINPUT;
        event.text.windowID = m_windowId;
        SDL_strlcpy(event.text.text, e.text.c_str(), sizeof(event.text.text));
        SDL_PushEvent(&event);
        break;
    case Kind::PadDown:
    case Kind::PadUp:
        if (m_pad)
            SDL_JoystickSetVirtualButton(m_pad, e.a, e.kind == Kind::PadDown ? 1 : 0);
        break;
    case Kind::PadAxis:
        if (m_pad)
            SDL_JoystickSetVirtualAxis(m_pad, e.a, static_cast<Sint16>(e.b));
        break;
    case Kind::Close:
    case Kind::FocusLost:
    case Kind::FocusGained:
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = m_windowId;
        event.window.event = e.kind == Kind::Close        ? SDL_WINDOWEVENT_CLOSE
                             : e.kind == Kind::FocusLost ? SDL_WINDOWEVENT_FOCUS_LOST
                                                         : SDL_WINDOWEVENT_FOCUS_GAINED;
        event.window.data1 = kWindowMark;
        SDL_PushEvent(&event);
        break;
    case Kind::Sync:
        break;
    case Kind::Shot:
        m_shots.push_back(e.text);
        break;
    }
}
