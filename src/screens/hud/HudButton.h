#pragma once
#include "platform/Math.h"

#include <vector>

class CSprite;
struct HudPanel;

// A touch button of the flight HUD, owned by its panel: its place is the
// part offset in the panel's placement frame, its hit shape a ring or a
// rectangle with a 10-pixel margin. The id names its action and its group.
struct HudButton {
    static constexpr int kFirstDigitModule = 161, kLastDigitModule = 170;
    static constexpr int kTintedIconFirst = 81, kTintedIconLast = 82;
    static constexpr Color4 kIconColor{224, 104, 92, 255};
    static constexpr float kRectMargin = 10.0f;

    // The place on screen (base place plus the panel's), not mirrored.
    Vec2 screenPos() const;
    // The left edge as hit and drawn: mirrored at W - x - width under the flip setting.
    float shownX() const;
    bool hitTest(float px, float py);
    void draw();
    // The digit modules that show a count: one per digit, at most three
    // (999 and more show 999); none for a negative count.
    static std::vector<int> countModules(int count);
    // Swings in along a circle about a pivot towards its place over `duration` seconds.
    void startSwingIn(float duration);

    HudPanel* panel = nullptr;
    CSprite* sheet = nullptr;
    int pressedModule = -1, module = -1;
    int frame = -1;
    int icon = -1;
    Vec2 basePos, pos, size;
    Vec2 reach;
    bool pressed = false, sticky = false;
    int id = 0;
    bool visible = true, notDrawn = false;
    int touchId = -1;
    bool highlighted = false;
    float pulsePhase = 0.0f;
    float opacity = 1.0f;
    bool tinted = false;
    Color4 tint;
    int count = -1;
    bool round = false;
    float innerRadius = 0.0f, outerRadius = 0.0f;
    Vec2 centreOffset;
    struct Swing {
        bool active = false;
        float elapsed = 0.0f, duration = 0.0f, radius = 0.0f;
        Vec2 pivot, savedBase;
        float startAngle = 0.0f, angle = 0.0f;
    } swing;
    bool mirrorable = false;
    bool enabled = true;
    // A word from the string tables over the module, in the player's
    // language: its string number (-1 none), colour and height as a share of
    // the button's.
    int label = -1;
    Color4 labelColor;
    float labelHeight = 0.22f;

    // Font scale that fits a text into a box `height` high and `width` wide.
    static float fitScale(float lineHeight, float textWidth, float height, float width);

private:
    void drawAt(float x, float y, float rotation);
    void drawCount(float x, float y);
    void drawLabel(float x, float y, float rotation);
};
