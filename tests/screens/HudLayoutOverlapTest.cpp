// No two things the HUD shows together in play overlap, at the screen sizes
// the game runs at, in both control schemes, with the event lines, a notice
// and a warning on show.
#include "HudPlayFixture.h"

#include "platform/Language.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageLoaders.h"
#include "render/assets/TextureImage.h"
#include "ui/TextFitLog.h"
#include "render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace {

struct HudOverlap : testing::TestWithParam<std::tuple<int, int, int, bool>> {
    PlaneHud hud;
    int w = 0, h = 0, scheme = 0;
    bool flip = false;

    void SetUp() override
    {
        std::tie(w, h, scheme, flip) = GetParam();
        h = w == 960 ? 640 : w == 1280 ? 720 : 1080;
        settings().flipControls = flip ? 1 : 0;
        setDataRoot(SKYFRONT_STAGE_DIR "/");
        ASSERT_TRUE(setScreenSize(w, h));
        unloadSprite(kSpriteSetHud);
        setSpriteLoadScale(screenMetrics().spriteScale);
        reloadFonts();
        ASSERT_TRUE(setLanguageByIndex(0));
        ASSERT_NE(getSprite(kSpriteSetHud), nullptr);
        ASSERT_GT(getSprite(kSpriteSetHud)->frameCount(), 68) << "the HUD sheet is not staged";
        hud.init(nullptr);
        hud.setControlScheme(scheme);
        HudGameState state;
        state.player.exists = state.player.inPlay = true;
        state.player.canEject = true;
        state.player.counter = 2;
        state.playerGroupIndex = 0;
        for (int g = 0; g < 3; ++g) {
            state.player.weapons[static_cast<std::size_t>(g)] = HudWeaponState{true, g, true, 3};
            state.player.weapons[static_cast<std::size_t>(g)].linkable = true;
        }
        setFrameDelta(1.0f);
        hud.update(state);
        hud.update(state);
        HudMessageQueue& queue = HudMessageQueue::instance();
        // Shot-down lines carry names cut to 10 characters.
        for (int i = 0; i < 5; ++i)
            queue.pushLong(u"\x08;Hargreaves\x01;  shot down  \x07;Fitzwillia\x01; ");
        queue.pushNotice(u"Enemy bombers are approaching the airfield from the north. Intercept them before they "
                         u"reach the hangars.",
                         4.0f, false, true);
        queue.pushCentre(248, Color4{255, 80, 60, 255}, 0.0f);
    }
    void TearDown() override
    {
        HudMessageQueue::instance().clearAll();
        settings().flipControls = 0;
        setScreenSize(960, 640);
        setFrameDelta(1.0f / 60.0f);
    }
};

bool overlap(const CSprite::Rect& a, const CSprite::Rect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// The objective panel has rows only on a campaign's maps, where the eject
// button (and its arrows) never shows; the squadron order shows in single
// play only, the chat rings on the dials in network play only.
bool neverTogether(int a, int b)
{
    auto pair = [&](int x, int y) { return (a == x && b == y) || (a == y && b == x); };
    return pair(199, 89) || pair(199, 87) || pair(199, 18) || pair(9, 17) || pair(9, 26);
}

std::string describe(int id, const CSprite::Rect& r)
{
    return std::to_string(id) + " (" + std::to_string(static_cast<int>(r.x)) + ", " +
           std::to_string(static_cast<int>(r.y)) + ", " + std::to_string(static_cast<int>(r.w)) + " x " +
           std::to_string(static_cast<int>(r.h)) + ")";
}

TEST_P(HudOverlap, NothingShownTogetherOverlapsAndAllIsOnScreen)
{
    const auto rects = hud.shownElementRects();
    ASSERT_GT(rects.size(), 15u);
    int boxes = 0;
    for (const auto& [id, r] : rects)
        boxes += id <= -1000;
    EXPECT_EQ(boxes, 3) << "event lines, notice and warning all on show";
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const auto& [id, r] = rects[i];
        EXPECT_GE(r.x, 0.0f) << describe(id, r);
        EXPECT_GE(r.y, 0.0f) << describe(id, r);
        EXPECT_LE(r.x + r.w, static_cast<float>(w)) << describe(id, r);
        EXPECT_LE(r.y + r.h, static_cast<float>(h)) << describe(id, r);
        for (std::size_t k = i + 1; k < rects.size(); ++k) {
            // A notice is drawn over the event lines, which never wrap.
            const bool linesUnderNotice = std::min(id, rects[k].first) == -1001 && std::max(id, rects[k].first) == -1000;
            if (!neverTogether(id, rects[k].first) && !linesUnderNotice) {
                EXPECT_FALSE(overlap(r, rects[k].second))
                    << describe(id, r) << " overlaps " << describe(rects[k].first, rects[k].second);
            }
        }
    }
    // Autopilot and camera keep their place whatever the flip.
    for (int id : {1, 2, 4})
        EXPECT_EQ(hud.button(id)->shownX(), hud.button(id)->screenPos().x) << "button " << id;
}

// A touch goes to the first button hit, after the camera drag and the pad
// had their turn: every shown button's art must lie clear of both, and no two
// rings' finger-wide zones may meet, or the earlier one takes the other's touches.
// The chat rings on the dials count too (network games show them).
TEST_P(HudOverlap, EveryButtonIsReachedWhereItIsDrawn)
{
    for (int chat : {17, 26})
        hud.showButtonGroup(chat, 0);
    struct Zone {
        int id;
        float x, y, r;
    };
    std::vector<Zone> rings;
    const float grow = 100.0f * screenMetrics().screenScaleX;
    for (HudPanel& panel : hud.panels())
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            if (!b->visible || !b->enabled)
                continue;
            const float x = b->shownX(), y = b->screenPos().y;
            if (b->round)
                rings.push_back({b->id, x + b->centreOffset.x, y + b->centreOffset.y,
                                 b->outerRadius + std::max(0.0f, std::floor((grow - b->size.x) / 2.0f))});
            if (b->notDrawn)
                continue;
            for (int gx = 0; gx <= 4; ++gx)
                for (int gy = 0; gy <= 4; ++gy) {
                    const float px = x + b->size.x * static_cast<float>(gx) / 4.0f;
                    const float py = y + b->size.y * static_cast<float>(gy) / 4.0f;
                    if (b->round && std::hypot(px - x - b->centreOffset.x, py - y - b->centreOffset.y) > b->outerRadius)
                        continue;  // outside the ring's art
                    EXPECT_FALSE(hud.camRotate().containsPoint(px, py))
                        << "button " << b->id << " under the camera drag at " << px << ", " << py;
                    EXPECT_FALSE(hud.dpad().containsPoint(px, py))
                        << "button " << b->id << " under the pad at " << px << ", " << py;
                }
        }
    ASSERT_GE(rings.size(), 8u);
    // The weapons' hit rectangles reach to the screen's edge: the middle of
    // every ring and every weapon must still go to it, whoever comes first.
    std::vector<Zone> middles = rings;
    for (int slot = 0; slot < 3; ++slot) {
        HudButton* b = hud.weaponSlotButton(slot);
        ASSERT_TRUE(b && b->visible);
        middles.push_back({b->id, b->shownX() + b->size.x / 2.0f, b->screenPos().y + b->size.y / 2.0f, 0.0f});
    }
    for (const Zone& middle : middles) {
        const HudButton* first = nullptr;
        for (HudPanel& panel : hud.panels())
            for (const std::unique_ptr<HudButton>& b : panel.buttons)
                if (!first && b->visible && b->enabled && b->hitTest(middle.x, middle.y))
                    first = b.get();
        ASSERT_NE(first, nullptr) << "button " << middle.id;
        EXPECT_EQ(first->id, middle.id) << "the middle of button " << middle.id << " goes to button " << first->id;
    }
    for (std::size_t i = 0; i < rings.size(); ++i)
        for (std::size_t k = i + 1; k < rings.size(); ++k) {
            if (neverTogether(rings[i].id, rings[k].id))
                continue;
            const float d = std::hypot(rings[i].x - rings[k].x, rings[i].y - rings[k].y);
            EXPECT_GT(d, rings[i].r + rings[k].r) << "rings " << rings[i].id << " and " << rings[k].id << " at "
                                                  << d << " apart, zones " << rings[i].r << " + " << rings[k].r;
        }
}

// A ring or pill that touches the screen's edge looks cut off: every shown
// button, the counts drawn on the weapons and the lock button's number stand
// a few pixels in, and that number stands in the clear middle of its sight.
TEST_P(HudOverlap, ButtonsAndTheirNumbersStandClearOfTheEdges)
{
    constexpr int kLockModule = 84;
    const float margin = 4.0f * screenMetrics().uiScale;
    auto inside = [&](const CSprite::Rect& r, const std::string& what) {
        EXPECT_GE(r.x, margin) << what << " " << describe(0, r);
        EXPECT_GE(r.y, margin) << what << " " << describe(0, r);
        EXPECT_LE(r.x + r.w, w - margin) << what << " " << describe(0, r);
        EXPECT_LE(r.y + r.h, h - margin) << what << " " << describe(0, r);
    };
    CSprite* sheet = hud.sheet();
    int counts = 0;
    for (HudPanel& panel : hud.panels())
        for (const std::unique_ptr<HudButton>& b : panel.buttons) {
            if (!b->visible || b->notDrawn || b->module < 0)
                continue;
            const CSprite::Rect r{b->shownX(), b->screenPos().y, b->size.x, b->size.y};
            inside(r, "button " + std::to_string(b->id));
            const std::size_t digits = HudButton::countModules(b->count).size();
            if (digits == 0)
                continue;
            ++counts;
            const float dw = sheet->moduleWidth(HudButton::kFirstDigitModule) * static_cast<float>(digits);
            const float dh = sheet->moduleHeight(HudButton::kFirstDigitModule);
            inside({r.x + r.w - dw, r.y + r.h - dh, dw, dh}, "the count of button " + std::to_string(b->id));
        }
    EXPECT_GE(counts, 3) << "the weapons' counts";
    HudButton* lock = hud.button(8);
    ASSERT_TRUE(lock && lock->visible);
    // The number where the HUD draws it, from the texts of one frame.
    textFitLog().setEnabled(true);
    textFitLog().beginFrame();
    hud.drawContents();
    spriteBatch().discard();
    const float cx = lock->shownX() + lock->size.x / 2.0f, cy = lock->screenPos().y + lock->size.y / 2.0f;
    TextFitLog::Box number{};
    for (const TextFitLog::Entry& e : textFitLog().entries())
        if (e.text == "2" && std::abs(e.inked.x + e.inked.w / 2.0f - cx) < 4.0f &&
            std::abs(e.inked.y + e.inked.h / 2.0f - cy) < 4.0f)
            number = e.inked;
    textFitLog().setEnabled(false);
    ASSERT_GT(number.w, 0.0f) << "the lock button's number";
    inside({number.x, number.y, number.w, number.h}, "the lock button's number");
    // The sight's own strokes keep out of the middle the number takes.
    const SpriteSheet::Module m = sheet->sheet().modules.at(kLockModule);
    TextureImage art;
    auto file = FileDisk::open(SKYFRONT_STAGE_DIR "/data/sprites/hud_wwii" + std::string(m.w > 64 ? "_2x" : "") + ".png",
                               "rb");
    ASSERT_TRUE(file && decodePng(*file, art) && art.format == TextureFormat::Rgba8);
    const float k = static_cast<float>(m.w) / lock->size.x;  // texels a screen pixel
    const float clear = std::hypot(number.w, number.h) / 2.0f * k;
    int bright = 0, rim = 0;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            const float r = std::hypot(x + 0.5f - m.w / 2.0f, y + 0.5f - m.h / 2.0f);
            const std::uint8_t* p = &art.levels[0][(static_cast<std::size_t>(m.y + y) * art.width + m.x + x) * 4];
            const bool light = p[0] > 160 && p[1] > 160 && p[2] > 160;
            bright += light && r <= clear;
            rim += light && r > m.w * 0.4f;
        }
    ASSERT_GT(rim, 0) << "the ring is read from the sheet";
    EXPECT_EQ(bright, 0) << "the sight is drawn where its number stands";
}

TEST_P(HudOverlap, EachSquadronOrderReadsItsOwnWord)
{
    const std::pair<int, const char*> orders[] = {{0, "ATK"}, {1, "DEF"}, {2, "FORM"}};
    const CSprite::Rect place = hud.elementRect(nullptr, 25);
    textFitLog().setEnabled(true);
    for (const auto& [index, word] : orders) {
        hud.showSquadButtons(index);
        textFitLog().beginFrame();
        hud.drawContents();
        spriteBatch().discard();
        std::string shown;
        for (const TextFitLog::Entry& e : textFitLog().entries())
            if (e.inked.x >= place.x && e.inked.x + e.inked.w <= place.x + place.w && e.inked.y >= place.y &&
                e.inked.y + e.inked.h <= place.y + place.h)
                shown += e.text;
        EXPECT_EQ(shown, word) << "squadron order " << index;
    }
    textFitLog().setEnabled(false);
}

// The longest kill lines stay on one line, all five under the dials' plate
// and above the middle of the screen, where the flipped weapons stand.
TEST_P(HudOverlap, LongEventLinesStayOnOneLineUnderTheDials)
{
    HudMessageQueue& queue = HudMessageQueue::instance();
    const CSprite::Rect ring = queue.ringBox();
    for (const auto& line : queue.ring()) {
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->lineCount, 1);
        EXPECT_EQ(line->text.find(u'\n'), std::u16string::npos);
    }
    EXPECT_LE(ring.x + ring.w, static_cast<float>(w));
    EXPECT_LE(ring.y + ring.h, hud.weaponSlotButton(1)->screenPos().y);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HudOverlap,
                         testing::Combine(testing::Values(960, 1280, 1920), testing::Values(0), testing::Values(0, 1),
                                          testing::Bool()),
                         [](const auto& info) {
                             return std::to_string(std::get<0>(info.param)) + "_scheme" +
                                    std::to_string(std::get<2>(info.param)) + (std::get<3>(info.param) ? "_flipped" : "");
                         });

}  // namespace

// The renderer's restart drops every sprite set with its caches: the next
// game's HUD is built from the sheet loaded anew, not from the one it kept.
TEST(HudSheet, TheNextGameAfterARendererRestartBuildsItsHudFromTheNewSheet)
{
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    ASSERT_TRUE(setScreenSize(960, 640));
    const float scale = spriteLoadScale();
    unloadSprite(kSpriteSetHud);  // an earlier test may have tried it without the data
    PlaneHud hud;
    hud.init(nullptr);
    ASSERT_GT(hud.sheet()->frameCount(), 68) << "the HUD sheet is not staged";
    const CSprite::Rect before = hud.elementRect(nullptr, 29);  // the first weapon
    resetRenderGlobals();
    setSpriteLoadScale(scale);
    hud.init(nullptr);
    const CSprite::Rect after = hud.elementRect(nullptr, 29);
    EXPECT_GT(after.w, 0.0f);
    EXPECT_TRUE(after.x == before.x && after.y == before.y && after.w == before.w);
}
