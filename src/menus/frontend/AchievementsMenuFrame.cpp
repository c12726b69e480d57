#include "menus/frontend/AchievementsMenuFrame.h"

#include "modes/progress/Achievements.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <initializer_list>

namespace {
constexpr int kSwappedNames[2] = {277, 278};

struct Collection {
    int index;
    std::vector<int> members;
};

const std::vector<Collection>& collections()
{
    static const std::vector<Collection> table = [] {
        std::vector<Collection> list = {
            {92, {59, 70, 78, 83, 90}},
            {93, {60, 69, 77, 91}},
            {94, {56, 58, 64, 65, 66, 67, 76, 79, 80, 81, 84, 86, 87, 89}},
            {95, {55, 63, 88}},
            {96, {57, 74, 75}},
            {97, {71, 72, 73}},
            {98, {}},
        };
        for (int i = 53; i <= 97; ++i)
            list.back().members.push_back(i);
        return list;
    }();
    return table;
}
}  // namespace

AchItem::AchItem(const KTAchievement& shown, int name, int rowWidth) : achievement(shown), nameString(name)
{
    width = rowWidth;
    height = AchievementsMenuFrame::rowHeight();
    // The name takes the row right of the icon, with the icon's gap kept at
    // the far end too; a long one goes on over more lines.
    const float s = screenMetrics().uiScale;
    const float room = width - getSprite(kSheet)->frameRect(kLockedFrame).w - 2 * kTextGap * s;
    const std::u16string& text = getStringByIndex(nameString);
    std::u16string wrapped(text.size() * 2 + 1, u'\0');
    drawTextWrapped(getFont(1), text, std::max(room, 1.0f), wrapped);
    shownName.assign(wrapped.c_str());
}

bool AchItem::showsBar() const
{
    return !achievement.done && achievement.progress() > 0.0f;
}

void AchItem::draw()
{
    if (!visible)
        return;
    CSprite* sheet = getSprite(kSheet);
    const float s = screenMetrics().uiScale;
    const CSprite::Rect lockRect = sheet->frameRect(kLockedFrame);
    const float iconX = static_cast<float>(absX), iconY = static_cast<float>(absY);
    if (achievement.done) {
        sheet->drawFrame(achievement.index + kIconBase, iconX - lockRect.x, iconY - lockRect.y);
    } else {
        sheet->drawFrame(kLockedFrame, iconX - lockRect.x, iconY - lockRect.y);
        if (showsBar()) {
            const CSprite::Rect bar = sheet->frameRect(kBarFrame);
            const CSprite::Rect fill = sheet->frameRect(kFillFrame);
            const float bx = absX + (width - bar.w) / 2.0f;
            const float by = absY + 0.8f * height;
            sheet->drawFrame(kBarFrame, bx - bar.x, by - bar.y);
            const float fx = bx + 2 * s, fy = by + 2 * s;
            // Cut on the CPU: the row's column keeps its own clip, and the
            // fill joins the icons' draw.
            pushCropRect(fx, fy, fill.w * std::clamp(achievement.progress(), 0.0f, 1.0f), fill.h);
            sheet->drawFrame(kFillFrame, fx - fill.x, fy - fill.y);
            popCropRect();
        }
    }
    drawText(getFont(1), shownName, iconX + lockRect.w + kTextGap * s, iconY + lockRect.h / 2.0f, 4);
}

int AchievementsMenuFrame::rowHeight()
{
    const float frameHeight = getSprite(AchItem::kSheet)->frameRect(AchItem::kLockedFrame).h;
    const int rows = screenMetrics().uiScale == 1.0f ? 3 : 2;
    return std::max(1, static_cast<int>(frameHeight * rows));
}

AchievementsMenuFrame::AchievementsMenuFrame(Achievements* source) : m_source(source ? source : &achievements())
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    if (titleLabel) {
        titleLabel->stringId = kTitleString;
        titleLabel->visible = true;
        titleLabel->enabled = true;
        titleLabel->updateSize();
    }
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    pager = new HMenuItemsSlider();
    pager->anchorMode = kAnchorAbsolute;
    pager->fixedSize = true;
    pager->width = m.screenWidth;
    const int titleBottom = titleLabel ? titleLabel->y + titleLabel->height : static_cast<int>(60 * s);
    const int inset = m.screenHeight >= 768 ? static_cast<int>(20 * s) : 0;
    pager->y = titleBottom + inset + static_cast<int>(10 * s);
    pager->height = std::max(1, static_cast<int>(m.screenHeight - pager->y - 110 * s));
    pager->onSnapped = [this] { onPageChanged(pager->reportedIndex()); };
    addItem(pager);
    indicator = new SpritePageIndicator(static_cast<int>(16 * m.screenScaleX), 1);
    indicator->anchorMode = kAnchorAbsolute;
    indicator->alignment = 0x48;
    indicator->focusable = true;
    indicator->offsetX = m.screenWidth / 2.0f;
    indicator->offsetY = pager->y + pager->height + 10 * s;
    indicator->onPrevious = [this] { prevPage(); };
    indicator->onNext = [this] { nextPage(); };
    addItem(indicator);
    buildItems();
}

void AchievementsMenuFrame::placeRow(AchItem* row, int index, MenuContainer*& page, MenuContainer* columns[2])
{
    const int perPage = 2 * rowsPerColumn;
    const int slot = index % perPage;
    if (slot == 0) {
        const int W = screenMetrics().screenWidth;
        // Two columns side by side, each half the screen wide.
        page = new MenuPanel(kLayoutRow, W, pager->height, nullptr);
        static_cast<MenuPanel*>(page)->fixedSize = true;
        pager->addItemWithIndex(page, index / perPage);
        for (int c = 0; c < 2; ++c) {
            auto* column = new MenuPanel(kLayoutList, W / 2, pager->height, nullptr);
            column->childAlignment = kChildCentre;
            column->fixedSize = true;
            page->placeItem(column);
            columns[c] = column;
        }
    }
    columns[slot < rowsPerColumn ? 0 : 1]->placeItem(row);
}

void AchievementsMenuFrame::buildItems()
{
    pager->clear();
    rows.clear();
    rowsPerColumn = std::max(1, pager->height / rowHeight());
    const int rowWidth = static_cast<int>(screenMetrics().screenWidth / 2 - 40 * screenMetrics().uiScale);
    MenuContainer* page = nullptr;
    MenuContainer* columns[2] = {nullptr, nullptr};
    int placed = 0;
    for (bool earned : {true, false}) {
        for (const std::unique_ptr<KTAchievement>& achievement : m_source->list()) {
            if (!achievement || achievement->done != earned || achievement->nameText < 0)
                continue;
            int name = achievement->nameText;
            if (name == kSwappedNames[0] || name == kSwappedNames[1])
                name = settings().achievementNameVariant ? kSwappedNames[1] : kSwappedNames[0];
            auto* row = new AchItem(*achievement, name, rowWidth);
            placeRow(row, placed++, page, columns);
            rows.push_back(row);
        }
    }
    const int pages = (placed + 2 * rowsPerColumn - 1) / (2 * rowsPerColumn);
    indicator->setPageCount(std::max(pages, 1), indicator->spacing);
    // Scripted runs page through every row by it.
    logInfo("menus", "achievements: %d rows on %d pages", placed, pages);
    indicator->currentPage = 0;
    pager->scrollToIndex(0);
    layout(absX, absY);
}

void AchievementsMenuFrame::goToPage(int page)
{
    indicator->currentPage = page;
    pager->scrollToIndex(page);
}

void AchievementsMenuFrame::nextPage()
{
    const int count = std::max(indicator->pageCount, 1);
    goToPage((indicator->currentPage + 1) % count);
}

void AchievementsMenuFrame::prevPage()
{
    const int count = std::max(indicator->pageCount, 1);
    goToPage((indicator->currentPage + count - 1) % count);
}

void AchievementsMenuFrame::onPageChanged(int page)
{
    if (page >= 0 && page < indicator->pageCount)
        indicator->currentPage = page;
}

void AchievementsMenuFrame::completeCollections()
{
    Settings& record = m_source->settings();
    for (const Collection& collection : collections()) {
        const bool all = std::all_of(collection.members.begin(), collection.members.end(),
                                     [&](int member) { return record.achievementDoneAt(member) != 0; });
        if (!all)
            continue;
        record.setAchievementDone(collection.index, 1);
        if (KTAchievement* object = m_source->find(collection.index))
            object->done = true;
    }
}

void AchievementsMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    completeCollections();
    buildItems();
    rebuildFocusLinks();
}
