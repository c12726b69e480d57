#include "GlTestContext.h"

#include "render/BufferObject.h"
#include "render/GpuMemory.h"
#include "render/RenderBuffer.h"
#include "render/Texture2D.h"

// The tally walks the live GL objects: what is made shows at once, what is
// destroyed goes, and a target's colour is counted once, with the target.
TEST_F(GlTest, GpuMemoryTallyFollowsTheLiveObjects)
{
    const GpuMemoryTally before = tallyGpuMemory();
    {
        Texture2D texture;
        TextureImage image;
        image.format = TextureFormat::Rgb8;
        image.width = 64;
        image.height = 32;
        image.levels.push_back(std::vector<std::uint8_t>(64 * 32 * 3, 200));
        ASSERT_TRUE(texture.upload(image, {TextureFilter::Trilinear, TextureWrap::Repeat}));
        RenderBuffer picture;
        ASSERT_TRUE(picture.createTexture(TextureFormat::Rgba8, 40, 20, kClampSampler, false));
        BufferObject buffer;
        ASSERT_TRUE(buffer.create(BufferTarget::Array, 1000, BufferUsage::Static));

        const GpuMemoryTally now = tallyGpuMemory();
        EXPECT_EQ(now.textures, before.textures + 1);
        EXPECT_EQ(now.textureBytes - before.textureBytes,
                  storedTextureBytes(TextureFormat::Rgb8, 64, 32, fullMipCount(64, 32)));
        EXPECT_EQ(now.targets, before.targets + 1);
        EXPECT_EQ(now.targetBytes - before.targetBytes, storedTextureBytes(TextureFormat::Rgba8, 40, 20, 1));
        EXPECT_EQ(now.buffers, before.buffers + 1);
        EXPECT_EQ(now.bufferBytes - before.bufferBytes, 1000u);
        EXPECT_NE(describeGpuMemory(now).find("buffers"), std::string::npos);
    }
    const GpuMemoryTally after = tallyGpuMemory();
    EXPECT_EQ(after.total(), before.total());
    EXPECT_EQ(after.textures + after.targets + after.buffers, before.textures + before.targets + before.buffers);
}
