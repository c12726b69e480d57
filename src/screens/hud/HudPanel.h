#pragma once
#include "platform/Math.h"
#include "screens/hud/HudButton.h"

#include <memory>
#include <vector>

class CSprite;

// One row of the HUD layout table: where a panel is anchored and which sheet
// frames it uses.
struct HudLayoutRow {
    int anchor = 9;             // HudPanel::Anchor
    int x = 0, y = 0;           // the anchor point when the table was built
    int frameA = -1;            // frame whose parts give the elements' places
    int frameB = -1;            // frame drawn as the panel's picture
    int place = 0;              // 1 placed at once when made, 2 ignores the shake
    int defaultSheetOnly = 0;
    int mirrorable = 0;
    int flags = 0;              // bit 0: drawn
};

// A screen-anchored piece of the HUD: a frame of the HUD sheet placed at one
// of nine screen points, sliding in at the start of a game and shaken with
// the HUD.
struct HudPanel {
    // Anchor points: 0 (W, 0), 1 (W, H/2), 2 (W, H), 3 (W/2, 0), 4 (W/2, H/2),
    // 5 (W/2, H), 6 (0, 0), 7 (0, H/2), 8 (0, H); kAnchorNone keeps the stored point.
    static constexpr int kAnchorNone = 9;
    static constexpr float kPulseRate = 5.0f;
    static constexpr Color4 kHighlightColor{255, 140, 0, 255};

    HudPanel() = default;   // the HUD's root panel: absolute, no frames
    HudPanel(const HudLayoutRow& row, CSprite* sheet);

    // Moves the panel to its anchor for this frame: the slide while it runs,
    // else the shake offset when the panel follows the shake.
    void place(Vec2 shakeOffset);
    // Frame B at the position (mirrored at W - x under the flip setting when
    // mirrorable), pulsing while highlighted.
    void draw();
    // Slides in over `duration` seconds from the stored anchor plus `offset`.
    void startSlide(Vec2 offset, float duration);

    Vec2 position;
    Vec2 anchorOffset;          // the stored anchor point
    int anchor = kAnchorNone;
    int frameA = -1, frameB = -1;
    CSprite* sheet = nullptr;
    int flags = 0;
    bool visible = true;
    bool followsShake = true;
    struct Slide {
        bool active = false;
        float elapsed = 0.0f, duration = 0.0f;
        Vec2 start;
    } slide;
    bool highlighted = false;
    float pulsePhase = 0.0f;
    bool defaultSheetOnly = false;
    bool mirrorable = false;
    // The panel's touch buttons, drawn after its picture; never freed while the HUD lives.
    std::vector<std::unique_ptr<HudButton>> buttons;

private:
    Vec2 anchorPoint();
};
