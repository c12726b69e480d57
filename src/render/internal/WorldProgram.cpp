#include "render/internal/WorldProgram.h"
#include "platform/Log.h"

#include "render/Graphics.h"

bool ensureWorldProgram(GpuProgram& program, bool& tried, const char* name, std::string_view vertexSource,
                        std::string_view fragmentSource)
{
    if (program.isValid())
        return true;
    if (tried || graphics() == nullptr)
        return false;
    tried = true;
    if (!program.build(name, vertexSource, fragmentSource)) {
        logWarning("render", "the %s program does not build: %s", name, program.error().c_str());
        return false;
    }
    return true;
}

RenderState opaqueWorldState(GpuProgram& program, const Texture2D* texture0, const Texture2D* texture1)
{
    RenderState s = RenderState::opaque();
    s.customProgram = &program;
    s.textures = {texture0, texture1};
    return s;
}
