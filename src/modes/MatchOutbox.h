#pragma once
#include "modes/MatchEvents.h"

#include <span>
#include <utility>
#include <vector>

// The events of the running match in the order they happened, waiting for
// the network game to send them. The mode fills it only while a network game
// listens; the network game takes everything after the mode's update (and
// before each message of its own, so the order on the wire is the order of
// play).
class MatchOutbox {
public:
    void post(MatchEvent event) { m_events.push_back(std::move(event)); }
    std::span<const MatchEvent> events() const { return m_events; }
    bool empty() const { return m_events.empty(); }
    std::size_t size() const { return m_events.size(); }
    void clear() { m_events.clear(); }
    // Everything waiting, oldest first; the outbox is empty after.
    std::vector<MatchEvent> take() { return std::exchange(m_events, {}); }

private:
    std::vector<MatchEvent> m_events;
};
