#include "platform/File.h"
#include "platform/Options.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {
void expectDefaults(const GraphicsConfig& config)
{
    const GraphicsConfig defaults;
    EXPECT_EQ(config.width, defaults.width);
    EXPECT_EQ(config.height, defaults.height);
    EXPECT_EQ(config.mode, defaults.mode);
    EXPECT_EQ(config.quality, defaults.quality);
    EXPECT_EQ(config.vsync, defaults.vsync);
}

TEST(GraphicsConfigFile, ReadsEveryKeyWithCommentsAndBlankLines)
{
    const GraphicsConfig config =
        parseGraphicsConfig("# window\nwidth 800\r\n\n  height\t600  \nmode 2 # full screen\nquality 3\nvsync 0");
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_EQ(config.mode, 2);
    EXPECT_EQ(config.quality, 3);
    EXPECT_EQ(config.vsync, 0);
}

TEST(GraphicsConfigFile, OutOfRangeAndUnreadableValuesAreReplacedByTheDefaults)
{
    expectDefaults(parseGraphicsConfig("width 100\nheight 99999\nmode 9\nquality -1\nvsync 2\n"));
    expectDefaults(parseGraphicsConfig("width 8x0\nheight\nmode 1.5\nquality three\nvsync 99999999999999\n"));
    // A good value followed by a bad one for the same key ends at the default.
    EXPECT_EQ(parseGraphicsConfig("quality 3\nquality 7\n").quality, 2);
}

TEST(GraphicsConfigFile, UnknownKeysAndGarbageLeaveTheRestAlone)
{
    using namespace std::string_view_literals;
    const std::string_view garbage = "\x01\x02\xff\0width 1024\nbogus 5\n===\nheight 768"sv;
    const GraphicsConfig config = parseGraphicsConfig(garbage);
    EXPECT_EQ(config.height, 768);
    EXPECT_EQ(config.width, 1280);
    expectDefaults(parseGraphicsConfig(""));
}

TEST(GraphicsConfigFile, SaveWritesTheStartupValuesWithVsyncOnAndLoadsBack)
{
    TempDir dir;
    setSaveFolder(dir.folder());
    expectDefaults(loadGraphicsConfig());  // missing file

    startupGraphics() = GraphicsConfig{1024, 768, 1, 0, 0};
    ASSERT_TRUE(saveGraphicsConfig());
    const GraphicsConfig loaded = loadGraphicsConfig();
    EXPECT_EQ(loaded.width, 1024);
    EXPECT_EQ(loaded.height, 768);
    EXPECT_EQ(loaded.mode, 1);
    EXPECT_EQ(loaded.quality, 0);
    EXPECT_EQ(loaded.vsync, 1);
    startupGraphics() = GraphicsConfig{};
    setSaveFolder("");
}

OptionTable parsed(std::initializer_list<const char*> args)
{
    OptionTable options;
    options.parse(std::span<const char* const>(args.begin(), args.size()));
    return options;
}

TEST(CommandLine, ValuesOverrideTheFileAndOutOfRangeValuesAreIgnored)
{
    GraphicsConfig config = parseGraphicsConfig("width 1024\nheight 768\nquality 1\n");
    parsed({"-width", "800", "--height", "600", "-quality", "5", "-mode", "2"}).applyTo(config);
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_EQ(config.quality, 1);  // 5 is out of range: the file's value stays
    EXPECT_EQ(config.mode, 2);
}

// A window too small for the menus is made the smallest they fit, from the
// command line; the file's too-small size falls back to the default; -help
// names the smallest size.
TEST(CommandLine, AWindowSmallerThanTheMenusFitIsMadeTheSmallestThatFits)
{
    GraphicsConfig config;
    parsed({"-width", "320", "-height", "240"}).applyTo(config);
    EXPECT_EQ(config.width, 720);
    EXPECT_EQ(config.height, 480);
    parsed({"-width", "720", "-height", "479"}).applyTo(config);
    EXPECT_EQ(config.height, 480);
    parsed({"-height", "0"}).applyTo(config);  // not a size: ignored
    EXPECT_EQ(config.height, 480);
    const GraphicsConfig defaults;
    EXPECT_EQ(parseGraphicsConfig("width 320\nheight 240\n").width, defaults.width);
    EXPECT_NE(OptionTable::usage().find("720 x 480"), std::string::npos);
}

TEST(CommandLine, MissingOrUnreadableValuesAndUnknownOptionsAreIgnored)
{
    GraphicsConfig config;
    parsed({"-width", "wide", "-fullscreen", "stray", "-vsync"}).applyTo(config);
    expectDefaults(config);
    // A value-taking option at the end must not read past the arguments.
    EXPECT_FALSE(parsed({"+connect"}).helpRequested());
    EXPECT_TRUE(parsed({"+connect"}).connect().empty());
}

TEST(CommandLine, FlagsAndJoinTextsAreKept)
{
    const OptionTable options =
        parsed({"-help", "-listres", "+connect", "10.0.0.2:6026", "+connect_lobby", "42", "+password", "x y"});
    EXPECT_TRUE(options.helpRequested());
    EXPECT_TRUE(options.listResolutionsRequested());
    EXPECT_EQ(options.connect(), "10.0.0.2:6026");
    EXPECT_EQ(options.connectLobby(), "42");
    EXPECT_EQ(options.password(), "x y");
    EXPECT_FALSE(parsed({"-+connect", "1.2.3.4:5"}).connect().size());
}

TEST(CommandLine, UsageNamesEveryOption)
{
    const std::string usage = OptionTable::usage();
    for (const char* name : {"-help", "-width", "-height", "-mode", "-quality", "-vsync", "-listres", "+connect ",
                             "+connect_lobby", "+password"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}
}  // namespace

namespace {
TEST(TestOptions, StepFrameCountAndDumpsParseAndBadValuesAreIgnored)
{
    OptionTable options;
    const char* args[] = {"-fixeddt", "0.02", "-frames", "250", "-dumpframe", "2:a.png",
                          "-dumpframe", "100:out/b.png", "-dumpframe", "0:c.png", "-dumpframe", "7",
                          "-fixeddt", "5"};
    options.parse(args);
    const TestOptions& test = options.testOptions();
    EXPECT_FLOAT_EQ(test.fixedFrameDelta, 0.02f);  // the out-of-range 5 s kept the earlier value
    EXPECT_EQ(test.quitAfterFrames, 250);
    ASSERT_EQ(test.frameDumps.size(), 2u);
    EXPECT_EQ(test.frameDumps[1].frame, 100);
    EXPECT_EQ(test.frameDumps[1].path, "out/b.png");

    OptionTable none;
    none.parse({});
    EXPECT_EQ(none.testOptions().fixedFrameDelta, 0.0f);
    EXPECT_EQ(none.testOptions().quitAfterFrames, 0);

    const std::string usage = OptionTable::usage();
    const std::size_t heading = usage.find("Test options");
    ASSERT_NE(heading, std::string::npos);
    EXPECT_GT(usage.find("-dumpframe"), heading);
    EXPECT_GT(usage.find("-inputscript FILE"), heading);
    EXPECT_LT(usage.find("-quality"), heading);
    EXPECT_EQ(parsed({"-inputscript", "run/quit.txt"}).testOptions().inputScript, "run/quit.txt");
    EXPECT_TRUE(none.testOptions().inputScript.empty());
    EXPECT_GT(usage.find("-inputpipe FILE"), heading);
    EXPECT_EQ(parsed({"-inputpipe", "/dev/stdin"}).testOptions().inputPipe, "/dev/stdin");
    EXPECT_TRUE(none.testOptions().inputPipe.empty());
    // A flag without a value, which must not make the next option a value.
    EXPECT_GT(usage.find("-gldesktop"), heading);
    const OptionTable desktop = parsed({"-gldesktop", "-quality", "1"});
    EXPECT_TRUE(desktop.testOptions().desktopGl);
    EXPECT_FALSE(desktop.listResolutionsRequested());
    GraphicsConfig config;
    desktop.applyTo(config);
    EXPECT_EQ(config.quality, 1);
    EXPECT_FALSE(none.testOptions().desktopGl);
}
}  // namespace

namespace {
// Only the named placements are taken; a later good value wins over an earlier one.
TEST(TestOptions, TestPlaceTakesFoeFlagOrShipOnlyAndIsListedAsATestOption)
{
    EXPECT_EQ(parsed({"-testplace", "foe"}).testOptions().testPlace, "foe");
    EXPECT_EQ(parsed({"-testplace", "ship"}).testOptions().testPlace, "ship");
    EXPECT_EQ(parsed({"-testplace", "landmark"}).testOptions().testPlace, "landmark");
    for (const char* kind : {"deck", "bridge", "building"})
        EXPECT_EQ(parsed({"-testplace", kind}).testOptions().testPlace, kind);
    EXPECT_EQ(parsed({"-testplace", "foe", "-testplace", "flag"}).testOptions().testPlace, "flag");
    for (const char* bad : {"", "Foe", "flags", "foe;flag", "bot", "ships", "Ship"})
        EXPECT_EQ(parsed({"-testplace", bad}).testOptions().testPlace, "") << bad;
    EXPECT_EQ(parsed({"-testplace", "flag", "-testplace", "x"}).testOptions().testPlace, "flag");
    const std::string usage = OptionTable::usage();
    EXPECT_GT(usage.find("-testplace foe|flag|ship|deck|bridge|building"), usage.find("Test options"));
}

// A seeded run: the number within its range, anything else leaves the usual sequence.
TEST(TestOptions, TheSeedIsANumberInItsRange)
{
    EXPECT_EQ(parsed({"-seed", "7"}).testOptions().seed, 7);
    EXPECT_EQ(parsed({"-seed", "1000000"}).testOptions().seed, 1000000);
    for (const char* bad : {"-1", "1000001", "x", "3.5", ""})
        EXPECT_EQ(parsed({"-seed", bad}).testOptions().seed, 0) << bad;
    const std::string usage = OptionTable::usage();
    EXPECT_GT(usage.find("-seed N"), usage.find("Test options"));
}

TEST(TestOptions, AutostartTakesTypeAndMapAndRefusesTheRest)
{
    OptionTable options;
    const char* args[] = {"-autostart", "10:0"};
    options.parse(args);
    EXPECT_EQ(options.testOptions().autostartType, 10);
    EXPECT_EQ(options.testOptions().autostartMap, 0);
    // A campaign mission by its record name.
    OptionTable campaign;
    const char* missionArgs[] = {"-autostart", "1:c1m1"};
    campaign.parse(missionArgs);
    EXPECT_EQ(campaign.testOptions().autostartType, 1);
    EXPECT_EQ(campaign.testOptions().autostartMission, "c1m1");
    for (const char* bad : {"10", "x:1", "0:1", "2:-1", ":", "2:", "2:1x", "2:c1m1", "1:", "1:1c", "1:c1/m1"}) {
        OptionTable table;
        const char* badArgs[] = {"-autostart", bad};
        table.parse(badArgs);
        EXPECT_EQ(table.testOptions().autostartType, 0) << bad;
    }
    const std::string usage = OptionTable::usage();
    EXPECT_GT(usage.find("-autostart"), usage.find("Test options"));
}

TEST(TestOptions, NetworkOptionsKeepTestRunsOnLoopbackAndRefuseTheRest)
{
    OptionTable options;
    const char* args[] = {"-autohost", "13:2", "-netport", "47001", "-lanaddr", "127.0.0.1"};
    options.parse(args);
    EXPECT_EQ(options.testOptions().autohostType, 13);
    EXPECT_EQ(options.testOptions().autohostMap, 2);
    EXPECT_EQ(options.testOptions().netPort, 47001);
    EXPECT_EQ(options.testOptions().lanAddress, "127.0.0.1");
    for (const char* bad : {"1:c1m1", "x:1", "2", "0:0"}) {
        OptionTable table;
        const char* badArgs[] = {"-autohost", bad};
        table.parse(badArgs);
        EXPECT_EQ(table.testOptions().autohostType, 0) << bad;
    }
    for (const char* bad : {"0", "65536", "-3", "port"}) {
        OptionTable table;
        const char* badArgs[] = {"-netport", bad};
        table.parse(badArgs);
        EXPECT_EQ(table.testOptions().netPort, 0) << bad;
    }
    for (const char* bad : {"127.0.0", "127.0.0.1.5", "256.0.0.1", "a.b.c.d", "127..0.1", "localhost", "1.2.3.4."}) {
        OptionTable table;
        const char* badArgs[] = {"-lanaddr", bad};
        table.parse(badArgs);
        EXPECT_TRUE(table.testOptions().lanAddress.empty()) << bad;
    }
    const std::string usage = OptionTable::usage();
    EXPECT_GT(usage.find("-autohost TYPE:MAP"), usage.find("Test options"));
    EXPECT_GT(usage.find("-lanaddr ADDR"), usage.find("Test options"));
}

TEST(TestOptions, InjectTakesClicksAndKeysAndWarnsOfTheRest)
{
    OptionTable options;
    const char* args[] = {"-inject", "420:click@900,36", "-inject", "12:key@Esc"};
    options.parse(args);
    EXPECT_EQ(options.testOptions().injections, (std::vector<std::string>{"420 click 900 36", "12 key Esc"}));
    for (const char* bad : {"420", "420:click", "420:click@900", "x:click@1,2", "-3:key@Esc", "4:key@NoSuchKey",
                            "4:tap@1,2", "4:key@Esc 5 close", "4:click@1,2#", "4:key@", "@4:key"}) {
        OptionTable table;
        const char* badArgs[] = {"-inject", bad};
        table.parse(badArgs);
        EXPECT_TRUE(table.testOptions().injections.empty()) << bad;
    }
    const std::string usage = OptionTable::usage();
    EXPECT_GT(usage.find("-inject"), usage.find("Test options"));
}
}  // namespace
