#include "render/internal/WorldProgram.h"
#include "platform/Log.h"

#include "render/Graphics.h"

bool WorldProgram::ensure(const char* name, const std::string& vertexSource, const std::string& fragmentSource)
{
    if (m_program.isValid())
        return true;
    if (m_tried || graphics() == nullptr)
        return false;
    m_tried = true;
    if (!m_program.build(name, vertexSource, fragmentSource)) {
        logWarning("render", "the %s program does not build: %s", name, m_program.error().c_str());
        return false;
    }
    return true;
}

void pushOpaqueWorldState(Graphics& g, GpuProgram& program, const Texture2D* texture0, const Texture2D* texture1)
{
    g.pushState();
    RenderState& s = g.state();
    s.blend = kBlendOpaque;
    s.depthTest = true;
    s.depthWrite = true;
    s.cull = CullMode::None;
    s.customProgram = &program;
    s.textures = {texture0, texture1};
}
