#include "effects/particles/EffectTextures.h"

#include "effects/EffectScene.h"
#include "platform/Log.h"
#include "render/Graphics.h"
#include "render/assets/TextureCache.h"

#include <string>

namespace {
using E = EffectTexture;
constexpr std::array<EffectTextureInfo, kEffectTextureCount> kTable{{
    {E::RocketTrail, "data/particles/rockettrail.raw", 64, 32, false, true, true, false},
    {E::RocketFlare, "data/particles/rocketflare.raw", 64, 64},
    {E::Glow, "data/particles/glow.raw", 64, 64},
    {E::Glow1, "data/particles/glow1.raw", 256, 256},
    {E::Glow2, "data/particles/glow2.raw", 256, 256},
    {E::Sun, "data/particles/sun.raw", 128, 128},
    {E::Smoke, "data/particles/smoke.raw", 64, 64, false, true},
    {E::Sonic, "data/models/sonic.raw", 128, 128, false, true},
    {E::Flare, "data/particles/flare.raw", 64, 64, false, true},
    {E::Gunfire, "data/particles/gunfire.png"},
    {E::BulletHoles, "data/particles/bulletHoles.png"},
    {E::DustHoles, "data/particles/dustHoles.png"},
    {E::Shell, "data/particles/shell.png"},
    {E::SnowFlake, "data/particles/snowFlake.png"},
    {E::Haze, "data/particles/haze.pvr", 0, 0, false, false, false, true},
    {E::GlowAlpha, "data/particles/glowAlpha.raw", 64, 64, true, false, false, true},
    {E::RainDrop, "data/particles/rainDrop.png"},
    {E::SpeedEffect, "data/particles/speedeffect.png"},
    {E::Jet, "data/models/jet.raw", 64, 64},
    {E::JetCore, "data/models/jetcore.raw", 32, 32},
    {E::Steam, "data/models/steam.raw", 128, 128},
    {E::Contrail, "data/models/contrail.raw", 512, 16, false, true, true, false},
}};

std::array<TextureRef, kEffectTextureCount>& slots()
{
    static std::array<TextureRef, kEffectTextureCount> refs;
    return refs;
}

SamplerSettings samplerOf(const EffectTextureInfo& info)
{
    const Graphics* device = graphics();
    const TextureFilter filter = device ? device->qualityFilter() : TextureFilter::Linear;
    return {filter, info.repeat ? TextureWrap::Repeat : TextureWrap::ClampToEdge};
}

TextureRef loadOne(const EffectTextureInfo& info, bool highDetail)
{
    std::string name = info.file;
    if (info.slot == E::RainDrop && highDetail)
        name = "data/particles/rainDropNM.png";
    if (info.width == 0)
        return getTexture(name, samplerOf(info));
    if (info.alphaOnly)
        return loadRawTexture(TextureFormat::Alpha8, name, info.width, info.height, samplerOf(info));
    if (info.ownSampler)
        return loadRawLuminanceAlphaTexture(name, info.width, info.height, samplerOf(info));
    return loadRawLuminanceAlphaTextureDefault(name, info.width, info.height);
}
}  // namespace

const std::array<EffectTextureInfo, kEffectTextureCount>& effectTextureTable() { return kTable; }

namespace Effects {
int loadTextures()
{
    const bool highDetail = effectHighDetail();
    int failed = 0;
    // The exhaust, vapour and contrail textures come first, then the 18 slots.
    const E order[] = {E::Jet, E::JetCore, E::Steam, E::Contrail};
    auto load = [&](const EffectTextureInfo& info) {
        if (info.highDetailOnly && !highDetail)
            return;
        TextureRef& ref = slots()[static_cast<std::size_t>(info.slot)];
        if (ref)
            return;
        ref = loadOne(info, highDetail);
        if (!ref) {
            logWarning("effects", "effect texture \"%s\" is missing or damaged: its effects draw nothing", info.file);
            ++failed;
        }
    };
    for (E slot : order)
        load(kTable[static_cast<std::size_t>(slot)]);
    for (const EffectTextureInfo& info : kTable)
        if (static_cast<int>(info.slot) < static_cast<int>(E::Jet))
            load(info);
    return failed;
}

const Texture2D* texture(EffectTexture slot)
{
    const auto i = static_cast<std::size_t>(slot);
    return i < slots().size() ? slots()[i].get() : nullptr;
}

void releaseTextures()
{
    for (TextureRef& ref : slots())
        ref.reset();
}
}  // namespace Effects
