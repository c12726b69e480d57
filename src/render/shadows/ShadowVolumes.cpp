#include "render/shadows/ShadowVolumes.h"
#include "platform/Log.h"

#include "render/Graphics.h"
#include "render/RenderBuffer.h"
#include "render/shadows/ShadowMaps.h"
#include "render/shadows/ShadowVolumeMesh.h"
#include "render/world/WorldView.h"
#include "platform/Math.h"
#include "render/internal/RenderGlobals.h"


#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>
#include <vector>


namespace {

// The volumes of the frame and the welded meshes.
ShadowVolumeFrame& frame()
{
    return renderGlobals().caches().shadowVolumes;
}

std::shared_ptr<const ShadowVolumeMesh> meshOf(std::span<const Vec3> triangles)
{
    auto& cache = frame().meshes;
    const ShadowMeshKey key{triangles.data(), triangles.size()};
    if (auto found = cache.find(key); found != cache.end())
        if (auto mesh = found->second.lock())
            return mesh;
    std::erase_if(cache, [](const auto& entry) { return entry.second.expired(); });
    auto mesh = std::make_shared<const ShadowVolumeMesh>(triangles);
    if (mesh->volumeVertexCount() > ShadowVolumeBatch::kMaxVertices)
        logWarning("render", "a shadow caster of %zu distinct points is too large for a volume; it casts none",
                  mesh->vertexCount());
    cache[key] = mesh;
    return mesh;
}

float largestScale(const Mat4& m)
{
    float largest = 0.0f;
    for (int column = 0; column < 3; ++column) {
        const float* c = &m.m[column * 4];
        largest = std::max(largest, std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]));
    }
    return largest;
}

// The light's unit direction toward the sun; false when there is no usable one.
bool sunDirection(const Graphics& g, Vec3& out)
{
    const LightRecord* light = g.light();
    if (!light)
        return false;
    out = vec3NormalizeOr(Vec3{light->direction[0], light->direction[1], light->direction[2]}, Vec3{0, -1, 0});
    return out.y >= ShadowVolumes::kMinSunHeight;
}

// Whether the target being drawn has a stencil buffer; the screen's comes from
// the window's request (8 bits).
bool targetHasStencil(const Graphics& g)
{
    if (const RenderBuffer* target = g.currentRenderTarget())
        return target->hasStencil();
    return g.screenStencilBits() > 0;
}

// Near enough to the eye (false too for a non-finite position).
bool nearEnough(const Mat4& m, const WorldView& view)
{
    const Vec3 offset = Vec3{m.m[12], m.m[13], m.m[14]} - view.eye;
    return vec3Dot(offset, offset) <= ShadowVolumes::kMaxCasterDistance * ShadowVolumes::kMaxCasterDistance;
}

// The capsule that holds a volume: the caster's sphere swept `extrusion` away
// from the sun. The near cap's hair (under 2 % of the radius) is in `radius`.
struct VolumeBounds {
    Vec3 origin;
    float radius;
    Vec3 towardSun;
    float extrusion;
};

bool inView(const VolumeBounds& b, const WorldView& view)
{
    const float half = b.extrusion * 0.5f;
    return sphereInFrustum(view.camera, b.origin - b.towardSun * half, half + b.radius);
}

// How far the near plane's corners lie from the eye; infinite for a
// projection that is not a perspective one, which then never counts
// depth-pass.
float nearPlaneReach(const Mat4& projection)
{
    const float* m = projection.m;
    constexpr float kInfinite = std::numeric_limits<float>::infinity();
    if (std::fabs(m[11] + 1.0f) > 1e-6f || m[15] != 0.0f || m[3] != 0.0f || m[7] != 0.0f)
        return kInfinite;
    const float n = m[14] / (m[10] - 1.0f);
    const float x = n * (1.0f + std::fabs(m[8])) / std::fabs(m[0]);
    const float y = n * (1.0f + std::fabs(m[9])) / std::fabs(m[5]);
    const float reach = std::sqrt(n * n + x * x + y * y);
    return n > 0.0f && std::isfinite(reach) ? reach : kInfinite;
}

// Depth-pass counting is right only while neither the eye nor the near plane
// touches the volume: then every ray from the eye enters the volume as often
// as it leaves it in front of the first surface it meets. Without its far cap
// the volume must also end below the floor, where the ground hides its open
// end from an eye above it; a volume cut short at kExtrusion may end in the air.
ShadowCounting countingFor(const VolumeBounds& b, float floor, const Vec3& eye, float nearReach)
{
    const float farTop = b.origin.y + b.radius - b.extrusion * b.towardSun.y;
    if (!(farTop < floor) || !(eye.y > floor))
        return ShadowCounting::DepthFail;
    const Vec3 toEye = eye - b.origin;
    const float along = std::clamp(-vec3Dot(toEye, b.towardSun), 0.0f, b.extrusion);
    const Vec3 off = eye - (b.origin - b.towardSun * along);
    const float clear = b.radius + nearReach + 0.05f;
    return vec3Dot(off, off) > clear * clear ? ShadowCounting::DepthPass : ShadowCounting::DepthFail;
}

// The NDC rectangle the batches' volumes cover on screen (a little wider);
// the whole screen when a point lies behind the near plane, where clipping
// would make new corners.
void coveredRect(const Mat4& viewProjection, float rect[4])
{
    ScreenRect covered(viewProjection, true);
    bool open = true;
    for (std::size_t b = 0; open && b < frame().batchCount; ++b) {
        const ShadowVolumeBatch& batch = frame().batches[b];
        for (std::size_t i = 0; open && i < batch.vertexCount(); ++i)
            open = covered.add(batch.vertex(i));
    }
    covered.write(0.01f, rect);
}

// The floor under a caster: the lowest receiver anywhere its volume could
// reach down to the ground floor, when that lies higher.
float floorUnder(const Mat4& m, float radius, const Vec3& towardSun)
{
    const float floor = frame().groundFloor;
    if (!frame().floorQuery)
        return floor;
    const float reach = ShadowVolumes::extrusionFor(m.m[13] + radius, towardSun, floor);
    const float x = m.m[12], z = m.m[14];
    const float tx = x - towardSun.x * reach, tz = z - towardSun.z * reach;
    const float local = frame().floorQuery(std::min(x, tx) - radius, std::min(z, tz) - radius,
                                           std::max(x, tx) + radius, std::max(z, tz) + radius);
    return std::isfinite(local) ? std::max(floor, local) : floor;
}

}  // namespace

void ShadowVolumes::setGroundFloor(float height)
{
    frame().groundFloor = std::isfinite(height) ? height : -1e30f;
}

void ShadowVolumes::setFloorQuery(std::function<float(float, float, float, float)> query, const void* owner)
{
    frame().floorQuery = std::move(query);
    frame().floorQueryOwner = frame().floorQuery ? owner : nullptr;
}

void ShadowVolumes::clearFloorQuery(const void* owner)
{
    if (frame().floorQueryOwner != owner)
        return;
    frame().floorQuery = nullptr;
    frame().floorQueryOwner = nullptr;
}

float ShadowVolumes::extrusionFor(float highestY, const Vec3& towardSun)
{
    return extrusionFor(highestY, towardSun, frame().groundFloor);
}

float ShadowVolumes::extrusionFor(float highestY, const Vec3& towardSun, float floor)
{
    // The margin keeps the far cap clear of the floor's depth rounding.
    constexpr float kPastFloor = 20.0f;
    const float sunY = std::max(towardSun.y, kMinSunHeight);
    const float reach = (highestY - floor) / sunY + kPastFloor;
    if (!std::isfinite(reach))
        return kExtrusion;
    return std::clamp(reach, kPastFloor, kExtrusion);
}

bool ShadowVolumes::enabled()
{
    const Graphics* g = graphics();
    return g && g->qualityTier() >= 1 && shadowMaps() == nullptr;
}

float ShadowVolumes::shadowStrength(const LightRecord& light)
{
    const Vec3 sun = vec3NormalizeOr(Vec3{light.direction[0], light.direction[1], light.direction[2]}, Vec3{0, -1, 0});
    if (sun.y < kMinSunHeight)
        return 0.0f;
    float lit = 0.0f, shadowed = 0.0f;
    for (int c = 0; c < 3; ++c) {
        // As the lit world programs clamp it: min(ambient + diffuse * cos, 1).
        lit += std::min(light.ambient[c] + light.diffuse[c] * sun.y, 1.0f);
        shadowed += std::min(light.ambient[c], 1.0f);
    }
    if (!(lit > 1e-4f))
        return 0.0f;
    return std::clamp(1.0f - shadowed / lit, 0.0f, 1.0f);
}

void ShadowVolumes::buildIndices(const WorldView& view)
{
    frame().batchCount = 0;
    frame().strength = 0.0f;
    const Graphics* g = graphics();
    Vec3 towardSun;
    if (!enabled() || !sunDirection(*g, towardSun))
        return;
    frame().strength = shadowStrength(*g->light());
    if (frame().strength < 0.01f)
        return;
    const float nearReach = nearPlaneReach(view.projection());
    for (std::size_t i = 0; i < Caster::count(); ++i) {
        Caster* caster = Caster::at(i);
        if (!caster || !caster->active() || caster->m_triangles.size() < 3)
            continue;
        if (!caster->m_mesh)
            caster->m_mesh = meshOf(caster->m_triangles);
        const ShadowVolumeMesh& mesh = *caster->m_mesh;
        const Mat4& m = caster->matrix();
        if (mesh.triangleCount() == 0 || mesh.volumeVertexCount() > ShadowVolumeBatch::kMaxVertices ||
            !nearEnough(m, view))
            continue;
        // Every point of the far cap, the top's too, must end below the floor.
        const float radius = mesh.radius() * largestScale(m);
        const float floor = floorUnder(m, radius, towardSun);
        const float extrusion = extrusionFor(m.m[13] + radius, towardSun, floor);
        const VolumeBounds bounds{{m.m[12], m.m[13], m.m[14]}, radius * 1.02f + 0.02f, towardSun, extrusion};
        if (!inView(bounds, view))
            continue;
        if (frame().batchCount == 0 || !frame().batches[frame().batchCount - 1].fits(mesh.volumeVertexCount())) {
            if (frame().batchCount == frame().batches.size())
                frame().batches.emplace_back();
            frame().batches[frame().batchCount++].clear();
        }
        // A degenerate or non-finite matrix appends nothing: that caster casts no shadow.
        (void)mesh.appendVolume(m, towardSun, extrusion, frame().batches[frame().batchCount - 1], nullptr,
                                countingFor(bounds, floor, view.eye, nearReach));
    }
}

void ShadowVolumes::renderStencil()
{
    frame().stencilDrawn = false;
    Graphics* g = graphics();
    if (!g || frame().batchCount == 0 || !enabled() || !targetHasStencil(*g))
        return;
    RenderPassScope pass(*g);
    RenderState& s = g->state();
    s.blend = kBlendOpaque;
    s.alternativeBlend = false;
    s.colorMask = kColorMaskNone;
    s.depthTest = true;
    s.depthWrite = false;
    s.depthFunc = CompareFunc::Less;
    s.cull = CullMode::None;
    s.polygonOffset = false;
    s.customProgram = nullptr;
    s.program = BuiltinProgram::Color;
    s.perVertexColor = false;
    s.textures = {};
    // Depth-fail counting: behind the visible surface, a back face adds one
    // and a front face takes one away, so a visible point inside a volume
    // keeps a count that is not zero, wherever the camera stands.
    StencilState depthFail{};
    depthFail.enabled = true;
    depthFail.func = CompareFunc::Always;
    depthFail.depthFail = StencilOp::DecrementWrap;
    depthFail.twoSided = true;
    depthFail.backDepthFail = StencilOp::IncrementWrap;
    // Depth-pass, for the volumes clear of the eye: in front of the visible
    // surface a front face adds one and a back face takes one away; a point
    // inside ends at plus one as it does above, so the two kinds mix.
    StencilState depthPass{};
    depthPass.enabled = true;
    depthPass.func = CompareFunc::Always;
    depthPass.pass = StencilOp::IncrementWrap;
    depthPass.twoSided = true;
    depthPass.backPass = StencilOp::DecrementWrap;
    g->setWorldMatrix(Mat4{});
    g->bindBuffer(BufferTarget::Array, 0);
    for (std::size_t b = 0; b < frame().batchCount; ++b) {
        const ShadowVolumeBatch& batch = frame().batches[b];
        if (batch.indices.empty() && batch.passIndices.empty())
            continue;
        g->setVertexLayout(VertexLayout::PosTex20, batch.vertices.data());
        if (!batch.indices.empty()) {
            s.stencil = depthFail;
            g->drawIndexed(PrimitiveType::Triangles, batch.indices);
        }
        if (!batch.passIndices.empty()) {
            s.stencil = depthPass;
            g->drawIndexed(PrimitiveType::Triangles, batch.passIndices);
        }
        frame().stencilDrawn = true;
    }
    g->invalidateVertexLayout();
    coveredRect(mat4Multiply(g->projectionMatrix(), g->viewMatrix()), frame().screenRect);
}

void ShadowVolumes::applyShadow()
{
    Graphics* g = graphics();
    if (!g || !frame().stencilDrawn)
        return;
    frame().stencilDrawn = false;
    RenderPassScope pass(*g);
    RenderState& s = g->state();
    // Multiplies what is drawn by (1 - strength): the color is black, its
    // alpha the strength.
    s.blend = BlendState{BlendFactor::Zero, BlendFactor::OneMinusSrcAlpha};
    s.alternativeBlend = false;
    s.colorMask = kColorMaskRed | kColorMaskGreen | kColorMaskBlue;
    s.depthTest = false;
    s.depthWrite = false;
    s.cull = CullMode::None;
    s.polygonOffset = false;
    s.customProgram = nullptr;
    s.program = BuiltinProgram::Color;
    s.perVertexColor = false;
    s.color = Color4{0, 0, 0, static_cast<std::uint8_t>(std::lround(frame().strength * 255.0f))};
    s.textures = {};
    s.stencil = StencilState{};
    s.stencil.enabled = true;
    s.stencil.func = CompareFunc::NotEqual;
    s.stencil.reference = 0;
    s.stencil.pass = StencilOp::Zero;  // leaves the stencil clear for the next frame
    g->setProjectionMatrix(Mat4{});
    g->setViewMatrix(Mat4{});
    g->setWorldMatrix(Mat4{});
    // Only where the volumes lie: elsewhere the stencil is clear.
    const float* r = frame().screenRect;
    const float quad[16] = {r[0], r[1], 0, 0, r[2], r[1], 1, 0, r[0], r[3], 0, 1, r[2], r[3], 1, 1};
    g->bindBuffer(BufferTarget::Array, 0);
    g->setVertexLayout(VertexLayout::PosTex16, quad);
    g->drawArrays(PrimitiveType::TriangleStrip, 0, 4);
    g->invalidateVertexLayout();
}
