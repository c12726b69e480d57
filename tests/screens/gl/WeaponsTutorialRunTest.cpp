// The weapons tutorial played by keys alone in the staged game: the trigger
// pulled through the gun and rocket lessons, the link key, then the flight
// keys take the airplane from the autopilot and fly it to the tarn, where a
// torpedo dropped in a dive runs on the lake and sinks the ship. Frames go to
// build/tutorial/ for a look.
//
// The flight keys are a recording: with the fixed frame time a run is the same
// every time, and the keys were found by steering by the positions that
// "-logplayer" printed in earlier runs. The lessons before the tarn are flown
// by the autopilot; a change to it, to the flight, to the lessons or to the
// loading frames moves the airplane elsewhere at the torpedo lesson's start,
// and the run is then skipped with a note that the keys must be found again.
#include "StagedGame.h"

#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {
// The frame the torpedo lesson began in when the keys were recorded, and
// where the airplane was then.
constexpr int kTorpedoLessonFrame = 1209;
constexpr float kTorpedoLessonX = 10335.79f, kTorpedoLessonZ = 1785.86f;

// From the torpedo lesson on: FRAME COMMAND pairs of the recording.
constexpr const char* kFlightKeys =
    "1210 keydown E|1214 key LShift|1274 key LShift|1282 keyup E|1283 keydown S|1284 keyup S|1310 keydown E|"
    "1314 key LShift|1316 keyup E|1317 keydown W|1318 keyup W|1374 key LShift|1410 keydown Q|1413 keyup Q|"
    "1414 keydown S|1414 key LShift|1415 keyup S|1474 key LShift|1510 keydown Q|1514 keyup Q|1514 key LShift|"
    "1515 keydown W|1516 keyup W|1574 key LShift|1610 keydown Q|1613 keyup Q|1614 key LShift|1650 keydown Q|"
    "1651 keyup Q|1654 key LShift|1690 keydown S|1691 keyup S|1694 key LShift|1730 keydown Q|1731 keyup Q|"
    "1732 keydown W|1733 keyup W|1734 key LShift|1770 keydown Q|1771 keyup Q|1772 keydown W|1774 key LShift|"
    "1781 keyup W|1782 keydown W|1785 keyup W|1786 key LShift|1794 keydown S|1797 keyup S|1798 key LShift|"
    "1806 keydown Space|1808 keyup Space|1810 key LShift|1822 key LShift|1834 key LShift|1842 keydown Q|"
    "1843 keyup Q|1846 key LShift|1858 key LShift|1870 key LShift|1882 key LShift";

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
    ASSERT_EQ(game.runScript(script(), "-width 480 -height 320 -quality 0 -fixeddt 0.05 -frames 1929 -autostart 9:4 "
                                       "-logplayer 1 -dumpframe 1850:torpedo_run.png -dumpframe 1889:ship_hit.png"),
              0)
        << game.errors();
    const std::string log = game.log();
    // Where the recording starts: elsewhere, the recorded keys fly nowhere
    // in particular, and the run says so instead of failing.
    const std::string start = "test: frame " + std::to_string(kTorpedoLessonFrame) + " player at ";
    const std::size_t at = log.find(start);
    float x = 0.0f, y = 0.0f, z = 0.0f;
    const bool same = frameAfter(log, "tutorial 4: step 12") == kTorpedoLessonFrame && at != std::string::npos &&
                      std::sscanf(log.c_str() + at + start.size(), "%f %f %f", &x, &y, &z) == 3 &&
                      std::fabs(x - kTorpedoLessonX) < 1.0f && std::fabs(z - kTorpedoLessonZ) < 1.0f;
    if (!same)
        GTEST_SKIP() << "the torpedo lesson began in frame " << frameAfter(log, "tutorial 4: step 12")
                     << ", not where the flight keys were recorded: find them again by -logplayer";

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
