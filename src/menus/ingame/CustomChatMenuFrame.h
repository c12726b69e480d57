#pragma once
#include "platform/Settings.h"
#include "ui/widgets/SceneMenuFrame.h"

#include <array>

class MenuPanel;
class SpriteEditBox;

// The six chat lines of the player's own, edited from the game settings and
// offered on the chat page during network matches.
class CustomChatMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 876, kBackString = 40;  // back to the options it is opened from

    CustomChatMenuFrame();

    void onShow() override;
    // Each editor's text into its preset (at most 19 units), then the settings saved.
    void onHide() override;
    void rebuildConnectorLines() override;

    MenuPanel* panel = nullptr;
    std::array<SpriteEditBox*, Settings::kChatPresetCount> editors{};
};
