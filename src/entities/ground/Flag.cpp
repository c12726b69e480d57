#include "entities/ground/Flag.h"

#include <cmath>

Flag::Flag(IEntityHost& host, int team) : Target(host, TargetKind::Flag, team)
{
    setTargetable(false);
    drawGroup = DrawGroup::MapEntities;
    m_radius = kClothLength + kPoleHeight;
}

void Flag::setHome(const Vec3& home)
{
    m_home = home;
    if (m_state == State::Home)
        m_position = home;
}

void Flag::pickUp(Target& carrier, bool ownTeam)
{
    m_carrier = &carrier;
    m_state = ownTeam ? State::CarriedByOwnTeam : State::CarriedByEnemy;
}

void Flag::drop()
{
    m_dropped = m_carrier ? m_carrier->position() : m_position;
    m_position = m_dropped;
    m_carrier = nullptr;
    m_state = State::Dropped;
}

void Flag::dropReferencesTo(const Target& gone)
{
    Target::dropReferencesTo(gone);
    if (m_carrier == &gone)
        drop();
}

void Flag::returnHome()
{
    m_state = State::Home;
    m_carrier = nullptr;
    outOfBoundsTimer = -1.0f;
    m_position = m_home;
}

bool Flag::isNear(const Vec3& point) const
{
    return std::fabs(point.x - m_position.x) <= kTouchRange && std::fabs(point.y - m_position.y) <= kTouchRange &&
           std::fabs(point.z - m_position.z) <= kTouchRange;
}

bool Flag::isTouchable(const Target& airplane) const
{
    const bool open = m_state == State::Dropped || (m_state == State::Home && airplane.team() != team());
    return open && isNear(airplane.position());
}

void Flag::update(float dt)
{
    if (m_carrier)
        m_position = m_carrier->position();
    if (outOfBoundsTimer >= 0.0f)
        outOfBoundsTimer += dt;
}
