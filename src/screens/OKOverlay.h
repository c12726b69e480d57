#pragma once
#include "ui/MenuFrame.h"

class SpriteButton;
class SpriteLabel;

// A message over everything with one OK button. The front-end menus set the
// label's text and show it; OK hides it. Hidden, it draws nothing and
// ignores touches.
class OKOverlay : public MenuFrame {
public:
    static constexpr int kButtonString = 39, kLabelString = 758;
    static constexpr int kButtonWidth = 170;
    static constexpr int kPanelFrame = 95;
    static constexpr int kButtonLeft = 158, kButtonMiddle = 156, kButtonRight = 157, kButtonFont = 1;
    static constexpr float kTouchMargin = 10.0f;

    static OKOverlay& instance();
    static void hide();

    void update() override;
    void draw() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchUp(int x, int y) override;

    bool visible = false;
    SpriteButton* button = nullptr;
    SpriteLabel* label = nullptr;

private:
    OKOverlay();
};
