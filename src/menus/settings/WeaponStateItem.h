#pragma once
#include "ui/MenuItem.h"

// One statistic row of a weapon card: its name, then a bar filled to the
// weapon's share of the largest value any weapon has.
class WeaponStateItem : public MenuItem {
public:
    static constexpr int kBarFrame = 118, kFillFrame = 119;
    static constexpr float kGlideRate = 10.0f;
    // The small font: three rows and two lines of text fit a card on a 640 pixel screen.
    static constexpr int kFont = 1;

    WeaponStateItem(int stringId, float fill);
    void draw() override;
    void update() override;

    int labelWidth = 0;
    int barFrame = kBarFrame, fillFrame = kFillFrame;
    int barWidth = 0, barHeight = 0;
    int stringId = -1;
    float shown = 0.0f, shownSecond = 0.0f;
    float fill = 0.0f;      // 0..1; a row of 0 is not drawn
    float second = 0.0f;
};
