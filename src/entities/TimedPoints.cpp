#include "entities/TimedPoints.h"

TimedPoints& TimedPoints::instance()
{
    static TimedPoints pool;
    return pool;
}

int TimedPoints::add(const Vec3& position, float life, const Target* owner)
{
    if (!(life > 0.0f))
        return -1;
    for (int i = 0; i < kCapacity; ++i) {
        Point& p = m_points[static_cast<std::size_t>(i)];
        if (p.timeLeft <= 0.0f) {
            p = Point{position, life, owner, ++m_serial};
            return i;
        }
    }
    return -1;
}

const TimedPoints::Point* TimedPoints::at(int index) const
{
    if (index < 0 || index >= kCapacity)
        return nullptr;
    const Point& p = m_points[static_cast<std::size_t>(index)];
    return p.timeLeft > 0.0f ? &p : nullptr;
}

void TimedPoints::update(float dt)
{
    for (Point& p : m_points)
        if (p.timeLeft > 0.0f) {
            p.timeLeft -= dt;
            if (p.timeLeft <= 0.0f)
                p.owner = nullptr;
        }
}

void TimedPoints::clear() { m_points.fill(Point{}); }

int TimedPoints::activeCount() const
{
    int n = 0;
    for (const Point& p : m_points)
        n += p.timeLeft > 0.0f ? 1 : 0;
    return n;
}

void TimedPoints::forgetOwner(const Target* owner)
{
    for (Point& p : m_points)
        if (p.owner == owner)
            p.owner = nullptr;
}
