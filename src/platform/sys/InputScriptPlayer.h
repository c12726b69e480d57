#pragma once
#include "platform/InputScript.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct _SDL_Joystick;

// Pushes a script's events into SDL's queue at their frames, so that the
// game's own event pump handles them as it handles a player's. Controller
// events go through a virtual controller attached for the run.
class InputScriptPlayer {
public:
    // The mouse id the script's own mouse events carry, told apart from the
    // window system's.
    static constexpr unsigned kMouseId = 0x5C417u;
    // Carried by the script's focus changes (in the window event's first
    // value), which a run deaf to the window system's focus still hears.
    static constexpr int kWindowMark = 0x5C417;

    InputScriptPlayer() = default;
    ~InputScriptPlayer();
    InputScriptPlayer(const InputScriptPlayer&) = delete;
    InputScriptPlayer& operator=(const InputScriptPlayer&) = delete;

    // The events, ordered by frame; attaches the virtual controller when
    // they use one (SDL's joystick subsystem must run).
    void start(std::vector<ScriptEvent> events, unsigned windowId);
    // Pushes the events of that frame; the focused item's centre comes from
    // `focusCentre` (false: nothing focused, the click is dropped).
    void pushFrame(int frame, const std::function<bool(int& x, int& y)>& focusCentre);
    bool active() const { return m_next < m_events.size(); }
    // More events (a piped script's), each placed after those of its frame
    // and of earlier frames; one of a frame already past comes at the next push.
    void append(std::vector<ScriptEvent> events);
    // Closes and detaches the virtual controller. Called before SDL quits:
    // SDL frees its joysticks then, and a later close would read freed memory.
    void releasePad();
    // The "shot" names of the frames pushed since the last call.
    std::vector<std::string> takeShots() { return std::exchange(m_shots, {}); }

private:
    void push(const ScriptEvent& event, const std::function<bool(int& x, int& y)>& focusCentre);
    void pushMouse(unsigned type, int x, int y);
    void attachPadWhenUsed();

    std::vector<ScriptEvent> m_events;
    std::size_t m_next = 0;
    std::vector<std::string> m_shots;
    unsigned m_windowId = 0;
    bool m_leftDown = false;
    int m_lastX = 0, m_lastY = 0;
    int m_virtualIndex = -1;
    _SDL_Joystick* m_pad = nullptr;
};
