#include "render/gl/BuiltinShaders.h"

#include "render/GpuProgram.h"

namespace {

// Position, color and one texture coordinate: sprites and effects.
const char* const kTexturedVertex =
    "uniform mat4 u_worldViewProj;\n"
    "attribute vec3 a_position;\n"
    "attribute vec4 a_color;\n"
    "attribute vec2 a_texCoord0;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    v_color = a_color;\n"
    "    v_texCoord = a_texCoord0;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

const char* const kSpriteFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform vec4 u_colorFactor;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    gl_FragColor = texture2D(u_texture0, v_texCoord) * v_color * u_colorFactor;\n"
    "}\n";

const char* const kEffectFragment =
    "uniform sampler2D u_texture0;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    gl_FragColor = texture2D(u_texture0, v_texCoord) * v_color;\n"
    "}\n";

const char* const kColorVertex =
    "uniform mat4 u_worldViewProj;\n"
    "attribute vec3 a_position;\n"
    "attribute vec4 a_color;\n"
    "varying lowp vec4 v_color;\n"
    "void main()\n"
    "{\n"
    "    v_color = a_color;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

const char* const kColorFragment =
    "varying lowp vec4 v_color;\n"
    "void main()\n"
    "{\n"
    "    gl_FragColor = v_color;\n"
    "}\n";

// One directional sun light and distance fog, both per vertex. The normal
// matrix is the world matrix: model nodes carry no non-uniform scale.
const char* const kLitVertexMain =
    "uniform mat4 u_worldViewProj;\n"
    "uniform mat4 u_worldView;\n"
    "uniform mat4 u_world;\n"
    "uniform vec3 u_lightDirection;\n"
    "uniform vec3 u_lightAmbient;\n"
    "uniform vec3 u_lightDiffuse;\n"
    "uniform vec2 u_fogRange;\n"
    "attribute vec3 a_position;\n"
    "attribute vec3 a_normal;\n"
    "attribute vec4 a_color;\n"
    "attribute vec2 a_texCoord0;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    vec3 normal = normalize(mat3(u_world) * a_normal);\n"
    "    float sun = max(dot(normal, u_lightDirection), 0.0);\n"
    "    vec3 light = min(u_lightAmbient + u_lightDiffuse * sun, vec3(1.0));\n"
    "    v_color = vec4(a_color.rgb * light, a_color.a);\n"
    "    v_texCoord = a_texCoord0;\n"
    "    v_fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange);\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

// Colors are premultiplied, so the fog color is scaled by alpha as well.
const char* const kLitFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform vec3 u_fogColor;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    vec4 color = texture2D(u_texture0, v_texCoord) * v_color;\n"
    "    gl_FragColor = vec4(mix(color.rgb, u_fogColor * color.a, v_fog), color.a);\n"
    "}\n";

}  // namespace

ShaderPair builtinShaderSources(BuiltinProgram which)
{
    switch (which) {
    case BuiltinProgram::Sprite: return {"sprite", kTexturedVertex, kSpriteFragment};
    case BuiltinProgram::Color: return {"color", kColorVertex, kColorFragment};
    case BuiltinProgram::Effect: return {"effect", kTexturedVertex, kEffectFragment};
    case BuiltinProgram::LitModel:
        return {"lit model", std::string(kFogFactorGlsl) + kLitVertexMain, kLitFragment};
    }
    return {"", "", ""};
}
