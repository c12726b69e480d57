#include "platform/Options.h"

#include <gtest/gtest.h>

namespace {
OptionTable parsed(std::initializer_list<const char*> args)
{
    OptionTable options;
    options.parse(std::span<const char* const>(args.begin(), args.size()));
    return options;
}
}  // namespace

// An option left without its value does not eat the option after it: both
// the join and the window keep what was typed.
TEST(CommandLineValues, AnOptionIsNeverTakenAsTheValueOfTheOneBefore)
{
    GraphicsConfig config;
    const OptionTable options = parsed({"+connect", "-width", "800", "+password", "+connect", "1.2.3.4:5"});
    options.applyTo(config);
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(options.connect(), "1.2.3.4:5");
    EXPECT_TRUE(options.password().empty());

    EXPECT_TRUE(parsed({"+connect", "--height", "600"}).connect().empty());
    EXPECT_TRUE(parsed({"+connect", "-help"}).helpRequested());
    EXPECT_NE(parsed({"-roomserver", "+connect_lobby", "7"}).roomServer(), "+connect_lobby");
    EXPECT_EQ(parsed({"-roomserver", "+connect_lobby", "7"}).connectLobby(), "7");
    // A value that only looks like an option is still a value.
    EXPECT_EQ(parsed({"+password", "-secret"}).password(), "-secret");
}
