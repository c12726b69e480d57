#include "menus/frontend/CampaignMenuFrame.h"

#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/BriefingMenuFrame.h"
#include "modes/GameModeGlobals.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/TextFitLog.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <array>
#include <cstdlib>

CampaignMenuFrame* MenuFrameRegistry::campaignMenu()
{
    return slot<CampaignMenuFrame>(Page::Campaign);
}

namespace {
int textIdOf(const std::string& key)
{
    return key.empty() ? -1 : findStringTable().findId(key);
}
}  // namespace

// ---- CampaignMenuEntry ----

CampaignMenuEntry::CampaignMenuEntry(const MapInfoCfg& mission, int slotIndex)
    : SpriteButton(BaseOnly{}, 0), record(mission), slot(slotIndex)
{
    const int set = mission.menuSprite.empty() ? -1 : spriteSetByName(mission.menuSprite);
    picture = getSprite(set >= 0 ? set : kFallbackSet);
    pictureFrame = mission.menuFrame;
    sprite = picture;
    frame = pictureFrame;
    int w = 0, h = 0;
    picture->frameBounds(pictureFrame, w, h);
    width = w;
    height = h;
    titleId = textIdOf(mission.title);
    descriptionId = textIdOf(mission.description);
    focusable = true;
    interactive = true;
    drawsOwnFocusBox = true;
    // A locked card still clicks.
    onClick = [] {};
}

int CampaignMenuEntry::medalAt(int campaign, int mission, int difficulty)
{
    const std::uint32_t result = settings().campaignResultAt(campaign, mission);
    // Bytes: normal, hard, easy.
    const int shift = difficulty == 1 ? 0 : difficulty == 2 ? 8 : difficulty == 0 ? 16 : -1;
    if (shift < 0)
        return 0;
    const int medal = static_cast<int>((result >> shift) & 0xFFu);
    return medal >= 1 && medal <= 3 ? medal : 0;
}

void CampaignMenuEntry::draw()
{
    if (!visible || !picture)
        return;
    const float s = screenMetrics().uiScale;
    if (menuFocusedItem() == this) {
        const std::uint8_t pulse = focusPulseLevel();
        picture->setColorBytes(255, pulse, pulse, 255);
    }
    const float x = static_cast<float>(absX), y = static_cast<float>(absY);
    const CSprite::Rect r = picture->frameRect(pictureFrame);
    picture->drawFrame(pictureFrame, x - r.x, y - r.y);
    picture->setColorBytes(255, 255, 255, 255);

    CFont* font = getFont(kFont);
    const Header top = header();
    // The texts keep to the card's dark upper band; the picture lies below it.
    const TextFrameScope band(x, y, static_cast<float>(width), static_cast<float>(height) * kTextBandShare,
                              "CampaignMenuEntry text band");
    drawText(font, top.number, x + top.numberX, y + top.y, CFont::kCentreY);
    if (font && top.titleScale != 1.0f)
        font->setScale(top.titleScale, top.titleScale);
    drawText(font, getStringByIndex(titleId < 0 ? -1 : titleId), x + top.titleX, y + top.y, CFont::kCentreY);
    if (font)
        font->setScale(1.0f, 1.0f);
    drawText(font, description(), x + 20.0f * s, y + 60.0f * s, 0);

    CSprite* menus = getSprite(kSpriteSetMenus);
    const float right = x + static_cast<float>(width), bottom = y + static_cast<float>(height);
    if (!locked) {
        const int medal = medalAt(record.campaign_id, slot, settings().savedDifficulty);
        if (medal != 0) {
            const CSprite::Rect back = menus->frameRect(kMedalBackFrame);
            const float bx = right - back.w - 20.0f * s, by = bottom - back.h - 20.0f * s;
            menus->drawFrame(kMedalBackFrame, bx - back.x, by - back.y);
            const CSprite::Rect m = menus->frameRect(kMedalFrameBase + medal);
            menus->drawFrame(kMedalFrameBase + medal, bx + (back.w - m.w) / 2.0f - m.x,
                             by + (back.h - m.h) / 2.0f - m.y);
        }
    } else {
        const CSprite::Rect lock = menus->frameRect(kLockFrame);
        menus->drawFrame(kLockFrame, right - 70.0f * s - lock.x, bottom - lock.h - 20.0f * s - lock.y);
    }
}

CampaignMenuEntry::Header CampaignMenuEntry::header() const
{
    const float s = screenMetrics().uiScale;
    const CFont* font = getFont(kFont);
    Header top;
    char16_t number[64];
    wideFormat(number, 64, "%w %d:", getStringByIndex(kNumberString), record.index + 1);
    top.number = number;
    top.numberX = 20.0f * s;
    top.numberWidth = measureText(font, top.number).width;
    top.y = 30.0f * s;
    // The title keeps its column unless a long number would meet it.
    top.titleX = std::max(130.0f * s, top.numberX + top.numberWidth + 12.0f * s);
    const float room = static_cast<float>(width) - 20.0f * s - top.titleX;
    const float full = measureText(font, getStringByIndex(titleId < 0 ? -1 : titleId)).width;
    if (full > room && full > 0.0f)
        top.titleScale = std::max(room, 0.0f) / full;
    top.titleWidth = full * top.titleScale;
    return top;
}

const std::u16string& CampaignMenuEntry::description()
{
    const int language = currentLanguage();
    if (m_descriptionLanguage != language) {
        m_descriptionLanguage = language;
        const float s = screenMetrics().uiScale;
        std::array<char16_t, 1024> wrapped{};
        drawTextWrapped(getFont(kFont), descriptionId < 0 ? -1 : descriptionId, static_cast<float>(width) - 40.0f * s,
                        wrapped);
        m_description = wrapped.data();
    }
    return m_description;
}

void CampaignMenuEntry::openMission()
{
    if (locked)
        return;
    if (openBriefing) {
        openBriefing(record);
        return;
    }
    BriefingMenuFrame* briefing = MenuFrameRegistry::briefingMenu();
    if (!briefing)
        return;
    briefing->setMission(&record);
    goToFrame(briefing);
}

bool CampaignMenuEntry::onTouchUp(int x, int y)
{
    const bool unmoved = absX == pressX && absY == pressY;
    pressed = false;
    if (!unmoved)
        return false;
    openMission();
    if (contains(x, y, 10.0f)) {
        fire();
        return true;
    }
    return false;
}

void CampaignMenuEntry::activate()
{
    openMission();
}

// ---- CampaignMenuFrame ----

CampaignMenuFrame::CampaignMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    if (ResizableButton* back = backButton()) {
        back->labelStringId = kBackString;
        back->updateLabel();
    }
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;

    row = new MenuPanel(kLayoutRow);
    row->anchorMode = kAnchorAbsolute;
    row->offsetX = 0.0f;
    row->width = m.screenWidth;
    row->fixedSize = true;
    row->spacing = static_cast<int>(20.0f * m.screenScaleX);
    row->paddingX = static_cast<int>(160.0f * s);
    row->touchMode = kTouchList;
    row->kinetic = true;
    int cardW = 0, cardH = 0;
    getSprite(CampaignMenuEntry::kFallbackSet)->frameBounds(0, cardW, cardH);
    row->height = std::max(cardH, static_cast<int>(200.0f * s));
    const int titleBottom = titleLabel->y + titleLabel->height;
    // A row places its cards from its own position, not from an offset.
    row->y = titleBottom + (m.screenHeight - titleBottom - row->height) / 2 - static_cast<int>(10.0f * s);
    addItem(row);
    row->placeItem(new MenuSpacer(1, 1));
    row->placeItem(new MenuSpacer(1, 1));

    indicator = new SpritePageIndicator(static_cast<int>(16.0f * m.screenScaleX), 1);
    indicator->anchorMode = kAnchorAbsolute;
    indicator->alignment = kAlignCentreX | kAlignTop;
    indicator->focusable = true;
    indicator->offsetX = m.screenWidth / 2.0f;
    indicator->offsetY = static_cast<float>(row->y + row->height) + 5.0f * s;
    indicator->onPrevious = [this] { scrollLeft(); };
    indicator->onNext = [this] { scrollRight(); };
    addItem(indicator);
    layout(0, 0);
}

void CampaignMenuFrame::setCampaign(int index)
{
    campaign = std::clamp(index, 0, MapLists::kCampaigns - 1);
    gameChoices().currentCampaign = campaign;
}

void CampaignMenuFrame::scrollRight()
{
    pendingScroll = kScrollSteps;
}

void CampaignMenuFrame::scrollLeft()
{
    pendingScroll = -kScrollSteps;
}

bool CampaignMenuFrame::missionOpen(int campaignIndex, int mission)
{
    if (mission < 0 || mission >= Settings::kMissionsPerCampaign)
        return false;
    return settings().campaignProgressAt(campaignIndex, mission) != 0;
}

void CampaignMenuFrame::onShow()
{
    titleLabel->stringId = kCampaignTitleBase + campaign;
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    bottomPanel->visible = false;
    bottomPanel->enabled = false;

    row->clear();
    entries.clear();
    row->scrollX = 0.0f;
    row->scrollToXActive = false;
    pendingScroll = 0;
    const MapLists& lists = MapLists::instance();
    highestOpen = -1;
    CampaignMenuEntry* focus = nullptr;
    // Every slot is looked at: counting only the filled ones would drop the
    // last missions of a list with a gap.
    for (int i = 0; i < MapLists::kSlots; ++i) {
        const MapInfoCfg* record = lists.campaignMission(campaign, i);
        if (!record)
            continue;
        auto* entry = new CampaignMenuEntry(*record, i);
        // Each card reads its own mission's flag, whatever slots stay empty before it.
        entry->locked = !missionOpen(campaign, i);
        if (!entry->locked) {
            highestOpen = i;
            focus = entry;
        }
        row->placeItem(entry);
        entries.push_back(entry);
    }
    if (!focus && !entries.empty())
        focus = entries.front();
    layout(0, 0);
    indicator->setPageCount(std::max(1, static_cast<int>(entries.size())), indicator->spacing);
    const auto at = std::find(entries.begin(), entries.end(), focus);
    indicator->currentPage = at == entries.end() ? 0 : static_cast<int>(at - entries.begin());
    if (focus) {
        focusedItem = focus;
        row->scrollToItem(focus);
    }
    rebuildFocusLinks();
    if (focus)
        focusedItem = focus;
    m_dotsScrollX = row->scrollX;
}

void CampaignMenuFrame::onHide()
{
    SceneMenuFrame::onHide();
}

void CampaignMenuFrame::stepPendingScroll()
{
    if (pendingScroll == 0)
        return;
    const int direction = pendingScroll > 0 ? 1 : -1;
    MenuItem* first = row->itemAt(0);
    if (first) {
        const float step = static_cast<float>(first->width) / 10.0f;
        const float leftmost = std::min(0.0f, static_cast<float>(row->width - row->contentWidth));
        // The limit ahead in the direction of travel; the offset never leaves [leftmost, 0].
        if (direction > 0 && row->scrollX > leftmost)
            row->scrollX = std::max(row->scrollX - step, leftmost);
        else if (direction < 0 && row->scrollX < 0.0f)
            row->scrollX = std::min(row->scrollX + step, 0.0f);
        row->scrollToXActive = false;
    }
    pendingScroll -= direction;
}

void CampaignMenuFrame::update()
{
    stepPendingScroll();
    row->layout(row->absX, row->absY);
    MenuContainer::update();
    followRowWithDots();
}

int CampaignMenuFrame::cardAtMiddle() const
{
    const int middle = row->absX + row->width / 2;
    int best = -1, bestDistance = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int distance = std::abs(entries[i]->absX + entries[i]->width / 2 - middle);
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

void CampaignMenuFrame::followRowWithDots()
{
    // While the row glides to a focused card the dots wait for it to arrive.
    if (row->scrollToXActive || row->scrollX == m_dotsScrollX)
        return;
    m_dotsScrollX = row->scrollX;
    row->layout(row->absX, row->absY);
    const int card = cardAtMiddle();
    if (card < 0 || card == indicator->currentPage)
        return;
    indicator->currentPage = card;
    logInfo("menus", "mission dots on card %d", card);
}
