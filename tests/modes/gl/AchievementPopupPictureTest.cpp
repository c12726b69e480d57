#include "GlTestContext.h"

#include "modes/progress/AchievementPopup.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageWriter.h"

#include <filesystem>
#include <string>

namespace {
// The pop-up over a plain screen of the staged data's art, read back and
// written to build/modes/ for a person to look at.
struct PopupPicture : GlTest {
    int width = 1280, height = 720;
    const Rgba background{12, 20, 32, 255};

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        ASSERT_TRUE(setLanguageByCode("EN"));
        ASSERT_TRUE(setScreenSize(width, height));
        setSpriteLoadScale(screenMetrics().spriteScale);
        reloadFonts();
        useTarget(width, height);
        gfx().setScreenSize(width, height);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            unloadStringTables();
            setScreenSize(960, 640);
        }
        GlTest::TearDown();
    }

    void drawPopup(const AchievementPopup& popup)
    {
        clearTo(background);
        begin2D();
        popup.draw();
        end2D();
    }
    // Screen pixel, y down.
    Rgba at(float x, float y) { return pixel(static_cast<int>(x), height - 1 - static_cast<int>(y)); }
    bool isBackground(const Rgba& c) { return rgbNear(c, background, 2); }

    void save(const std::string& name)
    {
        const std::vector<Rgba> rows = rect(0, 0, width, height);
        std::vector<std::uint8_t> rgba;
        for (const Rgba& c : rows)
            rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
        const std::string folder = std::string(SKYFRONT_BINARY_DIR) + "/modes";
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(writePngFile(folder + "/" + name, width, height, rgba));
    }
};
}  // namespace

TEST_F(PopupPicture, RestingPanelShowsIconAndName)
{
    AchievementPopup popup;
    ASSERT_TRUE(popup.push(253, 3 + 3));  // "Ace"
    for (int i = 0; i < 60; ++i)
        popup.update(1.0f / 60.0f);
    ASSERT_GE(popup.position(), 1.0f);
    drawPopup(popup);
    save("achievement_popup.png");

    const auto p = popup.panel(static_cast<float>(width), static_cast<float>(height), screenMetrics().uiScale);
    EXPECT_FLOAT_EQ(p.x + p.w, static_cast<float>(width));
    // The panel's body is drawn; left of it and above it is the screen.
    EXPECT_FALSE(isBackground(at(p.x + p.w * 0.75f, p.y + p.h * 0.8f)));
    EXPECT_TRUE(isBackground(at(p.x - 10.0f, p.y + p.h * 0.5f)));
    EXPECT_TRUE(isBackground(at(p.x + p.w * 0.5f, p.y - 10.0f)));
    // The gold medal of "Ace" left in the panel, centred on its height.
    const Rgba icon = at(p.x + 20.0f * screenMetrics().uiScale + 14.0f, p.y + p.h * 0.5f);
    EXPECT_GT(icon.r, icon.b + 40) << icon;
    // Some light text pixels right of the icon.
    int light = 0;
    for (float x = p.x + 110.0f; x < p.x + p.w - 20.0f; x += 1.0f)
        for (float y = p.y + 20.0f; y < p.y + p.h - 20.0f; y += 2.0f) {
            const Rgba c = at(x, y);
            light += c.r > 200 && c.g > 200 && c.b > 200;
        }
    EXPECT_GT(light, 30);
}

TEST_F(PopupPicture, SlidingPanelIsCutByTheScreenEdge)
{
    AchievementPopup popup;
    ASSERT_TRUE(popup.push(311, 59 + 3));
    popup.update(0.1f);  // about a third of the way in
    ASSERT_LT(popup.position(), 1.0f);
    drawPopup(popup);
    save("achievement_popup_sliding.png");
    const auto p = popup.panel(static_cast<float>(width), static_cast<float>(height), screenMetrics().uiScale);
    EXPECT_GT(p.x, static_cast<float>(width) - p.w);
    EXPECT_TRUE(isBackground(at(p.x - 10.0f, p.y + p.h * 0.5f)));
    EXPECT_FALSE(isBackground(at(p.x + 30.0f, p.y + p.h * 0.5f)));

    AchievementPopup empty;
    drawPopup(empty);
    EXPECT_TRUE(isBackground(at(static_cast<float>(width) - 50.0f, p.y + p.h * 0.5f)));
}
