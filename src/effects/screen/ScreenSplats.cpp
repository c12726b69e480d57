#include "effects/screen/ScreenSplats.h"

#include "effects/EffectScene.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "sound/Sound.h"

#include <algorithm>
#include <cmath>

namespace {
struct State {
    std::array<ScreenSplats::Splat, ScreenSplats::kCount> splats{};
    float cooldown = -1.0f;
    int active = 0;
    float hitTimer = 0.0f;
};

State& state()
{
    static State s;
    return s;
}

std::uint8_t grey(float value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value * 255.0f), 0L, 255L));
}

void playHitSound()
{
    const int pick = randModulo(5);
    if (!Sound::isStarted())
        return;
    const GlobalSources& sources = globalSources();
    SoundSourceBuffered* source = nullptr;
    if (pick == 0) {
        // The glass crack is not restarted while it still sounds.
        if (sources.bulletHitGlass && !sources.bulletHitGlass->isPlaying())
            source = sources.bulletHitGlass;
    } else {
        source = sources.bulletHitMetal[pick <= 2 ? 0 : 1];
    }
    if (source)
        source->play();
}

void place(ScreenSplats::Splat& splat, int kind)
{
    const EffectScene& scene = effectScene();
    const float width = scene.screenWidth, height = scene.screenHeight;
    switch (kind) {
    case ScreenSplats::kOil: {
        splat.life = randRange(2.0f, 4.0f) * 0.5f;
        const float a = randAngle();
        splat.rotation = a;
        const float cx = std::clamp(1.2f * std::cos(a), -0.5f, 0.5f), cy = std::clamp(1.2f * std::sin(a), -0.5f, 0.5f);
        const float r1 = rand01(), r2 = rand01();
        splat.x = width * (0.5f + (0.28f + r1 * 0.2f) * cx);
        splat.y = height * (0.5f + (0.28f + r2 * 0.2f) * cy);
        splat.frame = 20 + randModulo(3);
        splat.delay = randRange(0.0f, 1.0f);
        splat.scale = randRange(0.7f, 1.4f);
        break;
    }
    case ScreenSplats::kSparks:
        splat.life = randRange(0.25f, 1.5f);
        splat.x = width * randRange(0.05f, 0.95f);
        splat.y = height * randRange(0.05f, 0.85f);
        splat.frame = 16 + randModulo(4);
        splat.rotation = randAngle();
        break;
    default:
        splat.life = randRange(2.0f, 4.0f);
        splat.x = width * rand01();
        splat.y = height * rand01();
        splat.frame = 12 + randModulo(4);
        splat.rotation = randAngle();
        break;
    }
    splat.kind = kind;
}

void drawSplat(CSprite& sheet, const ScreenSplats::Splat& splat)
{
    const float fading = std::min(splat.life, 1.0f);
    switch (splat.kind) {
    case ScreenSplats::kOil: {
        const std::uint8_t g = grey(fading * 0.975f);
        sheet.setColorBytes(g, g, g, g);
        sheet.setScale(3.0f * splat.scale, 3.0f * splat.scale);
        sheet.drawFrame(splat.frame, splat.x, splat.y, splat.rotation);
        sheet.setScale(1.0f, 1.0f);
        break;
    }
    case ScreenSplats::kSparks: {
        const std::uint8_t g = grey(fading * 0.5f);
        sheet.setColorBytes(g, g, g, 255);
        sheet.drawFrame(splat.frame, splat.x, splat.y, splat.rotation);
        break;
    }
    default: {
        const std::uint8_t g = grey(fading);
        sheet.setColorBytes(g, g, g, g);
        sheet.drawFrame(splat.frame, splat.x, splat.y, splat.rotation);
        break;
    }
    }
}
}  // namespace

void ScreenSplats::reset()
{
    State& s = state();
    for (Splat& splat : s.splats)
        splat = Splat{};
    s.cooldown = -1.0f;
    s.active = 0;
    s.hitTimer = 0.0f;
}

void ScreenSplats::spawn(int maximum, int kind, float cooldownSeconds)
{
    State& s = state();
    if (s.cooldown >= 0.0f || s.active > kCount - 1 || kind < kOil || kind > kBulletHoles)
        return;
    s.cooldown = cooldownSeconds;
    int n = 0;
    if (kind == kOil) {
        n = 3 + randModulo(2);
    } else if (kind == kSparks) {
        n = 3 + randModulo(4);
    } else {
        n = 1 + randModulo(2);
        playHitSound();
    }
    n = std::min({n, kCount - s.active, maximum});
    for (int made = 0; made < n; ++made) {
        auto free = std::find_if(s.splats.begin(), s.splats.end(), [](const Splat& x) { return x.life < 0.0f; });
        if (free == s.splats.end())
            break;
        *free = Splat{};
        free->age = 0.0f;
        free->delay = 0.0f;
        free->scale = 1.0f;
        place(*free, kind);
    }
}

void ScreenSplats::update(float dt)
{
    State& s = state();
    s.active = 0;
    for (Splat& splat : s.splats) {
        if (splat.life < 0.0f)
            continue;
        if (splat.life <= dt) {
            splat.life = -1.0f;
        } else if (splat.delay <= 0.0f) {
            ++s.active;
            splat.life -= dt;
            splat.age += dt;
        } else {
            splat.delay -= dt;
        }
    }
    s.cooldown = s.cooldown > 0.0f ? s.cooldown - dt : -1.0f;
    s.hitTimer = std::clamp(s.hitTimer - dt, 0.0f, 2.0f);
}

void ScreenSplats::render()
{
    State& s = state();
    if (s.active <= 0)
        return;
    CSprite* sheet = getSprite(kSpriteSet);
    if (!sheet || !sheet->isLoaded())
        return;
    begin2D();
    for (const Splat& splat : s.splats) {
        if (splat.life >= 0.0f && splat.delay <= 0.0f && splat.kind != kSparks)
            drawSplat(*sheet, splat);
    }
    // Sparks add light: drawn on their own under additive blending.
    flushSpriteBatch();
    Graphics* device = graphics();
    const BlendState blend = device ? device->state().blend : kBlendPremultiplied;
    if (device)
        device->state().blend = kBlendAdditive;
    for (const Splat& splat : s.splats) {
        if (splat.life >= 0.0f && splat.delay <= 0.0f && splat.kind == kSparks)
            drawSplat(*sheet, splat);
    }
    flushSpriteBatch();
    if (device)
        device->state().blend = blend;
    sheet->setColorBytes(255, 255, 255, 255);
    end2D();
}

void ScreenSplats::setHitTimer(float seconds)
{
    state().hitTimer = std::clamp(seconds, 0.0f, 2.0f);
}

float ScreenSplats::hitTimer()
{
    return state().hitTimer;
}

float ScreenSplats::cooldown()
{
    return state().cooldown;
}

int ScreenSplats::activeCount()
{
    return state().active;
}

const std::array<ScreenSplats::Splat, ScreenSplats::kCount>& ScreenSplats::splats()
{
    return state().splats;
}
