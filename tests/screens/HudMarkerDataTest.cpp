// The shipped art the markers, the radar and the notices draw: every frame
// is in its sheet, the small radar has room inside its rim at every screen
// size, and every notice icon a generated map names is in the icon set.
#include "HudPlayFixture.h"

#include "platform/Language.h"
#include "render/2d/SpriteSets.h"
#include "screens/hud/HudMarkers.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

constexpr int kNoticeIconSet = 19;

struct HudMarkerData : testing::TestWithParam<std::pair<int, int>> {
    void SetUp() override
    {
        setDataRoot(SKYFRONT_STAGE_DIR "/");
        ASSERT_TRUE(setScreenSize(GetParam().first, GetParam().second));
        unloadSprite(kSpriteSetHud);
        setSpriteLoadScale(screenMetrics().spriteScale);
        ASSERT_GT(getSprite(kSpriteSetHud)->frameCount(), 180) << "the HUD sheet is not staged";
    }
    void TearDown() override { setScreenSize(960, 640); }
};

TEST_P(HudMarkerData, EveryMarkerAndRadarFrameIsDrawnAndTheRadarHasRoom)
{
    CSprite& s = *getSprite(kSpriteSetHud);
    const int frames[] = {90,  91,  92,  93,  95,  96,  97,  98,  99,  100, 101, 102, 104, 105, 106, 107, 108, 109,
                          110, 111, 112, 113, 118, 119, 120, 124, 125, 126, 127, 128, 129, 130, 131, 138, 152, 153,
                          154, 173, 175};
    for (int f : frames) {
        const CSprite::Rect r = s.frameRect(f);
        EXPECT_GT(r.w * r.h, 0.0f) << "frame " << f;
    }
    EXPECT_GT(s.moduleWidth(HudElementList::kLampModule), 0.0f);
    EXPECT_GT(s.moduleWidth(HudElementList::kLampGlint), 0.0f);
    EXPECT_GT(s.moduleWidth(96), 0.0f) << "the lead point";

    PlaneHud hud;
    hud.init(nullptr);
    const CSprite::Rect place = hud.elementRect(nullptr, HudElementList::kRadarPlace);
    HudElementList list;
    list.layoutRadar(false, place.x, place.y, place.w, place.h, s.moduleWidth(HudElementList::kRadarRim),
                     screenMetrics().screenWidth, screenMetrics().screenHeight);
    EXPECT_GT(place.h, s.moduleWidth(HudElementList::kRadarRim));
    EXPECT_GT(list.radarRadius, 20.0f);
    // The background and compass fill the place.
    EXPECT_NEAR(s.frameRect(104).w, place.w, 2.0f);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HudMarkerData,
                         testing::Values(std::pair{960, 640}, std::pair{1280, 720}, std::pair{1920, 1080},
                                         std::pair{2560, 1440}));

TEST(HudNoticeIcons, EveryIconTheMapsNameIsInTheSet)
{
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    const int count = getSprite(kNoticeIconSet)->frameCount();
    ASSERT_GE(count, 4) << "the notice icons are not staged";
    const std::regex notice(R"(type Notice[^}]*)");
    const std::regex target(R"(target \"(-?\d+)\")");
    int notices = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SKYFRONT_STAGE_DIR "/data/maps")) {
        if (entry.path().extension() != ".edt")
            continue;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (!std::regex_search(line, m, notice))
                continue;
            ++notices;
            const std::string action = m.str(0);
            int icon = 1;
            if (std::smatch t; std::regex_search(action, t, target))
                icon = std::stoi(t.str(1));
            EXPECT_GE(icon, 1) << entry.path() << ": " << line;
            EXPECT_LE(icon, count) << entry.path() << ": " << line;
        }
    }
    EXPECT_GT(notices, 0);
}

}  // namespace
