#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <functional>

class MenuPanel;
class SpriteButton;

// The interface language: ten flags in two rows. Choosing a new one switches
// the texts and fonts at once and asks the main loop to rebuild every page,
// which brings the player back here.
class LanguageMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 64, kBackString = 40;
    static constexpr int kFlagSet = 15;
    static constexpr int kFlagsPerRow = 5;
    static constexpr float kFlagScale = 0.7f, kCurrentScale = 1.0f, kCurrentShift = -0.15f;

    LanguageMenuFrame();

    // The scene page's show puts the focus on back; the current language's flag takes it.
    void onShow() override;
    void refocus() override { rebuildFocusLinks(); }
    void rebuildConnectorLines() override;

    // The action of every flag: the flag that fired chooses.
    void onLanguage();
    // The flag's language made current: texts, fonts, the saved choice.
    void chooseLanguage(int index);

    MenuPanel* upperRow = nullptr;
    MenuPanel* lowerRow = nullptr;
    SpriteButton* flags[10] = {};
    // Switches the string tables and reloads the fonts; the platform's own
    // unless a test sets its own.
    std::function<void(int index)> switchLanguage;

private:
    void markCurrent(int index);
    SpriteButton* firingFlag() const;
};

// The main loop's rebuild after a change of language: every page goes and the
// main menu, the options and this page are made again, in that order.
void rebuildMenusForLanguage();
