#include "menus/frontend/DogFightsMenuFrame.h"

#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "modes/GameModeGlobals.h"
#include "modes/GameType.h"
#include "platform/Input.h"
#include "platform/Language.h"
#include "platform/Analytics.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteCounter.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

DogFightsMenuFrame* MenuFrameRegistry::dogFightsMenu()
{
    return slot<DogFightsMenuFrame>(Page::DogFights);
}

const std::array<DogFightsMenuFrame::Challenge, DogFightsMenuFrame::kChallengeCount> DogFightsMenuFrame::kChallenges = {{
    {2, 40, 0, 1, 1, 0},
    {3, 40, 0, 1, 1, 1},
    {4, 40, 1, 1, 1, 2},
    {2, 75, 0, 1, 1, 3},
    {3, 75, 0, 1, 1, 4},
    {4, 75, 1, 1, 1, 0},
    {5, 75, 2, 1, 1, 1},
    {2, 100, 0, 1, 1, 2},
    {3, 100, 0, 1, 1, 3},
    {4, 100, 1, 1, 1, 4},
    {5, 100, 2, 1, 1, 2},
    {6, 100, 2, 1, 1, 3},
    {7, 100, 2, 1, 1, 3},
}};
const std::array<int, DogFightsMenuFrame::kChallengeCount> DogFightsMenuFrame::kGoals = {
    50, 100, 175, 75, 175, 300, 400, 150, 400, 800, 1200, 1500, 3000};

// ---- DogFightEntry ----

DogFightEntry::DogFightEntry(int index, int slot) : SpriteButton(BaseOnly{}, 0), challenge(index), mapSlot(slot)
{
    const DogFightsMenuFrame::Challenge& row = DogFightsMenuFrame::kChallenges[static_cast<std::size_t>(index)];
    enemies = row.enemies;
    skill = row.skillPercent / 100.0f;
    third = row.third;
    fourth = row.fourth;
    fifth = row.fifth;
    goal = DogFightsMenuFrame::kGoals[static_cast<std::size_t>(index)];
    map = MapLists::instance().skirmishMap(mapSlot);
    const int set = map && !map->menuSprite.empty() ? spriteSetByName(map->menuSprite) : -1;
    picture = getSprite(set >= 0 ? set : kFallbackSet);
    // Without a record the fallback set's own first picture stands in.
    pictureFrame = map ? map->menuFrame : 0;
    sprite = picture;
    frame = pictureFrame;
    int w = 0, h = 0;
    picture->frameBounds(pictureFrame, w, h);
    width = w;
    height = h;
    focusable = true;
    interactive = true;
    drawsOwnFocusBox = false;
    onClick = [] {};
}

bool DogFightEntry::locked() const
{
    return !map || challenge > settings().dogfightsUnlocked;
}

float DogFightEntry::skillBarWidth(float value, float barWidth)
{
    return std::clamp((value - 0.3f) * barWidth / 0.6f, 0.0f, barWidth);
}

void DogFightEntry::draw()
{
    if (!visible || !picture)
        return;
    const float s = screenMetrics().uiScale;
    const float x = static_cast<float>(absX), y = static_cast<float>(absY);
    const CSprite::Rect r = picture->frameRect(pictureFrame);
    picture->drawFrame(pictureFrame, x - r.x, y - r.y);
    CSprite* menus = getSprite(kSpriteSetMenus);
    if (locked()) {
        const CSprite::Rect lock = menus->frameRect(kLockFrame);
        menus->drawFrame(kLockFrame, x + 20.0f * s - lock.x, y + (height - lock.h) / 2.0f - lock.y);
    }
    if (menuFocusedItem() == this)
        menus->setColorBytes(255, 255, 255, 80);
    // The skill bar along the bottom, the enemies to its right.
    const CSprite::Rect bar = menus->frameRect(kEmptyBarFrame);
    const float barX = x + 10.0f * s, barY = y + height - bar.h - 10.0f * s;
    menus->drawFrame(kEmptyBarFrame, barX - bar.x, barY - bar.y);
    const CSprite::Rect full = menus->frameRect(kFullBarFrame);
    const float filled = skillBarWidth(skill, full.w);
    if (filled > 0.0f) {
        pushCropRect(barX, barY - full.h, filled, full.h * 3.0f);
        menus->drawFrame(kFullBarFrame, barX - full.x, barY - full.y);
        popCropRect();
    }
    const int completed = settings().dogfightsUnlocked;
    const int medal = challenge < completed ? settings().dogfightMedalAt(challenge) : 0;
    if (medal >= 1 && medal <= 3) {
        const CSprite::Rect m = menus->frameRect(kMedalFrameBase + medal);
        menus->drawFrame(kMedalFrameBase + medal, x + width - m.w - 10.0f * s - m.x, y + 10.0f * s - m.y);
    }
    CFont* font = getFont(2);
    const CSprite::Rect icon = menus->frameRect(kEnemyFrame);
    const float iconX = x + width - icon.w - 60.0f * s, iconY = barY + (bar.h - icon.h) / 2.0f;
    menus->drawFrame(kEnemyFrame, iconX - icon.x, iconY - icon.y);
    char16_t text[96];
    wideFormat(text, 96, "%d", enemies);
    drawText(font, text, iconX + icon.w + 25.0f * s, iconY + icon.h / 2.0f, CFont::kCentreX | CFont::kCentreY);
    if (goal < 2000)
        wideFormat(text, 96, "%w %d", getStringByIndex(kGoalString), goal);
    else
        wideFormat(text, 96, "%w", getStringByIndex(kTopGoalString));
    // The goal keeps to the card, left of a medal, and shrinks when longer.
    CFont* goalFont = getFont(1);
    float room = static_cast<float>(width) - 20.0f * s;
    if (medal >= 1 && medal <= 3)
        room -= menus->frameRect(kMedalFrameBase + medal).w + 10.0f * s;
    const float goalWidth = measureText(goalFont, text).width;
    const float fit = goalWidth > room && room > 0.0f ? room / goalWidth : 1.0f;
    if (goalFont && fit < 1.0f)
        goalFont->setScale(fit, fit);
    drawText(goalFont, text, x + 10.0f * s, y + 10.0f * s, 0);
    if (goalFont && fit < 1.0f)
        goalFont->setScale(1.0f, 1.0f);
    menus->setColorBytes(255, 255, 255, 255);
}

void DogFightEntry::writeParameters() const
{
    Settings& s = settings();
    s.dogfightIndex = challenge;
    s.dogfightSkill = skill;
    s.dogfightEnemyCount = enemies;
    s.dogfightMissileEnemies = third;
    s.dogfightParam4 = fourth;
    s.dogfightParam5 = fifth;
}

void DogFightEntry::start()
{
    writeParameters();
    Settings& s = settings();
    Analytics::setDogfightParams(challenge, s.localPlaneId);
    s.skirmishMap = mapSlot;
    s.skirmishType = static_cast<int>(GameType::Dogfight);
    gameChoices().nextDifficulty = 1;
    logInfo("menus", "dogfight %d on map %d", challenge, mapSlot);
    if (startGame) {
        startGame(mapSlot);
        return;
    }
    const GameStartResult result = createGame(static_cast<int>(GameType::Dogfight), false, mapSlot, gameScreen());
    if (result != GameStartResult::Started)
        logWarning("menus", "the dogfight did not start (%d)", static_cast<int>(result));
}

bool DogFightEntry::onTouchDown(int x, int y)
{
    // A locked card takes the touch without the pressed look.
    if (locked())
        return true;
    return SpriteButton::onTouchDown(x, y);
}

bool DogFightEntry::onTouchUp(int, int)
{
    pressed = false;
    if (locked())
        return true;
    // The card stands alone and never scrolls, so a press that began on it
    // starts its challenge wherever the finger comes up.
    playMenuSound(MenuSound::Click);
    start();
    return false;
}

void DogFightEntry::activate()
{
    if (locked())
        return;
    playMenuSound(MenuSound::Click);
    start();
}

// ---- DogFightsMenuFrame ----

DogFightsMenuFrame::DogFightsMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    if (ResizableButton* back = backButton()) {
        back->labelStringId = kBackString;
        back->updateLabel();
    }
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;

    for (int i = 0; i < kChallengeCount; ++i)
        cards[static_cast<std::size_t>(i)] = new DogFightEntry(i, kChallenges[static_cast<std::size_t>(i)].mapSlot);
    counter = new SpriteCounter();
    counter->titleStringId = kCounterString;
    counter->setTitle(getStringByIndex(kCounterString));
    counter->minimum = 1;
    counter->maximum = kChallengeCount;
    counter->value = 1;

    const int t = std::max(titleLabel->height, 1);
    const int cardW = cards[0]->width, cardH = cards[0]->height;
    panel = new MenuPanel(getSprite(kSpriteSetMenus), kPanelFrame, kLayoutStacked);
    panel->ninePatch = true;
    panel->anchorMode = kAnchorAbsolute;
    panel->width = 3 * t + counter->width + cardW;
    panel->height = std::max(cardH, counter->height) + 2 * t;
    panel->fixedSize = true;
    panel->touchMode = kTouchInside;
    const int titleBottom = titleLabel->y + titleLabel->height;
    panel->offsetX = static_cast<float>((m.screenWidth - panel->width) / 2);
    panel->offsetY = static_cast<float>(titleBottom + (m.screenHeight - titleBottom - panel->height) / 3);
    addItem(panel);
    for (DogFightEntry* card : cards) {
        card->anchorMode = kAnchorParent;
        card->offsetX = static_cast<float>(t);
        card->offsetY = static_cast<float>(t);
        card->visible = false;
        card->enabled = false;
        panel->addItem(card);
    }
    counter->anchorMode = kAnchorAbsolute;
    counter->alignment = kAlignLeft | kAlignCentreY;
    counter->offsetX = panel->offsetX + static_cast<float>(2 * t + cardW);
    counter->offsetY = panel->offsetY + panel->height / 2.0f;
    addItem(counter);
    layout(0, 0);
}

int DogFightsMenuFrame::counterValue() const
{
    return std::clamp(counter->value, 1, kChallengeCount);
}

void DogFightsMenuFrame::showCard(int index)
{
    for (DogFightEntry* card : cards) {
        card->visible = false;
        card->enabled = false;
        card->focusable = false;
    }
    shown = std::clamp(index, 0, kChallengeCount - 1);
    DogFightEntry* card = shownCard();
    card->visible = true;
    card->enabled = true;
    card->focusable = true;
}

void DogFightsMenuFrame::onShow()
{
    counter->setTitle(getStringByIndex(kCounterString));
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;
    counter->value = std::clamp(settings().dogfightsUnlocked + 1, 1, kChallengeCount);
    counter->dragOffset = 0.0f;
    showCard(counter->value - 1);
    counter->visible = true;
    counter->enabled = true;
    layout(0, 0);
    rebuildConnectorLines();
    rebuildFocusLinks();
}

void DogFightsMenuFrame::update()
{
    SceneMenuFrame::update();
    const auto& keys = input().keys();
    // Held keys move the counter once per press.
    if (keys.pressed(Input::kKeyDown))
        counter->value = std::min(counter->value + 1, kChallengeCount);
    if (keys.pressed(Input::kKeyUp))
        counter->value = std::max(counter->value - 1, 1);
    const int wanted = counterValue() - 1;
    if (wanted != shown) {
        const bool hadFocus = focusedItem == shownCard();
        showCard(wanted);
        rebuildFocusLinks();
        if (hadFocus)
            focusedItem = shownCard();
    }
}

bool DogFightsMenuFrame::onEscape()
{
    shownCard()->writeParameters();
    return false;
}

void DogFightsMenuFrame::rebuildConnectorLines()
{
    connectorLines.clear();
    const int midY = titleLabel->absY + titleLabel->height / 2;
    connectorLines.push_back({titleLabel->absX, midY, panel->absX + panel->width / 4, panel->absY});
    connectorLines.push_back(
        {titleLabel->absX + titleLabel->width, midY, panel->absX + 3 * panel->width / 4, panel->absY});
}
