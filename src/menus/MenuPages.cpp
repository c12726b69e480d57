#include "menus/MenuPages.h"

#include "menus/MenuFrameRegistry.h"

#include "menus/frontend/AchievementsMenuFrame.h"
#include "menus/frontend/BriefingMenuFrame.h"
#include "menus/frontend/CampaignListSelectMenuFrame.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/ComicCfg.h"
#include "menus/frontend/ComicsMenuFrame.h"
#include "menus/frontend/DogFightsMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/ingame/CampaignFailMenuFrame.h"
#include "menus/ingame/FreeFlightPauseMenuFrame.h"
#include "menus/ingame/PauseCampaignMenuFrame.h"
#include "menus/ingame/TutorialPauseMenuFrame.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/multiplayer/MPCreateOnlineMenuFrame.h"
#include "menus/multiplayer/MPOnlineFiltersMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "menus/settings/LanguageMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "menus/settings/OtherGameSettingsMenuFrame.h"
#include "menus/frontend/CreditsMenuFrame.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/HowToPlayMenuFrame.h"
#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "menus/settings/GraphicsSettingsMenuFrame.h"
#include "menus/settings/JoyCfgMenuFrame.h"
#include "menus/settings/PlanePaintingMenuFrame.h"
#include "menus/settings/ProfileMenuFrame.h"
#include "menus/settings/SetKeysMenuFrame.h"
#include "menus/settings/WeaponSelectionMenuFrame.h"
#include "menus/ingame/CustomChatMenuFrame.h"
#include "menus/multiplayer/MPCreateWiFiMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "menus/multiplayer/MultiPlayerServersMenuFrame.h"
#include "gamedata/records/MapLists.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <utility>

GameSetupMenuFrame* MenuFrameRegistry::gameSetupMenu()
{
    return slot<GameSetupMenuFrame>(Page::GameSetup);
}

ControlsMenuFrame* MenuFrameRegistry::controlsMenu()
{
    return slot<ControlsMenuFrame>(Page::Controls);
}

GraphicsSettingsMenuFrame* MenuFrameRegistry::graphicsSettingsMenu()
{
    return slot<GraphicsSettingsMenuFrame>(Page::GraphicsSettings);
}

AudioMenuFrame* MenuFrameRegistry::audioMenu()
{
    return slot<AudioMenuFrame>(Page::Audio);
}

AchievementsMenuFrame* MenuFrameRegistry::achievementsMenu()
{
    return slot<AchievementsMenuFrame>(Page::Achievements);
}

HowToPlayMenuFrame* MenuFrameRegistry::howToPlayMenu()
{
    return slot<HowToPlayMenuFrame>(Page::HowToPlay);
}

CreditsMenuFrame* MenuFrameRegistry::creditsMenu()
{
    return slot<CreditsMenuFrame>(Page::Credits);
}

MenuFrame* menuPageByName(std::string_view name)
{
    if (name == "multiplayer")
        return MenuFrameRegistry::multiPlayerMenu();
    if (name == "servers")
        return MenuFrameRegistry::multiPlayerServersMenu();
    if (name == "lan")
        return MenuFrameRegistry::wifiMenu();
    if (name == "lancreate")
        return MenuFrameRegistry::mpCreateWiFiMenu();
    if (name == "customchat")
        return MenuFrameRegistry::customChatMenu();
    if (name == "setup") {
        prepareSkirmishSetup();
        return MenuFrameRegistry::gameSetupMenu();
    }
    if (name == "controls")
        return MenuFrameRegistry::controlsMenu();
    if (name == "graphics")
        return MenuFrameRegistry::graphicsSettingsMenu();
    if (name == "audio")
        return MenuFrameRegistry::audioMenu();
    if (name == "achievements")
        return MenuFrameRegistry::achievementsMenu();
    if (name == "howtoplay")
        return MenuFrameRegistry::howToPlayMenu();
    if (name == "credits")
        return MenuFrameRegistry::creditsMenu();
    if (name == "campaigns")
        return MenuFrameRegistry::campaignListSelect();
    if (name.starts_with("missions:"))
        return campaignMissionsPage(name.substr(9));
    if (name.starts_with("briefing:"))
        return briefingPage(name.substr(9));
    if (name == "dogfights")
        return MenuFrameRegistry::dogFightsMenu();
    if (name.starts_with("comic:"))
        return comicPage(name.substr(6));
    if (name == "main")
        return MenuFrameRegistry::mainMenu();
    if (name == "play")
        return MenuFrameRegistry::playMenu();
    if (name == "tutorials")
        return MenuFrameRegistry::tutorialListMenu();
    if (name == "options")
        return MenuFrameRegistry::optionsMenu();
    if (name == "othersettings")
        return MenuFrameRegistry::otherGameSettingsMenu();
    if (name == "language")
        return MenuFrameRegistry::languageMenu();
    if (name == "setkeys") {
        SetKeysMenuFrame* page = MenuFrameRegistry::setKeysMenu();
        if (page)
            page->applyControlType();
        return page;
    }
    if (name == "joycfg")
        return MenuFrameRegistry::joyCfgMenu();
    if (name == "profile")
        return MenuFrameRegistry::profileMenu();
    if (name == "result")
        return MenuFrameRegistry::gameResultMenu();
    if (name == "painting")
        return MenuFrameRegistry::planePaintingMenu();
    if (name == "weapons")
        return MenuFrameRegistry::weaponSelectionMenu();
    if (name == "pausecampaign")
        return MenuFrameRegistry::pauseCampaignMenu();
    if (name == "campaignfail")
        return MenuFrameRegistry::campaignFailMenu();
    if (name == "freeflightpause")
        return MenuFrameRegistry::freeFlightPauseMenu();
    if (name == "tutorialpause")
        return MenuFrameRegistry::tutorialPauseMenu();
    if (name == "online")
        return MenuFrameRegistry::onlineMenu();
    if (name == "onlinecreate")
        return MenuFrameRegistry::mpCreateOnlineMenu();
    if (name == "onlinefilters")
        return MenuFrameRegistry::mpOnlineFiltersMenu();
    return nullptr;
}

MenuFrame* campaignMissionsPage(std::string_view campaign)
{
    if (campaign.size() != 1 || campaign[0] < '1' || campaign[0] > '3')
        return nullptr;
    CampaignMenuFrame* missions = MenuFrameRegistry::campaignMenu();
    if (missions)
        missions->setCampaign(campaign[0] - '1');
    return missions;
}

MenuFrame* briefingPage(std::string_view missionName)
{
    const MapLists& lists = MapLists::instance();
    for (int c = 0; c < MapLists::kCampaigns; ++c)
        for (int m = 0; m < MapLists::kSlots; ++m)
            if (const MapInfoCfg* record = lists.campaignMission(c, m); record && record->name == missionName) {
                if (CampaignMenuFrame* missions = MenuFrameRegistry::campaignMenu())
                    missions->setCampaign(c);
                BriefingMenuFrame* briefing = MenuFrameRegistry::briefingMenu();
                if (briefing)
                    briefing->setMission(record);
                return briefing;
            }
    return nullptr;
}

MenuFrame* comicPage(std::string_view comicName)
{
    ComicsMenuFrame* comics = MenuFrameRegistry::comicsMenu();
    if (!comics)
        return nullptr;
    (void)comics->loadComic(comicName, ComicCfg::kEndToPlay);
    return comics;
}

void openWeaponSelection(int planeId)
{
    WeaponSelectionMenuFrame* page = MenuFrameRegistry::weaponSelectionMenu();
    if (!page)
        return;
    page->planeId = planeId;
    goToFrame(page);
}

void prepareSkirmishSetup()
{
    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->layoutForPlay();
    // As the play menu will: the chosen map, else the next in rotation.
    setup->startHandler = [] {
        const Settings& record = settings();
        static int rotation = 0;
        const int count = MapLists::instance().countNonCampaign();
        const int map = record.skirmishMap >= 0 ? record.skirmishMap : rotation++ % count;
        const int type = isStartableGameType(record.skirmishType) ? record.skirmishType : 2;
        const GameStartResult result = createGame(type, false, map, gameScreen());
        logInfo("menus", "set-up start: type %d map %d result %d", type, map, static_cast<int>(result));
    };
}

void useOwnLayout(FilledMenuFrame& page, int titleString, int backString)
{
    page.content()->visible = false;
    page.content()->enabled = false;
    page.titleLabel->stringId = titleString;
    page.titleLabel->updateSize();
    page.backButton()->labelStringId = backString;
    page.backButton()->updateLabel();
}

void fitBarToButtons(MenuPanel& bar)
{
    const ScreenMetrics& m = screenMetrics();
    int tallest = 0;
    for (int i = 0; i < bar.itemCount(); ++i)
        if (const MenuItem* item = bar.itemAt(i))
            tallest = std::max(tallest, item->height);
    const int margin = static_cast<int>(4.0f * m.uiScale);
    bar.height = std::max(bar.height, tallest + 2 * margin);
    bar.y = m.screenHeight - bar.height;
    bar.paddingY = (bar.height - tallest) / 2;
}

int connectorPointAtY(int x0, int y0, int x1, int y1, int y)
{
    if (y0 == y1)
        return x0;
    const float t = std::clamp(static_cast<float>(y - y0) / static_cast<float>(y1 - y0), 0.0f, 1.0f);
    return x0 + static_cast<int>(t * static_cast<float>(x1 - x0));
}

int barPaddingWithinScreen(int wanted, int content, int margin)
{
    const int widest = screenMetrics().screenWidth - content - margin;
    return std::max(std::min(wanted, widest), std::min(margin, widest));
}

SpriteButton* addBarButton(MenuPanel& bar, int frameNumber, int stringId, MenuAction action)
{
    auto* button = new SpriteButton(kSpriteSetMenus, frameNumber, 2, stringId);
    button->anchorMode = MenuItem::kAnchorPlaced;
    button->focusable = true;
    // The label sits right of the icon at the plate's left end (the plates are
    // 40 art pixels high, the icon takes the first 38) and shrinks to fit.
    button->updateLabel();
    if (button->height > 0 && button->width > 0) {
        const float art = static_cast<float>(button->height) / 40.0f, w = static_cast<float>(button->width);
        button->labelBox = {38.0f * art / w, 0.1f, 1.0f - 8.0f * art / w, 0.9f};
        button->updateLabel();
    }
    button->onClick = std::move(action);
    bar.addItem(button);
    return button;
}
