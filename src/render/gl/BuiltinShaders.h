#pragma once
#include "render/Graphics.h"

#include <string>

struct ShaderPair {
    const char* name;
    std::string vertex;
    std::string fragment;
};

// GLSL ES 1.00 sources of a built-in program.
ShaderPair builtinShaderSources(BuiltinProgram which);
