#pragma once
#include "ui/MenuHooks.h"
#include "ui/widgets/MenuPanel.h"

// One statistic bar beside the showcase: the icon, the empty bar and the
// filling, the part where the shown plane beats (green) or trails (grey) the
// first variant of its family tinted. The shown values glide to the targets.
class StateItem : public MenuItem {
public:
    static constexpr int kBarFrame = 118, kFillFrame = 119;
    static constexpr float kGlideRate = 10.0f;

    StateItem(int iconFrame, MenuContainer* parentItem);

    void draw() override;
    void update() override;
    // Reads the frame sizes; the item is as wide as icon, gap and bar.
    void measure();
    // Statistic values of the record: 0 shows a tenth of the bar, above 1 a full one.
    void setTargets(float baseStat, float variantStat, bool snap);

    int iconWidth = 0, iconHeight = 0;
    int barFrame = kBarFrame, fillFrame = kFillFrame;
    int barWidth = 0, barHeight = 0;
    int iconFrame = -1;
    float shownBase = 0.5f, shownVariant = 0.5f;
    float targetBase = 0.5f, targetVariant = 0.5f;

private:
    void drawFill(float barX, float value, Color4 tint) const;
};

// One loadout weapon's icon over the weapons button, in its tint; an unknown
// frame draws nothing.
class StateIcon : public MenuItem {
public:
    StateIcon();
    void draw() override;
    void setFrame(int frameNumber);
    int frame = 204;
};

// The gap between icon and bar, shared by every bar (24 before the first measure).
int stateIconGap();

// The panel of the bars and the loadout icons; it takes every touch itself and
// a tap opens the weapon choice.
class StatePanel : public MenuPanel {
public:
    StatePanel();
    bool onTouchDown(int, int) override { return true; }
    bool onTouchMove(int, int) override { return true; }
    bool onTouchUp(int x, int y) override;

    MenuAction onTap;
};
