#include "render/fx/RainRefraction.h"

#include "render/Graphics.h"
#include "render/RenderBuffer.h"
#include "render/fx/EffectPrograms.h"
#include "render/gl/GraphicsES20Extensions.h"

#include <memory>

namespace {
// How far a drop on the lens bends the picture; streaks bend a third of it.
constexpr float kDropBend = 0.03f;

std::unique_ptr<RenderBuffer>& picture()
{
    static std::unique_ptr<RenderBuffer>* held = new std::unique_ptr<RenderBuffer>;   // GL: never torn down at exit
    return *held;
}

// The copy target, at least as large as the screen.
Texture2D* pictureFor(int width, int height)
{
    std::unique_ptr<RenderBuffer>& p = picture();
    if (!p || p->width() < width || p->height() < height) {
        auto made = std::make_unique<RenderBuffer>();
        // Only copied into, never drawn to: no depth.
        if (!made->createTexture(TextureFormat::Rgba8, width, height, kClampSampler, false))
            return nullptr;
        p = std::move(made);
    }
    return p->colorTexture();
}

}  // namespace

bool drawRainRefraction(const void* vertices, int dropQuads, int streakQuads, const Texture2D* normalMap)
{
    Graphics* device = graphics();
    GraphicsES20Extensions* extensions = graphicsExtensions();
    if (!device || !extensions || !vertices || !normalMap || dropQuads + streakQuads <= 0)
        return false;
    // The frame's size: the bound target's, else the screen's.
    const RenderBuffer* target = device->currentRenderTarget();
    const int width = target ? target->width() : device->screenWidth();
    const int height = target ? target->height() : device->screenHeight();
    if (width <= 0 || height <= 0)
        return false;
    Texture2D* copy = pictureFor(width, height);
    if (!copy || !device->copyTargetTo(*copy, width, height))
        return false;
    EffectPrograms& programs = extensions->effects();
    device->pushState();
    RenderState& s = device->state();
    s.blend = kBlendPremultiplied;
    s.depthTest = false;
    s.depthWrite = false;
    s.cull = CullMode::None;
    s.textures[0] = normalMap;
    s.textures[1] = copy;
    device->bindBuffer(BufferTarget::Array, 0);
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    if (dropQuads > 0) {
        EffectPrograms::use(*device, programs.rainDrops);
        const RainUniforms& u = programs.rainDrops.locations();
        GpuProgram::setUniform(u.screenSize, static_cast<float>(width), static_cast<float>(height));
        GpuProgram::setUniform(u.pictureScale, static_cast<float>(width) / static_cast<float>(copy->width()),
                               static_cast<float>(height) / static_cast<float>(copy->height()));
        GpuProgram::setUniform(u.strength, kDropBend);
        device->setVertexLayout(VertexLayout::PosColorTex24, bytes);
        device->drawQuads(dropQuads);
    }
    if (streakQuads > 0) {
        EffectPrograms::use(*device, programs.rainStreaks);
        const RainUniforms& u = programs.rainStreaks.locations();
        GpuProgram::setUniform(u.screenSize, static_cast<float>(width), static_cast<float>(height));
        GpuProgram::setUniform(u.pictureScale, static_cast<float>(width) / static_cast<float>(copy->width()),
                               static_cast<float>(height) / static_cast<float>(copy->height()));
        GpuProgram::setUniform(u.strength, kDropBend);
        device->setVertexLayout(VertexLayout::PosColorTex24, bytes + static_cast<std::size_t>(dropQuads) * 4 * 24);
        device->drawQuads(streakQuads);
    }
    device->invalidateVertexLayout();
    device->popState();
    return true;
}

void releaseRainRefraction() { picture().reset(); }
