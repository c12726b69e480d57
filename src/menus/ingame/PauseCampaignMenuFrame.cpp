#include "menus/ingame/PauseCampaignMenuFrame.h"

#include "entities/aircraft/Airplane.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/ingame/FreeFlightPauseMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/ingame/PauseCampaignSlider.h"
#include "menus/settings/AudioMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/GameType.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/Screens.h"
#include "screens/hud/HudMarkers.h"
#include "screens/hud/HudMessageQueue.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <array>
#include <cmath>

PauseCampaignMenuFrame* MenuFrameRegistry::pauseCampaignMenu()
{
    return slot<PauseCampaignMenuFrame>(Page::PauseCampaign);
}

namespace {
constexpr std::size_t kRowUnits = 256;
constexpr char16_t kLogEnd[] = u". . .";

bool isClassKind(const PauseCampaignMenuFrame::EnemyClass& c, int kind)
{
    return c.kinds[0] == kind || c.kinds[1] == kind;
}
}  // namespace

ObjectiveSnapshot ObjectiveSnapshot::read()
{
    ObjectiveSnapshot snapshot;
    for (const auto& marker : HudElementList::instance().markers.list()) {
        if (!marker)
            continue;
        Marker m;
        m.objective = marker->always;
        m.kind = marker->kind;
        m.team = marker->team;
        m.position = marker->info.position;
        m.radius = marker->info.radius;
        snapshot.markers.push_back(m);
    }
    if (const GameMode* mode = modeOf(currentMatch()); mode && mode->playerAirplane()) {
        snapshot.hasPlayer = true;
        snapshot.playerPosition = mode->playerAirplane()->position();
        snapshot.playerTeam = mode->playerAirplane()->team();
    }
    snapshot.metric = settings().metricUnits != 0;
    return snapshot;
}

PauseCampaignMenuFrame::PauseCampaignMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth, H = m.screenHeight, L = pauseLineHeight();

    topBar = buildPauseTopBar(kTitleString, &title, &banner);

    buttonRow = buildPauseButtonRow();
    quitButton = makePauseButton(kQuitString);
    quitButton->onClick = [this] { onQuit(); };
    controlsButton = makePauseButton(kControlsString);
    controlsButton->onClick = [] { FreeFlightPauseMenuFrame::openControls(kTitleString); };
    audioButton = makePauseButton(kAudioString);
    audioButton->onClick = [this] { openAudio(); };
    restartButton = makePauseButton(kRestartString);
    restartButton->onClick = [this] { onRestart(); };
    resumeButton = makePauseButton(kResumeString);
    resumeButton->onClick = [this] { onResume(); };
    fillPauseButtonRow(*this, *buttonRow, {quitButton, controlsButton, audioButton, restartButton, resumeButton}, resumeButton);

    // The pages start at the banner, so their headings sit on it, and end
    // above the page dots over the button row.
    const int sliderTop = 5 * L / 2 - 3 * L / 4;
    pageIndicator = new SpritePageIndicator(static_cast<int>(16 * s), 2);
    const int pageHeight = H - buttonRow->height - sliderTop - pageIndicator->height - static_cast<int>(8 * s);
    objectivesPage = buildPage(kObjectivesString, pageHeight, &objectivesHeading, &objectivesList);
    logPage = buildPage(kLogString, pageHeight, &logHeading, &logList);

    slider = new PauseCampaignSlider(static_cast<float>(W), static_cast<float>(pageHeight));
    slider->anchorMode = kAnchorAbsolute;
    slider->x = 0;
    slider->y = sliderTop;
    slider->fixedSize = true;
    // The page beside the current one stays off the screen.
    slider->spacing = W / 10 + 1;
    slider->touchMode = kTouchInside;
    slider->onSnapped = [this] { onPageChanged(slider->reportedItem()); };
    slider->onCentre = [this] { onPageChanged(slider->reportedItem()); };
    // The banner behind the pages' headings; all over the scene page's corners.
    addItem(topBar);
    addItem(slider);
    addItem(buttonRow);

    pageIndicator->anchorMode = kAnchorAbsolute;
    pageIndicator->alignment = kAlignCentreX | kAlignBottom;
    pageIndicator->x = W / 2;
    pageIndicator->y = H - buttonRow->height - static_cast<int>(4 * s);
    pageIndicator->currentPage = 0;
    pageIndicator->focusable = true;
    pageIndicator->onPrevious = [this] { slider->prevPage(); };
    pageIndicator->onNext = [this] { slider->nextPage(); };
    addItem(pageIndicator);

    slider->addItemWithIndex(objectivesPage, 0);
    slider->addItemWithIndex(logPage, 1);
    slider->scrollToIndex(0);
    layout(0, 0);
}

MenuPanel* PauseCampaignMenuFrame::buildPage(int headingString, int pageHeight, SpriteLabel** headingOut,
                                             MenuPanel** listOut)
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth, L = pauseLineHeight();
    const int pageWidth = static_cast<int>(0.9f * static_cast<float>(W));
    const int bannerHeight = 3 * L / 2;
    const int listTop = (3 * L + L / 2) / 2 + static_cast<int>(8 * s);

    auto* page = new MenuPanel(kLayoutStacked, pageWidth, pageHeight, nullptr);
    page->fixedSize = true;
    page->touchMode = kTouchInside;

    auto* heading = new SpriteLabel(2, headingString);
    heading->anchorMode = kAnchorParent;
    heading->alignment = kAlignCentreX | kAlignCentreY;
    heading->x = pageWidth / 2;
    heading->y = bannerHeight / 2;
    useOwnTextColor(*heading);
    page->addItem(heading);

    auto* frame = new MenuPanel(getSprite(kSpriteSetMenus), kListFrame, kLayoutStacked);
    frame->ninePatch = true;
    frame->fixedSize = true;
    frame->anchorMode = kAnchorParent;
    frame->x = 0;
    frame->y = listTop;
    frame->width = pageWidth;
    frame->height = std::max(0, pageHeight - listTop);
    page->addItem(frame);

    const int inset = static_cast<int>(8 * s);
    auto* list = new MenuPanel(kLayoutList, pageWidth - 2 * inset, std::max(0, frame->height - 2 * inset), nullptr);
    list->anchorMode = kAnchorParent;
    list->x = inset;
    list->y = listTop + inset;
    list->fixedSize = true;
    list->touchMode = kTouchInside;
    list->childAlignment = kChildLeft;
    list->kinetic = true;
    list->setScrollBar(kScrollThumbFrame, -4 * s, -8 * s);
    page->addItem(list);
    *headingOut = heading;
    *listOut = list;
    return page;
}

void PauseCampaignMenuFrame::addGap(MenuPanel& list)
{
    list.placeItem(new MenuSpacer(list.width, static_cast<int>(10 * screenMetrics().uiScale)));
}

void PauseCampaignMenuFrame::addRow(MenuPanel& list, const std::u16string& text, bool wrapped)
{
    const int indent = static_cast<int>(10 * screenMetrics().uiScale);
    SpriteLabel* label = wrapped ? new SpriteLabel(2, list.width - 2 * indent, nullptr, text) : new SpriteLabel(2, text);
    label->alignment = kAlignLeft | kAlignTop;
    label->textOffsetX += indent;
    useOwnTextColor(*label);
    list.placeItem(label);
}

void PauseCampaignMenuFrame::fillObjectives()
{
    fillObjectives(ObjectiveSnapshot::read());
}

void PauseCampaignMenuFrame::fillObjectives(const ObjectiveSnapshot& snapshot)
{
    MenuPanel& list = *objectivesList;
    list.clear();
    list.contentHeight = 0;
    list.scrollY = 0.0f;
    addGap(list);
    std::array<char16_t, kRowUnits> row{};
    int own = 0, enemies = 0;
    std::array<int, std::size(kEnemyClasses)> byClass{};
    for (const ObjectiveSnapshot::Marker& marker : snapshot.markers) {
        if (!marker.objective)
            continue;
        if (marker.kind == kWaypointKind) {
            // Without a player airplane there is nothing to measure from.
            if (!snapshot.hasPlayer)
                continue;
            const Vec3 d = marker.position - snapshot.playerPosition;
            const int whole = static_cast<int>(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z));
            const int distance = static_cast<int>(static_cast<float>(whole) - marker.radius);
            const double shown = snapshot.metric ? distance * 1.0 : distance * kFeetPerUnit;
            // The unit in the player's language, the word the HUD's height dial shows.
            wideFormatW(row.data(), row.size(), getStringByIndex(kWaypointString).c_str(), shown,
                        getStringByIndex(snapshot.metric ? kMetresString : kFeetString));
            addRow(list, row.data(), false);
            addGap(list);
            continue;
        }
        if (!snapshot.hasPlayer || marker.team == kNoTeam || marker.team == snapshot.playerTeam) {
            ++own;
            continue;
        }
        ++enemies;
        for (std::size_t c = 0; c < std::size(kEnemyClasses); ++c)
            if (isClassKind(kEnemyClasses[c], marker.kind))
                ++byClass[c];
    }
    if (own != 0) {
        wideFormatW(row.data(), row.size(), getStringByIndex(kFriendsString).c_str(), own);
        addRow(list, row.data(), false);
        addGap(list);
    }
    if (enemies != 0) {
        wideFormatW(row.data(), row.size(), getStringByIndex(kEnemiesString).c_str(), enemies);
        addRow(list, row.data(), false);
        addGap(list);
        for (std::size_t c = 0; c < std::size(kEnemyClasses); ++c) {
            if (byClass[c] == 0)
                continue;
            wideFormatW(row.data(), row.size(), getStringByIndex(kClassString).c_str(), byClass[c],
                        getStringByIndex(kEnemyClasses[c].nameString).c_str());
            addRow(list, row.data(), false);
            addGap(list);
        }
    }
    list.layout(list.absX, list.absY);

    MenuPanel& log = *logList;
    log.clear();
    log.contentHeight = 0;
    log.scrollY = 0.0f;
    auto& history = HudMessageQueue::instance().noticeHistory();
    if (!history.empty()) {
        addGap(log);
        for (auto& entry : history) {
            if (!entry || entry->text.empty())
                continue;
            // One line each: the stored text loses its line feeds for good.
            for (char16_t& unit : entry->text)
                if (unit == u'\n')
                    unit = u' ';
            addRow(log, entry->text, true);
        }
        addRow(log, kLogEnd, false);
    }
    log.layout(log.absX, log.absY);
}

void PauseCampaignMenuFrame::onShow()
{
    // The page outlives games: each game's first pause opens on its objectives,
    // whatever page the last game left it on.
    const Match* match = currentMatch();
    const unsigned number = match ? match->number() : 0;
    if (number != m_shownFor) {
        m_shownFor = number;
        slider->scrollToIndex(0);
        onPageChanged(objectivesPage);
    }
    const GameMode* mode = modeOf(match);
    if (mode && mode->gameType() == GameType::Campaign)
        fillObjectives();
    refreshPausePage(*this, *buttonRow, resumeButton);
}

void PauseCampaignMenuFrame::onPageChanged(MenuItem* page)
{
    if (page == logPage) {
        if (pageIndicator->pageCount >= 2)
            pageIndicator->currentPage = 1;
    } else if (pageIndicator->pageCount >= 1) {
        pageIndicator->currentPage = 0;
    }
}

void PauseCampaignMenuFrame::onQuit()
{
    const GameMode* mode = modeOf(currentMatch());
    const bool mission = mode && mode->gameType() == GameType::Campaign;
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(MenuFrameRegistry::playMenu());
    if (mission)
        goToFrame(MenuFrameRegistry::campaignMenu());
    closeOverlayScreen();
    showMenuScreen();
}

void PauseCampaignMenuFrame::onRestart()
{
    gameChoices().resume = 0;
    closeOverlayScreen();
    setGamePaused(false);
    if (inGameLinks().startCampaignMission)
        inGameLinks().startCampaignMission();
}

std::vector<std::u16string> PauseCampaignMenuFrame::objectiveTexts() const
{
    std::vector<std::u16string> texts;
    for (const MenuItem* item : objectivesList->drawList())
        if (const auto* label = dynamic_cast<const SpriteLabel*>(item))
            texts.emplace_back(label->shownText());
    return texts;
}

std::vector<std::u16string> PauseCampaignMenuFrame::logTexts() const
{
    std::vector<std::u16string> texts;
    for (const MenuItem* item : logList->drawList())
        if (const auto* label = dynamic_cast<const SpriteLabel*>(item))
            texts.emplace_back(label->shownText());
    return texts;
}
