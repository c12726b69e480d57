#include "entities/ground/CarrierDeck.h"

#include "entities/aircraft/Airplane.h"
#include "render/assets/Model.h"

#include <algorithm>
#include <cmath>

CarrierDeck::CarrierDeck(Target& ship, const Model* model) : m_ship(&ship)
{
    const Model::Node* deck = model ? model->findNode("deck") : nullptr;
    if (deck && !deck->vertices.empty()) {
        Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
        for (const GlmVertex& v : deck->vertices) {
            const Vec3 p = mat4TransformPoint(deck->matrix, {v.x, v.y, v.z});
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        if (hi.x > lo.x && hi.z > lo.z) {
            m_lo = lo;
            m_hi = hi;
        }
    }
}

CarrierDeck::~CarrierDeck()
{
    for (Airplane* a : m_carried)
        a->leaveCarrier();
}

Mat4 CarrierDeck::shipMatrix() const
{
    return mat4FromQuatPosition(quatFromEuler(m_heading, 0.0f, 0.0f), m_ship->position());
}

Vec3 CarrierDeck::toLocal(const Vec3& world) const
{
    const Vec3 d = world - m_ship->position();
    const float c = std::cos(m_heading), s = std::sin(m_heading);
    // The inverse of the turn about y by the heading.
    return {c * d.x - s * d.z, d.y, s * d.x + c * d.z};
}

float CarrierDeck::deckHeight() const { return m_ship->position().y + m_hi.y; }

bool CarrierDeck::isOverDeck(const Vec3& point, float margin) const
{
    const Vec3 p = toLocal(point);
    return p.x >= m_lo.x - margin && p.x <= m_hi.x + margin && p.z >= m_lo.z - margin && p.z <= m_hi.z + margin;
}

bool CarrierDeck::recover(Airplane& airplane)
{
    if (!airplane.isAlive() || airplane.speed() > kRecoverySpeed || !isOverDeck(airplane.position(), 0.0f))
        return false;
    const float above = airplane.position().y - airplane.dimensions().groundOffset - deckHeight();
    if (above < -1.0f || above > kCatchHeight)
        return false;
    park(airplane, toLocal(airplane.position()));
    return true;
}

void CarrierDeck::park(Airplane& airplane, const Vec3& localSpot)
{
    release(airplane);
    if (CarrierDeck* other = airplane.carrier(); other && other != this)
        other->release(airplane);
    const Vec3 spot{std::clamp(localSpot.x, m_lo.x, m_hi.x), m_hi.y + airplane.dimensions().groundOffset,
                    std::clamp(localSpot.z, m_lo.z, m_hi.z)};
    const float turn = quatYaw(airplane.orientation()) - m_heading;
    m_carried.push_back(&airplane);
    m_parked.push_back({&airplane, spot, turn});
    airplane.standOnCarrier(*this);
    update(0.0f);
}

void CarrierDeck::launch(Airplane& airplane)
{
    if (std::find(m_carried.begin(), m_carried.end(), &airplane) == m_carried.end())
        return;
    release(airplane);
    // Off the bow, along the ship, with the ship's own speed added.
    const Vec3 bow{-std::sin(m_heading), 0.0f, -std::cos(m_heading)};
    airplane.setPositionAndStop(m_ship->position() + bow * (m_hi.z - m_lo.z) * 0.5f +
                                Vec3{0.0f, m_hi.y + airplane.dimensions().groundOffset + 4.0f, 0.0f});
    airplane.setOrientation(quatFromEuler(m_heading, 0.05f, 0.0f));
    airplane.setSpeed(kLaunchSpeed + vec3Length(m_ship->velocity()));
    airplane.setThrottleSetting(1.0f);
    airplane.setThrottleCommand(1.0f);
}

void CarrierDeck::release(Airplane& airplane)
{
    const auto it = std::find(m_carried.begin(), m_carried.end(), &airplane);
    if (it == m_carried.end())
        return;
    m_carried.erase(it);
    std::erase_if(m_parked, [&](const Parked& p) { return p.airplane == &airplane; });
    airplane.leaveCarrier();
}

void CarrierDeck::releaseAll()
{
    while (!m_carried.empty())
        release(*m_carried.back());
}

void CarrierDeck::forget(const Target& gone)
{
    for (Airplane* a : m_carried)
        if (static_cast<const Target*>(a) == &gone) {
            release(*a);
            return;
        }
}

void CarrierDeck::update(float)
{
    const Mat4 m = shipMatrix();
    for (const Parked& p : m_parked) {
        p.airplane->setPositionAndStop(mat4TransformPoint(m, p.spot));
        p.airplane->setOrientation(quatFromEuler(m_heading + p.turn, 0.0f, 0.0f));
    }
}
