#pragma once
#include "render/Graphics.h"

#include <string_view>

struct ShaderPair {
    const char* name;
    std::string_view vertex;
    std::string_view fragment;
};

// GLSL ES 1.00 sources of a built-in program (embedded from shaders/); its
// uniforms are the standard ones only.
ShaderPair builtinShaderSources(BuiltinProgram which);
