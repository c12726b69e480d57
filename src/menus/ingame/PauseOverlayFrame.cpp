#include "menus/ingame/PauseOverlayFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/settings/AudioMenuFrame.h"
#include "ui/MenuNavigation.h"

PauseOverlayFrame::PauseOverlayFrame()
{
    coverScreenAsOverlay(*this);
}

bool PauseOverlayFrame::onEscape()
{
    onResume();
    return true;
}

void PauseOverlayFrame::onResume()
{
    resumeGame();
}

void PauseOverlayFrame::openAudio()
{
    goToFrame(MenuFrameRegistry::audioMenu());
}
