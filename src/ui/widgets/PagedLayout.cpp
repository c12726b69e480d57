// The paged layout of a container: its items fill grid pages one container
// width apart on a carousel, with page dots above.
#include "platform/ScreenMetrics.h"
#include "ui/MenuContainer.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteHComboBox.h"

namespace {
constexpr float kDotsY = 65.0f;        // x the art scale
constexpr float kDotSpacing = 16.0f;   // x the horizontal UI scale


MenuPanel* makePage(const MenuContainer& container)
{
    auto* page = new MenuPanel(MenuContainer::kLayoutGrid);
    page->width = container.width;
    page->height = container.height;
    page->anchorMode = MenuItem::kAnchorPlaced;
    page->alignment = MenuItem::kAlignLeft | MenuItem::kAlignTop;
    page->childAlignment = MenuContainer::kChildLeft;
    page->bottomUp = false;
    page->paddingX = container.paddingX;
    page->paddingY = container.paddingY;
    page->spacing = container.spacing;
    page->touchMode = MenuContainer::kTouchPage;
    page->fixedSize = true;
    page->scrollX = container.scrollX;
    page->scrollY = container.scrollY;
    return page;
}

// True when the item fits neither beside nor under the page's last item.
bool pageFull(const MenuContainer& page, const MenuItem& item)
{
    const MenuItem* last = page.itemAt(page.itemCount() - 1);
    if (!last)
        return false;
    const int s = page.spacing;
    const int nextColumn = last->absX - page.absX + last->width + s;
    const bool fitsColumn = nextColumn + item.width + s <= page.width;
    const bool fitsRow = last->absY - page.absY + 2 * (item.height + s) <= page.height;
    return !fitsColumn && !fitsRow;
}
}  // namespace

void MenuContainer::placePagedItem(MenuItem* item)
{
    const ScreenMetrics& metrics = screenMetrics();
    if (!pageSlider) {
        const int step = item->width + spacing;
        // An item without width and spacing gives no column step: no padding then.
        if (step > 0)
            paddingX = ((width - step * (width / step)) + spacing) / 2;
        touchMode = kTouchInside;
        auto* slider = new MenuContainerSlider(static_cast<float>(width), static_cast<float>(height));
        // A row without spacing keeps the pages one container width apart as it scrolls.
        slider->layoutMode = kLayoutRow;
        slider->spacing = 0;
        slider->anchorMode = kAnchorPlaced;
        slider->touchMode = kTouchPage;
        slider->fixedSize = true;
        // The dots follow the page passing the centre.
        slider->onCentre = [this, slider] {
            const int index = slider->reportedIndex();
            if (pageIndicator && index >= 0 && index < pageIndicator->pageCount)
                pageIndicator->currentPage = index;
        };
        addItem(slider);
        pageSlider = slider;
        slider->layout(absX, absY);

        auto* dots = new SpritePageIndicator(static_cast<int>(kDotSpacing * metrics.screenScaleX), 1);
        dots->alignment = kAlignCentreX | kAlignTop;
        dots->anchorMode = kAnchorAbsolute;
        dots->x = metrics.screenWidth / 2;
        dots->y = static_cast<int>(kDotsY * metrics.uiScale);
        dots->layout(0, 0);
        addItem(dots);
        dots->onPrevious = [slider] { slider->prevPage(); };
        dots->onNext = [slider] { slider->nextPage(); };
        pageIndicator = dots;

        pageSlider->addItemWithIndex(makePage(*this), 0);
    }
    auto* page = static_cast<MenuContainer*>(pageSlider->itemAt(pageSlider->itemCount() - 1));
    if (pageFull(*page, *item)) {
        const int index = pageSlider->itemCount();
        page = makePage(*this);
        pageSlider->addItemWithIndex(page, index);
        const int current = pageIndicator->currentPage;
        pageIndicator->setPageCount(index + 1, pageIndicator->spacing);
        pageIndicator->currentPage = current;
        pageIndicator->layout(0, 0);
    }
    item->anchorMode = kAnchorPlaced;
    page->addItem(item);
    pageSlider->layout(absX, absY);
}
