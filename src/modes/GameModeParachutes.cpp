#include "modes/GameMode.h"

#include "effects/world/Parachute.h"
#include "entities/aircraft/Airplane.h"
#include "modes/AchievementEvents.h"
#include "platform/Log.h"

#include <algorithm>

void GameMode::addParachute(std::unique_ptr<Parachute> parachute)
{
    if (!parachute)
        return;
    logInfo("modes", "parachute %d made", parachute->id);
    if (m_playerAirplane && parachute->owner == static_cast<IAirplaneFx*>(m_playerAirplane))
        m_hooks.progressOrNone().countEvent(modeevent::kPlayerEjected);
    m_parachutes.push_back(std::move(parachute));
}

void GameMode::updateParachutes(float dt)
{
    for (auto& p : m_parachutes)
        p->update(dt);
    // The mode's rule runs before the erase below: taking the pilot's airplane
    // out of play touches its parachute.
    for (auto& p : m_parachutes)
        if (p->done)
            onParachuteFinished(*p);
    std::erase_if(m_parachutes, [](const std::unique_ptr<Parachute>& p) {
        if (p->done)
            logInfo("modes", "parachute %d ended", p->id);
        return p->done;
    });
}

void GameMode::drawParachutes(int pass) const
{
    for (const auto& p : m_parachutes)
        p->render(pass);
}
