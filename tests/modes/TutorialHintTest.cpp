#include "modes/tutorials/BindingHint.h"
#include "modes/tutorials/TutorialOverlay.h"
#include "platform/Controls.h"

#include "platform/Settings.h"

#include "TutorialRun.h"

#include <cmath>

// The hints that name the player's keys: bounded formats whose missing keys
// print nothing.
namespace {
using A = ControlAction;
struct TutorialHint : testing::Test {
    TutorialRun run;
    void startTutorial(int index)
    {
        settings() = Settings{};
        std::string error;
        ASSERT_TRUE(run.start(index, error)) << error;
    }
};
}  // namespace

TEST_F(TutorialHint, BindingHintsFormatTheKeyAndNothingForAMissingOne)
{
    startTutorial(0);
    EXPECT_EQ(formatBindingText(630, static_cast<int>(A::Weapon_1)), u"Press Space to fire.");
    // No binding: an empty key text in the sentence.
    const ActionBinding saved = controls().binding(0, static_cast<int>(A::Eject));
    ASSERT_TRUE(controls().setBinding(static_cast<int>(A::Eject), BindingKind::None, -1, 0));
    EXPECT_EQ(formatBindingText(532, static_cast<int>(A::Eject)), u"Press  to eject.");
    ASSERT_TRUE(controls().setBinding(static_cast<int>(A::Eject), saved.kind1, saved.code1, 0));
    // A text with two keys given one action prints nothing for the second.
    EXPECT_EQ(formatBindingText(443, static_cast<int>(A::Accelerate)), u"LShift opens the throttle,  closes it and brakes.");
    // An id the table does not have.
    EXPECT_EQ(formatBindingText(999999, static_cast<int>(A::Eject)), u"DUMMY");
}


// The arrow's tip beside the element on the side it comes from, pointing at its middle.
TEST(TutorialPointer, ArrowTipSitsOffTheElementTowardsItsMiddle)
{
    const ITutorialHud::Rect r{400.0f, 300.0f, 80.0f, 40.0f};
    const auto left = TutorialOverlay::arrowAt(r, 0.0f, 10.0f);
    EXPECT_FLOAT_EQ(left.x, 390.0f);
    EXPECT_FLOAT_EQ(left.y, 320.0f);
    // Pointing up: from below.
    const auto below = TutorialOverlay::arrowAt(r, -1.5707964f, 5.0f);
    EXPECT_NEAR(below.x, 440.0f, 0.01f);
    EXPECT_NEAR(below.y, 345.0f, 0.01f);
    // The weapons arrow mirrored: right of the mirrored element, turned round.
    const auto mirrored = TutorialOverlay::arrowBeside(r, 10.0f, true, 1000.0f);
    EXPECT_FLOAT_EQ(mirrored.x, 1000.0f - 400.0f - 80.0f + 80.0f + 10.0f);
    EXPECT_NEAR(mirrored.rotation, 3.1415927f, 1e-6f);
}

TEST(TutorialPointer, ArrowAtTheScreenEdgeComesFromInside)
{
    // A button at the left edge pointed at from below-left would leave the screen.
    const ITutorialHud::Rect r{16.0f, 480.0f, 60.0f, 60.0f};
    const auto p = TutorialOverlay::arrowAt(r, -0.7853982f, 5.0f, 90.0f, 960.0f, 640.0f);
    EXPECT_GT(p.x, r.x + r.w) << "from the right";
    EXPECT_GT(p.x - std::cos(p.rotation) * 90.0f, 0.0f);
    EXPECT_LT(p.y - std::sin(p.rotation) * 90.0f, 640.0f);
    // Where there is room the given side stays.
    const ITutorialHud::Rect mid{400.0f, 300.0f, 60.0f, 60.0f};
    EXPECT_FLOAT_EQ(TutorialOverlay::arrowAt(mid, -0.7853982f, 5.0f, 90.0f, 960.0f, 640.0f).rotation, -0.7853982f);
}
