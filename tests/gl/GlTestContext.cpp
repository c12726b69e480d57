#include "GlTestContext.h"
#include "render/Renderer.h"

#include <SDL.h>

#include <cstdlib>
#include <ostream>

namespace {

std::string s_why;

SDL_Window* s_window = nullptr;
SDL_GLContext s_glContext = nullptr;

bool makeContext(bool es)
{
    SDL_GL_ResetAttributes();
    if (es) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    } else {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    s_window = SDL_CreateWindow("gl tests", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64, 64,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!s_window)
        return false;
    s_glContext = SDL_GL_CreateContext(s_window);
    if (!s_glContext) {
        SDL_DestroyWindow(s_window);
        s_window = nullptr;
        return false;
    }
    return SDL_GL_MakeCurrent(s_window, s_glContext) == 0;
}

}  // namespace

GlTestContext* GlTestContext::instance()
{
    static GlTestContext* context = [] () -> GlTestContext* {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            s_why = std::string("SDL video cannot start: ") + SDL_GetError();
            return nullptr;
        }
        // Desktop only when the environment asks for it or ES is refused.
        const char* forceDesktop = std::getenv("SKYFRONT_GL_DESKTOP");
        const bool made = (!forceDesktop && makeContext(true)) || makeContext(false);
        if (!made) {
            s_why = std::string("no GL context: ") + SDL_GetError();
            return nullptr;
        }
        auto* created = new GlTestContext();
        if (!created->m_device.init(64, 64)) {
            s_why = "the graphics device does not start: " + created->m_device.error();
            delete created;
            return nullptr;
        }
        return created;
    }();
    return context;
}

const std::string& GlTestContext::why()
{
    return s_why;
}

std::ostream& operator<<(std::ostream& out, const Rgba& c)
{
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

namespace {

testing::AssertionResult compare(const Rgba& actual, const Rgba& expected, int tolerance, int channels)
{
    const int a[4] = {actual.r, actual.g, actual.b, actual.a};
    const int e[4] = {expected.r, expected.g, expected.b, expected.a};
    for (int i = 0; i < channels; ++i)
        if (std::abs(a[i] - e[i]) > tolerance)
            return testing::AssertionFailure() << actual << " is not within " << tolerance << " of " << expected;
    return testing::AssertionSuccess();
}

}  // namespace

testing::AssertionResult colorNear(const Rgba& actual, const Rgba& expected, int tolerance)
{
    return compare(actual, expected, tolerance, 4);
}

testing::AssertionResult rgbNear(const Rgba& actual, const Rgba& expected, int tolerance)
{
    return compare(actual, expected, tolerance, 3);
}

void GlTest::SetUp()
{
    m_context = GlTestContext::instance();
    if (!m_context)
        GTEST_SKIP() << GlTestContext::why();
    // A test that opened a window of its own leaves its context current.
    ASSERT_EQ(SDL_GL_MakeCurrent(s_window, s_glContext), 0) << SDL_GetError();
    GraphicsES20& g = gfx();
    // Light and fog first: applying the state reads them, and the last test's
    // records died with its fixture.
    g.setLight(nullptr);
    g.setFog(nullptr);
    g.setRenderState(RenderState{});
    g.setProjectionMatrix(Mat4{});
    g.setViewMatrix(Mat4{});
    g.setWorldMatrix(Mat4{});
    g.setColorFactor(1, 1, 1, 1);
    useTarget(64, 64);
}

void GlTest::TearDown()
{
    if (!m_context)
        return;
    gfx().setRenderTarget(nullptr);
    gfx().setLight(nullptr);
    gfx().setFog(nullptr);
    m_target.destroy();
    // Every test starts with empty caches: models, textures, sprite sets, targets.
    resetRenderGlobals();
}

void GlTest::useTarget(int width, int height)
{
    ASSERT_TRUE(m_target.createTexture(TextureFormat::Rgba8, width, height, kClampSampler));
    gfx().setRenderTarget(&m_target);
}

Rgba GlTest::pixel(int x, int y)
{
    std::vector<std::uint8_t> bytes;
    gfx().readPixels(x, y, 1, 1, bytes);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

std::vector<Rgba> GlTest::rect(int x, int y, int width, int height)
{
    std::vector<std::uint8_t> bytes;
    gfx().readPixels(x, y, width, height, bytes);
    std::vector<Rgba> out;
    for (std::size_t i = 0; i + 3 < bytes.size(); i += 4)
        out.push_back({bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]});
    return out;
}

void GlTest::clearTo(const Rgba& color)
{
    gfx().setClearColor({color.r, color.g, color.b, color.a});
    gfx().clear();
}

void GlTest::drawQuad(float x0, float y0, float x1, float y1, float z, const Rgba& color)
{
    struct Vertex {
        float x, y, z;
        std::uint8_t r, g, b, a;
        float u, v;
    };
    const Vertex vertices[4] = {
        {x0, y0, z, color.r, color.g, color.b, color.a, 0, 0},
        {x1, y0, z, color.r, color.g, color.b, color.a, 1, 0},
        {x0, y1, z, color.r, color.g, color.b, color.a, 0, 1},
        {x1, y1, z, color.r, color.g, color.b, color.a, 1, 1},
    };
    static_assert(sizeof(Vertex) == 24);
    gfx().bindBuffer(BufferTarget::Array, 0);
    gfx().setVertexLayout(VertexLayout::PosColorTex24, vertices);
    const std::uint16_t indices[6] = {0, 1, 2, 1, 2, 3};
    gfx().drawIndexed(PrimitiveType::Triangles, indices);
}
