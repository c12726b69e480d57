#include "menus/frontend/PlayMenuFrame.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "modes/GameType.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {
constexpr int kCampaignFrame = 30, kSurvivalFrame = 37, kDogFightsFrame = 34;
constexpr int kFfaFrame = 36, kFreeFlightFrame = 44, kLmsFrame = 55;
constexpr int kCtfFrame = 29, kDtbFrame = 35, kTdFrame = 33, kTutorialsFrame = 43;
constexpr int kCampaignString = 12, kSurvivalString = 881, kDogFightsString = 117;
constexpr int kFfaString = 26, kFreeFlightString = 888, kLmsString = 25;
constexpr int kCtfString = 17, kDtbString = 21, kTdString = 48;
constexpr int kCentreFrame = 1, kSideFrame = 0;
// Side panels wide enough for the longest match name, at two sizes.
constexpr float kNarrowSide = 190.0f, kWideSide = 240.0f;
constexpr int kSmallestScreenWidth = 960;

int scaled(float v)
{
    return static_cast<int>(v * screenMetrics().uiScale);
}

std::uint32_t word(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

void fillEntry(Settings& s, int entry, std::uint32_t option, bool ffa)
{
    std::uint32_t* w = &s.skirmishConfig[static_cast<std::size_t>(entry * Settings::kEntryWords)];
    w[0] = option;
    w[1] = 0;
    if (ffa) {
        w[2] = 7;
        w[3] = 0;
        w[4] = word(s.aiSkill);
        return;
    }
    w[2] = 4;
    w[3] = 5;
    w[4] = 0;
    w[5] = word(s.aiSkill);
}
}  // namespace

PlayMenuFrame* MenuFrameRegistry::playMenu()
{
    return slot<PlayMenuFrame>(Page::Play);
}

MapChoice& mapChoice()
{
    static MapChoice choice;
    return choice;
}

PlayMenuFrame::PlayMenuFrame()
{
    mapCount = [] { return MapLists::instance().countNonCampaign(); };
    launch = [](int type, int map) {
        const GameStartResult result = createGame(type, false, map, gameScreen());
        logInfo("menus", "play start: type %d map %d result %d", type, map, static_cast<int>(result));
    };
    backButton()->labelStringId = kBackString;
    backButton()->updateLabel();
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    content()->visible = false;
    content()->enabled = false;

    tutorialsButton = makeButton(kTutorialsFrame, 0, kTutorialsScale, [this] { openTutorials(); });
    tutorialsButton->anchorMode = kAnchorAbsolute;
    addItem(tutorialsButton);

    CSprite* art = getSprite(kSpriteSetMenus);
    centrePanel = new MenuPanel(art, kCentreFrame, kLayoutStacked);
    centrePanel->ninePatch = true;
    centrePanel->fixedSize = true;
    centrePanel->anchorMode = kAnchorAbsolute;
    centrePanel->touchMode = kTouchInside;
    campaignButton = makeButton(kCampaignFrame, kCampaignString, 1.0f, [this] { onCampaign(); });
    survivalButton = makeButton(kSurvivalFrame, kSurvivalString, 1.0f, [this] { onSurvival(); });
    dogFightsButton = makeButton(kDogFightsFrame, kDogFightsString, 1.0f, [this] { onDogFights(); });
    for (SpriteButton* b : {campaignButton, survivalButton, dogFightsButton})
        centrePanel->addItem(b);

    leftPanel = makeSidePanel();
    rightPanel = makeSidePanel();
    ffaButton = makeButton(kFfaFrame, kFfaString, kSideButtonScale, [this] { onMode2(); });
    freeFlightButton = makeButton(kFreeFlightFrame, kFreeFlightString, kSideButtonScale, [] { openFreeFlightSetup(); });
    lmsButton = makeButton(kLmsFrame, kLmsString, kSideButtonScale, [this] { onMode13(); });
    ctfButton = makeButton(kCtfFrame, kCtfString, kSideButtonScale, [this] { onMode4(); });
    dtbButton = makeButton(kDtbFrame, kDtbString, kSideButtonScale, [this] { onMode5(); });
    tdButton = makeButton(kTdFrame, kTdString, kSideButtonScale, [this] { onMode3(); });
    for (SpriteButton* b : {ffaButton, freeFlightButton, lmsButton})
        leftPanel->placeItem(b);
    for (SpriteButton* b : {ctfButton, dtbButton, tdButton})
        rightPanel->placeItem(b);

    buildList(true);
    focusedItem = campaignButton;
}

SpriteButton* PlayMenuFrame::makeButton(int frame, int stringId, float scale, MenuAction action)
{
    auto* button = new SpriteButton(kSpriteSetMenus, frame, kButtonFont, stringId);
    button->scale = scale;
    button->textScale = 1.0f;
    button->labelAlignment = MenuItem::kAlignCentreX | MenuItem::kAlignBottom;
    button->focusable = true;
    button->onClick = std::move(action);
    // The name sits in the dark band at the foot of the picture, 8 art pixels
    // in from the sides and from 40 to 8 above the foot of the 150-high art
    // (170 wide in the middle panel, 180 at the sides), and shrinks to fit it.
    const float art = scale < 1.0f ? 180.0f : 170.0f;
    button->labelBox = {8.0f / art, 110.0f / 150.0f, (art - 8.0f) / art, 142.0f / 150.0f};
    button->updateLabel();
    return button;
}

MenuPanel* PlayMenuFrame::makeSidePanel()
{
    auto* panel = new MenuPanel(getSprite(kSpriteSetMenus), kSideFrame, kLayoutList);
    panel->ninePatch = true;
    panel->fixedSize = true;
    panel->anchorMode = kAnchorAbsolute;
    panel->touchMode = kTouchInside;
    panel->childAlignment = kChildCentre;
    return panel;
}

void PlayMenuFrame::buildList(bool addPanels)
{
    const ScreenMetrics& m = screenMetrics();
    const int margin = scaled(14.0f), spacing = scaled(16.0f);
    CFont* font = getFont(kButtonFont);
    int widest = 0;
    for (int id : {kFfaString, kFreeFlightString, kLmsString, kCtfString, kDtbString, kTdString})
        widest = std::max(widest, static_cast<int>(measureText(font, getStringByIndex(id)).width));
    const int sideWidth = scaled(widest < tdButton->width ? kNarrowSide : kWideSide);
    const int sideHeight = 3 * ffaButton->height + 4 * margin - spacing;
    // The three buttons share the room left over evenly, above, between and
    // below them, so the last one keeps off the panel's bottom border.
    const int sideGap = std::max(0, (sideHeight - 3 * ffaButton->height) / 4);
    for (MenuPanel* panel : {leftPanel, rightPanel}) {
        panel->width = sideWidth;
        panel->height = sideHeight;
        panel->paddingY = sideGap;
        panel->spacing = sideGap;
    }

    const int cw = campaignButton->width;
    centrePanel->width = 3 * spacing + 2 * cw;
    centrePanel->height = sideHeight;
    titleLabel->layout(0, 0);
    const int titleBottom = titleLabel->absY + titleLabel->height;
    centrePanel->x = (m.screenWidth - centrePanel->width) / 2;
    centrePanel->y = titleBottom + (m.screenHeight - titleBottom - centrePanel->height) / 2;
    // Campaign across the top, survival and dogfights side by side below.
    campaignButton->x = (centrePanel->width - cw) / 2;
    campaignButton->y = margin;
    survivalButton->x = spacing;
    dogFightsButton->x = 2 * spacing + cw;
    const int lower = std::max(campaignButton->height + 2 * margin, sideHeight - margin - survivalButton->height);
    survivalButton->y = lower;
    dogFightsButton->y = lower;

    const int reach = 3 * centrePanel->width / 4;
    if (m.screenWidth <= kSmallestScreenWidth) {
        leftPanel->x = scaled(12.0f);
        rightPanel->x = m.screenWidth - sideWidth - scaled(12.0f);
    } else {
        leftPanel->x = m.screenWidth / 2 - reach - sideWidth;
        rightPanel->x = m.screenWidth / 2 + reach;
    }
    leftPanel->y = centrePanel->y + centrePanel->height - sideHeight;
    rightPanel->y = leftPanel->y;

    tutorialsButton->x = m.screenWidth - tutorialsButton->width - scaled(20.0f);
    tutorialsButton->y = titleLabel->absY + (titleLabel->height - tutorialsButton->height) / 2;

    if (addPanels) {
        addItem(centrePanel);
        addItem(leftPanel);
        addItem(rightPanel);
        giveInputPriority(backButton());
        bringToFront(backButton());
    }
    backButton()->updateLabel();
    layout(0, 0);
}

void addTitleElbows(SceneMenuFrame& page, const MenuPanel& left, const MenuPanel& right, const MenuItem* keepClear)
{
    const ResizableLabel& title = *page.titleLabel;
    const int midY = title.absY + title.height / 2;
    auto elbow = [&page, midY, keepClear](int x0, const MenuPanel& panel) {
        const int x2 = panel.absX + panel.width / 2, y2 = panel.absY;
        int mx = x0 + (3 * (x2 - x0)) / 10, my = midY + (3 * (y2 - midY)) / 4;
        if (keepClear) {
            // Bend above the item and beside it, so neither leg crosses it.
            const int gap = std::max(2, static_cast<int>(6.0f * screenMetrics().uiScale));
            my = std::max(midY, std::min(my, keepClear->absY - gap));
            if (x2 < x0)
                mx = std::min(mx, keepClear->absX - gap);
            else
                mx = std::max(mx, keepClear->absX + keepClear->width + gap);
        }
        page.connectorLines.push_back({x0, midY, mx, my, true, 0});
        page.connectorLines.push_back({mx, my, x2, y2, true, 0});
    };
    elbow(title.absX, left);
    elbow(title.absX + title.width, right);
}

void PlayMenuFrame::rebuildConnectorLines()
{
    FilledMenuFrame::rebuildConnectorLines();
    addTitleElbows(*this, *leftPanel, *rightPanel);
}

void PlayMenuFrame::onShow()
{
    buildList(false);
    titleLabel->updateSize();
    FilledMenuFrame::onShow();
    if (!settings().load())
        logInfo("menus", "the settings were not read again");
    freeFlightButton->visible = true;
    freeFlightButton->enabled = true;
    setButtonAvailable(*campaignButton, static_cast<bool>(frontendLinks().campaignList));
    setButtonAvailable(*dogFightsButton, static_cast<bool>(frontendLinks().dogFights));

    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->backButton()->labelStringId = kSetupBackString;
    setup->backButton()->updateLabel();
    setup->startHandler = [this] { startGame(); };
    setup->layoutForPlay();

    rebuildConnectorLines();
    focusedItem = campaignButton->enabled ? campaignButton : survivalButton;
    rebuildFocusLinks();
}

void PlayMenuFrame::askFirst(MenuAction confirm)
{
    if (tutorialQuestionDue())
        showQuestionAlert([this] { openTutorials(); }, std::move(confirm));
    else
        confirm();
}

void PlayMenuFrame::onCampaign() { askFirst([this] { confirmCampaign(); }); }
void PlayMenuFrame::onSurvival() { askFirst([this] { confirmSurvival(); }); }
void PlayMenuFrame::onDogFights() { askFirst([this] { confirmDogFights(); }); }
void PlayMenuFrame::onMode2() { askFirst([this] { confirmMode(static_cast<int>(GameType::FreeForAll)); }); }
void PlayMenuFrame::onMode3() { askFirst([this] { confirmMode(static_cast<int>(GameType::TeamDeathmatch)); }); }
void PlayMenuFrame::onMode4() { askFirst([this] { confirmMode(static_cast<int>(GameType::CaptureTheFlag)); }); }
void PlayMenuFrame::onMode5() { askFirst([this] { confirmMode(static_cast<int>(GameType::DestroyTheBase)); }); }

void PlayMenuFrame::confirmCampaign()
{
    markTutorialQuestionAnswered();
    if (frontendLinks().campaignList)
        goToFrame(frontendLinks().campaignList());
}

void PlayMenuFrame::confirmDogFights()
{
    markTutorialQuestionAnswered();
    if (frontendLinks().dogFights)
        goToFrame(frontendLinks().dogFights());
}

void PlayMenuFrame::confirmMode(int type)
{
    markTutorialQuestionAnswered();
    settings().skirmishType = type;
    settings().save();
    goToFrame(MenuFrameRegistry::gameSetupMenu());
}

void PlayMenuFrame::confirmSurvival()
{
    markTutorialQuestionAnswered();
    MenuFrameRegistry::gameSetupMenu()->startSurvival();
}

void PlayMenuFrame::onMode13()
{
    settings().skirmishType = static_cast<int>(GameType::LastManStanding);
    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->showOptionRows(true);
    goToFrame(setup);
}

void PlayMenuFrame::openTutorials()
{
    goToFrame(MenuFrameRegistry::tutorialListMenu());
}

void PlayMenuFrame::startGame()
{
    Settings& s = settings();
    MapChoice& choice = mapChoice();
    if (s.skirmishMap >= 0) {
        choice.selectedMap = s.skirmishMap;
    } else {
        // The lists always hold a skirmish map; an empty list stays on map 0.
        const int count = std::max(1, mapCount ? mapCount() : 1);
        choice.mapRotation = (choice.mapRotation + 1) % count;
        choice.selectedMap = choice.mapRotation;
    }
    const bool freeFlight = s.skirmishType == static_cast<int>(GameType::FreeFlight);
    const std::uint32_t option = freeFlight ? 0u : static_cast<std::uint32_t>(s.skirmishOption);
    fillEntry(s, Settings::kEntryTD, option, false);
    fillEntry(s, Settings::kEntryDTB, option, false);
    fillEntry(s, Settings::kEntryCTF, option, false);
    fillEntry(s, Settings::kEntryFFA, option, true);
    if (launch)
        launch(s.skirmishType, choice.selectedMap);
}

void openFreeFlightSetup()
{
    settings().skirmishType = static_cast<int>(GameType::FreeFlight);
    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->showHostRows();
    goToFrame(setup);
}
