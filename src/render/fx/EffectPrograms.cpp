#include "render/fx/EffectPrograms.h"

#include "render/Graphics.h"

namespace {
// High-detail particle vertex: position, color, sheet coordinate and the
// lightmap coordinate.
const char* const kLightmapVertex =
    "uniform mat4 u_worldViewProj;\n"
    "attribute vec3 a_position;\n"
    "attribute vec4 a_color;\n"
    "attribute vec2 a_texCoord0;\n"
    "attribute vec2 a_texCoord1;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying mediump vec2 v_lightCoord;\n"
    "void main()\n"
    "{\n"
    "    v_color = a_color;\n"
    "    v_texCoord = a_texCoord0;\n"
    "    v_lightCoord = a_texCoord1;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

// Both lightmap programs: the particle color and the tinted lightmap texel
// ("light"), or none where the coordinate is negative. Colors are
// premultiplied, so scaling rgb keeps them valid.
const char* const kLightmapFragmentHead =
    "uniform sampler2D u_texture0;\n"
    "uniform sampler2D u_texture1;\n"
    "uniform vec3 u_lightTint;\n"
    "varying lowp vec4 v_color;\n"
    "varying mediump vec2 v_texCoord;\n"
    "varying mediump vec2 v_lightCoord;\n"
    "void main()\n"
    "{\n"
    "    vec4 color = texture2D(u_texture0, v_texCoord) * v_color;\n"
    "    bool lit = v_lightCoord.x >= 0.0;\n"
    "    vec3 light = lit ? texture2D(u_texture1, v_lightCoord).rgb * u_lightTint : vec3(0.0);\n";
const char* const kLightmapLitTail =
    "    gl_FragColor = vec4(color.rgb * (lit ? light : vec3(1.0)), color.a);\n"
    "}\n";
const char* const kLightmapGlowTail =
    "    gl_FragColor = vec4(color.rgb * (vec3(1.0) + light), color.a);\n"
    "}\n";

// Position and texture coordinate: the 20-byte haze quads and the 16-byte
// full-screen quad.
const char* const kPositionTexVertex =
    "uniform mat4 u_worldViewProj;\n"
    "attribute vec3 a_position;\n"
    "attribute vec2 a_texCoord0;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    v_texCoord = a_texCoord0;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

// u_time: the two wrapped scene-time values (slow drift, fast ripple).
// The wobbled glow alpha is the haze's strength at a point.
const char* const kHazeStrength =
    "uniform sampler2D u_texture0;\n"
    "uniform vec2 u_time;\n"
    "uniform float u_intensity;\n"
    "varying mediump vec2 v_texCoord;\n"
    "float hazeStrength(out vec2 ripple)\n"
    "{\n"
    "    float phase = (v_texCoord.y + u_time.x) * 25.1327;\n"
    "    ripple = vec2(sin(phase + u_time.y), cos(phase * 0.7 - u_time.y)) * 0.02;\n"
    "    return texture2D(u_texture0, v_texCoord + ripple).a * u_intensity;\n"
    "}\n";

const char* const kHazeShimmerMain =
    "void main()\n"
    "{\n"
    "    vec2 ripple;\n"
    "    float a = hazeStrength(ripple) * (0.12 + 2.0 * length(ripple));\n"
    "    gl_FragColor = vec4(vec3(a * 0.8), a);\n"
    "}\n";

// u_texture1: the haze target's picture of the scene; u_screenSize in pixels.
const char* const kHazeRefractMain =
    "uniform sampler2D u_texture1;\n"
    "uniform vec2 u_screenSize;\n"
    "void main()\n"
    "{\n"
    "    vec2 ripple;\n"
    "    float a = hazeStrength(ripple);\n"
    "    vec2 at = gl_FragCoord.xy / u_screenSize + ripple * a * 0.5;\n"
    "    gl_FragColor = vec4(texture2D(u_texture1, at).rgb * a, a);\n"
    "}\n";

const char* const kDistortionVertex =
    "uniform mat4 u_worldViewProj;\n"
    "uniform mat4 u_worldView;\n"
    "attribute vec3 a_position;\n"
    "attribute vec3 a_normal;\n"
    "varying mediump vec2 v_normal;\n"
    "void main()\n"
    "{\n"
    "    v_normal = normalize(mat3(u_worldView) * a_normal).xy;\n"
    "    gl_Position = u_worldViewProj * vec4(a_position, 1.0);\n"
    "}\n";

// Offsets are stored around 0.5 so that a cleared target (0.5, 0.5) means none.
const char* const kDistortionFragment =
    "uniform float u_strength;\n"
    "varying mediump vec2 v_normal;\n"
    "void main()\n"
    "{\n"
    "    gl_FragColor = vec4(clamp(vec2(0.5) + v_normal * u_strength, 0.0, 1.0), 0.0, 1.0);\n"
    "}\n";

const char* const kDistortionApplyFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform sampler2D u_texture1;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    vec2 offset = texture2D(u_texture1, v_texCoord).rg - vec2(0.5);\n"
    "    gl_FragColor = texture2D(u_texture0, v_texCoord + offset);\n"
    "}\n";

// u_sun: the sun's position on the picture (0..1); only the bright parts
// (above u_threshold) are smeared towards it.
const char* const kSunShaftsFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform vec2 u_sun;\n"
    "uniform float u_threshold;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    vec2 step = (u_sun - v_texCoord) / 12.0;\n"
    "    vec2 at = v_texCoord;\n"
    "    vec3 sum = vec3(0.0);\n"
    "    float weight = 1.0;\n"
    "    for (int i = 0; i < 12; ++i) {\n"
    "        sum += max(texture2D(u_texture0, at).rgb - vec3(u_threshold), vec3(0.0)) * weight;\n"
    "        weight *= 0.92;\n"
    "        at += step;\n"
    "    }\n"
    "    gl_FragColor = vec4(sum / 12.0, 1.0);\n"
    "}\n";

// The scene plus the shafts tinted by the sun color times their strength;
// with strength 0 the picture passes unchanged.
const char* const kFinalCombineFragment =
    "uniform sampler2D u_texture0;\n"
    "uniform sampler2D u_texture1;\n"
    "uniform vec3 u_shaftColor;\n"
    "varying mediump vec2 v_texCoord;\n"
    "void main()\n"
    "{\n"
    "    vec4 scene = texture2D(u_texture0, v_texCoord);\n"
    "    vec3 shafts = texture2D(u_texture1, v_texCoord).rgb * u_shaftColor;\n"
    "    gl_FragColor = vec4(min(scene.rgb + shafts, vec3(1.0)), 1.0);\n"
    "}\n";
}  // namespace

void EffectProgram::setParamNames(const char* p0, const char* p1, const char* p2, const char* p3)
{
    m_names[0] = p0;
    m_names[1] = p1;
    m_names[2] = p2;
    m_names[3] = p3;
}

void EffectProgram::onLinked()
{
    int* params[4] = {&param0, &param1, &param2, &param3};
    for (int i = 0; i < 4; ++i)
        *params[i] = m_names[i] ? uniformLocation(m_names[i]) : -1;
}

bool EffectPrograms::build()
{
    lightmapLit.setParamNames("u_lightTint");
    lightmapGlow.setParamNames("u_lightTint");
    hazeShimmer.setParamNames("u_time", "u_intensity");
    hazeRefract.setParamNames("u_time", "u_intensity", "u_screenSize");
    modelDistortion.setParamNames("u_strength");
    sunShafts.setParamNames("u_sun", "u_threshold");
    finalCombine.setParamNames("u_shaftColor");
    const std::string hazeShimmerSource = std::string(kHazeStrength) + kHazeShimmerMain;
    const std::string hazeRefractSource = std::string(kHazeStrength) + kHazeRefractMain;
    struct Job {
        EffectProgram& program;
        const char* name;
        const char* vertex;
        std::string fragment;
    };
    Job jobs[] = {
        {lightmapLit, "particle lightmap", kLightmapVertex, std::string(kLightmapFragmentHead) + kLightmapLitTail},
        {lightmapGlow, "particle lightmap glow", kLightmapVertex,
         std::string(kLightmapFragmentHead) + kLightmapGlowTail},
        {hazeShimmer, "heat haze", kPositionTexVertex, hazeShimmerSource},
        {hazeRefract, "heat haze refraction", kPositionTexVertex, hazeRefractSource},
        {modelDistortion, "model distortion", kDistortionVertex, kDistortionFragment},
        {distortionApply, "heat distortion", kPositionTexVertex, kDistortionApplyFragment},
        {sunShafts, "sun shafts", kPositionTexVertex, kSunShaftsFragment},
        {finalCombine, "final combine", kPositionTexVertex, kFinalCombineFragment},
    };
    for (Job& job : jobs)
        if (!job.program.build(job.name, job.vertex, job.fragment)) {
            m_error = job.program.error();
            return false;
        }
    resetLightmapTint();
    return true;
}

void EffectPrograms::destroy()
{
    for (EffectProgram* p : {&lightmapLit, &lightmapGlow, &hazeShimmer, &hazeRefract, &modelDistortion,
                             &distortionApply, &sunShafts, &finalCombine})
        p->destroy();
}

void EffectPrograms::setLightmapTint(float r, float g, float b)
{
    m_tint[0] = r;
    m_tint[1] = g;
    m_tint[2] = b;
}

void EffectPrograms::use(Graphics& device, GpuProgram& program)
{
    device.state().customProgram = &program;
    device.applyState();
}
