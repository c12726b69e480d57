// The HUD's layout table, its panels and the element lookups.
#include "screens/hud/PlaneHud.h"

#include <utility>

#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"

#include <cmath>

namespace {

// Anchor, frames and behaviour of each row; x and y follow from the anchor.
struct RowTemplate {
    int anchor, place, defaultSheetOnly, mirrorable, flags;
};
// Rows 0-8: the nine anchors. Rows 9-33: five sets of five panels (right
// middle, bottom right, bottom centre, left middle, bottom left); the first
// set belongs to control scheme 0, the third to scheme 1.
constexpr RowTemplate kRows[PlaneHud::kLayoutRows] = {
    {0, 0, 0, 0, 7}, {1, 1, 1, 0, 7}, {2, 0, 0, 0, 3}, {3, 0, 0, 0, 7}, {4, 0, 0, 0, 7},
    {5, 0, 0, 0, 7}, {6, 0, 1, 0, 3}, {7, 2, 0, 0, 7}, {8, 2, 0, 0, 3},
    {1, 1, 1, 1, 7}, {2, 0, 0, 1, 3}, {5, 0, 0, 1, 7}, {7, 2, 0, 1, 7}, {8, 2, 0, 1, 3},
    {1, 1, 1, 1, 7}, {2, 0, 0, 1, 3}, {5, 0, 0, 1, 7}, {7, 2, 0, 1, 7}, {8, 2, 0, 1, 3},
    {1, 1, 1, 1, 7}, {2, 0, 0, 1, 3}, {5, 0, 0, 1, 7}, {7, 2, 0, 1, 7}, {8, 2, 0, 1, 3},
    {1, 1, 1, 1, 7}, {2, 0, 0, 1, 3}, {5, 0, 0, 1, 7}, {7, 2, 0, 1, 7}, {8, 2, 0, 1, 3},
    {1, 1, 1, 1, 7}, {2, 0, 0, 1, 3}, {5, 0, 0, 1, 7}, {7, 2, 0, 1, 7}, {8, 2, 0, 1, 3},
};

void anchorPoint(int anchor, const ScreenMetrics& m, int& x, int& y)
{
    const int w = m.screenWidth, h = m.screenHeight, hw = m.halfWidth, hh = m.halfHeight;
    const int xs[9] = {w, w, w, hw, hw, hw, 0, 0, 0};
    const int ys[9] = {0, hh, h, 0, hh, h, 0, hh, h};
    x = anchor >= 0 && anchor < 9 ? xs[anchor] : 0;
    y = anchor >= 0 && anchor < 9 ? ys[anchor] : 0;
}

bool frameUsesModule(const SpriteSheet& sheet, int frame, int module)
{
    if (frame < 0 || frame >= static_cast<int>(sheet.frames.size()))
        return false;
    const SpriteSheet::Frame& f = sheet.frames[static_cast<std::size_t>(frame)];
    // Last part first: the part drawn on top names the element.
    for (int i = f.partCount - 1; i >= 0; --i) {
        if (sheet.parts[f.firstPart + static_cast<std::size_t>(i)].module == module)
            return true;
    }
    return false;
}

}  // namespace

PlaneHud& planeHud()
{
    static PlaneHud hud;
    return hud;
}

CSprite* PlaneHud::sheet()
{
    return m_sheet && !sheetGone() ? m_sheet : getSprite(kSpriteSetHud);
}

bool PlaneHud::sheetGone() const
{
    return m_sharedSheet && m_sheetGeneration != spriteTablesGeneration();
}

void PlaneHud::initPanels(CSprite* sheet)
{
    m_sharedSheet = sheet == nullptr;
    m_sheetGeneration = spriteTablesGeneration();
    m_sheet = sheet ? sheet : getSprite(kSpriteSetHud);
    m_layoutBuilt = false;
    m_panels.clear();
    // Buttons point at their panels: the list never grows once made.
    m_panels.reserve(static_cast<std::size_t>(kLayoutRows) + 1);
    m_panels.emplace_back();   // the root panel
    buildLayout();
    for (const HudLayoutRow& row : m_layout)
        m_panels.emplace_back(row, m_sheet);
}

void PlaneHud::buildLayout()
{
    const ScreenMetrics& m = screenMetrics();
    if (m_layoutBuilt && m.screenWidth == m_layoutWidth && m.screenHeight == m_layoutHeight)
        return;
    for (int r = 0; r < kLayoutRows; ++r) {
        const RowTemplate& t = kRows[r];
        HudLayoutRow& row = m_layout[static_cast<std::size_t>(r)];
        row.anchor = t.anchor;
        anchorPoint(t.anchor, m, row.x, row.y);
        row.frameA = 2 * r + 1;
        row.frameB = 2 * r + 2;
        row.place = t.place;
        row.defaultSheetOnly = t.defaultSheetOnly;
        row.mirrorable = t.mirrorable;
        row.flags = t.flags;
    }
    // Panels made before a resize keep their anchor kind; their stored
    // anchor point moves with the table.
    if (m_panels.size() == static_cast<std::size_t>(kLayoutRows) + 1) {
        for (int r = 0; r < kLayoutRows; ++r)
            layoutPanel(r).anchorOffset = {static_cast<float>(m_layout[static_cast<std::size_t>(r)].x),
                                           static_cast<float>(m_layout[static_cast<std::size_t>(r)].y)};
    }
    m_layoutBuilt = true;
    m_layoutWidth = m.screenWidth;
    m_layoutHeight = m.screenHeight;
}

int PlaneHud::findRow(const CSprite& sheet, int module, bool frameAOnly, bool frameBOnly, int& frame) const
{
    for (int r = 0; r < kLayoutRows; ++r) {
        const HudLayoutRow& row = m_layout[static_cast<std::size_t>(r)];
        if (!frameBOnly && row.frameA != -1 && frameUsesModule(sheet.sheet(), row.frameA, module)) {
            frame = row.frameA;
            return r;
        }
        if (!frameAOnly && row.frameB != -1 && frameUsesModule(sheet.sheet(), row.frameB, module)) {
            frame = row.frameB;
            return r;
        }
    }
    frame = -1;
    return -1;
}

CSprite::Rect PlaneHud::elementRect(const CSprite* sheet, int module)
{
    if (!sheet)
        sheet = this->sheet();
    buildLayout();
    const float scale = sheet->baseScale();
    CSprite::Rect rect;
    const SpriteSheet& s = sheet->sheet();
    if (module >= 0 && module < static_cast<int>(s.modules.size())) {
        const SpriteSheet::Module& m = s.modules[static_cast<std::size_t>(module)];
        rect.w = std::round(m.w * scale);
        rect.h = std::round(m.h * scale);
    }
    int frame = -1;
    const int r = findRow(*sheet, module, false, false, frame);
    if (r < 0)
        return rect;
    const SpriteSheet::Frame& f = s.frames[static_cast<std::size_t>(frame)];
    for (int i = 0; i < f.partCount; ++i) {
        const SpriteSheet::Part& part = s.parts[f.firstPart + static_cast<std::size_t>(i)];
        if (part.module == module) {
            const HudLayoutRow& row = m_layout[static_cast<std::size_t>(r)];
            rect.x = static_cast<float>(row.x) + std::round(part.x * scale);
            rect.y = static_cast<float>(row.y) + std::round(part.y * scale);
            break;
        }
    }
    return rect;
}

HudPanel& PlaneHud::panelForElement(int module, bool useFrameB)
{
    if (m_panels.size() != static_cast<std::size_t>(kLayoutRows) + 1)
        initPanels(m_sheet);
    int frame = -1;
    const int r = findRow(*sheet(), module, !useFrameB, useFrameB, frame);
    return layoutPanel(r < 0 ? 0 : r);
}

void PlaneHud::placePanels(Vec2 shakeOffset)
{
    buildLayout();
    for (HudPanel& panel : m_panels)
        panel.place(shakeOffset);
}

void PlaneHud::drawPanels()
{
    // The dials' plate carries both dials: while a lesson hides one, the one
    // shown gets a plate of its own, and with both hidden there is no plate.
    // Only the picture goes: the panel's buttons (the camera) stay.
    HudPanel& dials = layoutPanel(kDialPanelRow);
    const bool plate = dials.visible;
    const int picture = dials.frameB;
    if (!(speedDialShown && altimeterShown))
        dials.frameB = -1;
    for (HudPanel& panel : m_panels)
        panel.draw();
    dials.frameB = picture;
    if (!plate || (speedDialShown && altimeterShown))
        return;
    for (const auto& [shown, module] : {std::pair{speedDialShown, kSpeedDial}, std::pair{altimeterShown, kAltimeter}}) {
        if (!shown)
            continue;
        const CSprite::Rect r = elementRect(m_sheet, module);
        m_sheet->drawFrame(kOneDialPlateFrame, r.x + r.w / 2.0f + shakeOffset.x, r.y + r.h / 2.0f + shakeOffset.y);
    }
}
