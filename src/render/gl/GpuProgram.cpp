#include "render/GpuProgram.h"

#include "render/gl/GlContext.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/Math.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace {

constexpr const char* kAttribNames[kVertexAttribCount] = {
    "a_position", "a_color", "a_texCoord0", "a_normal", "a_texCoord1",
};

std::string_view withoutVersionLine(std::string_view source)
{
    const std::size_t start = source.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || source.compare(start, 8, "#version") != 0)
        return source;
    const std::size_t end = source.find('\n', start);
    return end == std::string_view::npos ? std::string_view{} : source.substr(end + 1);
}

bool isPrecisionStatement(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    return start != std::string_view::npos && line.compare(start, 10, "precision ") == 0;
}

std::string infoLog(GLuint object, bool isProgram)
{
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    GLsizei written = 0;
    if (isProgram)
        glGetProgramInfoLog(object, length, &written, log.data());
    else
        glGetShaderInfoLog(object, length, &written, log.data());
    log.resize(static_cast<std::size_t>(std::max(written, 0)));
    return log;
}

GLuint compile(GLenum type, const std::string& source, std::string& error)
{
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        error = infoLog(shader, false);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

float fogFactor(float distance, float fogStart, float fogEnd)
{
    if (fogEnd <= fogStart + 1.0f)
        return distance > fogStart ? 1.0f : 0.0f;
    return std::clamp((distance - fogStart) / (fogEnd - fogStart), 0.0f, 1.0f);
}

std::string prepareShaderSource(std::string_view source, ShaderStage stage, ShaderDialect dialect)
{
    const std::string_view body = withoutVersionLine(source);
    std::string out;
    if (dialect == ShaderDialect::Es100) {
        out = "#version 100\n";
        if (stage == ShaderStage::Fragment)
            out += "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\n"
                   "precision mediump float;\n#endif\n";
        out += body;
        return out;
    }
    out = "#version 120\n#define lowp\n#define mediump\n#define highp\n";
    std::size_t at = 0;
    while (at < body.size()) {
        std::size_t end = body.find('\n', at);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view line = body.substr(at, end - at);
        if (!isPrecisionStatement(line)) {
            out += line;
            out += '\n';
        }
        at = end + 1;
    }
    return out;
}

GpuProgram::~GpuProgram()
{
    destroy();
}

void GpuProgram::destroy()
{
    if (m_glName != 0)
        glDeleteProgram(m_glName);
    m_glName = 0;
    m_buildPending = false;
    m_uniforms = {};
    m_uploaded = {};
}

void GpuProgram::freeGlNames()
{
    destroy();
}

void GpuProgram::buildLater(std::string_view name, std::string_view vertexSource, std::string_view fragmentSource)
{
    destroy();
    m_name = name;
    m_error.clear();
    m_laterVertex = vertexSource;
    m_laterFragment = fragmentSource;
    m_buildPending = true;
}

bool GpuProgram::ensureBuilt()
{
    if (m_buildPending) {
        // One try: a program that fails keeps its error and is not built again every frame.
        const std::string name = m_name;
        m_buildPending = false;
        (void)build(name, m_laterVertex, m_laterFragment);
    }
    return isValid();
}

namespace {
constexpr int kSettleFrames = 60;
int g_framesSinceBuild = kSettleFrames + 1;  // nothing to let go before the first build
}  // namespace

void settleAfterShaderBuilds()
{
    if (g_framesSinceBuild > kSettleFrames || ++g_framesSinceBuild <= kSettleFrames)
        return;
    glReleaseShaderCompiler();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool GpuProgram::build(std::string_view name, std::string_view vertexSource, std::string_view fragmentSource)
{
    g_framesSinceBuild = 0;
    destroy();
    m_name = name;
    m_error.clear();
    const ShaderDialect dialect = epoxy_is_desktop_gl() ? ShaderDialect::Desktop120 : ShaderDialect::Es100;

    std::string log;
    const GLuint vs = compile(GL_VERTEX_SHADER, prepareShaderSource(vertexSource, ShaderStage::Vertex, dialect), log);
    if (vs == 0) {
        m_error = "GPU program \"" + m_name + "\": vertex shader does not compile: " + log;
        return false;
    }
    const GLuint fs =
        compile(GL_FRAGMENT_SHADER, prepareShaderSource(fragmentSource, ShaderStage::Fragment, dialect), log);
    if (fs == 0) {
        glDeleteShader(vs);
        m_error = "GPU program \"" + m_name + "\": fragment shader does not compile: " + log;
        return false;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    for (unsigned int i = 0; i < kVertexAttribCount; ++i)
        glBindAttribLocation(program, i, kAttribNames[i]);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        m_error = "GPU program \"" + m_name + "\" does not link: " + infoLog(program, true);
        glDeleteProgram(program);
        return false;
    }
    m_glName = program;

    m_uniforms.worldViewProjection = uniformLocation("u_worldViewProj");
    m_uniforms.worldView = uniformLocation("u_worldView");
    m_uniforms.world = uniformLocation("u_world");
    m_uniforms.colorFactor = uniformLocation("u_colorFactor");
    m_uniforms.texture0 = uniformLocation("u_texture0");
    m_uniforms.texture1 = uniformLocation("u_texture1");
    m_uniforms.lightDirection = uniformLocation("u_lightDirection");
    m_uniforms.lightAmbient = uniformLocation("u_lightAmbient");
    m_uniforms.lightDiffuse = uniformLocation("u_lightDiffuse");
    m_uniforms.fogColor = uniformLocation("u_fogColor");
    m_uniforms.fogRange = uniformLocation("u_fogRange");
    m_uniforms.paint0 = uniformLocation("u_paint0");
    m_uniforms.paint1 = uniformLocation("u_paint1");

    // Samplers never change unit, so they are set once; the device's idea of
    // the current program is kept by restoring it.
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    setUniform(m_uniforms.texture0, 0);
    setUniform(m_uniforms.texture1, 1);
    onLinked();
    glUseProgram(static_cast<GLuint>(previous));
    return true;
}

int GpuProgram::uniformLocation(const char* uniformName) const
{
    return m_glName == 0 ? -1 : glGetUniformLocation(m_glName, uniformName);
}

void GpuProgram::setUniform(int location, int value)
{
    if (location >= 0)
        glUniform1i(location, value);
}

void GpuProgram::setUniform(int location, float value)
{
    if (location >= 0)
        glUniform1f(location, value);
}

void GpuProgram::setUniform(int location, float x, float y)
{
    if (location >= 0)
        glUniform2f(location, x, y);
}

void GpuProgram::setUniform(int location, float x, float y, float z)
{
    if (location >= 0)
        glUniform3f(location, x, y, z);
}

void GpuProgram::setUniform(int location, float x, float y, float z, float w)
{
    if (location >= 0)
        glUniform4f(location, x, y, z, w);
}

void GpuProgram::setUniform(int location, const Mat4& value)
{
    if (location >= 0)
        glUniformMatrix4fv(location, 1, GL_FALSE, value.m);
}
