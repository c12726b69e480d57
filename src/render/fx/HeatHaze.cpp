#include "render/fx/HeatHaze.h"

#include "render/Graphics.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/RenderBuffer.h"

#include <cmath>

namespace {
constexpr int kFloatsPerQuad = 4 * 5;

// Sets the haze state and program; false when nothing can be drawn.
bool beginHaze(GpuProgram& program, const HazeUniforms& u, std::span<const float> quads, const Texture2D* glowAlpha,
               const Texture2D* picture, float slowTime, float fastTime, float intensity)
{
    Graphics& device = *graphics();
    if (quads.size() < static_cast<std::size_t>(kFloatsPerQuad))
        return false;
    device.pushState();
    RenderState& s = device.state();
    s.blend = kBlendPremultiplied;
    s.depthTest = true;
    s.depthWrite = false;
    s.textures[0] = glowAlpha;
    s.textures[1] = picture;
    device.bindBuffer(BufferTarget::Array, 0);
    device.setVertexLayout(VertexLayout::PosTex20, quads.data());
    EffectPrograms::use(device, program);
    // Wrapped so that float precision holds however long the game runs.
    const float slow = slowTime - std::floor(slowTime);
    const float fast = std::fmod(fastTime, 2.0f * kPi);
    GpuProgram::setUniform(u.time, slow, fast);
    GpuProgram::setUniform(u.intensity, std::fmin(std::fmax(intensity, 0.0f), 1.0f));
    return true;
}

void endHaze(std::span<const float> quads)
{
    Graphics& device = *graphics();
    device.drawQuads(static_cast<int>(quads.size() / kFloatsPerQuad));
    device.invalidateVertexLayout();
    device.popState();
}
}  // namespace

void drawHeatHaze(std::span<const float> quads, const Texture2D* glowAlpha, float slowTime, float fastTime,
                  float intensity)
{
    GraphicsES20Extensions* extensions = graphicsExtensions();
    if (!graphics() || !extensions)
        return;
    GpuProgramWith<HazeUniforms>& program = extensions->effects().hazeShimmer;
    if (beginHaze(program, program.locations(), quads, glowAlpha, nullptr, slowTime, fastTime, intensity))
        endHaze(quads);
}

void drawHeatHazeRefraction(std::span<const float> quads, const Texture2D* glowAlpha, float slowTime,
                            float fastTime, float intensity)
{
    Graphics* device = graphics();
    GraphicsES20Extensions* extensions = graphicsExtensions();
    if (!device || !extensions || !device->hazeTarget || !device->hazeTarget->colorTexture())
        return;
    GpuProgramWith<HazeRefractUniforms>& program = extensions->effects().hazeRefract;
    if (!beginHaze(program, program.locations(), quads, glowAlpha, device->hazeTarget->colorTexture(), slowTime, fastTime, intensity))
        return;
    GpuProgram::setUniform(program.locations().screenSize, float(device->hazeTarget->width()), float(device->hazeTarget->height()));
    endHaze(quads);
}
