#include "UiTestSupport.h"

namespace {

struct Layout : MenuTest {
    MenuContainer list;
    void SetUp() override
    {
        MenuTest::SetUp();
        list.width = 200;
        list.height = 300;
        list.spacing = 5;
        list.paddingX = list.paddingY = 10;
    }
    ProbeItem* add(int w, int h, int anchor = MenuItem::kAnchorPlaced)
    {
        auto* item = new ProbeItem(w, h);
        item->anchorMode = anchor;
        list.addItem(item);
        return item;
    }
};

TEST_F(Layout, LeftAndTopWinOverTheOtherFlags)
{
    MenuItem item;
    item.width = 40;
    item.height = 20;
    item.x = 100;
    item.y = 100;
    item.alignment = MenuItem::kAlignLeft | MenuItem::kAlignCentreX | MenuItem::kAlignTop | MenuItem::kAlignBottom;
    item.layout(0, 0);
    EXPECT_EQ(item.absX, 100);
    EXPECT_EQ(item.absY, 100);
    item.alignment = MenuItem::kAlignCentreX | MenuItem::kAlignRight | MenuItem::kAlignCentreY | MenuItem::kAlignBottom;
    item.layout(0, 0);
    EXPECT_EQ(item.absX, 80);
    EXPECT_EQ(item.absY, 90);
    item.alignment = MenuItem::kAlignRight | MenuItem::kAlignBottom;
    item.layout(0, 0);
    EXPECT_EQ(item.absX, 60);
    EXPECT_EQ(item.absY, 80);
}

TEST_F(Layout, AnchorModesPickTheBasePoint)
{
    MenuItem item;
    item.x = 10;
    item.y = 20;
    item.offsetX = 1.5f;
    item.layout(100, 200);
    EXPECT_EQ(item.absX, 111);
    EXPECT_EQ(item.absY, 220);
    item.anchorMode = MenuItem::kAnchorAbsolute;
    item.layout(100, 200);
    EXPECT_EQ(item.absX, 11);
    EXPECT_EQ(item.absY, 20);
    item.anchorMode = MenuItem::kAnchorPlaced;
    item.layout(100, 200);
    EXPECT_EQ(item.absX, 101);
    EXPECT_EQ(item.x, 101);   // the placed point is stored as the position
    EXPECT_EQ(item.y, 200);
}

TEST_F(Layout, ScrollMovesPlacedChildrenButNotAbsoluteOnes)
{
    ProbeItem* placed = add(40, 40);
    ProbeItem* fixed = add(40, 40, MenuItem::kAnchorAbsolute);
    fixed->x = 300;
    fixed->y = 50;
    list.layout(0, 0);
    const int before = placed->absY;
    list.scrollY = -30.0f;
    list.layout(0, 0);
    EXPECT_EQ(placed->absY, before - 30);
    EXPECT_EQ(fixed->absX, 300);
    EXPECT_EQ(fixed->absY, 50);
}

TEST_F(Layout, ListAndRowContentSizesCountSpacingAndPadding)
{
    for (int i = 0; i < 3; ++i)
        add(40, 40);
    list.layout(0, 0);
    EXPECT_EQ(list.contentHeight, 145);
    EXPECT_EQ(list.itemAt(0)->absY, 10);
    EXPECT_EQ(list.itemAt(2)->absY, 100);
    list.layoutMode = MenuContainer::kLayoutRow;
    list.layout(0, 0);
    EXPECT_EQ(list.contentWidth, 140);
    EXPECT_EQ(list.itemAt(1)->absX, 55);
}

TEST_F(Layout, ChildAlignmentPlacesListChildren)
{
    ProbeItem* item = add(40, 40);
    list.childAlignment = MenuContainer::kChildCentre;
    list.layout(0, 0);
    EXPECT_EQ(item->absX, 10 + 80);
    list.childAlignment = MenuContainer::kChildRight;
    list.layout(0, 0);
    EXPECT_EQ(item->absX, 10 + 160);
    item->alignment = MenuItem::kAlignCentreX | MenuItem::kAlignTop;
    list.childAlignment = MenuContainer::kChildLeft;
    list.layout(0, 0);
    EXPECT_EQ(item->absX, 10);
}

TEST_F(Layout, InvisibleChildTakesNoRoomInAListButIsStacked)
{
    add(40, 40);
    ProbeItem* hidden = add(40, 40);
    ProbeItem* last = add(40, 40);
    hidden->visible = false;
    list.layout(0, 0);
    EXPECT_EQ(list.contentHeight, 2 * 45 + 10);
    EXPECT_EQ(last->absY, 55);
    hidden->absX = hidden->absY = -1;
    list.layoutMode = MenuContainer::kLayoutStacked;
    list.layout(0, 0);
    EXPECT_EQ(hidden->absX, 10);
    EXPECT_EQ(hidden->absY, 10);
}

TEST_F(Layout, ItemAtOutOfRangeIsNull)
{
    add(10, 10);
    EXPECT_NE(list.itemAt(0), nullptr);
    EXPECT_EQ(list.itemAt(-1), nullptr);
    EXPECT_EQ(list.itemAt(1), nullptr);
}

TEST_F(Layout, RemovingANonChildKeepsTheChildrenAndLaysOut)
{
    add(40, 40);
    ProbeItem stranger(10, 10);
    list.contentHeight = 0;
    list.removeItem(&stranger);
    EXPECT_EQ(list.itemCount(), 1);
    EXPECT_EQ(list.contentHeight, 55);
    // A removed child is the caller's again.
    MenuItem* child = list.itemAt(0);
    list.removeItem(child);
    EXPECT_EQ(list.itemCount(), 0);
    EXPECT_EQ(child->parent, nullptr);
    delete child;
}

TEST_F(Layout, ZeroWidthGridItemWithNoSpacingLaysOut)
{
    list.layoutMode = MenuContainer::kLayoutGrid;
    list.spacing = 0;
    add(0, 30);
    add(0, 30);
    list.layout(0, 0);
    EXPECT_EQ(list.itemAt(1)->absY, list.itemAt(0)->absY);
}

TEST_F(Layout, GridWrapsAndCentresTheColumns)
{
    list.layoutMode = MenuContainer::kLayoutGrid;
    list.width = 100;
    list.spacing = 10;
    list.paddingY = 0;
    for (int i = 0; i < 3; ++i)
        add(35, 20);
    list.layout(0, 0);
    // Two columns of 45 fit in 100: the 10 left over plus the spacing split on both sides.
    EXPECT_EQ(list.itemAt(0)->absX, 10);
    EXPECT_EQ(list.itemAt(1)->absX, 55);
    EXPECT_EQ(list.itemAt(2)->absX, 10);
    EXPECT_EQ(list.itemAt(2)->absY, list.itemAt(0)->absY + 30);
}

TEST_F(Layout, PlacedItemsGrowAPageContainer)
{
    list.touchMode = MenuContainer::kTouchPage;
    list.width = list.height = 0;
    list.placeItem(new ProbeItem(50, 40));
    list.placeItem(new ProbeItem(70, 40));
    EXPECT_EQ(list.contentHeight, 90);
    EXPECT_EQ(list.height, 100);
    EXPECT_GE(list.width, 70);
    EXPECT_EQ(list.itemAt(1)->parent, &list);
    list.fixedSize = true;
    list.placeItem(new ProbeItem(10, 400));
    EXPECT_TRUE(list.overflowed);
    EXPECT_TRUE(list.contains(5000, 5000, 0.0f));
}

TEST_F(Layout, PageContainerTakesTouchesAnywhereOthersOnlyInside)
{
    list.layout(0, 0);
    list.touchMode = MenuContainer::kTouchPage;
    EXPECT_FALSE(list.onTouchDown(900, 600));   // nothing handled it ...
    EXPECT_TRUE(list.dragPending());            // ... but it was taken
    list.onTouchUp(900, 600);
    list.touchMode = MenuContainer::kTouchInside;
    list.onTouchDown(900, 600);
    EXPECT_FALSE(list.dragPending());
}

TEST_F(Layout, PickReturnsTheFirstInteractiveChildUnderThePoint)
{
    ProbeItem* first = add(40, 40);
    ProbeItem* second = add(40, 40);
    list.layout(0, 0);
    EXPECT_EQ(list.pickAt(second->absX + 5, second->absY + 30), second);
    first->interactive = false;
    // Within both pick margins: the non-interactive first is passed over.
    EXPECT_EQ(list.pickAt(first->absX + 5, first->absY + 48), second);
    EXPECT_EQ(list.pickAt(1000, 1000), nullptr);
}

TEST_F(Layout, NeighbourBackLinkNeverOverwrites)
{
    MenuItem a, b, c;
    c.setNeighbour(MenuItem::kRight, &b);
    a.setNeighbour(MenuItem::kRight, &b);
    EXPECT_EQ(a.neighbour(MenuItem::kRight), &b);
    EXPECT_EQ(b.neighbour(MenuItem::kLeft), &c);
}

TEST_F(Layout, PickMarginIsScaledTwice)
{
    ASSERT_TRUE(setScreenSize(1920, 1280));
    MenuItem item;
    item.width = item.height = 10;
    item.layout(100, 100);
    EXPECT_EQ(item.pickAt(150, 105), &item);   // 10 + 20 x 2 = 40 pixels beyond the right edge
    EXPECT_EQ(item.pickAt(151, 105), nullptr);
}

}  // namespace

namespace {
struct CountedItem : MenuItem {
    explicit CountedItem(int& alive) : m_alive(alive) { ++m_alive; }
    ~CountedItem() override { --m_alive; }
    int& m_alive;
};
}  // namespace

TEST_F(Layout, AnItemAddedByUniquePointerIsOwnedAndReturnedByReference)
{
    int alive = 0;
    {
        MenuContainer box;
        CountedItem& first = box.add(std::make_unique<CountedItem>(alive));
        CountedItem& second = box.add(std::make_unique<CountedItem>(alive));
        EXPECT_EQ(box.itemCount(), 2);
        EXPECT_EQ(box.itemAt(0), &first);
        EXPECT_EQ(box.itemAt(1), &second);
        EXPECT_EQ(box.inputList().size(), 2u);
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0) << "the container deletes what it was given";
}
