#include "StagedPageTest.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/Render2D.h"
#include "ui/widgets/SpriteButton.h"

#include <string>
#include <utility>
#include <vector>

// The first pages a new player meets, over the staged data at the smallest
// and the largest screen the game offers, in every language it ships.
namespace {
using Size = std::pair<int, int>;
constexpr Size kSizes[] = {{960, 640}, {1920, 1080}};

struct NewPlayerPages : StagedPageTest {
    void TearDown() override
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        StagedPageTest::TearDown();
    }
    // Builds the pages anew at the size, in the language.
    void rebuild(const Size& size, int language)
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        ASSERT_TRUE(setScreenSize(size.first, size.second));
        ASSERT_TRUE(setLanguageByIndex(language));
        reloadFonts();
    }
    static std::string where(const Size& size, int language)
    {
        return std::to_string(size.first) + "x" + std::to_string(size.second) + " in " +
               languageTable[language].code;
    }
};

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
