#include "menus/ingame/FreeFlightPauseMenuFrame.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <array>

FreeFlightPauseMenuFrame* MenuFrameRegistry::freeFlightPauseMenu()
{
    return slot<FreeFlightPauseMenuFrame>(Page::FreeFlightPause);
}

FreeFlightPauseMenuFrame::FreeFlightPauseMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth, H = m.screenHeight;

    topBar = buildPauseTopBar(kTitleString, &title, &banner);
    buttonRow = buildPauseButtonRow();
    quitButton = makePauseButton(kQuitString);
    quitButton->onClick = [this] { onQuit(); };
    controlsButton = makePauseButton(kControlsString);
    controlsButton->onClick = [] { openControls(); };
    audioButton = makePauseButton(kAudioString);
    audioButton->onClick = [this] { openAudio(); };
    resumeButton = makePauseButton(kResumeString);
    resumeButton->onClick = [this] { onResume(); };
    fillPauseButtonRow(*this, *buttonRow, {quitButton, controlsButton, audioButton, resumeButton}, resumeButton);

    const int labelHeight = std::max(title->height, pauseLineHeight());
    const int listWidth = std::min(W, static_cast<int>(500 * s));
    playerList = new MenuPanel(getSprite(kSpriteSetMenus), kListFrame, kLayoutList);
    playerList->ninePatch = true;
    playerList->fixedSize = true;
    playerList->anchorMode = kAnchorAbsolute;
    playerList->width = listWidth;
    playerList->x = (W - listWidth) / 2;
    playerList->y = topBar->height + 2 * labelHeight;
    playerList->height = std::max(0, H - 4 * labelHeight - buttonRow->height - topBar->height);
    playerList->touchMode = kTouchInside;
    playerList->childAlignment = kChildLeft;
    playerList->spacing = static_cast<int>(10 * s);
    playerList->paddingX = playerList->paddingY = static_cast<int>(10 * s);
    playerList->kinetic = true;
    playerList->setScrollBar(kScrollThumbFrame, -3 * s, -3 * s);
    playerList->visible = false;
    playerList->enabled = false;

    addItem(playerList);
    addItem(topBar);
    addItem(buttonRow);
    layout(0, 0);
}

std::u16string FreeFlightPauseMenuFrame::playerRowText(int n, const Target& player)
{
    // A player without a plane record still gets a row, with no plane name. The short name keeps
    // the row on one line; the full maker's name runs past the list at small sizes.
    std::string plane;
    if (const PlaneCfg* record = player.planeRecord)
        plane = record->name;
    std::array<char16_t, 160> row{};
    wideFormat(row.data(), row.size(), "%d. %w - %s", n, player.pilotName, plane);
    return row.data();
}

void FreeFlightPauseMenuFrame::onShow()
{
    playerList->visible = false;
    playerList->enabled = false;
    playerList->clear();
    playerList->contentHeight = 0;
    playerList->scrollY = 0.0f;
    const GameMode* mode = modeOf(currentMatch());
    if (mode && !mode->isSinglePlayer()) {
        playerList->visible = true;
        playerList->enabled = true;
        const CFont* font0 = getFont(0);
        const int rowHeight = 2 * static_cast<int>(font0 ? font0->lineHeight() : 16.0f);
        const Airplane* local = mode->playerAirplane();
        const ScoreMgr& scores = ScoreMgr::instance();
        int n = 1;
        for (int g = 0; g < 2; ++g)
            for (const Airplane* player : scores.group(g).players) {
                if (!player)
                    continue;
                auto* row = new SpriteLabel(0, playerRowText(n++, *player), nullptr, rowHeight);
                row->alignment = kAlignLeft | kAlignTop;
                useOwnTextColor(*row);
                if (player == local)
                    row->textColor = kLocalRowColor;
                playerList->placeItem(row);
            }
    }
    playerList->layout(0, 0);
    refreshPausePage(*this, *buttonRow, resumeButton);
}

void FreeFlightPauseMenuFrame::openControls(int pauseTitle)
{
    ControlsMenuFrame::openFrom(pauseTitle);
}

void FreeFlightPauseMenuFrame::onQuit()
{
    GameMode* mode = modeOf(currentMatch());
    if (mode)
        mode->endMatch();
    const bool network = mode && (mode->isNetworkClient() || mode->isNetworkServer());
    const bool online = mode && mode->isOnline();
    dropOverlayScreens();
    showMenuScreen();
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    if (network) {
        const InGameLinks& links = inGameLinks();
        if (links.multiPlayer)
            goToFrame(links.multiPlayer());
        const auto& last = online ? links.onlineRooms : links.lanGames;
        if (last)
            goToFrame(last());
    } else {
        goToFrame(MenuFrameRegistry::playMenu());
    }
    pauseScreen().frame = nullptr;
}

std::vector<std::u16string> FreeFlightPauseMenuFrame::playerRows() const
{
    std::vector<std::u16string> rows;
    for (const MenuItem* item : playerList->drawList())
        if (const auto* label = dynamic_cast<const SpriteLabel*>(item))
            rows.emplace_back(label->shownText());
    return rows;
}
