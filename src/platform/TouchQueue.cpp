#include "platform/TouchQueue.h"

#include <utility>

void TouchQueue::push(const TouchEvent& event)
{
    const bool mergeable = event.kind == TouchEvent::Kind::Move || event.kind == TouchEvent::Kind::Scroll;
    if (mergeable && !m_events.empty()) {
        TouchEvent& last = m_events.back();
        if (last.kind == event.kind && last.id == event.id) {
            last.x = event.x;
            last.y = event.y;
            last.dx += event.dx;
            last.dy += event.dy;
            return;
        }
    }
    if (mergeable && m_events.size() >= kMaxEvents)
        return;
    m_events.push_back(event);
}

std::vector<TouchEvent> TouchQueue::takeAll()
{
    std::vector<TouchEvent> taken;
    taken.swap(m_events);
    return taken;
}
