#include "modes/GameMode.h"

#include "entities/ground/CarrierDeck.h"
#include "entities/ground/GroundTarget.h"

CarrierDeck* GameMode::findCarrierDeckAt(const Vec3& point)
{
    for (Target* t : m_active) {
        auto* ship = dynamic_cast<GroundTarget*>(t);
        if (!ship || !ship->isAlive())
            continue;
        if (CarrierDeck* deck = ship->deck(); deck && deck->isOverDeck(point, 0.0f))
            return deck;
    }
    return nullptr;
}

bool GameMode::hitsProp(const Vec3& point, float radius) const { return m_services.sceneOrNone().hitsProp(point, radius); }

bool GameMode::checkPropCollision(const Target& entity) const
{
    return entity.isSubjectToPropCrashes() &&
           m_services.sceneOrNone().crashesIntoProp(entity.position(), 0.5f * entity.radius());
}
