#include "StagedMenuData.h"
#include "StagedPageTest.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/settings/LanguageMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "menus/settings/PlanePaintingMenuFrame.h"
#include "menus/settings/ProfileMenuFrame.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/Render2D.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteSlider.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/StatePanel.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// The first pages a new player meets, over the staged data at the smallest
// and the largest screen the game offers, in every language it ships.
namespace {
using Size = std::pair<int, int>;
constexpr Size kSizes[] = {{960, 640}, {1920, 1080}};

struct NewPlayerPages : SizedPageTest {};

// The caption as drawn: its width and line height at the scale it is drawn
// with, against the dark band at the foot of the button's art.
void expectCaptionInBand(const SpriteButton& button, float left, float top, float right, float bottom,
                         const std::string& where)
{
    ASSERT_TRUE(button.font);
    const float scale = (button.textScale == -1.0f ? button.scale : button.textScale) * button.labelFit();
    const float w = measureText(button.font, button.labelText()).width * scale;
    const float h = button.font->lineHeight() * scale;
    const float bandW = (right - left) * static_cast<float>(button.width);
    const float bandH = (bottom - top) * static_cast<float>(button.height);
    EXPECT_LE(w, bandW + 1.0f) << where << ": the caption runs past its button's band";
    EXPECT_LE(h, bandH + 1.0f) << where << ": the caption is taller than its button's band";
    const float cx = static_cast<float>(button.labelX), cy = static_cast<float>(button.labelY);
    EXPECT_NEAR(cx, (left + right) / 2.0f * static_cast<float>(button.width), 1.0f) << where;
    EXPECT_NEAR(cy, (top + bottom) / 2.0f * static_cast<float>(button.height), 1.0f) << where;
}
struct Box {
    int x0, y0, x1, y1;
};
Box boxOf(const MenuItem& item)
{
    return {item.absX, item.absY, item.absX + item.width, item.absY + item.height};
}
bool overlap(const Box& a, const Box& b)
{
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// Whether the segment passes through the box's inside (its border shrunk by
// two pixels, so a line that ends on an edge does not count).
bool crosses(const SceneMenuFrame::ConnectorLine& line, const Box& box)
{
    const float x0 = static_cast<float>(box.x0 + 2), y0 = static_cast<float>(box.y0 + 2);
    const float x1 = static_cast<float>(box.x1 - 2), y1 = static_cast<float>(box.y1 - 2);
    if (x1 <= x0 || y1 <= y0)
        return false;
    const float dx = static_cast<float>(line.x1 - line.x0), dy = static_cast<float>(line.y1 - line.y0);
    float t0 = 0.0f, t1 = 1.0f;
    const float p[4] = {-dx, dx, -dy, dy};
    const float q[4] = {static_cast<float>(line.x0) - x0, x1 - static_cast<float>(line.x0),
                        static_cast<float>(line.y0) - y0, y1 - static_cast<float>(line.y0)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0f) {
            if (q[i] < 0.0f)
                return false;
            continue;
        }
        const float t = q[i] / p[i];
        if (p[i] < 0.0f)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 < t1;
}

void expectLinesClear(const SceneMenuFrame& page, const std::vector<const MenuItem*>& items, const std::string& where)
{
    ASSERT_FALSE(page.connectorLines.empty()) << where;
    const ScreenMetrics& m = screenMetrics();
    for (const SceneMenuFrame::ConnectorLine& line : page.connectorLines) {
        const std::string seg = where + ": line (" + std::to_string(line.x0) + "," + std::to_string(line.y0) +
                                ")-(" + std::to_string(line.x1) + "," + std::to_string(line.y1) + ")";
        for (int x : {line.x0, line.x1}) {
            EXPECT_GE(x, 0) << seg << " leaves the screen";
            EXPECT_LE(x, m.screenWidth) << seg << " leaves the screen";
        }
        for (const MenuItem* item : items)
            EXPECT_FALSE(crosses(line, boxOf(*item))) << seg << " crosses an item at " << item->absX << ","
                                                      << item->absY;
    }
}

// The bar's buttons whole on the screen, standing in the bar, their labels
// within the plate right of the icon.
void expectBarOnScreen(const MenuPanel& bar, std::initializer_list<const SpriteButton*> buttons,
                       const std::string& where)
{
    const ScreenMetrics& m = screenMetrics();
    for (const SpriteButton* b : buttons) {
        const Box box = boxOf(*b);
        EXPECT_GE(box.x0, 0) << where;
        EXPECT_GE(box.y0, bar.absY) << where << ": the button stands out of its bar";
        EXPECT_LE(box.x1, m.screenWidth) << where << ": the button is cut by the screen's right edge";
        EXPECT_LE(box.y1, m.screenHeight) << where << ": the button is cut by the screen's foot";
        const float drawn = measureText(b->font, b->labelText()).width * b->labelFit();
        EXPECT_LE(drawn, b->width - 38.0f * b->height / 40.0f + 1.0f) << where << ": the label runs off its plate";
    }
}
}  // namespace

TEST_F(NewPlayerPages, MainAndPlayCaptionsStayInTheirButtonsBandsInEveryLanguage)
{
    for (const Size& size : kSizes)
        for (int language = 0; language < kLanguageCount; ++language) {
            rebuild(size, language);
            const std::string at = where(size, language);
            MainMenuFrame& main = *MenuFrameRegistry::mainMenu();
            for (const SpriteButton* b : {main.onlineButton, main.playButton, main.multiplayerButton,
                                          main.profileButton, main.optionsButton, main.quitButton})
                expectCaptionInBand(*b, 8.0f / 124, 84.0f / 124, 116.0f / 124, 116.0f / 124, at);
            PlayMenuFrame& play = *MenuFrameRegistry::playMenu();
            for (const SpriteButton* b : {play.campaignButton, play.survivalButton, play.dogFightsButton})
                expectCaptionInBand(*b, 8.0f / 170, 110.0f / 150, 162.0f / 170, 142.0f / 150, at);
            for (const SpriteButton* b : {play.ffaButton, play.freeFlightButton, play.lmsButton, play.ctfButton,
                                          play.dtbButton, play.tdButton})
                expectCaptionInBand(*b, 8.0f / 180, 110.0f / 150, 172.0f / 180, 142.0f / 150, at);
        }
}

TEST_F(NewPlayerPages, ProfileAndPaintingBarsAndTheProfilesTextsStayOnTheScreen)
{
    mountStagedMenuData();
    for (const Size& size : kSizes)
        for (int language : {0, 2, 9}) {
            rebuild(size, language);
            const std::string at = where(size, language);
            {
                ProfileMenuFrame page;
                page.onShow();
                expectBarOnScreen(*page.bottomPanel, {page.achievementsButton, page.nameButton, page.paintingButton},
                                  at + " (profile)");
                const Box panel = page.statePanel && page.statePanel->visible ? boxOf(*page.statePanel) : Box{};
                for (const SpriteButton* text : {page.pointsLabel, page.nameLabel, page.rankLabel, page.insignia}) {
                    const Box box = boxOf(*text);
                    EXPECT_FALSE(overlap(box, panel)) << at << ": a profile text hangs off the statistics panel";
                    EXPECT_LE(box.y1, page.bottomPanel->absY) << at << ": a profile text runs into the bar";
                    EXPECT_GE(box.x0, 0) << at;
                    EXPECT_LE(box.x1, size.first) << at;
                }
            }
            {
                PlanePaintingMenuFrame page;
                page.onShow();
                expectBarOnScreen(*page.bottomPanel, {page.resetButton, page.revertButton, page.slotButton},
                                  at + " (painting)");
                EXPECT_LE(boxOf(*page.hueSlider).y1, page.bottomPanel->absY) << at;
            }
        }
}

TEST_F(NewPlayerPages, OptionsAndLanguageLinesGoRoundPanelsAndFlags)
{
    for (const Size& size : kSizes) {
        rebuild(size, 0);
        const std::string at = where(size, 0);
        OptionsMenuFrame& options = *MenuFrameRegistry::optionsMenu();
        goToFrame(&options);
        options.layout(0, 0);
        options.rebuildConnectorLines();
        expectLinesClear(options,
                         {options.topRow, options.lowerLeftRow, options.lowerRightRow, options.backButton(),
                          options.languageButton, options.audioButton, options.creditsButton},
                         at + " (options)");
        LanguageMenuFrame& language = *MenuFrameRegistry::languageMenu();
        goToFrame(&language);
        language.layout(0, 0);
        language.rebuildConnectorLines();
        std::vector<const MenuItem*> items{language.upperRow, language.lowerRow, language.backButton()};
        for (const SpriteButton* flag : language.flags)
            items.push_back(flag);
        expectLinesClear(language, items, at + " (language)");
        EXPECT_GE(language.upperRow->absX, 0) << at << ": the flags' row runs off the screen";
        EXPECT_LE(language.upperRow->absX + language.upperRow->width, size.first) << at;
    }
}
