#include "entities/aircraft/Squadron.h"

#include "entities/EntityRemoval.h"
#include "entities/aircraft/Airplane.h"
#include "platform/Log.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
std::array<Squadron*, Squadron::kMaxSquadrons>& table()
{
    static std::array<Squadron*, Squadron::kMaxSquadrons> squadrons{};
    return squadrons;
}

// The leader's heading in the horizontal plane.
Vec3 flatHeading(const Airplane& leader)
{
    const Vec3 v = leader.velocityDirection();
    return vec3NormalizeOr(Vec3{v.x, 0.0f, v.z}, vec3NormalizeOr(Vec3{leader.forward().x, 0.0f, leader.forward().z},
                                                                 Vec3{0.0f, 0.0f, -1.0f}));
}
}  // namespace

Squadron::Squadron() : m_id(-1)
{
    auto& t = table();
    for (int i = 0; i < kMaxSquadrons; ++i)
        if (!t[static_cast<std::size_t>(i)]) {
            t[static_cast<std::size_t>(i)] = this;
            m_id = i;
            return;
        }
    logWarning("entities", "no squadron id left");
}

Squadron::~Squadron()
{
    forgetSquadron(*this);
    if (m_id >= 0)
        table()[static_cast<std::size_t>(m_id)] = nullptr;
}

Squadron* Squadron::byId(int id) { return id >= 0 && id < kMaxSquadrons ? table()[static_cast<std::size_t>(id)] : nullptr; }

void Squadron::add(Airplane& airplane, bool lead)
{
    if (m_id < 0)
        return;
    if (airplane.squadron && airplane.squadron != this)
        airplane.squadron->remove(airplane);
    if (std::find(m_members.begin(), m_members.end(), &airplane) == m_members.end())
        m_members.push_back(&airplane);
    airplane.squadron = this;
    if (lead)
        m_leader = &airplane;
}

void Squadron::remove(Airplane& airplane)
{
    std::erase(m_members, &airplane);
    if (airplane.squadron == this)
        airplane.squadron = nullptr;
    if (m_leader == &airplane)
        m_leader = nullptr;
}

void Squadron::setLeader(Airplane* airplane)
{
    if (airplane)
        add(*airplane, true);
    else
        m_leader = nullptr;
}

int Squadron::slotOf(const Airplane& airplane) const
{
    if (&airplane == m_leader)
        return 0;
    int slot = 0;
    for (const Airplane* a : m_members) {
        if (a == m_leader)
            continue;
        ++slot;
        if (a == &airplane)
            return slot;
    }
    return 0;
}

Vec3 Squadron::slotPosition(int slot) const
{
    if (!m_leader)
        return m_anchor;
    const Vec3 h = flatHeading(*m_leader);
    const Vec3 side{-h.z, 0.0f, h.x};  // to the right of the heading
    const float rank = static_cast<float>((slot + 1) / 2);
    const float across = (slot % 2 == 1 ? 1.0f : -1.0f) * rank * kSlotSpacing;
    return m_leader->position() + side * across - h * (rank * kSlotSpacing);
}

void Squadron::applyCommand(int command)
{
    switch (command) {
    case 0:
        m_order = SquadronOrder::Formation;
        break;
    case 1:
        m_order = SquadronOrder::Attack;
        break;
    case 2:
        m_order = static_cast<SquadronOrder>((static_cast<int>(m_order) + 1) % 3);
        break;
    case 3:
    case 4:
        m_order = SquadronOrder::Defend;
        break;
    default:
        break;
    }
}

void Squadron::update()
{
    if (!m_leader)
        return;
    const Airplane& l = *m_leader;
    const float f = std::fabs(l.headingVector().x);
    const Vec3 v = l.velocityDirection();
    const Vec3 h = flatHeading(l);
    m_anchor = l.position() + (v + (h - v) * f) * kAnchorDistance;
    const Mat4& m = l.matrix();
    m_orientation = {m.m[0], m.m[1], m.m[2]};
    turn = 0.0f;
}

void Squadron::forget(const Target& t)
{
    if (m_leader == &t)
        m_leader = nullptr;
    std::erase_if(m_members, [&](const Airplane* a) { return static_cast<const Target*>(a) == &t; });
}

void Squadron::forgetEverywhere(const Target& t)
{
    for (Squadron* s : table())
        if (s)
            s->forget(t);
}
