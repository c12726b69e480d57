#include "render/assets/CollisionMesh.h"

#include "render/assets/Model.h"

#include <algorithm>
#include <cmath>

namespace {
// Closest point of triangle abc to p (Ericson, Real-Time Collision Detection 5.1.5).
Vec3 closestOnTriangle(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c)
{
    const Vec3 ab = (b - a), ac = (c - a), ap = (p - a);
    const float d1 = vec3Dot(ab, ap), d2 = vec3Dot(ac, ap);
    if (d1 <= 0.0f && d2 <= 0.0f)
        return a;
    const Vec3 bp = (p - b);
    const float d3 = vec3Dot(ab, bp), d4 = vec3Dot(ac, bp);
    if (d3 >= 0.0f && d4 <= d3)
        return b;
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f)
        return (a + (ab * (d1 / (d1 - d3))));
    const Vec3 cp = (p - c);
    const float d5 = vec3Dot(ab, cp), d6 = vec3Dot(ac, cp);
    if (d6 >= 0.0f && d5 <= d6)
        return c;
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f)
        return (a + (ac * (d2 / (d2 - d6))));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0.0f && (d4 - d3) >= 0.0f && (d5 - d6) >= 0.0f)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const float denom = 1.0f / (va + vb + vc);
    return (a + ((ab * (vb * denom)) + (ac * (vc * denom))));
}

// True when the upward vertical ray from p crosses triangle abc.
bool rayUpCrosses(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c)
{
    const float area = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
    if (std::fabs(area) < 1e-12f)
        return false;
    const float w0 = ((b.x - p.x) * (c.z - p.z) - (c.x - p.x) * (b.z - p.z)) / area;
    const float w1 = ((c.x - p.x) * (a.z - p.z) - (a.x - p.x) * (c.z - p.z)) / area;
    const float w2 = 1.0f - w0 - w1;
    if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
        return false;
    return w0 * a.y + w1 * b.y + w2 * c.y > p.y;
}

// The parity ray starts a hair off the point so that it does not run exactly
// through the shared edges of modelled faces (counted twice).
Vec3 rayStartOf(const Vec3& point) { return {point.x + 0.0137f, point.y, point.z + 0.0291f}; }

// Whether the triangle's box, widened by r, keeps p out: most triangles of a
// model are that far and need no closest point.
bool farFrom(const GlmTriangle& t, const Vec3& p, float r)
{
    return p.x + r < std::min({t.a.x, t.b.x, t.c.x}) || p.x - r > std::max({t.a.x, t.b.x, t.c.x}) ||
           p.y + r < std::min({t.a.y, t.b.y, t.c.y}) || p.y - r > std::max({t.a.y, t.b.y, t.c.y}) ||
           p.z + r < std::min({t.a.z, t.b.z, t.c.z}) || p.z - r > std::max({t.a.z, t.b.z, t.c.z});
}
}  // namespace

bool meshTouches(std::span<const GlmTriangle> triangles, const Vec3& point, float radius)
{
    if (!std::isfinite(point.x + point.y + point.z))
        return false;
    const float r = std::isfinite(radius) && radius > 0.0f ? radius : 0.0f;
    const Vec3 rayStart = rayStartOf(point);
    int crossings = 0;
    for (const GlmTriangle& t : triangles) {
        if (!farFrom(t, point, r)) {
            const Vec3 d = point - closestOnTriangle(point, t.a, t.b, t.c);
            if (vec3Dot(d, d) <= r * r)
                return true;
        }
        if (rayUpCrosses(rayStart, t.a, t.b, t.c))
            ++crossings;
    }
    return (crossings & 1) != 0;
}

bool meshCovers(std::span<const GlmTriangle> triangles, const Vec3& point)
{
    const Vec3 rayStart = rayStartOf(point);
    return std::any_of(triangles.begin(), triangles.end(),
                       [&](const GlmTriangle& t) { return rayUpCrosses(rayStart, t.a, t.b, t.c); });
}

bool modelTouches(const Model& model, const Vec3& localPoint, float radius)
{
    const Vec3 lo = model.boundsMin(), hi = model.boundsMax();
    if (!(lo.x <= hi.x && lo.y <= hi.y && lo.z <= hi.z))
        return true;  // no box to test against
    const Vec3 nearest{std::clamp(localPoint.x, lo.x, hi.x), std::clamp(localPoint.y, lo.y, hi.y),
                       std::clamp(localPoint.z, lo.z, hi.z)};
    const float r = std::isfinite(radius) && radius > 0.0f ? radius : 0.0f;
    if (!(vec3DistanceSq(localPoint, nearest) <= r * r))
        return false;
    const std::span<const GlmTriangle> triangles = model.collisionTriangles();
    return triangles.empty() || meshTouches(triangles, localPoint, r);
}
