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

