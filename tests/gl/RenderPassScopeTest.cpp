// A pass scope gives back target, matrices, render state and clear color;
// buffer draws read their vertices from a byte offset.
#include "GlTestContext.h"

#include "render/BufferObject.h"

namespace {

struct PassScope : GlTest {};

TEST_F(PassScope, GivesBackTargetMatricesStateAndClearColor)
{
    RenderBuffer other;
    ASSERT_TRUE(other.createTexture(TextureFormat::Rgba8, 16, 8, kClampSampler));
    Mat4 projection;
    projection.m[0] = 0.5f;
    gfx().setProjectionMatrix(projection);
    gfx().state().depthWrite = false;
    gfx().setClearColor({1, 2, 3, 255});
    {
        RenderPassScope pass(gfx());
        gfx().setRenderTarget(&other);
        gfx().setClearColor({200, 0, 0, 255});
        gfx().clear();
        gfx().setProjectionMatrix(Mat4{});
        Mat4 view;
        view.m[13] = 7.0f;
        gfx().setViewMatrix(view);
        gfx().setRenderState(RenderState::additive());
        {
            RenderPassScope inner(gfx());   // nested passes unwind in order
            gfx().setWorldMatrix(view);
        }
        EXPECT_EQ(gfx().worldMatrix().m[13], 0.0f);
    }
    EXPECT_EQ(gfx().currentRenderTarget(), &target());
    EXPECT_EQ(gfx().projectionMatrix().m[0], 0.5f);
    EXPECT_EQ(gfx().viewMatrix().m[13], 0.0f);
    EXPECT_FALSE(gfx().state().depthWrite);
    EXPECT_EQ(gfx().state().blend, kBlendPremultiplied);
    // The viewport is the whole 64 x 64 target again, and a clear uses the
    // caller's color, not the pass's red.
    gfx().clear();
    EXPECT_TRUE(colorNear(pixel(63, 63), {1, 2, 3, 255}, 0));
}

TEST_F(PassScope, TheRestoredStateDrawsAsBefore)
{
    clearTo({0, 0, 0, 255});
    gfx().state().depthTest = false;
    gfx().state().textures = {gfx().whiteTexture(), nullptr};
    {
        RenderPassScope pass(gfx());
        gfx().state() = RenderState::fullTarget();
        gfx().state().colorMask = kColorMaskNone;
        gfx().applyState();
    }
    drawQuad(-1, -1, 1, 1, 0, {0, 255, 0, 255});   // color writes are open again
    EXPECT_TRUE(colorNear(centre(), {0, 255, 0, 255}, 0));
}

TEST_F(PassScope, BufferLayoutReadsVerticesFromTheByteOffset)
{
    // Two full-target quads in one buffer: red first, green 96 bytes in.
    struct Vertex {
        float x, y, z;
        std::uint8_t r, g, b, a;
        float u, v;
    };
    std::vector<Vertex> vertices;
    for (const Rgba c : {Rgba{255, 0, 0, 255}, Rgba{0, 255, 0, 255}})
        for (const auto& p : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}, {1.0f, 1.0f}})
            vertices.push_back({p.first, p.second, 0, c.r, c.g, c.b, c.a, 0, 0});
    BufferObject buffer;
    ASSERT_TRUE(buffer.create(BufferTarget::Array, vertices.size() * sizeof(Vertex), BufferUsage::Static,
                              vertices.data()));
    clearTo({0, 0, 0, 255});
    gfx().state().depthTest = false;
    gfx().state().textures = {gfx().whiteTexture(), nullptr};
    gfx().bindBuffer(BufferTarget::Array, buffer.glName());
    gfx().setBufferVertexLayout(VertexLayout::PosColorTex24, 4 * sizeof(Vertex));
    gfx().drawArrays(PrimitiveType::TriangleStrip, 0, 4);
    gfx().bindBuffer(BufferTarget::Array, 0);
    gfx().invalidateVertexLayout();
    EXPECT_TRUE(colorNear(centre(), {0, 255, 0, 255}, 0));
}

}  // namespace
