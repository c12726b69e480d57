#include "ModeTestKit.h"

#include "modes/PlayerAirplaneInput.h"
#include "platform/Settings.h"

#include <cmath>

namespace {
struct PlayerSteering : ModeKit {
    std::int32_t savedType = 0;
    void SetUp() override
    {
        ModeKit::SetUp();
        savedType = settings().controlType;
    }
    void TearDown() override
    {
        settings().controlType = savedType;
        ModeKit::TearDown();
    }
    // Holds a right turn for two seconds, then lets go for four; returns the
    // bank while turning and after letting go.
    std::pair<float, float> turnAndLetGo(Airplane& a)
    {
        for (int i = 0; i < 120; ++i) {
            steerPlayerAirplane(*mode, 0.0f, 1.0f, 0.0f, 0.0f);
            mode->update(1.0f / 60.0f);
        }
        const float turning = a.bankValue();
        for (int i = 0; i < 240; ++i) {
            steerPlayerAirplane(*mode, 0.0f, 0.0f, 0.0f, 0.0f);
            mode->update(1.0f / 60.0f);
        }
        return {turning, a.bankValue()};
    }
};
}  // namespace

TEST_F(PlayerSteering, TheChosenControlTypeDecidesHowTheTurnInputFlies)
{
    Airplane* a = airplane(0, {0.0f, 3000.0f, 0.0f});
    mode->setPlayerAirplane(a);

    settings().controlType = 1;
    const auto [arcadeTurning, arcadeAfter] = turnAndLetGo(*a);
    EXPECT_EQ(a->controlType(), ControlType::Arcade);
    // The turn banks the plane for the player, and the wings come level again.
    EXPECT_GT(std::fabs(arcadeTurning), 0.3f);
    EXPECT_LT(std::fabs(arcadeAfter), 0.1f);

    // Full control: the rudder alone, and nothing levels the wings.
    settings().controlType = 0;
    a->setOrientation(quatFromEuler(0.0f, 0.0f, 0.6f));
    steerPlayerAirplane(*mode, 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(a->controlType(), ControlType::Full);
    const float before = a->bankValue();
    step(1.0f);
    EXPECT_GT(std::fabs(a->bankValue()), 0.5f * std::fabs(before));
}
