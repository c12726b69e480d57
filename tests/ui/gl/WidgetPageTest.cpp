#include "harness/MenuHarness.h"

#include "platform/Input.h"
#include "platform/ScreenMetrics.h"
#include "ui/MenuFrame.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteCounter.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteSlider.h"

#include "render/2d/SpriteSets.h"

#include <filesystem>
#include <string>

namespace {

using namespace std::string_literals;

template <class T>
T* placeAt(MenuFrame& page, T* item, float x, float y)
{
    const ScreenMetrics& m = screenMetrics();
    item->anchorMode = MenuItem::kAnchorAbsolute;
    item->x = static_cast<int>(x * m.screenScaleX);
    item->y = static_cast<int>(y * m.screenScaleY);
    page.addItem(item);
    return item;
}

// One page of every settings widget, placed for the current screen size.
struct WidgetsPage : MenuFrame {
    SpriteSlider* slider;
    SpriteCheckbox* box;
    SpriteCounter* counter;
    SpriteHComboBox* combo;
    SpritePageIndicator* dots;

    WidgetsPage()
    {
        slider = placeAt(*this, new SpriteSlider, 80, 120);
        slider->setValue(0.5f);
        box = placeAt(*this, new SpriteCheckbox, 80, 230);
        box->setText(u"Music");
        box->checked = true;
        combo = placeAt(*this, new SpriteHComboBox(u"Low\0Medium\0High\0\0"s), 80, 330);
        combo->select(1);
        counter = placeAt(*this, new SpriteCounter(u"Mission"), 620, 110);
        counter->maximum = 13;
        counter->value = 4;
        dots = placeAt(*this, new SpritePageIndicator(static_cast<int>(16 * screenMetrics().screenScaleX), 3), 480, 560);
        dots->alignment = kAlignCentreX | kAlignTop;
        dots->currentPage = 1;
        focusedItem = slider;
    }
    void onShow() override { rebuildFocusLinks(); }
};

struct WidgetPage : MenuHarness {
    static bool orange(const Rgba& c) { return c.r > 180 && c.g > 90 && c.b < 110; }
    static bool white(const Rgba& c) { return c.r > 225 && c.g > 225 && c.b > 225; }
};

TEST_F(WidgetPage, EveryWidgetDrawsAtBothSizes)
{
    std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/widgets");
    for (const auto& size : {std::pair{960, 640}, std::pair{1920, 1080}}) {
        SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
        boot(size.first, size.second);
        WidgetsPage page;
        page.focusedItem = page.box;
        goToFrame(&page);
        step(3);
        const SpriteSlider& s = *page.slider;
        const float a = screenMetrics().uiScale;
        const int trackY = s.absY + static_cast<int>(10 * a) + s.height / 2 - static_cast<int>(10 * a);
        const int thumbLeft = s.absX + s.thumbPosition();
        const int thumbRight = thumbLeft + 2 * s.halfThumb;
        // The fill shows left of the thumb and is clipped right of it.
        EXPECT_TRUE(orange(screenPixel((s.absX + s.halfThumb + thumbLeft) / 2, trackY)))
            << screenPixel((s.absX + s.halfThumb + thumbLeft) / 2, trackY);
        EXPECT_FALSE(orange(screenPixel(thumbRight + 20, trackY))) << screenPixel(thumbRight + 20, trackY);
        // The current dot is the white one.
        const SpritePageIndicator& d = *page.dots;
        const int dotY = d.absY + d.dotHeight / 2;
        const int step = d.dotWidth + d.spacing;
        EXPECT_TRUE(white(screenPixel(d.absX + step + d.dotWidth / 2, dotY)))
            << screenPixel(d.absX + step + d.dotWidth / 2, dotY);
        EXPECT_FALSE(white(screenPixel(d.absX + d.dotWidth / 2, dotY)));
        EXPECT_FALSE(white(screenPixel(d.absX + 2 * step + d.dotWidth / 2, dotY)));
        savePicture("menus/widgets/widgets_" + std::to_string(size.first) + "x" + std::to_string(size.second) + ".png");
        clearFrameHistory();
    }
}

TEST_F(WidgetPage, KeysAndAMouseDragChangeValues)
{
    WidgetsPage page;
    goToFrame(&page);
    step();
    const float before = page.slider->value;
    pressKey(SDL_SCANCODE_RETURN);
    EXPECT_GT(page.slider->value, before);
    pressKey(SDL_SCANCODE_DOWN);
    EXPECT_EQ(page.focusedItem, page.box);
    pressKey(SDL_SCANCODE_RETURN);
    EXPECT_FALSE(page.box->checked);

    // Drag the thumb back to the start of the track.
    const SpriteSlider& s = *page.slider;
    const int x = s.absX + s.halfThumb + s.thumbPosition(), y = s.absY + s.height / 2;
    mouseDown(x, y);
    step();
    for (int i = 1; i <= 10; ++i) {
        mouseMove(x - 40 * i, y);
        step();
    }
    mouseUp(x - 400, y);
    step(30);
    EXPECT_EQ(page.slider->value, 0.0f);

    // A click on the combo box's right arrow steps it.
    const SpriteHComboBox& c = *page.combo;
    click(c.absX + c.width - 5, c.absY + c.height / 2);
    EXPECT_EQ(c.selected, 2);
}

}  // namespace

namespace {

// A controller's buttons reach the widgets through the same focus links and
// activation as the keys.
struct PadPage : WidgetPage {
    static constexpr int kPad = 4242;
    void button(int b)
    {
        for (bool down : {true, false}) {
            SDL_Event event{};
            event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
            event.cbutton.which = kPad;
            event.cbutton.button = static_cast<Uint8>(b);
            event.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
            ASSERT_EQ(SDL_PushEvent(&event), 1);
            step(2);
        }
    }
};

TEST_F(PadPage, ControllerButtonsChangeValues)
{
    ASSERT_GE(input().controllerAdded(kPad, "Pad", 6, 15, true), 0);
    WidgetsPage page;
    goToFrame(&page);
    step();
    const float before = page.slider->value;
    button(0);    // A: activate the focused slider
    EXPECT_GT(page.slider->value, before);
    button(12);   // d-pad down: the check box
    EXPECT_EQ(page.focusedItem, page.box);
    button(0);
    EXPECT_FALSE(page.box->checked);
    input().controllerRemoved(kPad);
}

}  // namespace

namespace {

// A settings page crowded with every widget over a carousel of cards, as the
// widgets benchmark draws it: the batching must not change what shows.
struct BusyPage : MenuFrame {
    template <class T>
    T* at(T* item, int x, int y)
    {
        item->anchorMode = MenuItem::kAnchorAbsolute;
        item->x = x;
        item->y = y;
        addItem(item);
        return item;
    }
    HMenuItemsSlider* cards = nullptr;
    std::vector<SpriteSlider*> sliders;
    std::vector<SpriteCheckbox*> boxes;
    BusyPage()
    {
        for (int i = 0; i < 10; ++i) {
            sliders.push_back(at(new SpriteSlider, 40, 20 + 45 * i));
            sliders.back()->setValue(static_cast<float>(i) / 9.0f);
            boxes.push_back(at(new SpriteCheckbox, 420, 20 + 45 * i));
            boxes.back()->setText(u"Option");
            boxes.back()->checked = i % 2 == 0;
        }
        for (int i = 0; i < 5; ++i) {
            at(new SpriteCounter(u"Wave"), 620 + 120 * i, 20)->maximum = 600;
            at(new SpriteHComboBox(u"Low\0Medium\0High\0Highest\0\0"s), 620 + 120 * (i % 3),
               200 + 60 * (i / 3));
        }
        cards = at(new HMenuItemsSlider, 0, 480);
        cards->height = 220;
        for (int i = 0; i < 30; ++i)
            cards->addItemWithIndex(new SpriteButton(kSpriteSetMenus, SpriteButton::kPushButtonFrame, 1, u"Card", nullptr), i + 1);
        focusedItem = itemAt(0);
    }
};

TEST_F(WidgetPage, ACrowdedPageShowsEveryWidgetOverItsCards)
{
    std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/widgets");
    boot(1280, 720);
    BusyPage page;
    goToFrame(&page);
    step(3);
    for (int i : {0, 9}) {
        // An empty slider shows no fill, a full one fills up to its thumb.
        const SpriteSlider& s = *page.sliders[static_cast<std::size_t>(i)];
        const int trackY = s.absY + s.height / 2;
        const int mid = s.absX + s.width / 2;
        EXPECT_EQ(orange(screenPixel(mid, trackY)), i == 9) << i << " " << screenPixel(mid, trackY);
    }
    savePicture("menus/widgets/crowded_1280x720.png");
    clearFrameHistory();
}

}  // namespace
