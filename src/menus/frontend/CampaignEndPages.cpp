#include "menus/frontend/CampaignEndPages.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/ComicCfg.h"
#include "menus/frontend/ComicsMenuFrame.h"
#include "platform/Log.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"

CampaignEndPages& CampaignEndPages::instance()
{
    static CampaignEndPages pages;
    return pages;
}

void CampaignEndPages::showCampaignFailure(int textId)
{
    if (failurePage)
        failurePage(textId);
}

bool CampaignEndPages::showEndComic(const std::string& path)
{
    ComicsMenuFrame* comics = MenuFrameRegistry::comicsMenu();
    if (!comics || !comics->loadComicPath(path, ComicCfg::kEndToResult))
        return false;
    comics->resultPage = resultPage;
    pauseScreen().frame = comics;
    openPauseScreen();
    logInfo("menus", "end comic %s", path.c_str());
    return true;
}

bool CampaignEndPages::showPlayComic(const std::string& path)
{
    ComicsMenuFrame* comics = MenuFrameRegistry::comicsMenu();
    if (!comics || !comics->loadComicPath(path, ComicCfg::kEndToPlay))
        return false;
    pauseScreen().frame = comics;
    openPauseScreen();
    logInfo("menus", "comic %s", path.c_str());
    return true;
}

void CampaignEndPages::showMissionResult()
{
    MenuFrame* page = resultPage ? resultPage() : nullptr;
    if (!page)
        return;
    pauseScreen().frame = page;
    openPauseScreen();
}
