#pragma once
#include "ui/widgets/SceneMenuFrame.h"

class MenuPanel;
class ResizableButton;
class ResizableLabel;
class SpriteLabel;

// The lost mission over the frozen game: the headline, the reason, and the
// ways on: back to the mission list, retry from the checkpoint, restart.
class CampaignFailMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kHeadlineString = 35, kDefaultReasonString = 382;
    static constexpr int kBackString = 24, kRetryString = 45, kRestartString = 46;

    CampaignFailMenuFrame();

    void onShow() override;

    // The reason shown: the mission's own text, 382 for 0 or below.
    void setReason(int textId);
    // The page with that reason becomes the pause screen's page; the
    // mission's end opens the pause screen.
    static void showOverGame(int textId);
    // The menus with main, play and the mission list in the history.
    void onBackToCampaign();
    // The same mission again, from its stored checkpoint.
    void onRetryCheckpoint();
    // The same mission from its beginning.
    void onRestart();

    MenuPanel* topPanel = nullptr;
    ResizableLabel* banner = nullptr;
    SpriteLabel* headline = nullptr;
    SpriteLabel* reason = nullptr;
    MenuPanel* buttonRow = nullptr;
    ResizableButton* backToCampaignButton = nullptr;
    ResizableButton* retryButton = nullptr;
    ResizableButton* restartButton = nullptr;
};
