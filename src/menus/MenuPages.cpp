#include "menus/MenuPages.h"

#include "menus/MenuFrameRegistry.h"

#include "menus/frontend/AchievementsMenuFrame.h"
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
#include "gamedata/records/MapLists.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/MenuNavigation.h"

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
    if (name == "painting")
        return MenuFrameRegistry::planePaintingMenu();
    if (name == "weapons")
        return MenuFrameRegistry::weaponSelectionMenu();
    return nullptr;
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
