#pragma once
#include "menus/ingame/PauseOverlayFrame.h"

#include <string>
#include <vector>

class MenuPanel;
class ResizableButton;
class ResizableLabel;
class SpriteLabel;
class Target;

// The free-flight pause: quit, controls, sound and resume; in a network game
// also the players taking part, the local one in green.
class FreeFlightPauseMenuFrame : public PauseOverlayFrame {
public:
    static constexpr int kTitleString = 888;
    static constexpr int kQuitString = 24, kControlsString = 19, kAudioString = 8, kResumeString = 129;
    static constexpr int kListFrame = 95, kScrollThumbFrame = 115;
    static constexpr Color4 kLocalRowColor{0, 128, 0, 255};

    FreeFlightPauseMenuFrame();

    void onShow() override;

    // The controls page, made on first use (the other pause pages share it),
    // its back button named after the pause page it returns to.
    static void openControls(int pauseTitle = kTitleString);
    // Ends the game and leads back to the page the game was started from.
    void onQuit();

    // "n. pilot - plane" of one player; the plane part is empty without a record.
    static std::u16string playerRowText(int n, const Target& player);
    std::vector<std::u16string> playerRows() const;

    ResizableButton* quitButton = nullptr;
    ResizableButton* controlsButton = nullptr;
    SpriteLabel* title = nullptr;
    ResizableLabel* banner = nullptr;
    MenuPanel* topBar = nullptr;
    MenuPanel* buttonRow = nullptr;
    MenuPanel* playerList = nullptr;
};
