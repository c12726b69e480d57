#include "render/2d/Render2D.h"

#include "render/Graphics.h"
#include "render/RenderBuffer.h"
#include "render/2d/SpriteBatch.h"
#include "render/internal/RenderGlobals.h"
#include "render/internal/SpriteQuads.h"

#include <cmath>

namespace {

Pass2D& pass()
{
    return renderGlobals().caches().pass2d;
}

// The alpha of the global color factor: below 1 even opaque art lets the background through.
float g_colorFactorAlpha = 1.0f;

void drawBatch(std::span<const SpriteVertex> vertices, const Texture2D* texture, const ClipRect& clip)
{
    Graphics* g = graphics();
    if (!g)
        return;
    RenderState& state = g->state();
    state.textures[0] = texture;
    state.program = BuiltinProgram::Sprite;
    state.customProgram = nullptr;
    state.perVertexColor = true;
    const int x0 = static_cast<int>(std::floor(clip.x)), y0 = static_cast<int>(std::floor(clip.y));
    const int x1 = static_cast<int>(std::ceil(clip.x + clip.w)), y1 = static_cast<int>(std::ceil(clip.y + clip.h));
    g->setScissor(true, x0, static_cast<int>(pass().height) - y1, x1 - x0, y1 - y0);
    g->bindBuffer(BufferTarget::Array, 0);
    g->setVertexLayout(VertexLayout::PosColorTex24, vertices.data());
    // Over opaque art the premultiplied blend gives the source exactly; skipping it saves the fill.
    const BlendState blend = state.blend;
    const bool unblended = spriteBatch().drawingOpaque() && blend == kBlendPremultiplied && !state.alternativeBlend &&
                           g_colorFactorAlpha >= 1.0f;
    if (unblended)
        state.blend = kBlendOpaque;
    g->drawQuads(static_cast<int>(vertices.size() / 4));
    state.blend = blend;
}

// Pixels to clip space: x 0..width to -1..1, y 0..height to 1..-1.
Mat4 screenProjection(float width, float height)
{
    Mat4 m;
    m.m[0] = 2.0f / width;
    m.m[5] = -2.0f / height;
    m.m[10] = -1.0f;
    m.m[12] = -1.0f;
    m.m[13] = 1.0f;
    return m;
}

}  // namespace

void begin2D()
{
    SpriteBatch& batch = spriteBatch();
    batch.discard();
    Graphics* g = graphics();
    if (!g) {
        batch.setDrawHook(nullptr);
        return;
    }
    if (pass().inPass)
        end2D();
    const RenderBuffer* target = g->currentRenderTarget();
    const float width = static_cast<float>(target ? target->width() : g->screenWidth());
    const float height = static_cast<float>(target ? target->height() : g->screenHeight());
    pass().projection = g->projectionMatrix();
    pass().view = g->viewMatrix();
    pass().world = g->worldMatrix();
    g->pushState();
    RenderState& state = g->state();
    state.blend = kBlendPremultiplied;
    state.alternativeBlend = false;
    state.depthTest = false;
    state.depthWrite = false;
    state.cull = CullMode::None;
    state.stencil = StencilState{};
    state.polygonOffset = false;
    state.colorMask = kColorMaskAll;
    g->setRenderState(state);
    if (width > 0.0f && height > 0.0f)
        g->setProjectionMatrix(screenProjection(width, height));
    g->setViewMatrix(Mat4{});
    g->setWorldMatrix(Mat4{});
    pass().height = height;
    batch.setScreenSize(width, height);
    batch.setDrawHook(drawBatch);
    pass().inPass = true;
}

void end2D()
{
    SpriteBatch& batch = spriteBatch();
    Graphics* g = graphics();
    if (!pass().inPass || !g) {
        batch.discard();
        return;
    }
    batch.flush();
    batch.setDrawHook(nullptr);
    g->setScissor(false, 0, 0, 0, 0);
    g->popState();
    g->setProjectionMatrix(pass().projection);
    g->setViewMatrix(pass().view);
    g->setWorldMatrix(pass().world);
    pass().inPass = false;
}

void flushSpriteBatch()
{
    spriteBatch().flush();
}

void pushClipRect()
{
    spriteBatch().pushClipRect();
}

void setClipRect(float x, float y, float width, float height)
{
    spriteBatch().setClipRect(x, y, width, height);
}

void popClipRect()
{
    spriteBatch().popClipRect();
}

void resetClipRect()
{
    spriteBatch().resetClipRect();
}

void pushCropRect(float x, float y, float width, float height)
{
    spriteBatch().pushCropRect(x, y, width, height);
}

void popCropRect()
{
    spriteBatch().popCropRect();
}

void drawFilledRect(float x, float y, float width, float height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                    std::uint8_t a)
{
    Graphics* device = graphics();
    if (!(width > 0.0f) || !(height > 0.0f) || a == 0)
        return;
    emitQuad(spriteBatch(), Transform2D{}, x, y, x + width, y + height, ModuleUv{0.0f, 0.0f, 1.0f, 1.0f},
             premultiplied(Color4{r, g, b, a}), device ? device->whiteTexture() : nullptr);
}

void setGlobalColorFactor(float r, float g, float b, float a)
{
    spriteBatch().flush();
    g_colorFactorAlpha = a;
    if (Graphics* device = graphics())
        device->setColorFactor(r, g, b, a);
}

SpriteBatch& spriteBatch()
{
    return renderGlobals().caches().spriteBatch;
}
