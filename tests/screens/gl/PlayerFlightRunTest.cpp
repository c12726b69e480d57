// The staged game flown by keys: a landing on the airfield of free flight's
// first map, and the lock key and the aim assist in a bot match. Frames go to
// build/flight/ for a look.
#include "StagedGame.h"

#include "render/assets/TextureImage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

struct PlayerFlight : testing::Test {
    StagedGame game;

    void SetUp() override
    {
        if (!game.prepare())
            GTEST_SKIP() << "the game is not staged";
    }
    void keep(const std::string& name)
    {
        TextureImage image;
        EXPECT_TRUE(game.loadShot(name, image, "flight")) << name;
    }
    static std::size_t count(const std::string& text, const std::string& what)
    {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
};

// The keys bring the p51 down over the sea onto the runway's line, touch it
// down on the runway and brake it to a stop there: the landing is counted
// once. The frames show the approach, the threshold's markings under the bomb
// sight's ring and the airplane standing on the runway. The keys were flown
// against this flight model; when the flight model or the map changes they
// must be flown again.
TEST_F(PlayerFlight, TheKeysLandTheAirplaneOnTheFirstMapsAirfield)
{
    std::ifstream in(std::string(SKYFRONT_SOURCE_DIR) + "/tests/screens/scripts/free_flight_landing.txt");
    ASSERT_TRUE(in) << "no landing script";
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    // The lowest detail: the landing is read from the log, and the thousands
    // of frames of the world's detail would only slow the run.
    ASSERT_EQ(game.runScript(script, "-width 960 -height 540 -quality 0 -fixeddt 0.05 -frames 4110 -autostart 10:0 "
                                     "-dumpframe 3550:landing_approach.png -dumpframe 3880:landing_threshold.png "
                                     "-dumpframe 4100:landing_stopped.png"),
              0)
        << game.errors();
    const std::string log = game.log();
    EXPECT_EQ(count(log, "achievement event 10\n"), 1u) << "no landing was counted:\n" << log;
    for (const char* shot : {"landing_approach.png", "landing_threshold.png", "landing_stopped.png"})
        keep(shot);
}

// In a free-for-all the radar key locks the nearest enemy airplane once one
// is in reach, and with the trigger held the aim assist turns the guns to the
// target the HUD marks.
TEST_F(PlayerFlight, TheLockKeyAndTheAimAssistActInAMatch)
{
    std::string script = "300 keydown Space\n";
    for (int frame = 300; frame < 1500; frame += 30)
        script += std::to_string(frame) + " key R\n";
    ASSERT_EQ(game.runScript(script, "-width 640 -height 400 -quality 0 -fixeddt 0.05 -frames 1500 -autostart 2:0 "
                                     "-dumpframe 1490:match_assisted.png"),
              0)
        << game.errors();
    const std::string log = game.log();
    EXPECT_NE(log.find("the player locks on a target"), std::string::npos) << log;
    EXPECT_NE(log.find("the aim assist turns the player's guns to a target"), std::string::npos) << log;
    keep("match_assisted.png");
}

}  // namespace
