#include "platform/Spline.h"

#include <algorithm>
#include <cmath>

void Spline::build(std::span<const Vec3> points, int samples)
{
    clear();
    m_points.assign(points.begin(), points.end());
    if (m_points.size() < 2)
        return;
    samples = std::max(samples, 1);
    const float segments = static_cast<float>(m_points.size() - 1);
    m_distances.reserve(static_cast<std::size_t>(samples) + 1);
    m_distances.push_back(0.0f);
    Vec3 previous = m_points.front();
    for (int i = 1; i <= samples; ++i) {
        const Vec3 p = evaluate(segments * static_cast<float>(i) / static_cast<float>(samples));
        m_distances.push_back(m_distances.back() + vec3DistanceExact(previous, p));
        previous = p;
    }
}

void Spline::clear()
{
    m_points.clear();
    m_distances.clear();
}

Vec3 Spline::evaluate(float u) const
{
    const int last = static_cast<int>(m_points.size()) - 1;
    const int segment = std::clamp(static_cast<int>(std::floor(u)), 0, last - 1);
    const float t = std::clamp(u - static_cast<float>(segment), 0.0f, 1.0f);
    const Vec3& p0 = m_points[static_cast<std::size_t>(std::max(segment - 1, 0))];
    const Vec3& p1 = m_points[static_cast<std::size_t>(segment)];
    const Vec3& p2 = m_points[static_cast<std::size_t>(segment + 1)];
    const Vec3& p3 = m_points[static_cast<std::size_t>(std::min(segment + 2, last))];
    const float t2 = t * t, t3 = t2 * t;
    return (p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 +
            (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) *
           0.5f;
}

Vec3 Spline::pointAt(float distance) const
{
    if (m_points.empty())
        return {};
    if (m_points.size() == 1 || m_distances.size() < 2)
        return m_points.front();
    const float total = m_distances.back();
    if (!(distance > 0.0f))
        return m_points.front();
    if (distance >= total)
        return m_points.back();
    // First sample at or beyond the distance; the one before it starts the step.
    const auto it = std::lower_bound(m_distances.begin(), m_distances.end(), distance);
    const std::size_t next = static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - m_distances.begin(), 1));
    const float start = m_distances[next - 1], step = m_distances[next] - start;
    const float within = step > 0.0f ? (distance - start) / step : 0.0f;
    const float samples = static_cast<float>(m_distances.size() - 1);
    const float segments = static_cast<float>(m_points.size() - 1);
    return evaluate((static_cast<float>(next - 1) + within) * segments / samples);
}
