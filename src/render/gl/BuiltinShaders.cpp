#include "render/gl/BuiltinShaders.h"

#include "render/shaders/ShaderSources.h"

ShaderPair builtinShaderSources(BuiltinProgram which)
{
    switch (which) {
    case BuiltinProgram::Sprite: return {"sprite", shaders::kTexturedVert, shaders::kSpriteFrag};
    case BuiltinProgram::Color: return {"color", shaders::kColorVert, shaders::kColorFrag};
    case BuiltinProgram::Effect: return {"effect", shaders::kTexturedVert, shaders::kEffectFrag};
    case BuiltinProgram::LitModel: return {"lit model", shaders::kLitModelVert, shaders::kLitModelFrag};
    }
    return {"", {}, {}};
}
