// The rectangles of what the HUD shows together in play, for the check that
// no two of them overlap at the screen sizes the game runs at.
#include "screens/hud/PlaneHud.h"

#include "platform/ScreenMetrics.h"
#include "screens/hud/HudMessageQueue.h"

#include <algorithm>

namespace {

CSprite::Rect unite(const CSprite::Rect& a, const CSprite::Rect& b)
{
    const float x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const float x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return {x0, y0, x1 - x0, y1 - y0};
}

constexpr int kHealthPlateRow = 6, kHealthPlateFrame = 14, kDialPlateRow = 3, kDialPlateFrame = 8;
constexpr int kRadarElement = 24, kObjectiveRow = 199, kObjectiveRowsChecked = 4;

}  // namespace

std::vector<std::pair<int, CSprite::Rect>> PlaneHud::shownElementRects()
{
    std::vector<std::pair<int, CSprite::Rect>> out;
    CSprite* s = sheet();
    if (!s)
        return out;
    buildLayout();
    // Plates, named by their picture frame as a negative number.
    const HudLayoutRow& health = m_layout[kHealthPlateRow];
    out.emplace_back(-kHealthPlateFrame, s->frameBoundsAt(kHealthPlateFrame, static_cast<float>(health.x),
                                                          static_cast<float>(health.y)));
    const HudLayoutRow& dials = m_layout[kDialPlateRow];
    CSprite::Rect plate = s->frameBoundsAt(kDialPlateFrame, static_cast<float>(dials.x), static_cast<float>(dials.y));
    const CSprite::Rect altimeter = elementRect(s, kAltimeter);
    const CSprite::Rect gauge = s->frameRect(kGaugeEmptyFrame);
    plate = unite(plate, {altimeter.x + altimeter.w + 6.0f * screenMetrics().screenScaleX,
                          altimeter.y + (altimeter.h - gauge.h) / 2.0f, gauge.w, gauge.h});
    out.emplace_back(-kDialPlateFrame, plate);
    out.emplace_back(kRadarElement, elementRect(s, kRadarElement));
    CSprite::Rect rows = elementRect(s, kObjectiveRow);
    rows.h *= kObjectiveRowsChecked;
    out.emplace_back(kObjectiveRow, rows);
    for (HudPanel& panel : m_panels)
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            if (!b->visible || b->notDrawn || b->module < 0)
                continue;
            const Vec2 p = b->screenPos();
            out.emplace_back(b->module, CSprite::Rect{b->shownX(), p.y, b->size.x, b->size.y});
        }
    if (m_ejectButton && m_ejectButton->visible) {
        const Vec2 p = m_ejectButton->screenPos();
        const float h = s->moduleHeight(kEjectArrowLeft), aw = s->moduleWidth(kEjectArrowLeft);
        const float off = 8.0f * screenMetrics().screenScaleX;
        out.emplace_back(kEjectArrowLeft, CSprite::Rect{p.x + m_ejectButton->size.x / 2.0f - aw - off,
                                                        p.y - h - 4.0f, 2.0f * (aw + off), h});
    }
    HudMessageQueue& queue = HudMessageQueue::instance();
    // Message boxes, named by negative numbers past the frames.
    const CSprite::Rect boxes[3] = {queue.ringBox(), queue.noticeBox(), queue.warningBox()};
    for (int i = 0; i < 3; ++i)
        if (boxes[i].w > 0.0f)
            out.emplace_back(-1000 - i, boxes[i]);
    return out;
}
