#include "render/RenderBuffer.h"
#include "platform/Log.h"

#include "render/Graphics.h"
#include "render/gl/GlContext.h"

#include <epoxy/gl.h>

RenderBuffer::~RenderBuffer()
{
    destroy();
}

bool RenderBuffer::createTexture(TextureFormat format, int width, int height, const SamplerSettings& sampler,
                                 bool withDepth)
{
    destroy();
    if (graphics() == nullptr)
        return false;
    auto color = std::make_unique<Texture2D>();
    if (!color->allocate(format, width, height, sampler))
        return false;

    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &m_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color->glName(), 0);
    if (withDepth) {
        glGenRenderbuffers(1, &m_depth);
        glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
        if (glContextInfo().packedDepthStencil) {
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depth);
            m_hasStencil = true;
        } else {
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
        }
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
    }
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    m_color = std::move(color);
    m_width = width;
    m_height = height;
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        logWarning("render", "render target %dx%d is incomplete (0x%x)", width, height, status);
        destroy();
        return false;
    }
    return true;
}

void RenderBuffer::destroy()
{
    Graphics* device = graphics();
    if (device && device->currentRenderTarget() == this)
        device->setRenderTarget(nullptr);
    deleteGlNames();
    m_hasStencil = false;
    m_color.reset();
    m_width = m_height = 0;
}

void RenderBuffer::deleteGlNames()
{
    if (m_depth != 0)
        glDeleteRenderbuffers(1, &m_depth);
    if (m_framebuffer != 0)
        glDeleteFramebuffers(1, &m_framebuffer);
    m_depth = 0;
    m_framebuffer = 0;
}

void RenderBuffer::freeGlNames()
{
    Graphics* device = graphics();
    if (device && device->currentRenderTarget() == this)
        device->setRenderTarget(nullptr);
    deleteGlNames();
}
