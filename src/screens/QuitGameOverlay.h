#pragma once
#include "ui/MenuFrame.h"

class ResizableButton;
class SpriteLabel;

// The quit question over everything: no and yes. The main menu shows it; yes
// ends the main loop after the current frame, and the program shuts down
// normally (the settings are written).
class QuitGameOverlay : public MenuFrame {
public:
    static constexpr int kNoString = 38, kYesString = 51, kQuestionString = 360;
    static constexpr int kButtonLeft = 158, kButtonMiddle = 156, kButtonRight = 157;
    static constexpr int kButtonFont = 1, kQuestionFont = 1;
    static constexpr int kPanelFrame = 96;   // the opaque alert box
    static constexpr float kTouchMargin = 10.0f;

    static QuitGameOverlay& instance();

    // Once a frame from the main loop: lays out on the first shown frame,
    // then runs the buttons.
    void update() override;
    // Inside the 2-D pass of drawScreens, when shown.
    void draw() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchUp(int x, int y) override;

    void show() { shown = true; }
    void onNo();
    void onYes();

    bool needsLayout = true;
    bool shown = false;
    bool quit = false;
    ResizableButton* noButton = nullptr;
    ResizableButton* yesButton = nullptr;
    SpriteLabel* question = nullptr;

private:
    QuitGameOverlay();
    void layOut();
    int m_panelX = 0, m_panelY = 0, m_panelW = 0, m_panelH = 0;
};
