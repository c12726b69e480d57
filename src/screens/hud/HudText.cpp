#include "screens/hud/HudText.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <cmath>

HudText::HudText()
{
    const ScreenMetrics& m = screenMetrics();
    position = {static_cast<float>(m.halfWidth), static_cast<float>(m.halfHeight)};
}

float HudText::fraction() const
{
    const float span = rangeMax - rangeMin;
    return span != 0.0f ? (value - rangeMin) / span : 0.0f;
}

void HudText::setValue(float v)
{
    value = v;
    if (v <= rangeMin || rangeMax <= rangeMin)
        color = lowColor;
    else if (v >= rangeMax)
        color = highColor;
    else
        color = Color4::lerp(lowColor, highColor, fraction());
}

void HudText::slideFrom(float dx, float dy, float duration)
{
    slide.end = position;
    slide.start = {position.x + dx, position.y + dy};
    slide.elapsed = 0.0f;
    slide.duration = duration;
    slide.active = true;
}

void HudText::setHighlighted(bool on)
{
    highlighted = on;
    pulsePhase = 0.0f;
}

void HudText::update()
{
    if (rangeMax > rangeMin && fraction() < 0.1f) {
        blinkPhase += 10.0f * frameDelta();
        blinkFactor = std::fabs(std::sin(blinkPhase));
        blinking = true;
    } else {
        blinking = false;
    }
}

void HudText::drawPass(Color4 textColor, Color4 iconColor, float dx, float dy)
{
    if (iconSheet && iconFrame >= 0) {
        iconSheet->setColor(iconColor);
        iconSheet->drawFrame(iconFrame, position.x + dx, position.y + dy);
        iconSheet->setColor(Color4{});
    }
    CFont* f = font ? font : getFont(0);
    if (!f)
        return;
    f->setColor(textColor);
    f->draw(text, position.x + dx, position.y + dy, alignment);
}

void HudText::draw()
{
    if (hidden)
        return;
    if (slide.active) {
        slide.elapsed += frameDelta();
        if (slide.elapsed <= slide.duration && slide.duration > 0.0f) {
            const float t = std::clamp(slide.elapsed / slide.duration, 0.0f, 1.0f);
            position = {slide.start.x + (slide.end.x - slide.start.x) * t,
                        slide.start.y + (slide.end.y - slide.start.y) * t};
        } else {
            slide.active = false;
            position = slide.end;
        }
    }
    if (highlighted) {
        pulsePhase += 5.0f * frameDelta();
        const Color4 pulse = Color4::lerp(Color4{}, kHighlightColor, std::fabs(std::sin(pulsePhase)));
        drawPass(kShadowColor, kShadowColor, 1.0f, 1.0f);
        drawPass(pulse, pulse, 0.0f, 0.0f);
    } else {
        Color4 shown = color;
        if (blinking) {
            shown.r = static_cast<std::uint8_t>(std::lround(shown.r * blinkFactor));
            shown.g = static_cast<std::uint8_t>(std::lround(shown.g * blinkFactor));
            shown.b = static_cast<std::uint8_t>(std::lround(shown.b * blinkFactor));
        }
        drawPass(kShadowColor, kShadowColor, 1.0f, 1.0f);
        drawPass(shown, color, 0.0f, 0.0f);
    }
    if (CFont* f = font ? font : getFont(0))
        f->setColor(Color4{});
}

void VoiceChatFeedback::update()
{
    const float dt = frameDelta();
    if (state == 4 || state == 5) {
        dotTimer -= 4.0f * dt;
        if (dotTimer <= 0.0f) {
            litDots = litDots >= 3 ? 0 : litDots + 1;
            dotTimer = 0.5f;
        }
        stateTimer -= dt;
        if (stateTimer <= 0.0f)
            state = 2;
    } else if (state == 1) {
        pulse += 5.0f * dt * static_cast<float>(pulseDirection);
        if (pulse <= 0.0f) {
            pulse = 0.0f;
            pulseDirection = static_cast<signed char>(-pulseDirection);
        } else if (pulse > 1.0f) {
            pulse = 1.0f;
            pulseDirection = static_cast<signed char>(-pulseDirection);
        }
    }
}

void VoiceChatFeedback::draw()
{
    CSprite* sheet = getSprite(kSpriteSetHud);
    if (!sheet || state == 0)
        return;
    const ScreenMetrics& m = screenMetrics();
    const int module = state == 1 ? kTalkModule : state == 3 ? kMuteModule : kIdleModule;
    const float x = static_cast<float>(m.halfWidth) - sheet->moduleWidth(module) / 2.0f;
    const float y = 4.0f * m.screenScaleY;
    sheet->drawModule(module, x, y);
    if (state == 1) {
        const Color4 saved = sheet->color();
        sheet->setColor(Color4{255, 255, 255, static_cast<std::uint8_t>(std::lround(pulse * 255.0f))});
        sheet->drawModule(kTalkPulseModule, x, y);
        sheet->setColor(saved);
    } else if (state == 4 || state == 5) {
        const float step = 10.0f * m.screenScaleX;
        const float dotY = y + sheet->moduleHeight(module) + 2.0f;
        const float dotX = static_cast<float>(m.halfWidth) - step;
        for (int i = 0; i < 3; ++i)
            sheet->drawModuleAt(kDotOffModule, dotX + step * static_cast<float>(i), dotY);
        for (int i = 0; i < litDots && i < 3; ++i)
            sheet->drawModuleAt(kDotModule, dotX + step * static_cast<float>(i), dotY);
    }
}
