#include "harness/MenuHarness.h"

#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuFrame.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <string>

namespace {

// A page with a title and a clipped scrolling list of ten mission buttons,
// built for the current screen size.
struct ListPage : MenuFrame {
    MenuContainer* list = nullptr;
    std::vector<SpriteButton*> buttons;
    std::vector<int> fired = std::vector<int>(10, 0);

    ListPage()
    {
        const ScreenMetrics& m = screenMetrics();
        auto* title = new SpriteLabel(2, u"Choose a mission");
        title->anchorMode = kAnchorAbsolute;
        title->alignment = kAlignCentreX | kAlignTop;
        title->x = m.screenWidth / 2;
        title->y = static_cast<int>(30.0f * m.screenScaleY);
        addItem(title);

        list = new MenuContainer;
        list->touchMode = kTouchList;
        list->kinetic = true;
        list->width = static_cast<int>(320.0f * m.uiScale);
        list->height = static_cast<int>(3.5f * 69.0f * m.uiScale);
        list->x = (m.screenWidth - list->width) / 2;
        list->y = static_cast<int>(110.0f * m.screenScaleY);
        list->childAlignment = kChildCentre;
        addItem(list);
        for (int i = 0; i < 10; ++i) {
            auto* button = new SpriteButton(kSpriteSetMenus, SpriteButton::kPushButtonFrame, 1, u"Mission " + toU16(i + 1), list);
            button->drawsOwnFocusBox = false;
            button->onClick = [count = &fired[static_cast<std::size_t>(i)]] { ++*count; };
            buttons.push_back(button);
        }
        list->setScrollBar(MenuContainer::kDefaultThumbFrame, 0.0f, 0.0f);
        focusedItem = buttons[0];
    }
    static std::u16string toU16(int n)
    {
        std::u16string out;
        for (char c : std::to_string(n))
            out += static_cast<char16_t>(c);
        return out;
    }
    void onShow() override { rebuildFocusLinks(); }
};

// A block that draws the same whether it has the focus or not.
struct Block : MenuItem {
    Block(int w, int h)
    {
        width = w;
        height = h;
        focusable = true;
        anchorMode = kAnchorPlaced;
    }
    void draw() override
    {
        if (CSprite* sprite = getSprite(kSpriteSetMenus))
            sprite->drawNinePatch(95, static_cast<float>(absX), static_cast<float>(absY), static_cast<float>(width),
                                  static_cast<float>(height));
    }
};

// A clipped list of blocks.
struct BlockPage : MenuFrame {
    MenuContainer* list = nullptr;
    std::vector<Block*> blocks;
    BlockPage()
    {
        const ScreenMetrics& m = screenMetrics();
        list = new MenuContainer;
        list->touchMode = kTouchList;
        list->width = static_cast<int>(320.0f * m.uiScale);
        list->height = static_cast<int>(240.0f * m.uiScale);
        list->x = (m.screenWidth - list->width) / 2;
        list->y = static_cast<int>(120.0f * m.screenScaleY);
        list->spacing = static_cast<int>(20.0f * m.uiScale);
        list->childAlignment = kChildCentre;
        addItem(list);
        for (int i = 0; i < 6; ++i) {
            blocks.push_back(new Block(static_cast<int>(240.0f * m.uiScale), static_cast<int>(60.0f * m.uiScale)));
            list->addItem(blocks.back());
        }
    }
};

// A page with only a title, the one the list page was reached from.
struct HomePage : MenuFrame {};

struct MenuPage : MenuHarness {
    // The list's rectangle and whether a pixel is of a button's blue body.
    static bool buttonBlue(const Rgba& c) { return c.b > 60 && c.b > c.r + 30; }
};

TEST_F(MenuPage, ScrolledListDrawsNoButtonOutsideItsRectangleAndTheFocusPulses)
{
    for (const auto& size : {std::pair{960, 640}, std::pair{1920, 1080}}) {
        SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
        boot(size.first, size.second);
        ListPage page;
        goToFrame(&page);
        page.list->scrollY = -30.0f;   // the first button half out at the top
        page.list->layout(page.absX, page.absY);
        step(2);
        // The last frame is drawn with the pulse of the update before it.
        const int level = focusPulseLevel();
        step();
        const MenuContainer& list = *page.list;
        const MenuItem& focused = *page.focusedItem;
        ASSERT_TRUE(focused.absY + focused.height > list.absY);
        const float a = screenMetrics().uiScale;
        const int boxLeft = focused.absX - static_cast<int>(15 * a) - 1;
        const int boxRight = focused.absX + focused.width + static_cast<int>(15 * a) + 1;
        const int boxTop = focused.absY - static_cast<int>(15 * a) - 1;
        const int boxBottom = focused.absY + focused.height + static_cast<int>(15 * a) + 1;
        const std::vector<Rgba> frame = screenPixels();
        int outside = 0, inside = 0;
        for (int y = 0; y < screenHeight(); ++y) {
            for (int x = 0; x < screenWidth(); ++x) {
                if (!buttonBlue(frame[static_cast<std::size_t>(y) * screenWidth() + x]))
                    continue;
                const bool inList = x >= list.absX && x < list.absX + list.width && y >= list.absY &&
                                    y < list.absY + list.height;
                const bool inBox = x >= boxLeft && x <= boxRight && y >= boxTop && y <= boxBottom;
                if (inList)
                    ++inside;
                else if (!inBox)
                    ++outside;
            }
        }
        EXPECT_GT(inside, list.width * list.height / 4);
        EXPECT_EQ(outside, 0);

        // The focus box's outline in the pulse tint: red full, green and blue the pulse level.
        EXPECT_GE(level, 140);
        EXPECT_LE(level, 200);
        const Rgba outline = screenPixel(focused.absX + focused.width / 2, focused.absY + focused.height +
                                                                               static_cast<int>(15 * a) - 8);
        EXPECT_GE(outline.r, 250) << outline;
        EXPECT_NEAR(outline.g, level, 4) << outline;
        EXPECT_NEAR(outline.b, level, 4) << outline;
        savePicture("ui_menu_page_" + std::to_string(size.first) + "x" + std::to_string(size.second) + ".png");
        clearFrameHistory();
    }
}

TEST_F(MenuPage, AMouseClickFiresTheButtonOnce)
{
    ListPage page;
    goToFrame(&page);
    step();
    const SpriteButton& second = *page.buttons[1];
    click(second.absX + second.width / 2, second.absY + second.height / 2);
    step(2);
    EXPECT_EQ(page.fired[1], 1);
    EXPECT_EQ(page.fired[0] + page.fired[2], 0);
    EXPECT_EQ(sounds(), std::vector<MenuSound>{MenuSound::Click});
}

TEST_F(MenuPage, PressDragReleaseOverTheListScrollsAndFiresNothing)
{
    ListPage page;
    goToFrame(&page);
    step();
    const SpriteButton& third = *page.buttons[2];
    const int x = third.absX + third.width / 2;
    int y = third.absY + third.height / 2;
    mouseDown(x, y);
    step();
    for (int i = 0; i < 10; ++i) {
        y -= 10;
        mouseMove(x, y);
        step();
    }
    mouseUp(x, y);
    step();
    for (int count : page.fired)
        EXPECT_EQ(count, 0);
    EXPECT_LT(page.list->scrollY, -50.0f);
    EXPECT_LT(page.buttons[0]->absY, page.list->absY);
}

TEST_F(MenuPage, ArrowKeysMoveTheFocusAndEnterFiresIt)
{
    ListPage page;
    goToFrame(&page);
    step();
    pressKey(SDL_SCANCODE_DOWN);
    EXPECT_EQ(page.focusedItem, page.buttons[1]);
    pressKey(SDL_SCANCODE_DOWN);
    pressKey(SDL_SCANCODE_UP);
    EXPECT_EQ(page.focusedItem, page.buttons[1]);
    EXPECT_EQ(menuFocusedItem(), page.buttons[1]);
    pressKey(SDL_SCANCODE_RETURN);
    EXPECT_EQ(page.fired[1], 1);
    EXPECT_EQ(page.fired[0], 0);
}

TEST_F(MenuPage, TheBackKeyReturnsToThePreviousPage)
{
    HomePage home;
    ListPage page;
    goToFrame(&home);
    goToFrame(&page);
    step();
    pressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(currentFrame(), &home);
    EXPECT_EQ(sounds(), std::vector<MenuSound>{MenuSound::ClickBack});
}

TEST_F(MenuPage, TheBackButtonShownOnAPageGoesBack)
{
    HomePage home;
    ListPage page;
    page.backButton()->visible = true;
    page.backButton()->enabled = true;
    goToFrame(&home);
    goToFrame(&page);
    step();
    const ResizableButton& back = *page.backButton();
    EXPECT_GT(back.width, back.height);   // caps and the measured "Back"
    click(back.absX + back.width / 2, back.absY + back.height / 2);
    EXPECT_EQ(currentFrame(), &home);
}

TEST_F(MenuPage, LabelsAreOneLineHighOrAsHighAsTheirBlock)
{
    CFont* font = getFont(1);
    ASSERT_TRUE(font->isLoaded());
    SpriteLabel single(1, u"xo");
    EXPECT_EQ(single.height, static_cast<int>(font->lineHeight()));
    SpriteLabel tall(1, u"Ag");
    EXPECT_EQ(tall.height, static_cast<int>(font->lineHeight()));
    SpriteLabel two(1, u"First\nSecond");
    EXPECT_EQ(two.height, static_cast<int>(std::max(font->measure(u"First\nSecond").height, font->lineHeight())));
    EXPECT_GT(two.height, single.height);
}


TEST_F(MenuPage, TheFocusHighlightNeverCoversItsItemAndIsCutWhereTheListCutsIt)
{
    for (const auto& size : {std::pair{960, 640}, std::pair{1920, 1080}}) {
        SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
        boot(size.first, size.second);
        BlockPage page;
        goToFrame(&page);
        for (const float scrolled : {0.0f, 0.5f}) {
            SCOPED_TRACE(testing::Message() << "scrolled by " << scrolled << " of the first block");
            const Block& block = *page.blocks[0];
            page.list->scrollY = -scrolled * static_cast<float>(block.height);
            page.list->layout(page.absX, page.absY);
            page.focusedItem = nullptr;
            step(2);
            const std::vector<Rgba> plain = screenPixels();
            page.focusedItem = page.blocks[0];
            step();
            const std::vector<Rgba> focused = screenPixels();
            const MenuContainer& list = *page.list;
            const int visibleTop = std::max(block.absY, list.absY);
            int onItem = 0, aboveList = 0, around = 0;
            for (int y = 0; y < screenHeight(); ++y) {
                for (int x = 0; x < screenWidth(); ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * screenWidth() + x;
                    const Rgba& a = plain[i];
                    const Rgba& b = focused[i];
                    if (a.r == b.r && a.g == b.g && a.b == b.b)
                        continue;
                    const bool inX = x >= block.absX && x < block.absX + block.width;
                    if (inX && y >= visibleTop && y < block.absY + block.height)
                        ++onItem;
                    else if (y < list.absY)
                        ++aboveList;
                    else
                        ++around;
                }
            }
            EXPECT_EQ(onItem, 0) << "the highlight covers its item";
            if (scrolled > 0.0f) {
                EXPECT_EQ(aboveList, 0) << "the highlight frames the part the list hides";
            }
            EXPECT_GT(around, block.width) << "no highlight drawn";
            savePicture("ui_focus_highlight_" + std::to_string(size.first) + (scrolled > 0.0f ? "_cut" : "") + ".png");
        }
        clearFrameHistory();
    }
}
}  // namespace
