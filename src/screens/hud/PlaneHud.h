#pragma once
#include "render/2d/CSprite.h"
#include "screens/hud/HudPanel.h"

#include <array>
#include <vector>

// The in-flight HUD. This holds its layout: the 34 screen-anchored panels
// made from the layout table, and the lookups every HUD drawing and hit check
// uses to find an element (a module of the HUD sheet) on the screen.
class PlaneHud {
public:
    static constexpr int kLayoutRows = 34;

    // Keeps the HUD sheet (null: sprite set 2) and makes the root panel and
    // one panel per layout row, building the table first.
    void initPanels(CSprite* sheet);
    CSprite* sheet();

    // Fills the layout table from the current screen size. Built once, and
    // again when the screen size changes, so element rectangles follow the
    // panels; the panels take the new anchor points.
    void buildLayout();
    const std::array<HudLayoutRow, kLayoutRows>& layout() const { return m_layout; }

    // Screen rectangle of a module of the sheet (null: the HUD's sheet): the
    // first layout row, frame A before frame B, whose frame uses the module.
    // A module no panel uses gets (0, 0) and its own scaled size. Shake and
    // slides do not move it.
    CSprite::Rect elementRect(const CSprite* sheet, int module);
    // The panel whose frame A (frame B when asked) uses the module; the first
    // layout panel when none does.
    HudPanel& panelForElement(int module, bool useFrameB);

    // The root panel followed by the layout panels, in layout order.
    std::vector<HudPanel>& panels() { return m_panels; }
    HudPanel& layoutPanel(int row) { return m_panels.at(static_cast<std::size_t>(row) + 1); }
    void placePanels(Vec2 shakeOffset);
    void drawPanels();

    // The side panel of the objective triggers registered in the message
    // queue: one row per trigger with targets left, its kind icon in the
    // side's color and the count left. `playerTeam` colors the own side;
    // game type 1 (campaign) draws no icon for kind 17.
    void drawPlayerList(int playerTeam, int gameType);

private:
    // Row of the frame holding the module, with that frame; -1 when none.
    void drawTriggerRow(CSprite& sheet, float x, float y, float width, int icon, Color4 color, int count);
    int findRow(const CSprite& sheet, int module, bool frameAOnly, bool frameBOnly, int& frame) const;

    CSprite* m_sheet = nullptr;
    std::vector<HudPanel> m_panels;
    std::array<HudLayoutRow, kLayoutRows> m_layout{};
    bool m_layoutBuilt = false;
    int m_layoutWidth = 0, m_layoutHeight = 0;
};

// The one HUD of the game.
PlaneHud& planeHud();
