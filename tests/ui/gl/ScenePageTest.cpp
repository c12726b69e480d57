#include "harness/MenuHarness.h"
#include "support/ui/FakeMenuShowcase.h"

#include "platform/ScreenMetrics.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteKeyboard.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/StatePanel.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {
struct ScenePage : MenuHarness {
    void SetUp() override
    {
        MenuHarness::SetUp();
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/scene");
    }
    void TearDown() override
    {
        if (SpriteKeyboard* keyboard = SpriteKeyboard::existing())
            keyboard->hide();
        if (MenuAlert* alert = MenuAlert::existing())
            alert->closed = true;
        clearFrameHistory();
        setMenuShowcase(nullptr);
        MenuHarness::TearDown();
    }
    // The gold of the corner pieces and the alert's border.
    static bool gold(const Rgba& c) { return c.r > 170 && c.g > 110 && c.g < 200 && c.b < 110; }
    static bool sameColor(const Rgba& a, const Rgba& b)
    {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }
};
}  // namespace

TEST_F(ScenePage, AFilledPageShowsItsCornersAndTitle)
{
    boot(1280, 720);
    FilledMenuFrame page;
    page.titleLabel->setText(u"Options");
    page.content()->placeItem(new SpriteButton(u"Audio"));
    goToFrame(&page);
    step(3);
    const int w = screenWidth(), h = screenHeight();
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{8, 40}, {8, h - 40}, {w - 8, 40}, {w - 8, h - 40}})
        EXPECT_TRUE(gold(screenPixel(x, y))) << x << ", " << y << ": " << screenPixel(x, y);
    EXPECT_FALSE(gold(screenPixel(w / 2, h / 2)));
    // The title plate's warm brown under the text's left end.
    const ResizableLabel& title = *page.titleLabel;
    ASSERT_TRUE(title.visible);
    const Rgba plate = screenPixel(title.absX + 14, title.absY + title.height / 2);
    EXPECT_GT(plate.r, plate.b + 20) << plate;
    savePicture("menus/scene/filled_page_1280x720.png");
}

TEST_F(ScenePage, TheAlertIsCentredAtItsSize)
{
    boot(1280, 720);
    FilledMenuFrame page;
    goToFrame(&page);
    showQuestionAlert(nullptr, nullptr);
    step(3);
    const MenuAlert& alert = *MenuAlert::existing();
    const float a = screenMetrics().uiScale;
    EXPECT_EQ(alert.width, static_cast<int>(700 * a));
    EXPECT_EQ(alert.height, static_cast<int>(400 * a));
    EXPECT_EQ(alert.absX, (screenWidth() - alert.width) / 2);
    EXPECT_EQ(alert.absY, (screenHeight() - alert.height) / 2);
    // The gold border on its left edge, nothing of it just outside.
    const int midY = alert.absY + alert.height / 2;
    auto goldWithin = [&](int from, int to) {
        for (int x = from; x <= to; ++x)
            if (gold(screenPixel(x, midY)))
                return true;
        return false;
    };
    EXPECT_TRUE(goldWithin(alert.absX, alert.absX + 3));
    EXPECT_FALSE(goldWithin(alert.absX - 10, alert.absX - 2));
    EXPECT_TRUE(goldWithin(alert.absX + alert.width - 4, alert.absX + alert.width - 1));
    EXPECT_FALSE(goldWithin(alert.absX + alert.width + 2, alert.absX + alert.width + 10));
    savePicture("menus/scene/alert_1280x720.png");
}

TEST_F(ScenePage, TypingIntoAnEditBoxThroughTheKeyboard)
{
    boot(1280, 720);
    FilledMenuFrame page;
    page.titleLabel->setText(u"Pilot");
    auto* box = new SpriteEditBox(u"", page.content());
    box->ownerFrame = &page;
    int changes = 0;
    box->onChange = [&changes](std::u16string_view) { ++changes; };
    goToFrame(&page);
    step(2);
    const Rgba backBefore = screenPixel(page.backButton()->absX + page.backButton()->width / 2,
                                        page.backButton()->absY + page.backButton()->height / 2);
    click(box->absX + box->width / 2, box->absY + box->height / 2);
    step(2);
    const SpriteKeyboard& keyboard = *SpriteKeyboard::existing();
    ASSERT_TRUE(keyboard.modalOpen());
    EXPECT_FALSE(page.fullDraw);
    EXPECT_GT(keyboard.y + keyboard.keyboardHeight / 2, screenHeight() / 2);   // in the lower half
    // The page behind draws its decorations only: no back button, corners still there.
    const Rgba backNow = screenPixel(page.backButton()->absX + page.backButton()->width / 2,
                                     page.backButton()->absY + page.backButton()->height / 2);
    EXPECT_FALSE(sameColor(backBefore, backNow)) << backBefore << " " << backNow;
    EXPECT_TRUE(gold(screenPixel(8, 40)));
    typeText("Ace");
    step(2);
    EXPECT_EQ(keyboard.editText(), u"Ace");
    savePicture("menus/scene/keyboard_1280x720.png");
    pressKey(SDL_SCANCODE_RETURN);
    step(3);
    EXPECT_FALSE(keyboard.modalOpen());
    EXPECT_EQ(box->text(), u"Ace");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(page.fullDraw);
}

namespace {
// The middle of the keyboard part, found by asking the keyboard itself: the
// first point of a coarse grid over the screen that it reports as that part.
bool partCentre(const SpriteKeyboard& keyboard, int part, int width, int height, int& cx, int& cy)
{
    long sx = 0, sy = 0, n = 0;
    for (int y = 0; y < height; y += 3)
        for (int x = 0; x < width; x += 3)
            if (keyboard.keyAt(x, y) == part) {
                sx += x, sy += y, ++n;
            }
    if (n == 0)
        return false;
    cx = static_cast<int>(sx / n);
    cy = static_cast<int>(sy / n);
    return true;
}
}  // namespace

// A player with only a mouse types a name on the keys of the picture, erases
// and accepts it there; the release of the click that opened the keyboard
// leaves the name it opened with.
TEST_F(ScenePage, TheKeyboardTypesByMouse)
{
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{960, 640}, {1920, 1080}}) {
        boot(w, h);
        FilledMenuFrame page;
        auto* box = new SpriteEditBox(u"Pilot", page.content());
        box->ownerFrame = &page;
        goToFrame(&page);
        step(2);
        box->openKeyboard();
        step(2);
        const SpriteKeyboard& keyboard = *SpriteKeyboard::existing();
        ASSERT_TRUE(keyboard.modalOpen());
        int tx = 0, ty = 0;
        ASSERT_TRUE(partCentre(keyboard, 0, w, h, tx, ty));
        // A release that began elsewhere, on the text area: the name stays.
        mouseUp(tx, ty);
        step(2);
        EXPECT_EQ(keyboard.editText(), u"Pilot") << w;
        // A tap on the text area empties it, as it always has.
        click(tx, ty);
        step(2);
        EXPECT_EQ(keyboard.editText(), u"") << w;
        // A (part 11), C (23), X (22), erase (28), E (3), space (30), then accept (29).
        for (int part : {11, 23, 22, 28, 3, 30, 11}) {
            int kx = 0, ky = 0;
            ASSERT_TRUE(partCentre(keyboard, part, w, h, kx, ky)) << part;
            click(kx, ky);
            step(2);
        }
        EXPECT_EQ(keyboard.editText(), u"ACE A") << w;
        savePicture("menus/scene/keyboard_by_mouse_" + std::to_string(w) + "x" + std::to_string(h) + ".png");
        int ox = 0, oy = 0;
        ASSERT_TRUE(partCentre(keyboard, 29, w, h, ox, oy));
        click(ox, oy);
        step(3);
        EXPECT_FALSE(keyboard.modalOpen()) << w;
        EXPECT_EQ(box->text(), u"ACE A") << w;
        clearFrameHistory();
    }
}

TEST_F(ScenePage, TheShowcasePageDrawsItsStatisticsAndBalloon)
{
    boot(1280, 720);
    FakeMenuShowcase scene;
    scene.add({0, 0, 0, false, {{0.5f, 0.3f, 0.8f, 0.6f}}, 1, 3});
    scene.add({1, 0, 0, false, {{0.9f, 0.2f, 0.6f, 0.6f}}, 5, 7});
    scene.add({2, 0, 1, false, {{0.4f, 0.7f, 0.5f, 0.2f}}, 0, -1});
    setMenuShowcase(&scene);
    SceneMenuFrame page(false, false, false, false);
    goToFrame(&page);
    page.selectPlane(1);
    step(60);
    const StateItem& weaponry = *page.bars[0];
    // Green where the variant beats its family's first plane.
    const int barX = weaponry.absX + weaponry.iconWidth + stateIconGap();
    const int greenX = barX + static_cast<int>(weaponry.barWidth * (weaponry.shownBase + weaponry.shownVariant) / 2);
    const Rgba green = screenPixel(greenX, weaponry.absY + weaponry.height / 2);
    EXPECT_GT(green.g, green.r + 40) << green;
    savePicture("menus/scene/showcase_1280x720.png");
    click(page.infoButton->absX + page.infoButton->width / 2, page.infoButton->absY + page.infoButton->height / 2);
    step(20);
    EXPECT_TRUE(page.infoShown());
    savePicture("menus/scene/showcase_info_1280x720.png");
}

TEST_F(ScenePage, TheFineSheetsDrawTheSamePagesOnATallScreen)
{
    boot(1920, 1080);
    FakeMenuShowcase scene;
    scene.add({0, 0, 0, false, {{0.5f, 0.3f, 0.8f, 0.6f}}, 1, 3});
    setMenuShowcase(&scene);
    SceneMenuFrame page(false, false, false, false);
    goToFrame(&page);
    step(3);
    const int w = screenWidth(), h = screenHeight();
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{8, 60}, {w - 8, h - 60}})
        EXPECT_TRUE(gold(screenPixel(x, y))) << x << ", " << y << ": " << screenPixel(x, y);
    savePicture("menus/scene/showcase_1920x1080.png");
    FilledMenuFrame filled;
    auto* box = new SpriteEditBox(u"Ace", filled.content());
    box->ownerFrame = &filled;
    goToFrame(&filled);
    step(2);
    box->openKeyboard();
    step(2);
    const SpriteKeyboard& keyboard = *SpriteKeyboard::existing();
    EXPECT_GT(keyboard.y + keyboard.keyboardHeight / 2, h / 2);
    EXPECT_LE(keyboard.y + keyboard.keyboardHeight, h);
    savePicture("menus/scene/keyboard_1920x1080.png");
}

namespace {
// Each kind of alert at the smallest and a tall screen: the text, the close
// button and the other buttons never cover one another and stay in the box.
struct AlertLayout : ScenePage, testing::WithParamInterface<std::pair<int, int>> {
    static bool overlap(const MenuItem& a, const MenuItem& b)
    {
        return a.absX < b.absX + b.width && b.absX < a.absX + a.width && a.absY < b.absY + b.height &&
               b.absY < a.absY + a.height;
    }
    static bool inside(const MenuItem& item, const MenuItem& box)
    {
        return item.absX >= box.absX && item.absY >= box.absY && item.absX + item.width <= box.absX + box.width &&
               item.absY + item.height <= box.absY + box.height;
    }
    void check(const char* kind)
    {
        SCOPED_TRACE(kind);
        step(3);
        const MenuAlert& alert = *MenuAlert::existing();
        std::vector<const MenuItem*> shown{alert.textLabel};
        for (const MenuItem* button : {static_cast<const MenuItem*>(alert.closeButton()),
                                       static_cast<const MenuItem*>(alert.buttonA),
                                       static_cast<const MenuItem*>(alert.buttonB)})
            if (button->visible)
                shown.push_back(button);
        for (const MenuItem* item : shown) {
            EXPECT_TRUE(inside(*item, alert)) << item->absX << "," << item->absY << " " << item->width << "x"
                                              << item->height << " in " << alert.absX << "," << alert.absY;
            for (const MenuItem* other : shown)
                EXPECT_TRUE(item == other || !overlap(*item, *other))
                    << item->absX << "," << item->absY << " " << item->width << "x" << item->height << " and "
                    << other->absX << "," << other->absY << " " << other->width << "x" << other->height;
        }
        // The close button's centre, not its top, on its line.
        const MenuItem& close = *alert.closeButton();
        EXPECT_NEAR(close.absY + close.height / 2.0f,
                    alert.absY + static_cast<int>(144.5f * screenMetrics().uiScale), 1.0f);
        // Every text here fits the box's middle, bottom row or not.
        EXPECT_NEAR(alert.textLabel->absY + alert.textLabel->height / 2.0f, alert.absY + alert.height / 2.0f, 1.0f);
        EXPECT_EQ(alert.textLabel->absX + alert.textLabel->width / 2, alert.absX + alert.width / 2);
        // Lines run across the middle eight tenths of the box: a long text fills most of that.
        EXPECT_LE(alert.textLabel->width, static_cast<int>(0.8f * static_cast<float>(alert.width)));
        if (std::string(kind) == "message") {
            EXPECT_GT(alert.textLabel->width, static_cast<int>(0.7f * static_cast<float>(alert.width)));
        }
        savePicture("menus/scene/alert_" + std::string(kind) + "_" + std::to_string(screenWidth()) + "x" +
                    std::to_string(screenHeight()) + ".png");
        pressKey(SDL_SCANCODE_ESCAPE);
        step(2);
    }
};
}  // namespace

TEST_P(AlertLayout, TheTextNeverRunsUnderTheButtons)
{
    boot(GetParam().first, GetParam().second);
    FilledMenuFrame page;
    goToFrame(&page);
    step(2);
    showQuestionAlert(nullptr, nullptr);
    check("question");
    showMessage(u"The room you tried to join is full. Pick another room from the list, or create a room of "
                u"your own and wait for other pilots to join you there.");
    check("message");
    showConfirm(1210, [] {});
    check("confirm");
    showNoticeAlert();
    check("notice");
    showMessage(u"Short");
    check("short");
}

INSTANTIATE_TEST_SUITE_P(Sizes, AlertLayout,
                         testing::Values(std::make_pair(960, 640), std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& info) {
                             return "W" + std::to_string(info.param.first);
                         });
