#include "render/GraphicsES20Extensions.h"

#include "render/GraphicsES20.h"

namespace {
GraphicsES20Extensions* g_extensions = nullptr;
}  // namespace

bool GraphicsES20Extensions::load()
{
    if (!m_effects.build()) {
        m_error = m_effects.error();
        return false;
    }
    m_scatteringProgramCount = 0;
    addScatteringProgram(m_device.builtinProgram(BuiltinProgram::LitModel));
    return true;
}

void GraphicsES20Extensions::unload()
{
    m_effects.destroy();
    m_scatteringProgramCount = 0;
}

void GraphicsES20Extensions::addScatteringProgram(GpuProgram& program)
{
    if (m_scatteringProgramCount < static_cast<int>(std::size(m_scatteringPrograms)))
        m_scatteringPrograms[m_scatteringProgramCount++] = &program;
}

void GraphicsES20Extensions::updateScatteringUniforms(const Vec3& camera)
{
    m_camera = camera;
    if (!m_scattering)
        return;
    m_device.pushState();
    for (int i = 0; i < m_scatteringProgramCount; ++i) {
        EffectPrograms::use(m_device, *m_scatteringPrograms[i]);
        m_scattering->upload(*m_scatteringPrograms[i], camera);
    }
    m_device.popState();
}

GraphicsES20Extensions* graphicsExtensions()
{
    return g_extensions;
}

void setGraphicsExtensions(GraphicsES20Extensions* extensions)
{
    g_extensions = extensions;
}
