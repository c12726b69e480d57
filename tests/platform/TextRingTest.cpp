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

    const char16_t* wrapped = toWideTemp("x");
    EXPECT_EQ(wrapped, first);
    EXPECT_EQ(toWideTemp("yz"), first + 2);
    EXPECT_EQ(std::u16string(wrapped), u"x");

    const std::string tooLong(kTextRingUnits + 100, 'b');
    EXPECT_EQ(wstrLen(toWideTemp(tooLong.c_str())), kTextRingUnits - 1);
}

TEST(TextRing, NarrowCopyTurnsUnitsFromFFUpIntoSpaces)
{
    EXPECT_EQ(std::string(toNarrowTemp(u"A\u00fe\u00ff\u4e2dZ")), "A\xFE  Z");
    // What toNarrowTemp makes, toWideTemp reads back.
    EXPECT_EQ(std::u16string(toWideTemp(toNarrowTemp(u"Ren\u00e9e"))), u"Ren\u00e9e");
}

TEST(TruncateWide, KeepsShortTextAndCutsLongerTextWithDots)
{
    const char16_t* name = u"Galeborn";
    EXPECT_EQ(truncateWide(name, 8), name);
    EXPECT_EQ(truncateWide(name, 9), name);
    EXPECT_EQ(std::u16string(truncateWide(name, 7)), u"Galebor...");
    EXPECT_EQ(std::u16string(truncateWide(u"ab\U0001F600", 3)), u"ab...");
}

TEST(Utf8Decoding, InvalidBytesNeverStopTheText)
{
    EXPECT_EQ(utf8ToWide("\xC3"), u"\u00c3");                    // cut sequence
    EXPECT_EQ(utf8ToWide("a\xC0\xAF" "b"), u"a\u00c0\u00afb");   // overlong
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x98\x80\xE4\xB8\xAD"), u"\U0001F600\u4e2d");
}

}  // namespace
