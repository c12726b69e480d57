#include "render/fx/PostProcess.h"

#include "platform/FrameProfile.h"
#include "render/Graphics.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/RenderBuffer.h"
#include "render/internal/RenderGlobals.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
PostTargets& post()
{
    return renderGlobals().caches().post;
}

// Bright parts below this (0..1 per channel) cast no shafts.
constexpr float kShaftThreshold = 0.75f;

// A full-target pass: saves target, matrices, state and clear color, and
// draws opaque with identity matrices.
class FullTargetPass {
public:
    explicit FullTargetPass(Graphics& device) : m_scope(device)
    {
        device.state() = RenderState::fullTarget();
        device.setProjectionMatrix(Mat4{});
        device.setViewMatrix(Mat4{});
        device.setWorldMatrix(Mat4{});
    }

private:
    RenderPassScope m_scope;
};

float clamp01(float v)
{
    return std::min(std::max(v, 0.0f), 1.0f);
}
}  // namespace

bool PostProcess::createTargets()
{
    destroyTargets();
    Graphics* device = graphics();
    if (!device || device->qualityTier() < 3)
        return true;
    const int w = std::max(device->screenWidth(), 1), h = std::max(device->screenHeight(), 1);
    auto scene = std::make_unique<RenderBuffer>();
    auto shafts = std::make_unique<RenderBuffer>();
    if (!scene->createTexture(TextureFormat::Rgba8, w, h, kClampSampler) ||
        !shafts->createTexture(TextureFormat::Rgba8, std::max(w / 2, 1), std::max(h / 2, 1), kClampSampler, false))
        return false;
    post().scene = std::move(scene);
    post().shafts = std::move(shafts);
    device->sceneTargets[1] = post().scene.get();
    // Once combined onto the final target, the scene target still holds the
    // picture as it was: what the exhaust's core drawn over it refracts.
    device->hazeTarget = post().scene.get();
    // The shimmer is a nicety: without its targets the scene still draws.
    auto distortion = std::make_unique<RenderBuffer>();
    auto picture = std::make_unique<RenderBuffer>();
    // Full size: at half size the filtered offsets bleed past the exhaust's
    // edge and bend what lies beside it.
    if (distortion->createTexture(TextureFormat::Rgba8, w, h, kClampSampler) &&
        picture->createTexture(TextureFormat::Rgba8, w, h, kClampSampler, false)) {
        post().distortion = std::move(distortion);
        post().distortionPicture = std::move(picture);
        device->distortionTarget = post().distortion.get();
    }
    return true;
}

void PostProcess::destroyTargets()
{
    if (Graphics* device = graphics()) {
        if (device->sceneTargets[1] == post().scene.get())
            device->sceneTargets[1] = nullptr;
        if (post().scene && device->hazeTarget == post().scene.get())
            device->hazeTarget = nullptr;
        if (post().distortion && device->distortionTarget == post().distortion.get())
            device->distortionTarget = nullptr;
    }
    post().distortion.reset();
    post().distortionPicture.reset();
    post().scene.reset();
    post().shafts.reset();
    post().shaftsDrawn = false;
}

RenderBuffer* PostProcess::sceneTarget()
{
    return post().scene.get();
}

void PostProcess::updateSunParams(const Mat4& view, const Mat4& projection)
{
    const Graphics* device = graphics();
    post().strength = 0.0f;
    if (!device || !device->light())
        return;
    const float* d = device->light()->direction;
    // The sun is a direction, so only the view's rotation moves it (w = 0).
    float eye[4];
    for (int r = 0; r < 4; ++r)
        eye[r] = view.m[r] * d[0] + view.m[4 + r] * d[1] + view.m[8 + r] * d[2];
    float clip[4];
    for (int r = 0; r < 4; ++r)
        clip[r] = projection.m[r] * eye[0] + projection.m[4 + r] * eye[1] + projection.m[8 + r] * eye[2] +
                  projection.m[12 + r] * eye[3];
    if (clip[3] <= 1e-6f)
        return;
    const float x = clip[0] / clip[3], y = clip[1] / clip[3];
    post().sun = Vec2{x * 0.5f + 0.5f, y * 0.5f + 0.5f};
    // Full inside the view, gone half a view beyond its edge; a sun sinking
    // under the horizon fades out with it.
    const float edge = clamp01(1.0f - (std::max(std::fabs(x), std::fabs(y)) - 1.0f) * 2.0f);
    const float horizon = clamp01(d[1] * 10.0f + 0.5f);
    post().strength = edge * horizon;
}

Vec2 PostProcess::sunPosition()
{
    return post().sun;
}

float PostProcess::sunStrength()
{
    return post().strength;
}

void PostProcess::render()
{
    Graphics* device = graphics();
    GraphicsES20Extensions* extensions = graphicsExtensions();
    PostTargets& t = post();
    t.shaftsDrawn = false;
    if (!device || !extensions || !t.scene || !t.shafts || t.strength <= 0.0f)
        return;
    FullTargetPass pass(*device);
    device->setRenderTarget(t.shafts.get());
    device->state().textures[0] = t.scene->colorTexture();
    GpuProgramWith<SunShaftUniforms>& program = extensions->effects().sunShafts;
    EffectPrograms::use(*device, program);
    GpuProgram::setUniform(program.locations().sun, t.sun.x, t.sun.y);
    GpuProgram::setUniform(program.locations().threshold, kShaftThreshold);
    device->drawFullScreenQuad();
    t.shaftsDrawn = true;
}

void PostProcess::finalCombine()
{
    Graphics* device = graphics();
    GraphicsES20Extensions* extensions = graphicsExtensions();
    PostTargets& t = post();
    if (!device || !extensions || !t.scene || device->currentRenderTarget() == t.scene.get())
        return;
    FullTargetPass pass(*device);
    device->state().textures[0] = t.scene->colorTexture();
    device->state().textures[1] = t.shaftsDrawn ? t.shafts->colorTexture() : nullptr;
    GpuProgramWith<FinalCombineUniforms>& program = extensions->effects().finalCombine;
    EffectPrograms::use(*device, program);
    float tint[3] = {0.0f, 0.0f, 0.0f};
    if (t.shaftsDrawn && device->light())
        for (int i = 0; i < 3; ++i)
            tint[i] = device->light()->sunColor[i] * t.strength;
    GpuProgram::setUniform(program.locations().shaftColor, tint[0], tint[1], tint[2]);
    device->drawFullScreenQuad();
}

float PostProcess::reducedSceneScale(int tier)
{
    // Stretching costs about one full-screen layer: only a quarter of the
    // pixels pays that back by much.
    return tier <= 0 ? 0.5f : 1.0f;
}

bool PostProcess::beginReducedScene()
{
    Graphics* device = graphics();
    if (!device)
        return false;
    const float scale = reducedSceneScale(device->qualityTier());
    if (!(scale < 1.0f))
        return false;
    const RenderBuffer* shown = device->currentRenderTarget();
    const int fullWidth = shown ? shown->width() : device->screenWidth();
    const int fullHeight = shown ? shown->height() : device->screenHeight();
    const int w = std::max(1, static_cast<int>(std::lround(static_cast<float>(fullWidth) * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(static_cast<float>(fullHeight) * scale)));
    std::unique_ptr<RenderBuffer>& reduced = post().reduced;
    if (!reduced || reduced->width() != w || reduced->height() != h) {
        auto made = std::make_unique<RenderBuffer>();
        // Stretched by whole pixels, unfiltered: the stretch fills every pixel
        // of the screen after the world is done, and filtering it cost half
        // as much again. The lowest tier looks coarser for it, as expected.
        const SamplerSettings unfiltered{TextureFilter::Nearest, TextureWrap::ClampToEdge};
        if (!made->createTexture(TextureFormat::Rgba8, w, h, unfiltered))
            return false;
        reduced = std::move(made);
    }
    device->setRenderTarget(reduced.get());
    return true;
}

void PostProcess::endReducedScene(RenderBuffer* shown)
{
    Graphics* device = graphics();
    const RenderBuffer* reduced = post().reduced.get();
    if (!device || !reduced)
        return;
    device->setRenderTarget(shown);
    ProfileScope timed(FrameLib::World, "scene stretch");
    // A textured quad, not a framebuffer blit: the software renderer's blit
    // costs the calling thread over a millisecond more for the same pixels.
    FullTargetPass pass(*device);
    device->state().textures[0] = reduced->colorTexture();
    device->drawFullScreenQuad();
}

void blitToScreen()
{
    Graphics* device = graphics();
    if (!device)
        return;
    RenderBuffer* multisampled = device->sceneTargets[0];
    RenderBuffer* scene = device->sceneTargets[1];
    if (!multisampled || !scene || multisampled == scene || !multisampled->colorTexture())
        return;
    FullTargetPass pass(*device);
    device->setRenderTarget(scene);
    device->state().textures[0] = multisampled->colorTexture();
    device->drawFullScreenQuad();
}

namespace {
int s_distortionDraws = 0;
}

void noteDistortionDrawn() { ++s_distortionDraws; }
int distortionDrawsThisFrame() { return s_distortionDraws; }

void renderHeatDistortion(const std::function<void()>& drawDistortion)
{
    s_distortionDraws = 0;
    Graphics* device = graphics();
    if (!device || !device->distortionTarget)
        return;
    // The scope puts the scene's clear color back afterwards.
    RenderPassScope pass(*device);
    device->setRenderTarget(device->distortionTarget);
    // "No offset" is 0.5 in both channels: cleared to it rather than painted,
    // which would fill the whole target once more.
    device->setClearColor(Color4{128, 128, 0, 255});
    device->clear();
    if (drawDistortion)
        drawDistortion();
}

void applyHeatDistortion()
{
    Graphics* device = graphics();
    GraphicsES20Extensions* extensions = graphicsExtensions();
    RenderBuffer* distortion = device ? device->distortionTarget : nullptr;
    if (!device || !extensions || !distortion || !distortion->colorTexture() || s_distortionDraws <= 0)
        return;
    // The picture is read from a copy: a target cannot sample itself.
    const RenderBuffer* bound = device->currentRenderTarget();
    if (bound == distortion)
        return;
    const int w = bound ? bound->width() : device->screenWidth();
    const int h = bound ? bound->height() : device->screenHeight();
    std::unique_ptr<RenderBuffer>& picture = post().distortionPicture;
    if (!picture || picture->width() < w || picture->height() < h) {
        auto made = std::make_unique<RenderBuffer>();
        if (!made->createTexture(TextureFormat::Rgba8, std::max(w, 1), std::max(h, 1), kClampSampler, false))
            return;
        picture = std::move(made);
    }
    if (w <= 0 || h <= 0 || !device->copyTargetTo(*picture->colorTexture(), w, h))
        return;
    FullTargetPass pass(*device);
    if (bound)
        device->setViewport(0, 0, w, h);
    device->state().textures[0] = picture->colorTexture();
    device->state().textures[1] = distortion->colorTexture();
    GpuProgramWith<DistortionApplyUniforms>& program = extensions->effects().distortionApply;
    EffectPrograms::use(*device, program);
    GpuProgram::setUniform(program.locations().pictureScale,
                           static_cast<float>(w) / static_cast<float>(picture->width()),
                           static_cast<float>(h) / static_cast<float>(picture->height()));
    device->drawFullScreenQuad();
}
