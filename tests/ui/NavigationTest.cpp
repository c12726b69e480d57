#include "UiTestSupport.h"

#include "ui/MenuFrame.h"
#include "ui/widgets/SpriteButton.h"

#include <cmath>
#include <string>

namespace {

// A page that writes what happens to it into a shared log.
struct LoggingFrame : MenuFrame {
    LoggingFrame(std::string n, std::string& log) : name(std::move(n)), journal(log) {}
    void onShow() override { journal += "show" + name + " "; }
    void onHide() override { journal += "hide" + name + " "; }
    void layout(int x, int y) override
    {
        ++layouts;
        MenuFrame::layout(x, y);
    }
    bool onEscape() override { return escapeTaken; }
    std::string name;
    std::string& journal;
    int layouts = 0;
    bool escapeTaken = false;
};

struct Navigation : MenuTest {
    std::string log;
    LoggingFrame a{"A", log}, b{"B", log}, c{"C", log};
};

TEST_F(Navigation, GoingToTheCurrentPageDoesNothing)
{
    goToFrame(&a);
    EXPECT_EQ(log, "showA ");
    goToFrame(&a);
    EXPECT_EQ(log, "showA ");
    EXPECT_EQ(frameHistoryCount(), 0);
    EXPECT_EQ(a.layouts, 1);
}

TEST_F(Navigation, BackWalksTheHistoryAndTheThirdOnlyClicks)
{
    goToFrame(&a);
    goToFrame(&b);
    goToFrame(&c);
    EXPECT_EQ(frameHistoryCount(), 2);
    log.clear();
    goBack();
    EXPECT_EQ(currentFrame(), &b);
    goBack();
    EXPECT_EQ(currentFrame(), &a);
    EXPECT_EQ(log, "hideC showB hideB showA ");
    goBack();
    EXPECT_EQ(currentFrame(), &a);
    EXPECT_EQ(log, "hideC showB hideB showA ");
    EXPECT_EQ(sounds, std::vector<MenuSound>(3, MenuSound::ClickBack));
}

TEST_F(Navigation, GoingBackDoesNotLayOutAgain)
{
    goToFrame(&a);
    goToFrame(&b);
    const int before = a.layouts;
    goBack();
    EXPECT_EQ(a.layouts, before);
}

TEST_F(Navigation, BackKeyAsksThePageFirst)
{
    goToFrame(&a);
    goToFrame(&b);
    b.escapeTaken = true;
    dispatchBackKey();
    EXPECT_EQ(currentFrame(), &b);
    b.escapeTaken = false;
    dispatchBackKey();
    EXPECT_EQ(currentFrame(), &a);
}

TEST_F(Navigation, TheBackButtonGoesBack)
{
    goToFrame(&a);
    goToFrame(&b);
    ResizableButton* back = b.backButton();
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->visible);
    back->activate();
    EXPECT_EQ(currentFrame(), &a);
}

TEST_F(Navigation, AnOverlayPageTakesTheInputUntilBackClosesIt)
{
    goToFrame(&a);
    openOverlayFrame(&c);
    EXPECT_EQ(getInputFrame(), &c);
    goBack();
    EXPECT_EQ(overlayFrame(), nullptr);
    EXPECT_EQ(currentFrame(), &a);
    EXPECT_EQ(log, "showA showC hideC ");
}

// A modal layer with a listener that points at a page.
struct FakeKeyboard : IMenuModal {
    MenuItem item;
    bool open = false;
    MenuFrame* listener = nullptr;
    int backs = 0;
    bool modalOpen() const override { return open; }
    MenuItem& modalItem() override { return item; }
    void modalBack() override
    {
        ++backs;
        open = false;
    }
    void forgetListeners() override { listener = nullptr; }
    void hideModal() override { open = false; }
};

TEST_F(Navigation, ClearingTheHistoryForgetsEveryPointerToAPage)
{
    FakeKeyboard keyboard;
    setMenuKeyboard(&keyboard);
    goToFrame(&a);
    goToFrame(&b);
    keyboard.open = true;
    keyboard.listener = &b;
    openOverlayFrame(&c);
    setMenuFocusedItem(&a);
    log.clear();
    clearFrameHistory();
    EXPECT_EQ(currentFrame(), nullptr);
    EXPECT_EQ(frameHistoryCount(), 0);
    EXPECT_EQ(overlayFrame(), nullptr);
    EXPECT_EQ(menuFocusedItem(), nullptr);
    EXPECT_EQ(keyboard.listener, nullptr);
    EXPECT_FALSE(keyboard.open);
    EXPECT_EQ(log, "");   // no page is hidden
    setMenuKeyboard(nullptr);
}

TEST_F(Navigation, TheKeyboardTakesTheBackKeyAlone)
{
    FakeKeyboard keyboard;
    setMenuKeyboard(&keyboard);
    goToFrame(&a);
    goToFrame(&b);
    keyboard.open = true;
    handleMenuAction(ControlAction::Menu_Back);
    EXPECT_EQ(keyboard.backs, 1);
    EXPECT_EQ(currentFrame(), &b);
    setMenuKeyboard(nullptr);
}

// Items at fixed places on a page, for the focus links.
struct Focus : MenuTest {
    MenuFrame page;
    ProbeItem* at(int x, int y)
    {
        auto* item = new ProbeItem(100, 40);
        item->anchorMode = MenuItem::kAnchorAbsolute;
        item->x = x;
        item->y = y;
        item->focusable = true;
        page.addItem(item);
        return item;
    }
};

TEST_F(Focus, SideBySideItemsLinkBothWays)
{
    ProbeItem* left = at(100, 100);
    ProbeItem* right = at(300, 100);
    page.rebuildFocusLinks();
    EXPECT_EQ(left->neighbour(MenuItem::kRight), right);
    EXPECT_EQ(right->neighbour(MenuItem::kLeft), left);
    EXPECT_EQ(left->neighbour(MenuItem::kUp), nullptr);
    EXPECT_EQ(left->neighbour(MenuItem::kDown), nullptr);
}

TEST_F(Focus, AnItemBelowIsTheDownNeighbourAndLinksBackUp)
{
    ProbeItem* top = at(100, 100);
    ProbeItem* below = at(100, 200);
    ProbeItem* far = at(100, 400);
    page.rebuildFocusLinks();
    EXPECT_EQ(top->neighbour(MenuItem::kDown), below);
    EXPECT_EQ(below->neighbour(MenuItem::kUp), top);
    EXPECT_EQ(below->neighbour(MenuItem::kDown), far);
}

TEST_F(Focus, HiddenDisabledAndUnfocusableItemsAreLeftOut)
{
    ProbeItem* top = at(100, 100);
    ProbeItem* hidden = at(100, 150);
    ProbeItem* disabled = at(100, 200);
    ProbeItem* plain = at(100, 250);
    ProbeItem* last = at(100, 300);
    hidden->visible = false;
    disabled->enabled = false;
    plain->focusable = false;
    page.rebuildFocusLinks();
    EXPECT_EQ(top->neighbour(MenuItem::kDown), last);
}

TEST_F(Focus, ItemsInNestedContainersAreReached)
{
    ProbeItem* top = at(100, 100);
    auto* inner = new MenuContainer;
    inner->anchorMode = MenuItem::kAnchorAbsolute;
    inner->x = 100;
    inner->y = 300;
    inner->width = 200;
    inner->height = 100;
    auto* nested = new ProbeItem(100, 40);
    nested->focusable = true;
    inner->addItem(nested);
    page.addItem(inner);
    page.rebuildFocusLinks();
    EXPECT_EQ(top->neighbour(MenuItem::kDown), nested);
}

TEST_F(Focus, AnglesBelowFifteenDegreesScoreTheSame)
{
    // Two candidates below: one straight down, one 14 degrees off but nearer.
    ProbeItem* origin = at(500, 100);
    ProbeItem* straight = at(500, 300);
    const int offset = static_cast<int>(std::lround(150.0 * std::tan(14.0 * 3.14159265 / 180.0)));
    ProbeItem* slanted = at(500 + offset, 250);
    page.rebuildFocusLinks();
    // Scored as 15 degrees like the straight one, the nearer wins.
    EXPECT_EQ(origin->neighbour(MenuItem::kDown), slanted);
    (void)straight;
}

TEST_F(Focus, MovingFollowsTheLinksAndSelectFiresTheFocused)
{
    ProbeItem* top = at(100, 100);
    ProbeItem* below = at(100, 200);
    page.focusedItem = top;
    page.rebuildFocusLinks();
    goToFrame(&page);
    handleMenuAction(ControlAction::Menu_Down);
    EXPECT_EQ(page.focusedItem, below);
    EXPECT_EQ(menuFocusedItem(), below);
    handleMenuAction(ControlAction::Menu_Down);   // no link: stays
    EXPECT_EQ(page.focusedItem, below);
    handleMenuAction(ControlAction::Menu_Up);
    EXPECT_EQ(page.focusedItem, top);
}

TEST_F(Focus, ThePulseStaysInItsRange)
{
    int low = 255, high = 0;
    setFrameDelta(1.0f / 60.0f);
    for (int i = 0; i < 600; ++i) {
        updateMenuFrames();
        low = std::min<int>(low, focusPulseLevel());
        high = std::max<int>(high, focusPulseLevel());
    }
    EXPECT_GE(low, 140);
    EXPECT_LE(high, 200);
    EXPECT_LE(low, 141);
    EXPECT_GE(high, 199);
}

}  // namespace
