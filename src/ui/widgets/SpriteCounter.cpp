#include "ui/widgets/SpriteCounter.h"

#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr float kDeceleration = 3000.0f;   // x the vertical UI scale, per second
constexpr float kFlingThreshold = 10.0f;   // x the vertical UI scale: a faster last move flings
constexpr float kFlingGain = 15.0f;        // x the vertical UI scale
constexpr float kFlingStop = 45.0f;        // x the vertical UI scale
constexpr float kReturnSpeed = 500.0f;     // pixels per second
constexpr float kRowFactor = 1.75f;
}  // namespace

SpriteCounter::SpriteCounter(std::u16string_view text)
{
    focusable = true;
    interactive = true;
    sprite = getSprite(kSpriteSetMenus);
    titleFont = getFont(1);
    digitFont = getFont(2);
    title.assign(text.substr(0, std::min(text.size(), kMaxTitle)));
    measure();
    m_deceleration = kDeceleration * screenMetrics().screenScaleY;
}

void SpriteCounter::setArt(CSprite* sheet, CFont* titleFace, CFont* digitFace)
{
    sprite = sheet;
    titleFont = titleFace;
    digitFont = digitFace;
    measure();
}

void SpriteCounter::measure()
{
    if (sprite)
        sprite->frameBounds(kWindowFrame, m_windowWidth, m_windowHeight);
    measureTitle(1.25f);
    int bw = 0, bh = 0;
    if (sprite)
        sprite->frameBounds(kBackgroundFrame, bw, bh);
    width = bw;
    height = bh + (title.empty() ? 0 : static_cast<int>(titleFont ? titleFont->lineHeight() : 0.0f));
    rowHeight = std::max(1, static_cast<int>((digitFont ? digitFont->lineHeight() : 0.0f) * kRowFactor));
}

void SpriteCounter::measureTitle(float lineFactor)
{
    const float partX = sprite ? sprite->frameRect(kWindowFrame).x : 0.0f;
    m_titleX = static_cast<int>(static_cast<float>(m_windowWidth) / 2.0f + partX);
    m_titleHeight = static_cast<int>((titleFont ? titleFont->lineHeight() : 0.0f) * lineFactor);
    if (titleStringId < 0 && title.empty())
        m_titleHeight = 0;
}

void SpriteCounter::setTitle(std::u16string_view text)
{
    title.assign(text.substr(0, std::min(text.size(), kMaxTitle)));
    measureTitle(1.25f);
}

std::u16string SpriteCounter::valueText(int n)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, n >= 0 ? "%03d" : "%d", n);
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

float SpriteCounter::shownValue() const
{
    return static_cast<float>(value) - dragOffset / static_cast<float>(rowHeight);
}

void SpriteCounter::turn(float d)
{
    const float before = dragOffset;
    dragOffset -= d;
    const float shown = shownValue();
    if (shown < static_cast<float>(minimum) || shown > static_cast<float>(maximum))
        dragOffset = before;
}

void SpriteCounter::settle()
{
    const int steps = static_cast<int>(std::floor(dragOffset / static_cast<float>(rowHeight) + 0.5f));
    value = std::clamp(value - steps, minimum, std::max(minimum, maximum));
    dragOffset = 0.0f;
    m_flinging = false;
    m_velocity = 0.0f;
}

bool SpriteCounter::onTouchDown(int, int py)
{
    m_lastY = py;
    m_flinging = false;
    m_velocity = 0.0f;
    m_lastMove = 0.0f;
    m_returning = false;
    return false;
}

bool SpriteCounter::onTouchMove(int, int py)
{
    const float d = static_cast<float>(m_lastY - py);
    m_lastY = py;
    m_lastMove = d;
    turn(d);
    return false;
}

bool SpriteCounter::onTouchUp(int, int)
{
    const float sy = screenMetrics().screenScaleY;
    if (static_cast<float>(std::abs(static_cast<int>(m_lastMove))) > kFlingThreshold * sy) {
        m_flinging = true;
        m_velocity = m_lastMove * kFlingGain * sy;
        m_direction = m_velocity < 0.0f ? -1 : 1;
    } else {
        settle();
    }
    return false;
}

bool SpriteCounter::onTouchCancel()
{
    m_flinging = false;
    m_velocity = 0.0f;
    return true;
}

bool SpriteCounter::onScroll(float, float dy)
{
    m_lastMove = dy;
    turn(dy);
    return true;
}

bool SpriteCounter::onSwipe(float, float)
{
    onTouchUp(0, 0);
    return true;
}

void SpriteCounter::activate()
{
    // Compared before stepping: a value at the largest int must not overflow.
    if (value >= maximum) {
        value = minimum;
    } else {
        ++value;
        if (value < minimum)
            value = maximum;
    }
    dragOffset = 0.0f;
    m_returning = true;
}

void SpriteCounter::update()
{
    const float dt = frameDelta();
    if (m_flinging) {
        turn(m_velocity * dt);
        m_velocity -= static_cast<float>(m_direction) * m_deceleration * dt;
        // Past zero the deceleration would start it back the other way.
        if (static_cast<float>(m_direction) * m_velocity < 0.0f)
            m_velocity = 0.0f;
        if (std::fabs(m_velocity) < kFlingStop * screenMetrics().screenScaleY)
            settle();
    }
    if (m_returning) {
        const float step = kReturnSpeed * dt;
        if (std::fabs(dragOffset) <= step) {
            dragOffset = 0.0f;
            m_returning = false;
        } else {
            dragOffset += dragOffset > 0.0f ? -step : step;
        }
    }
}

void SpriteCounter::draw()
{
    if (titleStringId >= 0 && m_titleLanguage != currentLanguage()) {
        m_titleLanguage = currentLanguage();
        const std::u16string& localized = getStringByIndex(titleStringId);
        title.assign(localized.substr(0, std::min(localized.size(), kMaxTitle)));
        measureTitle(2.0f);
    }
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    if (titleFont && !title.empty())
        titleFont->draw(title, x + static_cast<float>(m_titleX), y, CFont::kCentreX);
    const float top = y + static_cast<float>(m_titleHeight);
    if (sprite)
        sprite->drawFrame(kBackgroundFrame, x, top);
    // The window sits where the drum frame's art starts.
    const CSprite::Rect drum = sprite ? sprite->frameRect(kBackgroundFrame) : CSprite::Rect{};
    const float wx = x + drum.x, wy = top + drum.y;
    pushCropRect(wx, wy, static_cast<float>(m_windowWidth), static_cast<float>(m_windowHeight));
    if (digitFont) {
        const float line = digitFont->lineHeight();
        const float row = static_cast<float>(rowHeight);
        // Only the rows the window can show: formatting them here keeps any
        // range drawable without a table to overrun.
        const int reach = m_windowHeight / rowHeight + 2;
        const int shown = static_cast<int>(std::lround(shownValue()));
        const int from = std::max(minimum, shown - reach), to = std::min(maximum, shown + reach);
        for (int i = from; i <= to; ++i) {
            const float rowY = wy + dragOffset + row * static_cast<float>(i - value + 1) - line / 2.0f;
            digitFont->draw(valueText(i), wx + static_cast<float>(m_windowWidth) / 2.0f, rowY, CFont::kCentreX);
        }
    }
    popCropRect();
    if (sprite)
        sprite->drawFrame(kWindowFrame, x, top);
}
