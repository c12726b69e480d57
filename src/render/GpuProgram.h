#pragma once
#include "render/gl/GlObject.h"

#include <cstdint>
#include <string>
#include <string_view>

struct Mat4;

// Fixed attribute locations shared by every program, bound before linking, so
// vertex layouts work with any program.
enum class VertexAttrib : unsigned int {
    Position = 0,   // vec3 (vec2 layouts leave z = 0)
    Color = 1,      // RGBA8 normalised; a constant when the per-vertex color switch is off
    TexCoord0 = 2,  // vec2
    Normal = 3,     // vec3
    TexCoord1 = 4,  // vec2
};
constexpr unsigned int kVertexAttribCount = 5;

enum class ShaderStage : std::uint8_t { Vertex = 0, Fragment = 1 };
enum class ShaderDialect : std::uint8_t {
    Es100 = 0,        // GLSL ES 1.00: ES 2.0 and ES 3.x contexts
    Desktop120 = 1,   // GLSL 1.20 of a desktop fallback context
};

// Game shaders are written in GLSL ES 1.00 without a #version line and without
// precision statements; this adds what the dialect needs ("#version 100" and a
// default float precision for ES fragments; "#version 120" and empty precision
// qualifiers for the desktop). A leading "#version" line in the source is replaced.
std::string prepareShaderSource(std::string_view source, ShaderStage stage, ShaderDialect dialect);

// The fog rule of the shaders' fogFactor (shaders/fog.glsl) on the CPU, for
// code that fogs colors itself: 0 before the start, 1 at and past the end.
// When the range is inverted or narrower than 1 unit (end <= start + 1), every
// point past the start is fully fogged instead of dividing by a tiny or
// negative span.
float fogFactor(float distance, float fogStart, float fogEnd);

// Standard uniforms, looked up by name when the program links; -1 when the
// program does not use one. The device uploads those a program has.
struct StandardUniforms {
    int worldViewProjection = -1;  // "u_worldViewProj" mat4
    int worldView = -1;            // "u_worldView" mat4
    int world = -1;                // "u_world" mat4
    int colorFactor = -1;          // "u_colorFactor" vec4: the 2-D global color factor
    int texture0 = -1;             // "u_texture0" sampler, unit 0
    int texture1 = -1;             // "u_texture1" sampler, unit 1
    int lightDirection = -1;       // "u_lightDirection" vec3, towards the sun
    int lightAmbient = -1;         // "u_lightAmbient" vec3
    int lightDiffuse = -1;         // "u_lightDiffuse" vec3
    int fogColor = -1;             // "u_fogColor" vec3
    int fogRange = -1;             // "u_fogRange" vec2 (start, end)
    int paint0 = -1;               // "u_paint0" vec4: first paint color, alpha = coverage
    int paint1 = -1;               // "u_paint1" vec4: second paint color
};

// A program's own uniforms are a struct of locations (-1 until linked) with
// forEach(f) calling f("u_name", location) for each member. Programs that use
// only the standard uniforms have NoUniforms.
struct NoUniforms {
    template <class F> void forEach(F&&) {}
};

// A linked vertex + fragment program. Built at start-up; a failure gives a
// message naming the program and the compiler's log. Needs a current context.
class GpuProgram : private GlObject {
public:
    GpuProgram() = default;
    virtual ~GpuProgram();
    GpuProgram(const GpuProgram&) = delete;
    GpuProgram& operator=(const GpuProgram&) = delete;

    // Sources in GLSL ES 1.00 (see prepareShaderSource). Attributes are bound
    // by the names "a_position", "a_color", "a_texCoord0", "a_normal", "a_texCoord1".
    [[nodiscard]] bool build(std::string_view name, std::string_view vertexSource,
                             std::string_view fragmentSource);
    // Keeps the sources (which must outlive the program, as the embedded
    // shaders do) for a build at the first ensureBuilt(): the renderer holds
    // each linked program's code, so one that is never used is never built.
    void buildLater(std::string_view name, std::string_view vertexSource, std::string_view fragmentSource);
    // Builds the program left by buildLater, once; true when it is valid.
    bool ensureBuilt();
    void destroy();

    bool isValid() const { return m_glName != 0; }
    const std::string& name() const { return m_name; }
    // Why the last build failed; empty after success.
    const std::string& error() const { return m_error; }
    unsigned int glName() const { return m_glName; }
    const StandardUniforms& uniforms() const { return m_uniforms; }
    // -1 when the linked program has no such active uniform. A name lookup
    // asks the driver: done once at link (lookUpUniforms), never per draw.
    int uniformLocation(const char* uniformName) const;
    // Fills every location of a uniform struct (see NoUniforms); returns how
    // many names the linked program lacks.
    template <class U> int lookUpUniforms(U& uniforms) const
    {
        int missing = 0;
        uniforms.forEach([this, &missing](const char* name, int& location) {
            location = uniformLocation(name);
            missing += location < 0 ? 1 : 0;
        });
        return missing;
    }

    // Uniform setters for the program made current by Graphics::applyState.
    // A location of -1 is ignored.
    static void setUniform(int location, int value);
    static void setUniform(int location, float value);
    static void setUniform(int location, float x, float y);
    static void setUniform(int location, float x, float y, float z);
    static void setUniform(int location, float x, float y, float z, float w);
    static void setUniform(int location, const Mat4& value);

    // What the device last uploaded into this program, by change serial, so
    // unchanged uniforms are not sent again.
    struct UploadedSerials {
        std::uint32_t matrices = 0, colorFactor = 0, light = 0, fog = 0;
        // The paint colors last sent, packed RGBA; 0 is what a fresh link holds.
        std::uint32_t paint[2] = {0, 0};
    };
    UploadedSerials& uploaded() { return m_uploaded; }

protected:
    // Extension programs look up their own uniforms here; called after a link.
    virtual void onLinked() {}

private:
    void freeGlNames() override;

    std::string m_name;
    std::string m_error;
    unsigned int m_glName = 0;
    std::string_view m_laterVertex, m_laterFragment;
    bool m_buildPending = false;
    StandardUniforms m_uniforms;
    UploadedSerials m_uploaded;
};

// Called once a frame. The software renderer's compiler leaves its built-in
// functions (6 MiB) and its scratch memory behind; a second after the last
// program was built the compiler is told to let them go and the freed heap
// goes back to the system.
void settleAfterShaderBuilds();

// A program with its own uniform struct, looked up after every link.
template <class U>
class GpuProgramWith : public GpuProgram {
public:
    const U& locations() const { return m_locations; }
    // Names of U the last link did not find; 0 when every one is in use.
    int missingUniforms() const { return m_missing; }

protected:
    void onLinked() override
    {
        m_locations = U{};
        m_missing = lookUpUniforms(m_locations);
    }

private:
    U m_locations;
    int m_missing = 0;
};
