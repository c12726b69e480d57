#include "menus/frontend/HowToPlayMenuFrame.h"

#include "modes/progress/ScoreMgr.h"
#include "platform/Controls.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {
constexpr int kEjectText = 819, kEjectTail = 820, kAutopilotText = 777, kSquadronText = 823;
constexpr int kBackgroundFrame = 0;
constexpr float kRimMargin = 12.0f;

bool besidePicture(int textId)
{
    return textId == 834 || textId == 835 || textId == 841 || textId == 842;
}

std::u16string bindingOf(ControlAction action)
{
    std::u16string text;
    (void)controls().getActionBindingText(static_cast<int>(action), text);
    return text;
}
}  // namespace

std::u16string fillHelpText(std::u16string_view format, std::u16string_view binding)
{
    std::u16string out;
    bool filled = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool slot = format[i] == u'%' && i + 1 < format.size() && (format[i + 1] == u's' || format[i + 1] == u'w');
        if (slot && !filled) {
            out += binding;
            filled = true;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

Color4 helpPictureTint(int colour)
{
    // Every picture of the table carries 0, which as a tint would draw it as a
    // black shape: no colour means the picture's own colours.
    if ((colour & 0xFFFFFF) == 0)
        return Color4{255, 255, 255, 255};
    return Color4{static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                  static_cast<std::uint8_t>((colour >> 16) & 0xFF), 255};
}

std::u16string HowToPlayMenuFrame::helpText(int textId)
{
    switch (textId) {
    case kEjectText:
        return fillHelpText(getStringByIndex(kEjectText), bindingOf(ControlAction::Eject)) + getStringByIndex(kEjectTail);
    case kAutopilotText:
        return fillHelpText(getStringByIndex(kAutopilotText), bindingOf(ControlAction::Autopilot));
    case kSquadronText:
        return fillHelpText(getStringByIndex(kSquadronText), bindingOf(ControlAction::Squadron_Cmd));
    default:
        return getStringByIndex(textId);
    }
}

HowToPlayMenuFrame::HowToPlayMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth, H = m.screenHeight;
    if (titleLabel) {
        titleLabel->stringId = kTitleString;
        titleLabel->updateSize();
    }
    if (backButton()) {
        backButton()->visible = true;
        backButton()->labelStringId = kBackString;
        backButton()->updateLabel();
    }
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    pager = new HMenuItemsSlider();
    pager->anchorMode = kAnchorAbsolute;
    pager->fixedSize = true;
    pager->width = static_cast<int>(0.85f * W);
    pager->x = (W - pager->width) / 2;
    const int titleTop = titleLabel ? titleLabel->y : 0;
    const int titleHeight = titleLabel ? titleLabel->height : 0;
    pager->y = titleTop + 2 * titleHeight + (H >= 768 ? static_cast<int>(20 * s) : 0);
    // The pages and their background end above the page dots, which would
    // otherwise lie over the last lines.
    const int dotsTop = static_cast<int>(H - 60 * s);
    pager->height = std::min(static_cast<int>(H - 197 * s), dotsTop - static_cast<int>(8 * s) - pager->y);
    pager->spacing = 0;
    pager->onSnapped = [this] { onPageChanged(pager->reportedIndex()); };
    auto* background = new MenuPanel(getSprite(kSpriteSetMenus), kBackgroundFrame, kLayoutStacked);
    background->ninePatch = true;
    background->anchorMode = kAnchorAbsolute;
    background->fixedSize = true;
    background->width = static_cast<int>(0.87f * W);
    background->height = pager->height;
    background->offsetX = static_cast<float>((W - background->width) / 2);
    background->offsetY = static_cast<float>(pager->y);
    addItem(background);
    // The pages keep their texts to the background the player sees.
    pager->textFrame = background;
    addItem(pager);
    pageIndicator = new SpritePageIndicator(static_cast<int>(16 * m.screenScaleX), 1);
    pageIndicator->anchorMode = kAnchorAbsolute;
    pageIndicator->alignment = kAlignCentreX | kAlignTop;
    pageIndicator->offsetX = W / 2.0f;
    pageIndicator->offsetY = H - 60 * s;
    pageIndicator->focusable = true;
    pageIndicator->onPrevious = [this] { pager->prevPage(); };
    pageIndicator->onNext = [this] { pager->nextPage(); };
    addItem(pageIndicator);
    focusedItem = pageIndicator;
    buildPages();
    builtLanguage = currentLanguage();
    if (backButton()) {
        giveInputPriority(backButton());
        bringToFront(backButton());
    }
    layout(absX, absY);
}

MenuPanel* HowToPlayMenuFrame::newHelpPage()
{
    const ScreenMetrics& m = screenMetrics();
    auto* page = new MenuPanel(kLayoutList, pager->width, pager->height, nullptr);
    page->fixedSize = true;
    page->touchMode = kTouchInside;
    page->childAlignment = kChildLeft;
    page->spacing = 0;
    page->paddingX = static_cast<int>(0.075f * m.screenWidth);
    page->setScrollBar(115, -7 * m.uiScale, -7 * m.uiScale);
    pager->addItemWithIndex(page, pageCount++);
    m_besideBottom = m_besideWidth = 0;
    return page;
}

void HowToPlayMenuFrame::placeOnPage(MenuItem* item, int placement)
{
    const ScreenMetrics& m = screenMetrics();
    if (placement == 0) {
        currentPage->placeItem(item);
        return;
    }
    // A line of the flow as wide as the text column holds the item at its
    // side; a right-hand picture takes no height, so the texts after it run
    // beside it.
    const int lineWidth = pager->width - 2 * currentPage->paddingX;
    auto* line = new MenuPanel(kLayoutStacked, lineWidth, placement == 3 ? 0 : item->height, nullptr);
    line->fixedSize = true;
    // A right-hand line is flat: it must not clip (or skip) the picture that
    // hangs below it; the page still clips.
    line->touchMode = placement == 3 ? kTouchPage : kTouchInside;
    item->anchorMode = kAnchorParent;
    item->offsetY = 0.0f;
    if (placement == 1)
        item->offsetX = 0.0f;
    else if (placement == 2)
        item->offsetX = (lineWidth - item->width) / 2.0f;
    else
        item->offsetX = static_cast<float>(lineWidth - item->width);
    line->addItem(item);
    if (placement == 3) {
        m_besideBottom = currentPage->contentHeight + item->height;
        m_besideWidth = item->width;
    }
    currentPage->placeItem(line);
    if (placement != 3)
        currentPage->placeItem(new MenuSpacer(static_cast<int>(10 * m.uiScale), static_cast<int>(0.66f * item->height)));
}

MenuItem* HowToPlayMenuFrame::buildPageItem(const HelpRecord& record)
{
    const ScreenMetrics& m = screenMetrics();
    switch (record.kind) {
    case HelpRecord::Kind::Text: {
        int wrap = static_cast<int>(0.8f * m.screenWidth);
        if (besidePicture(record.textId))
            wrap -= static_cast<int>(20 * m.uiScale);
        wrap = std::min(wrap, pager->width - 2 * static_cast<int>(0.075f * m.screenWidth));
        // A text that starts beside a right-hand picture runs short of it
        // rather than under it.
        if (currentPage && currentPage->contentHeight < m_besideBottom)
            wrap = std::min(wrap, pager->width - 2 * currentPage->paddingX - m_besideWidth -
                                      static_cast<int>(20 * m.uiScale));
        auto* label = new SpriteLabel(record.font, wrap, nullptr, helpText(record.textId));
        label->textOffsetX += static_cast<int>(10 * m.uiScale);
        label->alignment = kAlignLeft | kAlignTop;
        return label;
    }
    case HelpRecord::Kind::Picture: {
        auto* picture = new SpriteButton(record.spriteSet, record.spriteFrame, record.font, 0);
        picture->alignment = kAlignLeft | kAlignTop;
        picture->enabled = false;
        picture->color = helpPictureTint(record.colour);
        return picture;
    }
    case HelpRecord::Kind::Spacer:
        return new MenuSpacer(static_cast<int>(100 * m.screenScaleX), static_cast<int>(20 * m.screenScaleY));
    case HelpRecord::Kind::PageBreak:
        break;
    }
    return nullptr;
}

void HowToPlayMenuFrame::buildRankPage(int p)
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth;
    auto* page = new MenuPanel(kLayoutStacked, pager->width, pager->height, nullptr);
    page->fixedSize = true;
    pager->addItemWithIndex(page, pageCount++);
    // Centred on the pager, which sits centred on the screen.
    const float mid = pager->width / 2.0f;
    auto addCentred = [page](MenuItem* item, float cx, float cy) {
        item->anchorMode = kAnchorParent;
        item->offsetX = cx - item->width / 2.0f;
        item->offsetY = cy - item->height / 2.0f;
        page->addItem(item);
    };
    addCentred(new SpriteLabel(1, kRankTitleBase + p), mid, 40 * s);
    const int cellGap = static_cast<int>(0.3f * W);
    for (int k = 0; k < 6; ++k) {
        const int rank = 6 * p + k;
        if (rank >= static_cast<int>(kRankThresholds.size()))
            break;
        const float cx = mid + (k % 3 - 1) * cellGap;
        const float cy = 110 * s + (k / 3) * 150 * s;
        auto* insignia = new SpriteButton(kRankSheet, kInsigniaBase + rank, 1, 0);
        insignia->enabled = false;
        addCentred(insignia, cx, cy);
        addCentred(new SpriteLabel(1, kRankNameBase + rank), cx, cy + 60 * s);
        if (kRankThresholds[rank] != 0)
            addCentred(new SpriteLabel(1, utf8ToWide(std::to_string(kRankThresholds[rank]) + " pts.")), cx, cy + 90 * s);
    }
}

void HowToPlayMenuFrame::buildPages()
{
    pageCount = 0;
    currentPage = newHelpPage();
    for (const HelpRecord& record : helpTable()) {
        if (record.kind == HelpRecord::Kind::PageBreak) {
            fitPage(*currentPage);
            currentPage = newHelpPage();
            continue;
        }
        if (MenuItem* item = buildPageItem(record))
            placeOnPage(item, record.placement);
    }
    fitPage(*currentPage);
    for (int p = 0; p < kRankPageCount; ++p)
        buildRankPage(p);
    const int spacing = static_cast<int>(16 * screenMetrics().screenScaleX);
    pageIndicator->setPageCount(pageCount, spacing);
    pageIndicator->currentPage = 0;
    pager->scrollToIndex(0);
    pager->layout(absX, absY);
    layout(absX, absY);
}

void HowToPlayMenuFrame::fitPage(MenuPanel& page)
{
    page.layout(page.absX, page.absY);
    // The last line keeps clear of the background's rounded rim.
    const int rim = static_cast<int>(kRimMargin * screenMetrics().uiScale);
    const int over = page.contentHeight + rim - page.height;
    if (over <= 0)
        return;
    // The gaps between paragraphs give way first, down to a quarter of their
    // height; a page still too long scrolls.
    std::vector<MenuSpacer*> spacers;
    int room = 0;
    for (int i = 0; i < page.itemCount(); ++i) {
        if (auto* spacer = dynamic_cast<MenuSpacer*>(page.itemAt(i)); spacer && spacer->visible) {
            spacers.push_back(spacer);
            room += spacer->height - spacer->height / 4;
        }
    }
    if (room <= 0)
        return;
    std::vector<int> heights;
    for (MenuSpacer* spacer : spacers)
        heights.push_back(spacer->height);
    const float take = std::min(1.0f, static_cast<float>(over) / static_cast<float>(room));
    for (MenuSpacer* spacer : spacers)
        spacer->height -= static_cast<int>(std::ceil(static_cast<float>(spacer->height - spacer->height / 4) * take));
    page.layout(page.absX, page.absY);
    // A right-hand picture hangs below its flat line: closer paragraphs must
    // not bring the next one up onto it. Such a page scrolls instead.
    int hangingBottom = INT_MIN;
    for (int i = 0; i < page.itemCount(); ++i) {
        auto* line = dynamic_cast<MenuPanel*>(page.itemAt(i));
        if (!line || line->height != 0 || line->itemCount() == 0)
            continue;
        const MenuItem* picture = line->itemAt(0);
        if (picture->absY < hangingBottom) {
            for (std::size_t k = 0; k < spacers.size(); ++k)
                spacers[k]->height = heights[k];
            page.layout(page.absX, page.absY);
            return;
        }
        hangingBottom = picture->absY + picture->height;
    }
}

void HowToPlayMenuFrame::onPageChanged(int page)
{
    if (page >= 0 && page < pageIndicator->pageCount)
        pageIndicator->currentPage = page;
}

void HowToPlayMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    if (currentLanguage() != builtLanguage) {
        builtLanguage = currentLanguage();
        pager->clear();
        buildPages();
        if (backButton())
            giveInputPriority(backButton());
        layout(absX, absY);
    }
    rebuildConnectorLines();
    rebuildFocusLinks();
    focusedItem = pageIndicator;
}

void HowToPlayMenuFrame::rebuildConnectorLines()
{
    SceneMenuFrame::rebuildConnectorLines();
    if (!titleLabel)
        return;
    const int T = titleLabel->absY + titleLabel->height / 2;
    const int left = pager->x, top = pager->y;
    connectorLines.push_back({titleLabel->absX, T, left + pager->width / 4, top, true, 0});
    connectorLines.push_back({titleLabel->absX + titleLabel->width, T, left + 3 * pager->width / 4, top, true, 0});
}
