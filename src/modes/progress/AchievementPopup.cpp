#include "modes/progress/AchievementPopup.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr float kIconInset = 20.0f;    // icon from the panel's left edge, scaled
constexpr float kTextMargin = 20.0f;   // between icon and text and at the right edge, scaled
constexpr float kHeightsAboveBottom = 2.4f;
}  // namespace

bool AchievementPopup::push(int nameText, int frame)
{
    if (full())
        return false;
    m_entries.push_back({nameText, frame});
    return true;
}

void AchievementPopup::clear()
{
    m_entries.clear();
    m_position = 0.0f;
    m_speed = kRestSpeed;
}

void AchievementPopup::update(float dt)
{
    if (m_entries.empty() || !std::isfinite(dt) || dt <= 0.0f)
        return;
    if (m_position < 1.0f) {
        // The exact path under constant deceleration: in after 0.5 s at any frame rate.
        m_position += dt * m_speed - 0.5f * kAcceleration * dt * dt;
        m_speed -= dt * kAcceleration;
        // Never stalls short of the rest, whatever the frame steps.
        if (m_speed <= 0.0f && m_position < 1.0f)
            m_position = 1.0f;
    } else if (m_position <= 4.0f) {
        m_position += dt;
        // Arrived with the speed spent: the slide out starts from rest.
        m_speed = std::max(m_speed, 0.0f);
    } else {
        m_position += dt * m_speed + 0.5f * kAcceleration * dt * dt;
        m_speed += dt * kAcceleration;
    }
    if (m_position >= 5.0f) {
        m_entries.erase(m_entries.begin());
        m_speed = kRestSpeed;
        m_position = 0.0f;
    }
}

AchievementPopup::Panel AchievementPopup::panel(float screenWidth, float screenHeight, float uiScale) const
{
    Panel p{0.0f, 0.0f, kPanelWidth * uiScale, kPanelHeight * uiScale};
    // How far the panel stands out of the right edge: 0 off screen, 1 whole.
    float shown = 1.0f;
    if (m_position < 1.0f)
        shown = std::clamp(m_position, 0.0f, 1.0f);
    else if (m_position > 4.0f)
        shown = std::clamp(5.0f - m_position, 0.0f, 1.0f);
    p.x = screenWidth - p.w * shown;
    p.y = screenHeight - kHeightsAboveBottom * p.h;
    return p;
}

void AchievementPopup::draw() const
{
    if (m_entries.empty())
        return;
    const ScreenMetrics& metrics = screenMetrics();
    const float s = metrics.uiScale;
    const Panel p = panel(static_cast<float>(metrics.screenWidth), static_cast<float>(metrics.screenHeight), s);
    const Entry& entry = m_entries.front();

    getSprite(kPanelSpriteSet)->drawNinePatch(kPanelFrame, p.x, p.y, p.w, p.h);

    CSprite* icons = getSprite(kAchievementsSpriteSet);
    const CSprite::Rect icon = icons->frameRect(entry.frame);
    // The icon's box, whatever its origin, 20 units in and centred vertically.
    const float iconX = p.x + kIconInset * s, iconY = p.y + (p.h - icon.h) * 0.5f;
    icons->drawFrame(entry.frame, iconX - icon.x, iconY - icon.y);

    // The name beside the icon, wrapped to the room left of the right edge.
    CFont* font = getFont(kFont);
    const float textX = iconX + icon.w + kTextMargin * s * 0.5f;
    const float width = std::max(1.0f, p.x + p.w - kTextMargin * s - textX);
    std::array<char16_t, 512> wrapped{};
    drawTextWrapped(font, getStringByIndex(entry.nameText), width, wrapped);
    drawString(font, wrapped.data(), textX, p.y + p.h * 0.5f, CFont::kCentreY);
}

AchievementPopup& achievementPopup()
{
    static AchievementPopup popup;
    return popup;
}
