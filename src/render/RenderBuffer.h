#pragma once
#include "platform/ManagedArray.h"
#include "render/Texture2D.h"
#include "render/gl/GlObject.h"

#include <memory>

// An offscreen render target: a framebuffer with one color texture and a
// depth (and, when the context has it, stencil) buffer. Bound through
// Graphics::setRenderTarget, which also sets its viewport.
class RenderBuffer final : public ManagedArray<RenderBuffer, 32>, private GlObject {
public:
    RenderBuffer() = default;
    ~RenderBuffer();
    RenderBuffer(const RenderBuffer&) = delete;
    RenderBuffer& operator=(const RenderBuffer&) = delete;

    // Makes the target: a color texture of the format (Rgba8 or Rgb8) and size,
    // sampled with `sampler`, plus depth. False, with nothing made, when no
    // device exists, the size is not positive or the framebuffer is incomplete.
    [[nodiscard]] bool createTexture(TextureFormat format, int width, int height, const SamplerSettings& sampler,
                                     bool withDepth = true);
    void destroy();

    bool isValid() const { return m_framebuffer != 0; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Sampled by later passes; null before createTexture.
    Texture2D* colorTexture() const { return m_color.get(); }
    bool hasDepth() const { return m_depth != 0; }
    bool hasStencil() const { return m_hasStencil; }
    unsigned int glFramebuffer() const { return m_framebuffer; }

private:
    // The framebuffer and depth names; the color texture frees its own.
    void freeGlNames() override;
    void deleteGlNames();

    std::unique_ptr<Texture2D> m_color;
    unsigned int m_framebuffer = 0;
    unsigned int m_depth = 0;
    bool m_hasStencil = false;
    int m_width = 0, m_height = 0;
};
