#include "GlTestContext.h"

#include "render/Texture2D.h"

#include <cstdint>
#include <memory>

namespace {
const Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};

// The whole target covered with u running -0.5 .. 1.5 over a texture whose
// left half is red and right half blue: clamp stretches the edges outward,
// repeat shows the other half again.
struct WrapModes : GlTest {
    std::unique_ptr<Texture2D> texture;
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        TextureImage image;
        image.width = image.height = 16;
        std::vector<std::uint8_t> texels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const Rgba& c = x < 8 ? kRed : kBlue;
                texels.insert(texels.end(), {c.r, c.g, c.b, c.a});
            }
        image.levels.push_back(texels);
        texture = std::make_unique<Texture2D>();
        ASSERT_TRUE(texture->upload(image, {TextureFilter::Nearest, TextureWrap::ClampToEdge}));
    }
    void TearDown() override
    {
        if (!IsSkipped())
            gfx().state().textures[0] = nullptr;
        texture.reset();
        GlTest::TearDown();
    }
    void drawWide()
    {
        struct Vertex {
            float x, y, z;
            std::uint8_t r, g, b, a;
            float u, v;
        };
        const Vertex vertices[4] = {{-1, -1, 0, 255, 255, 255, 255, -0.5f, 0},
                                    {1, -1, 0, 255, 255, 255, 255, 1.5f, 0},
                                    {-1, 1, 0, 255, 255, 255, 255, -0.5f, 1},
                                    {1, 1, 0, 255, 255, 255, 255, 1.5f, 1}};
        gfx().state().textures[0] = texture.get();
        gfx().state().blend = kBlendOpaque;
        gfx().state().depthTest = false;
        clearTo({0, 0, 0, 255});
        gfx().bindBuffer(BufferTarget::Array, 0);
        gfx().setVertexLayout(VertexLayout::PosColorTex24, vertices);
        const std::uint16_t indices[6] = {0, 1, 2, 1, 2, 3};
        gfx().drawIndexed(PrimitiveType::Triangles, indices);
    }
};

TEST_F(WrapModes, ClampAndRepeatAreToldApartInThePicture)
{
    const int w = target().width(), y = target().height() / 2;
    drawWide();
    EXPECT_TRUE(rgbNear(pixel(1, y), kRed)) << "clamp: the left edge stretched";
    EXPECT_TRUE(rgbNear(pixel(w - 2, y), kBlue)) << "clamp: the right edge stretched";
    EXPECT_TRUE(rgbNear(pixel(w * 3 / 8, y), kRed));

    texture->setSampler({TextureFilter::Nearest, TextureWrap::Repeat});
    drawWide();
    EXPECT_TRUE(rgbNear(pixel(1, y), kBlue)) << "repeat: the right half again";
    EXPECT_TRUE(rgbNear(pixel(w - 2, y), kRed)) << "repeat: the left half again";
    EXPECT_TRUE(rgbNear(pixel(w * 3 / 8, y), kRed));
}
}  // namespace
