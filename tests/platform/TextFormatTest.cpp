#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string format(const char* fmt, const auto&... args)
{
    char16_t buffer[256];
    wideFormat(buffer, std::size(buffer), fmt, args...);
    return buffer;
}

TEST(WideFormat, FormatsEveryCodeTheMenusUse)
{
    EXPECT_EQ(format("%w %d%%", u"Health", 75), u"Health 75%");
    EXPECT_EQ(format("%d:%02d", 3, 7), u"3:07");
    EXPECT_EQ(format("%w\n%s", u"Pilot", "Galeborn"), u"Pilot\nGaleborn");
    EXPECT_EQ(format("%d x %d", 1280, 1024), u"1280 x 1024");
    EXPECT_EQ(format("%.0f m", 2.6), u"3 m");
    EXPECT_EQ(format("%.0f", 12.4f), u"12");
    EXPECT_EQ(format("%c%c", u'O', u'K'), u"OK");
    EXPECT_EQ(format("%w_", std::u16string(u"name")), u"name_");
    EXPECT_EQ(format("%d", -2147483647 - 1), u"-2147483648");
    EXPECT_EQ(format("%u %x", 4000000000u, 255), u"4000000000 ff");
}

TEST(WideFormat, AppliesWidthAndPrecisionToTexts)
{
    EXPECT_EQ(format("[%5d]", 42), u"[   42]");
    EXPECT_EQ(format("[%-4s]", "ab"), u"[ab  ]");
    EXPECT_EQ(format("[%4w]", u"ab"), u"[  ab]");
    EXPECT_EQ(format("[%.2w]", u"abcdef"), u"[ab]");
}

TEST(WideFormat, SixteenBitFormatKeepsItsCharacters)
{
    char16_t buffer[64];
    const std::size_t n = wideFormatW(buffer, 64, u"Gagn\u00e9 : %d \u4e2d", 3);
    EXPECT_EQ(std::u16string(buffer), u"Gagn\u00e9 : 3 \u4e2d");
    EXPECT_EQ(n, 11u);
}

TEST(WideFormat, EightBitTextIsDecodedAsUtf8WithLatin1Fallback)
{
    EXPECT_EQ(format("%s", "caf\xC3\xA9"), u"caf\u00e9");
    EXPECT_EQ(format("%s", "caf\xE9"), u"caf\u00e9");  // a lone byte is Latin-1
    EXPECT_EQ(format("%s", "\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(format("x\xC3\xA9%d", 1), u"x\u00e91");
}

TEST(WideFormat, TruncatesAtCapacityAndAlwaysTerminates)
{
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(wideFormat(buffer, 6, "%s", "abcdefgh"), 5u);
    EXPECT_EQ(std::u16string(buffer), u"abcde");
    EXPECT_EQ(buffer[6], u'#');  // nothing past the capacity

    EXPECT_EQ(wideFormat(buffer, 1, "%d", 12345), 0u);
    EXPECT_EQ(buffer[0], 0);

    buffer[0] = u'#';
    EXPECT_EQ(wideFormat(buffer, 0, "%d", 1), 0u);
    EXPECT_EQ(buffer[0], u'#');

    // Padding past the end stops at the capacity too.
    char16_t small[4];
    wideFormat(small, 4, "%500d", 1);
    EXPECT_EQ(std::u16string(small), u"   ");
}

TEST(WideFormat, NeverCutsASurrogatePairInHalf)
{
    char16_t buffer[3];
    EXPECT_EQ(wideFormatW(buffer, 3, u"a\U0001F600"), 1u);
    EXPECT_EQ(std::u16string(buffer), u"a");
}

TEST(WideFormat, NullTextArgumentsPrintNothing)
{
    EXPECT_EQ(format("[%w]", static_cast<const char16_t*>(nullptr)), u"[]");
    EXPECT_EQ(format("[%s]", static_cast<const char*>(nullptr)), u"[]");
    char16_t buffer[16];
    EXPECT_EQ(wideFormatW(buffer, 16, static_cast<const char16_t*>(nullptr)), 0u);
    EXPECT_EQ(buffer[0], 0);
}

TEST(WideFormat, MismatchedOrMissingArgumentsPrintNothing)
{
    EXPECT_EQ(format("%d items"), u" items");
    EXPECT_EQ(format("%w and %w", u"one"), u"one and ");
    EXPECT_EQ(format("[%s]", 17), u"[]");
    EXPECT_EQ(format("[%d]", "text"), u"[]");
    EXPECT_EQ(format("[%d]", 2.9), u"[2]");  // numbers convert between kinds
}

TEST(WideFormat, UnknownCodesStandAsWritten)
{
    EXPECT_EQ(format("100%q", 5), u"100%q");
    EXPECT_EQ(format("50%"), u"50%");
    EXPECT_EQ(format("%ld", 7L), u"7");
}

}  // namespace
