#include "render/shadows/ShadowMaps.h"

#include "render/Graphics.h"
#include "render/world/Props.h"
#include "render/shadows/ShadowVolumes.h"
#include "render/world/WorldView.h"
#include "platform/Math.h"
#include "render/internal/RenderGlobals.h"
#include "render/internal/WorldProgram.h"
#include "render/shaders/ShaderSources.h"


#include <cmath>
#include <memory>
#include <vector>


namespace {

Mat4 orthographic(float halfExtent, float nearPlane, float farPlane)
{
    Mat4 m;
    m.m[0] = 1.0f / halfExtent;
    m.m[5] = 1.0f / halfExtent;
    m.m[10] = -2.0f / (farPlane - nearPlane);
    m.m[14] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    return m;
}

}  // namespace

bool ShadowMaps::create()
{
    // Nearest: the packed depth must not be blended between texels.
    return m_target.createTexture(TextureFormat::Rgba8, kSize, kSize, {TextureFilter::Nearest, TextureWrap::ClampToEdge});
}

void ShadowMaps::setView(const Vec3& focus, const Vec3& sunDirection)
{
    Vec3 sun = vec3NormalizeOr(sunDirection, Vec3{0, 1, 0});
    if (sun.y < 0.05f)
        sun = Vec3{0, 1, 0};
    const Vec3 eye = (focus + (sun * (kDepthRange * 0.5f)));
    const Vec3 up = std::fabs(sun.y) > 0.99f ? Vec3{0, 0, -1} : Vec3{0, 1, 0};
    m_lightView = lookAtMatrix(eye, focus, up);
    m_lightProjection = orthographic(kHalfExtent, 1.0f, kDepthRange);
    Mat4 bias;  // -1..1 clip space to 0..1
    bias.m[0] = bias.m[5] = bias.m[10] = 0.5f;
    bias.m[12] = bias.m[13] = bias.m[14] = 0.5f;
    m_shadowMatrix = mat4Multiply(bias, mat4Multiply(m_lightProjection, m_lightView));
}

ShadowMaps* shadowMaps() { return renderGlobals().caches().shadowMaps.get(); }

bool createShadowMaps(bool force)
{
    Graphics* g = graphics();
    if (!g || (!force && g->qualityTier() < 3))
        return false;
    std::unique_ptr<ShadowMaps>& current = renderGlobals().caches().shadowMaps;
    if (current)
        return true;
    auto maps = std::make_unique<ShadowMaps>();
    if (!maps->create())
        return false;
    current = std::move(maps);
    return true;
}

void destroyShadowMaps() { renderGlobals().caches().shadowMaps.reset(); }

void renderShadowMaps(const Vec3& focus)
{
    Graphics* g = graphics();
    ShadowMaps* maps = shadowMaps();
    WorldProgram<ShadowDepthUniforms>& depthProgram = renderGlobals().caches().shadowDepthProgram;
    if (!g || !maps || !maps->isValid() ||
        !depthProgram.ensure("shadow depth", shaders::kShadowDepthVert, shaders::kShadowDepthFrag))
        return;
    const LightRecord* light = g->light();
    const Vec3 sun = light ? Vec3{light->direction[0], light->direction[1], light->direction[2]} : Vec3{0, 1, 0};
    maps->setView(focus, sun);

    RenderPassScope pass(*g);
    g->setRenderTarget(&maps->target());
    g->setClearColor(Color4{255, 255, 255, 255});  // farthest depth
    g->clear();
    RenderState state = RenderState::opaque();
    state.customProgram = &depthProgram.program();
    g->setRenderState(state);
    g->setProjectionMatrix(maps->lightProjection());
    g->setViewMatrix(maps->lightView());
    g->setWorldMatrix(Mat4{});
    drawPropDepths();
    g->bindBuffer(BufferTarget::Array, 0);
    g->bindBuffer(BufferTarget::ElementArray, 0);
    std::vector<float> points;  // PosTex20: x y z u v
    for (std::size_t i = 0; i < ShadowVolumes::Caster::count(); ++i) {
        const ShadowVolumes::Caster* caster = ShadowVolumes::Caster::at(i);
        if (!caster || !caster->active() || caster->triangles().size() < 3)
            continue;
        const std::size_t count = caster->triangles().size() / 3 * 3;
        points.clear();
        for (std::size_t k = 0; k < count; ++k) {
            const Vec3& p = caster->triangles()[k];
            points.insert(points.end(), {p.x, p.y, p.z, 0.0f, 0.0f});
        }
        g->setWorldMatrix(caster->matrix());
        g->setVertexLayout(VertexLayout::PosTex20, points.data());
        g->drawArrays(PrimitiveType::Triangles, 0, static_cast<int>(count));
    }
    g->invalidateVertexLayout();
}

void applyShadowLookup(const ShadowLookupUniforms& u, float biasUnits)
{
    const ShadowMaps* maps = shadowMaps();
    const bool on = maps && maps->isValid() && maps->depthTexture();
    GpuProgram::setUniform(u.shadowOn, on ? 1.0f : 0.0f);
    GpuProgram::setUniform(u.shadowMap, 2);
    if (!on)
        return;
    GpuProgram::setUniform(u.shadowMatrix, maps->shadowMatrix());
    GpuProgram::setUniform(u.shadowBias, biasUnits / ShadowMaps::kDepthRange);
    if (Graphics* device = graphics())
        device->bindExtraTexture(2, maps->depthTexture());
}
