#include "render/gl/GraphicsES20Extensions.h"

#include "render/RenderBuffer.h"
#include "render/gl/GraphicsES20.h"
#include "render/internal/RenderGlobals.h"

#include <epoxy/gl.h>

#include <algorithm>

bool GraphicsES20Extensions::load()
{
    m_effects.buildWhenUsed();
    m_scatteringPrograms.clear();
    addScatteringProgram(m_device.builtinProgram(BuiltinProgram::LitModel));
    return true;
}

void GraphicsES20Extensions::unload()
{
    m_effects.destroy();
    m_scatteringPrograms.clear();
}

void GraphicsES20Extensions::addScatteringProgram(GpuProgram& program)
{
    if (std::find(m_scatteringPrograms.begin(), m_scatteringPrograms.end(), &program) == m_scatteringPrograms.end())
        m_scatteringPrograms.push_back(&program);
}

void GraphicsES20Extensions::updateScatteringUniforms(const Vec3& camera)
{
    m_camera = camera;
    if (!m_scattering)
        return;
    m_device.pushState();
    for (GpuProgram* program : m_scatteringPrograms) {
        EffectPrograms::use(m_device, *program);
        m_scattering->upload(*program, camera);
    }
    m_device.popState();
}

GraphicsES20Extensions* graphicsExtensions()
{
    return renderGlobals().extensions;
}

void setGraphicsExtensions(GraphicsES20Extensions* extensions)
{
    renderGlobals().extensions = extensions;
}

bool GraphicsES20Extensions::stretchOntoBound(const RenderBuffer& from)
{
    if (!from.isValid() || !(epoxy_is_desktop_gl() ? epoxy_gl_version() >= 30 ||
                                                         epoxy_has_gl_extension("GL_ARB_framebuffer_object")
                                                   : epoxy_gl_version() >= 30))
        return false;
    const RenderBuffer* bound = m_device.currentRenderTarget();
    const GLuint target = bound ? bound->glFramebuffer() : 0;
    const int w = bound ? bound->width() : m_device.screenWidth();
    const int h = bound ? bound->height() : m_device.screenHeight();
    // The scissor would clip the blit; the device's cache knows it is off afterwards.
    m_device.setScissor(false, 0, 0, 0, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from.glFramebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glBlitFramebuffer(0, 0, from.width(), from.height(), 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    return true;
}
