#include "entities/ground/Road.h"

#include "render/Graphics.h"
#include "render/assets/ModelBuffers.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {
// The ribbon draws from 16-bit indices: two vertices a point.
constexpr std::size_t kMaxPoints = std::numeric_limits<std::uint16_t>::max() / 2;
bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
}  // namespace

Road::Road(int itemIndex, std::vector<Vec3> path) : m_itemIndex(itemIndex), m_path(std::move(path)) {}

void Road::setPath(std::vector<Vec3> path)
{
    m_path = std::move(path);
    m_built = false;
}

void Road::update(float)
{
    if (!m_built)
        buildRibbon();
}

void Road::buildRibbon()
{
    m_built = true;
    m_ribbon.clear();
    m_indices.clear();
    std::vector<Vec3> points;
    for (const Vec3& p : m_path)
        if (finite(p) && (points.empty() || vec3DistanceSq(p, points.back()) > 1e-4f) && points.size() < kMaxPoints)
            points.push_back(p);
    if (points.size() < 2)
        return;
    float along = 0.0f;
    for (std::size_t i = 0; i < points.size(); ++i) {
        // The side at a point is across the mean of its two segments.
        const Vec3 ahead = points[std::min(i + 1, points.size() - 1)] - points[i == 0 ? 0 : i - 1];
        const Vec3 flat = vec3NormalizeOr(Vec3{ahead.x, 0.0f, ahead.z}, {0.0f, 0.0f, 1.0f});
        const Vec3 side{-flat.z * kWidth * 0.5f, 0.0f, flat.x * kWidth * 0.5f};
        if (i > 0)
            along += std::sqrt(vec3DistanceSq(points[i], points[i - 1])) / kWidth;
        const Vec3 centre = points[i] + Vec3{0.0f, kLift, 0.0f};
        m_ribbon.push_back(GlmVertex{centre.x - side.x, centre.y, centre.z - side.z, 0, 1, 0, 0.0f, along});
        m_ribbon.push_back(GlmVertex{centre.x + side.x, centre.y, centre.z + side.z, 0, 1, 0, 1.0f, along});
        if (i > 0) {
            const auto a = static_cast<std::uint16_t>(2 * i - 2);
            m_indices.insert(m_indices.end(), {a, static_cast<std::uint16_t>(a + 2), static_cast<std::uint16_t>(a + 1),
                                               static_cast<std::uint16_t>(a + 1), static_cast<std::uint16_t>(a + 2),
                                               static_cast<std::uint16_t>(a + 3)});
        }
    }
}

void Road::draw(const DrawView&)
{
    Graphics* device = graphics();
    if (!m_built)
        buildRibbon();
    if (!device || m_indices.empty())
        return;
    const Mat4 saved = device->worldMatrix();
    device->setWorldMatrix(Mat4{});
    setLitModelState(nullptr);
    device->state().color = Color4{72, 72, 76, 255};
    device->setVertexLayout(VertexLayout::Model32, m_ribbon.data());
    device->drawIndexed(PrimitiveType::Triangles, m_indices);
    device->setWorldMatrix(saved);
}
