#pragma once
#include <new>

class MenuFrame;

class AchievementsMenuFrame;
class AudioMenuFrame;
class BriefingMenuFrame;
class CampaignFailMenuFrame;
class CampaignListSelectMenuFrame;
class CampaignMenuFrame;
class ChooseControlTypePanel;
class ComicsMenuFrame;
class ControlsMenuFrame;
class CreditsMenuFrame;
class CustomChatMenuFrame;
class DogFightsMenuFrame;
class FreeFlightPauseMenuFrame;
class GameResultMenuFrame;
class GameSetupMenuFrame;
class GraphicsSettingsMenuFrame;
class HowToPlayMenuFrame;
class JoyCfgMenuFrame;
class LanguageMenuFrame;
class MainMenuFrame;
class MPChatMenuFrame;
class MPCreateOnlineMenuFrame;
class MPCreateWiFiMenuFrame;
class MPOnlineFiltersMenuFrame;
class MPServerDisconnectMenuFrame;
class MultiPlayerMenuFrame;
class MultiPlayerMenuFrameOnline;
class MultiPlayerMenuFrameSteam;
class MultiPlayerMenuFrameWIFI;
class MultiPlayerServersMenuFrame;
class OptionsMenuFrame;
class OtherGameSettingsMenuFrame;
class PauseCampaignMenuFrame;
class PlanePaintingMenuFrame;
class PlayMenuFrame;
class ProfileMenuFrame;
class SetKeysMenuFrame;
class SkirmishEndMenuFrame;
class TeamSkirmishEndMenuFrame;
class TutorialListMenuFrame;
class TutorialPauseMenuFrame;
class TutorialWinMenuFrame;
class WeaponSelectionMenuFrame;

// Every menu page is a singleton made on its first request and kept until
// deleteAll (the language rebuild) or the end of the program. Nobody else
// constructs a page. Each getter is defined beside its page, through slot():
//     MainMenuFrame* MenuFrameRegistry::mainMenu()
//     { return slot<MainMenuFrame>(Page::MainMenu); }
class MenuFrameRegistry {
public:
    // One slot per page class, in the order deleteAll destroys them. The
    // pages after KeptPages survive deleteAll and are reused as they are.
    enum class Page {
        MainMenu, PauseCampaign, TutorialPause, Campaign, Options, Audio, Briefing, Credits, Controls, HowToPlay,
        SkirmishEnd, TeamSkirmishEnd, CampaignFail, Play, Achievements, MultiPlayer, MPServerDisconnect, MPChat,
        MultiPlayerOnline,
        MultiPlayerWIFI, MPCreateOnline, MPCreateWiFi, DogFights, PlanePainting, Comics, GameSetup, Profile,
        TutorialWin, Language,
        CustomChat, ChooseControlType, FreeFlightPause, WeaponSelection, CampaignListSelect, MPOnlineFilters,
        OtherGameSettings, MultiPlayerServers, GraphicsSettings, SetKeys, JoyCfg,
        KeptPages,
        TutorialList = KeptPages, GameResult, MultiPlayerSteam,
        Count
    };

    static MainMenuFrame* mainMenu();
    static CampaignMenuFrame* campaignMenu();
    static OptionsMenuFrame* optionsMenu();
    static BriefingMenuFrame* briefingMenu();
    static CampaignFailMenuFrame* campaignFailMenu();
    static TutorialWinMenuFrame* tutorialWinMenu();
    static PlayMenuFrame* playMenu();
    static MultiPlayerMenuFrame* multiPlayerMenu();
    static MPChatMenuFrame* mpChatMenu();
    static MultiPlayerMenuFrameOnline* onlineMenu();
    static MultiPlayerMenuFrameSteam* steamMenu();
    static MultiPlayerMenuFrameWIFI* wifiMenu();
    static DogFightsMenuFrame* dogFightsMenu();
    static PlanePaintingMenuFrame* planePaintingMenu();
    static ComicsMenuFrame* comicsMenu();
    static GameSetupMenuFrame* gameSetupMenu();
    static TutorialListMenuFrame* tutorialListMenu();
    static GameResultMenuFrame* gameResultMenu();
    static LanguageMenuFrame* languageMenu();
    static ChooseControlTypePanel* chooseControlTypePanel();

    // The pages reached from one place only; their getters sit beside their callers.
    static AudioMenuFrame* audioMenu();
    static ControlsMenuFrame* controlsMenu();
    static GraphicsSettingsMenuFrame* graphicsSettingsMenu();
    static AchievementsMenuFrame* achievementsMenu();
    static HowToPlayMenuFrame* howToPlayMenu();
    static CreditsMenuFrame* creditsMenu();
    static CampaignListSelectMenuFrame* campaignListSelect();
    static OtherGameSettingsMenuFrame* otherGameSettingsMenu();
    static JoyCfgMenuFrame* joyCfgMenu();
    static ProfileMenuFrame* profileMenu();
    static SetKeysMenuFrame* setKeysMenu();
    static WeaponSelectionMenuFrame* weaponSelectionMenu();
    static PauseCampaignMenuFrame* pauseCampaignMenu();
    static FreeFlightPauseMenuFrame* freeFlightPauseMenu();
    static TutorialPauseMenuFrame* tutorialPauseMenu();
    static SkirmishEndMenuFrame* skirmishEndMenu();
    static TeamSkirmishEndMenuFrame* teamSkirmishEndMenu();
    static MPCreateOnlineMenuFrame* mpCreateOnlineMenu();
    static MPOnlineFiltersMenuFrame* mpOnlineFiltersMenu();
    static MultiPlayerServersMenuFrame* multiPlayerServersMenu();
    static MPCreateWiFiMenuFrame* mpCreateWiFiMenu();
    static CustomChatMenuFrame* customChatMenu();
    static MPServerDisconnectMenuFrame* mpServerDisconnectMenu();

    // Destroys every page but the kept ones, in slot order; the next getter
    // call builds a fresh page with the texts of the current language.
    static void deleteAll();

    // The page in that slot, made on the first call; null when it could not
    // be allocated (the slot then stays empty).
    template <typename T>
    static T* slot(Page page)
    {
        MenuFrame*& held = entry(page);
        if (!held)
            held = new (std::nothrow) T();
        return static_cast<T*>(held);
    }
    // The page in that slot, or null when none is made yet.
    static MenuFrame* existing(Page page) { return entry(page); }

private:
    static MenuFrame*& entry(Page page);
};
