#pragma once
#include "ui/MenuFrame.h"

class MenuPanel;
class ResizableButton;
class SpriteCheckbox;
class SpriteLabel;

// The first-run choice of control type, shown over the game loading screen
// before the first game: two options that behave as radio buttons, an
// aim-assist box in single-player games and OK, which lets the load go on.
class ChooseControlTypePanel : public MenuFrame {
public:
    static constexpr int kTitleString = 383, kHintString = 384, kOkString = 18;
    static constexpr int kOption0String = 207, kOption1String = 211, kAimAssistString = 1231;
    static constexpr int kDescription0String = 213, kDescription1String = 214;
    static constexpr int kBoxOff = 172, kBoxOn = 173;
    static constexpr int kPanelFrame = 95;

    ChooseControlTypePanel();

    void draw() override;
    void onShow() override;

    // The clicked option stays ticked, the other is cleared; the description
    // and the aim-assist choice follow it.
    void onOptionClicked(int option);
    void onAimAssistClicked();
    void onOk();

    SpriteCheckbox* options[2] = {};
    SpriteCheckbox* aimAssistBox = nullptr;
    SpriteLabel* title = nullptr;
    SpriteLabel* description = nullptr;
    int descriptionString = kDescription1String;   // the text the description shows
    SpriteLabel* hint = nullptr;
    ResizableButton* okButton = nullptr;
    MenuPanel* optionsPanel = nullptr;
    MenuPanel* descriptionPanel = nullptr;
    MenuPanel* aimAssistPanel = nullptr;

private:
    void relayout();
};

// Puts the panel in front of the game's load: the pause screen shows it and
// takes the input until OK hands the screen back to the loading screen.
void showControlTypeChoice();
