// The HUD's layers in the order a player sees them, read from the quads it
// hands the 2-D batch: the health and the boost gauge under their plates,
// the world's marks over the radar, and the health's three digits and its
// segments' grey levels.
#include "HudPlayFixture.h"
#include "HudTestSupport.h"

#include "support/screens/HudMarkerFakes.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr std::uintptr_t kBandit = 1;

struct HudDrawOrder : HudPlay, HudCameraFixture {
    FakeHudObjects objects;

    void SetUp() override
    {
        HudPlay::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        HudElementList& list = HudElementList::instance();
        list.reset();
        list.sides = {"US", "RED", ""};
        list.hasSides = true;
        frame.screenWidth = 960;
        frame.screenHeight = 640;
        frame.viewedVelocity = {0.0f, 0.0f, -150.0f};
        objects.names[kBandit] = u"Bandit";
        objects.at(kBandit, {60.0f, 0.0f, -800.0f}).health = 0.6f;
        list.markers.add(keyRef(kBandit), 0, false, 1, frame, objects, &list.sides);
        state.objects = &objects;
        state.player.health = 0.75f;
        state.player.boostReserve = 5.0f;
        state.player.boostCapacity = 10.0f;
    }
    void TearDown() override
    {
        HudElementList::instance().reset();
        HudPlay::TearDown();
    }
    // Every quad of one frame of play.
    std::vector<RecordedQuad> drawFrame()
    {
        for (int i = 0; i < 2; ++i) {
            state.markers = frame;
            hud.update(state);
        }
        QuadRecorder recorder;
        hud.drawContents();
        return recorder.take();
    }
    static bool at(const RecordedQuad& q, float x, float y) { return std::abs(q.minX - x) < 1.0f && std::abs(q.minY - y) < 1.0f; }
    static bool covers(const RecordedQuad& q, float x, float y)
    {
        return q.minX <= x && q.maxX >= x && q.minY <= y && q.maxY >= y;
    }
    static int firstAt(const std::vector<RecordedQuad>& quads, float x, float y)
    {
        for (std::size_t i = 0; i < quads.size(); ++i)
            if (at(quads[i], x, y))
                return static_cast<int>(i);
        return -1;
    }
};

TEST_F(HudDrawOrder, HealthAndGaugeUnderThePlatesAndTheMarksOverTheRadar)
{
    const std::vector<RecordedQuad> quads = drawFrame();
    CSprite::Rect healthPlate{}, dialPlate{};
    int plates = 0;
    for (const auto& [id, r] : hud.shownElementRects())
        if (id < 0 && id > -1000)
            (plates++ == 0 ? healthPlate : dialPlate) = r;
    ASSERT_EQ(plates, 2);
    const int plate = firstAt(quads, healthPlate.x, healthPlate.y);
    const CSprite::Rect segment = hud.elementRect(nullptr, 11);
    const int health = firstAt(quads, segment.x, segment.y);
    ASSERT_GE(plate, 0);
    ASSERT_GE(health, 0);
    EXPECT_LT(health, plate) << "the health segments are drawn under their plate";

    const CSprite::Rect altimeter = hud.elementRect(nullptr, PlaneHud::kAltimeter);
    const float gaugeX = altimeter.x + altimeter.w + 6.0f * screenMetrics().screenScaleX;
    int gauge = -1, dials = -1;
    for (std::size_t i = 0; i < quads.size(); ++i) {
        if (gauge < 0 && std::abs(quads[i].minX - gaugeX) < 1.0f)
            gauge = static_cast<int>(i);
        if (dials < 0 && at(quads[i], dialPlate.x, dialPlate.y))
            dials = static_cast<int>(i);
    }
    ASSERT_GE(gauge, 0);
    ASSERT_GE(dials, 0);
    EXPECT_LT(gauge, dials) << "the boost gauge is drawn under the dials' plate";

    // The radar's face, then the bandit's insignia where the world puts it.
    const CSprite::Rect radar = hud.elementRect(nullptr, HudElementList::kRadarPlace);
    const float rx = radar.x + radar.w / 2.0f, ry = radar.y + radar.h / 2.0f;
    int face = -1;
    for (std::size_t i = 0; i < quads.size() && face < 0; ++i)
        if (covers(quads[i], rx, ry) && quads[i].maxX - quads[i].minX > radar.w * 0.8f)
            face = static_cast<int>(i);
    const HudMarker* bandit = HudElementList::instance().markers.find(keyRef(kBandit));
    ASSERT_TRUE(bandit && bandit->visible);
    int mark = -1;
    for (std::size_t i = static_cast<std::size_t>(std::max(plate, 0)); i < quads.size() && mark < 0; ++i)
        if (covers(quads[i], bandit->screen.x, bandit->screen.y))
            mark = static_cast<int>(i);
    ASSERT_GE(face, 0);
    ASSERT_GE(mark, 0);
    EXPECT_LT(face, mark) << "the marks lie over the radar";
}

// 75 % reads "075%", each segment's damaged rim in grey 255 - p and its sound
// core in grey p, both opaque.
TEST_F(HudDrawOrder, HealthReadsThreeDigitsAndFadesByGreyLevel)
{
    std::vector<RecordedQuad> digits;
    {
        QuadRecorder recorder;
        for (int d = 0; d < 10; ++d)
            sheet.drawModule(HudButton::kFirstDigitModule + d, 0.0f, 0.0f);
        digits = recorder.take();
    }
    ASSERT_EQ(digits.size(), 10u);
    const std::vector<RecordedQuad> quads = drawFrame();
    const CSprite::Rect first = hud.elementRect(nullptr, PlaneHud::kHealthHundreds);
    const CSprite::Rect second = hud.elementRect(nullptr, PlaneHud::kHealthTens);
    const float step = second.x - first.x;
    const int expected[3] = {0, 7, 5};
    for (int k = 0; k < 3; ++k) {
        const int i = firstAt(quads, first.x + step * static_cast<float>(k), first.y);
        ASSERT_GE(i, 0) << "digit " << k << " of the health is blank";
        const RecordedQuad& d = digits[static_cast<std::size_t>(expected[k])];
        EXPECT_TRUE(quads[static_cast<std::size_t>(i)].u == d.u && quads[static_cast<std::size_t>(i)].v == d.v)
            << "digit " << k << " should read " << expected[k];
    }
    const int p = static_cast<int>(std::lround(75.0f * 255.0f / 100.0f));
    for (int module = 11; module <= 14; ++module) {
        const CSprite::Rect r = hud.elementRect(nullptr, module);
        std::vector<Color4> colors;
        for (const RecordedQuad& q : quads)
            if (at(q, r.x, r.y))
                colors.push_back(q.color);
        ASSERT_EQ(colors.size(), 2u) << "segment " << module;
        for (int layer = 0; layer < 2; ++layer) {
            const int level = layer == 0 ? 255 - p : p;
            const Color4 c = colors[static_cast<std::size_t>(layer)];
            EXPECT_TRUE(c.r == level && c.g == level && c.b == level && c.a == 255)
                << "segment " << module << " layer " << layer << ": " << int(c.r) << " " << int(c.a);
        }
    }
}

}  // namespace
