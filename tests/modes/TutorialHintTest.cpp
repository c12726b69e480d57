#include "modes/tutorials/BindingHint.h"
#include "platform/Controls.h"

#include "platform/Settings.h"

#include "TutorialRun.h"

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

