#include "TestSheets.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "render/2d/CFont.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using testsheets::BatchRecorder;
using RecordedQuadList = std::vector<testsheets::RecordedQuad>;

struct Text : testing::Test {
    CFont font;
    void SetUp() override { ASSERT_TRUE(font.loadSheet(testsheets::monoFont(), 1.0f)); }
    std::u16string wrapped(std::u16string_view text, float width, std::size_t capacity, int* lines = nullptr)
    {
        std::vector<char16_t> out(capacity, u'#');
        const int n = font.wrap(text, width, out);
        if (lines)
            *lines = n;
        return std::u16string(out.data());
    }
};

TEST_F(Text, MeasureCountsAdvancesScaleAndLines)
{
    EXPECT_FLOAT_EQ(font.measure(u"abc").width, 30.0f);
    EXPECT_FLOAT_EQ(font.measure(u"abc").height, 12.0f);
    EXPECT_FLOAT_EQ(font.measure(u"ab\nabcd").width, 40.0f);
    EXPECT_FLOAT_EQ(font.measure(u"ab\nabcd").height, 24.0f);
    font.setScale(2.0f, 1.5f);
    EXPECT_FLOAT_EQ(font.measure(u"abc").width, 60.0f);
    EXPECT_FLOAT_EQ(font.lineHeight(), 18.0f);
    font.setScale(1.0f, 1.0f);
    font.setLetterSpacing(3);
    EXPECT_FLOAT_EQ(font.measure(u"abc").width, 36.0f);
    font.setLineSpacing(4);
    EXPECT_FLOAT_EQ(font.lineHeight(), 16.0f);
    EXPECT_FLOAT_EQ(font.measure(u"").width, 0.0f);
    EXPECT_FLOAT_EQ(font.measure(u"").height, 0.0f);
    EXPECT_FLOAT_EQ(measureText(nullptr, u"abc").width, 0.0f);
}

TEST_F(Text, ColorCodesTakeNoRoomAndSwitchColors)
{
    EXPECT_FLOAT_EQ(font.measure(u"\x08;ab\x01;c").width, 30.0f);
    BatchRecorder recorder;
    font.setColorBytes(255, 255, 255, 255);
    font.draw(u"a\x08;b\x02;c\x01;d", 0, 0, 0);
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 4u);   // no glyph for ';' or the codes
    EXPECT_EQ(quads[0].v[0].color.r, 255);
    EXPECT_EQ(quads[1].v[0].color.b, 255);
    EXPECT_EQ(quads[1].v[0].color.r, 0);
    EXPECT_EQ(quads[2].v[0].color.r, 255);
    EXPECT_EQ(quads[2].v[0].color.g, 0);
    EXPECT_EQ(quads[3].v[0].color.g, 255);
    EXPECT_FLOAT_EQ(quads[3].minX(), 31.0f);   // pen 30 + the glyph's offset 1

    // A fading font fades its colored groups too (colors are premultiplied).
    font.setColorBytes(255, 255, 255, 128);
    font.draw(u"\x08;b", 0, 0, 0);
    const RecordedQuadList& faded = recorder.drawn();
    ASSERT_EQ(faded.size(), 5u);
    EXPECT_NEAR(faded[4].v[0].color.a, 128, 1);
    EXPECT_NEAR(faded[4].v[0].color.b, 128, 1);
    EXPECT_EQ(faded[4].v[0].color.r, 0);
}

TEST_F(Text, UnknownCharactersUseTheFallbackGlyph)
{
    EXPECT_FLOAT_EQ(font.measure(u"a\u00e9b").width, 30.0f);
}

TEST_F(Text, WrapBreaksAtSpacesWithinTheWidth)
{
    int lines = 0;
    EXPECT_EQ(wrapped(u"aa bb cc", 40.0f, 64, &lines), u"aa\nbb\ncc");
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(wrapped(u"aa bb cc", 50.0f, 64, &lines), u"aa bb\ncc");
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(wrapped(u"aa\nbb cc", 1000.0f, 64, &lines), u"aa\nbb cc");
    EXPECT_EQ(lines, 2);
}

TEST_F(Text, AClosingMarkNeverBeginsALineAfterIdeographs)
{
    // Ten pixels a glyph: three fit in 30.
    int lines = 0;
    EXPECT_EQ(wrapped(u"\u4E00\u4E8C\u4E00\u4E8C", 30.0f, 64, &lines), u"\u4E00\u4E8C\u4E00\n\u4E8C");
    EXPECT_EQ(wrapped(u"\u4E00\u4E8C\u4E00\u3002\u4E8C", 30.0f, 64, &lines), u"\u4E00\u4E8C\n\u4E00\u3002\u4E8C");
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(wrapped(u"\u4E00\u4E8C\u4E00.", 30.0f, 64), u"\u4E00\u4E8C\n\u4E00.");
    // A line of one ideograph keeps it: the mark then begins the next line.
    EXPECT_EQ(wrapped(u"\u4E00\u3001", 10.0f, 64), u"\u4E00\n\u3001");
    // Latin text is untouched: a full stop after a word stays with it.
    EXPECT_EQ(wrapped(u"aa bb.", 40.0f, 64), u"aa\nbb.");
    // Too small a buffer for the moved glyph still ends within it.
    std::array<char16_t, 5> small{};
    font.wrap(u"\u4E00\u4E8C\u4E00\u3002", 30.0f, small);
    EXPECT_EQ(small.back(), 0);
}

TEST_F(Text, WrapNeverWritesPastTheBuffer)
{
    std::array<char16_t, 12> guarded{};
    guarded.fill(u'#');
    // Capacity 10 of the 12 units: 9 text units and the closing 0.
    const int lines = font.wrap(u"aa bb cc dd ee", 40.0f, std::span<char16_t>(guarded.data(), 10));
    EXPECT_EQ(std::u16string(guarded.data()), u"aa\nbb\ncc ");
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(guarded[10], u'#');
    EXPECT_EQ(guarded[11], u'#');
    EXPECT_EQ(font.wrap(u"abc", 10.0f, std::span<char16_t>()), 0);
    std::array<char16_t, 1> one{u'#'};
    EXPECT_EQ(font.wrap(u"abc", 10.0f, one), 0);
    EXPECT_EQ(one[0], 0);
}

TEST_F(Text, LongWordKeepsALineOfItsOwn)
{
    EXPECT_EQ(wrapped(u"a abcdefgh b", 40.0f, 64), u"a\nabcdefgh\nb");
}

TEST_F(Text, IdeographsBreakBetweenEachOther)
{
    int lines = 0;
    EXPECT_EQ(wrapped(u"\u4e00\u4e8c\u4e00\u4e8c\u4e00", 25.0f, 64, &lines), u"\u4e00\u4e8c\n\u4e00\u4e8c\n\u4e00");
    EXPECT_EQ(lines, 3);
}

TEST_F(Text, KoreanBreaksAtSpacesAndJapaneseKeepsItsMarksWithTheirNeighbours)
{
    int lines = 0;
    // Hangul words stay whole: the break falls on the space, never between syllables.
    EXPECT_EQ(wrapped(u"\uD574\uD611\uC758 \uD558\uB298", 40.0f, 64, &lines), u"\uD574\uD611\uC758\n\uD558\uB298");
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(wrapped(u"\uD0DC \uD3C9\uC591 \uD568\uB300\uAC00", 35.0f, 64), u"\uD0DC\n\uD3C9\uC591\n\uD568\uB300\uAC00");
    // A Hangul word wider than the width keeps a line of its own, as a Latin one does.
    EXPECT_EQ(wrapped(u"\uD0DC\uD3C9\uC591\uD568\uB300 \uAC00", 30.0f, 64), u"\uD0DC\uD3C9\uC591\uD568\uB300\n\uAC00");
    // Half-width Hangul and compatibility jamo are Korean too.
    EXPECT_EQ(wrapped(u"\u3131\u3134\u3137\u3139", 20.0f, 64), u"\u3131\u3134\u3137\u3139");
    // An opening bracket never ends a line: it goes down with what follows.
    EXPECT_EQ(wrapped(u"\u4E00\u4E8C\u300C\u4E09\u300D", 30.0f, 64), u"\u4E00\u4E8C\n\u300C\u4E09\u300D");
    // Small kana and the long-vowel mark never begin a line.
    EXPECT_EQ(wrapped(u"\u30DF\u30C3\u30B7\u30E7\u30F3", 30.0f, 64), u"\u30DF\u30C3\n\u30B7\u30E7\u30F3");
    EXPECT_EQ(wrapped(u"\u30C7\u30FC\u30BF\u30FC", 30.0f, 64), u"\u30C7\u30FC\n\u30BF\u30FC");
    // Japanese after a Latin word may break between them.
    EXPECT_EQ(wrapped(u"ab\u4E00\u4E8C", 30.0f, 64), u"ab\u4E00\n\u4E8C");
    // An inserted break at full capacity stays inside the buffer.
    std::array<char16_t, 5> tight{};
    tight.fill(u'#');
    font.wrap(u"\u4E00\u4E8C\u4E00\u4E8C\u4E00", 20.0f, tight);
    EXPECT_EQ(std::u16string(tight.data()), u"\u4E00\u4E8C\n\u4E00");
}

TEST_F(Text, WrapByStringNumberUsesTheLoadedTable)
{
    setDataRoot(SKYFRONT_STAGE_DIR);
    ASSERT_TRUE(setLanguageByCode("EN"));
    std::array<char16_t, 64> out{};
    // Text 1728 is "Fire Weapon 1"; six glyphs fit the width.
    EXPECT_EQ(drawTextWrapped(&font, 1728, 60.0f, out), 3);
    EXPECT_EQ(std::u16string(out.data()), u"Fire\nWeapon\n1");
    EXPECT_EQ(drawTextWrapped(&font, -1, 60.0f, out), 1);
    EXPECT_EQ(std::u16string(out.data()), u"DUMMY");
    unloadStringTables();
}

TEST_F(Text, WrapKeepsColorCodesWithTheirSemicolon)
{
    EXPECT_EQ(wrapped(u"\x08;aa bb", 30.0f, 64), u"\x08;aa\nbb");
}

TEST_F(Text, AlignmentFlagsPlaceTheBlock)
{
    BatchRecorder recorder;
    font.draw(u"abcd", 100, 100, CFont::kCentreX | CFont::kCentreY);   // 40 x 12
    font.draw(u"ab", 100, 100, CFont::kRight | CFont::kBottom);
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 6u);
    EXPECT_FLOAT_EQ(quads[0].minX(), 81.0f);
    EXPECT_FLOAT_EQ(quads[0].minY(), 94.0f);
    EXPECT_FLOAT_EQ(quads[3].minX(), 111.0f);
    EXPECT_FLOAT_EQ(quads[4].minX(), 81.0f);
    EXPECT_FLOAT_EQ(quads[4].minY(), 88.0f);
    EXPECT_FLOAT_EQ(quads[5].maxX(), 99.0f);
}

TEST_F(Text, EachLineIsCentredOnItsOwn)
{
    BatchRecorder recorder;
    font.draw(u"ab\nabcd", 0, 0, CFont::kCentreX);
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 6u);
    EXPECT_FLOAT_EQ(quads[0].minX(), -9.0f);
    EXPECT_FLOAT_EQ(quads[2].minX(), -19.0f);
    EXPECT_FLOAT_EQ(quads[2].minY(), 12.0f);
}

TEST_F(Text, MeasureModeGrowsTheBoxAndDrawsNothing)
{
    BatchRecorder recorder;
    font.beginMeasure();
    font.draw(u"ab", 10, 20, 0);
    font.draw(u"abc", 10, 40, 0);
    const CSprite::Rect box = font.endMeasure();
    EXPECT_TRUE(recorder.drawn().empty());
    EXPECT_FLOAT_EQ(box.x, 11.0f);
    EXPECT_FLOAT_EQ(box.y, 20.0f);
    EXPECT_FLOAT_EQ(box.w, 28.0f);
    EXPECT_FLOAT_EQ(box.h, 32.0f);
}

TEST_F(Text, RotatedTextTurnsAboutTheAnchor)
{
    BatchRecorder recorder;
    font.draw(u"a", 50, 50, 0, kPi / 2);
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 1u);
    // The 8x12 glyph at (1,0) relative to the anchor turns to lie left of it, below.
    EXPECT_NEAR(quads[0].minX(), 38.0f, 1e-4);
    EXPECT_NEAR(quads[0].maxX(), 50.0f, 1e-4);
    EXPECT_NEAR(quads[0].minY(), 51.0f, 1e-4);
    EXPECT_NEAR(quads[0].maxY(), 59.0f, 1e-4);
}

}  // namespace
