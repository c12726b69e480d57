#include "render/Graphics.h"

#include "render/internal/RenderGlobals.h"

#include <algorithm>

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
    case VertexLayout::PosColorTexTex32: return 32;
    }
    return 0;
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
