#include "effects/screen/ScreenDamage.h"

#include "effects/EffectScene.h"
#include "effects/screen/ScreenSplats.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/RenderBuffer.h"
#include "render/Texture2D.h"
#include "render/assets/TextureCache.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
std::unique_ptr<RenderBuffer> s_target;
// Made on first need; false once the device refused it.
bool s_lazy = false;
const Texture2D* s_clean = nullptr;
int s_bullets = 0;
int s_dust = 0;
TextureRef s_bulletTexture, s_dustTexture;

struct Corner {
    float x, y, u, v;
};
constexpr Corner kBulletCorners[4] = {
    {-0.025f, -0.025f, 0.0f, 0.0f}, {-0.025f, 0.025f, 0.0f, 1.0f}, {0.025f, -0.025f, 0.25f, 0.0f}, {0.025f, 0.025f, 0.25f, 1.0f}};
constexpr Corner kDustCorners[4] = {
    {-0.1f, -0.1f, 0.0f, 0.0f}, {-0.1f, 0.1f, 0.0f, 1.0f}, {0.1f, -0.1f, 0.5f, 0.0f}, {0.1f, 0.1f, 0.5f, 1.0f}};

// The next state word of the shared generator.
std::uint32_t nextWord() { return randU32(); }

void drawStrip(Graphics& g, const Corner (&quad)[4])
{
    g.setVertexLayout(VertexLayout::PosTex16, quad);
    g.drawArrays(PrimitiveType::TriangleStrip, 0, 4);
}

void paintBullet(Graphics* g)
{
    const float cx = randSigned(), cy = randSigned();
    const float variant = static_cast<float>(nextWord() & 3u);
    if (!g)
        return;
    Corner quad[4];
    for (int i = 0; i < 4; ++i)
        quad[i] = {kBulletCorners[i].x + cx, kBulletCorners[i].y + cy, kBulletCorners[i].u + variant * 0.25f, kBulletCorners[i].v};
    RenderState& st = g->state();
    st.textures[0] = s_bulletTexture.get();
    st.blend = kBlendStraightAlpha;
    drawStrip(*g, quad);
    // Cut the glass's alpha where the hole is: the cockpit sees through it.
    st.blend = {BlendFactor::Zero, BlendFactor::OneMinusSrcAlpha};
    st.colorMask = kColorMaskAlpha;
    drawStrip(*g, quad);
    st.colorMask = kColorMaskAll;
}

void paintDust(Graphics* g)
{
    const float cx = randSigned(), cy = randSigned();
    const float variant = static_cast<float>(nextWord() & 1u);
    const float a = randAngle();
    if (!g)
        return;
    const float c = std::cos(a), s = std::sin(a);
    Corner quad[4];
    for (int i = 0; i < 4; ++i) {
        const Corner& k = kDustCorners[i];
        quad[i] = {k.x * c - k.y * s + cx, k.x * s + k.y * c + cy, k.u + variant * 0.5f, k.v};
    }
    RenderState& st = g->state();
    st.textures[0] = s_dustTexture.get();
    st.blend = kBlendStraightAlpha;
    drawStrip(*g, quad);
}
}  // namespace

bool ScreenDamage::createRenderTarget()
{
    Graphics* g = graphics();
    if (!g)
        return false;
    const int size = g->qualityTier() >= 2 ? 1024 : 512;
    auto target = std::make_unique<RenderBuffer>();
    SamplerSettings sampler = g->defaultSampler();
    if (!target->createTexture(TextureFormat::Rgba8, size, size, sampler, false))
        return false;
    s_target = std::move(target);
    s_bulletTexture = getTexture("data/particles/bulletHoles.png");
    s_dustTexture = getTexture("data/particles/dustHoles.png");
    return true;
}

void ScreenDamage::useLazyTarget()
{
    s_lazy = !s_target;
}

namespace {
// A glass never damaged nor drawn is the clean one still waiting: only then
// is the target worth its memory (4 MiB at 1024 square).
bool ensureTarget()
{
    if (s_target || !s_lazy)
        return s_target != nullptr;
    s_lazy = false;
    if (!ScreenDamage::createRenderTarget())
        logWarning("effects", "no canopy damage target: the glass stays clean");
    return s_target != nullptr;
}
}  // namespace

void ScreenDamage::releaseRenderTarget()
{
    s_lazy = false;
    s_target.reset();
    s_bulletTexture.reset();
    s_dustTexture.reset();
    s_clean = nullptr;
    s_bullets = s_dust = 0;
}

void ScreenDamage::addHit()
{
    s_bullets += 3;
    ScreenSplats::spawn(32, ScreenSplats::kBulletHoles, 0.0f);
}

void ScreenDamage::addDust(int count)
{
    s_dust += std::max(count, 0);
}

void ScreenDamage::clean(const Texture2D* canopy)
{
    s_clean = canopy;
    s_bullets = s_dust = 0;
}

int ScreenDamage::bulletHoles() { return s_bullets; }
int ScreenDamage::dustHoles() { return s_dust; }
RenderBuffer* ScreenDamage::target() { return s_target.get(); }
Texture2D* ScreenDamage::texture() { return s_target ? s_target->colorTexture() : nullptr; }

bool ScreenDamage::drawGlass(float opacity)
{
    Graphics* g = graphics();
    if (!g || !(opacity > 0.0f))
        return false;
    // The first look at the glass makes it, with the clean canopy still waiting.
    if (!s_target && ensureTarget())
        (void)render();
    Texture2D* glass = texture();
    if (!glass)
        return false;
    const Mat4 projection = g->projectionMatrix(), view = g->viewMatrix(), world = g->worldMatrix();
    g->pushState();
    g->setProjectionMatrix(Mat4{});
    g->setViewMatrix(Mat4{});
    g->setWorldMatrix(Mat4{});
    RenderState st = RenderState::fullTarget();
    st.program = BuiltinProgram::Sprite;
    st.perVertexColor = false;
    st.blend = kBlendPremultiplied;
    const auto k = static_cast<std::uint8_t>(std::lround(std::min(opacity, 1.0f) * 255.0f));
    st.color = Color4{k, k, k, k};
    st.textures[0] = glass;
    g->setRenderState(st);
    g->drawFullScreenQuad();
    g->popState();
    g->setProjectionMatrix(projection);
    g->setViewMatrix(view);
    g->setWorldMatrix(world);
    return true;
}

ScreenDamage::Painted ScreenDamage::render()
{
    Painted done;
    if (s_bullets < 1 && s_dust < 1 && !s_clean)
        return done;
    // Only a clean glass waits: painting it into a target nobody has looked at
    // would only hold the memory.
    if (!s_target && s_lazy && s_bullets < 1 && s_dust < 1)
        return done;
    if (graphics())
        (void)ensureTarget();
    // Without a target the holes are still used up, so they do not pile up.
    Graphics* g = graphics() && s_target ? graphics() : nullptr;
    done.touched = true;
    RenderBuffer* previous = nullptr;
    Mat4 projection, view;
    if (g) {
        previous = g->currentRenderTarget();
        projection = g->projectionMatrix();
        view = g->viewMatrix();
        g->pushState();
        g->setRenderTarget(s_target.get());
        g->setProjectionMatrix(Mat4{});
        g->setViewMatrix(Mat4{});
        g->setWorldMatrix(Mat4{});
        RenderState st = RenderState::fullTarget();
        st.program = BuiltinProgram::Sprite;
        st.perVertexColor = false;
        g->setRenderState(st);
    }
    if (s_clean) {
        if (g) {
            g->state().blend = kBlendOpaque;
            g->state().textures[0] = s_clean;
            const auto share = static_cast<std::uint8_t>(std::lround(kCleanGlassShare * 255.0f));
            g->state().color = Color4{share, share, share, share};
            g->drawFullScreenQuad();
            g->state().color = Color4{255, 255, 255, 255};
        }
        s_clean = nullptr;
        done.cleaned = true;
    }
    s_bullets = std::min(s_bullets, kMaxBulletHoles);
    for (; s_bullets > 0; --s_bullets, ++done.bulletHoles)
        paintBullet(g);
    s_dust = std::min(s_dust, kMaxDustHoles);
    for (; s_dust > 0; --s_dust, ++done.dustHoles)
        paintDust(g);
    if (g) {
        g->state().blend = kBlendPremultiplied;
        g->popState();
        g->setRenderTarget(previous);
        g->setProjectionMatrix(projection);
        g->setViewMatrix(view);
    }
    return done;
}
