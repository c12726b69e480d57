#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What the player's pointer did, in drawable pixels. The mouse acts as touch 1:
// the menus take touch id 0 for "no touch", so no event carries it.
struct TouchEvent {
    enum class Kind : std::uint8_t { Down, Move, Up, Cancel, Scroll, Back };
    Kind kind = Kind::Down;
    int id = 0;
    int x = 0, y = 0;           // Down, Move, Up
    float dx = 0.0f, dy = 0.0f; // Scroll: pixels to move the content
};

// Touches and back presses gathered while the window's events are drained, delivered
// later in the order they came. Consecutive moves of one touch merge into the
// last position (and consecutive scrolls add up), so a busy frame queues one
// move; past kMaxEvents further moves and scrolls are dropped, never a down,
// up, cancel or back, so no press is lost or left open.
class TouchQueue {
public:
    static constexpr std::size_t kMaxEvents = 256;

    void push(const TouchEvent& event);
    // Everything queued, oldest first; the queue is empty afterwards.
    std::vector<TouchEvent> takeAll();
    std::size_t size() const { return m_events.size(); }

private:
    std::vector<TouchEvent> m_events;
};
