#pragma once
#include "menus/ingame/PauseOverlayFrame.h"

class MenuPanel;
class ResizableButton;
class ResizableLabel;
class SpriteLabel;

// The pause of a tutorial: back to the tutorial list, sound, restart the
// lesson, resume.
class TutorialPauseMenuFrame : public PauseOverlayFrame {
public:
    static constexpr int kTitleString = 188;
    static constexpr int kListString = 24, kAudioString = 8, kRestartString = 130, kResumeString = 129;

    TutorialPauseMenuFrame();

    void onShow() override;

    // The same lesson again from its first step.
    void restartTutorial();
    // The menus on the tutorial list, with main and play beneath it.
    void openTutorialList();

    ResizableButton* restartButton = nullptr;
    ResizableButton* listButton = nullptr;
    SpriteLabel* title = nullptr;
    ResizableLabel* banner = nullptr;
    MenuPanel* topBand = nullptr;
    MenuPanel* bottomBar = nullptr;
};
