#include "menus/MenuPages.h"

#include "menus/frontend/AchievementsMenuFrame.h"
#include "menus/frontend/CreditsMenuFrame.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/HowToPlayMenuFrame.h"
#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "menus/settings/GraphicsSettingsMenuFrame.h"
#include "gamedata/records/MapLists.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"

namespace {
template <typename Page>
Page& page()
{
    // Pages live until the program ends; the menus keep pointers to them.
    static Page* made = new Page();
    return *made;
}
}  // namespace

GameSetupMenuFrame& gameSetupMenu()
{
    return page<GameSetupMenuFrame>();
}

ControlsMenuFrame& controlsMenu()
{
    return page<ControlsMenuFrame>();
}

GraphicsSettingsMenuFrame& graphicsSettingsMenu()
{
    return page<GraphicsSettingsMenuFrame>();
}

AudioMenuFrame& audioMenu()
{
    return page<AudioMenuFrame>();
}

AchievementsMenuFrame& achievementsMenu()
{
    return page<AchievementsMenuFrame>();
}

HowToPlayMenuFrame& howToPlayMenu()
{
    return page<HowToPlayMenuFrame>();
}

CreditsMenuFrame& creditsMenu()
{
    return page<CreditsMenuFrame>();
}

MenuFrame* menuPageByName(std::string_view name)
{
    if (name == "setup") {
        prepareSkirmishSetup();
        return &gameSetupMenu();
    }
    if (name == "controls")
        return &controlsMenu();
    if (name == "graphics")
        return &graphicsSettingsMenu();
    if (name == "audio")
        return &audioMenu();
    if (name == "achievements")
        return &achievementsMenu();
    if (name == "howtoplay")
        return &howToPlayMenu();
    if (name == "credits")
        return &creditsMenu();
    return nullptr;
}

void prepareSkirmishSetup()
{
    GameSetupMenuFrame& setup = gameSetupMenu();
    setup.layoutForPlay();
    // As the play menu will: the chosen map, else the next in rotation.
    setup.startHandler = [] {
        const Settings& record = settings();
        static int rotation = 0;
        const int count = MapLists::instance().countNonCampaign();
        const int map = record.skirmishMap >= 0 ? record.skirmishMap : rotation++ % count;
        const int type = isStartableGameType(record.skirmishType) ? record.skirmishType : 2;
        const GameStartResult result = createGame(type, false, map, gameScreen());
        logInfo("menus", "set-up start: type %d map %d result %d", type, map, static_cast<int>(result));
    };
}
