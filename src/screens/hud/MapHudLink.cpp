#include "screens/hud/MapHudLink.h"

#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapEntities.h"

#include <algorithm>

MapHudLink& mapHudLink()
{
    static MapHudLink link;
    return link;
}

void MapHudLink::attach(GameWorld* world, HudMessageQueue& queue)
{
    // The old world may be gone already: it is never touched again. Its
    // objectives read nothing from now on; those the queue still lists live
    // until it lets them go.
    const std::span<IHudTrigger* const> listed = queue.triggers();
    std::erase_if(m_objectives, [&](const std::unique_ptr<Objective>& o) {
        return std::find(listed.begin(), listed.end(), o.get()) == listed.end();
    });
    m_world = world;
    m_queue = &queue;
    if (!world)
        return;
    MapHooks hooks = world->hooks();
    hooks.hud = this;
    world->setHooks(hooks);
    for (int i = 0; i < world->triggerCount(); ++i) {
        MapTrigger* trigger = world->trigger(i);
        if (trigger && trigger->kind == MapTrigger::Objective && trigger->started)
            registerObjective(*trigger);
    }
}

void MapHudLink::setNoticeIcon(int icon)
{
    if (m_queue)
        m_queue->setNoticeIcon(icon);
}

void MapHudLink::pushNotice(std::u16string_view text, float duration)
{
    if (m_queue)
        m_queue->pushNotice(text, duration, true, false);
}

void MapHudLink::setCountdown(float seconds, const char* label)
{
    if (m_queue)
        m_queue->setCountdown(seconds, label);
}

void MapHudLink::clearMessages()
{
    if (!m_queue)
        return;
    // The event lines are the match's record, not the map's: they stay.
    m_queue->clearNotices();
    m_queue->clearCentre();
    m_queue->clearLong();
}

void MapHudLink::registerObjective(MapTrigger& trigger)
{
    if (!m_queue || m_queue->triggers().size() >= static_cast<std::size_t>(HudMessageQueue::kMaxTriggers))
        return;
    for (const std::unique_ptr<Objective>& known : m_objectives)
        if (known->live() && &known->trigger() == &trigger)
            return;
    m_objectives.push_back(std::make_unique<Objective>(*this, m_world, trigger));
    m_queue->registerTrigger(m_objectives.back().get());
}

int MapHudLink::Objective::kind() const
{
    return live() ? m_trigger.kind : MapTrigger::Script;
}

int MapHudLink::Objective::total() const
{
    return live() ? m_trigger.targetTotal() : 0;
}

int MapHudLink::Objective::done() const
{
    return live() ? m_trigger.done : 0;
}

bool MapHudLink::Objective::firstTargetInPlay(int& kind, int& variant, int& team) const
{
    if (!live())
        return false;
    for (const MapObject* object : m_trigger.objectList) {
        if (!object || !object->entity || object->isGone())
            continue;
        kind = object->entity->targetKind();
        variant = object->entity->targetVariant();
        team = object->entity->team();
        return true;
    }
    return false;
}
