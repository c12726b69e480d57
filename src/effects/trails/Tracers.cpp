#include "effects/trails/Tracers.h"

#include "effects/EffectScene.h"
#include "effects/particles/EffectTextures.h"
#include "effects/particles/ParticleSystem.h"
#include "render/Graphics.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {
struct TracerList {
    std::array<TracerSegment, Tracers::kCapacity> segments{};
    int count = 0;
    struct Beam {
        Vec3 from, to;
        float time = 0.0f;
    };
    std::array<Beam, 16> beams{};
    int beamCount = 0;
    std::vector<FxVertex> vertices = std::vector<FxVertex>((Tracers::kCapacity + 16) * 4);
};
TracerList& list()
{
    static TracerList l;
    return l;
}
}  // namespace

namespace Tracers {
void begin() { list().count = 0; }

bool add(const TracerSegment& segment)
{
    TracerList& l = list();
    if (l.count >= kCapacity)
        return false;
    l.segments[static_cast<std::size_t>(l.count++)] = segment;
    return true;
}

int count() { return list().count; }

void addBeam(const Vec3& from, const Vec3& to, float seconds)
{
    TracerList& l = list();
    if (l.beamCount < static_cast<int>(l.beams.size()) && seconds > 0.0f)
        l.beams[static_cast<std::size_t>(l.beamCount++)] = {from, to, seconds};
}

void updateBeams(float dt)
{
    TracerList& l = list();
    int kept = 0;
    for (int i = 0; i < l.beamCount; ++i) {
        auto b = l.beams[static_cast<std::size_t>(i)];
        b.time -= dt;
        if (b.time > 0.0f)
            l.beams[static_cast<std::size_t>(kept++)] = b;
    }
    l.beamCount = kept;
}

int beamCount() { return list().beamCount; }

void clearAll()
{
    list().count = 0;
    list().beamCount = 0;
}

void renderAll()
{
    Graphics* device = graphics();
    const Texture2D* texture = Effects::texture(EffectTexture::RocketTrail);
    TracerList& l = list();
    if (!device || !texture || l.count + l.beamCount == 0)
        return;
    const Vec3 eye = effectScene().cameraPosition;
    int quads = 0;
    for (int i = 0; i < l.count + l.beamCount; ++i) {
        TracerSegment beam;
        if (i >= l.count) {
            const auto& b = l.beams[static_cast<std::size_t>(i - l.count)];
            beam = {b.from, b.to, 0.6f, Color4{120, 255, 140, 255}};
        }
        const TracerSegment& s = i < l.count ? l.segments[static_cast<std::size_t>(i)] : beam;
        const Vec3 along = s.to - s.from;
        // The streak's width lies across the view and across its length.
        Vec3 side = vec3CrossB(along, (s.from + s.to) * 0.5f - eye);
        const float len = vec3Length(side);
        if (len < 1e-6f || !(len < 1e30f))
            continue;
        side = side * (s.width / len);
        FxVertex* v = &l.vertices[static_cast<std::size_t>(quads * 4)];
        const Vec3 corners[4] = {s.from + side, s.from - side, s.to + side, s.to - side};
        // The texture's length runs along u: the tail fades, the head glows.
        const float us[4] = {0.0f, 0.0f, 1.0f, 1.0f}, vs[4] = {0.0f, 1.0f, 0.0f, 1.0f};
        for (int k = 0; k < 4; ++k)
            v[k] = {corners[k].x, corners[k].y, corners[k].z, s.color, us[k], vs[k]};
        ++quads;
    }
    if (quads == 0)
        return;
    device->pushState();
    RenderState& st = device->state();
    st.program = BuiltinProgram::Effect;
    st.customProgram = nullptr;
    st.perVertexColor = true;
    st.blend = kBlendAdditive;
    st.cull = CullMode::None;
    st.depthTest = true;
    st.depthWrite = false;
    st.textures = {texture, nullptr};
    device->setWorldMatrix(Mat4{});
    device->setVertexLayout(VertexLayout::PosColorTex24, l.vertices.data());
    device->drawQuads(quads);
    device->popState();
}
}  // namespace Tracers
