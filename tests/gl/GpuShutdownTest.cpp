#include "GlCallCounter.h"
#include "GlTestContext.h"

#include "platform/File.h"
#include "render/BufferObject.h"
#include "render/GpuProgram.h"
#include "render/OcclusionQuery.h"
#include "render/RenderBuffer.h"
#include "render/Renderer.h"
#include "render/assets/TextureCache.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/shadows/ShadowMaps.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct GpuShutdown : GlTest {
    void TearDown() override
    {
        // The shared device starts again for the tests after this one.
        if (!IsSkipped() && graphics() == nullptr) {
            ASSERT_TRUE(gfx().init(64, 64)) << gfx().error();
        }
        GlTest::TearDown();
    }
};

TEST_F(GpuShutdown, CounterSeesTheDeletesOfALiveObject)
{
    GlCallCounter counter;
    {
        BufferObject probe;
        ASSERT_TRUE(probe.create(BufferTarget::Array, 16, BufferUsage::Static));
    }
    EXPECT_GT(counter.calls(), 1);
}

// After the shut-down nothing calls GL: neither objects destroyed later (a
// screen's buffers, a held texture, the device) nor the renderer's caches
// going at exit; with the window's context gone such a call would abort.
TEST_F(GpuShutdown, NoGlCallAfterwards)
{
    TempDir dir;
    dir.write("data/glow.raw", std::string(8 * 8 * 2, '\x40'));
    setDataRoot(dir.folder());

    auto buffer = std::make_unique<BufferObject>();
    ASSERT_TRUE(buffer->create(BufferTarget::Array, 64, BufferUsage::Static));
    auto texture = std::make_unique<Texture2D>();
    ASSERT_TRUE(texture->allocate(TextureFormat::Rgba8, 4, 4, kClampSampler));
    auto target = std::make_unique<RenderBuffer>();
    ASSERT_TRUE(target->createTexture(TextureFormat::Rgba8, 8, 8, kClampSampler));
    auto program = std::make_unique<GpuProgram>();
    ASSERT_TRUE(program->build("shut-down", "attribute vec3 a_position;\nvoid main() { gl_Position = vec4(a_position, 1.0); }\n",
                               "void main() { gl_FragColor = vec4(1.0); }\n"))
        << program->error();
    auto query = std::make_unique<OcclusionQuery>();
    if (gfx().occlusionQuerySupported()) {
        ASSERT_TRUE(query->create());
        query->begin();   // left running: the shut-down ends it
    }
    TextureRef cached = loadRawLuminanceAlphaTexture("data/glow.raw", 8, 8, kClampSampler);
    ASSERT_TRUE(cached);
    ASSERT_NE(cached->glName(), 0u);
    auto extensions = std::make_unique<GraphicsES20Extensions>(gfx());
    ASSERT_TRUE(extensions->load()) << extensions->error();
    setGraphicsExtensions(extensions.get());
    ASSERT_TRUE(PostProcess::createTargets());
    ASSERT_TRUE(createShadowMaps(true));
    // A second device, destroyed after the shut-down like the game's at exit.
    auto spare = std::make_unique<GraphicsES20>();
    ASSERT_TRUE(spare->init(64, 64)) << spare->error();
    setGraphics(&gfx());

    shutdownRenderer();
    EXPECT_EQ(graphics(), nullptr);
    EXPECT_EQ(graphicsExtensions(), nullptr);
    EXPECT_EQ(shadowMaps(), nullptr);
    EXPECT_EQ(texture->glName(), 0u);
    EXPECT_EQ(cached->glName(), 0u);
    EXPECT_FALSE(program->isValid());

    GlCallCounter counter;
    buffer.reset();
    texture.reset();
    target.reset();
    program.reset();
    query.reset();
    cached = TextureRef{};
    extensions.reset();
    spare.reset();
    resetRenderGlobals();   // what the renderer's caches do at exit
    EXPECT_EQ(counter.calls(), 0);
}

}  // namespace
