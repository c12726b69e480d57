#include "menus/frontend/BriefingMenuFrame.h"

#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "modes/GameModeGlobals.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Analytics.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"

#include <algorithm>
#include <array>
#include <cstdio>

BriefingMenuFrame* MenuFrameRegistry::briefingMenu()
{
    return slot<BriefingMenuFrame>(Page::Briefing);
}

namespace {
constexpr int kButtonLeft = 158, kButtonMiddle = 156, kButtonRight = 157;
constexpr float kBoxPlaces[3] = {0.2f, 0.5f, 0.82f};
// The hardest choice has the larger, warmer box.
constexpr int kBoxOn[3] = {143, 143, 102}, kBoxOff[3] = {141, 141, 101};

int clampDifficulty(int d)
{
    return d >= 0 && d <= 2 ? d : 1;
}
}  // namespace

// ---- BriefingFlagLabel ----

BriefingFlagLabel::BriefingFlagLabel() : SpriteLabel(2, std::u16string_view()) {}

void BriefingFlagLabel::set(int frame, std::u16string_view line, int maxWidth)
{
    flagFrame = frame;
    const float s = screenMetrics().uiScale;
    int iconW = 0, iconH = 0;
    getSprite(kSpriteSetHud)->frameBounds(flagFrame, iconW, iconH);
    const int textStart = static_cast<int>((static_cast<float>(iconW) + 10.0f) * s);
    // A long plane name goes on to a second line instead of past the panel.
    std::array<char16_t, 256> wrapped{};
    if (CFont* f = font(); f && maxWidth > textStart)
        f->wrap(line, static_cast<float>(maxWidth - textStart), wrapped);
    else
        std::copy_n(line.begin(), std::min(line.size(), wrapped.size() - 1), wrapped.begin());
    setText(wrapped.data());
    textOffsetX = textStart;
    const CFont::TextSize size = measureText(font(), text);
    width = textOffsetX + static_cast<int>(size.width);
    height = std::max(iconH, static_cast<int>(size.height));
    textOffsetY = (height - static_cast<int>(size.height)) / 2;
}

void BriefingFlagLabel::draw()
{
    if (!visible)
        return;
    CSprite* hud = getSprite(kSpriteSetHud);
    const CSprite::Rect r = hud->frameRect(flagFrame);
    hud->drawFrame(flagFrame, static_cast<float>(absX) - r.x, absY + (height - r.h) / 2.0f - r.y);
    SpriteLabel::draw();
}

// ---- BriefingMenuFrame ----

BriefingMenuFrame::BriefingMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth, H = m.screenHeight;
    if (ResizableButton* back = backButton()) {
        back->labelStringId = kBackString;
        back->updateLabel();
    }
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;

    // Two square panels side by side with the buttons in the band below.
    CSprite* menus = getSprite(kSpriteSetMenus);
    const float margin0 = 50.0f * s;
    const float b = menus->frameRect(kButtonLeft).h + 50.0f * s;
    const int titleY = titleLabel->y, titleH = titleLabel->height;
    panelSize = static_cast<int>(std::min((W - 3.0f * margin0) / 2.0f, H - 2.0f * b - titleH - titleY));
    panelSize = std::max(panelSize, 1);
    sideMargin = (W - 2 * panelSize) / 3;
    band = (H - titleH - titleY - panelSize) / 2;
    const int panelY = titleY + 2 * titleH;

    leftPanel = new MenuPanel(menus, kPanelFrame, kLayoutList);
    leftPanel->ninePatch = true;
    leftPanel->anchorMode = kAnchorAbsolute;
    leftPanel->width = leftPanel->height = panelSize;
    leftPanel->fixedSize = true;
    leftPanel->childAlignment = kChildLeft;
    leftPanel->paddingX = static_cast<int>(10.0f * s);
    leftPanel->paddingY = static_cast<int>(10.0f * s);
    leftPanel->touchMode = kTouchList;
    // A list places its items from its own position, not from an offset.
    leftPanel->x = sideMargin;
    leftPanel->y = panelY;
    leftPanel->setScrollBar(kScrollThumbFrame, 4.0f * s, 0.0f);
    addItem(leftPanel);
    fillLeftPanel(-1, 0, std::u16string_view());

    rightPanel = new MenuPanel(menus, kPanelFrame, kLayoutStacked);
    rightPanel->ninePatch = true;
    rightPanel->anchorMode = kAnchorAbsolute;
    rightPanel->width = rightPanel->height = panelSize;
    rightPanel->fixedSize = true;
    rightPanel->touchMode = kTouchInside;
    rightPanel->offsetX = static_cast<float>(panelSize + 2 * sideMargin);
    rightPanel->offsetY = static_cast<float>(panelY);
    addItem(rightPanel);

    flyButton = new ResizableButton(kFlyString);
    flyButton->setup(kButtonLeft, kButtonMiddle, kButtonRight, 2);
    flyButton->anchorMode = kAnchorAbsolute;
    flyButton->alignment = kAlignLeft | kAlignBottom;
    flyButton->focusable = true;
    flyButton->onClick = [this] { onFly(); };
    addItem(flyButton);
    resumeButton = new ResizableButton(kResumeString);
    resumeButton->setup(kButtonLeft, kButtonMiddle, kButtonRight, 2);
    resumeButton->anchorMode = kAnchorAbsolute;
    resumeButton->alignment = kAlignLeft | kAlignBottom;
    resumeButton->focusable = true;
    resumeButton->onClick = [this] { onFlyResume(); };
    resumeButton->visible = false;
    resumeButton->enabled = false;
    addItem(resumeButton);
    placeButtons();

    difficultyPanel = new MenuPanel(menus, kPanelFrame, kLayoutStacked);
    difficultyPanel->ninePatch = true;
    difficultyPanel->anchorMode = kAnchorAbsolute;
    difficultyPanel->width = panelSize;
    difficultyPanel->height = static_cast<int>(2.5f * flyButton->height);
    difficultyPanel->fixedSize = true;
    difficultyPanel->touchMode = kTouchInside;
    difficultyPanel->offsetX = static_cast<float>(sideMargin);
    difficultyPanel->offsetY = flyButton->offsetY - static_cast<float>(difficultyPanel->height);
    addItem(difficultyPanel);
    for (int i = 0; i < 3; ++i) {
        auto* box = new SpriteCheckbox(kDifficultyStrings[i], kBoxOn[i], kBoxOff[i], true);
        // A narrow panel takes the small font, or the labels run into each other.
        if (panelSize < 480) {
            box->font = getFont(1);
            box->updateLayout();
        }
        box->anchorMode = kAnchorParent;
        box->alignment = kAlignCentreX | kAlignCentreY;
        box->focusable = true;
        box->offsetX = kBoxPlaces[i] * static_cast<float>(difficultyPanel->width);
        box->offsetY = difficultyPanel->height / 2.0f;
        box->onCheck = [this, i] { onDifficultyChecked(i); };
        box->onUncheck = [this, i] { onDifficultyUnchecked(i); };
        difficultyPanel->addItem(box);
        difficultyBoxes[i] = box;
    }
    const int saved = clampDifficulty(settings().savedDifficulty);
    for (int i = 0; i < 3; ++i)
        difficultyBoxes[i]->checked = i == saved;
    focusedItem = flyButton;
    layout(0, 0);
}

BriefingMenuFrame::~BriefingMenuFrame() = default;

void BriefingMenuFrame::placeButtons()
{
    const ScreenMetrics& m = screenMetrics();
    flyButton->updateLabel();
    resumeButton->updateLabel();
    flyButton->offsetX = static_cast<float>(m.screenWidth - flyButton->width - sideMargin);
    flyButton->offsetY = static_cast<float>(m.screenHeight - (band - flyButton->height) / 2);
    resumeButton->offsetX = flyButton->offsetX - static_cast<float>(resumeButton->width) - 20.0f * m.uiScale;
    resumeButton->offsetY = flyButton->offsetY;
}

void BriefingMenuFrame::fillLeftPanel(int briefingText, int flagFrame, std::u16string_view flagLine)
{
    // The list places its items as they are added: new texts go in afresh.
    const float s = screenMetrics().uiScale;
    leftPanel->clear();
    leftPanel->scrollY = 0.0f;
    briefingLabel = new SpriteLabel(1, std::u16string_view());
    if (briefingText >= 0)
        briefingLabel->setWrappedText(briefingText,
                                      static_cast<int>(panelSize - 20.0f * s - 2.0f * leftPanel->paddingX));
    leftPanel->placeItem(briefingLabel);
    leftPanel->placeItem(new MenuSpacer(10, static_cast<int>(6.0f * s)));
    flagLabel = new BriefingFlagLabel();
    flagLabel->visible = briefingText >= 0;
    leftPanel->placeItem(flagLabel);
    // Sized after placing: the list measures its items again as it places them.
    flagLabel->set(flagFrame, flagLine, leftPanel->width - 2 * leftPanel->paddingX - static_cast<int>(10.0f * s));
}

int BriefingMenuFrame::checkedDifficulty() const
{
    if (difficultyBoxes[2]->checked)
        return 2;
    if (difficultyBoxes[0]->checked)
        return 0;
    return 1;
}

std::string BriefingMenuFrame::checkpointName(const MapInfoCfg& record, int difficulty)
{
    char name[64];
    std::snprintf(name, sizeof name, "missionSavc%dm%d_%d.sav", record.campaign_id, record.index, difficulty);
    return name;
}

void BriefingMenuFrame::updateResume(int difficulty)
{
    const bool shown = m_mission && fileExists(checkpointName(*m_mission, difficulty));
    resumeButton->visible = shown;
    resumeButton->enabled = shown;
}

void BriefingMenuFrame::onDifficultyChecked(int box)
{
    for (int i = 0; i < 3; ++i)
        if (i != box)
            difficultyBoxes[i]->checked = false;
    gameChoices().nextDifficulty = checkedDifficulty();
    if (m_mission)
        updateResume(gameChoices().nextDifficulty);
}

void BriefingMenuFrame::onDifficultyUnchecked(int box)
{
    // A checked box stays checked: one difficulty is always chosen.
    difficultyBoxes[box]->checked = true;
    gameChoices().nextDifficulty = checkedDifficulty();
}

void BriefingMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;
    m_shown = true;

    const int saved = clampDifficulty(settings().savedDifficulty);
    for (int i = 0; i < 3; ++i)
        difficultyBoxes[i]->checked = i == saved;
    gameChoices().nextDifficulty = saved;

    m_map.reset();
    if (m_mission) {
        updateResume(saved);
        std::u16string planeName;
        if (!m_mission->preferedPlane.empty())
            if (const PlaneCfg* plane = PlaneList::instance().findByName(m_mission->preferedPlane))
                planeName = utf8ToWide(plane->fullname);
        char16_t line[160];
        // The label's text carries its language's colon. The text already
        // stands clear of the flag, so it starts with no space of its own (a
        // wrapped name's second line then lines up with the first), and a
        // full-width colon carries its own gap before the name.
        const std::u16string& label = getStringByIndex(kPlaneString);
        const bool wideColon = !label.empty() && label.back() == u'\uFF1A';
        wideFormatW(line, 160, wideColon ? u"%w%s" : u"%w %s", label, planeName);
        fillLeftPanel(m_mission->briefingId > 0 ? m_mission->briefingId : -1,
                      BriefingMapMenu::flagFrameOfCode(m_mission->teamFriend.c_str()), line);

        // A mission without its map sheet or picture shows an empty panel.
        const int inset = 10;
        auto map = std::make_unique<BriefingMapMenu>();
        const int campaign = m_mission->campaign_id >= 0 ? m_mission->campaign_id : gameChoices().currentCampaign;
        if (map->setup(campaign, m_mission->index, static_cast<int>(rightPanel->offsetX) + inset,
                       static_cast<int>(rightPanel->offsetY) + inset, panelSize - 2 * inset,
                       panelSize - 2 * inset))
            m_map = std::move(map);
    } else {
        resumeButton->visible = false;
        resumeButton->enabled = false;
        fillLeftPanel(-1, 0, std::u16string_view());
    }

    layout(0, 0);
    placeButtons();
    layout(0, 0);
    rebuildConnectorLines();
    focusedItem = flyButton;
    rebuildFocusLinks();
    focusedItem = flyButton;
}

void BriefingMenuFrame::rebuildConnectorLines()
{
    connectorLines.clear();
    const int midY = titleLabel->absY + titleLabel->height / 2;
    connectorLines.push_back({titleLabel->absX, midY, leftPanel->absX + leftPanel->width / 2, leftPanel->absY});
    connectorLines.push_back(
        {titleLabel->absX + titleLabel->width, midY, rightPanel->absX + rightPanel->width / 2, rightPanel->absY});
}

void BriefingMenuFrame::draw()
{
    SceneMenuFrame::draw();
    if (m_map)
        m_map->draw();
}

void BriefingMenuFrame::update()
{
    SceneMenuFrame::update();
    if (m_map)
        m_map->update();
}

void BriefingMenuFrame::fly(int resume)
{
    if (!m_mission)
        return;
    GameChoices& choices = gameChoices();
    choices.selectedMission = m_mission->index;
    choices.resume = resume;
    const int campaign = m_mission->campaign_id >= 0 ? m_mission->campaign_id : choices.currentCampaign;
    const int difficulty = choices.nextDifficulty;
    const int mission = m_mission->index;
    logInfo("menus", "briefing: fly campaign %d mission %d difficulty %d resume %d", campaign, mission, difficulty,
            resume);
    Analytics::setMissionPlaneParams(campaign, mission, settings().localPlaneId);
    // The hide first: it drops the mission and the map, and the start may replace the screens.
    onHide();
    if (startMission)
        startMission(campaign, mission, difficulty, resume);
    else
        (void)startCampaignMission(campaign, mission, gameScreen(), difficulty, resume);
}

void BriefingMenuFrame::onFly()
{
    fly(0);
}

void BriefingMenuFrame::onFlyResume()
{
    fly(1);
}

void BriefingMenuFrame::onHide()
{
    // The page hides itself on fly and again when it leaves; only the first counts.
    if (!m_shown)
        return;
    m_shown = false;
    SceneMenuFrame::onHide();
    m_mission = nullptr;
    m_map.reset();
    settings().savedDifficulty = static_cast<std::uint8_t>(clampDifficulty(gameChoices().nextDifficulty));
    settings().save();
}
