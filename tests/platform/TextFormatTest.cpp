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
    EXPECT_EQ(format("%.0f m", 2.6), u"3 m");
    EXPECT_EQ(format("%c%c", u'O', u'K'), u"OK");
    EXPECT_EQ(format("[%5d|%-4s]", 42, "ab"), u"[   42|ab  ]");
    EXPECT_EQ(format("%s", "caf\xC3\xA9 caf\xE9"), u"caf\u00e9 caf\u00e9");  // a lone byte is Latin-1
    char16_t buffer[64];
    wideFormatW(buffer, 64, u"Gagn\u00e9 : %d", 3);
    EXPECT_EQ(std::u16string(buffer), u"Gagn\u00e9 : 3");
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

    // A cut never leaves half of a surrogate pair.
    EXPECT_EQ(wideFormatW(buffer, 3, u"a\U0001F600"), 1u);
}

TEST(WideFormat, NullTextArgumentsPrintNothing)
{
    EXPECT_EQ(format("[%w]", static_cast<const char16_t*>(nullptr)), u"[]");
    EXPECT_EQ(format("[%s]", static_cast<const char*>(nullptr)), u"[]");
}

TEST(WideFormat, MismatchedOrMissingArgumentsPrintNothing)
{
    EXPECT_EQ(format("%w and %w", u"one"), u"one and ");
    EXPECT_EQ(format("[%s]", 17), u"[]");
    EXPECT_EQ(format("[%d]", "text"), u"[]");
    EXPECT_EQ(format("100%q 50%"), u"100%q 50%");  // not a code: kept as written
}

}  // namespace
