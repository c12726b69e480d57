#include "render/internal/WorldProgram.h"

namespace {

// The shadow-map lookup shared by the lit world programs: depth packed into
// red and green of an RGBA8 target (ES 2.0 has no depth textures everywhere).
const char* const kShadowLookup =
    "uniform sampler2D u_shadowMap;\n"
    "uniform float u_shadowOn;\n"
    "uniform highp float u_shadowBias;\n"
    "varying highp vec3 v_shadow;\n"
    "float sunVisible()\n"
    "{\n"
    "    if (u_shadowOn < 0.5 || v_shadow.x <= 0.0 || v_shadow.x >= 1.0 || v_shadow.y <= 0.0 ||\n"
    "        v_shadow.y >= 1.0 || v_shadow.z >= 1.0)\n"
    "        return 1.0;\n"
    "    vec4 texel = texture2D(u_shadowMap, v_shadow.xy);\n"
    "    float stored = texel.r + texel.g / 255.0;\n"
    "    return v_shadow.z - u_shadowBias > stored ? 0.0 : 1.0;\n"
    "}\n";

const char* const kShadowVertex =
    "uniform mat4 u_shadowMatrix;\n"
    "varying highp vec3 v_shadow;\n";

}  // namespace

namespace worldshaders {

// Terrain: the overview picture over the whole field by world x, z divided by
// the shader terrain size (never below 1), a tiled detail grain, sun and fog.
// The grain fades out between u_detailFade.x and .y from the eye: past that it
// is finer than a pixel and, drawn without mip levels, would only shimmer.
// u_clip discards ground above or below the water for its reflection and
// refraction (u_clip.y 1 keeps y >= u_clip.x, -1 keeps y <= u_clip.x, 0 keeps
// all). For the refraction u_underwater holds the water color and 1 / the
// depth at which the ground is lost in it (0 otherwise): the ground then fades
// into the water instead of the fog, which the water surface adds.
const std::string kTerrainVertex = std::string(kFogFactorGlsl) + kShadowVertex +
    "uniform mat4 u_worldViewProj;\n"
    "uniform mat4 u_worldView;\n"
    "uniform vec3 u_lightDirection;\n"
    "uniform vec3 u_lightDiffuse;\n"
    "uniform vec2 u_fogRange;\n"
    "uniform float u_terrainSize;\n"
    "uniform vec2 u_detailFade;\n"
    "attribute vec3 a_position;\n"
    "attribute vec3 a_normal;\n"
    "varying mediump vec2 v_overview;\n"
    "varying mediump vec2 v_detail;\n"
    "varying lowp float v_grain;\n"
    "varying lowp vec3 v_sun;\n"
    "varying lowp float v_fog;\n"
    "varying highp float v_height;\n"
    "void main()\n"
    "{\n"
    "    float eyeDistance = length((u_worldView * vec4(a_position, 1.0)).xyz);\n"
    "    v_overview = a_position.xz / max(u_terrainSize, 1.0) + 0.5;\n"
    "    v_detail = a_position.xz * (1.0 / 96.0);\n"
    "    v_grain = 0.8 * (1.0 - smoothstep(u_detailFade.x, u_detailFade.y, eyeDistance));\n"
    "    v_sun = u_lightDiffuse * max(dot(a_normal, u_lightDirection), 0.0);\n"
    "    v_fog = fogFactor(eyeDistance, u_fogRange);\n"
    "    v_height = a_position.y;\n"
    "    v_shadow = (u_shadowMatrix * vec4(a_position, 1.0)).xyz;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

const std::string kTerrainFragment = std::string(kShadowLookup) +
    "uniform sampler2D u_texture0;\n"
    "uniform sampler2D u_texture1;\n"
    "uniform vec3 u_lightAmbient;\n"
    "uniform vec3 u_fogColor;\n"
    "uniform vec3 u_groundTint;\n"
    "uniform float u_detailScale;\n"
    "uniform vec2 u_clip;\n"
    "uniform vec4 u_underwater;\n"
    "varying mediump vec2 v_overview;\n"
    "varying mediump vec2 v_detail;\n"
    "varying lowp float v_grain;\n"
    "varying lowp vec3 v_sun;\n"
    "varying lowp float v_fog;\n"
    "varying highp float v_height;\n"
    "void main()\n"
    "{\n"
    "    if (u_clip.y * (v_height - u_clip.x) < 0.0)\n"
    "        discard;\n"
    "    vec3 ground = texture2D(u_texture0, v_overview).rgb * u_groundTint;\n"
    "    ground *= mix(1.0, texture2D(u_texture1, v_detail).r * u_detailScale, v_grain);\n"
    "    vec3 color = ground * min(u_lightAmbient + v_sun * sunVisible(), vec3(1.0));\n"
    "    if (u_underwater.a > 0.0)\n"
    "        gl_FragColor = vec4(mix(color, u_underwater.rgb, clamp(-v_height * u_underwater.a, 0.0, 1.0)), 1.0);\n"
    "    else\n"
    "        gl_FragColor = vec4(mix(color, u_fogColor, v_fog), 1.0);\n"
    "}\n";

// Static props: the lit model vertex with the sun shadow, alpha-tested for
// the vegetation batch's cut-out leaves.
const std::string kPropsVertex = std::string(kFogFactorGlsl) + kShadowVertex +
    "uniform mat4 u_worldViewProj;\n"
    "uniform mat4 u_worldView;\n"
    "uniform vec3 u_lightDirection;\n"
    "uniform vec3 u_lightDiffuse;\n"
    "uniform vec2 u_fogRange;\n"
    "attribute vec3 a_position;\n"
    "attribute vec3 a_normal;\n"
    "attribute vec2 a_texCoord0;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying lowp vec3 v_sun;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    v_texCoord = a_texCoord0;\n"
    "    v_sun = u_lightDiffuse * max(dot(a_normal, u_lightDirection), 0.0);\n"
    "    v_fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange);\n"
    "    v_shadow = (u_shadowMatrix * vec4(a_position, 1.0)).xyz;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

const std::string kPropsFragment = std::string(kShadowLookup) +
    "uniform sampler2D u_texture0;\n"
    "uniform vec3 u_lightAmbient;\n"
    "uniform vec3 u_fogColor;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying lowp vec3 v_sun;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    vec4 texel = texture2D(u_texture0, v_texCoord);\n"
    "    if (texel.a < 0.5)\n"
    "        discard;\n"
    "    vec3 color = texel.rgb / texel.a * min(u_lightAmbient + v_sun * sunVisible(), vec3(1.0));\n"
    "    gl_FragColor = vec4(mix(color, u_fogColor, v_fog), 1.0);\n"
    "}\n";

// Trees: crossed quads lit as if facing up-sun, with the alpha cut out.
const std::string kTreesVertex = std::string(kFogFactorGlsl) +
    "uniform mat4 u_worldViewProj;\n"
    "uniform mat4 u_worldView;\n"
    "uniform vec3 u_lightDirection;\n"
    "uniform vec3 u_lightAmbient;\n"
    "uniform vec3 u_lightDiffuse;\n"
    "uniform vec2 u_fogRange;\n"
    "attribute vec3 a_position;\n"
    "attribute vec2 a_texCoord0;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying lowp vec3 v_light;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    v_texCoord = a_texCoord0;\n"
    "    v_light = min(u_lightAmbient + u_lightDiffuse * (0.35 + 0.65 * max(u_lightDirection.y, 0.0)), vec3(1.0));\n"
    "    v_fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange);\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

const std::string kTreesFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform vec3 u_fogColor;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying lowp vec3 v_light;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    vec4 texel = texture2D(u_texture0, v_texCoord);\n"
    "    if (texel.a < 0.5)\n"
    "        discard;\n"
    "    gl_FragColor = vec4(mix(texel.rgb / texel.a * v_light, u_fogColor, v_fog), 1.0);\n"
    "}\n";

// Sky dome: colors computed on the CPU per vertex, an optional horizon
// texture multiplied in, and a sun disc.
const std::string kSkyVertex =
    "uniform mat4 u_worldViewProj;\n"
    "attribute vec3 a_position;\n"
    "attribute vec4 a_color;\n"
    "attribute vec2 a_texCoord0;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying highp vec3 v_direction;\n"
    "void main()\n"
    "{\n"
    "    v_color = a_color;\n"
    "    v_texCoord = a_texCoord0;\n"
    "    v_direction = a_position;\n"
    "    gl_Position = (u_worldViewProj * vec4(a_position, 1.0)).xyww;\n"
    "}\n";

const std::string kSkyFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform vec3 u_sunDirection;\n"
    "uniform vec3 u_sunColor;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying highp vec3 v_direction;\n"
    "void main()\n"
    "{\n"
    "    vec3 color = v_color.rgb * texture2D(u_texture0, v_texCoord).rgb;\n"
    "    float toward = dot(normalize(v_direction), u_sunDirection);\n"
    "    color += u_sunColor * smoothstep(0.9990, 0.9996, toward);\n"
    "    gl_FragColor = vec4(min(color, vec3(1.0)), 1.0);\n"
    "}\n";

// Cloud puffs: the atlas's luminance shades the puff color; output premultiplied.
const std::string kCloudVertex = std::string(kFogFactorGlsl) +
    "uniform mat4 u_worldViewProj;\n"
    "uniform mat4 u_worldView;\n"
    "uniform vec2 u_fogRange;\n"
    "attribute vec3 a_position;\n"
    "attribute vec4 a_color;\n"
    "attribute vec2 a_texCoord0;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    v_color = a_color;\n"
    "    float fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange * 1.5);\n"
    "    v_color.a *= 1.0 - fog;\n"
    "    v_texCoord = a_texCoord0;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

const std::string kCloudFragment =
    "uniform sampler2D u_texture0;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    vec4 texel = texture2D(u_texture0, v_texCoord);\n"
    "    float alpha = texel.a * v_color.a;\n"
    "    gl_FragColor = vec4(v_color.rgb * (0.6 + 0.4 * texel.r) * alpha, alpha);\n"
    "}\n";

// Water: tinted and fogged at every tier; from tier 2 the reflection and
// refraction pictures (screen space, rippled by two scrolling waves) blend by
// a fresnel term. The waves (300 to 600 units long) flatten out where a pixel
// covers a good part of one, about distance^2 / eye height / 400 units at a
// grazing view, since finer waves alias into rings and checks.
const std::string kWaterVertex = std::string(kFogFactorGlsl) +
    "uniform mat4 u_worldViewProj;\n"
    "uniform mat4 u_worldView;\n"
    "uniform vec2 u_fogRange;\n"
    "uniform vec3 u_eye;\n"
    "attribute vec3 a_position;\n"
    "varying highp vec4 v_clip;\n"
    "varying highp vec3 v_toEye;\n"
    "varying highp vec2 v_world;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    v_toEye = u_eye - a_position;\n"
    "    v_world = a_position.xz;\n"
    "    v_fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange);\n"
    "    v_clip = u_worldViewProj * vec4(a_position, 1.0);\n"
    "    gl_Position = v_clip;\n"
    "}\n";

const std::string kWaterFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform sampler2D u_texture1;\n"
    "uniform vec3 u_fogColor;\n"
    "uniform vec3 u_waterColor;\n"
    "uniform vec3 u_skyColor;\n"
    "uniform vec3 u_sunDirection;\n"
    "uniform vec3 u_sunColor;\n"
    "uniform float u_time;\n"
    "uniform float u_pictures;\n"
    "varying highp vec4 v_clip;\n"
    "varying highp vec3 v_toEye;\n"
    "varying highp vec2 v_world;\n"
    "varying lowp float v_fog;\n"
    "void main()\n"
    "{\n"
    "    vec3 view = normalize(v_toEye);\n"
    "    vec2 wave = vec2(sin(v_world.x * 0.013 + u_time * 1.1) + sin(v_world.y * 0.021 - u_time * 0.7),\n"
    "                     cos(v_world.y * 0.017 + u_time * 0.9) + cos(v_world.x * 0.011 + u_time * 1.3));\n"
    "    float footprint = length(v_toEye) / max(view.y, 0.001) * (1.0 / 400.0);\n"
    "    wave *= 0.04 * (1.0 - smoothstep(30.0, 90.0, footprint));\n"
    "    vec3 normal = normalize(vec3(wave.x, 1.0, wave.y));\n"
    "    float fresnel = 0.02 + 0.98 * pow(1.0 - max(dot(view, normal), 0.0), 5.0);\n"
    "    vec3 reflected = u_skyColor;\n"
    "    vec3 below = u_waterColor;\n"
    "    if (u_pictures > 0.5) {\n"
    "        vec2 screen = v_clip.xy / v_clip.w * 0.5 + 0.5 + normal.xz * 0.02;\n"
    "        reflected = texture2D(u_texture0, screen).rgb;\n"
    "        below = mix(texture2D(u_texture1, screen).rgb, u_waterColor, 0.55);\n"
    "    }\n"
    "    vec3 color = mix(below, reflected, fresnel);\n"
    "    vec3 halfway = normalize(view + u_sunDirection);\n"
    "    color += u_sunColor * pow(max(dot(normal, halfway), 0.0), 200.0) * 0.6;\n"
    "    gl_FragColor = vec4(mix(color, u_fogColor, v_fog), 1.0);\n"
    "}\n";

// Depth of the sun's view, packed into red and green.
const std::string kShadowDepthVertex =
    "uniform mat4 u_worldViewProj;\n"
    "attribute vec3 a_position;\n"
    "varying highp float v_depth;\n"
    "void main()\n"
    "{\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "    v_depth = gl_Position.z / gl_Position.w * 0.5 + 0.5;\n"
    "}\n";

const std::string kShadowDepthFragment =
    "varying highp float v_depth;\n"
    "void main()\n"
    "{\n"
    "    highp float scaled = clamp(v_depth, 0.0, 1.0) * 255.0;\n"
    "    gl_FragColor = vec4(floor(scaled) / 255.0, fract(scaled), 0.0, 1.0);\n"
    "}\n";

}  // namespace worldshaders
