#include "render/gl/GraphicsES20.h"
#include "platform/FrameProfile.h"
#include "platform/Log.h"

#include "render/RenderBuffer.h"
#include "render/gl/BuiltinShaders.h"
#include "render/gl/GlContext.h"
#include "render/internal/MatrixProduct.h"
#include "render/internal/RenderGlobals.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>

namespace {

GLenum glBlendFactor(BlendFactor f)
{
    switch (f) {
    case BlendFactor::Zero: return GL_ZERO;
    case BlendFactor::One: return GL_ONE;
    case BlendFactor::SrcColor: return GL_SRC_COLOR;
    case BlendFactor::OneMinusSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case BlendFactor::DstColor: return GL_DST_COLOR;
    case BlendFactor::OneMinusDstColor: return GL_ONE_MINUS_DST_COLOR;
    case BlendFactor::SrcAlpha: return GL_SRC_ALPHA;
    case BlendFactor::OneMinusSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DstAlpha: return GL_DST_ALPHA;
    case BlendFactor::OneMinusDstAlpha: return GL_ONE_MINUS_DST_ALPHA;
    }
    return GL_ONE;
}

GLenum glCompare(CompareFunc f)
{
    switch (f) {
    case CompareFunc::Never: return GL_NEVER;
    case CompareFunc::Less: return GL_LESS;
    case CompareFunc::Equal: return GL_EQUAL;
    case CompareFunc::LessEqual: return GL_LEQUAL;
    case CompareFunc::Greater: return GL_GREATER;
    case CompareFunc::NotEqual: return GL_NOTEQUAL;
    case CompareFunc::GreaterEqual: return GL_GEQUAL;
    case CompareFunc::Always: return GL_ALWAYS;
    }
    return GL_ALWAYS;
}

GLenum glStencilAction(StencilOp op)
{
    switch (op) {
    case StencilOp::Keep: return GL_KEEP;
    case StencilOp::Zero: return GL_ZERO;
    case StencilOp::Replace: return GL_REPLACE;
    case StencilOp::Increment: return GL_INCR;
    case StencilOp::Decrement: return GL_DECR;
    case StencilOp::Invert: return GL_INVERT;
    case StencilOp::IncrementWrap: return GL_INCR_WRAP;
    case StencilOp::DecrementWrap: return GL_DECR_WRAP;
    }
    return GL_KEEP;
}

GLenum glPrimitive(PrimitiveType type)
{
    switch (type) {
    case PrimitiveType::Triangles: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan: return GL_TRIANGLE_FAN;
    case PrimitiveType::Lines: return GL_LINES;
    case PrimitiveType::LineStrip: return GL_LINE_STRIP;
    case PrimitiveType::Points: return GL_POINTS;
    }
    return GL_TRIANGLES;
}

GLenum glBufferTarget(BufferTarget target)
{
    return target == BufferTarget::Array ? GL_ARRAY_BUFFER : GL_ELEMENT_ARRAY_BUFFER;
}

struct AttribPointer {
    VertexAttrib attrib;
    GLint size;
    GLenum type;
    int offset;
};

std::span<const AttribPointer> layoutAttribs(VertexLayout layout)
{
    using A = VertexAttrib;
    static const AttribPointer pct24[] = {{A::Position, 3, GL_FLOAT, 0}, {A::Color, 4, GL_UNSIGNED_BYTE, 12},
                                          {A::TexCoord0, 2, GL_FLOAT, 16}};
    static const AttribPointer pt16[] = {{A::Position, 2, GL_FLOAT, 0}, {A::TexCoord0, 2, GL_FLOAT, 8}};
    static const AttribPointer pt20[] = {{A::Position, 3, GL_FLOAT, 0}, {A::TexCoord0, 2, GL_FLOAT, 12}};
    static const AttribPointer model32[] = {{A::Position, 3, GL_FLOAT, 0}, {A::Normal, 3, GL_FLOAT, 12},
                                            {A::TexCoord0, 2, GL_FLOAT, 24}};
    static const AttribPointer pn16[] = {{A::Position, 3, GL_FLOAT, 0}, {A::Normal, 3, GL_BYTE, 12}};
    static const AttribPointer pctt32[] = {{A::Position, 3, GL_FLOAT, 0}, {A::Color, 4, GL_UNSIGNED_BYTE, 12},
                                           {A::TexCoord0, 2, GL_FLOAT, 16}, {A::TexCoord1, 2, GL_FLOAT, 24}};
    switch (layout) {
    case VertexLayout::None: return {};
    case VertexLayout::PosColorTex24: return pct24;
    case VertexLayout::PosTex16: return pt16;
    case VertexLayout::PosTex20: return pt20;
    case VertexLayout::Model32: return model32;
    case VertexLayout::PosNormal16: return pn16;
    case VertexLayout::PosColorTexTex32: return pctt32;
    }
    return {};
}

bool layoutHasColor(VertexLayout layout)
{
    for (const AttribPointer& a : layoutAttribs(layout))
        if (a.attrib == VertexAttrib::Color)
            return true;
    return false;
}

GLuint attribIndex(VertexAttrib a)
{
    return static_cast<GLuint>(a);
}

}  // namespace

GlContextInfo& glContextInfo()
{
    return renderGlobals().context;
}

void clearGlErrors()
{
    // Bounded: a lost context may report an error on every call.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// What GL currently holds. `known` is false until the first apply and after
// anything that may have changed GL behind the device's back.
struct GraphicsES20::AppliedState {
    bool known = false;
    RenderState state;
    BlendState blend;
    bool blendOn = false;
    bool mirrored = false;
    bool colorArrayOn = false;
    Color4 constantColor{0, 0, 0, 0};
    bool constantColorKnown = false;
};

GraphicsES20::GraphicsES20() : m_applied(std::make_unique<AppliedState>()) {}

GraphicsES20::~GraphicsES20()
{
    if (graphics() == this)
        setGraphics(nullptr);
}

bool GraphicsES20::init(int screenWidth, int screenHeight)
{
    setGraphics(this);
    setScreenSize(screenWidth, screenHeight);
    m_error.clear();
    if (!readContext() || !buildPrograms() || !makeSharedGeometry())
        return false;
    m_initialised = true;
    m_applied->known = false;
    m_pointed.valid = false;
    m_scissor.known = false;
    setRenderTarget(nullptr);
    restoreDefaultClearColor();
    applyState();
    return true;
}

void GraphicsES20::shutdown()
{
    for (GpuProgram& program : m_programs)
        program.destroy();
    m_quadIndices.destroy();
    m_fullScreenQuad.destroy();
    m_white.reset();
    m_currentProgram = nullptr;
    m_currentProgramName = 0;
    m_initialised = false;
    m_pointed.valid = false;
    m_scissor.known = false;
    if (graphics() == this)
        setGraphics(nullptr);
}

bool GraphicsES20::readContext()
{
    GlContextInfo& info = glContextInfo();
    info = {};
    const GLubyte* version = glGetString(GL_VERSION);
    logInfo("render", "%s", version ? reinterpret_cast<const char*>(version) : "OpenGL version unknown");
    info.desktop = epoxy_is_desktop_gl();
    info.version = epoxy_gl_version();
    m_desktopContext = info.desktop;
    m_dialect = info.desktop ? ShaderDialect::Desktop120 : ShaderDialect::Es100;
    if (info.desktop) {
        if (info.version < 20) {
            m_error = "the OpenGL context is older than 2.0";
            return false;
        }
        if (info.version < 30 && !epoxy_has_gl_extension("GL_ARB_framebuffer_object") &&
            !epoxy_has_gl_extension("GL_EXT_framebuffer_object")) {
            m_error = "the OpenGL context has no framebuffer objects";
            return false;
        }
        info.occlusionQuery = info.version >= 15 || epoxy_has_gl_extension("GL_ARB_occlusion_query");
        info.queryTarget = GL_SAMPLES_PASSED;
        info.packedDepthStencil = info.version >= 30 || epoxy_has_gl_extension("GL_EXT_packed_depth_stencil") ||
                                  epoxy_has_gl_extension("GL_ARB_framebuffer_object");
        info.fullNonPowerOfTwo = true;
        info.textureMaxLevel = true;
    } else {
        const bool es3 = info.version >= 30;
        info.queryIsExtension = !es3 && epoxy_has_gl_extension("GL_EXT_occlusion_query_boolean");
        info.occlusionQuery = es3 || info.queryIsExtension;
        info.queryTarget = GL_ANY_SAMPLES_PASSED_EXT;
        info.packedDepthStencil = es3 || epoxy_has_gl_extension("GL_OES_packed_depth_stencil");
        info.fullNonPowerOfTwo = es3 || epoxy_has_gl_extension("GL_OES_texture_npot");
        info.textureMaxLevel = es3;
    }
    m_occlusionQuerySupported = info.occlusionQuery;
    GLint stencilBits = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    m_screenStencilBits = stencilBits;
    return true;
}

bool GraphicsES20::buildPrograms()
{
    for (int i = 0; i < kBuiltinProgramCount; ++i) {
        const ShaderPair sources = builtinShaderSources(static_cast<BuiltinProgram>(i));
        if (!m_programs[i].build(sources.name, sources.vertex, sources.fragment)) {
            m_error = m_programs[i].error();
            return false;
        }
    }
    m_currentProgram = nullptr;
    return true;
}

bool GraphicsES20::makeSharedGeometry()
{
    const std::span<const std::uint16_t> indices = sharedQuadIndices();
    const float quad[16] = {-1, -1, 0, 0, 1, -1, 1, 0, -1, 1, 0, 1, 1, 1, 1, 1};
    if (!m_quadIndices.create(BufferTarget::ElementArray, indices.size_bytes(), BufferUsage::Static, indices.data()) ||
        !m_fullScreenQuad.create(BufferTarget::Array, sizeof(quad), BufferUsage::Static, quad)) {
        m_error = "the shared quad buffers cannot be made";
        return false;
    }
    bindBuffer(BufferTarget::Array, 0);
    bindBuffer(BufferTarget::ElementArray, 0);

    TextureImage white;
    white.width = white.height = 1;
    white.levels.push_back({255, 255, 255, 255});
    m_white = std::make_unique<Texture2D>();
    if (!m_white->upload(white, {TextureFilter::Nearest, TextureWrap::Repeat})) {
        m_error = "the white texture cannot be made";
        return false;
    }
    return true;
}

void GraphicsES20::setProjectionMatrix(const Mat4& m)
{
    Graphics::setProjectionMatrix(m);
}

void GraphicsES20::setViewMatrix(const Mat4& m)
{
    Graphics::setViewMatrix(m);
}

void GraphicsES20::setWorldMatrix(const Mat4& m)
{
    Graphics::setWorldMatrix(m);
}

void GraphicsES20::applyState()
{
    if (!m_initialised)
        return;
    applyFixedState();
    applyProgram();
    applyVertexColor(false);
    applyTextures();
    m_applied->known = true;
}

void GraphicsES20::applyFixedState()
{
    const RenderState& s = m_state;
    RenderState& a = m_applied->state;
    const bool all = !m_applied->known;

    const BlendState blend = s.alternativeBlend ? kBlendStraightAlpha : s.blend;
    const bool blendOn = !(blend == kBlendOpaque);
    if (all || blendOn != m_applied->blendOn) {
        blendOn ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        m_applied->blendOn = blendOn;
    }
    if (blendOn && (all || !(blend == m_applied->blend))) {
        glBlendFunc(glBlendFactor(blend.src), glBlendFactor(blend.dst));
        m_applied->blend = blend;
    }
    if (all || s.depthTest != a.depthTest)
        s.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    if (all || s.depthWrite != a.depthWrite)
        glDepthMask(s.depthWrite ? GL_TRUE : GL_FALSE);
    if (all || s.depthFunc != a.depthFunc)
        glDepthFunc(glCompare(s.depthFunc));
    if (all || mirroredWinding() != m_applied->mirrored) {
        glFrontFace(mirroredWinding() ? GL_CW : GL_CCW);
        m_applied->mirrored = mirroredWinding();
    }
    if (all || s.cull != a.cull) {
        if (s.cull == CullMode::None) {
            glDisable(GL_CULL_FACE);
        } else {
            glEnable(GL_CULL_FACE);
            glCullFace(s.cull == CullMode::Back ? GL_BACK : GL_FRONT);
        }
    }
    if (all || !(s.stencil == a.stencil)) {
        s.stencil.enabled ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
        glStencilFunc(glCompare(s.stencil.func), s.stencil.reference, s.stencil.readMask);
        glStencilMask(s.stencil.writeMask);
        glStencilOp(glStencilAction(s.stencil.fail), glStencilAction(s.stencil.depthFail), glStencilAction(s.stencil.pass));
        if (s.stencil.twoSided)
            glStencilOpSeparate(GL_BACK, glStencilAction(s.stencil.backFail), glStencilAction(s.stencil.backDepthFail),
                                glStencilAction(s.stencil.backPass));
    }
    if (all || s.polygonOffset != a.polygonOffset) {
        if (s.polygonOffset) {
            glEnable(GL_POLYGON_OFFSET_FILL);
            glPolygonOffset(kPolygonOffsetFactor, kPolygonOffsetUnits);
        } else {
            glDisable(GL_POLYGON_OFFSET_FILL);
        }
    }
    if (all || s.colorMask != a.colorMask)
        glColorMask((s.colorMask & kColorMaskRed) != 0, (s.colorMask & kColorMaskGreen) != 0,
                    (s.colorMask & kColorMaskBlue) != 0, (s.colorMask & kColorMaskAlpha) != 0);
    a = s;
}

void GraphicsES20::applyProgram()
{
    GpuProgram* program = m_state.customProgram;
    if (program == nullptr || !program->isValid())
        program = &m_programs[static_cast<int>(m_state.program)];
    if (program != m_currentProgram || program->glName() != m_currentProgramName || !m_applied->known) {
        glUseProgram(program->glName());
        m_currentProgram = program;
        m_currentProgramName = program->glName();
    }
    uploadUniforms(*program);
}

void GraphicsES20::uploadUniforms(GpuProgram& program)
{
    const StandardUniforms& u = program.uniforms();
    GpuProgram::UploadedSerials& done = program.uploaded();
    if (done.matrices != m_matrixSerial) {
        const Mat4 worldView = matrixProduct(m_view, m_world);
        GpuProgram::setUniform(u.worldViewProjection, matrixProduct(m_projection, worldView));
        GpuProgram::setUniform(u.worldView, worldView);
        GpuProgram::setUniform(u.world, m_world);
        done.matrices = m_matrixSerial;
    }
    if (done.colorFactor != m_colorFactorSerial) {
        GpuProgram::setUniform(u.colorFactor, m_colorFactor[0], m_colorFactor[1], m_colorFactor[2], m_colorFactor[3]);
        done.colorFactor = m_colorFactorSerial;
    }
    if (done.light != m_lightSerial) {
        // Without a light record models show their texture unlit.
        static const LightRecord kUnlit{{0.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}};
        const LightRecord& l = m_light ? *m_light : kUnlit;
        GpuProgram::setUniform(u.lightDirection, l.direction[0], l.direction[1], l.direction[2]);
        GpuProgram::setUniform(u.lightAmbient, l.ambient[0], l.ambient[1], l.ambient[2]);
        GpuProgram::setUniform(u.lightDiffuse, l.diffuse[0], l.diffuse[1], l.diffuse[2]);
        done.light = m_lightSerial;
    }
    if (done.fog != m_fogSerial) {
        if (m_fog) {
            GpuProgram::setUniform(u.fogColor, m_fog->color[0], m_fog->color[1], m_fog->color[2]);
            GpuProgram::setUniform(u.fogRange, m_fog->start, m_fog->end);
        } else {
            GpuProgram::setUniform(u.fogColor, 0.0f, 0.0f, 0.0f);
            GpuProgram::setUniform(u.fogRange, 1.0e30f, 2.0e30f);
        }
        done.fog = m_fogSerial;
    }
    const int paintLocations[2] = {u.paint0, u.paint1};
    for (int i = 0; i < 2; ++i) {
        if (paintLocations[i] < 0)
            continue;
        const Color4& c = m_state.paint[static_cast<std::size_t>(i)];
        const std::uint32_t packed = std::uint32_t{c.r} << 24 | std::uint32_t{c.g} << 16 | std::uint32_t{c.b} << 8 | c.a;
        if (done.paint[i] == packed)
            continue;
        GpuProgram::setUniform(paintLocations[i], c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f);
        done.paint[i] = packed;
    }
}

// Without per-vertex color the color attribute is a constant: the current color.
void GraphicsES20::applyVertexColor(bool force)
{
    const bool useArray = m_state.perVertexColor && layoutHasColor(m_layout);
    const GLuint index = attribIndex(VertexAttrib::Color);
    if (force || !m_applied->known || useArray != m_applied->colorArrayOn) {
        useArray ? glEnableVertexAttribArray(index) : glDisableVertexAttribArray(index);
        m_applied->colorArrayOn = useArray;
        m_applied->constantColorKnown = false;
    }
    if (useArray)
        return;
    const Color4& c = m_state.color;
    const Color4& k = m_applied->constantColor;
    if (m_applied->constantColorKnown && c.r == k.r && c.g == k.g && c.b == k.b && c.a == k.a)
        return;
    glVertexAttrib4f(index, c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f);
    m_applied->constantColor = c;
    m_applied->constantColorKnown = true;
}

// Bound on every apply: textures are made and deleted behind the device.
void GraphicsES20::applyTextures()
{
    for (int unit = 1; unit >= 0; --unit) {
        const Texture2D* texture = m_state.textures[static_cast<std::size_t>(unit)];
        if (texture == nullptr || texture->glName() == 0)
            texture = m_white.get();
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, texture->glName());
    }
}

void GraphicsES20::bindExtraTexture(int unit, const Texture2D* texture)
{
    if (texture == nullptr || texture->glName() == 0)
        texture = m_white.get();
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, texture ? texture->glName() : 0);
    glActiveTexture(GL_TEXTURE0);
}

void GraphicsES20::setRenderTarget(RenderBuffer* target)
{
    if (target != nullptr && !target->isValid())
        target = nullptr;
    m_renderTarget = target;
    glBindFramebuffer(GL_FRAMEBUFFER, target ? target->glFramebuffer() : 0);
    if (target)
        setViewport(0, 0, target->width(), target->height());
    else
        setViewport(0, 0, m_screenWidth, m_screenHeight);
}

void GraphicsES20::setViewport(int x, int y, int width, int height)
{
    glViewport(x, y, std::max(width, 0), std::max(height, 0));
}

void GraphicsES20::setClearColor(const Color4& color)
{
    m_clearColor = color;
    glClearColor(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
}

void GraphicsES20::setScissor(bool enabled, int x, int y, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const Scissor& s = m_scissor;
    if (s.known && s.enabled == enabled &&
        (!enabled || (s.x == x && s.y == y && s.width == width && s.height == height)))
        return;
    m_scissor = Scissor{true, enabled, x, y, width, height};
    if (!enabled) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width, height);
}

void GraphicsES20::clear()
{
    GLbitfield mask = GL_COLOR_BUFFER_BIT;
    if (m_renderTarget == nullptr)
        mask |= GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
    else {
        if (m_renderTarget->hasDepth())
            mask |= GL_DEPTH_BUFFER_BIT;
        if (m_renderTarget->hasStencil())
            mask |= GL_STENCIL_BUFFER_BIT;
    }
    // A clear writes through the masks, so open them and restore the state after.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    glClear(mask);
    m_applied->known = false;
    applyState();
}

void GraphicsES20::setVertexLayout(VertexLayout layout, const void* vertices)
{
    pointAttributes(layout, reinterpret_cast<std::uintptr_t>(vertices));
}

void GraphicsES20::setBufferVertexLayout(VertexLayout layout, std::size_t byteOffset)
{
    pointAttributes(layout, byteOffset);
}

// GL takes a buffer offset in the place of a pointer; adding in integers keeps
// the offset from being arithmetic on a null pointer.
void GraphicsES20::pointAttributes(VertexLayout layout, std::uintptr_t base)
{
    const unsigned int buffer = m_boundBuffers[static_cast<std::size_t>(BufferTarget::Array)];
    if (m_pointed.valid && m_pointed.layout == layout && m_pointed.base == base && m_pointed.buffer == buffer &&
        buffer != ~0u && m_layout == layout)
        return;
    m_pointed = Pointed{buffer != ~0u, layout, base, buffer};
    m_layout = layout;
    bool used[kVertexAttribCount] = {};
    const int stride = vertexStride(layout);
    for (const AttribPointer& a : layoutAttribs(layout)) {
        const GLuint index = attribIndex(a.attrib);
        used[index] = true;
        glVertexAttribPointer(index, a.size, a.type, a.type == GL_UNSIGNED_BYTE || a.type == GL_BYTE ? GL_TRUE : GL_FALSE, stride,
                              reinterpret_cast<const void*>(base + static_cast<std::uintptr_t>(a.offset)));
        if (a.attrib != VertexAttrib::Color)
            glEnableVertexAttribArray(index);
    }
    for (GLuint i = 0; i < kVertexAttribCount; ++i)
        if (!used[i] && i != attribIndex(VertexAttrib::Color))
            glDisableVertexAttribArray(i);
    applyVertexColor(true);
}

void GraphicsES20::invalidateVertexLayout()
{
    m_layout = VertexLayout::None;
    m_pointed.valid = false;
    m_applied->constantColorKnown = false;
}

void GraphicsES20::bindBuffer(BufferTarget target, unsigned int glName)
{
    unsigned int& bound = m_boundBuffers[static_cast<std::size_t>(target)];
    if (bound == glName && m_initialised)
        return;
    glBindBuffer(glBufferTarget(target), glName);
    bound = glName;
}

void GraphicsES20::invalidateBufferBindings()
{
    m_boundBuffers = {~0u, ~0u};
    m_pointed.valid = false;
}

void GraphicsES20::drawArrays(PrimitiveType type, int first, int count)
{
    if (count <= 0 || first < 0)
        return;
    applyState();
    frameProfile().countDraw();
    glDrawArrays(glPrimitive(type), first, count);
}

void GraphicsES20::drawIndexed(PrimitiveType type, std::span<const std::uint16_t> indices)
{
    if (indices.empty())
        return;
    applyState();
    bindBuffer(BufferTarget::ElementArray, 0);
    frameProfile().countDraw();
    glDrawElements(glPrimitive(type), static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
}

void GraphicsES20::drawIndexedBuffer(PrimitiveType type, int count, std::size_t byteOffset)
{
    if (count <= 0)
        return;
    applyState();
    frameProfile().countDraw();
    glDrawElements(glPrimitive(type), count, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(byteOffset));
}

void GraphicsES20::drawQuads(int quadCount)
{
    quadCount = std::min(quadCount, kSharedQuadCount);
    if (quadCount <= 0)
        return;
    applyState();
    bindBuffer(BufferTarget::ElementArray, m_quadIndices.glName());
    frameProfile().countDraw();
    glDrawElements(GL_TRIANGLES, quadCount * 6, GL_UNSIGNED_SHORT, nullptr);
}

void GraphicsES20::drawFullScreenQuad()
{
    bindBuffer(BufferTarget::Array, m_fullScreenQuad.glName());
    setBufferVertexLayout(VertexLayout::PosTex16, 0);
    drawArrays(PrimitiveType::TriangleStrip, 0, 4);
    bindBuffer(BufferTarget::Array, 0);
    invalidateVertexLayout();
}

bool GraphicsES20::copyTargetTo(Texture2D& texture, int width, int height)
{
    if (texture.glName() == 0 || width <= 0 || height <= 0 || width > texture.width() || height > texture.height())
        return false;
    // The next apply binds the state's textures again.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture.glName());
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

void GraphicsES20::finish() { glFinish(); }

void GraphicsES20::readPixels(int x, int y, int width, int height, std::vector<std::uint8_t>& rgba)
{
    rgba.assign(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)) * 4, 0);
    if (rgba.empty())
        return;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}
