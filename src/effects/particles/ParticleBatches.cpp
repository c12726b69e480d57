#include "effects/particles/ParticleBatches.h"

#include "effects/EffectScene.h"
#include "render/BufferObject.h"
#include "render/Graphics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "render/fx/ParticleSprites.h"

#include <array>
#include <memory>

namespace {
constexpr int kParticleSpriteSet = 3;
constexpr int kPasses = 3;

struct Batches {
    std::array<ParticleSpriteBatch, kPasses> passes;
    ParticleAtlas atlas;
    const Texture2D* texture = nullptr;
    bool haveSheet = false;
    bool sheetGiven = false;      // useParticleSheet: never replaced by set 3
    const CSprite* sheetSprite = nullptr;
    std::unique_ptr<BufferObject> stream;
    bool streamHighDetail = false;
    bool begun = false;
};

Batches& batches()
{
    static Batches* all = new Batches;   // holds GL buffers: not torn down after the context
    return *all;
}

void readSheet(Batches& b)
{
    if (b.sheetGiven)
        return;
    const CSprite* sprite = getSprite(kParticleSpriteSet);
    if (!sprite || !sprite->isLoaded()) {
        b.haveSheet = false;
        return;
    }
    if (b.sheetSprite == sprite && b.haveSheet && b.texture == sprite->texture())
        return;
    b.atlas = ParticleAtlas::fromSheet(sprite->sheet());
    b.texture = sprite->texture();
    b.sheetSprite = sprite;
    b.haveSheet = true;
}

void beginAll(Batches& b, bool highDetail)
{
    for (ParticleSpriteBatch& batch : b.passes)
        batch.begin(b.atlas, highDetail);
    b.begun = true;
}
}  // namespace

void drawParticleBatches()
{
    Batches& b = batches();
    const bool highDetail = effectHighDetail();
    if (graphics() && (!b.stream || b.streamHighDetail != highDetail)) {
        const std::size_t perParticle = highDetail ? 128u : 96u;
        auto stream = std::make_unique<BufferObject>();
        if (stream->create(BufferTarget::Array, perParticle * ParticleSpriteBatch::kCapacity, BufferUsage::Stream))
            b.stream = std::move(stream);
        b.streamHighDetail = highDetail;
    }
    readSheet(b);
    beginAll(b, highDetail);
}

ParticleSpriteBatch* particleBatch(int pass)
{
    Batches& b = batches();
    if (pass < 0 || pass >= kPasses || !b.begun || !b.haveSheet)
        return nullptr;
    return &b.passes[static_cast<std::size_t>(pass)];
}

const ParticleAtlas* particleAtlas()
{
    const Batches& b = batches();
    return b.haveSheet ? &b.atlas : nullptr;
}

int particleBatchCount(int pass)
{
    if (pass < 0 || pass >= kPasses)
        return 0;
    return batches().passes[static_cast<std::size_t>(pass)].count();
}

void flushParticleBatch(int pass)
{
    Batches& b = batches();
    if (pass < 0 || pass >= kPasses)
        return;
    ParticleSpriteBatch& batch = b.passes[static_cast<std::size_t>(pass)];
    Graphics* device = graphics();
    if (device && batch.count() > 0) {
        const Mat4 world = device->worldMatrix();
        device->setWorldMatrix(Mat4{});
        device->pushState();
        RenderState& state = device->state();
        state.blend = kBlendPremultiplied;
        state.depthTest = true;
        state.depthWrite = false;
        state.cull = CullMode::None;
        state.textures[0] = b.texture;
        state.textures[1] = nullptr;
        batch.draw(b.stream.get(), nullptr);
        device->popState();
        device->setWorldMatrix(world);
    }
    batch.begin(b.atlas, batch.highDetail());
}

void useParticleSheet(const ParticleAtlas& atlas, const Texture2D* texture)
{
    Batches& b = batches();
    b.atlas = atlas;
    b.texture = texture;
    b.haveSheet = true;
    b.sheetGiven = true;
    b.sheetSprite = nullptr;
    for (ParticleSpriteBatch& batch : b.passes)
        batch.begin(b.atlas, batch.highDetail());
}

void releaseParticleBatches()
{
    Batches& b = batches();
    b.stream.reset();
    b.atlas = ParticleAtlas{};
    b.texture = nullptr;
    b.haveSheet = b.sheetGiven = b.begun = false;
    b.sheetSprite = nullptr;
    for (ParticleSpriteBatch& batch : b.passes)
        batch.begin(b.atlas, false);
}
