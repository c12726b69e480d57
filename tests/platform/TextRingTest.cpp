#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextRing, RequestThatDoesNotFitRestartsAtTheBeginning)
{
    // 8191 units never fit behind anything else: it starts the ring and fills it.
    const std::string longest(kTextRingUnits - 1, 'a');
    const char16_t* first = toWideTemp(longest.c_str());
    EXPECT_EQ(wstrLen(first), kTextRingUnits - 1);
    EXPECT_EQ(first[kTextRingUnits - 2], u'a');

    const char16_t* wrapped = toWideTemp("x");
    EXPECT_EQ(wrapped, first);
    const char16_t* next = toWideTemp("yz");
    EXPECT_EQ(next, first + 2);
    EXPECT_EQ(std::u16string(wrapped), u"x");
    EXPECT_EQ(std::u16string(next), u"yz");
}

TEST(TextRing, LongerTextIsCutToTheRing)
{
    const std::string tooLong(kTextRingUnits + 100, 'b');
    EXPECT_EQ(wstrLen(toWideTemp(tooLong.c_str())), kTextRingUnits - 1);
    EXPECT_EQ(std::u16string(toWideTemp(nullptr)), u"");
}

TEST(TextRing, NarrowCopyTurnsUnitsFromFFUpIntoSpaces)
{
    const std::string narrow = toNarrowTemp(u"A\u00e9\u00fe\u00ff\u4e2dZ");
    EXPECT_EQ(narrow, "A\xE9\xFE  Z");
    EXPECT_EQ(std::string(toNarrowTemp(nullptr)), "");
    // What toNarrowTemp makes, toWideTemp reads back.
    EXPECT_EQ(std::u16string(toWideTemp(toNarrowTemp(u"Ren\u00e9e"))), u"Ren\u00e9e");
}

TEST(TruncateWide, KeepsShortTextAndCutsLongerTextWithDots)
{
    const char16_t* name = u"Galeborn";
    EXPECT_EQ(truncateWide(name, 8), name);
    EXPECT_EQ(truncateWide(name, 9), name);
    EXPECT_EQ(std::u16string(truncateWide(name, 7)), u"Galebor...");
    EXPECT_EQ(std::u16string(truncateWide(name, 0)), u"...");
    EXPECT_EQ(std::u16string(truncateWide(u"ab\U0001F600", 3)), u"ab...");
    EXPECT_EQ(std::u16string(truncateWide(nullptr, 3)), u"");
}

TEST(WideStrings, CopyNStopsOneShortOfTheLimitAndTerminates)
{
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    wstrCopyN(buffer, u"keyboard", 4);
    EXPECT_EQ(std::u16string(buffer), u"key");
    EXPECT_EQ(buffer[4], u'#');
    wstrCopyN(buffer, nullptr, 8);
    EXPECT_EQ(buffer[0], 0);
    buffer[0] = u'#';
    wstrCopyN(buffer, u"x", 0);
    EXPECT_EQ(buffer[0], u'#');
}

TEST(WideStrings, LengthAndCompareTakeNullAsEmpty)
{
    EXPECT_EQ(wstrLen(nullptr), 0u);
    EXPECT_EQ(wstrCompare(nullptr, u""), 0);
    EXPECT_LT(wstrCompare(u"abc", u"abd"), 0);
    EXPECT_GT(wstrCompare(u"abc", u"ab"), 0);
    EXPECT_EQ(wstrCompare(u"same", u"same"), 0);
}

TEST(Utf8Decoding, InvalidBytesNeverStopTheText)
{
    EXPECT_EQ(utf8ToWide("\xC3"), u"\u00c3");                    // cut sequence
    EXPECT_EQ(utf8ToWide("a\xC0\xAF" "b"), u"a\u00c0\u00afb");   // overlong
    EXPECT_EQ(utf8ToWide("\xED\xA0\x80"), u"\u00ed\u00a0\u0080");  // encoded surrogate
    EXPECT_EQ(utf8ToWide("\xE4\xB8\xAD\xE6\x96\x87"), u"\u4e2d\u6587");
}

}  // namespace
