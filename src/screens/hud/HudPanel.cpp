#include "screens/hud/HudPanel.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CSprite.h"

#include <algorithm>
#include <cmath>

HudPanel::HudPanel(const HudLayoutRow& row, CSprite* sheet)
    : anchorOffset{static_cast<float>(row.x), static_cast<float>(row.y)},
      anchor(row.anchor),
      frameA(row.frameA),
      frameB(row.frameB),
      sheet(sheet),
      flags(row.flags),
      followsShake(row.place != 2),
      defaultSheetOnly(row.defaultSheetOnly == 1),
      mirrorable(row.mirrorable == 1)
{
    position = anchorOffset;
    if (row.place == 1)
        place(Vec2{});
}

Vec2 HudPanel::anchorPoint()
{
    const ScreenMetrics& m = screenMetrics();
    const float w = static_cast<float>(m.screenWidth), h = static_cast<float>(m.screenHeight);
    const float hw = static_cast<float>(m.halfWidth), hh = static_cast<float>(m.halfHeight);
    switch (anchor) {
    case 0: return {w, 0.0f};
    case 1: anchorOffset.y = hh; return {w, hh};
    case 2: return {w, h};
    case 3: return {hw, 0.0f};
    case 4: anchorOffset.y = hh; return {hw, hh};
    case 5: return {hw, h};
    case 6: return {0.0f, anchorOffset.y};
    case 7: anchorOffset = {0.0f, hh}; return anchorOffset;
    case 8: return {0.0f, h};
    case kAnchorNone: return anchorOffset;
    default: return position;
    }
}

void HudPanel::place(Vec2 shakeOffset)
{
    const Vec2 target = anchorPoint();
    if (slide.active) {
        slide.elapsed += frameDelta();
        if (slide.elapsed <= slide.duration) {
            const float t = slide.duration > 0.0f ? std::clamp(slide.elapsed / slide.duration, 0.0f, 1.0f) : 1.0f;
            position = {slide.start.x + (target.x - slide.start.x) * t, slide.start.y + (target.y - slide.start.y) * t};
            return;
        }
        slide.active = false;
    }
    position = target;
    if (followsShake) {
        position.x += shakeOffset.x;
        position.y += shakeOffset.y;
    }
}

void HudPanel::startSlide(Vec2 offset, float duration)
{
    slide.start = {anchorOffset.x + offset.x, anchorOffset.y + offset.y};
    slide.elapsed = 0.0f;
    slide.duration = duration;
    slide.active = true;
}

void HudPanel::draw()
{
    // A panel the control scheme hides takes its buttons with it.
    if (!(flags & 1) || !visible || !sheet)
        return;
    if (highlighted) {
        pulsePhase += kPulseRate * frameDelta();
        sheet->setColor(Color4::lerp(Color4{}, kHighlightColor, std::fabs(std::sin(pulsePhase))));
    }
    if (frameB != -1) {
        if (settings().flipControls && mirrorable)
            sheet->drawFrame(frameB, static_cast<float>(screenMetrics().screenWidth) - position.x, position.y, 0.0f,
                             CSprite::kMirror);
        else
            sheet->drawFrame(frameB, position.x, position.y);
    }
    for (const std::unique_ptr<HudButton>& button : buttons)
        button->draw();
    sheet->setColor(Color4{});
}
