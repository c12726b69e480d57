#include "ModeTestKit.h"

#include "platform/Settings.h"

#include <algorithm>

namespace {
struct FlightHint : ModeKit {
    Settings saved = settings();
    void TearDown() override
    {
        settings() = saved;
        ModeKit::TearDown();
    }
    int posted(int id) const { return static_cast<int>(std::count(hud.postedMessages.begin(), hud.postedMessages.end(), id)); }
    int removed(int id) const
    {
        return static_cast<int>(std::count(hud.removedMessages.begin(), hud.removedMessages.end(), id));
    }
};

// Under arcade steering a steep climb brings up the hint; levelling off takes
// it down once. The other steering, or the hints turned off, show nothing.
TEST_F(FlightHint, ASteepClimbUnderArcadeSteeringShowsTheHintWhileItLasts)
{
    constexpr int kHint = IModeHud::kSteepClimbMessage;
    Airplane* player = airplane(0, {0.0f, 3000.0f, 0.0f});
    mode->setPlayerAirplane(player);
    auto climb = [&](float pitch) {
        player->setOrientation(quatFromEuler(0.0f, pitch, 0.0f));
        player->setSpeed(plane.pCruiseSpeed);
        mode->update(1.0f / 60.0f);
    };
    settings().controlType = 1;
    settings().flightHintEnabled = 1;
    climb(0.3f);
    EXPECT_EQ(posted(kHint), 0);  // a gentle climb
    climb(1.1f);
    climb(1.1f);
    EXPECT_EQ(posted(kHint), 2);  // the queue keeps one entry per id
    EXPECT_EQ(removed(kHint), 0);
    climb(0.0f);
    climb(0.0f);
    EXPECT_EQ(removed(kHint), 1);

    settings().flightHintEnabled = 0;
    climb(1.1f);
    EXPECT_EQ(posted(kHint), 2);
    settings().flightHintEnabled = 1;
    settings().controlType = 0;
    climb(1.1f);
    EXPECT_EQ(posted(kHint), 2);
}
}  // namespace
