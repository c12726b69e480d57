#pragma once
#include "ui/widgets/SceneMenuFrame.h"

class MenuPanel;
class SpriteButton;

// The options hub: eight picture buttons in three rows, each opening the
// page of one kind of setting.
class OptionsMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 40, kBackString = 883;
    static constexpr int kButtonFont = 1;
    static constexpr std::uint32_t kLabelAlignment = 0x50;   // centred, at the bottom

    OptionsMenuFrame();

    void update() override { SceneMenuFrame::update(); }
    void onShow() override;
    void rebuildConnectorLines() override;

    void openLanguage();
    void openControls();
    void openOtherSettings();
    void openAudio();
    void openCustomChat();

    MenuPanel* topRow = nullptr;
    MenuPanel* lowerLeftRow = nullptr;
    MenuPanel* lowerRightRow = nullptr;
    SpriteButton* languageButton = nullptr;
    SpriteButton* controlsButton = nullptr;
    SpriteButton* otherButton = nullptr;
    SpriteButton* audioButton = nullptr;
    SpriteButton* creditsButton = nullptr;
    SpriteButton* howToPlayButton = nullptr;
    SpriteButton* customChatButton = nullptr;
    SpriteButton* graphicsButton = nullptr;

private:
    SpriteButton* makeButton(MenuPanel& row, int frame, int stringId, bool focusable);
};
