#pragma once
#include "platform/Math.h"
#include "render/RenderBuffer.h"


// The renderer's shadow-map object, made only at quality tier 3: the sun's
// depth over the ground around the camera, one cascade. The terrain and prop
// programs look it up to darken what lies in shadow.
class ShadowMaps {
public:
    static constexpr int kSize = 1024;
    static constexpr float kHalfExtent = 1500.0f;  // world units around the focus
    static constexpr float kDepthRange = 12000.0f;

    // False when the render target cannot be made.
    [[nodiscard]] bool create();
    bool isValid() const { return m_target.isValid(); }

    // Points the sun's orthographic view at `focus` from `sunDirection`
    // (toward the sun). A sun below the horizon shines from straight above.
    void setView(const Vec3& focus, const Vec3& sunDirection);
    // World to the map's 0..1 texture space and depth.
    const Mat4& shadowMatrix() const { return m_shadowMatrix; }
    const Mat4& lightView() const { return m_lightView; }
    const Mat4& lightProjection() const { return m_lightProjection; }
    RenderBuffer& target() { return m_target; }
    const Texture2D* depthTexture() const { return m_target.colorTexture(); }

private:
    RenderBuffer m_target;
    Mat4 m_lightView, m_lightProjection, m_shadowMatrix;
};

// The shadow-map object; null unless created (tier 3).
ShadowMaps* shadowMaps();
// Makes the object when the renderer's quality tier is 3 (or `force`); false
// when it cannot be made. destroyShadowMaps drops it.
bool createShadowMaps(bool force = false);
void destroyShadowMaps();

// Renders every prop batch and every active ShadowVolumes::Caster into the
// shadow map around `focus`, with the sun of the renderer's light record.
// Does nothing without the shadow-map object. Leaves the render target,
// matrices and state as they were.
void renderShadowMaps(const Vec3& focus);

// The uniforms of shaders/shadow_lookup.glsl, part of the lit world programs'
// uniform structs.
struct ShadowLookupUniforms {
    int shadowMap = -1;     // "u_shadowMap" sampler, unit 2
    int shadowOn = -1;      // "u_shadowOn" float, 0 or 1
    int shadowBias = -1;    // "u_shadowBias" float, in map depth
    int shadowMatrix = -1;  // "u_shadowMatrix" mat4, world to map
    template <class F> void forEach(F&& f)
    {
        f("u_shadowMap", shadowMap);
        f("u_shadowOn", shadowOn);
        f("u_shadowBias", shadowBias);
        f("u_shadowMatrix", shadowMatrix);
    }
};

// For the lit world programs: binds the map on texture unit 2 and sets the
// lookup's uniforms of the current program (the lookup is off without a valid
// map). Call after Graphics::applyState.
// `biasUnits` is how far (world units along the sun's ray) a receiver may lie
// behind the stored depth and still count as lit: tiny for ground, which is
// not drawn into the map, larger for props, which would shadow themselves.
void applyShadowLookup(const ShadowLookupUniforms& uniforms, float biasUnits);
constexpr float kGroundShadowBias = 1.5f;
constexpr float kPropShadowBias = 18.0f;
