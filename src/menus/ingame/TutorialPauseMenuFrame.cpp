#include "menus/ingame/TutorialPauseMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/settings/AudioMenuFrame.h"
#include "modes/GameModeGlobals.h"
#include "screens/GameScreen.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

TutorialPauseMenuFrame* MenuFrameRegistry::tutorialPauseMenu()
{
    return slot<TutorialPauseMenuFrame>(Page::TutorialPause);
}

TutorialPauseMenuFrame::TutorialPauseMenuFrame()
{

    topBand = buildPauseTopBar(kTitleString, &title, &banner);
    bottomBar = buildPauseButtonRow();
    listButton = makePauseButton(kListString);
    listButton->onClick = [this] { openTutorialList(); };
    audioButton = makePauseButton(kAudioString);
    audioButton->onClick = [this] { openAudio(); };
    restartButton = makePauseButton(kRestartString);
    restartButton->onClick = [this] { restartTutorial(); };
    resumeButton = makePauseButton(kResumeString);
    resumeButton->onClick = [this] { onResume(); };
    fillPauseButtonRow(*this, *bottomBar, {listButton, audioButton, restartButton, resumeButton}, resumeButton);
    addItem(topBand);
    addItem(bottomBar);
    layout(0, 0);
}

void TutorialPauseMenuFrame::onShow()
{
    refreshPausePage(*this, *bottomBar, resumeButton);
}

void TutorialPauseMenuFrame::restartTutorial()
{
    resumeGame();
    if (inGameLinks().startTutorial)
        inGameLinks().startTutorial(tutorialIndex());
}

void TutorialPauseMenuFrame::openTutorialList()
{
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(MenuFrameRegistry::playMenu());
    goToFrame(MenuFrameRegistry::tutorialListMenu());
    closeOverlayScreen();
    showMenuScreen();
}
