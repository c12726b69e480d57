// The weapons tutorial played by keys alone in the staged game: the trigger
// pulled through the gun and rocket lessons, the link key, then the flight
// keys take the airplane from the autopilot and fly it to the tarn, where a
// torpedo dropped in a dive runs on the lake and sinks the ship. Frames go to
// build/tutorial/ for a look.
//
// The flight keys are a recording: with the fixed frame time a run is the same
// every time, and the keys were found by steering by the positions that
// "-logplayer" printed in earlier runs. The lessons before the tarn are flown
// by the autopilot; a change to it, to the flight or to the lessons moves the
// airplane elsewhere at the torpedo lesson's start, and the check of that
// start below then says the keys must be found again.
#include "StagedGame.h"

#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {
// The frame the torpedo lesson began in when the keys were recorded, and
// where the airplane was then.
constexpr int kTorpedoLessonFrame = 1151;
constexpr float kTorpedoLessonX = 15442.04f, kTorpedoLessonZ = -657.09f;

// From the torpedo lesson on: FRAME COMMAND pairs of the recording.
constexpr const char* kFlightKeys =
    "1152 keydown Q|1156 key LShift|1182 keyup Q|1216 key LShift|1252 keydown E|1254 keyup E|1255 keydown S|"
    "1256 key LShift|1256 keyup S|1316 key LShift|1352 keydown E|1356 key LShift|1357 keyup E|1416 key LShift|"
    "1452 keydown E|1456 key LShift|1457 keyup E|1516 key LShift|1552 keydown E|1556 key LShift|1556 keyup E|"
    "1592 keydown E|1594 keyup E|1596 key LShift|1632 keydown E|1633 keyup E|1636 key LShift|1672 keydown E|"
    "1673 keyup E|1674 keydown W|1676 key LShift|1682 keyup W|1684 keydown W|1687 keyup W|1688 key LShift|"
    "1696 keydown S|1698 keyup S|1700 key LShift|1708 keydown Space|1710 keyup Space|1712 key LShift|"
    "1720 keydown Space|1722 keyup Space|1724 key LShift|1732 keydown Space|1734 keyup Space|1736 key LShift|"
    "1744 keydown E|1745 keyup E|1748 key LShift|1756 keydown Space|1758 keyup Space|1760 key LShift|"
    "1768 keydown S|1769 keyup S|1772 key LShift|1780 keydown E|1781 keyup E|1784 key LShift|1792 keydown E|"
    "1793 keyup E|1796 key LShift|1804 keydown E|1805 keyup E|1808 key LShift|1816 keydown E|1820 key LShift|"
    "1828 keydown Q|1832 key LShift|1834 keyup Q|1906 keyup E|1907 keydown S|1920 keyup S";

struct WeaponsTutorialRun : testing::Test {
    StagedGame game;

    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }

    // The trigger pulled in turns (so a rack handed out again fires too) up
    // to the torpedo lesson, the link key in the link lesson, then the
    // recorded flight.
    static std::string script()
    {
        std::string s;
        for (int f = 1; f < kTorpedoLessonFrame; f += 12)
            s += std::to_string(f) + " keydown Space\n" + std::to_string(std::min(f + 10, kTorpedoLessonFrame)) +
                 " keyup Space\n";
        for (int f = 300; f < 1060; f += 40)
            s += std::to_string(f) + " key L\n";
        std::stringstream keys(kFlightKeys);
        for (std::string line; std::getline(keys, line, '|');)
            s += line + "\n";
        return s;
    }

    // The frame of the first position logged after the line; -1 when none.
    static int frameAfter(const std::string& log, const std::string& line)
    {
        const std::size_t at = log.find(line);
        if (at == std::string::npos)
            return -1;
        const std::size_t next = log.find("test: frame ", at);
        return next == std::string::npos ? -1 : std::atoi(log.c_str() + next + 12);
    }
};

TEST_F(WeaponsTutorialRun, PlayedByKeysUntilATorpedoSinksTheShipOnTheTarn)
{
    ASSERT_EQ(game.runScript(script(), "-width 480 -height 320 -quality 0 -fixeddt 0.05 -frames 1900 -autostart 9:4 "
                                       "-logplayer 1 -dumpframe 1795:torpedo_run.png -dumpframe 1857:ship_hit.png"),
              0)
        << game.errors();
    const std::string log = game.log();
    // Where the recording starts.
    ASSERT_EQ(frameAfter(log, "tutorial 4: step 12"), kTorpedoLessonFrame) << "the keys must be found again";
    const std::string start = "test: frame " + std::to_string(kTorpedoLessonFrame) + " player at ";
    const std::size_t at = log.find(start);
    ASSERT_NE(at, std::string::npos);
    float x = 0.0f, y = 0.0f, z = 0.0f;
    ASSERT_EQ(std::sscanf(log.c_str() + at + start.size(), "%f %f %f", &x, &y, &z), 3);
    ASSERT_NEAR(x, kTorpedoLessonX, 1.0f) << "the keys must be found again";
    ASSERT_NEAR(z, kTorpedoLessonZ, 1.0f) << "the keys must be found again";

    // The keys take the airplane from the autopilot, the torpedo sinks the ship.
    const std::size_t lesson = log.find("tutorial 4: step 12");
    const std::size_t taken = log.find("tutorial 4: the player's keys take the airplane from the autopilot", lesson);
    EXPECT_NE(taken, std::string::npos) << log;
    EXPECT_NE(log.find("tutorial 4: line 651", lesson), std::string::npos) << "the torpedo lesson ended\n" << log;
    EXPECT_NE(log.find("tutorial 4: step 13", lesson), std::string::npos);

    TextureImage image;
    EXPECT_TRUE(game.loadShot("torpedo_run.png", image, "tutorial"));
    EXPECT_TRUE(game.loadShot("ship_hit.png", image, "tutorial"));
}
}  // namespace
