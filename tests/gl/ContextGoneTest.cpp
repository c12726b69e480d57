#include "GlTestContext.h"

#include "render/BufferObject.h"
#include "render/GpuProgram.h"
#include "render/RenderBuffer.h"
#include "render/Texture2D.h"
#include "render/gl/GlContext.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

namespace {
using ContextGone = GlTest;

// Statics destroyed after shut-down closed the window (screens, caches) still
// hold GL objects: with no context current their destructors must not call GL,
// which would abort the program at exit.
TEST_F(ContextGone, GlObjectsOutlivingTheContextAreDroppedWithoutGlCalls)
{
    auto buffer = std::make_unique<BufferObject>();
    ASSERT_TRUE(buffer->create(BufferTarget::Array, 64, BufferUsage::Static));
    auto texture = std::make_unique<Texture2D>();
    ASSERT_TRUE(texture->allocate(TextureFormat::Rgba8, 4, 4, kClampSampler));
    auto target = std::make_unique<RenderBuffer>();
    ASSERT_TRUE(target->createTexture(TextureFormat::Rgba8, 8, 8, kClampSampler));
    auto program = std::make_unique<GpuProgram>();
    ASSERT_TRUE(program->build("context gone", "attribute vec3 a_position;\nvoid main() { gl_Position = vec4(a_position, 1.0); }\n",
                               "void main() { gl_FragColor = vec4(1.0); }\n"))
        << program->error();
    gfx().setRenderTarget(nullptr);

    SDL_Window* window = SDL_GL_GetCurrentWindow();
    SDL_GLContext context = SDL_GL_GetCurrentContext();
    ASSERT_NE(context, nullptr);
    ASSERT_EQ(SDL_GL_MakeCurrent(window, nullptr), 0) << SDL_GetError();
    setGlContextLive(false);
    buffer.reset();
    texture.reset();
    target.reset();
    program.reset();
    setGlContextLive(true);
    ASSERT_EQ(SDL_GL_MakeCurrent(window, context), 0) << SDL_GetError();
}
}  // namespace
