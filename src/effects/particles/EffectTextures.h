#pragma once
#include <array>
#include <string_view>

class Texture2D;

// The shared effect textures, loaded once per scene load into fixed slots.
enum class EffectTexture : int {
    RocketTrail = 0, RocketFlare, Glow, Glow1, Glow2, Sun, Smoke, Sonic, Flare, Gunfire, BulletHoles,
    DustHoles, Shell, SnowFlake, Haze, GlowAlpha, RainDrop, SpeedEffect,
    // Loaded with the scene for the exhaust, the vapour and the contrails.
    Jet, JetCore, Steam, Contrail,
};
constexpr int kEffectTextureCount = 22;

// How a slot is loaded: a headerless luminance-alpha (or alpha) .raw of a
// known size, or an image by name.
struct EffectTextureInfo {
    EffectTexture slot;
    const char* file;
    int width = 0, height = 0;   // 0 for an image loaded by name
    bool alphaOnly = false;
    bool ownSampler = false;     // the common filter passed explicitly
    bool repeat = false;
    bool highDetailOnly = false;
};
// Every slot in load order (the rain drop's normal-map variant not included).
const std::array<EffectTextureInfo, kEffectTextureCount>& effectTextureTable();

namespace Effects {
// Loads the jet, steam and contrail textures and the 18 slots in order
// (with the high-detail choices). A missing or damaged file leaves its slot
// empty (logged) and the effects that use it draw nothing. Returns the
// number of slots that failed.
int loadTextures();
// Null when the slot did not load.
const Texture2D* texture(EffectTexture slot);
// Forgets every slot (screen change, context loss).
void releaseTextures();
}  // namespace Effects
