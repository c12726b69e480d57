#include "modes/tutorials/TutorialOverlay.h"

#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kPanelFont = 2;
}  // namespace

float TutorialOverlay::pulse(float& phase, float dt)
{
    phase += kPulseSpeed * dt;
    return std::fabs(std::sin(phase)) * 255.0f;
}

namespace {
TutorialOverlay::ArrowPlace placeAt(const ITutorialHud::Rect& r, float rotation, float gap)
{
    const float dx = std::cos(rotation), dy = std::sin(rotation);
    // How far the rectangle reaches from its middle along the arrow's line.
    const float reach = std::fabs(dx) * r.w * 0.5f + std::fabs(dy) * r.h * 0.5f;
    const float cx = r.x + r.w * 0.5f, cy = r.y + r.h * 0.5f;
    return {cx - dx * (reach + gap), cy - dy * (reach + gap), rotation};
}
}  // namespace

TutorialOverlay::ArrowPlace TutorialOverlay::arrowAt(const ITutorialHud::Rect& r, float rotation, float gap,
                                                     float length, float screenWidth, float screenHeight)
{
    ArrowPlace p = placeAt(r, rotation, gap);
    if (length <= 0.0f)
        return p;
    // An element at the screen's edge is pointed at from inside the screen.
    const float tailX = p.x - std::cos(p.rotation) * length;
    if (tailX < 0.0f || tailX > screenWidth)
        p = placeAt(r, kPi - p.rotation, gap);
    const float tailY = p.y - std::sin(p.rotation) * length;
    if (tailY < 0.0f || tailY > screenHeight)
        p = placeAt(r, -p.rotation, gap);
    return p;
}

float TutorialOverlay::arrowLength() { return getSprite(kSpriteSet)->frameRect(kArrowFrame).w; }

TutorialOverlay::ArrowPlace TutorialOverlay::arrowOnScreen(const ITutorialHud::Rect& r, float rotation, float gap)
{
    const ScreenMetrics& m = screenMetrics();
    return arrowAt(r, rotation, gap, arrowLength(), static_cast<float>(m.screenWidth),
                   static_cast<float>(m.screenHeight));
}

TutorialOverlay::ArrowPlace TutorialOverlay::arrowBeside(const ITutorialHud::Rect& r, float gap, bool mirrored,
                                                         float screenWidth)
{
    const float cy = r.y + r.h * 0.5f;
    if (!mirrored)
        return {r.x - gap, cy, 0.0f};
    const float mirroredX = screenWidth - r.x - r.w;
    return {mirroredX + r.w + gap, cy, kPi};
}

float TutorialOverlay::fromNearerSide(const ITutorialHud::Rect& r, float screenWidth)
{
    return r.x + r.w * 0.5f < screenWidth * 0.5f ? 0.0f : kPi;
}

void TutorialOverlay::drawArrow(const ArrowPlace& place, float opacity)
{
    CSprite* sheet = getSprite(kSpriteSet);
    sheet->setColorBytes(255, 255, 255, static_cast<std::uint8_t>(std::clamp(opacity, 0.0f, 255.0f)));
    sheet->drawFrame(kArrowFrame, place.x, place.y, place.rotation);
    sheet->setColorBytes(255, 255, 255, 255);
}

void TutorialOverlay::drawRedPanel()
{
    const ScreenMetrics& m = screenMetrics();
    const float w = kPanelWidth * m.uiScale, h = kPanelHeight * m.uiScale;
    const float cx = static_cast<float>(m.halfWidth), cy = static_cast<float>(m.halfHeight);
    getSprite(kPanelSpriteSet)->drawNinePatch(kPanelFrame, cx - w * 0.5f, cy - h * 0.5f, w, h);
    CFont* font = getFont(kPanelFont);
    font->setColor({255, 0, 0, 255});
    drawString(font, getStringByIndex(kRedPanelText).c_str(), cx, cy, CFont::kCentreX | CFont::kCentreY);
    font->setColor({255, 255, 255, 255});
}

void TutorialOverlay::drawGesture(float travel)
{
    const ScreenMetrics& m = screenMetrics();
    const float reach = kGestureReach * m.uiScale;
    const float opacity = std::clamp((reach - travel) / reach, 0.0f, 1.0f) * 255.0f;
    CSprite* sheet = getSprite(kSpriteSet);
    const float cx = static_cast<float>(m.halfWidth);
    const float cy = gestureY(static_cast<float>(m.screenHeight), m.uiScale, sheet->frameRect(kRingFrame).h);
    const float turn = kPi * 0.25f;
    sheet->drawFrame(kTouchFrame, cx, cy, turn);
    // The ring spreads while the arrow fades.
    const float ring = (1.0f - opacity / 255.0f) * 3.0f;
    sheet->setScale(ring, ring);
    sheet->setColorBytes(255, 255, 255, static_cast<std::uint8_t>(opacity));
    sheet->drawFrame(kRingFrame, cx, cy, turn);
    sheet->setScale(1.0f, 1.0f);
    // The arrow slides away from the touch along the diagonal.
    const float along = reach * 0.25f + travel;
    const float d = std::sqrt(0.5f);
    sheet->drawFrame(kArrowFrame, cx + d * along, cy + d * along, turn);
    sheet->setColorBytes(255, 255, 255, 255);
}

float TutorialOverlay::gestureY(float screenHeight, float uiScale, float ringHeight)
{
    return std::floor(screenHeight / 2.0f) + (kPanelHeight * 0.5f + 8.0f) * uiScale + ringHeight * 0.5f;
}

void TutorialOverlay::drawDarkScreen()
{
    const ScreenMetrics& m = screenMetrics();
    drawFilledRect(0.0f, 0.0f, static_cast<float>(m.screenWidth), static_cast<float>(m.screenHeight), 0, 0, 0, 230);
}

void TutorialOverlay::begin() { begin2D(); }

void TutorialOverlay::end() { end2D(); }
