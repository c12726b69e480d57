#include "menus/frontend/FrontendLinks.h"

#include "platform/Settings.h"
#include "ui/widgets/SpriteButton.h"

FrontendLinks& frontendLinks()
{
    static FrontendLinks links;
    return links;
}

bool tutorialQuestionDue()
{
    const Settings& s = settings();
    return s.tutorialDone[0] == 0 && s.tutorialPromptAnswered == 0;
}

void markTutorialQuestionAnswered()
{
    Settings& s = settings();
    if (s.tutorialPromptAnswered)
        return;
    s.tutorialPromptAnswered = 1;
    s.save();
}

void setButtonAvailable(SpriteButton& button, bool available)
{
    constexpr std::uint8_t kGrey = 110;
    button.enabled = available;
    const std::uint8_t level = available ? 255 : kGrey;
    button.color = Color4{level, level, level, 255};
    button.useTextColor = !available;
    button.textColor = Color4{kGrey, kGrey, kGrey, 255};
}
