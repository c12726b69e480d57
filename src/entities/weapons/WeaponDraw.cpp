// The bomb sight's mark: a ring laid on the ground where the bomb would land.
#include "entities/weapons/Weapon.h"

#include "render/Graphics.h"
#include "render/assets/GlmFormat.h"
#include "render/assets/ModelBuffers.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {
constexpr int kSegments = 24;
constexpr float kInner = 9.0f, kOuter = 13.0f;
// Above the ground so it is not lost in it.
constexpr float kLift = 1.0f;
}  // namespace

bool Weapon::drawBombMarker(const DrawView& view)
{
    Vec3 impact;
    if (!isEnabled() || !predictedImpact(impact))
        return false;
    if (!std::isfinite(impact.x) || !std::isfinite(impact.y) || !std::isfinite(impact.z))
        return false;
    Graphics* device = graphics();
    if (!device)
        return true;
    // Far away the ring grows so it stays a visible mark.
    const float distance = std::sqrt(vec3DistanceSq(impact, view.eye));
    const float scale = std::max(1.0f, distance / 1500.0f);
    std::array<GlmVertex, 2 * (kSegments + 1)> ring;
    for (int i = 0; i <= kSegments; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / kSegments;
        const float c = std::cos(a), s = std::sin(a);
        const float y = impact.y + kLift;
        ring[static_cast<std::size_t>(2 * i)] = GlmVertex{impact.x + c * kInner * scale, y, impact.z + s * kInner * scale, 0, 1, 0, 0, 0};
        ring[static_cast<std::size_t>(2 * i + 1)] = GlmVertex{impact.x + c * kOuter * scale, y, impact.z + s * kOuter * scale, 0, 1, 0, 0, 0};
    }
    device->pushState();
    const Mat4 saved = device->worldMatrix();
    device->setWorldMatrix(Mat4{});
    setLitModelState(nullptr);
    RenderState& state = device->state();
    state.color = Color4{255, 150, 30, 255};
    state.depthTest = false;  // the mark shows through hills and haze
    state.cull = CullMode::None;
    device->setVertexLayout(VertexLayout::Model32, ring.data());
    device->drawArrays(PrimitiveType::TriangleStrip, 0, static_cast<int>(ring.size()));
    device->setWorldMatrix(saved);
    device->popState();
    return true;
}
