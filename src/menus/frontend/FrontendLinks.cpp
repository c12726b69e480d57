#include "menus/frontend/FrontendLinks.h"

#include "platform/Settings.h"

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
