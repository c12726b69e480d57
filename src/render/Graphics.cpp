#include "render/Graphics.h"

#include "render/internal/RenderGlobals.h"

#include <algorithm>
#include <cstring>

namespace {

std::vector<std::uint16_t> makeQuadIndices()
{
    std::vector<std::uint16_t> indices(static_cast<std::size_t>(Graphics::kSharedQuadCount) * 6);
    for (int q = 0; q < Graphics::kSharedQuadCount; ++q) {
        const auto base = static_cast<std::uint16_t>(q * 4);
        const std::uint16_t quad[6] = {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2),
                                       static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2),
                                       static_cast<std::uint16_t>(base + 3)};
        std::copy(quad, quad + 6, indices.begin() + q * 6);
    }
    return indices;
}

}  // namespace

Graphics* graphics()
{
    return renderGlobals().device;
}

void setGraphics(Graphics* device)
{
    renderGlobals().device = device;
}

int vertexStride(VertexLayout layout)
{
    switch (layout) {
    case VertexLayout::None: return 0;
    case VertexLayout::PosColorTex24: return 24;
    case VertexLayout::PosTex16: return 16;
    case VertexLayout::PosTex20: return 20;
    case VertexLayout::Model32: return 32;
    case VertexLayout::PosNormal16: return 16;
    case VertexLayout::PosColorTexTex32: return 32;
    }
    return 0;
}

RenderState RenderState::opaque()
{
    RenderState s;
    s.blend = kBlendOpaque;
    return s;
}

RenderState RenderState::backdrop()
{
    RenderState s = opaque();
    s.depthWrite = false;
    return s;
}

RenderState RenderState::alphaBlend()
{
    RenderState s;
    s.blend = kBlendPremultiplied;
    s.depthWrite = false;
    return s;
}

RenderState RenderState::additive()
{
    RenderState s = alphaBlend();
    s.blend = kBlendAdditive;
    return s;
}

RenderState RenderState::fullTarget()
{
    RenderState s = opaque();
    s.depthTest = false;
    s.depthWrite = false;
    s.perVertexColor = false;
    s.color = Color4{255, 255, 255, 255};
    s.program = BuiltinProgram::Effect;
    return s;
}

Graphics::~Graphics() = default;

std::span<const std::uint16_t> Graphics::sharedQuadIndices()
{
    static const std::vector<std::uint16_t> indices = makeQuadIndices();
    return indices;
}

void Graphics::setQualityTier(int tier)
{
    m_qualityTier = std::clamp(tier, 0, 3);
    m_highDetail = m_qualityTier == 3 ? 1 : 0;
}

TextureFilter Graphics::qualityFilter() const
{
    return m_qualityTier >= 2 ? TextureFilter::Trilinear : TextureFilter::Linear;
}

void Graphics::setRenderState(const RenderState& state)
{
    m_state = state;
    applyState();
}

void Graphics::pushState()
{
    m_stateStack.push_back(m_state);
}

void Graphics::popState()
{
    if (m_stateStack.empty())
        return;
    m_state = m_stateStack.back();
    m_stateStack.pop_back();
}

void Graphics::setProjectionMatrix(const Mat4& m)
{
    m_projection = m;
    ++m_matrixSerial;
}

void Graphics::setViewMatrix(const Mat4& m)
{
    m_view = m;
    ++m_matrixSerial;
}

void Graphics::setWorldMatrix(const Mat4& m)
{
    m_world = m;
    ++m_matrixSerial;
}

void Graphics::setLight(const LightRecord* light)
{
    m_light = light;
    ++m_lightSerial;
}

void Graphics::setFog(const FogRecord* fog)
{
    m_fog = fog;
    ++m_fogSerial;
}

void Graphics::setColorFactor(float r, float g, float b, float a)
{
    m_colorFactor[0] = r;
    m_colorFactor[1] = g;
    m_colorFactor[2] = b;
    m_colorFactor[3] = a;
    ++m_colorFactorSerial;
}

void Graphics::setScreenSize(int width, int height)
{
    m_screenWidth = std::max(width, 0);
    m_screenHeight = std::max(height, 0);
}

namespace {
bool sameMatrix(const Mat4& a, const Mat4& b)
{
    return std::memcmp(a.m, b.m, sizeof(a.m)) == 0;
}
}  // namespace

RenderPassScope::RenderPassScope(Graphics& device)
    : m_device(device), m_target(device.currentRenderTarget()), m_projection(device.projectionMatrix()),
      m_view(device.viewMatrix()), m_world(device.worldMatrix()), m_state(device.state()),
      m_clearColor(device.clearColor())
{
}

// Only what changed is set again: a matrix set anew makes every program
// upload its matrices once more.
RenderPassScope::~RenderPassScope()
{
    if (m_device.currentRenderTarget() != m_target)
        m_device.setRenderTarget(m_target);
    if (!sameMatrix(m_device.projectionMatrix(), m_projection))
        m_device.setProjectionMatrix(m_projection);
    if (!sameMatrix(m_device.viewMatrix(), m_view))
        m_device.setViewMatrix(m_view);
    if (!sameMatrix(m_device.worldMatrix(), m_world))
        m_device.setWorldMatrix(m_world);
    m_device.state() = m_state;
    const Color4& c = m_device.clearColor();
    if (c.r != m_clearColor.r || c.g != m_clearColor.g || c.b != m_clearColor.b || c.a != m_clearColor.a)
        m_device.setClearColor(m_clearColor);
}
