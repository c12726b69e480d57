#include "render/gl/BuiltinShaders.h"

#include "render/shaders/ShaderSources.h"

#include <string>

namespace {
const std::string& unpaintedModelFrag()
{
    static const std::string source = "#define NO_PAINT\n" + std::string(shaders::kLitModelFrag);
    return source;
}
}  // namespace

ShaderPair builtinShaderSources(BuiltinProgram which)
{
    switch (which) {
    case BuiltinProgram::Sprite: return {"sprite", shaders::kTexturedVert, shaders::kSpriteFrag};
    case BuiltinProgram::Color: return {"color", shaders::kColorVert, shaders::kColorFrag};
    case BuiltinProgram::Effect: return {"effect", shaders::kTexturedVert, shaders::kEffectFrag};
    case BuiltinProgram::LitModel: return {"lit model", shaders::kLitModelVert, shaders::kLitModelFrag};
    case BuiltinProgram::UnpaintedModel: return {"unpainted model", shaders::kLitModelVert, unpaintedModelFrag()};
    }
    return {"", {}, {}};
}
